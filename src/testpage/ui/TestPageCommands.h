// Called by the contents view's Test menu: "Test web page" (Ctrl+F5) calls TestWebPage.
// The search page generator opens the dialog on its new page through OpenTestDialog. The
// shell passes its CommandHost: the open document's modified flag and File Save, the
// application's settings store, the status bar and the loaded browser plugin.
#pragma once

#include <QString>

class QWidget;

namespace tamblin {

class CommandHost;

class TestPageCommands final {
public:
    // Offers to save a modified index, then opens the Test dialog with no page, or tells
    // the user that there is no browser.
    static void TestWebPage(QWidget* parent, CommandHost& host);
    // Runs the Test dialog on `page` until the user closes it (the host must have a browser).
    static void OpenTestDialog(QWidget* parent, CommandHost& host, const QString& page);
};

} // namespace tamblin
