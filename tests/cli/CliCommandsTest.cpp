#include "cli/CliCommands.h"
#include "FileSizeLimit.h"
#include "TestFiles.h"
#include "fulltext/SearchIndexReader.h"
#include "index/CompanionScript.h"
#include "searchpage/SearchPageText.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

using namespace tamblin;

namespace {

struct CliRun {
    int code;
    std::string out;
    std::string err;
};

CliRun Cli(const std::vector<std::string>& args) {
    TestFiles::PinDate();
    std::ostringstream out;
    std::ostringstream err;
    CliCommands commands(out, err);
    int code = commands.Run(args);
    return {code, out.str(), err.str()};
}

} // namespace

TEST(CliCheck, CleanFilePrintsStatistics) {
    TestFiles files;
    std::string path =
        files.Write("a.xo", "XO0;2;1;1\r\n5;1;;a.htm;A;;0;\r\n7;&1;&1;&1;\r\n7;k;u;t;\r\n");
    CliRun run = Cli({"check", path});
    EXPECT_EQ(run.code, 0);
    EXPECT_EQ(run.out, "1 URLs\n2 Index keywords\nLast saved file size: 52\n");
}

TEST(CliCheck, BadLinesAreListedAndExitOne) {
    TestFiles files;
    std::string path = files.Write("a.xo", "XO0;2;1;1\n4;x\nx;1\n6;9;t\n");
    CliRun run = Cli({"check", path});
    EXPECT_EQ(run.code, 1);
    EXPECT_EQ(run.out, "The index file has 3 errors in these lines:\n\n4;x\nx;1\n6;9;t\n"
                       "0 URLs\n0 Index keywords\nLast saved file size: 24\n");
}

TEST(CliCheck, MissingFile) {
    CliRun run = Cli({"check", "/no/such/file.xo"});
    EXPECT_EQ(run.code, 2);
    EXPECT_EQ(run.err, "Could not open file (/no/such/file.xo)\n");
}

TEST(CliConvert, WritesEvenWhenTheInputHadBadLines) {
    TestFiles files;
    std::string in = files.Write("in.xo", "XO0;2;1;1\n1;Site;x\n4;bad\n5;7;;a.htm;A;;0;\n");
    CliRun run = Cli({"convert", in, files.Path("out.xo")});
    EXPECT_EQ(run.code, 1);
    EXPECT_EQ(run.err, "The index file has one error in this line:\n\n4;bad\n");
    EXPECT_EQ(TestFiles::Read(files.Path("out.xo")),
              "XO0;2;1;1;Tamblin 1.1.18\r\n1;Site;December 6 2026\r\n5;1;;a.htm;A;;0;\r\n");
    EXPECT_EQ(Cli({"convert", files.Path("missing.xo"), files.Path("o.xo")}).code, 2);
    EXPECT_EQ(Cli({"convert", in, files.Path("no/dir/o.xo")}).code, 2);
}

TEST(CliConvert, AFileThatIsNoIndexIsNeitherCheckedNorWritten) {
    TestFiles files;
    std::string page =
        files.Write("git.html", "<html>\n<body>\n<p>a</p>\n</body>\n</html>\n<!-- -->\n");
    CliRun run = Cli({"check", page});
    EXPECT_EQ(run.code, 2);
    EXPECT_EQ(run.err, page +
                           " is not an index file: none of its lines is a record of one; the "
                           "first are:\n<html>\n<body>\n<p>a</p>\n</body>\n</html>\nand 1 more\n");
    std::string out = files.Write("out.xo", "kept");
    EXPECT_EQ(Cli({"convert", page, out}).code, 2);
    EXPECT_EQ(Cli({"convert", files.Write("p.png", std::string("\x89PNG\0\0", 6)), out}).err,
              files.Path("p.png") + " is not an index file: it holds NUL bytes\n");
    EXPECT_EQ(TestFiles::Read(out), "kept");
    // A UTF-8 byte-order mark is no bad line, and a convert keeps it and every record.
    std::string bom = files.Write("bom.xo", "\xEF\xBB\xBFXO0;2;1;1\r\n1;Site;x\r\n3;1;d/;\r\n"
                                            "5;1;1;a.htm;A;;0;\r\n7;&1;&1;&1;\r\n");
    EXPECT_EQ(Cli({"check", bom}).code, 0);
    EXPECT_EQ(Cli({"convert", bom, bom}).code, 0);
    EXPECT_EQ(TestFiles::Read(bom),
              "\xEF\xBB\xBFXO0;2;1;1;Tamblin 1.1.18\r\n1;Site;December 6 2026\r\n"
              "3;1;d/;\r\n5;1;1;a.htm;A;;0;\r\n7;&1;&1;&1;\r\n");
}

TEST(CliConvert, AReadOnlyFileIsReplacedOnlyWithForce) {
    TestFiles files;
    std::string in = files.Write("in.xo", "XO0;2;1;1\n1;Site;x\n");
    std::string out = files.Write("out.xo", "old");
    std::filesystem::permissions(out, std::filesystem::perms::owner_read);
    CliRun run = Cli({"convert", in, out});
    EXPECT_EQ(run.code, 2);
    EXPECT_EQ(run.err,
              "Could not save file (" + out + "): the file is read-only; --force replaces it\n");
    EXPECT_EQ(TestFiles::Read(out), "old");
    // Nothing is scanned when the scan could not be kept.
    std::string page = files.Write("site/index.htm", "<title>Home</title>");
    run = Cli({"scan", page, "-o", out});
    EXPECT_EQ(run.code, 2);
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(Cli({"convert", "--force", in, out}).code, 0);
    EXPECT_EQ(TestFiles::Read(out).substr(0, 10), "XO0;2;1;1;");
    EXPECT_EQ(std::filesystem::status(out).permissions(), std::filesystem::perms::owner_read);
    EXPECT_EQ(Cli({"scan", page, "-o", out, "--force"}).code, 0);
    EXPECT_NE(TestFiles::Read(out).find("Home"), std::string::npos);
}

