#pragma once

#include <string>

class QWidget;

namespace tamblin {

// After a Browse: tells the user when `path` names no file, or a file outside the page's
// directory (the applet loads index and language files relative to the page). An empty path
// is let through silently. True when the file is where it must be.
bool CheckPageFile(QWidget* parent, const std::string& path, const std::string& pageDirectory);

// Whether `path` names an existing file whose directory is exactly `pageDirectory`.
bool IsFileInPageDirectory(const std::string& path, const std::string& pageDirectory);

} // namespace tamblin
