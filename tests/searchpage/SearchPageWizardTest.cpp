#include "searchpage/ui/SearchPageWizard.h"
#include "FakeCommandHost.h"
#include "ScriptedDialogs.h"
#include "TestFiles.h"
#include "WidgetTestApp.h"
#include "searchpage/SearchPageText.h"
#include "searchpage/ui/AdvancedIndexParameterDialog.h"
#include "searchpage/ui/SearchPageCommands.h"
#include "testpage/ui/CTestDialog.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include <gtest/gtest.h>

#include <filesystem>

using namespace tamblin;
using Answer = DialogService::Answer;

namespace {

QApplication& App() {
    return test::WidgetTestApp();
}

template <typename T> T* Find(QWidget* parent, const char* name) {
    T* found = parent->findChild<T*>(QString::fromLatin1(name));
    EXPECT_NE(found, nullptr) << name;
    return found;
}

// A site directory with an index file, and the wizard on the defaults for it.
struct WizardFixture {
    WizardFixture() : host(files.Path("settings.ini")) {
        App();
        std::filesystem::create_directories(files.Path("site"));
        std::filesystem::create_directories(files.Path("other"));
        site = files.Path("site") + "/";
        index = files.Write("site/MySite.xo", "XO0;2;1;1\r\n");
        host.m_indexPath = QString::fromStdString(index);
        settings = SearchPageCommands::DefaultSettings(host);
        wizard = std::make_unique<SearchPageWizard>(settings);
        wizard->show();
    }
    bool NextEnabled() const { return wizard->button(QWizard::NextButton)->isEnabled(); }
    void Next() { wizard->button(QWizard::NextButton)->click(); }
    QWidget* Page() const { return wizard->currentPage(); }
    QStringList Lines() {
        auto* list = Find<QListWidget>(Page(), "entries");
        QStringList lines;
        for (int i = 0; i < list->count(); ++i) {
            lines << list->item(i)->text();
        }
        return lines;
    }
    void TypeInto(const char* name, const QString& text) {
        auto* edit = Find<QLineEdit>(Page(), name);
        edit->selectAll();
        QTest::keyClicks(edit, text);
    }

    TestFiles files;
    FakeCommandHost host;
    std::string site;
    std::string index;
    SearchPageSettings settings;
    std::unique_ptr<SearchPageWizard> wizard;
};

} // namespace

TEST(SearchPageWizard, DefaultsForAnIndexNeverSaved) {
    App();
    TestFiles files;
    FakeCommandHost host(files.Path("settings.ini"));
    SearchPageSettings settings = SearchPageCommands::DefaultSettings(host);
    EXPECT_EQ(settings.pagePath, "Search.html");
    EXPECT_EQ(settings.homePage, kDefaultNavoraHomePage);
    host.Settings().setValue(QStringLiteral("Settings/NavoraHomePage"),
                             QStringLiteral("http://x/"));
    EXPECT_EQ(SearchPageCommands::DefaultSettings(host).homePage, "http://x/");

    SearchPageWizard wizard(settings);
    wizard.show();
    wizard.button(QWizard::NextButton)->click();
    ASSERT_EQ(wizard.currentId(), SearchPageWizard::kIndices);
    auto* list = Find<QListWidget>(wizard.currentPage(), "entries");
    EXPECT_EQ(list->item(0)->text(), QStringLiteral(",,,,,en"));
    EXPECT_FALSE(wizard.button(QWizard::NextButton)->isEnabled());
    EXPECT_TRUE(wizard.button(QWizard::BackButton)->isEnabled());
}

