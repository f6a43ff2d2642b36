#include "platform/ScreenFit.h"

#include "platform/DialogPlacement.h"

#include <QWidget>

#include <algorithm>

namespace tamblin {

void KeepWithinWorkArea(QWidget& window) {
    QRect area = DialogPlacement::WorkArea(&window);
    if (area.isEmpty()) {
        return;
    }
    // The frame (title bar, borders) comes on top of the widget's own size.
    QRect frame = window.frameGeometry();
    QSize extra = frame.size() - window.size();
    QSize room = area.size() - extra;
    QSize size = window.size().boundedTo(room).expandedTo(window.minimumSize());
    if (size != window.size()) {
        window.resize(size);
    }
    frame = window.frameGeometry();
    int x = std::max(area.left(), std::min(frame.left(), area.right() + 1 - frame.width()));
    int y = std::max(area.top(), std::min(frame.top(), area.bottom() + 1 - frame.height()));
    if (x != frame.left() || y != frame.top()) {
        window.move(x, y);
    }
}

} // namespace tamblin
