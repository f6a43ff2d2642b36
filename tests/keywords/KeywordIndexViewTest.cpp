// The Index view driven as a user drives it: the filter typed, phrases clicked, F2 and Del,
// pages moved with Ctrl+M; each edit undone and redone to the byte, with the tree and the
// property sheets following.
#include "keywords/ui/KeywordIndexView.h"
#include "AppTestSupport.h"
#include "ScriptedDialogs.h"
#include "TestFiles.h"
#include "app/Commands.h"
#include "app/ui/CMainFrame.h"
#include "contents/ui/CContentsView.h"
#include "contents/ui/CPropertySheet.h"
#include "document/ui/CXoDoc.h"
#include "index/IndexEntry.h"
#include "index/IndexFile.h"
#include "keywords/ui/KeywordIndexModel.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDockWidget>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTableView>
#include <QTest>
#include <QTimer>
#include <QTreeView>
#include <QTreeWidget>

#include <cstdlib>

#include <gtest/gtest.h>

using namespace tamblin;

namespace {

// Three manual pages sharing their section headings, spelt two ways, and a page without.
const std::string kSite = "XO0;2;1;1\r\n1;Manual;December 6 2026\r\n3;1;;\r\n"
                          "5;1;1;add.htm;git-add;;0;\r\n5;2;1;commit.htm;git-commit;;0;\r\n"
                          "5;3;1;log.htm;git-log;;1;\r\n"
                          "7;&1;&1;&1;\r\n7;SYNOPSIS;&1#s;&1 (SYNOPSIS);\r\n"
                          "7;&2;&2;&2;\r\n7;SYNOPSIS;&2#s;&2 (SYNOPSIS);\r\n"
                          "7;Synopsis;&3#s;&3 (Synopsis);\r\n7;Usage;&3#u;&3 (Usage);\r\n"
                          "7;&3;&3;&3;\r\n7;Elsewhere;other.htm;Other page;\r\n";

bool SaveTo(CXoDoc& doc, const std::string& path) {
    return doc.SaveIndex(QString::fromStdString(path));
}

QStringList L(std::initializer_list<const char*> texts) {
    QStringList list;
    for (const char* text : texts) {
        list << QString::fromUtf8(text);
    }
    return list;
}

class KeywordIndexViewTest : public ::testing::Test {
protected:
    KeywordIndexViewTest() {
        TestFiles::PinDate();
        m_path = m_files.Write("site.xo", kSite);
        m_files.Write("add.htm", "<title>git-add</title><h2 id=s>SYNOPSIS</h2>");
        m_files.Write("commit.htm", "<title>git-commit</title><p>moved</p>");
        EXPECT_TRUE(m_doc.OpenIndex(QString::fromStdString(m_path)));
        auto* layout = new QHBoxLayout(&m_window);
        layout->addWidget(m_contents);
        layout->addWidget(m_view);
        m_contents->SetDocument(&m_doc);
        m_view->SetDocument(&m_doc, m_contents);
        m_doc.UpdateAllViews();
        m_window.resize(900, 600);
        m_window.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&m_window));
        m_original = Save("original.xo");
    }

    std::string Save(const char* name) {
        std::string path = m_files.Path(name);
        EXPECT_TRUE(m_doc.SaveIndex(QString::fromStdString(path)));
        return TestFiles::Read(path);
    }
    QStringList Rows() const {
        QStringList rows;
        KeywordIndexModel* model = m_view->Model();
        for (int row = 0; row < model->rowCount(); ++row) {
            rows << model->index(row, 0).data().toString() + QLatin1Char('/') +
                        model->index(row, 1).data().toString();
        }
        return rows;
    }
    QStringList Pages() const {
        QStringList pages;
        QAbstractItemModel* model = m_view->Pages()->model();
        for (int row = 0; row < model->rowCount(); ++row) {
            pages << model->index(row, 0).data().toString();
        }
        return pages;
    }
    void ClickPhrase(const QString& phrase) {
        QTableView* phrases = m_view->Phrases();
        KeywordIndexModel* model = m_view->Model();
        for (int row = 0; row < model->rowCount(); ++row) {
            if (model->index(row, 0).data().toString() == phrase) {
                QRect rect = phrases->visualRect(model->index(row, 0));
                QTest::mouseClick(phrases->viewport(), Qt::LeftButton, {}, rect.center());
                ASSERT_EQ(m_view->CurrentGroup() ? phrases->currentIndex().row() : -1, row);
                return;
            }
        }
        FAIL() << phrase.toStdString() << " is not listed";
    }
    void ClickPage(int row, Qt::KeyboardModifiers modifiers = {}) {
        QTreeView* pages = m_view->Pages();
        QRect rect = pages->visualRect(pages->model()->index(row, 0));
        QTest::mouseClick(pages->viewport(), Qt::LeftButton, modifiers, rect.center());
    }
    // F2 on the phrase clicked, the new name typed over the old, Enter.
    void RenameByKeys(const char* from, const char* to) {
        ClickPhrase(QString::fromLatin1(from));
        QTest::keyClick(m_view->Phrases(), Qt::Key_F2);
        QLineEdit* line = nullptr;
        // The editor F2 opened: the one shown (an earlier one may wait to be deleted).
        for (auto* open : m_view->Phrases()->findChildren<QLineEdit*>()) {
            line = open->isVisible() ? open : line;
        }
        ASSERT_NE(line, nullptr) << from;
        QTest::keyClick(line, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(line, QString::fromLatin1(to));
        QTest::keyClick(line, Qt::Key_Return);
    }
    // Undo then redo through the contents view, as Edit > Undo and Redo do.
    void ExpectUndoRedo(const std::string& before, const std::string& after) {
        ASSERT_TRUE(m_contents->CanUndo());
        m_contents->OnUndo();
        EXPECT_EQ(Save("undone.xo"), before);
        ASSERT_TRUE(m_contents->CanRedo());
        m_contents->OnRedo();
        EXPECT_EQ(Save("redone.xo"), after);
    }
    // The keywords the URL properties sheet lists for the entry titled `title`.
    QStringList SheetKeywords(const char* title) {
        QList<QTreeWidgetItem*> found = m_contents->findItems(
            QString::fromLatin1(title), Qt::MatchExactly | Qt::MatchRecursive);
        EXPECT_EQ(found.size(), 1);
        QStringList listed;
        QTimer::singleShot(0, [&listed] {
            auto* sheet = qobject_cast<CPropertySheet*>(QApplication::activeModalWidget());
            ASSERT_NE(sheet, nullptr);
            auto* list = sheet->findChild<QListWidget*>(QStringLiteral("keywords"));
            ASSERT_NE(list, nullptr);
            for (int i = 0; i < list->count(); ++i) {
                listed << list->item(i)->text();
            }
            sheet->reject();
        });
        m_contents->OpenSheet(found.front(), 1);
        return listed;
    }

    bool m_app = (test::App(), true);
    test::SettingsSandbox m_settings;
    TestFiles m_files;
    ScriptedDialogs m_dialogs;
    CXoDoc m_doc;
    QWidget m_window;
    CContentsView* m_contents = new CContentsView(&m_window);
    KeywordIndexView* m_view = new KeywordIndexView(&m_window);
    std::string m_path;
    std::string m_original;
};

} // namespace

