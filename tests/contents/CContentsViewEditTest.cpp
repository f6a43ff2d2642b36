#include "AppTestSupport.h"
#include "ScriptedDialogs.h"
#include "TestFiles.h"
#include "app/ui/CMainFrame.h"
#include "contents/ui/CContentsView.h"
#include "document/ui/CXoDoc.h"
#include "index/BaseUrl.h"
#include "index/IndexFile.h"

#include <QAction>
#include <QClipboard>
#include <QDialog>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

using namespace tamblin;

namespace {

// Site: A (A1 (A1a), A2), B, C.
const std::string kTree = "XO0;2;1;1;Tamblin 1.1.18\r\n"
                          "1;Site;December 6 2026\r\n"
                          "3;1;docs/;main\r\n"
                          "3;2;http://example.com/;\r\n"
                          "5;1;1;a.htm;A;;0;\r\n"
                          "5;2;1;a1.htm;A1;;1;\r\n"
                          "5;3;1;a1a.htm;A1a;;2;\r\n"
                          "5;4;1;a2.htm;A2;;1;\r\n"
                          "5;5;1;b.htm;B;;0;\r\n"
                          "5;6;2;c.htm;C;;0;\r\n";

using Result = CContentsView::SheetResult;

class CContentsViewEditTest : public ::testing::Test {
protected:
    CContentsViewEditTest() {
        EXPECT_TRUE(m_doc.OpenIndex(QString::fromStdString(m_files.Write("site.xo", kTree))));
        m_view.SetDocument(&m_doc);
        m_view.resize(400, 600);
        m_view.expandAll();
        m_view.SetSheets(
            [this](IndexEntry& e, int page, bool isNew) { return Sheet(e, page, isNew); }, {}, {});
    }

    Result Sheet(IndexEntry& entry, int page, bool isNew) {
        m_sheetCalls.append({page, isNew});
        if (m_sheetResult == Result::Changed) {
            entry.m_title = m_nextTitle;
        }
        return m_sheetResult;
    }

    QTreeWidgetItem* Root() const { return m_view.topLevelItem(0); }
    QTreeWidgetItem* Node(const QString& title) const {
        QList<QTreeWidgetItem*> found =
            m_view.findItems(title, Qt::MatchExactly | Qt::MatchRecursive);
        return found.size() == 1 ? found.front() : nullptr;
    }
    void Select(const char* title) { m_view.setCurrentItem(Node(QString::fromLatin1(title))); }

    // The tree as text, built from the model: "A(A1(A1a),A2),B,C". Checks on the way that
    // every node shows its entry, in the same order, and that each entry knows its node.
    std::string Shape() const { return Shape(m_doc.Index()->m_root, Root()); }
    static std::string Shape(const IndexEntry& entry, const QTreeWidgetItem* node) {
        std::string text;
        EXPECT_EQ(static_cast<int>(entry.m_children.size()), node->childCount());
        for (size_t i = 0; i < entry.m_children.size(); ++i) {
            const IndexEntry& child = *entry.m_children[i];
            QTreeWidgetItem* childNode = node->child(static_cast<int>(i));
            EXPECT_EQ(CContentsView::EntryOf(childNode), &child);
            EXPECT_EQ(CContentsView::NodeOf(child), childNode);
            EXPECT_EQ(childNode->text(0).toStdString(), child.m_title);
            text += (i ? "," : "") + child.m_title;
            if (!child.m_children.empty()) {
                text += "(" + Shape(child, childNode) + ")";
            }
        }
        return text;
    }

    QPoint Before(const char* title) {
        return m_view.visualItemRect(Node(QString::fromLatin1(title))).topLeft() + QPoint(4, 4);
    }
    QPoint RightOf(const char* title) {
        QRect rect = m_view.visualItemRect(Node(QString::fromLatin1(title)));
        return QPoint(rect.right() - 4, rect.center().y());
    }
    void Drag(const char* from, const QPoint& to, bool copy = false) {
        m_view.BeginDrag(Node(QString::fromLatin1(from)), Before(from));
        m_view.DragMove(to);
        m_view.Drop(copy);
    }

    bool m_app = (test::App(), true);
    TestFiles m_files;
    ScriptedDialogs m_dialogs;
    CXoDoc m_doc;
    CContentsView m_view;
    Result m_sheetResult = Result::Cancelled;
    std::string m_nextTitle = "New page";
    QList<QPair<int, bool>> m_sheetCalls;
};

} // namespace

