#include "helpviewer/HelpSettings.h"
#include "helpviewer/ui/CallerWatch.h"
#include "helpviewer/ui/HelpServer.h"
#include "helpviewer/ui/HelpViewer.h"
#include "helpviewer/ui/LumioMainFrame.h"
#include "platform/BrowserLibrary.h"
#include "platform/HelpChannel.h"

#include <QApplication>
#include <QFontDatabase>
#include <QScreen>

#include <cstdio>
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

} // namespace

int main(int argc, char** argv) {
    tamblin::BrowserLibrary::PrepareBeforeApplication();
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Lumio"));
    QApplication::setOrganizationName(QStringLiteral("Tarvo"));
    QApplication::setQuitOnLastWindowClosed(false);
    // The whole argument text is one string: the title of the caller's window.
    QString argument = QApplication::arguments().mid(1).join(QLatin1Char(' '));

    tamblin::BrowserLibrary browser;
    browser.Load();
    tamblin::LumioMainFrame frame;
    tamblin::HelpViewer viewer(
        &frame, [&browser](QWidget* parent) { return browser.CreateView(parent); }, WorkArea(),
        InstalledFacesLower());
    std::string programDirectory = QApplication::applicationDirPath().toStdString() + "/";
    frame.SetViewer(&viewer, programDirectory + "Doc/Tamblin/", programDirectory + "Tamblin.HM");
    QObject::connect(&viewer, &tamblin::HelpViewer::closeRequested, &application,
                     &QApplication::quit);

    if (argument == QStringLiteral("LumioTest")) {
        // Only here is there a window whose closing ends the program.
        QApplication::setQuitOnLastWindowClosed(true);
        frame.show();
        return QApplication::exec();
    }

    qint64 caller = CallerPid();
    QString socketPath = qEnvironmentVariable(tamblin::kLumioSocketVariable);
    if (socketPath.isEmpty()) {
        socketPath = tamblin::HelpChannel::SocketPathFor(caller);
    }
    tamblin::HelpServer server(
        [&viewer](const tamblin::HelpRequest& request) { return viewer.HandleRequest(request); });
    if (!server.Listen(socketPath)) {
        std::fprintf(stderr, "lumio: cannot listen at %s: %s\n", qPrintable(socketPath),
                     qPrintable(server.ErrorString()));
        return 1;
    }
    std::unique_ptr<tamblin::CallerWatch> watch;
    if (!argument.isEmpty()) {
        watch = std::make_unique<tamblin::CallerWatch>(caller);
        QObject::connect(watch.get(), &tamblin::CallerWatch::callerGone, &viewer,
                         &tamblin::HelpViewer::Close);
    }
    return QApplication::exec();
}
