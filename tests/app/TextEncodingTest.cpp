#include "app/TextEncoding.h"
#include "index/IndexFile.h"

#include <gtest/gtest.h>

using namespace tamblin;

TEST(TextEncoding, EveryWindows1252ByteSurvivesTheRoundTrip) {
    std::string all;
    for (int b = 1; b < 256; ++b) {
        all += static_cast<char>(b);
    }
    bool exact = false;
    EXPECT_EQ(Utf8ToWindows1252(Windows1252ToUtf8(all), &exact), all);
    EXPECT_TRUE(exact);
    EXPECT_EQ(Windows1252ToUtf8("Caf\xe9 \x80"), "Caf\xc3\xa9 \xe2\x82\xac");
}

TEST(TextEncoding, CharactersOutsideTheCodePageBecomeQuestionMarks) {
    bool exact = true;
    EXPECT_EQ(Utf8ToWindows1252("a\xe2\x86\x92"
                                "b",
                                &exact),
              "a?b");
    EXPECT_FALSE(exact);
}

TEST(TextEncoding, OneInvalidTextAnywhereMakesTheFileWindows1252) {
    IndexFile index;
    index.m_description = "Caf\xc3\xa9";
    EXPECT_EQ(DetectEncoding(index), TextEncoding::Utf8);
    auto entry = std::make_unique<IndexEntry>();
    auto child = std::make_unique<IndexEntry>();
    child->m_keywords.emplace_back(child.get(), "r\xe9sum\xe9", "", "", "", 0);
    entry->AppendChild(std::move(child));
    index.m_root.AppendChild(std::move(entry));
    EXPECT_EQ(DetectEncoding(index), TextEncoding::Windows1252);
}