TEST(CliUsage, HelpAndWrongArguments) {
    CliRun help = Cli({"--help"});
    EXPECT_EQ(help.code, 0);
    EXPECT_NE(help.out.find("convert IN OUT"), std::string::npos);
    EXPECT_EQ(Cli({}).code, 64);
    EXPECT_EQ(Cli({"check"}).code, 64);
    EXPECT_EQ(Cli({"frobnicate", "x"}).code, 64);
}

// Every command answers --help with its own usage on standard output, wherever it stands.
TEST(CliUsage, EveryCommandPrintsItsUsage) {
    const std::vector<std::vector<std::string>> asks = {
        {"check", "--help"},   {"check", "x.xo", "--links", "--help"},
        {"convert", "--help"}, {"convert", "in.xo", "-h"},
        {"export", "--help"},  {"scan", "--help"},
        {"rescan", "--help"},  {"searchpage", "--help"}};
    for (const std::vector<std::string>& args : asks) {
        CliRun run = Cli(args);
        EXPECT_EQ(run.code, 0) << args[0];
        EXPECT_EQ(run.out.rfind("Usage: tamblin-cli " + args[0] + " ", 0), 0u) << run.out;
        EXPECT_EQ(run.err, "") << args[0];
    }
    EXPECT_NE(Cli({"check", "-h"}).out.find("--links"), std::string::npos);
}

// The size warning names the switch that gives fewer keywords, not the wizard's check box.
TEST(CliScan, TheSizeWarningNamesTheSwitch) {
    TestFiles files;
    std::string page = "<title>I</title>";
    for (int i = 0; i < 1000; ++i) {
        page += "<a name=a" + std::to_string(i) + ">A</a>";
    }
    CliRun run = Cli({"scan", files.Write("index.htm", page), "-o", files.Path("o.xo")});
    EXPECT_EQ(run.code, 0);
    EXPECT_NE(run.out.find("  Or reduce the number of keywords by scanning again with "
                           "--no-anchor-keywords.\n"),
              std::string::npos)
        << run.out;
    EXPECT_EQ(run.out.find("unchecked"), std::string::npos);
}

TEST(CliSearchPage, WritesTheWizardsBytesAndCopiesTheApplet) {
    TestFiles files;
    std::filesystem::create_directories(files.Path("redist"));
    files.Write("redist/Navora.class", "class");
    std::string page = files.Path("Search.html");
    files.Write("MySite.xo", "XO0;2;1;1\r\n");
    CliRun run = Cli({"searchpage", "-o", page, "--index", files.Path("MySite.xo"), "--redist",
                      files.Path("redist")});
    EXPECT_EQ(run.code, 0) << run.err;
    EXPECT_EQ(run.out, "These files have been copied to your working directory:\n\n"
                       "Navora.class\n"
                       "So that browsers show the index when the page is opened from disk, these "
                       "scripts were written beside it:\n\nMySite.xo.js\n\nEvery save of "
                       "those files writes them again.\n"
                       "New page built successfully.\n");
    // The same bytes as the wizard writes from its defaults.
    EXPECT_EQ(TestFiles::Read(page),
              SearchPageText(SearchPageSettings::ForIndex(files.Path("MySite.xo"))));
    EXPECT_EQ(TestFiles::Read(files.Path("Navora.class")), "class");
    EXPECT_NE(
        TestFiles::Read(page).find("</APPLET>\r\n<SCRIPT SRC=\"navora-web.js\"></SCRIPT>\r\n"),
        std::string::npos);
}

TEST(CliSearchPage, TheViewerTravelsWithThePageAndCanBeLeftOut) {
    TestFiles files;
    std::filesystem::create_directories(files.Path("redist"));
    files.Write("redist/navora-web.js", "js");
    files.Write("redist/navora-web.css", "css");
    std::string page = files.Path("Search.html");
    CliRun run = Cli({"searchpage", "-o", page, "--index", files.Path("MySite.xo"), "--redist",
                      files.Path("redist")});
    EXPECT_EQ(run.code, 0) << run.err;
    EXPECT_EQ(TestFiles::Read(files.Path("navora-web.js")), "js");
    EXPECT_EQ(TestFiles::Read(files.Path("navora-web.css")), "css");

    run = Cli({"searchpage", "--no-copy", "--no-web-viewer", "-o", page, "--index",
               files.Path("MySite.xo")});
    EXPECT_EQ(run.code, 0) << run.err;
    SearchPageSettings classic = SearchPageSettings::ForIndex(files.Path("MySite.xo"));
    classic.webViewer = false;
    EXPECT_EQ(TestFiles::Read(page), SearchPageText(classic));
    EXPECT_EQ(TestFiles::Read(page).find("navora-web"), std::string::npos);
}

