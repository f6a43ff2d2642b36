#include "LoopbackServer.h"
#include "ScanTestSupport.h"

#include <gtest/gtest.h>

#include <map>

using namespace tamblin;
using namespace scantest;
using Lines = std::vector<std::string>;

namespace {

// A two-language manual whose links climb, jump to the root, name the host again, carry
// queries and backslashes: what a browser makes of each is the page named in the comment.
const std::map<std::string, std::string> kSite = {
    {"/a/index.html", "<title>A</title>"
                      "<a href=\"/c.html\">c</a>"                     // /c.html
                      "<a href=\"../en/x/../e.html\">e</a>"           // /en/e.html
                      "<a href=\"./d.html?q=1#f\">d</a>"              // /a/d.html?q=1
                      "<a href=\"sub\\s.html\">s</a>"                 // /a/sub/s.html
                      "<a href=\"//127.0.0.1:PORT/a/./g.html\">g</a>" // /a/g.html
                      "<a href=\"?x=1\">q</a>"},                      // /a/index.html?x=1
    {"/c.html", "<title>C</title>"},
    {"/a/d.html", "<title>D</title>"},
    {"/a/sub/s.html", "<title>S</title>"},
    {"/a/g.html", "<title>G</title>"},
    {"/a/index.html?x=1", "<title>Q</title>"},
    {"/en/e.html", "<title>E</title><a href=\"../../pt-br/index.html\">pt</a>"}, // clamped
    {"/pt-br/index.html", "<title>PT</title>"},
};

std::string Serve(const LoopbackServer* server, const std::string& path, Response& response) {
    // Like a server of files, one that knows no query ignores it.
    auto it = kSite.find(path);
    if (it == kSite.end()) {
        it = kSite.find(path.substr(0, path.find('?')));
    }
    if (it == kSite.end()) {
        response.status = 404;
        return "<title>Not found</title>";
    }
    std::string body = it->second;
    std::string port = server->Url("").substr(std::string("http://127.0.0.1:").size());
    if (size_t at = body.find("PORT"); at != std::string::npos) {
        body.replace(at, 4, port);
    }
    return body;
}

ScanRun ScanSite(LoopbackServer& server, bool tidy) {
    ScanSettings settings;
    settings.fromUrl = true;
    settings.start = server.Url("/a/index.html");
    settings.tidyUrls = tidy;
    return Scan(settings);
}

} // namespace

TEST(ScanTidyUrls, LinksResolveAsInABrowserAndAreStoredShortestUnderTheBase) {
    LoopbackServer* self = nullptr;
    LoopbackServer server([&](const std::string& path) {
        Response response;
        response.body = Serve(self, path, response);
        return response;
    });
    self = &server;
    ScanRun run = ScanSite(server, true);
    EXPECT_EQ(run.problems, Lines{});
    Lines entries = Entries(run);
    // Each URL joined to the base http://127.0.0.1:PORT/a/ is the page a browser reads.
    EXPECT_EQ(entries, (Lines{"5;1;1;index.html;A;;0;;", "5;2;1;../c.html;C;;1;;",
                              "5;3;1;../en/e.html;E;;1;;", "5;4;1;d.html?q=1;D;;1;;",
                              "5;5;1;sub/s.html;S;;1;;", "5;6;1;g.html;G;;1;;",
                              "5;7;1;index.html?x=1;Q;;1;;", "5;8;1;../pt-br/index.html;PT;;3;;"}));
}

TEST(ScanTidyUrls, OffGivesTheLinksAsWritten) {
    LoopbackServer* self = nullptr;
    LoopbackServer server([&](const std::string& path) {
        Response response;
        response.body = Serve(self, path, response);
        return response;
    });
    self = &server;
    ScanRun run = ScanSite(server, false);
    Lines body = Body(run);
    EXPECT_NE(std::find(body.begin(), body.end(), "5;3;1;../en/x/../e.html;E;;1;;"), body.end());
    EXPECT_FALSE(run.problems.empty());
}
