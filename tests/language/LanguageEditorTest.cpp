#include "ScriptedDialogs.h"
#include "ShownText.h"
#include "TestFiles.h"
#include "WidgetTestApp.h"
#include "language/LanguageFile.h"
#include "language/ui/LangPageA.h"
#include "language/ui/LangPageB.h"
#include "language/ui/LangPropSheet.h"
#include "language/ui/LanguageCommands.h"
#include "language/ui/SaveLanguageDialog.h"
#include "platform/DialogPlacement.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QScrollBar>
#include <QTabWidget>
#include <QTimer>

#include <gtest/gtest.h>

#include <system_error>

#include <filesystem>
#include <functional>

using namespace tamblin;
using Answer = DialogService::Answer;

namespace {

QApplication& App() {
    return test::WidgetTestApp();
}

// Acts on the first visible top-level widget of type T as soon as a modal loop shows one;
// stops with the test, so an unanswered dialog never leaks into the next test.
template <typename T> class WhenShown {
public:
    explicit WhenShown(std::function<void(T*)> action) : m_action(std::move(action)) {
        m_timer.setInterval(0);
        QObject::connect(&m_timer, &QTimer::timeout, &m_timer, [this] { Poll(); });
        m_timer.start();
    }
    int m_seen = 0;

private:
    void Poll() {
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            auto* target = qobject_cast<T*>(widget);
            if (target && target->isVisible()) {
                ++m_seen;
                m_action(target);
                return;
            }
        }
    }

    std::function<void(T*)> m_action;
    QTimer m_timer;
};

// Answers "Save Language File" with one of its buttons, noting what it showed.
struct SaveAnswer {
    explicit SaveAnswer(const char* button)
        : m_when([this, button](SaveLanguageDialog* dialog) {
              m_prompt = dialog->findChild<QLabel*>(QStringLiteral("prompt"))->text();
              m_path = dialog->findChild<QLabel*>(QStringLiteral("path"))->text();
              auto* save = dialog->findChild<QPushButton*>(QStringLiteral("saveButton"));
              m_saveEnabled = save->isEnabled();
              dialog->findChild<QPushButton*>(QString::fromLatin1(button))->click();
          }) {}
    QString m_prompt;
    QString m_path;
    bool m_saveEnabled = false;
    WhenShown<SaveLanguageDialog> m_when;
};

QString Q(const std::string& text) {
    return QString::fromStdString(text);
}

std::string DefaultBytesWith(const std::string& description, int changed, const std::string& text) {
    std::string bytes = "2;1\r\n" + description + "\r\n";
    for (int i = 0; i < LanguageFile::kTextCount; ++i) {
        bytes += (i == changed ? text : std::string(LanguageFile::kDefaults[i])) + "\r\n";
    }
    return bytes;
}

LanguageFile ReadFile(const std::string& path) {
    LanguageFile file;
    file.Read(path);
    return file;
}

QListWidget* List(LangPropSheet& sheet, const char* name) {
    return sheet.findChild<QListWidget*>(QString::fromLatin1(name));
}

QStringList MessageTexts(const ScriptedDialogs& dialogs) {
    QStringList texts;
    for (const auto& message : dialogs.m_messages) {
        texts << message.text;
    }
    return texts;
}

class LanguageEditor : public ::testing::Test {
protected:
    void SetUp() override { App(); }
    TestFiles m_files;
    ScriptedDialogs m_dialogs;
};

} // namespace

