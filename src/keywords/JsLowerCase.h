#pragma once

#include <string>
#include <string_view>

namespace tamblin {

// JavaScript's String.prototype.toLowerCase: every code point lowered as Unicode's full case
// mapping says (U+0130 becomes two), and a capital sigma as a final one where it ends a word.
// Lone surrogates stay as they are.
std::u16string JsToLowerCase(std::u16string_view text);

// The text of UTF-16 `text` as UTF-8, lone surrogates as U+FFFD, and back.
std::string Utf16ToUtf8String(std::u16string_view text);
std::u16string Utf8ToUtf16String(std::string_view utf8);

} // namespace tamblin
