#pragma once

#include "index/UrlUtils.h"
#include "searchpage/IndexParameter.h"

#include <string>
#include <vector>

namespace tamblin {

// Where the closing link of a new search page points unless the user set another address
// (the "NavoraHomePage" value of the settings, or tamblin-cli's --home-page).
inline constexpr const char* kDefaultNavoraHomePage = "https://www.tarvo.example/navora/";
// The script, shipped in Redist/ and copied beside every page, that shows the index in
// browsers without Java.
inline constexpr const char* kWebViewerScript = "navora-web.js";

// How the page is laid out around the applet.
enum class PageLayout {
    Classic, // a heading, the applet in its box, the closing link
    Side,    // the page fills the window: the applet as a sidebar, the pages in a frame beside it
};

// Every applet parameter of a new search page. The defaults are the ones the New web page
// command starts the wizard with.
struct SearchPageSettings {
    std::string pagePath = "Search.html";
    std::string pageDirectory;
    std::vector<IndexParameter> indexParameters;
    std::string target = "_self";
    int width = 400;  // 50 to 1000
    int height = 300; // 50 to 1000
    int iconMode = 0; // 1: an icon on the page opens the applet
    int layoutHigh = 0;
    bool popUp = false;
    bool closeAfterDisplay = false;
    unsigned minWindowWidth = 0;
    unsigned minWindowHeight = 0;
    std::string backgroundColour = "white";
    std::string foregroundColour = "black";
    std::string fieldBackgroundColour = "white";
    std::string iconBackgroundColour = "white";
    std::string cardBackgroundColour = "#FFFFCC";
    std::string selectColour = "green";
    std::string tipBackgroundColour = "#EFFFFF";
    std::string font = "Dialog 12pt";
    bool squareButtons = false;
    std::string contentsIconsImage;
    std::string tabIconsImage;
    std::string iconImage;
    int appletVersion = 0; // 0: 2.1, 1: 2.3, 2: a script chooses
    bool testNow = true;
    bool copyJavaFiles = true;
    // Names the script viewer after the applet; off, the page is the applet's alone.
    bool webViewer = true;
    // Writes beside every index and language file the page names a script holding its bytes,
    // so that the page also shows them when opened from disk (index/CompanionScript.h).
    bool companions = true;
    PageLayout layout = PageLayout::Classic;
    std::string homePage = kDefaultNavoraHomePage;

    // The record the New web page command starts from for the index file at `indexPath`
    // (empty for one never saved): the page beside it, one entry naming it.
    static SearchPageSettings ForIndex(const std::string& indexPath,
                                       char separator = kNativeSeparator);

    static constexpr int kMinSize = 50;
    static constexpr int kMaxSize = 1000;
};

} // namespace tamblin
