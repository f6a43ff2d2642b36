#include "app/ui/CMainFrame.h"
#include "AppTestSupport.h"
#include "ScriptedDialogs.h"
#include "ShownText.h"
#include "app/ui/CAboutDlg.h"
#include "app/ui/COptionsPrinting.h"
#include "app/ui/COptionsSheet.h"
#include "app/ui/CSplashWnd.h"
#include "contents/ui/CContentsView.h"
#include "document/ui/CXoDoc.h"

#include <QAction>
#include <QComboBox>
#include <QDialog>
#include <QFontInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QStatusBar>
#include <QTest>
#include <QToolBar>

#include <gtest/gtest.h>

using namespace tamblin;

namespace {

class CMainFrameTest : public ::testing::Test {
protected:
    CMainFrameTest() : m_frame(&m_doc, nullptr) { m_doc.NewIndex(); }

    QStringList MenuItems(const QString& menuName) const {
        QStringList items;
        auto* menu = m_frame.findChild<QMenu*>(menuName);
        for (QAction* action : menu ? menu->actions() : QList<QAction*>()) {
            if (!action->isSeparator() && action->isVisible()) {
                items.append(action->text());
            }
        }
        return items;
    }

    test::SettingsSandbox m_sandbox;
    ScriptedDialogs m_dialogs;
    CXoDoc m_doc;
    CMainFrame m_frame;
};

} // namespace

TEST_F(CMainFrameTest, MenusHoldEveryCommandInOrder) {
    EXPECT_EQ(
        MenuItems(QStringLiteral("menuFile")),
        (QStringList{QStringLiteral("&New"), QStringLiteral("&Open..."), QStringLiteral("&Save"),
                     QStringLiteral("Save &As..."), QStringLiteral("Ne&w language file..."),
                     QStringLiteral("Open &language file..."), QStringLiteral("&Print..."),
                     QStringLiteral("Print Pre&view"), QStringLiteral("P&rint Setup..."),
                     QStringLiteral("Recent File"), QStringLiteral("E&xit")}));
    // Undo and Redo head the Edit menu; Insert URL leaves the U to Undo, Flatten the F to Find.
    EXPECT_EQ(MenuItems(QStringLiteral("menuEdit")),
              (QStringList{QStringLiteral("&Undo"), QStringLiteral("&Redo"), QStringLiteral("Cu&t"),
                           QStringLiteral("&Copy"), QStringLiteral("&Paste"),
                           QStringLiteral("&Delete"), QStringLiteral("&Find..."),
                           QStringLiteral("Find &next"), QStringLiteral("&Insert URL..."),
                           QStringLiteral("F&latten"), QStringLiteral("Update from &site...")}));
    EXPECT_EQ(MenuItems(QStringLiteral("menuView")).size(), 7);
    EXPECT_EQ(MenuItems(QStringLiteral("menuTest")),
              (QStringList{QStringLiteral("&New web page"), QStringLiteral("&Open web page"),
                           QStringLiteral("&Test web page"), QStringLiteral("Check &links...")}));
    EXPECT_EQ(MenuItems(QStringLiteral("menuHelp")).size(), 4);
    EXPECT_EQ(MenuItems(QStringLiteral("menuContents")),
              (QStringList{QStringLiteral("&Properties..."), QStringLiteral("Index &keywords..."),
                           QStringLiteral("Insert &URL..."), QStringLiteral("&Flatten")}));
    EXPECT_EQ(m_frame.Action(Command::EditUndo)->shortcuts(),
              (QList<QKeySequence>{QKeySequence(Qt::CTRL | Qt::Key_Z),
                                   QKeySequence(Qt::ALT | Qt::Key_Backspace)}));
    EXPECT_EQ(m_frame.Action(Command::EditRedo)->shortcuts(),
              (QList<QKeySequence>{QKeySequence(Qt::CTRL | Qt::Key_Y),
                                   QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)}));
    EXPECT_EQ(m_frame.Action(Command::TestWebPage)->shortcut(),
              QKeySequence(Qt::CTRL | Qt::Key_F5));
}

TEST_F(CMainFrameTest, CommandsAreEnabledExactlyWhenTheyHaveAHandler) {
    for (const CommandInfo& info : CommandTable()) {
        if (info.kind != CommandInfo::Kind::Command) {
            continue;
        }
        bool framework = info.id == Command::FileSave || info.id == Command::FileSaveAs ||
                         info.id == Command::AppExit || info.id == Command::ViewToolbar ||
                         info.id == Command::ViewStatusBar;
        // The view's commands whose rule holds with the root of a new index selected.
        framework = framework || info.id == Command::ViewProperties ||
                    info.id == Command::ViewBaseUrls || info.id == Command::EditInsertUrl;
        EXPECT_EQ(m_frame.Action(info.id)->isEnabled(), framework) << info.text;
    }
    int runs = 0;
    bool allowed = false;
    m_frame.SetHandler(
        Command::EditFind, [&runs] { ++runs; }, [&allowed] { return allowed; });
    EXPECT_FALSE(m_frame.Action(Command::EditFind)->isEnabled());
    allowed = true;
    m_frame.UpdateCommandUi();
    m_frame.Action(Command::EditFind)->trigger();
    EXPECT_EQ(runs, 1);
    m_frame.SetHandler(Command::TestOpenWebPage, [&runs] { ++runs; });
    EXPECT_FALSE(m_frame.Action(Command::TestOpenWebPage)->isEnabled());
}

