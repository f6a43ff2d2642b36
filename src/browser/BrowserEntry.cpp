// The plugin's one entry point, found by name with QLibrary::resolve.
#include "browser/WebEngineBrowserView.h"

#include <cstdlib>
#include <unistd.h>

extern "C" __attribute__((visibility("default"))) tamblin::BrowserView*
tamblin_create_browser_view(QWidget* parent) {
    // Qt WebEngine reads this when the first view starts it; root cannot run its sandbox.
    if (geteuid() == 0) {
        setenv("QTWEBENGINE_DISABLE_SANDBOX", "1", 0);
    }
    return new tamblin::WebEngineBrowserView(parent);
}
