#include "TestFiles.h"
#include "index/IndexFile.h"

#include <gtest/gtest.h>

using namespace tamblin;

namespace {

const char* const kHeader = "XO0;2;1;1;Tamblin 1.1.18\r\n";

struct Loaded {
    std::unique_ptr<IndexFile> index = std::make_unique<IndexFile>();
    int result = 0;
};

Loaded LoadText(const std::string& text) {
    TestFiles files;
    Loaded loaded;
    loaded.result = loaded.index->Load(files.Write("in.xo", text));
    return loaded;
}

// Loads one line after a format 2.1 header (and optional lines before it).
Loaded LoadLine(const std::string& line, const std::string& before = "") {
    return LoadText(std::string(kHeader) + before + line + "\r\n");
}

} // namespace

TEST(IndexFileLoad, ExampleFileBuildsTheTree) {
    Loaded loaded = LoadText(std::string(kHeader) + "1;My site;December 6 2026\r\n"
                                                    "3;1;docs/;main\r\n"
                                                    "5;1;1;index.htm;Welcome;;0;\r\n"
                                                    "7;&1;&1;&1;\r\n"
                                                    "7;&1 page;&1#top;&1 (top);\r\n"
                                                    "5;2;;guide/a.htm;Guide;_blank;1;\r\n"
                                                    "6;2;Read this first\r\n"
                                                    "5;3;1;old.htm;Old page;;-1;\r\n"
                                                    "7;Search help;search.htm;Search;\r\n");
    IndexFile& index = *loaded.index;
    ASSERT_EQ(loaded.result, 1);
    EXPECT_TRUE(index.BadLines().empty()) << index.BadLinesMessage();
    EXPECT_EQ(index.m_description, "My site");
    EXPECT_EQ(index.m_dateText, "December 6 2026");
    ASSERT_EQ(index.m_baseUrls.size(), 1u);
    EXPECT_EQ(index.m_baseUrls[0]->m_targetFrame, "main");
    ASSERT_EQ(index.m_root.m_children.size(), 2u);
    IndexEntry& welcome = *index.m_root.m_children[0];
    EXPECT_EQ(welcome.FullUrl(), "docs/index.htm");
    ASSERT_EQ(welcome.m_keywords.size(), 2u);
    EXPECT_EQ(welcome.m_keywords[1].m_phrase, "Welcome page");
    EXPECT_EQ(welcome.m_keywords[1].m_anchor, "#top");
    EXPECT_EQ(welcome.m_keywords[1].FullTitle(), "Welcome (top)");
    IndexEntry& guide = *welcome.m_children[0];
    EXPECT_EQ(guide.m_targetFrame, "_blank");
    EXPECT_EQ(guide.m_ownTarget, 1);
    EXPECT_EQ(guide.m_pageTip, "Read this first");
    IndexEntry& old = *index.m_root.m_children[1];
    EXPECT_EQ(old.m_title, "Old page");
    EXPECT_EQ(old.m_inContents, 0);
    ASSERT_EQ(index.m_otherKeywords.m_keywords.size(), 1u);
    EXPECT_EQ(index.m_otherKeywords.m_keywords[0].m_anchor, "search.htm");
    EXPECT_EQ(index.m_fileSize, 257);
}

TEST(IndexFileLoad, HeaderVariants) {
    Loaded plain = LoadText("0;2;1;1;anything\n5;1;;a.htm;A;;0;\n");
    EXPECT_TRUE(plain.index->BadLines().empty());
    EXPECT_EQ(plain.index->m_formatMajor, 2);

    Loaded coding = LoadText("XO0;2;1;2\n3;1;x/;\n");
    EXPECT_EQ(coding.result, 1);
    EXPECT_EQ(coding.index->m_formatMajor, -1);
    // After a rejected header, base URL records are bad as well.
    EXPECT_EQ(coding.index->BadLines(), (std::vector<std::string>{"XO0;2;1;2", "3;1;x/;"}));

    Loaded second = LoadLine("0;2;1;1");
    EXPECT_EQ(second.index->BadLines(), (std::vector<std::string>{"0;2;1;1"}));

    Loaded afterEmpty = LoadText("\r\nXO0;2;1;1\r\n");
    EXPECT_EQ(afterEmpty.index->BadLines(), (std::vector<std::string>{"XO0;2;1;1"}));
}

