#include "AppTestSupport.h"
#include "ScriptedDialogs.h"
#include "SheetDriver.h"
#include "ShownText.h"
#include "TestFiles.h"
#include "contents/ui/CContentsView.h"
#include "contents/ui/CPropertySheet.h"
#include "contents/ui/IndexFileSheet.h"
#include "contents/ui/UrlSheets.h"
#include "document/ui/CXoDoc.h"
#include "index/BaseUrl.h"
#include "index/IndexEntry.h"
#include "index/IndexFile.h"
#include "platform/DialogPlacement.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTest>
#include <QTimer>

#include <functional>

#include <gtest/gtest.h>

using namespace tamblin;

namespace {

// A (A1), B: docs/ (target main) is used by all three; spare/ by none.
const std::string kSite = "XO0;2;1;1;Tamblin 1.1.18\r\n"
                          "1;Site;December 6 2026\r\n"
                          "3;1;docs/;main\r\n"
                          "3;2;http://example.com/;\r\n"
                          "3;3;spare/;side\r\n"
                          "5;1;1;a.htm;A;;0;\r\n"
                          "5;2;1;a1.htm;A1;;1;\r\n"
                          "5;3;1;b.htm;B;own;0;\r\n";

using Result = CContentsView::SheetResult;
using Driver = std::function<void(CPropertySheet&)>;

class PropertySheetsTest : public ::testing::Test, protected test::SheetDriver {
protected:
    PropertySheetsTest() {
        EXPECT_TRUE(m_doc.OpenIndex(QString::fromStdString(m_files.Write("site.xo", kSite))));
        m_view.SetDocument(&m_doc);
        m_view.expandAll();
    }

    IndexEntry& Entry(size_t i) { return *m_doc.Index()->m_root.m_children[i]; }
    Result RunUrl(IndexEntry& entry, int page, Driver drive) {
        WhenShown(std::move(drive));
        return RunUrlPropertiesSheet(&m_view, m_doc, entry, page, false);
    }
    Result RunFile(int page, Driver drive) {
        WhenShown(std::move(drive));
        return RunIndexFileSheet(&m_view, m_doc, page);
    }
    static std::string Rows(QListWidget* list) {
        std::string rows;
        for (int i = 0; i < list->count(); ++i) {
            rows += (i ? "," : "") + list->item(i)->text().toStdString();
        }
        return rows;
    }

