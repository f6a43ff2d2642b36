#include "searchpage/WriteSearchPage.h"
#include "FileSizeLimit.h"
#include "TestFiles.h"
#include "index/CompanionScript.h"
#include "searchpage/CopyAppletFiles.h"
#include "searchpage/PageCompanions.h"
#include "searchpage/SearchPageText.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sys/stat.h>
#include <vector>

using namespace tamblin;

namespace {

// Records what the run told the user and answers its one question.
class RecordingHost final : public SearchPageHost {
public:
    void ShowWarning(const std::string& text) override { m_said.push_back("W:" + text); }
    void ShowInformation(const std::string& text) override { m_said.push_back("I:" + text); }
    bool AskYesNo(const std::string& text) override {
        m_said.push_back("Q:" + text);
        return m_answerYes;
    }
    void SetStatusText(const std::string& text) override { m_status.push_back(text); }
    bool BrowserAvailable() const override { return m_browser; }
    void OpenTestPage(const std::string& path) override { m_tested = path; }

    bool m_answerYes = false;
    bool m_browser = true;
    std::vector<std::string> m_said;
    std::vector<std::string> m_status;
    std::string m_tested;
};

struct Site {
    TestFiles files;
    std::string redist;
    std::string page;
    Site() {
        std::filesystem::create_directories(files.Path("bin/Redist"));
        std::filesystem::create_directories(files.Path("site"));
        redist = files.Path("bin/Redist") + "/";
        page = files.Path("site") + "/";
        files.Write("bin/Redist/xo210.zip", "zip");
        files.Write("bin/Redist/Navora.class", "class");
    }
    // The generator's own run; companions have tests of their own below.
    SearchPageSettings Settings() const {
        SearchPageSettings settings = SearchPageSettings::ForIndex(page + "MySite.xo");
        settings.companions = false;
        return settings;
    }
};

const char* const kReport =
    "I:These files have been copied to your working directory:\n\nNavora.class, xo210.zip";

} // namespace

TEST(WriteSearchPage, WritesCopiesAndOpensTheTestPage) {
    Site site;
    site.files.Write("site/xo210.zip", "mine");
    SearchPageSettings settings = site.Settings();
    RecordingHost host;
    EXPECT_EQ(WriteSearchPage(settings, site.redist, host), SearchPageOutcome::Tested);
    EXPECT_EQ(TestFiles::Read(site.page + "Search.html"), SearchPageText(site.Settings()));
    EXPECT_EQ(settings.pageDirectory, site.page);
    EXPECT_EQ(host.m_said, std::vector<std::string>{kReport});
    EXPECT_EQ(host.m_status,
              (std::vector<std::string>{"Copying Navora.class...", "Copying xo210.zip...",
                                        "For Help, press F1"}));
    EXPECT_EQ(host.m_tested, site.page + "Search.html");
    EXPECT_EQ(TestFiles::Read(site.page + "Navora.class"), "class");
    EXPECT_EQ(TestFiles::Read(site.page + "xo210.zip"), "mine"); // never replaced
}

TEST(WriteSearchPage, WithoutTestNowReportsSuccess) {
    Site site;
    SearchPageSettings settings = site.Settings();
    settings.testNow = false;
    RecordingHost host;
    EXPECT_EQ(WriteSearchPage(settings, site.redist, host), SearchPageOutcome::Built);
    EXPECT_EQ(host.m_said, (std::vector<std::string>{kReport, "I:New page built successfully."}));
    EXPECT_TRUE(host.m_tested.empty());
}

TEST(WriteSearchPage, NoBrowserKeepsThePage) {
    Site site;
    SearchPageSettings settings = site.Settings();
    settings.copyJavaFiles = false;
    site.files.Write("site/Navora.class", "here");
    RecordingHost host;
    host.m_browser = false;
    EXPECT_EQ(WriteSearchPage(settings, site.redist, host), SearchPageOutcome::NoBrowser);
    EXPECT_EQ(host.m_said, std::vector<std::string>{"W:Sorry, you cannot view web pages in "
                                                    "Tamblin as you do not have Qt WebEngine "
                                                    "loaded"});
    EXPECT_TRUE(TestFiles::Read(site.page + "Search.html").starts_with("<HTML>\r\n"));
}

