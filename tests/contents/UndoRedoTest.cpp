// Undo and redo as a user meets them: every kind of edit made with the keyboard, the mouse
// and the real sheets, then all undone and all redone, compared with the saved files.
#include "AppTestSupport.h"
#include "ScriptedDialogs.h"
#include "SheetDriver.h"
#include "TestFiles.h"
#include "app/ui/CMainFrame.h"
#include "contents/ui/CContentsView.h"
#include "contents/ui/CPropertySheet.h"
#include "document/ui/CXoDoc.h"
#include "index/BaseUrl.h"
#include "index/IndexEntry.h"
#include "index/IndexFile.h"

#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTest>
#include <QTextDocument>
#include <QTimer>
#include <QToolBar>

#include <cstdlib>
#include <functional>

#include <gtest/gtest.h>

using namespace tamblin;

namespace {

// Site: A (A1 (A1a), A2), B, C; keywords with inherited and own targets; spare/ unused.
const std::string kSite = "XO0;2;1;1;Tamblin 1.1.18\r\n"
                          "1;Site;December 6 2026\r\n"
                          "3;1;docs/;main\r\n"
                          "3;2;http://example.com/;\r\n"
                          "3;3;spare/;side\r\n"
                          "5;1;1;a.htm;A;;0;\r\n"
                          "7;&1;&1;&1;\r\n"
                          "7;Alpha;&1#alpha;&1 (alpha);top\r\n"
                          "5;2;1;a1.htm;A1;;1;\r\n"
                          "5;3;1;a1a.htm;A1a;;2;\r\n"
                          "5;4;1;a2.htm;A2;own;1;\r\n"
                          "5;5;1;b.htm;B;;0;\r\n"
                          "5;6;2;c.htm;C;;0;\r\n"
                          "7;Other;other.htm;Other page;\r\n";

class UndoRedoTest : public ::testing::Test, protected test::SheetDriver {
protected:
    UndoRedoTest() {
        TestFiles::PinDate();
        EXPECT_TRUE(m_doc.OpenIndex(QString::fromStdString(m_files.Write("site.xo", kSite))));
        m_doc.UpdateAllViews();
        m_frame.resize(640, 640);
        m_frame.show();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&m_frame));
        m_view->expandAll();
        m_view->setFocus();
    }

    QTreeWidgetItem* Node(const char* title) const {
        QList<QTreeWidgetItem*> found =
            m_view->findItems(QString::fromLatin1(title), Qt::MatchExactly | Qt::MatchRecursive);
        return found.size() == 1 ? found.front() : nullptr;
    }
    void Select(const char* title) {
        ASSERT_NE(Node(title), nullptr) << title;
        m_view->setCurrentItem(Node(title));
    }
    // The frame's shortcuts reach it only while its window is active, and a sheet that has
    // just closed may have left it inactive.
    void Key(int key, Qt::KeyboardModifiers modifiers = {}) {
        if (!m_frame.isActiveWindow()) {
            m_frame.activateWindow();
            EXPECT_TRUE(QTest::qWaitForWindowActive(&m_frame));
        }
        m_view->setFocus();
        QTest::keyClick(m_view, static_cast<Qt::Key>(key), modifiers);
    }
    void Run(Command id) { m_frame.Action(id)->trigger(); }
    QString UndoText() {
        m_frame.UpdateCommandUi();
        return m_frame.Action(Command::EditUndo)->text();
    }
    QString RedoText() {
        m_frame.UpdateCommandUi();
        return m_frame.Action(Command::EditRedo)->text();
    }

    void MouseDrag(const char* from, const char* onto, Qt::KeyboardModifiers atDrop) {
        QRect source = m_view->visualItemRect(Node(from));
        QRect target = m_view->visualItemRect(Node(onto));
        QPoint start = source.topLeft() + QPoint(4, 4);
        QPoint end(target.right() - 4, target.center().y());
        QWidget* viewport = m_view->viewport();
        QTest::mousePress(viewport, Qt::LeftButton, {}, start);
        QTest::mouseMove(viewport, start + QPoint(0, QApplication::startDragDistance() + 2));
        QTest::mouseMove(viewport, end);
        QTest::mouseRelease(viewport, Qt::LeftButton, atDrop, end);
    }

    std::string Save(const char* name) {
        std::string path = m_files.Path(name);
        EXPECT_TRUE(m_doc.SaveIndex(QString::fromStdString(path)));
        return TestFiles::Read(path);
    }

    bool m_app = (test::App(), true);
    test::SettingsSandbox m_settings;
    TestFiles m_files;
    ScriptedDialogs m_dialogs;
    CXoDoc m_doc;
    CMainFrame m_frame{&m_doc, nullptr};
    CContentsView* m_view = m_frame.View();
};

} // namespace

