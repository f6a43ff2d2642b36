#include "TestFiles.h"
#include "platform/BrowserLibrary.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QUrl>

#include <gtest/gtest.h>

#include <memory>

using namespace tamblin;

namespace {

int g_argc = 1;
char g_name[] = "browser_test";
char* g_argv[] = {g_name, nullptr};

} // namespace

// The one test of the real browser: it needs Qt WebEngine to start, which a machine without
// a GPU or display may refuse; then the test is skipped, not failed.
TEST(BrowserPlugin, LoadsLocalPagesThatReadFilesBesideThemAndFollowTheirLinks) {
    BrowserLibrary::PrepareBeforeApplication();
    // The default printer, where there is a print system at all, is one that does not exist.
    qputenv("PRINTER", "tamblin-no-such-printer");
    qputenv("LPDEST", "tamblin-no-such-printer");
    QApplication app(g_argc, g_argv);
    BrowserLibrary library;
    if (!library.Load()) {
        GTEST_SKIP() << "browser plugin not loadable: " << library.ErrorString().toStdString();
    }
    TestFiles files;
    std::string page = files.Write(
        "page.html", "<html><head><title>Smoke page</title></head><body>Hi</body></html>");

    std::unique_ptr<BrowserView> view(library.CreateView(nullptr));
    ASSERT_NE(view, nullptr);
    bool finished = false;
    bool loaded = false;
    QStringList statuses;
    BrowserView::Callbacks callbacks;
    callbacks.loadFinished = [&](bool ok) {
        finished = true;
        loaded = ok;
    };
    callbacks.statusText = [&](const QString& text) { statuses << text; };
    view->SetCallbacks(callbacks);
    view->resize(400, 300);
    view->show();
    view->Navigate(QString::fromStdString(page));

    auto waitForLoad = [&finished] {
        QElapsedTimer clock;
        clock.start();
        while (!finished && clock.elapsed() < 30000) {
            QApplication::processEvents(QEventLoop::AllEvents, 50);
        }
        return finished;
    };
    if (!waitForLoad()) {
        GTEST_SKIP() << "Qt WebEngine did not load a page here";
    }
    EXPECT_TRUE(loaded);
    EXPECT_EQ(view->Title().toStdString(), "Smoke page");
    EXPECT_FALSE(view->IsBusy());
    EXPECT_TRUE(statuses.contains(QStringLiteral("Done")));

    // A page rewritten in place, as a new search page is, is shown as it is now.
    files.Write("page.html", "<html><head><title>Second</title></head><body></body></html>");
    finished = false;
    view->Navigate(QString::fromStdString(page));
    ASSERT_TRUE(waitForLoad());
    EXPECT_EQ(view->Title().toStdString(), "Second");

    // A page from a file reads a file beside it, as the script viewer reads an index.
    files.Write("beside.xo", "XO0;2;1;1");
    files.Write("reads.html",
                "<html><body><script>var r = new XMLHttpRequest();"
                "r.onload = function () { document.title = 'read ' + r.responseText; };"
                "r.onerror = function () { document.title = 'refused'; };"
                "r.open('GET', 'beside.xo'); r.send();</script></body></html>");
    auto waitForTitle = [&](const char* title) {
        QElapsedTimer clock;
        clock.start();
        while (view->Title() != QLatin1String(title) && clock.elapsed() < 30000) {
            QApplication::processEvents(QEventLoop::AllEvents, 50);
        }
        return view->Title().toStdString();
    };
    view->Navigate(QString::fromStdString(files.Path("reads.html")));
    EXPECT_EQ(waitForTitle("read XO0;2;1;1"), "read XO0;2;1;1");

    // A link to a frame that does not exist opens in the same view, not nowhere.
    files.Write("target.html", "<html><head><title>Target</title></head></html>");
    files.Write("links.html", "<html><head><title>Links</title></head><body>"
                              "<a id=l href='target.html' target='noSuchFrame'>go</a><script>"
                              "window.onload = function () { document.getElementById('l').click(); "
                              "};</script></body></html>");
    view->Navigate(QString::fromStdString(files.Path("links.html")));
    EXPECT_EQ(waitForTitle("Target"), "Target");
    EXPECT_EQ(view->CurrentUrl().fileName().toStdString(), "target.html");

    // The page follows the links it is shown, so the Test window's Page field can follow it.
    QUrl lastUrl;
    callbacks.urlChanged = [&](const QUrl& url) { lastUrl = url; };
    view->SetCallbacks(callbacks);
    view->Navigate(QString::fromStdString(files.Path("links.html")));
    QElapsedTimer clock;
    clock.start();
    while (lastUrl.fileName() != QStringLiteral("target.html") && clock.elapsed() < 30000) {
        QApplication::processEvents(QEventLoop::AllEvents, 50);
    }
    EXPECT_EQ(lastUrl.fileName().toStdString(), "target.html");

    // A printer that is not there is refused at once: the engine itself would only write a
    // line on standard error and never report the job.
    bool printReported = false;
    callbacks.printFinished = [&](bool) { printReported = true; };
    view->SetCallbacks(callbacks);
    EXPECT_FALSE(view->Print());
    EXPECT_FALSE(printReported);
    view.reset();
}
