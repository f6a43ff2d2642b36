#include "scanner/MarkerText.h"

#include "index/TextCodec.h"

#include <cctype>

namespace tamblin {

namespace {

constexpr size_t kMaxLabel = 16;

std::string_view Trimmed(std::string_view text) {
    auto white = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
    while (!text.empty() && white(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && white(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

bool IsJoiner(char32_t code) {
    return code == 0xFE0E || code == 0xFE0F || code == 0x200D;
}

// Punctuation and symbols: ASCII's, Latin-1's (¶, §, ·), general punctuation, arrows,
// mathematical and technical signs, dingbats, and the emoji planes.
bool IsSymbol(char32_t code) {
    if (code < 0x80) {
        return std::ispunct(static_cast<int>(code)) != 0;
    }
    return (code >= 0xA1 && code <= 0xBF && code != 0xAA && code != 0xBA) || code == 0xD7 ||
           code == 0xF7 || (code >= 0x2010 && code <= 0x2BFF) ||
           (code >= 0x1F000 && code <= 0x1FAFF);
}

// One symbol and nothing else but joiners.
bool IsLoneSymbol(std::string_view text) {
    if (!IsValidUtf8(text, Utf8Rule::Strict)) {
        // A single-byte character set: ¶ and § sit where Latin-1 puts them.
        unsigned char c = static_cast<unsigned char>(text[0]);
        return text.size() == 1 && (c >= 0xA1 && c <= 0xBF);
    }
    size_t symbols = 0;
    for (size_t at = 0; at < text.size();) {
        char32_t code = NextCodePoint(text, at, BrokenUtf8::ReplacePart);
        if (IsJoiner(code)) {
            continue;
        }
        if (!IsSymbol(code) || ++symbols > 1) {
            return false;
        }
    }
    return symbols == 1;
}

bool IsBracketedLabel(std::string_view text) {
    if (text.size() < 3 || text.size() > kMaxLabel + 2 || text.front() != '[' ||
        text.back() != ']') {
        return false;
    }
    for (char c : text.substr(1, text.size() - 2)) {
        if (c == '[' || c == ']' || std::isspace(static_cast<unsigned char>(c))) {
            return false;
        }
    }
    return true;
}

bool IsShortNumber(std::string_view text) {
    if (text.empty() || text.size() > 3) {
        return false;
    }
    for (char c : text) {
        if (!std::isdigit(static_cast<unsigned char>(c))) {
            return false;
        }
    }
    return true;
}

} // namespace

bool MarkerText::IsPermalink(std::string_view text) {
    text = Trimmed(text);
    return text.empty() || IsLoneSymbol(text);
}

bool MarkerText::IsNote(std::string_view text, bool inPageLink) {
    text = Trimmed(text);
    if (IsBracketedLabel(text)) {
        return true;
    }
    return inPageLink && !text.empty() && (IsShortNumber(text) || IsLoneSymbol(text));
}

} // namespace tamblin
