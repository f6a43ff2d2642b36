#pragma once

#include <functional>
#include <string>

namespace tamblin {

struct AppletCopyReport {
    bool sourceFound = false; // false: the redistributables directory could not be listed
    // "These files have been copied to your working directory:\n\n" and every file name of
    // the source, ", " between them; it names files that were already there too.
    std::string text;
};

// Copies every file of `redistDirectory` into `pageDirectory` (both ending in a separator),
// never replacing a file already there; a copy that fails is passed over. `copying` is told
// each file name before its copy. Files are taken in name order so reports are repeatable.
AppletCopyReport CopyAppletFiles(const std::string& redistDirectory,
                                 const std::string& pageDirectory,
                                 const std::function<void(const std::string&)>& copying = {});

} // namespace tamblin