TEST_F(KeywordIndexViewTest, ListsPhrasesAsReadersSeeThemAndFilters) {
    EXPECT_EQ(Rows(), L({"Elsewhere/1", "git-add/1", "git-commit/1", "git-log/1", "SYNOPSIS/2",
                         "Synopsis/1", "Usage/1"}));
    m_view->Filter()->setFocus();
    QTest::keyClicks(m_view->Filter(), QStringLiteral("syn"));
    EXPECT_EQ(Rows(), L({"SYNOPSIS/2", "Synopsis/1"}));
    ClickPhrase(QStringLiteral("SYNOPSIS"));
    EXPECT_EQ(Pages(), L({"git-add (SYNOPSIS)", "git-commit (SYNOPSIS)"}));
    // Sorting by the count, largest first, from the header.
    QTest::keyClick(m_view->Filter(), Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(m_view->Filter(), Qt::Key_Delete);
    m_view->Phrases()->sortByColumn(KeywordIndexModel::kPages, Qt::DescendingOrder);
    EXPECT_EQ(Rows().front(), QStringLiteral("SYNOPSIS/2"));
    // The phrase shown stays shown, with its pages, wherever the sort puts it.
    ClickPhrase(QStringLiteral("Usage"));
    m_view->Phrases()->sortByColumn(KeywordIndexModel::kPhrase, Qt::AscendingOrder);
    EXPECT_EQ(Rows().front(), QStringLiteral("Elsewhere/1"));
    ASSERT_NE(m_view->CurrentGroup(), nullptr);
    EXPECT_EQ(m_view->Phrases()->currentIndex().data().toString(), QStringLiteral("Usage"));
    EXPECT_EQ(Pages().size(), 1);
    // Filtered out, it gives way to the first phrase listed, so the keys still act on one.
    m_view->Filter()->setText(QStringLiteral("git-"));
    EXPECT_EQ(m_view->Phrases()->currentIndex().data().toString(), QStringLiteral("git-add"));
    EXPECT_EQ(Pages().size(), 1);
}

TEST_F(KeywordIndexViewTest, RenameInPlaceMergesAndIsOneUndoStep) {
    RenameByKeys("Synopsis", "SYNOPSIS");
    // The rename waits until the editor has closed.
    for (int i = 0; i < 100 && !m_contents->CanUndo(); ++i) {
        QTest::qWait(10);
    }
    EXPECT_EQ(Rows(), L({"Elsewhere/1", "git-add/1", "git-commit/1", "git-log/1", "SYNOPSIS/3",
                         "Usage/1"}));
    EXPECT_EQ(m_view->CurrentGroup()->pages, 3u);
    EXPECT_EQ(m_contents->UndoText(), QStringLiteral("&Undo Rename keyword 'Synopsis'"));
    EXPECT_EQ(SheetKeywords("git-log"), L({"git-log", "SYNOPSIS", "Usage"}));
    std::string renamed = Save("renamed.xo");
    ExpectUndoRedo(m_original, renamed);
    // The view followed the undo and the redo.
    EXPECT_EQ(Rows().size(), 6);
    // The tree kept its nodes and titles.
    EXPECT_EQ(m_contents->RootNode()->childCount(), 2);
    // One rename after another, each with F2 and the keyboard.
    const char* names[] = {"Usage", "Use", "USE", "Usage"};
    for (std::size_t n = 1; n < std::size(names); ++n) {
        const char* name = names[n];
        RenameByKeys(names[n - 1], name);
        QString row = QString::fromLatin1(name) + QStringLiteral("/1");
        for (int i = 0; i < 100 && !Rows().contains(row); ++i) {
            QTest::qWait(10);
        }
        EXPECT_TRUE(Rows().contains(row)) << name;
    }
}

// Two renames one after the other with F2 and the keyboard: with the pause a person takes
// between them, and with the next editor opened after one turn of the event loop, before the
// first rename has landed (Enter commits through the event loop, and the rename follows
// through it again); neither loses an edit.
TEST_F(KeywordIndexViewTest, TwoRenamesInARowWithF2AreBothMade) {
    m_view->Phrases()->setFocus();
    auto renameByKeys = [this](const char* from, const char* to, bool hurried) {
        RenameByKeys(from, to);
        if (hurried) {
            QApplication::processEvents();
        } else {
            QTest::qWait(20);
        }
    };
    for (bool hurried : {false, true}) {
        renameByKeys("Synopsis", "Summary", hurried);
        renameByKeys("Usage", "Use", hurried);
        for (int i = 0; i < 100 && !Rows().contains(QStringLiteral("Use/1")); ++i) {
            QTest::qWait(10);
        }
        EXPECT_EQ(Rows(), L({"Elsewhere/1", "git-add/1", "git-commit/1", "git-log/1", "Summary/1",
                             "SYNOPSIS/2", "Use/1"}))
            << (hurried ? "hurried" : "paused");
        // Each was one step of its own.
        m_contents->OnUndo();
        EXPECT_TRUE(Rows().contains(QStringLiteral("Usage/1")));
        m_contents->OnUndo();
        EXPECT_EQ(Save("undone.xo"), m_original);
    }
}

TEST_F(KeywordIndexViewTest, DelRemovesAPhraseFromAllItsPages) {
    ClickPhrase(QStringLiteral("SYNOPSIS"));
    QTest::keyClick(m_view->Phrases(), Qt::Key_Delete);
    EXPECT_EQ(Rows(), L({"Elsewhere/1", "git-add/1", "git-commit/1", "git-log/1", "Synopsis/1",
                         "Usage/1"}));
    // The phrase after it is selected.
    EXPECT_EQ(m_view->Phrases()->currentIndex().data().toString(), QStringLiteral("Synopsis"));
    EXPECT_EQ(SheetKeywords("git-add"), L({"git-add"}));
    ExpectUndoRedo(m_original, Save("removed.xo"));
    EXPECT_EQ(SheetKeywords("git-commit"), L({"git-commit"}));
}

TEST_F(KeywordIndexViewTest, CtrlMMovesTheSelectedPagesToAnotherPhrase) {
    ClickPhrase(QStringLiteral("SYNOPSIS"));
    ClickPage(0);
    QTest::keyClick(m_view->Pages(), Qt::Key_M, Qt::ControlModifier);
    ASSERT_TRUE(m_view->MoveTo()->hasFocus());
    QTest::keyClicks(m_view->MoveTo(), QStringLiteral("Usage"));
    QTest::keyClick(m_view->MoveTo(), Qt::Key_Return);
    EXPECT_EQ(Rows(), L({"Elsewhere/1", "git-add/1", "git-commit/1", "git-log/1", "SYNOPSIS/1",
                         "Synopsis/1", "Usage/2"}));
    // One page left, so the phrase it came from stays selected.
    EXPECT_EQ(Pages(), L({"git-commit (SYNOPSIS)"}));
    EXPECT_EQ(SheetKeywords("git-add"), L({"git-add", "Usage"}));
    ExpectUndoRedo(m_original, Save("moved.xo"));
    // A phrase the file cannot hold is refused with a warning and changes nothing.
    ClickPhrase(QStringLiteral("Usage"));
    ClickPage(0);
    m_view->MoveTo()->setText(QStringLiteral("a;b"));
    m_view->MoveSelectedPages();
    ASSERT_EQ(m_dialogs.m_messages.size(), 1);
    EXPECT_EQ(m_dialogs.m_messages.front().text,
              QStringLiteral("An index keyword phrase cannot hold \";\" or a line break"));
}

TEST_F(KeywordIndexViewTest, FindProblemsListsVariantsAndAnchorsThatAreGone) {
    QTest::mouseClick(m_view->findChild<QPushButton*>(QStringLiteral("keywordFindProblems")),
                      Qt::LeftButton);
    m_view->FindProblems(true, true);
    QCheckBox* only = m_view->findChild<QCheckBox*>(QStringLiteral("keywordProblemsOnly"));
    QTest::mouseClick(only, Qt::LeftButton);
    QStringList problems;
    KeywordIndexModel* model = m_view->Model();
    for (int row = 0; row < model->rowCount(); ++row) {
        problems << model->index(row, 0).data().toString() + QStringLiteral(": ") +
                        model->index(row, 2).data().toString();
    }
    // commit.htm has no "s" any more; log.htm is not there at all, which is the link
    // check's business, not a gone anchor.
    EXPECT_EQ(problems, L({"SYNOPSIS: Differs only in case or spacing from \"Synopsis\"; Anchor "
                           "gone on 1 page",
                           "Synopsis: Differs only in case or spacing from \"SYNOPSIS\""}));
}

// While the anchor check runs, the button stops it; an edit meanwhile drops what it would find.
TEST_F(KeywordIndexViewTest, TheAnchorCheckStopsWhenAskedOrWhenTheIndexChanges) {
    auto* button = m_view->findChild<QPushButton*>(QStringLiteral("keywordFindProblems"));
    QStringList messages;
    QObject::connect(m_view, &KeywordIndexView::Message, m_view,
                     [&messages](const QString& text) { messages << text; });
    auto finished = [&] {
        for (int i = 0; i < 300 && button->text() != QStringLiteral("Find &problems"); ++i) {
            QTest::qWait(10);
        }
        return button->text() == QStringLiteral("Find &problems");
    };
    QTest::mouseClick(button, Qt::LeftButton);
    EXPECT_EQ(button->text(), QStringLiteral("Sto&p check"));
    QTest::mouseClick(button, Qt::LeftButton);
    ASSERT_TRUE(finished());
    // Stopped, or done before the click came: either way it said so.
    EXPECT_TRUE(messages.contains(QStringLiteral("Anchor check stopped")) ||
                messages.contains(QStringLiteral("1 keyword whose anchor is gone")))
        << messages.join(QLatin1Char('|')).toStdString();

    messages.clear();
    QTest::mouseClick(button, Qt::LeftButton);
    ClickPhrase(QStringLiteral("Usage"));
    QTest::keyClick(m_view->Phrases(), Qt::Key_Delete);
    ASSERT_TRUE(finished());
    EXPECT_TRUE(
        messages.contains(QStringLiteral("The index changed during the anchor check: check again")))
        << messages.join(QLatin1Char('|')).toStdString();
}

namespace {

// The view as the main window holds it: hidden in its dock until View > Index shows it.
class KeywordIndexFrameTest : public ::testing::Test {
protected:
    bool m_app = (test::App(), true);
    test::SettingsSandbox m_settings;
    TestFiles m_files;
    ScriptedDialogs m_dialogs;
    CXoDoc m_doc;
    CMainFrame m_frame{&m_doc, nullptr};
};

} // namespace

TEST_F(KeywordIndexFrameTest, ViewMenuShowsTheIndexAndEditUndoTakesItsEditsBack) {
    TestFiles::PinDate();
    std::string path = m_files.Write("site.xo", kSite);
    ASSERT_TRUE(m_doc.OpenIndex(QString::fromStdString(path)));
    m_doc.UpdateAllViews();
    m_frame.resize(900, 600);
    m_frame.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&m_frame));
    QDockWidget* dock = m_frame.KeywordDock();
    EXPECT_FALSE(dock->isVisible());
    QTest::keyClick(&m_frame, Qt::Key_I, Qt::ControlModifier | Qt::ShiftModifier);
    ASSERT_TRUE(dock->isVisible());
    KeywordIndexView* view = m_frame.KeywordView();
    EXPECT_EQ(view->Model()->rowCount(), 7);
    EXPECT_TRUE(SaveTo(m_doc, m_files.Path("before.xo")));
    std::string before = TestFiles::Read(m_files.Path("before.xo"));
    view->SelectPhrase(QStringLiteral("Usage"));
    QTest::keyClick(view->Phrases(), Qt::Key_Delete);
    EXPECT_EQ(view->Model()->rowCount(), 6);
    EXPECT_TRUE(m_doc.IsModified());
    m_frame.UpdateCommandUi();
    QAction* undo = m_frame.Action(Command::EditUndo);
    EXPECT_EQ(undo->text(), QStringLiteral("&Undo Remove keyword 'Usage'"));
    undo->trigger();
    EXPECT_EQ(view->Model()->rowCount(), 7);
    EXPECT_FALSE(m_doc.IsModified());
    EXPECT_TRUE(SaveTo(m_doc, m_files.Path("after.xo")));
    EXPECT_EQ(TestFiles::Read(m_files.Path("after.xo")), before);
    // A look at the window with the Index beside the tree.
    if (const char* shots = std::getenv("TAMBLIN_SHOTS")) {
        m_frame.grab().save(QString::fromLocal8Bit(shots) + QStringLiteral("/index-view.png"));
    }
}
