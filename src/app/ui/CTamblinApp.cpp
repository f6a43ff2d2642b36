#include "app/ui/CTamblinApp.h"

#include "app/HelpIds.h"
#include "app/InstallLayout.h"
#include "app/ui/CAboutDlg.h"
#include "app/ui/CMainFrame.h"
#include "app/ui/COptionsEditing.h"
#include "app/ui/COptionsPrinting.h"
#include "app/ui/COptionsSheet.h"
#include "app/ui/CSplashWnd.h"
#include "app/ui/QtSettingsStore.h"
#include "app/ui/ShellCommandHost.h"
#include "app/ui/ShellHelp.h"
#include "document/ui/CXoDoc.h"
#include "find/ui/FindCommands.h"
#include "index/IndexFile.h"
#include "index/UrlUtils.h"
#include "language/ui/LanguageCommands.h"
#include "linkcheck/ui/LinkCheckCommand.h"
#include "platform/CommonPrompts.h"
#include "platform/DialogService.h"
#include "print/ui/PrintCommands.h"
#include "scanner/ui/NewIndexCommand.h"
#include "searchpage/ui/SearchPageCommands.h"
#include "testpage/ui/TestPageCommands.h"
#include "update/SiteRescan.h"
#include "update/ui/UpdateFromSiteCommand.h"

#include <QAction>
#include <QCoreApplication>
#include <QFile>
#include <QPageSetupDialog>
#include <QPrinter>
#include <QTimer>

#include <unistd.h>

