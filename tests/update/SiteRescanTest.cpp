#include "update/SiteRescan.h"
#include "TestFiles.h"
#include "index/IndexFile.h"
#include "scanner/ScanSettingsText.h"
#include "scanner/SiteScanner.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace tamblin;

namespace {

// The scan as both callers run it, on the calling thread.
FinishedScan ScanOnce(const ScanSettings& settings) {
    SiteScanner scanner(settings);
    std::optional<std::string> path = scanner.ScanIndex();
    if (!path) {
        return {};
    }
    return {*path, scanner.Aborted(), scanner.PagesRead() == 0};
}

} // namespace

TEST(SiteRescan, RemembersTheStartPathAbsoluteWhereverTheScanRan) {
    TestFiles files;
    files.Write("site/index.htm", "<title>Home</title>");
    std::filesystem::path saved = std::filesystem::current_path();
    std::filesystem::current_path(files.Path("site"));
    ScanSettings settings = ScanSettings::Classic();
    settings.description = "Site";
    settings.start = "./index.htm";
    std::string source = SiteRescan::ScanSourceOf(settings);
    std::filesystem::current_path(saved);

    ScanSettings remembered;
    ASSERT_TRUE(ScanSettingsText::Decode(source, remembered));
    EXPECT_EQ(remembered.start, files.Path("site/index.htm"));
    // An address stays as it was given.
    settings.fromUrl = true;
    settings.start = "http://127.0.0.1:1/a/../index.htm";
    ASSERT_TRUE(ScanSettingsText::Decode(SiteRescan::ScanSourceOf(settings), remembered));
    EXPECT_EQ(remembered.start, settings.start);
}

TEST(SiteRescan, OnlyAScanThatReadTheSiteIsMerged) {
    TestFiles files;
    std::string start = files.Write("index.htm", "<title>Home</title><a href=\"b.htm\">B</a>");
    files.Write("b.htm", "<title>B</title>");
    ScanSettings settings = ScanSettings::Classic();
    settings.description = "Site";
    settings.start = start;

    SiteRescan notStarted(settings);
    EXPECT_EQ(notStarted.Run([](const ScanSettings&) { return FinishedScan{}; }),
              SiteRescan::Status::NotStarted);

    for (auto [stopped, readNothing, status] :
         {std::tuple{true, false, SiteRescan::Status::Stopped},
          std::tuple{false, true, SiteRescan::Status::NothingRead},
          std::tuple{false, false, SiteRescan::Status::Scanned}}) {
        SiteRescan rescan(settings);
        std::string temporary;
        EXPECT_EQ(rescan.Run([&](const ScanSettings& given) {
            FinishedScan finished = ScanOnce(given);
            temporary = finished.temporaryPath;
            finished.stopped = stopped;
            finished.readNothing = readNothing;
            return finished;
        }),
                  status);
        EXPECT_FALSE(std::filesystem::exists(temporary)) << "the scan's file is deleted";
    }

    SiteRescan unreadable(settings);
    EXPECT_EQ(unreadable.Run([&](const ScanSettings&) {
        return FinishedScan{files.Path("missing.xo"), false, false};
    }),
              SiteRescan::Status::NotLoaded);
    EXPECT_EQ(unreadable.TemporaryPath(), files.Path("missing.xo"));
}

TEST(SiteRescan, ThePlanBringsTheIndexUpToDateAndRemembersTheScan) {
    TestFiles files;
    std::string start = files.Write("index.htm", "<title>Home</title>");
    ScanSettings settings = ScanSettings::Classic();
    settings.description = "Site";
    settings.start = start;
    IndexFile index;
    FinishedScan first = ScanOnce(settings);
    ASSERT_EQ(index.Load(first.temporaryPath), 1);
    std::filesystem::remove(first.temporaryPath);
    SiteRescan::RememberScan(index, settings);
    ScanSettings remembered;
    ASSERT_TRUE(SiteRescan::RememberedSettings(index, remembered));
    EXPECT_EQ(remembered.start, start);
    EXPECT_EQ(remembered.description, "Site");

    files.Write("index.htm", "<title>Home</title><a href=\"new.htm\">N</a>");
    files.Write("new.htm", "<title>New page</title>");
    SiteRescan rescan(remembered);
    ASSERT_EQ(rescan.Run(ScanOnce), SiteRescan::Status::Scanned);
    IndexMerge& merge = rescan.Plan(index.m_root, index.m_baseUrls);
    EXPECT_EQ(merge.Result().Count(MergeChange::Kind::PageAdded), 1);
    EXPECT_EQ(merge.Result().Count(MergeChange::Kind::PageGone), 0);
    merge.Apply();
    ASSERT_EQ(index.m_root.m_children.size(), 1u);
    ASSERT_EQ(index.m_root.m_children[0]->m_children.size(), 1u);
    EXPECT_EQ(index.m_root.m_children[0]->m_children[0]->m_title, "New page");
    EXPECT_EQ(rescan.ScanSource(), index.m_scanSource);
    EXPECT_NE(rescan.TakeScanned(), nullptr);
}