TEST_F(CMainFrameTest, ToolbarStatusBarAndTitle) {
    QStringList names;
    for (QAction* action : m_frame.ToolBar()->actions()) {
        names.append(action->isSeparator() ? QStringLiteral("|") : action->objectName());
    }
    EXPECT_EQ(
        names.join(QLatin1Char(' ')),
        QStringLiteral(
            "actionFileNew actionFileOpen actionFileSave | actionEditCut actionEditCopy "
            "actionEditPaste | actionEditUndo actionEditRedo actionEditFind actionTestWebPage | "
            "actionFilePrint actionAppAbout actionContextHelp"));
    EXPECT_EQ(m_frame.Action(Command::FileNew)->toolTip(), QStringLiteral("New"));
    EXPECT_EQ(m_frame.Action(Command::FileNew)->statusTip(),
              QStringLiteral("Create a new index file"));
    EXPECT_EQ(m_frame.findChild<QLabel*>(QStringLiteral("messagePane"))->text(),
              QStringLiteral("For Help, press F1"));
    QLabel* url = m_frame.UrlPane();
    EXPECT_EQ(url->minimumWidth(), url->fontMetrics().horizontalAdvance(
                                       QStringLiteral("Enough characters for a wide URL link")));
    EXPECT_EQ(m_frame.windowTitle(), QStringLiteral("MySite - Tamblin"));
    m_frame.Action(Command::ViewToolbar)->trigger();
    EXPECT_TRUE(m_frame.ToolBar()->isHidden());
    EXPECT_FALSE(m_frame.Action(Command::ViewToolbar)->isChecked());
}

// The URL pane is the user's text: "<i>" stays, and a long URL does not widen the window.
TEST_F(CMainFrameTest, UrlPaneShowsTheUrlAsWrittenAndWithinItsWidth) {
    m_frame.show();
    QString marked = QStringLiteral("docs/a & b <i>x</i>.htm");
    Q_EMIT m_frame.View()->UrlChanged(marked);
    EXPECT_EQ(test::LabelsShowLiterally(*m_frame.statusBar(), {marked}), QString());
    test::SavePngIfAsked(m_frame, QStringLiteral("main-frame-markup-url"));
    int width = m_frame.width();
    QString longUrl = QStringLiteral("http://example.com/") + QString(300, QLatin1Char('u'));
    Q_EMIT m_frame.View()->UrlChanged(longUrl);
    QApplication::processEvents();
    EXPECT_EQ(m_frame.UrlPane()->text(), longUrl);
    EXPECT_EQ(m_frame.width(), width);
}

TEST_F(CMainFrameTest, SplashClosesAtTheFirstKeyAndSwallowsIt) {
    m_frame.show();
    m_frame.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&m_frame));
    int keys = 0;
    m_frame.SetHandler(Command::FileNew, [&keys] { ++keys; });
    CSplashWnd::EnableSplashScreen(true);
    CSplashWnd::ShowSplashScreen(&m_frame);
    CSplashWnd::EnableSplashScreen(false);
    ASSERT_NE(CSplashWnd::Current(), nullptr);
    QTest::keyClick(m_frame.View(), Qt::Key_N, Qt::ControlModifier);
    QApplication::processEvents();
    EXPECT_EQ(CSplashWnd::Current(), nullptr);
    EXPECT_EQ(keys, 0);
    QTest::keyClick(m_frame.View(), Qt::Key_N, Qt::ControlModifier);
    EXPECT_EQ(keys, 1);
}

TEST_F(CMainFrameTest, SplashGivesWayToAStartUpMessageAndItsFirstClick) {
    m_frame.show();
    CSplashWnd::EnableSplashScreen(true);
    CSplashWnd::ShowSplashScreen(&m_frame);
    CSplashWnd::EnableSplashScreen(false);
    ASSERT_NE(CSplashWnd::Current(), nullptr);
    QDialog message(&m_frame);
    auto* ok = new QPushButton(QStringLiteral("OK"), &message);
    int clicks = 0;
    QObject::connect(ok, &QPushButton::clicked, &message, [&clicks] { ++clicks; });
    message.setModal(true);
    message.show();
    QApplication::processEvents();
    EXPECT_EQ(CSplashWnd::Current(), nullptr);
    QTest::mouseClick(ok, Qt::LeftButton);
    EXPECT_EQ(clicks, 1);
}

