#include "app/ui/CTamblinApp.h"
#include "AppTestSupport.h"
#include "ScriptedDialogs.h"
#include "TestFiles.h"
#include "app/ui/CMainFrame.h"
#include "app/ui/COptionsEditing.h"
#include "app/ui/COptionsPrinting.h"
#include "app/ui/COptionsSheet.h"
#include "contents/ui/CContentsView.h"
#include "document/ui/CXoDoc.h"
#include "platform/CommandHost.h"

#include <QAction>
#include <QCheckBox>
#include <QDropEvent>
#include <QLabel>
#include <QMimeData>
#include <QTabWidget>
#include <QTest>
#include <QToolBar>
#include <QUrl>

#include <cstdlib>

#include <gtest/gtest.h>

#include <memory>

using namespace tamblin;
using Answer = DialogService::Answer;

namespace {

const std::string kSite = "XO0;2;1;1;Tamblin 1.1.18\r\n1;Garden;December 6 2026\r\n"
                          "5;1;0;roses.htm;Roses;;0;\r\n";
const QString kBrowserWarning = QStringLiteral(
    "Warning:  You need to have Qt WebEngine loaded to test web pages from within Tamblin.\n\n"
    "You will not see this warning again.");

QString Q(const std::string& text) {
    return QString::fromStdString(text);
}

class CTamblinAppTest : public ::testing::Test {
protected:
    std::unique_ptr<CTamblinApp> Start(const QStringList& arguments = {}) {
        auto app = std::make_unique<CTamblinApp>();
        app->m_splashAllowed = false;
        // No browser plugin there: these tests start as a machine without one.
        app->m_browserDirectory = QString::fromStdString(m_files.Path("no-browser/"));
        m_started = app->InitInstance(arguments);
        return app;
    }
    // Closes the window as the user does, then runs the exit steps.
    static void Quit(CTamblinApp& app) {
        app.MainFrame()->close();
        app.ExitInstance();
    }
    QStringList Messages() const {
        QStringList texts;
        for (const auto& message : m_dialogs.m_messages) {
            texts.append(message.text);
        }
        return texts;
    }

    test::SettingsSandbox m_sandbox;
    TestFiles m_files;
    ScriptedDialogs m_dialogs;
    bool m_started = false;
};

} // namespace

TEST_F(CTamblinAppTest, FirstStartShowsMySiteWarnsOnceAndWritesTheDefaults) {
    auto app = Start();
    ASSERT_TRUE(m_started);
    CMainFrame* frame = app->MainFrame();
    EXPECT_TRUE(frame->isVisible());
    EXPECT_EQ(frame->windowTitle(), QStringLiteral("MySite - Tamblin"));
    CContentsView* view = frame->View();
    ASSERT_EQ(view->topLevelItemCount(), 2);
    EXPECT_EQ(view->topLevelItem(0)->text(0), QStringLiteral("MySite"));
    EXPECT_EQ(view->topLevelItem(1)->text(0), QStringLiteral("Other Index keywords"));
    EXPECT_EQ(view->currentItem(), view->topLevelItem(0));
    EXPECT_TRUE(view->topLevelItem(0)->isExpanded());
    EXPECT_EQ(Messages(), QStringList{kBrowserWarning});
    Quit(*app);
    EXPECT_EQ(m_dialogs.m_messages.size(), 1); // nothing edited: no save question

    QSettings settings = m_sandbox.Open();
    settings.beginGroup(QStringLiteral("Settings"));
    EXPECT_EQ(settings.value(QStringLiteral("FindURLs")).toInt(), 1);
    EXPECT_EQ(settings.value(QStringLiteral("FindIndices")).toInt(), 1);
    EXPECT_EQ(settings.value(QStringLiteral("IEWarned")).toInt(), 1);
    EXPECT_EQ(settings.value(QStringLiteral("LowMemWarned")).toInt(), 0);
    EXPECT_EQ(settings.value(QStringLiteral("PrintFace")).toString(), QStringLiteral("Arial"));
    EXPECT_EQ(settings.value(QStringLiteral("PrintPointSize")).toInt(), 10);
    EXPECT_EQ(settings.value(QStringLiteral("PrintSummary")).toInt(), 1);
    EXPECT_EQ(settings.value(QStringLiteral("Welcomed")).toInt(), 0);
    EXPECT_EQ(settings.value(QStringLiteral("ShowWindow")).toInt(), 1);
    EXPECT_TRUE(settings.contains(QStringLiteral("WindowPosition")));

    // The warning is not shown again while the browser stays missing.
    auto again = Start();
    EXPECT_EQ(m_dialogs.m_messages.size(), 1);
    Quit(*again);
}

