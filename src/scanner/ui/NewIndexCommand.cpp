#include "scanner/ui/NewIndexCommand.h"

#include "index/UrlUtils.h"
#include "platform/DialogService.h"
#include "scanner/ui/NewIndexWizard.h"
#include "scanner/ui/ScanReportDialog.h"

#include <QFile>

#include <cstdio>
#include <optional>

namespace tamblin {

using Kind = NewIndexCommand::Outcome::Kind;

NewIndexCommand::Outcome NewIndexCommand::Run(QWidget* parent, NewWizardValues& kept,
                                              bool languageFileAvailable,
                                              const ScanOptions& options) {
    NewIndexWizard wizard(kept, parent);
    wizard.SetLanguageFileAvailable(languageFileAvailable);
    Outcome outcome;
    if (wizard.exec() != QDialog::Accepted) {
        return outcome;
    }
    kept = wizard.Values();
    outcome.description = wizard.Description();
    switch (wizard.ChoiceMade()) {
    case NewIndexWizard::kLanguageFile:
        outcome.kind = Kind::LanguageFile;
        return outcome;
    case NewIndexWizard::kScan:
        return Scan(parent, kept.ScanFor(outcome.description), options);
    default:
        outcome.kind = Kind::EmptyIndex;
        return outcome;
    }
}

NewIndexCommand::Outcome NewIndexCommand::Scan(QWidget* parent, const ScanSettings& settings,
                                               const ScanOptions& options) {
    Outcome outcome;
    outcome.description = settings.description;
    outcome.kind = Kind::ScanFailed;
    bool ended = false;
    ScanStartError reason = ScanStartError::None;
    std::string writeFailure;
    {
        // The scanner is declared first so that it outlives the dialog, whose worker runs it
        // until the dialog joins it, on every way out of this block. It is made second: the
        // dialog is its observer.
        std::optional<SiteScanner> scanner;
        ScanReportDialog dialog(nullptr, parent);
        scanner.emplace(settings, &dialog, options);
        if (scanner->Prepare()) {
            dialog.SetScanner(&*scanner);
            ended = dialog.exec() == QDialog::Accepted && dialog.Finished();
            dialog.StopWorker();
            outcome.temporaryPath = scanner->TemporaryPath();
            outcome.complete = !scanner->Aborted() && scanner->PagesRead() > 0;
            // Records that could not all be written would open as a cut-short index.
            if (scanner->WriteFailed()) {
                ended = false;
                writeFailure = scanner->ErrorText();
            }
        } else {
            reason = scanner->StartError();
        }
    }
    if (!ended) {
        if (!outcome.temporaryPath.empty()) {
            std::remove(outcome.temporaryPath.c_str());
        }
        outcome.temporaryPath.clear();
        DialogService::Message message;
        // Why the scan could not start, such as "Could not create a temporary file name";
        // a page source that could not be set up has nothing to add to the words below.
        if (reason != ScanStartError::None && reason != ScanStartError::NoPageSource) {
            message.text = QString::fromStdString(ScanStartErrorText(reason));
            Dialogs().ShowMessage(parent, message);
        }
        if (!writeFailure.empty()) {
            message.text = QString::fromStdString(writeFailure);
            Dialogs().ShowMessage(parent, message);
        }
        message.text = QStringLiteral("Page scan failed");
        Dialogs().ShowMessage(parent, message);
        return outcome;
    }
    outcome.kind = Kind::Scanned;
    outcome.settings = settings;
    outcome.pathName = ScannedPathName(settings, options.fileSeparator);
    return outcome;
}

QString NewIndexCommand::ScannedPathName(const ScanSettings& settings, char separator) {
    std::string path = settings.description + ".xo";
    if (!settings.fromUrl) {
        path = SplitPath(settings.start, separator).directory + path;
    }
    return QFile::decodeName(path.c_str());
}

} // namespace tamblin
