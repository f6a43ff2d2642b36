#include "LoopbackServer.h"
#include "ScanTestSupport.h"

#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
#include <mutex>
#include <thread>
#include <unistd.h>

using namespace tamblin;
using namespace scantest;
using Lines = std::vector<std::string>;
using Clock = std::chrono::steady_clock;

namespace {

Response Page(std::string body, int delayMs = 0) {
    Response response;
    response.body = std::move(body);
    response.delayMs = delayMs;
    return response;
}

Response Status(int status, std::string body = "<title>Error page</title>") {
    Response response;
    response.status = status;
    response.body = std::move(body);
    return response;
}

Response Redirect(const std::string& to) {
    Response response;
    response.status = 302;
    response.headers = {"Location: " + to};
    return response;
}

ScanSettings UrlScan(const std::string& start) {
    ScanSettings settings = ScanSettings::Classic();
    settings.description = "Web";
    settings.fromUrl = true;
    settings.start = start;
    return settings;
}

ScanOptions Quick(size_t jobs = 4) {
    ScanOptions options;
    options.fetch.jobs = jobs;
    // Short enough for tests, long enough for a loaded machine or a sanitizer build.
    options.fetch.answerTimeoutMs = 1500;
    options.fetch.stallTimeoutMs = 1500;
    return options;
}

long ResidentKilobytes() {
    std::ifstream statm("/proc/self/statm");
    long pages = 0;
    long resident = 0;
    statm >> pages >> resident;
    return resident * (sysconf(_SC_PAGESIZE) / 1024);
}

} // namespace

TEST(ScanUrls, BaseDirectorySiteRootAndRootRelativeLinks) {
    LoopbackServer server([](const std::string& path) {
        if (path == "/docs/index.htm") {
            return Page(
                "<title>Docs</title><a href=\"/docs/a.htm\">a</a><a href=\"/other.htm\">o</a>"
                "<a href=\"/docs/\">top</a><a href=\"sub/\">sub</a><a href=guide.pdf>Guide</a>");
        }
        if (path == "/docs/a.htm") {
            return Page("<TITLE>A</TITLE>");
        }
        if (path == "/other.htm") {
            return Page("<title>Other</title>");
        }
        if (path == "/docs/sub/") {
            return Page("<title>Sub</title><a href=x.pdf>X</a>");
        }
        return Status(404);
    });
    std::string base = server.Url("/docs/");
    ScanRun run = Scan(UrlScan(server.Url("/docs/index.htm")), Quick());
    EXPECT_EQ(run.lines.at(2), "3;1;" + base + ";;");
    EXPECT_EQ(Body(run), (Lines{"5;1;1;index.htm;Docs;;0;;", "7;&1;&1;&1;;",
                                "5;2;1;guide.pdf;Guide;;1;;", "7;&2;&2;&2;;", "5;3;1;a.htm;A;;1;;",
                                "7;&3;&3;&3;;", "5;4;1;" + server.Url("/other.htm") + ";Other;;1;;",
                                "7;&4;&4;&4;;", "5;5;1;sub/;Sub;;1;;", "7;&5;&5;&5;;",
                                "5;6;1;sub/x.pdf;X;;5;;", "7;&6;&6;&6;;"}));
    // "/docs/" is the base directory itself: another location, so another page.
    EXPECT_EQ(run.problems, (Lines{"index.htm:   line 0: Could not open URL " + base + "."}));
    EXPECT_EQ(server.Requests("/docs/index.htm"), 1);
    EXPECT_EQ(server.Requests("/docs/"), 1);
    EXPECT_EQ(server.Requests("/docs/guide.pdf"), 0);
}

TEST(ScanUrls, TopDirectoryHasNoSiteRoot) {
    LoopbackServer server([](const std::string& path) {
        if (path == "/index.htm") {
            return Page("<title>Home</title><a href=\"/a.htm\">a</a>");
        }
        return Page("<title>A</title>");
    });
    ScanRun run = Scan(UrlScan(server.Url("/index.htm")), Quick());
    EXPECT_EQ(Body(run), (Lines{"5;1;1;index.htm;Home;;0;;", "7;&1;&1;&1;;", "5;2;1;a.htm;A;;1;;",
                                "7;&2;&2;&2;;"}));
}

