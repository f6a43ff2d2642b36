#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace tamblin {

// The attributes a format run sets; the others are left as they are.
enum FormatMask : unsigned {
    kMaskBold = 1u << 0,
    kMaskItalic = 1u << 1,
    kMaskUnderline = 1u << 2,
    kMaskStrikeOut = 1u << 3,
    kMaskColor = 1u << 4,
    kMaskFace = 1u << 5,
    kMaskSize = 1u << 6,
};

struct CharFormat {
    unsigned mask = 0;
    unsigned effects = 0; // the kMaskBold..kMaskStrikeOut bits that are on
    int heightTwips = 0;
    uint32_t color = 0; // 0x00BBGGRR
    std::string face;   // at most kMaxFaceLength bytes
    static constexpr size_t kMaxFaceLength = 31;

    bool operator==(const CharFormat&) const = default;
};

struct TextRun {
    enum Kind { kText, kFormat };
    Kind kind = kText;
    std::string text; // bytes as the page holds them, references decoded
    CharFormat format;

    bool operator==(const TextRun&) const = default;
};

using RunList = std::vector<TextRun>;

constexpr uint32_t MakeRgb(unsigned r, unsigned g, unsigned b) {
    return (r & 0xFF) | ((g & 0xFF) << 8) | ((b & 0xFF) << 16);
}

} // namespace tamblin
