#include "index/ScanMark.h"

#include "index/IndexEntry.h"
#include "index/IndexKeyword.h"

#include <algorithm>

namespace tamblin {

namespace {

constexpr std::uint64_t kFnvOffset = 14695981039346656037ull;
constexpr std::uint64_t kFnvPrime = 1099511628211ull;

std::uint64_t Mix(std::uint64_t hash, std::string_view text) {
    for (unsigned char c : text) {
        hash = (hash ^ c) * kFnvPrime;
    }
    // A separator that no text holds, so "ab"+"c" and "a"+"bc" differ.
    return (hash ^ 0x100u) * kFnvPrime;
}

// Every reader of the search page downloads these records, so each hash is folded to 32
// bits: half the bytes of the full hash, and a false match still needs the author's text to
// collide with the scan's within one entry.
std::uint64_t Fold(std::uint64_t hash) {
    return (hash ^ (hash >> 32)) & 0xFFFFFFFFu;
}

void AppendHex(std::string& out, std::uint64_t value) {
    static constexpr char kDigits[] = "0123456789abcdef";
    for (int shift = 28; shift >= 0; shift -= 4) {
        out += kDigits[(value >> shift) & 0xF];
    }
}

bool ParseHex(std::string_view text, std::uint64_t& value) {
    if (text.empty() || text.size() > 16) {
        return false;
    }
    value = 0;
    for (char c : text) {
        int digit = c >= '0' && c <= '9' ? c - '0' : c >= 'a' && c <= 'f' ? c - 'a' + 10 : -1;
        if (digit < 0) {
            return false;
        }
        value = (value << 4) | static_cast<std::uint64_t>(digit);
    }
    return true;
}

} // namespace

std::uint64_t ScanMark::HashText(std::string_view text) {
    return Fold(Mix(kFnvOffset, text));
}

std::uint64_t ScanMark::HashKeyword(const IndexKeyword& keyword) {
    std::uint64_t hash = Mix(kFnvOffset, keyword.m_phrase);
    hash = Mix(hash, keyword.m_anchor);
    hash = Mix(hash, keyword.m_extraTitle);
    return Fold(Mix(hash, keyword.m_ownTarget ? std::string_view(keyword.m_targetFrame) : ""));
}

ScanMark ScanMark::Of(const IndexEntry& entry) {
    ScanMark mark;
    mark.title = HashText(entry.m_title);
    mark.keywords.reserve(entry.m_keywords.size());
    for (const IndexKeyword& keyword : entry.m_keywords) {
        mark.keywords.push_back(HashKeyword(keyword));
    }
    return mark;
}

bool ScanMark::HasKeyword(std::uint64_t hash) const {
    return std::find(keywords.begin(), keywords.end(), hash) != keywords.end();
}

std::string ScanMark::Encode() const {
    std::string out;
    out.reserve(9 + keywords.size() * 9);
    AppendHex(out, title);
    out += ';';
    for (size_t i = 0; i < keywords.size(); ++i) {
        if (i > 0) {
            out += ',';
        }
        AppendHex(out, keywords[i]);
    }
    return out;
}

bool ScanMark::Decode(std::string_view titleField, std::string_view keywordField, ScanMark& mark) {
    if (!ParseHex(titleField, mark.title)) {
        return false;
    }
    mark.keywords.clear();
    while (!keywordField.empty()) {
        size_t comma = keywordField.find(',');
        std::uint64_t hash = 0;
        if (!ParseHex(keywordField.substr(0, comma), hash)) {
            return false;
        }
        mark.keywords.push_back(hash);
        keywordField.remove_prefix(comma == std::string_view::npos ? keywordField.size()
                                                                   : comma + 1);
    }
    return true;
}

} // namespace tamblin