TEST(CliSearchPage, OptionsReachEveryField) {
    TestFiles files;
    std::string page = files.Path("p.html");
    CliRun run = Cli({"searchpage",
                      "--no-copy",
                      "--no-web-viewer",
                      "--no-companion",
                      "-o",
                      page,
                      "--icon-mode",
                      "--layout-high",
                      "--popup",
                      "--close-after-display",
                      "--min-window-width",
                      "10",
                      "--min-window-height",
                      "20",
                      "--width",
                      "70",
                      "--height",
                      "80",
                      "--applet-version",
                      "1",
                      "--target",
                      "",
                      "--font",
                      "",
                      "--square-buttons",
                      "--background",
                      "red",
                      "--foreground",
                      "blue",
                      "--field-background",
                      "",
                      "--icon-background",
                      "",
                      "--card-background",
                      "",
                      "--select-colour",
                      "",
                      "--tip-background",
                      "",
                      "--contents-icons",
                      "c.gif",
                      "--tab-icons",
                      "t.gif",
                      "--icon-image",
                      "i.gif",
                      "--home-page",
                      "http://h/",
                      "--index",
                      "a.xo",
                      "--index-encoding",
                      "UTF8",
                      "--language-file",
                      "fr.xol",
                      "--language-encoding",
                      "8859_1",
                      "--language-code",
                      "fr",
                      "--country-code",
                      "CA",
                      "--sort",
                      "--expanded",
                      "--index-selected",
                      "--no-index",
                      "--select-url",
                      "s.htm",
                      "--initial-query",
                      "q",
                      "--index",
                      "b.xo",
                      "--no-contents"});
    EXPECT_EQ(run.code, 0) << run.err;
    EXPECT_EQ(run.out, "New page built successfully.\n");
    std::string bytes = TestFiles::Read(page);
    size_t applet = bytes.find("<APPLET CODE=\"COM.tarvo.xo.Navora\"");
    ASSERT_NE(applet, std::string::npos);
    EXPECT_EQ(
        bytes.substr(applet),
        "<APPLET CODE=\"COM.tarvo.xo.Navora\" ARCHIVE=\"xo230.jar\" WIDTH=70 HEIGHT=80>\r\n"
        "<PARAM NAME=mode VALUE=\"icon high popup close\">\r\n"
        "<PARAM NAME=miniconwindowsize VALUE=\"10,20\">\r\n"
        "<PARAM NAME=index1 VALUE=\"a.xo;UTF8,fr.xol;8859_1,index sort expanded noindex,s.htm,"
        "q,frCA\">\r\n"
        "<PARAM NAME=index2 VALUE=\"b.xo,,nocontents,,,en\">\r\n"
        "<PARAM NAME=BgColour VALUE=\"red\">\r\n"
        "<PARAM NAME=FgColour VALUE=\"blue\">\r\n"
        "<PARAM NAME=ContentsIcons VALUE=\"c.gif\">\r\n"
        "<PARAM NAME=TabIcons VALUE=\"t.gif\">\r\n"
        "<PARAM NAME=Icon VALUE=\"i.gif\">\r\n"
        "<PARAM NAME=ButtonShape VALUE=\"square\">\r\n"
        "Sorry, you need a browser that runs Java to see Navora.\r\n"
        "Have you disabled Java in Internet Explorer or Netscape Navigator?\r\n"
        "</APPLET>\r\n\r\n<P>\r\n<A HREF=\"http://h/\">Navora</A>\r\n</BODY>\r\n</HTML>\r\n");
}

TEST(CliSearchPage, WrongUsage) {
    EXPECT_EQ(Cli({"searchpage", "--index", "a.xo"}).code, 64); // no -o
    EXPECT_EQ(Cli({"searchpage", "-o", "p", "--sort"}).code, 64);
    EXPECT_EQ(Cli({"searchpage", "-o", "p", "--width", "49"}).code, 64);
    EXPECT_EQ(Cli({"searchpage", "-o", "p", "--width", "12x"}).code, 64);
    EXPECT_EQ(Cli({"searchpage", "-o", "p", "--index", "a", "--language-code", "fra"}).code, 64);
    EXPECT_EQ(Cli({"searchpage", "-o", "p", "--bogus", "1"}).code, 64);
    EXPECT_EQ(Cli({"searchpage", "-o"}).code, 64);
    CliRun help = Cli({"searchpage", "--help"});
    EXPECT_EQ(help.code, 0);
    EXPECT_NE(help.out.find("--initial-query"), std::string::npos);
    EXPECT_EQ(Cli({"searchpage", "-o", "/no/such/dir/p.html", "--no-copy"}).code, 2);
}

TEST(CliSearchPage, FilesOutsideThePagesFolderAreRefused) {
    TestFiles files;
    files.Write("site.xo", "XO0;2;1;1\r\n");
    files.Write("sub/fr.xol", "2;1\r\n");
    std::string page = files.Path("sub/Search.html");
    for (const std::vector<std::string>& index :
         {std::vector<std::string>{"--index", files.Path("site.xo")},
          std::vector<std::string>{"--index", files.Path("sub/../site.xo")},
          std::vector<std::string>{"--index", files.Path("sub/a.xo"), "--language-file",
                                   files.Path("fr.xol")}}) {
        std::vector<std::string> args = {"searchpage", "--no-copy", "-o", page};
        args.insert(args.end(), index.begin(), index.end());
        CliRun run = Cli(args);
        EXPECT_EQ(run.code, 64) << index[1];
        EXPECT_NE(run.err.find("write the page beside its index"), std::string::npos) << run.err;
        EXPECT_FALSE(std::filesystem::exists(page));
    }
    // A path into the page's own folder names the file the page reads.
    CliRun run = Cli({"searchpage", "--no-copy", "-o", page, "--index", files.Path("sub/./site.xo"),
                      "--language-file", files.Path("sub/fr.xol")});
    EXPECT_EQ(run.code, 0) << run.err;
    EXPECT_NE(TestFiles::Read(page).find("VALUE=\"site.xo,fr.xol,,,,en\""), std::string::npos);
}

TEST(CliSearchPage, SideLayoutAndNoCompanion) {
    TestFiles files;
    files.Write("site.xo", "XO0;2;1;1\r\n");
    std::string page = files.Path("Search.html");
    CliRun run = Cli({"searchpage", "--no-copy", "--no-companion", "--layout", "side", "-o", page,
                      "--index", files.Path("site.xo")});
    EXPECT_EQ(run.code, 0) << run.err;
    EXPECT_EQ(run.out, "New page built successfully.\n");
    SearchPageSettings side = SearchPageSettings::ForIndex(files.Path("site.xo"));
    side.layout = PageLayout::Side;
    EXPECT_EQ(TestFiles::Read(page), SearchPageText(side));
    EXPECT_FALSE(std::filesystem::exists(files.Path("site.xo.js")));
    EXPECT_EQ(Cli({"searchpage", "-o", page, "--layout", "sideways"}).code, 64);
}

