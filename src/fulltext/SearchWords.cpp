#include "fulltext/SearchWords.h"

namespace tamblin {

std::string_view SearchWords::Text(size_t word) const {
    size_t begin = word == 0 ? 0 : m_wordEnd[word - 1];
    return std::string_view(m_text).substr(begin, m_wordEnd[word] - begin);
}

std::vector<SearchPosting> SearchWords::Postings(size_t word) const {
    std::vector<SearchPosting> out;
    PostingsInto(word, out);
    return out;
}

void SearchWords::PostingsInto(size_t word, std::vector<SearchPosting>& out) const {
    const std::vector<std::uint32_t>& packed = m_packed[word];
    out.resize(m_postingCounts[word]);
    size_t at = 0;
    for (SearchPosting& posting : out) {
        size_t offsets = packed[at + 2] & 0xFF;
        posting.page = packed[at];
        posting.count = packed[at + 1];
        posting.flags = static_cast<std::uint8_t>(packed[at + 2] >> 8);
        posting.offsets.assign(packed.begin() + static_cast<std::ptrdiff_t>(at + kEntryHead),
                               packed.begin() +
                                   static_cast<std::ptrdiff_t>(at + kEntryHead + offsets));
        at += kEntryHead + offsets;
    }
}

size_t SearchWords::LowerBound(std::string_view text) const {
    size_t low = 0;
    size_t high = Size();
    while (low < high) {
        size_t mid = low + (high - low) / 2;
        if (Text(mid) < text) {
            low = mid + 1;
        } else {
            high = mid;
        }
    }
    return low;
}

void SearchWords::Reserve(size_t words, size_t textBytes) {
    m_text.reserve(textBytes);
    m_wordEnd.reserve(words);
    m_packed.reserve(words);
    m_postingCounts.reserve(words);
}

void SearchWords::StartWord(std::string_view text) {
    m_text.append(text);
    m_wordEnd.push_back(static_cast<std::uint32_t>(m_text.size()));
    m_packed.emplace_back();
    m_postingCounts.push_back(0);
}

void SearchWords::AddPosting(std::uint32_t page, std::uint32_t count, std::uint8_t flags,
                             const std::uint32_t* offsets, size_t offsetCount) {
    std::vector<std::uint32_t>& packed = m_packed.back();
    packed.insert(packed.end(), {page, count,
                                 static_cast<std::uint32_t>(flags) << 8 |
                                     static_cast<std::uint32_t>(offsetCount)});
    packed.insert(packed.end(), offsets, offsets + offsetCount);
    ++m_postingCounts.back();
}

void SearchWords::AddPacked(std::string_view text, std::vector<std::uint32_t> packed,
                            std::uint32_t postings) {
    StartWord(text);
    m_packed.back() = std::move(packed);
    m_postingCounts.back() = postings;
}

void SearchWords::Add(std::string_view text, const std::vector<SearchPosting>& postings) {
    StartWord(text);
    for (const SearchPosting& posting : postings) {
        AddPosting(posting.page, posting.count, posting.flags, posting.offsets.data(),
                   posting.offsets.size());
    }
}

} // namespace tamblin
