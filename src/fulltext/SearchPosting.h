#pragma once

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace tamblin {

// Where one word stands in one page.
struct SearchPosting {
    enum Flag : std::uint8_t { kInTitle = 1, kInHeading = 2 };
    static constexpr size_t kMaxOffsets = 16;

    std::uint32_t page = 0;
    std::uint32_t count = 0; // every occurrence, the title's included
    std::uint8_t flags = 0;
    std::vector<std::uint32_t> offsets; // the first kMaxOffsets in the text, ascending

    // What a page scores for one word, as the viewer ranks it: title, headings, how often.
    static double Score(std::uint32_t count, std::uint8_t flags) {
        return (flags & kInTitle ? 1000 : 0) + (flags & kInHeading ? 100 : 0) +
               10 * std::log2(1.0 + count);
    }
};

} // namespace tamblin
