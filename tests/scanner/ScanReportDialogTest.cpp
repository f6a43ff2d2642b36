#include "scanner/ui/ScanReportDialog.h"
#include "AppTestSupport.h"
#include "LoopbackServer.h"
#include "ModalDriver.h"
#include "ScriptedDialogs.h"
#include "ShownText.h"
#include "TestFiles.h"
#include "document/ui/CXoDoc.h"
#include "scanner/SiteScanner.h"
#include "scanner/ui/NewIndexCommand.h"

#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>
#include <QWindow>

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>

using namespace tamblin;
using scantest::LoopbackServer;
using scantest::Response;
using tamblin::test::ModalDriver;
using tamblin::test::WaitFor;

namespace {

QString Text(QWidget& dialog, const char* name) {
    if (auto* label = dialog.findChild<QLabel*>(QString::fromLatin1(name))) {
        return label->text();
    }
    if (auto* box = dialog.findChild<QPlainTextEdit*>(QString::fromLatin1(name))) {
        return box->toPlainText();
    }
    return dialog.findChild<QPushButton*>(QString::fromLatin1(name))->text();
}

class ScanReportDialogTest : public ::testing::Test {
protected:
    ScanReportDialogTest() { test::App(); }

    ScanSettings FileScan(const std::string& start) {
        ScanSettings settings = ScanSettings::Classic();
        settings.description = "Docs";
        settings.start = start;
        return settings;
    }

