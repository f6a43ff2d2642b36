#include "searchpage/SearchPageText.h"
#include "searchpage/FormatIndexParameter.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace tamblin;

namespace {

const char* const kHeader = "<HTML>\r\n<HEAD>\r\n<TITLE>Navora Search Page</TITLE>\r\n</HEAD>\r\n"
                            "<BODY BGCOLOR=white>\r\n<H1>Navora Search Page</H1>\r\n<BR>\r\n\r\n";

const char* const kApplet21 = "<APPLET CODE=\"Navora\" ARCHIVE=\"xo210.zip\" WIDTH=400 "
                              "HEIGHT=300>\r\n<PARAM NAME=cabbase VALUE=\"xo210.cab\">\r\n";

const char* const kLook = "<PARAM NAME=BgColour VALUE=\"white\">\r\n"
                          "<PARAM NAME=FgColour VALUE=\"black\">\r\n"
                          "<PARAM NAME=FieldBgColor VALUE=\"white\">\r\n"
                          "<PARAM NAME=IconBgColor VALUE=\"white\">\r\n"
                          "<PARAM NAME=CardBgColor VALUE=\"#FFFFCC\">\r\n"
                          "<PARAM NAME=SelectColor VALUE=\"green\">\r\n"
                          "<PARAM NAME=TipBgColor VALUE=\"#EFFFFF\">\r\n"
                          "<PARAM NAME=Font VALUE=\"Dialog 12pt\">\r\n"
                          "<PARAM NAME=ButtonShape VALUE=\"round\">\r\n"
                          "<PARAM NAME=Target VALUE=\"_self\">\r\n";

const char* const kClosing =
    "Sorry, you need a browser that runs Java to see Navora.\r\n"
    "Have you disabled Java in Internet Explorer or Netscape Navigator?\r\n"
    "</APPLET>\r\n\r\n<P>\r\n<A HREF=\"https://www.tarvo.example/navora/\">Navora</A>\r\n"
    "</BODY>\r\n</HTML>\r\n";

// Without the script line, the page every test below expects is the applet's own page.
SearchPageSettings Defaults() {
    SearchPageSettings settings = SearchPageSettings::ForIndex("/site/MySite.xo", '/');
    settings.webViewer = false;
    return settings;
}

std::string Page(const std::string& applet, const std::string& mode, const std::string& index,
                 const std::string& look = kLook) {
    return kHeader + applet + mode + index + look + kClosing;
}

const std::string kMode = "<PARAM NAME=mode VALUE=\"applet wide\">\r\n";
const std::string kIndex1 = "<PARAM NAME=index1 VALUE=\"MySite.xo,,,,,en\">\r\n";

} // namespace

TEST(SearchPageText, AllDefaultsWithOneIndexFile) {
    EXPECT_EQ(SearchPageText(Defaults()), Page(kApplet21, kMode, kIndex1));
}

TEST(SearchPageText, WebViewerScriptFollowsTheAppletInEveryVariant) {
    const std::string script = "<SCRIPT SRC=\"navora-web.js\"></SCRIPT>\r\n";
    EXPECT_TRUE(SearchPageSettings().webViewer); // on unless the user turns it off
    for (int version : {0, 1, 2}) {
        SearchPageSettings settings = Defaults();
        settings.appletVersion = version;
        std::string without = SearchPageText(settings);
        settings.webViewer = true;
        std::string with = SearchPageText(settings);
        // One line more, right after the end of the applet, and nothing else changed.
        size_t end = without.find("</APPLET>\r\n");
        ASSERT_NE(end, std::string::npos);
        end += 11;
        EXPECT_EQ(with, without.substr(0, end) + script + without.substr(end)) << version;
        EXPECT_EQ(with.find("<SCRIPT", end + script.size()), std::string::npos);
    }
}

TEST(SearchPageText, DefaultsForAnIndexNeverSaved) {
    SearchPageSettings settings = SearchPageSettings::ForIndex("", '/');
    EXPECT_EQ(settings.pagePath, "Search.html");
    ASSERT_EQ(settings.indexParameters.size(), 1u);
    EXPECT_EQ(FormatIndexParameter(settings.indexParameters[0], '/'), ",,,,,en");
    EXPECT_EQ(SearchPageSettings::ForIndex("/site/MySite.xo", '/').pagePath, "/site/Search.html");
}

