#pragma once

#include "searchpage/CopyAppletFiles.h"
#include "searchpage/SearchPageHost.h"
#include "searchpage/SearchPageSettings.h"

#include <string>

namespace tamblin {

enum class SearchPageOutcome {
    CannotCreate, // nothing written, nothing copied
    WriteError,   // any file already at the page path is kept
    Tested,       // the test page dialog ran on the new page
    NoBrowser,    // testNow was on but there is no browser; the page stays written
    Built,        // testNow was off: "New page built successfully."
};

// Writes the page, copies the applet's files from `redistDirectory` when the
// settings (or the user, asked when the page's directory lacks the applet) want them, then
// opens the test page or reports success. Every outcome is also told through `host`.
// `settings.pageDirectory` and `copyJavaFiles` are updated as the run decides them. A copy
// that fails is told as a warning with its reason; `copyReport`, when given, receives what the
// copy step did (left as it is when the files were not copied).
SearchPageOutcome WriteSearchPage(SearchPageSettings& settings, const std::string& redistDirectory,
                                  SearchPageHost& host, AppletCopyReport* copyReport = nullptr);

// The applet's redistributable files: "Redist/" in the program's directory.
std::string RedistDirectory(const std::string& programDirectory);

// "%1" replaced by `value`, as the messages above expect.
std::string FillMessage(const char* text, const std::string& value);

} // namespace tamblin
