#include "scanner/ui/NewIndexWizard.h"
#include "AppTestSupport.h"
#include "ModalDriver.h"
#include "ScriptedDialogs.h"
#include "TestFiles.h"
#include "scanner/ui/CScanOptions.h"
#include "scanner/ui/CScanSource.h"
#include "scanner/ui/NewIndexCommand.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include <gtest/gtest.h>

#include <cstdlib>

using namespace tamblin;
using tamblin::test::ModalDriver;
using Kind = NewIndexCommand::Outcome::Kind;

namespace {

template <typename T> T* Find(QWidget* parent, const char* name) {
    T* widget = parent->findChild<T*>(QString::fromLatin1(name));
    EXPECT_NE(widget, nullptr) << name;
    return widget;
}

bool Usable(QWizard& wizard, QWizard::WizardButton which) {
    QAbstractButton* button = wizard.button(which);
    return button->isVisible() && button->isEnabled();
}

void Type(QWidget* parent, const char* name, const QString& text) {
    auto* edit = Find<QLineEdit>(parent, name);
    edit->setFocus();
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_Backspace);
    QTest::keyClicks(edit, text);
}

class NewIndexWizardTest : public ::testing::Test {
protected:
    NewIndexWizardTest() { test::App(); }

    ScriptedDialogs m_dialogs;
    TestFiles m_files;
};

TEST_F(NewIndexWizardTest, DescriptionDecidesNextAndFinishOnTheFirstPage) {
    NewIndexWizard wizard({});
    wizard.show();
    QWidget* page = wizard.currentPage();
    auto* finish = wizard.button(QWizard::FinishButton);
    // Empty index: a Finish that cannot be pressed, and no Next.
    EXPECT_TRUE(finish->isVisible());
    EXPECT_FALSE(finish->isEnabled());
    EXPECT_FALSE(Usable(wizard, QWizard::NextButton));
    EXPECT_FALSE(Usable(wizard, QWizard::BackButton));
    EXPECT_TRUE(Find<QRadioButton>(page, "emptyIndex")->isChecked());

    Type(page, "description", QStringLiteral("Docs"));
    EXPECT_TRUE(Usable(wizard, QWizard::FinishButton));
    EXPECT_FALSE(Usable(wizard, QWizard::NextButton));

    Find<QRadioButton>(page, "scan")->click();
    EXPECT_EQ(wizard.ChoiceMade(), NewIndexWizard::kScan);
    EXPECT_TRUE(Usable(wizard, QWizard::NextButton));
    EXPECT_FALSE(Usable(wizard, QWizard::FinishButton));

    Type(page, "description", QString());
    EXPECT_FALSE(Usable(wizard, QWizard::NextButton));
    EXPECT_FALSE(Usable(wizard, QWizard::FinishButton));

    Type(page, "description", QStringLiteral("Site"));
    Find<QRadioButton>(page, "emptyIndex")->click();
    EXPECT_TRUE(Usable(wizard, QWizard::FinishButton));
    finish->click();
    EXPECT_EQ(wizard.result(), QDialog::Accepted);
    EXPECT_EQ(wizard.ChoiceMade(), NewIndexWizard::kEmptyIndex);
    EXPECT_EQ(wizard.Description(), "Site");
}

TEST_F(NewIndexWizardTest, DescriptionsAnIndexFileCannotHoldAreRefusedOnThePage) {
    NewIndexWizard wizard({});
    wizard.show();
    QWidget* page = wizard.currentPage();
    auto* problem = Find<QLabel>(page, "descriptionProblem");
    Find<QRadioButton>(page, "scan")->click();
    for (const QString& text : {QStringLiteral("Docs;old"), QStringLiteral("web/Docs")}) {
        Type(page, "description", text);
        EXPECT_FALSE(Usable(wizard, QWizard::NextButton)) << text.toStdString();
        EXPECT_TRUE(problem->isVisible());
        EXPECT_FALSE(problem->text().isEmpty());
    }
    EXPECT_EQ(
        problem->text(),
        QStringLiteral("The description cannot hold \"/\": the index file is named after it."));
    // A line break can come in by pasting.
    Find<QLineEdit>(page, "description")->setText(QStringLiteral("Two\nlines"));
    EXPECT_FALSE(Usable(wizard, QWizard::NextButton));
    Find<QRadioButton>(page, "emptyIndex")->click();
    EXPECT_FALSE(Usable(wizard, QWizard::FinishButton));
    Type(page, "description", QStringLiteral("Docs"));
    EXPECT_TRUE(Usable(wizard, QWizard::FinishButton));
    EXPECT_FALSE(problem->isVisible());
}

