#pragma once

#include <QLocalSocket>
#include <QString>

#include <cstdint>
#include <string>

namespace tamblin {

// Tamblin's end of the one persistent connection to Lumio: a framed request, then Lumio's
// int32 answer. An answer that does not come within the wait counts as zero.
class HelpChannel final {
public:
    static constexpr int kAnswerTimeoutMs = 3000;

    // The socket of the Lumio that serves the process `callerPid`, in the user's runtime
    // directory (owner-only), so two Tamblins never share a Lumio.
    static QString SocketPathFor(qint64 callerPid);

    bool Connect(const QString& path, int timeoutMs);
    bool IsConnected() const;
    // Lumio's answer; 0 when not connected, on a write failure or when no answer comes.
    int32_t Send(uint32_t code, const std::string& text, int timeoutMs = kAnswerTimeoutMs);
    void Disconnect();

private:
    QLocalSocket m_socket;
};

} // namespace tamblin
