#pragma once

#include "app/Commands.h"

#include <string_view>
#include <vector>

namespace tamblin {

// Help context ids follow the framework's numbering: commands 0x10000 + command id, windows
// and resources 0x20000 + resource number, controls 0x50000 + control number. Tamblin.HM
// names a topic for each of them.
inline constexpr unsigned kWindowHelpBase = 0x20000;
inline constexpr unsigned kControlHelpBase = 0x50000;
inline constexpr unsigned kHelpIdMainFrame = 0x20080;
inline constexpr unsigned kHelpIdGettingStarted = 0x20032;
inline constexpr unsigned kHelpIdSearch = 0x20033;
// F1 in a message box: the framework's default prompt topic, the page about messages.
inline constexpr unsigned kHelpIdMessage = 0x30000;

// The platform's help commands, as the help client takes them.
inline constexpr unsigned kHelpContext = 1;
inline constexpr unsigned kHelpContextPopup = 8;
inline constexpr unsigned kHelpFinder = 11;

struct WindowHelp {
    const char* objectName; // the window's object name
    unsigned helpId;
};

struct ControlHelp {
    const char* windowName; // an ancestor's object name
    const char* controlName;
    unsigned helpId;
};

unsigned CommandHelpId(Command command);
// 0 when the window has no help of its own (its parent's then applies).
unsigned WindowHelpId(std::string_view objectName);
// 0 when the control has no pop-up of its own.
unsigned ControlHelpId(std::string_view windowName, std::string_view controlName);
const std::vector<WindowHelp>& WindowHelpTable();
const std::vector<ControlHelp>& ControlHelpTable();

} // namespace tamblin
