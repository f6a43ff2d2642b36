#pragma once

#include <cstddef>
#include <cstdint>

// The tables of the web's encodings, generated from the reference decoder by
// scripts/gen_web_encodings.js. A 0 in an index is a pointer that maps to nothing.
namespace tamblin::webencoding {

struct Label {
    const char* label;
    int kind;
};

struct GbRange {
    uint32_t pointer;
    char32_t first;
};

// Sorted by label.
extern const Label kLabels[];
extern const size_t kLabelCount;
extern const char* const kNames[40];
// Bytes 0x80 to 0xFF of each single-byte encoding, 128 a piece, in the order of the kinds.
extern const char16_t kSingleByte[28 * 128];
// Every pointer of Shift_JIS, so that none is out of bounds.
extern const char16_t kJis0208[60 * 188];
extern const char16_t kJis0212[94 * 94];
extern const char16_t kEucKr[126 * 190];
extern const char16_t kGb18030[126 * 190];
extern const char32_t kBig5[126 * 157];
extern const GbRange kGbRanges[];
extern const size_t kGbRangeCount;

} // namespace tamblin::webencoding
