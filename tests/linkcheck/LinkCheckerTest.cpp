#include "LoopbackServer.h"
#include "TestFiles.h"
#include "cli/LinkCheckCli.h"
#include "index/IndexFile.h"
#include "index/TextUtils.h"
#include "linkcheck/LinkCollector.h"
#include "linkcheck/LinkReport.h"

#include <gtest/gtest.h>

#include <sstream>
#include <thread>

using namespace tamblin;
using scantest::LoopbackServer;
using scantest::Response;

namespace {

IndexEntry& AddEntry(IndexEntry& parent, BaseUrl* base, const std::string& url,
                     const std::string& title) {
    parent.AppendChild(std::make_unique<IndexEntry>(0, base, url, title, "", 0, "", 1));
    return *parent.m_children.back();
}

void AddKeyword(IndexEntry& entry, const std::string& phrase, const std::string& anchor) {
    entry.m_keywords.emplace_back(&entry, phrase, anchor, "", "", 0);
}

// "kind url" for each problem, to compare whole lists at once.
std::vector<std::string> Kinds(const LinkCheckResult& result) {
    std::vector<std::string> out;
    for (const LinkProblem& problem : result.problems) {
        out.push_back(std::string(LinkProblemName(problem.kind)) + " " + problem.url);
    }
    return out;
}

const LinkProblem* FindProblem(const LinkCheckResult& result, const std::string& url) {
    for (const LinkProblem& problem : result.problems) {
        if (problem.url == url) {
            return &problem;
        }
    }
    return nullptr;
}

LinkCheckOptions ShortTimeouts() {
    LinkCheckOptions options;
    options.fetch.answerTimeoutMs = 300;
    options.fetch.stallTimeoutMs = 300;
    return options;
}

// A small site on disk beside its index: pages with anchors by name and by id.
class DiskSite : public ::testing::Test {
protected:
    void SetUp() override {
        files.Write("site/a.htm", "<html><a name=\"top\">x</a><h2 id=\"part-2\">y</h2>"
                                  "<meta name=\"keywords\" content=\"z\"></html>");
        files.Write("site/sub/b.htm", "<p id='deep'>b</p>");
        files.Write("rel.htm", "<a NAME=here>r</a>");
        indexPath = files.Path("index.xo");
        base = &index.AppendBaseUrl(std::make_unique<BaseUrl>(1, files.Path("site") + "/", "", 0));
    }

    LinkCheckResult Check(LinkCheckOptions options = {}) {
        return CheckIndexLinks(index, indexPath, options);
    }

