#pragma once

#include "platform/BrowserView.h"
#include "platform/CommandHost.h"

#include <QSettings>
#include <QStringList>

#include <memory>
#include <string>

namespace tamblin {

// A browser that only remembers where it was sent.
class FakeBrowser final : public BrowserView {
public:
    using BrowserView::BrowserView;
    void Navigate(const QString& page) override { m_navigated << page; }
    QString Title() const override { return QString(); }
    QUrl CurrentUrl() const override { return QUrl(); }
    bool IsBusy() const override { return false; }
    bool CanGoBack() const override { return m_canGoBack; }
    bool CanGoForward() const override { return false; }
    void GoBack() override { ++m_backs; }
    void GoForward() override {}
    void Stop() override {}
    bool Print() override { return false; }
    void SendStatus(const QString& text) { m_callbacks.statusText(text); }
    // As the real browser reports a link followed inside the page.
    void FollowLink(const QUrl& url) {
        m_canGoBack = true;
        m_callbacks.canGoBackChanged(true);
        m_callbacks.urlChanged(url);
    }

    QStringList m_navigated;
    bool m_canGoBack = false;
    int m_backs = 0;
};

// The shell as the Test menu's commands see it, with settings in a scratch file.
class FakeCommandHost final : public CommandHost {
public:
    explicit FakeCommandHost(const std::string& settingsPath)
        : m_settings(std::make_unique<QSettings>(QString::fromStdString(settingsPath),
                                                 QSettings::IniFormat)) {}
    QString IndexPath() const override { return m_indexPath; }
    bool IsModified() const override { return m_modified; }
    void SaveDocument() override {
        ++m_saves;
        m_modified = false;
    }
    QSettings& Settings() override { return *m_settings; }
    void SetStatusText(const QString& text) override { m_status << text; }
    bool BrowserAvailable() const override { return m_browserAvailable; }
    BrowserView* CreateBrowser(QWidget* parent) override {
        if (!m_browserAvailable) {
            return nullptr;
        }
        m_browser = new FakeBrowser(parent);
        ++m_browsersMade;
        return m_browser;
    }
    QString ProgramDirectory() const override { return m_programDirectory; }
    bool WebViewerWanted() const override { return m_webViewer; }
    void SetWebViewerWanted(bool wanted) override { m_webViewer = wanted; }

    QString m_indexPath;
    bool m_modified = false;
    bool m_browserAvailable = true;
    QString m_programDirectory;
    bool m_webViewer = true;
    int m_saves = 0;
    int m_browsersMade = 0;
    QStringList m_status;
    FakeBrowser* m_browser = nullptr;
    std::unique_ptr<QSettings> m_settings;
};

} // namespace tamblin
