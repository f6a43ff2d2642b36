#pragma once

#include <string>

namespace tamblin {

// The frame of the side-by-side page unless the author's target names one.
inline constexpr const char* kSidePageFrame = "pages";

// The side-by-side page around an APPLET element (and the viewer's script line): the page
// fills the window, the applet is a sidebar `sidebarWidth` pixels wide that the reader can
// resize (by mouse, touch or the arrow keys on its edge), and the pages open in the frame
// `frame` beside it. Under 600 CSS pixels the sidebar lies over the page behind a button.
// "\n" line ends; the caller stores them as CR LF.
std::string SidePageText(const std::string& background, const std::string& applet,
                         const std::string& homeLink, const std::string& frame, int sidebarWidth);

} // namespace tamblin
