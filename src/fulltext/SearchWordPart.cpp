#include "fulltext/SearchWordPart.h"

#include <algorithm>

namespace tamblin {

namespace {

void PutNumber(std::uint32_t value, std::string& out) {
    while (value >= 0x80) {
        out += static_cast<char>(0x80 | (value & 0x7F));
        value >>= 7;
    }
    out += static_cast<char>(value);
}

// Reads numbers from a part; any fault (past the end, more than 32 bits) sticks.
class NumberReader {
public:
    explicit NumberReader(std::string_view bytes) : m_bytes(bytes) {}

    std::uint32_t Next() {
        std::uint64_t value = 0;
        for (int shift = 0; shift < 35; shift += 7) {
            if (m_at >= m_bytes.size()) {
                m_bad = true;
                return 0;
            }
            auto byte = static_cast<unsigned char>(m_bytes[m_at++]);
            value |= static_cast<std::uint64_t>(byte & 0x7F) << shift;
            if ((byte & 0x80) == 0) {
                m_bad = m_bad || value > UINT32_MAX;
                return static_cast<std::uint32_t>(value);
            }
        }
        m_bad = true;
        return 0;
    }
    std::string_view Take(size_t size) {
        if (size > m_bytes.size() - m_at) {
            m_bad = true;
            return {};
        }
        m_at += size;
        return m_bytes.substr(m_at - size, size);
    }
    bool Bad() const { return m_bad; }
    bool AtEnd() const { return m_at >= m_bytes.size(); }
    size_t At() const { return m_at; }

private:
    std::string_view m_bytes;
    size_t m_at = 0;
    bool m_bad = false;
};

bool ReadPostings(std::string_view bytes, std::uint32_t kept, std::uint32_t count,
                  std::vector<SearchPosting>& postings) {
    NumberReader in(bytes);
    std::uint32_t page = 0;
    for (std::uint32_t i = 0; i < count && !in.Bad(); ++i) {
        SearchPosting& posting = postings.emplace_back();
        std::uint32_t step = in.Next();
        if (i > 0 && step == 0) {
            return false;
        }
        page += step;
        posting.page = page;
        std::uint32_t value = in.Next();
        posting.count = value >> 2;
        posting.flags = static_cast<std::uint8_t>(value & 3);
        std::uint32_t offsets = kept == 0 ? 0 : in.Next();
        if (offsets > kept) {
            return false;
        }
        std::uint32_t offset = 0;
        for (std::uint32_t k = 0; k < offsets; ++k) {
            offset += in.Next();
            posting.offsets.push_back(offset);
        }
    }
    return !in.Bad() && in.AtEnd();
}

} // namespace

std::uint32_t SearchWordPart::OffsetsKept(const std::vector<SearchPosting>& postings) {
    size_t perPage = postings.empty() ? 0 : kOffsetBudget / postings.size();
    return static_cast<std::uint32_t>(std::min(perPage, SearchPosting::kMaxOffsets));
}

void SearchWordPart::Append(const Word& word, std::string_view before, std::string& out) {
    const auto& [text, postings] = word;
    size_t shared = 0;
    while (shared < before.size() && shared < text.size() && before[shared] == text[shared]) {
        ++shared;
    }
    std::uint32_t kept = OffsetsKept(postings);
    std::string pages;
    std::uint32_t page = 0;
    for (const SearchPosting& posting : postings) {
        PutNumber(posting.page - page, pages);
        page = posting.page;
        PutNumber(posting.count << 2 | (posting.flags & 3), pages);
        if (kept == 0) {
            continue;
        }
        auto offsets = std::min<size_t>(kept, posting.offsets.size());
        PutNumber(static_cast<std::uint32_t>(offsets), pages);
        std::uint32_t offset = 0;
        for (size_t k = 0; k < offsets; ++k) {
            PutNumber(posting.offsets[k] - offset, pages);
            offset = posting.offsets[k];
        }
    }
    PutNumber(static_cast<std::uint32_t>(shared), out);
    PutNumber(static_cast<std::uint32_t>(text.size() - shared), out);
    out.append(text, shared);
    PutNumber(kept, out);
    PutNumber(static_cast<std::uint32_t>(postings.size()), out);
    PutNumber(static_cast<std::uint32_t>(pages.size()), out);
    out += pages;
}

std::optional<std::vector<SearchWordPart::Word>> SearchWordPart::Read(std::string_view bytes) {
    std::vector<Word> words;
    NumberReader in(bytes);
    std::string last;
    while (!in.AtEnd()) {
        std::uint32_t shared = in.Next();
        std::uint32_t size = in.Next();
        if (in.Bad() || shared > last.size()) {
            return std::nullopt;
        }
        std::string text = last.substr(0, shared);
        text.append(in.Take(size));
        std::uint32_t kept = in.Next();
        std::uint32_t count = in.Next();
        std::uint32_t length = in.Next();
        std::string_view pages = in.Take(length);
        // Each page takes two bytes at least: a count can claim no more than that.
        bool fits = static_cast<std::uint64_t>(count) * 2 <= pages.size() &&
                    kept <= SearchPosting::kMaxOffsets;
        if (in.Bad() || text.empty() || (!words.empty() && text <= last) || !fits) {
            return std::nullopt;
        }
        std::vector<SearchPosting> postings;
        if (!ReadPostings(pages, kept, count, postings)) {
            return std::nullopt;
        }
        last = text;
        words.emplace_back(std::move(text), std::move(postings));
    }
    return words;
}

} // namespace tamblin
