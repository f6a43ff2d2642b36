#pragma once

#include <QObject>
#include <QTimer>

#include <functional>
#include <vector>

class QWidget;

namespace tamblin::test {

// Plays a command's modal dialogs as a user would: every few milliseconds the next step
// looks at the active modal window and returns true once it has done its part. A driver
// that is still waiting after half a minute rejects the modal window so the test cannot
// hang; Done() then stays false.
class ModalDriver final : public QObject {
public:
    using Step = std::function<bool(QWidget* modal)>;

    explicit ModalDriver(std::vector<Step> steps);
    bool Done() const { return m_next >= m_steps.size(); }

private:
    void Tick();

    QTimer m_timer;
    std::vector<Step> m_steps;
    size_t m_next = 0;
    int m_ticks = 0;
};

// Waits, processing events, until `ready` or half a minute has gone; returns `ready()`.
bool WaitFor(const std::function<bool()>& ready);

} // namespace tamblin::test
