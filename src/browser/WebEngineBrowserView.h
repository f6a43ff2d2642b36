#pragma once

#include "platform/BrowserView.h"

#include <QPrinter>
#include <QWebEnginePage>

#include <memory>

class QWebEngineNewWindowRequest;
class QWebEngineView;

namespace tamblin {

// BrowserView over Qt WebEngine.
class WebEngineBrowserView final : public BrowserView {
    Q_OBJECT
public:
    explicit WebEngineBrowserView(QWidget* parent);

    void Navigate(const QString& page) override;
    QString Title() const override;
    QUrl CurrentUrl() const override;
    bool IsBusy() const override { return m_busy; }
    bool CanGoBack() const override;
    bool CanGoForward() const override;
    void GoBack() override;
    void GoForward() override;
    void Stop() override;
    bool Print() override;

    // What Navigate makes of a page text: a URL, or a local file.
    static QUrl PageUrl(const QString& page);

private:
    void OnLoadStarted();
    void OnLoadFinished(bool ok);
    void OnLinkHovered(const QString& url);
    void OnNewWindowRequested(QWebEngineNewWindowRequest& request);
    void SetBusy(bool busy);
    void ReportHistory();
    void Status(const QString& text);

    QWebEngineView* m_view = nullptr;
    std::unique_ptr<QPrinter> m_printer;
    QUrl m_requested; // the view reports its new URL only once loading is under way
    bool m_busy = false;
    bool m_canGoBack = false;
    bool m_canGoForward = false;
};

// The page that asks the view's before-navigate callback.
class GuardedPage final : public QWebEnginePage {
    Q_OBJECT
public:
    GuardedPage(QWebEngineProfile* profile, const BrowserView::Callbacks& callbacks,
                QObject* parent);

protected:
    bool acceptNavigationRequest(const QUrl& url, NavigationType type, bool isMainFrame) override;

private:
    const BrowserView::Callbacks& m_callbacks;
};

} // namespace tamblin
