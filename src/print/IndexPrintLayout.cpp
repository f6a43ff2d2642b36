#include "print/IndexPrintLayout.h"

#include "contents/FormatText.h"
#include "index/BaseUrl.h"
#include "index/IndexEntry.h"
#include "index/IndexFile.h"

#include <algorithm>
#include <cstdio>
#include <utility>

namespace tamblin {

namespace {

constexpr const char* kOtherKeywordsTitle = "Other Index keywords";
// No page shows more of a path than this: the rest lies far beyond the right edge of any
// paper. Without the cap a deep tree would print text quadratic in its depth.
constexpr size_t kMaxPathBytes = 4096;

std::string Number(long long value) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%lld", value);
    return buffer;
}

std::string KeywordText(const IndexKeyword& keyword) {
    std::string text = keyword.m_phrase + "," + keyword.m_anchor + "," + keyword.m_extraTitle;
    if (keyword.m_ownTarget) {
        text += "," + keyword.m_targetFrame;
    }
    return text;
}

std::string OtherKeywordsSummary(const IndexEntry& other) {
    std::string text = std::string(kOtherKeywordsTitle) + " (";
    for (size_t i = 0; i < other.m_keywords.size(); ++i) {
        text += (i ? "," : "") + other.m_keywords[i].m_phrase;
    }
    return text + ")";
}

} // namespace

// Where one block falls: `entry` null for the Other Index keywords block. `path` is only
// kept up to date in a full print.
struct IndexPrintLayout::Block {
    const IndexEntry* entry;
    int depth;
    const std::string& path;
    int page;
    int line;
};

IndexPrintLayout::IndexPrintLayout(const IndexFile& index, Geometry geometry, bool summary,
                                   std::string dateText, Measure measure)
    : m_index(index), m_geometry(geometry), m_summary(summary), m_dateText(std::move(dateText)),
      m_measure(std::move(measure)) {
    if (m_geometry.lineHeight < 1) {
        m_geometry.lineHeight = kNoFontLineHeight;
    }
    PlaceColumns();
}

// The fixed columns suit the 10 point default; from about 12 points on the longest labels
// reach them. Columns are placed once per job, so every page of it lines up alike.
void IndexPrintLayout::PlaceColumns() {
    if (!m_measure) {
        return;
    }
    const int gap = std::max(5, m_geometry.lineHeight / 2);
    int summaryLabels = Widest({"Description:", "Filename:", "Format:", "Number of URLs:",
                                "Number of index keywords:", "Base URL:", "Target frame:"});
    m_summaryValueX = std::max(kSummaryValueX, kLeft + summaryLabels + gap);
    int entryLabels = Widest({"Title:", "URL:", "Target frame:", "Icon URL:", "Index keywords:"});
    m_entryValueX = std::max(kEntryValueX, kEntryLabelX + entryLabels + gap);
}

// The width the centred title may take without reaching the program name on its left or the
// date on its right.
int IndexPrintLayout::HeaderTitleRoom() const {
    const int h = m_geometry.lineHeight;
    const int gap = std::max(5, h / 2);
    int left = kLeft + h + m_measure("Navora: Tamblin", true) + gap;
    int right = m_geometry.width - 2 - h - m_measure(m_dateText, true) - gap;
    return std::max(0, 2 * std::min(CentreX() - left, right - CentreX()));
}

int IndexPrintLayout::Widest(std::initializer_list<const char*> labels) const {
    int widest = 0;
    for (const char* label : labels) {
        widest = std::max(widest, m_measure(label, false));
    }
    return widest;
}

int IndexPrintLayout::LineHeightForPoints(int points) {
    int cell = CellHeight(points);
    return cell < kMinLineHeight ? kMinLineHeight : cell;
}

int IndexPrintLayout::LinesPerPage() const {
    return -m_geometry.bottom / m_geometry.lineHeight - 5;
}

int IndexPrintLayout::SummaryLines() const {
    return 8 + 4 * static_cast<int>(m_index.m_baseUrls.size());
}

int IndexPrintLayout::EntryLines(const IndexEntry& entry) const {
    if (m_summary) {
        return 1;
    }
    return 3 + static_cast<int>(entry.m_keywords.size()) + (entry.m_ownTarget ? 1 : 0) +
           (entry.m_iconUrl.empty() ? 0 : 1);
}

int IndexPrintLayout::OtherKeywordsLines() const {
    const IndexEntry& other = m_index.m_otherKeywords;
    if (other.m_keywords.empty()) {
        return 0;
    }
    // The rule above it and the gap take two lines; the block is drawn as an entry's.
    return m_summary ? 4 : 2 + EntryLines(other);
}