TEST_F(CContentsViewEditTest, EveryEditCommitsWithoutRebuildingTheView) {
    QSignalSpy changed(&m_doc, &CXoDoc::Changed);
    QTreeWidgetItem* rootBefore = Root();
    Select("B");
    m_view.OnDelete();
    EXPECT_TRUE(m_doc.IsModified());
    EXPECT_EQ(m_doc.Index()->m_changed, 1);
    ASSERT_EQ(changed.size(), 1);
    EXPECT_EQ(changed.front().at(0).value<QObject*>(), &m_view);
    EXPECT_EQ(Root(), rootBefore);
}

TEST_F(CContentsViewEditTest, DeleteAsksAndCancelKeepsEverything) {
    Select("A1");
    m_dialogs.m_answers = {DialogService::Answer::Cancel};
    m_view.OnDelete();
    ASSERT_EQ(m_dialogs.m_messages.size(), 1);
    EXPECT_EQ(m_dialogs.m_messages.front().text, QStringLiteral("OK to Delete 'A1'?"));
    EXPECT_EQ(Shape(), "A(A1(A1a),A2),B,C");
    EXPECT_FALSE(m_doc.IsModified());
    EXPECT_FALSE(m_view.CanUndo());
}

TEST_F(CContentsViewEditTest, UndoPutsTheSubtreeBackWithItsExpansionAndSelection) {
    Node(QStringLiteral("A1"))->setExpanded(false);
    Select("A2");
    m_view.OnDelete();
    EXPECT_EQ(Shape(), "A(A1(A1a)),B,C");
    Select("A1");
    m_view.OnDelete();
    EXPECT_EQ(Shape(), "A,B,C");
    // Undone newest first: A1, collapsed as it was, then A2.
    m_view.OnUndo();
    EXPECT_EQ(Shape(), "A(A1(A1a)),B,C");
    EXPECT_FALSE(Node(QStringLiteral("A1"))->isExpanded());
    EXPECT_EQ(m_view.currentItem(), Node(QStringLiteral("A1")));
    m_view.OnUndo();
    EXPECT_EQ(Shape(), "A(A1(A1a),A2),B,C");
    EXPECT_FALSE(m_view.CanUndo());
    m_view.OnRedo();
    EXPECT_EQ(Shape(), "A(A1(A1a)),B,C");
    // The only child of a node comes back as its first child, expanded as it was.
    Select("A1a");
    m_view.OnDelete();
    m_view.OnUndo();
    EXPECT_EQ(Shape(), "A(A1(A1a)),B,C");
}

TEST_F(CContentsViewEditTest, UndoKeepsItsPlaceThroughARebuildAndUndoesInOrder) {
    Select("B");
    m_view.OnDelete();
    m_doc.UpdateAllViews();
    m_view.OnUndo();
    EXPECT_EQ(Shape(), "A(A1(A1a),A2),B,C");
    // The previous sibling moves away afterwards: the move is undone first, so B finds
    // its place again.
    Select("B");
    m_view.OnDelete();
    Drag("A", RightOf("C"));
    EXPECT_EQ(Shape(), "C(A(A1(A1a),A2))");
    m_doc.UpdateAllViews();
    m_view.OnUndo();
    EXPECT_EQ(Shape(), "A(A1(A1a),A2),C");
    m_view.OnUndo();
    EXPECT_EQ(Shape(), "A(A1(A1a),A2),B,C");
}

TEST_F(CContentsViewEditTest, ANewIndexDropsTheClipboardAndTheUndoRecord) {
    Select("B");
    m_view.OnCopy();
    m_view.OnDelete();
    ASSERT_TRUE(m_view.CanPaste());
    ASSERT_TRUE(m_view.CanUndo());
    m_doc.NewIndex();
    EXPECT_FALSE(m_view.CanPaste());
    EXPECT_FALSE(m_view.CanUndo());
    EXPECT_EQ(m_view.ClipboardEntry(), nullptr);
    EXPECT_EQ(m_doc.History().StepCount(), 0u);
}