    bool m_app = (test::App(), true);
    TestFiles m_files;
    ScriptedDialogs m_dialogs;
    CXoDoc m_doc;
    CContentsView m_view;
};

TEST_F(PropertySheetsTest, InsertUrlGivesTheTitleAsFirstKeywordOnlyWithAUrl) {
    m_view.setCurrentItem(CContentsView::NodeOf(Entry(0)));
    WhenShown([](CPropertySheet& sheet) {
        Type(Find<QLineEdit>(sheet, "title"), "Fresh");
        Type(Find<QLineEdit>(sheet, "url"), "fresh.htm");
        Ok(sheet);
    });
    m_view.OnInsertUrl();
    IndexEntry* fresh = CContentsView::EntryOf(m_view.currentItem());
    ASSERT_NE(fresh, nullptr);
    EXPECT_EQ(fresh->m_title, "Fresh");
    ASSERT_EQ(fresh->m_keywords.size(), 1u);
    EXPECT_EQ(fresh->m_keywords[0].m_phrase, "Fresh");
    EXPECT_EQ(fresh->m_keywords[0].m_owner, fresh);
    EXPECT_TRUE(fresh->m_keywords[0].m_anchor.empty());
    EXPECT_EQ(m_view.currentItem()->text(0), QStringLiteral("Fresh"));

    WhenShown([](CPropertySheet& sheet) {
        Type(Find<QLineEdit>(sheet, "title"), "No page");
        Ok(sheet);
    });
    m_view.OnInsertUrl();
    fresh = CContentsView::EntryOf(m_view.currentItem());
    EXPECT_EQ(fresh->m_title, "No page");
    EXPECT_TRUE(fresh->m_keywords.empty());
}

TEST_F(PropertySheetsTest, TheUrlPaneShowsTheInsertedEntryAfterOk) {
    m_view.setCurrentItem(CContentsView::NodeOf(Entry(0)));
    QSignalSpy urls(&m_view, &CContentsView::UrlChanged);
    WhenShown([](CPropertySheet& sheet) {
        Type(Find<QLineEdit>(sheet, "title"), "Fresh");
        Type(Find<QLineEdit>(sheet, "url"), "fresh.htm");
        Ok(sheet);
    });
    m_view.OnInsertUrl();
    ASSERT_FALSE(urls.isEmpty());
    EXPECT_TRUE(urls.last().at(0).toString().endsWith(QStringLiteral("fresh.htm")))
        << urls.last().at(0).toString().toStdString();
}

TEST_F(PropertySheetsTest, CancelledInsertIsGoneAndUndoBringsItBack) {
    m_view.setCurrentItem(CContentsView::NodeOf(Entry(1)));
    WhenShown([](CPropertySheet& sheet) {
        Type(Find<QLineEdit>(sheet, "title"), "Dropped");
        sheet.reject();
    });
    m_view.OnInsertUrl();
    EXPECT_EQ(m_doc.Index()->m_root.m_children.size(), 2u);
    ASSERT_TRUE(m_view.CanUndo());
    m_view.OnUndo();
    EXPECT_EQ(m_doc.Index()->m_root.m_children.size(), 3u);
}

TEST_F(PropertySheetsTest, BlankTitleKeepsTheSheetOpen) {
    Result result = RunUrl(Entry(0), 0, [this](CPropertySheet& sheet) {
        Type(Find<QLineEdit>(sheet, "title"), "");
        Ok(sheet);
        EXPECT_TRUE(sheet.isVisible());
        ASSERT_EQ(m_dialogs.m_messages.size(), 1);
        EXPECT_EQ(m_dialogs.m_messages[0].text, QStringLiteral("This string cannot be blank"));
        // Nor can the keywords page be reached.
        sheet.Tabs()->setCurrentIndex(1);
        EXPECT_EQ(sheet.Tabs()->currentIndex(), 0);
    });
    EXPECT_EQ(result, Result::Cancelled);
    EXPECT_EQ(Entry(0).m_title, "A");
}

TEST_F(PropertySheetsTest, FullUrlFollowsTheBaseUrlUnlessTheUrlIsAbsolute) {
    RunUrl(Entry(0), 0, [](CPropertySheet& sheet) {
        auto* base = Find<QComboBox>(sheet, "baseUrl");
        auto* full = Find<QLabel>(sheet, "fullUrl");
        auto* browse = Find<QPushButton>(sheet, "browse");
        EXPECT_EQ(base->currentText(), QStringLiteral("docs/"));
        EXPECT_EQ(base->itemText(0), QStringLiteral("<None>"));
        EXPECT_EQ(full->text(), QStringLiteral("docs/a.htm"));
        EXPECT_TRUE(browse->isEnabled());
        Type(Find<QLineEdit>(sheet, "url"), "C:x.htm");
        EXPECT_EQ(full->text(), QStringLiteral("C:x.htm"));
        EXPECT_EQ(base->currentIndex(), -1);
        EXPECT_FALSE(base->isEnabled());
        EXPECT_FALSE(browse->isEnabled());
        Type(Find<QLineEdit>(sheet, "url"), "1:x.htm");
        EXPECT_EQ(full->text(), QStringLiteral("docs/1:x.htm"));
        EXPECT_EQ(base->currentText(), QStringLiteral("docs/"));
        // An absolute base URL leaves nothing local to browse.
        base->setCurrentIndex(base->findText(QStringLiteral("http://example.com/")));
        Q_EMIT base->activated(base->currentIndex());
        EXPECT_EQ(full->text(), QStringLiteral("http://example.com/1:x.htm"));
        EXPECT_FALSE(browse->isEnabled());
    });
}

TEST_F(PropertySheetsTest, BrowseGivesThePathFromTheBaseUrlsDirectory) {
    std::string site = m_doc.Index()->m_fileName;
    QString directory = QString::fromStdString(site.substr(0, site.rfind('/') + 1));
    m_dialogs.m_files = {directory + QStringLiteral("img/pic.htm")};
    RunUrl(Entry(0), 0, [this, directory](CPropertySheet& sheet) {
        Find<QPushButton>(sheet, "browse")->click();
        ASSERT_EQ(m_dialogs.m_fileRequests.size(), 1);
        const auto& request = m_dialogs.m_fileRequests[0];
        EXPECT_EQ(request.title, QStringLiteral("Select web page"));
        EXPECT_EQ(request.defaultExtension, QStringLiteral("html"));
        EXPECT_EQ(request.path, directory + QStringLiteral("docs/a.htm"));
        EXPECT_EQ(Find<QLineEdit>(sheet, "url")->text(), QStringLiteral("../img/pic.htm"));
        EXPECT_EQ(Find<QLabel>(sheet, "fullUrl")->text(), QStringLiteral("docs/../img/pic.htm"));
    });
}

TEST_F(PropertySheetsTest, ChoosingABaseUrlWritesItBackAndMarksItInUse) {
    Result result = RunUrl(Entry(1), 0, [](CPropertySheet& sheet) {
        auto* base = Find<QComboBox>(sheet, "baseUrl");
        // The keywords page has a Target frame box too; this is the General page's.
        auto* general = sheet.findChild<QWidget*>(QStringLiteral("urlProperties"));
        ASSERT_NE(general, nullptr);
        auto* target = general->findChild<QLineEdit*>(QStringLiteral("targetFrame"));
        ASSERT_NE(target, nullptr);
        QString before = target->text();
        EXPECT_EQ(before, QStringLiteral("own"));
        base->setCurrentIndex(base->findText(QStringLiteral("spare/")));
        Q_EMIT base->activated(base->currentIndex());
        EXPECT_EQ(target->text(), before);
        Ok(sheet);
    });
    EXPECT_EQ(result, Result::Changed);
    BaseUrl* spare = m_doc.Index()->m_baseUrls[2].get();
    EXPECT_EQ(Entry(1).m_baseUrl, spare);
    EXPECT_EQ(spare->m_inUse, 1);
    EXPECT_EQ(RunUrl(Entry(1), 0, [](CPropertySheet& sheet) { Ok(sheet); }), Result::Unchanged);
}

TEST_F(PropertySheetsTest, KeywordsStayInPhraseOrderAndFollowTheGeneralPage) {
    Result result = RunUrl(Entry(0), 1, [this](CPropertySheet& sheet) {
        EXPECT_EQ(sheet.Tabs()->currentIndex(), 1);
        auto* list = Find<QListWidget>(sheet, "keywords");
        auto* phrase = Find<QLineEdit>(sheet, "phrase");
        for (const char* text : {"pear", "apple", "mango"}) {
            Find<QPushButton>(sheet, "add")->click();
            Type(phrase, text);
        }
        EXPECT_EQ(Rows(list), "apple,mango,pear");
        list->setCurrentRow(2);
        Type(phrase, "banana");
        EXPECT_EQ(Rows(list), "apple,banana,mango");
        EXPECT_EQ(list->currentItem()->text(), QStringLiteral("banana"));
        Find<QComboBox>(sheet, "anchor")->setEditText(QStringLiteral("#b"));
        Type(Find<QLineEdit>(sheet, "extraTitle"), " (b)");
        EXPECT_EQ(Find<QLabel>(sheet, "keywordUrl")->text(), QStringLiteral("a.htm#b"));
        EXPECT_EQ(Find<QLabel>(sheet, "fullTitle")->text(), QStringLiteral("A (b)"));
        // Back on General the title changes; the keywords page follows it.
        sheet.Tabs()->setCurrentIndex(0);
        Type(Find<QLineEdit>(sheet, "title"), "Aa");
        sheet.Tabs()->setCurrentIndex(1);
        EXPECT_EQ(Find<QLabel>(sheet, "fullTitle")->text(), QStringLiteral("Aa (b)"));
        Ok(sheet);
    });
    EXPECT_EQ(result, Result::Changed);
    const auto& keywords = Entry(0).m_keywords;
    ASSERT_EQ(keywords.size(), 3u);
    EXPECT_EQ(keywords[0].m_phrase, "apple");
    EXPECT_EQ(keywords[1].m_phrase, "banana");
    EXPECT_EQ(keywords[1].m_anchor, "#b");
    EXPECT_EQ(keywords[1].m_extraTitle, " (b)");
    EXPECT_EQ(keywords[2].m_phrase, "mango");

    // Saved and read again, the keywords come back the same.
    ASSERT_TRUE(m_doc.Index()->Save(m_doc.Index()->m_fileName));
    CXoDoc again;
    ASSERT_TRUE(again.OpenIndex(QString::fromStdString(m_doc.Index()->m_fileName)));
    const auto& read = again.Index()->m_root.m_children[0]->m_keywords;
    ASSERT_EQ(read.size(), 3u);
    EXPECT_EQ(read[1].m_phrase, "banana");
    EXPECT_EQ(read[1].m_anchor, "#b");
    EXPECT_EQ(read[1].m_extraTitle, " (b)");
}

TEST_F(PropertySheetsTest, BlankPhraseStopsTheSheetAndInheritedTargetClearsOwnFlag) {
    RunUrl(Entry(0), 1, [this](CPropertySheet& sheet) {
        Find<QPushButton>(sheet, "add")->click();
        Ok(sheet);
        EXPECT_TRUE(sheet.isVisible());
        ASSERT_EQ(m_dialogs.m_messages.size(), 1);
        EXPECT_EQ(m_dialogs.m_messages[0].text,
                  QStringLiteral("The index keyword phrase cannot be blank"));
        Type(Find<QLineEdit>(sheet, "phrase"), "k");
        auto* target = Find<QLineEdit>(sheet, "targetFrame");
        EXPECT_EQ(target->text(), QStringLiteral("main"));
        Type(target, "other");
        Type(target, "main");
        Ok(sheet);
    });
    ASSERT_EQ(Entry(0).m_keywords.size(), 1u);
    EXPECT_EQ(Entry(0).m_keywords[0].m_ownTarget, 0);
}

TEST_F(PropertySheetsTest, AnEntryWithoutUrlHasNoUsableKeywordsPage) {
    Entry(1).m_url.clear();
    RunUrl(Entry(1), 1, [](CPropertySheet& sheet) {
        EXPECT_EQ(Find<QLabel>(sheet, "prompt")->text(),
                  QStringLiteral("URL does not refer to a page.  No keywords passible."));
        EXPECT_FALSE(Find<QPushButton>(sheet, "add")->isEnabled());
        EXPECT_FALSE(Find<QLineEdit>(sheet, "phrase")->isEnabled());
        sheet.Tabs()->setCurrentIndex(0);
        Type(Find<QLineEdit>(sheet, "url"), "now.htm");
        sheet.Tabs()->setCurrentIndex(1);
        EXPECT_EQ(Find<QLabel>(sheet, "prompt")->text(),
                  QStringLiteral("&Select an keyword phrase to edit:"));
        EXPECT_TRUE(Find<QPushButton>(sheet, "add")->isEnabled());
    });
}

TEST_F(PropertySheetsTest, OtherKeywordsNeedATitle) {
    WhenShown([this](CPropertySheet& sheet) {
        EXPECT_EQ(sheet.windowTitle(), QStringLiteral("Other Index keywords"));
        Find<QPushButton>(sheet, "add")->click();
        Type(Find<QLineEdit>(sheet, "phrase"), "elsewhere");
        Ok(sheet);
        EXPECT_TRUE(sheet.isVisible());
        ASSERT_EQ(m_dialogs.m_messages.size(), 1);
        EXPECT_EQ(m_dialogs.m_messages[0].text,
                  QStringLiteral("For Other Index keywords, you must give a title"));
        Type(Find<QLineEdit>(sheet, "extraTitle"), "Elsewhere");
        Ok(sheet);
    });
    EXPECT_EQ(RunOtherKeywordsSheet(&m_view, m_doc, 0), Result::Changed);
    ASSERT_EQ(m_doc.Index()->m_otherKeywords.m_keywords.size(), 1u);
    EXPECT_EQ(m_doc.Index()->m_otherKeywords.m_keywords[0].m_extraTitle, "Elsewhere");
}

TEST_F(PropertySheetsTest, BaseUrlsInUseCannotBeDeletedAndNewOnesGetTheirSlash) {
    Result result = RunFile(1, [](CPropertySheet& sheet) {
        EXPECT_EQ(sheet.Tabs()->currentIndex(), 1);
        auto* list = Find<QListWidget>(sheet, "baseUrls");
        auto* remove = Find<QPushButton>(sheet, "delete");
        EXPECT_EQ(Rows(list), "docs/,http://example.com/,spare/");
        EXPECT_FALSE(remove->isEnabled()); // docs/ is used
        list->setCurrentRow(2);
        EXPECT_TRUE(remove->isEnabled());
        remove->click();
        Find<QPushButton>(sheet, "add")->click();
        Type(Find<QLineEdit>(sheet, "baseUrl"), "added");
        EXPECT_EQ(Rows(list), "added,docs/,http://example.com/");
        Ok(sheet);
    });
    EXPECT_EQ(result, Result::Changed);
    const auto& bases = m_doc.Index()->m_baseUrls;
    ASSERT_EQ(bases.size(), 3u);
    EXPECT_EQ(bases[0]->m_url, "docs/");
    EXPECT_EQ(bases[1]->m_url, "http://example.com/");
    EXPECT_EQ(bases[2]->m_url, "added/");
}

TEST_F(PropertySheetsTest, CancelKeepsADeletedBaseUrl) {
    RunFile(3, [](CPropertySheet& sheet) {
        EXPECT_EQ(Find<QListWidget>(sheet, "baseUrls")->currentItem()->text(),
                  QStringLiteral("spare/"));
        Find<QPushButton>(sheet, "delete")->click();
        sheet.reject();
    });
    EXPECT_EQ(m_doc.Index()->m_baseUrls.size(), 3u);
    EXPECT_EQ(RunFile(0, [](CPropertySheet& sheet) { Ok(sheet); }), Result::Unchanged);
    EXPECT_EQ(m_doc.Index()->m_baseUrls.size(), 3u);
}

TEST_F(PropertySheetsTest, SetAllAsksWithCancelDefaultAndCountsTheEntries) {
    Result result = RunFile(3, [](CPropertySheet& sheet) {
        Find<QPushButton>(sheet, "setAll")->click();
        EXPECT_FALSE(sheet.isVisible());
    });
    EXPECT_EQ(result, Result::Changed);
    ASSERT_EQ(m_dialogs.m_messages.size(), 2);
    EXPECT_EQ(
        m_dialogs.m_messages[0].text,
        QStringLiteral(
            "Are you sure that you want to make (spare/) the Base URL for all existing URLs?"));
    EXPECT_TRUE(m_dialogs.m_messages[0].defaultCancel);
    EXPECT_EQ(m_dialogs.m_messages[1].text, QStringLiteral("3 URLs set"));
    BaseUrl* spare = m_doc.Index()->m_baseUrls[2].get();
    EXPECT_EQ(spare->m_inUse, 1);
    EXPECT_EQ(Entry(0).m_baseUrl, spare);
    // B's own target differs from its old base's and stays; A's inherited one is emptied.
    EXPECT_EQ(Entry(1).m_targetFrame, "own");
    EXPECT_EQ(Entry(0).m_targetFrame, "");
    EXPECT_EQ(Entry(0).m_ownTarget, 1);
}

// The field that has the focus when a sheet opens, checked to lie on the page shown.
Driver NoteFocus(QString& name) {
    return [&name](CPropertySheet& sheet) {
        QWidget* focus = sheet.focusWidget();
        ASSERT_NE(focus, nullptr);
        EXPECT_TRUE(sheet.Tabs()->currentWidget()->isAncestorOf(focus))
            << focus->metaObject()->className();
        name = focus->objectName();
    };
}

TEST_F(PropertySheetsTest, EverySheetOpensWithTheFocusInItsPage) {
    QString name;
    RunUrl(Entry(0), 0, NoteFocus(name));
    EXPECT_EQ(name, QStringLiteral("title"));
    RunUrl(Entry(0), 1, NoteFocus(name));
    EXPECT_EQ(name, QStringLiteral("keywords"));
    RunFile(0, NoteFocus(name));
    EXPECT_EQ(name, QStringLiteral("description"));
    RunFile(1, NoteFocus(name));
    EXPECT_EQ(name, QStringLiteral("baseUrls"));
    WhenShown(NoteFocus(name));
    RunOtherKeywordsSheet(&m_view, m_doc, 0);
    EXPECT_EQ(name, QStringLiteral("keywords"));
    m_view.setCurrentItem(CContentsView::NodeOf(Entry(0)));
    WhenShown(NoteFocus(name));
    m_view.OnInsertUrl();
    EXPECT_EQ(name, QStringLiteral("title"));
    // What is typed at once lands there.
    WhenShown([](CPropertySheet& sheet) {
        sheet.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&sheet));
        QTest::keyClicks(static_cast<QWidget*>(nullptr), QStringLiteral("Typed"));
        EXPECT_EQ(Find<QLineEdit>(sheet, "title")->text(), QStringLiteral("Typed"));
    });
    m_view.OnInsertUrl();
}