TEST_F(LanguageEditor, NewFileSavedAsWritesExactlyTheFormatDescriptionAndTexts) {
    LangPropSheet sheet(LanguageFile{});
    sheet.show();
    EXPECT_EQ(sheet.windowTitle(), QStringLiteral("Language definition"));
    EXPECT_EQ(sheet.Pages()->tabText(0), QStringLiteral("General"));
    EXPECT_EQ(sheet.Pages()->tabText(1), QStringLiteral("Edit"));
    sheet.findChild<QLineEdit*>(QStringLiteral("description"))->setText(QStringLiteral("English"));
    sheet.PageB()->SelectLine(4);
    sheet.PageB()->EditBox()->setText(QStringLiteral("Stichwortverzeichnis"));

    std::string path = m_files.Path("en.xol");
    m_dialogs.m_files = {Q(path)};
    SaveAnswer answer("saveAsButton");
    sheet.accept();

    EXPECT_EQ(answer.m_prompt, QStringLiteral("Select a filename to Save As..."));
    EXPECT_EQ(answer.m_path, QString());
    EXPECT_FALSE(answer.m_saveEnabled);
    ASSERT_EQ(m_dialogs.m_fileRequests.size(), 1);
    const auto& request = m_dialogs.m_fileRequests[0];
    EXPECT_FALSE(request.open);
    EXPECT_EQ(request.title, QStringLiteral("Save language file as"));
    EXPECT_EQ(request.defaultExtension, QStringLiteral("xol"));
    EXPECT_EQ(request.filter,
              QStringLiteral("Navora language files (*.xol)|*.xol|All Files (*.*)|*.*||"));
    EXPECT_TRUE(m_dialogs.m_messages.isEmpty())
        << MessageTexts(m_dialogs).join(u'\n').toStdString();
    EXPECT_EQ(sheet.result(), QDialog::Accepted);
    EXPECT_EQ(TestFiles::Read(path), DefaultBytesWith("English", 4, "Stichwortverzeichnis"));
}

TEST_F(LanguageEditor, OkChecksComeInOrderAndKeepTheSheetOpen) {
    LangPropSheet sheet(LanguageFile{});
    sheet.show();
    sheet.accept();
    EXPECT_EQ(MessageTexts(m_dialogs),
              QStringList{QStringLiteral("You need to fill in the Edit language property page!")});

    sheet.PageB()->SelectLine(0); // selecting a line counts as editing the page
    sheet.accept();
    EXPECT_EQ(m_dialogs.m_messages.last().text, QStringLiteral("You need to give a description"));
    EXPECT_EQ(sheet.Pages()->currentWidget(), sheet.PageA());

    sheet.PageA()->DescriptionEdit()->setText(QStringLiteral("English"));
    sheet.PageB()->SelectLine(14);
    sheet.PageB()->EditBox()->clear();
    sheet.PageB()->SelectLine(2);
    sheet.accept();
    EXPECT_EQ(m_dialogs.m_messages.last().text, QStringLiteral("Blank lines not allowed!"));
    EXPECT_EQ(m_dialogs.m_messages.size(), 3);
    EXPECT_EQ(sheet.Pages()->currentWidget(), sheet.PageB());
    EXPECT_EQ(List(sheet, "labelList")->currentRow(), 14);
    EXPECT_EQ(List(sheet, "textList")->currentRow(), 14);
    EXPECT_EQ(sheet.PageB()->SelectedLine(), 14);
    EXPECT_TRUE(sheet.isVisible());
    EXPECT_EQ(sheet.File().m_texts[14], "Click to see help index"); // nothing taken yet
}

TEST_F(LanguageEditor, FifteenthLabelSelectsFifteenthTextAndEditsOnlyIt) {
    LangPropSheet sheet(LanguageFile{});
    sheet.show();
    QListWidget* labels = List(sheet, "labelList");
    QListWidget* texts = List(sheet, "textList");
    // The applet's 19, then the script viewer's own with their defaults.
    ASSERT_EQ(labels->count(), 19 + LanguageFile::kViewerTextCount);
    ASSERT_EQ(texts->count(), 19 + LanguageFile::kViewerTextCount);
    EXPECT_EQ(labels->item(19)->text(), QStringLiteral("Viewer: No keyword begins with \"%1\""));
    labels->setCurrentRow(14);
    EXPECT_EQ(texts->currentRow(), 14);
    EXPECT_EQ(sheet.PageB()->EditBox()->text(), QStringLiteral("Click to see help index"));
    sheet.PageB()->EditBox()->setText(QStringLiteral("Hilfe"));
    QStringList expected;
    for (const char* text : LanguageFile::kDefaults) {
        expected << QString::fromLatin1(text);
    }
    for (const char* text : LanguageFile::kViewerDefaults) {
        expected << QString::fromLatin1(text);
    }
    expected[14] = QStringLiteral("Hilfe");
    EXPECT_EQ(sheet.PageB()->Texts(), expected);

    texts->setCurrentRow(2);
    EXPECT_EQ(labels->currentRow(), 2);
    EXPECT_EQ(sheet.PageB()->EditBox()->text(), QStringLiteral("Pages: "));
}

