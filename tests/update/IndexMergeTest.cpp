#include "update/IndexMerge.h"
#include "TestFiles.h"
#include "index/IndexFile.h"
#include "scanner/ScanSettingsText.h"
#include "scanner/SiteScanner.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>

using namespace tamblin;

namespace {

std::unique_ptr<IndexFile> ScanSite(const std::string& start, bool caseSignificant = false) {
    ScanSettings settings;
    settings.start = start;
    settings.caseSignificant = caseSignificant;
    SiteScanner scanner(settings);
    std::optional<std::string> path = scanner.ScanIndex();
    EXPECT_TRUE(path.has_value());
    auto index = std::make_unique<IndexFile>();
    EXPECT_EQ(index->Load(*path), 1);
    std::remove(path->c_str());
    return index;
}

// A scan as the New command keeps it, saved and read back, so that the marks go through
// the file.
std::unique_ptr<IndexFile> FirstScan(TestFiles& files, const std::string& start) {
    std::unique_ptr<IndexFile> index = ScanSite(start);
    IndexMerge::MarkScanned(index->m_root);
    EXPECT_EQ(index->Save(files.Path("index.xo")), 1);
    auto loaded = std::make_unique<IndexFile>();
    EXPECT_EQ(loaded->Load(files.Path("index.xo")), 1);
    EXPECT_TRUE(loaded->BadLines().empty());
    return loaded;
}

IndexEntry* Find(IndexEntry& root, const std::string& url) {
    for (auto& child : root.m_children) {
        if (child->m_url == url) {
            return child.get();
        }
        if (IndexEntry* found = Find(*child, url)) {
            return found;
        }
    }
    return nullptr;
}

std::vector<std::string> Lines(const MergeResult& result) {
    std::vector<std::string> lines;
    for (const MergeChange& change : result.changes) {
        const char* kinds[] = {"added", "gone", "retitled", "keyword+", "keyword-"};
        lines.push_back(std::string(kinds[static_cast<int>(change.kind)]) + " " + change.url + " " +
                        change.before + "|" + change.after);
    }
    return lines;
}

std::vector<std::string> Children(const IndexEntry& entry) {
    std::vector<std::string> urls;
    for (const auto& child : entry.m_children) {
        urls.push_back(child->m_url);
    }
    return urls;
}

bool HasPhrase(const IndexEntry& entry, const std::string& phrase) {
    for (const IndexKeyword& keyword : entry.m_keywords) {
        if (keyword.m_phrase == phrase) {
            return true;
        }
    }
    return false;
}

struct Site {
    TestFiles files;
    std::string start;
    Site() {
        start = files.Write("site/index.htm", "<title>Home</title><a href=a.htm>A</a>"
                                              "<a href=b.htm>B</a><a href=c.htm>C</a>");
        files.Write("site/a.htm", "<title>Page A</title><a href=d.htm>D</a>");
        files.Write("site/b.htm", "<title>Page B</title><a name=top>Top</a>");
        files.Write("site/c.htm", "<title>Page C</title>");
        files.Write("site/d.htm", "<title>Page D</title>");
    }
};

} // namespace

TEST(IndexMerge, AnUnchangedSiteChangesNothing) {
    Site site;
    std::unique_ptr<IndexFile> index = FirstScan(site.files, site.start);
    std::unique_ptr<IndexFile> again = ScanSite(site.start);
    IndexMerge merge(index->m_root, index->m_baseUrls, *again, false);
    EXPECT_TRUE(merge.Result().changes.empty());
    EXPECT_EQ(merge.Result().authorEditsKept, 0);
}

