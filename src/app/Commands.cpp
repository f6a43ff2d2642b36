#include "app/Commands.h"

namespace tamblin {

namespace {

using K = CommandInfo::Kind;
using C = Command;

constexpr CommandInfo Separator(const char* menu) {
    return {K::Separator, menu, C::None, "", "", "", ""};
}

const std::vector<CommandInfo> kTable = {
    {K::Command, "&File", C::FileNew, "&New", "Ctrl+N", "Create a new index file\nNew",
     "actionFileNew"},
    {K::Command, "&File", C::FileOpen, "&Open...", "Ctrl+O", "Open an existing index file\nOpen",
     "actionFileOpen"},
    {K::Command, "&File", C::FileSave, "&Save", "Ctrl+S", "Save the index file\nSave",
     "actionFileSave"},
    {K::Command, "&File", C::FileSaveAs, "Save &As...", "",
     "Save the index file with a new name\nSave As", "actionFileSaveAs"},
    Separator("&File"),
    {K::Command, "&File", C::FileNewLanguage, "Ne&w language file...", "",
     "Create a new Navora language file\nNew language file", "actionFileNewLanguage"},
    {K::Command, "&File", C::FileOpenLanguage, "Open &language file...", "",
     "Open an existing Navora language file\nOpen language file", "actionFileOpenLanguage"},
    Separator("&File"),
    {K::Command, "&File", C::FilePrint, "&Print...", "Ctrl+P", "Print the index file\nPrint",
     "actionFilePrint"},
    {K::Command, "&File", C::FilePrintPreview, "Print Pre&view", "",
     "Display full pages\nPrint Preview", "actionFilePrintPreview"},
    {K::Command, "&File", C::FilePrintSetup, "P&rint Setup...", "",
     "Change the printer and printing options\nPrint Setup", "actionFilePrintSetup"},
    Separator("&File"),
    {K::RecentFiles, "&File", C::FileRecent1, "Recent File", "", "Open this index file",
     "actionFileRecent"},
    Separator("&File"),
    {K::Command, "&File", C::AppExit, "E&xit", "",
     "Quit the application; prompts to save the index file\nExit", "actionAppExit"},

    {K::Command, "&Edit", C::EditUndo, "&Undo", "Ctrl+Z|Alt+Backspace", "Undo the last edit\nUndo",
     "actionEditUndo"},
    {K::Command, "&Edit", C::EditRedo, "&Redo", "Ctrl+Y|Ctrl+Shift+Z",
     "Redo the edit that was undone last\nRedo", "actionEditRedo"},
    Separator("&Edit"),
    {K::Command, "&Edit", C::EditCut, "Cu&t", "Ctrl+X|Shift+Del",
     "Cut the selection and put it on the Clipboard\nCut", "actionEditCut"},
    {K::Command, "&Edit", C::EditCopy, "&Copy", "Ctrl+C|Ctrl+Ins",
     "Copy the selection and put it on the Clipboard\nCopy", "actionEditCopy"},
    {K::Command, "&Edit", C::EditPaste, "&Paste", "Ctrl+V|Shift+Ins",
     "Insert the cut or copied entry\nPaste", "actionEditPaste"},
    {K::Command, "&Edit", C::EditDelete, "&Delete", "Del", "Delete the selected entry\nDelete",
     "actionEditDelete"},
    Separator("&Edit"),
    {K::Command, "&Edit", C::EditFind, "&Find...", "Ctrl+F", "Find the specified text\nFind",
     "actionEditFind"},
    {K::Command, "&Edit", C::EditFindNext, "Find &next", "F3",
     "Find the next occurrence of the text\nFind next", "actionEditFindNext"},
    Separator("&Edit"),
    {K::Command, "&Edit", C::EditInsertUrl, "&Insert URL...", "",
     "Insert a new URL after the selected entry\nInsert URL", "actionEditInsertUrl"},
    {K::Command, "&Edit", C::EditFlatten, "F&latten", "",
     "Move the children of the selected entry up one level\nFlatten", "actionEditFlatten"},
    Separator("&Edit"),
    {K::Command, "&Edit", C::EditUpdateFromSite, "Update from &site...", "",
     "Scan the site again and bring the index up to date, keeping your edits\nUpdate from site",
     "actionEditUpdateFromSite"},

    {K::Command, "&View", C::ViewProperties, "&Properties...", "",
     "Edit the properties of the selected entry\nProperties", "actionViewProperties"},
    {K::Command, "&View", C::ViewIndexKeywords, "Index &keywords...", "",
     "Edit the Index keywords of the selected entry\nIndex keywords", "actionViewIndexKeywords"},
    {K::Command, "&View", C::ViewBaseUrls, "&Base URLs...", "",
     "Edit the base URLs of the index file\nBase URLs", "actionViewBaseUrls"},
    Separator("&View"),
    {K::Command, "&View", C::ViewToolbar, "&Toolbar", "", "Show or hide the toolbar\nToolbar",
     "actionViewToolbar"},
    {K::Command, "&View", C::ViewStatusBar, "&Status Bar", "",
     "Show or hide the status bar\nStatus Bar", "actionViewStatusBar"},
    Separator("&View"),
    {K::Command, "&View", C::ViewOptions, "&Options...", "", "Change the printing options\nOptions",
     "actionViewOptions"},

    {K::Command, "&Test", C::TestNewWebPage, "&New web page", "",
     "Write a new search web page for the index file\nNew web page", "actionTestNewWebPage"},
    {K::Command, "&Test", C::TestOpenWebPage, "&Open web page", "",
     "Open a web page which calls Navora\nOpen web page", "actionTestOpenWebPage"},
    {K::Command, "&Test", C::TestWebPage, "&Test web page", "Ctrl+F5",
     "Test the index file in a web page\nTest web page", "actionTestWebPage"},
    {K::Command, "&Test", C::TestCheckLinks, "Check &links...", "",
     "Check the pages and anchors that the index links to\nCheck links", "actionTestCheckLinks"},

    {K::Command, "&Help", C::HelpFinder, "&Help Topics", "", "List Help topics\nHelp Topics",
     "actionHelpFinder"},
    {K::Command, "&Help", C::HelpSearch, "&Search", "", "Search the Help topics\nSearch",
     "actionHelpSearch"},
    {K::Command, "&Help", C::HelpGettingStarted, "&Getting started", "",
     "Show how to get started with Tamblin\nGetting started", "actionHelpGettingStarted"},
    Separator("&Help"),
    {K::Command, "&Help", C::AppAbout, "&About Tamblin...", "",
     "Display program information and version numbers\nAbout", "actionAppAbout"},

    {K::Command, "", C::Help, "Help", "F1", "Display help for the current task or command\nHelp",
     "actionHelp"},
    {K::Command, "", C::ContextHelp, "Context help", "Shift+F1",
     "Display help for clicked on buttons, menus and windows\nContext help", "actionContextHelp"},
};

const std::vector<Command> kToolbar = {
    C::FileNew,   C::FileOpen,  C::FileSave, C::None,        C::EditCut,  C::EditCopy,
    C::EditPaste, C::None,      C::EditUndo, C::EditRedo,    C::EditFind, C::TestWebPage,
    C::None,      C::FilePrint, C::AppAbout, C::ContextHelp,
};

} // namespace

const std::vector<CommandInfo>& CommandTable() {
    return kTable;
}

const CommandInfo* FindCommand(Command id) {
    for (const CommandInfo& info : kTable) {
        if (info.kind == CommandInfo::Kind::Command && info.id == id) {
            return &info;
        }
    }
    return nullptr;
}

const std::vector<Command>& ToolbarCommands() {
    return kToolbar;
}

} // namespace tamblin
