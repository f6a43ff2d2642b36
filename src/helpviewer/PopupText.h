#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tamblin {

// Character references as pop-up texts read them: a ";" outside a reference stays, "shy" is a
// hyphen, and a reference that stands for code 0 ends the text there.
std::string DecodePopupText(std::string_view text);

// An HTML font size as a height in twips: 1 -> 140 ... 7 and more -> 320; 0 or less -> 140.
int FontSizeToTwips(int size);
// "#rrggbb" (exactly seven characters) or a colour name; case does not matter.
std::optional<uint32_t> ParseHtmlColor(std::string_view text);
// The first comma-separated face that is installed; installedLower holds lower-cased names.
std::optional<std::string> ParseFaceList(std::string_view text,
                                         const std::vector<std::string>& installedLower);
// A decimal integer, sign allowed ("+1" is 1).
std::optional<int> ParseSizeText(std::string_view text);

} // namespace tamblin