TEST(IndexFileLoad, BadAndIgnoredLines) {
    struct Case {
        const char* line;
        bool bad;
    };
    for (Case c : {Case{"4;x", true}, Case{"x;1", true}, Case{"8;x", true}, Case{"-1;x", true},
                   Case{"     ", false}, Case{";5;x", false}, Case{"5;1;;a.htm;", true},
                   Case{"5;2;7;b.htm;B;;0;", true}, Case{"6;9;tip", true}, Case{"7;;u;T", true},
                   Case{"7;p;u;", true}, Case{"3;0;x/", true}, Case{"5;1;;a", true}}) {
        Loaded loaded = LoadLine(c.line);
        EXPECT_EQ(loaded.index->BadLines().size(), c.bad ? 1u : 0u) << c.line;
    }
}

TEST(IndexFileLoad, EntryWithOnlyRequiredFieldsIsOutOfContentsAtTheEnd) {
    Loaded loaded = LoadLine("5;1;;a.htm;A", "5;2;;b.htm;B;;0;\r\n");
    IndexFile& index = *loaded.index;
    ASSERT_EQ(index.m_root.m_children.size(), 2u);
    IndexEntry& a = *index.m_root.m_children[1];
    EXPECT_EQ(a.m_title, "A");
    EXPECT_EQ(a.m_inContents, 0);
    EXPECT_EQ(a.m_baseUrl, nullptr);
    EXPECT_EQ(a.m_ownTarget, 0);
}

TEST(IndexFileLoad, DuplicateIdsAreBadAndChildrenOfUnplacedEntriesStayUnplaced) {
    Loaded loaded = LoadText(std::string(kHeader) + "5;1;;a.htm;A;;0;\r\n"
                                                    "5;1;;dup.htm;Dup;;0;\r\n"
                                                    "5;2;;out.htm;Out;;-1;\r\n"
                                                    "5;3;;child.htm;Child;;2;\r\n"
                                                    "6;3;child tip\r\n");
    IndexFile& index = *loaded.index;
    EXPECT_EQ(index.BadLines(), (std::vector<std::string>{"5;1;;dup.htm;Dup;;0;"}));
    ASSERT_EQ(index.m_root.m_children.size(), 3u);
    EXPECT_EQ(index.m_root.m_children[2]->m_title, "Child");
    EXPECT_EQ(index.m_root.m_children[2]->m_inContents, 0);
    EXPECT_EQ(index.m_root.m_children[2]->m_pageTip, "child tip");
}

TEST(IndexFileLoad, KeywordReferences) {
    const std::string entries = "5;3;;g.htm;Guide;;0;\r\n5;4;;h.htm;Help;;0;\r\n";
    Loaded own = LoadLine("7;&3 intro;;&3;", entries);
    IndexEntry& guide = *own.index->m_root.m_children[0];
    ASSERT_EQ(guide.m_keywords.size(), 1u);
    EXPECT_EQ(guide.m_keywords[0].m_phrase, "Guide intro");
    EXPECT_EQ(guide.m_keywords[0].m_anchor, "");
    EXPECT_EQ(guide.m_keywords[0].m_extraTitle, "");

    Loaded disagree = LoadLine("7;&3 intro;&4#a;Title;", entries);
    ASSERT_EQ(disagree.index->m_otherKeywords.m_keywords.size(), 1u);
    const IndexKeyword& other = disagree.index->m_otherKeywords.m_keywords[0];
    EXPECT_EQ(other.m_phrase, "Guide intro");
    EXPECT_EQ(other.m_anchor, "h.htm#a");
    EXPECT_EQ(other.m_extraTitle, "Title");

    Loaded missing = LoadLine("7;&9x;u.htm;T;", entries);
    const IndexKeyword& unresolved = missing.index->m_otherKeywords.m_keywords.at(0);
    EXPECT_EQ(unresolved.m_phrase, "9x");
    EXPECT_EQ(unresolved.m_anchor, "u.htm");
    EXPECT_EQ(unresolved.m_extraTitle, "T");
    EXPECT_EQ(unresolved.m_owner, &missing.index->m_otherKeywords);
}

