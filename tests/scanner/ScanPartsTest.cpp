// The scanner's parts on their own: how links are sorted, which part of the titles goes and
// how the record file changes titles without reading its records back.
#include "TestFiles.h"
#include "index/FileByteSink.h"
#include "scanner/LinkClassifier.h"
#include "scanner/ScanRecordFile.h"
#include "scanner/SiteScanner.h"
#include "scanner/TitleShortener.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <memory>

using namespace tamblin;

namespace {

ClassifiedLink Sort(const LinkClassifier& links, std::string_view link,
                    const std::string& directory = "dir/") {
    std::optional<ClassifiedLink> found = links.Classify(link, directory);
    EXPECT_TRUE(found.has_value()) << link;
    return found.value_or(ClassifiedLink{});
}

// Fails with "no room" once `room` bytes are written, as a full disk does.
class FullSink final : public ByteSink {
public:
    FullSink(int fd, size_t room) : m_file(fd), m_room(room) {}
    bool Write(std::string_view bytes) override {
        if (bytes.size() > m_room) {
            m_error = ENOSPC;
            return false;
        }
        m_room -= bytes.size();
        return m_file.Write(bytes);
    }
    int Error() const override { return m_error != 0 ? m_error : m_file.Error(); }
    bool Finish() override { return m_file.Finish() && m_error == 0; }

private:
    FileByteSink m_file;
    size_t m_room;
    int m_error = 0;
};

} // namespace

TEST(LinkClassifier, PagesFilesImagesAndProbesByTodaysRules) {
    LinkClassifier urls({true, true, std::string("http://host/")});
    ClassifiedLink page = Sort(urls, "  b.html#top ");
    EXPECT_EQ(page.link, "b.html#top");
    EXPECT_EQ(page.directory, "dir/");
    EXPECT_TRUE(page.page);
    EXPECT_TRUE(Sort(urls, "sub/").page);
    EXPECT_TRUE(Sort(urls, "PIC.JPG").image);
    EXPECT_TRUE(Sort(urls, "list.php?x=1").probe);
    EXPECT_TRUE(Sort(urls, "folder/name").probe);
    EXPECT_FALSE(Sort(urls, "doc.pdf").probe);
    ClassifiedLink root = Sort(urls, "/c.htm");
    EXPECT_EQ(root.link, "http://host/c.htm");
    EXPECT_EQ(root.directory, "");
    EXPECT_TRUE(Sort(urls, "http://other/x.htm").absolute);
    // A <base> elsewhere makes a relative link absolute.
    ClassifiedLink based = Sort(urls, "x.htm", "http://else/d/");
    EXPECT_TRUE(based.absolute);
    EXPECT_EQ(based.link, "http://else/d/x.htm");
    EXPECT_FALSE(urls.Classify("#top", "dir/").has_value());
}

TEST(LinkClassifier, FilesAndTheOldRules) {
    LinkClassifier files({false, true, std::nullopt});
    EXPECT_EQ(Sort(files, "a.htm?x=1").link, "a.htm");
    EXPECT_FALSE(Sort(files, "a.php").probe);
    EXPECT_FALSE(files.Classify("/", "dir/").has_value());
    LinkClassifier old({false, false, std::nullopt});
    // The last dot of the whole link decides, query and all.
    EXPECT_FALSE(Sort(old, "a.htm?x=1.php").page);
    EXPECT_TRUE(Sort(old, "a.htm?x=1.htm").page);
    EXPECT_EQ(Sort(old, "a.htm?x=1").link, "a.htm?x=1");
}

