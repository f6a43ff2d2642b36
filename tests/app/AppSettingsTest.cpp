#include "app/AppSettings.h"
#include "MemorySettingsStore.h"
#include "app/RecentFileList.h"

#include <gtest/gtest.h>

using namespace tamblin;

namespace {

using Group = MemorySettingsStore::Group;

AppSettings Loaded(MemorySettingsStore& store) {
    AppSettings settings;
    settings.m_printPointSize = 99; // must be replaced, whatever the store holds
    settings.Load(store);
    return settings;
}

} // namespace

TEST(AppSettings, MissingGroupGivesTheDefaultsOfTheFirstColumn) {
    MemorySettingsStore store;
    AppSettings settings = Loaded(store);
    EXPECT_TRUE(settings.m_findUrls);
    EXPECT_TRUE(settings.m_findIndices);
    EXPECT_FALSE(settings.m_browserWarned);
    EXPECT_FALSE(settings.m_lowMemWarned);
    EXPECT_EQ(settings.m_printFace, "Arial");
    EXPECT_EQ(settings.m_printPointSize, 10);
    EXPECT_TRUE(settings.m_printSummary);
    EXPECT_FALSE(settings.m_welcomed);
    EXPECT_TRUE(settings.m_undoEveryEdit);
    EXPECT_FALSE(settings.m_placement.IsSaved());
}

TEST(AppSettings, UndoEveryEditIsOnUnlessStoredOff) {
    MemorySettingsStore store;
    store.m_groups["Settings"] = Group{{"PrintFace", std::string()}};
    EXPECT_TRUE(Loaded(store).m_undoEveryEdit);
    AppSettings off;
    off.m_undoEveryEdit = false;
    off.Save(store, true);
    EXPECT_EQ(std::get<long long>(store.m_groups["Settings"]["UndoEveryEdit"]), 0);
    EXPECT_FALSE(Loaded(store).m_undoEveryEdit);
}

TEST(AppSettings, MissingValuesInAnExistingGroupGiveTheSecondColumn) {
    MemorySettingsStore store;
    store.m_groups["Settings"] = Group{{"PrintFace", std::string()}};
    AppSettings settings = Loaded(store);
    EXPECT_EQ(settings.m_printPointSize, 12);
    EXPECT_EQ(settings.m_printFace, "Arial");
    EXPECT_TRUE(settings.m_findUrls);
    EXPECT_TRUE(settings.m_printSummary);
}

TEST(AppSettings, StoredValuesAreReadWithTheirRules) {
    MemorySettingsStore store;
    store.m_groups["Settings"] =
        Group{{"FindURLs", 0LL},          {"FindIndices", 7LL},
              {"IEWarned", 1LL},          {"PrintFace", std::string(100, 'F')},
              {"PrintPointSize", 3LL},    {"PrintSummary", 0LL},
              {"Welcomed", 0x100000000LL}};
    AppSettings settings = Loaded(store);
    EXPECT_FALSE(settings.m_findUrls);
    EXPECT_TRUE(settings.m_findIndices);
    EXPECT_TRUE(settings.m_browserWarned);
    EXPECT_EQ(settings.m_printFace.size(), 79u);
    EXPECT_EQ(settings.m_printPointSize, 10);
    EXPECT_FALSE(settings.m_printSummary);
    // Only the low four bytes are the stored value.
    EXPECT_FALSE(settings.m_welcomed);
}

TEST(AppSettings, WindowPositionIsLeftRightTopBottom) {
    MemorySettingsStore store;
    store.m_groups["Settings"] =
        Group{{"ShowWindow", 1LL}, {"WindowPosition", std::string("10,500,20,400")}};
    WindowPlacement placement = Loaded(store).m_placement;
    EXPECT_EQ(placement.showState, 1);
    EXPECT_EQ(placement.left, 10);
    EXPECT_EQ(placement.top, 20);
    EXPECT_EQ(placement.Width(), 490);
    EXPECT_EQ(placement.Height(), 380);
}

