#pragma once

#include "app/AppSettings.h"
#include "app/CommandLineInfo.h"
#include "app/RecentFileList.h"
#include "platform/BrowserLibrary.h"
#include "scanner/NewWizardValues.h"

#include <QObject>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>

class QPrinter;

namespace tamblin {

class CMainFrame;
class CXoDoc;
class QtSettingsStore;

// The application object: start-up in its fixed order, the settings, the recent files,
// the commands that belong to no window, and exit.
class CTamblinApp final : public QObject {
    Q_OBJECT

public:
    CTamblinApp();
    ~CTamblinApp() override;

    // False only when the command line asked for something that failed.
    bool InitInstance(const QStringList& arguments);
    void ExitInstance();

    // Commands.
    void OnFileNew();
    void OnFileOpen();
    void OnFilePrintSetup();
    void OnFilePrint();
    void OnFilePrintPreview();
    void OnViewOptions();
    void OnAppAbout();
    // Asks to save changes first; false when cancelled or the file did not open.
    bool OpenDocumentFile(const QString& path);
    void OpenRecentFile(int position);

    AppSettings& Settings() { return m_settings; }
    const RecentFileList& RecentFiles() const { return m_recentFiles; }
    CXoDoc* Document() const { return m_document; }
    CMainFrame* MainFrame() const { return m_frame; }
    const QString& ProgramDirectory() const { return m_programDirectory; }
    bool BrowserAvailable() const { return m_browser.IsAvailable(); }
    QPrinter* Printer();

    std::string m_newIndexDescription;
    // What the New wizard offers again, stored after each Finish.
    NewWizardValues m_newWizardValues;
    // Tests run without the start-up picture.
    bool m_splashAllowed = true;
    // Where the browser plugin is looked for; empty: the program's directory. Tests point
    // it elsewhere to start with or without a browser.
    QString m_browserDirectory;
    // The command line's print: every page on the named printer, or on the application's
    // printer when the name is empty. False when nothing could be printed.
    std::function<bool(const QString& printer)> m_printDocument;
    // A start that only printed from the command line: the job is done and the program
    // ends without showing its window.
    bool PrintedOnly() const { return m_printedOnly; }

private:
    void CreateFrame();
    void RestorePlacement();
    bool ProcessShellCommand(const CommandLineInfo& info);
    void OpenMostRecentOrNew();
    bool OpenWithoutAsking(const QString& path);
    void CheckBrowser();
    void CheckMemory();
    void AddToRecentFiles(const QString& path);
    void SaveSettings();
    void SaveRecentFiles();
    void ShowWarning(const QString& text);
    bool PrintFromShell(const QString& file, const std::string& printerName);
    bool PrintFromCommandLine(const QString& printerName);

    std::unique_ptr<QtSettingsStore> m_store;
    bool m_browserLoaded = false;
    bool m_browserChecked = false;
    AppSettings m_settings;
    RecentFileList m_recentFiles;
    BrowserLibrary m_browser;
    std::unique_ptr<class ShellCommandHost> m_commandHost;
    std::unique_ptr<class ShellHelp> m_help;
    QString m_programDirectory;
    // Where the help, the topic map and Redist/ are, and where the browser plugin is: beside
    // the program in a build, under share/ and lib/ in an installed copy.
    QString m_dataDirectory;
    QString m_pluginDirectory;
    CXoDoc* m_document = nullptr;
    CMainFrame* m_frame = nullptr;
    std::unique_ptr<QPrinter> m_printer;
    bool m_printedOnly = false;
};

} // namespace tamblin
