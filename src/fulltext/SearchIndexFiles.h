#pragma once

#include <string>

namespace tamblin {

// Where the search index of an index file lives. For SITE.xo it is the folder SITE.xo.search
// beside it (deleting the folder removes the search):
//   index.js  the list: the page count and the first and last word of every word part
//   w<N>.js   word parts: words in code point order with the pages that hold them, in
//             numbers (SearchWordPart)
//   p<N>.js   page parts: the address, title and text sections of kPagesPerPart pages each
//   t<N>.js   text parts: sections of the pages' text, for the snippets
//   s<N>.js   start parts: the pages of the words one or two first characters begin
//             (SearchStartLists), as many parts as the list's second line says after the
//             page count and the pages per part (none where it says nothing)
//   first.js  where there are start parts: the best pages of each first character
// Each file is a script around its bytes (SearchPartScript).
class SearchIndexFiles {
public:
    static constexpr int kPagesPerPart = 250;

    // "site.xo" -> "site.xo.search".
    static std::string Folder(const std::string& indexPath);
    static std::string List(const std::string& folder);
    static std::string WordPart(const std::string& folder, size_t number);
    static std::string PagePart(const std::string& folder, size_t number);
    static std::string TextPart(const std::string& folder, size_t number);
    static std::string StartPart(const std::string& folder, size_t number);
    static std::string FirstPart(const std::string& folder);
};

} // namespace tamblin
