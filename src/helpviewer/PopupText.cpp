#include "helpviewer/PopupText.h"

#include "helpviewer/RunList.h"
#include "index/ParseError.h"
#include "index/TextUtils.h"

#include <algorithm>

namespace tamblin {

namespace {

char PopupEntity(std::string_view name) {
    if (name.empty()) {
        return 0;
    }
    if (name[0] == '#') {
        try {
            return static_cast<char>(ParseInteger(name.substr(1)) & 0xFF);
        } catch (const ParseError&) {
            return ' ';
        }
    }
    std::string lowered = AsciiLower(name);
    if (lowered == "quot") {
        return '"';
    }
    if (lowered == "amp") {
        return '&';
    }
    if (lowered == "lt") {
        return '<';
    }
    if (lowered == "gt") {
        return '>';
    }
    if (lowered == "nbsp") {
        return ' ';
    }
    if (lowered == "shy") {
        return '-';
    }
    if (lowered == "copy") {
        return static_cast<char>(169);
    }
    return name[0];
}

struct NamedColor {
    const char* name;
    uint32_t color;
};

constexpr NamedColor kColors[] = {
    {"black", MakeRgb(0, 0, 0)},        {"white", MakeRgb(255, 255, 255)},
    {"green", MakeRgb(0, 132, 0)},      {"maroon", MakeRgb(132, 0, 0)},
    {"olive", MakeRgb(132, 132, 0)},    {"navy", MakeRgb(0, 0, 132)},
    {"purple", MakeRgb(132, 0, 132)},   {"gray", MakeRgb(132, 132, 132)},
    {"grey", MakeRgb(132, 132, 132)},   {"red", MakeRgb(255, 0, 0)},
    {"yellow", MakeRgb(255, 255, 0)},   {"blue", MakeRgb(0, 0, 255)},
    {"teal", MakeRgb(0, 132, 132)},     {"lime", MakeRgb(0, 255, 0)},
    {"aqua", MakeRgb(0, 255, 255)},     {"fuchsia", MakeRgb(255, 0, 255)},
    {"silver", MakeRgb(198, 198, 198)},
};

std::optional<int> HexPair(std::string_view pair) {
    int value = 0;
    for (char c : pair) {
        int digit = -1;
        if (c >= '0' && c <= '9') {
            digit = c - '0';
        } else if (c >= 'a' && c <= 'f') {
            digit = c - 'a' + 10;
        }
        if (digit < 0) {
            return std::nullopt;
        }
        value = value * 16 + digit;
    }
    return value;
}

} // namespace

std::string DecodePopupText(std::string_view text) {
    std::string out;
    std::string name;
    bool inReference = false;
    for (char c : text) {
        if (!inReference) {
            if (c == '&') {
                inReference = true;
                name.clear();
            } else {
                out.push_back(c);
            }
            continue;
        }
        if (c != ';') {
            name.push_back(c);
            continue;
        }
        inReference = false;
        char decoded = PopupEntity(name);
        if (decoded == 0) {
            return out;
        }
        out.push_back(decoded);
    }
    return out;
}

int FontSizeToTwips(int size) {
    if (size <= 0) {
        return 140;
    }
    return 30 * std::min(size, 7) + 110;
}

std::optional<uint32_t> ParseHtmlColor(std::string_view text) {
    std::string lowered = AsciiLower(text);
    if (lowered.size() == 7 && lowered[0] == '#') {
        auto r = HexPair(std::string_view(lowered).substr(1, 2));
        auto g = HexPair(std::string_view(lowered).substr(3, 2));
        auto b = HexPair(std::string_view(lowered).substr(5, 2));
        if (!r || !g || !b) {
            return std::nullopt;
        }
        return MakeRgb(*r, *g, *b);
    }
    for (const NamedColor& named : kColors) {
        if (lowered == named.name) {
            return named.color;
        }
    }
    return std::nullopt;
}

std::optional<std::string> ParseFaceList(std::string_view text,
                                         const std::vector<std::string>& installedLower) {
    while (true) {
        size_t comma = text.find(',');
        std::string_view part = TrimSpaces(text.substr(0, comma));
        std::string lowered = AsciiLower(part);
        if (!part.empty() && std::find(installedLower.begin(), installedLower.end(), lowered) !=
                                 installedLower.end()) {
            return std::string(part.substr(0, CharFormat::kMaxFaceLength));
        }
        if (comma == std::string_view::npos) {
            return std::nullopt;
        }
        text.remove_prefix(comma + 1);
    }
}

std::optional<int> ParseSizeText(std::string_view text) {
    try {
        return ParseInteger(text);
    } catch (const ParseError&) {
        return std::nullopt;
    }
}

} // namespace tamblin
