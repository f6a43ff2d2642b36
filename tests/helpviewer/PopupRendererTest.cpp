#include "helpviewer/PopupRenderer.h"
#include "helpviewer/PopupText.h"

#include "TestFiles.h"
#include "scanner/TagReader.h"

#include <gtest/gtest.h>

using namespace tamblin;

namespace {

class Renderer : public ::testing::Test {
protected:
    void SetUp() override {
        m_map.Add(0x50001, "IDC_ONE");
        m_map.Add(0x50002, "IDC_TWO");
    }

    void Render(const std::string& page) {
        TestFiles files;
        ASSERT_TRUE(
            LoadPopupsPage(files.Write("Popups.htm", page), m_map, m_topics, m_defaults, m_faces));
    }

    // The text runs of a topic joined, formats left out.
    std::string Text(uint32_t id) const {
        const RunList* runs = m_topics.Find(id);
        return runs ? Joined(*runs) : "<none>";
    }
    static std::string Joined(const RunList& runs) {
        std::string text;
        for (const TextRun& run : runs) {
            if (run.kind == TextRun::kText) {
                text += run.text;
            }
        }
        return text;
    }
    std::vector<CharFormat> Formats(uint32_t id) const {
        std::vector<CharFormat> formats;
        for (const TextRun& run : *m_topics.Find(id)) {
            if (run.kind == TextRun::kFormat) {
                formats.push_back(run.format);
            }
        }
        return formats;
    }

    TopicMap m_map;
    PopupTopics m_topics;
    TextDefaults m_defaults;
    std::vector<std::string> m_faces{"arial", "verdana", "courier new"};
};

} // namespace

TEST_F(Renderer, TopicsRunFromANamedAnchorToTheRuleAndNothingOutsideCounts) {
    Render("before <b>x</b><body>loose <a name=IDC_ONE>One</a> first text<hr>dropped"
           "<a name=\"idc_two\"></a>Second<hr><a name=Unknown>lost</a>");
    EXPECT_EQ(Text(0x50001), "One first text");
    EXPECT_EQ(Text(0x50002), "Second");
    EXPECT_EQ(m_topics.topics.size(), 2u);
    EXPECT_FALSE(m_topics.defaultContent);
}

TEST_F(Renderer, TheDefaultTopicAndATopicOpenAtTheEndAreKept) {
    Render("<body><a name=DEFAULT>No help here.</a><hr><a name=IDC_ONE></a>Open to the end");
    ASSERT_TRUE(m_topics.defaultContent);
    EXPECT_EQ(Joined(*m_topics.defaultContent), "No help here.");
    EXPECT_EQ(Text(0x50001), "Open to the end");
}

TEST_F(Renderer, ASecondAnchorGetsOnlyWhatFollowsIt) {
    Render("<body><a name=IDC_ONE>Whole</a> start <a name=IDC_TWO>tail</a> end<hr>");
    EXPECT_EQ(Text(0x50001), "Whole start tail end");
    EXPECT_EQ(Text(0x50002), "tail end");
}

TEST_F(Renderer, ParagraphsListsAndTablesBecomeBreaksAndTabs) {
    Render("<body><a name=IDC_ONE></a>a<p>b<br>c<ul><li>d</ul><table><tr><th>h</th>"
           "<td>e</td></tr></table><hr>");
    EXPECT_EQ(Text(0x50001), "a\n\nb\nc\n\nd\nh\te\t\n");
}

TEST_F(Renderer, HeadingsAreBoldAndSizedAndEndWithTheBaseSize) {
    Render("<body><a name=IDC_ONE></a><h1>Big</h1>text<h7>no</h7><h0><hr>");
    EXPECT_EQ(Text(0x50001), "\nBig\n\ntextno");
    auto formats = Formats(0x50001);
    ASSERT_EQ(formats.size(), 2u);
    EXPECT_EQ(formats[0].mask, kMaskBold | kMaskSize);
    EXPECT_EQ(formats[0].effects, kMaskBold);
    EXPECT_EQ(formats[0].heightTwips, 320);
    EXPECT_EQ(formats[1].effects, 0u);
    EXPECT_EQ(formats[1].heightTwips, 170);
}

