#include "scanner/WebDecoder.h"
#include "scanner/WebEncoding.h"

#include "NodeReference.h"

#include <gtest/gtest.h>

#include <random>

using namespace tamblin;

namespace {

std::string Hex(std::string_view bytes) {
    static const char kDigits[] = "0123456789abcdef";
    std::string out;
    for (unsigned char c : bytes) {
        out += kDigits[c >> 4];
        out += kDigits[c & 15];
    }
    return out;
}

struct Case {
    WebEncoding::Kind kind;
    std::string bytes;
};

// Where the browser's decoder departs from the standard, and so from this one: Big5's four
// letters with a combining mark, EUC-JP after a broken JIS X 0212 sequence (it stays in JIS
// X 0212), and ISO-2022-JP after a broken escape (it drops a byte above ASCII). The
// standard's reading of these is held below.
bool BrowserDeparts(const Case& c) {
    const std::string& b = c.bytes;
    switch (c.kind) {
    case WebEncoding::kBig5:
        for (const char* pair : {"\x88\x62", "\x88\x64", "\x88\xA3", "\x88\xA5"}) {
            if (b.find(pair) != std::string::npos) {
                return true;
            }
        }
        return false;
    case WebEncoding::kEucJp:
        return b.find('\x8F') != std::string::npos && b.size() > 3;
    case WebEncoding::kIso2022Jp:
        for (size_t i = 0; i + 1 < b.size(); ++i) {
            if (b[i] == 0x1B &&
                (static_cast<unsigned char>(b[i + 1]) >= 0x80 ||
                 (i + 2 < b.size() && static_cast<unsigned char>(b[i + 2]) >= 0x80))) {
                return true;
            }
        }
        return false;
    default:
        return false;
    }
}

// Byte sequences of every class a decoder tells apart: every byte alone, every lead with
// every trail, leads cut off at the end or followed by ASCII, four-byte gb18030, escapes
// of ISO-2022-JP, surrogates of UTF-16, and random mixtures of the bytes that matter.
std::vector<Case> Cases() {
    std::vector<Case> cases;
    std::mt19937 random(27);
    const std::string interesting = std::string("\x1B\x24\x28\x40\x42\x4A\x49\x21\x7E\x5C\x0E\x0F"
                                                "\x30\x39\x41\x7F\x80\x81\x8E\x8F\xA0\xA1\xC8\xDF"
                                                "\xE0\xEF\xFC\xFE\xFF\xD8\xDC\x00\x0A\x3C",
                                                34);
    for (int k = 0; k <= WebEncoding::kUserDefined; ++k) {
        auto kind = static_cast<WebEncoding::Kind>(k);
        // A browser's TextDecoder refuses the replacement encoding; its own test holds it.
        if (kind == WebEncoding::kReplacement) {
            continue;
        }
        std::string all;
        for (int b = 0; b < 256; ++b) {
            all += static_cast<char>(b);
            cases.push_back({kind, std::string(1, static_cast<char>(b))});
        }
        cases.push_back({kind, all});
        if (WebEncoding::IsSingleByte(kind)) {
            continue;
        }
        for (int lead = 0x80; lead < 0x100; ++lead) {
            for (int trail = 0; trail < 256; ++trail) {
                Case pair{kind, {static_cast<char>(lead), static_cast<char>(trail)}};
                if (!BrowserDeparts(pair)) {
                    cases.push_back(pair);
                }
            }
        }
        for (int n = 0; n < 4000; ++n) {
            std::string bytes;
            size_t length = 1 + random() % 9;
            for (size_t i = 0; i < length; ++i) {
                bytes += random() % 3 == 0 ? static_cast<char>(random() % 256)
                                           : interesting[random() % interesting.size()];
            }
            if (!BrowserDeparts({kind, bytes})) {
                cases.push_back({kind, bytes});
            }
        }
    }
    for (int first : {0x81, 0x82, 0x84, 0x85, 0x8F, 0x90, 0xE3, 0xE4, 0xFD, 0xFE}) {
        for (int second = 0x2F; second <= 0x3A; ++second) {
            for (int third = 0x80; third < 0x100; third += 7) {
                for (int fourth = 0x2F; fourth <= 0x3A; ++fourth) {
                    cases.push_back({WebEncoding::kGb18030,
                                     {static_cast<char>(first), static_cast<char>(second),
                                      static_cast<char>(third), static_cast<char>(fourth)}});
                }
            }
        }
    }
    return cases;
}

// A browser's TextDecoder over every case, as hex of UTF-8; empty when it cannot be run.
std::vector<std::string> Reference(const std::vector<Case>& cases) {
    std::string input;
    for (const Case& c : cases) {
        input += std::string(WebEncoding::Name(c.kind)) + ' ' + Hex(c.bytes) + '\n';
    }
    return NodeReferenceLines(TAMBLIN_TESTS_DIR "/decode_reference.js", input);
}

} // namespace

