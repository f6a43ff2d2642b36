#include "helpviewer/ui/PopupWindow.h"

#include "helpviewer/ui/RunListPlayer.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QTextDocument>
#include <QTextEdit>

#include <algorithm>
#include <cmath>

namespace tamblin {

PopupWindow::PopupWindow(const RunList& runs, const TextDefaults& defaults, QRect workArea)
    : QWidget(nullptr, Qt::Popup | Qt::FramelessWindowHint), m_workArea(workArea),
      m_background(static_cast<int>(defaults.background & 0xFF),
                   static_cast<int>((defaults.background >> 8) & 0xFF),
                   static_cast<int>((defaults.background >> 16) & 0xFF)) {
    setObjectName(QStringLiteral("PopupWindow"));
    setAttribute(Qt::WA_DeleteOnClose);
    // The squares beside the shadow belong to what lies behind the pop-up, not to it.
    setAttribute(Qt::WA_TranslucentBackground);
    m_edit = new QTextEdit(this);
    m_edit->setObjectName(QStringLiteral("popupText"));
    m_edit->setReadOnly(true);
    m_edit->setFrameShape(QFrame::NoFrame);
    m_edit->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_edit->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_edit->setTextInteractionFlags(Qt::NoTextInteraction);
    m_edit->viewport()->installEventFilter(this);
    m_edit->installEventFilter(this);
    QPalette palette = m_edit->palette();
    palette.setColor(QPalette::Base, m_background);
    m_edit->setPalette(palette);
    m_edit->document()->setDocumentMargin(0);
    m_edit->setCurrentCharFormat(DefaultCharFormat(defaults));
    PlayRunList(*m_edit, runs, defaults);
    resize(std::max(workArea.right() / 3, 40), 20);
}

QPoint PopupWindow::PlaceInside(QPoint position, QSize size, QRect workArea) {
    int x = position.x();
    int y = position.y();
    if (x + size.width() > workArea.right() + 1) {
        x = workArea.right() + 1 - size.width();
    }
    if (y + size.height() > workArea.bottom() + 1) {
        y = workArea.bottom() + 1 - size.height();
    }
    return QPoint(std::max(x, 0), std::max(y, 0));
}

void PopupWindow::ShowAt(QPoint position) {
    QTextDocument* document = m_edit->document();
    // The edit would lay the text out at its own width; the content decides the width here.
    int widest = width() - 2 * kInset - kShadow;
    m_edit->setLineWrapMode(QTextEdit::FixedPixelWidth);
    m_edit->setLineWrapColumnOrWidth(widest);
    m_edit->resize(widest, m_edit->height());
    int needed = std::min(static_cast<int>(std::ceil(document->idealWidth())), widest);
    m_edit->setLineWrapColumnOrWidth(needed);
    QSize content(needed, static_cast<int>(std::ceil(document->size().height())));
    QSize total(content.width() + 2 * kInset + kShadow, content.height() + 2 * kInset + kShadow);
    resize(total);
    m_edit->setGeometry(kInset, kInset, content.width(), content.height());
    move(PlaceInside(position, total, m_workArea));
    show();
    activateWindow();
}

void PopupWindow::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    QRect box(0, 0, width() - kShadow, height() - kShadow);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    painter.fillRect(QRect(box.width(), 0, kShadow, kShadow), Qt::transparent);
    painter.fillRect(QRect(0, box.height(), kShadow, kShadow), Qt::transparent);
    painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
    painter.fillRect(box, m_background);
    // The shadow: black and background pixels alternating, along the right and bottom.
    for (int y = kShadow; y < height(); ++y) {
        for (int x = box.width(); x < width(); ++x) {
            painter.setPen((x + y) % 2 ? Qt::black : m_background);
            painter.drawPoint(x, y);
        }
    }
    for (int y = box.height(); y < height(); ++y) {
        for (int x = kShadow; x < box.width(); ++x) {
            painter.setPen((x + y) % 2 ? Qt::black : m_background);
            painter.drawPoint(x, y);
        }
    }
    painter.setPen(Qt::black);
    painter.drawRect(box.adjusted(0, 0, -1, -1));
    painter.setPen(QColor(198, 198, 198));
    painter.drawRect(box.adjusted(1, 1, -2, -2));
}

void PopupWindow::keyPressEvent(QKeyEvent* event) {
    event->accept();
    close();
}

void PopupWindow::mousePressEvent(QMouseEvent* event) {
    event->accept();
    close();
}

bool PopupWindow::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseButtonPress || event->type() == QEvent::KeyPress) {
        close();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace tamblin
