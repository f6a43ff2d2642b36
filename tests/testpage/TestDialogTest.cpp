#include "FakeCommandHost.h"
#include "ScriptedDialogs.h"
#include "ShownText.h"
#include "TestFiles.h"
#include "WidgetTestApp.h"
#include "platform/DialogPlacement.h"
#include "testpage/ui/CTestDialog.h"
#include "testpage/ui/TestPageCommands.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

using namespace tamblin;
using Answer = DialogService::Answer;

namespace {

QApplication& App() {
    return test::WidgetTestApp();
}

QStringList Items(const QComboBox* box) {
    QStringList items;
    for (int i = 0; i < box->count(); ++i) {
        items << box->itemText(i);
    }
    return items;
}

struct Fixture {
    Fixture() : host(files.Path("settings.ini")) { App(); }
    QComboBox* Box(CTestDialog& dialog) {
        return dialog.findChild<QComboBox*>(QStringLiteral("pageBox"));
    }
    void Type(CTestDialog& dialog, const QString& text) {
        Box(dialog)->lineEdit()->setText(text);
        dialog.findChild<QPushButton*>(QStringLiteral("showButton"))->click();
    }
    TestFiles files;
    FakeCommandHost host;
};

// Closes the first Test dialog a modal loop shows.
void CloseTestDialogWhenShown(int& seen) {
    QTimer::singleShot(0, [&seen] {
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            if (auto* dialog = qobject_cast<CTestDialog*>(widget); dialog && dialog->isVisible()) {
                ++seen;
                dialog->reject();
                return;
            }
        }
    });
}

} // namespace

TEST(TestDialog, FirstUseShowsNothingUntilAPageIsTyped) {
    Fixture f;
    CTestDialog dialog(QString(), f.host);
    EXPECT_EQ(f.Box(dialog)->count(), 0);
    EXPECT_TRUE(f.host.m_browser->m_navigated.isEmpty());
    f.Type(dialog, QString());
    EXPECT_TRUE(f.host.m_browser->m_navigated.isEmpty());
    f.Type(dialog, QStringLiteral("/site/a.html"));
    EXPECT_EQ(f.host.m_browser->m_navigated, QStringList{QStringLiteral("/site/a.html")});
    EXPECT_EQ(Items(f.Box(dialog)), QStringList{QStringLiteral("/site/a.html")});
}

TEST(TestDialog, SamePageTwiceKeepsOneEntry) {
    Fixture f;
    CTestDialog dialog(QString(), f.host);
    f.Type(dialog, QStringLiteral("/site/a.html"));
    f.Type(dialog, QStringLiteral("/site/b.html"));
    f.Type(dialog, QStringLiteral("/site/a.html"));
    EXPECT_EQ(Items(f.Box(dialog)),
              (QStringList{QStringLiteral("/site/b.html"), QStringLiteral("/site/a.html")}));
    EXPECT_EQ(dialog.RecentPages().Pages(),
              (QStringList{QStringLiteral("/site/a.html"), QStringLiteral("/site/b.html")}));
    EXPECT_EQ(f.host.m_browser->m_navigated.size(), 3);
}

#ifndef Q_OS_WIN
// Search.html and search.html are two files here: each keeps its own entry.
TEST(TestDialog, PagesDifferingOnlyInCaseAreTwoPages) {
    Fixture f;
    CTestDialog dialog(QString(), f.host);
    f.Type(dialog, QStringLiteral("/site/search.html"));
    f.Type(dialog, QStringLiteral("/site/Search.html"));
    EXPECT_EQ(Items(f.Box(dialog)), (QStringList{QStringLiteral("/site/Search.html"),
                                                 QStringLiteral("/site/search.html")}));
    EXPECT_EQ(dialog.RecentPages().Pages(), (QStringList{QStringLiteral("/site/Search.html"),
                                                         QStringLiteral("/site/search.html")}));
}
#endif

