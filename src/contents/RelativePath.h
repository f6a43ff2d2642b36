#pragma once

#include <string>

namespace tamblin {

// The URL path that leads from directory `from` to directory `to`, both ending with
// `separator`: "../" for each level to climb, then the rest of `to`. Empty when they are
// equal or either is not a full path. With '\\' both must be drive paths ("C:\"), and a
// different drive gives "file:///D|/rest/".
std::string RelativePath(const std::string& from, const std::string& to, char separator);

} // namespace tamblin
