#include "platform/CommonPrompts.h"

#include "platform/DialogService.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QWidget>

#include <cstdarg>
#include <cstdio>
#include <vector>

namespace tamblin {

QString FormatMessage1(const QString& text, const QString& value) {
    QString result = text;
    result.replace(QStringLiteral("%1"), value);
    return result;
}

bool PromptFileName(QWidget* parent, bool open, const QString& defaultExtension,
                    const QString& title, QString& path, const QString& filter) {
    DialogService::FileRequest request;
    request.open = open;
    request.title = title;
    request.path = path;
    request.filter = filter;
    request.defaultExtension = defaultExtension;
    QString chosen = Dialogs().PromptFile(parent, request);
    if (chosen.isEmpty()) {
        return false;
    }
    path = chosen;
    return true;
}

bool ConfirmDelete(QWidget* parent, const QString& name) {
    DialogService::Message message;
    message.text = FormatMessage1(QStringLiteral("OK to Delete '%1'?"), name);
    message.icon = DialogService::Icon::Question;
    message.buttons = DialogService::Buttons::OkCancel;
    return Dialogs().ShowMessage(parent, message) == DialogService::Answer::Ok;
}

bool ConfirmReplaceReadOnly(QWidget* parent, const QString& name) {
    DialogService::Message message;
    // The words of kReplaceReadOnlyQuestion, which the cores ask through their hosts.
    message.text =
        FormatMessage1(QStringLiteral("%1 is read-only.\nDo you want to replace it?"), name);
    message.icon = DialogService::Icon::Question;
    message.buttons = DialogService::Buttons::YesNo;
    return Dialogs().ShowMessage(parent, message) == DialogService::Answer::Yes;
}

bool CopyTextToClipboard(QWidget* parent, const QString& text) {
    QClipboard* clipboard = QGuiApplication::clipboard();
    if (!clipboard) {
        DialogService::Message message;
        message.text = QStringLiteral("Cannot open clipboard");
        Dialogs().ShowMessage(parent, message);
        return false;
    }
    clipboard->setText(text);
    return true;
}

bool CheckMinLength(QWidget* field, const QString& text, int minimum) {
    if (text.size() >= minimum) {
        return true;
    }
    DialogService::Message message;
    message.text = minimum == 1
                       ? QStringLiteral("This string cannot be blank")
                       : FormatMessage1(QStringLiteral("String length should be at least %1"),
                                        QString::number(minimum));
    message.icon = DialogService::Icon::Warning;
    Dialogs().ShowMessage(field ? field->window() : nullptr, message);
    if (field) {
        field->setFocus();
    }
    return false;
}

void ShowWarning(QWidget* parent, const QString& text) {
    DialogService::Message message;
    message.text = text;
    message.icon = DialogService::Icon::Warning;
    Dialogs().ShowMessage(parent, message);
}

void ShowFormattedMessage(const char* format, ...) {
    va_list args;
    va_start(args, format);
    va_list copy;
    va_copy(copy, args);
    int length = std::vsnprintf(nullptr, 0, format, copy);
    va_end(copy);
    std::vector<char> buffer(static_cast<size_t>(length > 0 ? length : 0) + 1);
    std::vsnprintf(buffer.data(), buffer.size(), format, args);
    va_end(args);
    DialogService::Message message;
    message.text = QString::fromLocal8Bit(buffer.data());
    message.caption = QString::fromLatin1(kProgramName);
    message.icon = DialogService::Icon::None;
    Dialogs().ShowMessage(nullptr, message);
}

} // namespace tamblin
