#include "print/IndexPrintLayout.h"
#include "index/BaseUrl.h"
#include "index/DateText.h"
#include "index/IndexFile.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

using namespace tamblin;
using Align = PrintOperation::Align;
using Kind = PrintOperation::Kind;

namespace {

constexpr int kH = 13;

IndexEntry& Add(IndexEntry& parent, const std::string& title, BaseUrl* base = nullptr) {
    parent.AppendChild(std::make_unique<IndexEntry>(0, base, title + ".htm", title, "", 0, "", 1));
    return *parent.m_children.back();
}

void AddKeyword(IndexEntry& entry, const std::string& phrase, const std::string& anchor = "",
                const std::string& extra = "", const std::string& target = "", int own = 0) {
    entry.m_keywords.emplace_back(&entry, phrase, anchor, extra, target, own);
}

IndexPrintLayout Layout(const IndexFile& index, bool summary, int bottom = -1000) {
    return IndexPrintLayout(index, {kH, 800, bottom}, summary, "Thu Jan  1 00:00:00 1970");
}

// The first operation drawing `text`, or null.
const PrintOperation* Find(const PrintPage& page, const std::string& text) {
    for (const PrintOperation& operation : page.operations) {
        if (operation.kind == Kind::Text && operation.text == text) {
            return &operation;
        }
    }
    return nullptr;
}

int CountKind(const PrintPage& page, Kind kind) {
    int count = 0;
    for (const PrintOperation& operation : page.operations) {
        count += operation.kind == kind;
    }
    return count;
}

int ContentY(int line) {
    return -(3 + line) * kH;
}

class IndexPrintLayoutTest : public ::testing::Test {
protected:
    IndexPrintLayoutTest() {
        m_index.m_description = "My site";
        m_index.m_fileName = "/tmp/site.xo";
        m_index.m_fileSize = 1234;
        m_index.m_formatMajor = 2;
        m_index.m_formatMinor = 1;
        m_index.m_coding = 1;
    }
    IndexFile m_index;
};

} // namespace

TEST(PrintLineHeight, FollowsThePointSizeWithAMinimum) {
    EXPECT_EQ(IndexPrintLayout::LineHeightForPoints(10), 13);
    EXPECT_EQ(IndexPrintLayout::LineHeightForPoints(5), 10);
    EXPECT_EQ(IndexPrintLayout::LineHeightForPoints(48), 66);
}

TEST(PrintDateText, HasTheCtimeLayoutWithoutANewline) {
    std::tm date{};
    date.tm_year = 126;
    date.tm_mon = 11;
    date.tm_mday = 7;
    date.tm_wday = 1;
    date.tm_hour = 3;
    date.tm_min = 8;
    date.tm_sec = 9;
    EXPECT_EQ(FormatCtimeText(date), "Mon Dec  7 03:08:09 2026");
    date.tm_mday = 17;
    EXPECT_EQ(FormatCtimeText(date), "Mon Dec 17 03:08:09 2026");
    setenv("SOURCE_DATE_EPOCH", "86400", 1);
    EXPECT_EQ(NowCtimeText(), "Fri Jan  2 00:00:00 1970");
    unsetenv("SOURCE_DATE_EPOCH");
}