    TestFiles files;
    IndexFile index;
    BaseUrl* base = nullptr;
    std::string indexPath;
};

TEST_F(DiskSite, FindsFilesAndAnchorsByNameAndIdUnderABaseFolderAndTheIndexFolder) {
    IndexEntry& a = AddEntry(index.m_root, base, "a.htm", "A");
    AddKeyword(a, "Top", "#top");
    AddKeyword(a, "Part two", "#part-2");
    IndexEntry& b = AddEntry(a, base, "sub/../sub/b.htm#deep", "B");
    AddEntry(b, nullptr, "rel.htm#here", "Beside the index");
    LinkCheckResult result = Check();
    EXPECT_TRUE(result.problems.empty()) << LinkProblemLine(result.problems.front());
    EXPECT_EQ(result.links, 5);
    EXPECT_EQ(result.distinct, 5);
    EXPECT_EQ(result.pages, 3);
}

// Links beside the index are found where a browser opening its folder finds them, as
// `new URL(href, "file:///FOLDER/")` resolves them: backslashes, escapes, dot segments
// ("..", one too many held at the root), a query left off.
TEST_F(DiskSite, FindsPagesBesideTheIndexAsABrowserResolvesThem) {
    files.Write("my page.htm", "<p id=p>m</p>");
    AddEntry(index.m_root, nullptr, "site\\sub\\b.htm#deep", "Backslashes");
    AddEntry(index.m_root, nullptr, "my%20page.htm#p", "Escaped");
    AddEntry(index.m_root, nullptr, "site/./sub/../a.htm?v=2#top", "Dots and a query");
    std::string depth;
    for (char c : files.Path("")) {
        depth += c == '/' ? "../" : "";
    }
    AddEntry(index.m_root, nullptr, depth + "../../" + files.Path("rel.htm").substr(1) + "#here",
             "Above the root");
    LinkCheckResult result = Check();
    EXPECT_TRUE(result.problems.empty()) << LinkProblemLine(result.problems.front());
    EXPECT_EQ(result.pages, 4);
}

TEST_F(DiskSite, ReportsAMissingFileOnceForAllItsLinksAndEachMissingAnchorWithItsUses) {
    IndexEntry& gone = AddEntry(index.m_root, base, "gone.htm", "Gone");
    AddKeyword(gone, "Gone part", "#x");
    IndexEntry& a = AddEntry(index.m_root, base, "a.htm", "A");
    AddKeyword(a, "Lost", "#lost");
    AddKeyword(a, "Lost again", "#lost");
    // A meta name is no anchor a browser can jump to.
    AddKeyword(a, "Meta", "#keywords");
    LinkCheckResult result = Check();
    std::string site = files.Path("site") + "/";
    EXPECT_EQ(Kinds(result),
              (std::vector<std::string>{"broken " + site + "gone.htm",
                                        "missing anchor " + site + "a.htm#lost",
                                        "missing anchor " + site + "a.htm#keywords"}));
    EXPECT_EQ(result.problems[0].uses.size(), 2U);
    EXPECT_EQ(result.problems[0].detail, "file not found");
    ASSERT_EQ(result.problems[1].uses.size(), 2U);
    EXPECT_EQ(result.problems[1].uses[1].keyword, 1);
    EXPECT_EQ(result.problems[1].uses[1].where, "A: Lost again");
    EXPECT_EQ(result.duplicates, 1);
}

TEST_F(DiskSite, SkipsSchemesThatAreNoPagesAndLeavesHeadingsOut) {
    IndexEntry& heading = AddEntry(index.m_root, nullptr, "", "Heading");
    AddEntry(heading, nullptr, "mailto:someone@example.org", "Mail");
    AddEntry(heading, nullptr, "javascript:void(0)", "Script");
    index.m_otherKeywords.m_keywords.emplace_back(&index.m_otherKeywords, "News", "news:comp.lang",
                                                  "", "", 0);
    index.m_otherKeywords.m_keywords.emplace_back(&index.m_otherKeywords, "Other",
                                                  files.Path("rel.htm") + "#nowhere", "", "", 0);
    LinkCheckResult result = Check();
    EXPECT_EQ(result.skipped, 3);
    EXPECT_EQ(result.links, 4);
    ASSERT_EQ(result.problems.size(), 1U);
    EXPECT_EQ(result.problems[0].uses[0].where, "Other Index keywords: Other");
    EXPECT_EQ(result.problems[0].uses[0].entry, &index.m_otherKeywords);
}

TEST(LinkCollectorTest, ChecksOffSiteUrlsOnlyWhenAsked) {
    for (bool offSite : {false, true}) {
        LinkCollector collector("/x/", offSite);
        collector.AddSite("http://Site.example/docs/");
        collector.Add("http://site.example/a.htm", {});
        collector.Add("http://other.example/b.htm", {});
        collector.Add("HTTP://SITE.EXAMPLE/a.htm#p", {});
        EXPECT_EQ(collector.Counts().offSite, offSite ? 0 : 1);
        EXPECT_EQ(collector.Pages().size(), offSite ? 3U : 2U);
    }
    EXPECT_EQ(PercentDecode("a%20b%2"), "a b%2");
}

// Pages on a loopback server: every kind of answer the check must tell apart.
class WebSite : public ::testing::Test {
protected:
    WebSite()
        : server([](const std::string& path) {
              Response r;
              if (path == "/ok.htm") {
                  r.body = "<a name=n>n</a><div id=\"by-id\"></div>";
              } else if (path == "/gone.htm") {
                  r.status = 404;
              } else if (path == "/error.htm") {
                  r.status = 500;
              } else if (path == "/hop1") {
                  r.status = 301;
                  r.headers = {"Location: /hop2"};
              } else if (path == "/hop2") {
                  r.status = 302;
                  r.headers = {"Location: /ok.htm"};
              } else if (path == "/to-gone") {
                  r.status = 302;
                  r.headers = {"Location: /gone.htm"};
              } else if (path == "/get-only.htm") {
                  r.refuseHead = true;
              } else if (path == "/hang.htm") {
                  r.kind = Response::Kind::NeverAnswer;
              } else if (path == "/robots.txt") {
                  r.body =
                      "User-agent: *\nDisallow: /\n\nUser-agent: Tamblin\nDisallow: /private/\n";
              } else if (path == "/stall.htm") {
                  r.kind = Response::Kind::Stall;
                  r.body = "<a name=early>";
              }
              return r;
          }) {
        base = &index.AppendBaseUrl(std::make_unique<BaseUrl>(1, server.Url("/"), "", 0));
    }

