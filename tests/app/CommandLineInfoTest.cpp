#include "app/CommandLineInfo.h"

#include <gtest/gtest.h>

using namespace tamblin;
using Action = CommandLineInfo::Action;

TEST(CommandLineInfo, NothingMeansANewDocumentWithTheSplash) {
    CommandLineInfo info = CommandLineInfo::Parse({});
    EXPECT_EQ(info.action, Action::FileNew);
    EXPECT_TRUE(info.showSplash);
}

TEST(CommandLineInfo, AFileIsOpenedEvenWhenItsPathStartsWithASlash) {
    CommandLineInfo info = CommandLineInfo::Parse({"/home/me/site.xo"});
    EXPECT_EQ(info.action, Action::FileOpen);
    EXPECT_EQ(info.fileName, "/home/me/site.xo");
}

TEST(CommandLineInfo, PrintSwitchesNeedAFileAndDropTheSplash) {
    CommandLineInfo print = CommandLineInfo::Parse({"-p", "a.xo"});
    EXPECT_EQ(print.action, Action::FilePrint);
    EXPECT_FALSE(print.showSplash);
    CommandLineInfo printTo = CommandLineInfo::Parse({"--pt", "a.xo", "Laser"});
    EXPECT_EQ(printTo.action, Action::FilePrintTo);
    EXPECT_EQ(printTo.printerName, "Laser");
    EXPECT_EQ(CommandLineInfo::Parse({"-p"}).action, Action::FileNew);
    EXPECT_FALSE(CommandLineInfo::Parse({"-Embedding"}).showSplash);
}
