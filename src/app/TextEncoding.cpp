#include "app/TextEncoding.h"

#include "index/IndexFile.h"
#include "index/TextUtils.h"

#include <vector>

namespace tamblin {

namespace {

// 0x80..0x9F; the unassigned bytes keep their own value.
constexpr char16_t kHighControls[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

void AppendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

int ByteFor(char32_t c) {
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) {
        return static_cast<int>(c);
    }
    for (int i = 0; i < 32; ++i) {
        if (kHighControls[i] == c) {
            return 0x80 + i;
        }
    }
    return -1;
}

// The next code point of a valid UTF-8 text; an invalid byte is returned as it is.
char32_t NextCodePoint(std::string_view text, size_t& i) {
    unsigned char lead = static_cast<unsigned char>(text[i++]);
    int extra = lead >= 0xF0 ? 3 : lead >= 0xE0 ? 2 : lead >= 0xC0 ? 1 : 0;
    char32_t c = extra == 3   ? lead & 0x07
                 : extra == 2 ? lead & 0x0F
                 : extra == 1 ? lead & 0x1F
                              : lead;
    for (int k = 0; k < extra && i < text.size(); ++k) {
        c = (c << 6) | (static_cast<unsigned char>(text[i++]) & 0x3F);
    }
    return c;
}

bool EntryTextsAreUtf8(const IndexEntry& entry) {
    for (const std::string* text :
         {&entry.m_url, &entry.m_title, &entry.m_targetFrame, &entry.m_iconUrl, &entry.m_pageTip}) {
        if (!IsValidUtf8(*text)) {
            return false;
        }
    }
    for (const IndexKeyword& keyword : entry.m_keywords) {
        for (const std::string* text : {&keyword.m_phrase, &keyword.m_anchor, &keyword.m_extraTitle,
                                        &keyword.m_targetFrame}) {
            if (!IsValidUtf8(*text)) {
                return false;
            }
        }
    }
    return true;
}

// Walks with an explicit stack: index trees may be deeper than the call stack allows.
bool TreeTextsAreUtf8(const IndexEntry& top) {
    std::vector<const IndexEntry*> pending = {&top};
    while (!pending.empty()) {
        const IndexEntry* entry = pending.back();
        pending.pop_back();
        if (!EntryTextsAreUtf8(*entry)) {
            return false;
        }
        for (const auto& child : entry->m_children) {
            pending.push_back(child.get());
        }
    }
    return true;
}

} // namespace

std::string Windows1252ToUtf8(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size() + bytes.size() / 4);
    for (char byte : bytes) {
        unsigned char b = static_cast<unsigned char>(byte);
        AppendUtf8(out, b >= 0x80 && b < 0xA0 ? kHighControls[b - 0x80] : b);
    }
    return out;
}

std::string Utf8ToWindows1252(std::string_view utf8, bool* exact) {
    std::string out;
    out.reserve(utf8.size());
    if (exact) {
        *exact = true;
    }
    for (size_t i = 0; i < utf8.size();) {
        int byte = ByteFor(NextCodePoint(utf8, i));
        if (byte < 0 && exact) {
            *exact = false;
        }
        out += static_cast<char>(byte < 0 ? '?' : byte);
    }
    return out;
}

TextEncoding DetectEncoding(const IndexFile& index) {
    bool utf8 = IsValidUtf8(index.m_description) && IsValidUtf8(index.m_tipText);
    for (const auto& baseUrl : index.m_baseUrls) {
        utf8 = utf8 && IsValidUtf8(baseUrl->m_url) && IsValidUtf8(baseUrl->m_targetFrame);
    }
    utf8 = utf8 && TreeTextsAreUtf8(index.m_root) && TreeTextsAreUtf8(index.m_otherKeywords) &&
           TreeTextsAreUtf8(index.m_holding);
    return utf8 ? TextEncoding::Utf8 : TextEncoding::Windows1252;
}

} // namespace tamblin
