#include "language/ui/LanguageCommands.h"

#include "language/LanguageFile.h"
#include "language/ui/LangPropSheet.h"
#include "platform/CommonPrompts.h"
#include "platform/DialogService.h"

#include <QFile>

namespace tamblin {

void LanguageCommands::NewLanguageFile(QWidget* parent) {
    EditLanguageFile(parent, QString());
}

void LanguageCommands::OpenLanguageFile(QWidget* parent) {
    QString path;
    if (PromptFileName(parent, true, QString::fromLatin1(kLanguageExtension),
                       QStringLiteral("Open language file"), path,
                       QString::fromLatin1(kLanguageFilter))) {
        EditLanguageFile(parent, path);
    }
}

bool LanguageCommands::EditLanguageFile(QWidget* parent, const QString& path) {
    LanguageFile file;
    file.Read(QFile::encodeName(path).toStdString());
    if (file.ReadFailed()) {
        DialogService::Message message;
        message.text = FormatMessage1(QStringLiteral("Could not open file (%1)"), path);
        message.icon = DialogService::Icon::Warning;
        Dialogs().ShowMessage(parent, message);
        return false;
    }
    if (file.FormatChanged()) {
        DialogService::Message message;
        message.text = FormatMessage1(QString::fromLatin1(kInvalidFormatMessage),
                                      QString::fromLatin1(kLanguageFormat));
        message.icon = DialogService::Icon::Warning;
        Dialogs().ShowMessage(parent, message);
    }
    LangPropSheet sheet(std::move(file), parent);
    return sheet.exec() == QDialog::Accepted;
}

} // namespace tamblin