TEST(ScanUrls, StartUrlEndingInSlash) {
    LoopbackServer server([](const std::string& path) {
        if (path == "/") {
            return Page("<title> </title><a href=a.htm>a</a>");
        }
        return Page("<title>A</title><a href=\"./\">home</a>");
    });
    ScanSettings settings = UrlScan(server.Url("/"));
    ScanRun run = Scan(settings, Quick());
    // Its url is empty, so its location names it.
    EXPECT_EQ(Body(run), (Lines{"5;1;1;;" + server.Url("/") + ";;0;;", "7;&1;&1;&1;;",
                                "5;2;1;a.htm;A;;1;;", "7;&2;&2;&2;;"}));
    EXPECT_EQ(server.Requests("/"), 1);
    EXPECT_EQ(run.statuses, (Lines{"Scanning ...", "Scanning a.htm..."}));
}

TEST(ScanUrls, StatusOtherThan200FailsThePageBeforeItIsRead) {
    LoopbackServer server([](const std::string& path) {
        if (path == "/index.htm") {
            return Page("<title>I</title><a href=missing.htm>m</a><a href=broken.htm>b</a>"
                        "<a href=fine.htm>f</a>");
        }
        if (path == "/missing.htm") {
            return Status(404);
        }
        if (path == "/broken.htm") {
            return Status(500, "");
        }
        return Page("<title>Fine</title>");
    });
    ScanRun run = Scan(UrlScan(server.Url("/index.htm")), Quick());
    EXPECT_EQ(Body(run), (Lines{"5;1;1;index.htm;I;;0;;", "7;&1;&1;&1;;",
                                "5;2;1;fine.htm;Fine;;1;;", "7;&2;&2;&2;;"}));
    EXPECT_EQ(run.problems, (Lines{"index.htm:  missing.htm line 0: Could not open URL " +
                                       server.Url("/missing.htm") + ".",
                                   "index.htm:  broken.htm line 0: Could not open URL " +
                                       server.Url("/broken.htm") + "."}));
}

TEST(ScanUrls, RedirectsAreFollowedUpToTen) {
    LoopbackServer server([](const std::string& path) {
        if (path == "/index.htm") {
            return Page("<title>I</title><a href=r10.htm>ten</a><a href=r11.htm>eleven</a>"
                        "<a href=loop.htm>loop</a>");
        }
        if (path == "/loop.htm") {
            return Redirect("/loop.htm");
        }
        if (path.rfind("/r", 0) == 0) {
            int left = std::stoi(path.substr(2));
            return left == 0 ? Page("<title>Arrived</title>")
                             : Redirect("/r" + std::to_string(left - 1) + ".htm");
        }
        return Status(404);
    });
    ScanRun run = Scan(UrlScan(server.Url("/index.htm")), Quick());
    EXPECT_EQ(Body(run), (Lines{"5;1;1;index.htm;I;;0;;", "7;&1;&1;&1;;",
                                "5;2;1;r10.htm;Arrived;;1;;", "7;&2;&2;&2;;"}));
    EXPECT_EQ(run.problems, (Lines{"index.htm:  r11.htm line 0: Could not open URL " +
                                       server.Url("/r11.htm") + ".",
                                   "index.htm:  loop.htm line 0: Could not open URL " +
                                       server.Url("/loop.htm") + "."}));
    EXPECT_LE(server.Requests("/loop.htm"), 11);
}

TEST(ScanUrls, ServerThatNeverAnswers) {
    LoopbackServer server([](const std::string& path) {
        if (path == "/index.htm") {
            return Page("<title>I</title><a href=silent.htm>s</a><a href=b.htm>b</a>");
        }
        if (path == "/silent.htm") {
            Response response;
            response.kind = Response::Kind::NeverAnswer;
            return response;
        }
        return Page("<title>B</title>");
    });
    auto start = Clock::now();
    ScanRun run = Scan(UrlScan(server.Url("/index.htm")), Quick());
    EXPECT_LT(Clock::now() - start, std::chrono::seconds(10));
    EXPECT_EQ(Body(run), (Lines{"5;1;1;index.htm;I;;0;;", "7;&1;&1;&1;;", "5;2;1;b.htm;B;;1;;",
                                "7;&2;&2;&2;;"}));
    EXPECT_EQ(run.problems, (Lines{"index.htm:  silent.htm line 0: Could not open URL " +
                                   server.Url("/silent.htm") + "."}));
}

