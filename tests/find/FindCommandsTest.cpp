#include "find/ui/FindCommands.h"
#include "AppTestSupport.h"
#include "ScriptedDialogs.h"
#include "TestFiles.h"
#include "app/AppSettings.h"
#include "app/ui/CMainFrame.h"
#include "app/ui/CTamblinApp.h"
#include "contents/ui/CContentsView.h"
#include "contents/ui/CPropertySheet.h"
#include "document/ui/CXoDoc.h"
#include "find/ui/CFindDialog.h"
#include "index/IndexEntry.h"
#include "index/IndexFile.h"

#include <QAction>
#include <QCheckBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <memory>

using namespace tamblin;

namespace {

// Alpha (Alpha child), Beta; base URLs docs/ and http://only-base.example/.
const std::string kSite = "XO0;2;1;1;Tamblin 1.1.18\r\n"
                          "1;Site;December 6 2026\r\n"
                          "3;1;docs/;main\r\n"
                          "3;2;http://only-base.example/;\r\n"
                          "5;1;1;a.htm;Alpha;;0;\r\n"
                          "5;2;1;a1.htm;Alpha child;;1;\r\n"
                          "5;3;1;needle.htm;Beta;;0;\r\n";

// What a property sheet showed when it opened.
struct SheetSeen {
    QString caption;
    int page = -1;
    QString selected; // the current row of the page's list, if it has one
    QString status;   // the status bar message meanwhile
};

class FindCommandsTest : public ::testing::Test {
protected:
    FindCommandsTest() : m_frame(&m_doc, nullptr) {
        EXPECT_TRUE(m_doc.OpenIndex(QString::fromStdString(m_files.Write("site.xo", kSite))));
        IndexFile& index = *m_doc.Index();
        IndexEntry& alpha = *index.m_root.m_children[0];
        for (const char* phrase : {"Zebra", "Needle phrase", "Apple"}) {
            alpha.m_keywords.emplace_back(&alpha, phrase, "", "", "", 0);
        }
        index.m_otherKeywords.m_keywords.emplace_back(&index.m_otherKeywords, "Orphan", "x.htm",
                                                      "X", "", 0);
        m_doc.UpdateAllViews();
        m_find = new FindCommands(
            *View(), m_settings, [this](const QString& text) { m_status.append(text); },
            [this](unsigned id) { m_helpIds.append(id); });
        m_find->PlugCommands([this](Command id, CMainFrame::Run run, CMainFrame::Enabled on) {
            m_frame.SetHandler(id, std::move(run), std::move(on));
        });
        m_frame.show();
        m_frame.activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&m_frame));
    }

    CContentsView* View() { return m_frame.View(); }
    QTreeWidgetItem* Node(size_t i) {
        return CContentsView::NodeOf(*m_doc.Index()->m_root.m_children[i]);
    }
    // The frame's shortcuts work while it is the active window; a closed dialog or sheet
    // need not give the activation back at once. With `watch`, a sheet the key opens is
    // looked at and cancelled.
    void Press(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier, bool watch = false) {
        m_frame.activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&m_frame));
        if (watch) {
            WatchForSheet();
        }
        QTest::keyClick(View(), key, modifiers);
    }
    CFindDialog* OpenDialog() {
        Press(Qt::Key_F, Qt::ControlModifier);
        return m_find->Dialog();
    }
    template <typename T> static T* Child(QWidget* parent, const char* name) {
        T* found = parent ? parent->findChild<T*>(QString::fromLatin1(name)) : nullptr;
        EXPECT_NE(found, nullptr) << name;
        return found;
    }
    // Types `text` into a fresh dialog and presses Find Next. A sheet that opens is looked
    // at and cancelled.
    void FindInDialog(const char* text, bool matchCase = false) {
        CFindDialog* dialog = OpenDialog();
        ASSERT_NE(dialog, nullptr);
        Child<QLineEdit>(dialog, "findWhat")->setText(QString::fromLatin1(text));
        Child<QCheckBox>(dialog, "matchCase")->setChecked(matchCase);
        WatchForSheet();
        Child<QPushButton>(dialog, "findNext")->click();
    }
    void WatchForSheet() {
        m_sheet.reset();
        QTimer::singleShot(0, [this] {
            auto* sheet = qobject_cast<CPropertySheet*>(QApplication::activeModalWidget());
            if (!sheet) {
                return;
            }
            m_sheet = std::make_unique<SheetSeen>();
            m_sheet->caption = sheet->windowTitle();
            m_sheet->page = sheet->Tabs()->currentIndex();
            auto* list = sheet->Tabs()->currentWidget()->findChild<QListWidget*>();
            if (list && list->currentItem()) {
                m_sheet->selected = list->currentItem()->text();
            }
            m_sheet->status = m_status.value(m_status.size() - 1);
            sheet->reject();
        });
    }
    static void Settle() {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QApplication::processEvents();
    }

    test::SettingsSandbox m_sandbox;
    TestFiles m_files;
    ScriptedDialogs m_dialogs;
    AppSettings m_settings;
    CXoDoc m_doc;
    CMainFrame m_frame;
    FindCommands* m_find = nullptr;
    QStringList m_status;
    QList<unsigned> m_helpIds;
    std::unique_ptr<SheetSeen> m_sheet;
};

} // namespace

