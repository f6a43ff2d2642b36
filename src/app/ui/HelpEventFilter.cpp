#include "app/ui/HelpEventFilter.h"

#include "app/Commands.h"
#include "app/HelpIds.h"

#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QTabBar>
#include <QTabWidget>
#include <QToolButton>
#include <QWhatsThis>

namespace tamblin {

HelpEventFilter::HelpEventFilter(QWidget* mainFrame, Request request, QObject* parent)
    : QObject(parent), m_mainFrame(mainFrame), m_request(std::move(request)) {
    qApp->installEventFilter(this);
}

unsigned HelpEventFilter::WindowHelpIdFor(const QWidget* widget) {
    for (const QWidget* w = widget; w; w = w->parentWidget()) {
        // A clicked tab keeps the focus on the tab bar: the page it shows is what is asked about.
        const auto* tabs = qobject_cast<const QTabWidget*>(w->parentWidget());
        if (tabs && qobject_cast<const QTabBar*>(w) && tabs->currentWidget()) {
            if (unsigned id = WindowHelpId(tabs->currentWidget()->objectName().toStdString())) {
                return id;
            }
        }
        if (unsigned id = WindowHelpId(w->objectName().toStdString())) {
            return id;
        }
        if (unsigned id = w->isWindow() ? ShownPageHelpId(w) : 0) {
            return id;
        }
    }
    return kHelpIdMainFrame;
}

unsigned HelpEventFilter::ShownPageHelpId(const QWidget* window) {
    // A property sheet has no help of its own: its OK and Cancel buttons belong to
    // whichever page is shown.
    const auto* pages = window->findChild<const QTabWidget*>(QString(), Qt::FindDirectChildrenOnly);
    const QWidget* shown = pages ? pages->currentWidget() : nullptr;
    return shown ? WindowHelpId(shown->objectName().toStdString()) : 0;
}

unsigned HelpEventFilter::ControlHelpIdFor(const QWidget* widget) {
    for (const QWidget* control = widget; control && !control->isWindow();
         control = control->parentWidget()) {
        std::string controlName = control->objectName().toStdString();
        for (const QWidget* w = control->parentWidget(); w; w = w->parentWidget()) {
            if (unsigned id = ControlHelpId(w->objectName().toStdString(), controlName)) {
                return id;
            }
        }
    }
    return 0;
}

unsigned HelpEventFilter::ActionHelpId(const QAction* action) {
    if (!action) {
        return 0;
    }
    QString name = action->objectName();
    for (const CommandInfo& info : CommandTable()) {
        if (info.kind != CommandInfo::Kind::Separator && name == QLatin1String(info.objectName)) {
            return CommandHelpId(info.id);
        }
    }
    return 0;
}

void HelpEventFilter::HelpForActiveWindow() {
    QWidget* focus = QApplication::focusWidget();
    QWidget* active = QApplication::activeWindow();
    m_request(WindowHelpIdFor(focus ? focus : active), kHelpContext);
}

void HelpEventFilter::EnterContextMode() {
    if (!m_contextMode) {
        m_contextMode = true;
        QApplication::setOverrideCursor(Qt::WhatsThisCursor);
    }
}

void HelpEventFilter::LeaveContextMode() {
    if (m_contextMode) {
        m_contextMode = false;
        QApplication::restoreOverrideCursor();
    }
}

bool HelpEventFilter::eventFilter(QObject* watched, QEvent* event) {
    // Events reach the window object before its widgets: only the widgets' copy counts.
    if (!watched->isWidgetType()) {
        return QObject::eventFilter(watched, event);
    }
    if (event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (m_contextMode && key->key() == Qt::Key_Escape) {
            LeaveContextMode();
            return true;
        }
        if (key->key() == Qt::Key_F1 && HelpInMenu(key->modifiers() & Qt::ShiftModifier)) {
            return true;
        }
        // A help request ends Shift+F1 mode, so the next click is a click again.
        if (key->key() == Qt::Key_F1 && !(key->modifiers() & Qt::ShiftModifier)) {
            LeaveContextMode();
        }
        // In the main frame F1 and Shift+F1 are its commands' shortcuts; elsewhere (dialogs,
        // wizards, sheets) they arrive here.
        if (key->key() == Qt::Key_F1 && QApplication::activeWindow() != m_mainFrame) {
            if (key->modifiers() & Qt::ShiftModifier) {
                EnterContextMode();
            } else {
                HelpForActiveWindow();
            }
            return true;
        }
    }
    // The title bar's "?" button: the same pop-up help as Shift+F1.
    if (event->type() == QEvent::EnterWhatsThisMode) {
        QWhatsThis::leaveWhatsThisMode();
        EnterContextMode();
        return true;
    }
    if (m_contextMode && event->type() == QEvent::MouseButtonPress) {
        HelpForClick(watched, event);
        return true;
    }
    if (m_contextMode && event->type() == QEvent::MouseButtonRelease) {
        return true;
    }
    return QObject::eventFilter(watched, event);
}

// While a menu is open it has the keyboard, and the main frame's F1 shortcuts do not fire.
bool HelpEventFilter::HelpInMenu(bool contextMode) {
    auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    if (!menu) {
        return false;
    }
    unsigned id = ActionHelpId(menu->activeAction());
    if (!id) {
        id = WindowHelpIdFor(menu);
    }
    while (QWidget* popup = QApplication::activePopupWidget()) {
        popup->close();
    }
    if (contextMode) {
        EnterContextMode();
    } else {
        LeaveContextMode();
        m_request(id, kHelpContext);
    }
    return true;
}

void HelpEventFilter::HelpForClick(QObject* target, QEvent* event) {
    LeaveContextMode();
    auto* widget = qobject_cast<QWidget*>(target);
    if (!widget) {
        return;
    }
    const QAction* action = nullptr;
    if (auto* menu = qobject_cast<QMenu*>(widget)) {
        action = menu->actionAt(static_cast<QMouseEvent*>(event)->position().toPoint());
    } else if (auto* button = qobject_cast<QToolButton*>(widget)) {
        action = button->defaultAction();
    }
    while (QWidget* popup = QApplication::activePopupWidget()) {
        popup->close();
    }
    if (unsigned id = ActionHelpId(action)) {
        m_request(id, kHelpContext);
    } else if (unsigned control = ControlHelpIdFor(widget)) {
        m_request(control, kHelpContextPopup);
    } else {
        m_request(WindowHelpIdFor(widget), kHelpContext);
    }
}

} // namespace tamblin