// Deleting the last deletable base URL disables Delete; Enter must still mean OK.
TEST_F(PropertySheetsTest, EnterAfterDeletingABaseUrlPressesOk) {
    Result result = RunFile(1, [](CPropertySheet& sheet) {
        sheet.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&sheet));
        auto* list = Find<QListWidget>(sheet, "baseUrls");
        auto* remove = Find<QPushButton>(sheet, "delete");
        list->setCurrentRow(1);
        remove->setFocus();
        QTest::keyClick(remove, Qt::Key_Space);
        QTest::keyClick(remove, Qt::Key_Space);
        EXPECT_FALSE(remove->isEnabled());
        EXPECT_EQ(Rows(list), "docs/");
        QTest::keyClick(static_cast<QWidget*>(nullptr), Qt::Key_Return);
        EXPECT_FALSE(sheet.isVisible());
    });
    EXPECT_EQ(result, Result::Changed);
    EXPECT_EQ(m_doc.Index()->m_baseUrls.size(), 1u);
}

TEST_F(PropertySheetsTest, SettingsPageShowsTheFileAndNeedsADescription) {
    Result result = RunFile(0, [this](CPropertySheet& sheet) {
        EXPECT_EQ(Find<QLineEdit>(sheet, "format")->text(), QStringLiteral("2.1 coding 1"));
        auto* description = Find<QLineEdit>(sheet, "description");
        EXPECT_EQ(description->text(), QStringLiteral("Site"));
        Type(description, "");
        Ok(sheet);
        EXPECT_TRUE(sheet.isVisible());
        EXPECT_EQ(m_dialogs.m_messages.size(), 1);
        Type(description, "Renamed");
        Ok(sheet);
    });
    EXPECT_EQ(result, Result::Changed);
    EXPECT_EQ(m_doc.Index()->m_description, "Renamed");
}

} // namespace

