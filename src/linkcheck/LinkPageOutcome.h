#pragma once

#include <string>
#include <unordered_set>

namespace tamblin {

// What opening one page found out.
struct LinkPageOutcome {
    bool found = false;   // the page is there (after any redirects)
    long status = 0;      // the final http status; 0 for files and when nothing answered
    std::string error;    // why the page is not there, when found is false
    std::string finalUrl; // where redirects ended
    long redirects = 0;
    bool anchorsRead = false;
    std::unordered_set<std::string> anchors;
};

} // namespace tamblin
