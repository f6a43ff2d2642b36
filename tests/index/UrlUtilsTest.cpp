#include "index/UrlUtils.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>

using namespace tamblin;

TEST(IsAbsoluteUrl, SchemeOrDriveOfLettersOnly) {
    EXPECT_EQ(IsAbsoluteUrl("http://x"), 4u);
    EXPECT_EQ(IsAbsoluteUrl("C:\\web"), 1u);
    EXPECT_EQ(IsAbsoluteUrl("index.htm#a:b"), 0u);
    EXPECT_EQ(IsAbsoluteUrl(":x"), 0u);
    EXPECT_EQ(IsAbsoluteUrl("h2:x"), 0u);
    EXPECT_EQ(IsAbsoluteUrl("abc"), 0u);
    EXPECT_EQ(IsAbsoluteUrl(""), 0u);
}

TEST(NormalizeUrlPath, FoldsDotAndParentSegments) {
    struct Case {
        const char* in;
        const char* out;
    };
    for (Case c : {Case{"a/./b/../c", "a/c"}, Case{"./x/../y", "y"}, Case{"../../x", "../../x"},
                   Case{"a/../../x", "../x"}, Case{"docs/a/../b", "docs/b"}, Case{"/../x", "x"},
                   Case{"a/././b", "a/b"}, Case{"http://h/a/../b", "http://h/b"},
                   Case{"a/b/c/../../d", "a/d"}, Case{"plain.htm", "plain.htm"}}) {
        std::string text = c.in;
        NormalizeUrlPath(text);
        EXPECT_EQ(text, c.out) << c.in;
    }
}

TEST(SplitPath, DirectoryKeepsItsSeparator) {
    PathParts parts = SplitPath("C:\\web\\start.htm", '\\');
    EXPECT_EQ(parts.directory, "C:\\web\\");
    EXPECT_EQ(parts.fileName, "start.htm");
    parts = SplitPath("start.htm");
    EXPECT_EQ(parts.directory, "");
    EXPECT_EQ(parts.fileName, "start.htm");
    parts = SplitPath("/srv/site/");
    EXPECT_EQ(parts.directory, "/srv/site/");
    EXPECT_EQ(parts.fileName, "");
}

TEST(FileExists, OnlyReadableFiles) {
    auto dir = std::filesystem::temp_directory_path() / "tamblin-fileexists";
    std::filesystem::create_directories(dir);
    std::ofstream((dir / "a.txt").string()) << "x";
    EXPECT_TRUE(FileExists((dir / "a.txt").string()));
    EXPECT_FALSE(FileExists((dir / "missing.txt").string()));
    EXPECT_FALSE(FileExists(dir.string()));
    std::filesystem::remove_all(dir);
}
