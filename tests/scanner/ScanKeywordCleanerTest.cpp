// A generated manual whose pages all share four section headings and repeat their title in a
// "Manual Page" heading: what the scan leaves out of the keyword index, and what it reports.
#include "ScanTestSupport.h"
#include "TestFiles.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace tamblin;
using namespace scantest;
using Lines = std::vector<std::string>;

namespace {

constexpr int kPages = 12;

// `before` and `after` go round each page's title, "cmdN(1)"; `heading` round the title in
// its "Manual Page" heading.
struct Titles {
    std::string before;
    std::string after;
    std::string heading;
};

void WriteManual(const TestFiles& files, const Titles& titles = {}) {
    std::string index = "<title>Manual</title>";
    for (int i = 1; i <= kPages; ++i) {
        std::string name = "cmd" + std::to_string(i);
        index += "<a href=" + name + ".htm>" + name + "</a>";
        std::string page = "<title>" + titles.before + name + "(1)" + titles.after +
                           "</title><h1 id=top>" + titles.heading + name +
                           "(1) Manual Page</h1><h2 id=s>SYNOPSIS</h2><h2 id=d>DESCRIPTION</h2>"
                           "<h2 id=o>OPTIONS</h2><h2 id=see>SEE ALSO</h2><h2 id=u>Only " +
                           name + "</h2>";
        if (i == 1) {
            page += "<h2 id=i1>Install</h2><h3 id=i2>INSTALL</h3><h3 id=i3>Install</h3>";
        }
        files.Write(name + ".htm", page);
    }
    files.Write("index.htm", index);
}

ScanSettings ManualScan(const TestFiles& files) {
    ScanSettings settings;
    settings.description = "Manual";
    settings.start = files.Path("index.htm");
    return settings;
}

int Count(const Lines& lines, const std::string& part) {
    return static_cast<int>(std::count_if(lines.begin(), lines.end(), [&](const std::string& l) {
        return l.find(part) != std::string::npos;
    }));
}

} // namespace

TEST(ScanKeywordCleaner, SharedHeadingsAndTitleRepeatsAreLeftOutAndReported) {
    TestFiles files;
    WriteManual(files);
    RecordingObserver observer;
    ScanRun run = Scan(ManualScan(files), {}, &observer);
    Lines body = Body(run);
    for (const char* shared : {";SYNOPSIS;", ";DESCRIPTION;", ";OPTIONS;", ";SEE ALSO;"}) {
        EXPECT_EQ(Count(body, shared), 0) << shared;
    }
    EXPECT_EQ(Count(body, "Manual Page;"), 0);
    EXPECT_EQ(Count(body, ";Only cmd"), kPages);
    // On one page, one spelling: the first; the same phrase again keeps its own anchor.
    EXPECT_EQ(Count(body, "7;Install;"), 2);
    EXPECT_EQ(Count(body, "7;INSTALL;"), 0);
    EXPECT_NE(run.report.find("Headings on more than a fifth of the pages, left out of the "
                              "index:\r\n  DESCRIPTION (12 pages)\r\n  OPTIONS (12 pages)\r\n"
                              "  SEE ALSO (12 pages)\r\n  SYNOPSIS (12 pages)"),
              std::string::npos)
        << run.report;
    EXPECT_NE(run.report.find("Headings that repeat the page title followed by \"Manual "
                              "Page\", left out: 12 pages"),
              std::string::npos);
    // The summary counts what is in the file.
    int keywords = static_cast<int>(std::count_if(
        body.begin(), body.end(), [](const std::string& l) { return l.rfind("7;", 0) == 0; }));
    EXPECT_NE(observer.summary.find(std::to_string(keywords) + " index keywords"),
              std::string::npos)
        << observer.summary;
}