TEST_F(CContentsViewEditTest, InsertUrlGoesAfterTheSelectionOrFirstUnderTheRoot) {
    m_sheetResult = Result::Changed;
    Select("A1");
    m_view.OnInsertUrl();
    EXPECT_EQ(Shape(), "A(A1(A1a),New page,A2),B,C");
    ASSERT_EQ(m_sheetCalls.size(), 1);
    EXPECT_EQ(m_sheetCalls.front(), qMakePair(0, true));
    IndexEntry* created = m_view.SelectedEntry();
    ASSERT_NE(created, nullptr);
    EXPECT_EQ(created->m_baseUrl, m_doc.Index()->m_baseUrls.front().get());
    EXPECT_EQ(created->m_inContents, 1);
    EXPECT_EQ(created->m_ownTarget, 0);
    m_view.setCurrentItem(Root());
    m_nextTitle = "Top";
    m_view.OnInsertUrl();
    EXPECT_EQ(Shape(), "Top,A(A1(A1a),New page,A2),B,C");
    EXPECT_TRUE(m_doc.IsModified());
}

TEST_F(CContentsViewEditTest, ACancelledInsertIsRemovedAndUndoBringsItBack) {
    Select("B");
    m_view.OnInsertUrl();
    EXPECT_EQ(Shape(), "A(A1(A1a),A2),B,C");
    ASSERT_TRUE(m_view.CanUndo());
    // No confirmation for the entry the user never accepted.
    EXPECT_TRUE(m_dialogs.m_messages.isEmpty());
    m_view.OnUndo();
    EXPECT_EQ(Shape(), "A(A1(A1a),A2),B,,C");
}

TEST_F(CContentsViewEditTest, PastePositionsFollowTheSelectedNode) {
    Select("A1");
    ASSERT_TRUE(m_view.OnCopy());
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("A1"));
    m_view.setCurrentItem(Root());
    m_view.OnPaste();
    EXPECT_EQ(Shape(), "A1(A1a),A(A1(A1a),A2),B,C");
    m_view.setCurrentItem(m_view.OtherKeywordsNode());
    m_view.OnPaste();
    EXPECT_EQ(Shape(), "A1(A1a),A(A1(A1a),A2),B,C,A1(A1a)");
    EXPECT_EQ(m_view.OtherKeywordsNode()->childCount(), 0);
    m_view.setCurrentItem(Root()->child(3));
    m_view.OnPaste();
    EXPECT_EQ(Shape(), "A1(A1a),A(A1(A1a),A2),B,C,A1(A1a),A1(A1a)");
}

TEST_F(CContentsViewEditTest, TwoPastesAreIndependentCopies) {
    Select("A1");
    m_view.OnCopy();
    Select("C");
    m_view.OnPaste();
    m_view.OnPaste();
    IndexEntry& root = m_doc.Index()->m_root;
    ASSERT_EQ(root.m_children.size(), 5u);
    IndexEntry& first = *root.m_children[3];
    IndexEntry& second = *root.m_children[4];
    EXPECT_NE(&first, &second);
    EXPECT_NE(first.m_children.front().get(), second.m_children.front().get());
    first.m_children.front()->m_title = "Changed";
    EXPECT_EQ(second.m_children.front()->m_title, "A1a");
    EXPECT_EQ(m_view.ClipboardEntry()->m_children.front()->m_title, "A1a");
    // Same base URL: a copy belongs to the same index.
    EXPECT_EQ(first.m_baseUrl, m_doc.Index()->m_baseUrls.front().get());
}

TEST_F(CContentsViewEditTest, CutRemovesWithoutAskingAndPasteBringsItBack) {
    Select("A");
    m_view.OnCut();
    EXPECT_TRUE(m_dialogs.m_messages.isEmpty());
    EXPECT_EQ(Shape(), "B,C");
    Select("C");
    m_view.OnPaste();
    EXPECT_EQ(Shape(), "B,C,A(A1(A1a),A2)");
    EXPECT_TRUE(Node(QStringLiteral("A"))->isExpanded());
    // Undo takes the paste away first, then brings the cut entry back.
    m_view.OnUndo();
    EXPECT_EQ(Shape(), "B,C");
    m_view.OnUndo();
    EXPECT_EQ(Shape(), "A(A1(A1a),A2),B,C");
}

