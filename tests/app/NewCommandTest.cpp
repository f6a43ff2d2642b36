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
#include "scanner/ui/NewIndexWizard.h"

#include <QAction>
#include <QDir>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>

using namespace tamblin;
using tamblin::test::AppSteps;
using tamblin::test::ModalDriver;
using Answer = DialogService::Answer;

namespace {

QString Q(const std::string& text) {
    return QString::fromStdString(text);
}

class NewCommandTest : public ::testing::Test {
protected:
    NewCommandTest() {
        m_app = std::make_unique<CTamblinApp>();
        m_app->m_splashAllowed = false;
        m_app->m_browserDirectory = Q(m_files.Path("no-browser/"));
        m_app->InitInstance({});
        m_dialogs.m_messages.clear();
    }
    ~NewCommandTest() override {
        m_app->Document()->SetModifiedFlag(false);
        m_app->MainFrame()->close();
        m_app->ExitInstance();
    }
    void New(std::vector<ModalDriver::Step> steps) {
        ModalDriver driver(std::move(steps));
        m_app->MainFrame()->Action(Command::FileNew)->trigger();
        EXPECT_TRUE(driver.Done());
    }

    test::SettingsSandbox m_sandbox;
    TestFiles m_files;
    ScriptedDialogs m_dialogs;
    std::unique_ptr<CTamblinApp> m_app;
};

TEST_F(NewCommandTest, EmptyIndexTakesTheDescriptionAfterTheSaveQuestion) {
    m_app->Document()->SetModifiedFlag();
    m_dialogs.m_answers = {Answer::Cancel};
    New({});
    ASSERT_EQ(m_dialogs.m_messages.size(), 1);
    EXPECT_EQ(m_dialogs.m_messages[0].text, QStringLiteral("Save changes to MySite?"));

    m_dialogs.m_answers = {Answer::No};
    New({AppSteps::NewIndex(QStringLiteral("Garden"))});
    CXoDoc* document = m_app->Document();
    EXPECT_EQ(document->Index()->m_description, "Garden");
    EXPECT_TRUE(document->IsModified());
    EXPECT_EQ(m_app->m_newIndexDescription, "Garden");
    EXPECT_EQ(m_app->MainFrame()->windowTitle(), QStringLiteral("Garden - Tamblin"));
}

TEST_F(NewCommandTest, AScannedFolderBecomesAnUnsavedDocumentThatSavesAndLoadsBack) {
    std::string start = m_files.Write("web/start.htm", "<title>Start</title><a href=a.htm>A</a>"
                                                       "<a href=b.htm>B</a>");
    m_files.Write("web/a.htm", "<title>Apples</title>");
    m_files.Write("web/b.htm", "<title>Bananas</title><a href=missing.htm>M</a>");
    New({AppSteps::NewIndex(QStringLiteral("Docs"), Q(start)), AppSteps::PressOkWhenFinished});

    CXoDoc* document = m_app->Document();
    QString folder = Q(m_files.Path("web/"));
    EXPECT_EQ(document->PathName(), folder + QStringLiteral("Docs.xo"));
    EXPECT_EQ(document->Title(), QStringLiteral("Docs"));
    EXPECT_TRUE(document->IsModified());
    EXPECT_TRUE(document->Index()->m_fileName.empty());
    EXPECT_TRUE(m_app->RecentFiles().Items().empty());
    EXPECT_EQ(m_app->MainFrame()->windowTitle(), QStringLiteral("Docs - Tamblin"));
    QStringList tree = AppSteps::Tree(m_app->MainFrame()->View());
    EXPECT_EQ(tree, (QStringList{QStringLiteral("Docs"), QStringLiteral("  Start"),
                                 QStringLiteral("    Apples"), QStringLiteral("    Bananas"),
                                 QStringLiteral("Other Index keywords")}));
    // The first Save asks for a name and suggests the folder and the description.
    QString saved = folder + QStringLiteral("Docs.xo");
    m_dialogs.m_files = {saved};
    m_app->MainFrame()->Action(Command::FileSave)->trigger();
    ASSERT_EQ(m_dialogs.m_fileRequests.size(), 1);
    EXPECT_EQ(m_dialogs.m_fileRequests[0].path, saved);
    EXPECT_FALSE(document->IsModified());
    ASSERT_TRUE(m_app->OpenDocumentFile(saved));
    EXPECT_EQ(AppSteps::Tree(m_app->MainFrame()->View()), tree);
}

TEST_F(NewCommandTest, NewLanguageFileSendsTheMenuCommand) {
    int sent = 0;
    m_app->MainFrame()->SetHandler(Command::FileNewLanguage, [&] { ++sent; });
    New({[](QWidget* modal) {
        auto* wizard = qobject_cast<NewIndexWizard*>(modal);
        if (!wizard) {
            return false;
        }
        wizard->currentPage()->findChild<QPushButton*>(QStringLiteral("newLanguageFile"))->click();
        return true;
    }});
    EXPECT_EQ(sent, 1);
}

} // namespace
