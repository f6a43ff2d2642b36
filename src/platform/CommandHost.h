#pragma once

#include <QString>

class QSettings;
class QWidget;

namespace tamblin {

class BrowserView;

// What the Test menu's commands (Test web page, New web page) need from the shell. The
// main frame implements it over the open document, the application's settings store, its
// status bar and the loaded browser plugin; tests implement it with fakes.
class CommandHost {
public:
    virtual ~CommandHost() = default;
    // Full path of the open index file; empty for one never saved.
    virtual QString IndexPath() const = 0;
    virtual bool IsModified() const = 0;
    // Runs the main frame's File Save command.
    virtual void SaveDocument() = 0;
    // The application's settings (groups "Settings", "Recent Page List", ...).
    virtual QSettings& Settings() = 0;
    // The main frame's status bar message, repainted at once.
    virtual void SetStatusText(const QString& text) = 0;
    // Whether the browser plugin loaded at start-up.
    virtual bool BrowserAvailable() const = 0;
    // A new browser widget; null without the plugin.
    virtual BrowserView* CreateBrowser(QWidget* parent) = 0;
    // The program's own directory, ending in "/": "Redist/" is found there.
    virtual QString ProgramDirectory() const = 0;
    // The New web page wizard's last choice of the script viewer, remembered while the
    // program runs; a host that keeps nothing offers the default.
    virtual bool WebViewerWanted() const { return true; }
    virtual void SetWebViewerWanted(bool) {}
};

// For commands that need the index as saved on disk: asks "Do you want to save the current
// index file first?" when the document is modified. False when the user cancelled.
bool SaveFirstIfModified(QWidget* parent, CommandHost& host);

inline constexpr const char* kIdleStatusText = "For Help, press F1";
// This build's browser is Qt WebEngine, so the message names it.
inline constexpr const char* kNoBrowserMessage =
    "Sorry, you cannot view web pages in Tamblin as you do not have Qt WebEngine loaded";

} // namespace tamblin