TEST_F(CContentsViewEditTest, TopLevelNodesCannotBeDeletedCopiedOrFlattened) {
    for (QTreeWidgetItem* node : {Root(), m_view.OtherKeywordsNode()}) {
        m_view.setCurrentItem(node);
        EXPECT_FALSE(m_view.SelectedHasParent());
        EXPECT_FALSE(m_view.CanFlatten());
        m_view.OnDelete();
        m_view.OnCut();
        m_view.OnFlatten();
    }
    EXPECT_EQ(Shape(), "A(A1(A1a),A2),B,C");
    EXPECT_FALSE(m_view.CanProperties());
    EXPECT_TRUE(m_view.CanIndexKeywords());
    m_view.setCurrentItem(Root());
    EXPECT_TRUE(m_view.CanProperties());
    EXPECT_FALSE(m_view.CanIndexKeywords());
    EXPECT_FALSE(m_view.CanPaste());
}

TEST_F(CContentsViewEditTest, FlattenMovesOneLevelKeepingSubtrees) {
    Select("A");
    ASSERT_TRUE(m_view.CanFlatten());
    m_view.OnFlatten();
    EXPECT_EQ(Shape(), "A,A1(A1a),A2,B,C");
    EXPECT_TRUE(Node(QStringLiteral("A1"))->isExpanded());
    EXPECT_EQ(m_view.currentItem(), Node(QStringLiteral("A")));
    EXPECT_FALSE(m_view.CanFlatten());
    EXPECT_TRUE(m_doc.IsModified());
}

TEST_F(CContentsViewEditTest, DragMovesAfterTheTargetOrAsItsChild) {
    Drag("C", Before("A1"));
    EXPECT_EQ(Shape(), "A(A1(A1a),C,A2),B");
    EXPECT_EQ(m_view.currentItem(), Node(QStringLiteral("C")));
    Drag("B", RightOf("A2"));
    EXPECT_EQ(Shape(), "A(A1(A1a),C,A2(B))");
    // The root and Other Index keywords take the entry first and last under the root.
    Drag("C", Before("Site"));
    EXPECT_EQ(Shape(), "C,A(A1(A1a),A2(B))");
    Drag("C", Before("Other Index keywords"));
    EXPECT_EQ(Shape(), "A(A1(A1a),A2(B)),C");
    EXPECT_TRUE(m_doc.IsModified());
}

TEST_F(CContentsViewEditTest, EscapeEndsADragWithoutAHighlightedTarget) {
    m_view.BeginDrag(Node(QStringLiteral("C")), Before("C"));
    m_view.DragMove(Before("B"));
    QTreeWidgetItem* target = Node(QStringLiteral("B"));
    ASSERT_EQ(m_view.DropTarget(), target);
    ASSERT_NE(target->background(0).style(), Qt::NoBrush);
    QTest::keyClick(&m_view, Qt::Key_Escape);
    EXPECT_EQ(target->background(0).style(), Qt::NoBrush);
    EXPECT_EQ(m_view.DropTarget(), nullptr);
    EXPECT_EQ(Shape(), "A(A1(A1a),A2),B,C");
}

TEST_F(CContentsViewEditTest, CtrlDropCopiesAndLeavesTheOriginal) {
    Drag("A1", Before("C"), true);
    EXPECT_EQ(Shape(), "A(A1(A1a),A2),B,C,A1(A1a)");
    EXPECT_EQ(m_view.currentItem(), Root()->child(3));
}

TEST_F(CContentsViewEditTest, NothingDropsIntoItsOwnSubtreeOrOnItself) {
    m_view.BeginDrag(Node(QStringLiteral("A")), Before("A"));
    m_view.DragMove(Before("B"));
    EXPECT_EQ(m_view.DropTarget(), Node(QStringLiteral("B")));
    m_view.DragMove(RightOf("A1a"));
    EXPECT_EQ(m_view.DropTarget(), Node(QStringLiteral("B")));
    m_view.DragMove(Before("A"));
    EXPECT_EQ(m_view.DropTarget(), Node(QStringLiteral("A")));
    m_view.Drop(false);
    EXPECT_EQ(Shape(), "A(A1(A1a),A2),B,C");
    EXPECT_FALSE(m_doc.IsModified());
    // The top-level nodes do not drag at all.
    m_view.BeginDrag(Root(), Before("Site"));
    EXPECT_FALSE(m_view.IsDragging());
}

