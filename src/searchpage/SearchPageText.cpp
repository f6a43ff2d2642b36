#include "searchpage/SearchPageText.h"

#include "searchpage/FormatIndexParameter.h"
#include "searchpage/SidePageText.h"

#include <cstdio>
#include <initializer_list>

namespace tamblin {

namespace {

constexpr const char* kVersion21 = "210";
constexpr const char* kVersion23 = "230";

// The page is built with "\n" and every line break stored as CR LF at the end.
std::string WithCrLf(const std::string& text) {
    std::string out;
    out.reserve(text.size() + text.size() / 16);
    for (char c : text) {
        if (c == '\n') {
            out += '\r';
        }
        out += c;
    }
    return out;
}

std::string Param(const char* name, const std::string& value) {
    return std::string("<PARAM NAME=") + name + " VALUE=\"" + value + "\">\n";
}

std::string Printf(const char* format, const char* version, int width, int height) {
    char buffer[256];
    std::snprintf(buffer, sizeof buffer, format, version, width, height);
    return buffer;
}

std::string Header(const std::string& background) {
    return "<HTML>\n<HEAD>\n<TITLE>Navora Search Page</TITLE>\n</HEAD>\n<BODY BGCOLOR=" +
           background + ">\n<H1>Navora Search Page</H1>\n<BR>\n\n";
}

std::string DetectionScript(int width, int height) {
    return "<script>\n"
           "<!-- script to detect whether browser can run JDK 1.1 jar files, ie Explorer 4 or "
           "later\n"
           "bN = navigator.appName;\n"
           "bV = parseInt(navigator.appVersion);\n"
           "if( ((bN==\"Microsoft Internet Explorer\") & (bV>=4))\n"
           "//   || ((bN==\"Netscape\") & (bV>=4))  Navigator 4 does not run JDK 1.1 fully yet\n"
           ")\n"
           "{ // JDK 1.1\n" +
           Printf("  document.write(\"<APPLET CODE=COM.tarvo.xo.Navora ARCHIVE=xo%s.jar "
                  "WIDTH=%d HEIGHT=%d>\");\n",
                  kVersion23, width, height) +
           "}\n"
           "else\n"
           "{ // JDK 1.0\n" +
           Printf("  document.write(\"<APPLET CODE=Navora ARCHIVE=xo%s.zip WIDTH=%d "
                  "HEIGHT=%d>\");\n",
                  kVersion21, width, height) +
           "  document.write(\"<param name=cabbase value=xo" + kVersion21 + ".cab>\");\n" +
           "}\n"
           "<!-- end of script -->;\n"
           "</script>\n";
}

std::string AppletOpening(const SearchPageSettings& settings) {
    if (settings.appletVersion == 1) {
        return Printf("<APPLET CODE=\"COM.tarvo.xo.Navora\" ARCHIVE=\"xo%s.jar\" WIDTH=%d "
                      "HEIGHT=%d>\n",
                      kVersion23, settings.width, settings.height);
    }
    if (settings.appletVersion == 2) {
        return DetectionScript(settings.width, settings.height);
    }
    return Printf("<APPLET CODE=\"Navora\" ARCHIVE=\"xo%s.zip\" WIDTH=%d HEIGHT=%d>\n", kVersion21,
                  settings.width, settings.height) +
           "<PARAM NAME=cabbase VALUE=\"xo" + kVersion21 + ".cab\">\n";
}

std::string ModeLines(const SearchPageSettings& settings) {
    std::string mode = settings.iconMode == 1 ? "icon" : "applet";
    mode += settings.layoutHigh ? " high" : " wide";
    if (settings.popUp) {
        mode += " popup";
    }
    if (settings.closeAfterDisplay) {
        mode += " close";
    }
    std::string lines = Param("mode", mode);
    if (settings.iconMode == 1) {
        lines += Param("miniconwindowsize", std::to_string(settings.minWindowWidth) + "," +
                                                std::to_string(settings.minWindowHeight));
    }
    return lines;
}

std::string IndexLines(const SearchPageSettings& settings) {
    std::string lines;
    int count = 0;
    for (const IndexParameter& entry : settings.indexParameters) {
        std::string name = "index" + std::to_string(++count);
        lines += Param(name.c_str(), FormatIndexParameter(entry));
    }
    return lines;
}

std::string LookLines(const SearchPageSettings& settings, const std::string& background,
                      const std::string& target) {
    struct Named {
        const char* name;
        const std::string& value;
    };
    // "BgColour" and "FgColour" really are spelt differently from the others.
    std::initializer_list<Named> optional = {
        {"BgColour", background},
        {"FgColour", settings.foregroundColour},
        {"FieldBgColor", settings.fieldBackgroundColour},
        {"IconBgColor", settings.iconBackgroundColour},
        {"CardBgColor", settings.cardBackgroundColour},
        {"SelectColor", settings.selectColour},
        {"TipBgColor", settings.tipBackgroundColour},
        {"Font", settings.font},
        {"ContentsIcons", settings.contentsIconsImage},
        {"TabIcons", settings.tabIconsImage},
        {"Icon", settings.iconImage},
    };
    std::string lines;
    for (const Named& item : optional) {
        if (!item.value.empty()) {
            lines += Param(item.name, item.value);
        }
    }
    lines += Param("ButtonShape", settings.squareButtons ? "square" : "round");
    if (!target.empty()) {
        lines += Param("Target", target);
    }
    return lines;
}

// The APPLET element whole, from its opening to "</APPLET>", and the script viewer's line.
std::string AppletText(const SearchPageSettings& settings, const std::string& background,
                       const std::string& target) {
    std::string text = AppletOpening(settings);
    text += ModeLines(settings);
    text += IndexLines(settings);
    text += LookLines(settings, background, target);
    text += "Sorry, you need a browser that runs Java to see Navora.\n"
            "Have you disabled Java in Internet Explorer or Netscape Navigator?\n"
            "</APPLET>\n";
    // Right after the applet, so the script finds every APPLET element above it already
    // parsed and can stand in for the applet where no browser runs Java.
    if (settings.webViewer) {
        text += std::string("<SCRIPT SRC=\"") + kWebViewerScript + "\"></SCRIPT>\n";
    }
    return text;
}

std::string HomeLink(const SearchPageSettings& settings) {
    return "<A HREF=\"" + settings.homePage + "\">Navora</A>";
}

} // namespace

std::string SidePageFrameName(const SearchPageSettings& settings) {
    // An author who named a frame of their own (the target their index's base URLs use)
    // gets a frame of that name; "_self" and the other reserved names cannot name one.
    const std::string& target = settings.target;
    return target.empty() || target[0] == '_' ? std::string(kSidePageFrame) : target;
}

std::string SearchPageText(const SearchPageSettings& settings) {
    std::string background =
        settings.backgroundColour.empty() ? "white" : settings.backgroundColour;
    if (settings.layout == PageLayout::Side) {
        std::string frame = SidePageFrameName(settings);
        return WithCrLf(SidePageText(background, AppletText(settings, background, frame),
                                     HomeLink(settings), frame, settings.width));
    }
    std::string page = Header(background);
    page += AppletText(settings, background, settings.target);
    page += "\n<P>\n" + HomeLink(settings) + "\n</BODY>\n</HTML>\n";
    return WithCrLf(page);
}

} // namespace tamblin
