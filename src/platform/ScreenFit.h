#pragma once

#include <QRect>

class QWidget;

namespace tamblin {

// The work area (the screen less panels and docks) of the screen that window is on, or of
// the primary screen while it is on none.
QRect WorkAreaOf(const QWidget& window);

// Shrinks window to the work area of its screen, as far as its minimum size allows, and
// moves it so that it lies inside that area. Long texts must never push a window's edges
// off the screen, where its buttons could not be reached.
void KeepWithinWorkArea(QWidget& window);

} // namespace tamblin
