#pragma once

#include <string>

namespace tamblin {

// How an index file's format numbers read: empty before a format was read (major -1).
std::string FormatText(int major, int minor, int coding);

} // namespace tamblin