TEST(WriteSearchPage, MissingAppletAsksBeforeCopying) {
    Site site;
    for (bool yes : {false, true}) {
        SearchPageSettings settings = site.Settings();
        settings.copyJavaFiles = false;
        settings.testNow = false;
        RecordingHost host;
        host.m_answerYes = yes;
        WriteSearchPage(settings, site.redist, host);
        ASSERT_FALSE(host.m_said.empty());
        EXPECT_TRUE(host.m_said[0].starts_with("Q:There do not appear to be the correct Navora"));
        EXPECT_EQ(settings.copyJavaFiles, yes);
        EXPECT_EQ(std::filesystem::exists(site.page + "Navora.class"), yes);
    }
}

TEST(WriteSearchPage, MissingRedistIsReportedAndTheRunGoesOn) {
    Site site;
    SearchPageSettings settings = site.Settings();
    RecordingHost host;
    EXPECT_EQ(WriteSearchPage(settings, site.files.Path("nowhere") + "/", host),
              SearchPageOutcome::Tested);
    EXPECT_EQ(host.m_said,
              std::vector<std::string>{"W:Could not find Navora redistributables directory"});
}

TEST(WriteSearchPage, UncreatableFileEndsTheRun) {
    Site site;
    SearchPageSettings settings = site.Settings();
    settings.pagePath = site.files.Path("missing/dir/Search.html");
    RecordingHost host;
    EXPECT_EQ(WriteSearchPage(settings, site.redist, host), SearchPageOutcome::CannotCreate);
    EXPECT_EQ(host.m_said,
              std::vector<std::string>{"W:Could not create file (" + settings.pagePath +
                                       ") for writing: No such file or directory"});
    EXPECT_TRUE(host.m_status.empty());
    EXPECT_TRUE(host.m_tested.empty());
}

TEST(WriteSearchPage, ReplacesAnExistingPageWhole) {
    Site site;
    site.files.Write("site/Search.html", std::string(100000, 'x'));
    SearchPageSettings settings = site.Settings();
    settings.testNow = false;
    settings.copyJavaFiles = false;
    site.files.Write("site/Navora.class", "here");
    RecordingHost host;
    WriteSearchPage(settings, site.redist, host);
    EXPECT_EQ(TestFiles::Read(site.page + "Search.html"), SearchPageText(site.Settings()));
    // Nothing but the page and what was there before: no temporary file left behind.
    int count = 0;
    for ([[maybe_unused]] auto& entry : std::filesystem::directory_iterator(site.page)) {
        ++count;
    }
    EXPECT_EQ(count, 2);
}

TEST(WriteSearchPage, AReadOnlyPageIsReplacedOnlyWhenTheUserSaysSo) {
    Site site;
    std::string path = site.files.Write("site/Search.html", "mine");
    std::filesystem::permissions(path, std::filesystem::perms::owner_read);
    SearchPageSettings settings = site.Settings();
    settings.testNow = false;
    settings.copyJavaFiles = false;
    site.files.Write("site/Navora.class", "here");
    RecordingHost host;
    EXPECT_EQ(WriteSearchPage(settings, site.redist, host), SearchPageOutcome::CannotCreate);
    EXPECT_EQ(host.m_said,
              std::vector<std::string>{"Q:" + path + " is read-only.\nDo you want to replace it?"});
    EXPECT_EQ(TestFiles::Read(path), "mine");
    host.m_answerYes = true;
    EXPECT_EQ(WriteSearchPage(settings, site.redist, host), SearchPageOutcome::Built);
    EXPECT_EQ(TestFiles::Read(path), SearchPageText(site.Settings()));
    EXPECT_EQ(std::filesystem::status(path).permissions(), std::filesystem::perms::owner_read);
}

TEST(CopyAppletFiles, EmptySourceGivesTheHeadingAlone) {
    TestFiles files;
    std::filesystem::create_directories(files.Path("r"));
    std::filesystem::create_directories(files.Path("r/sub"));
    AppletCopyReport report = CopyAppletFiles(files.Path("r") + "/", files.Path("") + "/");
    EXPECT_TRUE(report.sourceFound);
    EXPECT_EQ(report.text, "These files have been copied to your working directory:");
}

