#include "contents/ui/CContentsView.h"
#include "AppTestSupport.h"
#include "ScriptedDialogs.h"
#include "TestFiles.h"
#include "document/ui/CXoDoc.h"
#include "index/IndexFile.h"

#include <QSignalSpy>

#include <gtest/gtest.h>

using namespace tamblin;

namespace {

const std::string kSite = "XO0;2;1;1;Tamblin 1.1.18\r\n"
                          "1;My site;December 6 2026\r\n"
                          "3;1;docs/;main\r\n"
                          "5;1;1;index.htm;Welcome;;0;\r\n"
                          "5;2;1;guide/a.htm;Guide;_blank;0;\r\n"
                          "5;4;1;guide/b.htm;Chapter;;2;\r\n"
                          "5;3;1;old.htm;Old page;;-1;\r\n"
                          "7;Search help;search.htm;Search;\r\n";

class CContentsViewTest : public ::testing::Test {
protected:
    CContentsViewTest() {
        EXPECT_TRUE(m_doc.OpenIndex(QString::fromStdString(m_files.Write("site.xo", kSite))));
        m_view.SetDocument(&m_doc);
    }
    static qint64 ImageKey(const QTreeWidgetItem* node) { return node->icon(0).cacheKey(); }
    static qint64 Image(int index) { return CContentsView::Image(index).cacheKey(); }

    bool m_app = (test::App(), true);
    TestFiles m_files;
    ScriptedDialogs m_dialogs;
    CXoDoc m_doc;
    CContentsView m_view;
};

} // namespace

TEST_F(CContentsViewTest, RebuildShowsTheRootItsEntriesAndOtherKeywords) {
    ASSERT_EQ(m_view.topLevelItemCount(), 2);
    QTreeWidgetItem* root = m_view.topLevelItem(0);
    QTreeWidgetItem* other = m_view.topLevelItem(1);
    EXPECT_EQ(root->text(0), QStringLiteral("My site"));
    EXPECT_EQ(ImageKey(root), Image(0));
    EXPECT_EQ(other->text(0), QStringLiteral("Other Index keywords"));
    EXPECT_EQ(ImageKey(other), Image(4));
    EXPECT_EQ(other->childCount(), 0);
    EXPECT_EQ(CContentsView::EntryOf(other), &m_doc.Index()->m_otherKeywords);
    ASSERT_GE(root->childCount(), 2);
    QTreeWidgetItem* welcome = root->child(0);
    EXPECT_EQ(welcome->text(0), QStringLiteral("Welcome"));
    EXPECT_EQ(ImageKey(welcome), Image(3));
    EXPECT_EQ(root->child(1)->child(0)->text(0), QStringLiteral("Chapter"));
    // Both directions: node to entry and entry to node.
    IndexEntry* entry = CContentsView::EntryOf(welcome);
    EXPECT_EQ(CContentsView::NodeOf(*entry), welcome);
    QTreeWidgetItem* last = root->child(root->childCount() - 1);
    EXPECT_EQ(ImageKey(last), Image(CContentsView::EntryOf(last)->m_inContents ? 3 : 4));
    EXPECT_EQ(m_view.currentItem(), root);
    EXPECT_TRUE(root->isExpanded());
}

TEST_F(CContentsViewTest, ExpandAndSelectSurviveARebuild) {
    QTreeWidgetItem* guide = m_view.topLevelItem(0)->child(1);
    guide->setExpanded(true);
    m_view.setCurrentItem(guide->child(0));
    m_doc.UpdateAllViews();
    QTreeWidgetItem* rebuilt = m_view.topLevelItem(0)->child(1);
    EXPECT_NE(rebuilt, nullptr);
    EXPECT_TRUE(rebuilt->isExpanded());
    EXPECT_EQ(m_view.currentItem(), rebuilt->child(0));
    // A change sent by the view itself does not rebuild it.
    QTreeWidgetItem* before = m_view.topLevelItem(0);
    m_doc.UpdateAllViews(&m_view);
    EXPECT_EQ(m_view.topLevelItem(0), before);
}

TEST_F(CContentsViewTest, ANewIndexStartsFreshAndSelectsItsRoot) {
    m_view.setCurrentItem(m_view.topLevelItem(0)->child(0));
    m_doc.NewIndex();
    ASSERT_EQ(m_view.topLevelItemCount(), 2);
    EXPECT_EQ(m_view.topLevelItem(0)->text(0), QStringLiteral("MySite"));
    EXPECT_EQ(m_view.currentItem(), m_view.topLevelItem(0));
}

TEST_F(CContentsViewTest, TheUrlPaneFollowsTheSelection) {
    QSignalSpy urls(&m_view, &CContentsView::UrlChanged);
    m_view.setCurrentItem(m_view.topLevelItem(0)->child(0));
    ASSERT_FALSE(urls.isEmpty());
    EXPECT_EQ(urls.last().at(0).toString(), QStringLiteral("docs/index.htm"));
    m_view.setCurrentItem(m_view.topLevelItem(1));
    EXPECT_EQ(urls.last().at(0).toString(), QString());
}

TEST_F(CContentsViewTest, Windows1252TitlesShowTheirLetters) {
    std::string path =
        m_files.Write("cafe.xo", "XO0;2;1;1;Tamblin 1.1.18\r\n1;Caf\xe9;December 6 2026\r\n"
                                 "5;1;;a.htm;Cr\xe8me;;0;\r\n");
    ASSERT_TRUE(m_doc.OpenIndex(QString::fromStdString(path)));
    m_doc.UpdateAllViews();
    EXPECT_EQ(m_view.topLevelItem(0)->text(0), QStringLiteral(u"Caf\u00e9"));
    EXPECT_EQ(m_view.topLevelItem(0)->child(0)->text(0), QStringLiteral(u"Cr\u00e8me"));
}

TEST_F(CContentsViewTest, DeepFilesBuildWithoutRecursion) {
    std::string text = "XO0;2;1;1;Tamblin 1.1.18\r\n1;Deep;December 6 2026\r\n";
    for (int i = 1; i <= 20000; ++i) {
        text += "5;" + std::to_string(i) + ";;p.htm;P;;" + std::to_string(i - 1) + ";\r\n";
    }
    ASSERT_TRUE(m_doc.OpenIndex(QString::fromStdString(m_files.Write("deep.xo", text))));
    m_doc.UpdateAllViews();
    QTreeWidgetItem* node = m_view.topLevelItem(0);
    int depth = 0;
    while (node->childCount() == 1) {
        node = node->child(0);
        ++depth;
    }
    EXPECT_EQ(depth, 20000);
}
