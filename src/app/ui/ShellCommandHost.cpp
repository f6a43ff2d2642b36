#include "app/ui/ShellCommandHost.h"

#include "app/AppSettings.h"
#include "app/ui/CMainFrame.h"
#include "document/ui/CXoDoc.h"
#include "platform/BrowserLibrary.h"

#include <QStatusBar>

namespace tamblin {

ShellCommandHost::ShellCommandHost(CXoDoc& document, CMainFrame& frame,
                                   const BrowserLibrary& browser, QString programDirectory,
                                   AppSettings& appSettings)
    : m_document(document), m_frame(frame), m_browser(browser),
      m_programDirectory(std::move(programDirectory)), m_appSettings(appSettings) {}

bool ShellCommandHost::WebViewerWanted() const {
    return m_appSettings.m_webViewer;
}

void ShellCommandHost::SetWebViewerWanted(bool wanted) {
    m_appSettings.m_webViewer = wanted;
}

QString ShellCommandHost::IndexPath() const {
    // A new or scanned index has a path name for its title but no file yet.
    const IndexFile* index = m_document.Index();
    if (!index || index->m_fileName.empty()) {
        return {};
    }
    return m_document.PathName();
}

bool ShellCommandHost::IsModified() const {
    return m_document.IsModified();
}

void ShellCommandHost::SaveDocument() {
    m_document.DoFileSave();
}

void ShellCommandHost::SetStatusText(const QString& text) {
    m_frame.statusBar()->showMessage(text);
    m_frame.statusBar()->repaint();
}

bool ShellCommandHost::BrowserAvailable() const {
    return m_browser.IsAvailable();
}

BrowserView* ShellCommandHost::CreateBrowser(QWidget* parent) {
    return m_browser.CreateView(parent);
}

} // namespace tamblin
