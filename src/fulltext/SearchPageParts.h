#pragma once

#include "fulltext/SearchPage.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace tamblin {

// Makes the page parts and text parts of a search index (SearchIndexFiles), a page at a
// time, each part as the script written to its file. A text part is filled to its size: a
// page's text is cut into sections where a part ends, so that parts are few (each is a file
// to create) while a snippet still fetches no more than one part. The builder feeds it as
// each page's words are counted, so that the parts are made while the scan reads on and a
// save only writes them.
class SearchPageParts {
public:
    // Text parts hold at least this many bytes of text, and more where the text packs well,
    // up to about kTextPartFileBytes on disk and kMostTextPartBytes of text. A first query
    // fetches a text part for each snippet shown; every part is a file to create and, at the
    // next save, to delete, which costs the scan more than its bytes do, so a part of text
    // that packs to a twentieth of its size is not left a file of a few hundred bytes.
    static constexpr size_t kTextPartBytes = 16 * 1024;
    static constexpr size_t kTextPartFileBytes = 24 * 1024;
    static constexpr size_t kMostTextPartBytes = 256 * 1024;

    // What to write where: SearchIndexFiles::PagePart or TextPart of `number`.
    struct Part {
        bool text = false;
        std::uint32_t number = 0;
        std::string script;
    };

    void Add(const SearchPage& page);
    // Ends the last parts; the parts made since the last call are handed over with Take.
    void Finish();
    // The parts made so far, in the order they were made.
    std::vector<Part> Take() { return std::exchange(m_parts, {}); }

private:
    void EndTextPart();
    void EndPagePart();

    std::vector<Part> m_parts;
    std::string m_pagePart;
    std::string m_textPart;
    std::uint32_t m_textNumber = 0;
    std::uint32_t m_sections = 0;
    size_t m_pages = 0;
    size_t m_partBytes = kTextPartBytes;
};

} // namespace tamblin