TEST_F(IndexPrintLayoutTest, AnEmptyIndexPrintsOnePageWithHeaderFooterAndSummary) {
    IndexPrintLayout layout = Layout(m_index, false);
    EXPECT_EQ(layout.PageCount(), 1);
    std::vector<PrintPage> pages = layout.AllPages();
    ASSERT_EQ(pages.size(), 1u);
    const PrintPage& page = pages[0];
    EXPECT_EQ(page.number, 1);

    const PrintOperation* brand = Find(page, "Navora: Tamblin");
    ASSERT_TRUE(brand);
    EXPECT_EQ(brand->x, 50 + kH);
    EXPECT_EQ(brand->y, -kH);
    EXPECT_TRUE(brand->bold);
    const PrintOperation* title = Find(page, "My site: Full Print");
    ASSERT_TRUE(title);
    EXPECT_EQ(title->x, (800 - 52) / 2 + 50);
    EXPECT_EQ(title->align, Align::Centre);
    const PrintOperation* date = Find(page, "Thu Jan  1 00:00:00 1970");
    ASSERT_TRUE(date);
    EXPECT_EQ(date->x, 800 - 2 - kH);
    EXPECT_EQ(date->align, Align::Right);
    const PrintOperation* footer = Find(page, "1");
    ASSERT_TRUE(footer);
    EXPECT_EQ(footer->y, -1000 + 2 + kH);
    EXPECT_EQ(footer->align, Align::Centre);
    EXPECT_EQ(CountKind(page, Kind::Rectangle), 2);

    // The eight-line file summary: five labelled lines, a gap, and a rule.
    const char* labels[] = {
        "Description:", "Filename:", "Format:", "Number of URLs:", "Number of index keywords:"};
    const char* values[] = {"My site", "/tmp/site.xo (1234 bytes)", "2.1 coding 1", "0", "0"};
    for (int line = 0; line < 5; ++line) {
        const PrintOperation* label = Find(page, labels[line]);
        ASSERT_TRUE(label) << labels[line];
        EXPECT_EQ(label->x, 50);
        EXPECT_EQ(label->y, ContentY(line));
        EXPECT_FALSE(label->bold);
    }
    const PrintOperation* value = Find(page, values[1]);
    ASSERT_TRUE(value);
    EXPECT_EQ(value->x, 210);
    EXPECT_EQ(value->y, ContentY(1));
    EXPECT_TRUE(value->bold);
    ASSERT_EQ(CountKind(page, Kind::Line), 1);
    EXPECT_EQ(layout.SummaryLines(), 8);

    EXPECT_TRUE(Find(Layout(m_index, true).Page(1), "My site: Summary Print"));
    EXPECT_TRUE(Layout(m_index, true).Page(2).operations.empty());
}

TEST_F(IndexPrintLayoutTest, BaseUrlsTakeFourSummaryLinesEach) {
    m_index.AppendBaseUrl(std::make_unique<BaseUrl>(1, "http://a.example/", "main", 0));
    m_index.AppendBaseUrl(std::make_unique<BaseUrl>(2, "http://b.example/", "", 0));
    IndexPrintLayout layout = Layout(m_index, false);
    EXPECT_EQ(layout.SummaryLines(), 16);
    PrintPage page = layout.Page(1);
    const PrintOperation* second = Find(page, "http://b.example/");
    ASSERT_TRUE(second);
    EXPECT_EQ(second->y, ContentY(12));
    EXPECT_EQ(CountKind(page, Kind::Line), 3);
}

TEST_F(IndexPrintLayoutTest, LinesPerPageAndBlockSizes) {
    IndexEntry& entry = Add(m_index.m_root, "Page");
    entry.m_ownTarget = 1;
    entry.m_iconUrl = "icon.gif";
    AddKeyword(entry, "a");
    AddKeyword(entry, "b");
    AddKeyword(entry, "c");
    IndexPrintLayout full = Layout(m_index, false);
    EXPECT_EQ(full.LinesPerPage(), 71);
    EXPECT_EQ(full.EntryLines(entry), 8);
    EXPECT_EQ(Layout(m_index, true).EntryLines(entry), 1);

    // No Other Index keywords: no block. With keywords: a rule, a gap and the block.
    EXPECT_EQ(full.OtherKeywordsLines(), 0);
    AddKeyword(m_index.m_otherKeywords, "x", "x.htm", "X");
    AddKeyword(m_index.m_otherKeywords, "y", "y.htm", "Y");
    EXPECT_EQ(full.OtherKeywordsLines(), 2 + 5);
    EXPECT_EQ(Layout(m_index, true).OtherKeywordsLines(), 4);
}