TEST_F(UndoRedoTest, EveryKindOfEditIsUndoneToTheOriginalAndRedoneToTheEdit) {
    std::string original = Save("original.xo");
    ASSERT_FALSE(m_doc.IsModified());
    EXPECT_EQ(UndoText(), QStringLiteral("&Undo"));
    EXPECT_FALSE(m_frame.Action(Command::EditUndo)->isEnabled());
    QStringList names;

    // Rename in place: F2, type, Enter.
    Select("B");
    Key(Qt::Key_F2);
    auto* editor = m_view->findChild<QLineEdit*>();
    ASSERT_NE(editor, nullptr);
    QTest::keyClick(editor, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(editor, QStringLiteral("Bee"));
    QTest::keyClick(editor, Qt::Key_Return);
    QTest::qWait(50);
    names << UndoText();

    // Insert URL, filled in and OK.
    Select("A1a");
    WhenShown([](CPropertySheet& sheet) {
        Type(Find<QLineEdit>(sheet, "title"), "Fresh");
        Type(Find<QLineEdit>(sheet, "url"), "fresh.htm");
        Ok(sheet);
    });
    Run(Command::EditInsertUrl);
    names << UndoText();

    // Delete with the Del key, confirmed.
    Select("A2");
    Key(Qt::Key_Delete);
    names << UndoText();

    // Cut with Ctrl+X, paste on A with Ctrl+V.
    Select("C");
    Key(Qt::Key_X, Qt::ControlModifier);
    names << UndoText();
    Select("A");
    Key(Qt::Key_V, Qt::ControlModifier);
    names << UndoText();

    // The mouse moves Bee onto A1's right (as its child) and copies A1a the same way with Ctrl.
    MouseDrag("Bee", "A1", {});
    names << UndoText();
    MouseDrag("A1a", "Fresh", Qt::ControlModifier);
    names << UndoText();

    // Flatten A1.
    Select("A1");
    Run(Command::EditFlatten);
    names << UndoText();

    // URL Properties, opened with Enter: a new title and page tip.
    Select("Fresh");
    WhenShown([](CPropertySheet& sheet) {
        Type(Find<QLineEdit>(sheet, "title"), "Fresher");
        Type(Find<QLineEdit>(sheet, "pageTip"), "A tip");
        Ok(sheet);
    });
    Key(Qt::Key_Return);
    names << UndoText();

    // Other Index keywords: one more keyword.
    m_view->setCurrentItem(m_view->OtherKeywordsNode());
    WhenShown([](CPropertySheet& sheet) {
        Find<QPushButton>(sheet, "add")->click();
        Type(Find<QLineEdit>(sheet, "phrase"), "Extra");
        Type(Find<QLineEdit>(sheet, "extraTitle"), "Extra page");
        Ok(sheet);
    });
    Run(Command::ViewIndexKeywords);
    names << UndoText();

    // Index File: description and tip text.
    m_view->setCurrentItem(m_view->RootNode());
    WhenShown([](CPropertySheet& sheet) {
        Type(Find<QLineEdit>(sheet, "description"), "Renamed site");
        Type(Find<QLineEdit>(sheet, "tipText"), "Site tip");
        Ok(sheet);
    });
    Run(Command::ViewProperties);
    names << UndoText();

    // Base URLs: spare/ deleted, new/ added.
    WhenShown([](CPropertySheet& sheet) {
        auto* list = Find<QListWidget>(sheet, "baseUrls");
        list->setCurrentItem(list->findItems(QStringLiteral("spare/"), Qt::MatchExactly).front());
        Find<QPushButton>(sheet, "delete")->click();
        Find<QPushButton>(sheet, "add")->click();
        Type(Find<QLineEdit>(sheet, "baseUrl"), "new");
        Ok(sheet);
    });
    Run(Command::ViewBaseUrls);
    names << UndoText();

    // Set all URLs to new/.
    WhenShown([](CPropertySheet& sheet) {
        auto* list = Find<QListWidget>(sheet, "baseUrls");
        list->setCurrentItem(list->findItems(QStringLiteral("new/"), Qt::MatchExactly).front());
        Find<QPushButton>(sheet, "setAll")->click();
    });
    Run(Command::ViewBaseUrls);
    names << UndoText();

    EXPECT_EQ(
        names,
        (QStringList{QStringLiteral("&Undo Rename 'B'"), QStringLiteral("&Undo Insert URL 'Fresh'"),
                     QStringLiteral("&Undo Delete 'A2'"), QStringLiteral("&Undo Cut 'C'"),
                     QStringLiteral("&Undo Paste 'C'"), QStringLiteral("&Undo Move 'Bee'"),
                     QStringLiteral("&Undo Copy 'A1a'"), QStringLiteral("&Undo Flatten 'A1'"),
                     QStringLiteral("&Undo Properties 'Fresh'"),
                     QStringLiteral("&Undo Other Index keywords"),
                     QStringLiteral("&Undo Index File"), QStringLiteral("&Undo Index File"),
                     QStringLiteral("&Undo Set all URLs to this Base URL")}));
    IndexFile& index = *m_doc.Index();
    for (const auto& entry : index.m_root.m_children) {
        EXPECT_EQ(entry->m_baseUrl, index.m_baseUrls.back().get()) << entry->m_title;
    }
    std::string edited = Save("edited.xo");
    ASSERT_NE(edited, original);
    EXPECT_EQ(m_doc.History().UndoCount(), 13u);

    // Ctrl+Z all the way back: the original to the byte, and nothing left to save.
    for (int i = 0; i < 13; ++i) {
        Key(Qt::Key_Z, Qt::ControlModifier);
    }
    m_frame.UpdateCommandUi();
    EXPECT_FALSE(m_frame.Action(Command::EditUndo)->isEnabled());
    EXPECT_EQ(m_doc.History().UndoCount(), 0u);
    EXPECT_TRUE(m_doc.IsModified());
    EXPECT_EQ(Save("undone.xo"), original);
    EXPECT_EQ(RedoText(), QStringLiteral("&Redo Rename 'B'"));

    // Ctrl+Y all the way forward: the edited file to the byte.
    for (int i = 0; i < 13; ++i) {
        Key(Qt::Key_Y, Qt::ControlModifier);
    }
    m_frame.UpdateCommandUi();
    EXPECT_FALSE(m_frame.Action(Command::EditRedo)->isEnabled());
    EXPECT_EQ(m_doc.History().UndoCount(), 13u);
    EXPECT_EQ(Save("redone.xo"), edited);
    EXPECT_EQ(m_view->RootNode()->text(0), QStringLiteral("Renamed site"));
}

TEST_F(UndoRedoTest, UndoingBackToTheSavedStateClearsTheModifiedFlag) {
    Select("B");
    Key(Qt::Key_Delete);
    ASSERT_TRUE(m_doc.IsModified());
    Key(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_FALSE(m_doc.IsModified());
    EXPECT_EQ(m_doc.Index()->m_changed, 0);
    // Ctrl+Shift+Z redoes too; a save in between becomes the new clean state.
    Key(Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_TRUE(m_doc.IsModified());
    Save("saved.xo");
    EXPECT_EQ(m_doc.History().UndoCount(), 1u);
    Key(Qt::Key_Backspace, Qt::AltModifier);
    EXPECT_TRUE(m_doc.IsModified());
    Key(Qt::Key_Y, Qt::ControlModifier);
    EXPECT_FALSE(m_doc.IsModified());
    // A new edit after an undo leaves the saved state out of reach.
    Key(Qt::Key_Z, Qt::ControlModifier);
    Select("C");
    Key(Qt::Key_Delete);
    EXPECT_FALSE(m_frame.Action(Command::EditRedo)->isEnabled());
    Key(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_TRUE(m_doc.IsModified());
}

TEST_F(UndoRedoTest, NewAndOpenEmptyTheHistory) {
    Select("B");
    Key(Qt::Key_Delete);
    Key(Qt::Key_Z, Qt::ControlModifier);
    ASSERT_EQ(m_doc.History().StepCount(), 1u);
    ASSERT_TRUE(m_doc.OpenIndex(QString::fromStdString(m_files.Path("site.xo"))));
    m_doc.UpdateAllViews();
    EXPECT_EQ(m_doc.History().StepCount(), 0u);
    Select("B");
    Key(Qt::Key_Delete);
    m_doc.NewIndex();
    m_frame.UpdateCommandUi();
    EXPECT_EQ(m_doc.History().StepCount(), 0u);
    EXPECT_FALSE(m_frame.Action(Command::EditUndo)->isEnabled());
    EXPECT_EQ(UndoText(), QStringLiteral("&Undo"));
}

TEST_F(UndoRedoTest, AnAmpersandInATitleIsNoMnemonicAndTheToolTipNamesTheStep) {
    Select("B");
    Key(Qt::Key_F2);
    auto* editor = m_view->findChild<QLineEdit*>();
    ASSERT_NE(editor, nullptr);
    QTest::keyClick(editor, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(editor, QStringLiteral("R&D"));
    QTest::keyClick(editor, Qt::Key_Return);
    QTest::qWait(50);
    Select("R&D");
    Key(Qt::Key_Delete);
    EXPECT_EQ(UndoText(), QStringLiteral("&Undo Delete 'R&&D'"));
    EXPECT_EQ(m_frame.Action(Command::EditUndo)->toolTip(), QStringLiteral("Undo Delete 'R&D'"));

    // A title that looks like markup is shown as written.
    Select("A");
    Key(Qt::Key_F2);
    editor = m_view->findChild<QLineEdit*>();
    ASSERT_NE(editor, nullptr);
    QTest::keyClick(editor, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(editor, QStringLiteral("The <table> tag"));
    QTest::keyClick(editor, Qt::Key_Return);
    QTest::qWait(50);
    Select("The <table> tag");
    Key(Qt::Key_Delete);
    QString tip = m_frame.Action(Command::EditUndo)->toolTip();
    QTextDocument shown;
    shown.setHtml(tip);
    EXPECT_EQ(Qt::mightBeRichText(tip) ? shown.toPlainText() : tip,
              QStringLiteral("Undo Delete 'The <table> tag'"));
}

// The Edit menu with its named Undo and Redo, drawn for a look at it.
TEST_F(UndoRedoTest, TheEditMenuNamesBothSteps) {
    Select("A2");
    Key(Qt::Key_Delete);
    Select("B");
    MouseDrag("B", "A1", {});
    Key(Qt::Key_Z, Qt::ControlModifier);
    QMenu* edit = m_frame.findChild<QMenu*>(QStringLiteral("menuEdit"));
    ASSERT_NE(edit, nullptr);
    m_frame.UpdateCommandUi();
    edit->popup(m_frame.mapToGlobal(QPoint(10, 30)));
    QTest::qWait(50);
    EXPECT_EQ(m_frame.Action(Command::EditUndo)->text(), QStringLiteral("&Undo Delete 'A2'"));
    EXPECT_EQ(m_frame.Action(Command::EditRedo)->text(), QStringLiteral("&Redo Move 'B'"));
    if (const char* out = std::getenv("TAMBLIN_SHOT_DIR")) {
        edit->grab().save(QString::fromLocal8Bit(out) + QStringLiteral("/edit-menu.png"));
        m_frame.grab().save(QString::fromLocal8Bit(out) + QStringLiteral("/frame.png"));
    }
    edit->close();
}

// A copy keeps naming a base URL that undo took out of the file; pasting it must neither
// touch a freed record nor save a reference to a record the file does not hold.
TEST_F(UndoRedoTest, APastedCopyOfAnUndoneBaseUrlBringsTheBaseUrlBack) {
    WhenShown([](CPropertySheet& sheet) {
        Find<QPushButton>(sheet, "add")->click();
        Type(Find<QLineEdit>(sheet, "baseUrl"), "new/");
        Find<QPushButton>(sheet, "setAll")->click();
    });
    Run(Command::ViewBaseUrls);
    ASSERT_EQ(m_doc.Index()->m_baseUrls.size(), 4u);
    Select("B");
    Run(Command::EditCopy);
    Run(Command::EditUndo);
    ASSERT_EQ(m_doc.Index()->m_baseUrls.size(), 3u);
    // A new edit drops the step that still held the record.
    Select("C");
    Run(Command::EditDelete);
    ASSERT_FALSE(m_frame.Action(Command::EditRedo)->isEnabled());
    Select("A");
    std::string beforePaste = Save("before-paste.xo");
    Run(Command::EditPaste);
    IndexFile& index = *m_doc.Index();
    ASSERT_EQ(index.m_baseUrls.size(), 4u);
    IndexEntry& pasted = *index.m_root.m_children[1];
    EXPECT_EQ(pasted.m_baseUrl, index.m_baseUrls.back().get());
    EXPECT_EQ(pasted.FullUrl(), "new/b.htm");
    std::string pastedFile = Save("pasted.xo");
    // Undoing the paste takes the base URL it listed out again, and redoing brings it back.
    EXPECT_EQ(UndoText(), QStringLiteral("&Undo Paste 'B'"));
    Run(Command::EditUndo);
    EXPECT_EQ(index.m_baseUrls.size(), 3u);
    EXPECT_EQ(Save("paste-undone.xo"), beforePaste);
    Run(Command::EditRedo);
    EXPECT_EQ(Save("paste-redone.xo"), pastedFile);
    ASSERT_TRUE(m_doc.OpenIndex(QString::fromStdString(m_files.Path("pasted.xo"))));
    EXPECT_EQ(m_doc.Index()->m_root.m_children[1]->FullUrl(), "new/b.htm");
}

// With "Undo every edit" off the Edit menu is the single "Undo delete" of old: the last
// delete only, one level, no Redo anywhere, and no step kept for any other edit.
TEST_F(UndoRedoTest, WithUndoEveryEditOffOnlyTheLastDeleteCanBeUndone) {
    m_frame.SetUndoEveryEdit(false);
    QAction* undo = m_frame.Action(Command::EditUndo);
    QAction* redo = m_frame.Action(Command::EditRedo);
    EXPECT_EQ(UndoText(), QStringLiteral("&Undo delete"));
    EXPECT_EQ(undo->statusTip(), QStringLiteral("Undo the last delete"));
    EXPECT_EQ(undo->toolTip(), QStringLiteral("Undo delete"));
    EXPECT_FALSE(undo->isEnabled());
    EXPECT_FALSE(redo->isVisible());
    // The toolbar lays its buttons out again on its next turn.
    QTest::qWait(20);
    QWidget* redoButton = m_frame.ToolBar()->widgetForAction(redo);
    EXPECT_TRUE(!redoButton || !redoButton->isVisible());

    // Neither a rename nor a move can be undone.
    Select("B");
    Key(Qt::Key_F2);
    auto* editor = m_view->findChild<QLineEdit*>();
    ASSERT_NE(editor, nullptr);
    QTest::keyClick(editor, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(editor, QStringLiteral("Bee"));
    QTest::keyClick(editor, Qt::Key_Return);
    QTest::qWait(50);
    MouseDrag("Bee", "C", {});
    m_frame.UpdateCommandUi();
    EXPECT_FALSE(undo->isEnabled());
    EXPECT_EQ(m_doc.History().StepCount(), 0u);

    // The only child of A1 goes and comes back first under A1; two deletes in a row: only
    // the second comes back.
    Select("A1a");
    Key(Qt::Key_Delete);
    Key(Qt::Key_Z, Qt::ControlModifier);
    ASSERT_NE(Node("A1a"), nullptr);
    EXPECT_EQ(Node("A1a")->parent(), Node("A1"));
    Select("A1");
    Key(Qt::Key_Delete);
    Select("A2");
    Key(Qt::Key_Delete);
    m_frame.UpdateCommandUi();
    EXPECT_TRUE(undo->isEnabled());
    EXPECT_EQ(UndoText(), QStringLiteral("&Undo delete"));
    Key(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(Node("A1"), nullptr);
    ASSERT_NE(Node("A2"), nullptr);
    EXPECT_EQ(Node("A")->indexOfChild(Node("A2")), 0);
    m_frame.UpdateCommandUi();
    EXPECT_FALSE(undo->isEnabled());
    Key(Qt::Key_Y, Qt::ControlModifier);
    EXPECT_NE(Node("A2"), nullptr);

    // A cancelled Insert URL is a delete, so Undo delete brings the empty entry back.
    Select("A2");
    WhenShown([](CPropertySheet& sheet) { sheet.reject(); });
    Run(Command::EditInsertUrl);
    EXPECT_EQ(Node("A")->childCount(), 1);
    Run(Command::EditUndo);
    EXPECT_EQ(Node("A")->childCount(), 2);
    EXPECT_EQ(m_doc.History().StepCount(), 0u);
    if (const char* out = std::getenv("TAMBLIN_SHOT_DIR")) {
        Select("A2");
        Key(Qt::Key_Delete);
        QMenu* edit = m_frame.findChild<QMenu*>(QStringLiteral("menuEdit"));
        m_frame.UpdateCommandUi();
        edit->popup(m_frame.mapToGlobal(QPoint(10, 30)));
        QTest::qWait(50);
        edit->grab().save(QString::fromLocal8Bit(out) +
                          QStringLiteral("/edit-menu-undo-delete.png"));
        m_frame.grab().save(QString::fromLocal8Bit(out) + QStringLiteral("/frame-undo-delete.png"));
        edit->close();
    }

    // On again: named steps and Redo are back, with nothing to undo yet.
    m_frame.SetUndoEveryEdit(true);
    EXPECT_TRUE(redo->isVisible());
    EXPECT_EQ(UndoText(), QStringLiteral("&Undo"));
    EXPECT_EQ(undo->statusTip(), QStringLiteral("Undo the last edit"));
    EXPECT_FALSE(undo->isEnabled());
}
