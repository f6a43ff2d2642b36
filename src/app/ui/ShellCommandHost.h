#pragma once

#include "platform/CommandHost.h"

#include <QSettings>

namespace tamblin {

class AppSettings;
class BrowserLibrary;
class CMainFrame;
class CXoDoc;

// What the Test menu's commands see of the running shell: the open document, the
// application's settings, the main frame's status bar and the loaded browser plugin.
class ShellCommandHost final : public CommandHost {
public:
    ShellCommandHost(CXoDoc& document, CMainFrame& frame, const BrowserLibrary& browser,
                     QString programDirectory, AppSettings& appSettings);

    QString IndexPath() const override;
    bool IsModified() const override;
    void SaveDocument() override;
    QSettings& Settings() override { return m_settings; }
    void SetStatusText(const QString& text) override;
    bool BrowserAvailable() const override;
    BrowserView* CreateBrowser(QWidget* parent) override;
    QString ProgramDirectory() const override { return m_programDirectory; }
    bool WebViewerWanted() const override;
    void SetWebViewerWanted(bool wanted) override;

private:
    CXoDoc& m_document;
    CMainFrame& m_frame;
    const BrowserLibrary& m_browser;
    QString m_programDirectory;
    AppSettings& m_appSettings;
    // The same store the application writes (QSettings instances share one cache).
    QSettings m_settings{QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("Tarvo"),
                         QStringLiteral("Tamblin")};
};

} // namespace tamblin
