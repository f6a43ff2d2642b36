// Topic maps and pop-ups pages are named by requests, so anything may be at the path.
#include "helpviewer/HelpFileRead.h"
#include "helpviewer/PopupRenderer.h"
#include "helpviewer/TopicMap.h"

#include "TestFiles.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sys/stat.h>

using namespace tamblin;

namespace {

std::string MakeFifo(const TestFiles& files) {
    std::string path = files.Path("fifo");
    EXPECT_EQ(::mkfifo(path.c_str(), 0600), 0);
    return path;
}

} // namespace

TEST(HelpFileReadTest, OnlyRegularFilesUpToTheLimitAreRead) {
    TestFiles files;
    std::string bytes = "left over";
    EXPECT_EQ(ReadHelpFile(files.Write("ten", "0123456789"), bytes, 10), HelpFileStatus::kRead);
    EXPECT_EQ(bytes, "0123456789");
    EXPECT_EQ(ReadHelpFile(files.Write("eleven", "0123456789A"), bytes, 10),
              HelpFileStatus::kTooLarge);
    EXPECT_EQ(bytes, "");
    EXPECT_EQ(ReadHelpFile(files.Path("missing"), bytes), HelpFileStatus::kCannotOpen);
    files.Write("folder/x", "");
    EXPECT_EQ(ReadHelpFile(files.Path("folder"), bytes), HelpFileStatus::kNotRegularFile);
    // Neither waits: nobody writes to the FIFO, and the device never ends.
    EXPECT_EQ(ReadHelpFile(MakeFifo(files), bytes), HelpFileStatus::kNotRegularFile);
    EXPECT_EQ(ReadHelpFile("/dev/zero", bytes), HelpFileStatus::kNotRegularFile);
}

TEST(HelpFileReadTest, ASparseFileOverSixteenMebibytesIsRefusedUnread) {
    TestFiles files;
    std::string path = files.Write("big.HM", "HIDR_A 0x20080\r\n");
    std::filesystem::resize_file(path, kMaxHelpFileBytes + 1);
    TopicMap map;
    EXPECT_FALSE(map.Load(path));
    EXPECT_EQ(map.Size(), 0u);
    std::filesystem::resize_file(path, kMaxHelpFileBytes);
    EXPECT_TRUE(map.Load(path));
    EXPECT_EQ(map.Size(), 1u);
}

TEST(HelpFileReadTest, TopicMapsAndPopupsPagesPassOverWhatIsNotAFile) {
    TestFiles files;
    std::string fifo = MakeFifo(files);
    TopicMap map;
    map.Add(1, "KEPT");
    EXPECT_FALSE(map.Load(fifo));
    EXPECT_FALSE(map.Load("/dev/zero"));
    EXPECT_EQ(map.Size(), 1u);
    PopupTopics topics;
    TextDefaults defaults;
    EXPECT_FALSE(LoadPopupsPage(fifo, map, topics, defaults, {}));
    EXPECT_FALSE(LoadPopupsPage("/dev/zero", map, topics, defaults, {}));
    // A map without a final line end still gives its last line.
    EXPECT_TRUE(map.Load(files.Write("t.HM", "HIDR_A 0x20080\nHIDR_B 0x20081")));
    ASSERT_NE(map.NameFor(0x20081), nullptr);
    EXPECT_EQ(*map.NameFor(0x20081), "IDR_B");
}
