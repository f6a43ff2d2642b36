#include "linkcheck/ui/LinkCheckDialog.h"
#include "AppTestSupport.h"
#include "LoopbackServer.h"
#include "ModalDriver.h"
#include "ScanTestSupport.h"
#include "ShownText.h"
#include "TestFiles.h"
#include "index/IndexFile.h"

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>

using namespace tamblin;
using tamblin::test::WaitFor;

namespace {

class LinkCheckDialogTest : public ::testing::Test {
protected:
    LinkCheckDialogTest() {
        test::App();
        m_files.Write("site/a.htm", "<a name=intro>Intro</a>");
        m_indexPath = m_files.Path("site/site.xo");
        IndexEntry& a = Add("a.htm", "A page");
        a.m_keywords.emplace_back(&a, "Intro", "#intro", "", "", 0);
        a.m_keywords.emplace_back(&a, "Usage", "#usage", "", "", 0);
        Add("b.htm", "B page");
    }

    IndexEntry& Add(const std::string& url, const std::string& title) {
        m_index.m_root.AppendChild(
            std::make_unique<IndexEntry>(0, nullptr, url, title, "", 0, "", 1));
        return *m_index.m_root.m_children.back();
    }

    template <typename T> T* Child(QWidget& dialog, const char* name) {
        return dialog.findChild<T*>(QString::fromLatin1(name));
    }

    TestFiles m_files;
    IndexFile m_index;
    std::string m_indexPath;
};

TEST_F(LinkCheckDialogTest, ListsEachProblemWithItsEntryAndShowsTheUseOfARow) {
    std::vector<LinkUse> shown;
    LinkCheckDialog dialog(m_index, m_indexPath, [&](const LinkUse& use) { shown.push_back(use); });
    dialog.show();
    ASSERT_TRUE(WaitFor([&] { return dialog.isActiveWindow(); }));
    // Keyboard first: the option, then Check.
    EXPECT_EQ(QApplication::focusWidget(), Child<QCheckBox>(dialog, "offSite"));
    Child<QPushButton>(dialog, "check")->click();
    ASSERT_TRUE(WaitFor([&] { return !dialog.Running(); }));
    ASSERT_TRUE(WaitFor(
        [&] { return Child<QPushButton>(dialog, "close")->text() == QStringLiteral("Close"); }));

    QTreeWidget* problems = dialog.Problems();
    ASSERT_EQ(problems->topLevelItemCount(), 2);
    EXPECT_EQ(problems->topLevelItem(0)->text(0), QStringLiteral("missing anchor"));
    EXPECT_EQ(problems->topLevelItem(0)->text(1), QStringLiteral("A page: Usage"));
    EXPECT_EQ(problems->topLevelItem(1)->text(0), QStringLiteral("broken"));
    EXPECT_EQ(problems->topLevelItem(1)->text(1), QStringLiteral("B page"));
    EXPECT_TRUE(Child<QLabel>(dialog, "status")->text().endsWith(QStringLiteral("2 problems")));

    if (const char* dir = std::getenv("TAMBLIN_PNG_DIR")) {
        dialog.grab().save(QString::fromLocal8Bit(dir) + QStringLiteral("/link-check.png"));
    }

    Q_EMIT problems->itemActivated(problems->topLevelItem(0), 0);
    Q_EMIT problems->itemActivated(problems->topLevelItem(1), 0);
    ASSERT_EQ(shown.size(), 2U);
    EXPECT_EQ(shown[0].entry, m_index.m_root.m_children[0].get());
    EXPECT_EQ(shown[0].keyword, 1);
    EXPECT_EQ(shown[1].entry, m_index.m_root.m_children[1].get());
    EXPECT_EQ(shown[1].keyword, -1);
}

// As a new user meets it: a site scanned into an index in its own folder, then one page
// renamed and one anchor taken out on disk. Exactly those two are listed.
TEST_F(LinkCheckDialogTest, AScannedSiteWithARenamedPageAndALostAnchorShowsJustThoseTwo) {
    m_files.Write("web/index.htm", "<title>My site</title><a href=\"guide/setup.htm\">Setup</a> "
                                   "<a href=\"guide/usage.htm#options\">Options</a> "
                                   "<a href=\"about.htm\">About</a>");
    m_files.Write("web/guide/setup.htm",
                  "<title>Setup</title><a name=install>Install</a><a name=upgrade>Upgrade</a>");
    m_files.Write("web/guide/usage.htm",
                  "<title>Usage</title><h2 id=start>Start</h2><a name=options>Options</a>");
    m_files.Write("web/about.htm", "<title>About</title><a name=team>Team</a>");
    ScanSettings settings;
    settings.description = "My site";
    settings.start = m_files.Path("web/index.htm");
    scantest::ScanRun scan = scantest::Scan(settings);
    std::string indexPath = m_files.Write("web/site.xo", scan.raw);
    IndexFile index;
    ASSERT_TRUE(index.Load(indexPath));

    std::rename(m_files.Path("web/about.htm").c_str(), m_files.Path("web/about-us.htm").c_str());
    m_files.Write("web/guide/setup.htm", "<title>Setup</title><a name=install>Install</a>");
    LinkCheckDialog dialog(index, indexPath, {});
    dialog.show();
    dialog.StartCheck();
    ASSERT_TRUE(WaitFor([&] { return !dialog.Running(); }));
    QTreeWidget* problems = dialog.Problems();
    ASSERT_EQ(problems->topLevelItemCount(), 2);
    EXPECT_EQ(problems->topLevelItem(0)->text(0), QStringLiteral("missing anchor"));
    EXPECT_EQ(problems->topLevelItem(0)->text(1), QStringLiteral("My site > Setup: Upgrade"));
    EXPECT_EQ(problems->topLevelItem(1)->text(0), QStringLiteral("broken"));
    EXPECT_EQ(problems->topLevelItem(1)->text(1), QStringLiteral("My site > About"));
    if (const char* dir = std::getenv("TAMBLIN_PNG_DIR")) {
        dialog.grab().save(QString::fromLocal8Bit(dir) + QStringLiteral("/link-check-scanned.png"));
    }
}

TEST_F(LinkCheckDialogTest, CancelStopsAHangingServerAndTheDialogStaysOpenUntilClosed) {
    scantest::LoopbackServer server([](const std::string&) {
        scantest::Response r;
        r.kind = scantest::Response::Kind::NeverAnswer;
        return r;
    });
    m_index.AppendBaseUrl(std::make_unique<BaseUrl>(1, server.Url("/"), "", 0));
    Add("", "Heading")
        .m_children.push_back(std::make_unique<IndexEntry>(0, m_index.m_baseUrls.back().get(),
                                                           "slow.htm", "Slow", "", 0, "", 1));
    LinkCheckDialog dialog(m_index, m_indexPath, {});
    dialog.show();
    dialog.StartCheck();
    EXPECT_EQ(Child<QPushButton>(dialog, "close")->text(), QStringLiteral("Cancel"));
    dialog.reject();
    EXPECT_TRUE(dialog.isVisible());
    ASSERT_TRUE(WaitFor([&] { return !dialog.Running(); }));
    ASSERT_TRUE(WaitFor([&] { return Child<QPushButton>(dialog, "check")->isEnabled(); }));
    EXPECT_TRUE(dialog.Result().aborted);
    EXPECT_TRUE(Child<QLabel>(dialog, "status")->text().endsWith(QStringLiteral("(cancelled)")));
    dialog.reject();
    EXPECT_FALSE(dialog.isVisible());
}

} // namespace

