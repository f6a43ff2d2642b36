#include "platform/FirstField.h"

#include <QWidget>

namespace tamblin {

bool FocusFirstField(QWidget* page) {
    if (!page) {
        return false;
    }
    // The focus chain is the Tab order, so its first member inside the page is the first field.
    for (QWidget* widget = page->nextInFocusChain(); widget && widget != page;
         widget = widget->nextInFocusChain()) {
        if (!page->isAncestorOf(widget)) {
            continue;
        }
        if ((widget->focusPolicy() & Qt::TabFocus) && widget->isEnabled() &&
            widget->isVisibleTo(page) && !widget->focusProxy()) {
            widget->setFocus(Qt::TabFocusReason);
            return true;
        }
    }
    return false;
}

} // namespace tamblin
