#include "index/TextUtils.h"

#include "index/ParseError.h"
#include "index/TextCodec.h"

#include <climits>
#include <cstdio>

namespace tamblin {

namespace {

bool IsCSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// Saturates like the C library's strtol does, then narrows as atoi would on this platform.
int LeadingInteger(std::string_view text) {
    size_t i = 0;
    while (i < text.size() && IsCSpace(text[i])) {
        ++i;
    }
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    long long value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        if (value <= INT_MAX) {
            value = value * 10 + (text[i] - '0');
        }
    }
    if (negative) {
        value = -value;
    }
    if (value > INT_MAX) {
        return INT_MAX;
    }
    if (value < INT_MIN) {
        return INT_MIN;
    }
    return static_cast<int>(value);
}

} // namespace

int ParseInteger(std::string_view text) {
    int value = LeadingInteger(text);
    if (value == 0 && (text.empty() || text[0] != '0')) {
        throw ParseError(kNotAnInteger);
    }
    return value;
}

std::string IntToText(long long n) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%lld", n);
    return buffer;
}

std::string ReplaceChar(std::string_view text, char from, char to) {
    std::string result(text);
    for (char& c : result) {
        if (c == from) {
            c = to;
        }
    }
    return result;
}

std::string_view TrimWhite(std::string_view text) {
    constexpr std::string_view kWhite = " \t\r\n\v\f";
    size_t begin = text.find_first_not_of(kWhite);
    if (begin == std::string_view::npos) {
        return {};
    }
    return text.substr(begin, text.find_last_not_of(kWhite) - begin + 1);
}

std::string_view TrimSpaces(std::string_view text) {
    size_t begin = text.find_first_not_of(' ');
    if (begin == std::string_view::npos) {
        return {};
    }
    size_t end = text.find_last_not_of(' ');
    return text.substr(begin, end - begin + 1);
}

void StripPrefix(std::string& text, std::string_view prefix) {
    if (!prefix.empty() && text.size() >= prefix.size() &&
        text.compare(0, prefix.size(), prefix) == 0) {
        text.erase(0, prefix.size());
    }
}

std::string EnsureTrailingSlash(std::string_view text) {
    std::string result(text);
    if (!result.empty() && result.back() != '/') {
        result += '/';
    }
    return result;
}

std::string PlainKeywordField(std::string_view text) {
    std::string result;
    std::string_view trimmed = TrimSpaces(text);
    if (trimmed.size() > 1 && trimmed[0] == '&') {
        result += '&';
    }
    result += text;
    return result;
}

std::string AsciiLower(std::string_view text) {
    std::string lowered(text);
    for (char& c : lowered) {
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c - 'A' + 'a');
        }
    }
    return lowered;
}

int HexDigitValue(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

std::string PercentDecode(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        int high = text[i] == '%' && i + 2 < text.size() ? HexDigitValue(text[i + 1]) : -1;
        int low = high >= 0 ? HexDigitValue(text[i + 2]) : -1;
        if (low >= 0) {
            out += static_cast<char>(high * 16 + low);
            i += 2;
        } else {
            out += text[i];
        }
    }
    return out;
}

std::string PercentEncode(std::string_view text, std::string_view set) {
    static const char kHex[] = "0123456789ABCDEF";
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        auto u = static_cast<unsigned char>(c);
        if (u < 0x20 || u >= 0x7F || set.find(c) != std::string_view::npos) {
            out += '%';
            out += kHex[u >> 4];
            out += kHex[u & 15];
        } else {
            out += c;
        }
    }
    return out;
}

std::string LowerText(std::string_view text) {
    std::string result(text);
    bool utf8 = IsValidUtf8(text, Utf8Rule::Shape);
    for (size_t i = 0; i < result.size(); ++i) {
        unsigned char u = static_cast<unsigned char>(result[i]);
        if (u >= 'A' && u <= 'Z') {
            result[i] = static_cast<char>(u + 32);
        } else if (utf8) {
            // Latin-1 capitals are C3 80..9E; their small letters differ by 0x20 in the
            // second byte. Other scripts keep their case here.
            if (u == 0xC3 && i + 1 < result.size()) {
                unsigned char next = static_cast<unsigned char>(result[i + 1]);
                if (next >= 0x80 && next <= 0x9E && next != 0x97) {
                    result[i + 1] = static_cast<char>(next + 0x20);
                }
                ++i;
            }
        } else if (u >= 0xC0 && u <= 0xDE && u != 0xD7) {
            result[i] = static_cast<char>(u + 32);
        } else if (u == 0x8A || u == 0x8C || u == 0x8E) {
            result[i] = static_cast<char>(u + 16);
        } else if (u == 0x9F) {
            result[i] = static_cast<char>(0xFF);
        }
    }
    return result;
}

bool FindInText(std::string_view pattern, std::string_view text, bool matchCase, bool wholeWord) {
    std::string lowered;
    if (!matchCase) {
        lowered = LowerText(text);
        text = lowered;
    }
    size_t from = 0;
    while (true) {
        size_t at = text.find(pattern, from);
        if (at == std::string_view::npos) {
            return false;
        }
        if (!wholeWord) {
            return true;
        }
        size_t end = at + pattern.size();
        bool startOk = at == 0 || text[at - 1] == ' ';
        bool endOk = end == text.size() || text[end] == ' ';
        if (startOk && endOk) {
            return true;
        }
        from = at + 1;
    }
}

bool HasFieldBreak(std::string_view text) {
    return text.find_first_of(";\r\n") != std::string_view::npos;
}

std::string DescriptionProblem(std::string_view description) {
    if (HasFieldBreak(description)) {
        return "The description cannot hold ';' or a line break: an index file could not keep it.";
    }
    return {};
}

} // namespace tamblin