TEST_F(Renderer, EffectsSetOnlyTheirOwnMaskBit) {
    Render("<body><a name=IDC_ONE></a><b>bold</b> <i>italic</i><hr>");
    auto formats = Formats(0x50001);
    ASSERT_EQ(formats.size(), 4u);
    EXPECT_EQ(formats[0].mask, kMaskBold);
    EXPECT_EQ(formats[0].effects, kMaskBold);
    EXPECT_EQ(formats[1].mask, kMaskBold);
    EXPECT_EQ(formats[1].effects, 0u);
    EXPECT_EQ(formats[2].mask, kMaskItalic);
}

TEST_F(Renderer, FontTagsSetOnlyWhatTheyGiveAndCloseToTheDefaults) {
    Render("<body text=navy><basefont size=3 face=\"Nope, Verdana\"><a name=IDC_ONE></a>"
           "<font face=\"Missing\" size=+1 color=#FF0000>x</font><font>y</font><code>c</code>"
           "<hr>");
    EXPECT_EQ(m_defaults.textColor, MakeRgb(0, 0, 132));
    EXPECT_EQ(m_defaults.baseFontSize, 3);
    EXPECT_EQ(m_defaults.face, "Verdana");
    auto formats = Formats(0x50001);
    ASSERT_EQ(formats.size(), 6u);
    EXPECT_EQ(formats[0].mask, kMaskSize | kMaskColor);
    EXPECT_EQ(formats[0].heightTwips, 140);
    EXPECT_EQ(formats[0].color, MakeRgb(255, 0, 0));
    EXPECT_EQ(formats[1].mask, kMaskFace | kMaskSize | kMaskColor);
    EXPECT_EQ(formats[1].face, "Verdana");
    EXPECT_EQ(formats[1].heightTwips, 200);
    EXPECT_EQ(formats[2].mask, 0u);
    EXPECT_EQ(formats[4].face, "Courier New");
    EXPECT_EQ(formats[5].face, "Verdana");
}

TEST_F(Renderer, SpacesFoldAcrossRunsAndReferencesDecode) {
    Render("<body><a name=IDC_ONE></a>A &amp; B;<b> </b>&shy; cut&#0;gone<hr>");
    EXPECT_EQ(Text(0x50001), "A & B; - cut");
}

TEST_F(Renderer, AMissingPageAddsNothing) {
    EXPECT_FALSE(LoadPopupsPage("/nonexistent/Popups.htm", m_map, m_topics, m_defaults, m_faces));
    EXPECT_TRUE(m_topics.topics.empty());
}

TEST(PopupTextTest, ColoursAreSevenCharacterHexOrNames) {
    EXPECT_EQ(ParseHtmlColor("#FF8000"), MakeRgb(255, 128, 0));
    EXPECT_FALSE(ParseHtmlColor("#FFF"));
    EXPECT_FALSE(ParseHtmlColor("#GG0000"));
    EXPECT_EQ(ParseHtmlColor("Silver"), MakeRgb(198, 198, 198));
    EXPECT_EQ(ParseHtmlColor("fuchsia"), MakeRgb(255, 0, 255));
    EXPECT_FALSE(ParseHtmlColor("orange"));
}

TEST(PopupTextTest, SizesAndFaces) {
    EXPECT_EQ(FontSizeToTwips(1), 140);
    EXPECT_EQ(FontSizeToTwips(2), 170);
    EXPECT_EQ(FontSizeToTwips(9), 320);
    EXPECT_EQ(FontSizeToTwips(-3), 140);
    EXPECT_EQ(ParseSizeText("+1"), 1);
    EXPECT_FALSE(ParseSizeText("big"));
    std::vector<std::string> faces{"arial"};
    EXPECT_EQ(ParseFaceList("Verdana, Arial", faces), "Arial");
    faces.push_back("verdana");
    EXPECT_EQ(ParseFaceList("Verdana, Arial", faces), "Verdana");
    EXPECT_FALSE(ParseFaceList("Nope,Other", faces));
}

TEST(PopupTextTest, ReferencesDifferFromTheScannersDecoder) {
    EXPECT_EQ(DecodePopupText("a &amp; b"), "a & b");
    EXPECT_EQ(DecodePopupText("x;y"), "x;y");
    EXPECT_EQ(DecodePopupText("co&shy;op"), "co-op");
    EXPECT_EQ(DecodePopupText("keep&#0;cut"), "keep");
    EXPECT_EQ(DecodePopupText("a&;b"), "a");
    EXPECT_EQ(DecodePopupText("&#65;&#x;&eacute;&copy;"), std::string("A e\xA9"));
    EXPECT_EQ(DecodePopupText("open &amp"), "open ");
}