TEST_F(NewIndexWizardTest, SourcePageNeedsTheTextOfItsModeAndCompletesUrls) {
    NewWizardValues values;
    values.lastFile = "kept.htm";
    NewIndexWizard wizard(values);
    wizard.show();
    Type(wizard.currentPage(), "description", QStringLiteral("Docs"));
    Find<QRadioButton>(wizard.currentPage(), "scan")->click();
    wizard.next();
    ASSERT_EQ(wizard.currentId(), NewIndexWizard::kScanSource);
    QWidget* page = wizard.currentPage();
    EXPECT_TRUE(Find<QRadioButton>(page, "fileMode")->isChecked());
    EXPECT_EQ(Find<QLineEdit>(page, "file")->text(), QStringLiteral("kept.htm"));
    EXPECT_TRUE(Usable(wizard, QWizard::NextButton));
    EXPECT_TRUE(Usable(wizard, QWizard::BackButton));

    // Typing in the URL field selects URL mode, whose text is still empty.
    Type(page, "url", QStringLiteral("x"));
    QTest::keyClick(Find<QLineEdit>(page, "url"), Qt::Key_Backspace);
    EXPECT_TRUE(Find<QRadioButton>(page, "urlMode")->isChecked());
    EXPECT_FALSE(Usable(wizard, QWizard::NextButton));
    EXPECT_TRUE(Usable(wizard, QWizard::BackButton));

    Type(page, "url", QStringLiteral("example.com"));
    EXPECT_TRUE(Usable(wizard, QWizard::NextButton));
    wizard.next();
    EXPECT_EQ(wizard.currentId(), NewIndexWizard::kScanOptions);
    EXPECT_EQ(wizard.windowTitle(), QStringLiteral("Scan options"));
    EXPECT_EQ(Find<QLineEdit>(page, "url")->text(), QStringLiteral("http://example.com/"));
    EXPECT_TRUE(wizard.Values().fromUrl);
    EXPECT_EQ(wizard.Values().lastUrl, "http://example.com/");
    EXPECT_EQ(wizard.Values().lastFile, "kept.htm");
    EXPECT_TRUE(Usable(wizard, QWizard::FinishButton));
    EXPECT_TRUE(Usable(wizard, QWizard::BackButton));
    EXPECT_TRUE(m_dialogs.m_messages.isEmpty());
}

TEST(CompleteUrl, AddsWhatAUrlWithoutSchemeLacks) {
    EXPECT_EQ(CScanSource::CompleteUrl("example.com"), "http://example.com/");
    EXPECT_EQ(CScanSource::CompleteUrl("example.com/docs/a.htm"), "http://example.com/docs/a.htm");
    EXPECT_EQ(CScanSource::CompleteUrl("http://example.com"), "http://example.com");
    EXPECT_EQ(CScanSource::CompleteUrl("https://example.com/x"), "https://example.com/x");
}

TEST_F(NewIndexWizardTest, MissingFileStaysOnTheSourcePageAndBrowseFillsTheField) {
    NewIndexWizard wizard({});
    wizard.show();
    Type(wizard.currentPage(), "description", QStringLiteral("Docs"));
    Find<QRadioButton>(wizard.currentPage(), "scan")->click();
    wizard.next();
    QWidget* page = wizard.currentPage();
    QString missing = QString::fromStdString(m_files.Path("none.htm"));
    Type(page, "url", QStringLiteral("example.com"));
    Type(page, "file", missing);
    EXPECT_TRUE(Find<QRadioButton>(page, "fileMode")->isChecked());
    wizard.next();
    EXPECT_EQ(wizard.currentId(), NewIndexWizard::kScanSource);
    ASSERT_EQ(m_dialogs.m_messages.size(), 1);
    EXPECT_EQ(m_dialogs.m_messages[0].text,
              QStringLiteral("File (%1) does not exist").arg(missing));
    EXPECT_EQ(m_dialogs.m_messages[0].icon, DialogService::Icon::Information);
    // Left alone: the URL was not the selected source.
    EXPECT_EQ(Find<QLineEdit>(page, "url")->text(), QStringLiteral("example.com"));

    QString start = QString::fromStdString(m_files.Write("site/start.htm", "<title>S</title>"));
    m_dialogs.m_files.append(start);
    Find<QRadioButton>(page, "urlMode")->click();
    Find<QPushButton>(page, "browse")->click();
    ASSERT_EQ(m_dialogs.m_fileRequests.size(), 1);
    EXPECT_EQ(m_dialogs.m_fileRequests[0].title, QStringLiteral("Scan web page"));
    EXPECT_EQ(Find<QLineEdit>(page, "file")->text(), start);
    EXPECT_TRUE(Find<QRadioButton>(page, "fileMode")->isChecked());
    wizard.next();
    EXPECT_EQ(wizard.currentId(), NewIndexWizard::kScanOptions);
}

