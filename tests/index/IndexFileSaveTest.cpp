#include "TestFiles.h"
#include "index/IndexFile.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace tamblin;

namespace {

const std::string kExample = "XO0;2;1;1;Tamblin 1.1.18\r\n"
                             "1;My site;December 6 2026\r\n"
                             "3;1;docs/;main\r\n"
                             "5;1;1;index.htm;Welcome;;0;\r\n"
                             "7;&1;&1;&1;\r\n"
                             "7;&1 page;&1#top;&1 (top);\r\n"
                             "5;2;;guide/a.htm;Guide;_blank;1;\r\n"
                             "6;2;Read this first\r\n"
                             "5;3;1;old.htm;Old page;;-1;\r\n"
                             "7;Search help;search.htm;Search;\r\n";

std::string RoundTrip(const std::string& text) {
    TestFiles::PinDate();
    TestFiles files;
    IndexFile index;
    EXPECT_EQ(index.Load(files.Write("in.xo", text)), 1);
    EXPECT_EQ(index.Save(files.Path("out.xo")), 1) << index.SaveError();
    return TestFiles::Read(files.Path("out.xo"));
}

std::string SaveOf(IndexFile& index) {
    TestFiles::PinDate();
    TestFiles files;
    EXPECT_EQ(index.Save(files.Path("out.xo")), 1) << index.SaveError();
    return TestFiles::Read(files.Path("out.xo"));
}

IndexEntry& AddEntry(IndexEntry& parent, const std::string& url, const std::string& title) {
    parent.AppendChild(std::make_unique<IndexEntry>(0, nullptr, url, title, "", 0, "", 1));
    return *parent.m_children.back();
}

} // namespace

TEST(IndexFileSave, ExampleConvertsToItself) {
    EXPECT_EQ(RoundTrip(kExample), kExample);
}

TEST(IndexFileSave, SavingRenumbersAndSetsFormatDateAndSize) {
    TestFiles::PinDate();
    TestFiles files;
    IndexFile index;
    index.Load(
        files.Write("in.xo", "XO0;1;2;Old;1999\n3;http://h/x\n1;40;a.htm;A;0\n1;50;b.htm;B;40\n"));
    index.m_changed = 1;
    ASSERT_EQ(index.Save(files.Path("out.xo")), 1);
    EXPECT_EQ(TestFiles::Read(files.Path("out.xo")),
              "XO0;2;1;1;Tamblin 1.1.18\r\n1;Old;December 6 2026\r\n3;1;;\r\n3;2;http://h/x/;\r\n"
              "5;1;2;a.htm;A;;0;\r\n5;2;2;b.htm;B;;1;\r\n");
    EXPECT_EQ(index.m_formatMajor, 2);
    EXPECT_EQ(index.m_formatMinor, 1);
    EXPECT_EQ(index.m_coding, 1);
    EXPECT_EQ(index.m_changed, 0);
    EXPECT_EQ(index.m_dateText, "December 6 2026");
    EXPECT_EQ(index.m_fileSize,
              static_cast<long long>(TestFiles::Read(files.Path("out.xo")).size()));
    IndexEntry& a = *index.m_root.m_children[0];
    EXPECT_EQ(a.m_id, 40); // numeric ids stay; only the id texts are renumbered
    EXPECT_EQ(a.m_idText, "1");
}

TEST(IndexFileSave, UnplacedEntriesComeBackOutOfContentsWithTheirChildren) {
    std::string saved =
        RoundTrip("XO0;2;1;1\n5;1;;o.htm;Out;;-1;\n5;2;;c.htm;C;x;1;\n5;3;;i.htm;In;;0;\n");
    EXPECT_NE(saved.find("5;1;;i.htm;In;;0;\r\n5;2;;o.htm;Out;;-1;\r\n5;3;;c.htm;C;x;-1;\r\n"),
              std::string::npos)
        << saved;
}