TEST_F(FindCommandsTest, CtrlFOpensOneModelessDialogAndRaisesItAgain) {
    CFindDialog* dialog = OpenDialog();
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(dialog->objectName(), QStringLiteral("findDialog"));
    EXPECT_EQ(dialog->windowTitle(), QStringLiteral("Find"));
    EXPECT_FALSE(dialog->isModal());
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_EQ(dialog->parentWidget(), View());
    auto* edit = Child<QLineEdit>(dialog, "findWhat");
    EXPECT_EQ(edit->maxLength(), 79);
    EXPECT_FALSE(Child<QPushButton>(dialog, "findNext")->isEnabled());
    EXPECT_TRUE(Child<QPushButton>(dialog, "findNext")->isDefault());

    EXPECT_EQ(OpenDialog(), dialog);
    EXPECT_EQ(View()->findChildren<CFindDialog*>().size(), 1);
    Child<QPushButton>(dialog, "cancel")->click();
    Settle();
    EXPECT_EQ(m_find->Dialog(), nullptr);
    EXPECT_TRUE(View()->findChildren<CFindDialog*>().isEmpty());
    EXPECT_TRUE(m_dialogs.m_messages.isEmpty());
}

TEST_F(FindCommandsTest, ScopeBoxesShowAndWriteTheSettingsAtOnce) {
    m_settings.m_findUrls = false;
    CFindDialog* dialog = OpenDialog();
    auto* inUrls = Child<QCheckBox>(dialog, "inUrls");
    auto* inIndices = Child<QCheckBox>(dialog, "inIndices");
    EXPECT_FALSE(inUrls->isChecked());
    EXPECT_TRUE(inIndices->isChecked());
    EXPECT_EQ(inUrls->toolTip(), QStringLiteral("Finds text in the URLs"));
    EXPECT_EQ(inIndices->toolTip(),
              QStringLiteral("Finds text in the index keywords attached to URLs"));
    inUrls->click();
    EXPECT_TRUE(m_settings.m_findUrls);
    inUrls->click();
    inIndices->click();
    EXPECT_FALSE(m_settings.m_findUrls);
    EXPECT_FALSE(m_settings.m_findIndices);

    // With neither, Find Next only says so, and the dialog stays for the user to fix it.
    Child<QLineEdit>(dialog, "findWhat")->setText(QStringLiteral("Beta"));
    Child<QPushButton>(dialog, "findNext")->click();
    ASSERT_EQ(m_dialogs.m_messages.size(), 1);
    EXPECT_EQ(m_dialogs.m_messages[0].text,
              QStringLiteral("You must select one of \"In URLs\" or \"In Index keywords\"."));
    EXPECT_EQ(m_find->Dialog(), dialog);
    EXPECT_EQ(View()->currentItem(), View()->RootNode());
}

TEST_F(FindCommandsTest, TitleHitClosesTheDialogAndOnlySelects) {
    View()->collapseAll();
    FindInDialog("CHILD");
    Settle();
    EXPECT_EQ(m_find->Dialog(), nullptr);
    EXPECT_EQ(View()->currentItem(), Node(0)->child(0));
    EXPECT_TRUE(Node(0)->isExpanded());
    EXPECT_EQ(m_sheet, nullptr);
    EXPECT_TRUE(m_status.isEmpty());
    EXPECT_TRUE(m_dialogs.m_messages.isEmpty());

    // Reopened, the dialog offers the last text and options.
    CFindDialog* dialog = OpenDialog();
    EXPECT_EQ(Child<QLineEdit>(dialog, "findWhat")->text(), QStringLiteral("CHILD"));
}

