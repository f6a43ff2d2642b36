#include "index/IndexJson.h"
#include "index/ByteDecoding.h"
#include "index/IndexFile.h"
#include "index/JsonWriter.h"

#include <gtest/gtest.h>

#include <sstream>

using namespace tamblin;

namespace {

std::string Decode(std::string_view bytes, ByteEncoding encoding = ByteEncoding::Detect) {
    return DecodeToUtf8(bytes, encoding);
}

std::string Escaped(std::string_view text) {
    std::string out;
    JsonWriter::AppendEscaped(out, text);
    return out;
}

std::string Json(std::string_view fileText) {
    IndexFile index;
    index.LoadBytes(fileText, "t.xo");
    std::ostringstream out;
    EXPECT_TRUE(WriteIndexJson(index, out));
    return out.str();
}

} // namespace

TEST(ByteDecoding, DetectKeepsUtf8AndFallsBackToWindows1252ForTheWholeFile) {
    EXPECT_EQ(Decode("caf\xC3\xA9 \xF0\x9F\x98\x80"), "caf\xC3\xA9 \xF0\x9F\x98\x80");
    EXPECT_EQ(Decode("\xEF\xBB\xBFXO0"), "XO0"); // the byte-order mark is not text
    // One byte that is not UTF-8 makes every byte a Windows-1252 character, the valid
    // sequence included, as a browser falls back for the whole file.
    EXPECT_EQ(Decode("\xC3\xA9 \x80 \xE9"), "\xC3\x83\xC2\xA9 \xE2\x82\xAC \xC3\xA9");
    // The five bytes the code page leaves out are C1 controls of the same value.
    EXPECT_EQ(Decode("\x81\x8D\x8F\x90\x9D"), "\xC2\x81\xC2\x8D\xC2\x8F\xC2\x90\xC2\x9D");
    EXPECT_EQ(Decode("\x9F\xFF"), "\xC5\xB8\xC3\xBF");
}

TEST(ByteDecoding, StrictUtf8RefusesOverlongSurrogatesAndTooLarge) {
    EXPECT_TRUE(IsValidUtf8("\xEF\xBF\xBF\xF4\x8F\xBF\xBF", Utf8Rule::Strict));
    for (std::string_view bad :
         {"\xC0\xAF", "\xC1\xBF", "\xE0\x80\xAF", "\xED\xA0\x80", "\xF0\x80\x80\xAF",
          "\xF4\x90\x80\x80", "\xF5\x80\x80\x80", "\x80", "\xC3", "\xE2\x82"}) {
        EXPECT_FALSE(IsValidUtf8(bad, Utf8Rule::Strict)) << bad.size();
    }
}

TEST(ByteDecoding, NamedEncodings) {
    // As UTF-8, each broken sequence becomes one U+FFFD, counted as browsers count them.
    const std::string fffd = "\xEF\xBF\xBD";
    EXPECT_EQ(Decode("\xEF\xBB\xBF"
                     "a\xE0\x80z\xF0\x9F\x98",
                     ByteEncoding::Utf8),
              "a" + fffd + fffd + "z" + fffd);
    EXPECT_EQ(Decode("\xC3\xA9", ByteEncoding::Windows1252), "\xC3\x83\xC2\xA9");
    // UTF-16: the mark decides the order, big-endian without one; broken halves are U+FFFD.
    EXPECT_EQ(Decode(std::string_view("\xFF\xFE"
                                      "A\0\xE9\0",
                                      6),
                     ByteEncoding::Utf16),
              "A\xC3\xA9");
    EXPECT_EQ(Decode(std::string_view("\0A\xD8\x3D\xDE\x00", 6), ByteEncoding::Utf16),
              "A\xF0\x9F\x98\x80");
    EXPECT_EQ(Decode(std::string_view("\xDC\x00\0A\x01", 5), ByteEncoding::Utf16),
              fffd + "A" + fffd);

    ByteEncoding encoding = ByteEncoding::Utf8;
    struct Named {
        const char* name;
        ByteEncoding encoding;
    };
    for (Named named : {Named{"", ByteEncoding::Detect}, Named{"8859_1", ByteEncoding::Windows1252},
                        Named{"dbcs_ascii", ByteEncoding::Windows1252},
                        Named{"UTF8", ByteEncoding::Utf8}, Named{"Unicode", ByteEncoding::Utf16}}) {
        ASSERT_TRUE(EncodingFromName(named.name, encoding)) << named.name;
        EXPECT_EQ(encoding, named.encoding) << named.name;
    }
    EXPECT_FALSE(EncodingFromName("JISAutoDetect", encoding));
    EXPECT_FALSE(EncodingFromName("UTF-8x", encoding));
}

