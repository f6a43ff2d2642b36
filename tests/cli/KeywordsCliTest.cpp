#include "TestFiles.h"
#include "cli/CliCommands.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

using namespace tamblin;

namespace {

struct KeywordsRun {
    int code;
    std::string out;
    std::string err;
};

KeywordsRun Keywords(const std::vector<std::string>& args) {
    TestFiles::PinDate();
    std::ostringstream out;
    std::ostringstream err;
    std::vector<std::string> all{"keywords"};
    all.insert(all.end(), args.begin(), args.end());
    int code = CliCommands(out, err).Run(all);
    return {code, out.str(), err.str()};
}

// A Windows-1252 file: "\x80uro" is "€uro" to its readers.
const char* kIndex = "XO0;2;1;1\r\n1;Site;D\r\n3;1;;\r\n5;1;1;a.htm;A;;0;\r\n"
                     "5;2;1;b.htm;B;;0;\r\n7;Synopsis;&1#s;&1;\r\n7;SYNOPSIS;&2#s;&2;\r\n"
                     "7;\x80uro;&2;&2;\r\n7;Other;o.htm;Other page;\r\n";

} // namespace

TEST(CliKeywords, ListsPhrasesInReaderOrderWithPageCounts) {
    TestFiles files;
    std::string path = files.Write("a.xo", kIndex);
    KeywordsRun list = Keywords({path});
    EXPECT_EQ(list.code, 0);
    EXPECT_EQ(list.out, "1\tOther\n1\tSYNOPSIS\n1\tSynopsis\n1\t\xE2\x82\xAC"
                        "uro\n");
    KeywordsRun json = Keywords({path, "--json"});
    EXPECT_EQ(json.code, 0);
    EXPECT_NE(json.out.find("{\"keywords\":4,\"phrases\":[{\"phrase\":\"Other\",\"pages\":1,"
                            "\"keywords\":1,\"uses\":[[\"Other page\",\"o.htm\"]]}"),
              std::string::npos)
        << json.out;
}

TEST(CliKeywords, RenameMergesAndRemoveTakesAPhraseOffEveryPage) {
    TestFiles files;
    std::string path = files.Write("a.xo", kIndex);
    std::string renamed = files.Path("renamed.xo");
    KeywordsRun renaming = Keywords({path, "--rename", "SYNOPSIS", "Synopsis", "-o", renamed});
    EXPECT_EQ(renaming.code, 0) << renaming.err;
    EXPECT_EQ(renaming.out, "Renamed 1 keyword on 1 page\n");
    EXPECT_EQ(Keywords({renamed}).out, "1\tOther\n2\tSynopsis\n1\t\xE2\x82\xAC"
                                       "uro\n");
    // OLD is the phrase as the reader shows it, here decoded from Windows-1252.
    std::string removed = files.Path("removed.xo");
    KeywordsRun removing = Keywords({renamed, "--remove",
                                     "\xE2\x82\xAC"
                                     "uro",
                                     "-o", removed});
    EXPECT_EQ(removing.code, 0) << removing.err;
    EXPECT_EQ(Keywords({removed}).out, "1\tOther\n2\tSynopsis\n");
    // The file is saved as every save is: the other records keep their bytes.
    EXPECT_NE(TestFiles::Read(removed).find("5;2;1;b.htm;B;;0;"), std::string::npos);
}

TEST(CliKeywords, WrongPhrasesAndUsage) {
    TestFiles files;
    std::string path = files.Write("a.xo", kIndex);
    std::string out = files.Path("out.xo");
    EXPECT_EQ(Keywords({path, "--remove", "synopsis", "-o", out}).code, 1);
    EXPECT_EQ(Keywords({path, "--rename", "Other", "a;b", "-o", out}).code, 64);
    // A character Windows-1252 lacks cannot go into this file.
    EXPECT_EQ(Keywords({path, "--rename", "Other", "\xE6\x97\xA5", "-o", out}).code, 64);
    EXPECT_EQ(Keywords({path, "--rename", "Other", "x"}).code, 64);
    EXPECT_EQ(Keywords({path, "--json", "--remove", "Other", "-o", out}).code, 64);
    EXPECT_EQ(Keywords({"/no/such.xo"}).code, 2);
    EXPECT_FALSE(std::filesystem::exists(out));
}
