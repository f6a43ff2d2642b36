#include "contents/RelativePath.h"
#include "contents/FormatText.h"

#include <gtest/gtest.h>

using namespace tamblin;

TEST(RelativePathTest, DrivePathsClimbToTheCommonDirectory) {
    EXPECT_EQ(RelativePath("C:\\site\\docs\\", "C:\\site\\img\\", '\\'), "../img/");
    EXPECT_EQ(RelativePath("C:\\site\\", "C:\\site\\img\\", '\\'), "img/");
    EXPECT_EQ(RelativePath("C:\\site\\docs\\", "C:\\site\\", '\\'), "../");
    // A common prefix that ends inside a name does not count as a common directory.
    EXPECT_EQ(RelativePath("C:\\ab\\", "C:\\abc\\", '\\'), "../abc/");
    EXPECT_EQ(RelativePath("C:\\site\\", "C:\\site\\", '\\'), "");
}

TEST(RelativePathTest, AnotherDriveGivesAFileUrl) {
    EXPECT_EQ(RelativePath("C:\\site\\docs\\", "D:\\x\\", '\\'), "file:///D|/x/");
    EXPECT_EQ(RelativePath("C:\\site\\", "D:\\pages\\", '\\'), "file:///D|/pages/");
    // Drive letters compare case-sensitively.
    EXPECT_EQ(RelativePath("c:\\a\\", "C:\\a\\b\\", '\\'), "file:///C|/a/b/");
}

TEST(RelativePathTest, PathsThatAreNotFullGiveNothing) {
    EXPECT_EQ(RelativePath("site\\", "C:\\site\\", '\\'), "");
    EXPECT_EQ(RelativePath("C:\\site\\", "C:", '\\'), "");
    EXPECT_EQ(RelativePath("C:/site/", "C:/x/", '\\'), "");
    EXPECT_EQ(RelativePath("site/", "/x/", '/'), "");
    EXPECT_EQ(RelativePath("", "", '/'), "");
}

TEST(RelativePathTest, SlashPathsFollowTheSameRules) {
    EXPECT_EQ(RelativePath("/site/docs/", "/site/img/", '/'), "../img/");
    EXPECT_EQ(RelativePath("/site/docs/deep/", "/other/", '/'), "../../../other/");
    EXPECT_EQ(RelativePath("/", "/a/b/", '/'), "a/b/");
    EXPECT_EQ(RelativePath("/a/", "/", '/'), "../");
}

TEST(FormatTextTest, EachMajorNumberReadsItsOwnWay) {
    EXPECT_EQ(FormatText(-1, 3, 4), "");
    EXPECT_EQ(FormatText(0, 3, 4), "0");
    EXPECT_EQ(FormatText(1, 18, 4), "1.18");
    EXPECT_EQ(FormatText(2, 1, 1), "2.1 coding 1");
}