TEST_F(IndexPrintLayoutTest, FullBlocksShowPathLabelsAndKeywords) {
    m_index.AppendBaseUrl(std::make_unique<BaseUrl>(1, "http://a.example/", "main", 0));
    BaseUrl* base = m_index.m_baseUrls[0].get();
    IndexEntry& chapter = Add(m_index.m_root, "Chapter");
    IndexEntry& section = Add(chapter, "Section");
    IndexEntry& page = Add(section, "Page", base);
    page.m_ownTarget = 1;
    page.m_targetFrame = "_top";
    AddKeyword(page, "first", "#one", "One");
    AddKeyword(page, "second", "#two", "Two", "side", 1);
    IndexPrintLayout layout = Layout(m_index, false);
    PrintPage printed = layout.Page(1);

    // Page 1: summary (12 lines), Chapter (3), Section (3), then Page.
    const int first = 12 + 3 + 3;
    const PrintOperation* path = Find(printed, "/Chapter/Section/Page");
    ASSERT_TRUE(path);
    EXPECT_EQ(path->x, 50);
    EXPECT_EQ(path->y, ContentY(first));
    EXPECT_TRUE(path->bold);
    EXPECT_TRUE(Find(printed, "/Chapter/Section"));
    const PrintOperation* url = Find(printed, "http://a.example/Page.htm");
    ASSERT_TRUE(url);
    EXPECT_EQ(url->x, 300);
    EXPECT_EQ(url->y, ContentY(first + 2));
    EXPECT_EQ(Find(printed, "_top")->y, ContentY(first + 3));
    const PrintOperation* label = Find(printed, "Index keywords:");
    ASSERT_TRUE(label);
    EXPECT_EQ(label->x, 210);
    EXPECT_EQ(label->y, ContentY(first + 4));
    EXPECT_EQ(Find(printed, "first,#one,One")->y, ContentY(first + 4));
    // Only the first keyword line is labelled; an own target frame follows the keyword.
    EXPECT_EQ(Find(printed, "second,#two,Two,side")->y, ContentY(first + 5));
    EXPECT_EQ(Find(printed, "Chapter.htm")->y, ContentY(12 + 2));
}

TEST_F(IndexPrintLayoutTest, SummaryLinesAreIndentedKeywordSummaries) {
    IndexEntry& contents = Add(m_index.m_root, "Contents");
    AddKeyword(contents, "Contents");
    AddKeyword(contents, "Start");
    AddKeyword(contents, "Overview");
    IndexEntry& intro = Add(contents, "Intro");
    AddKeyword(intro, "Intro");
    Add(intro, "Deeper");
    PrintPage page = Layout(m_index, true).Page(1);
    const PrintOperation* top = Find(page, "Contents (Start,Overview)");
    ASSERT_TRUE(top);
    EXPECT_EQ(top->x, 50);
    EXPECT_EQ(top->y, ContentY(8));
    EXPECT_TRUE(top->bold);
    const PrintOperation* child = Find(page, "Intro");
    ASSERT_TRUE(child);
    EXPECT_EQ(child->x, 100);
    EXPECT_EQ(child->y, ContentY(9));
    EXPECT_EQ(Find(page, "Deeper")->x, 150);
}

TEST_F(IndexPrintLayoutTest, ABlockThatDoesNotFitStartsTheNextPage) {
    // 300 / 13 = 23 lines, less 5: 18 per page; the summary takes 8.
    IndexEntry& a = Add(m_index.m_root, "A");
    for (int i = 0; i < 7; ++i) {
        AddKeyword(a, "k" + std::to_string(i));
    }
    Add(m_index.m_root, "B");
    IndexEntry& c = Add(m_index.m_root, "C");
    IndexPrintLayout layout = Layout(m_index, false, -300);
    ASSERT_EQ(layout.LinesPerPage(), 18);
    // A: 10 lines fill page 1 exactly (8 + 10 = 18, not more); B goes on.
    std::vector<PrintPage> pages = layout.AllPages();
    ASSERT_EQ(pages.size(), 2u);
    EXPECT_TRUE(Find(pages[0], "/A"));
    EXPECT_FALSE(Find(pages[0], "/B"));
    EXPECT_EQ(Find(pages[1], "/B")->y, ContentY(0));
    EXPECT_EQ(Find(pages[1], "/C")->y, ContentY(3));
    EXPECT_EQ(Find(pages[1], "2")->align, Align::Centre);
    EXPECT_FALSE(Find(pages[1], "Description:"));

    // A block longer than a page gets a page of its own and runs past the bottom.
    for (int i = 0; i < 20; ++i) {
        AddKeyword(c, "long" + std::to_string(i));
    }
    Add(m_index.m_root, "D");
    pages = Layout(m_index, false, -300).AllPages();
    ASSERT_EQ(pages.size(), 4u);
    EXPECT_EQ(Find(pages[2], "/C")->y, ContentY(0));
    EXPECT_EQ(Find(pages[3], "/D")->y, ContentY(0));
}

