#pragma once

#include "fulltext/SearchPosting.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tamblin {

// Every word of a search index with its postings, held flat: the words' bytes one after
// another, a word's postings a range of one array and a posting's offsets a range of
// another. A site of 20,000 pages has a million postings; a vector of offsets each would
// cost more than the words themselves.
class SearchWords {
public:
    size_t Size() const { return m_wordEnd.size(); }
    bool Empty() const { return m_wordEnd.empty(); }
    std::string_view Text(size_t word) const;
    size_t PostingCount(size_t word) const { return Begin(word + 1) - Begin(word); }
    std::vector<SearchPosting> Postings(size_t word) const;
    // The same into `out`, reusing what it holds.
    void PostingsInto(size_t word, std::vector<SearchPosting>& out) const;
    // The first word not before `text` (code point order), or Size().
    size_t LowerBound(std::string_view text) const;

    void Reserve(size_t words, size_t textBytes, size_t postings, size_t offsets);
    // Words come in code point order, each once; pages ascending under each.
    void StartWord(std::string_view text);
    void AddPosting(std::uint32_t page, std::uint32_t count, std::uint8_t flags,
                    const std::uint32_t* offsets, size_t offsetCount);
    void Add(std::string_view text, const std::vector<SearchPosting>& postings);

private:
    struct Flat {
        std::uint32_t page;
        std::uint32_t count;
        std::uint32_t offsetEnd; // its offsets end here in m_offsets
        std::uint8_t flags;
    };
    size_t Begin(size_t word) const { return word == 0 ? 0 : m_postingEnd[word - 1]; }

    std::string m_text;
    std::vector<std::uint32_t> m_wordEnd;    // where each word's bytes end in m_text
    std::vector<std::uint32_t> m_postingEnd; // where each word's postings end in m_postings
    std::vector<Flat> m_postings;
    std::vector<std::uint32_t> m_offsets;
};

} // namespace tamblin
