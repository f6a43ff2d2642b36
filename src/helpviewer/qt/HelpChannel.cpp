#include "helpviewer/qt/HelpChannel.h"

#include "helpviewer/HelpRequest.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QStandardPaths>

namespace tamblin {

QString HelpChannel::SocketPathFor(qint64 callerPid) {
    QString directory = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (directory.isEmpty()) {
        directory = QDir::tempPath();
    }
    return directory + QStringLiteral("/lumio-") + QString::number(callerPid);
}

bool HelpChannel::Connect(const QString& path, int timeoutMs) {
    m_socket.abort();
    m_socket.connectToServer(path);
    return m_socket.waitForConnected(timeoutMs);
}

bool HelpChannel::IsConnected() const {
    return m_socket.state() == QLocalSocket::ConnectedState;
}

int32_t HelpChannel::Send(uint32_t code, const std::string& text, int timeoutMs) {
    if (!IsConnected()) {
        return 0;
    }
    std::string frame = EncodeRequest(code, text);
    QDeadlineTimer deadline(timeoutMs);
    if (m_socket.write(frame.data(), static_cast<qint64>(frame.size())) !=
        static_cast<qint64>(frame.size())) {
        return 0;
    }
    while (m_socket.bytesToWrite() > 0) {
        if (!m_socket.waitForBytesWritten(static_cast<int>(deadline.remainingTime()))) {
            Disconnect();
            return 0;
        }
    }
    while (m_socket.bytesAvailable() < static_cast<qint64>(kAnswerSize)) {
        if (deadline.hasExpired() ||
            !m_socket.waitForReadyRead(static_cast<int>(deadline.remainingTime()))) {
            // A late answer would be taken for the next request's: the connection goes.
            Disconnect();
            return 0;
        }
    }
    char answer[kAnswerSize];
    m_socket.read(answer, kAnswerSize);
    return DecodeAnswer(answer);
}

void HelpChannel::Disconnect() {
    m_socket.abort();
}

} // namespace tamblin