TEST_F(IndexPrintLayoutTest, OtherKeywordsComeLastAfterARule) {
    Add(m_index.m_root, "A");
    AddKeyword(m_index.m_otherKeywords, "Search", "search.htm", "Search page");
    AddKeyword(m_index.m_otherKeywords, "Help", "help.htm", "Help");

    PrintPage summary = Layout(m_index, true).Page(1);
    const PrintOperation* line = Find(summary, "Other Index keywords (Search,Help)");
    ASSERT_TRUE(line);
    EXPECT_EQ(line->y, ContentY(8 + 1 + 2));
    EXPECT_EQ(CountKind(summary, Kind::Line), 2);
    EXPECT_EQ(summary.operations.back().text, line->text);

    PrintPage full = Layout(m_index, false).Page(1);
    const PrintOperation* path = Find(full, "/Other Index keywords");
    ASSERT_TRUE(path);
    EXPECT_EQ(path->y, ContentY(8 + 3 + 2));
    EXPECT_TRUE(Find(full, "Other Index keywords"));
    EXPECT_EQ(Find(full, "Help,help.htm,Help")->y, ContentY(8 + 3 + 2 + 4));

    // It moves to a page of its own when it does not fit after the entries.
    IndexPrintLayout tight = Layout(m_index, false, -250); // 19 - 5 = 14 lines
    EXPECT_EQ(tight.PageCount(), 2);
    EXPECT_EQ(Find(tight.Page(2), "/Other Index keywords")->y, ContentY(2));
}

TEST_F(IndexPrintLayoutTest, OnePageAndAllPagesAgree) {
    for (int i = 0; i < 40; ++i) {
        IndexEntry& entry = Add(m_index.m_root, "Entry" + std::to_string(i));
        for (int k = 0; k < i % 5; ++k) {
            AddKeyword(Add(entry, "Child" + std::to_string(i) + "_" + std::to_string(k)), "w");
        }
    }
    AddKeyword(m_index.m_otherKeywords, "Other");
    for (bool summary : {false, true}) {
        IndexPrintLayout layout = Layout(m_index, summary, -400);
        std::vector<PrintPage> pages = layout.AllPages();
        ASSERT_EQ(static_cast<int>(pages.size()), layout.PageCount());
        ASSERT_GT(pages.size(), 2u);
        for (const PrintPage& page : pages) {
            PrintPage alone = layout.Page(page.number);
            ASSERT_EQ(alone.operations.size(), page.operations.size()) << page.number;
            EXPECT_EQ(alone.operations.back().text, page.operations.back().text);
        }
        int seen = 0;
        layout.Pages(2, 3, [&](PrintPage&& page) { seen += page.number; });
        EXPECT_EQ(seen, 5);
    }
}

TEST_F(IndexPrintLayoutTest, AVeryDeepTreeIsWalkedWithoutRecursion) {
    IndexEntry* parent = &m_index.m_root;
    for (int depth = 0; depth < 300000; ++depth) {
        parent = &Add(*parent, "n");
    }
    // One line each, 71 lines a page.
    EXPECT_EQ(Layout(m_index, true).PageCount(), (8 + 300000 + 70) / 71);
    // Three lines each, 23 blocks a page; 21 fit beside the file summary.
    EXPECT_EQ(Layout(m_index, false).PageCount(), 1 + (300000 - 21 + 22) / 23);
    // Only the part of a path that could ever be on the paper is printed.
    PrintPage last = Layout(m_index, false).Page(Layout(m_index, false).PageCount());
    EXPECT_EQ(Find(last, "Title:")->y, ContentY(1));
    std::string path = last.operations[6].text;
    EXPECT_EQ(path.size(), 4096u);
    EXPECT_EQ(path.substr(0, 6), "/n/n/n");
}

namespace {

// Widths of a 12 point Arial: about 9 hundredths of an inch a character, bold a little more.
int Measure12(const std::string& text, bool bold) {
    return static_cast<int>(text.size()) * (bold ? 10 : 9);
}

// The value drawn on the same line as `label`, or null.
const PrintOperation* ValueBeside(const PrintPage& page, const PrintOperation& label) {
    for (const PrintOperation& operation : page.operations) {
        if (operation.kind == Kind::Text && operation.bold && operation.y == label.y &&
            operation.x > label.x) {
            return &operation;
        }
    }
    return nullptr;
}

} // namespace