    ScriptedDialogs m_dialogs;
    TestFiles m_files;
};

TEST_F(ScanReportDialogTest, CompletionShowsTheSummaryAndReportAndTurnsCancelIntoOk) {
    std::string start = m_files.Write("web/index.htm", "<title>Home</title><a href=a.htm>A</a>"
                                                       "<a href=missing.htm>M</a>");
    m_files.Write("web/a.htm", "<title>A page</title>");
    ScanReportDialog dialog(nullptr);
    SiteScanner scanner(FileScan(start), &dialog);
    ASSERT_TRUE(scanner.Prepare());
    dialog.SetScanner(&scanner);
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Scan Report"));
    EXPECT_EQ(Text(dialog, "button"), QStringLiteral("Cancel"));
    dialog.show();
    ASSERT_TRUE(WaitFor([&] { return dialog.Finished(); }));
    EXPECT_EQ(Text(dialog, "status"),
              QStringLiteral("Scan complete.\n\n2 pages found and 2 index keywords generated."));
    EXPECT_TRUE(Text(dialog, "problems").startsWith(QStringLiteral("1 problems while scanning:\n")))
        << Text(dialog, "problems").toStdString();
    EXPECT_TRUE(Text(dialog, "problems").contains(QStringLiteral("missing.htm")));
    EXPECT_EQ(Text(dialog, "pagesRead"), QStringLiteral("2 pages read"));
    EXPECT_EQ(Text(dialog, "button"), QStringLiteral("OK"));
    dialog.findChild<QPushButton*>(QStringLiteral("button"))->click();
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    std::remove(scanner.TemporaryPath().c_str());
}

// An endless chain of pages, each answered after a pause.
Response SlowPage(const std::string& path, std::atomic<int>& served) {
    ++served;
    Response response;
    response.delayMs = 100;
    int n = path.size() > 7 ? std::atoi(path.c_str() + 7) : 0;
    response.body = "<title>Page " + std::to_string(n) + "</title><a href=p" +
                    std::to_string(n + 1) + ".htm>next</a>";
    return response;
}

ScanSettings SlowScan(const LoopbackServer& server) {
    ScanSettings settings = ScanSettings::Classic();
    settings.description = "Slow";
    settings.fromUrl = true;
    settings.start = server.Url("/site/p0.htm");
    return settings;
}

TEST_F(ScanReportDialogTest, CancelStopsASlowSiteAndTheDialogWaitsForTheWorker) {
    std::atomic<int> served{0};
    LoopbackServer server([&](const std::string& path) { return SlowPage(path, served); });
    ScanSettings settings = SlowScan(server);
    ScanOptions options;
    options.fetch.jobs = 1;
    ScanReportDialog dialog(nullptr);
    SiteScanner scanner(settings, &dialog, options);
    ASSERT_TRUE(scanner.Prepare());
    dialog.SetScanner(&scanner);
    dialog.show();
    ASSERT_TRUE(
        WaitFor([&] { return Text(dialog, "pagesRead") == QStringLiteral("2 pages read"); }));

    dialog.reject();
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_EQ(Text(dialog, "status"), QStringLiteral("Stopping scan..."));
    // Closing the window is the same cancel command and does not close it either.
    dialog.close();
    EXPECT_TRUE(dialog.isVisible() || dialog.Finished());

    ASSERT_TRUE(WaitFor([&] { return dialog.Finished(); }));
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_EQ(Text(dialog, "status"), QStringLiteral("User requested abort"));
    EXPECT_EQ(Text(dialog, "button"), QStringLiteral("OK"));
    EXPECT_TRUE(scanner.Aborted());
    dialog.reject();
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    std::string written = TestFiles::Read(scanner.TemporaryPath());
    EXPECT_NE(written.find("Page 0"), std::string::npos);
    EXPECT_LT(served.load(), 20);
    std::remove(scanner.TemporaryPath().c_str());
}

TEST_F(ScanReportDialogTest, TheStatusSaysWhatIsAwaitedBeforeTheFirstPageHasCome) {
    LoopbackServer server([](const std::string&) {
        Response response;
        response.kind = Response::Kind::NeverAnswer;
        return response;
    });
    ScanSettings settings = ScanSettings::Classic();
    settings.description = "Hanging";
    settings.fromUrl = true;
    settings.start = server.Url("/start.htm");
    ScanReportDialog dialog(nullptr);
    SiteScanner scanner(settings, &dialog);
    ASSERT_TRUE(scanner.Prepare());
    dialog.SetScanner(&scanner);
    dialog.show();
    QTest::qWait(50);
    EXPECT_EQ(Text(dialog, "pagesRead"), QStringLiteral("0 pages read"));
    EXPECT_EQ(Text(dialog, "status"),
              QStringLiteral("Scanning %1...").arg(QString::fromStdString(settings.start)));
    dialog.reject();
    EXPECT_EQ(Text(dialog, "status"), QStringLiteral("Stopping scan..."));
    ASSERT_TRUE(WaitFor([&] { return dialog.Finished(); }));
    dialog.reject();
    std::remove(scanner.TemporaryPath().c_str());
}

TEST_F(ScanReportDialogTest, LongProblemLinesWrapInsteadOfRunningOffTheBox) {
    std::string missing = "a-page-whose-name-goes-on-" + std::string(150, 'n') + ".htm";
    std::string start =
        m_files.Write("web/index.htm", "<title>Home</title><a href=" + missing + ">M</a>");
    ScanReportDialog dialog(nullptr);
    SiteScanner scanner(FileScan(start), &dialog);
    ASSERT_TRUE(scanner.Prepare());
    dialog.SetScanner(&scanner);
    dialog.show();
    ASSERT_TRUE(WaitFor([&] { return dialog.Finished(); }));
    auto* problems = dialog.findChild<QPlainTextEdit*>(QStringLiteral("problems"));
    ASSERT_TRUE(problems->toPlainText().contains(QString::fromStdString(missing)));
    EXPECT_EQ(problems->horizontalScrollBar()->maximum(), 0);
    if (const char* dir = std::getenv("TAMBLIN_PNG_DIR")) {
        dialog.grab().save(QString::fromLocal8Bit(dir) + QStringLiteral("/scan-report.png"));
    }
    dialog.reject();
    std::remove(scanner.TemporaryPath().c_str());
}

TEST_F(ScanReportDialogTest, NothingClosesTheDialogBeforeTheScanHasEnded) {
    std::atomic<int> served{0};
    LoopbackServer server([&](const std::string& path) { return SlowPage(path, served); });
    ScanSettings settings = SlowScan(server);
    ScanOptions options;
    options.fetch.jobs = 1;
    ScanReportDialog dialog(nullptr);
    SiteScanner scanner(settings, &dialog, options);
    ASSERT_TRUE(scanner.Prepare());
    dialog.SetScanner(&scanner);
    dialog.show();
    dialog.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
    ASSERT_TRUE(
        WaitFor([&] { return Text(dialog, "pagesRead") == QStringLiteral("2 pages read"); }));
    QTest::keyClick(&dialog, Qt::Key_Escape);
    EXPECT_TRUE(dialog.isVisible() || dialog.Finished());
    dialog.windowHandle()->close(); // the close box, Alt+F4
    EXPECT_TRUE(dialog.isVisible() || dialog.Finished());
    dialog.done(QDialog::Rejected);
    EXPECT_TRUE(dialog.isVisible() || dialog.Finished());
    dialog.accept();
    EXPECT_TRUE(dialog.isVisible() || dialog.Finished());
    ASSERT_TRUE(WaitFor([&] { return dialog.Finished(); }));
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_EQ(Text(dialog, "status"), QStringLiteral("User requested abort"));
    dialog.reject();
    EXPECT_FALSE(dialog.isVisible());
    std::remove(scanner.TemporaryPath().c_str());
}

TEST_F(ScanReportDialogTest, OkAfterCancelHandsOverWhatWasScanned) {
    std::atomic<int> served{0};
    LoopbackServer server([&](const std::string& path) { return SlowPage(path, served); });
    QStringList statuses;
    auto text = [](QWidget* modal, const char* name) { return Text(*modal, name); };
    ModalDriver driver({
        [&](QWidget* modal) {
            if (text(modal, "pagesRead") != QStringLiteral("2 pages read")) {
                return false;
            }
            modal->findChild<QPushButton*>(QStringLiteral("button"))->click();
            statuses.append(text(modal, "status"));
            return true;
        },
        [&](QWidget* modal) {
            if (text(modal, "button") != QStringLiteral("OK")) {
                return false;
            }
            statuses.append(text(modal, "status"));
            modal->findChild<QPushButton*>(QStringLiteral("button"))->click();
            return true;
        },
    });
    ScanOptions options;
    options.fetch.jobs = 1;
    NewIndexCommand::Outcome outcome = NewIndexCommand::Scan(nullptr, SlowScan(server), options);
    ASSERT_TRUE(driver.Done());
    EXPECT_EQ(statuses, (QStringList{QStringLiteral("Stopping scan..."),
                                     QStringLiteral("User requested abort")}));
    ASSERT_EQ(outcome.kind, NewIndexCommand::Outcome::Kind::Scanned);
    EXPECT_EQ(outcome.pathName, QStringLiteral("Slow.xo"));

    CXoDoc document;
    ASSERT_TRUE(document.OpenScannedIndex(QString::fromStdString(outcome.temporaryPath),
                                          outcome.pathName, QStringLiteral("Slow")));
    EXPECT_EQ(document.Index()->m_description, "Slow");
    std::string titles;
    for (const auto& entry : document.Index()->m_root.m_children) {
        titles += entry->m_title + "|";
    }
    EXPECT_EQ(titles.rfind("Page 0|", 0), 0u) << titles;
    EXPECT_TRUE(m_dialogs.m_messages.isEmpty());
}

TEST_F(ScanReportDialogTest, AScanThatCannotStartSaysPageScanFailed) {
    NewIndexCommand::Outcome outcome =
        NewIndexCommand::Scan(nullptr, FileScan("two\nlines.htm"), {});
    EXPECT_EQ(outcome.kind, NewIndexCommand::Outcome::Kind::ScanFailed);
    EXPECT_TRUE(outcome.temporaryPath.empty());
    ASSERT_EQ(m_dialogs.m_messages.size(), 2);
    EXPECT_EQ(m_dialogs.m_messages[0].text,
              QStringLiteral("The start page cannot contain a line break."));
    EXPECT_EQ(m_dialogs.m_messages[1].text, QStringLiteral("Page scan failed"));
}

TEST_F(ScanReportDialogTest, ATemporaryFileThatCannotBeMadeIsNamedToTheUser) {
    std::string page = m_files.Write("start.htm", "<title>Start</title>");
    const bool wasSet = qEnvironmentVariableIsSet("TMPDIR");
    QByteArray saved = qgetenv("TMPDIR");
    // A directory where nobody, not even root, can create a file.
    qputenv("TMPDIR", "/proc");
    NewIndexCommand::Outcome outcome = NewIndexCommand::Scan(nullptr, FileScan(page), {});
    // An empty TMPDIR is not an unset one: the tests after this one could make no file.
    if (wasSet) {
        qputenv("TMPDIR", saved);
    } else {
        qunsetenv("TMPDIR");
    }
    EXPECT_EQ(outcome.kind, NewIndexCommand::Outcome::Kind::ScanFailed);
    ASSERT_EQ(m_dialogs.m_messages.size(), 2);
    EXPECT_EQ(m_dialogs.m_messages[0].text,
              QStringLiteral("Could not create a temporary file name"));
    EXPECT_EQ(m_dialogs.m_messages[1].text, QStringLiteral("Page scan failed"));
}

TEST(ScannedPathName, IsTheDescriptionInTheStartFilesFolderOrAlone) {
    ScanSettings settings = ScanSettings::Classic();
    settings.description = "Docs";
    settings.start = "/web/site/start.htm";
    EXPECT_EQ(NewIndexCommand::ScannedPathName(settings), QStringLiteral("/web/site/Docs.xo"));
    settings.start = "C:\\web\\start.htm";
    EXPECT_EQ(NewIndexCommand::ScannedPathName(settings, '\\'), QStringLiteral("C:\\web\\Docs.xo"));
    settings.fromUrl = true;
    settings.start = "http://example.com/docs/start.htm";
    EXPECT_EQ(NewIndexCommand::ScannedPathName(settings), QStringLiteral("Docs.xo"));
}

} // namespace

