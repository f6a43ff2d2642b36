#include "document/ui/CXoDoc.h"
#include "AppTestSupport.h"
#include "FileSizeLimit.h"
#include "ScriptedDialogs.h"
#include "TestFiles.h"
#include "index/UrlUtils.h"

#include <QDir>

#include <filesystem>
#include <memory>

#include <gtest/gtest.h>

using namespace tamblin;
using Answer = DialogService::Answer;

namespace {

const std::string kHeader = "XO0;2;1;1;Tamblin 1.1.18\r\n1;My site;December 6 2026\r\n";

QString Q(const std::string& path) {
    return QString::fromStdString(path);
}

class CXoDocTest : public ::testing::Test {
protected:
    bool m_app = (test::App(), true);
    TestFiles m_files;
    ScriptedDialogs m_dialogs;
    CXoDoc m_doc;
};

} // namespace

TEST_F(CXoDocTest, NewIndexIsMySiteAndUnmodifiedUnlessDescribed) {
    ASSERT_TRUE(m_doc.NewIndex());
    EXPECT_EQ(m_doc.Index()->m_description, "MySite");
    EXPECT_FALSE(m_doc.IsModified());
    EXPECT_EQ(m_doc.Title(), QStringLiteral("MySite"));
    EXPECT_EQ(m_doc.PathName(), QDir::current().absoluteFilePath(QStringLiteral("MySite")));
    ASSERT_TRUE(m_doc.NewIndex("Docs"));
    EXPECT_TRUE(m_doc.IsModified());
    EXPECT_EQ(m_doc.Index()->m_changed, 1);
    EXPECT_EQ(m_doc.Title(), QStringLiteral("Docs"));
}

TEST_F(CXoDocTest, LanguageFilesAndUnreadableFilesLeaveTheIndexAlone) {
    m_doc.NewIndex();
    IndexFile* before = m_doc.Index();
    std::string language = m_files.Write("INDEX.XOL", kHeader);
    EXPECT_FALSE(m_doc.OpenIndex(Q(language)));
    EXPECT_FALSE(m_doc.OpenIndex(Q(m_files.Path("missing.xo"))));
    EXPECT_EQ(m_doc.Index(), before);
    ASSERT_EQ(m_dialogs.m_messages.size(), 2);
    EXPECT_EQ(m_dialogs.m_messages[0].text,
              QStringLiteral("Please open language files using File+Open language file"));
    EXPECT_EQ(m_dialogs.m_messages[1].text,
              QStringLiteral("Could not open file (%1)").arg(Q(m_files.Path("missing.xo"))));
}

TEST_F(CXoDocTest, BadLinesAreReportedOnceWithAStopIconAndTheFileOpens) {
    std::string path =
        m_files.Write("bad.xo", kHeader + "abc\r\n5;1;;a.htm;A;;0;\r\n99;x\r\nq;q\r\n");
    ASSERT_TRUE(m_doc.OpenIndex(Q(path)));
    ASSERT_EQ(m_dialogs.m_messages.size(), 1);
    EXPECT_EQ(m_dialogs.m_messages[0].icon, DialogService::Icon::Stop);
    EXPECT_EQ(m_dialogs.m_messages[0].text,
              QStringLiteral("The index file has 3 errors in these lines:\n\nabc\n99;x\nq;q\n"));
    EXPECT_EQ(m_doc.Index()->m_root.m_children.size(), 1u);
    EXPECT_FALSE(m_doc.IsModified());
}