TEST_F(CTamblinAppTest, SizeAndFileComeBackAtTheNextStart) {
    std::string path = m_files.Write("garden.xo", kSite);
    auto app = Start({Q(path)});
    ASSERT_TRUE(m_started);
    app->MainFrame()->setGeometry(40, 50, 610, 420);
    Quit(*app);
    QSettings settings = m_sandbox.Open();
    EXPECT_EQ(settings.value(QStringLiteral("Settings/WindowPosition")).toString(),
              QStringLiteral("40,650,50,470"));
    EXPECT_EQ(settings.value(QStringLiteral("Recent File List/File1")).toString(), Q(path));

    auto next = Start();
    EXPECT_EQ(next->MainFrame()->geometry(), QRect(40, 50, 610, 420));
    EXPECT_EQ(next->MainFrame()->windowTitle(), QStringLiteral("garden.xo - Tamblin"));
    Quit(*next);
}

TEST_F(CTamblinAppTest, MaximisedCloseKeepsTheNormalRectangle) {
    auto app = Start();
    app->MainFrame()->setGeometry(30, 40, 500, 300);
    app->MainFrame()->showMaximized();
    QApplication::processEvents();
    Quit(*app);
    QSettings settings = m_sandbox.Open();
    EXPECT_EQ(settings.value(QStringLiteral("Settings/ShowWindow")).toInt(), 3);
    EXPECT_EQ(settings.value(QStringLiteral("Settings/WindowPosition")).toString(),
              QStringLiteral("30,530,40,340"));
    auto next = Start();
    EXPECT_TRUE(next->MainFrame()->isMaximized());
    Quit(*next);
}

TEST_F(CTamblinAppTest, DeletedRecentFileGivesANewIndexAndABadCommandLineEndsStartUp) {
    {
        QSettings settings = m_sandbox.Open();
        settings.setValue(QStringLiteral("Recent File List/File1"), Q(m_files.Path("gone.xo")));
    }
    auto app = Start();
    EXPECT_TRUE(m_started);
    EXPECT_EQ(app->MainFrame()->windowTitle(), QStringLiteral("MySite - Tamblin"));
    Quit(*app);
    auto failed = Start({Q(m_files.Path("gone.xo"))});
    EXPECT_FALSE(m_started);
    EXPECT_TRUE(Messages().contains(
        QStringLiteral("Could not open file (%1)").arg(Q(m_files.Path("gone.xo")))));
}

TEST_F(CTamblinAppTest, OpenRefusesLanguageFilesAndAsksBeforeDroppingChanges) {
    auto app = Start();
    std::string language = m_files.Write("NAVORA.XOL", "x");
    m_dialogs.m_files = {Q(language)};
    app->MainFrame()->Action(Command::FileOpen)->trigger();
    EXPECT_EQ(Messages().last(),
              QStringLiteral("Please open language files using File+Open language file"));
    EXPECT_EQ(app->MainFrame()->windowTitle(), QStringLiteral("MySite - Tamblin"));

    app->Document()->SetModifiedFlag();
    std::string path = m_files.Write("garden.xo", kSite);
    m_dialogs.m_answers = {Answer::Cancel};
    EXPECT_FALSE(app->OpenDocumentFile(Q(path)));
    EXPECT_EQ(Messages().last(), QStringLiteral("Save changes to MySite?"));
    m_dialogs.m_answers = {Answer::No};
    EXPECT_TRUE(app->OpenDocumentFile(Q(path)));
    EXPECT_EQ(app->RecentFiles().Items().front(), path);
    EXPECT_EQ(app->MainFrame()->View()->topLevelItem(0)->text(0), QStringLiteral("Garden"));

    // A dropped file opens as with Open.
    std::string other = m_files.Write("other.xo", kSite);
    QMimeData mime;
    mime.setUrls({QUrl::fromLocalFile(Q(other))});
    QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(app->MainFrame(), &enter);
    EXPECT_TRUE(enter.isAccepted());
    QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(app->MainFrame(), &drop);
    EXPECT_EQ(app->MainFrame()->windowTitle(), QStringLiteral("other.xo - Tamblin"));

    // Cancel at the save question keeps the window open.
    app->Document()->SetModifiedFlag();
    m_dialogs.m_answers = {Answer::Cancel};
    EXPECT_FALSE(app->MainFrame()->close());
    EXPECT_TRUE(app->MainFrame()->isVisible());
    m_dialogs.m_answers = {Answer::No};
    Quit(*app);
}