// A link used from several places lists its further uses below its row; a keyword's use reads
// "Title: phrase", the longest text of the column. Each shows whole, or cut in its middle with
// the whole text in its tooltip. Checked from the keyboard alone.
TEST_F(LinkCheckDialogTest, TheEntryColumnShowsKeywordRowsWholeOrWithATooltip) {
    IndexEntry& again = Add("a.htm", "Again A");
    again.m_keywords.emplace_back(&again, "Another way to read the usage section of the page",
                                  "#usage", "", "", 0);
    LinkCheckDialog dialog(m_index, m_indexPath, {});
    dialog.show();
    ASSERT_TRUE(WaitFor([&] { return dialog.isActiveWindow(); }));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    ASSERT_EQ(QApplication::focusWidget(), Child<QPushButton>(dialog, "check"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);
    ASSERT_TRUE(WaitFor([&] { return !dialog.Running(); }));
    ASSERT_TRUE(WaitFor(
        [&] { return Child<QPushButton>(dialog, "close")->text() == QStringLiteral("Close"); }));
    QTreeWidget* problems = dialog.Problems();
    ASSERT_GE(problems->topLevelItemCount(), 1);
    QTreeWidgetItem* row = problems->topLevelItem(0);
    ASSERT_EQ(row->childCount(), 1);
    QString longest = QStringLiteral("Again A: Another way to read the usage section of the page");
    EXPECT_EQ(row->child(0)->text(1), longest);
    problems->expandAll();
    const int width = problems->columnWidth(1);
    const int needed = problems->fontMetrics().horizontalAdvance(longest);
    EXPECT_TRUE(width >= needed || row->child(0)->toolTip(1) == longest)
        << width << " < " << needed;
    EXPECT_EQ(row->child(0)->toolTip(1), longest);
    EXPECT_EQ(row->toolTip(1), row->text(1));
    test::SavePngIfAsked(dialog, QStringLiteral("link-check-entries"));
}