TEST_F(CXoDocTest, SaveChangesQuestionFollowsTheAnswer) {
    m_doc.NewIndex("Docs");
    m_dialogs.m_answers = {Answer::Cancel, Answer::No};
    EXPECT_FALSE(m_doc.SaveModified());
    EXPECT_TRUE(m_doc.SaveModified());
    EXPECT_EQ(m_dialogs.m_messages[0].text, QStringLiteral("Save changes to Docs?"));
    EXPECT_EQ(m_dialogs.m_messages[0].buttons, DialogService::Buttons::YesNoCancel);
    EXPECT_TRUE(m_doc.IsModified());
    // Yes on a file never saved asks for a name, suggesting the description.
    m_dialogs.m_answers = {Answer::Yes};
    m_dialogs.m_files = {Q(m_files.Path("Docs.xo"))};
    EXPECT_TRUE(m_doc.SaveModified());
    ASSERT_EQ(m_dialogs.m_fileRequests.size(), 1);
    EXPECT_FALSE(m_dialogs.m_fileRequests[0].open);
    EXPECT_TRUE(m_dialogs.m_fileRequests[0].path.endsWith(QStringLiteral("/Docs")));
    EXPECT_FALSE(m_doc.IsModified());
    EXPECT_EQ(m_doc.Title(), QStringLiteral("Docs.xo"));
    EXPECT_TRUE(FileExists(m_files.Path("Docs.xo")));
}

TEST_F(CXoDocTest, SaveOfAnExistingFileDoesNotAskAndAFailureIsTold) {
    std::string path = m_files.Write("site.xo", kHeader);
    ASSERT_TRUE(m_doc.OpenIndex(Q(path)));
    m_doc.SetPathName(Q(path));
    m_doc.SetModifiedFlag();
    EXPECT_TRUE(m_doc.DoFileSave());
    EXPECT_TRUE(m_dialogs.m_fileRequests.isEmpty());
    m_doc.SetModifiedFlag();
    EXPECT_FALSE(m_doc.DoSave(Q(m_files.Path("no/such/dir/x.xo")), false));
    ASSERT_EQ(m_dialogs.m_messages.size(), 1);
    EXPECT_TRUE(m_dialogs.m_messages[0].text.startsWith(QStringLiteral("Could not save file")));
    EXPECT_TRUE(m_doc.IsModified());
}

TEST_F(CXoDocTest, SaveFirstQuestionNoKeepsTheModifiedFlag) {
    m_doc.NewIndex("Docs");
    m_dialogs.m_answers = {Answer::No, Answer::Cancel};
    EXPECT_TRUE(m_doc.SaveBeforeUse());
    EXPECT_TRUE(m_doc.IsModified());
    EXPECT_FALSE(m_doc.SaveBeforeUse());
    EXPECT_EQ(m_dialogs.m_messages[0].text,
              QStringLiteral("Do you want to save the current index file first?"));
    EXPECT_EQ(m_dialogs.m_messages[0].icon, DialogService::Icon::Question);
}

TEST_F(CXoDocTest, Windows1252FileShowsItsLettersAndSavesBackByteForByte) {
    TestFiles::PinDate();
    const std::string text = "XO0;2;1;1;Tamblin 1.1.18\r\n"
                             "1;Mon caf\xe9;December 6 2026\r\n"
                             "5;1;;menu.htm;Cr\xe8me br\xfbl\xe9\x65 \x80 5;;0;\r\n"
                             "7;d\xe9licieux;menu.htm;Menu;\r\n";
    std::string path = m_files.Write("cafe.xo", text);
    ASSERT_TRUE(m_doc.OpenIndex(Q(path)));
    EXPECT_EQ(m_doc.Encoding(), TextEncoding::Windows1252);
    const IndexEntry& entry = *m_doc.Index()->m_root.m_children[0];
    EXPECT_EQ(m_doc.Decode(entry.m_title), QStringLiteral(u"Cr\u00e8me br\u00fbl\u00e9e \u20ac 5"));
    EXPECT_EQ(m_doc.Encode(m_doc.Decode(entry.m_title)), entry.m_title);
    ASSERT_TRUE(m_doc.SaveIndex(Q(path)));
    EXPECT_EQ(TestFiles::Read(path), text);
}

TEST_F(CXoDocTest, ViewsHearOfNewAndOpenedIndexes) {
    int notified = 0;
    QObject::connect(&m_doc, &CXoDoc::Changed, &m_doc, [&notified] { ++notified; });
    unsigned generation = m_doc.Generation();
    m_doc.NewIndex();
    EXPECT_EQ(notified, 1);
    EXPECT_NE(m_doc.Generation(), generation);
    // Never saved: no saved size to show.
    EXPECT_EQ(m_doc.StatisticsText(), QStringLiteral("0 URLs\r\n0 Index keywords"));
}