TEST(WriteSearchPage, CompanionsFollowTheCopyForEveryFileThePageNames) {
    Site site;
    site.files.Write("site/MySite.xo", "XO0;2;1;1\r\n");
    site.files.Write("bin/Redist/french2.xol", "2;1\r\nFrancais\r\n");
    SearchPageSettings settings = site.Settings();
    settings.companions = true;
    settings.testNow = false;
    IndexParameter second;
    second.indexFile = site.page + "Later.xo"; // not saved yet
    second.languageFile = "french2.xol";       // brought by the copy
    settings.indexParameters.push_back(second);
    settings.indexParameters.push_back(settings.indexParameters.front()); // named twice
    RecordingHost host;
    EXPECT_EQ(WriteSearchPage(settings, site.redist, host), SearchPageOutcome::Built);
    ASSERT_EQ(host.m_said.size(), 3u);
    EXPECT_TRUE(host.m_said[0].starts_with("I:These files have been copied"));
    EXPECT_EQ(host.m_said[1],
              "I:So that browsers show the index when the page is opened from disk, these "
              "scripts were written beside it:\n\nMySite.xo.js, french2.xol.js\n\nEvery save "
              "of those files writes them again.\n\nThese files named by the page do not exist "
              "yet, so no script was written for them: Later.xo. Write the page again once they "
              "exist, or the page opened from disk cannot show them.");
    EXPECT_EQ(host.m_said[2], "I:New page built successfully.");
    EXPECT_EQ(CompanionBytes(TestFiles::Read(site.page + "MySite.xo.js")), "XO0;2;1;1\r\n");
    EXPECT_TRUE(std::filesystem::exists(site.page + "french2.xol.js"));
    EXPECT_FALSE(std::filesystem::exists(site.page + "Later.xo.js"));
}

TEST(WriteSearchPage, CompanionThatCannotBeWrittenIsAWarning) {
    Site site;
    site.files.Write("site/MySite.xo", "XO0;2;1;1\r\n");
    std::filesystem::create_directories(site.page + "MySite.xo.js");
    SearchPageSettings settings = site.Settings();
    settings.companions = true;
    settings.copyJavaFiles = false;
    site.files.Write("site/Navora.class", "here");
    settings.testNow = false;
    RecordingHost host;
    WriteSearchPage(settings, site.redist, host);
    ASSERT_EQ(host.m_said.size(), 2u);
    EXPECT_EQ(host.m_said[0], "W:These scripts could not be written: MySite.xo.js.");
}

TEST(PageCompanions, EachFileOnceInPageOrderWithoutItsFolder) {
    SearchPageSettings settings = SearchPageSettings::ForIndex("/site/b.xo", '/');
    IndexParameter other;
    other.indexFile = "/site/a.xo";
    other.languageFile = "/elsewhere/de.xol";
    settings.indexParameters.push_back(other);
    settings.indexParameters.push_back(other);
    settings.indexParameters.push_back(IndexParameter()); // no file named yet
    EXPECT_EQ(PageFileNames(settings), (std::vector<std::string>{"b.xo", "a.xo", "de.xol"}));
    EXPECT_EQ(PageCompanionsText(PageCompanions()), "");
}

TEST(CopyAppletFiles, ACopyCutShortIsReportedWithItsReasonAndLeavesNothingBehind) {
    Site site;
    site.files.Write("bin/Redist/big.jar", std::string(64 * 1024, 'j'));
    SearchPageSettings settings = site.Settings();
    settings.testNow = false;
    RecordingHost host;
    AppletCopyReport report;
    {
        // The page and the small files fit; the archive does not.
        FileSizeLimit limit(16 * 1024);
        EXPECT_EQ(WriteSearchPage(settings, site.redist, host, &report), SearchPageOutcome::Built);
    }
    EXPECT_EQ(report.copied, (std::vector<std::string>{"Navora.class", "xo210.zip"}));
    ASSERT_EQ(report.failed.size(), 1u);
    EXPECT_EQ(report.failed[0].error, std::errc::file_too_large);
    EXPECT_FALSE(std::filesystem::exists(site.page + "big.jar"));
    ASSERT_EQ(host.m_said.size(), 2u);
    EXPECT_EQ(host.m_said[0], "W:These files have been copied to your working directory:\n\n"
                              "Navora.class, xo210.zip\n\n"
                              "These files could not be copied to your working directory:\n\n"
                              "big.jar: " +
                                  std::make_error_code(std::errc::file_too_large).message());
    EXPECT_EQ(host.m_said[1], "I:New page built successfully.");
    // Nothing half-written is taken for the author's copy: the next run copies it.
    RecordingHost again;
    WriteSearchPage(settings, site.redist, again, &report);
    EXPECT_TRUE(report.failed.empty());
    EXPECT_EQ(TestFiles::Read(site.page + "big.jar"), std::string(64 * 1024, 'j'));
}