TEST(SearchPageText, IconModeWithPopUpAndClose) {
    SearchPageSettings settings = Defaults();
    settings.iconMode = 1;
    settings.popUp = true;
    settings.closeAfterDisplay = true;
    settings.minWindowWidth = 200;
    settings.minWindowHeight = 150;
    EXPECT_EQ(SearchPageText(settings), Page(kApplet21,
                                             "<PARAM NAME=mode VALUE=\"icon wide popup close\">\r\n"
                                             "<PARAM NAME=miniconwindowsize VALUE=\"200,150\">\r\n",
                                             kIndex1));
    settings.iconMode = 0;
    settings.layoutHigh = 1;
    EXPECT_EQ(SearchPageText(settings),
              Page(kApplet21, "<PARAM NAME=mode VALUE=\"applet high popup close\">\r\n", kIndex1));
}

TEST(SearchPageText, Version23) {
    SearchPageSettings settings = Defaults();
    settings.appletVersion = 1;
    settings.width = 70;
    settings.height = 80;
    EXPECT_EQ(SearchPageText(settings),
              Page("<APPLET CODE=\"COM.tarvo.xo.Navora\" ARCHIVE=\"xo230.jar\" WIDTH=70 "
                   "HEIGHT=80>\r\n",
                   kMode, kIndex1));
}

TEST(SearchPageText, ScriptChoosesTheVersion) {
    SearchPageSettings settings = Defaults();
    settings.appletVersion = 2;
    const std::string script =
        "<script>\r\n"
        "<!-- script to detect whether browser can run JDK 1.1 jar files, ie Explorer 4 or "
        "later\r\n"
        "bN = navigator.appName;\r\n"
        "bV = parseInt(navigator.appVersion);\r\n"
        "if( ((bN==\"Microsoft Internet Explorer\") & (bV>=4))\r\n"
        "//   || ((bN==\"Netscape\") & (bV>=4))  Navigator 4 does not run JDK 1.1 fully yet\r\n"
        ")\r\n"
        "{ // JDK 1.1\r\n"
        "  document.write(\"<APPLET CODE=COM.tarvo.xo.Navora ARCHIVE=xo230.jar WIDTH=400 "
        "HEIGHT=300>\");\r\n"
        "}\r\n"
        "else\r\n"
        "{ // JDK 1.0\r\n"
        "  document.write(\"<APPLET CODE=Navora ARCHIVE=xo210.zip WIDTH=400 HEIGHT=300>\");\r\n"
        "  document.write(\"<param name=cabbase value=xo210.cab>\");\r\n"
        "}\r\n"
        "<!-- end of script -->;\r\n"
        "</script>\r\n";
    EXPECT_EQ(SearchPageText(settings), Page(script, kMode, kIndex1));
    settings.appletVersion = 7; // anything else is the plain 2.1 applet
    EXPECT_EQ(SearchPageText(settings), Page(kApplet21, kMode, kIndex1));
}

TEST(SearchPageText, EmptyIndexListWritesNoIndexLine) {
    SearchPageSettings settings = Defaults();
    settings.indexParameters.clear();
    EXPECT_EQ(SearchPageText(settings), Page(kApplet21, kMode, ""));
}

TEST(SearchPageText, EmptyValuesLeaveTheirLinesOutButBackgroundBecomesWhite) {
    SearchPageSettings settings = Defaults();
    settings.backgroundColour.clear();
    settings.foregroundColour.clear();
    settings.fieldBackgroundColour.clear();
    settings.iconBackgroundColour.clear();
    settings.cardBackgroundColour.clear();
    settings.selectColour.clear();
    settings.tipBackgroundColour.clear();
    settings.font.clear();
    settings.target.clear();
    settings.squareButtons = true;
    EXPECT_EQ(SearchPageText(settings), Page(kApplet21, kMode, kIndex1,
                                             "<PARAM NAME=BgColour VALUE=\"white\">\r\n"
                                             "<PARAM NAME=ButtonShape VALUE=\"square\">\r\n"));
}

