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
// that help can grow without touching every dialog. A sheet's or wizard's page has its own
// id; the sheet or wizard itself has the id of its overview.
const std::vector<WindowHelp> kWindows = {
    {"mainFrame", kHelpIdMainFrame},     {"contentsView", kHelpIdMainFrame},
    {"messageBox", kHelpIdMessage},      {"menuFile", Window(0x701)},
    {"menuEdit", Window(0x702)},         {"menuView", Window(0x703)},
    {"menuTest", Window(0x704)},         {"menuHelp", Window(0x705)},
    {"menuContents", Window(0x706)},     {"aboutDialog", Window(0x64)},
    {"optionsSheet", Window(0x9C)},      {"COptionsPrinting", Window(0x9C)},
    {"COptionsEditing", Window(0x9D)},   {"testDialog", Window(0x90)},
    {"searchPageWizard", Window(0xD0)},  {"CCallLocation", Window(0xD1)},
    {"CCallIndices", Window(0xD2)},      {"CCallRunMode", Window(0xD3)},
    {"CCallColoursFont", Window(0xD4)},  {"CCallImages", Window(0xD5)},
    {"CCallTest", Window(0xD6)},         {"advancedIndexParameter", Window(0xD7)},
    {"LangPropSheet", Window(0xA0)},     {"LangPageA", Window(0xA1)},
    {"LangPageB", Window(0xA2)},         {"SaveLanguageDialog", Window(0xA3)},
    {"urlProperties", Window(0x8B)},     {"urlIndices", Window(0x83)},
    {"indexFileSettings", Window(0x8E)}, {"indexFileBaseUrls", Window(0x605)},
    {"findDialog", Window(0x604)},       {"NewIndexWizard", Window(0xC4)},
    {"CNewIndexFile", Window(0xC0)},     {"CScanSource", Window(0xC1)},
    {"CScanOptions", Window(0xC2)},      {"ScanReportDialog", Window(0xC3)},
    {"linkCheckDialog", Window(0xD8)},   {"updateReviewDialog", Window(0xD9)},
};

