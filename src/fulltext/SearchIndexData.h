#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace tamblin {

// A page as the search shows it: where it is, its title and the text a reader sees, with
// the words of the text counted in UTF-16 code units from its start.
struct SearchPage {
    std::string url;
    std::string title;
    std::string text;
};

// Where one word stands in one page.
struct SearchPosting {
    enum Flag : std::uint8_t { kInTitle = 1, kInHeading = 2 };
    static constexpr size_t kMaxOffsets = 16;

    std::uint32_t page = 0;
    std::uint32_t count = 0; // every occurrence, the title's included
    std::uint8_t flags = 0;
    std::vector<std::uint32_t> offsets; // the first kMaxOffsets in the text, ascending
};

// A whole search index: the pages and every word with its pages, words in code point order
// (the order of their UTF-8 bytes), pages ascending under each.
struct SearchIndexData {
    std::vector<SearchPage> pages;
    std::vector<std::pair<std::string, std::vector<SearchPosting>>> words;
};

} // namespace tamblin