    LinkCheckResult Check(LinkCheckOptions options = ShortTimeouts()) {
        return CheckIndexLinks(index, "/nowhere/index.xo", options);
    }

    LoopbackServer server;
    IndexFile index;
    BaseUrl* base = nullptr;
};

TEST_F(WebSite, ReportsStatusesRedirectsWithWhereTheyEndAndMissingAnchors) {
    IndexEntry& ok = AddEntry(index.m_root, base, "ok.htm", "OK");
    AddKeyword(ok, "By name", "#n");
    AddKeyword(ok, "By id", "#by-id");
    AddKeyword(ok, "Lost", "#lost");
    AddEntry(index.m_root, base, "gone.htm", "Gone");
    AddEntry(index.m_root, base, "error.htm", "Error");
    AddEntry(index.m_root, base, "hop1", "Chain");
    AddEntry(index.m_root, base, "to-gone", "Redirect to nothing");
    AddEntry(index.m_root, base, "get-only.htm", "GET only");
    LinkCheckResult result = Check();
    EXPECT_EQ(result.problems.size(), 5U);
    const LinkProblem* lost = FindProblem(result, server.Url("/ok.htm#lost"));
    ASSERT_TRUE(lost);
    EXPECT_EQ(lost->kind, LinkProblem::Kind::MissingAnchor);
    EXPECT_EQ(FindProblem(result, server.Url("/gone.htm"))->detail, "404 Not Found");
    EXPECT_EQ(FindProblem(result, server.Url("/error.htm"))->detail, "500 Internal Server Error");
    const LinkProblem* chain = FindProblem(result, server.Url("/hop1"));
    ASSERT_TRUE(chain);
    EXPECT_EQ(chain->kind, LinkProblem::Kind::Redirect);
    EXPECT_EQ(chain->detail, "ends at " + server.Url("/ok.htm") + " after 2 redirects");
    const LinkProblem* toGone = FindProblem(result, server.Url("/to-gone"));
    ASSERT_TRUE(toGone);
    EXPECT_EQ(toGone->kind, LinkProblem::Kind::Broken);
    EXPECT_EQ(toGone->detail, "404 Not Found at " + server.Url("/gone.htm"));
    // The page refusing HEAD was asked again with GET and found.
    EXPECT_EQ(server.Requests("/get-only.htm"), 2);
    // Each page was asked for once, however many anchors were looked for in it.
    EXPECT_EQ(server.Requests("/ok.htm"), 2); // once directly, once at the end of the chain
}

TEST_F(WebSite, AsksWithHeadWhenNoAnchorIsWanted) {
    AddEntry(index.m_root, base, "ok.htm", "OK");
    AddEntry(index.m_root, base, "ok.htm", "OK again");
    LinkCheckResult result = Check();
    EXPECT_TRUE(result.problems.empty());
    EXPECT_EQ(result.duplicates, 1);
    EXPECT_EQ(server.Requests("/ok.htm"), 1);
    EXPECT_EQ(server.HeadRequests(), 1);
}

TEST_F(WebSite, LeavesPagesItsGroupInRobotsTxtClosesUnaskedAndSaysSo) {
    AddEntry(index.m_root, base, "private/a.htm", "Closed");
    AddEntry(index.m_root, base, "private/b.htm#part", "Closed too");
    AddEntry(index.m_root, base, "ok.htm", "Open to us, closed to every other robot");
    LinkCheckResult result = Check();
    EXPECT_TRUE(result.problems.empty());
    EXPECT_EQ(result.robotsClosed, 2);
    EXPECT_EQ(result.pages, 1);
    EXPECT_EQ(server.Requests("/private/a.htm") + server.Requests("/private/b.htm"), 0);
    EXPECT_EQ(server.Requests("/ok.htm"), 1);
    EXPECT_EQ(server.Requests("/robots.txt"), 1);
    EXPECT_NE(
        LinkSummaryText(result).find(", 2 pages closed by robots.txt not checked: 0 problems"),
        std::string::npos);

    LinkCheckOptions impolite = ShortTimeouts();
    impolite.polite = false;
    result = Check(impolite);
    EXPECT_EQ(result.robotsClosed, 0);
    EXPECT_EQ(server.Requests("/private/a.htm"), 1);
    EXPECT_EQ(server.Requests("/robots.txt"), 1);
}

TEST_F(WebSite, ServersThatHangOrStallAreBrokenAfterTheTimeouts) {
    AddEntry(index.m_root, base, "hang.htm", "Hangs");
    AddEntry(index.m_root, base, "stall.htm#late", "Stalls");
    AddEntry(index.m_root, base, "ok.htm", "Fine");
    LinkCheckResult result = Check();
    ASSERT_EQ(result.problems.size(), 2U);
    EXPECT_EQ(FindProblem(result, server.Url("/hang.htm"))->detail, "the server did not answer");
    EXPECT_EQ(FindProblem(result, server.Url("/stall.htm"))->detail, "the server stopped sending");
}

TEST_F(WebSite, CancelStopsAHangingCheckAndSaysSo) {
    AddEntry(index.m_root, base, "hang.htm", "Hangs");
    std::atomic<int> abort{0};
    LinkCheckOptions options;
    options.abortFlag = &abort;
    std::thread canceller([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        abort = 1;
    });
    LinkCheckResult result = Check(options);
    canceller.join();
    EXPECT_TRUE(result.aborted);
    EXPECT_TRUE(result.problems.empty());
}

TEST_F(WebSite, ProgressCountsEveryPage) {
    for (const char* url : {"ok.htm", "gone.htm", "hop1", "error.htm"}) {
        AddEntry(index.m_root, base, url, url);
    }
    LinkCheckOptions options = ShortTimeouts();
    options.fetch.jobs = 2;
    std::vector<size_t> seen;
    options.progress = [&](size_t done, size_t total) {
        EXPECT_EQ(total, 4U);
        seen.push_back(done);
    };
    Check(options);
    EXPECT_EQ(seen, (std::vector<size_t>{1, 2, 3, 4}));
}

TEST(LinkCheckCliTest, ExitsByOutcomeAndPrintsALinePerProblem) {
    TestFiles files;
    files.Write("a.htm", "<a name=x>");
    IndexFile index;
    IndexEntry& a = AddEntry(index.m_root, nullptr, "a.htm", "A");
    std::string good = files.Path("good.xo");
    ASSERT_TRUE(index.Save(good));
    AddKeyword(a, "Y", "#y");
    std::string bad = files.Path("bad.xo");
    ASSERT_TRUE(index.Save(bad));

    std::ostringstream out, err;
    EXPECT_EQ(LinkCheckCli(out, err, nullptr).Run({good, "--links"}), 0);
    EXPECT_EQ(out.str(), "1 link, 1 URL checked (0 duplicates) on 1 page, 0 skipped (mailto: and "
                         "the like), 0 off-site not checked: 0 problems\n");
    out.str("");
    EXPECT_EQ(LinkCheckCli(out, err, nullptr).Run({bad, "--links", "--jobs", "2"}), 1);
    EXPECT_EQ(out.str().substr(0, out.str().find('\n')),
              "missing anchor: a.htm#y: no anchor \"y\" (A: Y)");
    EXPECT_EQ(LinkCheckCli(out, err, nullptr).Run({files.Path("none.xo"), "--links"}), 2);
    EXPECT_EQ(LinkCheckCli(out, err, nullptr).Run({good, "--links", "--jobs", "0"}), 64);
}

} // namespace
