#pragma once

#include <functional>
#include <string>
#include <system_error>
#include <vector>

namespace tamblin {

struct AppletCopyFailure {
    std::string name;
    std::error_code error;
};

struct AppletCopyReport {
    bool sourceFound = false; // false: the redistributables directory could not be listed
    // Copied now, or already beside the page (never replaced).
    std::vector<std::string> copied;
    std::vector<AppletCopyFailure> failed;
    // With nothing failed: "These files have been copied to your working directory:\n\n" and
    // every name of `copied`, ", " between them. Otherwise those names (when there are any),
    // then "These files could not be copied to your working directory:\n\n" and one line
    // "name: reason" per failure. With the viewer's files replaced, a paragraph before the
    // failures names those that were: "The script viewer's files were replaced with this
    // version's: " and the names.
    std::string text;
    std::vector<std::string> replaced; // the viewer's files that were there with other bytes
};

// Files named so are the script viewer's own: written by Tamblin, never by the author.
inline constexpr const char* kWebViewerFilePrefix = "navora-web";

// Copies every file of `redistDirectory` into `pageDirectory` (both ending in a separator),
// never replacing a file already there. A copy that fails leaves no partial file behind, so
// the next run copies it again. `copying` is told each file name before its copy. Files are
// taken in name order so reports are repeatable.
// With `replaceViewer`, the script viewer's files already there with other bytes are
// replaced whole (the old copy stays if writing fails), since the viewer's parts must all
// be of one version.
AppletCopyReport CopyAppletFiles(const std::string& redistDirectory,
                                 const std::string& pageDirectory,
                                 const std::function<void(const std::string&)>& copying = {},
                                 bool replaceViewer = false);

} // namespace tamblin
