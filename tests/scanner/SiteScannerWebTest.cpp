#include "LoopbackServer.h"
#include "ScanTestSupport.h"
#include "TestFiles.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace tamblin;
using namespace scantest;
using Lines = std::vector<std::string>;

namespace {

ScanSettings FileScan(const TestFiles& files, const std::string& start = "index.htm") {
    ScanSettings settings;
    settings.description = "Site";
    settings.start = files.Path(start);
    return settings;
}

ScanSettings UrlScan(const std::string& start) {
    ScanSettings settings;
    settings.description = "Web";
    settings.fromUrl = true;
    settings.start = start;
    return settings;
}

ScanOptions Quick() {
    ScanOptions options;
    options.fetch.answerTimeoutMs = 1500;
    options.fetch.stallTimeoutMs = 1500;
    return options;
}

Response Html(std::string body, std::string type = "text/html; charset=utf-8") {
    Response response;
    response.body = std::move(body);
    response.headers = {"Content-Type: " + type};
    return response;
}

Response Redirect(const std::string& to) {
    Response response;
    response.status = 301;
    response.headers = {"Location: " + to};
    return response;
}

Response Missing() {
    Response response;
    response.status = 404;
    return response;
}

bool Has(const Lines& lines, const std::string& line) {
    return std::find(lines.begin(), lines.end(), line) != lines.end();
}

int Count(const Lines& lines, std::string_view prefix) {
    return static_cast<int>(std::count_if(lines.begin(), lines.end(), [&](const std::string& l) {
        return l.compare(0, prefix.size(), prefix) == 0;
    }));
}

} // namespace

// Text as browsers show it, in one encoding per index.

TEST(ScanWebText, ReferencesDecodeIntoTheStartPagesUtf8) {
    TestFiles files;
    files.Write("index.htm", "<meta charset=utf-8><title>A &mdash; caf&eacute; &#8212; "
                             "&#150;&#20;x;y</title><a href=l1.htm>l</a>");
    // Undeclared and not valid UTF-8: Windows-1252, converted.
    files.Write("l1.htm", "<title>na\xEFve \x93quoted\x94</title>");
    ScanRun run = Scan(FileScan(files));
    Lines body = Body(run);
    EXPECT_TRUE(Has(body, "5;1;1;index.htm;A \xE2\x80\x94 caf\xC3\xA9 \xE2\x80\x94 \xE2\x80\x93 "
                          "xy;;0;;"));
    EXPECT_TRUE(Has(body, "5;2;1;l1.htm;na\xC3\xAFve \xE2\x80\x9Cquoted\xE2\x80\x9D;;1;;"));

    // The same site as the first scanner read it.
    ScanSettings classic = FileScan(files);
    classic.SetClassic();
    Lines old = Body(Scan(classic));
    EXPECT_TRUE(Has(old, "5;1;1;index.htm;A m cafe \x14 \x96\x14xy;;0;;"));
}

TEST(ScanWebText, ALatinStartPageKeepsItsEncodingAndMarksWhatItLacks) {
    TestFiles files;
    files.Write("index.htm", "<meta http-equiv=\"Content-Type\" content=\"text/html; "
                             "charset=ISO-8859-1\"><title>\x80 &euro; caf\xE9</title>"
                             "<a href=u.htm>u</a><a href=k.htm>k</a>");
    files.Write("u.htm", "<title>\xE6\x97\xA5 &#x65E5; \xC3\xA9</title>"); // valid UTF-8
    // "Привет" in KOI8-R.
    files.Write("k.htm", "<meta charset=\"koi8-r\"><title>\xF0\xD2\xC9\xD7\xC5\xD4</title>");
    ScanRun run = Scan(FileScan(files));
    Lines body = Body(run);
    EXPECT_TRUE(Has(body, "5;1;1;index.htm;\x80 \x80 caf\xE9;;0;;"));
    EXPECT_TRUE(Has(body, "5;2;1;u.htm;? ? \xE9;;1;;"));
    EXPECT_TRUE(Has(body, "5;3;1;k.htm;??????;;1;;"));
    EXPECT_EQ(run.problems, Lines{});
    EXPECT_NE(run.report.find("Characters that Windows-1252, the index's character set, cannot "
                              "hold, written as \"?\": 8"),
              std::string::npos);
}