TEST(IndexFileSave, ReferencesAreNotFollowedByDigits) {
    IndexFile index;
    IndexEntry& part = AddEntry(index.m_root, "p.htm", "Part");
    part.m_keywords.emplace_back(&part, "Part2", "2.htm", " two", "", 0);
    part.m_keywords.emplace_back(&part, "Part x", "#x", " x", "", 0);
    // With no field left for a reference, the keyword keeps its full URL and title.
    part.m_keywords.emplace_back(&part, "Part3", "3.htm", "3", "", 0);
    std::string saved = SaveOf(index);
    EXPECT_NE(saved.find("7;Part2;p.htm2.htm;&1 two;\r\n"), std::string::npos) << saved;
    EXPECT_NE(saved.find("7;&1 x;&1#x;&1 x;\r\n"), std::string::npos) << saved;
    EXPECT_NE(saved.find("7;Part3;p.htm3.htm;Part3;\r\n"), std::string::npos) << saved;

    TestFiles files;
    IndexFile again;
    again.Load(files.Write("s.xo", saved));
    const IndexEntry& back = *again.m_root.m_children.at(0);
    ASSERT_EQ(back.m_keywords.size(), 2u);
    EXPECT_EQ(back.m_keywords[0].m_phrase, "Part2");
    EXPECT_EQ(back.m_keywords[0].m_anchor, "2.htm");
    EXPECT_EQ(back.m_keywords[0].m_extraTitle, " two");
    const IndexKeyword& loose = again.m_otherKeywords.m_keywords.at(0);
    EXPECT_EQ(loose.FullUrl(), "p.htm3.htm");
    EXPECT_EQ(loose.FullTitle(), "Part3");
}

TEST(IndexFileSave, LeadingAmpersandSurvivesAPlainField) {
    IndexFile index;
    IndexEntry& page = AddEntry(index.m_root, "p.htm", "Page");
    page.m_keywords.emplace_back(&page, "&12 not a ref", "", "", "", 0);
    index.m_otherKeywords.m_keywords.emplace_back(&index.m_otherKeywords, "&amp", "&u.htm", "&T",
                                                  "", 0);
    index.m_otherKeywords.m_keywords.emplace_back(&index.m_otherKeywords, "&", "u", "t", "", 0);
    index.m_otherKeywords.m_keywords.emplace_back(&index.m_otherKeywords, "p", "u", "  & 6", "", 0);
    std::string saved = SaveOf(index);
    TestFiles files;
    IndexFile again;
    again.Load(files.Write("s.xo", saved));
    EXPECT_TRUE(again.BadLines().empty());
    EXPECT_EQ(again.m_root.m_children.at(0)->m_keywords.at(0).m_phrase, "&12 not a ref");
    const auto& others = again.m_otherKeywords.m_keywords;
    ASSERT_EQ(others.size(), 3u);
    EXPECT_EQ(others[0].m_phrase, "&amp");
    EXPECT_EQ(others[0].m_anchor, "&u.htm");
    EXPECT_EQ(others[0].m_extraTitle, "&T");
    EXPECT_EQ(others[1].m_phrase, "&");
    EXPECT_EQ(others[2].m_extraTitle, "  & 6");
}

TEST(IndexFileSave, RootKeywordsReadTheSameAfterASave) {
    const std::string lines = "7;&0;&0;&0;\r\n7;&0 root;&0x.htm;&0T;\r\n7;9 lives;&0;&0;\r\n";
    std::string saved =
        RoundTrip("XO0;2;1;1\n7;&0;&0;&0;\n7;&0 root;&0x.htm;&0T;\n7;9 lives;&0;&0;\n");
    EXPECT_NE(saved.find(lines), std::string::npos) << saved;
    TestFiles files;
    IndexFile again;
    again.Load(files.Write("again.xo", saved));
    EXPECT_TRUE(again.BadLines().empty());
    ASSERT_EQ(again.m_root.m_keywords.size(), 3u);
    EXPECT_EQ(again.m_root.m_keywords[1].m_phrase, " root");
    EXPECT_EQ(again.m_root.m_keywords[2].m_phrase, "9 lives");
}

TEST(IndexFileSave, AByteOrderMarkIsSkippedAndKept) {
    const std::string bom = "\xEF\xBB\xBF";
    const std::string body = "XO0;2;1;1;Tamblin 1.1.18\r\n1;Site;December 6 2026\r\n"
                             "3;1;docs/;\r\n5;1;1;a.htm;A;;0;\r\n7;&1;&1;&1;\r\n";
    TestFiles files;
    IndexFile index;
    ASSERT_EQ(index.Load(files.Write("bom.xo", bom + body)), 1);
    EXPECT_TRUE(index.BadLines().empty());
    EXPECT_EQ(index.m_description, "Site");
    ASSERT_EQ(index.m_baseUrls.size(), 1u);
    EXPECT_EQ(index.m_root.m_children.at(0)->m_keywords.size(), 1u);
    EXPECT_EQ(RoundTrip(bom + body), bom + body);
    EXPECT_EQ(RoundTrip(body), body);
}

