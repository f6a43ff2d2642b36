#include "helpviewer/TopicMap.h"

#include "TestFiles.h"

#include <gtest/gtest.h>

using namespace tamblin;

TEST(TopicMapTest, ReadsHAndALinesWithCNotationIds) {
    TopicMap map;
    map.ReadLine("HIDR_MAINFRAME 0x20080");
    map.ReadLine("AFX_HIDP_DEFAULT 0x30000");
    map.ReadLine("HIDD_OPTIONS   0X2008A\r");
    map.ReadLine("HID_OCTAL 010");
    map.ReadLine("HID_DECIMAL 65537");
    ASSERT_TRUE(map.NameFor(0x20080));
    EXPECT_EQ(*map.NameFor(0x20080), "IDR_MAINFRAME");
    EXPECT_EQ(*map.NameFor(0x30000), "AFX_HIDP_DEFAULT");
    EXPECT_EQ(*map.NameFor(0x2008A), "IDD_OPTIONS");
    EXPECT_EQ(*map.NameFor(8), "ID_OCTAL");
    EXPECT_EQ(*map.NameFor(65537), "ID_DECIMAL");
}

TEST(TopicMapTest, SkipsLinesThatAreNotEntries) {
    TopicMap map;
    map.ReadLine("#define HID_X 0x10001");
    map.ReadLine("");
    map.ReadLine("hID_LOWER 0x10002");
    map.ReadLine("HID_NOID");
    map.ReadLine("HID_ZERO 0");
    map.ReadLine("HID_JUNK zz");
    // Tabs do not separate words, so the name swallows the id.
    map.ReadLine("HID_TAB\t0x10003");
    EXPECT_EQ(map.Size(), 0u);
}

TEST(TopicMapTest, ALaterEntryReplacesAndNamesAreFoundWithoutCase) {
    TopicMap map;
    map.ReadLine("HID_A 0x10005");
    map.ReadLine("HID_B 0x10005");
    map.ReadLine("HID_B 0x10009");
    EXPECT_EQ(*map.NameFor(0x10005), "ID_B");
    EXPECT_EQ(map.IdFor("id_b"), 0x10005u);
    EXPECT_FALSE(map.IdFor("ID_A"));
    map.Add(0x10001, "ID_B");
    EXPECT_EQ(map.IdFor("ID_B"), 0x10001u);
    map.Clear();
    EXPECT_FALSE(map.IdFor("ID_B"));
}

TEST(TopicMapTest, LoadsAFileAndPassesOverAMissingOne) {
    TestFiles files;
    std::string path = files.Write("t.HM", "HIDR_MAINFRAME 0x20080\r\nHIDD_ABOUTBOX 0x20064\r\n");
    TopicMap map;
    EXPECT_TRUE(map.Load(path));
    EXPECT_EQ(map.Size(), 2u);
    EXPECT_FALSE(map.Load(files.Path("missing.HM")));
    EXPECT_EQ(map.Size(), 2u);
}

TEST(TopicMapTest, CNumbersStopAtTheFirstForeignDigit) {
    EXPECT_EQ(ParseCNumber("0x1fz"), 0x1Fu);
    EXPECT_EQ(ParseCNumber("019"), 1u);
    EXPECT_EQ(ParseCNumber("12ab"), 12u);
    EXPECT_EQ(ParseCNumber("0x"), 0u);
    EXPECT_EQ(ParseCNumber(""), 0u);
}
