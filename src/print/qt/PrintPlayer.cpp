#include "print/qt/PrintPlayer.h"

#include <QFile>
#include <QFontMetricsF>
#include <QPaintDevice>
#include <QPainter>

#include <algorithm>
#include <cmath>
#include <utility>

namespace tamblin {

namespace {

constexpr double kUnitsPerInch = 100.0;

// A font of `face` whose line height (ascent plus descent) is `pixels` on the device.
QFont FontWithHeight(const QString& face, double pixels, int weight, QPaintDevice& device) {
    QFont font(face);
    font.setWeight(static_cast<QFont::Weight>(weight));
    constexpr int kProbe = 1000;
    font.setPixelSize(kProbe);
    double probeHeight = QFontMetricsF(font, &device).height();
    double scale = probeHeight > 0 ? kProbe / probeHeight : 1.0;
    font.setPixelSize(std::max(1, static_cast<int>(std::lround(pixels * scale))));
    return font;
}

} // namespace

PrintPlayer::PrintPlayer(QPainter& painter, PrintFonts fonts, Decode decode)
    : m_painter(painter), m_fonts(std::move(fonts)), m_deviceFont(painter.font()),
      m_decode(std::move(decode)) {
    QPaintDevice* device = painter.device();
    m_scaleX = device->logicalDpiX() / kUnitsPerInch;
    m_scaleY = device->logicalDpiY() / kUnitsPerInch;
}

PrintFonts PrintPlayer::MakeFonts(const QString& face, int cellHeight, QPaintDevice& device) {
    PrintFonts fonts;
    if (face.isEmpty() || cellHeight < 1) {
        return fonts;
    }
    double pixels = cellHeight * device.logicalDpiY() / kUnitsPerInch;
    fonts.normal = FontWithHeight(face, pixels, 400, device);
    fonts.bold = FontWithHeight(face, pixels, 700, device);
    fonts.made = true;
    return fonts;
}

QString PrintPlayer::Decoded(const PrintOperation& operation) const {
    if (operation.fileName) {
        // The bytes name a file; the index file's encoding says nothing about them.
        return QFile::decodeName(
            QByteArray(operation.text.data(), static_cast<qsizetype>(operation.text.size())));
    }
    return m_decode ? m_decode(operation.text) : QString::fromStdString(operation.text);
}

QPointF PrintPlayer::Map(int x, int y) const {
    return {x * m_scaleX, -y * m_scaleY};
}

void PrintPlayer::Play(const PrintPage& page) {
    m_painter.save();
    QPen pen(Qt::black);
    pen.setWidthF(std::max(1.0, m_scaleY));
    m_painter.setPen(pen);
    m_painter.setBrush(Qt::NoBrush);
    for (const PrintOperation& operation : page.operations) {
        switch (operation.kind) {
        case PrintOperation::Kind::Text:
            DrawText(operation);
            break;
        case PrintOperation::Kind::Rectangle:
            m_painter.drawRect(
                QRectF(Map(operation.x, operation.y), Map(operation.x2, operation.y2))
                    .normalized());
            break;
        case PrintOperation::Kind::Line:
            m_painter.drawLine(Map(operation.x, operation.y), Map(operation.x2, operation.y2));
            break;
        }
    }
    m_painter.restore();
}

void PrintPlayer::DrawText(const PrintOperation& operation) {
    const QFont& font = !m_fonts.made    ? m_deviceFont
                        : operation.bold ? m_fonts.bold
                                         : m_fonts.normal;
    m_painter.setFont(font);
    QString text = Decoded(operation);
    QFontMetricsF metrics(font, m_painter.device());
    QPointF at = Map(operation.x, operation.y);
    double width = metrics.horizontalAdvance(text);
    if (operation.right > operation.x && operation.align != PrintOperation::Align::Right) {
        double room = Map(operation.right, operation.y).x() - at.x();
        if (operation.align == PrintOperation::Align::Centre) {
            room *= 2;
        }
        if (width > room) {
            text = metrics.elidedText(
                text,
                operation.elide == PrintOperation::Elide::Middle ? Qt::ElideMiddle : Qt::ElideRight,
                room);
            width = metrics.horizontalAdvance(text);
        }
    }
    if (operation.align == PrintOperation::Align::Centre) {
        at.rx() -= width / 2;
    } else if (operation.align == PrintOperation::Align::Right) {
        at.rx() -= width;
    }
    at.ry() += metrics.ascent();
    m_painter.drawText(at, text);
}

} // namespace tamblin
