#pragma once

#include <string>

namespace tamblin {

// One index file the applet loads, with its language and options: one "index%d" parameter
// of the search page.
struct IndexParameter {
    std::string indexFile; // full path of the .xo file
    std::string indexEncoding;
    std::string languageFile; // full path or file name of the .xol file
    std::string languageEncoding;
    std::string languageCode = "en"; // at most 2 characters
    std::string countryCode;         // at most 2 characters
    bool noContents = false;
    bool noIndex = false;
    bool indexSelectedInitially = false;
    bool sort = false;
    bool expanded = false;
    std::string selectUrl;
    std::string initialQuery;

    bool operator==(const IndexParameter&) const = default;
};

} // namespace tamblin