TEST(TitleShortener, TakesTheSharedSiteNameFromEndOrStart) {
    TitleShortener end;
    end.AddStartTitle({1, "Acme Tools", 10, {}});
    end.AddPageTitle({2, "Beta - Acme Tools", 30, {}});
    end.AddPageTitle({3, "Alpha - Acme Tools", 20, {}});
    end.AddStartTitle({4, "Home - Acme Tools", 5, {}});
    std::vector<TitleShortener::Title> shorter = end.Shorten();
    ASSERT_EQ(shorter.size(), 3U);
    // In the order of where they stand, the start page's title only when it has the part.
    EXPECT_EQ(shorter[0].shorter, "Home");
    EXPECT_EQ(shorter[1].shorter, "Alpha");
    EXPECT_EQ(shorter[2].shorter, "Beta");
    EXPECT_EQ(end.Part(), "- Acme Tools");

    TitleShortener start;
    start.AddPageTitle({1, "Site: One", 0, {}});
    start.AddPageTitle({2, "Site: Two", 1, {}});
    EXPECT_EQ(start.Shorten().at(1).shorter, "Two");
    EXPECT_EQ(start.Part(), "Site:");
}

TEST(TitleShortener, NothingWhenATitleWouldBeEmptyOrNothingIsShared) {
    TitleShortener empty;
    empty.AddPageTitle({1, "A - Site", 0, {}});
    empty.AddPageTitle({2, "- Site", 1, {}});
    EXPECT_TRUE(empty.Shorten().empty());
    TitleShortener none;
    none.AddPageTitle({1, "Apples", 0, {}});
    none.AddPageTitle({2, "Pears", 1, {}});
    EXPECT_TRUE(none.Shorten().empty());
    EXPECT_EQ(none.Part(), "");
}

TEST(ScanRecordFile, ChangesTitlesWhereTheyStand) {
    ScanRecordFile file;
    ASSERT_TRUE(file.Create());
    file.SetSkipTarget("skip");
    file.SetBaseDirectory("/site/");
    file.Header("D", "December 06 2026");
    file.BaseUrl("");
    long long first = file.Entry(1, " One - S ", "/site/a.htm", 0, "skip");
    file.Keyword("&1", "&1", "&1", "main");
    long long second = file.Entry(2, "Two - S", "b.htm", 1, "");
    ASSERT_TRUE(file.Close());
    ASSERT_TRUE(file.ChangeTitles({{first, 7, "One"}, {second, 7, "Two"}}));
    EXPECT_EQ(TestFiles::Read(file.Path()), "XO0;2;1;1\n1;D;December 06 2026\n3;1;;;\n"
                                            "5;1;1;a.htm;One;;0;;\n7;&1;&1;&1;main;\n"
                                            "5;2;1;b.htm;Two;;1;;\n");
}

TEST(ScanRecordFile, AFullDiskIsReportedWithItsReason) {
    ScanRecordFile file([](int fd) { return std::make_unique<FullSink>(fd, 100); });
    ASSERT_TRUE(file.Create());
    file.Header("D", "December 06 2026");
    for (int i = 1; i < 10000 && !file.Failed(); ++i) {
        file.Entry(i, "A title", "a.htm", 0, "");
    }
    EXPECT_TRUE(file.Failed());
    EXPECT_FALSE(file.Close());
    EXPECT_EQ(file.Error(), ENOSPC);
    EXPECT_NE(file.ErrorText().find("No space left on device"), std::string::npos)
        << file.ErrorText();
}

TEST(ScanRecordFile, AScanWhoseRecordsCannotBeKeptFails) {
    TestFiles files;
    std::string page = "<title>Page</title>";
    for (int i = 0; i < 300; ++i) {
        page += "<a name=a" + std::to_string(i) + ">Anchor number " + std::to_string(i) + "</a>";
    }
    files.Write("index.htm", page);
    ScanSettings settings;
    settings.start = files.Path("index.htm");
    ScanOptions options;
    options.recordSink = [](int fd) { return std::make_unique<FullSink>(fd, 1000); };
    SiteScanner scanner(settings, nullptr, options);
    std::optional<std::string> temporary = scanner.ScanIndex();
    ASSERT_TRUE(temporary.has_value());
    std::remove(temporary->c_str());
    EXPECT_TRUE(scanner.WriteFailed());
    EXPECT_NE(scanner.ErrorText().find("No space left on device"), std::string::npos)
        << scanner.ErrorText();
    EXPECT_EQ(scanner.Summary().find("Scan complete"), std::string::npos) << scanner.Summary();

    // The same scan with room for its records.
    SiteScanner roomy(settings);
    temporary = roomy.ScanIndex();
    ASSERT_TRUE(temporary.has_value());
    std::remove(temporary->c_str());
    EXPECT_FALSE(roomy.WriteFailed());
    EXPECT_EQ(roomy.KeywordCount(), 301);
}

