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
    size_t begin = Begin(word);
    out.resize(m_postingEnd[word] - begin);
    for (size_t i = 0; i < out.size(); ++i) {
        const Flat& flat = m_postings[begin + i];
        std::uint32_t from = begin + i == 0 ? 0 : m_postings[begin + i - 1].offsetEnd;
        out[i].page = flat.page;
        out[i].count = flat.count;
        out[i].flags = flat.flags;
        out[i].offsets.assign(m_offsets.begin() + from, m_offsets.begin() + flat.offsetEnd);
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

void SearchWords::Reserve(size_t words, size_t textBytes, size_t postings, size_t offsets) {
    m_text.reserve(textBytes);
    m_wordEnd.reserve(words);
    m_postingEnd.reserve(words);
    m_postings.reserve(postings);
    m_offsets.reserve(offsets);
}

void SearchWords::StartWord(std::string_view text) {
    m_text.append(text);
    m_wordEnd.push_back(static_cast<std::uint32_t>(m_text.size()));
    m_postingEnd.push_back(static_cast<std::uint32_t>(m_postings.size()));
}

void SearchWords::AddPosting(std::uint32_t page, std::uint32_t count, std::uint8_t flags,
                             const std::uint32_t* offsets, size_t offsetCount) {
    m_offsets.insert(m_offsets.end(), offsets, offsets + offsetCount);
    m_postings.push_back({page, count, static_cast<std::uint32_t>(m_offsets.size()), flags});
    m_postingEnd.back() = static_cast<std::uint32_t>(m_postings.size());
}

void SearchWords::Add(std::string_view text, const std::vector<SearchPosting>& postings) {
    StartWord(text);
    for (const SearchPosting& posting : postings) {
        AddPosting(posting.page, posting.count, posting.flags, posting.offsets.data(),
                   posting.offsets.size());
    }
}

} // namespace tamblin
