#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace tamblin {

// Every file of a search index is one script of a fixed text around its bytes, packed
// (SearchPartPack), in base64:
// the viewer reads it by a request (http) or runs it as a script element (file://, where
// Chromium refuses requests), and nothing a page says can end the string or the call,
// whatever bytes it holds. The script hands its bytes to navoraSearchPart(3, "...").
std::string SearchPartScript(std::string_view bytes);
// The script of bytes already packed (SearchPartPack::Pack or Store).
std::string SearchPartScriptOfPacked(std::string_view packed);

// The bytes a part holds; nothing when `script` is not exactly one SearchPartScript writes.
std::optional<std::string> SearchPartBytes(std::string_view script);

} // namespace tamblin
