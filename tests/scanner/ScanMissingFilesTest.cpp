// Links to files that are not there are problems of the scan, not entries; a folder link
// reads the folder's index page. Off (and in the classic scan) they stay entries.
#include "LoopbackServer.h"
#include "ScanTestSupport.h"
#include "TestFiles.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace tamblin;
using namespace scantest;
using Lines = std::vector<std::string>;

// A file is there as a browser opens it: its query left off and its escapes read.
TEST(ScanMissingFiles, FilesAsABrowserOpensThem) {
    TestFiles files;
    files.Write("index.htm", "<title>Home</title>"
                             "<a href=\"my%20notes.txt\">Notes</a>"
                             "<a href=\"src/main.c?view=1#top\">Main</a>"
                             "<a href=\"src/gone.c\">Gone</a>"
                             "<a href=\"src\">Sources</a>"
                             "<a href=\"src/gone.c\">Gone again</a>"
                             "<a href=\"pic.gif\">Picture</a>");
    files.Write("my notes.txt", "n");
    files.Write("src/main.c", "int main;");
    ScanSettings settings = PlainScan(files.Path("index.htm"));
    ScanRun run = Scan(settings);
    EXPECT_EQ(Entries(run), (Lines{"5;1;1;index.htm;Home;;0;;", "5;2;1;my%20notes.txt;Notes;;1;;",
                                   "5;3;1;src/main.c;Main;;1;;", "5;4;1;src;Sources;;1;;"}));
    // Reported once, whatever the number of links; a picture is never looked for.
    EXPECT_EQ(run.problems, (Lines{"Initial scan page:  index.htm line 1: File not found " +
                                   files.Path("src/gone.c") + "."}));

    settings.checkFileLinks = false;
    run = Scan(settings);
    EXPECT_EQ(run.problems, Lines{});
    EXPECT_EQ(Entries(run).size(), 5u);
}

TEST(ScanMissingFiles, AFolderLinkReadsItsIndexPage) {
    TestFiles files;
    files.Write("index.htm", "<title>Home</title><a href=\"guide\">Guide</a>"
                             "<a href=\"old/\">Old</a>");
    files.Write("guide/index.htm", "<title>The guide</title><a href=\"x.pdf\">x</a>");
    files.Write("guide/x.pdf", "%PDF");
    files.Write("old/index.html", "<title>Old pages</title>");
    files.Write("old/index.htm", "<title>Older still</title>");
    ScanSettings settings = PlainScan(files.Path("index.htm"));
    ScanRun run = Scan(settings);
    EXPECT_EQ(run.problems, Lines{});
    // index.html before index.htm, as servers of files choose; the folder's links are
    // joined to its own place.
    EXPECT_EQ(Entries(run),
              (Lines{"5;1;1;index.htm;Home;;0;;", "5;2;1;guide/index.htm;The guide;;1;;",
                     "5;3;1;guide/x.pdf;x;;2;;", "5;4;1;old/index.html;Old pages;;1;;"}));
}

// Over HTTP a link to a file is asked for: a missing one is a problem, a present one an entry.
TEST(ScanMissingFiles, OverHttpTheServerIsAsked) {
    LoopbackServer server([](const std::string& path) {
        Response response;
        if (path == "/index.html") {
            response.body = "<title>Home</title><a href=\"doc.pdf\">Doc</a>"
                            "<a href=\"gone.pdf\">Gone</a>";
        } else if (path == "/doc.pdf") {
            response.headers = {"Content-Type: application/pdf"};
            response.body = "%PDF";
        } else {
            response.status = 404;
        }
        return response;
    });
    ScanSettings settings = PlainScan(server.Url("/index.html"), true);
    ScanRun run = Scan(settings);
    EXPECT_EQ(Entries(run), (Lines{"5;1;1;index.html;Home;;0;;", "5;2;1;doc.pdf;Doc;;1;;"}));
    EXPECT_EQ(run.problems, (Lines{"index.html:  gone.pdf line 0: Could not open URL " +
                                   server.Url("/gone.pdf") + "."}));

    settings.checkFileLinks = false;
    run = Scan(settings);
    EXPECT_EQ(run.problems, Lines{});
    EXPECT_EQ(server.Requests("/gone.pdf"), 1);
    EXPECT_EQ(Entries(run).size(), 3u);
}

// Pages are read from the file a browser opens for the link: a backslash is a slash, an
// escape is its character, a query is no part of the name. Without tidy URLs the link is
// opened as written, as earlier versions did.
TEST(ScanMissingFiles, PagesAreReadFromTheFileABrowserOpens) {
    TestFiles files;
    files.Write("index.htm", "<title>Home</title>"
                             "<a href=\"sub\\c.html\">c</a>"
                             "<a href=\"d%20e.html\">de</a>"
                             "<a href=\"f.html?x=1#top\">f</a>");
    files.Write("sub/c.html", "<title>C</title><a href=\"../index.htm\">up</a>");
    files.Write("d e.html", "<title>D E</title>");
    files.Write("f.html", "<title>F</title>");
    ScanSettings settings = PlainScan(files.Path("index.htm"));
    ScanRun run = Scan(settings);
    EXPECT_EQ(run.problems, Lines{});
    EXPECT_EQ(Entries(run), (Lines{"5;1;1;index.htm;Home;;0;;", "5;2;1;sub/c.html;C;;1;;",
                                   "5;3;1;d%20e.html;D E;;1;;", "5;4;1;f.html;F;;1;;"}));

    settings.tidyUrls = false;
    settings.checkFileLinks = false;
    run = Scan(settings);
    EXPECT_EQ(run.problems.size(), 2u);
}

// Links in single quotes lead where a browser goes; read as earlier versions did, the quotes
// are part of the file's name, which is not there.
TEST(ScanMissingFiles, LinksInSingleQuotesLeadWhereABrowserGoes) {
    TestFiles files;
    files.Write("index.htm", "<title>Home</title><a href='a.html'>A</a>");
    files.Write("a.html", "<title>A</title>");
    ScanSettings settings = PlainScan(files.Path("index.htm"));
    ScanRun run = Scan(settings);
    EXPECT_EQ(run.problems, Lines{});
    EXPECT_EQ(Entries(run), (Lines{"5;1;1;index.htm;Home;;0;;", "5;2;1;a.html;A;;1;;"}));

    settings.singleQuotes = false;
    run = Scan(settings);
    EXPECT_EQ(run.problems.size(), 1u);
    EXPECT_EQ(Entries(run).size(), 1u);
}