TEST(TestDialog, RecentListSurvivesARestartAndTheNewPageGoesOnTop) {
    Fixture f;
    {
        CTestDialog dialog(QString(), f.host);
        f.Type(dialog, QStringLiteral("/site/a.html"));
        f.Type(dialog, QStringLiteral("/site/b.html"));
        dialog.reject();
    }
    EXPECT_EQ(f.host.m_status.last(), QStringLiteral("For Help, press F1"));
    // As the settings file holds it, read by a new store.
    FakeCommandHost again(f.files.Path("settings.ini"));
    EXPECT_EQ(again.Settings().value(QStringLiteral("Recent Page List/TestPage1")).toString(),
              QStringLiteral("/site/b.html"));
    {
        CTestDialog dialog(QString(), again);
        EXPECT_EQ(Items(f.Box(dialog)),
                  (QStringList{QStringLiteral("/site/b.html"), QStringLiteral("/site/a.html")}));
        EXPECT_EQ(again.m_browser->m_navigated, QStringList{QStringLiteral("/site/b.html")});
    }
    CTestDialog dialog(QStringLiteral("/site/Search.html"), again);
    EXPECT_EQ(Items(f.Box(dialog)).first(), QStringLiteral("/site/Search.html"));
    EXPECT_EQ(again.m_browser->m_navigated, QStringList{QStringLiteral("/site/Search.html")});
}

TEST(TestDialog, EachShownPageIsWrittenWhileTheDialogStaysOpen) {
    Fixture f;
    CTestDialog dialog(QString(), f.host);
    f.Type(dialog, QStringLiteral("/site/a.html"));
    FakeCommandHost reader(f.files.Path("settings.ini"));
    reader.Settings().sync();
    EXPECT_EQ(reader.Settings().value(QStringLiteral("Recent Page List/TestPage1")).toString(),
              QStringLiteral("/site/a.html"));
}

TEST(TestDialog, RecentListKeepsTenAndSkipsLeadingBlanks) {
    Fixture f;
    f.host.Settings().setValue(QStringLiteral("Recent Page List/TestPage1"),
                               QStringLiteral("  /site/x.html"));
    CTestDialog dialog(QString(), f.host);
    EXPECT_EQ(Items(f.Box(dialog)), QStringList{QStringLiteral("/site/x.html")});
    for (int i = 0; i < 12; ++i) {
        f.Type(dialog, QStringLiteral("/p%1.html").arg(i));
    }
    EXPECT_EQ(dialog.RecentPages().Pages().size(), 10);
    EXPECT_EQ(dialog.RecentPages().Pages().first(), QStringLiteral("/p11.html"));
    dialog.accept();
    EXPECT_EQ(f.host.Settings().value(QStringLiteral("Recent Page List/TestPage10")).toString(),
              QStringLiteral("/p2.html"));
}

TEST(TestDialog, BrowseShowsTheChosenPageAndStatusReachesTheFrame) {
    Fixture f;
    ScriptedDialogs dialogs;
    dialogs.m_files << QStringLiteral("/site/chosen.html");
    CTestDialog dialog(QString(), f.host);
    dialog.findChild<QPushButton*>(QStringLiteral("browseButton"))->click();
    ASSERT_EQ(dialogs.m_fileRequests.size(), 1);
    EXPECT_EQ(dialogs.m_fileRequests[0].title, QStringLiteral("Open web page"));
    EXPECT_EQ(dialogs.m_fileRequests[0].defaultExtension, QStringLiteral("html"));
    EXPECT_EQ(f.host.m_browser->m_navigated, QStringList{QStringLiteral("/site/chosen.html")});
    f.host.m_browser->SendStatus(QStringLiteral("Done"));
    EXPECT_EQ(f.host.m_status.last(), QStringLiteral("Done"));
}

TEST(TestWebPageCommand, CancelOnTheSaveQuestionOpensNothing) {
    Fixture f;
    ScriptedDialogs dialogs;
    dialogs.m_answers << Answer::Cancel;
    f.host.m_modified = true;
    TestPageCommands::TestWebPage(nullptr, f.host);
    EXPECT_EQ(dialogs.m_messages.size(), 1);
    EXPECT_EQ(dialogs.m_messages[0].text,
              QStringLiteral("Do you want to save the current index file first?"));
    EXPECT_EQ(f.host.m_saves, 0);
    EXPECT_EQ(f.host.m_browsersMade, 0);
}

TEST(TestWebPageCommand, YesSavesThenOpensTheDialog) {
    Fixture f;
    ScriptedDialogs dialogs;
    dialogs.m_answers << Answer::Yes;
    f.host.m_modified = true;
    int seen = 0;
    CloseTestDialogWhenShown(seen);
    TestPageCommands::TestWebPage(nullptr, f.host);
    EXPECT_EQ(f.host.m_saves, 1);
    EXPECT_EQ(seen, 1);
}

