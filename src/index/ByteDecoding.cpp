#include "index/ByteDecoding.h"

#include <array>

namespace tamblin {

namespace {

// Windows-1252 as browsers read it: the five bytes the code page leaves unassigned
// (0x81 0x8D 0x8F 0x90 0x9D) stand for the C1 controls of the same value.
constexpr std::array<char16_t, 32> kWindows1252High = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";
constexpr char32_t kReplacement = 0xFFFD;

void AppendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

// Length of the valid UTF-8 sequence at `i`, or 0 with `consumed` set to the bytes that one
// U+FFFD replaces (the longest start of a valid sequence, at least one byte), as the
// decoders of browsers count them.
size_t ValidSequenceAt(std::string_view bytes, size_t i, size_t& consumed) {
    auto at = [&](size_t k) { return static_cast<unsigned char>(bytes[k]); };
    unsigned char lead = at(i);
    consumed = 1;
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
        low = lead == 0xE0 ? 0xA0 : 0x80;
        high = lead == 0xED ? 0x9F : 0xBF;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        need = 3;
        low = lead == 0xF0 ? 0x90 : 0x80;
        high = lead == 0xF4 ? 0x8F : 0xBF;
    } else {
        return 0;
    }
    for (size_t k = 1; k <= need; ++k) {
        if (i + k >= bytes.size()) {
            return 0;
        }
        unsigned char c = at(i + k);
        unsigned char min = k == 1 ? low : 0x80;
        unsigned char max = k == 1 ? high : 0xBF;
        if (c < min || c > max) {
            return 0;
        }
        consumed = k + 1;
    }
    return need + 1;
}

std::string DecodeUtf8(std::string_view bytes) {
    if (bytes.substr(0, kUtf8Bom.size()) == kUtf8Bom) {
        bytes.remove_prefix(kUtf8Bom.size());
    }
    if (IsStrictUtf8(bytes)) {
        return std::string(bytes);
    }
    std::string out;
    out.reserve(bytes.size() + bytes.size() / 4);
    size_t i = 0;
    while (i < bytes.size()) {
        size_t consumed = 0;
        size_t length = ValidSequenceAt(bytes, i, consumed);
        if (length > 0) {
            out.append(bytes.substr(i, length));
            i += length;
        } else {
            AppendUtf8(out, kReplacement);
            i += consumed;
        }
    }
    return out;
}

std::string DecodeWindows1252(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size() + bytes.size() / 4);
    for (char byte : bytes) {
        unsigned char c = static_cast<unsigned char>(byte);
        if (c >= 0x80 && c <= 0x9F) {
            AppendUtf8(out, kWindows1252High[c - 0x80]);
        } else {
            AppendUtf8(out, c);
        }
    }
    return out;
}

std::string DecodeUtf16(std::string_view bytes) {
    bool bigEndian = true;
    size_t i = 0;
    if (bytes.size() >= 2) {
        unsigned char a = static_cast<unsigned char>(bytes[0]);
        unsigned char b = static_cast<unsigned char>(bytes[1]);
        if ((a == 0xFE && b == 0xFF) || (a == 0xFF && b == 0xFE)) {
            bigEndian = a == 0xFE;
            i = 2;
        }
    }
    auto unitAt = [&](size_t k) {
        unsigned hi = static_cast<unsigned char>(bytes[bigEndian ? k : k + 1]);
        unsigned lo = static_cast<unsigned char>(bytes[bigEndian ? k + 1 : k]);
        return static_cast<char32_t>((hi << 8) | lo);
    };
    std::string out;
    out.reserve(bytes.size());
    for (; i + 1 < bytes.size(); i += 2) {
        char32_t unit = unitAt(i);
        if (unit >= 0xD800 && unit <= 0xDBFF && i + 3 < bytes.size()) {
            char32_t next = unitAt(i + 2);
            if (next >= 0xDC00 && next <= 0xDFFF) {
                AppendUtf8(out, 0x10000 + ((unit - 0xD800) << 10) + (next - 0xDC00));
                i += 2;
                continue;
            }
        }
        AppendUtf8(out, unit >= 0xD800 && unit <= 0xDFFF ? kReplacement : unit);
    }
    if (i < bytes.size()) {
        AppendUtf8(out, kReplacement); // a lone last byte
    }
    return out;
}

bool SameName(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (size_t i = 0; i < a.size(); ++i) {
        char x = a[i] >= 'A' && a[i] <= 'Z' ? static_cast<char>(a[i] + 32) : a[i];
        char y = b[i] >= 'A' && b[i] <= 'Z' ? static_cast<char>(b[i] + 32) : b[i];
        if (x != y) {
            return false;
        }
    }
    return true;
}

} // namespace

bool EncodingFromName(std::string_view name, ByteEncoding& encoding) {
    struct Known {
        std::string_view name;
        ByteEncoding encoding;
    };
    // "DBCS_ASCII" names the system's ANSI code page, which old index files were written in.
    static constexpr Known kKnown[] = {
        {"", ByteEncoding::Detect},
        {"8859_1", ByteEncoding::Windows1252},
        {"DBCS_ASCII", ByteEncoding::Windows1252},
        {"UTF8", ByteEncoding::Utf8},
        {"Unicode", ByteEncoding::Utf16},
    };
    for (const Known& known : kKnown) {
        if (SameName(name, known.name)) {
            encoding = known.encoding;
            return true;
        }
    }
    return false;
}

bool IsStrictUtf8(std::string_view bytes) {
    size_t i = 0;
    while (i < bytes.size()) {
        // Runs of ASCII are by far the most common case.
        if (static_cast<unsigned char>(bytes[i]) < 0x80) {
            ++i;
            continue;
        }
        size_t consumed = 0;
        size_t length = ValidSequenceAt(bytes, i, consumed);
        if (length == 0) {
            return false;
        }
        i += length;
    }
    return true;
}

std::string DecodeToUtf8(std::string_view bytes, ByteEncoding encoding) {
    switch (encoding) {
    case ByteEncoding::Utf8:
        return DecodeUtf8(bytes);
    case ByteEncoding::Windows1252:
        return DecodeWindows1252(bytes);
    case ByteEncoding::Utf16:
        return DecodeUtf16(bytes);
    case ByteEncoding::Detect:
        break;
    }
    std::string_view text = bytes;
    if (text.substr(0, kUtf8Bom.size()) == kUtf8Bom) {
        text.remove_prefix(kUtf8Bom.size());
    }
    return IsStrictUtf8(text) ? std::string(text) : DecodeWindows1252(bytes);
}

} // namespace tamblin
