#pragma once

#include <QObject>

#include <functional>

class QAction;
class QWidget;

namespace tamblin {

// F1 and Shift+F1 everywhere in Tamblin: F1 asks for the help of the active window (the
// innermost window with a help id around the focus, else the main frame's); Shift+F1 enters
// What's This mode, where the next click on a command or control asks for its help.
class HelpEventFilter final : public QObject {
    Q_OBJECT
public:
    using Request = std::function<void(unsigned data, unsigned command)>;

    HelpEventFilter(QWidget* mainFrame, Request request, QObject* parent = nullptr);

    void HelpForActiveWindow();
    void EnterContextMode();
    void LeaveContextMode();
    bool InContextMode() const { return m_contextMode; }

    // The help id of the innermost window around widget that has one, else the main frame's.
    static unsigned WindowHelpIdFor(const QWidget* widget);
    // The help id of the page a property sheet window shows, or 0.
    static unsigned ShownPageHelpId(const QWidget* window);
    // The pop-up id of widget as a control, or 0.
    static unsigned ControlHelpIdFor(const QWidget* widget);
    // The help id of a command's action, or 0.
    static unsigned ActionHelpId(const QAction* action);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool HelpInMenu(bool contextMode);
    void HelpForClick(QObject* target, QEvent* event);

    QWidget* m_mainFrame;
    Request m_request;
    bool m_contextMode = false;
};

} // namespace tamblin
