#include "scanner/HtmlText.h"

#include "index/TextUtils.h"
#include "scanner/HtmlEntityTable.h"

#include <algorithm>
#include <cstring>

namespace tamblin {

namespace {

constexpr size_t kLongestName = 32;
// The longest legacy name that may stand without ";" ("middot", "curren" ...).
constexpr size_t kLongestLegacyName = 6;

bool IsAlnum(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
}

int DigitValue(char c, bool hex) {
    int digit = HexDigitValue(c);
    return hex || digit < 10 ? digit : -1;
}

const HtmlEntity* FindEntity(std::string_view name) {
    const HtmlEntity* begin = kHtmlEntities;
    const HtmlEntity* end = kHtmlEntities + kHtmlEntityCount;
    const HtmlEntity* found =
        std::lower_bound(begin, end, name, [](const HtmlEntity& entity, std::string_view key) {
            // A shorter name ends in '\0', which sorts first: no length needed.
            return std::strncmp(entity.name, key.data(), key.size()) < 0;
        });
    return found != end && std::strncmp(found->name, name.data(), name.size()) == 0 &&
                   found->name[name.size()] == '\0'
               ? found
               : nullptr;
}

} // namespace

char32_t HtmlText::NumericReference(unsigned long long number) {
    if (number == 0 || number > 0x10FFFF || (number >= 0xD800 && number <= 0xDFFF)) {
        return 0xFFFD;
    }
    if (number >= 0x80 && number < 0xA0) {
        return CharacterSet::Windows1252(static_cast<unsigned char>(number));
    }
    return static_cast<char32_t>(number);
}

size_t HtmlText::DecodeReference(std::string_view text, size_t at, bool attribute,
                                 std::string& out) {
    size_t i = at + 1;
    if (i < text.size() && text[i] == '#') {
        ++i;
        bool hex = i < text.size() && (text[i] == 'x' || text[i] == 'X');
        if (hex) {
            ++i;
        }
        size_t digits = i;
        unsigned long long number = 0;
        for (int digit = 0; i < text.size() && (digit = DigitValue(text[i], hex)) >= 0; ++i) {
            // Past the last code point the value only has to stay too big.
            number = std::min<unsigned long long>(number * (hex ? 16 : 10) + digit, 0x110000);
        }
        if (i == digits) {
            return 0;
        }
        if (i < text.size() && text[i] == ';') {
            ++i;
        }
        CharacterSet::AppendUtf8(out, NumericReference(number));
        return i - at;
    }
    size_t end = i;
    while (end < text.size() && end - i < kLongestName && IsAlnum(text[end])) {
        ++end;
    }
    if (end == i) {
        return 0;
    }
    const HtmlEntity* entity = nullptr;
    size_t taken = 0;
    if (end < text.size() && text[end] == ';') {
        entity = FindEntity(text.substr(i, end + 1 - i));
        taken = end + 1 - i;
    }
    for (size_t length = std::min(end - i, kLongestLegacyName); !entity && length >= 2; --length) {
        entity = FindEntity(text.substr(i, length));
        taken = length;
    }
    if (!entity) {
        return 0;
    }
    size_t after = i + taken;
    bool legacy = text[after - 1] != ';';
    if (legacy && attribute && after < text.size() &&
        (IsAlnum(text[after]) || text[after] == '=')) {
        return 0;
    }
    CharacterSet::AppendUtf8(out, entity->first);
    if (entity->second != 0) {
        CharacterSet::AppendUtf8(out, entity->second);
    }
    return after - at;
}

std::string HtmlText::Decode(std::string_view raw, CharacterSet::Kind charset, bool attribute) {
    std::string text = CharacterSet::ToUtf8(raw, charset);
    if (text.find('&') == std::string::npos) {
        return text;
    }
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size();) {
        if (text[i] == '&') {
            if (size_t taken = DecodeReference(text, i, attribute, out); taken > 0) {
                i += taken;
                continue;
            }
        }
        out += text[i++];
    }
    return out;
}

std::string HtmlText::ForField(std::string_view utf8) {
    std::string out;
    out.reserve(utf8.size());
    for (size_t i = 0; i < utf8.size(); ++i) {
        auto c = static_cast<unsigned char>(utf8[i]);
        if (c == ';') {
            continue;
        }
        if (c < 32 || c == 0x7F) {
            out += ' ';
        } else if (c == 0xC2 && i + 1 < utf8.size() &&
                   static_cast<unsigned char>(utf8[i + 1]) == 0xA0) {
            // A no-break space reads as a space, as it always did.
            out += ' ';
            ++i;
        } else {
            out += static_cast<char>(c);
        }
    }
    size_t begin = out.find_first_not_of(' ');
    if (begin == std::string::npos) {
        return "";
    }
    return out.substr(begin, out.find_last_not_of(' ') - begin + 1);
}

} // namespace tamblin
