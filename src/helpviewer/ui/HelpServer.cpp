#include "helpviewer/ui/HelpServer.h"

#include <QFileInfo>
#include <QLocalSocket>
#include <QTimer>

namespace tamblin {

HelpServer::HelpServer(Handler handler, QObject* parent, std::chrono::milliseconds frameTimeout,
                       size_t maxConnections)
    : QObject(parent), m_handler(std::move(handler)), m_frameTimeout(frameTimeout),
      m_maxConnections(maxConnections) {
    m_server.setSocketOptions(QLocalServer::UserAccessOption);
    connect(&m_server, &QLocalServer::newConnection, this, &HelpServer::OnNewConnection);
}

HelpServer::~HelpServer() {
    // The sockets die with the server after this object's members: they must not call back.
    for (auto& [socket, connection] : m_connections) {
        disconnect(socket, nullptr, this, nullptr);
    }
    m_connections.clear();
    m_server.close();
}

bool HelpServer::Listen(const QString& path) {
    // Listening would replace a socket file without asking whether anyone serves it, so
    // ask first: a connection that works means a live Lumio.
    if (QFileInfo::exists(path)) {
        QLocalSocket probe;
        probe.connectToServer(path);
        if (probe.waitForConnected(1000)) {
            m_error = QStringLiteral("another Lumio is listening there");
            return false;
        }
        QLocalServer::removeServer(path);
    }
    if (!m_server.listen(path)) {
        m_error = m_server.errorString();
        return false;
    }
    return true;
}

void HelpServer::OnNewConnection() {
    while (QLocalSocket* socket = m_server.nextPendingConnection()) {
        if (m_connections.size() >= m_maxConnections) {
            socket->abort();
            socket->deleteLater();
            continue;
        }
        auto connection = std::make_unique<Connection>();
        connection->frameTimer = new QTimer(socket);
        connection->frameTimer->setSingleShot(true);
        connection->frameTimer->setInterval(m_frameTimeout);
        connect(connection->frameTimer, &QTimer::timeout, socket, &QLocalSocket::abort);
        m_connections[socket] = std::move(connection);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] { OnReadyRead(socket); });
        connect(socket, &QLocalSocket::disconnected, this, [this, socket] {
            m_connections.erase(socket);
            socket->deleteLater();
        });
    }
}

void HelpServer::OnReadyRead(QLocalSocket* socket) {
    auto found = m_connections.find(socket);
    if (found == m_connections.end()) {
        return;
    }
    RequestDecoder& decoder = found->second->decoder;
    QTimer* timer = found->second->frameTimer;
    QByteArray bytes = socket->readAll();
    std::string_view rest(bytes.constData(), static_cast<size_t>(bytes.size()));
    while (!rest.empty() && !decoder.IsBroken()) {
        rest.remove_prefix(decoder.Feed(rest));
        if (std::optional<HelpRequest> request = decoder.Take()) {
            timer->stop();
            std::string answer = EncodeAnswer(m_handler(*request));
            socket->write(answer.data(), static_cast<qint64>(answer.size()));
        }
    }
    if (decoder.IsBroken()) {
        socket->abort();
        return;
    }
    if (!decoder.HasPartialFrame()) {
        timer->stop();
    } else if (!timer->isActive()) {
        timer->start();
    }
}

} // namespace tamblin
