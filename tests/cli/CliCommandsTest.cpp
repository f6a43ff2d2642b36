#include "cli/CliCommands.h"
#include "TestFiles.h"

#include <gtest/gtest.h>

#include <sstream>

using namespace tamblin;

namespace {

struct CliRun {
    int code;
    std::string out;
    std::string err;
};

CliRun Cli(const std::vector<std::string>& args) {
    TestFiles::PinDate();
    std::ostringstream out;
    std::ostringstream err;
    CliCommands commands(out, err);
    int code = commands.Run(args);
    return {code, out.str(), err.str()};
}

} // namespace

TEST(CliCheck, CleanFilePrintsStatistics) {
    TestFiles files;
    std::string path =
        files.Write("a.xo", "XO0;2;1;1\r\n5;1;;a.htm;A;;0;\r\n7;&1;&1;&1;\r\n7;k;u;t;\r\n");
    CliRun run = Cli({"check", path});
    EXPECT_EQ(run.code, 0);
    EXPECT_EQ(run.out, "1 URLs\n2 Index keywords\nLast saved file size: 52\n");
}

TEST(CliCheck, BadLinesAreListedAndExitOne) {
    TestFiles files;
    std::string path = files.Write("a.xo", "XO0;2;1;1\n4;x\nx;1\n6;9;t\n");
    CliRun run = Cli({"check", path});
    EXPECT_EQ(run.code, 1);
    EXPECT_EQ(run.out, "The index file has 3 errors in these lines:\n\n4;x\nx;1\n6;9;t\n"
                       "0 URLs\n0 Index keywords\nLast saved file size: 24\n");
}

TEST(CliCheck, MissingFile) {
    CliRun run = Cli({"check", "/no/such/file.xo"});
    EXPECT_EQ(run.code, 2);
    EXPECT_EQ(run.err, "Could not open file (/no/such/file.xo)\n");
}

TEST(CliConvert, WritesEvenWhenTheInputHadBadLines) {
    TestFiles files;
    std::string in = files.Write("in.xo", "XO0;2;1;1\n1;Site;x\n4;bad\n5;7;;a.htm;A;;0;\n");
    CliRun run = Cli({"convert", in, files.Path("out.xo")});
    EXPECT_EQ(run.code, 1);
    EXPECT_EQ(run.err, "The index file has one error in this line:\n\n4;bad\n");
    EXPECT_EQ(TestFiles::Read(files.Path("out.xo")),
              "XO0;2;1;1;Tamblin 1.1.18\r\n1;Site;December 6 2026\r\n5;1;;a.htm;A;;0;\r\n");
    EXPECT_EQ(Cli({"convert", files.Path("missing.xo"), files.Path("o.xo")}).code, 2);
    EXPECT_EQ(Cli({"convert", in, files.Path("no/dir/o.xo")}).code, 2);
}

TEST(CliUsage, HelpAndWrongArguments) {
    CliRun help = Cli({"--help"});
    EXPECT_EQ(help.code, 0);
    EXPECT_NE(help.out.find("convert IN OUT"), std::string::npos);
    EXPECT_EQ(Cli({}).code, 64);
    EXPECT_EQ(Cli({"check"}).code, 64);
    EXPECT_EQ(Cli({"frobnicate", "x"}).code, 64);
}
