#pragma once

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
};

} // namespace tamblin
