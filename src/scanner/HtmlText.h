#pragma once

#include "scanner/CharacterSet.h"

#include <string>
#include <string_view>

namespace tamblin {

// Text of a page as a browser shows it: the page's bytes in its character set, with every
// character reference of HTML5 decoded, as UTF-8.
class HtmlText {
public:
    // In an attribute value a legacy reference without ";" followed by a letter, a digit or
    // "=" stays as written ("?a=1&copy=2" is a query, not a copyright sign).
    static std::string Decode(std::string_view raw, CharacterSet::Kind charset, bool attribute);
    // What an index file field may hold: control bytes and line breaks become spaces, ";"
    // goes, and the text is trimmed.
    static std::string ForField(std::string_view utf8);
    // A numeric reference's character: 0, surrogates and numbers past U+10FFFF give U+FFFD,
    // 128 to 159 the characters Windows-1252 has there.
    static char32_t NumericReference(unsigned long long number);

private:
    // Decodes the reference whose "&" is at text[at]; returns the bytes it took, 0 when it
    // is no reference.
    static size_t DecodeReference(std::string_view text, size_t at, bool attribute,
                                  std::string& out);
};

} // namespace tamblin