TEST(IndexFileLoad, KeywordWhoseUrlLeavesItsOwnerBecomesAnOtherKeyword) {
    Loaded loaded = LoadLine("7;&1;docs/x.htm;&1;", "3;1;docs/;\r\n5;1;1;a.htm;A;;0;\r\n");
    IndexFile& index = *loaded.index;
    EXPECT_TRUE(index.m_root.m_children[0]->m_keywords.empty());
    ASSERT_EQ(index.m_otherKeywords.m_keywords.size(), 1u);
    EXPECT_EQ(index.m_otherKeywords.m_keywords[0].m_anchor, "docs/x.htm");
    EXPECT_EQ(index.m_otherKeywords.m_keywords[0].m_extraTitle, "A");
    EXPECT_EQ(index.m_otherKeywords.m_keywords[0].m_phrase, "A");
}

TEST(IndexFileLoad, ThreeBadLinesMakeOneMessage) {
    Loaded loaded = LoadText(std::string(kHeader) + "4;x\r\nx;1\n6;9;t\r\n");
    EXPECT_EQ(loaded.index->BadLinesMessage(),
              "The index file has 3 errors in these lines:\n\n4;x\nx;1\n6;9;t\n");
    Loaded one = LoadLine("4;x");
    EXPECT_EQ(one.index->BadLinesMessage(), "The index file has one error in this line:\n\n4;x\n");
}

TEST(IndexFileLoad, FormatOneWithCurrentBaseUrlsAndOldRecords) {
    Loaded loaded = LoadText("XO0;1;2;Old site;1999\n"
                             "1;1;top.htm;Top\n"
                             "3;http://a.example/docs\n"
                             "1;2;a.htm;A;0;icon.gif\n"
                             "1;3;http://b.example/;B;2\n"
                             "2;Phrase;&2;&2#x;main\n"
                             "2;Loose;T;u.htm\n");
    IndexFile& index = *loaded.index;
    EXPECT_TRUE(index.BadLines().empty()) << index.BadLinesMessage();
    EXPECT_EQ(index.m_description, "Old site");
    ASSERT_EQ(index.m_baseUrls.size(), 2u);
    EXPECT_EQ(index.m_baseUrls[1]->m_url, "http://a.example/docs/");
    EXPECT_EQ(index.m_baseUrls[1]->m_id, 2);
    IndexEntry& a = *index.m_root.m_children.at(0);
    EXPECT_EQ(a.FullUrl(), "http://a.example/docs/a.htm");
    EXPECT_EQ(a.m_iconUrl, "icon.gif");
    EXPECT_EQ(a.m_children.at(0)->m_baseUrl, nullptr);
    ASSERT_EQ(a.m_keywords.size(), 1u);
    EXPECT_EQ(a.m_keywords[0].m_anchor, "#x");
    EXPECT_EQ(a.m_keywords[0].m_targetFrame, "main");
    // The entry before the first record 3, without a parent field, is outside the contents.
    EXPECT_EQ(index.m_root.m_children.at(1)->m_title, "Top");
    EXPECT_EQ(index.m_root.m_children.at(1)->m_inContents, 0);
    EXPECT_EQ(index.m_otherKeywords.m_keywords.at(0).m_anchor, "http://a.example/docs/u.htm");
}

