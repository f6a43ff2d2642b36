#include "AppSteps.h"
#include "AppTestSupport.h"
#include "ModalDriver.h"
#include "ScriptedDialogs.h"
#include "TestFiles.h"
#include "app/Commands.h"
#include "app/ui/CMainFrame.h"
#include "app/ui/CTamblinApp.h"
#include "contents/ui/CContentsView.h"
#include "document/ui/CXoDoc.h"
#include "index/IndexFile.h"
#include "scanner/ui/NewIndexWizard.h"
#include "update/ui/UpdateReviewDialog.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTreeWidget>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <memory>

using namespace tamblin;
using tamblin::test::AppSteps;
using tamblin::test::ModalDriver;

namespace {

QString Q(const std::string& text) {
    return QString::fromStdString(text);
}

// A picture of the window for a person to look at, when TAMBLIN_SHOTS names a folder.
void Shoot(QWidget* window, const char* name) {
    if (const char* folder = std::getenv("TAMBLIN_SHOTS")) {
        window->grab().save(QString::fromLocal8Bit(folder) + QLatin1Char('/') +
                            QLatin1String(name));
    }
}

bool NodeShown(IndexEntry& entry, int child) {
    QTreeWidgetItem* node = CContentsView::NodeOf(*entry.m_children[static_cast<size_t>(child)]);
    return node && node->parent() && node->parent()->isExpanded();
}

class UpdateFromSiteTest : public ::testing::Test {
protected:
    UpdateFromSiteTest() {
        m_app = std::make_unique<CTamblinApp>();
        m_app->m_splashAllowed = false;
        m_app->m_browserDirectory = Q(m_files.Path("no-browser/"));
        m_app->InitInstance({});
        m_dialogs.m_messages.clear();
        m_start = m_files.Write("web/index.htm", "<title>Garden</title><a href=roses.htm>R</a>"
                                                 "<a href=tulips.htm>T</a><a href=ferns.htm>F</a>");
        m_files.Write("web/roses.htm", "<title>Roses</title>");
        m_files.Write("web/tulips.htm", "<title>Tulips</title>");
        m_files.Write("web/ferns.htm", "<title>Ferns</title>");
        ModalDriver driver({AppSteps::NewIndex(QStringLiteral("Garden"), Q(m_start)),
                            AppSteps::PressOkWhenFinished});
        m_app->MainFrame()->Action(Command::FileNew)->trigger();
        EXPECT_TRUE(driver.Done());
    }
    ~UpdateFromSiteTest() override {
        m_app->Document()->SetModifiedFlag(false);
        m_app->MainFrame()->close();
        m_app->ExitInstance();
    }
    IndexFile& Index() { return *m_app->Document()->Index(); }
    IndexEntry& Home() { return *Index().m_root.m_children[0]; }
    CContentsView* View() { return m_app->MainFrame()->View(); }

    // Two renames, a move and a keyword, saved and opened again, as a user leaves them.
    void EditByHand() {
        Home().m_children[0]->m_title = "Red roses";
        Home().m_children[1]->m_title = "Spring tulips";
        std::unique_ptr<IndexEntry> ferns = std::move(Home().m_children[2]);
        Home().m_children.pop_back();
        Home().m_children[0]->AppendChild(std::move(ferns));
        IndexEntry& tulips = *Home().m_children[1];
        tulips.m_keywords.emplace_back(&tulips, "Bulbs", "", "", "", 0);
        std::string path = m_files.Path("web/Garden.xo");
        ASSERT_EQ(Index().Save(path), 1);
        m_app->Document()->SetModifiedFlag(false);
        ASSERT_TRUE(m_app->OpenDocumentFile(Q(path)));
    }
    void ChangeTheSite() {
        m_files.Write("web/tulips.htm", "<title>Tulips</title><a href=bulbs.htm>B</a>");
        m_files.Write("web/bulbs.htm", "<title>Bulbs</title>");
        std::filesystem::remove(m_files.Path("web/ferns.htm"));
    }
    void Update(std::vector<ModalDriver::Step> steps) {
        ModalDriver driver(std::move(steps));
        m_app->MainFrame()->Action(Command::EditUpdateFromSite)->trigger();
        EXPECT_TRUE(driver.Done());
    }

    test::SettingsSandbox m_sandbox;
    TestFiles m_files;
    ScriptedDialogs m_dialogs;
    std::unique_ptr<CTamblinApp> m_app;
    std::string m_start;
};

} // namespace

