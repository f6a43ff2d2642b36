#pragma once

#include "helpviewer/PopupTopics.h"
#include "helpviewer/RunList.h"

#include <QPoint>
#include <QRect>
#include <QWidget>

class QTextEdit;

namespace tamblin {

// A short help text at the pointer: borderless, sized to its content, kept inside the work
// area, with a shadow to the right and below. Any key or mouse press closes it and is
// consumed.
class PopupWindow final : public QWidget {
    Q_OBJECT
public:
    static constexpr int kInset = 4;
    static constexpr int kShadow = 6;

    PopupWindow(const RunList& runs, const TextDefaults& defaults, QRect workArea);
    // Sizes the window to its content, places it at position inside the work area, shows it.
    void ShowAt(QPoint position);
    QTextEdit* TextEdit() const { return m_edit; }
    // Where a window of size lands when asked for at position.
    static QPoint PlaceInside(QPoint position, QSize size, QRect workArea);

protected:
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QTextEdit* m_edit;
    QRect m_workArea;
    QColor m_background;
};

} // namespace tamblin
