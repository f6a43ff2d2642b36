#pragma once

#include "platform/DialogService.h"

namespace tamblin {

class QtDialogService final : public DialogService {
public:
    Answer ShowMessage(QWidget* parent, const Message& message) override;
    QString PromptFile(QWidget* parent, const FileRequest& request) override;
};

} // namespace tamblin