TEST(SearchPageText, ImagesAndColoursInTheirOrder) {
    SearchPageSettings settings = Defaults();
    settings.backgroundColour = "#000080";
    settings.contentsIconsImage = "c.gif";
    settings.tabIconsImage = "t.gif";
    settings.iconImage = "i.gif";
    std::string page = SearchPageText(settings);
    EXPECT_NE(page.find("<BODY BGCOLOR=#000080>\r\n"), std::string::npos);
    EXPECT_NE(page.find("<PARAM NAME=BgColour VALUE=\"#000080\">\r\n"), std::string::npos);
    EXPECT_NE(page.find("<PARAM NAME=Font VALUE=\"Dialog 12pt\">\r\n"
                        "<PARAM NAME=ContentsIcons VALUE=\"c.gif\">\r\n"
                        "<PARAM NAME=TabIcons VALUE=\"t.gif\">\r\n"
                        "<PARAM NAME=Icon VALUE=\"i.gif\">\r\n"
                        "<PARAM NAME=ButtonShape VALUE=\"round\">\r\n"),
              std::string::npos);
}

TEST(SearchPageText, SeveralIndexFilesAreNumberedInOrder) {
    SearchPageSettings settings = Defaults();
    IndexParameter second;
    second.indexFile = "/site/Other.xo";
    second.languageFile = "/site/french2.xol";
    second.languageCode = "fr";
    settings.indexParameters.push_back(second);
    EXPECT_EQ(SearchPageText(settings),
              Page(kApplet21, kMode,
                   kIndex1 + "<PARAM NAME=index2 VALUE=\"Other.xo,french2.xol,,,,fr\">\r\n"));
}

TEST(SearchPageText, LineBreaksInValuesAreStoredAsCrLf) {
    SearchPageSettings settings = Defaults();
    settings.font = "a\nb";
    EXPECT_NE(SearchPageText(settings).find("VALUE=\"a\r\nb\">"), std::string::npos);
}

TEST(FormatIndexParameter, FieldsAndOptionWords) {
    IndexParameter entry;
    entry.indexFile = "/site/MySite.xo";
    EXPECT_EQ(FormatIndexParameter(entry, '/'), "MySite.xo,,,,,en");
    entry.languageFile = "/site/french2.xol";
    entry.languageCode = "fr";
    entry.sort = true;
    entry.noIndex = true;
    EXPECT_EQ(FormatIndexParameter(entry, '/'), "MySite.xo,french2.xol,sort noindex,,,fr");
    entry.indexEncoding = "UTF8";
    entry.languageEncoding = "8859_1";
    entry.countryCode = "CA";
    entry.selectUrl = "a.htm";
    entry.initialQuery = "q";
    entry.noIndex = false;
    entry.indexSelectedInitially = true;
    entry.expanded = true;
    EXPECT_EQ(FormatIndexParameter(entry, '/'),
              "MySite.xo;UTF8,french2.xol;8859_1,index sort expanded,a.htm,q,frCA");
}

TEST(FormatIndexParameter, LanguageEncodingWithoutFileIsIgnored) {
    IndexParameter entry;
    entry.indexFile = "C:\\site\\MySite.xo";
    entry.languageEncoding = "UTF8";
    EXPECT_EQ(FormatIndexParameter(entry, '\\'), "MySite.xo,,,,,en");
}

TEST(FormatIndexParameter, NoContentsSilencesTheTreeOptions) {
    IndexParameter entry;
    entry.indexFile = "MySite.xo";
    entry.noContents = true;
    entry.indexSelectedInitially = true;
    entry.sort = true;
    entry.expanded = true;
    EXPECT_EQ(FormatIndexParameter(entry, '/'), "MySite.xo,,nocontents,,,en");
    entry.noIndex = true;
    EXPECT_EQ(FormatIndexParameter(entry, '/'), "MySite.xo,,nocontents noindex,,,en");
}