TEST(ScanUrls, ServerThatStallsKeepsWhatWasRead) {
    LoopbackServer server([](const std::string& path) {
        if (path == "/index.htm") {
            return Page("<title>I</title><a href=stall.htm>s</a>");
        }
        Response response;
        response.kind = Response::Kind::Stall;
        response.body = "<title>Half</title><a href=more.pdf>More</a>" + std::string(200, ' ');
        return response;
    });
    ScanRun run = Scan(UrlScan(server.Url("/index.htm")), Quick());
    EXPECT_EQ(Body(run),
              (Lines{"5;1;1;index.htm;I;;0;;", "7;&1;&1;&1;;", "5;2;1;stall.htm;Half;;1;;",
                     "7;&2;&2;&2;;", "5;3;1;more.pdf;More;;2;;", "7;&3;&3;&3;;"}));
    EXPECT_EQ(run.problems, (Lines{"index.htm:  stall.htm line 2: Could not open URL " +
                                   server.Url("/stall.htm") + "."}));
}

TEST(ScanUrls, BinaryBytesAndByteFF) {
    LoopbackServer server([](const std::string& path) {
        if (path == "/index.htm") {
            return Page(std::string("<title>Bin\x01\x02</title>\x00\x80<a href=x.pdf>X</a>\xff"
                                    "<a href=y.pdf>Y</a>",
                                    54));
        }
        return Status(404);
    });
    ScanRun run = Scan(UrlScan(server.Url("/index.htm")), Quick());
    EXPECT_EQ(Body(run), (Lines{"5;1;1;index.htm;Bin\x01\x02;;0;;", "7;&1;&1;&1;;",
                                "5;2;1;x.pdf;X;;1;;", "7;&2;&2;&2;;"}));
    EXPECT_EQ(run.problems, Lines{});
}

