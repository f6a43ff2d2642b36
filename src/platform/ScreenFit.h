#pragma once

class QWidget;

namespace tamblin {

// Shrinks window to the work area of its screen, as far as its minimum size allows, and
// moves it so that it lies inside that area. Long texts must never push a window's edges
// off the screen, where its buttons could not be reached.
void KeepWithinWorkArea(QWidget& window);

} // namespace tamblin