// Answers the wizard: a scan from `url` with the options changed, then Cancel in the report
// dialog, which ends at once because nobody listens at that address.
std::vector<ModalDriver::Step> ScanSteps(const QString& url) {
    return {
        [url](QWidget* modal) {
            auto* wizard = qobject_cast<NewIndexWizard*>(modal);
            if (!wizard) {
                return false;
            }
            Type(wizard->currentPage(), "description", QStringLiteral("Docs"));
            Find<QRadioButton>(wizard->currentPage(), "scan")->click();
            wizard->next();
            Type(wizard->currentPage(), "url", url);
            wizard->next();
            Find<QCheckBox>(wizard->currentPage(), "parseAll")->setChecked(true);
            Find<QCheckBox>(wizard->currentPage(), "anchorsAsKeywords")->setChecked(false);
            Type(wizard->currentPage(), "skipTargetFrame", QStringLiteral("menu"));
            wizard->button(QWizard::FinishButton)->click();
            return true;
        },
        [](QWidget* modal) {
            auto* button = modal->findChild<QPushButton*>(QStringLiteral("button"));
            if (!button || button->text() != QStringLiteral("OK")) {
                return false;
            }
            button->click();
            return true;
        },
    };
}

TEST_F(NewIndexWizardTest, FinishedValuesAreOfferedAgainAndCancelKeepsThemUnchanged) {
    NewWizardValues kept;
    {
        ModalDriver driver(ScanSteps(QStringLiteral("127.0.0.1:9/")));
        ScanOptions quick;
        quick.fetch.answerTimeoutMs = 2000;
        NewIndexCommand::Outcome outcome = NewIndexCommand::Run(nullptr, kept, true, quick);
        ASSERT_TRUE(driver.Done());
        EXPECT_EQ(outcome.kind, Kind::Scanned);
        EXPECT_EQ(outcome.description, "Docs");
        EXPECT_EQ(outcome.pathName, QStringLiteral("Docs.xo"));
        std::remove(outcome.temporaryPath.c_str());
    }
    EXPECT_TRUE(kept.fromUrl);
    EXPECT_EQ(kept.lastUrl, "http://127.0.0.1:9/");
    EXPECT_TRUE(kept.options.parseAll);
    EXPECT_FALSE(kept.options.anchorsAsKeywords);
    EXPECT_TRUE(kept.options.ignoreBlankAnchors);
    EXPECT_EQ(kept.options.skipTargetFrame, "menu");

    // The next wizard shows them, and a Cancel stores nothing of what was changed.
    NewWizardValues before = kept;
    ModalDriver driver({[](QWidget* modal) {
        auto* wizard = qobject_cast<NewIndexWizard*>(modal);
        if (!wizard) {
            return false;
        }
        Find<QRadioButton>(wizard->currentPage(), "scan")->click();
        Type(wizard->currentPage(), "description", QStringLiteral("Again"));
        wizard->next();
        EXPECT_TRUE(Find<QRadioButton>(wizard->currentPage(), "urlMode")->isChecked());
        EXPECT_EQ(Find<QLineEdit>(wizard->currentPage(), "url")->text(),
                  QStringLiteral("http://127.0.0.1:9/"));
        wizard->next();
        EXPECT_TRUE(Find<QCheckBox>(wizard->currentPage(), "parseAll")->isChecked());
        EXPECT_FALSE(Find<QCheckBox>(wizard->currentPage(), "anchorsAsKeywords")->isChecked());
        EXPECT_EQ(Find<QLineEdit>(wizard->currentPage(), "skipTargetFrame")->text(),
                  QStringLiteral("menu"));
        Find<QCheckBox>(wizard->currentPage(), "parseAll")->setChecked(false);
        wizard->reject();
        return true;
    }});
    EXPECT_EQ(NewIndexCommand::Run(nullptr, kept, true).kind, Kind::Cancelled);
    EXPECT_TRUE(driver.Done());
    EXPECT_TRUE(kept.options.parseAll);
    EXPECT_EQ(kept.lastUrl, before.lastUrl);
}