TEST_F(CMainFrameTest, OptionsPageChecksTheSizeRange) {
    COptionsSheet sheet;
    COptionsPrinting* page = sheet.PrintingPage();
    page->m_printFace = QStringLiteral("No Such Font Anywhere");
    page->m_printPointSize = 10;
    page->m_printSummary = false;
    page->UpdateControls();
    auto* size = page->findChild<QLineEdit*>(QStringLiteral("sizeEdit"));
    size->setText(QStringLiteral("49"));
    sheet.accept();
    EXPECT_EQ(sheet.result(), QDialog::Rejected);
    ASSERT_EQ(m_dialogs.m_messages.size(), 1);
    EXPECT_EQ(m_dialogs.m_messages[0].text,
              QStringLiteral("Please enter an integer between 5 and 48."));
    size->setText(QStringLiteral("5"));
    sheet.accept();
    EXPECT_EQ(sheet.result(), QDialog::Accepted);
    EXPECT_EQ(page->m_printPointSize, 5);
    EXPECT_EQ(page->m_printFace, QStringLiteral("No Such Font Anywhere"));
    EXPECT_FALSE(page->m_printSummary);
    EXPECT_EQ(sheet.windowTitle(), QStringLiteral("Options"));
}

// Without Arial the box was empty, and families made by two foundries came twice.
TEST_F(CMainFrameTest, OptionsFontBoxShowsTheFaceReallyUsedAndEachFamilyOnce) {
    EXPECT_EQ(
        COptionsPrinting::FontFamilyChoices({QStringLiteral("C059 [UKWN]"), QStringLiteral("Serif"),
                                             QStringLiteral("C059 [urw]"), QStringLiteral("serif"),
                                             QStringLiteral("C059"), QStringLiteral("Arial")}),
        QStringList({QStringLiteral("Arial"), QStringLiteral("C059"), QStringLiteral("Serif")}));

    COptionsSheet sheet;
    COptionsPrinting* page = sheet.PrintingPage();
    auto* face = page->findChild<QComboBox*>(QStringLiteral("fontCombo"));
    QStringList items;
    for (int i = 0; i < face->count(); ++i) {
        items.append(face->itemText(i).toCaseFolded());
    }
    EXPECT_EQ(items.size(), QSet<QString>(items.begin(), items.end()).size());

    page->m_printFace = QStringLiteral("No Such Font Anywhere");
    page->UpdateControls();
    QString used = COptionsPrinting::WithoutFoundry(
        QFontInfo(QFont(QStringLiteral("No Such Font Anywhere"))).family());
    EXPECT_FALSE(face->currentText().isEmpty());
    EXPECT_EQ(face->currentText(), used);
    sheet.show();
    test::SavePngIfAsked(sheet, QStringLiteral("options-font"));
    sheet.accept();
    EXPECT_EQ(page->m_printFace, QStringLiteral("No Such Font Anywhere"));

    // Choosing another face makes it the print face.
    sheet.show();
    page->UpdateControls();
    int other = face->currentIndex() == 0 ? 1 : 0;
    ASSERT_LT(other, face->count());
    face->setCurrentIndex(other);
    sheet.accept();
    EXPECT_EQ(page->m_printFace, face->itemText(other));
}

TEST_F(CMainFrameTest, AboutBoxShowsBothVersions) {
    CAboutDlg about;
    EXPECT_EQ(about.windowTitle(), QStringLiteral("About Tamblin"));
    EXPECT_EQ(about.findChild<QLabel*>(QStringLiteral("programVersion"))->text(),
              QStringLiteral("Tamblin version 1.1.18"));
    EXPECT_EQ(about.findChild<QLabel*>(QStringLiteral("navoraVersion"))->text(),
              QStringLiteral("Navora version 2.3/2.1"));
    EXPECT_FALSE(about.findChild<QLabel*>(QStringLiteral("programIcon"))->pixmap().isNull());
}

TEST_F(CMainFrameTest, RightButtonSelectsTheNodeAndFeedsTheUrlPane) {
    m_frame.show();
    CContentsView* view = m_frame.View();
    QTreeWidgetItem* other = view->topLevelItem(1);
    QPoint at = view->visualItemRect(other).center();
    QTest::mousePress(view->viewport(), Qt::RightButton, Qt::NoModifier, at);
    EXPECT_EQ(view->currentItem(), other);
    EXPECT_EQ(m_frame.UrlPane()->text(), QString());
    m_frame.SetHandler(
        Command::ViewIndexKeywords, [] {},
        [view] { return view->currentItem() != view->RootNode(); });
    EXPECT_TRUE(m_frame.Action(Command::ViewIndexKeywords)->isEnabled());
    view->setCurrentItem(view->RootNode());
    EXPECT_FALSE(m_frame.Action(Command::ViewIndexKeywords)->isEnabled());
}
