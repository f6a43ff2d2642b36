#pragma once

#include <QString>
#include <QUrl>
#include <QWidget>

#include <functional>

namespace tamblin {

// The embedded web browser, as the browser plugin provides it. Header only and free of
// moc, so the plugin and the programs share it without sharing a library.
class BrowserView : public QWidget {
public:
    // Each is optional. They are called on the user-interface thread.
    struct Callbacks {
        std::function<void(const QString&)> statusText; // hovered link, load state
        std::function<void(const QString&)> titleChanged;
        std::function<void(bool)> busyChanged;
        std::function<void(bool)> canGoBackChanged;
        std::function<void(bool)> canGoForwardChanged;
        std::function<void(bool ok)> loadFinished;
        // Where the browser is now, whoever sent it there (a link in the page included).
        std::function<void(const QUrl&)> urlChanged;
        // Asked before the browser follows a link or a navigation; false cancels it.
        std::function<bool(const QUrl&)> beforeNavigate;
        std::function<void(bool ok)> printFinished;
    };

    using QWidget::QWidget;

    void SetCallbacks(Callbacks callbacks) { m_callbacks = std::move(callbacks); }

    // A URL, or a local file path (relative ones from the current directory). Never served
    // from the cache, so a page just written is shown as it is now.
    virtual void Navigate(const QString& page) = 0;
    virtual QString Title() const = 0;
    virtual QUrl CurrentUrl() const = 0;
    virtual bool IsBusy() const = 0;
    virtual bool CanGoBack() const = 0;
    virtual bool CanGoForward() const = 0;
    virtual void GoBack() = 0;
    virtual void GoForward() = 0;
    virtual void Stop() = 0;
    // Prints the page on the default printer without a dialog; false when there is nothing
    // to print or no printer that can be opened. The outcome arrives through printFinished.
    virtual bool Print() = 0;

protected:
    Callbacks m_callbacks;
};

} // namespace tamblin
