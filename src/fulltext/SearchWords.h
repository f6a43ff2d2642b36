#pragma once

#include "fulltext/SearchPosting.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tamblin {

// Every word of a search index with its postings: the words' bytes one after another, and a
// word's postings packed in one array of numbers, a posting's offsets among them. A site of
// 20,000 pages has a million postings; a vector of offsets each would cost more than the
// words themselves. The builder hands over each word's array as it made it, without a copy:
// a copy of them all was the largest block of fresh memory a scan with words touched.
class SearchWords {
public:
    // A posting packed: page, count, flags << 8 | number of offsets, then the offsets.
    static constexpr size_t kEntryHead = 3;

    size_t Size() const { return m_wordEnd.size(); }
    bool Empty() const { return m_wordEnd.empty(); }
    std::string_view Text(size_t word) const;
    size_t PostingCount(size_t word) const { return m_postingCounts[word]; }
    std::vector<SearchPosting> Postings(size_t word) const;
    // The same into `out`, reusing what it holds.
    void PostingsInto(size_t word, std::vector<SearchPosting>& out) const;
    // visit(page, count, flags) for each posting of `word`, without its offsets.
    template <class Visit> void VisitPostings(size_t word, Visit visit) const {
        const std::vector<std::uint32_t>& packed = m_packed[word];
        size_t at = 0;
        for (std::uint32_t i = 0; i < m_postingCounts[word]; ++i) {
            visit(packed[at], packed[at + 1], static_cast<std::uint8_t>(packed[at + 2] >> 8));
            at += kEntryHead + (packed[at + 2] & 0xFF);
        }
    }
    // The first word not before `text` (code point order), or Size().
    size_t LowerBound(std::string_view text) const;

    void Reserve(size_t words, size_t textBytes);
    // Words come in code point order, each once; pages ascending under each.
    void StartWord(std::string_view text);
    void AddPosting(std::uint32_t page, std::uint32_t count, std::uint8_t flags,
                    const std::uint32_t* offsets, size_t offsetCount);
    // A word with `postings` postings packed in `packed`, taken as they are.
    void AddPacked(std::string_view text, std::vector<std::uint32_t> packed,
                   std::uint32_t postings);
    void Add(std::string_view text, const std::vector<SearchPosting>& postings);

private:
    std::string m_text;
    std::vector<std::uint32_t> m_wordEnd; // where each word's bytes end in m_text
    std::vector<std::vector<std::uint32_t>> m_packed;
    std::vector<std::uint32_t> m_postingCounts;
};

} // namespace tamblin
