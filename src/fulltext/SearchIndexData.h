#pragma once

#include "fulltext/SearchPage.h"
#include "fulltext/SearchPageParts.h"
#include "fulltext/SearchPosting.h"
#include "fulltext/SearchWords.h"

#include <cstdint>
#include <vector>

namespace tamblin {

// A whole search index: the pages and every word with its pages, words in code point order
// (the order of their UTF-8 bytes), pages ascending under each.
struct SearchIndexData {
    std::vector<SearchPage> pages;
    SearchWords words;
    // The page and text parts of `pages`, made by the builder while the scan read on: its
    // pages then keep no text of their own (SearchIndexReader reads it back from the parts).
    // They stand for the pages while `partsOfPages` is their count; otherwise the parts are
    // made from the pages when the index is written.
    std::vector<SearchPageParts::Part> pageParts;
    size_t partsOfPages = SIZE_MAX;
};

} // namespace tamblin