template <class Visit> void IndexPrintLayout::Walk(Visit&& visit) const {
    const int perPage = LinesPerPage();
    int page = 1;
    int counter = SummaryLines();
    auto place = [&](int lines) {
        counter += lines;
        if (counter > perPage) {
            ++page;
            counter = lines;
        }
        return counter - lines;
    };
    struct Frame {
        const IndexEntry* entry;
        size_t next;
        size_t pathLength;
    };
    // Explicit stack: trees may be far deeper than the call stack allows.
    std::vector<Frame> stack{{&m_index.m_root, 0, 0}};
    std::string path;
    while (!stack.empty()) {
        Frame& top = stack.back();
        if (top.next == top.entry->m_children.size()) {
            stack.pop_back();
            continue;
        }
        const IndexEntry& child = *top.entry->m_children[top.next++];
        if (!m_summary) {
            path.resize(top.pathLength);
            path += '/';
            path += child.m_title;
        }
        int line = place(EntryLines(child));
        if (!visit(Block{&child, static_cast<int>(stack.size()), path, page, line})) {
            return;
        }
        stack.push_back({&child, 0, path.size()});
    }
    if (int lines = OtherKeywordsLines(); lines > 0) {
        int line = place(lines);
        visit(Block{nullptr, 1, path, page, line});
    }
}

int IndexPrintLayout::PageCount() const {
    int last = 1;
    Walk([&](const Block& block) {
        last = block.page;
        return true;
    });
    return last;
}

PrintPage IndexPrintLayout::Page(int number) const {
    PrintPage page;
    Pages(number, number, [&](PrintPage&& done) { page = std::move(done); });
    return page;
}

std::vector<PrintPage> IndexPrintLayout::AllPages() const {
    std::vector<PrintPage> pages;
    Pages(1, PageCount(), [&](PrintPage&& done) { pages.push_back(std::move(done)); });
    return pages;
}

void IndexPrintLayout::Pages(int first, int last,
                             const std::function<void(PrintPage&&)>& sink) const {
    if (first < 1) {
        first = 1;
    }
    if (last < first) {
        return;
    }
    PrintPage current;
    auto wanted = [&](int number) { return number >= first && number <= last; };
    auto finish = [&] {
        if (wanted(current.number)) {
            sink(std::move(current));
        }
    };
    current = wanted(1) ? StartPage(1) : PrintPage{1, {}};
    if (wanted(1)) {
        DrawFileSummary(current);
    }
    Walk([&](const Block& block) {
        if (block.page > last) {
            return false;
        }
        if (block.page != current.number) {
            finish();
            current = wanted(block.page) ? StartPage(block.page) : PrintPage{block.page, {}};
        }
        if (wanted(block.page)) {
            DrawBlock(current, block);
        }
        return true;
    });
    finish();
}

PrintPage IndexPrintLayout::StartPage(int number) const {
    using Align = PrintOperation::Align;
    const int h = m_geometry.lineHeight;
    const int w = m_geometry.width;
    const int b = m_geometry.bottom;
    PrintPage page;
    page.number = number;
    // A label and a value on most lines, and the frames.
    page.operations.reserve(static_cast<size_t>(std::max(0, 2 * LinesPerPage())) + 8);
    Text(page, kLeft + h, -h, "Navora: Tamblin", true);
    PrintOperation& title =
        Text(page, CentreX(), -h,
             m_index.m_description + (m_summary ? ": Summary Print" : ": Full Print"), true,
             Align::Centre);
    if (m_measure) {
        // Its end says which print this is, so the description gives way in its middle.
        title.right = CentreX() + std::max(1, HeaderTitleRoom() / 2);
        title.elide = PrintOperation::Elide::Middle;
    }
    Text(page, w - 2 - h, -h, m_dateText, true, Align::Right);
    Rectangle(page, kLeft, -h, w - 2, -2 * h);
    Text(page, CentreX(), b + 2 + h, Number(number), true, Align::Centre);
    Rectangle(page, kLeft, b + 2 + h, w - 2, b + 2);
    return page;
}

