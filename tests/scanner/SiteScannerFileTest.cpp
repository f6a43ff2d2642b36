#include "ScanTestSupport.h"
#include "TestFiles.h"
#include "index/IndexFile.h"

#include <gtest/gtest.h>

using namespace tamblin;
using namespace scantest;
using Lines = std::vector<std::string>;

namespace {

ScanSettings FileScan(const TestFiles& files, const std::string& start = "index.htm") {
    ScanSettings settings = ScanSettings::Classic();
    settings.description = "Site";
    settings.start = files.Path(start);
    return settings;
}

} // namespace

TEST(ScanFiles, HeaderBaseDirectoryAndStartUrl) {
    TestFiles files;
    files.Write("index.htm", "<html><head><title>Home</title></head></html>");
    ScanRun run = Scan(FileScan(files));
    EXPECT_EQ(run.raw, "XO0;2;1;1\n"
                       "1;Site;December 06 2026\n"
                       "3;1;;;\n"
                       "5;1;1;index.htm;Home;;0;;\n"
                       "7;&1;&1;&1;;\n");
    EXPECT_EQ(run.statuses, (Lines{"Scanning index.htm..."}));
    EXPECT_EQ(run.summary, "Scan complete.\n\n1 pages found and 1 index keywords generated.");
    EXPECT_EQ(run.report, "No problems while scanning.");
}

TEST(ScanFiles, ASmallSiteLineByLine) {
    TestFiles files;
    files.Write("index.htm",
                "<html><head><title>Welcome &amp; hello</title>\n"
                "<meta name=\"Keywords\" content=\"alpha, beta,,gamma\">\n"
                "</head><body>\n"
                "<a href=\"a.htm\">A page</a> <a href=\"sub/b.html\" target=\"main\">B</a>\n"
                "<a href=\"manual.pdf\">Manual</a> <a href=\"pic.gif\">Pic</a>\n"
                "<a href=\"http://example.com/x.htm\">Off</a>\n"
                "<a name=\"inst\" keywords=\"setup, installing\">Install</a>\n"
                "</body></html>\n");
    files.Write("a.htm",
                "<title>Page A</title><a href=\"index.htm\">home</a><a href=sub/b.html>b</a>");
    files.Write("sub/b.html",
                "<title>Page B</title><a href=\"../a.htm\">a</a><a href=\"c.htm\">c</a>");
    ScanRun run = Scan(FileScan(files));
    EXPECT_EQ(Body(run), (Lines{
                             "5;1;1;index.htm;Welcome & hello;;0;;",
                             "7;&1;&1;&1;;",
                             "5;2;1;manual.pdf;Manual;;1;;",
                             "7;&2;&2;&2;;",
                             "7;Install;&1#inst;&1;;",
                             "7;setup;&1#inst;&1 (Install);;",
                             "7;installing;&1#inst;&1 (Install);;",
                             "7;alpha;&1;&1;;",
                             "7;beta;&1;&1;;",
                             "7;gamma;&1;&1;;",
                             "5;3;1;a.htm;Page A;;1;;",
                             "7;&3;&3;&3;;",
                             "5;4;1;sub/b.html;Page B;main;1;;",
                             "7;&4;&4;&4;main;",
                         }));
    EXPECT_EQ(run.problems, (Lines{"sub/b.html:  sub/c.htm line 0: Could not open file " +
                                   files.Path("sub/c.htm") + "."}));
    EXPECT_EQ(run.report, "1 problems while scanning:\r\n\r\n" + run.problems[0] + "\r\n");
}