namespace {

TEST_F(PropertySheetsTest, OtherKeywordsNodeKeepsItsLabelAfterOk) {
    QTreeWidgetItem* node = m_view.OtherKeywordsNode();
    ASSERT_NE(node, nullptr);
    QString label = node->text(0);
    m_doc.Index()->m_otherKeywords.m_title = "Changed title";
    m_view.setCurrentItem(node);
    WhenShown([](CPropertySheet& sheet) {
        Find<QPushButton>(sheet, "add")->click();
        Type(Find<QLineEdit>(sheet, "phrase"), "p");
        Type(Find<QLineEdit>(sheet, "extraTitle"), "T");
        Ok(sheet);
    });
    m_view.OnIndexKeywords();
    EXPECT_EQ(m_doc.Index()->m_otherKeywords.m_keywords.size(), 1u);
    EXPECT_EQ(node->text(0), label);
    EXPECT_TRUE(m_doc.IsModified());
}

} // namespace

// Titles, URLs and keywords are the user's text, never markup.
TEST_F(PropertySheetsTest, UrlSheetShowsMarkupInTitlesAndUrlsLiterally) {
    Entry(0).m_title = "The <table> tag";
    Entry(0).m_url = "a & b <i>x</i>.htm";
    Entry(0).m_keywords.emplace_back(&Entry(0), "phrase", "#<em>", " <b>more</b>", "", 0);
    RunUrl(Entry(0), 0, [](CPropertySheet& sheet) {
        EXPECT_EQ(test::LabelsShowLiterally(sheet, {QStringLiteral("docs/a & b <i>x</i>.htm")}),
                  QString());
        test::SavePngIfAsked(sheet, QStringLiteral("url-properties-markup"));
        sheet.Tabs()->setCurrentIndex(1);
        EXPECT_EQ(test::LabelsShowLiterally(sheet, {QStringLiteral("a & b <i>x</i>.htm#<em>"),
                                                    QStringLiteral("The <table> tag <b>more</b>")}),
                  QString());
        test::SavePngIfAsked(sheet, QStringLiteral("url-keywords-markup"));
    });
}