TEST(SearchPageWizard, LocationNeedsTextAndAsksBeforeOverwriting) {
    WizardFixture f;
    ScriptedDialogs dialogs;
    EXPECT_FALSE(f.wizard->button(QWizard::BackButton)->isVisible());
    EXPECT_TRUE(f.NextEnabled());
    Find<QLineEdit>(f.Page(), "location")->selectAll();
    QTest::keyClick(Find<QLineEdit>(f.Page(), "location"), Qt::Key_Backspace);
    EXPECT_FALSE(f.NextEnabled());

    std::string existing = f.files.Write("site/Old.html", "old");
    f.TypeInto("location", QString::fromStdString(existing));
    dialogs.m_answers << Answer::Cancel << Answer::Ok;
    f.Next();
    EXPECT_EQ(f.wizard->currentId(), SearchPageWizard::kLocation);
    ASSERT_EQ(dialogs.m_messages.size(), 1);
    EXPECT_EQ(dialogs.m_messages[0].text.toStdString(),
              "File (" + existing + ") already exists.  Is OK to overwrite it?");
    f.Next();
    EXPECT_EQ(f.wizard->currentId(), SearchPageWizard::kIndices);
    EXPECT_EQ(f.wizard->PageDirectory(), f.site);
    EXPECT_EQ(f.settings.pagePath, existing);
}

TEST(SearchPageWizard, BrowsingToAnExistingPageDoesNotAskTwice) {
    WizardFixture f;
    ScriptedDialogs dialogs;
    std::string existing = f.files.Write("site/Old.html", "old");
    dialogs.m_files << QString::fromStdString(existing);
    Find<QPushButton>(f.Page(), "browse")->click();
    ASSERT_EQ(dialogs.m_fileRequests.size(), 1);
    EXPECT_FALSE(dialogs.m_fileRequests[0].open);
    EXPECT_EQ(dialogs.m_fileRequests[0].title, QStringLiteral("New web page"));
    f.Next();
    EXPECT_TRUE(dialogs.m_messages.isEmpty());
    EXPECT_EQ(f.wizard->currentId(), SearchPageWizard::kIndices);
}

TEST(SearchPageWizard, IndexFilesMustLieInThePageDirectory) {
    WizardFixture f;
    ScriptedDialogs dialogs;
    f.Next();
    EXPECT_EQ(f.Lines(), QStringList{QStringLiteral("MySite.xo,,,,,en")});
    EXPECT_TRUE(f.NextEnabled());
    f.wizard->back();

    // A page in another directory makes the default entry invalid until one is named there.
    f.TypeInto("location", QString::fromStdString(f.files.Path("other/Search.html")));
    f.Next();
    EXPECT_FALSE(f.NextEnabled());
    f.files.Write("other/MySite.xo", "XO0;2;1;1\r\n");
    Find<QPushButton>(f.Page(), "delete")->click();
    EXPECT_TRUE(f.Lines().isEmpty());
    EXPECT_FALSE(Find<QPushButton>(f.Page(), "edit")->isEnabled());
    EXPECT_FALSE(f.NextEnabled());
    Find<QPushButton>(f.Page(), "add")->click();
    EXPECT_EQ(f.Lines(), QStringList{QStringLiteral(",,,,,en")});
    f.TypeInto("indexFile", QStringLiteral("MySite.xo"));
    EXPECT_EQ(f.Lines(), QStringList{QStringLiteral("MySite.xo,,,,,en")});
    EXPECT_EQ(f.settings.indexParameters[0].indexFile, f.files.Path("other/MySite.xo"));
    EXPECT_TRUE(f.NextEnabled());
    f.TypeInto("indexFile", QStringLiteral("Missing.xo"));
    EXPECT_FALSE(f.NextEnabled());
    EXPECT_TRUE(dialogs.m_messages.isEmpty()); // validation only enables
}

TEST(SearchPageWizard, BrowseChecksTheChosenFile) {
    WizardFixture f;
    ScriptedDialogs dialogs;
    f.Next();
    std::string elsewhere = f.files.Write("other/Else.xo", "x");
    dialogs.m_files << QString::fromStdString(elsewhere)
                    << QString::fromStdString(f.site + "Gone.xo");
    Find<QPushButton>(f.Page(), "browse")->click();
    EXPECT_EQ(dialogs.m_fileRequests[0].title, QStringLiteral("Select Navora file"));
    EXPECT_EQ(dialogs.m_fileRequests[0].path.toStdString(), f.index);
    ASSERT_EQ(dialogs.m_messages.size(), 1);
    EXPECT_EQ(dialogs.m_messages[0].text.toStdString(),
              "File\t" + elsewhere + "\nmust be in the same directory as the web page\n\t" +
                  f.site);
    EXPECT_FALSE(f.NextEnabled());
    Find<QPushButton>(f.Page(), "browse")->click();
    ASSERT_EQ(dialogs.m_messages.size(), 2);
    EXPECT_EQ(dialogs.m_messages[1].text.toStdString(),
              "File (" + f.site + "Gone.xo) does not exist");
}