TEST(ScanFiles, CaseVariantsAreOnePageUnlessCaseIsSignificant) {
    TestFiles files;
    files.Write("index.htm",
                "<title>I</title><a href=a.htm>1</a><a href=A.HTM>2</a><a href=./a.htm>3</a>");
    files.Write("a.htm", "<title>small</title>");
    files.Write("A.HTM", "<title>capital</title>");
    ScanRun run = Scan(FileScan(files));
    EXPECT_EQ(Body(run), (Lines{"5;1;1;index.htm;I;;0;;", "7;&1;&1;&1;;", "5;2;1;a.htm;small;;1;;",
                                "7;&2;&2;&2;;"}));
    ScanSettings settings = FileScan(files);
    settings.caseSignificant = true;
    run = Scan(settings);
    EXPECT_EQ(Body(run), (Lines{"5;1;1;index.htm;I;;0;;", "7;&1;&1;&1;;", "5;2;1;a.htm;small;;1;;",
                                "7;&2;&2;&2;;", "5;3;1;A.HTM;capital;;1;;", "7;&3;&3;&3;;"}));
}

TEST(ScanFiles, PageReachedTwiceGoesUnderTheFirstLinker) {
    TestFiles files;
    files.Write("index.htm", "<title>I</title><a href=x.htm>x</a><a href=y.htm>y</a>");
    files.Write("x.htm", "<title>X</title><a href=z.htm>z</a>");
    files.Write("y.htm", "<title>Y</title><a href=z.htm>z</a>");
    files.Write("z.htm", "<title>Z</title>");
    ScanRun run = Scan(FileScan(files));
    EXPECT_EQ(Body(run)[6], "5;4;1;z.htm;Z;;2;;");
    EXPECT_EQ(Body(run).size(), 8u);
}

TEST(ScanFiles, NonPageLinksAndParseAll) {
    TestFiles files;
    files.Write("index.htm", "<title>I</title><a href=manual.pdf>Manual</a><a href=p.gif>G</a>"
                             "<a href=p.jpg>J</a><a href=p.png>P</a><a href=p.jpeg>E</a>");
    files.Write("manual.pdf", "<title>Inside the manual</title>");
    files.Write("p.png", "<title>png</title>");
    files.Write("p.jpeg", "<title>jpeg</title>");
    files.Write("p.gif", "<title>gif</title>");
    ScanRun run = Scan(FileScan(files));
    EXPECT_EQ(Body(run),
              (Lines{"5;1;1;index.htm;I;;0;;", "7;&1;&1;&1;;", "5;2;1;manual.pdf;Manual;;1;;",
                     "7;&2;&2;&2;;", "5;3;1;p.png;P;;1;;", "7;&3;&3;&3;;", "5;4;1;p.jpeg;E;;1;;",
                     "7;&4;&4;&4;;"}));
    ScanSettings settings = FileScan(files);
    settings.parseAll = true;
    run = Scan(settings);
    Lines body = Body(run);
    ASSERT_EQ(body.size(), 14u);
    EXPECT_EQ(body[8], "5;5;1;manual.pdf;Inside the manual;;1;;");
    EXPECT_EQ(body[10], "5;6;1;p.png;png;;1;;");
    EXPECT_EQ(body[12], "5;7;1;p.jpeg;jpeg;;1;;");
}

TEST(ScanFiles, OffSiteLinksOnlyWithTheOption) {
    TestFiles files;
    files.Write("index.htm",
                "<title>I</title><a href=\"http://example.com/x.htm\">Ex</a>"
                "<a href=\"http://example.com/x.htm\">Again</a><a href=\"mailto:me@x\">Mail</a>");
    ScanRun run = Scan(FileScan(files));
    EXPECT_EQ(Body(run).size(), 2u);
    ScanSettings settings = FileScan(files);
    settings.addOffSiteEntries = true;
    run = Scan(settings);
    EXPECT_EQ(Body(run), (Lines{"5;1;1;index.htm;I;;0;;", "7;&1;&1;&1;;",
                                "5;2;1;http://example.com/x.htm;Ex;;1;;", "7;&2;&2;&2;;",
                                "5;3;1;mailto:me@x;Mail;;1;;", "7;&3;&3;&3;;"}));
}

