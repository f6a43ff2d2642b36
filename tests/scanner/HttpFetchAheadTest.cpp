#include "LoopbackServer.h"
#include "ScanTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace tamblin;
using namespace scantest;

namespace {

constexpr int kPages = 200;

// A start page that links every page, and pages that link a few others, of sizes and answer
// times scattered as a real site's are: every fourth page is far larger than the buffer of a
// page fetched ahead, so that transfers pause while others are wanted.
Response TreePage(const std::string& path, bool http10) {
    Response response;
    response.http10 = http10;
    size_t dot = path.find(".htm");
    if (path.rfind("/p", 0) != 0 || dot == std::string::npos) {
        response.status = 404;
        response.body = "<title>Not here</title>";
        return response;
    }
    int n = std::stoi(path.substr(2, dot - 2));
    unsigned scatter = static_cast<unsigned>(n) * 2654435761u;
    response.delayMs = static_cast<int>((scatter >> 8) % 12);
    response.body = "<title>Page " + std::to_string(n) + "</title>";
    for (int k = 1; k < kPages; ++k) {
        int to = n == 0 ? k : static_cast<int>((scatter >> (k % 3 * 5)) % kPages);
        response.body += "<a href=p" + std::to_string(to) + ".htm>" + std::to_string(to) + "</a>";
        if (n != 0 && k == 3) {
            break;
        }
    }
    if ((scatter >> 16) % 3 == 0) {
        response.body += "<p>" + std::string(40 * 1024, 'x') + "</p>";
    }
    return response;
}

ScanSettings TreeScan(const std::string& start) {
    ScanSettings settings = ScanSettings::Classic();
    settings.fromUrl = true;
    settings.start = start;
    return settings;
}

ScanOptions Jobs(size_t jobs) {
    ScanOptions options;
    options.fetch.jobs = jobs;
    options.fetch.bufferLimit = 8 * 1024;
    // Long for a loopback answer even on a loaded machine, short enough that a page lost
    // to a stall fails the test within seconds.
    options.fetch.answerTimeoutMs = 5000;
    options.fetch.stallTimeoutMs = 5000;
    return options;
}

size_t EntryCount(const ScanRun& run) {
    std::vector<std::string> body = Body(run);
    return static_cast<size_t>(std::count_if(body.begin(), body.end(), [](const std::string& line) {
        return line.rfind("5;", 0) == 0;
    }));
}

// Every page, every time, whatever the number of transfers at once.
void ExpectEveryPage(LoopbackServer& server) {
    for (size_t jobs : {1, 4, 8, 16}) {
        SCOPED_TRACE("jobs " + std::to_string(jobs));
        ScanRun run = Scan(TreeScan(server.Url("/p0.htm")), Jobs(jobs));
        EXPECT_EQ(run.problems, std::vector<std::string>{});
        EXPECT_EQ(EntryCount(run), static_cast<size_t>(kPages));
    }
}

} // namespace

// A simple HTTP/1.0 server closes every connection after one answer, so libcurl never
// learns that the server cannot multiplex: a transfer that waited to find out sat behind a
// page fetched ahead and paused, until its timeout lost the page.
TEST(HttpFetchAhead, ServerClosingEveryConnection) {
    LoopbackServer server([](const std::string& path) { return TreePage(path, true); });
    ExpectEveryPage(server);
}

TEST(HttpFetchAhead, KeepAliveEndingMidWay) {
    LoopbackServer server([](const std::string& path) { return TreePage(path, false); });
    server.SetAnswersPerConnection(3);
    ExpectEveryPage(server);
}
