#include "platform/ElidingLabel.h"

#include <QEvent>
#include <QHelpEvent>
#include <QPainter>
#include <QStyle>
#include <QToolTip>

#include <algorithm>

namespace tamblin {

ElidingLabel::ElidingLabel(QWidget* parent) : QLabel(parent) {
    setTextFormat(Qt::PlainText);
    setWordWrap(false);
}

QSize ElidingLabel::sizeHint() const {
    QSize natural = QLabel::sizeHint();
    int cap = fontMetrics().averageCharWidth() * kPreferredChars;
    return QSize(std::min(natural.width(), cap), natural.height());
}

QSize ElidingLabel::minimumSizeHint() const {
    QSize natural = QLabel::minimumSizeHint();
    return QSize(std::min(natural.width(), fontMetrics().averageCharWidth() * 4), natural.height());
}

void ElidingLabel::paintEvent(QPaintEvent* event) {
    if (!IsElided()) {
        // All of it fits: the label's own drawing, with its mouse selection.
        QLabel::paintEvent(event);
        return;
    }
    QPainter painter(this);
    QRect area = contentsRect().adjusted(margin(), margin(), -margin(), -margin());
    QString shown = fontMetrics().elidedText(text(), Qt::ElideMiddle, area.width());
    style()->drawItemText(&painter, area, QStyle::visualAlignment(layoutDirection(), alignment()),
                          palette(), isEnabled(), shown, foregroundRole());
}

bool ElidingLabel::IsElided() const {
    int room = contentsRect().width() - 2 * margin();
    return fontMetrics().horizontalAdvance(text()) > room;
}

bool ElidingLabel::event(QEvent* event) {
    if (event->type() == QEvent::ToolTip && toolTip().isEmpty()) {
        if (IsElided()) {
            QToolTip::showText(static_cast<QHelpEvent*>(event)->globalPos(), PlainToolTip(text()),
                               this);
        } else {
            QToolTip::hideText();
        }
        return true;
    }
    return QLabel::event(event);
}

QString PlainToolTip(const QString& text) {
    if (!Qt::mightBeRichText(text)) {
        return text;
    }
    // "<qt>" makes the tip rich text for certain, so the escaped text shows as written.
    return QStringLiteral("<qt>") + text.toHtmlEscaped() + QStringLiteral("</qt>");
}

} // namespace tamblin