TEST(ScanFiles, NamedAnchorsMakeKeywords) {
    TestFiles files;
    files.Write("index.htm",
                "<title>I</title><a href=a.htm>a</a><a href=b.htm>b</a><a href=c.htm>c</a>");
    files.Write("a.htm", "<title>A</title>");
    files.Write("b.htm", "<title>B</title>");
    files.Write("c.htm", "<title>C</title><a name=inst keywords=\"setup, installing\">Install</a>"
                         "<a name=blank></a><a name=\"x;y\">semi</a>");
    ScanRun run = Scan(FileScan(files));
    Lines body = Body(run);
    ASSERT_EQ(body.size(), 11u);
    EXPECT_EQ(body[6], "5;4;1;c.htm;C;;1;;");
    EXPECT_EQ(body[8], "7;Install;&4#inst;&4;;");
    EXPECT_EQ(body[9], "7;setup;&4#inst;&4 (Install);;");
    EXPECT_EQ(body[10], "7;installing;&4#inst;&4 (Install);;");
    EXPECT_EQ(run.problems, (Lines{"index.htm:  c.htm line 1: cannot make index on anchor name "
                                   "\"x;y\" as it contains a semi-colon delimiter"}));
}

TEST(ScanFiles, BlankAnchorsAndAnchorKeywordsOptions) {
    TestFiles files;
    files.Write("index.htm", "<title>I</title><a name=top></a><a name=x keywords=k>X</a>");
    ScanSettings settings = FileScan(files);
    settings.ignoreBlankAnchors = false;
    EXPECT_EQ(Body(Scan(settings)),
              (Lines{"5;1;1;index.htm;I;;0;;", "7;&1;&1;&1;;", "7;top;&1#top;&1;;", "7;X;&1#x;&1;;",
                     "7;k;&1#x;&1 (X);;"}));
    settings.anchorsAsKeywords = false;
    EXPECT_EQ(Body(Scan(settings)).size(), 2u);
}

TEST(ScanFiles, UntitledPages) {
    TestFiles files;
    files.Write("index.htm", "<title>I</title><a href=u.htm>u</a>");
    files.Write("u.htm", "<meta name=keywords content=\"m1, m2\"><a href=v.htm>v</a>"
                         "<a href=doc.pdf>Doc</a><a name=n>Here</a>");
    files.Write("v.htm", "<title>V</title>");
    ScanRun run = Scan(FileScan(files));
    EXPECT_EQ(Body(run), (Lines{"5;1;1;index.htm;I;;0;;", "7;&1;&1;&1;;"}));

    ScanSettings settings = FileScan(files);
    settings.noTitleIgnorePage = false;
    run = Scan(settings);
    // The link entry of an untitled page goes under the latest title; pages queued from it
    // have no entry to go under (-1: not in contents).
    EXPECT_EQ(Body(run), (Lines{"5;1;1;index.htm;I;;0;;", "7;&1;&1;&1;;", "5;2;1;doc.pdf;Doc;;1;;",
                                "7;&2;&2;&2;;", "7;Here;u.htm#n;u.htm;;", "7;u.htm;u.htm;u.htm;;",
                                "7;m1;u.htm;u.htm;;", "7;m2;u.htm;u.htm;;", "5;3;1;v.htm;V;;-1;;",
                                "7;&3;&3;&3;;"}));
}

TEST(ScanFiles, TitlesDecodeAndTitlesTwiceMakeTwoEntries) {
    TestFiles files;
    files.Write("index.htm", "<title> Fish &amp; chips; </title><title>Second</title>");
    EXPECT_EQ(Body(Scan(FileScan(files))),
              (Lines{"5;1;1;index.htm;Fish & chips;;0;;", "7;&1;&1;&1;;",
                     "5;2;1;index.htm;Second;;0;;", "7;&2;&2;&2;;"}));
}

