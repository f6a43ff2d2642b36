#include "index/CompanionScript.h"
#include "TestFiles.h"
#include "index/IndexFile.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace tamblin;

namespace {

const std::string kIndex = "XO0;2;1;1;Tamblin 1.1.18\r\n1;Site;December 6 2026\r\n"
                           "5;1;;a.htm;A;;0;\r\n";

} // namespace

TEST(CompanionScript, HoldsAnyBytesAsBase64AndGivesThemBack) {
    // Every length's padding, and bytes that would end a string or a script.
    std::string all;
    for (int c = 0; c < 256; ++c) {
        all += static_cast<char>(c);
    }
    for (const std::string& bytes :
         {std::string(), std::string("a"), std::string("ab"), std::string("abc"),
          std::string("\");alert(1);//</script>\xe2\x80\xa8\r\n", 27), all}) {
        std::string script = CompanionScript(bytes);
        EXPECT_EQ(CompanionBytes(script), bytes);
        size_t quote = script.find("(1, \"");
        ASSERT_NE(quote, std::string::npos);
        std::string data = script.substr(quote + 5, script.size() - quote - 5 - 5);
        EXPECT_EQ(data.find_first_not_of("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"
                                         "0123456789+/="),
                  std::string::npos);
        EXPECT_TRUE(script.ends_with("\");\r\n"));
    }
    EXPECT_EQ(CompanionScript("Man"),
              CompanionScript("").substr(0, CompanionScript("").size() - 5) + "TWFu\");\r\n");
}

TEST(CompanionScript, RefusesTextItDidNotWrite) {
    std::string script = CompanionScript("abcd");
    EXPECT_FALSE(CompanionBytes(""));
    EXPECT_FALSE(CompanionBytes("navoraCompanion(1, \"YWJj\");"));
    EXPECT_FALSE(CompanionBytes(script.substr(0, script.size() - 1)));
    std::string badLength = script;
    badLength.erase(badLength.find("YWJjZA==") + 2, 1);
    EXPECT_FALSE(CompanionBytes(badLength));
    std::string paddingInside = script;
    paddingInside.replace(paddingInside.find("YWJjZA=="), 8, "YW==ZA==");
    EXPECT_FALSE(CompanionBytes(paddingInside));
}

TEST(CompanionScript, WrittenOnlyForAFileThatIsThere) {
    TestFiles files;
    EXPECT_EQ(CompanionPath(files.Path("site.xo")), files.Path("site.xo.js"));
    EXPECT_EQ(WriteCompanion(files.Path("site.xo")), CompanionWrite::NoFile);
    EXPECT_FALSE(std::filesystem::exists(files.Path("site.xo.js")));
    std::filesystem::create_directory(files.Path("folder.xo"));
    EXPECT_EQ(WriteCompanion(files.Path("folder.xo")), CompanionWrite::NoFile);

    files.Write("site.xo", kIndex);
    EXPECT_EQ(WriteCompanion(files.Path("site.xo")), CompanionWrite::Written);
    EXPECT_EQ(CompanionBytes(TestFiles::Read(files.Path("site.xo.js"))), kIndex);
    // A companion that is a folder cannot be replaced: the file's save still counts.
    std::filesystem::create_directory(files.Path("other.xo.js"));
    files.Write("other.xo", kIndex);
    EXPECT_EQ(WriteCompanion(files.Path("other.xo")), CompanionWrite::CannotWrite);
    EXPECT_FALSE(RefreshCompanion(files.Path("other.xo")));
}

TEST(CompanionScript, EverySaveRewritesAnExistingCompanionAndMakesNone) {
    TestFiles::PinDate();
    TestFiles files;
    IndexFile index;
    ASSERT_EQ(index.Load(files.Write("site.xo", kIndex)), 1);
    ASSERT_EQ(index.Save(files.Path("site.xo")), 1);
    EXPECT_FALSE(std::filesystem::exists(files.Path("site.xo.js")));
    EXPECT_FALSE(index.CompanionStale());

    files.Write("site.xo.js", "stale");
    index.m_description = "Renamed";
    ASSERT_EQ(index.Save(files.Path("site.xo")), 1);
    EXPECT_FALSE(index.CompanionStale());
    std::string saved = TestFiles::Read(files.Path("site.xo"));
    EXPECT_NE(saved.find("1;Renamed;"), std::string::npos);
    EXPECT_EQ(CompanionBytes(TestFiles::Read(files.Path("site.xo.js"))), saved);

    // Saved under another name, the old file's companion is left alone.
    ASSERT_EQ(index.Save(files.Path("copy.xo")), 1);
    EXPECT_FALSE(std::filesystem::exists(files.Path("copy.xo.js")));

    std::filesystem::remove(files.Path("site.xo.js"));
    std::filesystem::create_directory(files.Path("site.xo.js"));
    ASSERT_EQ(index.Save(files.Path("site.xo")), 1);
    EXPECT_TRUE(index.CompanionStale());
}