TEST_F(CContentsViewEditTest, DragImagesFollowTheModeAndOutsideRefusesTheDrop) {
    m_view.BeginDrag(Node(QStringLiteral("C")), Before("C"));
    EXPECT_EQ(m_view.DragImage(), CContentsView::kImageMark);
    m_view.DragMove(RightOf("A2"));
    EXPECT_TRUE(m_view.DropAsChild());
    EXPECT_EQ(m_view.DragImage(), CContentsView::kImageMarkSwapped);
    m_view.DragMove(Before("A2"));
    EXPECT_FALSE(m_view.DropAsChild());
    EXPECT_EQ(m_view.DragImage(), CContentsView::kImageMark);
    m_view.DragMove(QPoint(10, -20));
    EXPECT_EQ(m_view.DragImage(), CContentsView::kImageNoEntry);
    m_view.Drop(false);
    EXPECT_FALSE(m_view.IsDragging());
    EXPECT_EQ(Shape(), "A(A1(A1a),A2),B,C");
}

TEST_F(CContentsViewEditTest, LabelEditsRenameTheEntryOrTheDescription) {
    m_view.show();
    Select("B");
    m_view.editItem(Node(QStringLiteral("B")));
    auto* editor = m_view.findChild<QLineEdit*>();
    ASSERT_NE(editor, nullptr);
    editor->setText(QStringLiteral("Bee"));
    QMetaObject::invokeMethod(&m_view, "commitData", Q_ARG(QWidget*, editor));
    EXPECT_EQ(Shape(), "A(A1(A1a),A2),Bee,C");
    EXPECT_TRUE(m_doc.IsModified());
    QMetaObject::invokeMethod(
        &m_view, "closeEditor", Q_ARG(QWidget*, editor),
        Q_ARG(QAbstractItemDelegate::EndEditHint, QAbstractItemDelegate::NoHint));
    m_view.setCurrentItem(Root());
    m_view.editItem(Root());
    editor = m_view.findChild<QLineEdit*>();
    ASSERT_NE(editor, nullptr);
    editor->setText(QStringLiteral("Renamed site"));
    QMetaObject::invokeMethod(&m_view, "commitData", Q_ARG(QWidget*, editor));
    EXPECT_EQ(m_doc.Index()->m_description, "Renamed site");
    EXPECT_EQ(Root()->text(0), QStringLiteral("Renamed site"));
}

namespace {

// Shows every message as a real modal window that takes the focus, as a message box does,
// and closes it a moment later; what a scripted answer cannot show is the focus moving away
// from the label's edit box while the edit is being committed.
class ModalDialogs final : public DialogService {
public:
    ModalDialogs() { SetDialogService(this); }
    ~ModalDialogs() override { SetDialogService(nullptr); }

    Answer ShowMessage(QWidget* parent, const Message& message) override {
        m_messages.append(message.text);
        QDialog box(parent);
        box.setObjectName(QStringLiteral("modalMessage"));
        auto* ok = new QPushButton(QStringLiteral("OK"), &box);
        QObject::connect(ok, &QPushButton::clicked, &box, &QDialog::accept);
        QTimer::singleShot(50, &box, [&box] {
            box.activateWindow();
            QTimer::singleShot(50, &box, &QDialog::accept);
        });
        box.exec();
        return Answer::Ok;
    }
    QString PromptFile(QWidget*, const FileRequest&) override { return {}; }

    QStringList m_messages;
};

void TypeBlankLabel(QWidget* editor) {
    QTest::keyClick(editor, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(editor, Qt::Key_Backspace);
    QTest::keyClick(editor, Qt::Key_Return);
}

} // namespace

// Renaming to nothing, typed as a user types it: one warning, the old title, no crash, and
// the tree still edits afterwards.
TEST_F(CContentsViewEditTest, ABlankLabelTypedInPlaceWarnsOnceAndKeepsTheTitle) {
    ModalDialogs dialogs;
    m_view.show();
    m_view.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&m_view));
    m_view.setFocus();
    for (const char* title : {"B", "A1"}) {
        Select(title);
        QTest::keyClick(&m_view, Qt::Key_F2);
        auto* editor = m_view.findChild<QLineEdit*>();
        ASSERT_NE(editor, nullptr) << title;
        TypeBlankLabel(editor);
        QTest::qWait(400);
        EXPECT_EQ(dialogs.m_messages,
                  QStringList{QStringLiteral("Sorry, this string cannot be blank")});
        dialogs.m_messages.clear();
        EXPECT_EQ(Shape(), "A(A1(A1a),A2),B,C");
        EXPECT_FALSE(m_doc.IsModified());
        EXPECT_EQ(m_view.findChild<QLineEdit*>(), nullptr);
    }
    Select("C");
    QTest::keyClick(&m_view, Qt::Key_F2);
    auto* editor = m_view.findChild<QLineEdit*>();
    ASSERT_NE(editor, nullptr);
    QTest::keyClick(editor, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(editor, QStringLiteral("Sea"));
    QTest::keyClick(editor, Qt::Key_Return);
    QTest::qWait(50);
    EXPECT_TRUE(dialogs.m_messages.isEmpty());
    EXPECT_EQ(Shape(), "A(A1(A1a),A2),B,Sea");
}

