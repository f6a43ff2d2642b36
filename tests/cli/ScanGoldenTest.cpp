// Every byte that `scan --raw`, `scan` and `convert` write for a small site that uses most of
// what the scanner reads, held against files in golden/. The scanner's own file and a saved
// index differ in their header, line ends and dates, and both must stay as they are.
// TAMBLIN_UPDATE_GOLDEN=1 writes the files anew instead of comparing.
#include "LoopbackServer.h"
#include "TestFiles.h"
#include "cli/CliCommands.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

using namespace tamblin;

namespace {

const std::string kGolden = TAMBLIN_GOLDEN_DIR;
const std::string kSite = kGolden + "/site/";

std::string ReplaceAll(std::string text, const std::string& from, const std::string& to) {
    for (size_t at = text.find(from); at != std::string::npos; at = text.find(from, at)) {
        text.replace(at, from.size(), to);
        at += to.size();
    }
    return text;
}

// The bytes of a run with the places that differ from machine to machine named instead.
std::string Neutral(std::string text, const std::string& httpRoot) {
    text = ReplaceAll(std::move(text), kSite, "@SITE@/");
    return httpRoot.empty() ? text : ReplaceAll(std::move(text), httpRoot, "@HTTP@/");
}

void ExpectGolden(const std::string& name, const std::string& actual) {
    std::string path = kGolden + "/" + name;
    if (std::getenv("TAMBLIN_UPDATE_GOLDEN")) {
        std::ofstream(path, std::ios::binary) << actual;
        return;
    }
    EXPECT_EQ(actual, TestFiles::Read(path)) << "differs from golden/" << name;
}

// Runs the CLI and holds the file it wrote and what it said against golden/NAME.xo and
// golden/NAME.log.
void Golden(const std::string& name, std::vector<std::string> args,
            const std::string& httpRoot = {}) {
    TestFiles files;
    TestFiles::PinDate();
    std::string output = files.Path("out.xo");
    if (args[0] != "convert") {
        args.push_back("-o");
    }
    args.push_back(output);
    std::ostringstream out;
    std::ostringstream err;
    CliCommands commands(out, err);
    int code = commands.Run(args);
    std::string log =
        "exit " + std::to_string(code) + "\n--- stdout\n" + out.str() + "--- stderr\n" + err.str();
    ExpectGolden(name + ".log", Neutral(log, httpRoot));
    ExpectGolden(name + ".xo", Neutral(TestFiles::Read(output), httpRoot));
}

std::string ContentType(const std::string& path) {
    std::string extension = path.substr(path.rfind('.') + 1);
    if (extension == "htm" || extension == "html" || extension == "php") {
        return "text/html";
    }
    return extension == "pdf" ? "application/pdf" : extension == "gif" ? "image/gif" : "text/plain";
}

} // namespace

TEST(ScanGolden, RawFromFiles) {
    Golden("raw_files", {"scan", kSite + "index.htm", "--raw", "--description", "Acme"});
    Golden("raw_files_classic", {"scan", kSite + "index.htm", "--raw", "--classic"});
    Golden("raw_files_options",
           {"scan", kSite + "index.htm", "--raw", "--keep-untitled", "--parse-all", "--off-site",
            "--keep-blank-anchors", "--skip-target-frame", "left", "--no-shorten-titles",
            "--case-significant"});
    Golden("raw_files_windows1252", {"scan", kSite + "latin.htm", "--raw"});
}

TEST(ScanGolden, SavedFromFiles) {
    Golden("saved_files", {"scan", kSite + "index.htm", "--description", "Acme"});
    Golden("saved_files_classic", {"scan", kSite + "index.htm", "--classic"});
    Golden("saved_convert", {"convert", kGolden + "/save_input.xo"});
}

TEST(ScanGolden, RawAndSavedOverHttp) {
    scantest::LoopbackServer server([](const std::string& request) {
        scantest::Response response;
        std::string path = request.substr(1, request.find('?') - 1);
        std::ifstream file(kSite + path, std::ios::binary);
        if (path.empty() || path.find("..") != std::string::npos || !file) {
            response.status = 404;
            response.body = "<title>Not here</title>";
            return response;
        }
        std::ostringstream bytes;
        bytes << file.rdbuf();
        response.body = bytes.str();
        response.headers.push_back("Content-Type: " + ContentType(path));
        return response;
    });
    std::string root = server.Url("/");
    Golden("raw_http", {"scan", root + "index.htm", "--raw", "--jobs", "1"}, root);
    Golden("raw_http_classic", {"scan", root + "index.htm", "--raw", "--classic"}, root);
    Golden("saved_http", {"scan", root + "index.htm", "--description", "Acme"}, root);
}
