#include "scanner/CharacterSet.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace tamblin {

namespace {

// Windows-1252 at 0x80..0x9F; the five bytes it leaves out stay as the C1 controls.
constexpr std::array<char32_t, 32> kWindows1252High = {
    0x20AC, 0x81,   0x201A, 0x192,  0x201E, 0x2026, 0x2020, 0x2021, 0x2C6,  0x2030, 0x160,
    0x2039, 0x152,  0x8D,   0x17D,  0x8F,   0x90,   0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x2DC,  0x2122, 0x161,  0x203A, 0x153,  0x9D,   0x17E,  0x178};

// ISO-8859-15 differs from ISO-8859-1 in eight places.
constexpr std::array<std::pair<unsigned char, char32_t>, 8> kLatin9 = {{{0xA4, 0x20AC},
                                                                        {0xA6, 0x160},
                                                                        {0xA8, 0x161},
                                                                        {0xB4, 0x17D},
                                                                        {0xB8, 0x17E},
                                                                        {0xBC, 0x152},
                                                                        {0xBD, 0x153},
                                                                        {0xBE, 0x178}}};

std::string LowerTrimmed(std::string_view text) {
    size_t begin = text.find_first_not_of(" \t\r\n\"'");
    size_t end = text.find_last_not_of(" \t\r\n\"'");
    std::string result;
    if (begin == std::string_view::npos) {
        return result;
    }
    for (char c : text.substr(begin, end - begin + 1)) {
        result += (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c;
    }
    return result;
}

char32_t Latin9(unsigned char byte) {
    for (const auto& [from, to] : kLatin9) {
        if (from == byte) {
            return to;
        }
    }
    return byte;
}

// Decodes one UTF-8 sequence at text[i] and advances i; a bad sequence gives U+FFFD for its
// first byte, and false.
bool NextUtf8(std::string_view text, size_t& i, char32_t& out) {
    out = 0xFFFD;
    auto byte = [&](size_t at) { return static_cast<unsigned char>(text[at]); };
    unsigned char lead = byte(i);
    if (lead < 0x80) {
        ++i;
        out = lead;
        return true;
    }
    int length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 0;
    if (length == 0 || lead > 0xF4 || i + static_cast<size_t>(length) > text.size()) {
        ++i;
        return false;
    }
    char32_t point = lead & (0x7F >> length);
    for (int k = 1; k < length; ++k) {
        unsigned char next = byte(i + static_cast<size_t>(k));
        if ((next & 0xC0) != 0x80) {
            ++i;
            return false;
        }
        point = (point << 6) | (next & 0x3F);
    }
    static constexpr char32_t kMinimum[] = {0, 0, 0x80, 0x800, 0x10000};
    if (point < kMinimum[length] || point > 0x10FFFF || (point >= 0xD800 && point <= 0xDFFF)) {
        ++i;
        return false;
    }
    i += static_cast<size_t>(length);
    out = point;
    return true;
}

char32_t NextUtf8(std::string_view text, size_t& i) {
    char32_t point = 0;
    NextUtf8(text, i, point);
    return point;
}

} // namespace

CharacterSet::Kind CharacterSet::FromLabel(std::string_view label) {
    std::string name = LowerTrimmed(label);
    if (name == "utf-8" || name == "utf8" || name == "unicode-1-1-utf-8" || name == "utf-16" ||
        name == "utf-16le" || name == "utf-16be") {
        // A meta tag cannot really declare UTF-16: its bytes were read as ASCII to find it.
        return kUtf8;
    }
    for (const char* known :
         {"windows-1252", "cp1252", "x-cp1252", "iso-8859-1", "iso8859-1", "iso_8859-1", "latin1",
          "l1", "us-ascii", "ascii", "cp819", "ibm819", "iso-ir-100", "csisolatin1"}) {
        if (name == known) {
            return kWindows1252;
        }
    }
    for (const char* known :
         {"iso-8859-15", "iso8859-15", "iso_8859-15", "latin9", "l9", "csisolatin9", "latin-9"}) {
        if (name == known) {
            return kLatin9;
        }
    }
    return kUnknown;
}

std::string CharacterSet::LabelOfContentType(std::string_view contentType) {
    std::string lower = LowerTrimmed(contentType);
    size_t at = lower.find("charset");
    if (at == std::string::npos) {
        return "";
    }
    at = lower.find_first_not_of(" \t", at + 7);
    if (at == std::string::npos || lower[at] != '=') {
        return "";
    }
    at = lower.find_first_not_of(" \t\"'", at + 1);
    if (at == std::string::npos) {
        return "";
    }
    size_t end = lower.find_first_of(" \t\"';,>", at);
    return lower.substr(at, end == std::string::npos ? std::string::npos : end - at);
}

const char* CharacterSet::Name(Kind kind) {
    switch (kind) {
    case kUtf8:
        return "UTF-8";
    case kWindows1252:
        return "Windows-1252";
    case kLatin9:
        return "ISO-8859-15";
    default:
        return "unknown";
    }
}

bool CharacterSet::IsUtf8(std::string_view bytes) {
    size_t i = 0;
    while (i < bytes.size()) {
        // Most of a page is ASCII: eight bytes at a time.
        if (i + 8 <= bytes.size()) {
            unsigned long long word = 0;
            std::memcpy(&word, bytes.data() + i, 8);
            if ((word & 0x8080808080808080ULL) == 0) {
                i += 8;
                continue;
            }
        }
        unsigned char c = static_cast<unsigned char>(bytes[i]);
        if (c < 0x80) {
            ++i;
            continue;
        }
        char32_t point = 0;
        if (!NextUtf8(bytes, i, point)) {
            return false;
        }
    }
    return true;
}

void CharacterSet::AppendUtf8(std::string& out, char32_t point) {
    if (point > 0x10FFFF || (point >= 0xD800 && point <= 0xDFFF)) {
        point = 0xFFFD;
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

char32_t CharacterSet::Windows1252(unsigned char byte) {
    return byte >= 0x80 && byte < 0xA0 ? kWindows1252High[byte - 0x80] : byte;
}

std::string CharacterSet::ToUtf8(std::string_view bytes, Kind from) {
    bool ascii = std::all_of(bytes.begin(), bytes.end(),
                             [](char c) { return static_cast<unsigned char>(c) < 0x80; });
    if (ascii || (from == kUtf8 && IsUtf8(bytes))) {
        return std::string(bytes);
    }
    std::string out;
    out.reserve(bytes.size() + bytes.size() / 4);
    if (from == kUtf8) {
        for (size_t i = 0; i < bytes.size();) {
            AppendUtf8(out, NextUtf8(bytes, i));
        }
        return out;
    }
    for (char c : bytes) {
        auto byte = static_cast<unsigned char>(c);
        AppendUtf8(out, from == kLatin9 ? Latin9(byte) : Windows1252(byte));
    }
    return out;
}

std::string CharacterSet::FromUtf8(std::string_view utf8, Kind to) {
    if (to == kUtf8) {
        return std::string(utf8);
    }
    std::string out;
    out.reserve(utf8.size());
    for (size_t i = 0; i < utf8.size();) {
        char32_t point = NextUtf8(utf8, i);
        int found = -1;
        if (point < 0x80) {
            found = static_cast<int>(point);
        } else {
            for (int byte = 0x80; byte < 0x100 && found < 0; ++byte) {
                auto b = static_cast<unsigned char>(byte);
                if ((to == kLatin9 ? Latin9(b) : Windows1252(b)) == point) {
                    found = byte;
                }
            }
        }
        out += found < 0 ? '?' : static_cast<char>(found);
    }
    return out;
}

std::string CharacterSet::Utf16ToUtf8(std::string_view bytes, bool bigEndian) {
    std::string out;
    out.reserve(bytes.size());
    auto unit = [&](size_t at) -> char32_t {
        auto a = static_cast<unsigned char>(bytes[at]);
        auto b = static_cast<unsigned char>(bytes[at + 1]);
        return bigEndian ? static_cast<char32_t>((a << 8) | b)
                         : static_cast<char32_t>((b << 8) | a);
    };
    for (size_t i = 0; i + 1 < bytes.size(); i += 2) {
        char32_t point = unit(i);
        if (point >= 0xD800 && point <= 0xDBFF && i + 3 < bytes.size()) {
            char32_t low = unit(i + 2);
            if (low >= 0xDC00 && low <= 0xDFFF) {
                point = 0x10000 + ((point - 0xD800) << 10) + (low - 0xDC00);
                i += 2;
            }
        }
        AppendUtf8(out, point);
    }
    return out;
}

} // namespace tamblin
