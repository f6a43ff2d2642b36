#include "app/HelpIds.h"

namespace tamblin {

namespace {

constexpr unsigned Window(unsigned resource) {
    return kWindowHelpBase + resource;
}

constexpr unsigned Control(unsigned control) {
    return kControlHelpBase + control;
}

// Windows of the other subsystems are named here rather than given a property there, so
// that help can grow without touching every dialog.
const std::vector<WindowHelp> kWindows = {
    {"mainFrame", kHelpIdMainFrame},     {"contentsView", kHelpIdMainFrame},
    {"aboutDialog", Window(0x64)},       {"optionsSheet", Window(0x9C)},
    {"COptionsPrinting", Window(0x9C)},  {"testDialog", Window(0x90)},
    {"searchPageWizard", Window(0xD0)},  {"CCallLocation", Window(0xD1)},
    {"CCallIndices", Window(0xD2)},      {"CCallRunMode", Window(0xD3)},
    {"CCallColoursFont", Window(0xD4)},  {"CCallImages", Window(0xD5)},
    {"CCallTest", Window(0xD6)},         {"advancedIndexParameter", Window(0xD7)},
    {"LangPropSheet", Window(0xA0)},     {"LangPageA", Window(0xA1)},
    {"LangPageB", Window(0xA2)},         {"SaveLanguageDialog", Window(0xA3)},
    {"urlProperties", Window(0x8B)},     {"urlIndices", Window(0x83)},
    {"indexFileSettings", Window(0x8E)}, {"indexFileBaseUrls", Window(0x605)},
    {"findDialog", Window(0x604)},       {"CNewIndexFile", Window(0xC0)},
    {"CScanSource", Window(0xC1)},       {"CScanOptions", Window(0xC2)},
    {"ScanReportDialog", Window(0xC3)},
};

const std::vector<ControlHelp> kControls = {
    {"testDialog", "showButton", Control(0x3E8)},   {"testDialog", "pageBox", Control(0x3E9)},
    {"testDialog", "browseButton", Control(0x3EA)}, {"testDialog", "browser", Control(0x3EB)},
    {"CCallLocation", "location", Control(0x410)},  {"CCallIndices", "indexFile", Control(0x411)},
    {"CCallIndices", "target", Control(0x412)},     {"CCallRunMode", "popUp", Control(0x413)},
    {"CCallColoursFont", "font", Control(0x414)},   {"CCallTest", "testNow", Control(0x415)},
    {"CCallTest", "copyJavaFiles", Control(0x416)},
};

} // namespace

unsigned CommandHelpId(Command command) {
    return kCommandHelpBase + static_cast<unsigned>(command);
}

unsigned WindowHelpId(std::string_view objectName) {
    for (const WindowHelp& window : kWindows) {
        if (objectName == window.objectName) {
            return window.helpId;
        }
    }
    return 0;
}

unsigned ControlHelpId(std::string_view windowName, std::string_view controlName) {
    for (const ControlHelp& control : kControls) {
        if (windowName == control.windowName && controlName == control.controlName) {
            return control.helpId;
        }
    }
    return 0;
}

const std::vector<WindowHelp>& WindowHelpTable() {
    return kWindows;
}

const std::vector<ControlHelp>& ControlHelpTable() {
    return kControls;
}

} // namespace tamblin