TEST(ScanKeywordCleaner, EachRuleHasItsSwitchAndClassicWritesTheOldBytes) {
    TestFiles files;
    WriteManual(files);
    ScanSettings off = ManualScan(files);
    off.skipCommonHeadings = off.skipTitleRepeats = off.oneCasePerPage = false;
    Lines all = Body(Scan(off));
    EXPECT_EQ(Count(all, "7;SYNOPSIS;"), kPages);
    EXPECT_EQ(Count(all, "Manual Page;"), kPages);
    EXPECT_EQ(Count(all, "7;INSTALL;"), 1);

    ScanSettings titles = off;
    titles.skipTitleRepeats = true;
    Lines some = Body(Scan(titles));
    EXPECT_EQ(Count(some, "Manual Page;"), 0);
    EXPECT_EQ(Count(some, "7;SYNOPSIS;"), kPages);

    // Fewer than ten pages share nothing, whatever their share.
    TestFiles small;
    small.Write("index.htm", "<title>I</title><a href=a.htm>a</a><a href=b.htm>b</a>");
    small.Write("a.htm", "<title>A</title><h2 id=s>SYNOPSIS</h2>");
    small.Write("b.htm", "<title>B</title><h2 id=s>SYNOPSIS</h2>");
    EXPECT_EQ(Count(Body(Scan(ManualScan(small))), "7;SYNOPSIS;"), 2);

    // Classic turns the three off with the rest: the anchors' phrases stay as they were.
    ScanSettings classic = ManualScan(files);
    classic.SetClassic();
    EXPECT_FALSE(classic.skipCommonHeadings || classic.skipTitleRepeats || classic.oneCasePerPage);
    ScanRun old = Scan(classic);
    EXPECT_EQ(old.report.find("left out"), std::string::npos);
}

TEST(ScanKeywordCleaner, TitlesShortenedAndHeadingsLeftOutInOneScan) {
    TestFiles files;
    std::string index = "<title>Tools</title>";
    for (int i = 1; i <= kPages; ++i) {
        std::string name = "t" + std::to_string(i);
        index += "<a href=" + name + ".htm>" + name + "</a>";
        files.Write(name + ".htm", "<title>" + name + " - Tools</title><h2 id=s>SYNOPSIS</h2>" +
                                       "<h2 id=o>About " + name + "</h2>");
    }
    files.Write("index.htm", index);
    ScanRun run = Scan(ManualScan(files));
    Lines body = Body(run);
    EXPECT_EQ(Count(body, ";SYNOPSIS;"), 0);
    EXPECT_EQ(Count(body, ";About t"), kPages);
    EXPECT_EQ(Count(body, " - Tools;"), 0);
    EXPECT_EQ(Count(body, "5;3;1;t2.htm;t2;"), 1);
    EXPECT_NE(run.report.find("Taken off every page title"), std::string::npos);
    EXPECT_NE(run.report.find("SYNOPSIS (12 pages)"), std::string::npos);
}

// A heading repeats the title as the reader sees it in the index (shortened) or as the page
// has it: either way the rest after it is what is common.
TEST(ScanKeywordCleaner, TitleRepeatsAreFoundBeforeAndAfterTheTitlesAreShortened) {
    struct Case {
        Titles titles;
        bool shorten;
        int left; // "Manual Page" headings still in the index
    };
    const Case cases[] = {
        {{"", " - The Manual", ""}, true, 0},       // the heading repeats the shortened title
        {{"", " - The Manual", ""}, false, kPages}, // ... which without shortening is longer
        {{"Manual: ", "", "Manual: "}, true, 0},    // the heading repeats the whole title
        {{"Manual: ", "", ""}, true, 0},            // the title loses its start
        {{"Manual: ", "", ""}, false, kPages},
    };
    for (const Case& c : cases) {
        TestFiles files;
        WriteManual(files, c.titles);
        ScanSettings settings = ManualScan(files);
        settings.shortenTitles = c.shorten;
        ScanRun run = Scan(settings);
        Lines body = Body(run);
        std::string what = c.titles.before + "|" + c.titles.after + "|" + c.titles.heading +
                           (c.shorten ? " shortened" : "");
        EXPECT_EQ(Count(body, "Manual Page;"), c.left) << what;
        // The shared headings go whatever the titles.
        EXPECT_EQ(Count(body, ";SYNOPSIS;"), 0) << what;
        if (c.left == 0) {
            EXPECT_NE(run.report.find("followed by \"Manual Page\", left out: 12 pages"),
                      std::string::npos)
                << what << run.report;
        }
    }
}