TEST(CliConvert, RewritesACompanionBesideTheOutputAndWarnsWhenItCannot) {
    TestFiles::PinDate();
    TestFiles files;
    std::string in = files.Write("in.xo", "XO0;2;1;1\r\n1;Site;x\r\n5;1;;a.htm;A;;0;\r\n");
    files.Write("out.xo.js", "stale");
    CliRun run = Cli({"convert", in, files.Path("out.xo")});
    EXPECT_EQ(run.code, 0) << run.err;
    EXPECT_EQ(CompanionBytes(TestFiles::Read(files.Path("out.xo.js"))),
              TestFiles::Read(files.Path("out.xo")));
    std::filesystem::create_directories(files.Path("dir.xo.js"));
    run = Cli({"convert", in, files.Path("dir.xo")});
    EXPECT_EQ(run.code, 0);
    EXPECT_NE(run.err.find("not its companion script"), std::string::npos) << run.err;
}

namespace {

std::string SmallSite(const TestFiles& files) {
    files.Write("site/index.htm", "<title>Home</title><a href=a.htm>A</a><a href=gone.htm>g</a>"
                                  "<a name=top>Top</a>");
    files.Write("site/a.htm", "<title>Page A</title><a href=doc.pdf target=main>Doc</a>");
    files.Write("site/doc.pdf", "%PDF-1.4");
    return files.Path("site/index.htm");
}

} // namespace

TEST(CliScan, RawWritesTheScannersOwnFile) {
    TestFiles files;
    std::string start = SmallSite(files);
    CliRun run =
        Cli({"scan", start, "-o", files.Path("raw.xo"), "--raw", "--description", "My site"});
    EXPECT_EQ(run.code, 0);
    EXPECT_EQ(
        TestFiles::Read(files.Path("raw.xo")),
        "XO0;2;1;1\n1;My site;December 06 2026\n3;1;;;\n"
        "5;1;1;index.htm;Home;;0;;\n7;&1;&1;&1;;\n7;Top;&1#top;&1;;\n"
        "5;2;1;a.htm;Page A;;1;;\n7;&2;&2;&2;;\n5;3;1;doc.pdf;Doc;main;2;;\n7;&3;&3;&3;main;\n");
    std::string problem =
        "index.htm:  gone.htm line 0: Could not open file " + files.Path("site/gone.htm") + ".";
    EXPECT_EQ(run.err, problem + "\n");
    EXPECT_EQ(run.out, "Scan complete.\n\n3 pages found and 4 index keywords generated.\n\n"
                       "1 problems while scanning:\n\n" +
                           problem + "\n\n");
}

TEST(CliScan, WithoutRawWritesTheIndexAsTamblinSavesIt) {
    TestFiles files;
    std::string start = SmallSite(files);
    const std::string index = "XO0;2;1;1;Tamblin 1.1.18\r\n1;My site;December 6 2026\r\n3;1;;\r\n"
                              "5;1;1;index.htm;Home;;0;\r\n7;&1;&1;&1;\r\n7;Top;&1#top;&1;\r\n"
                              "5;2;1;a.htm;Page A;;1;\r\n7;&2;&2;&2;\r\n"
                              "5;3;1;doc.pdf;Doc;main;2;\r\n7;&3;&3;&3;main\r\n";
    CliRun run = Cli({"scan", "--description", "My site", start, "--output", files.Path("out.xo"),
                      "--no-remember"});
    EXPECT_EQ(run.code, 0);
    EXPECT_EQ(TestFiles::Read(files.Path("out.xo")), index);
    // Remembered by default: where the scan started and what it gave each entry.
    EXPECT_EQ(Cli({"scan", start, "-o", files.Path("out.xo"), "--description", "My site"}).code, 0);
    std::string remembered = TestFiles::Read(files.Path("out.xo"));
    EXPECT_EQ(remembered.substr(0, index.size()), index);
    EXPECT_EQ(remembered.substr(index.size(), 26),
              ";tamblin-scan;start=" + files.Path("").substr(0, 6));
    EXPECT_NE(remembered.find("\r\n;tamblin-page;3;"), std::string::npos);
}

// The why of an update: hand edits survive, the site's changes come in, the lists tell.
TEST(CliRescan, MergesTheSitesChangesAndListsThem) {
    TestFiles files;
    std::string start = files.Write("site/index.htm", "<title>Home</title><a href=a.htm>A</a>"
                                                      "<a href=b.htm>B</a>");
    files.Write("site/a.htm", "<title>Page A</title>");
    files.Write("site/b.htm", "<title>Page B</title>");
    ASSERT_EQ(Cli({"scan", start, "-o", files.Path("first.xo")}).code, 0);
    std::string first = TestFiles::Read(files.Path("first.xo"));
    size_t at = first.find("5;2;1;a.htm;Page A;");
    ASSERT_NE(at, std::string::npos);
    first.replace(at, 19, "5;2;1;a.htm;My own A;");
    files.Write("first.xo", first);
    files.Write("site/a.htm", "<title>Page A</title><a href=new.htm>N</a>");
    files.Write("site/new.htm", "<title>New</title>");
    std::filesystem::remove(files.Path("site/b.htm"));

    CliRun run = Cli({"rescan", files.Path("first.xo"), "-o", files.Path("next.xo")});
    EXPECT_EQ(run.code, 0) << run.err;
    EXPECT_NE(run.out.find("Pages added: 1\n  + new.htm  \"New\" under a.htm\n"), std::string::npos)
        << run.out;
    EXPECT_NE(run.out.find("Pages gone (kept, out of the contents): 1\n  - b.htm  \"Page B\"\n"),
              std::string::npos);
    // The title alone: the title keyword that the edit of the file renamed with it follows
    // the title, and is no edit of its own.
    EXPECT_NE(run.out.find("Edits of the author kept: 1\n"), std::string::npos) << run.out;
    std::string next = TestFiles::Read(files.Path("next.xo"));
    EXPECT_NE(next.find("5;2;1;a.htm;My own A;;1;\r\n"), std::string::npos) << next;
    EXPECT_NE(next.find("5;3;1;new.htm;New;;2;\r\n"), std::string::npos);
    EXPECT_NE(next.find("5;4;1;b.htm;Page B;;-1;\r\n"), std::string::npos);
    // Kept out of the contents, b.htm no longer has the keyword the scan gave it.
    EXPECT_EQ(next.find("7;&4;"), std::string::npos) << next;
    EXPECT_NE(run.out.find("  - b.htm  \"Page B\"\n      keywords from the scan taken off: 1\n"),
              std::string::npos)
        << run.out;

    // The next update still knows the author's title from the scan's, and the site's new
    // title of a page the author left alone comes in.
    files.Write("site/a.htm", "<title>Page A2</title><a href=new.htm>N</a>");
    files.Write("site/new.htm", "<title>Newer</title>");
    run = Cli({"rescan", files.Path("next.xo"), "-o", files.Path("last.xo"), "--remove-gone"});
    EXPECT_EQ(run.code, 0);
    std::string last = TestFiles::Read(files.Path("last.xo"));
    EXPECT_EQ(last.find("b.htm"), std::string::npos);
    EXPECT_NE(last.find("5;2;1;a.htm;My own A;;1;\r\n"), std::string::npos) << last;
    EXPECT_NE(last.find("5;3;1;new.htm;Newer;;2;\r\n"), std::string::npos) << last;
}

