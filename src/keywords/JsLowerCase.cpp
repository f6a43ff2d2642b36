#include "keywords/JsLowerCase.h"

#include "index/TextCodec.h"
#include "keywords/JsLowerCaseTable.h"

#include <algorithm>

namespace tamblin {

namespace {

constexpr char32_t kCapitalSigma = 0x3A3;
constexpr char32_t kSmallSigma = 0x3C3;
constexpr char32_t kFinalSigma = 0x3C2;

bool InRanges(const CodePointRange* ranges, std::size_t count, char32_t point) {
    const CodePointRange* end = ranges + count;
    const CodePointRange* at = std::upper_bound(
        ranges, end, point, [](char32_t p, const CodePointRange& r) { return p < r.first; });
    return at != ranges && point <= (at - 1)->last;
}

bool IsCased(char32_t point) {
    return InRanges(kCasedRanges, kCasedCount, point);
}

bool IsCaseIgnorable(char32_t point) {
    return InRanges(kCaseIgnorableRanges, kCaseIgnorableCount, point);
}

// The code point starting at `at` (a lone surrogate is itself), moving `at` past it.
char32_t NextPoint(std::u16string_view text, std::size_t& at) {
    char32_t unit = text[at++];
    if (unit >= 0xD800 && unit <= 0xDBFF && at < text.size() && text[at] >= 0xDC00 &&
        text[at] <= 0xDFFF) {
        return 0x10000 + ((unit - 0xD800) << 10) + (text[at++] - 0xDC00);
    }
    return unit;
}

// The code point ending just before `at`, moving `at` back over it.
char32_t PreviousPoint(std::u16string_view text, std::size_t& at) {
    char32_t unit = text[--at];
    if (unit >= 0xDC00 && unit <= 0xDFFF && at > 0 && text[at - 1] >= 0xD800 &&
        text[at - 1] <= 0xDBFF) {
        --at;
        return 0x10000 + ((text[at] - 0xD800) << 10) + (unit - 0xDC00);
    }
    return unit;
}

// Unicode's Final_Sigma: a cased letter (then case-ignorables) before, none after.
bool IsFinalSigma(std::u16string_view text, std::size_t start, std::size_t end) {
    bool casedBefore = false;
    for (std::size_t at = start; at > 0;) {
        char32_t point = PreviousPoint(text, at);
        if (IsCased(point)) {
            casedBefore = true;
            break;
        }
        if (!IsCaseIgnorable(point)) {
            break;
        }
    }
    if (!casedBefore) {
        return false;
    }
    for (std::size_t at = end; at < text.size();) {
        char32_t point = NextPoint(text, at);
        if (IsCased(point)) {
            return false;
        }
        if (!IsCaseIgnorable(point)) {
            break;
        }
    }
    return true;
}

void Append(std::u16string& out, char32_t point) {
    if (point >= 0x10000) {
        point -= 0x10000;
        out.push_back(static_cast<char16_t>(0xD800 + (point >> 10)));
        out.push_back(static_cast<char16_t>(0xDC00 + (point & 0x3FF)));
    } else {
        out.push_back(static_cast<char16_t>(point));
    }
}

void AppendLowered(std::u16string& out, char32_t point) {
    const LowerCaseSingle* singlesEnd = kLowerCaseSingles + kLowerCaseSingleCount;
    const LowerCaseSingle* single =
        std::lower_bound(kLowerCaseSingles, singlesEnd, point,
                         [](const LowerCaseSingle& s, char32_t p) { return s.from < p; });
    if (single != singlesEnd && single->from == point) {
        Append(out, single->to);
        return;
    }
    for (std::size_t i = 0; i < kLowerCaseMultipleCount; ++i) {
        if (kLowerCaseMultiples[i].from == point) {
            for (char32_t to : kLowerCaseMultiples[i].to) {
                if (to != 0) {
                    Append(out, to);
                }
            }
            return;
        }
    }
    Append(out, point);
}

} // namespace

std::u16string JsToLowerCase(std::u16string_view text) {
    std::u16string out;
    out.reserve(text.size());
    for (std::size_t at = 0; at < text.size();) {
        char16_t unit = text[at];
        if (unit < 0x80) {
            out.push_back(unit >= u'A' && unit <= u'Z' ? static_cast<char16_t>(unit + 32) : unit);
            ++at;
            continue;
        }
        std::size_t start = at;
        char32_t point = NextPoint(text, at);
        if (point == kCapitalSigma) {
            out.push_back(
                static_cast<char16_t>(IsFinalSigma(text, start, at) ? kFinalSigma : kSmallSigma));
        } else {
            AppendLowered(out, point);
        }
    }
    return out;
}

std::string Utf16ToUtf8String(std::u16string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t at = 0; at < text.size();) {
        char32_t point = NextPoint(text, at);
        AppendUtf8(out, point);
    }
    return out;
}

std::u16string Utf8ToUtf16String(std::string_view utf8) {
    std::u16string out;
    out.reserve(utf8.size());
    for (std::size_t at = 0; at < utf8.size();) {
        unsigned char byte = static_cast<unsigned char>(utf8[at]);
        if (byte < 0x80) {
            out.push_back(byte);
            ++at;
            continue;
        }
        Append(out, NextCodePoint(utf8, at, BrokenUtf8::ReplacePart));
    }
    return out;
}

} // namespace tamblin