TEST(TestWebPageCommand, NoBrowserIsToldAndNoDialogOpens) {
    Fixture f;
    ScriptedDialogs dialogs;
    f.host.m_browserAvailable = false;
    TestPageCommands::TestWebPage(nullptr, f.host);
    ASSERT_EQ(dialogs.m_messages.size(), 1);
    EXPECT_EQ(dialogs.m_messages[0].text,
              QStringLiteral("Sorry, you cannot view web pages in Tamblin as you do not have Qt "
                             "WebEngine loaded"));
}

TEST(TestDialog, WithoutABrowserTheListStillWorks) {
    Fixture f;
    f.host.m_browserAvailable = false;
    CTestDialog dialog(QStringLiteral("/site/a.html"), f.host);
    EXPECT_EQ(dialog.Browser(), nullptr);
    EXPECT_EQ(dialog.RecentPages().Pages(), QStringList{QStringLiteral("/site/a.html")});
}

// A long recent page once widened the dialog past the screen through its page box.
TEST(TestDialog, LongPageKeepsTheDialogWithinTheScreen) {
    Fixture f;
    QString page = QStringLiteral("/site/") + QString(300, QLatin1Char('p')) +
                   QStringLiteral("/<b>search</b>.html");
    f.host.Settings().setValue(QStringLiteral("Recent Page List/TestPage1"), page);
    CTestDialog dialog(QString(), f.host);
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    int room = DialogPlacement::WorkArea(&dialog).width();
    EXPECT_LE(dialog.sizeHint().width(), room);
    EXPECT_LE(dialog.frameGeometry().width(), room);
    EXPECT_LE(f.Box(dialog)->sizeHint().width(), room / 2);
    EXPECT_EQ(f.Box(dialog)->currentText(), page);
    test::SavePngIfAsked(dialog, QStringLiteral("test-dialog-long-page"));
}

// Display page in the viewer follows a link inside the browser: the Page field shows where
// the browser went, Back (Alt+Left) returns, and only pages the author asked for are kept.
TEST(TestDialog, ThePageFieldFollowsTheBrowserAndBackReturns) {
    Fixture f;
    CTestDialog dialog(QStringLiteral("/site/Search.html"), f.host);
    dialog.show();
    dialog.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
    auto* back = dialog.findChild<QPushButton*>(QStringLiteral("backButton"));
    ASSERT_NE(back, nullptr);
    EXPECT_FALSE(back->isEnabled());
    // The browser's own report of the page it was sent to changes nothing.
    f.host.m_browser->FollowLink(QUrl::fromLocalFile(QStringLiteral("/site/Search.html")));
    EXPECT_EQ(f.Box(dialog)->currentText(), QStringLiteral("/site/Search.html"));

    f.host.m_browser->FollowLink(QUrl::fromLocalFile(QStringLiteral("/site/git.html")));
    EXPECT_EQ(f.Box(dialog)->currentText(), QStringLiteral("/site/git.html"));
    ASSERT_TRUE(back->isEnabled());
    f.host.m_browser->FollowLink(QUrl(QStringLiteral("http://127.0.0.1:8000/a.html#top")));
    EXPECT_EQ(f.Box(dialog)->currentText(), QStringLiteral("http://127.0.0.1:8000/a.html#top"));

    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Left, Qt::AltModifier);
    EXPECT_TRUE(QTest::qWaitFor([&] { return f.host.m_browser->m_backs == 1; }));
    // And by its mnemonic.
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_K, Qt::AltModifier);
    EXPECT_TRUE(QTest::qWaitFor([&] { return f.host.m_browser->m_backs == 2; }));
    f.host.m_browser->FollowLink(QUrl::fromLocalFile(QStringLiteral("/site/Search.html")));
    EXPECT_EQ(f.Box(dialog)->currentText(), QStringLiteral("/site/Search.html"));
    EXPECT_EQ(Items(f.Box(dialog)), QStringList{QStringLiteral("/site/Search.html")});
    EXPECT_EQ(f.host.m_browser->m_navigated, QStringList{QStringLiteral("/site/Search.html")});
    test::SavePngIfAsked(dialog, QStringLiteral("test-dialog-back"));
}