TEST_F(CXoDocTest, AScannedIndexOpensModifiedUnderItsOwnNameAndItsFileIsDeleted) {
    m_doc.NewIndex();
    std::string temporary = m_files.Write("XoTmp1", kHeader + "5;1;0;a.htm;A;;0;\r\nq;q\r\n");
    QString pathName = Q(m_files.Path("web/Docs.xo"));
    int changes = 0;
    QObject::connect(&m_doc, &CXoDoc::Changed, &m_doc, [&] { ++changes; });
    ASSERT_TRUE(m_doc.OpenScannedIndex(Q(temporary), pathName, QStringLiteral("Docs")));
    EXPECT_FALSE(FileExists(temporary));
    EXPECT_TRUE(m_doc.IsModified());
    EXPECT_EQ(m_doc.PathName(), pathName);
    EXPECT_EQ(m_doc.Title(), QStringLiteral("Docs"));
    EXPECT_TRUE(m_doc.Index()->m_fileName.empty());
    // The scanner's temporary file was never this index's saved file.
    EXPECT_FALSE(m_doc.StatisticsText().contains(QStringLiteral("Last saved file size")));
    EXPECT_EQ(changes, 1);
    // Bad lines are told as on Open.
    ASSERT_EQ(m_dialogs.m_messages.size(), 1);
    EXPECT_EQ(m_dialogs.m_messages[0].icon, DialogService::Icon::Stop);

    // An older file of that name is not overwritten unasked by the first Save.
    std::string older = m_files.Write("web/Docs.xo", kHeader);
    m_dialogs.m_files = {QString()};
    EXPECT_FALSE(m_doc.DoFileSave());
    ASSERT_EQ(m_dialogs.m_fileRequests.size(), 1);
    EXPECT_EQ(m_dialogs.m_fileRequests[0].path, pathName);
    EXPECT_EQ(TestFiles::Read(older), kHeader);
    m_dialogs.m_messages.clear();

    // A file that cannot be read leaves the scanned index as it was.
    IndexFile* before = m_doc.Index();
    EXPECT_FALSE(m_doc.OpenScannedIndex(Q(m_files.Path("gone")), QStringLiteral("/x/Y.xo"),
                                        QStringLiteral("Y")));
    EXPECT_EQ(m_doc.Index(), before);
    EXPECT_EQ(m_doc.Title(), QStringLiteral("Docs"));
}

TEST_F(CXoDocTest, AScansWordsAreWrittenBesideTheIndexAtEverySaveUntilAnotherIndex) {
    std::string temporary = m_files.Write("scan.tmp", kHeader + "5;1;;a.htm;A;;0;\r\n");
    ASSERT_TRUE(
        m_doc.OpenScannedIndex(Q(temporary), Q(m_files.Path("site.xo")), QStringLiteral("site")));
    auto words = std::make_shared<SearchIndexData>();
    words->pages.push_back({"a.htm", "A", "walrus"});
    words->words.Add("walrus", {{0, 1, 0, {0}}});
    m_doc.KeepWords(words);
    ASSERT_TRUE(m_doc.SaveIndex(Q(m_files.Path("site.xo"))));
    EXPECT_TRUE(std::filesystem::exists(m_files.Path("site.xo.search/index.js")));
    // Save As: the words follow the index to its new name.
    ASSERT_TRUE(m_doc.SaveIndex(Q(m_files.Path("copy.xo"))));
    EXPECT_TRUE(std::filesystem::exists(m_files.Path("copy.xo.search/w0.js")));
    // Another index has no words of its own: its saves write none.
    std::string other = m_files.Write("other.xo", kHeader);
    ASSERT_TRUE(m_doc.OpenIndex(Q(other)));
    EXPECT_FALSE(m_doc.KeepsWords());
    ASSERT_TRUE(m_doc.SaveIndex(Q(other)));
    EXPECT_FALSE(std::filesystem::exists(m_files.Path("other.xo.search")));
    // An index only opened leaves the search index beside it alone.
    ASSERT_TRUE(m_doc.OpenIndex(Q(m_files.Path("site.xo"))));
    ASSERT_TRUE(m_doc.SaveIndex(Q(m_files.Path("site.xo"))));
    EXPECT_TRUE(std::filesystem::exists(m_files.Path("site.xo.search/index.js")));
    EXPECT_TRUE(m_dialogs.m_messages.isEmpty());
}