TEST(ScanWebText, EveryOtherStartPageGivesAUtf8Index) {
    TestFiles files;
    files.Write("index.htm", "<meta http-equiv=\"Content-Type\" content=\"text/html; "
                             "charset=ISO-8859-15\"><title>\xA4 &euro; caf\xE9</title>"
                             "<a href=k.htm>k</a><a href=x.htm>x</a>");
    files.Write("k.htm", "<meta charset=\"koi8-r\"><title>\xF0\xD2\xC9\xD7\xC5\xD4</title>");
    files.Write("x.htm", "<meta charset=\"x-unknown\"><title>\xE9</title>");
    ScanRun run = Scan(FileScan(files));
    Lines body = Body(run);
    EXPECT_TRUE(Has(body, "5;1;1;index.htm;\xE2\x82\xAC \xE2\x82\xAC caf\xC3\xA9;;0;;"));
    EXPECT_TRUE(Has(body, "5;2;1;k.htm;\xD0\x9F\xD1\x80\xD0\xB8\xD0\xB2\xD0\xB5\xD1\x82;;1;;"));
    EXPECT_TRUE(Has(body, "5;3;1;x.htm;\xC3\xA9;;1;;"));
    ASSERT_EQ(run.problems.size(), 1u);
    EXPECT_NE(run.problems[0].find("Unknown character set \"x-unknown\": read as Windows-1252."),
              std::string::npos);
    EXPECT_EQ(run.report.find("cannot hold"), std::string::npos);
}

TEST(ScanWebText, ByteOrderMarksAndUtf16) {
    TestFiles files;
    files.Write("index.htm", "\xEF\xBB\xBF<title>\xC3\xA9t\xC3\xA9</title><a href=w.htm>w</a>");
    std::string utf16 = "\xFF\xFE";
    for (char c : std::string("<title>Wide</title>")) {
        utf16 += c;
        utf16 += '\0';
    }
    files.Write("w.htm", utf16);
    Lines body = Body(Scan(FileScan(files)));
    EXPECT_TRUE(Has(body, "5;1;1;index.htm;\xC3\xA9t\xC3\xA9;;0;;"));
    EXPECT_TRUE(Has(body, "5;2;1;w.htm;Wide;;1;;"));
}

// Keywords from headings.

TEST(ScanWebHeadings, HeadingsWithAnIdBecomeKeywords) {
    TestFiles files;
    files.Write("index.htm",
                "<title>Guide</title><h1>Guide</h1>"
                "<section id=\"intro\"><h2>Intro<a class=headerlink href=\"#intro\">\xC2\xB6</a>"
                "</h2><h3>Not first</h3></section>"
                "<h2 id=own>Own <em>id</em></h2>"
                "<h2>Linked <a href=\"#lnk\">#</a></h2>"
                "<div id=gone></div><h2>After a closed div</h2>"
                "<h2 id=a1><a name=a1>Anchored</a></h2>"
                "<p><a id=spot>Spot</a></p>"
                "<h2 id=\"guide\">Guide</h2>");
    files.Write("more.htm", "<title>More - Site</title><h1 id=more>More</h1><h2 id=m2>Less</h2>");
    Lines body = Body(Scan(FileScan(files)));
    EXPECT_EQ(body,
              (Lines{"5;1;1;index.htm;Guide;;0;;", "7;&1;&1;&1;;", "7;Intro;&1#intro;&1 (Intro);;",
                     "7;Own id;&1#own;&1 (Own id);;", "7;Linked;&1#lnk;&1 (Linked);;",
                     "7;Anchored;&1#a1;&1;;", "7;Spot;&1#spot;&1;;"}));

    ScanSettings classic = FileScan(files);
    classic.SetClassic();
    EXPECT_EQ(Count(Body(Scan(classic)), "7;"), 2);
}

