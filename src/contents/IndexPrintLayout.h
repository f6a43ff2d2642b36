#pragma once

#include "contents/PrintPage.h"

#include <functional>
#include <string>
#include <vector>

namespace tamblin {

class IndexEntry;
class IndexFile;

// What a printout of an index shows and where, page by page, without a printer: the file
// summary on page 1, then a block for every entry (full print) or one line for every entry
// (summary print), then the Other Index keywords block. Counting pages and drawing them
// are one walk, so they cannot disagree. The index is only read.
class IndexPrintLayout {
public:
    struct Geometry {
        int lineHeight = kNoFontLineHeight;
        int width = 0;  // printable width
        int bottom = 0; // printable bottom: minus the printable height
    };

    static constexpr int kNoFontLineHeight = 15;
    static constexpr int kMinLineHeight = 10;
    static constexpr int kLeft = 50;

    IndexPrintLayout(const IndexFile& index, Geometry geometry, bool summary, std::string dateText);

    // A font's cell height in hundredths of an inch.
    static int CellHeight(int points) { return points * 100 / 72; }
    static int LineHeightForPoints(int points);

    int LinesPerPage() const;
    int SummaryLines() const;
    int EntryLines(const IndexEntry& entry) const;
    int OtherKeywordsLines() const;

    int PageCount() const;
    // One page; empty operations when there is no such page.
    PrintPage Page(int number) const;
    // Pages first..last in one walk, each handed over as soon as it is complete.
    void Pages(int first, int last, const std::function<void(PrintPage&&)>& sink) const;
    std::vector<PrintPage> AllPages() const;

private:
    struct Block;
    template <class Visit> void Walk(Visit&& visit) const;

    int LineY(int line) const { return -(3 + line) * m_geometry.lineHeight; }
    int CentreX() const { return (m_geometry.width - 52) / 2 + kLeft; }
    PrintPage StartPage(int number) const;
    void DrawFileSummary(PrintPage& page) const;
    void DrawBlock(PrintPage& page, const Block& block) const;
    void DrawEntry(PrintPage& page, const IndexEntry& entry, const std::string& path,
                   const std::string& title, int line) const;
    void DrawOtherKeywords(PrintPage& page, int line) const;
    void Label(PrintPage& page, int line, int labelX, const char* label, std::string value) const;
    static void Text(PrintPage& page, int x, int y, std::string text, bool bold,
                     PrintOperation::Align align = PrintOperation::Align::Left);
    static void Rectangle(PrintPage& page, int x, int y, int x2, int y2);
    static void Line(PrintPage& page, int x, int y, int x2, int y2);
    static void Shape(PrintPage& page, PrintOperation::Kind kind, int x, int y, int x2, int y2);

    const IndexFile& m_index;
    Geometry m_geometry;
    bool m_summary;
    std::string m_dateText;
};

} // namespace tamblin