TEST(ScanFiles, FramesAndSkippedTargetFrame) {
    TestFiles files;
    files.Write("index.htm", "<title>I</title><frameset><frame src=menu.htm name=left>"
                             "<frame src=\"body.htm\" name=\"right\"></frameset>");
    files.Write("menu.htm", "<title>Menu</title><a href=doc.pdf>Doc</a>");
    files.Write("body.htm", "<title>Body</title>");
    ScanRun run = Scan(FileScan(files));
    EXPECT_EQ(Body(run),
              (Lines{"5;1;1;index.htm;I;;0;;", "7;&1;&1;&1;;", "5;2;1;menu.htm;Menu;left;1;;",
                     "7;&2;&2;&2;left;", "5;3;1;doc.pdf;Doc;left;2;;", "7;&3;&3;&3;left;",
                     "5;4;1;body.htm;Body;right;1;;", "7;&4;&4;&4;right;"}));
    ScanSettings settings = FileScan(files);
    settings.skipTargetFrame = "left";
    run = Scan(settings);
    EXPECT_EQ(Body(run)[2], "5;2;1;menu.htm;Menu;;1;;");
    EXPECT_EQ(Body(run)[5], "7;&3;&3;&3;;");
    EXPECT_EQ(Body(run)[6], "5;4;1;body.htm;Body;right;1;;");
}

TEST(ScanFiles, RootRelativeLinksInFileMode) {
    TestFiles files;
    files.Write("index.htm", "<title>I</title><a href=/>root</a><a href=/sub/a.htm>a</a>");
    files.Write("sub/a.htm", "<title>A</title>");
    EXPECT_EQ(Body(Scan(FileScan(files))), (Lines{"5;1;1;index.htm;I;;0;;", "7;&1;&1;&1;;",
                                                  "5;2;1;sub/a.htm;A;;1;;", "7;&2;&2;&2;;"}));
}

TEST(ScanFiles, SizeWarningAboveAThousandRecords) {
    TestFiles files;
    std::string page = "<title>I</title>";
    for (int i = 0; i < 500; ++i) {
        page += "<a href=f" + std::to_string(i) + ".pdf>F</a>";
    }
    files.Write("index.htm", page);
    ScanRun run = Scan(FileScan(files));
    EXPECT_EQ(run.summary, "Scan complete.\n\n501 pages found and 501 index keywords generated.");
    EXPECT_EQ(run.report,
              "No problems while scanning.\r\n\r\n"
              "WARNING: This index file looks reasonably big\r\n"
              "  Please check that it loads quickly enough over the Web\r\n"
              "  You could split it into several index files for the Navora Select tab.\r\n"
              "  Or reduce the number of keywords by scanning again with 'Use anchors as "
              "keywords' unchecked.");
}

TEST(ScanFiles, ProblemLinesNameReferrerUrlAndBlock) {
    TestFiles files;
    files.Write("index.htm", "<title>I</title><a href=\"gone.htm\">g</a><a href=\"x;y.htm\">s</a>" +
                                 std::string(300, ' ') + "x<a name=\"a;b\">t</a>");
    ScanRun run = Scan(FileScan(files));
    EXPECT_EQ(
        run.problems,
        (Lines{"Initial scan page:  index.htm line 3: cannot make index on anchor name \"a;b\" "
               "as it contains a semi-colon delimiter",
               "index.htm:  gone.htm line 0: Could not open file " + files.Path("gone.htm") + ".",
               "index.htm:  x;y.htm line 0: Cannot parse file (" + files.Path("x;y.htm") +
                   ") as the filename contains a semi-colon delimiter."}));
    EXPECT_EQ(run.report.substr(0, 30), "3 problems while scanning:\r\n\r\n");
}

TEST(ScanFiles, MissingStartFile) {
    TestFiles files;
    ScanRun run = Scan(FileScan(files, "none.htm"));
    EXPECT_EQ(run.lines.size(), 3u);
    EXPECT_EQ(run.problems, (Lines{"Initial scan page:  none.htm line 0: Could not open file " +
                                   files.Path("none.htm") + "."}));
}

