#include "platform/ScreenFit.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

#include <algorithm>

namespace tamblin {

QRect WorkAreaOf(const QWidget& window) {
    QScreen* screen = window.screen();
    if (!screen) {
        screen = QGuiApplication::primaryScreen();
    }
    return screen ? screen->availableGeometry() : QRect();
}

void KeepWithinWorkArea(QWidget& window) {
    QRect area = WorkAreaOf(window);
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