TEST(IndexFileSave, FieldsTheFormatCannotHoldRefuseTheSave) {
    TestFiles files;
    const std::string path = files.Write("keep.xo", "old bytes");
    for (auto edit : std::initializer_list<void (*)(IndexFile&)>{
             [](IndexFile& i) { i.m_description = "a;b"; },
             [](IndexFile& i) { AddEntry(i.m_root, "a.htm", "two\nlines"); },
             [](IndexFile& i) { AddEntry(i.m_root, "a.htm", ""); },
             [](IndexFile& i) {
                 IndexEntry& e = AddEntry(i.m_root, "a.htm", "A");
                 e.m_keywords.emplace_back(&e, "semi;colon", "", "", "", 0);
             },
             [](IndexFile& i) {
                 i.m_otherKeywords.m_keywords.emplace_back(&i.m_otherKeywords, "k", "u\r", "t", "",
                                                           0);
             }}) {
        IndexFile index;
        edit(index);
        EXPECT_EQ(index.Save(path), 0);
        EXPECT_FALSE(index.SaveError().empty());
        EXPECT_EQ(TestFiles::Read(path), "old bytes");
    }
}

TEST(IndexFileSave, TheRefusalNamesTheFieldThatHoldsTheSemicolon) {
    TestFiles files;
    const std::string path = files.Path("out.xo");
    IndexFile titled;
    AddEntry(titled.m_root, "git.htm", "git; the tool");
    EXPECT_EQ(titled.Save(path), 0);
    EXPECT_EQ(titled.SaveError(),
              "The title 'git; the tool' contains a semicolon or a line break, which an index "
              "file cannot hold. Please change it and save again.");
    IndexFile tipped;
    AddEntry(tipped.m_root, "git.htm", "git").m_pageTip = "a;b";
    EXPECT_EQ(tipped.Save(path), 0);
    EXPECT_EQ(tipped.SaveError().rfind("The page tip of 'git' contains a semicolon", 0), 0u);
}

TEST(IndexFileSave, AFailedWriteLeavesTheOldFile) {
    TestFiles files;
    IndexFile index;
    EXPECT_EQ(index.Save(""), 0);
    EXPECT_EQ(index.Save(files.Path("no/such/dir/x.xo")), 0);
    EXPECT_EQ(index.SaveError(), "Could not save file (" + files.Path("no/such/dir/x.xo") +
                                     "): No such file or directory");
    if (geteuid() != 0) { // root may write anywhere
        const std::string path = files.Write("ro/keep.xo", "");
        std::filesystem::create_directories(files.Path("ro"));
        std::string kept = files.Write("ro/keep.xo", "old");
        std::filesystem::permissions(files.Path("ro"), std::filesystem::perms::owner_read |
                                                           std::filesystem::perms::owner_exec);
        EXPECT_EQ(index.Save(kept), 0);
        EXPECT_EQ(TestFiles::Read(kept), "old");
    }
    // Nothing is left beside the target.
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(files.Path("")),
                            std::filesystem::directory_iterator()),
              geteuid() != 0 ? 1 : 0);
}

TEST(IndexFileSave, OwnTargetFlagsComeBackWhereATargetWasSaved) {
    IndexFile index;
    BaseUrl& base = index.AppendBaseUrl(std::make_unique<BaseUrl>(9, "b/", "main", 0));
    IndexEntry& a = AddEntry(index.m_root, "a.htm", "A");
    a.m_baseUrl = &base;
    a.m_targetFrame = "hidden";
    a.m_ownTarget = 0;
    a.m_keywords.emplace_back(&a, "A", "", "", "k", 1);
    IndexEntry& b = AddEntry(a, "b.htm", "B");
    b.m_targetFrame = "side";
    b.m_ownTarget = 1;
    std::string saved = SaveOf(index);
    EXPECT_NE(
        saved.find("3;1;b/;main\r\n5;1;1;a.htm;A;;0;\r\n7;&1;&1;&1;k\r\n5;2;;b.htm;B;side;1;\r\n"),
        std::string::npos)
        << saved;
}
