#include "platform/KeyboardLocks.h"

#include <QGuiApplication>
#include <QLibrary>

namespace tamblin {

namespace {

using XkbGetIndicatorStateFn = int (*)(void* display, unsigned deviceSpec, unsigned* state);
constexpr unsigned kXkbUseCoreKbd = 0x0100;

// libX11 is loaded when first needed rather than linked, so the program also starts where
// there is no X11 at all (offscreen, Wayland-only).
XkbGetIndicatorStateFn IndicatorFunction() {
    static XkbGetIndicatorStateFn function = [] {
        QLibrary library(QStringLiteral("X11"), 6);
        return reinterpret_cast<XkbGetIndicatorStateFn>(library.resolve("XkbGetIndicatorState"));
    }();
    return function;
}

void* X11Display() {
#if QT_CONFIG(xcb)
    if (auto* x11 = qApp ? qApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr) {
        return x11->display();
    }
#endif
    return nullptr;
}

} // namespace

KeyboardLocks KeyboardLocks::Query() {
    KeyboardLocks locks;
    void* display = X11Display();
    XkbGetIndicatorStateFn function = display ? IndicatorFunction() : nullptr;
    unsigned state = 0;
    if (function && function(display, kXkbUseCoreKbd, &state) == 0) {
        locks.capsLock = (state & 1u) != 0;
        locks.numLock = (state & 2u) != 0;
        locks.known = true;
    }
    return locks;
}

} // namespace tamblin