// The author's titles, places, keywords and settings stay; the site's changes come in.
TEST(IndexMerge, KeepsTheAuthorsEditsAndTakesTheSitesChanges) {
    Site site;
    std::unique_ptr<IndexFile> index = FirstScan(site.files, site.start);
    IndexEntry& home = *index->m_root.m_children[0];
    Find(home, "a.htm")->m_title = "My A";
    std::unique_ptr<IndexEntry> c = home.m_children[2]->Clone();
    c->m_scanMark = home.m_children[2]->m_scanMark;
    home.m_children.erase(home.m_children.begin() + 2);
    Find(home, "b.htm")->AppendChild(std::move(c));
    IndexEntry& b = *Find(home, "b.htm");
    b.m_keywords.emplace_back(&b, "Bee", "", "", "", 0);
    Find(home, "c.htm")->m_pageTip = "Deep";
    ASSERT_EQ(index->Save(site.files.Path("index.xo")), 1);
    index = std::make_unique<IndexFile>();
    ASSERT_EQ(index->Load(site.files.Path("index.xo")), 1);

    site.files.Write("site/a.htm",
                     "<title>Page A2</title><a href=d.htm>D</a><a href=new.htm>N</a>");
    site.files.Write("site/b.htm", "<title>Page B2</title><a name=top>Top</a>");
    site.files.Write("site/new.htm", "<title>New</title>");
    std::filesystem::remove(site.files.Path("site/d.htm"));
    std::unique_ptr<IndexFile> again = ScanSite(site.start);

    IndexEntry& root = index->m_root;
    IndexMerge merge(root, index->m_baseUrls, *again, false);
    EXPECT_EQ(Lines(merge.Result()),
              (std::vector<std::string>{"keyword- a.htm Page A|", "keyword+ a.htm |Page A2",
                                        "added new.htm |a.htm", "retitled b.htm Page B|Page B2",
                                        "gone d.htm |"}));
    // My A (title), c under b (place), Bee (keyword), Deep (page tip). The scan's title
    // keyword of a follows the site's new title all the same.
    EXPECT_EQ(merge.Result().authorEditsKept, 4);
    merge.Apply();
    IndexEntry& home2 = *root.m_children[0];
    EXPECT_EQ(Find(home2, "a.htm")->m_title, "My A");
    EXPECT_EQ(Find(home2, "b.htm")->m_title, "Page B2");
    EXPECT_TRUE(HasPhrase(*Find(home2, "b.htm"), "Bee"));
    // The title keyword follows the new title where it stood, first.
    EXPECT_EQ(Find(home2, "b.htm")->m_keywords[0].m_phrase, "Page B2");
    EXPECT_FALSE(HasPhrase(*Find(home2, "b.htm"), "Page B"));
    EXPECT_EQ(Children(*Find(home2, "b.htm")), std::vector<std::string>{"c.htm"});
    EXPECT_EQ(Find(home2, "c.htm")->m_pageTip, "Deep");
    EXPECT_EQ(Find(home2, "d.htm")->m_inContents, 0);
    EXPECT_EQ(Children(*Find(home2, "a.htm")), (std::vector<std::string>{"d.htm", "new.htm"}));

    // The next update starts from this one: nothing left to do.
    IndexMerge next(root, index->m_baseUrls, *again, false);
    EXPECT_EQ(Lines(next.Result()), std::vector<std::string>{"gone d.htm |"});
}

TEST(IndexMerge, ScanKeywordsFollowThePageUnlessTheAuthorEditedThem) {
    TestFiles files;
    std::string start =
        files.Write("index.htm", "<title>Home</title><a name=one>One</a><a name=two>Two</a>"
                                 "<a name=three>Three</a>");
    std::unique_ptr<IndexFile> index = FirstScan(files, start);
    IndexEntry& home = *index->m_root.m_children[0];
    ASSERT_EQ(home.m_keywords.size(), 4u);
    home.m_keywords[1].m_phrase = "Number one";         // edited
    home.m_keywords.erase(home.m_keywords.begin() + 3); // Three deleted by the author
    files.Write("index.htm", "<title>Home</title><a name=four>Four</a><a name=three>Three</a>");
    std::unique_ptr<IndexFile> again = ScanSite(start);
    IndexMerge merge(index->m_root, index->m_baseUrls, *again, false);
    EXPECT_EQ(Lines(merge.Result()),
              (std::vector<std::string>{"keyword- index.htm Two|", "keyword+ index.htm |Four"}));
    merge.Apply();
    std::vector<std::string> phrases;
    for (const IndexKeyword& keyword : home.m_keywords) {
        phrases.push_back(keyword.m_phrase);
        EXPECT_EQ(keyword.m_owner, &home);
    }
    EXPECT_EQ(phrases, (std::vector<std::string>{"Home", "Number one", "Four"}));
}

