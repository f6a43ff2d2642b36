#pragma once

#include <QObject>
#include <QSocketNotifier>

#include <memory>

namespace tamblin {

// Turns SIGTERM, SIGINT and SIGHUP into a queued signal, so that a program asked to stop
// leaves through its event loop and its destructors run (a listening socket removes its file).
// The handler only writes one byte to a pipe; everything else happens in the event loop.
// Make one per process.
class TerminationSignals final : public QObject {
    Q_OBJECT
public:
    explicit TerminationSignals(QObject* parent = nullptr);
    ~TerminationSignals() override;
    TerminationSignals(const TerminationSignals&) = delete;
    TerminationSignals& operator=(const TerminationSignals&) = delete;

    // False when the pipe could not be made; the signals then keep their default action.
    bool IsWatching() const { return m_notifier != nullptr; }

Q_SIGNALS:
    void terminationRequested(int signalNumber);

private:
    void OnReadable();

    int m_readFd = -1;
    std::unique_ptr<QSocketNotifier> m_notifier;
};

} // namespace tamblin
