#pragma once

#include "index/UrlUtils.h"
#include "searchpage/IndexParameter.h"

#include <string>

namespace tamblin {

// The value of an "index%d" parameter, e.g. "MySite.xo,french2.xol,sort noindex,,,fr":
// always five commas, file names without their directories.
std::string FormatIndexParameter(const IndexParameter& entry, char separator = kNativeSeparator);

} // namespace tamblin
