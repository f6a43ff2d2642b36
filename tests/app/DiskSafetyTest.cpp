// What Tamblin does about the file on disk: files that are no index, read-only files, and
// files another program changed while they were open. Driven by keys, answered by script.
#include "AppTestSupport.h"
#include "ScriptedDialogs.h"
#include "TestFiles.h"
#include "app/ui/CMainFrame.h"
#include "app/ui/CTamblinApp.h"
#include "contents/ui/CContentsView.h"
#include "document/ui/CXoDoc.h"
#include "index/IndexFile.h"

#include <QTest>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <thread>

using namespace tamblin;
using Answer = DialogService::Answer;

namespace {

// Not as Tamblin writes them, so that any save of Tamblin's shows.
const std::string kSite = "XO0;2;1;1\r\n1;Garden;x\r\n5;1;;roses.htm;Roses;;0;\r\n";
const std::string kScanned =
    "XO0;2;1;1\r\n1;Garden;x\r\n5;1;;roses.htm;Roses;;0;\r\n5;2;;tulips.htm;Tulips;;0;\r\n";

QString Q(const std::string& text) {
    return QString::fromStdString(text);
}

class DiskSafetyTest : public ::testing::Test {
protected:
    std::unique_ptr<CTamblinApp> Start(const std::string& path) {
        auto app = std::make_unique<CTamblinApp>();
        app->m_splashAllowed = false;
        app->m_browserDirectory = Q(m_files.Path("no-browser/"));
        EXPECT_TRUE(app->InitInstance(path.empty() ? QStringList() : QStringList{Q(path)}));
        CMainFrame* frame = app->MainFrame();
        frame->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(frame));
        m_dialogs.m_messages.clear();
        return app;
    }
    static void Quit(CTamblinApp& app) {
        app.Document()->SetModifiedFlag(false);
        app.MainFrame()->close();
        app.ExitInstance();
    }
    static void Press(CTamblinApp& app, Qt::Key key) {
        QTest::keyClick(app.MainFrame()->View(), key, Qt::ControlModifier);
    }
    // Another program's write, seen by the file system as a later one than Tamblin's.
    static void WriteLater(const std::string& path, const std::string& bytes) {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        std::string temporary = path + ".other";
        std::ofstream(temporary, std::ios::binary) << bytes;
        std::filesystem::rename(temporary, path);
    }
    bool WaitForMessages(int count) {
        return QTest::qWaitFor([&] { return m_dialogs.m_messages.size() >= count; }, 5000);
    }

    test::SettingsSandbox m_sandbox;
    TestFiles m_files;
    ScriptedDialogs m_dialogs;
};

} // namespace

TEST_F(DiskSafetyTest, AFileThatIsNoIndexIsNotOpenedAndItsBoxFitsTheScreen) {
    std::string page = "<!DOCTYPE html>\n";
    for (int i = 0; i < 3000; ++i) {
        page += "<p>line " + std::to_string(i) + " " + std::string(300, 'x') + "</p>\n";
    }
    std::string html = m_files.Write("git.html", page);
    std::string picture = m_files.Write("logo.png", std::string("\x89PNG\r\n\x1a\n\0\0\0\r", 12));
    std::string site = m_files.Write("garden.xo", kSite);
    auto app = Start(site);
    for (const std::string& path : {html, picture}) {
        m_dialogs.m_files = {Q(path)};
        Press(*app, Qt::Key_O);
        ASSERT_EQ(m_dialogs.m_messages.size(), 1);
        QString text = m_dialogs.m_messages[0].text;
        EXPECT_TRUE(text.startsWith(Q(path) + QStringLiteral(" is not an index file")))
            << text.toStdString();
        EXPECT_LE(text.count(QLatin1Char('\n')), 14);
        EXPECT_LE(text.size(), 2000);
        if (path == html) {
            EXPECT_TRUE(text.contains(QStringLiteral("<p>line 0 xxx")));
            EXPECT_TRUE(text.endsWith(QStringLiteral("and 2991 more\n")));
        }
        m_dialogs.m_messages.clear();
        EXPECT_EQ(app->MainFrame()->windowTitle(), QStringLiteral("garden.xo - Tamblin"));
    }
    EXPECT_EQ(TestFiles::Read(html), page);
    EXPECT_EQ(app->RecentFiles().Items().size(), 1u);
    EXPECT_EQ(app->RecentFiles().Items().front(), site);

    // Some bad lines: the file opens, and its box lists the first lines and counts the rest.
    std::string mixed = m_files.Write("mixed.xo", kSite + page);
    m_dialogs.m_files = {Q(mixed)};
    Press(*app, Qt::Key_O);
    ASSERT_EQ(m_dialogs.m_messages.size(), 1);
    QString text = m_dialogs.m_messages[0].text;
    EXPECT_TRUE(text.startsWith(QStringLiteral("The index file has 3001 errors in these lines:")));
    EXPECT_TRUE(text.endsWith(QStringLiteral("and 2981 more\n")));
    EXPECT_LE(text.size(), 4000);
    EXPECT_EQ(app->MainFrame()->windowTitle(), QStringLiteral("mixed.xo - Tamblin"));
    Quit(*app);
}

