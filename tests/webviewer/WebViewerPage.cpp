#include "WebViewerPage.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QUrl>
#include <QWebEnginePage>
#include <QWebEngineSettings>
#include <QWebEngineView>

#include <cstdlib>
#include <unistd.h>

namespace {

int g_argc = 1;
char g_name[] = "webviewer_test";
char* g_argv[] = {g_name, nullptr};

} // namespace

bool WebViewerPage::Start() {
    if (QApplication::instance()) {
        return true;
    }
    // Root cannot run Chromium's sandbox, and an offscreen machine has no GPU to offer.
    if (geteuid() == 0) {
        setenv("QTWEBENGINE_DISABLE_SANDBOX", "1", 0);
    }
    setenv("QTWEBENGINE_CHROMIUM_FLAGS", "--disable-gpu --no-sandbox", 0);
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    // Kept for the whole run: Qt WebEngine does not start a second time in one process.
    new QApplication(g_argc, g_argv);
    return true;
}

WebViewerPage::WebViewerPage(int width, int height) : m_view(std::make_unique<QWebEngineView>()) {
    QWebEngineSettings* settings = m_view->page()->settings();
    settings->setAttribute(QWebEngineSettings::LocalContentCanAccessFileUrls, true);
    settings->setAttribute(QWebEngineSettings::JavascriptCanOpenWindows, true);
    m_view->resize(width, height);
    m_view->show();
}

WebViewerPage::~WebViewerPage() = default;

bool WebViewerPage::Load(const QString& path) {
    bool finished = false;
    bool ok = false;
    auto connection =
        QObject::connect(m_view.get(), &QWebEngineView::loadFinished, [&](bool result) {
            finished = true;
            ok = result;
        });
    m_view->load(QUrl::fromLocalFile(path));
    QElapsedTimer clock;
    clock.start();
    while (!finished && clock.elapsed() < 30000) {
        QApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    QObject::disconnect(connection);
    return finished && ok;
}

QVariant WebViewerPage::Eval(const QString& script) {
    bool done = false;
    QVariant value;
    m_view->page()->runJavaScript(script, [&](const QVariant& result) {
        value = result;
        done = true;
    });
    QElapsedTimer clock;
    clock.start();
    while (!done && clock.elapsed() < 20000) {
        QApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    return value;
}

bool WebViewerPage::WaitFor(const QString& condition, int ms) {
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < ms) {
        if (Eval(QStringLiteral("!!(%1)").arg(condition)).toBool()) {
            return true;
        }
        Pump(20);
    }
    return false;
}

void WebViewerPage::Pump(int ms) {
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < ms) {
        QApplication::processEvents(QEventLoop::AllEvents, 5);
    }
}

QString WebViewerPage::Url() const {
    return m_view->url().toString();
}

bool WebViewerPage::Grab(const QString& path) {
    Pump(300);
    return m_view->grab().save(path);
}
