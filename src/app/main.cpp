#include "app/InstallLayout.h"
#include "app/ui/CTamblinApp.h"
#include "platform/BrowserLibrary.h"

#include <QApplication>
#include <QFile>

#include <iostream>

namespace {

// --print-paths: what this copy finds and where, then the exit status says whether it
// found everything. Nothing is opened and no settings are touched.
int PrintPaths() {
    tamblin::InstallLayout layout = tamblin::InstallLayout::Find(
        QFile::encodeName(QApplication::applicationDirPath()).toStdString() + "/");
    tamblin::BrowserLibrary browser;
    bool loaded = browser.Load(QFile::decodeName(layout.pluginDirectory.c_str()));
    return layout.Report(loaded, std::cout) ? 0 : 1;
}

} // namespace

int main(int argc, char** argv) {
    tamblin::BrowserLibrary::PrepareBeforeApplication();
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tamblin"));
    QApplication::setOrganizationName(QStringLiteral("Tarvo"));
    QApplication::setDesktopFileName(QStringLiteral("tamblin"));
    if (QApplication::arguments().mid(1) == QStringList{QStringLiteral("--print-paths")}) {
        return PrintPaths();
    }
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
