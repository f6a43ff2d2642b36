#include "browser/WebEngineBrowserView.h"

#include <QCoreApplication>
#include <QDir>
#include <QPrinter>
#include <QPrinterInfo>
#include <QVBoxLayout>
#include <QWebEngineHistory>
#include <QWebEngineNewWindowRequest>
#include <QWebEngineProfile>
#include <QWebEngineSettings>
#include <QWebEngineView>

namespace tamblin {

namespace {

// One profile for every view: off the record and without an HTTP cache, so a page is
// always read afresh. It lives as long as the application, after every page.
QWebEngineProfile* SharedProfile() {
    static QWebEngineProfile* profile = [] {
        auto* created = new QWebEngineProfile(QCoreApplication::instance());
        created->setHttpCacheType(QWebEngineProfile::NoCache);
        return created;
    }();
    return profile;
}

} // namespace

GuardedPage::GuardedPage(QWebEngineProfile* profile, const BrowserView::Callbacks& callbacks,
                         QObject* parent)
    : QWebEnginePage(profile, parent), m_callbacks(callbacks) {}

bool GuardedPage::acceptNavigationRequest(const QUrl& url, NavigationType type, bool isMainFrame) {
    if (m_callbacks.beforeNavigate && !m_callbacks.beforeNavigate(url)) {
        return false;
    }
    return QWebEnginePage::acceptNavigationRequest(url, type, isMainFrame);
}

WebEngineBrowserView::WebEngineBrowserView(QWidget* parent) : BrowserView(parent) {
    setObjectName(QStringLiteral("browser"));
    m_view = new QWebEngineView(this);
    m_view->setPage(new GuardedPage(SharedProfile(), m_callbacks, m_view));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_view);
    connect(m_view, &QWebEngineView::loadStarted, this, &WebEngineBrowserView::OnLoadStarted);
    connect(m_view, &QWebEngineView::loadFinished, this, &WebEngineBrowserView::OnLoadFinished);
    connect(m_view, &QWebEngineView::urlChanged, this, [this](const QUrl& url) {
        ReportHistory();
        if (m_callbacks.urlChanged) {
            m_callbacks.urlChanged(url);
        }
    });
    connect(m_view, &QWebEngineView::titleChanged, this, [this](const QString& title) {
        if (m_callbacks.titleChanged) {
            m_callbacks.titleChanged(title);
        }
    });
    connect(m_view->page(), &QWebEnginePage::linkHovered, this,
            &WebEngineBrowserView::OnLinkHovered);
    // A search page shown from a file reads the index and language files beside it.
    m_view->page()->settings()->setAttribute(QWebEngineSettings::LocalContentCanAccessFileUrls,
                                             true);
    connect(m_view->page(), &QWebEnginePage::newWindowRequested, this,
            &WebEngineBrowserView::OnNewWindowRequested);
    connect(m_view, &QWebEngineView::printFinished, this, [this](bool ok) {
        if (m_callbacks.printFinished) {
            m_callbacks.printFinished(ok);
        }
    });
}

QUrl WebEngineBrowserView::PageUrl(const QString& page) {
    return QUrl::fromUserInput(page.trimmed(), QDir::currentPath(), QUrl::AssumeLocalFile);
}

void WebEngineBrowserView::Navigate(const QString& page) {
    QUrl url = PageUrl(page);
    if (url.isValid()) {
        m_requested = url;
        m_view->load(url);
    }
}

QString WebEngineBrowserView::Title() const {
    return m_view->title();
}

QUrl WebEngineBrowserView::CurrentUrl() const {
    return m_view->url();
}

bool WebEngineBrowserView::CanGoBack() const {
    return m_view->history()->canGoBack();
}

bool WebEngineBrowserView::CanGoForward() const {
    return m_view->history()->canGoForward();
}

void WebEngineBrowserView::GoBack() {
    m_view->back();
}

void WebEngineBrowserView::GoForward() {
    m_view->forward();
}

void WebEngineBrowserView::Stop() {
    m_view->stop();
}

namespace {

// The engine reports nothing at all (only a line on standard error) when it cannot open the
// printer, so a printer that is not there is refused here, where the caller can say so.
bool CanOpen(const QPrinter& printer) {
    if (printer.outputFormat() == QPrinter::PdfFormat) {
        // What stands in for a printer where the desktop has no print system: a PDF file,
        // which needs a name.
        return !printer.outputFileName().isEmpty();
    }
    return printer.isValid() && !QPrinterInfo::printerInfo(printer.printerName()).isNull();
}

} // namespace

bool WebEngineBrowserView::Print() {
    if (m_view->url().isEmpty() || m_printer) {
        return false;
    }
    auto printer = std::make_unique<QPrinter>();
    if (!CanOpen(*printer)) {
        return false;
    }
    m_printer = std::move(printer);
    // The printer must outlive the print job; it goes once the job has reported.
    connect(
        m_view, &QWebEngineView::printFinished, this, [this] { m_printer.reset(); },
        Qt::ConnectionType(Qt::QueuedConnection | Qt::SingleShotConnection));
    m_view->print(m_printer.get());
    return true;
}

void WebEngineBrowserView::OnLoadStarted() {
    SetBusy(true);
    QUrl url = m_view->url().isEmpty() ? m_requested : m_view->url();
    Status(QStringLiteral("Opening page %1...").arg(url.toDisplayString()));
}

void WebEngineBrowserView::OnLoadFinished(bool ok) {
    SetBusy(false);
    Status(ok ? QStringLiteral("Done") : QStringLiteral("Could not load the page"));
    ReportHistory();
    if (m_callbacks.loadFinished) {
        m_callbacks.loadFinished(ok);
    }
}

// The view has no windows or frames of its own to offer, so a page that a link or the
// viewer sends to a frame that does not exist (or to a new window) is shown here instead of
// being lost. An empty window a script opens to write into is not a page to show.
void WebEngineBrowserView::OnNewWindowRequested(QWebEngineNewWindowRequest& request) {
    QUrl url = request.requestedUrl();
    if (url.isEmpty() || url.scheme() == QStringLiteral("about")) {
        return;
    }
    m_requested = url;
    m_view->load(url);
}

void WebEngineBrowserView::OnLinkHovered(const QString& url) {
    Status(url.isEmpty() ? (m_busy ? QString() : QStringLiteral("Done")) : url);
}

void WebEngineBrowserView::SetBusy(bool busy) {
    if (busy != m_busy) {
        m_busy = busy;
        if (m_callbacks.busyChanged) {
            m_callbacks.busyChanged(busy);
        }
    }
}

void WebEngineBrowserView::ReportHistory() {
    bool back = CanGoBack();
    bool forward = CanGoForward();
    if (back != m_canGoBack) {
        m_canGoBack = back;
        if (m_callbacks.canGoBackChanged) {
            m_callbacks.canGoBackChanged(back);
        }
    }
    if (forward != m_canGoForward) {
        m_canGoForward = forward;
        if (m_callbacks.canGoForwardChanged) {
            m_callbacks.canGoForwardChanged(forward);
        }
    }
}

void WebEngineBrowserView::Status(const QString& text) {
    if (m_callbacks.statusText) {
        m_callbacks.statusText(text);
    }
}

} // namespace tamblin