TEST(IndexMerge, ANewPageWhoseLinkingPageHasNoEntryGoesToTheEndOfTheTop) {
    TestFiles files;
    std::string start = files.Write("index.htm", "<title>Home</title>");
    std::unique_ptr<IndexFile> index = FirstScan(files, start);
    files.Write("index.htm", "<title>Home</title><a href=x.htm>X</a>");
    files.Write("x.htm", "<title>X</title><a href=y.htm>Y</a>");
    files.Write("y.htm", "<title>Y</title>");
    std::unique_ptr<IndexFile> again = ScanSite(start);
    IndexMerge merge(index->m_root, index->m_baseUrls, *again, false);
    ASSERT_EQ(Lines(merge.Result()),
              (std::vector<std::string>{"added x.htm |index.htm", "added y.htm |x.htm"}));
    merge.Result().changes[0].apply = false;
    merge.Apply();
    EXPECT_EQ(Children(index->m_root), (std::vector<std::string>{"index.htm", "y.htm"}));
    EXPECT_TRUE(index->m_root.m_children[0]->m_children.empty());
}

TEST(IndexMerge, AGonePageIsRemovedOnlyWhenAskedAndItsChildrenStay) {
    Site site;
    std::unique_ptr<IndexFile> index = FirstScan(site.files, site.start);
    site.files.Write("site/index.htm", "<title>Home</title><a href=b.htm>B</a><a href=d.htm>D</a>"
                                       "<a href=c.htm>C</a>");
    std::filesystem::remove(site.files.Path("site/a.htm"));
    std::unique_ptr<IndexFile> again = ScanSite(site.start);
    {
        IndexMerge merge(index->m_root, index->m_baseUrls, *again, false);
        ASSERT_EQ(Lines(merge.Result()), std::vector<std::string>{"gone a.htm |"});
        EXPECT_FALSE(merge.Result().changes[0].apply);
        merge.Apply();
        // Out of the contents, d would go with it when the file is read again.
        EXPECT_EQ(Find(index->m_root, "a.htm")->m_inContents, 1);
    }
    IndexMerge merge(index->m_root, index->m_baseUrls, *again, false);
    merge.Result().changes[0].apply = true;
    merge.Apply();
    EXPECT_EQ(Children(*index->m_root.m_children[0]),
              (std::vector<std::string>{"d.htm", "b.htm", "c.htm"}));
}

TEST(IndexMerge, SamePageAsTheScannerComparesLocations) {
    TestFiles files;
    std::string start = files.Write("index.htm", "<title>Home</title><a href=a.htm>A</a>");
    files.Write("a.htm", "<title>A</title>");
    std::unique_ptr<IndexFile> index = FirstScan(files, start);
    Find(index->m_root, "a.htm")->m_url = "./sub/../A.HTM";
    std::unique_ptr<IndexFile> again = ScanSite(start);
    EXPECT_TRUE(
        IndexMerge(index->m_root, index->m_baseUrls, *again, false).Result().changes.empty());
    std::unique_ptr<IndexFile> strict = ScanSite(start, true);
    EXPECT_EQ(Lines(IndexMerge(index->m_root, index->m_baseUrls, *strict, true).Result()),
              (std::vector<std::string>{"added a.htm |index.htm", "gone ./sub/../A.HTM |"}));
}

// An index from before the scan was remembered: its titles and keywords are all the
// author's, and only what it lacks is offered.
TEST(IndexMerge, AnIndexWithoutMarksKeepsItsTitlesAndKeywords) {
    TestFiles files;
    std::string start = files.Write("index.htm", "<title>Home</title><a name=n>N</a>");
    std::unique_ptr<IndexFile> index = ScanSite(start);
    index->m_root.m_children[0]->m_title = "Start";
    files.Write("index.htm", "<title>Home page</title><a name=n>N</a>");
    std::unique_ptr<IndexFile> again = ScanSite(start);
    IndexMerge merge(index->m_root, index->m_baseUrls, *again, false);
    EXPECT_EQ(Lines(merge.Result()), (std::vector<std::string>{"keyword+ index.htm |Home page"}));
}

