#include "index/TextCodec.h"

#include <array>
#include <cstring>

namespace tamblin {

namespace {

constexpr std::array<char16_t, 32> kWindows1252High = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

unsigned char ByteAt(std::string_view bytes, size_t at) {
    return static_cast<unsigned char>(bytes[at]);
}

// Length of the valid UTF-8 sequence at `at`, or 0 with `part` set to the bytes that one
// U+FFFD replaces (the longest start of a valid sequence, at least one byte).
size_t ValidSequenceAt(std::string_view bytes, size_t at, size_t& part,
                       Utf8Rule rule = Utf8Rule::Strict) {
    unsigned char lead = ByteAt(bytes, at);
    part = 1;
    if (lead < 0x80) {
        return 1;
    }
    size_t need = 0;
    unsigned char low = 0x80;
    unsigned char high = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
        need = 1;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        need = 2;
        if (rule == Utf8Rule::Strict) {
            low = lead == 0xE0 ? 0xA0 : 0x80;
            high = lead == 0xED ? 0x9F : 0xBF;
        }
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        need = 3;
        if (rule == Utf8Rule::Strict) {
            low = lead == 0xF0 ? 0x90 : 0x80;
            high = lead == 0xF4 ? 0x8F : 0xBF;
        }
    } else {
        return 0;
    }
    for (size_t k = 1; k <= need; ++k) {
        if (at + k >= bytes.size()) {
            return 0;
        }
        unsigned char c = ByteAt(bytes, at + k);
        if (c < (k == 1 ? low : 0x80) || c > (k == 1 ? high : 0xBF)) {
            return 0;
        }
        part = k + 1;
    }
    return need + 1;
}

// Old editor texts were re-encoded by shape alone; keeping that keeps their bytes.
char32_t ShapeAt(std::string_view bytes, size_t& at) {
    unsigned char lead = ByteAt(bytes, at++);
    int extra = lead >= 0xF0 ? 3 : lead >= 0xE0 ? 2 : lead >= 0xC0 ? 1 : 0;
    char32_t point = extra == 0 ? lead : lead & (0x3F >> extra);
    for (int k = 0; k < extra && at < bytes.size(); ++k) {
        point = (point << 6) | (ByteAt(bytes, at++) & 0x3F);
    }
    return point;
}

} // namespace

bool IsValidUtf8(std::string_view bytes, Utf8Rule rule) {
    size_t at = 0;
    while (at < bytes.size()) {
        // Most text is ASCII: eight bytes at a time.
        if (at + 8 <= bytes.size()) {
            unsigned long long word = 0;
            std::memcpy(&word, bytes.data() + at, 8);
            if ((word & 0x8080808080808080ULL) == 0) {
                at += 8;
                continue;
            }
        }
        size_t part = 0;
        size_t length = ValidSequenceAt(bytes, at, part, rule);
        if (length == 0) {
            return false;
        }
        at += length;
    }
    return true;
}

char32_t NextCodePoint(std::string_view bytes, size_t& at, BrokenUtf8 broken) {
    size_t part = 0;
    size_t length = ValidSequenceAt(bytes, at, part);
    if (length == 0) {
        switch (broken) {
        case BrokenUtf8::ReplacePart:
            at += part;
            return kReplacementCharacter;
        case BrokenUtf8::ReplaceByte:
            ++at;
            return kReplacementCharacter;
        case BrokenUtf8::ReadShape:
            break;
        }
        return ShapeAt(bytes, at);
    }
    unsigned char lead = ByteAt(bytes, at);
    char32_t point = length == 1 ? lead : lead & (0x7F >> length);
    for (size_t k = 1; k < length; ++k) {
        point = (point << 6) | (ByteAt(bytes, at + k) & 0x3F);
    }
    at += length;
    return point;
}

void AppendUtf8(std::string& out, char32_t point) {
    if (point > 0x10FFFF || (point >= 0xD800 && point <= 0xDFFF)) {
        point = kReplacementCharacter;
    }
    if (point < 0x80) {
        out += static_cast<char>(point);
    } else if (point < 0x800) {
        out += static_cast<char>(0xC0 | (point >> 6));
        out += static_cast<char>(0x80 | (point & 0x3F));
    } else if (point < 0x10000) {
        out += static_cast<char>(0xE0 | (point >> 12));
        out += static_cast<char>(0x80 | ((point >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (point & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (point >> 18));
        out += static_cast<char>(0x80 | ((point >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((point >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (point & 0x3F));
    }
}

std::string RepairedUtf8(std::string_view bytes, BrokenUtf8 broken) {
    if (IsValidUtf8(bytes, Utf8Rule::Strict)) {
        return std::string(bytes);
    }
    std::string out;
    out.reserve(bytes.size() + bytes.size() / 4);
    for (size_t at = 0; at < bytes.size();) {
        AppendUtf8(out, NextCodePoint(bytes, at, broken));
    }
    return out;
}

char32_t Windows1252CodePoint(unsigned char byte) {
    return byte >= 0x80 && byte < 0xA0 ? kWindows1252High[byte - 0x80] : byte;
}

int Windows1252Byte(char32_t point) {
    if (point < 0x80 || (point >= 0xA0 && point <= 0xFF)) {
        return static_cast<int>(point);
    }
    for (size_t i = 0; i < kWindows1252High.size(); ++i) {
        if (kWindows1252High[i] == point) {
            return static_cast<int>(0x80 + i);
        }
    }
    return -1;
}

std::string SingleByteToUtf8(std::string_view bytes, char32_t (*codePointOf)(unsigned char)) {
    std::string out;
    out.reserve(bytes.size() + bytes.size() / 4);
    for (char byte : bytes) {
        AppendUtf8(out, codePointOf(static_cast<unsigned char>(byte)));
    }
    return out;
}

std::string Utf8ToSingleByte(std::string_view utf8, int (*byteOf)(char32_t), BrokenUtf8 broken,
                             bool* exact) {
    std::string out;
    out.reserve(utf8.size());
    if (exact) {
        *exact = true;
    }
    for (size_t at = 0; at < utf8.size();) {
        int byte = byteOf(NextCodePoint(utf8, at, broken));
        if (byte < 0 && exact) {
            *exact = false;
        }
        out += byte < 0 ? '?' : static_cast<char>(byte);
    }
    return out;
}

std::string Windows1252ToUtf8(std::string_view bytes) {
    return SingleByteToUtf8(bytes, Windows1252CodePoint);
}

std::string Utf8ToWindows1252(std::string_view utf8, BrokenUtf8 broken, bool* exact) {
    return Utf8ToSingleByte(utf8, Windows1252Byte, broken, exact);
}

std::string Utf16ToUtf8(std::string_view bytes, bool bigEndian) {
    std::string out;
    out.reserve(bytes.size());
    auto unitAt = [&](size_t at) {
        unsigned a = ByteAt(bytes, at);
        unsigned b = ByteAt(bytes, at + 1);
        return static_cast<char32_t>(bigEndian ? (a << 8) | b : (b << 8) | a);
    };
    for (size_t at = 0; at + 1 < bytes.size(); at += 2) {
        char32_t point = unitAt(at);
        if (point >= 0xD800 && point <= 0xDBFF && at + 3 < bytes.size()) {
            char32_t low = unitAt(at + 2);
            if (low >= 0xDC00 && low <= 0xDFFF) {
                point = 0x10000 + ((point - 0xD800) << 10) + (low - 0xDC00);
                at += 2;
            }
        }
        AppendUtf8(out, point);
    }
    return out;
}

} // namespace tamblin