TEST_F(LanguageEditor, ListsScrollTogether) {
    LangPropSheet sheet(LanguageFile{});
    sheet.resize(400, 260); // fewer than 19 lines fit
    sheet.show();
    sheet.Pages()->setCurrentWidget(sheet.PageB());
    QListWidget* labels = List(sheet, "labelList");
    QListWidget* texts = List(sheet, "textList");
    ASSERT_GT(texts->verticalScrollBar()->maximum(), 0);
    texts->verticalScrollBar()->setValue(5);
    EXPECT_EQ(labels->verticalScrollBar()->value(), 5);
    labels->setCurrentRow(18);
    EXPECT_GT(labels->verticalScrollBar()->value(), 5);
    EXPECT_EQ(texts->verticalScrollBar()->value(), labels->verticalScrollBar()->value());
}

TEST_F(LanguageEditor, SecondOkAfterARefusalWritesEachTextOnce) {
    std::string path = m_files.Write("de.xol", DefaultBytesWith("Deutsch", 0, "Suche: "));
    LangPropSheet sheet(ReadFile(path));
    sheet.show();
    sheet.PageA()->DescriptionEdit()->clear();
    sheet.accept();
    EXPECT_EQ(MessageTexts(m_dialogs),
              QStringList{QStringLiteral("You need to give a description")});
    sheet.PageA()->DescriptionEdit()->setText(QStringLiteral("Deutsch"));
    SaveAnswer answer("saveButton");
    sheet.accept();
    EXPECT_EQ(answer.m_prompt, QStringLiteral("OK to save language file as:"));
    EXPECT_EQ(answer.m_path, Q(path));
    EXPECT_TRUE(answer.m_saveEnabled);
    EXPECT_TRUE(m_dialogs.m_fileRequests.isEmpty());
    EXPECT_EQ(sheet.result(), QDialog::Accepted);
    EXPECT_EQ(TestFiles::Read(path), DefaultBytesWith("Deutsch", 0, "Suche: "));
}

// A file of the applet's days is saved without the viewer's texts until one is changed;
// then it holds them up to that one.
TEST_F(LanguageEditor, TheViewersTextsAreWrittenOnlyOnceChanged) {
    std::string path = m_files.Write("de.xol", DefaultBytesWith("Deutsch", 0, "Suche: "));
    LangPropSheet sheet(ReadFile(path));
    sheet.show();
    sheet.PageB()->SelectLine(LanguageFile::kTextCount + 1);
    sheet.PageB()->EditBox()->setText(QStringLiteral("Kein Stichwort enth\u00e4lt \"%1\""));
    SaveAnswer answer("saveButton");
    sheet.accept();
    EXPECT_EQ(sheet.result(), QDialog::Accepted);
    EXPECT_EQ(TestFiles::Read(path), DefaultBytesWith("Deutsch", 0, "Suche: ") +
                                         LanguageFile::kViewerDefaults[0] +
                                         "\r\nKein Stichwort enth\xc3\xa4lt \"%1\"\r\n");
}