TEST_F(NewIndexWizardTest, OptionsForTodaysSitesStartOnAndAreStoredBack) {
    NewIndexWizard wizard({});
    auto* page = wizard.findChild<CScanOptions*>();
    ASSERT_NE(page, nullptr);
    page->initializePage();
    const char* names[] = {
        "browserText",       "headingKeywords", "pagesByType",    "followRedirects",
        "shortenTitles",     "skipScriptStyle", "polite",         "rememberScan",
        "fullText",          "tidyUrls",        "checkFileLinks", "skipMarkers",
        "startLanguageOnly", "singleQuotes"};
    for (const char* name : names) {
        EXPECT_TRUE(Find<QCheckBox>(page, name)->isChecked()) << name;
    }
    Find<QCheckBox>(page, "polite")->setChecked(false);
    Find<QCheckBox>(page, "shortenTitles")->setChecked(false);
    Find<QCheckBox>(page, "fullText")->setChecked(false);
    EXPECT_FALSE(wizard.Values().options.fullText);
    EXPECT_FALSE(wizard.Values().options.polite);
    EXPECT_FALSE(wizard.Values().options.shortenTitles);
    EXPECT_TRUE(wizard.Values().options.browserText);
    if (const char* png = std::getenv("TAMBLIN_GRAB_SCAN_OPTIONS")) {
        for (int id : wizard.pageIds()) {
            if (wizard.page(id) == page) {
                wizard.setStartId(id);
            }
        }
        wizard.restart();
        wizard.show();
        wizard.resize(wizard.sizeHint().expandedTo(QSize(640, 480)));
        wizard.grab().save(QString::fromLocal8Bit(png));
    }
}

// The boxes stand in titled groups; Tab goes through every one of them, a group at a time,
// with the skip target frame box after the links it is about.
TEST_F(NewIndexWizardTest, ScanOptionsStandInGroupsThatTabGoesThroughInTurn) {
    NewIndexWizard wizard({});
    auto* page = wizard.findChild<CScanOptions*>();
    ASSERT_NE(page, nullptr);
    QList<QCheckBox*> boxes = page->findChildren<QCheckBox*>();
    ASSERT_GE(boxes.size(), 23);
    QList<QGroupBox*> groups = page->findChildren<QGroupBox*>();
    ASSERT_GE(groups.size(), 3);
    QList<QWidget*> chain;
    QWidget* first = groups.front()->findChildren<QCheckBox*>().front();
    for (QWidget* at = first; chain.size() < 200; at = at->nextInFocusChain()) {
        if (at->focusPolicy() & Qt::TabFocus) {
            if (!chain.isEmpty() && at == first) {
                break;
            }
            chain.append(at);
        }
    }
    // Each group's boxes come together in the chain, in the order the groups are made.
    QList<QGroupBox*> seen;
    for (QWidget* widget : chain) {
        auto* group = qobject_cast<QGroupBox*>(widget->parentWidget());
        if (!qobject_cast<QCheckBox*>(widget) &&
            widget->objectName() != QLatin1String("skipTargetFrame")) {
            continue;
        }
        ASSERT_NE(group, nullptr) << widget->objectName().toStdString();
        if (seen.isEmpty() || seen.back() != group) {
            EXPECT_FALSE(seen.contains(group)) << widget->objectName().toStdString();
            seen.append(group);
        }
    }
    EXPECT_EQ(seen, groups);
    for (QCheckBox* box : boxes) {
        EXPECT_TRUE(chain.contains(box)) << box->objectName().toStdString();
    }
    int frame = static_cast<int>(chain.indexOf(Find<QLineEdit>(page, "skipTargetFrame")));
    ASSERT_GT(frame, 0);
    EXPECT_EQ(chain[frame - 1]->parentWidget(), chain[frame]->parentWidget());
}

TEST_F(NewIndexWizardTest, NewLanguageFileEndsTheWizardAtOnceUnlessUnavailable) {
    NewWizardValues kept;
    ModalDriver driver({[](QWidget* modal) {
        auto* wizard = qobject_cast<NewIndexWizard*>(modal);
        if (!wizard) {
            return false;
        }
        Find<QPushButton>(wizard->currentPage(), "newLanguageFile")->click();
        return true;
    }});
    EXPECT_EQ(NewIndexCommand::Run(nullptr, kept, true).kind, Kind::LanguageFile);
    EXPECT_TRUE(driver.Done());

    NewIndexWizard wizard(kept);
    wizard.SetLanguageFileAvailable(false);
    wizard.show();
    EXPECT_FALSE(Find<QPushButton>(wizard.currentPage(), "newLanguageFile")->isEnabled());
}

} // namespace
