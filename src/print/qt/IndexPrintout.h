#pragma once

#include "print/IndexPrintLayout.h"
#include "print/qt/PrintPlayer.h"

#include <QString>

class QPagedPaintDevice;
class QPainter;
class QPaintDevice;

namespace tamblin {

class IndexFile;

// One print job of an index on a paint device: the fonts and page geometry of that device
// fed to the layout, and the pages played into it. Printing only reads the index.
class IndexPrintout final {
public:
    struct Options {
        QString face = QStringLiteral("Arial");
        int points = 10;
        bool summary = true;
    };

    IndexPrintout(const IndexFile& index, Options options, PrintPlayer::Decode decode);

    int PageCount(QPaintDevice& device) const;
    // Pages first..last (last 0: to the end), a new page before each but the first. The
    // date text is taken once for the whole job. False when painting could not begin.
    bool Paint(QPagedPaintDevice& device, int first = 1, int last = 0) const;
    // Page `number` into a painter that is already painting (an image, a preview).
    void PaintPage(QPainter& painter, int number) const;

private:
    PrintFonts Fonts(QPaintDevice& device) const;
    IndexPrintLayout Layout(QPaintDevice& device, const PrintFonts& fonts,
                            std::string dateText) const;

    const IndexFile& m_index;
    Options m_options;
    PrintPlayer::Decode m_decode;
};

} // namespace tamblin