TEST_F(LanguageEditor, SaveAsUsesTheNewNameFromThenOn) {
    std::string old = m_files.Write("a.xol", DefaultBytesWith("A", 1, "x"));
    LangPropSheet sheet(ReadFile(old));
    sheet.show();
    std::string renamed = m_files.Path("b.xol");
    m_dialogs.m_files = {Q(renamed)};
    SaveAnswer answer("saveAsButton");
    sheet.accept();
    ASSERT_EQ(m_dialogs.m_fileRequests.size(), 1);
    EXPECT_EQ(m_dialogs.m_fileRequests[0].path, Q(old));
    EXPECT_EQ(sheet.File().m_path, renamed);
    EXPECT_EQ(sheet.findChild<QLabel*>(QStringLiteral("fileName"))->text(), Q(renamed));
    EXPECT_EQ(TestFiles::Read(renamed), DefaultBytesWith("A", 1, "x"));
    EXPECT_EQ(TestFiles::Read(old), DefaultBytesWith("A", 1, "x"));
}

TEST_F(LanguageEditor, CancelledNameOrFailedWriteKeepsTheSheetAndTheTexts) {
    LangPropSheet sheet(LanguageFile{});
    sheet.show();
    sheet.PageA()->DescriptionEdit()->setText(QStringLiteral("English"));
    sheet.PageB()->SelectLine(7);
    sheet.PageB()->EditBox()->setText(QStringLiteral("Quit"));
    {
        SaveAnswer answer("saveAsButton"); // no file scripted: the save-file dialog is cancelled
        sheet.accept();
    }
    EXPECT_TRUE(sheet.isVisible());
    EXPECT_NE(sheet.result(), QDialog::Accepted);
    EXPECT_FALSE(sheet.File().m_existed);
    EXPECT_EQ(sheet.PageB()->Texts()[7], QStringLiteral("Quit"));

    std::string unwritable = m_files.Path("missing-dir/en.xol");
    m_dialogs.m_files = {Q(unwritable)};
    {
        SaveAnswer answer("saveAsButton");
        sheet.accept();
    }
    EXPECT_EQ(MessageTexts(m_dialogs),
              QStringList{QStringLiteral("Unable to write to language file (") + Q(unwritable) +
                          QStringLiteral("): ") +
                          Q(std::make_error_code(std::errc::no_such_file_or_directory).message())});
    EXPECT_TRUE(sheet.isVisible());
    EXPECT_EQ(sheet.PageB()->Texts()[7], QStringLiteral("Quit"));

    {
        SaveAnswer answer("cancelButton");
        sheet.accept();
        EXPECT_EQ(answer.m_path, Q(unwritable)); // the chosen name is kept for the next try
    }
    EXPECT_TRUE(sheet.isVisible());
}

TEST_F(LanguageEditor, CancelAsksBeforeDiscardingAndTheCloseBoxIsRefused) {
    LangPropSheet sheet(LanguageFile{});
    sheet.show();
    sheet.close();
    EXPECT_TRUE(sheet.isVisible());
    EXPECT_TRUE(m_dialogs.m_messages.isEmpty());

    m_dialogs.m_answers = {Answer::Cancel, Answer::Ok};
    sheet.reject();
    ASSERT_EQ(m_dialogs.m_messages.size(), 1);
    EXPECT_EQ(m_dialogs.m_messages[0].text, QStringLiteral("OK to disregard modifications made?"));
    EXPECT_EQ(m_dialogs.m_messages[0].buttons, DialogService::Buttons::OkCancel);
    EXPECT_TRUE(sheet.isVisible());
    sheet.reject();
    EXPECT_FALSE(sheet.isVisible());
    EXPECT_EQ(sheet.result(), QDialog::Rejected);
}

