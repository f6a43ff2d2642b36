#pragma once

#include "searchpage/SearchPageSettings.h"

#include <string>

namespace tamblin {

// The bytes of the search page for `settings`, CR LF line ends. The applet reads these
// parameter names and value layouts exactly, so every literal here is part of its contract.
// An empty background colour is written as "white".
// With PageLayout::Side the same APPLET element sits in a sidebar beside a frame that shows
// the pages.
std::string SearchPageText(const SearchPageSettings& settings);

// The name of the side-by-side page's frame, which is also the applet's Target there.
std::string SidePageFrameName(const SearchPageSettings& settings);

} // namespace tamblin
