#include "platform/TerminationSignals.h"

#include <array>
#include <atomic>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace tamblin {

namespace {

constexpr std::array<int, 3> kSignals = {SIGTERM, SIGINT, SIGHUP};

// Read by the handler, which may run on any thread at any moment: a plain int write end.
std::atomic<int> g_writeFd{-1};

extern "C" void OnTerminationSignal(int signalNumber) {
    int saved = errno;
    int fd = g_writeFd.load();
    if (fd >= 0) {
        unsigned char byte = static_cast<unsigned char>(signalNumber);
        // A full pipe already holds a request to stop; losing this byte loses nothing.
        [[maybe_unused]] ssize_t written = ::write(fd, &byte, 1);
    }
    errno = saved;
}

void SetHandler(void (*handler)(int)) {
    struct sigaction action {};
    action.sa_handler = handler;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int number : kSignals) {
        ::sigaction(number, &action, nullptr);
    }
}

} // namespace

TerminationSignals::TerminationSignals(QObject* parent) : QObject(parent) {
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC | O_NONBLOCK) != 0) {
        return;
    }
    m_readFd = fds[0];
    int previous = g_writeFd.exchange(fds[1]);
    if (previous >= 0) {
        ::close(previous);
    }
    m_notifier = std::make_unique<QSocketNotifier>(m_readFd, QSocketNotifier::Read);
    connect(m_notifier.get(), &QSocketNotifier::activated, this, &TerminationSignals::OnReadable);
    SetHandler(&OnTerminationSignal);
}

TerminationSignals::~TerminationSignals() {
    if (m_readFd < 0) {
        return;
    }
    SetHandler(SIG_DFL);
    m_notifier.reset();
    int writeFd = g_writeFd.exchange(-1);
    if (writeFd >= 0) {
        ::close(writeFd);
    }
    ::close(m_readFd);
}

void TerminationSignals::OnReadable() {
    unsigned char byte = 0;
    int last = 0;
    while (::read(m_readFd, &byte, 1) == 1) {
        last = byte;
    }
    if (last != 0) {
        Q_EMIT terminationRequested(last);
    }
}

} // namespace tamblin