TEST(ScanMarkRecords, ReadBackAndNeverMakeABadLine) {
    TestFiles files;
    std::string path = files.Write(
        "i.xo", "XO0;2;1;1\r\n1;D;x\r\n5;1;;a.htm;A;;0;\r\n7;&1;&1;&1;\r\n"
                ";tamblin-scan;start=/s/index.htm;case=1\r\n;tamblin-page;1;00000000000000ff;"
                "0000000000000001,2\r\n;tamblin-page;9;1;\r\n;tamblin-page;1;zz;\r\n"
                ";tamblin-page;x\r\n");
    IndexFile index;
    ASSERT_EQ(index.Load(path), 1);
    EXPECT_TRUE(index.BadLines().empty());
    EXPECT_EQ(index.m_scanSource, "start=/s/index.htm;case=1");
    const IndexEntry& a = *index.m_root.m_children[0];
    ASSERT_TRUE(a.m_scanMark.has_value());
    EXPECT_EQ(a.m_scanMark->title, 0xffu);
    EXPECT_EQ(a.m_scanMark->keywords, (std::vector<std::uint64_t>{1, 2}));
    std::string saved = index.WriteToString();
    EXPECT_NE(saved.find("\r\n;tamblin-scan;start=/s/index.htm;case=1\r\n;tamblin-page;1;"
                         "000000ff;00000001,00000002\r\n"),
              std::string::npos);
}

TEST(ScanSettingsText, RoundTripsEveryOptionAndEscapesFieldBreaks) {
    ScanSettings settings = ScanSettings::Classic();
    settings.start = "/web/a;b%c\r\nd.htm";
    settings.fromUrl = true;
    settings.caseSignificant = true;
    settings.anchorsAsKeywords = false;
    settings.skipTargetFrame = "left";
    settings.delayMs = 250;
    std::string text = ScanSettingsText::Encode(settings);
    EXPECT_EQ(text.find_first_of("\r\n"), std::string::npos);
    EXPECT_EQ(text.substr(0, 28), "start=/web/a%3Bb%25c%0D%0Ad.");
    ScanSettings back;
    ASSERT_TRUE(ScanSettingsText::Decode(text, back));
    EXPECT_EQ(ScanSettingsText::Encode(back), text);
    EXPECT_EQ(back.start, settings.start);
    EXPECT_FALSE(back.polite);
    // Unknown or broken fields leave the defaults; no start is no remembered scan.
    ScanSettings other;
    EXPECT_FALSE(ScanSettingsText::Decode("case=2;delay=-5;x;%", other));
    EXPECT_FALSE(other.caseSignificant);
    EXPECT_EQ(other.delayMs, 0);
}

// Kept out of the contents, a gone page keeps only the keywords the author gave it: those the
// scan gave it would send readers of Look for to a page that is not there. Removed when it
// comes back, the scan's keywords are offered again.
TEST(IndexMerge, AGonePageKeptLosesTheScansKeywordsButNotTheAuthors) {
    Site site;
    std::unique_ptr<IndexFile> index = FirstScan(site.files, site.start);
    IndexEntry& c = *Find(index->m_root, "c.htm");
    ASSERT_TRUE(HasPhrase(c, "Page C"));
    c.m_keywords.emplace_back(&c, "Mine", "", "", "", 0);
    site.files.Write("site/index.htm", "<title>Home</title><a href=a.htm>A</a><a href=b.htm>B</a>");
    std::filesystem::remove(site.files.Path("site/c.htm"));
    std::unique_ptr<IndexFile> again = ScanSite(site.start);
    {
        IndexMerge merge(index->m_root, index->m_baseUrls, *again, false);
        ASSERT_EQ(Lines(merge.Result()), std::vector<std::string>{"gone c.htm |"});
        EXPECT_EQ(merge.Result().changes[0].scanKeywords, 1);
        merge.Apply();
    }
    EXPECT_EQ(c.m_inContents, 0);
    EXPECT_FALSE(HasPhrase(c, "Page C"));
    EXPECT_TRUE(HasPhrase(c, "Mine"));

    site.files.Write("site/index.htm", "<title>Home</title><a href=a.htm>A</a><a href=b.htm>B</a>"
                                       "<a href=c.htm>C</a>");
    site.files.Write("site/c.htm", "<title>Page C</title>");
    std::unique_ptr<IndexFile> back = ScanSite(site.start);
    IndexMerge merge(index->m_root, index->m_baseUrls, *back, false);
    EXPECT_EQ(Lines(merge.Result()), std::vector<std::string>{"keyword+ c.htm |Page C"});
}