TEST_F(CContentsViewEditTest, OtherIndexKeywordsLabelIsNotEditable) {
    m_view.show();
    m_view.setCurrentItem(m_view.OtherKeywordsNode());
    m_view.editItem(m_view.OtherKeywordsNode());
    EXPECT_EQ(m_view.findChild<QLineEdit*>(), nullptr);
}

// A new user's session: every kind of edit, then save and reopen.
TEST_F(CContentsViewEditTest, WhatIsShownIsWhatIsSaved) {
    m_view.show();
    m_sheetResult = Result::Changed;
    Select("B");
    for (const char* title : {"P1", "P2", "P3"}) {
        m_nextTitle = title;
        m_view.OnInsertUrl();
    }
    EXPECT_EQ(Shape(), "A(A1(A1a),A2),B,P1,P2,P3,C");
    Select("P2");
    m_view.editItem(Node(QStringLiteral("P2")));
    auto* editor = m_view.findChild<QLineEdit*>();
    ASSERT_NE(editor, nullptr);
    editor->setText(QStringLiteral("Second"));
    // The Enter that ends the edit must not reach the tree and open the sheet as well.
    QTest::keyClick(editor, Qt::Key_Return);
    QCoreApplication::processEvents();
    EXPECT_EQ(m_sheetCalls.size(), 3);
    EXPECT_EQ(Shape(), "A(A1(A1a),A2),B,P1,Second,P3,C");
    Drag("P1", RightOf("C"));
    Drag("A2", Before("B"), true);
    Select("A");
    m_view.OnFlatten();
    Select("P3");
    m_view.OnDelete();
    m_view.OnUndo();
    Select("A1");
    m_view.OnCut();
    m_view.setCurrentItem(m_view.OtherKeywordsNode());
    m_view.OnPaste();
    m_view.setCurrentItem(Root());
    m_view.OnPaste();
    std::string expected = Shape();
    EXPECT_EQ(expected, "A1(A1a),A,A2,B,A2,Second,P3,C(P1),A1(A1a)");
    ASSERT_TRUE(m_doc.SaveIndex(QString::fromStdString(m_files.Path("saved.xo"))));
    ASSERT_TRUE(m_doc.OpenIndex(QString::fromStdString(m_files.Path("saved.xo"))));
    m_doc.UpdateAllViews();
    EXPECT_EQ(Shape(), expected);
}

TEST(CContentsViewFrameTest, TheFramesCommandsFollowTheSelection) {
    test::SettingsSandbox sandbox;
    ScriptedDialogs dialogs;
    TestFiles files;
    CXoDoc doc;
    CMainFrame frame(&doc, nullptr);
    ASSERT_TRUE(doc.OpenIndex(QString::fromStdString(files.Write("site.xo", kTree))));
    doc.UpdateAllViews();
    CContentsView* view = frame.View();
    auto enabled = [&frame](Command id) { return frame.Action(id)->isEnabled(); };
    EXPECT_FALSE(enabled(Command::EditCopy));
    EXPECT_FALSE(enabled(Command::EditUndo));
    view->setCurrentItem(view->RootNode()->child(0));
    for (Command id :
         {Command::EditCopy, Command::EditCut, Command::EditDelete, Command::EditFlatten,
          Command::ViewProperties, Command::ViewIndexKeywords, Command::EditInsertUrl}) {
        EXPECT_TRUE(enabled(id));
    }
    EXPECT_FALSE(enabled(Command::EditPaste));
    frame.Action(Command::EditCopy)->trigger();
    EXPECT_TRUE(enabled(Command::EditPaste));
    frame.Action(Command::EditDelete)->trigger();
    EXPECT_EQ(dialogs.m_messages.size(), 1);
    EXPECT_TRUE(enabled(Command::EditUndo));
    EXPECT_EQ(doc.Index()->m_root.m_children.size(), 2u);
    frame.Action(Command::EditUndo)->trigger();
    EXPECT_EQ(doc.Index()->m_root.m_children.size(), 3u);
    EXPECT_FALSE(enabled(Command::EditUndo));
    // The status bar's URL pane shows the selected entry's full URL.
    view->setCurrentItem(view->RootNode()->child(2));
    EXPECT_EQ(frame.UrlPane()->text(), QStringLiteral("http://example.com/c.htm"));
}