TEST_F(IndexPrintLayoutTest, MeasuredLabelsPushTheirValuesRightAndTextsStopAtTheMargin) {
    m_index.m_baseUrls.push_back(std::make_unique<BaseUrl>(0, "http://example.com/", "main", 1));
    IndexEntry& page = Add(m_index.m_root, "Page", m_index.m_baseUrls[0].get());
    AddKeyword(page, "phrase", "#a", "Extra");
    page.m_ownTarget = true;
    page.m_targetFrame = "right";
    page.m_iconUrl = "icon.gif";
    IndexPrintLayout layout(m_index, {16, 800, -1000}, false, "date", Measure12);
    std::vector<PrintPage> pages = layout.AllPages();
    ASSERT_EQ(pages.size(), 1u);
    int labels = 0;
    for (const PrintOperation& label : pages[0].operations) {
        if (label.kind != Kind::Text || label.bold || label.text.empty()) {
            continue;
        }
        ++labels;
        const PrintOperation* value = ValueBeside(pages[0], label);
        ASSERT_NE(value, nullptr) << label.text;
        EXPECT_GT(value->x, label.x + Measure12(label.text, false)) << label.text;
        EXPECT_EQ(value->right, 800 - 2) << label.text;
    }
    // Seven summary labels, five of the entry.
    EXPECT_EQ(labels, 12);
    // Half a line of air after "Number of index keywords:" and "Index keywords:".
    EXPECT_EQ(layout.SummaryValueX(), 50 + 25 * 9 + 8);
    EXPECT_EQ(layout.EntryValueX(), 210 + 15 * 9 + 8);
    // Columns never move left of where the 10 point print has them.
    IndexPrintLayout narrow(
        m_index, {16, 800, -1000}, false, "date",
        [](const std::string& text, bool) { return static_cast<int>(text.size()); });
    EXPECT_EQ(narrow.SummaryValueX(), 210);
    EXPECT_EQ(narrow.EntryValueX(), 300);
    // Paths and URLs lose their middle, the file name is the file system's text.
    const PrintOperation* path = Find(pages[0], "/Page");
    ASSERT_NE(path, nullptr);
    EXPECT_EQ(path->elide, PrintOperation::Elide::Middle);
    EXPECT_EQ(path->right, 798);
    const PrintOperation* url = Find(pages[0], "http://example.com/Page.htm");
    ASSERT_NE(url, nullptr);
    EXPECT_EQ(url->elide, PrintOperation::Elide::Middle);
    const PrintOperation* file = Find(pages[0], "/tmp/site.xo (1234 bytes)");
    ASSERT_NE(file, nullptr);
    EXPECT_TRUE(file->fileName);
}

TEST_F(IndexPrintLayoutTest, TheHeaderTitleStopsShortOfTheProgramNameAndTheDate) {
    m_index.m_description = std::string(200, 'd');
    IndexPrintLayout layout(m_index, {16, 800, -1000}, false, "Tue Dec  8 11:13:43 2026",
                            Measure12);
    PrintPage page = layout.Page(1);
    const PrintOperation* title = Find(page, m_index.m_description + ": Full Print");
    const PrintOperation* date = Find(page, "Tue Dec  8 11:13:43 2026");
    ASSERT_NE(title, nullptr);
    ASSERT_NE(date, nullptr);
    int half = title->right - title->x;
    EXPECT_GT(half, 0);
    // Left of the title: 50 + h + the program name; right of it the date, ending at W - 2 - h.
    EXPECT_LE(title->x + half, date->x - Measure12(date->text, true));
    EXPECT_GE(title->x - half, 50 + 16 + Measure12("Navora: Tamblin", true));
    EXPECT_EQ(title->elide, PrintOperation::Elide::Middle);
}

TEST_F(IndexPrintLayoutTest, WithoutAMeasureTheColumnsAndTextsStayAsTheyWere) {
    Add(m_index.m_root, "Page");
    std::vector<PrintPage> pages = Layout(m_index, false).AllPages();
    for (const PrintOperation& operation : pages[0].operations) {
        EXPECT_EQ(operation.right, 0) << operation.text;
    }
    EXPECT_EQ(Find(pages[0], "My site")->x, 210);
    EXPECT_EQ(Find(pages[0], "Page.htm")->x, 300);
}