TEST(SearchPageWizard, SpinMovesEntriesWithinTheList) {
    WizardFixture f;
    f.Next();
    auto* spin = Find<QWidget>(f.Page(), "spin");
    EXPECT_FALSE(spin->isEnabled());
    Find<QPushButton>(f.Page(), "add")->click();
    f.TypeInto("indexFile", QStringLiteral("B.xo"));
    EXPECT_TRUE(spin->isEnabled());
    auto* list = Find<QListWidget>(f.Page(), "entries");
    auto* up = Find<QToolButton>(f.Page(), "spinUp");
    auto* down = Find<QToolButton>(f.Page(), "spinDown");
    down->click(); // the last cannot go further down
    EXPECT_EQ(f.Lines().last(), QStringLiteral("B.xo,,,,,en"));
    up->click();
    EXPECT_EQ(f.Lines(),
              (QStringList{QStringLiteral("B.xo,,,,,en"), QStringLiteral("MySite.xo,,,,,en")}));
    EXPECT_EQ(list->currentRow(), 0);
    up->click(); // nor the first further up
    EXPECT_EQ(f.Lines().first(), QStringLiteral("B.xo,,,,,en"));
    EXPECT_EQ(f.settings.indexParameters[0].indexFile, f.site + "B.xo");
}

TEST(SearchPageWizard, LanguageRadiosSetAndShowTheEntrysLanguage) {
    WizardFixture f;
    f.Next();
    EXPECT_TRUE(Find<QRadioButton>(f.Page(), "english")->isChecked());
    Find<QRadioButton>(f.Page(), "french")->click();
    EXPECT_EQ(f.Lines(), QStringList{QStringLiteral("MySite.xo,french2.xol,,,,fr")});
    EXPECT_FALSE(Find<QRadioButton>(f.Page(), "english")->isChecked());
    Find<QRadioButton>(f.Page(), "german")->click();
    EXPECT_EQ(f.settings.indexParameters[0].languageFile, "german2.xol");
    EXPECT_EQ(f.settings.indexParameters[0].languageCode, "de");
    // A combination none of the radios stands for shows none of them.
    f.settings.indexParameters[0].languageCode = "fr";
    f.wizard->back();
    f.Next();
    for (const char* name : {"english", "french", "german"}) {
        EXPECT_FALSE(Find<QRadioButton>(f.Page(), name)->isChecked()) << name;
    }
}

