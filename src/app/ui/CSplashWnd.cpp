#include "app/ui/CSplashWnd.h"

#include <QApplication>
#include <QEvent>
#include <QPainter>
#include <QPointer>
#include <QScreen>
#include <QTimer>

namespace tamblin {

namespace {

bool g_enabled = false;
QPointer<CSplashWnd> g_current;

bool ClosesSplash(QEvent::Type type) {
    switch (type) {
    case QEvent::KeyPress:
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
    case QEvent::NonClientAreaMouseButtonPress:
    case QEvent::NonClientAreaMouseButtonDblClick:
        return true;
    default:
        return false;
    }
}

} // namespace

void CSplashWnd::EnableSplashScreen(bool enable) {
    g_enabled = enable;
}

bool CSplashWnd::IsEnabled() {
    return g_enabled;
}

CSplashWnd* CSplashWnd::Current() {
    return g_current;
}

void CSplashWnd::ShowSplashScreen(QWidget* owner) {
    if (!g_enabled || g_current) {
        return;
    }
    QPixmap picture(QStringLiteral(":/tamblin/splash.png"));
    if (picture.isNull()) {
        return;
    }
    g_current = new CSplashWnd(owner, picture);
}

CSplashWnd::CSplashWnd(QWidget* owner, const QPixmap& picture)
    : QWidget(owner, Qt::SplashScreen | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint),
      m_picture(picture), m_owner(owner) {
    setObjectName(QStringLiteral("splashWindow"));
    setAttribute(Qt::WA_DeleteOnClose);
    // The main window keeps the keyboard: the splash only shows.
    setAttribute(Qt::WA_ShowWithoutActivating);
    setCursor(Qt::ArrowCursor);
    setFixedSize(m_picture.deviceIndependentSize().toSize());
    QScreen* screen = owner && owner->screen() ? owner->screen() : QGuiApplication::primaryScreen();
    if (screen) {
        QRect area = screen->availableGeometry();
        move(area.center() - rect().center());
    }
    qApp->installEventFilter(this);
    QTimer::singleShot(kShowMilliseconds, this, &CSplashWnd::HideSplashScreen);
    show();
}

CSplashWnd::~CSplashWnd() {
    qApp->removeEventFilter(this);
}

void CSplashWnd::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.drawPixmap(0, 0, m_picture);
}

bool CSplashWnd::eventFilter(QObject* watched, QEvent* event) {
    // Shortcuts are matched before the key press is delivered: holding them back lets the
    // key press arrive here, where it closes the splash and goes no further.
    if (event->type() == QEvent::ShortcutOverride) {
        event->accept();
        return true;
    }
    // A start-up message must be seen and answered: the splash gives way to it at once, so it
    // neither covers the message nor eats the first click on it.
    if (event->type() == QEvent::Show && watched != this && watched->isWidgetType()) {
        auto* widget = static_cast<QWidget*>(watched);
        if (widget->isWindow() && (widget->isModal() || widget->inherits("QDialog"))) {
            HideSplashScreen();
            return false;
        }
    }
    if (watched->isWidgetType() && ClosesSplash(event->type())) {
        HideSplashScreen();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

void CSplashWnd::HideSplashScreen() {
    qApp->removeEventFilter(this);
    close();
    if (m_owner) {
        m_owner->update();
        if (m_owner->isVisible()) {
            m_owner->activateWindow();
        }
    }
}

} // namespace tamblin
