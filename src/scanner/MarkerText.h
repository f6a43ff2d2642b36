#pragma once

#include <string_view>

namespace tamblin {

// Link texts that mark a place rather than name it, which make no keyword and no part of
// a heading's phrase. Texts are trimmed, in UTF-8 or a single-byte character set.
class MarkerText final {
public:
    // A permalink marker: empty, or one symbol such as "¶", "#", "§" or "🔗" (an emoji's
    // variation selector included). One letter or digit is no marker.
    static bool IsPermalink(std::string_view text);
    // A footnote or citation reference: a short label in brackets ("[1]", "[12]",
    // "[Knuth98]"); with inPageLink (the link leads to a place in its own page), also a bare
    // number of up to three digits or one symbol ("1", "*", "†"), as notes are often shown.
    static bool IsNote(std::string_view text, bool inPageLink);
};

} // namespace tamblin
