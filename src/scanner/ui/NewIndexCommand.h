#pragma once

#include "scanner/NewWizardValues.h"
#include "scanner/SiteScanner.h"

#include <QString>

#include <functional>
#include <string>

class QWidget;

namespace tamblin {

// The File New command after the save-changes question: the New wizard and, for a scan, the
// report dialog. The shell turns the outcome into a document.
class NewIndexCommand final {
public:
    struct Outcome {
        enum class Kind { Cancelled, EmptyIndex, LanguageFile, Scanned, ScanFailed };
        Kind kind = Kind::Cancelled;
        std::string description;
        // Scanned: the temporary index file, which the shell loads and deletes.
        std::string temporaryPath;
        // Scanned: description + ".xo", in the start file's folder in File mode.
        QString pathName;
        // Scanned: the settings the scan ran with, and whether it read the whole site (not
        // stopped, and at least one page read).
        ScanSettings settings;
        bool complete = false;
    };

    // Runs the wizard on `kept`, which takes the wizard's values back only after Finish.
    static Outcome Run(QWidget* parent, NewWizardValues& kept, bool languageFileAvailable,
                       const ScanOptions& options = {});
    // Runs one scan with its report dialog; ScanFailed, said as "Page scan failed", when it
    // cannot start.
    static Outcome Scan(QWidget* parent, const ScanSettings& settings,
                        const ScanOptions& options = {});
    static QString ScannedPathName(const ScanSettings& settings, char separator = '/');
};

} // namespace tamblin
