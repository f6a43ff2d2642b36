#pragma once

#include "print/PrintPage.h"

#include <functional>
#include <initializer_list>
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

    // The width of a text in hundredths of an inch, in the bold or the normal font.
    using Measure = std::function<int(const std::string& text, bool bold)>;

    static constexpr int kNoFontLineHeight = 15;
    static constexpr int kMinLineHeight = 10;
    static constexpr int kLeft = 50;
    static constexpr int kSummaryValueX = 210;
    static constexpr int kEntryLabelX = 210;
    static constexpr int kEntryValueX = 300;

    // With a measure, value columns move right of their widest label where the fixed columns
    // are too close, and texts are kept inside the right margin; without one the columns
    // stay where they are and texts run as long as they are.
    IndexPrintLayout(const IndexFile& index, Geometry geometry, bool summary, std::string dateText,
                     Measure measure = {});

    // A font's cell height in hundredths of an inch.
    static int CellHeight(int points) { return points * 100 / 72; }
    static int LineHeightForPoints(int points);

    int LinesPerPage() const;
    int SummaryLines() const;
    int EntryLines(const IndexEntry& entry) const;
    int OtherKeywordsLines() const;

    int SummaryValueX() const { return m_summaryValueX; }
    int EntryValueX() const { return m_entryValueX; }

    int PageCount() const;
    // One page; empty operations when there is no such page.
    PrintPage Page(int number) const;
    // Pages first..last in one walk, each handed over as soon as it is complete.
    void Pages(int first, int last, const std::function<void(PrintPage&&)>& sink) const;
    std::vector<PrintPage> AllPages() const;

private:
    struct Block;
    template <class Visit> void Walk(Visit&& visit) const;

    void PlaceColumns();
    int Widest(std::initializer_list<const char*> labels) const;
    int HeaderTitleRoom() const;
    int LineY(int line) const { return -(3 + line) * m_geometry.lineHeight; }
    int CentreX() const { return (m_geometry.width - 52) / 2 + kLeft; }
    PrintPage StartPage(int number) const;
    void DrawFileSummary(PrintPage& page) const;
    void DrawBlock(PrintPage& page, const Block& block) const;
    void DrawEntry(PrintPage& page, const IndexEntry& entry, const std::string& path,
                   const std::string& title, int line) const;
    void DrawOtherKeywords(PrintPage& page, int line) const;
    void Label(PrintPage& page, int line, const char* label, std::string value,
               PrintOperation::Elide elide = PrintOperation::Elide::End) const;
    // A left-aligned text kept inside the right margin when the layout fits texts.
    void Fitted(PrintPage& page, int x, int y, std::string text, bool bold,
                PrintOperation::Elide elide = PrintOperation::Elide::End) const;
    static PrintOperation& Text(PrintPage& page, int x, int y, std::string text, bool bold,
                                PrintOperation::Align align = PrintOperation::Align::Left);
    static void Rectangle(PrintPage& page, int x, int y, int x2, int y2);
    static void Line(PrintPage& page, int x, int y, int x2, int y2);
    static void Shape(PrintPage& page, PrintOperation::Kind kind, int x, int y, int x2, int y2);

    const IndexFile& m_index;
    Geometry m_geometry;
    bool m_summary;
    std::string m_dateText;
    Measure m_measure;
    int m_summaryValueX = kSummaryValueX;
    int m_entryValueX = kEntryValueX;
};

} // namespace tamblin
