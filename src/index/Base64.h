#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace tamblin {

// Base64 with the standard alphabet and "=" padding.
std::string Base64Encode(std::string_view bytes);
// The same, after what `out` holds.
void Base64Append(std::string_view bytes, std::string& out);
// Strict: the length is a multiple of 4, only the alphabet, "=" only as the last one or two
// characters; nothing otherwise.
std::optional<std::string> Base64Decode(std::string_view text);

// Bytes as data inside a fixed script, the way the viewer's files read from disk carry
// them: no byte of `bytes` can end the string it stands in.
std::string Base64Script(std::string_view opening, std::string_view bytes,
                         std::string_view closing);
// The bytes of such a script, or nothing when it is not one with this opening and closing.
std::optional<std::string> Base64FromScript(std::string_view script, std::string_view opening,
                                            std::string_view closing);

} // namespace tamblin