TEST(ScanUrls, EndlessBodyStopsOnCancelWithFlatMemory) {
    LoopbackServer server([](const std::string& path) {
        if (path == "/index.htm") {
            return Page("<title>I</title><a href=endless.htm>e</a>");
        }
        Response response;
        response.kind = Response::Kind::Endless;
        response.body = "<title>Endless</title><p><title>";
        response.chunk = std::string(64 * 1024, 'x') + " <p> text <a href=";
        return response;
    });
    long before = ResidentKilobytes();
    RecordingObserver observer;
    std::atomic<bool> done{false};
    long peak = 0;
    std::thread canceller([&] {
        // Let 64 MB pass through the scanner, watching memory, then cancel.
        while (!done && server.BytesSent() < 64LL * 1024 * 1024) {
            peak = std::max(peak, ResidentKilobytes());
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        observer.abort.store(1);
    });
    auto start = Clock::now();
    ScanRun run = Scan(UrlScan(server.Url("/index.htm")), Quick(), &observer);
    done = true;
    canceller.join();
    EXPECT_LT(Clock::now() - start, std::chrono::seconds(30));
    EXPECT_TRUE(run.aborted);
    EXPECT_EQ(run.summary, "User requested abort");
    EXPECT_EQ(Body(run), (Lines{"5;1;1;index.htm;I;;0;;", "7;&1;&1;&1;;",
                                "5;2;1;endless.htm;Endless;;1;;", "7;&2;&2;&2;;"}));
    EXPECT_GE(server.BytesSent(), 64LL * 1024 * 1024);
#if !defined(__SANITIZE_ADDRESS__)
    // The page streamed through; a few MB of texts and buffers at most stay behind. (A
    // sanitizer keeps freed memory aside, so only a plain build can tell.)
    EXPECT_LT(peak - before, 24 * 1024);
#else
    (void)peak;
    (void)before;
#endif
}

TEST(ScanUrls, CancelInterruptsAWaitingTransfer) {
    LoopbackServer server([](const std::string&) {
        Response response;
        response.kind = Response::Kind::NeverAnswer;
        return response;
    });
    RecordingObserver observer;
    ScanOptions options; // the real 30 s answer timeout
    std::thread canceller([&] {
        // Once the scan waits for the answer that never comes (or before it starts: a scan
        // told to stop before it begins stops at once, which ends the test the same way).
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        observer.abort.store(1);
    });
    auto start = Clock::now();
    ScanRun run = Scan(UrlScan(server.Url("/index.htm")), options, &observer);
    canceller.join();
    EXPECT_LT(Clock::now() - start, std::chrono::seconds(3));
    EXPECT_EQ(run.summary, "User requested abort");
    EXPECT_EQ(run.problems, Lines{});
}

TEST(ScanUrls, HttpsSitesGetTheirRootLikeHttpOnes) {
    MapPageSource pages;
    pages.pages["https://host/docs/index.htm"] = "<title>I</title><a href=/docs/a.htm>a</a>";
    pages.pages["https://host/docs/a.htm"] = "<title>A</title>";
    ScanOptions options;
    options.pageSource = &pages;
    ScanRun run = Scan(UrlScan("https://host/docs/index.htm"), options);
    EXPECT_EQ(run.lines.at(2), "3;1;https://host/docs/;;");
    EXPECT_EQ(Body(run), (Lines{"5;1;1;index.htm;I;;0;;", "7;&1;&1;&1;;", "5;2;1;a.htm;A;;1;;",
                                "7;&2;&2;&2;;"}));
}

namespace {

// A site of many pages that link across levels, with dead links, anchors that cannot be
// named and repeated links, served with a delay.
Response GeneratedSite(const std::string& path, int delayMs) {
    if (path == "/site/dead.htm" || path.find("gone") != std::string::npos) {
        return Status(404);
    }
    size_t dot = path.find(".htm");
    if (path.rfind("/site/p", 0) != 0 || dot == std::string::npos) {
        return Status(404);
    }
    int n = std::stoi(path.substr(7, dot - 7));
    std::string body = "<title>Page " + std::to_string(n) + "</title>";
    for (int k = 1; k <= 4; ++k) {
        int target = (n * 3 + k) % 80;
        body += "<a href=p" + std::to_string(target) + ".htm>to " + std::to_string(target) + "</a>";
    }
    body += std::string(static_cast<size_t>(n) * 7, ' ');
    body += "<a name=\"n;" + std::to_string(n) + "\">x</a><a href=gone" + std::to_string(n % 5) +
            ".htm>g</a><a href=f" + std::to_string(n % 7) + ".pdf>File</a>";
    return Page(body, delayMs);
}

} // namespace

TEST(ScanUrls, FetchAheadGivesTheSameIndexAndProblems) {
    LoopbackServer one([](const std::string& path) { return GeneratedSite(path, 5); });
    LoopbackServer four([](const std::string& path) { return GeneratedSite(path, 5); });
    auto start = Clock::now();
    ScanRun sequential = Scan(UrlScan(one.Url("/site/p0.htm")), Quick(1));
    auto middle = Clock::now();
    ScanRun ahead = Scan(UrlScan(four.Url("/site/p0.htm")), Quick(4));
    auto end = Clock::now();
    ASSERT_GT(sequential.problems.size(), 80u);
    // The servers differ only in their port.
    auto samePort = [&](std::string text) {
        std::string from = four.Url("");
        std::string to = one.Url("");
        for (size_t at = text.find(from); at != std::string::npos; at = text.find(from, at)) {
            text.replace(at, from.size(), to);
        }
        return text;
    };
    EXPECT_EQ(samePort(ahead.raw), sequential.raw);
    ASSERT_EQ(ahead.problems.size(), sequential.problems.size());
    for (size_t i = 0; i < ahead.problems.size(); ++i) {
        EXPECT_EQ(samePort(ahead.problems[i]), sequential.problems[i]);
    }
    EXPECT_EQ(samePort(ahead.report), sequential.report);
    // Each location once, over connections that are reused.
    EXPECT_EQ(four.Requests("/site/p0.htm"), 1);
    EXPECT_EQ(four.Requests("/site/gone1.htm"), 1);
    EXPECT_EQ(four.TotalRequests(), one.TotalRequests());
    EXPECT_LE(one.Connections(), 2);
    EXPECT_LE(four.Connections(), 8);
    EXPECT_LT(end - middle, middle - start);
}

TEST(ScanUrls, PagesFetchedAheadGetTheirFullTimeout) {
    // The server answers one request at a time, each after 500 ms: the fourth request sent
    // ahead waits 2 s for its answer, longer than the timeout, yet a scan of one page at a
    // time would have had every page.
    std::mutex one;
    LoopbackServer server([&](const std::string& path) {
        if (path == "/index.htm") {
            return Page(
                "<title>I</title><a href=p1.htm>1</a><a href=p2.htm>2</a><a href=p3.htm>3</a>"
                "<a href=p4.htm>4</a><a href=p5.htm>5</a>");
        }
        std::lock_guard lock(one);
        std::this_thread::sleep_for(std::chrono::milliseconds(500));
        return Page("<title>" + path.substr(1, 2) + "</title>");
    });
    ScanRun run = Scan(UrlScan(server.Url("/index.htm")), Quick(4));
    EXPECT_EQ(run.problems, Lines{});
    EXPECT_EQ(Body(run).size(), 12u);
}
