// Called by the main window's File menu: "Ne&w language file..." calls NewLanguageFile and
// "Open &language file..." calls OpenLanguageFile. The New wizard's "New &Language File"
// button leads to NewLanguageFile too.
#pragma once

#include <QString>

class QWidget;

namespace tamblin {

class LanguageCommands final {
public:
    // The editor on a new, unnamed language file.
    static void NewLanguageFile(QWidget* parent);
    // Asks for a language file and opens the editor on it; a cancelled choice does nothing.
    static void OpenLanguageFile(QWidget* parent);
    // Reads `path` (an empty or unreadable one gives a new file), tells the user when its
    // format is being changed, and runs the editor modally. True when the file was saved.
    static bool EditLanguageFile(QWidget* parent, const QString& path);
};

} // namespace tamblin