TEST(AdvancedIndexParameter, EnablingRulesCodesAndOk) {
    App();
    ScriptedDialogs dialogs;
    IndexParameter entry;
    entry.indexFile = "/site/MySite.xo";
    AdvancedIndexParameterDialog dialog(entry, "/site/");
    EXPECT_EQ(Find<QLineEdit>(&dialog, "indexUrl")->text(), QStringLiteral("MySite.xo"));
    auto* noContents = Find<QCheckBox>(&dialog, "noContents");
    auto* noIndex = Find<QCheckBox>(&dialog, "noIndex");
    auto* selected = Find<QCheckBox>(&dialog, "indexSelected");
    noContents->click();
    EXPECT_FALSE(Find<QCheckBox>(&dialog, "sort")->isEnabled());
    EXPECT_FALSE(Find<QCheckBox>(&dialog, "expanded")->isEnabled());
    EXPECT_FALSE(selected->isEnabled());
    noContents->click();
    EXPECT_TRUE(selected->isEnabled());
    noIndex->click();
    EXPECT_FALSE(selected->isEnabled());
    EXPECT_TRUE(Find<QCheckBox>(&dialog, "sort")->isEnabled());

    auto* language = Find<QComboBox>(&dialog, "languageCode");
    language->lineEdit()->selectAll();
    QTest::keyClicks(language->lineEdit(), QStringLiteral("FRX"));
    EXPECT_EQ(language->currentText(), QStringLiteral("fr"));
    auto* country = Find<QComboBox>(&dialog, "countryCode");
    QTest::keyClicks(country->lineEdit(), QStringLiteral("ca"));
    EXPECT_EQ(country->currentText(), QStringLiteral("CA"));
    QTest::keyClicks(Find<QLineEdit>(&dialog, "languageUrl"), QStringLiteral("fr.xol"));
    dialog.accept();
    const IndexParameter& result = dialog.Parameter();
    EXPECT_EQ(result.languageFile, "/site/fr.xol");
    EXPECT_EQ(result.languageCode, "fr");
    EXPECT_EQ(result.countryCode, "CA");
    EXPECT_TRUE(result.noIndex);
    EXPECT_FALSE(result.noContents);
}

TEST(AdvancedIndexParameter, ClearingTheLanguageUrlLeavesNoLanguageFile) {
    App();
    ScriptedDialogs dialogs;
    IndexParameter entry;
    entry.indexFile = "/site/MySite.xo";
    entry.languageFile = "/site/fr.xol";
    AdvancedIndexParameterDialog dialog(entry, "/site/");
    auto* url = Find<QLineEdit>(&dialog, "languageUrl");
    EXPECT_EQ(url->text(), QStringLiteral("fr.xol"));
    url->setFocus();
    url->selectAll();
    QTest::keyClick(url, Qt::Key_Backspace);
    dialog.accept();
    EXPECT_EQ(dialog.Parameter().languageFile, "");
}

TEST(SearchPageWizard, RunModeSizesEnablingAndRanges) {
    WizardFixture f;
    ScriptedDialogs dialogs;
    f.Next();
    f.Next();
    ASSERT_EQ(f.wizard->currentId(), SearchPageWizard::kRunMode);
    auto* width = Find<QLineEdit>(f.Page(), "width");
    auto* height = Find<QLineEdit>(f.Page(), "height");
    EXPECT_EQ(width->text(), QStringLiteral("400"));
    EXPECT_EQ(height->text(), QStringLiteral("300"));
    EXPECT_FALSE(Find<QCheckBox>(f.Page(), "popUp")->isEnabled());
    Find<QRadioButton>(f.Page(), "iconMode")->click();
    EXPECT_EQ(width->text(), QStringLiteral("70"));
    EXPECT_EQ(height->text(), QStringLiteral("80"));
    EXPECT_TRUE(Find<QCheckBox>(f.Page(), "popUp")->isEnabled());
    EXPECT_TRUE(Find<QLineEdit>(f.Page(), "minWindowHeight")->isEnabled());
    Find<QRadioButton>(f.Page(), "partOfPage")->click();
    EXPECT_EQ(width->text(), QStringLiteral("300"));
    EXPECT_EQ(height->text(), QStringLiteral("400"));
    EXPECT_FALSE(Find<QCheckBox>(f.Page(), "closeAfterDisplay")->isEnabled());

    width->setText(QStringLiteral("49"));
    f.Next();
    EXPECT_EQ(f.wizard->currentId(), SearchPageWizard::kRunMode);
    ASSERT_EQ(dialogs.m_messages.size(), 1);
    EXPECT_EQ(dialogs.m_messages[0].text,
              QStringLiteral("Please enter an integer between 50 and 1000."));
    width->setText(QStringLiteral("1000"));
    f.Next();
    EXPECT_EQ(f.wizard->currentId(), SearchPageWizard::kColoursFont);
    EXPECT_EQ(f.settings.width, 1000);
    EXPECT_EQ(f.settings.height, 400);
}

