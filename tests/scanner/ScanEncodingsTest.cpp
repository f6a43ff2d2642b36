#include "LoopbackServer.h"
#include "ScanTestSupport.h"
#include "TestFiles.h"

#include <gtest/gtest.h>

using namespace tamblin;
using namespace scantest;
using Lines = std::vector<std::string>;

namespace {

ScanSettings FileScan(const TestFiles& files) {
    ScanSettings settings;
    settings.start = files.Path("index.htm");
    return settings;
}

} // namespace

// Korean pages as a manual serves them: the start page declares EUC-KR in a meta tag, a
// page below it gets it from the server only.
TEST(ScanEncodings, EucKrTitlesAndKeywords) {
    // 모듈 목록 (module list), 모듈 (module), 지시어 (directive).
    const std::string moduleList = "\xB8\xF0\xB5\xE2 \xB8\xF1\xB7\xCF";
    LoopbackServer server([&](const std::string& path) {
        Response response;
        if (path == "/ko/index.html") {
            response.body = "<meta http-equiv=\"Content-Type\" content=\"text/html; "
                            "charset=EUC-KR\"><title>" +
                            moduleList +
                            "</title><meta name=keywords content=\"\xB8\xF0\xB5\xE2, "
                            "\xC1\xF6\xBD\xC3\xBE\xEE\"><a href=d.html>d</a>";
        } else {
            response.headers = {"Content-Type: text/html; charset=ks_c_5601-1987"};
            response.body = "<title>\xC1\xF6\xBD\xC3\xBE\xEE</title>";
        }
        return response;
    });
    ScanSettings settings;
    settings.fromUrl = true;
    settings.start = server.Url("/ko/index.html");
    ScanRun run = Scan(settings);
    EXPECT_EQ(run.problems, Lines{});
    Lines body = Body(run);
    EXPECT_EQ(body, (Lines{"5;1;1;index.html;모듈 목록;;0;;", "7;&1;&1;&1;;", "7;모듈;&1;&1;;",
                           "7;지시어;&1;&1;;", "5;2;1;d.html;지시어;;1;;", "7;&2;&2;&2;;"}));
}

// Shift_JIS has trail bytes that are ASCII ("\" in 表 and ソ), which must not end a text or
// stand for themselves.
TEST(ScanEncodings, ShiftJisTitlesAndKeywords) {
    TestFiles files;
    // 表示 (display), ソフト (software), 日本語 (Japanese).
    files.Write("index.htm", "<meta charset=\"shift_jis\"><title>\x95\x5C\x8E\xA6</title>"
                             "<meta name=\"keywords\" content=\"\x83\x5C\x83\x74\x83\x67,"
                             "\x93\xFA\x96\x7B\x8C\xEA\"><a name=s>\x83\x5C</a>");
    ScanRun run = Scan(FileScan(files));
    EXPECT_EQ(run.problems, Lines{});
    EXPECT_EQ(Body(run), (Lines{"5;1;1;index.htm;表示;;0;;", "7;&1;&1;&1;;", "7;ソ;&1#s;&1;;",
                                "7;ソフト;&1;&1;;", "7;日本語;&1;&1;;"}));
}

// ISO-2022-JP is not ASCII-compatible: its two-byte characters use "<", ">" and quotes.
TEST(ScanEncodings, Iso2022JpIsDecodedBeforeItsTagsAreRead) {
    TestFiles files;
    // 日本 in ISO-2022-JP is ESC $ B "F|K\" ESC ( B; ">" and "<" appear as bytes of 仮 and 夢.
    files.Write("index.htm", "<meta charset=iso-2022-jp><title>\x1B$BF|K\\2>L4\x1B(B</title>");
    ScanRun run = Scan(FileScan(files));
    EXPECT_EQ(run.problems, Lines{});
    EXPECT_EQ(Body(run), (Lines{"5;1;1;index.htm;日本仮夢;;0;;", "7;&1;&1;&1;;"}));
}
