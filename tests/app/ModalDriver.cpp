#include "ModalDriver.h"

#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QThread>

namespace tamblin::test {

namespace {

constexpr int kTickMs = 5;
constexpr int kGiveUpMs = 30000;

} // namespace

ModalDriver::ModalDriver(std::vector<Step> steps) : m_steps(std::move(steps)) {
    connect(&m_timer, &QTimer::timeout, this, &ModalDriver::Tick);
    m_timer.start(kTickMs);
}

void ModalDriver::Tick() {
    QWidget* modal = QApplication::activeModalWidget();
    if (Done() || !modal) {
        return;
    }
    if (++m_ticks * kTickMs > kGiveUpMs) {
        if (auto* dialog = qobject_cast<QDialog*>(modal)) {
            dialog->reject();
        }
        return;
    }
    if (m_steps[m_next](modal)) {
        ++m_next;
    }
}

bool WaitFor(const std::function<bool()>& ready) {
    QElapsedTimer clock;
    clock.start();
    while (!ready() && clock.elapsed() < kGiveUpMs) {
        QApplication::processEvents(QEventLoop::AllEvents, 10);
        QThread::msleep(2);
    }
    return ready();
}

} // namespace tamblin::test
