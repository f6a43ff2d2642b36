#pragma once

#include <string>

namespace tamblin {

// Writes `bytes` to a temporary file beside `path` and renames it over `path`, so the old
// file stays whole unless the new one was written whole (see ReplacingFile).
bool WriteFileReplacing(const std::string& path, const std::string& bytes);

} // namespace tamblin
