#pragma once

#include <string>
#include <string_view>

namespace tamblin {

#ifdef _WIN32
inline constexpr char kNativeSeparator = '\\';
#else
inline constexpr char kNativeSeparator = '/';
#endif

// Position of the ":" that ends a leading run of letters ("http:", "C:"), else 0.
size_t IsAbsoluteUrl(std::string_view text);
// Removes "./" segments and folds "segment/../" pairs, in place. A path that climbs above
// its start ("../x") is left as it is.
void NormalizeUrlPath(std::string& text);

struct PathParts {
    std::string directory; // up to and including the last separator; empty without one
    std::string fileName;
};
PathParts SplitPath(std::string_view path, char separator = kNativeSeparator);

bool FileExists(const std::string& path);

} // namespace tamblin