TEST_F(CContentsViewEditTest, DoubleClickAndEnterOpenTheSheetForTheNode) {
    int indexPages = -1;
    int keywordPages = -1;
    m_view.SetSheets([this](IndexEntry& e, int page, bool isNew) { return Sheet(e, page, isNew); },
                     [&indexPages](int page) {
                         indexPages = page;
                         return Result::Unchanged;
                     },
                     [&keywordPages](int page) {
                         keywordPages = page;
                         return Result::Unchanged;
                     });
    m_view.show();
    QTreeWidgetItem* b = Node(QStringLiteral("B"));
    QTest::mouseDClick(m_view.viewport(), Qt::LeftButton, {}, m_view.visualItemRect(b).center());
    ASSERT_EQ(m_sheetCalls.size(), 1);
    EXPECT_EQ(m_sheetCalls.front(), qMakePair(0, false));
    EXPECT_EQ(m_view.currentItem(), b);
    // A double click neither expands nor collapses.
    QTreeWidgetItem* a = Node(QStringLiteral("A"));
    QTest::mouseDClick(m_view.viewport(), Qt::LeftButton, {}, m_view.visualItemRect(a).center());
    EXPECT_TRUE(a->isExpanded());
    m_view.setCurrentItem(m_view.OtherKeywordsNode());
    QTest::keyClick(&m_view, Qt::Key_Return);
    EXPECT_EQ(keywordPages, 1);
    m_view.setCurrentItem(Root());
    QTest::keyClick(&m_view, Qt::Key_Enter);
    EXPECT_EQ(indexPages, 0);
    m_view.OnBaseUrls();
    EXPECT_EQ(indexPages, 1);
    Select("C");
    m_view.OnIndexKeywords();
    EXPECT_EQ(m_sheetCalls.back(), qMakePair(1, false));
    EXPECT_FALSE(m_doc.IsModified());
}

TEST_F(CContentsViewEditTest, AChangedSheetRelabelsTheNodeAndCommits) {
    Select("C");
    m_sheetResult = Result::Changed;
    m_nextTitle = "Sea";
    m_view.SetSheets(
        [this](IndexEntry& e, int page, bool isNew) {
            e.m_inContents = 0;
            return Sheet(e, page, isNew);
        },
        {}, {});
    m_view.OnProperties();
    QTreeWidgetItem* c = Node(QStringLiteral("Sea"));
    ASSERT_NE(c, nullptr);
    EXPECT_EQ(c->icon(0).cacheKey(),
              CContentsView::Image(CContentsView::kImageKeywords).cacheKey());
    EXPECT_TRUE(m_doc.IsModified());
}