// What the scanner writes must read back as it was meant.
TEST(ScanFiles, FieldsThatReadingWouldChange) {
    TestFiles files;
    files.Write("index.htm", "<title>A&#59;B&#10;C</title>"
                             "<meta name=keywords content=\"&amp;7 up, &#32;, ,&nbsp;,&amp;x, ok\">"
                             "<a href=\"doc;1.pdf\">Semi</a>"
                             "<a href=\"doc.pdf\" target=\"a;b\">Doc</a>"
                             "<a href=\"e.pdf\">&#32;&nbsp;</a>"
                             "<a name=n keywords=\" ,&nbsp;, k\">&amp;1 first</a>"
                             "<a href=\"s;p.htm\">to a page</a>");
    files.Write("t.htm", "<title>&nbsp;</title>");
    files.Write("index2.htm", "<title>I</title><a href=t.htm>t</a>");
    ScanRun run = Scan(FileScan(files));
    EXPECT_EQ(Body(run),
              (Lines{"5;1;1;index.htm;A B C;;0;;", "7;&1;&1;&1;;", "5;2;1;doc.pdf;Doc;;1;;",
                     "7;&2;&2;&2;;", "7;&&1 first;&1#n;&1;;", "7;k;&1#n;&1 (&1 first);;",
                     "7;&&7 up;&1;&1;;", "7;&&x;&1;&1;;", "7;ok;&1;&1;;"}));
    // The link with ";" to a page is still queued, and reported when it is taken.
    EXPECT_EQ(run.problems,
              (Lines{"index.htm:  s;p.htm line 0: Cannot parse file (" + files.Path("s;p.htm") +
                     ") as the filename contains a semi-colon delimiter."}));

    // A title of spaces counts as empty: the page's url stands in.
    run = Scan(FileScan(files, "index2.htm"));
    EXPECT_EQ(Body(run)[2], "5;2;1;t.htm;t.htm;;1;;");

    // And the phrases come back as they were found.
    TestFiles::PinDate();
    SiteScanner scanner(FileScan(files));
    std::optional<std::string> path = scanner.ScanIndex();
    ASSERT_TRUE(path);
    IndexFile index;
    ASSERT_EQ(index.Load(*path), 1);
    std::remove(path->c_str());
    const IndexEntry& home = *index.m_root.m_children.at(0);
    ASSERT_EQ(home.m_keywords.size(), 6u);
    EXPECT_EQ(home.m_keywords[1].m_phrase, "&1 first");
    EXPECT_EQ(home.m_keywords[1].m_anchor, "#n");
    EXPECT_EQ(home.m_keywords[2].m_extraTitle, " (&1 first)");
    EXPECT_EQ(home.m_keywords[3].m_phrase, "&7 up");
    EXPECT_EQ(home.m_keywords[4].m_phrase, "&x");
}

TEST(ScanFiles, CancelStopsBeforeTheNextPageAndKeepsTheFile) {
    TestFiles files;
    files.Write("index.htm", "<title>I</title><a href=a.htm>a</a><a href=b.htm>b</a>");
    files.Write("a.htm", "<title>A</title>");
    files.Write("b.htm", "<title>B</title>");
    RecordingObserver observer;
    observer.cancelAtPage = 2;
    ScanRun run = Scan(FileScan(files), {}, &observer);
    EXPECT_TRUE(run.aborted);
    EXPECT_EQ(run.summary, "User requested abort");
    // The page that was open when Cancel came is read no further: not even its first block.
    EXPECT_EQ(Body(run), (Lines{"5;1;1;index.htm;I;;0;;", "7;&1;&1;&1;;"}));
}

TEST(ScanFiles, CancelFromAnotherFlag) {
    TestFiles files;
    files.Write("index.htm", "<title>I</title>");
    std::atomic<int> flag{1};
    ScanOptions options;
    options.abortFlag = &flag;
    ScanRun run = Scan(FileScan(files), options);
    EXPECT_EQ(run.summary, "User requested abort");
    EXPECT_EQ(run.lines.size(), 3u);
}

