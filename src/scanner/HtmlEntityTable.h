#pragma once

#include <cstddef>

namespace tamblin {

// One named character reference; names of the legacy references that may stand without ";"
// appear twice, with and without it.
struct HtmlEntity {
    const char* name;
    char32_t first;
    char32_t second; // 0 when the reference stands for one character
};

// Sorted by the bytes of their names.
extern const HtmlEntity kHtmlEntities[];
extern const size_t kHtmlEntityCount;

} // namespace tamblin
