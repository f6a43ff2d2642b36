#pragma once

#include "fulltext/SearchPosting.h"
#include "fulltext/SearchWords.h"

#include <string>
#include <vector>

namespace tamblin {

// A page as the search shows it: where it is, its title and the text a reader sees, with
// the words of the text counted in UTF-16 code units from its start.
struct SearchPage {
    std::string url;
    std::string title;
    std::string text;
};

// A whole search index: the pages and every word with its pages, words in code point order
// (the order of their UTF-8 bytes), pages ascending under each.
struct SearchIndexData {
    std::vector<SearchPage> pages;
    SearchWords words;
};

} // namespace tamblin