TEST(ScanFiles, WindowsSeparatorKeepsThePlainUrl) {
    MapPageSource pages;
    pages.pages["C:\\site\\index.htm"] =
        "<title>I</title><a href=sub/a.htm>a</a><a href=b.htm>b</a>";
    pages.pages["C:\\site\\sub\\a.htm"] = "<title>A</title><a href=../b.htm>b</a>";
    pages.pages["C:\\site\\b.htm"] = "<title>B</title>";
    ScanSettings settings = ScanSettings::Classic();
    settings.start = "C:\\site\\index.htm";
    ScanOptions options;
    options.fileSeparator = '\\';
    options.pageSource = &pages;
    ScanRun run = Scan(settings, options);
    // The "/" form of a location never begins with a base written with backslashes, so every
    // url stays as the link wrote it, and b.htm is read once.
    EXPECT_EQ(Body(run), (Lines{"5;1;1;index.htm;I;;0;;", "7;&1;&1;&1;;", "5;2;1;sub/a.htm;A;;1;;",
                                "7;&2;&2;&2;;", "5;3;1;b.htm;B;;1;;", "7;&3;&3;&3;;"}));
    EXPECT_EQ(pages.opened["C:\\site\\b.htm"], 1);
    EXPECT_EQ(pages.opened.size(), 3u);
}

TEST(ScanFiles, DescriptionCannotSplitTheRecord) {
    TestFiles files;
    files.Write("index.htm", "<title>I</title>");
    ScanSettings settings = FileScan(files);
    settings.description = "a;b\nc";
    EXPECT_EQ(Scan(settings).lines.at(1), "1;a b c;December 06 2026");
}

TEST(ScanFiles, WorkerEntryWithoutScanner) {
    EXPECT_EQ(SiteScanner::WorkerEntry(nullptr), -1);
}

TEST(ScanFiles, UrlsEndingInSpacesAreWrittenAsReadingTrimsThem) {
    TestFiles files;
    files.Write("index.htm",
                "<title>I</title><a href=\"doc #part\">Doc</a><a href=\"x/ #a\">x</a>");
    files.Write("doc ", "no title here");
    ScanSettings settings = FileScan(files);
    settings.parseAll = true;
    settings.noTitleIgnorePage = false;
    EXPECT_EQ(Body(Scan(settings)),
              (Lines{"5;1;1;index.htm;I;;0;;", "7;&1;&1;&1;;", "5;2;1;doc #part;Doc;;1;;",
                     "7;&2;&2;&2;;", "5;3;1;x/ #a;x;;1;;", "7;&3;&3;&3;;", "7;doc;doc;doc;;"}));
}

TEST(ScanFiles, DotsAndStatusForEachPage) {
    class DotObserver final : public RecordingObserver {
    public:
        bool WantsDots() const override { return true; }
        void OnDots(std::string_view dots) override { shown.emplace_back(dots); }
        Lines shown;
    } observer;
    TestFiles files;
    files.Write("index.htm", "<title>I</title><a href=a.htm>a</a>" + std::string(300, ' '));
    files.Write("a.htm", "<title>A</title>");
    ScanRun run = Scan(FileScan(files), {}, &observer);
    // Every page starts again at one dot.
    EXPECT_EQ(observer.shown, (Lines{".", "..", "...", "."}));
    EXPECT_EQ(run.statuses, (Lines{"Scanning index.htm...", "Scanning a.htm..."}));
}

TEST(ScanFiles, AStartThatCannotBeScannedSaysWhyAsAValue) {
    ScanSettings settings = ScanSettings::Classic();
    settings.description = "Site";
    settings.start = "two\nlines.htm";
    SiteScanner scanner(settings);
    EXPECT_FALSE(scanner.Prepare());
    EXPECT_EQ(scanner.StartError(), ScanStartError::LineBreakInStart);
    EXPECT_EQ(scanner.ErrorText(), "The start page cannot contain a line break.");
    EXPECT_EQ(ScanStartErrorText(ScanStartError::NoPageSource), "Page scan failed");
    EXPECT_EQ(ScanStartErrorText(ScanStartError::None), "");
}