// An address nobody answers at: the status says that no page could be read and which address
// failed, not only "Scan complete"; the dots stop; Return takes the OK.
TEST_F(ScanReportDialogTest, AnAddressThatDoesNotAnswerIsNamedAndTheDotsStop) {
    std::string closed;
    {
        LoopbackServer gone([](const std::string&) { return Response{}; });
        closed = gone.Url("/site/index.htm");
    }
    ScanSettings settings = ScanSettings::Classic();
    settings.description = "Gone";
    settings.fromUrl = true;
    settings.start = closed;
    ScanReportDialog dialog(nullptr);
    SiteScanner scanner(settings, &dialog);
    ASSERT_TRUE(scanner.Prepare());
    dialog.SetScanner(&scanner);
    dialog.show();
    ASSERT_TRUE(WaitFor([&] { return dialog.Finished(); }));
    EXPECT_TRUE(Text(dialog, "status")
                    .contains(QStringLiteral("No page could be read: %1 did not answer")
                                  .arg(QString::fromStdString(closed))))
        << Text(dialog, "status").toStdString();
    EXPECT_TRUE(Text(dialog, "dots").isEmpty());
    QTest::keyClick(&dialog, Qt::Key_Return);
    EXPECT_FALSE(dialog.isVisible());
    std::remove(scanner.TemporaryPath().c_str());
}

