#pragma once

#include <QString>

class QWidget;

namespace tamblin {

inline constexpr const char* kProgramName = "Tamblin";

// The shared prompts, all shown through Dialogs() so tests can answer them.

// Returns true with `path` replaced by the chosen file. A path ending in "/" is the start
// directory with an empty name.
bool PromptFileName(QWidget* parent, bool open, const QString& defaultExtension,
                    const QString& title, QString& path, const QString& filter);
// "OK to Delete '%1'?"; true for OK.
bool ConfirmDelete(QWidget* parent, const QString& name);
// Plain text on the clipboard; false with a message when the clipboard refused it.
bool CopyTextToClipboard(QWidget* parent, const QString& text);
// For a dialog's OK step: false after telling the user and focusing the field.
bool CheckMinLength(QWidget* field, const QString& text, int minimum);
// "%1 is read-only. Do you want to replace it?"; true for Yes.
bool ConfirmReplaceReadOnly(QWidget* parent, const QString& name);
// text in a warning box over parent.
void ShowWarning(QWidget* parent, const QString& text);
// printf-style text in a plain OK box captioned "Tamblin", without an owner window.
void ShowFormattedMessage(const char* format, ...) __attribute__((format(printf, 1, 2)));

// "%1" filled with one value, as the messages of the string table expect.
QString FormatMessage1(const QString& text, const QString& value);

} // namespace tamblin
