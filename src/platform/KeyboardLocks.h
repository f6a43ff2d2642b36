#pragma once

namespace tamblin {

// Caps Lock and Num Lock as the keyboard shows them. Qt has no portable query, so this
// asks X11 when the program runs there and says "off" elsewhere.
struct KeyboardLocks {
    bool capsLock = false;
    bool numLock = false;
    bool known = false;

    static KeyboardLocks Query();
};

} // namespace tamblin
