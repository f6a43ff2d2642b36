#pragma once

#include "index/SaveResult.h"

#include <string>

namespace tamblin {

// Writes `bytes` to `path` as every save does (see ReplacingFile): the old file stays
// whole unless the new one was written whole.
SaveResult WriteFileReplacing(const std::string& path, const std::string& bytes,
                              ReplaceOptions options = {});
// The bytes of the file `from` saved to `to` the same way.
SaveResult CopyFileReplacing(const std::string& from, const std::string& to,
                             ReplaceOptions options = {});

} // namespace tamblin
