#include "helpviewer/ui/CallerWatch.h"

#include <cerrno>
#include <csignal>
#include <unistd.h>

namespace tamblin {

CallerWatch::CallerWatch(qint64 callerPid, QObject* parent)
    : QObject(parent), m_callerPid(callerPid), m_parentPid(getppid()) {
    m_timer.setInterval(kIntervalMs);
    connect(&m_timer, &QTimer::timeout, this, [this] {
        if (!CallerAlive()) {
            m_timer.stop();
            Q_EMIT callerGone();
        }
    });
    m_timer.start();
}

bool CallerWatch::CallerAlive() const {
    // A process id can be taken again by a new process; a child whose parent has gone is
    // handed to another parent, which tells the caller's end for certain when it started us.
    if (m_callerPid == m_parentPid && getppid() != m_parentPid) {
        return false;
    }
    return kill(static_cast<pid_t>(m_callerPid), 0) == 0 || errno == EPERM;
}

} // namespace tamblin