TEST(CliRescan, TheFullTextChoiceIsRememberedAndAnIndexWithoutWordsTakesOldOnesAway) {
    TestFiles files;
    std::string start = files.Write("site/index.htm", "<title>Home</title><p>walrus</p>");
    std::string index = files.Path("site.xo");
    std::string folder = index + ".search";
    ASSERT_EQ(Cli({"scan", start, "-o", index}).code, 0);
    EXPECT_NE(TestFiles::Read(index).find(";fulltext=1;"), std::string::npos);
    ASSERT_TRUE(std::filesystem::exists(folder + "/index.js"));

    // Without words, the old ones go, and the output says so.
    CliRun run = Cli({"rescan", index, "-o", index, "--no-full-text"});
    EXPECT_EQ(run.code, 0) << run.err;
    EXPECT_NE(run.out.find("Removed the old full-text search index " + folder +
                           ": this index was written without words.\n"),
              std::string::npos)
        << run.out;
    EXPECT_FALSE(std::filesystem::exists(folder));
    EXPECT_NE(TestFiles::Read(index).find(";fulltext=0;"), std::string::npos);
    // The next update does what the last scan did.
    files.Write("site.xo.search/index.js", "stale");
    run = Cli({"rescan", index, "-o", index});
    EXPECT_EQ(run.code, 0) << run.err;
    EXPECT_FALSE(std::filesystem::exists(folder));
    // --full-text overrides the choice remembered, and is remembered in its place.
    run = Cli({"rescan", index, "-o", index, "--full-text"});
    EXPECT_EQ(run.code, 0) << run.err;
    EXPECT_TRUE(std::filesystem::exists(folder + "/index.js"));
    EXPECT_NE(TestFiles::Read(index).find(";fulltext=1;"), std::string::npos);
    ASSERT_EQ(Cli({"rescan", index, "-o", index, "--no-full-text"}).code, 0);
    // A file of old without the option keeps the default: words.
    std::string old = TestFiles::Read(index);
    size_t at = old.find("fulltext=0;");
    ASSERT_NE(at, std::string::npos);
    files.Write("site.xo", old.erase(at, 11));
    EXPECT_EQ(Cli({"rescan", index, "-o", index}).code, 0);
    EXPECT_TRUE(std::filesystem::exists(folder + "/index.js"));
    // The scanner's own file has no words either.
    run = Cli({"scan", start, "-o", index, "--raw"});
    EXPECT_EQ(run.code, 0) << run.err;
    EXPECT_FALSE(std::filesystem::exists(folder));
    EXPECT_NE(run.out.find("Removed the old"), std::string::npos) << run.out;
}

// The search index is written before the index file and put in place after it: a full disk
// or an index file that cannot be replaced leaves the old index beside its old words.
TEST(CliScan, AFailedSaveLeavesTheOldIndexBesideItsWords) {
    TestFiles files;
    std::string start = files.Write("site/index.htm", "<title>Home</title><p>walrus</p>");
    std::string index = files.Path("site.xo");
    std::string list = index + ".search/index.js";
    ASSERT_EQ(Cli({"scan", start, "-o", index}).code, 0);
    const std::string oldIndex = TestFiles::Read(index);
    const std::string oldList = TestFiles::Read(list);

    std::string text;
    for (int i = 0; text.size() < 40000; ++i) {
        text += "narwhal" + std::to_string(i) + ' ';
    }
    files.Write("site/index.htm", "<title>New home</title><p>" + text + "</p>");
    CliRun run;
    {
        FileSizeLimit full(8000);
        run = Cli({"scan", start, "-o", index});
    }
    EXPECT_EQ(run.code, 2);
    EXPECT_NE(run.err.find(index + " was left as it was."), std::string::npos) << run.err;
    EXPECT_EQ(TestFiles::Read(index), oldIndex);
    EXPECT_EQ(TestFiles::Read(list), oldList);

    // Words that fit and an index file that does not: the new words are not put in place.
    std::string keywords;
    for (int i = 0; keywords.size() < 30000; ++i) {
        keywords += "keyword number " + std::to_string(i) + ", ";
    }
    files.Write("site/index.htm", "<title>New home</title><meta name=\"keywords\" content=\"" +
                                      keywords + "\"><p>narwhal</p>");
    {
        FileSizeLimit full(20000);
        run = Cli({"scan", start, "-o", index});
    }
    EXPECT_EQ(run.code, 2);
    EXPECT_EQ(TestFiles::Read(index), oldIndex);
    EXPECT_EQ(TestFiles::Read(list), oldList);
    EXPECT_FALSE(std::filesystem::exists(index + ".search.new"));

    run = Cli({"scan", start, "-o", index});
    EXPECT_EQ(run.code, 0) << run.err;
    EXPECT_NE(TestFiles::Read(index).find("New home"), std::string::npos);
    EXPECT_NE(TestFiles::Read(list), oldList);
}