TEST_F(CTamblinAppTest, ARecentFileThatFailsToOpenLeavesTheList) {
    std::string path = m_files.Write("garden.xo", kSite);
    auto app = Start({Q(path)});
    app->Document()->NewIndex();
    std::filesystem::remove(path);
    app->OpenRecentFile(0);
    EXPECT_TRUE(app->RecentFiles().Items().empty());
    QAction* first = app->MainFrame()->findChild<QAction*>(QStringLiteral("actionFileRecent1"));
    ASSERT_NE(first, nullptr);
    EXPECT_FALSE(first->isVisible());
    Quit(*app);
}

TEST_F(CTamblinAppTest, LanguageAndTestMenuCommandsAreWired) {
    auto app = Start();
    ASSERT_TRUE(m_started);
    CMainFrame* frame = app->MainFrame();
    for (Command id : {Command::FileNewLanguage, Command::FileOpenLanguage, Command::TestWebPage,
                       Command::TestNewWebPage}) {
        frame->UpdateCommandUi();
        EXPECT_TRUE(frame->Action(id)->isEnabled()) << static_cast<int>(id);
    }
    EXPECT_FALSE(frame->Action(Command::TestOpenWebPage)->isEnabled());

    // Opening a language file asks for one; cancelling does nothing more.
    m_dialogs.m_messages.clear();
    frame->Action(Command::FileOpenLanguage)->trigger();
    ASSERT_EQ(m_dialogs.m_fileRequests.size(), 1);
    EXPECT_EQ(m_dialogs.m_fileRequests[0].title, QStringLiteral("Open language file"));
    EXPECT_TRUE(m_dialogs.m_messages.isEmpty());

    // Without the browser plugin, testing a page says so.
    frame->Action(Command::TestWebPage)->trigger();
    ASSERT_EQ(m_dialogs.m_messages.size(), 1);
    EXPECT_EQ(m_dialogs.m_messages[0].text, QString::fromLatin1(kNoBrowserMessage));
    Quit(*app);
}

// A crash or a kill must not lose what changed: nothing here runs the exit steps.
TEST_F(CTamblinAppTest, ChangedSettingsAndRecentFilesAreWrittenAtOnce) {
    std::string path = m_files.Write("garden.xo", kSite);
    auto app = Start({Q(path)});
    ASSERT_TRUE(m_started);
    {
        QSettings settings = m_sandbox.Open();
        settings.sync();
        EXPECT_EQ(settings.value(QStringLiteral("Recent File List/File1")).toString(), Q(path));
        EXPECT_EQ(settings.value(QStringLiteral("Settings/IEWarned")).toInt(), 1);
    }
    app->MainFrame()->Action(Command::EditFind)->trigger();
    auto* inUrls = app->MainFrame()->findChild<QCheckBox*>(QStringLiteral("inUrls"));
    ASSERT_NE(inUrls, nullptr);
    QTest::mouseClick(inUrls, Qt::LeftButton);
    {
        QSettings settings = m_sandbox.Open();
        settings.sync();
        EXPECT_EQ(settings.value(QStringLiteral("Settings/FindURLs")).toInt(), 0);
        EXPECT_EQ(settings.value(QStringLiteral("Settings/FindIndices")).toInt(), 1);
    }
    std::filesystem::remove(path);
    app->Document()->NewIndex();
    app->OpenRecentFile(0);
    {
        QSettings settings = m_sandbox.Open();
        settings.sync();
        EXPECT_FALSE(settings.contains(QStringLiteral("Recent File List/File1")));
    }
    Quit(*app);
}

TEST(OptionsSheet, OpensWithTheFocusOnThePrintingPage) {
    test::App();
    COptionsSheet sheet;
    sheet.show();
    QWidget* focus = sheet.focusWidget();
    ASSERT_NE(focus, nullptr);
    EXPECT_TRUE(sheet.PrintingPage()->isAncestorOf(focus)) << focus->metaObject()->className();
}

TEST(OptionsSheet, TheEditingPageReadsUndoEveryEditBackOnOk) {
    test::App();
    for (bool start : {true, false}) {
        COptionsSheet sheet;
        sheet.PrintingPage()->UpdateControls();
        COptionsEditing* page = sheet.EditingPage();
        page->m_undoEveryEdit = start;
        page->UpdateControls();
        auto* check = page->findChild<QCheckBox*>(QStringLiteral("undoEveryEditCheck"));
        ASSERT_NE(check, nullptr);
        EXPECT_EQ(check->isChecked(), start);
        EXPECT_FALSE(page->m_modified);
        check->click();
        if (const char* out = std::getenv("TAMBLIN_SHOT_DIR")) {
            sheet.show();
            sheet.findChild<QTabWidget*>()->setCurrentWidget(page);
            sheet.grab().save(QString::fromLocal8Bit(out) + QStringLiteral("/options-editing.png"));
        }
        sheet.accept();
        EXPECT_EQ(page->m_undoEveryEdit, !start);
        EXPECT_TRUE(page->m_modified);
    }
}
