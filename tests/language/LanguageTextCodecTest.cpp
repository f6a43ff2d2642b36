#include "language/ui/LanguageTextCodec.h"

#include <gtest/gtest.h>

using namespace tamblin;

TEST(LanguageTextCodec, ChoosesUtf8OnlyWhenEveryTextIsValidUtf8) {
    EXPECT_TRUE(LanguageTextCodec::ForTexts({"plain", "Fran\xc3\xa7"
                                                      "ais"})
                    .IsUtf8());
    EXPECT_FALSE(LanguageTextCodec::ForTexts({"Fran\xc3\xa7"
                                              "ais",
                                              "Fran\xe7"
                                              "ais"})
                     .IsUtf8());
    EXPECT_TRUE(LanguageTextCodec::ForTexts({}).IsUtf8());
}

TEST(LanguageTextCodec, EveryWindows1252ByteReadsAndWritesBackAsItself) {
    LanguageTextCodec codec = LanguageTextCodec::ForTexts({"\xff"});
    std::string all;
    for (int byte = 1; byte < 256; ++byte) {
        all += static_cast<char>(byte);
    }
    QString shown = codec.Decode(all);
    EXPECT_EQ(shown.size(), 255);
    EXPECT_EQ(shown[0x80 - 1], QChar(0x20AC));
    EXPECT_EQ(shown[0x97 - 1], QChar(0x2014));
    EXPECT_EQ(shown[0xE9 - 1], QChar(0xE9));
    EXPECT_EQ(codec.Encode(shown), all);
}

TEST(LanguageTextCodec, UnencodableCharactersBecomeOneQuestionMark) {
    LanguageTextCodec codec = LanguageTextCodec::ForTexts({"\xff"});
    EXPECT_EQ(codec.Encode(QStringLiteral("a\u4e2db\U0001F600c")), "a?b?c");
}

TEST(LanguageTextCodec, KeepReturnsTheOriginalBytesOfAnUnchangedText) {
    LanguageTextCodec utf8 = LanguageTextCodec::ForTexts({"x"});
    // Invalid bytes in a text shown as UTF-8 would not survive a decode and encode.
    std::string odd = "a\xff";
    EXPECT_EQ(utf8.Keep(utf8.Decode(odd), odd), odd);
    EXPECT_EQ(utf8.Keep(QStringLiteral("\u00e9"), odd), "\xc3\xa9");
}
