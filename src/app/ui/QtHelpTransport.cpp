#include "app/ui/QtHelpTransport.h"

#include "helpviewer/HelpSettings.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QEventLoop>
#include <QTimer>
#include <QUrl>

namespace tamblin {

QtHelpTransport::QtHelpTransport()
    : m_socketPath(HelpChannel::SocketPathFor(QCoreApplication::applicationPid())) {}

QtHelpTransport::~QtHelpTransport() {
    m_channel.Disconnect();
    // Lumio closes on the exit request; give it a moment, so it is not killed half-way.
    if (m_lumio.state() != QProcess::NotRunning && !m_lumio.waitForFinished(2000)) {
        m_lumio.kill();
        m_lumio.waitForFinished(1000);
    }
}

bool QtHelpTransport::StartLumio(const QString& program, const QString& argument) {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QString::fromLatin1(kLumioSocketVariable), m_socketPath);
    environment.insert(QString::fromLatin1(kLumioCallerVariable),
                       QString::number(QCoreApplication::applicationPid()));
    m_lumio.setProcessEnvironment(environment);
    m_lumio.setProcessChannelMode(QProcess::ForwardedChannels);
    m_lumio.start(program, {argument});
    return m_lumio.waitForStarted(10000);
}

bool QtHelpTransport::Connect() {
    return m_channel.Connect(m_socketPath, 1000);
}

int32_t QtHelpTransport::Send(uint32_t code, const std::string& text) {
    return m_channel.Send(code, text);
}

void QtHelpTransport::Disconnect() {
    m_channel.Disconnect();
}

void QtHelpTransport::Wait(int milliseconds) {
    // Tamblin's window keeps painting while Lumio starts; what the user types waits, so
    // nothing can act on a help client that is half-way through its start.
    QEventLoop loop;
    QTimer::singleShot(milliseconds, &loop, &QEventLoop::quit);
    loop.exec(QEventLoop::ExcludeUserInputEvents);
}

bool QtHelpTransport::OpenInDesktopBrowser(const QString& path) {
    return QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}

} // namespace tamblin