TEST(CopyAppletFiles, WhatIsNotAFileOnEitherSideIsAFailureNotACopy) {
    TestFiles files;
    std::filesystem::create_directories(files.Path("r"));
    std::filesystem::create_directories(files.Path("p/Navora.class"));
    files.Write("r/Navora.class", "class");
    ASSERT_EQ(::mkfifo(files.Path("r/pipe").c_str(), 0600), 0);
    AppletCopyReport report = CopyAppletFiles(files.Path("r") + "/", files.Path("p") + "/");
    EXPECT_TRUE(report.copied.empty());
    ASSERT_EQ(report.failed.size(), 2u);
    EXPECT_EQ(report.failed[0].name, "Navora.class");
    EXPECT_EQ(report.failed[0].error, std::errc::is_a_directory);
    EXPECT_EQ(report.failed[1].name, "pipe");
    EXPECT_EQ(report.text.rfind("These files could not be copied to your working directory:\n\n"
                                "Navora.class: ",
                                0),
              0u);
}

// A folder written by an older version keeps the author's files, but the viewer's parts are
// replaced, so that the loader never meets parts of two versions; the report says which.
TEST(CopyAppletFiles, ReplacesTheViewersOwnFilesOnlyWhenAskedAndOnlyWhenTheyDiffer) {
    Site site;
    site.files.Write("bin/Redist/navora-web.js", "loader 2");
    site.files.Write("bin/Redist/navora-web-list.js", "list 2");
    site.files.Write("bin/Redist/navora-web.css", "css");
    site.files.Write("site/Navora.class", "the author's");
    site.files.Write("site/navora-web.js", "loader 1");
    site.files.Write("site/navora-web.css", "css");

    AppletCopyReport kept = CopyAppletFiles(site.redist, site.page);
    EXPECT_TRUE(kept.replaced.empty());
    EXPECT_EQ(TestFiles::Read(site.page + "navora-web.js"), "loader 1");

    AppletCopyReport report = CopyAppletFiles(site.redist, site.page, {}, true);
    EXPECT_EQ(report.replaced, std::vector<std::string>{"navora-web.js"});
    EXPECT_EQ(report.text, "These files have been copied to your working directory:\n\n"
                           "Navora.class, navora-web-list.js, navora-web.css, navora-web.js, "
                           "xo210.zip\n\nThe script viewer's files were replaced with this "
                           "version's: navora-web.js");
    EXPECT_EQ(TestFiles::Read(site.page + "navora-web.js"), "loader 2");
    EXPECT_EQ(TestFiles::Read(site.page + "navora-web-list.js"), "list 2");
    EXPECT_EQ(TestFiles::Read(site.page + "Navora.class"), "the author's");

    // Written by the search page writer: replaced with the viewer line, kept without it.
    site.files.Write("site/navora-web.js", "loader 1");
    SearchPageSettings settings = site.Settings();
    settings.testNow = false;
    settings.webViewer = false;
    RecordingHost host;
    WriteSearchPage(settings, site.redist, host);
    EXPECT_EQ(TestFiles::Read(site.page + "navora-web.js"), "loader 1");
    settings = site.Settings();
    settings.testNow = false;
    WriteSearchPage(settings, site.redist, host);
    EXPECT_EQ(TestFiles::Read(site.page + "navora-web.js"), "loader 2");
}
