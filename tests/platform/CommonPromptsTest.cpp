#include "platform/CommonPrompts.h"
#include "ScriptedDialogs.h"
#include "WidgetTestApp.h"
#include "platform/DialogPlacement.h"
#include "platform/ElidingLabel.h"
#include "platform/ScreenFit.h"

#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QTextDocument>
#include <QWidget>

#include <gtest/gtest.h>

using namespace tamblin;

namespace {

QApplication& App() {
    return test::WidgetTestApp();
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

TEST(ElidingLabel, ElidesLongTextKeepsItAllAndNeverReadsMarkup) {
    App();
    ElidingLabel label;
    QString text = QStringLiteral("The <table> tag ") + QString(300, QLatin1Char('x'));
    label.setText(text);
    EXPECT_EQ(label.textFormat(), Qt::PlainText);
    EXPECT_LE(label.sizeHint().width(),
              label.fontMetrics().averageCharWidth() * ElidingLabel::kPreferredChars);
    label.resize(200, label.sizeHint().height());
    EXPECT_TRUE(label.IsElided());
    EXPECT_EQ(label.text(), text);
    label.setText(QStringLiteral("short"));
    EXPECT_FALSE(label.IsElided());

    // Tool tips: markup is escaped; a plain text, "&" and all, is left alone.
    QString tip = PlainToolTip(QStringLiteral("The <table> tag & more"));
    EXPECT_TRUE(Qt::mightBeRichText(tip));
    QTextDocument shown;
    shown.setHtml(tip);
    EXPECT_EQ(shown.toPlainText(), QStringLiteral("The <table> tag & more"));
    EXPECT_EQ(PlainToolTip(QStringLiteral("Undo Delete 'R&D'")),
              QStringLiteral("Undo Delete 'R&D'"));
}

TEST(ScreenFit, AWindowWiderThanTheWorkAreaIsShrunkAndMovedIntoIt) {
    App();
    QWidget window;
    QRect area = DialogPlacement::WorkArea(&window);
    ASSERT_FALSE(area.isEmpty());
    window.setGeometry(area.left() + 100, area.top() + 50, area.width() * 3, 200);
    window.show();
    KeepWithinWorkArea(window);
    EXPECT_LE(window.frameGeometry().width(), area.width());
    EXPECT_TRUE(area.contains(window.frameGeometry())) << window.frameGeometry().x();
    EXPECT_EQ(window.height(), 200);
}
