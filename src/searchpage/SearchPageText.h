#pragma once

#include "searchpage/SearchPageSettings.h"

#include <string>

namespace tamblin {

// The bytes of the search page for `settings`, CR LF line ends. The applet reads these
// parameter names and value layouts exactly, so every literal here is part of its contract.
// An empty background colour is written as "white".
std::string SearchPageText(const SearchPageSettings& settings);

} // namespace tamblin
