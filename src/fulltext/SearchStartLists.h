#pragma once

#include "fulltext/SearchWords.h"

#include <cstddef>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tamblin {

// The pages of the words that one or two first characters begin, one list each, merged by
// page as a prefix merges them (counts added, flags joined) and without places. A reader's
// first keys of a word then wait for one small part instead of every word part the prefix
// begins: those hold the places as well, and were most of what a keystroke waited for.
// A prefix that begins one word only has no list (the word's own list is the same); nor has a
// prefix no word begins: the reader looks for both in the word parts.
// The lists are in parts by their first code point modulo the number of parts, each part in
// the form of a word part (SearchWordPart) with the prefixes for words.
//
// The lists of single characters are also kept in short: the best kFirstPages pages of each
// (as many as the Search tab lists) and how many pages there are, in one small part a reader
// reads before the first key, so that the first character of a query waits for nothing:
// With them, every page the character begins a word of, so that a query of several words
// whose last is one character long finds its pages without a start part (it ranks them by the
// other words); only while the part stays within kFirstBytes, the commonest characters first.
//   per line: the character, a tab, its page count, a tab, its best pages ascending as
//   "page,count << 2 | flags" pairs, comma separated, a tab, and its pages as ranges
//   "first-last" or "page", comma separated, or nothing; every number in base 36.
// Only the kMaxFirsts characters on most pages are there (a Chinese site has thousands).
class SearchStartLists {
public:
    static constexpr size_t kMaxParts = 64;
    // A part holds about this many bytes, before packing, where there are enough lists.
    static constexpr size_t kPartBytes = 8192;
    static constexpr size_t kFirstPages = 50;
    static constexpr size_t kMaxFirsts = 128;
    static constexpr size_t kFirstBytes = 65536;

    struct Parts {
        std::vector<std::string> lists; // the start parts' bytes by number
        std::string firsts;             // the single characters' best pages
    };
    struct First {
        std::uint32_t total = 0;
        std::vector<SearchPosting> best; // without offsets
        std::optional<std::vector<std::uint32_t>> every;
    };

    // No parts when no prefix begins two words.
    static Parts Make(const SearchWords& words, size_t pageCount);
    // first.js's bytes read back; nothing when they are not such, or name a page past
    // `pageCount`.
    static std::optional<std::map<std::string, First>> ReadFirsts(std::string_view bytes,
                                                                  size_t pageCount);
    // The part of a prefix, among `parts`.
    static size_t PartOf(std::string_view prefix, size_t parts);
    // The first `codePoints` code points of UTF-8 `word`, or "" when it has fewer.
    static std::string_view Prefix(std::string_view word, size_t codePoints);
};

} // namespace tamblin