// The words of a rescan are the site's as it is now: a changed page is found by its new words
// and no longer by its old ones, a gone page by none, whether the index keeps it or not.
TEST(CliRescan, RebuildsTheWordsOfChangedAndGonePages) {
    TestFiles files;
    std::string start = files.Write("site/index.htm", "<title>Home</title><a href=a.htm>A</a>"
                                                      "<a href=b.htm>B</a>");
    files.Write("site/a.htm", "<title>Page A</title><p>The walrus sleeps.</p>");
    files.Write("site/b.htm", "<title>Page B</title><p>A narwhal swims.</p>");
    ASSERT_EQ(Cli({"scan", start, "-o", files.Path("first.xo")}).code, 0);
    auto urlsOf = [&](const std::string& index, const std::string& word) {
        auto reader = SearchIndexReader::Load(files.Path(index));
        std::vector<std::string> urls;
        for (std::uint32_t page :
             reader ? reader->Search(word + " ") : std::vector<std::uint32_t>{}) {
            urls.push_back(reader->Pages()[page].url);
        }
        return urls;
    };
    ASSERT_EQ(urlsOf("first.xo", "walrus").size(), 1u);
    ASSERT_EQ(urlsOf("first.xo", "narwhal").size(), 1u);

    files.Write("site/a.htm", "<title>Page A</title><p>The penguin sleeps.</p>");
    std::filesystem::remove(files.Path("site/b.htm"));
    for (const char* removeGone : {"", "--remove-gone"}) {
        std::vector<std::string> args = {"rescan", files.Path("first.xo"), "-o",
                                         files.Path("next.xo")};
        if (*removeGone) {
            args.push_back(removeGone);
        }
        CliRun run = Cli(args);
        ASSERT_EQ(run.code, 0) << run.err;
        EXPECT_TRUE(urlsOf("next.xo", "walrus").empty()) << removeGone;
        EXPECT_TRUE(urlsOf("next.xo", "narwhal").empty()) << removeGone;
        auto penguin = urlsOf("next.xo", "penguin");
        ASSERT_EQ(penguin.size(), 1u);
        EXPECT_NE(penguin[0].find("a.htm"), std::string::npos);
        EXPECT_EQ(urlsOf("next.xo", "sleeps"), penguin);
    }
}

TEST(CliRescan, ExitCodes) {
    TestFiles files;
    std::string plain = files.Write("plain.xo", "XO0;2;1;1\r\n1;D;x\r\n");
    // No scan remembered and no START: the scan cannot start.
    CliRun run = Cli({"rescan", plain, "-o", files.Path("o.xo")});
    EXPECT_EQ(run.code, 1);
    EXPECT_NE(run.err.find("give START"), std::string::npos);
    EXPECT_EQ(Cli({"rescan", plain, files.Path("missing.htm"), "-o", files.Path("o.xo")}).code, 1);
    EXPECT_EQ(Cli({"rescan", files.Path("none.xo"), "-o", files.Path("o.xo")}).code, 2);
    // OUT's folder is missing: found out before the scan, and said as the save would say it.
    std::string scanned = files.Path("scanned.xo");
    ASSERT_EQ(Cli({"scan", SmallSite(files), "-o", scanned}).code, 0);
    run = Cli({"rescan", scanned, "-o", files.Path("no/such/dir/o.xo")});
    EXPECT_EQ(run.code, 2);
    EXPECT_EQ(run.out, "");
    EXPECT_NE(run.err.find("No such file or directory"), std::string::npos) << run.err;
    EXPECT_EQ(Cli({"rescan", plain}).code, 64);
    EXPECT_EQ(Cli({"rescan", plain, "-o", files.Path("o.xo"), "--bogus"}).code, 64);
    EXPECT_EQ(Cli({"rescan", "--help"}).code, 0);
}

TEST(CliScan, OptionsReachTheScan) {
    TestFiles files;
    files.Write("index.htm", "<meta name=keywords content=k><a href=http://x.org/>X</a>"
                             "<frame src=f.htm name=left><a name=blank></a>");
    files.Write("f.htm", "<title>F</title><a name=a>A</a>");
    CliRun run =
        Cli({"scan", files.Path("index.htm"), "-o", files.Path("o.xo"), "--raw", "--keep-untitled",
             "--off-site", "--keep-blank-anchors", "--skip-target-frame", "left",
             "--no-anchor-keywords", "--jobs", "2", "--case-significant", "--parse-all"});
    EXPECT_EQ(run.code, 0);
    EXPECT_EQ(TestFiles::Read(files.Path("o.xo")),
              "XO0;2;1;1\n1;;December 06 2026\n3;1;;;\n"
              "5;1;1;http://x.org/;X;;0;;\n7;&1;&1;&1;;\n"
              "7;index.htm;index.htm;index.htm;;\n7;k;index.htm;index.htm;;\n"
              "5;2;1;f.htm;F;;-1;;\n7;&2;&2;&2;;\n");
}

TEST(CliScan, SwitchesForTodaysSites) {
    TestFiles files;
    files.Write("s.pdf", "%PDF-1.4");
    files.Write("index.htm", "<title>Caf&eacute;</title><h2 id=menu>Menu</h2>"
                             "<script>x = '<a href=s.pdf>S</a>'</script>");
    auto scan = [&](std::vector<std::string> extra) {
        std::vector<std::string> args = {"scan", files.Path("index.htm"), "-o", files.Path("o.xo"),
                                         "--raw"};
        args.insert(args.end(), extra.begin(), extra.end());
        EXPECT_EQ(Cli(args).code, 0);
        std::string raw = TestFiles::Read(files.Path("o.xo"));
        return raw.substr(raw.find("\n5;"));
    };
    EXPECT_EQ(scan({}), "\n5;1;1;index.htm;Caf\xC3\xA9;;0;;\n7;&1;&1;&1;;\n"
                        "7;Menu;&1#menu;&1 (Menu);;\n");
    EXPECT_EQ(scan({"--classic"}), "\n5;1;1;index.htm;Cafe;;0;;\n7;&1;&1;&1;;\n"
                                   "5;2;1;s.pdf;S;;1;;\n7;&2;&2;&2;;\n");
    EXPECT_EQ(scan({"--no-browser-text", "--no-heading-keywords"}),
              "\n5;1;1;index.htm;Cafe;;0;;\n7;&1;&1;&1;;\n");
    EXPECT_NE(scan({"--no-skip-script"}).find("s.pdf"), std::string::npos);
    for (const char* off :
         {"--no-pages-by-type", "--no-follow-redirects", "--no-shorten-titles", "--no-polite",
          "--no-tidy-urls", "--no-missing-files", "--no-skip-markers"}) {
        EXPECT_NE(scan({off}).find("Menu"), std::string::npos) << off;
    }
    EXPECT_EQ(
        Cli({"scan", files.Path("index.htm"), "-o", files.Path("o.xo"), "--delay", "-1"}).code, 64);
    EXPECT_EQ(scan({"--delay", "5"}).find("s.pdf"), std::string::npos);
}

