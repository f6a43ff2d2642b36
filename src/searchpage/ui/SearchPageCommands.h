// Called by the contents view's Test menu: "New web page" calls NewWebPage. The shell
// passes its CommandHost: the open index file's path and modified flag, File Save, the
// application's settings store (Settings/NavoraHomePage sets the page's closing link), the
// status bar, the browser plugin and the program's directory (the applet's files are
// copied from its "Redist/").
#pragma once

class QWidget;

namespace tamblin {

class CommandHost;
struct SearchPageSettings;

class SearchPageCommands final {
public:
    // Offers to save a modified index, runs the wizard from the defaults for the open index
    // file and, on Finish, writes the page, copies the applet's files and tests the page.
    static void NewWebPage(QWidget* parent, CommandHost& host);
    // The record the wizard starts from.
    static SearchPageSettings DefaultSettings(CommandHost& host);
    // What Finish does with the record.
    static void WritePage(QWidget* parent, CommandHost& host, SearchPageSettings& settings);
};

} // namespace tamblin
