#pragma once

#include "searchpage/SearchPageSettings.h"

#include <string>
#include <vector>

namespace tamblin {

// What writing the companion scripts of a page's files did, by file name.
struct PageCompanions {
    std::vector<std::string> written; // companion names, e.g. "site.xo.js"
    std::vector<std::string> missing; // files the page names that are not there yet
    std::vector<std::string> failed;  // companions that could not be written

    bool Empty() const { return written.empty() && missing.empty() && failed.empty(); }
};

// The files the page reads beside itself, each once, in the order the page names them:
// every index file, then its language file.
std::vector<std::string> PageFileNames(const SearchPageSettings& settings);

// Writes the companion of each file the page names, found in `settings.pageDirectory` (where
// the page reads it).
PageCompanions WritePageCompanions(const SearchPageSettings& settings);

// The report for the user; empty when there is nothing to say.
std::string PageCompanionsText(const PageCompanions& result);

} // namespace tamblin
