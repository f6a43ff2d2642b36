// Used by the programs' start-up: main() calls BrowserLibrary::PrepareBeforeApplication()
// before constructing QApplication, then the application object calls Load() once and keeps
// the BrowserLibrary for the whole run; IsAvailable() is "the browser control is available"
// (the one-time IEWarned warning when it is not), and CreateView() serves the Test dialog
// and the help viewer.
#pragma once

#include "platform/BrowserView.h"

#include <QLibrary>
#include <QString>

class QWidget;

namespace tamblin {

// The browser plugin (Qt WebEngine), loaded at start-up from the program's directory.
// Whether it loads is what makes testing pages and help available. The shell owns one.
class BrowserLibrary final {
public:
    // Call in main() before the QApplication exists: what Qt WebEngine reads at start-up.
    // Its sandbox needs user namespaces a root process (a container, CI) does not get, so it
    // is switched off for root only.
    static void PrepareBeforeApplication();

    // Loads "tamblin-browser.so" from `directory` (the program's own by default).
    bool Load(const QString& directory = QString());
    bool IsAvailable() const { return m_create != nullptr; }
    QString ErrorString() const { return m_library.errorString(); }
    // A new browser widget, or null when the plugin is not loaded.
    BrowserView* CreateView(QWidget* parent) const;

    static constexpr const char* kFileName = "tamblin-browser.so";
    static constexpr const char* kEntryPoint = "tamblin_create_browser_view";
    using CreateFunction = BrowserView* (*)(QWidget* parent);

private:
    QLibrary m_library;
    CreateFunction m_create = nullptr;
};

} // namespace tamblin