// Escape stops a scan: what was not read is not called free of problems, and the dots stop.
TEST_F(ScanReportDialogTest, AScanStoppedWithEscapeDoesNotClaimNoProblems) {
    std::atomic<int> served{0};
    LoopbackServer server([&](const std::string& path) { return SlowPage(path, served); });
    ScanOptions options;
    options.fetch.jobs = 1;
    ScanReportDialog dialog(nullptr);
    SiteScanner scanner(SlowScan(server), &dialog, options);
    ASSERT_TRUE(scanner.Prepare());
    dialog.SetScanner(&scanner);
    dialog.show();
    ASSERT_TRUE(
        WaitFor([&] { return Text(dialog, "pagesRead") == QStringLiteral("2 pages read"); }));
    QTest::keyClick(&dialog, Qt::Key_Escape);
    ASSERT_TRUE(WaitFor([&] { return dialog.Finished(); }));
    EXPECT_EQ(Text(dialog, "status"), QStringLiteral("User requested abort"));
    EXPECT_FALSE(Text(dialog, "problems").contains(QStringLiteral("No problems while scanning")));
    EXPECT_TRUE(Text(dialog, "problems")
                    .startsWith(QStringLiteral(
                        "No problems in the pages read before the scan was stopped.")))
        << Text(dialog, "problems").toStdString();
    EXPECT_TRUE(Text(dialog, "dots").isEmpty());
    test::SavePngIfAsked(dialog, QStringLiteral("scan-report-stopped"));
    QTest::keyClick(&dialog, Qt::Key_Escape);
    EXPECT_FALSE(dialog.isVisible());
    std::remove(scanner.TemporaryPath().c_str());
}
