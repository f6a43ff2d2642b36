#pragma once

#include "platform/DialogService.h"

#include <QList>

namespace tamblin {

// Answers dialogs from a script and records what was asked, for headless widget tests.
// Installs itself while it lives.
class ScriptedDialogs final : public DialogService {
public:
    ScriptedDialogs();
    ~ScriptedDialogs() override;

    Answer ShowMessage(QWidget* parent, const Message& message) override;
    QString PromptFile(QWidget* parent, const FileRequest& request) override;

    // Answers taken in order; when they run out, messages get Ok/Yes and files "".
    QList<Answer> m_answers;
    QList<QString> m_files;
    QList<Message> m_messages;
    QList<FileRequest> m_fileRequests;
};

} // namespace tamblin
