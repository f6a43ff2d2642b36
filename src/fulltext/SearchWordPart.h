#pragma once

#include "fulltext/SearchPosting.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace tamblin {

// The bytes of a word part: its words in code point order, each as
//   shared prefix length, suffix length, suffix (UTF-8: front coded against the word before),
//   offsets kept per page at most (kBitmap added when the pages come as a bitmap), page
//   count, byte length of the pages that follow, then, for a bitmap, its length in bytes and
//   the bytes (bit k % 8 of byte k / 8 for page k), and per page: page (distance from the one
//   before, unless a bitmap gave it), count << 2 | flags, and when offsets are kept, how
//   many and each as the distance from the one before.
// Every number is unsigned LEB128. Common words keep fewer offsets (none past kOffsetBudget
// pages): what they would cost is mostly what a reader would download, and a snippet can
// find such a word in the text itself.
class SearchWordPart {
public:
    using Word = std::pair<std::string, std::vector<SearchPosting>>;
    static constexpr size_t kOffsetBudget = 4096;
    static constexpr std::uint32_t kBitmap = 32;

    // The offsets per page `postings` keeps.
    static std::uint32_t OffsetsKept(const std::vector<SearchPosting>& postings);
    // Appends `word` to a part whose last word was `before` ("" for the first); without
    // `places`, no offsets are kept.
    static void Append(const Word& word, std::string_view before, std::string& out);
    static void Append(std::string_view text, const std::vector<SearchPosting>& postings,
                       std::string_view before, std::string& out, bool places = true);
    // Nothing when the bytes are not such a part.
    static std::optional<std::vector<Word>> Read(std::string_view bytes);
};

} // namespace tamblin