void IndexPrintLayout::DrawFileSummary(PrintPage& page) const {
    using Elide = PrintOperation::Elide;
    int urls = 0;
    int keywords = 0;
    m_index.m_root.CountUrlsAndKeywords(urls, keywords);
    m_index.m_otherKeywords.CountUrlsAndKeywords(urls, keywords);
    auto row = [&](int line, const char* label, std::string value, Elide elide = Elide::End) {
        Text(page, kLeft, LineY(line), label, false);
        Fitted(page, m_summaryValueX, LineY(line), std::move(value), true, elide);
    };
    row(0, "Description:", m_index.m_description);
    row(1, "Filename:",
        m_index.m_fileSize == IndexFile::kNeverSaved
            ? m_index.m_fileName
            : m_index.m_fileName + " (" + Number(m_index.m_fileSize) + " bytes)",
        Elide::Middle);
    page.operations.back().fileName = true;
    row(2, "Format:", FormatText(m_index.m_formatMajor, m_index.m_formatMinor, m_index.m_coding));
    row(3, "Number of URLs:", Number(urls));
    row(4, "Number of index keywords:", Number(keywords));
    Line(page, kLeft, LineY(7), m_geometry.width, LineY(7));
    int line = 8;
    for (const auto& baseUrl : m_index.m_baseUrls) {
        row(line, "Base URL:", baseUrl->m_url, Elide::Middle);
        row(line + 1, "Target frame:", baseUrl->m_targetFrame);
        Line(page, kLeft, LineY(line + 3), m_geometry.width, LineY(line + 3));
        line += 4;
    }
}

void IndexPrintLayout::DrawBlock(PrintPage& page, const Block& block) const {
    if (!block.entry) {
        DrawOtherKeywords(page, block.line);
    } else if (m_summary) {
        Fitted(page, kLeft * block.depth, LineY(block.line), block.entry->KeywordSummary(), true);
    } else {
        DrawEntry(page, *block.entry, block.path.substr(0, kMaxPathBytes), block.entry->m_title,
                  block.line);
    }
}

void IndexPrintLayout::DrawOtherKeywords(PrintPage& page, int line) const {
    Line(page, kLeft, LineY(line + 1), m_geometry.width, LineY(line + 1));
    const IndexEntry& other = m_index.m_otherKeywords;
    if (m_summary) {
        Fitted(page, kLeft, LineY(line + 2), OtherKeywordsSummary(other), true);
        return;
    }
    DrawEntry(page, other, std::string("/") + kOtherKeywordsTitle, kOtherKeywordsTitle, line + 2);
}

void IndexPrintLayout::DrawEntry(PrintPage& page, const IndexEntry& entry, const std::string& path,
                                 const std::string& title, int line) const {
    using Elide = PrintOperation::Elide;
    Fitted(page, kLeft, LineY(line++), path, true, Elide::Middle);
    Label(page, line++, "Title:", title);
    Label(page, line++, "URL:", entry.FullUrl(), Elide::Middle);
    if (entry.m_ownTarget) {
        Label(page, line++, "Target frame:", entry.m_targetFrame);
    }
    if (!entry.m_iconUrl.empty()) {
        Label(page, line++, "Icon URL:", entry.m_iconUrl, Elide::Middle);
    }
    bool first = true;
    for (const IndexKeyword& keyword : entry.m_keywords) {
        Label(page, line++, first ? "Index keywords:" : "", KeywordText(keyword));
        first = false;
    }
}

void IndexPrintLayout::Label(PrintPage& page, int line, const char* label, std::string value,
                             PrintOperation::Elide elide) const {
    if (*label) {
        Text(page, kEntryLabelX, LineY(line), label, false);
    }
    Fitted(page, m_entryValueX, LineY(line), std::move(value), true, elide);
}

void IndexPrintLayout::Fitted(PrintPage& page, int x, int y, std::string text, bool bold,
                              PrintOperation::Elide elide) const {
    PrintOperation& operation = Text(page, x, y, std::move(text), bold);
    if (m_measure) {
        // Inside the frames' right edge.
        operation.right = m_geometry.width - 2;
        operation.elide = elide;
    }
}

PrintOperation& IndexPrintLayout::Text(PrintPage& page, int x, int y, std::string text, bool bold,
                                       PrintOperation::Align align) {
    PrintOperation operation;
    operation.kind = PrintOperation::Kind::Text;
    operation.x = x;
    operation.y = y;
    operation.bold = bold;
    operation.align = align;
    operation.text = std::move(text);
    page.operations.push_back(std::move(operation));
    return page.operations.back();
}

void IndexPrintLayout::Rectangle(PrintPage& page, int x, int y, int x2, int y2) {
    Shape(page, PrintOperation::Kind::Rectangle, x, y, x2, y2);
}

void IndexPrintLayout::Line(PrintPage& page, int x, int y, int x2, int y2) {
    Shape(page, PrintOperation::Kind::Line, x, y, x2, y2);
}

void IndexPrintLayout::Shape(PrintPage& page, PrintOperation::Kind kind, int x, int y, int x2,
                             int y2) {
    PrintOperation operation;
    operation.kind = kind;
    operation.x = x;
    operation.y = y;
    operation.x2 = x2;
    operation.y2 = y2;
    page.operations.push_back(std::move(operation));
}

} // namespace tamblin
