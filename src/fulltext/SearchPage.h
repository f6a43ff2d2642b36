#pragma once

#include <string>

namespace tamblin {

// A page as the search shows it: where it is, its title and the text a reader sees, with
// the words of the text counted in UTF-16 code units from its start.
struct SearchPage {
    std::string url;
    std::string title;
    std::string text;
};

} // namespace tamblin