// Control numbers are unique across the table: one number, one pop-up.
const std::vector<ControlHelp> kControls = {
    {"testDialog", "showButton", Control(0x3E8)},
    {"testDialog", "pageBox", Control(0x3E9)},
    {"testDialog", "browseButton", Control(0x3EA)},
    {"testDialog", "browser", Control(0x3EB)},
    {"testDialog", "closeButton", Control(0x3EC)},
    {"testDialog", "backButton", Control(0x3ED)},

    {"CNewIndexFile", "description", Control(0x3F0)},
    {"CNewIndexFile", "emptyIndex", Control(0x3F1)},
    {"CNewIndexFile", "scan", Control(0x3F2)},
    {"CNewIndexFile", "newLanguageFile", Control(0x3F3)},
    {"CScanSource", "fileMode", Control(0x3F4)},
    {"CScanSource", "file", Control(0x3F5)},
    {"CScanSource", "browse", Control(0x3F6)},
    {"CScanSource", "urlMode", Control(0x3F7)},
    {"CScanSource", "url", Control(0x3F8)},
    {"CScanOptions", "addOffSiteEntries", Control(0x3F9)},
    {"CScanOptions", "caseSignificant", Control(0x3FA)},
    {"CScanOptions", "ignoreBlankAnchors", Control(0x3FB)},
    {"CScanOptions", "noTitleIgnorePage", Control(0x3FC)},
    {"CScanOptions", "parseAll", Control(0x3FD)},
    {"CScanOptions", "anchorsAsKeywords", Control(0x3FE)},
    {"CScanOptions", "skipTargetFrame", Control(0x3FF)},
    {"CScanOptions", "browserText", Control(0x4C0)},
    {"CScanOptions", "headingKeywords", Control(0x4C1)},
    {"CScanOptions", "pagesByType", Control(0x4C2)},
    {"CScanOptions", "followRedirects", Control(0x4C3)},
    {"CScanOptions", "shortenTitles", Control(0x4C4)},
    {"CScanOptions", "skipScriptStyle", Control(0x4C5)},
    {"CScanOptions", "polite", Control(0x4C6)},
    {"CScanOptions", "rememberScan", Control(0x4C7)},
    {"CScanOptions", "fullText", Control(0x4CB)},
    {"CScanOptions", "skipCommonHeadings", Control(0x4C8)},
    {"CScanOptions", "skipTitleRepeats", Control(0x4C9)},
    {"CScanOptions", "oneCasePerPage", Control(0x4CA)},
    {"CScanOptions", "tidyUrls", Control(0x4E0)},
    {"CScanOptions", "checkFileLinks", Control(0x4E1)},
    {"CScanOptions", "skipMarkers", Control(0x4E2)},
    {"CScanOptions", "startLanguageOnly", Control(0x4E3)},
    {"CScanOptions", "singleQuotes", Control(0x4E4)},
    {"ScanReportDialog", "status", Control(0x400)},
    {"ScanReportDialog", "dots", Control(0x401)},
    {"ScanReportDialog", "pagesRead", Control(0x402)},
    {"ScanReportDialog", "problems", Control(0x403)},
    {"ScanReportDialog", "button", Control(0x404)},

    {"CCallLocation", "location", Control(0x410)},
    {"CCallLocation", "browse", Control(0x417)},
    {"CCallIndices", "indexFile", Control(0x411)},
    {"CCallIndices", "target", Control(0x412)},
    {"CCallIndices", "browse", Control(0x418)},
    {"CCallIndices", "english", Control(0x419)},
    {"CCallIndices", "french", Control(0x41A)},
    {"CCallIndices", "german", Control(0x41B)},
    {"CCallIndices", "entries", Control(0x41C)},
    {"CCallIndices", "spinUp", Control(0x41D)},
    {"CCallIndices", "spinDown", Control(0x41E)},
    {"CCallIndices", "add", Control(0x41F)},
    {"CCallIndices", "edit", Control(0x420)},
    {"CCallIndices", "delete", Control(0x421)},
    {"CCallRunMode", "popUp", Control(0x413)},
    {"CCallRunMode", "partOfPage", Control(0x422)},
    {"CCallRunMode", "iconMode", Control(0x423)},
    {"CCallRunMode", "closeAfterDisplay", Control(0x424)},
    {"CCallRunMode", "minWindowWidth", Control(0x425)},
    {"CCallRunMode", "minWindowHeight", Control(0x426)},
    {"CCallRunMode", "width", Control(0x427)},
    {"CCallRunMode", "height", Control(0x428)},
    {"CCallRunMode", "wide", Control(0x429)},
    {"CCallRunMode", "high", Control(0x42A)},
    {"CCallColoursFont", "font", Control(0x414)},
    {"CCallColoursFont", "foreground", Control(0x42B)},
    {"CCallColoursFont", "cardBackground", Control(0x42C)},
    {"CCallColoursFont", "select", Control(0x42D)},
    {"CCallColoursFont", "fieldBackground", Control(0x42E)},
    {"CCallColoursFont", "iconBackground", Control(0x42F)},
    {"CCallColoursFont", "background", Control(0x430)},
    {"CCallColoursFont", "tipBackground", Control(0x431)},
    {"CCallColoursFont", "round", Control(0x432)},
    {"CCallColoursFont", "square", Control(0x433)},
    {"CCallImages", "contentsIcons", Control(0x434)},
    {"CCallImages", "tabIcons", Control(0x435)},
    {"CCallImages", "icon", Control(0x436)},
    {"CCallTest", "testNow", Control(0x415)},
    {"CCallTest", "copyJavaFiles", Control(0x416)},
    {"CCallTest", "version21", Control(0x437)},
    {"CCallTest", "version23", Control(0x438)},
    {"CCallTest", "javascript", Control(0x439)},
    {"CCallTest", "webViewer", Control(0x43A)},
    {"CCallTest", "companions", Control(0x43B)},
    {"CCallTest", "sideLayout", Control(0x43C)},
    {"advancedIndexParameter", "indexUrl", Control(0x440)},
    {"advancedIndexParameter", "indexBrowse", Control(0x441)},
    {"advancedIndexParameter", "indexEncoding", Control(0x442)},
    {"advancedIndexParameter", "languageUrl", Control(0x443)},
    {"advancedIndexParameter", "languageBrowse", Control(0x444)},
    {"advancedIndexParameter", "languageEncoding", Control(0x445)},
    {"advancedIndexParameter", "languageCode", Control(0x446)},
    {"advancedIndexParameter", "countryCode", Control(0x447)},
    {"advancedIndexParameter", "noContents", Control(0x448)},
    {"advancedIndexParameter", "sort", Control(0x449)},
    {"advancedIndexParameter", "expanded", Control(0x44A)},
    {"advancedIndexParameter", "noIndex", Control(0x44B)},
    {"advancedIndexParameter", "indexSelected", Control(0x44C)},
    {"advancedIndexParameter", "selectUrl", Control(0x44D)},
    {"advancedIndexParameter", "initialQuery", Control(0x44E)},

    {"LangPageA", "description", Control(0x450)},
    {"LangPageA", "fileName", Control(0x451)},
    {"LangPageA", "format", Control(0x452)},
    {"LangPageB", "labelList", Control(0x453)},
    {"LangPageB", "textList", Control(0x454)},
    {"LangPageB", "lineEdit", Control(0x455)},
    {"SaveLanguageDialog", "saveButton", Control(0x456)},
    {"SaveLanguageDialog", "saveAsButton", Control(0x457)},
    {"SaveLanguageDialog", "cancelButton", Control(0x458)},
    {"SaveLanguageDialog", "path", Control(0x459)},

    {"urlProperties", "title", Control(0x460)},
    {"urlProperties", "inContents", Control(0x461)},
    {"urlProperties", "baseUrl", Control(0x462)},
    {"urlProperties", "url", Control(0x463)},
    {"urlProperties", "browse", Control(0x464)},
    {"urlProperties", "fullUrl", Control(0x465)},
    {"urlProperties", "targetFrame", Control(0x466)},
    {"urlProperties", "iconUrl", Control(0x467)},
    {"urlProperties", "pageTip", Control(0x468)},
    {"urlIndices", "keywords", Control(0x470)},
    {"urlIndices", "delete", Control(0x471)},
    {"urlIndices", "add", Control(0x472)},
    {"urlIndices", "phrase", Control(0x473)},
    {"urlIndices", "anchor", Control(0x474)},
    {"urlIndices", "keywordUrl", Control(0x475)},
    {"urlIndices", "extraTitle", Control(0x476)},
    {"urlIndices", "fullTitle", Control(0x477)},
    {"urlIndices", "targetFrame", Control(0x478)},
    {"indexFileSettings", "description", Control(0x480)},
    {"indexFileSettings", "tipText", Control(0x481)},
    {"indexFileSettings", "fileName", Control(0x482)},
    {"indexFileSettings", "lastCreated", Control(0x483)},
    {"indexFileSettings", "format", Control(0x484)},
    {"indexFileSettings", "status", Control(0x485)},
    {"indexFileBaseUrls", "baseUrls", Control(0x488)},
    {"indexFileBaseUrls", "delete", Control(0x489)},
    {"indexFileBaseUrls", "add", Control(0x48A)},
    {"indexFileBaseUrls", "baseUrl", Control(0x48B)},
    {"indexFileBaseUrls", "targetFrame", Control(0x48C)},
    {"indexFileBaseUrls", "setAll", Control(0x48D)},
    {"COptionsPrinting", "fontCombo", Control(0x490)},
    {"COptionsPrinting", "sizeEdit", Control(0x491)},
    {"COptionsPrinting", "summaryCheck", Control(0x492)},
    {"COptionsEditing", "undoEveryEditCheck", Control(0x493)},

    {"findDialog", "findWhat", Control(0x4A0)},
    {"findDialog", "wholeWord", Control(0x4A1)},
    {"findDialog", "matchCase", Control(0x4A2)},
    {"findDialog", "inUrls", Control(0x4A3)},
    {"findDialog", "inIndices", Control(0x4A4)},
    {"findDialog", "findNext", Control(0x4A5)},
    {"findDialog", "cancel", Control(0x4A6)},
    {"findDialog", "help", Control(0x4A7)},

    {"aboutDialog", "programVersion", Control(0x4B0)},
    {"aboutDialog", "navoraVersion", Control(0x4B1)},

    {"linkCheckDialog", "offSite", Control(0x4D0)},
    {"linkCheckDialog", "check", Control(0x4D1)},
    {"linkCheckDialog", "progress", Control(0x4D2)},
    {"linkCheckDialog", "status", Control(0x4D3)},
    {"linkCheckDialog", "problems", Control(0x4D4)},
    {"linkCheckDialog", "close", Control(0x4D5)},
    {"updateReviewDialog", "changeList", Control(0x4D6)},
    {"updateReviewDialog", "keptCount", Control(0x4D7)},
    {"updateReviewDialog", "okButton", Control(0x4D8)},
    {"updateReviewDialog", "cancelButton", Control(0x4D9)},
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