// Script and style are not markup.

TEST(ScanWebScript, ScriptLinksAndStyleSheetsAddNothing) {
    TestFiles files;
    std::string plain = "<title>Home</title><a href=a.htm>A</a>";
    files.Write("plain.htm", plain);
    files.Write("index.htm", "<title>Home</title><script>for (n = 0; n < 3; n++) "
                             "document.write(\"<a href='#note\" + n + \"'>\" + n + \"</a>\");"
                             "var s = '<title>x</title>';</script>"
                             "<style>a < b { color: red } /* <a href=style.htm>S</a> */</style>"
                             "<a href=a.htm>A</a>");
    files.Write("a.htm", "<title>A</title>");
    Lines withScript = Body(Scan(FileScan(files)));
    Lines without = Body(Scan(FileScan(files, "plain.htm")));
    for (std::string& line : without) {
        size_t at = line.find("plain.htm");
        if (at != std::string::npos) {
            line.replace(at, 9, "index.htm");
        }
    }
    EXPECT_EQ(withScript, without);

    ScanSettings classic = FileScan(files);
    classic.SetClassic();
    EXPECT_GT(Body(Scan(classic)).size(), without.size());
}

// Shorter titles.

TEST(ScanWebTitles, ASharedEndIsTakenOffAndReported) {
    TestFiles files;
    files.Write("index.htm", "<title>Site docs</title><a href=a.htm>a</a><a href=b.htm>b</a>");
    files.Write("a.htm", "<title>Alpha &mdash; Site docs</title>");
    files.Write("b.htm", "<title>Beta &mdash; Site docs</title>");
    ScanRun run = Scan(FileScan(files));
    Lines body = Body(run);
    EXPECT_TRUE(Has(body, "5;1;1;index.htm;Site docs;;0;;"));
    EXPECT_TRUE(Has(body, "5;2;1;a.htm;Alpha;;1;;"));
    EXPECT_TRUE(Has(body, "5;3;1;b.htm;Beta;;1;;"));
    EXPECT_NE(run.report.find("Taken off every page title: \"\xE2\x80\x94 Site docs\""),
              std::string::npos);

    files.Write("b.htm", "<title>Site: Beta</title>");
    files.Write("a.htm", "<title>Site: Alpha</title>");
    body = Body(Scan(FileScan(files)));
    EXPECT_TRUE(Has(body, "5;2;1;a.htm;Alpha;;1;;"));

    // A title that would be left empty keeps everything.
    files.Write("a.htm", "<title>Site:</title>");
    run = Scan(FileScan(files));
    EXPECT_TRUE(Has(Body(run), "5;3;1;b.htm;Site: Beta;;1;;"));
    EXPECT_EQ(run.report.find("Taken off"), std::string::npos);
}

// Pages by what the server says, where the start page really is, and <base>.