TEST(WebDecoder, SameAsTheBrowsersTextDecoderOnEveryByteClass) {
    std::vector<Case> cases = Cases();
    std::vector<std::string> expected = Reference(cases);
    ASSERT_EQ(expected.size(), cases.size()) << "node and chromium could not be run";
    int failures = 0;
    for (size_t i = 0; i < cases.size() && failures < 20; ++i) {
        std::string got = Hex(WebDecoder::DecodeAll(cases[i].bytes, cases[i].kind));
        if (got != expected[i]) {
            ++failures;
            ADD_FAILURE() << WebEncoding::Name(cases[i].kind) << " "
                          << Hex(cases[i].bytes).substr(0, 64) << ": " << got.substr(0, 64)
                          << ", TextDecoder " << expected[i].substr(0, 64);
        }
    }
}

TEST(WebDecoder, TheStandardWhereTheBrowserDeparts) {
    EXPECT_EQ(WebDecoder::DecodeAll("\x88\x62\x88\xA5", WebEncoding::kBig5), "Ê̄ê̌");
    // The flag of JIS X 0212 ends with its sequence, broken or not: 美 is JIS X 0208.
    EXPECT_EQ(WebDecoder::DecodeAll("\x8F\xCB\x80\xC8\xFE", WebEncoding::kEucJp), "\uFFFD美");
    // A broken escape gives back both its bytes, and a byte above ASCII is an error.
    EXPECT_EQ(WebDecoder::DecodeAll("\x1B(\xBC", WebEncoding::kIso2022Jp), "\uFFFD(\uFFFD");
}

TEST(WebDecoder, StreamsASequenceCutBetweenTwoCalls) {
    // 모듈 in EUC-KR, 日本 in ISO-2022-JP, cut at every byte.
    for (auto [kind, bytes, text] :
         {std::tuple{WebEncoding::kEucKr, std::string("\xB8\xF0\xB5\xE2"), "모듈"},
          std::tuple{WebEncoding::kIso2022Jp, std::string("\x1B$BF|K\\\x1B(B!"), "日本!"},
          std::tuple{WebEncoding::kUtf16Le, std::string("=\xD8\x00\xDE", 4), "😀"}}) {
        for (size_t cut = 0; cut <= bytes.size(); ++cut) {
            WebDecoder decoder(kind);
            std::string out;
            decoder.Decode(std::string_view(bytes).substr(0, cut), false, out);
            decoder.Decode(std::string_view(bytes).substr(cut), true, out);
            EXPECT_EQ(out, text) << WebEncoding::Name(kind) << " cut at " << cut;
        }
    }
}

TEST(WebDecoder, ReplacementUserDefinedAndLatin10) {
    EXPECT_EQ(WebDecoder::DecodeAll("", WebEncoding::kReplacement), "");
    EXPECT_EQ(WebDecoder::DecodeAll("\x1B$)Cabc", WebEncoding::kReplacement), "\xEF\xBF\xBD");
    EXPECT_EQ(WebDecoder::DecodeAll("a\x80\xFF", WebEncoding::kUserDefined),
              "a\xEF\x9E\x80\xEF\x9F\xBF");
    auto latin10 = WebEncoding::FromLabel("iso-8859-16");
    ASSERT_TRUE(latin10);
    EXPECT_EQ(WebDecoder::DecodeAll("\xA4\xAA\xFE", *latin10), "€Șț");
}

TEST(WebEncoding, LabelsAsBrowsersMatchThem) {
    EXPECT_EQ(WebEncoding::FromLabel(" \tEUC-KR\r\n"), WebEncoding::kEucKr);
    EXPECT_EQ(WebEncoding::FromLabel("ks_c_5601-1987"), WebEncoding::kEucKr);
    EXPECT_EQ(WebEncoding::FromLabel("x-sjis"), WebEncoding::kShiftJis);
    EXPECT_EQ(WebEncoding::FromLabel("latin1"), WebEncoding::kWindows1252);
    EXPECT_EQ(WebEncoding::FromLabel("iso-2022-kr"), WebEncoding::kReplacement);
    EXPECT_EQ(WebEncoding::FromLabel("gb2312"), WebEncoding::kGbk);
    EXPECT_FALSE(WebEncoding::FromLabel("utf-7"));
    EXPECT_FALSE(WebEncoding::FromLabel("euc kr"));
    EXPECT_FALSE(WebEncoding::FromLabel(""));
    EXPECT_STREQ(WebEncoding::Name(WebEncoding::kShiftJis), "Shift_JIS");
}
