#pragma once

class QWidget;

namespace tamblin {

// Puts the keyboard focus on the first control of `page` that takes it by Tab, so that a
// tabbed window opens ready to type rather than with the (invisible) focus on its tab bar.
// Returns false when the page has no such control.
bool FocusFirstField(QWidget* page);

} // namespace tamblin
