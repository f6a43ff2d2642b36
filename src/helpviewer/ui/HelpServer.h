#pragma once

#include "helpviewer/HelpRequest.h"
#include "helpviewer/RequestDecoder.h"

#include <QLocalServer>
#include <QObject>
#include <QString>

#include <functional>
#include <map>
#include <memory>

class QLocalSocket;

namespace tamblin {

// Lumio's end of the request socket. Each request is answered as soon as its frame is
// complete, with what the handler returns; a broken stream loses its connection.
class HelpServer final : public QObject {
    Q_OBJECT
public:
    using Handler = std::function<int32_t(const HelpRequest&)>;

    HelpServer(Handler handler, QObject* parent = nullptr);
    ~HelpServer() override;

    // Listens at path, owner-only. A socket file that nobody answers on is a leftover of a
    // Lumio that died, and is removed; one that answers belongs to a live Lumio and is kept.
    bool Listen(const QString& path);
    QString ErrorString() const { return m_error; }

private:
    void OnNewConnection();
    void OnReadyRead(QLocalSocket* socket);

    Handler m_handler;
    QLocalServer m_server;
    QString m_error;
    std::map<QLocalSocket*, std::unique_ptr<RequestDecoder>> m_decoders;
};

} // namespace tamblin