// One edit of the author's counts once: a title changed in the file, where its title
// keyword ("&N") follows it, is one edit, not three; an update with nothing new on the site
// changes nothing and counts the same again.
TEST(IndexMerge, EachEditOfTheAuthorCountsOnceAndAgainOnTheNextUpdate) {
    Site site;
    std::unique_ptr<IndexFile> index = FirstScan(site.files, site.start);
    std::string saved = TestFiles::Read(site.files.Path("index.xo"));
    auto replace = [&saved](const std::string& from, const std::string& to) {
        size_t at = saved.find(from);
        ASSERT_NE(at, std::string::npos) << from;
        saved.replace(at, from.size(), to);
    };
    replace(";a.htm;Page A;", ";a.htm;My A;");
    replace(";c.htm;Page C;;1;\r\n", ";c.htm;Page C;;1;\r\n7;See also;&4;&4;\r\n");
    site.files.Write("index.xo", saved);
    index = std::make_unique<IndexFile>();
    ASSERT_EQ(index->Load(site.files.Path("index.xo")), 1);
    ASSERT_EQ(Find(index->m_root, "a.htm")->m_keywords[0].m_phrase, "My A");

    std::unique_ptr<IndexFile> again = ScanSite(site.start);
    IndexMerge merge(index->m_root, index->m_baseUrls, *again, false);
    EXPECT_EQ(Lines(merge.Result()), std::vector<std::string>{});
    EXPECT_EQ(merge.Result().authorEditsKept, 2);
    merge.Apply();
    ASSERT_EQ(index->Save(site.files.Path("first.xo")), 1);

    IndexFile reread;
    ASSERT_EQ(reread.Load(site.files.Path("first.xo")), 1);
    IndexMerge next(reread.m_root, reread.m_baseUrls, *again, false);
    EXPECT_EQ(Lines(next.Result()), std::vector<std::string>{});
    EXPECT_EQ(next.Result().authorEditsKept, 2);
    next.Apply();
    ASSERT_EQ(reread.Save(site.files.Path("second.xo")), 1);
    EXPECT_EQ(TestFiles::Read(site.files.Path("second.xo")),
              TestFiles::Read(site.files.Path("first.xo")));
}

// A keyword the site adds goes where the page has it among the others, the author's
// staying beside the keyword they followed; a retitled page keeps its title keyword's place.
TEST(IndexMerge, KeywordsKeepTheirOrder) {
    TestFiles files;
    std::string start =
        files.Write("index.htm", "<title>Home</title><a name=one>One</a><a name=three>Three</a>");
    std::unique_ptr<IndexFile> index = FirstScan(files, start);
    IndexEntry& home = *index->m_root.m_children[0];
    home.m_keywords.emplace(home.m_keywords.begin() + 2, &home, "Mine", "", "", "", 0);
    files.Write("index.htm", "<title>Home page</title><a name=zero>Zero</a><a name=one>One</a>"
                             "<a name=two>Two</a><a name=three>Three</a><a name=four>Four</a>");
    std::unique_ptr<IndexFile> again = ScanSite(start);
    IndexMerge merge(index->m_root, index->m_baseUrls, *again, false);
    EXPECT_EQ(merge.Result().authorEditsKept, 1);
    merge.Apply();
    std::vector<std::string> phrases;
    for (const IndexKeyword& keyword : home.m_keywords) {
        phrases.push_back(keyword.m_phrase);
    }
    EXPECT_EQ(phrases, (std::vector<std::string>{"Home page", "Zero", "One", "Mine", "Two", "Three",
                                                 "Four"}));
}
