#pragma once

#include "helpviewer/HelpRequest.h"
#include "helpviewer/RequestDecoder.h"

#include <QLocalServer>
#include <QObject>
#include <QString>

#include <chrono>
#include <functional>
#include <map>
#include <memory>

class QLocalSocket;
class QTimer;

namespace tamblin {

// Lumio's end of the request socket. Each request is answered as soon as its frame is
// complete, with what the handler returns; a broken stream loses its connection. Whoever can
// reach the socket must not be able to wear Lumio down: a frame left half-sent loses its
// connection after frameTimeout, and connections past maxConnections are closed at once.
class HelpServer final : public QObject {
    Q_OBJECT
public:
    using Handler = std::function<int32_t(const HelpRequest&)>;

    static constexpr std::chrono::milliseconds kFrameTimeout{5000};
    static constexpr size_t kMaxConnections = 32;

    HelpServer(Handler handler, QObject* parent = nullptr,
               std::chrono::milliseconds frameTimeout = kFrameTimeout,
               size_t maxConnections = kMaxConnections);
    ~HelpServer() override;

    // Listens at path, owner-only. A socket file that nobody answers on is a leftover of a
    // Lumio that died, and is removed; one that answers belongs to a live Lumio and is kept.
    // The file goes again when the server is destroyed.
    bool Listen(const QString& path);
    QString ErrorString() const { return m_error; }
    size_t ConnectionCount() const { return m_connections.size(); }

private:
    struct Connection {
        RequestDecoder decoder;
        // Runs from the first byte of a frame to its last; it is not restarted by each byte,
        // so a sender trickling bytes is cut off too.
        QTimer* frameTimer = nullptr;
    };

    void OnNewConnection();
    void OnReadyRead(QLocalSocket* socket);

    Handler m_handler;
    std::chrono::milliseconds m_frameTimeout;
    size_t m_maxConnections;
    QLocalServer m_server;
    QString m_error;
    std::map<QLocalSocket*, std::unique_ptr<Connection>> m_connections;
};

} // namespace tamblin
