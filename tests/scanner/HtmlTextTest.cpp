#include "scanner/HtmlText.h"
#include "scanner/CharacterSet.h"
#include "scanner/HtmlEntityTable.h"
#include "scanner/MemoryInput.h"
#include "scanner/RobotsTxt.h"
#include "scanner/TagReader.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

using namespace tamblin;

namespace {

std::string Utf8(std::string_view text) {
    return HtmlText::Decode(text, CharacterSet::kUtf8, false);
}

class Recorder final : public TagHandler {
public:
    int OnTag(const std::string& name) override {
        events.push_back("tag " + name);
        return name == "a" ? kCollectText : kPlainText;
    }
    void OnTagEnd() override {}
    void OnAttribute(const std::string& name, const std::string& value) override {
        events.push_back("attr " + name + "=" + value);
    }
    void OnCollectedText(const std::string& text) override { events.push_back("text " + text); }
    void OnText(const std::string& text) override { events.push_back("plain " + text); }
    std::vector<std::string> events;
};

std::vector<std::string> Read(const std::string& page, bool skip) {
    MemoryInput input(page);
    Recorder recorder;
    TagReader reader(&input, recorder, nullptr, nullptr);
    reader.SetSkipScriptAndStyle(skip);
    reader.Run();
    return recorder.events;
}

} // namespace

TEST(HtmlText, NamedReferencesAsTheStandardLists) {
    EXPECT_EQ(kHtmlEntityCount, 2231u);
    for (size_t i = 1; i < kHtmlEntityCount; ++i) {
        ASSERT_LT(std::strcmp(kHtmlEntities[i - 1].name, kHtmlEntities[i].name), 0);
    }
    EXPECT_EQ(Utf8("a &mdash; b"), "a \xE2\x80\x94 b");
    EXPECT_EQ(Utf8("caf&eacute;"), "caf\xC3\xA9");
    // Two characters, and a name that is only known with its semicolon.
    EXPECT_EQ(Utf8("&NotEqualTilde;"), "\xE2\x89\x82\xCC\xB8");
    EXPECT_EQ(Utf8("&zwj;"), "\xE2\x80\x8D");
    // Legacy names stand without ";", the longest known prefix wins, unknown ones stay.
    EXPECT_EQ(Utf8("&copy 2026 &notit; &amp"), "\xC2\xA9 2026 \xC2\xACit; &");
    EXPECT_EQ(Utf8("&nosuch; & &;"), "&nosuch; & &;");
}

TEST(HtmlText, NumericReferencesFollowTheBrowserRules) {
    EXPECT_EQ(Utf8("&#8212;&#x2014;&#X2014"), "\xE2\x80\x94\xE2\x80\x94\xE2\x80\x94");
    EXPECT_EQ(Utf8("&#150;&#x80;"), "\xE2\x80\x93\xE2\x82\xAC"); // Windows-1252 there
    const std::string replacement = "\xEF\xBF\xBD";
    EXPECT_EQ(Utf8("&#0;"), replacement);
    EXPECT_EQ(Utf8("&#xD800;"), replacement);
    EXPECT_EQ(Utf8("&#x110000;"), replacement);
    EXPECT_EQ(Utf8("&#99999999999999999999999;"), replacement);
    EXPECT_EQ(Utf8("&#x1F600;"), "\xF0\x9F\x98\x80");
    EXPECT_EQ(Utf8("&#; &#x;"), "&#; &#x;");
}

TEST(HtmlText, AttributesKeepQueriesThatLookLikeLegacyNames) {
    EXPECT_EQ(HtmlText::Decode("p.php?a=1&copy=2&amp;b=3", CharacterSet::kUtf8, true),
              "p.php?a=1&copy=2&b=3");
    EXPECT_EQ(HtmlText::Decode("&copy=2", CharacterSet::kUtf8, false), "\xC2\xA9=2");
}

TEST(HtmlText, FieldsHoldNoControlByteSemicolonOrLineBreak) {
    EXPECT_EQ(HtmlText::ForField(Utf8("  a&#20;b;c&#10;d&#59;e&nbsp; ")), "a bc de");
    EXPECT_EQ(HtmlText::ForField("\t\x01"), "");
}

