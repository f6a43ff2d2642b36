#pragma once

#include "print/PrintPage.h"

#include <QFont>
#include <QString>

#include <functional>
#include <string>

class QPainter;
class QPaintDevice;

namespace tamblin {

// The two fonts of a print job. When the normal font could not be made neither is used and
// the device's own font stays.
struct PrintFonts {
    QFont normal;
    QFont bold;
    bool made = false;
};

// Draws a laid-out page into a painter: hundredths of an inch become device units, the
// layout's upward y becomes the device's downward y, and texts are decoded from the index
// file's bytes.
class PrintPlayer final {
public:
    using Decode = std::function<QString(const std::string& bytes)>;

    PrintPlayer(QPainter& painter, PrintFonts fonts, Decode decode);

    // Fonts of `face` whose cell height is `cellHeight` hundredths of an inch on `device`.
    static PrintFonts MakeFonts(const QString& face, int cellHeight, QPaintDevice& device);

    void Play(const PrintPage& page);

private:
    QPointF Map(int x, int y) const;
    QString Decoded(const PrintOperation& operation, const std::string& text) const;
    static std::string Bounded(const PrintOperation& operation, double room);
    void DrawText(const PrintOperation& operation);

    QPainter& m_painter;
    PrintFonts m_fonts;
    QFont m_deviceFont;
    Decode m_decode;
    double m_scaleX;
    double m_scaleY;
};

} // namespace tamblin