TEST(AppSettings, MalformedPlacementIsIgnored) {
    for (const char* text : {"10,500,20", "10,500,20,x", "", "10,500,20,"}) {
        MemorySettingsStore store;
        store.m_groups["Settings"] =
            Group{{"ShowWindow", 1LL}, {"WindowPosition", std::string(text)}};
        EXPECT_FALSE(Loaded(store).m_placement.IsSaved()) << text;
    }
    MemorySettingsStore noPosition;
    noPosition.m_groups["Settings"] = Group{{"ShowWindow", 3LL}};
    EXPECT_FALSE(Loaded(noPosition).m_placement.IsSaved());
    MemorySettingsStore noShowState;
    noShowState.m_groups["Settings"] = Group{{"WindowPosition", std::string("1,2,3,4")}};
    EXPECT_FALSE(Loaded(noShowState).m_placement.IsSaved());
}

TEST(AppSettings, PositionSeparatorsMayBeSpacesSemicolonsAndRepeat) {
    WindowPlacement placement;
    ASSERT_TRUE(ParseWindowPosition("-8; 700  ,0 ;560", placement));
    EXPECT_EQ(placement.left, -8);
    EXPECT_EQ(placement.right, 700);
    EXPECT_EQ(placement.top, 0);
    EXPECT_EQ(placement.bottom, 560);
    EXPECT_EQ(FormatWindowPosition(placement), "-8,700,0,560");
}

TEST(AppSettings, SaveWritesEveryValueAndIEWarnedFromThisRun) {
    MemorySettingsStore store;
    AppSettings settings;
    settings.m_browserWarned = false;
    settings.Save(store, false);
    Group expected{{"FindURLs", 1LL},
                   {"FindIndices", 1LL},
                   {"IEWarned", 1LL},
                   {"LowMemWarned", 0LL},
                   {"PrintFace", std::string("Arial")},
                   {"PrintPointSize", 10LL},
                   {"PrintSummary", 1LL},
                   {"Welcomed", 0LL},
                   {"UndoEveryEdit", 1LL}};
    EXPECT_EQ(store.m_groups["Settings"], expected);
    settings.m_browserWarned = true;
    settings.Save(store, true);
    EXPECT_EQ(std::get<long long>(store.m_groups["Settings"]["IEWarned"]), 0);
}

TEST(AppSettings, PlacementRoundTripsAndAReadOnlyStoreSkipsIt) {
    MemorySettingsStore store;
    WindowPlacement placement{3, 10, 20, 500, 400};
    ASSERT_TRUE(AppSettings::SavePlacement(store, placement));
    EXPECT_EQ(std::get<std::string>(store.m_groups["Settings"]["WindowPosition"]), "10,500,20,400");
    WindowPlacement back = Loaded(store).m_placement;
    EXPECT_EQ(back.showState, 3);
    EXPECT_EQ(back.right, 500);
    store.m_readOnly = true;
    EXPECT_FALSE(AppSettings::SavePlacement(store, placement));
}

TEST(RecentFileList, MostRecentFirstWithoutRepeatsAndAtMostEight) {
    RecentFileList list;
    for (int i = 1; i <= 9; ++i) {
        list.Add("/f" + std::to_string(i) + ".xo");
    }
    list.Add("/f5.xo");
    ASSERT_EQ(list.Items().size(), 8u);
    EXPECT_EQ(list.Items()[0], "/f5.xo");
    EXPECT_EQ(list.Items()[1], "/f9.xo");
    EXPECT_EQ(list.Items()[7], "/f2.xo");
    list.Remove(0);
    EXPECT_EQ(list.Items()[0], "/f9.xo");
    list.Remove(42);
    EXPECT_EQ(list.Items().size(), 7u);
}

TEST(RecentFileList, StoredAsFile1ToFile8) {
    MemorySettingsStore store;
    store.m_groups["Recent File List"] = Group{{"File1", std::string("/a.xo")},
                                               {"File2", std::string("/b.xo")},
                                               {"File3", std::string("/c.xo")}};
    RecentFileList list;
    list.Load(store);
    ASSERT_EQ(list.Items().size(), 3u);
    list.Remove(1);
    list.Save(store);
    Group expected{{"File1", std::string("/a.xo")}, {"File2", std::string("/c.xo")}};
    EXPECT_EQ(store.m_groups["Recent File List"], expected);
}