TEST_F(DiskSafetyTest, AReadOnlyFileIsReplacedOnlyWhenTheUserSaysSo) {
    std::string site = m_files.Write("garden.xo", kSite);
    std::filesystem::permissions(site, std::filesystem::perms::owner_read);
    auto app = Start(site);
    app->Document()->SetModifiedFlag();
    // Save of a read-only file asks for a name; the same name asks before replacing it.
    m_dialogs.m_files = {Q(site)};
    m_dialogs.m_answers = {Answer::No};
    Press(*app, Qt::Key_S);
    ASSERT_EQ(m_dialogs.m_messages.size(), 1);
    EXPECT_EQ(m_dialogs.m_messages[0].text,
              Q(site) + QStringLiteral(" is read-only.\nDo you want to replace it?"));
    EXPECT_EQ(TestFiles::Read(site), kSite);
    EXPECT_TRUE(app->Document()->IsModified());
    m_dialogs.m_files = {Q(site)};
    m_dialogs.m_answers = {Answer::Yes};
    Press(*app, Qt::Key_S);
    EXPECT_FALSE(app->Document()->IsModified());
    EXPECT_NE(TestFiles::Read(site), kSite);
    EXPECT_EQ(std::filesystem::status(site).permissions(), std::filesystem::perms::owner_read);
    Quit(*app);
}

TEST_F(DiskSafetyTest, AChangeOnDiskIsOfferedForReloadAndNeverSavedOverUnasked) {
    std::string site = m_files.Write("garden.xo", kSite);
    auto app = Start(site);
    CContentsView* view = app->MainFrame()->View();
    // Tamblin's own save asks nothing, now or when the watch reports it.
    app->Document()->SetModifiedFlag();
    Press(*app, Qt::Key_S);
    QTest::qWait(300);
    EXPECT_TRUE(m_dialogs.m_messages.isEmpty());

    // Yes reloads.
    m_dialogs.m_answers = {Answer::Yes};
    WriteLater(site, kScanned);
    ASSERT_TRUE(WaitForMessages(1));
    EXPECT_EQ(m_dialogs.m_messages[0].text,
              QStringLiteral("garden.xo has changed on disk. Reload it?"));
    EXPECT_EQ(app->Document()->Index()->m_root.m_children.size(), 2u);
    EXPECT_EQ(view->topLevelItem(0)->childCount(), 2);

    // No keeps Tamblin's copy; a save then asks before writing over the other program's.
    m_dialogs.m_answers = {Answer::No};
    WriteLater(site, kSite);
    ASSERT_TRUE(WaitForMessages(2));
    EXPECT_EQ(app->Document()->Index()->m_root.m_children.size(), 2u);
    m_dialogs.m_answers = {Answer::No};
    Press(*app, Qt::Key_S);
    ASSERT_EQ(m_dialogs.m_messages.size(), 3);
    EXPECT_EQ(m_dialogs.m_messages[2].text,
              QStringLiteral("garden.xo has changed on disk since it was opened. Save over it?"));
    EXPECT_EQ(TestFiles::Read(site), kSite);
    m_dialogs.m_answers = {Answer::Yes};
    Press(*app, Qt::Key_S);
    EXPECT_NE(TestFiles::Read(site).find("Tulips"), std::string::npos);
    QTest::qWait(300);
    EXPECT_EQ(m_dialogs.m_messages.size(), 4);
    Quit(*app);
}
