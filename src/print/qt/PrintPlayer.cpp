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

QString PrintPlayer::Decoded(const PrintOperation& operation, const std::string& text) const {
    if (operation.fileName) {
        // The bytes name a file; the index file's encoding says nothing about them.
        return QFile::decodeName(QByteArray(text.data(), static_cast<qsizetype>(text.size())));
    }
    return m_decode ? m_decode(text) : QString::fromStdString(text);
}

// Measuring and eliding cost more than the text's length (Qt shapes the whole of it, more
// than once), and a line holds a few hundred characters: a text far longer than its room is
// cut before it is measured, keeping the head (and the tail when the middle gives way) with
// an ellipsis between, so a 50 MB title prints as fast as a short one.
std::string PrintPlayer::Bounded(const PrintOperation& operation, double room) {
    const std::string& text = operation.text;
    // Far more characters than fit: no glyph is narrower than a device pixel.
    size_t keep = static_cast<size_t>(std::max(256.0, room)) * 4;
    if (text.size() <= keep * 2) {
        return text;
    }
    auto boundary = [&text](size_t at) {
        while (at > 0 && (static_cast<unsigned char>(text[at]) & 0xC0) == 0x80) {
            --at;
        }
        return at;
    };
    // ASCII, so that it reads the same in either encoding of the file.
    const std::string ellipsis = "...";
    if (operation.elide == PrintOperation::Elide::Middle) {
        size_t head = boundary(keep / 2);
        size_t tail = boundary(text.size() - keep / 2);
        return text.substr(0, head) + ellipsis + text.substr(tail);
    }
    return text.substr(0, boundary(keep)) + ellipsis;
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
    QPointF at = Map(operation.x, operation.y);
    const bool fitted =
        operation.right > operation.x && operation.align != PrintOperation::Align::Right;
    double room = Map(operation.right, operation.y).x() - at.x();
    if (operation.align == PrintOperation::Align::Centre) {
        room *= 2;
    }
    std::string bounded;
    if (fitted && operation.text.size() > 1024) {
        bounded = Bounded(operation, room);
    }
    QString text = Decoded(operation, bounded.empty() ? operation.text : bounded);
    QFontMetricsF metrics(font, m_painter.device());
    double width = metrics.horizontalAdvance(text);
    if (fitted) {
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