TEST(JsonWriter, EscapesOnlyWhatJsonRequires) {
    EXPECT_EQ(Escaped("a\"b\\c/d"), "\"a\\\"b\\\\c/d\"");
    EXPECT_EQ(Escaped(std::string_view("\0\x01\n\r\t\x1F\x7F", 7)),
              "\"\\u0000\\u0001\\u000a\\u000d\\u0009\\u001f\x7F\"");
    EXPECT_EQ(Escaped("\xC3\xA9\xE2\x80\xA8<x>"), "\"\xC3\xA9\xE2\x80\xA8<x>\"");

    std::ostringstream out;
    {
        JsonWriter json(out);
        json.BeginObject();
        json.Key("a");
        json.BeginArray();
        json.BeginArray();
        json.EndArray();
        json.Number(-1);
        json.Null();
        json.Bool(false);
        json.EndArray();
        json.Key("b");
        json.BeginObject();
        json.EndObject();
        json.EndObject();
    }
    EXPECT_EQ(out.str(), "{\"a\":[[],-1,null,false],\"b\":{}}");
}

TEST(IndexJson, EveryFieldOfTheReadIndex) {
    std::string json = Json("XO0;2;1;1;Tamblin 1.1.18\r\n"
                            "1;My site;December 6 2026\r\n"
                            "6;0;Site tip\r\n"
                            "3;1;docs/;main\r\n"
                            "5;1;1;index.htm;Welcome;;0;home.gif\r\n"
                            "7;&1 page;&1#top;&1 (top);_top\r\n"
                            "5;2;;guide/a.htm;Guide;_blank;1;\r\n"
                            "6;2;Read this first\r\n"
                            "5;3;1;old.htm;Old page;;-1;\r\n"
                            "4;bad\r\n"
                            "7;Search help;search.htm;Search;\r\n");
    EXPECT_EQ(json,
              "{\"description\":\"My site\",\"date\":\"December 6 2026\",\"tip\":\"Site tip\","
              "\"format\":[2,1],\"coding\":1,\"baseUrls\":[{\"id\":1,\"url\":\"docs/\","
              "\"target\":\"main\"}],\"contents\":["
              "{\"id\":1,\"title\":\"Welcome\",\"url\":\"index.htm\",\"baseUrl\":1,"
              "\"fullUrl\":\"docs/index.htm\",\"target\":\"\",\"ownTarget\":false,"
              "\"icon\":\"home.gif\",\"tip\":\"\",\"inContents\":true,\"keywords\":["
              "{\"phrase\":\"Welcome page\",\"anchor\":\"#top\",\"extraTitle\":\" (top)\","
              "\"fullUrl\":\"docs/index.htm#top\",\"fullTitle\":\"Welcome (top)\","
              "\"target\":\"_top\",\"ownTarget\":true}],\"children\":["
              "{\"id\":2,\"title\":\"Guide\",\"url\":\"guide/a.htm\",\"baseUrl\":null,"
              "\"fullUrl\":\"guide/a.htm\",\"target\":\"_blank\",\"ownTarget\":true,"
              "\"icon\":\"\",\"tip\":\"Read this first\",\"inContents\":true,\"keywords\":[],"
              "\"children\":[]}]},"
              "{\"id\":3,\"title\":\"Old page\",\"url\":\"old.htm\",\"baseUrl\":1,"
              "\"fullUrl\":\"docs/old.htm\",\"target\":\"\",\"ownTarget\":false,\"icon\":\"\","
              "\"tip\":\"\",\"inContents\":false,\"keywords\":[],\"children\":[]}],"
              "\"otherKeywords\":[{\"phrase\":\"Search help\",\"url\":\"search.htm\","
              "\"title\":\"Search\",\"target\":\"\"}],\"badLines\":[\"4;bad\"]}");
}

TEST(IndexJson, AChainDeeperThanTheCallStackIsWrittenWhole) {
    constexpr int kDepth = 300000;
    std::string file = "XO0;2;1;1\n";
    for (int id = 1; id <= kDepth; ++id) {
        file += "5;" + std::to_string(id) + ";;p.htm;P;;" + std::to_string(id - 1) + ";\n";
    }
    std::string json = Json(file);
    size_t entries = 0;
    for (size_t at = json.find("{\"id\":"); at != std::string::npos;
         at = json.find("{\"id\":", at + 1)) {
        ++entries;
    }
    EXPECT_EQ(entries, static_cast<size_t>(kDepth));
    std::string closing;
    for (int i = 0; i < kDepth; ++i) {
        closing += "]}";
    }
    std::string tail = "\"children\":[" + closing + "],\"otherKeywords\":[],\"badLines\":[]}";
    ASSERT_GE(json.size(), tail.size());
    EXPECT_EQ(json.substr(json.size() - tail.size()), tail);
}