TEST(CliScan, CannotStart) {
    TestFiles files;
    std::string start = SmallSite(files);
    CliRun run = Cli({"scan", start, "-o", files.Path("no/such/dir/o.xo")});
    EXPECT_EQ(run.code, 2);
    EXPECT_EQ(run.err, "Could not save file (" + files.Path("no/such/dir/o.xo") +
                           "): No such file or directory\n");
    EXPECT_EQ(run.out, "");
    run = Cli({"scan", start, "-o", files.Path("o.xo"), "--description", "a;b"});
    EXPECT_EQ(run.code, 1);
    EXPECT_FALSE(std::filesystem::exists(files.Path("o.xo")));
}

// Exit 1 and no OUT for a scan that read no page: stopped before the first, a start page
// that is not there, an address that does not answer. The old OUT stays.
TEST(CliScan, NoPageReadNoFileWritten) {
    TestFiles files;
    std::string start = SmallSite(files);
    std::atomic<int> cancel{1};
    std::ostringstream out;
    std::ostringstream err;
    CliCommands commands(out, err, &cancel);
    EXPECT_EQ(commands.Run({"scan", start, "-o", files.Path("o.xo"), "--raw"}), 1);
    EXPECT_EQ(out.str(), "User requested abort\n\nNo problems while scanning.\n");
    EXPECT_EQ(err.str(), "No page could be read: " + files.Path("o.xo") + " was not written.\n");
    EXPECT_FALSE(std::filesystem::exists(files.Path("o.xo")));

    files.Write("old.xo", "OLD");
    CliRun run = Cli({"scan", files.Path("none.htm"), "-o", files.Path("old.xo")});
    EXPECT_EQ(run.code, 1);
    EXPECT_NE(run.out.find("Could not open file " + files.Path("none.htm")), std::string::npos);
    EXPECT_EQ(Cli({"scan", "http://127.0.0.1:1/", "-o", files.Path("old.xo"), "--raw"}).code, 1);
    EXPECT_EQ(TestFiles::Read(files.Path("old.xo")), "OLD");
    for (const std::string& start : {files.Path("none.htm"), std::string("http://127.0.0.1:1/")}) {
        EXPECT_EQ(Cli({"scan", start, "-o", files.Path("new.xo")}).code, 1) << start;
        EXPECT_FALSE(std::filesystem::exists(files.Path("new.xo"))) << start;
    }
}

// A link to a file that is not there is a problem, reported once, not an entry; a link to a
// folder reads its index page. --no-missing-files and --classic keep the entries of old.
TEST(CliScan, MissingFilesAreProblemsAndFoldersTheirIndexPage) {
    TestFiles files;
    std::string start = files.Write(
        "index.htm", "<title>Home</title><a href=gone.pdf>Gone</a><a href=here.pdf>Here</a>"
                     "<a href=docs/>Docs</a><a href=bare>Bare</a><a href=gone.pdf>Again</a>");
    files.Write("here.pdf", "%PDF-1.4");
    files.Write("docs/index.html", "<title>The docs</title>");
    std::filesystem::create_directories(files.Path("bare"));
    auto scan = [&](std::vector<std::string> extra) {
        std::vector<std::string> args = {"scan", start, "-o", files.Path("o.xo"), "--raw"};
        args.insert(args.end(), extra.begin(), extra.end());
        CliRun run = Cli(args);
        EXPECT_EQ(run.code, 0);
        std::string raw = TestFiles::Read(files.Path("o.xo"));
        return std::make_pair(raw.substr(raw.find("\n5;") + 1), run.err);
    };
    auto [index, problems] = scan({});
    EXPECT_EQ(index, "5;1;1;index.htm;Home;;0;;\n7;&1;&1;&1;;\n5;2;1;here.pdf;Here;;1;;\n"
                     "7;&2;&2;&2;;\n5;3;1;bare;Bare;;1;;\n7;&3;&3;&3;;\n"
                     "5;4;1;docs/index.html;The docs;;1;;\n7;&4;&4;&4;;\n");
    EXPECT_EQ(problems, "Initial scan page:  index.htm line 1: File not found " +
                            files.Path("gone.pdf") + ".\n");
    const std::string old = "5;1;1;index.htm;Home;;0;;\n7;&1;&1;&1;;\n5;2;1;gone.pdf;Gone;;1;;\n"
                            "7;&2;&2;&2;;\n5;3;1;here.pdf;Here;;1;;\n7;&3;&3;&3;;\n"
                            "5;4;1;docs/;Docs;;1;;\n7;&4;&4;&4;;\n5;5;1;bare;Bare;;1;;\n"
                            "7;&5;&5;&5;;\n";
    EXPECT_EQ(scan({"--no-missing-files"}).first, old);
    EXPECT_EQ(scan({"--classic"}).first, old);
}