// Save writes the words first. Words that cannot be written (a full disk) do not cost the
// author the edits: the index is saved, the old words stay whole, and the user is told that
// the Search tab lags behind; the next save writes them.
TEST_F(CXoDocTest, WordsThatCannotBeWrittenLeaveTheOldWordsWholeAndTheIndexSaved) {
    std::string site = m_files.Write("site.xo", kHeader + "5;1;;old.htm;Old;;0;\r\n");
    std::string list = m_files.Write("site.xo.search/index.js", "old words");
    std::string temporary = m_files.Write("scan.tmp", kHeader + "5;1;;a.htm;A;;0;\r\n");
    ASSERT_TRUE(m_doc.OpenScannedIndex(Q(temporary), Q(site), QStringLiteral("site")));
    auto words = std::make_shared<SearchIndexData>();
    std::string text;
    for (int i = 0; text.size() < 40000; ++i) {
        text += "walrus" + std::to_string(i) + ' ';
    }
    words->pages.push_back({"a.htm", "A", text});
    words->words.Add("walrus", {{0, 1, 0, {0}}});
    m_doc.KeepWords(words);
    {
        FileSizeLimit full(8000);
        EXPECT_TRUE(m_doc.DoSave(Q(site), false));
    }
    EXPECT_NE(TestFiles::Read(site).find("a.htm"), std::string::npos);
    EXPECT_EQ(TestFiles::Read(list), "old words");
    EXPECT_FALSE(std::filesystem::exists(m_files.Path("site.xo.search.new")));
    EXPECT_FALSE(m_doc.IsModified());
    ASSERT_EQ(m_dialogs.m_messages.size(), 1);
    EXPECT_TRUE(m_dialogs.m_messages[0].text.contains(
        QStringLiteral("The index was saved, but not its full-text search index")));

    ASSERT_TRUE(m_doc.DoSave(Q(site), false));
    EXPECT_NE(TestFiles::Read(list), "old words");
}

TEST_F(CXoDocTest, AScanWithoutWordsTakesAnOlderSearchIndexAwayAtSave) {
    m_files.Write("site.xo.search/index.js", "old words");
    m_files.Write("copy.xo.search/index.js", "old words");
    std::string temporary = m_files.Write("scan.tmp", kHeader + "5;1;;a.htm;A;;0;\r\n");
    ASSERT_TRUE(
        m_doc.OpenScannedIndex(Q(temporary), Q(m_files.Path("site.xo")), QStringLiteral("site")));
    m_doc.KeepWords(nullptr);
    ASSERT_TRUE(m_doc.SaveIndex(Q(m_files.Path("site.xo"))));
    EXPECT_FALSE(std::filesystem::exists(m_files.Path("site.xo.search")));
    // Nothing is left beside it either: the folder went whole.
    size_t left = 0;
    for (const auto& entry : std::filesystem::directory_iterator(m_files.Path(""))) {
        left += entry.path().filename().string().rfind("site.xo.search", 0) == 0 ? 1 : 0;
    }
    EXPECT_EQ(left, 0u);
    ASSERT_TRUE(m_doc.SaveIndex(Q(m_files.Path("copy.xo"))));
    EXPECT_FALSE(std::filesystem::exists(m_files.Path("copy.xo.search")));
    EXPECT_TRUE(m_dialogs.m_messages.isEmpty());
}
