#include "ScriptedDialogs.h"

namespace tamblin {

ScriptedDialogs::ScriptedDialogs() {
    SetDialogService(this);
}

ScriptedDialogs::~ScriptedDialogs() {
    SetDialogService(nullptr);
}

DialogService::Answer ScriptedDialogs::ShowMessage(QWidget*, const Message& message) {
    m_messages.append(message);
    if (!m_answers.isEmpty()) {
        return m_answers.takeFirst();
    }
    return message.buttons == Buttons::YesNo || message.buttons == Buttons::YesNoCancel
               ? Answer::Yes
               : Answer::Ok;
}

QString ScriptedDialogs::PromptFile(QWidget*, const FileRequest& request) {
    m_fileRequests.append(request);
    return m_files.isEmpty() ? QString() : m_files.takeFirst();
}

} // namespace tamblin
