#pragma once

#include <string>

namespace tamblin {

// Writes `bytes` to a temporary file beside `path` and renames it over `path`, so the old
// file stays whole unless the new one was written whole (see ReplacingFile).
bool WriteFileReplacing(const std::string& path, const std::string& bytes);

// Puts a copy of the file `from` in the place of `path` as a save does: written to a
// temporary file beside it, synced, then renamed over it, the old file's mode kept. 0 when
// done, else the system's error number, and the old file is as it was.
int CopyFileReplacing(const std::string& from, const std::string& path);

// Whether a file can be put in the place of `path`: its folder takes a new file. 0 when it
// does, else the system's error number (a missing or read-only folder, say).
int CheckReplaceable(const std::string& path);

} // namespace tamblin
