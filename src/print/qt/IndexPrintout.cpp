#include "print/qt/IndexPrintout.h"

#include "index/DateText.h"

#include <QFontMetricsF>
#include <QPagedPaintDevice>
#include <QPainter>

#include <cmath>
#include <limits>
#include <utility>

namespace tamblin {

IndexPrintout::IndexPrintout(const IndexFile& index, Options options, PrintPlayer::Decode decode)
    : m_index(index), m_options(std::move(options)), m_decode(std::move(decode)) {}

PrintFonts IndexPrintout::Fonts(QPaintDevice& device) const {
    return PrintPlayer::MakeFonts(m_options.face, IndexPrintLayout::CellHeight(m_options.points),
                                  device);
}

IndexPrintLayout IndexPrintout::Layout(QPaintDevice& device, const PrintFonts& fonts,
                                       std::string dateText) const {
    IndexPrintLayout::Geometry geometry;
    geometry.lineHeight = fonts.made ? IndexPrintLayout::LineHeightForPoints(m_options.points)
                                     : IndexPrintLayout::kNoFontLineHeight;
    int dpiX = device.logicalDpiX() > 0 ? device.logicalDpiX() : 100;
    int dpiY = device.logicalDpiY() > 0 ? device.logicalDpiY() : 100;
    geometry.width = static_cast<int>(static_cast<long long>(device.width()) * 100 / dpiX);
    geometry.bottom = -static_cast<int>(static_cast<long long>(device.height()) * 100 / dpiY);
    // Labels are measured in the fonts they print in, on the device they print on.
    auto measure = [fonts, &device, dpiX, decode = m_decode](const std::string& text, bool bold) {
        QFont font = !fonts.made ? QFont() : bold ? fonts.bold : fonts.normal;
        QString shown = decode ? decode(text) : QString::fromStdString(text);
        double width = QFontMetricsF(font, &device).horizontalAdvance(shown);
        return static_cast<int>(std::ceil(width * 100 / dpiX));
    };
    return IndexPrintLayout(m_index, geometry, m_options.summary, std::move(dateText), measure);
}

int IndexPrintout::PageCount(QPaintDevice& device) const {
    return Layout(device, Fonts(device), {}).PageCount();
}

bool IndexPrintout::Paint(QPagedPaintDevice& device, int first, int last) const {
    QPainter painter;
    if (!painter.begin(&device)) {
        return false;
    }
    PrintFonts fonts = Fonts(device);
    IndexPrintLayout layout = Layout(device, fonts, NowCtimeText());
    PrintPlayer player(painter, fonts, m_decode);
    bool firstPage = true;
    bool ok = true;
    layout.Pages(first, last > 0 ? last : std::numeric_limits<int>::max(), [&](PrintPage&& page) {
        if (!firstPage) {
            ok = device.newPage() && ok;
        }
        firstPage = false;
        player.Play(page);
    });
    return painter.end() && ok;
}

void IndexPrintout::PaintPage(QPainter& painter, int number) const {
    QPaintDevice& device = *painter.device();
    PrintFonts fonts = Fonts(device);
    PrintPlayer player(painter, fonts, m_decode);
    player.Play(Layout(device, fonts, NowCtimeText()).Page(number));
}

} // namespace tamblin
