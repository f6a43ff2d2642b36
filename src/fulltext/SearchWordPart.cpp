#include "fulltext/SearchWordPart.h"

#include <algorithm>
#include <optional>

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

size_t NumberSize(std::uint32_t value) {
    size_t size = 1;
    while (value >= 0x80) {
        value >>= 7;
        ++size;
    }
    return size;
}

// The pages of a word as a bitmap: a number of bytes, then bit k of byte k / 8 for page k.
std::string PageBitmap(const std::vector<SearchPosting>& postings) {
    std::string bits(postings.back().page / 8 + 1, '\0');
    for (const SearchPosting& posting : postings) {
        bits[posting.page / 8] =
            static_cast<char>(bits[posting.page / 8] | 1 << (posting.page % 8));
    }
    return bits;
}

// The pages of a bitmap, as many as `count`; nothing when it holds another number of them.
std::optional<std::vector<std::uint32_t>> BitmapPages(std::string_view bits, std::uint32_t count) {
    std::vector<std::uint32_t> pages;
    for (size_t i = 0; i < bits.size(); ++i) {
        for (int bit = 0; bit < 8; ++bit) {
            if ((static_cast<unsigned char>(bits[i]) >> bit & 1) != 0) {
                if (pages.size() == count) {
                    return std::nullopt;
                }
                pages.push_back(static_cast<std::uint32_t>(i * 8 + static_cast<size_t>(bit)));
            }
        }
    }
    if (pages.size() != count) {
        return std::nullopt;
    }
    return pages;
}

bool ReadPostings(std::string_view bytes, std::uint32_t kept, std::uint32_t count,
                  std::vector<SearchPosting>& postings) {
    NumberReader in(bytes);
    std::optional<std::vector<std::uint32_t>> bitmap;
    if ((kept & SearchWordPart::kBitmap) != 0) {
        kept &= ~SearchWordPart::kBitmap;
        std::uint32_t size = in.Next();
        bitmap = BitmapPages(in.Take(size), count);
        if (!bitmap) {
            return false;
        }
    }
    std::uint32_t page = 0;
    for (std::uint32_t i = 0; i < count && !in.Bad(); ++i) {
        SearchPosting& posting = postings.emplace_back();
        std::uint32_t step = bitmap ? 1 : in.Next();
        if (i > 0 && step == 0) {
            return false;
        }
        page = bitmap ? (*bitmap)[i] : page + step;
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
    Append(word.first, word.second, before, out);
}

void SearchWordPart::Append(std::string_view text, const std::vector<SearchPosting>& postings,
                            std::string_view before, std::string& out, bool places) {
    size_t shared = 0;
    while (shared < before.size() && shared < text.size() && before[shared] == text[shared]) {
        ++shared;
    }
    std::uint32_t kept = places ? OffsetsKept(postings) : 0;
    // Pages as distances, or as a bitmap where that is shorter (words on most pages).
    size_t distances = 0;
    std::uint32_t page = 0;
    for (const SearchPosting& posting : postings) {
        distances += NumberSize(posting.page - page);
        page = posting.page;
    }
    bool bitmap = !postings.empty() && postings.back().page / 8 + 1 + 5 < distances;
    std::string pages;
    if (bitmap) {
        std::string bits = PageBitmap(postings);
        PutNumber(static_cast<std::uint32_t>(bits.size()), pages);
        pages += bits;
    }
    page = 0;
    for (const SearchPosting& posting : postings) {
        if (!bitmap) {
            PutNumber(posting.page - page, pages);
        }
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
    out.append(text.substr(shared));
    PutNumber(kept | (bitmap ? kBitmap : 0), out);
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
        // Each page takes a byte at least: a count can claim no more than that.
        bool fits = count <= pages.size() && (kept & ~kBitmap) <= SearchPosting::kMaxOffsets;
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