TEST_F(CContentsViewEditTest, DeleteWhileALabelIsEditedLeavesTheTreeAlone) {
    m_view.show();
    Select("B");
    m_view.editItem(Node(QStringLiteral("B")));
    ASSERT_NE(m_view.findChild<QLineEdit*>(), nullptr);
    m_view.OnDelete();
    EXPECT_TRUE(m_dialogs.m_messages.isEmpty());
    EXPECT_EQ(Shape(), "A(A1(A1a),A2),B,C");
}
// A click on the selected node edits its label once the double-click time has passed; a
// double click opens the sheet instead and must cancel that pending edit.
TEST_F(CContentsViewEditTest, AClickOnTheSelectedNodeEditsButADoubleClickDoesNot) {
    m_view.show();
    QTreeWidgetItem* b = Node(QStringLiteral("B"));
    m_view.setCurrentItem(b);
    QPoint at = m_view.visualItemRect(b).center();
    QTest::mouseClick(m_view.viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(m_view.viewport(), Qt::LeftButton, {}, at);
    QTest::qWait(QApplication::doubleClickInterval() + 300);
    EXPECT_EQ(m_view.findChild<QLineEdit*>(), nullptr);
    EXPECT_EQ(m_sheetCalls.size(), 1);
    QTest::qWait(QApplication::doubleClickInterval() + 300);
    QTest::mouseClick(m_view.viewport(), Qt::LeftButton, {}, at);
    QTest::qWait(QApplication::doubleClickInterval() + 300);
    EXPECT_NE(m_view.findChild<QLineEdit*>(), nullptr);
}

TEST_F(CContentsViewEditTest, TheMouseDragsWithTheLeftButtonAndCopiesWithCtrl) {
    m_view.show();
    QPoint from = Before("C");
    QPoint to = RightOf("A2");
    QTest::mousePress(m_view.viewport(), Qt::LeftButton, {}, from);
    QTest::mouseMove(m_view.viewport(), from + QPoint(0, -QApplication::startDragDistance() - 2));
    EXPECT_TRUE(m_view.IsDragging());
    QTest::mouseMove(m_view.viewport(), to);
    QTest::mouseRelease(m_view.viewport(), Qt::LeftButton, Qt::ControlModifier, to);
    EXPECT_FALSE(m_view.IsDragging());
    EXPECT_EQ(Shape(), "A(A1(A1a),A2(C)),B,C");
}

TEST_F(CContentsViewEditTest, DraggingAboveOrBelowTheViewScrollsOneLine) {
    m_view.resize(200, 70);
    m_view.show();
    QScrollBar* bar = m_view.verticalScrollBar();
    ASSERT_GT(bar->maximum(), 1);
    bar->setValue(1);
    m_view.BeginDrag(Node(QStringLiteral("A")), QPoint(4, 4));
    m_view.DragMove(QPoint(20, -5));
    EXPECT_EQ(bar->value(), 0);
    m_view.DragMove(QPoint(20, m_view.viewport()->height() + 5));
    m_view.DragMove(QPoint(20, m_view.viewport()->height() + 6));
    EXPECT_EQ(bar->value(), 2);
    // Beside the view nothing scrolls.
    m_view.DragMove(QPoint(m_view.viewport()->width() + 5, 10));
    EXPECT_EQ(bar->value(), 2);
    m_view.Drop(false);
    EXPECT_EQ(Shape(), "A(A1(A1a),A2),B,C");
}

TEST_F(CContentsViewEditTest, AnEditCommittedByMovingOnRenamesTheEditedNode) {
    m_view.show();
    Select("B");
    m_view.editItem(Node(QStringLiteral("B")));
    auto* editor = m_view.findChild<QLineEdit*>();
    ASSERT_NE(editor, nullptr);
    editor->setText(QStringLiteral("Bee"));
    // Selecting another node commits the edit after the current node has changed.
    Select("C");
    QCoreApplication::processEvents();
    EXPECT_EQ(Shape(), "A(A1(A1a),A2),Bee,C");
}

// A semicolon typed into a title is refused at once, and the message names the title.
TEST_F(CContentsViewEditTest, ASemicolonTypedInPlaceIsRefusedNamingTheTitle) {
    ModalDialogs dialogs;
    m_view.show();
    m_view.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&m_view));
    m_view.setFocus();
    Select("B");
    QTest::keyClick(&m_view, Qt::Key_F2);
    auto* editor = m_view.findChild<QLineEdit*>();
    ASSERT_NE(editor, nullptr);
    QTest::keyClick(editor, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(editor, QStringLiteral("git; the tool"));
    QTest::keyClick(editor, Qt::Key_Return);
    QTest::qWait(400);
    EXPECT_EQ(dialogs.m_messages,
              QStringList{QStringLiteral(
                  "The title 'git; the tool' contains a semicolon or a line break, which an "
                  "index file cannot hold. Please change it.")});
    EXPECT_EQ(Shape(), "A(A1(A1a),A2),B,C");
    EXPECT_FALSE(m_doc.IsModified());
}
