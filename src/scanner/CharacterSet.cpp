#include "scanner/CharacterSet.h"

#include "index/TextCodec.h"
#include "index/TextUtils.h"

#include <array>

namespace tamblin {

namespace {

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
    if (begin == std::string_view::npos) {
        return {};
    }
    return AsciiLower(text.substr(begin, end - begin + 1));
}

char32_t Latin9(unsigned char byte) {
    for (const auto& [from, to] : kLatin9) {
        if (from == byte) {
            return to;
        }
    }
    return byte;
}

int Latin9Byte(char32_t point) {
    if (point < 0x80) {
        return static_cast<int>(point);
    }
    for (int byte = 0x80; byte < 0x100; ++byte) {
        if (Latin9(static_cast<unsigned char>(byte)) == point) {
            return byte;
        }
    }
    return -1;
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
    return IsValidUtf8(bytes, Utf8Rule::Strict);
}

void CharacterSet::AppendUtf8(std::string& out, char32_t point) {
    tamblin::AppendUtf8(out, point);
}

char32_t CharacterSet::Windows1252(unsigned char byte) {
    return Windows1252CodePoint(byte);
}

std::string CharacterSet::ToUtf8(std::string_view bytes, Kind from) {
    switch (from) {
    case kUtf8:
        return RepairedUtf8(bytes, BrokenUtf8::ReplaceByte);
    case kLatin9:
        return SingleByteToUtf8(bytes, Latin9);
    default:
        return Windows1252ToUtf8(bytes);
    }
}

std::string CharacterSet::FromUtf8(std::string_view utf8, Kind to) {
    if (to == kUtf8) {
        return std::string(utf8);
    }
    return Utf8ToSingleByte(utf8, to == kLatin9 ? Latin9Byte : Windows1252Byte,
                            BrokenUtf8::ReplaceByte, nullptr);
}

std::string CharacterSet::Utf16ToUtf8(std::string_view bytes, bool bigEndian) {
    return tamblin::Utf16ToUtf8(bytes, bigEndian);
}

} // namespace tamblin