TEST_F(LanguageEditor, Windows1252TextsShowDecodedAndUntouchedOnesKeepTheirBytes) {
    std::string bytes = DefaultBytesWith("Fran\xe7"
                                         "ais",
                                         0, "Chercher\xa0: ");
    bytes.replace(bytes.find("Index\r\n"), 7, "Index \x80 \x81\r\n");
    std::string path = m_files.Write("fr.xol", bytes);
    LangPropSheet sheet(ReadFile(path));
    sheet.show();
    EXPECT_EQ(sheet.PageA()->Description(), QStringLiteral("Fran\u00e7ais"));
    EXPECT_EQ(sheet.PageB()->Texts()[4], QStringLiteral("Index \u20ac \u0081"));
    {
        SaveAnswer answer("saveButton");
        sheet.accept();
    }
    EXPECT_EQ(sheet.result(), QDialog::Accepted);
    EXPECT_EQ(TestFiles::Read(path), bytes);

    LangPropSheet again(ReadFile(path));
    again.show();
    again.PageB()->SelectLine(5);
    again.PageB()->EditBox()->setText(QStringLiteral("S\u00e9lection \u2014 \u4e2d"));
    m_dialogs.m_answers = {DialogService::Answer::No}; // keep Windows-1252, "?" and all
    {
        SaveAnswer answer("saveButton");
        again.accept();
    }
    ASSERT_EQ(m_dialogs.m_messages.size(), 1);
    EXPECT_EQ(m_dialogs.m_messages[0].buttons, DialogService::Buttons::YesNoCancel);
    std::string expected = bytes;
    expected.replace(expected.find("Select\r\n"), 8, "S\xe9lection \x97 ?\r\n");
    EXPECT_EQ(TestFiles::Read(path), expected);
}

TEST_F(LanguageEditor, TextsWindows1252CannotHoldAreOfferedUtf8BeforeSaving) {
    std::string bytes = DefaultBytesWith("Fran\xe7"
                                         "ais",
                                         0, "Chercher : ");
    std::string path = m_files.Write("fr.xol", bytes);
    LangPropSheet sheet(ReadFile(path));
    sheet.show();
    sheet.PageB()->SelectLine(5);
    sheet.PageB()->EditBox()->setText(QStringLiteral("\u4e2d"));
    m_dialogs.m_answers = {DialogService::Answer::Cancel};
    sheet.accept();
    EXPECT_TRUE(sheet.isVisible());
    EXPECT_EQ(TestFiles::Read(path), bytes);
    m_dialogs.m_answers = {DialogService::Answer::Yes};
    {
        SaveAnswer answer("saveButton");
        sheet.accept();
    }
    EXPECT_EQ(sheet.result(), QDialog::Accepted);
    // Every text in UTF-8, the untouched ones too: one encoding per file.
    std::string written = TestFiles::Read(path);
    EXPECT_NE(written.find("Fran\xc3\xa7"
                           "ais\r\n"),
              std::string::npos);
    EXPECT_NE(written.find("\xe4\xb8\xad\r\n"), std::string::npos);
    EXPECT_EQ(written.find("\xe7"), std::string::npos);
}

TEST_F(LanguageEditor, Utf8FilesStayUtf8) {
    std::string path = m_files.Write("u.xol", DefaultBytesWith("Fran\xc3\xa7"
                                                               "ais",
                                                               3, "Inhalt"));
    LangPropSheet sheet(ReadFile(path));
    sheet.show();
    EXPECT_EQ(sheet.PageA()->Description(), QStringLiteral("Fran\u00e7ais"));
    sheet.PageB()->SelectLine(3);
    sheet.PageB()->EditBox()->setText(QStringLiteral("\u00dcbersicht"));
    SaveAnswer answer("saveButton");
    sheet.accept();
    EXPECT_EQ(TestFiles::Read(path), DefaultBytesWith("Fran\xc3\xa7"
                                                      "ais",
                                                      3,
                                                      "\xc3\x9c"
                                                      "bersicht"));
}

TEST_F(LanguageEditor, OpenCommandCancelledDoesNothing) {
    LanguageCommands::OpenLanguageFile(nullptr);
    ASSERT_EQ(m_dialogs.m_fileRequests.size(), 1);
    const auto& request = m_dialogs.m_fileRequests[0];
    EXPECT_TRUE(request.open);
    EXPECT_EQ(request.title, QStringLiteral("Open language file"));
    EXPECT_EQ(request.path, QString());
    EXPECT_EQ(request.defaultExtension, QStringLiteral("xol"));
    EXPECT_TRUE(m_dialogs.m_messages.isEmpty());
}

