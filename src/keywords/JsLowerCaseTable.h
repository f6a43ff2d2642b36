#pragma once

#include <cstddef>

namespace tamblin {

// The tables scripts/gen_js_lowercase.js writes from Node, so that phrases sort here as the
// script viewer sorts them in a browser.

struct LowerCaseSingle {
    char32_t from;
    char32_t to;
};

// A code point that lowers to several (at most three; unused places are 0).
struct LowerCaseMultiple {
    char32_t from;
    char32_t to[3];
};

struct CodePointRange {
    char32_t first;
    char32_t last;
};

// Sorted by `from` / `first`.
extern const LowerCaseSingle kLowerCaseSingles[];
extern const std::size_t kLowerCaseSingleCount;
extern const LowerCaseMultiple kLowerCaseMultiples[];
extern const std::size_t kLowerCaseMultipleCount;
extern const CodePointRange kCasedRanges[];
extern const std::size_t kCasedCount;
extern const CodePointRange kCaseIgnorableRanges[];
extern const std::size_t kCaseIgnorableCount;

} // namespace tamblin