TEST(IndexFileLoad, FormatZeroHasNoDescription) {
    Loaded loaded = LoadText("0;0;1998\n1;5;x.htm;X\n6;0;tip\n");
    EXPECT_EQ(loaded.index->m_description, "No description");
    EXPECT_EQ(loaded.index->m_dateText, "1998");
    EXPECT_EQ(loaded.index->m_tipText, "tip");
    EXPECT_EQ(loaded.index->m_root.m_children.size(), 1u);
}

TEST(IndexFileLoad, MissingFileIsNotOpened) {
    IndexFile index;
    EXPECT_EQ(index.Load("/nonexistent/dir/file.xo"), 0);
    TestFiles files;
    EXPECT_EQ(index.Load(files.Path("")), 0);
}

TEST(IndexFileLoad, ResolveReferenceOutsideALoad) {
    IndexFile index;
    index.m_root.AppendChild(
        std::make_unique<IndexEntry>(12, nullptr, "p.htm", "Page", "", 0, "", 1));
    BaseUrl base(1, "base/", "", 0);
    std::string text = "&12#top";
    EXPECT_EQ(index.ResolveReference(text, ReferenceMode::Url, nullptr)->m_id, 12);
    EXPECT_EQ(text, "p.htm#top");
    text = "rel.htm";
    EXPECT_EQ(index.ResolveReference(text, ReferenceMode::Url, &base), nullptr);
    EXPECT_EQ(text, "base/rel.htm");
    text = "http://x/";
    index.ResolveReference(text, ReferenceMode::Url, &base);
    EXPECT_EQ(text, "http://x/");
    text = "&";
    EXPECT_EQ(index.ResolveReference(text, ReferenceMode::Title, nullptr), nullptr);
    EXPECT_EQ(text, "&");
    text = "&x";
    index.ResolveReference(text, ReferenceMode::Title, nullptr);
    EXPECT_EQ(text, "x");
}

TEST(IndexFileLoad, AFileWithoutOneRecordIsNoIndex) {
    TestFiles files;
    auto result = [&files](const std::string& bytes) {
        IndexFile index;
        return index.LoadIndex(files.Write("f.xo", bytes));
    };
    EXPECT_EQ(result("<!DOCTYPE html>\n<html>\n<title>git</title>\n"), LoadResult::NotAnIndex);
    EXPECT_EQ(result(std::string("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16)), LoadResult::NotAnIndex);
    // A NUL ends the reading, even after good records.
    EXPECT_EQ(result(std::string(kHeader) + "5;1;;a.htm;A;;0;\r\n" + std::string(1, '\0')),
              LoadResult::NotAnIndex);
    EXPECT_EQ(result(std::string(kHeader) + "<p>one bad line</p>\r\n"), LoadResult::Opened);
    EXPECT_EQ(result("5;1;;a.htm;A;;0;\nnot a record\n"), LoadResult::Opened);
    EXPECT_EQ(result(""), LoadResult::Opened);
    EXPECT_EQ(result("\r\n   \r\n;tamblin-scan;x\r\n"), LoadResult::Opened);
    IndexFile index;
    EXPECT_EQ(index.LoadIndex(files.Path("missing.xo")), LoadResult::CannotOpen);
}

TEST(IndexFileLoad, AShortBadLinesMessageListsTheFirstLinesAndCountsTheRest) {
    std::string text(kHeader);
    for (int i = 0; i < 30; ++i) {
        text += "bad line " + std::to_string(i) + " \xC3\xA9t\xC3\xA9\r\n";
    }
    Loaded loaded = LoadText(text);
    std::string full = loaded.index->BadLinesMessage();
    EXPECT_NE(full.find("bad line 29"), std::string::npos);
    // Cut after "bad line 1 " and one byte of the two of the "é": the whole letter goes.
    EXPECT_EQ(loaded.index->BadLinesMessage(2, 12),
              "The index file has 30 errors in these lines:\n\nbad line 0 ...\nbad line 1 ...\n"
              "and 28 more\n");
}