TEST(SearchPageText, DefaultPageIsByteForByteThePageOfOld) {
    // The whole page the wizard writes with every default: nothing added since the script
    // viewer's line, whatever other options gained.
    SearchPageSettings settings = SearchPageSettings::ForIndex("/site/MySite.xo", '/');
    EXPECT_EQ(settings.layout, PageLayout::Classic);
    EXPECT_EQ(SearchPageText(settings),
              "<HTML>\r\n<HEAD>\r\n<TITLE>Navora Search Page</TITLE>\r\n</HEAD>\r\n"
              "<BODY BGCOLOR=white>\r\n<H1>Navora Search Page</H1>\r\n<BR>\r\n\r\n"
              "<APPLET CODE=\"Navora\" ARCHIVE=\"xo210.zip\" WIDTH=400 HEIGHT=300>\r\n"
              "<PARAM NAME=cabbase VALUE=\"xo210.cab\">\r\n"
              "<PARAM NAME=mode VALUE=\"applet wide\">\r\n"
              "<PARAM NAME=index1 VALUE=\"MySite.xo,,,,,en\">\r\n"
              "<PARAM NAME=BgColour VALUE=\"white\">\r\n"
              "<PARAM NAME=FgColour VALUE=\"black\">\r\n"
              "<PARAM NAME=FieldBgColor VALUE=\"white\">\r\n"
              "<PARAM NAME=IconBgColor VALUE=\"white\">\r\n"
              "<PARAM NAME=CardBgColor VALUE=\"#FFFFCC\">\r\n"
              "<PARAM NAME=SelectColor VALUE=\"green\">\r\n"
              "<PARAM NAME=TipBgColor VALUE=\"#EFFFFF\">\r\n"
              "<PARAM NAME=Font VALUE=\"Dialog 12pt\">\r\n"
              "<PARAM NAME=ButtonShape VALUE=\"round\">\r\n"
              "<PARAM NAME=Target VALUE=\"_self\">\r\n"
              "Sorry, you need a browser that runs Java to see Navora.\r\n"
              "Have you disabled Java in Internet Explorer or Netscape Navigator?\r\n"
              "</APPLET>\r\n"
              "<SCRIPT SRC=\"navora-web.js\"></SCRIPT>\r\n"
              "\r\n<P>\r\n<A HREF=\"https://www.tarvo.example/navora/\">Navora</A>\r\n"
              "</BODY>\r\n</HTML>\r\n");
}

TEST(SearchPageText, SidePageKeepsTheAppletWholeAndAimsItAtItsFrame) {
    for (int version : {0, 1, 2}) {
        SearchPageSettings settings = Defaults();
        settings.appletVersion = version;
        settings.webViewer = true;
        std::string classic = SearchPageText(settings);
        settings.layout = PageLayout::Side;
        std::string side = SearchPageText(settings);
        // The applet's element as the classic page has it, only the Target changed.
        size_t from = classic.find(version == 2 ? "<script>" : "<APPLET");
        size_t to = classic.find("</SCRIPT>\r\n") + 11;
        std::string applet = classic.substr(from, to - from);
        const std::string self = "Target VALUE=\"_self\"";
        size_t target = applet.find(self);
        ASSERT_NE(target, std::string::npos);
        applet.replace(target, self.size(), "Target VALUE=\"pages\"");
        EXPECT_NE(side.find(applet), std::string::npos) << version;
        EXPECT_TRUE(side.starts_with("<!DOCTYPE html>\r\n<HTML>\r\n")) << version;
        EXPECT_NE(side.find("<IFRAME ID=\"nv-pages\" NAME=\"pages\""), std::string::npos);
        EXPECT_NE(side.find("STYLE=\"width: 400px\""), std::string::npos);
        EXPECT_NE(side.find("<P><A HREF=\"https://www.tarvo.example/navora/\">Navora</A></P>\r\n"),
                  std::string::npos);
        EXPECT_EQ(side.find('\n'), side.find("\r\n") + 1); // CR LF throughout
        EXPECT_EQ(std::count(side.begin(), side.end(), '\n'),
                  std::count(side.begin(), side.end(), '\r'));
    }
}

TEST(SearchPageText, SidePageFrameTakesTheNameOfTheAuthorsTarget) {
    SearchPageSettings settings = Defaults();
    settings.layout = PageLayout::Side;
    for (const char* reserved : {"_self", "_top", "_blank", "_parent", ""}) {
        settings.target = reserved;
        EXPECT_EQ(SidePageFrameName(settings), "pages");
    }
    settings.target = "main";
    EXPECT_EQ(SidePageFrameName(settings), "main");
    std::string side = SearchPageText(settings);
    EXPECT_NE(side.find("<PARAM NAME=Target VALUE=\"main\">"), std::string::npos);
    EXPECT_NE(side.find("NAME=\"main\" TITLE="), std::string::npos);
    // Without the viewer the page still lays the applet out beside its frame.
    EXPECT_EQ(side.find("navora-web.js"), std::string::npos);
}