TEST_F(FindCommandsTest, KeywordHitOpensItsPageAndF3GoesOn) {
    FindInDialog("NEEDLE");
    ASSERT_NE(m_sheet, nullptr);
    EXPECT_EQ(View()->currentItem(), Node(0));
    EXPECT_EQ(m_sheet->caption, QStringLiteral("URL Properties"));
    EXPECT_EQ(m_sheet->page, 1);
    EXPECT_EQ(m_sheet->selected, QStringLiteral("Needle phrase"));
    EXPECT_EQ(m_sheet->status, QStringLiteral("Found string 'needle'"));
    EXPECT_EQ(m_status.last(), QStringLiteral("For Help, press F1"));

    // Past Alpha (and its child) to Beta's URL: the General page.
    Press(Qt::Key_F3, Qt::NoModifier, true);
    ASSERT_NE(m_sheet, nullptr);
    EXPECT_EQ(View()->currentItem(), Node(1));
    EXPECT_EQ(m_sheet->caption, QStringLiteral("URL Properties"));
    EXPECT_EQ(m_sheet->page, 0);

    // Then the keywords that belong to no URL.
    m_doc.Index()->m_otherKeywords.m_keywords[0].m_phrase = "needle too";
    Press(Qt::Key_F3, Qt::NoModifier, true);
    ASSERT_NE(m_sheet, nullptr);
    EXPECT_EQ(View()->currentItem(), View()->OtherKeywordsNode());
    EXPECT_EQ(m_sheet->caption, QStringLiteral("Other Index keywords"));
    EXPECT_EQ(m_sheet->selected, QStringLiteral("needle too"));

    Press(Qt::Key_F3, Qt::NoModifier, true);
    EXPECT_EQ(m_sheet, nullptr);
    ASSERT_EQ(m_dialogs.m_messages.size(), 1);
    EXPECT_EQ(m_dialogs.m_messages[0].text, QStringLiteral("Cannot find the string 'needle'"));
}

TEST_F(FindCommandsTest, BaseUrlHitOpensTheIndexFileSheetOnThatBaseUrl) {
    View()->setCurrentItem(View()->RootNode());
    FindInDialog("only-base");
    ASSERT_NE(m_sheet, nullptr);
    EXPECT_EQ(View()->currentItem(), View()->RootNode());
    EXPECT_EQ(m_sheet->caption, QStringLiteral("Index File"));
    EXPECT_EQ(m_sheet->page, 1);
    EXPECT_EQ(m_sheet->selected, QStringLiteral("http://only-base.example/"));
}

TEST_F(FindCommandsTest, NoHitTellsWithTheComparedTextAndKeepsTheSelection) {
    View()->setCurrentItem(Node(1));
    FindInDialog("Alpha");
    ASSERT_EQ(m_dialogs.m_messages.size(), 1);
    EXPECT_EQ(m_dialogs.m_messages[0].text, QStringLiteral("Cannot find the string 'alpha'"));
    EXPECT_EQ(m_dialogs.m_messages[0].icon, DialogService::Icon::Information);
    EXPECT_EQ(View()->currentItem(), Node(1));
    EXPECT_NE(m_find->Dialog(), nullptr);

    FindInDialog("BETA", true);
    ASSERT_EQ(m_dialogs.m_messages.size(), 2);
    EXPECT_EQ(m_dialogs.m_messages[1].text, QStringLiteral("Cannot find the string 'BETA'"));
}

TEST_F(FindCommandsTest, FindNextNeedsATextToFind) {
    QAction* findNext = m_frame.Action(Command::EditFindNext);
    EXPECT_TRUE(m_frame.Action(Command::EditFind)->isEnabled());
    EXPECT_FALSE(findNext->isEnabled());
    Press(Qt::Key_F3);
    EXPECT_TRUE(m_dialogs.m_messages.isEmpty());

    CFindDialog* dialog = OpenDialog();
    auto* edit = Child<QLineEdit>(dialog, "findWhat");
    auto* button = Child<QPushButton>(dialog, "findNext");
    edit->setText(QStringLiteral("nowhere"));
    EXPECT_TRUE(button->isEnabled());
    edit->clear();
    EXPECT_FALSE(button->isEnabled());
    edit->setText(QStringLiteral("nowhere"));
    button->click();
    // Nothing found and the selection unchanged, yet F3 is ready at once.
    EXPECT_TRUE(findNext->isEnabled());
}

TEST_F(FindCommandsTest, HelpAsksForTheDialogsOwnTopic) {
    Child<QPushButton>(OpenDialog(), "help")->click();
    EXPECT_EQ(m_helpIds, QList<unsigned>{0x20604});
}

TEST(FindCommandsAppTest, TheApplicationWiresFindIntoItsFrame) {
    test::App();
    test::SettingsSandbox sandbox;
    TestFiles files;
    ScriptedDialogs dialogs;
    CTamblinApp app;
    app.m_splashAllowed = false;
    app.m_browserDirectory = QString::fromStdString(files.Path("no-browser/"));
    ASSERT_TRUE(app.InitInstance({}));
    CMainFrame* frame = app.MainFrame();
    EXPECT_FALSE(frame->Action(Command::EditFindNext)->isEnabled());
    app.Settings().m_findIndices = false;
    frame->Action(Command::EditFind)->trigger();
    auto* dialog = frame->findChild<CFindDialog*>(QStringLiteral("findDialog"));
    ASSERT_NE(dialog, nullptr);
    EXPECT_FALSE(dialog->findChild<QCheckBox*>(QStringLiteral("inIndices"))->isChecked());
    dialog->findChild<QCheckBox*>(QStringLiteral("inUrls"))->click();
    EXPECT_FALSE(app.Settings().m_findUrls);
    frame->close();
    app.ExitInstance();
}
