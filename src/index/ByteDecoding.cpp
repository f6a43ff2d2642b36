#include "index/ByteDecoding.h"

namespace tamblin {

namespace {

constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";

std::string_view WithoutUtf8Bom(std::string_view bytes) {
    if (bytes.substr(0, kUtf8Bom.size()) == kUtf8Bom) {
        bytes.remove_prefix(kUtf8Bom.size());
    }
    return bytes;
}

std::string DecodeUtf16(std::string_view bytes) {
    bool bigEndian = true;
    if (bytes.size() >= 2) {
        unsigned char a = static_cast<unsigned char>(bytes[0]);
        unsigned char b = static_cast<unsigned char>(bytes[1]);
        if ((a == 0xFE && b == 0xFF) || (a == 0xFF && b == 0xFE)) {
            bigEndian = a == 0xFE;
            bytes.remove_prefix(2);
        }
    }
    std::string out = Utf16ToUtf8(bytes, bigEndian);
    if (bytes.size() % 2 != 0) {
        AppendUtf8(out, kReplacementCharacter); // a lone last byte
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

std::string DecodeToUtf8(std::string_view bytes, ByteEncoding encoding) {
    switch (encoding) {
    case ByteEncoding::Utf8:
        return RepairedUtf8(WithoutUtf8Bom(bytes), BrokenUtf8::ReplacePart);
    case ByteEncoding::Windows1252:
        return Windows1252ToUtf8(bytes);
    case ByteEncoding::Utf16:
        return DecodeUtf16(bytes);
    case ByteEncoding::Detect:
        break;
    }
    std::string_view text = WithoutUtf8Bom(bytes);
    return IsValidUtf8(text, Utf8Rule::Strict) ? std::string(text) : Windows1252ToUtf8(bytes);
}

} // namespace tamblin
