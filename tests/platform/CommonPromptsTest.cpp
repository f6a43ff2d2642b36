#include "platform/CommonPrompts.h"
#include "ScriptedDialogs.h"

#include <QApplication>
#include <QClipboard>
#include <QLineEdit>

#include <gtest/gtest.h>

using namespace tamblin;

namespace {

int g_argc = 1;
char g_name[] = "platform_test";
char* g_argv[] = {g_name, nullptr};

QApplication& App() {
    static QApplication app(g_argc, g_argv);
    return app;
}

} // namespace

TEST(CommonPrompts, ConfirmDeleteAsksWithOkCancel) {
    App();
    ScriptedDialogs dialogs;
    dialogs.m_answers = {DialogService::Answer::Ok, DialogService::Answer::Cancel};
    EXPECT_TRUE(ConfirmDelete(nullptr, QStringLiteral("Intro")));
    EXPECT_FALSE(ConfirmDelete(nullptr, QStringLiteral("Intro")));
    ASSERT_EQ(dialogs.m_messages.size(), 2);
    EXPECT_EQ(dialogs.m_messages[0].text, QStringLiteral("OK to Delete 'Intro'?"));
    EXPECT_EQ(dialogs.m_messages[0].icon, DialogService::Icon::Question);
    EXPECT_EQ(dialogs.m_messages[0].buttons, DialogService::Buttons::OkCancel);
}

TEST(CommonPrompts, CheckMinLengthMessagesAndFocus) {
    App();
    ScriptedDialogs dialogs;
    QLineEdit field;
    field.show();
    EXPECT_TRUE(CheckMinLength(&field, QStringLiteral("ab"), 2));
    EXPECT_FALSE(CheckMinLength(&field, QString(), 1));
    EXPECT_FALSE(CheckMinLength(&field, QStringLiteral("a"), 3));
    ASSERT_EQ(dialogs.m_messages.size(), 2);
    EXPECT_EQ(dialogs.m_messages[0].text, QStringLiteral("This string cannot be blank"));
    EXPECT_EQ(dialogs.m_messages[1].text, QStringLiteral("String length should be at least 3"));
}

TEST(CommonPrompts, PromptFileNameKeepsThePathOnCancel) {
    App();
    ScriptedDialogs dialogs;
    dialogs.m_files = {QString(), QStringLiteral("/tmp/chosen.xo")};
    QString path = QStringLiteral("MySite.xo");
    EXPECT_FALSE(PromptFileName(nullptr, false, QStringLiteral("xo"),
                                QStringLiteral("Save index file as"), path,
                                QStringLiteral("Navora Files (*.xo)|*.xo|All Files (*.*)|*.*||")));
    EXPECT_EQ(path, QStringLiteral("MySite.xo"));
    EXPECT_TRUE(PromptFileName(nullptr, false, QStringLiteral("xo"),
                               QStringLiteral("Save index file as"), path,
                               QStringLiteral("Navora Files (*.xo)|*.xo|All Files (*.*)|*.*||")));
    EXPECT_EQ(path, QStringLiteral("/tmp/chosen.xo"));
    EXPECT_FALSE(dialogs.m_fileRequests[0].open);
    EXPECT_EQ(dialogs.m_fileRequests[0].title, QStringLiteral("Save index file as"));
}

TEST(CommonPrompts, FiltersTranslateToNameFilters) {
    EXPECT_EQ(
        TranslateFilter(QStringLiteral("Navora Files (*.xo)|*.xo|All Files (*.*)|*.*||")),
        (QStringList{QStringLiteral("Navora Files (*.xo)"), QStringLiteral("All Files (*)")}));
    EXPECT_EQ(TranslateFilter(QStringLiteral("Pages|*.htm;*.html||")),
              (QStringList{QStringLiteral("Pages (*.htm *.html)")}));
}

TEST(CommonPrompts, FormattedMessageIsCaptionedWithTheProgramName) {
    App();
    ScriptedDialogs dialogs;
    ShowFormattedMessage("Help topic %d not found in %s", 7, "Tamblin.HM");
    ASSERT_EQ(dialogs.m_messages.size(), 1);
    EXPECT_EQ(dialogs.m_messages[0].text, QStringLiteral("Help topic 7 not found in Tamblin.HM"));
    EXPECT_EQ(dialogs.m_messages[0].caption, QStringLiteral("Tamblin"));
}

TEST(CommonPrompts, ClipboardReceivesPlainText) {
    App();
    EXPECT_TRUE(CopyTextToClipboard(nullptr, QStringLiteral("http://example.com/a.htm")));
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("http://example.com/a.htm"));
}
