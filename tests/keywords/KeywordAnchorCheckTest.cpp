// The anchor check of the keyword index on its own thread: what it finds, its progress, and
// a stop part way; run under ThreadSanitizer too.
#include "keywords/KeywordAnchorCheck.h"
#include "TestFiles.h"
#include "index/IndexEntry.h"
#include "index/IndexFile.h"

#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <set>
#include <string>

using namespace tamblin;

namespace {

// Pages with one keyword each whose anchor only the even pages still have.
std::string WriteSite(const TestFiles& files, int pages) {
    std::string index = "XO0;2;1;1\r\n1;Site;December 6 2026\r\n3;1;;\r\n";
    for (int i = 1; i <= pages; ++i) {
        std::string n = std::to_string(i);
        index += "5;" + n + ";1;p" + n + ".htm;Page " + n + ";;0;\r\n7;Topic " + n + ";&" + n +
                 "#a;&" + n + ";\r\n";
        files.Write("p" + n + ".htm", "<title>Page " + n + "</title>" +
                                          (i % 2 == 0 ? "<h2 id=a>Topic</h2>" : "<p>gone</p>"));
    }
    return index;
}

struct Watch {
    std::atomic<int> finished{0};
    std::atomic<std::size_t> done{0};
    std::atomic<std::size_t> total{0};
    std::atomic<bool> backwards{false};
};

LinkCheckOptions Watched(Watch& watch) {
    LinkCheckOptions options;
    options.progress = [&watch](std::size_t done, std::size_t total) {
        if (done < watch.done.load()) {
            watch.backwards = true;
        }
        watch.done = done;
        watch.total = total;
    };
    return options;
}

} // namespace

TEST(KeywordAnchorCheck, OnItsThreadFindsWhatRunFindsWithProgress) {
    TestFiles files;
    IndexFile index;
    index.LoadBytes(WriteSite(files, 30), files.Path("site.xo"));
    std::string folder = std::filesystem::path(files.Path("x")).parent_path().string() + "/";
    std::vector<GoneAnchor> direct = KeywordAnchorCheck(index, folder, false).Run({});

    Watch watch;
    KeywordAnchorCheck check(index, folder, false);
    check.Start(Watched(watch), [&watch] { ++watch.finished; });
    // A second start while the first runs changes nothing.
    check.Start({}, [&watch] { ++watch.finished; });
    check.Wait();
    EXPECT_EQ(watch.finished.load(), 1);
    EXPECT_FALSE(check.Stopped());
    EXPECT_FALSE(watch.backwards.load());
    EXPECT_EQ(watch.done.load(), watch.total.load());
    EXPECT_EQ(watch.total.load(), 30u);
    std::set<std::string> odd;
    for (const GoneAnchor& gone : check.Result()) {
        odd.insert(gone.keyword.owner->m_keywords[gone.keyword.position].m_phrase);
    }
    EXPECT_EQ(odd.size(), 15u);
    EXPECT_TRUE(odd.contains("Topic 1"));
    EXPECT_FALSE(odd.contains("Topic 2"));
    EXPECT_EQ(check.Result().size(), direct.size());
}

TEST(KeywordAnchorCheck, StoppedOrDroppedWhileRunningEndsCleanly) {
    TestFiles files;
    IndexFile index;
    index.LoadBytes(WriteSite(files, 400), files.Path("site.xo"));
    std::string folder = std::filesystem::path(files.Path("x")).parent_path().string() + "/";

    Watch watch;
    KeywordAnchorCheck check(index, folder, false);
    check.Start(Watched(watch), [&watch] { ++watch.finished; });
    check.Stop();
    check.Wait();
    EXPECT_EQ(watch.finished.load(), 1);
    // Stopped before the end, nothing is reported as found; at the end, everything.
    if (check.Stopped()) {
        EXPECT_TRUE(check.Result().empty());
    } else {
        EXPECT_EQ(check.Result().size(), 200u);
    }

    // Dropped while it runs: the thread is stopped and joined, its callback still comes.
    Watch dropped;
    {
        KeywordAnchorCheck running(index, folder, false);
        running.Start(Watched(dropped), [&dropped] { ++dropped.finished; });
    }
    EXPECT_EQ(dropped.finished.load(), 1);
}
