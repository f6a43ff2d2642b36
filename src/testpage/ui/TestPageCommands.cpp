#include "testpage/ui/TestPageCommands.h"

#include "platform/CommandHost.h"
#include "platform/DialogService.h"
#include "testpage/ui/CTestDialog.h"

namespace tamblin {

void TestPageCommands::TestWebPage(QWidget* parent, CommandHost& host) {
    if (!SaveFirstIfModified(parent, host)) {
        return;
    }
    if (!host.BrowserAvailable()) {
        DialogService::Message message;
        message.text = QString::fromLatin1(kNoBrowserMessage);
        Dialogs().ShowMessage(parent, message);
        return;
    }
    OpenTestDialog(parent, host, QString());
}

void TestPageCommands::OpenTestDialog(QWidget* parent, CommandHost& host, const QString& page) {
    CTestDialog dialog(page, host, parent);
    dialog.exec();
}

} // namespace tamblin
