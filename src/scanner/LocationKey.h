#pragma once

#include <string>
#include <string_view>

namespace tamblin {

// The text two page locations share exactly when the scanner takes them for one page: the
// scan's visited test and an update's "same page" test both go through here.
class LocationKey final {
public:
    // A location already normalised, as the scanner holds it.
    static std::string Of(std::string_view location, bool caseSignificant);
    // An entry's full URL: without its "#" part, "/" for "\", "./" and "x/../" folded.
    static std::string OfUrl(std::string_view url, bool caseSignificant);
};

} // namespace tamblin