TEST(SearchPageCommand, FinishWritesCopiesAndTestsThePage) {
    WizardFixture f;
    f.wizard.reset();
    ScriptedDialogs dialogs;
    std::filesystem::create_directories(f.files.Path("bin/Redist"));
    f.files.Write("bin/Redist/Navora.class", "class");
    f.host.m_programDirectory = QString::fromStdString(f.files.Path("bin") + "/");
    f.host.m_modified = true;
    dialogs.m_answers << Answer::No; // do not save first
    QString testedPage;
    int step = 0;
    QTimer driver;
    QObject::connect(&driver, &QTimer::timeout, &driver, [&] {
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            if (auto* wizard = qobject_cast<SearchPageWizard*>(widget);
                wizard && wizard->isVisible()) {
                ++step;
                wizard
                    ->button(wizard->currentId() == SearchPageWizard::kTest ? QWizard::FinishButton
                                                                            : QWizard::NextButton)
                    ->click();
                return;
            }
            if (auto* test = qobject_cast<CTestDialog*>(widget); test && test->isVisible()) {
                testedPage = test->findChild<QComboBox*>(QStringLiteral("pageBox"))->currentText();
                test->reject();
                return;
            }
        }
    });
    driver.start(0);
    SearchPageCommands::NewWebPage(nullptr, f.host);
    driver.stop();

    EXPECT_EQ(step, 6);
    EXPECT_EQ(f.host.m_saves, 0);
    std::string page = f.site + "Search.html";
    SearchPageSettings expected = SearchPageSettings::ForIndex(f.index);
    EXPECT_EQ(TestFiles::Read(page), SearchPageText(expected));
    EXPECT_EQ(TestFiles::Read(f.site + "Navora.class"), "class");
    ASSERT_EQ(dialogs.m_messages.size(), 3);
    EXPECT_EQ(dialogs.m_messages[1].text,
              QStringLiteral("These files have been copied to your working directory:\n\n"
                             "Navora.class"));
    // The index's companion, for readers who open the page from disk.
    EXPECT_TRUE(dialogs.m_messages[2].text.contains(QStringLiteral("MySite.xo.js")));
    EXPECT_TRUE(std::filesystem::exists(f.site + "MySite.xo.js"));
    EXPECT_TRUE(f.host.m_status.contains(QStringLiteral("Copying Navora.class...")));
    EXPECT_EQ(testedPage.toStdString(), page);
}

TEST(SearchPageCommand, CancelOnTheSaveQuestionRunsNoWizard) {
    App();
    TestFiles files;
    FakeCommandHost host(files.Path("settings.ini"));
    ScriptedDialogs dialogs;
    dialogs.m_answers << Answer::Cancel;
    host.m_modified = true;
    SearchPageCommands::NewWebPage(nullptr, host);
    EXPECT_EQ(dialogs.m_messages.size(), 1);
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        EXPECT_EQ(qobject_cast<SearchPageWizard*>(widget), nullptr);
    }
}

TEST(SearchPageCommand, TheViewerChoiceIsKeptForTheNextRun) {
    WizardFixture f;
    f.wizard.reset();
    ScriptedDialogs dialogs;
    EXPECT_TRUE(f.host.WebViewerWanted());
    // Each run: the check box as the wizard shows it, then the user's choice, Finish.
    std::vector<bool> shown;
    bool choice = false;
    QTimer driver;
    QObject::connect(&driver, &QTimer::timeout, &driver, [&] {
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            auto* wizard = qobject_cast<SearchPageWizard*>(widget);
            if (!wizard || !wizard->isVisible()) {
                continue;
            }
            if (wizard->currentId() != SearchPageWizard::kTest) {
                wizard->button(QWizard::NextButton)->click();
                return;
            }
            auto* box = Find<QCheckBox>(wizard->currentPage(), "webViewer");
            shown.push_back(box->isChecked());
            box->setChecked(choice);
            Find<QCheckBox>(wizard->currentPage(), "testNow")->setChecked(false);
            Find<QCheckBox>(wizard->currentPage(), "copyJavaFiles")->setChecked(false);
            wizard->button(QWizard::FinishButton)->click();
            return;
        }
    });
    driver.start(0);
    std::string page = f.site + "Search.html";
    SearchPageSettings expected = SearchPageSettings::ForIndex(f.index);
    expected.testNow = false;
    for (bool next : {false, true}) {
        choice = next;
        dialogs.m_answers << Answer::No; // do not copy the applet's files
        SearchPageCommands::NewWebPage(nullptr, f.host);
        expected.webViewer = next;
        EXPECT_EQ(TestFiles::Read(page), SearchPageText(expected)) << next;
        EXPECT_EQ(f.host.WebViewerWanted(), next);
    }
    driver.stop();
    EXPECT_EQ(shown, (std::vector<bool>{true, false}));
}

