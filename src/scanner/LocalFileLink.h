#pragma once

#include <optional>
#include <string>

namespace tamblin {

// What a link to a local file finds on disk, looked at as a browser opening the file: the
// query left off and %XX escapes read, the path as written tried first, for a file whose
// name holds "%".
class LocalFileLink final {
public:
    enum class Kind { Missing, File, Folder };
    // `found`, when given, receives the path on disk that was found.
    static Kind Of(const std::string& location, std::string* found = nullptr);
    // The index page a browser shows for the folder at path ("index.html", then
    // "index.htm"), or nothing.
    static std::optional<std::string> FolderIndex(const std::string& path);
};

} // namespace tamblin
