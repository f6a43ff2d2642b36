#include "app/InstallLayout.h"
#include "helpviewer/HelpSettings.h"
#include "helpviewer/qt/HelpChannel.h"
#include "helpviewer/ui/CallerWatch.h"
#include "helpviewer/ui/HelpServer.h"
#include "helpviewer/ui/HelpViewer.h"
#include "helpviewer/ui/LumioMainFrame.h"
#include "platform/BrowserLibrary.h"
#include "platform/TerminationSignals.h"

#include <QApplication>
#include <QFile>
#include <QFontDatabase>
#include <QScreen>

#include <cstdio>
#include <iostream>
#include <unistd.h>

namespace {

QRect WorkArea() {
    QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? screen->availableGeometry() : QRect(0, 0, 640, 480);
}

std::vector<std::string> InstalledFacesLower() {
    std::vector<std::string> faces;
    for (const QString& family : QFontDatabase::families()) {
        faces.push_back(family.toLower().toStdString());
    }
    return faces;
}

qint64 CallerPid() {
    bool ok = false;
    qint64 pid = qEnvironmentVariable(tamblin::kLumioCallerVariable).toLongLong(&ok);
    return ok && pid > 0 ? pid : static_cast<qint64>(getppid());
}

QString SocketPath(qint64 caller) {
    QString path = qEnvironmentVariable(tamblin::kLumioSocketVariable);
    return path.isEmpty() ? tamblin::HelpChannel::SocketPathFor(caller) : path;
}

} // namespace

int main(int argc, char** argv) {
    tamblin::BrowserLibrary::PrepareBeforeApplication();
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Lumio"));
    QApplication::setOrganizationName(QStringLiteral("Tarvo"));
    QApplication::setQuitOnLastWindowClosed(false);
    // The whole argument text is one string: the title of the caller's window.
    QString argument = QApplication::arguments().mid(1).join(QLatin1Char(' '));
    tamblin::InstallLayout layout = tamblin::InstallLayout::Find(
        QFile::encodeName(QApplication::applicationDirPath()).toStdString() + "/");

    tamblin::BrowserLibrary browser;
    if (argument == QStringLiteral("--print-paths")) {
        return layout.Report(browser.Load(QFile::decodeName(layout.pluginDirectory.c_str())),
                             std::cout)
                   ? 0
                   : 1;
    }

    tamblin::LumioMainFrame frame;
    // The browser is asked for only when the first page is shown, after it has loaded.
    tamblin::HelpViewer viewer(
        &frame, [&browser](QWidget* parent) { return browser.CreateView(parent); }, WorkArea(),
        InstalledFacesLower());
    viewer.SetDesktopFontSize(qEnvironmentVariableIntValue(tamblin::kLumioClassicPopupsVariable) ==
                              0);
    frame.SetViewer(&viewer, layout.dataDirectory + "Doc/Tamblin/",
                    layout.dataDirectory + tamblin::InstallLayout::kTopicMapName);
    QObject::connect(&viewer, &tamblin::HelpViewer::closeRequested, &application,
                     &QApplication::quit);

    // Listen before the browser engine loads: Tamblin gives up after a few tries, and
    // its requests wait in the socket until the event loop runs.
    bool testMode = argument == QStringLiteral("LumioTest");
    qint64 caller = CallerPid();
    QString socketPath = SocketPath(caller);
    tamblin::HelpServer server(
        [&viewer](const tamblin::HelpRequest& request) { return viewer.HandleRequest(request); });
    // Asked to stop, Lumio closes as on Tamblin's request, so the server removes its socket
    // file on the way out rather than leaving it for the next Lumio to clear.
    tamblin::TerminationSignals termination;
    QObject::connect(&termination, &tamblin::TerminationSignals::terminationRequested, &viewer,
                     &tamblin::HelpViewer::Close);
    if (!server.Listen(socketPath)) {
        std::fprintf(stderr, "lumio: cannot listen at %s: %s\n", qPrintable(socketPath),
                     qPrintable(server.ErrorString()));
        if (!testMode) {
            return 1;
        }
    }
    browser.Load(QFile::decodeName(layout.pluginDirectory.c_str()));

    if (testMode) {
        // Only here is there a window whose closing ends the program.
        QApplication::setQuitOnLastWindowClosed(true);
        frame.show();
        return QApplication::exec();
    }

    std::unique_ptr<tamblin::CallerWatch> watch;
    if (!argument.isEmpty()) {
        watch = std::make_unique<tamblin::CallerWatch>(caller);
        QObject::connect(watch.get(), &tamblin::CallerWatch::callerGone, &viewer,
                         &tamblin::HelpViewer::Close);
    }
    return QApplication::exec();
}