namespace tamblin {

namespace {

constexpr unsigned long long kLowMemoryBytes = 16777216ULL;

std::string ToLocal(const QString& text) {
    return QFile::encodeName(text).toStdString();
}

IndexPrintout::Options PrintOptions(const AppSettings& settings) {
    IndexPrintout::Options options;
    options.face = QString::fromStdString(settings.m_printFace);
    options.points = settings.m_printPointSize;
    options.summary = settings.m_printSummary;
    return options;
}

} // namespace

CTamblinApp::CTamblinApp() = default;

CTamblinApp::~CTamblinApp() {
    delete m_frame;
}

bool CTamblinApp::InitInstance(const QStringList& arguments) {
    std::vector<std::string> args;
    for (const QString& argument : arguments) {
        args.push_back(ToLocal(argument));
    }
    CommandLineInfo info = CommandLineInfo::Parse(args);
    CSplashWnd::EnableSplashScreen(info.showSplash && m_splashAllowed);
    m_programDirectory = QString::fromStdString(
        SplitPath(ToLocal(QCoreApplication::applicationFilePath())).directory);
    InstallLayout layout = InstallLayout::Find(ToLocal(m_programDirectory));
    m_dataDirectory = QFile::decodeName(layout.dataDirectory.c_str());
    m_pluginDirectory = QFile::decodeName(layout.pluginDirectory.c_str());
    m_store = std::make_unique<QtSettingsStore>();
    m_settings.Load(*m_store);
    m_recentFiles.Load(*m_store);
    CreateFrame();
    RestorePlacement();
    if (!ProcessShellCommand(info)) {
        return false;
    }
    if (info.action == CommandLineInfo::Action::FilePrint ||
        info.action == CommandLineInfo::Action::FilePrintTo) {
        m_printedOnly = true;
        return true;
    }
    if (m_settings.m_placement.showState == WindowPlacement::kMaximised) {
        m_frame->showMaximized();
    } else {
        m_frame->show();
    }
    CheckBrowser();
    return true;
}

void CTamblinApp::CreateFrame() {
    m_document = new CXoDoc(this);
    m_frame = new CMainFrame(m_document, m_store.get());
    m_commandHost = std::make_unique<ShellCommandHost>(*m_document, *m_frame, m_browser,
                                                       m_dataDirectory, m_settings);
    m_document->SetWindow(m_frame);
    m_frame->SetUndoEveryEdit(m_settings.m_undoEveryEdit);
    connect(m_document, &CXoDoc::PathSaved, this, &CTamblinApp::AddToRecentFiles);
    // New makes an empty index until the New wizard exists; the wizard takes the command
    // over with one line, e.g. SetHandler(Command::FileNew, [this] { RunNewWizard(); }).
    m_frame->SetHandler(Command::FileNew, [this] { OnFileNew(); });
    m_frame->SetHandler(Command::FileOpen, [this] { OnFileOpen(); });
    m_frame->SetHandler(Command::FilePrintSetup, [this] { OnFilePrintSetup(); });
    auto hasIndex = [this] { return m_document->Index() != nullptr; };
    m_frame->SetHandler(
        Command::FilePrint, [this] { OnFilePrint(); }, hasIndex);
    m_frame->SetHandler(
        Command::FilePrintPreview, [this] { OnFilePrintPreview(); }, hasIndex);
    m_printDocument = [this](const QString& printer) { return PrintFromCommandLine(printer); };
    m_frame->SetHandler(Command::ViewOptions, [this] { OnViewOptions(); });
    m_frame->SetHandler(Command::AppAbout, [this] { OnAppAbout(); });
    m_frame->SetHandler(Command::FileNewLanguage,
                        [this] { LanguageCommands::NewLanguageFile(m_frame); });
    m_frame->SetHandler(Command::FileOpenLanguage,
                        [this] { LanguageCommands::OpenLanguageFile(m_frame); });
    m_frame->SetHandler(Command::TestWebPage,
                        [this] { TestPageCommands::TestWebPage(m_frame, *m_commandHost); });
    m_frame->SetHandler(
        Command::TestCheckLinks, [this] { LinkCheckCommand::Run(m_frame, *m_frame->View()); },
        hasIndex);
    m_frame->SetHandler(
        Command::EditUpdateFromSite,
        [this] { UpdateFromSiteCommand::Run(m_frame, *m_frame->View(), m_newWizardValues); },
        hasIndex);
    m_frame->SetHandler(Command::TestNewWebPage,
                        [this] { SearchPageCommands::NewWebPage(m_frame, *m_commandHost); });
    m_help = std::make_unique<ShellHelp>(
        *m_frame, QCoreApplication::applicationFilePath(),
        [this] { return m_browser.IsAvailable(); }, nullptr, m_dataDirectory);
    auto* find = new FindCommands(
        *m_frame->View(), m_settings,
        [this](const QString& text) { m_commandHost->SetStatusText(text); },
        [this](unsigned helpId) { m_help->Request(helpId, kHelpContext); });
    connect(find, &FindCommands::SettingsChanged, this, &CTamblinApp::SaveSettings);
    find->PlugCommands([this](Command id, CMainFrame::Run run, CMainFrame::Enabled enabled) {
        m_frame->SetHandler(id, std::move(run), std::move(enabled));
    });
    m_frame->SetRecentFileHandler([this](int position) { OpenRecentFile(position); });
    m_frame->SetDropHandler([this](const QString& path) { OpenDocumentFile(path); });
    AddToRecentFiles(QString());
    CSplashWnd::ShowSplashScreen(m_frame);
}

void CTamblinApp::RestorePlacement() {
    const WindowPlacement& placement = m_settings.m_placement;
    if (placement.IsSaved()) {
        m_frame->setGeometry(placement.left, placement.top, placement.Width(), placement.Height());
    } else {
        // First start: a size that shows a useful part of the tree.
        m_frame->resize(640, 480);
    }
}

bool CTamblinApp::ProcessShellCommand(const CommandLineInfo& info) {
    QString file = QFile::decodeName(info.fileName.c_str());
    switch (info.action) {
    case CommandLineInfo::Action::FileOpen:
        return OpenDocumentFile(file);
    case CommandLineInfo::Action::FilePrint:
    case CommandLineInfo::Action::FilePrintTo:
        return OpenDocumentFile(file) && PrintFromShell(file, info.printerName);
    case CommandLineInfo::Action::FileNew:
        break;
    }
    OpenMostRecentOrNew();
    return true;
}

void CTamblinApp::OpenMostRecentOrNew() {
    std::optional<std::string> recent;
    if (m_store->OpenGroup(kRecentFileGroup, false)) {
        recent = m_store->ReadText(RecentFileList::ValueName(0));
        m_store->CloseGroup();
    }
    if (recent && !recent->empty() && FileExists(*recent) &&
        OpenDocumentFile(QFile::decodeName(recent->c_str()))) {
        return;
    }
    m_document->NewIndex();
}

void CTamblinApp::CheckBrowser() {
    m_browserLoaded =
        m_browser.Load(m_browserDirectory.isEmpty() ? m_pluginDirectory : m_browserDirectory);
    m_browserChecked = true;
    SaveSettings();
    if (!m_browserLoaded && !m_settings.m_browserWarned) {
        m_settings.m_browserWarned = true;
        ShowWarning(QStringLiteral(
            "Warning:  You need to have Qt WebEngine loaded to test web pages from within "
            "Tamblin.\n\nYou will not see this warning again."));
    }
    if (m_browser.IsAvailable()) {
        CheckMemory();
        // Finding Lumio takes a while: the main window is shown and painted first, and
        // Getting started then opens over it rather than behind it.
        QTimer::singleShot(0, this, [this] {
            bool welcomed = m_settings.m_welcomed;
            m_help->Start(m_settings.m_welcomed);
            if (welcomed != m_settings.m_welcomed) {
                SaveSettings();
            }
        });
    }
}

void CTamblinApp::CheckMemory() {
    long pages = sysconf(_SC_PHYS_PAGES);
    long pageSize = sysconf(_SC_PAGE_SIZE);
    if (pages <= 0 || pageSize <= 0) {
        return;
    }
    auto total = static_cast<unsigned long long>(pages) * static_cast<unsigned long long>(pageSize);
    if (total <= kLowMemoryBytes && !m_settings.m_lowMemWarned) {
        m_settings.m_lowMemWarned = true;
        SaveSettings();
        ShowWarning(QStringLiteral(
            "Warning: You have 16MB of RAM memory or less.\nYou may find that Navora will not "
            "run when testing web pages in Tamblin,\nor that the help topics contents does not "
            "run.\n\nYou will not see this warning again."));
    }
}

void CTamblinApp::ExitInstance() {
    if (m_help) {
        m_help->Exit();
    }
    if (!m_store) {
        return;
    }
    SaveSettings();
    SaveRecentFiles();
}

// Each change is written at once, so a crash or a kill keeps it.
void CTamblinApp::SaveSettings() {
    if (!m_store) {
        return;
    }
    // Until the browser has been looked for, IEWarned keeps the value it was read with.
    m_settings.Save(*m_store, m_browserChecked ? m_browserLoaded : !m_settings.m_browserWarned);
    m_store->Flush();
}

void CTamblinApp::SaveRecentFiles() {
    if (!m_store) {
        return;
    }
    m_recentFiles.Save(*m_store);
    m_store->Flush();
}

void CTamblinApp::ShowWarning(const QString& text) {
    DialogService::Message message;
    message.text = text;
    message.icon = DialogService::Icon::Warning;
    Dialogs().ShowMessage(m_frame, message);
}

void CTamblinApp::OnFileNew() {
    if (!m_document->SaveModified()) {
        return;
    }
    using Kind = NewIndexCommand::Outcome::Kind;
    QAction* newLanguage = m_frame->Action(Command::FileNewLanguage);
    NewIndexCommand::Outcome outcome =
        NewIndexCommand::Run(m_frame, m_newWizardValues, newLanguage && newLanguage->isEnabled());
    switch (outcome.kind) {
    case Kind::LanguageFile:
        newLanguage->trigger();
        break;
    case Kind::EmptyIndex:
        m_newIndexDescription = outcome.description;
        m_document->SetModifiedFlag(false);
        m_document->NewIndex(m_newIndexDescription);
        break;
    case Kind::Scanned:
        if (m_document->OpenScannedIndex(QFile::decodeName(outcome.temporaryPath.c_str()),
                                         outcome.pathName,
                                         QString::fromStdString(outcome.description)) &&
            outcome.settings.rememberScan) {
            SiteRescan::RememberScan(*m_document->Index(), outcome.settings);
        }
        break;
    default:
        break;
    }
}

void CTamblinApp::OnFileOpen() {
    QString path;
    if (PromptFileName(m_frame, true, QStringLiteral("xo"), QStringLiteral("Open"), path,
                       QString::fromLatin1(kIndexFilter))) {
        OpenDocumentFile(path);
    }
}

bool CTamblinApp::OpenDocumentFile(const QString& path) {
    return m_document->SaveModified() && OpenWithoutAsking(path);
}

bool CTamblinApp::OpenWithoutAsking(const QString& path) {
    if (!m_document->OpenIndex(path)) {
        return false;
    }
    m_document->SetPathName(path);
    AddToRecentFiles(m_document->PathName());
    m_document->UpdateAllViews();
    return true;
}

void CTamblinApp::OpenRecentFile(int position) {
    const auto& items = m_recentFiles.Items();
    if (position < 0 || static_cast<size_t>(position) >= items.size()) {
        return;
    }
    std::string path = items[static_cast<size_t>(position)];
    // Cancel at the save question keeps the entry; only a file that fails to open leaves.
    if (m_document->SaveModified() && !OpenWithoutAsking(QFile::decodeName(path.c_str()))) {
        m_recentFiles.Remove(static_cast<size_t>(position));
        SaveRecentFiles();
        AddToRecentFiles(QString());
    }
}

void CTamblinApp::AddToRecentFiles(const QString& path) {
    if (!path.isEmpty()) {
        m_recentFiles.Add(ToLocal(path));
        SaveRecentFiles();
    }
    QStringList paths;
    for (const std::string& item : m_recentFiles.Items()) {
        paths.append(QFile::decodeName(item.c_str()));
    }
    m_frame->SetRecentFiles(paths);
}

QPrinter* CTamblinApp::Printer() {
    if (!m_printer) {
        m_printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    }
    return m_printer.get();
}

void CTamblinApp::OnFilePrintSetup() {
    QPageSetupDialog dialog(Printer(), m_frame);
    dialog.setObjectName(QStringLiteral("printSetupDialog"));
    dialog.exec();
}

void CTamblinApp::OnFilePrint() {
    PrintCommands::Print(m_frame, *m_document, *Printer(), PrintOptions(m_settings));
}

void CTamblinApp::OnFilePrintPreview() {
    PrintCommands::Preview(m_frame, *m_document, *Printer(), PrintOptions(m_settings));
}

bool CTamblinApp::PrintFromShell(const QString& file, const std::string& printerName) {
    if (m_printDocument && m_printDocument(QString::fromStdString(printerName))) {
        return true;
    }
    // Started from a file manager's Print, there is no terminal to read an exit code in.
    QString printer = printerName.empty() ? QStringLiteral("the default printer")
                                          : QString::fromStdString(printerName);
    ShowWarning(QStringLiteral("Could not print %1 on %2.").arg(file, printer));
    return false;
}

bool CTamblinApp::PrintFromCommandLine(const QString& printerName) {
    if (printerName.isEmpty()) {
        return PrintCommands::PrintAll(*m_document, *Printer(), PrintOptions(m_settings));
    }
    // An unknown name must not fall back to some other printer.
    QPrinter named(QPrinter::HighResolution);
    named.setPrinterName(printerName);
    if (named.printerName() != printerName) {
        return false;
    }
    return PrintCommands::PrintAll(*m_document, named, PrintOptions(m_settings));
}

void CTamblinApp::OnViewOptions() {
    COptionsSheet sheet(m_frame);
    COptionsPrinting* page = sheet.PrintingPage();
    page->m_printFace = QString::fromStdString(m_settings.m_printFace);
    page->m_printPointSize = m_settings.m_printPointSize;
    page->m_printSummary = m_settings.m_printSummary;
    page->UpdateControls();
    COptionsEditing* editing = sheet.EditingPage();
    editing->m_undoEveryEdit = m_settings.m_undoEveryEdit;
    editing->UpdateControls();
    if (sheet.exec() != QDialog::Accepted) {
        return;
    }
    m_settings.m_printFace = page->m_printFace.toStdString();
    m_settings.m_printPointSize = page->m_printPointSize;
    m_settings.m_printSummary = page->m_printSummary;
    m_settings.m_undoEveryEdit = editing->m_undoEveryEdit;
    m_frame->SetUndoEveryEdit(m_settings.m_undoEveryEdit);
    SaveSettings();
}

void CTamblinApp::OnAppAbout() {
    CAboutDlg dialog(m_frame);
    dialog.exec();
}

} // namespace tamblin