TEST(ScanWebAddresses, CleanAddressesAreAllFound) {
    LoopbackServer server([](const std::string& path) {
        if (path == "/") {
            return Redirect("/site/home");
        }
        if (path == "/site/home") {
            return Html("<title>Home</title><a href=about>About</a>"
                        "<a href=\"blog/2026/hello#top\">Hello</a>"
                        "<a href=\"page.php?id=3&amp;x=1\">Php</a>"
                        "<a href=\"intro.html?lang=en\">Intro</a><a href=docs/>Docs</a>"
                        "<a href=report>Report</a><a href=logo.gif>Logo</a>");
        }
        if (path == "/site/about") {
            return Html("<title>About</title><a href=\"page.php?id=3&amp;x=1#x\">again</a>");
        }
        if (path == "/site/blog/2026/hello") {
            return Html("<title>Hello</title><a href=\"../../about\">up</a>");
        }
        if (path == "/site/page.php?id=3&x=1") {
            return Html("<title>Php page</title>");
        }
        if (path == "/site/intro.html?lang=en") {
            return Html("<title>Intro</title>");
        }
        if (path == "/site/docs/") {
            return Html("<title>Docs</title>");
        }
        if (path == "/site/report") {
            return Html("%PDF-1.4", "application/pdf");
        }
        return Missing();
    });
    ScanRun run = Scan(UrlScan(server.Url("/")), Quick());
    EXPECT_EQ(run.problems, Lines{});
    EXPECT_EQ(run.lines[2], "3;1;" + server.Url("/site/") + ";;");
    Lines body = Body(run);
    for (const char* page :
         {"5;1;1;home;Home;;0;;", "5;2;1;about;About;;1;;", "5;3;1;blog/2026/hello;Hello;;1;;",
          "5;4;1;page.php?id=3&x=1;Php page;;1;;", "5;5;1;intro.html?lang=en;Intro;;1;;",
          "5;6;1;docs/;Docs;;1;;", "5;7;1;report;Report;;1;;"}) {
        EXPECT_TRUE(Has(body, page)) << page;
    }
    EXPECT_EQ(Count(body, "5;"), 7);
    EXPECT_EQ(server.Requests("/site/about"), 1);
    EXPECT_EQ(server.Requests("/site/page.php?id=3&x=1"), 1);
    EXPECT_EQ(server.Requests("/site/logo.gif"), 0);

    // The first scanner finds the start page only, at the address it was given.
    ScanSettings classic = UrlScan(server.Url("/"));
    classic.SetClassic();
    ScanRun old = Scan(classic, Quick());
    EXPECT_EQ(old.lines[2], "3;1;" + server.Url("/") + ";;");
    EXPECT_EQ(server.Requests("/site/about"), 1);
    EXPECT_EQ(server.Requests("/site/blog/2026/hello"), 1);
}

TEST(ScanWebAddresses, BaseHrefMovesRelativeLinks) {
    TestFiles files;
    files.Write("index.htm", "<base href=\"sub/\"><title>Home</title><a href=a.htm>A</a>");
    files.Write("sub/a.htm", "<title>A</title><base href=\"http://elsewhere.example/\">"
                             "<a href=b.htm>B</a>");
    Lines body = Body(Scan(FileScan(files)));
    EXPECT_TRUE(Has(body, "5;2;1;sub/a.htm;A;;1;;"));
    EXPECT_EQ(Count(body, "5;"), 2);
}

// Politeness over HTTP.

TEST(ScanWebPoliteness, RobotsAndNofollowAreObeyed) {
    LoopbackServer server([](const std::string& path) {
        if (path == "/robots.txt") {
            return Html("User-agent: *\nDisallow: /private/\n", "text/plain");
        }
        if (path == "/index.html") {
            return Html("<title>Home</title><a href=private/p.html>P</a>"
                        "<a rel=\"external nofollow\" href=n.html>N</a>"
                        "<a href=m.html>M</a><a href=open.html>O</a>");
        }
        if (path == "/m.html") {
            return Html("<meta name=robots content=\"noindex, NOFOLLOW\"><title>M</title>"
                        "<a href=deep.html>D</a>");
        }
        return Html("<title>" + path + "</title>");
    });
    ScanRun run = Scan(UrlScan(server.Url("/index.html")), Quick());
    EXPECT_EQ(server.Requests("/private/p.html"), 0);
    EXPECT_EQ(server.Requests("/n.html"), 0);
    EXPECT_EQ(server.Requests("/deep.html"), 0);
    EXPECT_EQ(server.Requests("/open.html"), 1);
    EXPECT_EQ(server.Requests("/robots.txt"), 1);
    ASSERT_EQ(run.problems.size(), 1u);
    EXPECT_NE(run.problems[0].find("robots.txt closes " + server.Url("/private/p.html")),
              std::string::npos);

    ScanSettings rude = UrlScan(server.Url("/index.html"));
    rude.polite = false;
    rude.delayMs = 1;
    Scan(rude, Quick());
    EXPECT_EQ(server.Requests("/private/p.html"), 1);
    EXPECT_EQ(server.Requests("/deep.html"), 1);
    EXPECT_EQ(server.Requests("/robots.txt"), 1);
}
