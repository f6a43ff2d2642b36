// A scan keeps to its start page's language: pages that declare another are not followed
// and are listed in the report.
#include "LoopbackServer.h"
#include "ScanTestSupport.h"
#include "TestFiles.h"
#include "scanner/LanguageFilter.h"

#include <gtest/gtest.h>

using namespace tamblin;
using namespace scantest;
using Lines = std::vector<std::string>;

TEST(LanguageFilter, ThePrimarySubtagNamesTheLanguage) {
    const std::pair<const char*, const char*> cases[] = {
        {"en", "en"},      {"en-US", "en"},   {" EN_gb ", "en"}, {"zh-Hant-TW", "zh"},
        {"", ""},          {"und", ""},       {"*", ""},         {"en, de", ""},
        {"x-klingon", ""}, {"i-default", ""}, {"e1", ""},        {"toolongtag", ""},
    };
    for (const auto& [declared, primary] : cases) {
        EXPECT_EQ(LanguageFilter::PrimaryTag(declared), primary) << declared;
    }
}

TEST(ScanLanguages, PagesInOtherLanguagesAreNotFollowedAndListed) {
    TestFiles files;
    files.Write("en/index.html", "<!DOCTYPE html><html lang=\"en-US\"><title>Manual</title>"
                                 "<a href=\"a.html\">A</a><a href=\"../ko/index.html\">ko</a>"
                                 "<a href=\"plain.html\">P</a><a href=\"../de/index.html\">de</a>");
    files.Write("en/a.html", "<html lang=en><title>A</title>");
    files.Write("en/plain.html", "<title>No language</title>");
    // Its links lead nowhere the scan goes, and its keywords and headings count for nothing.
    files.Write("ko/index.html", "<?xml version=\"1.0\"?><html xml:lang=\"ko\" lang=\"ko\">"
                                 "<title>\xEC\x84\xA4\xEB\xAA\x85\xEC\x84\x9C</title>"
                                 "<meta name=keywords content=k><h2 id=x>X</h2>"
                                 "<a href=\"only.html\">only</a>");
    files.Write("ko/only.html", "<title>Only from Korean</title>");
    files.Write("de/index.html", "<html lang=\"de-DE\"><title>Handbuch</title>");
    ScanSettings settings = PlainScan(files.Path("en/index.html"));
    ScanRun run = Scan(settings);
    EXPECT_EQ(Entries(run), (Lines{"5;1;1;index.html;Manual;;0;;", "5;2;1;a.html;A;;1;;",
                                   "5;3;1;plain.html;No language;;1;;"}));
    EXPECT_EQ(run.problems, Lines{});
    EXPECT_NE(run.report.find("2 pages in another language than the start page's (en) were "
                              "not followed:\r\n\r\n../ko/index.html (ko)\r\n"
                              "../de/index.html (de)"),
              std::string::npos)
        << run.report;

    settings.startLanguageOnly = false;
    run = Scan(settings);
    EXPECT_EQ(Entries(run).size(), 6u);
    EXPECT_EQ(run.report.find("language"), std::string::npos);
}

TEST(ScanLanguages, AStartPageWithoutALanguageFollowsEveryPage) {
    TestFiles files;
    files.Write("index.html", "<title>Home</title><a href=\"fr.html\">fr</a>");
    files.Write("fr.html", "<html lang=fr><title>Accueil</title>");
    ScanSettings settings = PlainScan(files.Path("index.html"));
    EXPECT_EQ(Entries(Scan(settings)).size(), 2u);
}

// Over HTTP the server's Content-Language counts where <html lang> says nothing.
TEST(ScanLanguages, ContentLanguageWhereTheHtmlTagIsSilent) {
    LoopbackServer server([](const std::string& path) {
        Response response;
        response.headers = {"Content-Type: text/html"};
        if (path == "/index.html") {
            response.headers.push_back("Content-Language: en");
            response.body = "<title>Home</title><a href=\"ja.html\">ja</a>"
                            "<a href=\"said.html\">said</a><a href=\"both.html\">both</a>";
        } else if (path == "/ja.html") {
            response.headers.push_back("Content-Language: ja");
            response.body = "<html><title>Japanese</title>";
        } else if (path == "/said.html") {
            // The page's own word wins over the server's.
            response.headers.push_back("Content-Language: ja");
            response.body = "<html lang=en-GB><title>English after all</title>";
        } else {
            response.headers.push_back("Content-Language: en, ja");
            response.body = "<title>Both</title>";
        }
        return response;
    });
    ScanSettings settings = PlainScan(server.Url("/index.html"), true);
    ScanRun run = Scan(settings);
    EXPECT_EQ(Entries(run),
              (Lines{"5;1;1;index.html;Home;;0;;", "5;2;1;said.html;English after all;;1;;",
                     "5;3;1;both.html;Both;;1;;"}));
    EXPECT_NE(run.report.find("ja.html (ja)"), std::string::npos) << run.report;
}
