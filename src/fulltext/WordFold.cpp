#include "fulltext/WordFold.h"

#include "fulltext/WordFoldTables.h"

#include <algorithm>
#include <cstdint>
#include <unordered_map>
#include <vector>

namespace tamblin {

namespace {

constexpr char32_t kLast = 0x10FFFF;
constexpr char32_t kHangulFirst = 0xAC00;
constexpr char32_t kHangulLast = 0xD7A3;

// The tables, read once: a kind per code point below 0x10000 and ranges above; what each
// folding code point gives.
struct Tables {
    std::vector<unsigned char> bmpKinds;
    std::vector<std::pair<char32_t, unsigned char>> kindRanges;
    std::unordered_map<char32_t, std::u32string> folds;

    Tables() : bmpKinds(0x10000, 0) {
        char32_t first = 0;
        for (size_t i = 0; i < wordfold::kKindsSize; i += 2) {
            first += static_cast<char32_t>(wordfold::kKinds[i]);
            kindRanges.emplace_back(first, static_cast<unsigned char>(wordfold::kKinds[i + 1]));
        }
        for (size_t i = 0; i < kindRanges.size(); ++i) {
            char32_t end = i + 1 < kindRanges.size() ? kindRanges[i + 1].first : 0x10000;
            for (char32_t c = kindRanges[i].first; c < std::min<char32_t>(end, 0x10000); ++c) {
                bmpKinds[c] = kindRanges[i].second;
            }
        }
        ReadRuns();
        ReadMulti();
    }

    void ReadRuns() {
        char32_t first = 0;
        for (size_t i = 0; i + 3 < wordfold::kRunsSize; i += 4) {
            first += static_cast<char32_t>(wordfold::kRuns[i]);
            int count = wordfold::kRuns[i + 1];
            int step = wordfold::kRuns[i + 2];
            int delta = wordfold::kRuns[i + 3];
            for (int k = 0; k < count; ++k) {
                char32_t c = first + static_cast<char32_t>(k * step);
                folds[c] =
                    delta == 0
                        ? std::u32string()
                        : std::u32string(1, static_cast<char32_t>(static_cast<int32_t>(c) + delta));
            }
        }
    }

    void ReadMulti() {
        char32_t at = 0;
        for (size_t i = 0; i + 1 < wordfold::kMultiSize;) {
            at += static_cast<char32_t>(wordfold::kMulti[i]);
            auto length = static_cast<size_t>(wordfold::kMulti[i + 1]);
            std::u32string folded;
            for (size_t k = 0; k < length; ++k) {
                folded += static_cast<char32_t>(wordfold::kMulti[i + 2 + k]);
            }
            folds[at] = std::move(folded);
            i += 2 + length;
        }
    }
};

const Tables& TheTables() {
    static const Tables tables;
    return tables;
}

} // namespace

WordFold::Kind WordFold::KindOf(char32_t c) {
    if (c < 0x80) {
        bool word = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
        return word ? kWord : kSeparator;
    }
    const Tables& tables = TheTables();
    if (c < 0x10000) {
        return static_cast<Kind>(tables.bmpKinds[c]);
    }
    if (c > kLast) {
        return kSeparator;
    }
    auto it = std::upper_bound(tables.kindRanges.begin(), tables.kindRanges.end(), c,
                               [](char32_t value, const std::pair<char32_t, unsigned char>& r) {
                                   return value < r.first;
                               });
    return static_cast<Kind>(std::prev(it)->second);
}

void WordFold::Append(char32_t c, std::u32string& out) {
    if (c < 0x80) {
        out += (c >= 'A' && c <= 'Z') ? c + 32 : c;
        return;
    }
    if (c >= kHangulFirst && c <= kHangulLast) {
        char32_t s = c - kHangulFirst;
        out += 0x1100 + s / 588;
        out += 0x1161 + (s % 588) / 28;
        if (s % 28 != 0) {
            out += 0x11A7 + s % 28;
        }
        return;
    }
    const auto& folds = TheTables().folds;
    auto it = folds.find(c);
    if (it == folds.end()) {
        out += c;
    } else {
        out += it->second;
    }
}

} // namespace tamblin
