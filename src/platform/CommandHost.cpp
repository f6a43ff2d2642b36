#include "platform/CommandHost.h"

#include "platform/DialogService.h"

namespace tamblin {

bool SaveFirstIfModified(QWidget* parent, CommandHost& host) {
    if (!host.IsModified()) {
        return true;
    }
    DialogService::Message message;
    message.text = QStringLiteral("Do you want to save the current index file first?");
    message.icon = DialogService::Icon::Question;
    message.buttons = DialogService::Buttons::YesNoCancel;
    DialogService::Answer answer = Dialogs().ShowMessage(parent, message);
    if (answer == DialogService::Answer::Cancel) {
        return false;
    }
    if (answer == DialogService::Answer::Yes) {
        host.SaveDocument();
    }
    return true;
}

} // namespace tamblin
