#include "app/Commands.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

using namespace tamblin;

TEST(Commands, ShortcutsAndMenusAreThoseOfTheMenuTable) {
    struct Expected {
        Command id;
        const char* menu;
        const char* shortcuts;
    };
    const Expected expected[] = {
        {Command::FileNew, "&File", "Ctrl+N"},
        {Command::FileOpen, "&File", "Ctrl+O"},
        {Command::FileSave, "&File", "Ctrl+S"},
        {Command::FilePrint, "&File", "Ctrl+P"},
        {Command::EditUndo, "&Edit", "Ctrl+Z|Alt+Backspace"},
        {Command::EditRedo, "&Edit", "Ctrl+Y|Ctrl+Shift+Z"},
        {Command::EditCut, "&Edit", "Ctrl+X|Shift+Del"},
        {Command::EditCopy, "&Edit", "Ctrl+C|Ctrl+Ins"},
        {Command::EditPaste, "&Edit", "Ctrl+V|Shift+Ins"},
        {Command::EditDelete, "&Edit", "Del"},
        {Command::EditFind, "&Edit", "Ctrl+F"},
        {Command::EditFindNext, "&Edit", "F3"},
        {Command::TestWebPage, "&Test", "Ctrl+F5"},
        {Command::ViewOptions, "&View", ""},
        {Command::TestOpenWebPage, "&Test", ""},
        {Command::Help, "", "F1"},
        {Command::ContextHelp, "", "Shift+F1"},
    };
    for (const Expected& row : expected) {
        const CommandInfo* info = FindCommand(row.id);
        ASSERT_NE(info, nullptr);
        EXPECT_STREQ(info->menu, row.menu) << info->text;
        EXPECT_STREQ(info->shortcuts, row.shortcuts) << info->text;
    }
}

TEST(Commands, OpenWebPageSaysWhatPageItOpens) {
    const CommandInfo* info = FindCommand(Command::TestOpenWebPage);
    ASSERT_NE(info, nullptr);
    EXPECT_STREQ(info->prompt, "Open a web page which calls Navora\nOpen web page");
}

TEST(Commands, EveryCommandHasItsOwnIdNameAndAToolTip) {
    std::set<unsigned> ids;
    std::set<std::string> names;
    for (const CommandInfo& info : CommandTable()) {
        if (info.kind != CommandInfo::Kind::Command) {
            continue;
        }
        EXPECT_TRUE(ids.insert(static_cast<unsigned>(info.id)).second) << info.text;
        EXPECT_TRUE(names.insert(info.objectName).second) << info.text;
        EXPECT_NE(std::string(info.prompt).find('\n'), std::string::npos) << info.text;
    }
    for (Command id : ToolbarCommands()) {
        EXPECT_TRUE(id == Command::None || FindCommand(id)) << static_cast<unsigned>(id);
    }
}
