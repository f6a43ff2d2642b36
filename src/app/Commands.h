#pragma once

#include <vector>

namespace tamblin {

// Command ids follow the framework numbering, so help context ids are 0x10000 + id.
enum class Command : unsigned {
    None = 0,
    FileNew = 0xE100,
    FileOpen = 0xE101,
    FileSave = 0xE103,
    FileSaveAs = 0xE104,
    FilePrintSetup = 0xE106,
    FilePrint = 0xE107,
    FilePrintPreview = 0xE109,
    FileRecent1 = 0xE110, // File1 .. File8 are FileRecent1 + 0 .. 7
    EditDelete = 0xE120,
    EditCopy = 0xE122,
    EditCut = 0xE123,
    EditFind = 0xE124,
    EditPaste = 0xE125,
    EditFindNext = 0xE128,
    EditUndo = 0xE12B,
    EditRedo = 0xE12C,
    AppAbout = 0xE140,
    AppExit = 0xE141,
    HelpFinder = 0xE143,
    ContextHelp = 0xE145,
    Help = 0xE146,
    ViewToolbar = 0xE800,
    ViewStatusBar = 0xE801,
    FileNewLanguage = 32771,
    FileOpenLanguage = 32772,
    EditInsertUrl = 32773,
    EditFlatten = 32774,
    ViewProperties = 32775,
    ViewIndexKeywords = 32776,
    ViewBaseUrls = 32778,
    ViewOptions = 32779,
    TestNewWebPage = 32780,
    TestOpenWebPage = 32781,
    TestWebPage = 32782,
    HelpSearch = 32783,
    HelpGettingStarted = 32784,
    TestCheckLinks = 32785,
    EditUpdateFromSite = 32786,
};

inline constexpr int kRecentFileCount = 8;
inline constexpr unsigned kCommandHelpBase = 0x10000;

// One row of the main menu, in menu order. A row with Command::None and no text is a
// separator; the row of kind RecentFiles stands for the recent file list.
struct CommandInfo {
    enum class Kind { Command, Separator, RecentFiles };
    Kind kind;
    const char* menu; // "&File" ...; empty for keys that have no menu item
    Command id;
    const char* text;      // menu text with its "&" mnemonic
    const char* shortcuts; // key sequences separated by "|", the first one shown
    const char* prompt;    // status bar text, "\n", tool tip
    const char* objectName;
};

const std::vector<CommandInfo>& CommandTable();
const CommandInfo* FindCommand(Command id);
// The toolbar in order; Command::None is a separator.
const std::vector<Command>& ToolbarCommands();

} // namespace tamblin