TEST(CliScan, OneTableOfExitCodesInEveryHelp) {
    for (std::vector<std::string> args :
         {std::vector<std::string>{"--help"}, {"scan", "--help"}, {"rescan", "--help"}}) {
        CliRun help = Cli(args);
        EXPECT_NE(help.out.find("Exit status of scan and rescan:\n  0   OUT was written.\n"),
                  std::string::npos)
            << args[0];
        EXPECT_NE(help.out.find("  64  Wrong usage.\n"), std::string::npos);
    }
    std::string help = Cli({"scan", "--help"}).out;
    for (const char* option : {"--no-tidy-urls", "--no-missing-files", "--no-skip-markers"}) {
        EXPECT_NE(help.find(option), std::string::npos) << option;
    }
}

TEST(CliScan, ProgressLineOnATerminal) {
    TestFiles files;
    std::string start = SmallSite(files);
    std::ostringstream out;
    std::ostringstream err;
    CliCommands commands(out, err, nullptr, true, 30);
    EXPECT_EQ(commands.Run({"scan", start, "-o", files.Path("o.xo")}), 0);
    std::string problem =
        "index.htm:  gone.htm line 0: Could not open file " + files.Path("site/gone.htm") + ".";
    EXPECT_EQ(err.str(), "\r[1 page] index.htm\x1b[K\r[2 pages] a.htm\x1b[K\r\x1b[K" + problem +
                             "\n\r[2 pages] a.htm\x1b[K\r\x1b[K");
}

TEST(CliScan, UsageAndHelp) {
    EXPECT_EQ(Cli({"scan"}).code, 64);
    EXPECT_EQ(Cli({"scan", "a.htm"}).code, 64);
    EXPECT_EQ(Cli({"scan", "a.htm", "-o"}).code, 64);
    EXPECT_EQ(Cli({"scan", "a.htm", "-o", "x", "--jobs", "0"}).code, 64);
    EXPECT_EQ(Cli({"scan", "a.htm", "-o", "x", "--bogus"}).code, 64);
    EXPECT_EQ(Cli({"scan", "a.htm", "b.htm", "-o", "x"}).code, 64);
    CliRun help = Cli({"scan", "--help"});
    EXPECT_EQ(help.code, 0);
    EXPECT_NE(help.out.find("--skip-target-frame NAME"), std::string::npos);
    EXPECT_NE(Cli({"--help"}).out.find("scan START -o OUT"), std::string::npos);
}

TEST(CliExport, TextsAreDecodedAndBadLinesListedWithExitOne) {
    TestFiles files;
    // Not UTF-8 as a whole, so every text is read as Windows-1252.
    std::string path =
        files.Write("a.xo", "XO0;2;1;1\r\n1;Caf\xE9 \x80;d\r\n5;1;;a.htm;A\"\\;;0;\r\n"
                            "4;\x93x\x94\r\n");
    CliRun run = Cli({"export", path, "--json"});
    EXPECT_EQ(run.code, 1) << run.err;
    EXPECT_EQ(run.out.find("{\"description\":\"Caf\xC3\xA9 \xE2\x82\xAC\",\"date\":\"d\""), 0u);
    EXPECT_NE(run.out.find("\"title\":\"A\\\"\\\\\""), std::string::npos);
    EXPECT_NE(run.out.find("\"badLines\":[\"4;\xE2\x80\x9Cx\xE2\x80\x9D\"]}\n"), std::string::npos);

    // A named encoding overrides what the bytes look like.
    path = files.Write("b.xo", "\xEF\xBB\xBFXO0;2;1;1\n1;Caf\xC3\xA9;d\n");
    run = Cli({"export", "--encoding", "8859_1", path});
    EXPECT_EQ(run.code, 1); // the mark is text then, and spoils the header
    EXPECT_NE(run.out.find("\"badLines\":[\"\xC3\xAF\xC2\xBB\xC2\xBFXO0;2;1;1\","),
              std::string::npos);
    run = Cli({"export", path});
    EXPECT_EQ(run.code, 0);
    EXPECT_EQ(run.out.find("{\"description\":\"Caf\xC3\xA9\",\"date\":\"d\""), 0u);
}

TEST(CliExport, UsageAndFilesThatCannotBeRead) {
    TestFiles files;
    std::string path = files.Write("a.xo", "XO0;2;1;1\n");
    EXPECT_EQ(Cli({"export"}).code, 64);
    EXPECT_EQ(Cli({"export", path, path}).code, 64);
    EXPECT_EQ(Cli({"export", path, "--bogus"}).code, 64);
    EXPECT_EQ(Cli({"export", path, "--encoding"}).code, 64);
    CliRun run = Cli({"export", path, "--encoding", "JISAutoDetect"});
    EXPECT_EQ(run.code, 64);
    EXPECT_NE(run.err.find("JISAutoDetect cannot be read here"), std::string::npos);
    EXPECT_EQ(run.out, "");
    run = Cli({"export", "/no/such/file.xo"});
    EXPECT_EQ(run.code, 2);
    EXPECT_EQ(run.err, "Could not open file (/no/such/file.xo)\n");
    EXPECT_EQ(Cli({"export", files.Path("")}).code, 2); // a directory
}

TEST(CliSearchPage, ACopyThatFailsIsToldWithItsReasonAndTheExitSaysSo) {
    TestFiles files;
    std::filesystem::create_directories(files.Path("redist"));
    files.Write("redist/Navora.class", "class");
    files.Write("redist/xo210.zip", "zip");
    // A folder where the archive would go: that copy cannot be made.
    std::filesystem::create_directories(files.Path("xo210.zip"));
    CliRun run = Cli({"searchpage", "-o", files.Path("Search.html"), "--index",
                      files.Path("MySite.xo"), "--redist", files.Path("redist"), "--no-companion"});
    EXPECT_EQ(run.code, 1);
    EXPECT_EQ(run.err, "These files have been copied to your working directory:\n\n"
                       "Navora.class\n\n"
                       "These files could not be copied to your working directory:\n\n"
                       "xo210.zip: " +
                           std::make_error_code(std::errc::is_a_directory).message() + "\n");
    EXPECT_EQ(run.out, "New page built successfully.\n");
}