TEST(SearchPageWizard, TestOptionsOfferCompanionsAndTheSideBySidePage) {
    WizardFixture f;
    ScriptedDialogs dialogs;
    for (int i = 0; i < 5; ++i) {
        f.Next();
    }
    ASSERT_EQ(f.wizard->currentId(), SearchPageWizard::kTest);
    auto* viewer = Find<QCheckBox>(f.Page(), "webViewer");
    auto* companions = Find<QCheckBox>(f.Page(), "companions");
    auto* side = Find<QCheckBox>(f.Page(), "sideLayout");
    EXPECT_TRUE(companions->isChecked());
    EXPECT_TRUE(companions->isEnabled());
    EXPECT_FALSE(side->isChecked());
    viewer->setChecked(false);
    EXPECT_FALSE(companions->isEnabled()); // companions serve the viewer alone
    viewer->setChecked(true);
    companions->setChecked(false);
    side->setChecked(true);
    f.wizard->button(QWizard::FinishButton)->click();
    EXPECT_FALSE(f.settings.companions);
    EXPECT_EQ(f.settings.layout, PageLayout::Side);
}

TEST(SearchPageCommand, ACopyThatFailsIsAWarningNamingTheFileAndTheReason) {
    WizardFixture f;
    f.wizard.reset();
    ScriptedDialogs dialogs;
    std::filesystem::create_directories(f.files.Path("bin/Redist"));
    f.files.Write("bin/Redist/Navora.class", "class");
    f.files.Write("bin/Redist/xo210.zip", "zip");
    // A folder where the archive would go: that copy cannot be made.
    std::filesystem::create_directories(f.files.Path("site/xo210.zip"));
    f.host.m_programDirectory = QString::fromStdString(f.files.Path("bin") + "/");
    QTimer driver;
    QObject::connect(&driver, &QTimer::timeout, &driver, [&] {
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            if (auto* wizard = qobject_cast<SearchPageWizard*>(widget);
                wizard && wizard->isVisible()) {
                QWidget* target =
                    QApplication::focusWidget() ? QApplication::focusWidget() : wizard;
                // The keyboard alone: Alt+N through the pages, Alt+F on the last.
                QTest::keyClick(
                    target, wizard->currentId() == SearchPageWizard::kTest ? Qt::Key_F : Qt::Key_N,
                    Qt::AltModifier);
                return;
            }
            if (auto* test = qobject_cast<CTestDialog*>(widget); test && test->isVisible()) {
                QTest::keyClick(test, Qt::Key_Escape);
                return;
            }
        }
    });
    driver.start(0);
    SearchPageCommands::NewWebPage(nullptr, f.host);
    driver.stop();

    EXPECT_EQ(TestFiles::Read(f.site + "Navora.class"), "class");
    // The copy report comes first; the companions' report may follow it.
    ASSERT_GE(dialogs.m_messages.size(), 1);
    EXPECT_EQ(dialogs.m_messages[0].icon, DialogService::Icon::Warning);
    EXPECT_EQ(
        dialogs.m_messages[0].text,
        QStringLiteral("These files have been copied to your working directory:\n\n"
                       "Navora.class\n\n"
                       "These files could not be copied to your working directory:\n\n"
                       "xo210.zip: ") +
            QString::fromStdString(std::make_error_code(std::errc::is_a_directory).message()));
}