TEST_F(LanguageEditor, OpenCommandReportsAWrongFormatAndSavesItAs21) {
    std::string bytes = DefaultBytesWith("Old", 0, "Look: ");
    std::string path = m_files.Write("old.xol", "\r\n1;9\r\n\r\n" + bytes.substr(5));
    m_dialogs.m_files = {Q(path)};
    QString shownFormat;
    SaveAnswer answer("saveButton");
    WhenShown<LangPropSheet> editor([&](LangPropSheet* sheet) {
        shownFormat = sheet->findChild<QLabel*>(QStringLiteral("format"))->text();
        sheet->accept();
    });
    LanguageCommands::OpenLanguageFile(nullptr);
    EXPECT_EQ(MessageTexts(m_dialogs),
              QStringList{QStringLiteral("Invalid format - changing to \"2;1\"")});
    EXPECT_EQ(shownFormat, QStringLiteral("2;1"));
    EXPECT_EQ(TestFiles::Read(path), bytes);
}

TEST_F(LanguageEditor, AFileThatCannotBeReadIsToldAndNotOpenedAsNew) {
    std::string folder = m_files.Path("folder.xol");
    std::filesystem::create_directories(folder);
    m_dialogs.m_files = {Q(folder)};
    LanguageCommands::OpenLanguageFile(nullptr);
    EXPECT_EQ(MessageTexts(m_dialogs),
              QStringList{QStringLiteral("Could not open file (%1)").arg(Q(folder))});
    for (QWidget* window : QApplication::topLevelWidgets()) {
        EXPECT_EQ(qobject_cast<LangPropSheet*>(window), nullptr);
    }
}

TEST_F(LanguageEditor, NewCommandCancelledAsksAndWritesNothing) {
    WhenShown<LangPropSheet> editor([](LangPropSheet* sheet) { sheet->reject(); });
    LanguageCommands::NewLanguageFile(nullptr);
    EXPECT_EQ(MessageTexts(m_dialogs),
              QStringList{QStringLiteral("OK to disregard modifications made?")});
    EXPECT_TRUE(m_dialogs.m_fileRequests.isEmpty());
}

TEST_F(LanguageEditor, ATextWithALineBreakIsRefusedBeforeAnythingIsAsked) {
    std::string path = m_files.Write("en.xol", DefaultBytesWith("English", 0, "Look for: "));
    LangPropSheet sheet(ReadFile(path));
    sheet.show();
    sheet.PageB()->SelectLine(6);
    sheet.PageB()->EditBox()->setText(QStringLiteral("two\nlines"));
    sheet.accept();
    ASSERT_EQ(m_dialogs.m_messages.size(), 1);
    EXPECT_TRUE(m_dialogs.m_messages[0].text.contains(QStringLiteral("About tab name")));
    EXPECT_TRUE(m_dialogs.m_messages[0].text.contains(QStringLiteral("line break")));
    EXPECT_TRUE(sheet.isVisible());
    EXPECT_EQ(TestFiles::Read(path), DefaultBytesWith("English", 0, "Look for: "));
}

// A path is shown as it is, never as markup, and a long one does not widen the windows.
TEST_F(LanguageEditor, PathsShowAsWrittenWithinTheScreen) {
    std::string name = "<b>x</b> & " + std::string(200, 'n') + ".xol";
    std::string path = m_files.Write(name, DefaultBytesWith("A", 1, "x"));
    LangPropSheet sheet(ReadFile(path));
    sheet.show();
    int room = DialogPlacement::WorkArea(&sheet).width();
    EXPECT_EQ(test::LabelsShowLiterally(sheet, {Q(path)}), QString());
    EXPECT_LE(sheet.sizeHint().width(), room);
    test::SavePngIfAsked(sheet, QStringLiteral("language-editor-path"));
    SaveLanguageDialog save(Q(path));
    save.show();
    EXPECT_EQ(test::LabelsShowLiterally(save, {Q(path)}), QString());
    EXPECT_LE(save.sizeHint().width(), room);
}
