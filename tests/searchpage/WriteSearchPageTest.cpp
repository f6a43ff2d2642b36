#include "searchpage/WriteSearchPage.h"
#include "TestFiles.h"
#include "searchpage/CopyAppletFiles.h"
#include "searchpage/SearchPageText.h"

#include <gtest/gtest.h>

#include <filesystem>
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
    SearchPageSettings Settings() const {
        SearchPageSettings settings = SearchPageSettings::ForIndex(page + "MySite.xo");
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
    EXPECT_EQ(host.m_said, std::vector<std::string>{"W:Could not create file (" +
                                                    settings.pagePath + ") for writing"});
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

TEST(CopyAppletFiles, EmptySourceGivesTheHeadingAlone) {
    TestFiles files;
    std::filesystem::create_directories(files.Path("r"));
    std::filesystem::create_directories(files.Path("r/sub"));
    AppletCopyReport report = CopyAppletFiles(files.Path("r") + "/", files.Path("") + "/");
    EXPECT_TRUE(report.sourceFound);
    EXPECT_EQ(report.text, "These files have been copied to your working directory:");
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