TEST_F(UpdateFromSiteTest, ReviewThenOkKeepsTheHandEditsAndUndoTakesItAllBack) {
    EditByHand();
    ChangeTheSite();
    const QStringList before = AppSteps::Tree(View());
    View()->expandAll();
    ASSERT_TRUE(NodeShown(Home(), 0));
    QStringList listed;
    QString kept;
    bool focused = false;
    Update({AppSteps::PressOkWhenFinished, [&](QWidget* modal) {
                auto* review = qobject_cast<UpdateReviewDialog*>(modal);
                if (!review) {
                    return false;
                }
                focused = review->focusWidget() == review->ChangeList();
                QTreeWidget* list = review->ChangeList();
                listed = AppSteps::Tree(list);
                kept = review->findChild<QLabel*>(QStringLiteral("keptCount"))->text();
                Shoot(review, "update-review.png");
                review->findChild<QPushButton*>(QStringLiteral("okButton"))->click();
                return true;
            }});
    EXPECT_TRUE(focused);
    EXPECT_EQ(listed, (QStringList{QStringLiteral("Pages added (1)"), QStringLiteral("  Bulbs"),
                                   QStringLiteral("Pages gone: checked are removed, the others "
                                                  "kept out of the contents, without the "
                                                  "keywords the scan gave them (1)"),
                                   QStringLiteral("  Ferns")}));
    // Two titles and a keyword; the place of Ferns goes with the page.
    EXPECT_EQ(kept, QStringLiteral("3 edits of yours are kept."));
    EXPECT_EQ(AppSteps::Tree(View()),
              (QStringList{QStringLiteral("Garden"), QStringLiteral("  Garden"),
                           QStringLiteral("    Red roses"), QStringLiteral("      Ferns"),
                           QStringLiteral("    Spring tulips"), QStringLiteral("      Bulbs"),
                           QStringLiteral("Other Index keywords")}));
    EXPECT_EQ(Home().m_children[0]->m_children[0]->m_inContents, 0);
    EXPECT_EQ(Home().m_children[1]->m_keywords.back().m_phrase, "Bulbs");
    // Open where it was open: the two pages below the start page show.
    EXPECT_TRUE(NodeShown(Home(), 0));
    View()->expandAll();
    Shoot(m_app->MainFrame(), "update-tree.png");
    EXPECT_TRUE(m_app->Document()->IsModified());

    ASSERT_TRUE(View()->CanUndo());
    EXPECT_EQ(View()->UndoText(), QStringLiteral("&Undo Update from site"));
    View()->OnUndo();
    EXPECT_EQ(AppSteps::Tree(View()), before);
    EXPECT_FALSE(m_app->Document()->IsModified());
    View()->OnRedo();
    EXPECT_EQ(AppSteps::Tree(View()).size(), 7);
}

TEST_F(UpdateFromSiteTest, CancelInTheReviewChangesNothing) {
    EditByHand();
    ChangeTheSite();
    const QStringList before = AppSteps::Tree(View());
    Update({AppSteps::PressOkWhenFinished, [](QWidget* modal) {
                auto* review = qobject_cast<UpdateReviewDialog*>(modal);
                if (!review) {
                    return false;
                }
                // Unchecking is forgotten with Cancel.
                QTest::keyClick(review->ChangeList(), Qt::Key_Space);
                QTest::keyClick(review, Qt::Key_Escape);
                return true;
            }});
    EXPECT_EQ(AppSteps::Tree(View()), before);
    EXPECT_FALSE(View()->CanUndo());
    EXPECT_FALSE(m_app->Document()->IsModified());
}

// A gone page kept out of the contents loses the keyword the scan gave it, so Look for does
// not lead readers to it; a keyword the author added stays, and the review says which go.
TEST_F(UpdateFromSiteTest, AGonePageKeptLosesOnlyTheKeywordsTheScanGaveIt) {
    EditByHand();
    IndexEntry& ferns = *Home().m_children[0]->m_children[0];
    ASSERT_EQ(ferns.m_title, "Ferns");
    ASSERT_EQ(ferns.m_keywords.size(), 1u);
    ferns.m_keywords.emplace_back(&ferns, "Fern care", "", "", "", 0);
    ChangeTheSite();
    QString detail;
    Update({AppSteps::PressOkWhenFinished, [&](QWidget* modal) {
                auto* review = qobject_cast<UpdateReviewDialog*>(modal);
                if (!review) {
                    return false;
                }
                QTreeWidget* list = review->ChangeList();
                for (int g = 0; g < list->topLevelItemCount(); ++g) {
                    QTreeWidgetItem* group = list->topLevelItem(g);
                    for (int i = 0; i < group->childCount(); ++i) {
                        if (group->child(i)->text(0) == QStringLiteral("Ferns")) {
                            detail = group->child(i)->text(2);
                        }
                    }
                }
                QTest::keyClick(review, Qt::Key_Return);
                return true;
            }});
    EXPECT_EQ(detail, QStringLiteral("if kept: its keyword from the scan goes, yours stay"));
    IndexEntry& kept = *Home().m_children[0]->m_children[0];
    EXPECT_EQ(kept.m_inContents, 0);
    ASSERT_EQ(kept.m_keywords.size(), 1u);
    EXPECT_EQ(kept.m_keywords[0].m_phrase, "Fern care");
}