TEST(ScanRecordFile, DropsLinesByTheirNumberAfterTitlesChanged) {
    ScanRecordFile file;
    ASSERT_TRUE(file.Create());
    file.Header("D", "December 06 2026");
    file.BaseUrl("");
    long long first = file.Entry(1, "One - S", "a.htm", 0, "");
    EXPECT_EQ(file.Keyword("&1", "&1", "&1", ""), 4);
    long long common = file.Keyword("SYNOPSIS", "&1#s", "&1 (SYNOPSIS)", "");
    long long second = file.Entry(2, "Two - S", "b.htm", 1, "");
    long long last = file.Keyword("SYNOPSIS", "&2#s", "&2 (SYNOPSIS)", "");
    EXPECT_EQ(file.Lines(), 8);
    ASSERT_TRUE(file.Close());
    // The titles get shorter first; the lines stay where they were.
    ASSERT_TRUE(file.ChangeTitles({{first, 7, "One"}, {second, 7, "Two"}}));
    ASSERT_TRUE(file.DropLines({common, last}));
    EXPECT_EQ(TestFiles::Read(file.Path()), "XO0;2;1;1\n1;D;December 06 2026\n3;1;;;\n"
                                            "5;1;1;a.htm;One;;0;;\n7;&1;&1;&1;;\n"
                                            "5;2;1;b.htm;Two;;1;;\n");
    EXPECT_EQ(file.Lines(), 6);
    EXPECT_TRUE(file.DropLines({}));
    EXPECT_FALSE(file.Failed());
}

TEST(ScanRecordFile, DroppingLinesTheFileDoesNotHoldFailsAndKeepsIt) {
    ScanRecordFile file;
    ASSERT_TRUE(file.Create());
    file.Header("D", "December 06 2026");
    file.Entry(1, "One", "a.htm", 0, "");
    ASSERT_TRUE(file.Close());
    std::string before = TestFiles::Read(file.Path());
    EXPECT_FALSE(file.DropLines({1, 7}));
    EXPECT_TRUE(file.Failed());
    EXPECT_EQ(TestFiles::Read(file.Path()), before);
    EXPECT_FALSE(file.ErrorText().empty());
}

TEST(ScanRecordFile, AScanWhoseLinesCannotBeDroppedFails) {
    TestFiles files;
    std::string index = "<title>Manual</title>";
    for (int i = 0; i < 12; ++i) {
        std::string name = "p" + std::to_string(i) + ".htm";
        index += "<a href=" + name + ">" + name + "</a>";
        files.Write(name, "<title>Page " + std::to_string(i) + "</title><h2 id=s>SYNOPSIS</h2>");
    }
    files.Write("index.htm", index);
    ScanSettings settings;
    settings.start = files.Path("index.htm");
    settings.shortenTitles = false;
    ScanOptions options;
    // The scan's own file takes its records; the copy without the shared headings finds
    // the disk full.
    auto made = std::make_shared<int>(0);
    options.recordSink = [made](int fd) -> std::unique_ptr<ByteSink> {
        if ((*made)++ == 0) {
            return std::make_unique<FileByteSink>(fd);
        }
        return std::make_unique<FullSink>(fd, 10);
    };
    SiteScanner scanner(settings, nullptr, options);
    std::optional<std::string> temporary = scanner.ScanIndex();
    ASSERT_TRUE(temporary.has_value());
    std::remove(temporary->c_str());
    EXPECT_EQ(*made, 2);
    EXPECT_TRUE(scanner.WriteFailed());
    EXPECT_NE(scanner.ErrorText().find("No space left on device"), std::string::npos)
        << scanner.ErrorText();
    EXPECT_EQ(scanner.Summary().find("Scan complete"), std::string::npos) << scanner.Summary();
}