// A 300-character URL once made this sheet 2381 pixels wide.
TEST_F(PropertySheetsTest, LongUrlsKeepTheUrlSheetWithinTheScreen) {
    std::string longUrl = "pages/" + std::string(300, 'u') + ".htm";
    std::string longBase = "http://example.com/" + std::string(300, 'b') + "/";
    Entry(0).m_url = longUrl;
    Entry(0).m_title = std::string(300, 't');
    Entry(0).m_baseUrl->m_url = longBase;
    Entry(0).m_keywords.emplace_back(&Entry(0), "phrase", "#" + std::string(300, 'a'),
                                     std::string(300, 'e'), "", 0);
    RunUrl(Entry(0), 0, [&](CPropertySheet& sheet) {
        int room = DialogPlacement::WorkArea(&sheet).width();
        EXPECT_LE(sheet.frameGeometry().width(), room);
        EXPECT_LE(sheet.sizeHint().width(), room);
        auto* full = Find<QLabel>(sheet, "fullUrl");
        EXPECT_EQ(full->text().toStdString(), longBase + longUrl);
        test::SavePngIfAsked(sheet, QStringLiteral("url-properties-long"));
        sheet.Tabs()->setCurrentIndex(1);
        EXPECT_LE(sheet.sizeHint().width(), room);
        EXPECT_LE(sheet.frameGeometry().width(), room);
        EXPECT_EQ(Find<QLabel>(sheet, "keywordUrl")->text().toStdString(),
                  longUrl + "#" + std::string(300, 'a'));
        test::SavePngIfAsked(sheet, QStringLiteral("url-keywords-long"));
    });
}
