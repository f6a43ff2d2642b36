#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace tamblin {

// Base64 with the standard alphabet and "=" padding.
std::string Base64Encode(std::string_view bytes);
// Strict: the length is a multiple of 4, only the alphabet, "=" only as the last one or two
// characters; nothing otherwise.
std::optional<std::string> Base64Decode(std::string_view text);

} // namespace tamblin
