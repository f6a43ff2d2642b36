#pragma once

#include <QObject>
#include <QTimer>

namespace tamblin {

// Lumio follows the life of the Tamblin that started it: every 10000 ms it checks that the
// caller still runs, and reports when it has gone (also after a crash).
class CallerWatch final : public QObject {
    Q_OBJECT
public:
    static constexpr int kIntervalMs = 10000;

    CallerWatch(qint64 callerPid, QObject* parent = nullptr);
    bool CallerAlive() const;

Q_SIGNALS:
    void callerGone();

private:
    qint64 m_callerPid;
    qint64 m_parentPid;
    QTimer m_timer;
};

} // namespace tamblin