TEST(CharacterSet, LabelsAndConversions) {
    EXPECT_EQ(CharacterSet::FromLabel(" \"UTF-8\" "), CharacterSet::kUtf8);
    EXPECT_EQ(CharacterSet::FromLabel("ISO-8859-1"), CharacterSet::kWindows1252);
    EXPECT_EQ(CharacterSet::FromLabel("latin9"), CharacterSet::kLatin9);
    EXPECT_EQ(CharacterSet::FromLabel("shift_jis"), CharacterSet::kUnknown);
    EXPECT_EQ(CharacterSet::LabelOfContentType("text/html; Charset=\"ISO-8859-15\""),
              "iso-8859-15");
    EXPECT_EQ(CharacterSet::LabelOfContentType("text/html"), "");

    EXPECT_EQ(CharacterSet::ToUtf8("\xE9\x80\xA4", CharacterSet::kWindows1252),
              "\xC3\xA9\xE2\x82\xAC\xC2\xA4");
    EXPECT_EQ(CharacterSet::ToUtf8("\xA4", CharacterSet::kLatin9), "\xE2\x82\xAC");
    EXPECT_EQ(CharacterSet::ToUtf8("a\xFF", CharacterSet::kUtf8), "a\xEF\xBF\xBD");
    EXPECT_EQ(CharacterSet::FromUtf8("\xC3\xA9\xE2\x82\xAC\xE2\x80\x94\xE6\x97\xA5",
                                     CharacterSet::kWindows1252),
              "\xE9\x80\x97?");
    EXPECT_EQ(CharacterSet::FromUtf8("\xE2\x82\xAC\xC2\xA4", CharacterSet::kLatin9), "\xA4?");

    EXPECT_TRUE(CharacterSet::IsUtf8("plain \xC3\xA9 \xEF\xBF\xBD"));
    EXPECT_FALSE(CharacterSet::IsUtf8("caf\xE9"));
    EXPECT_FALSE(CharacterSet::IsUtf8("\xC0\xAF"));     // overlong
    EXPECT_FALSE(CharacterSet::IsUtf8("\xED\xA0\x80")); // surrogate
    EXPECT_EQ(CharacterSet::Utf16ToUtf8(std::string("A\0=\xD8\x00\xDE", 6), false),
              "A\xF0\x9F\x98\x80");
}

TEST(TagReaderScriptAndStyle, TheirTextIsNoMarkup) {
    std::string page = "<script>if (a<b) document.write(\"<a href='#n\" + n + \"'>\");</SCRIPT >"
                       "<style>p < q {}</style><a href=x.htm>X</a>";
    std::vector<std::string> skipped = Read(page, true);
    EXPECT_EQ(skipped,
              (std::vector<std::string>{"tag script", "tag /script", "tag style", "tag /style",
                                        "tag a", "attr href=x.htm", "tag /a", "text X"}));
    // Read the old way, the script's link is markup.
    std::vector<std::string> classic = Read(page, false);
    EXPECT_NE(classic, skipped);
    // An unclosed script swallows the rest, as in a browser.
    EXPECT_EQ(Read("<script><a href=y.htm>", true), (std::vector<std::string>{"tag script"}));
}

TEST(RobotsTxt, GroupsLongestMatchWildcardsAndEnd) {
    RobotsTxt robots("User-agent: *\n"
                     "Disallow: /\n"
                     "\n"
                     "User-agent: other\n"
                     "User-agent: tamblin # us\n"
                     "Disallow: /private/\n"
                     "Allow: /private/open\n"
                     "Disallow: /*.php$\n"
                     "Disallow: /tmp*/x\n",
                     "Tamblin/1.1.18");
    EXPECT_TRUE(robots.Allows("/index.html"));
    EXPECT_FALSE(robots.Allows("/private/a.html"));
    EXPECT_TRUE(robots.Allows("/private/open.html"));
    EXPECT_FALSE(robots.Allows("/a/b.php"));
    EXPECT_TRUE(robots.Allows("/a/b.php?x=1"));
    EXPECT_FALSE(robots.Allows("/tmp/1/x"));
    EXPECT_TRUE(robots.Allows("/tmp/1/y"));

    RobotsTxt anyone("User-agent: *\nDisallow: /cgi-bin/\nDisallow:\n", "Tamblin/1.1.18");
    EXPECT_FALSE(anyone.Allows("/cgi-bin/x"));
    EXPECT_TRUE(anyone.Allows("/"));
    EXPECT_TRUE(RobotsTxt("garbage\n\x01\xFF:::", "Tamblin/1").Allows("/x"));
    // A tie between Allow and Disallow allows.
    EXPECT_TRUE(RobotsTxt("User-agent: *\nDisallow: /a\nAllow: /a\n", "T/1").Allows("/a"));
}
