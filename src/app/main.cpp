#include "app/ui/CTamblinApp.h"
#include "platform/BrowserLibrary.h"

#include <QApplication>

int main(int argc, char** argv) {
    tamblin::BrowserLibrary::PrepareBeforeApplication();
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tamblin"));
    QApplication::setOrganizationName(QStringLiteral("Tarvo"));
    QApplication::setDesktopFileName(QStringLiteral("tamblin"));
    Q_INIT_RESOURCE(tamblin);
    tamblin::CTamblinApp tamblin;
    if (!tamblin.InitInstance(QApplication::arguments().mid(1))) {
        // A failed start still ends as every run does: the settings are saved.
        tamblin.ExitInstance();
        return 1;
    }
    if (tamblin.PrintedOnly()) {
        tamblin.ExitInstance();
        return 0;
    }
    int result = QApplication::exec();
    tamblin.ExitInstance();
    return result;
}
