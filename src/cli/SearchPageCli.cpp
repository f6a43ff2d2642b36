#include "cli/SearchPageCli.h"

#include "app/InstallLayout.h"
#include "index/UrlUtils.h"
#include "searchpage/SearchPageSettings.h"
#include "searchpage/WriteSearchPage.h"

#include <climits>
#include <cstdlib>
#include <filesystem>
#include <ostream>

namespace tamblin {

namespace {

// Messages are written for a window; a terminal gets them with a line end.
class CliHost final : public SearchPageHost {
public:
    CliHost(std::ostream& out, std::ostream& err, bool force)
        : m_out(out), m_err(err), m_force(force) {}
    void ShowWarning(const std::string& text) override { m_err << text << "\n"; }
    void ShowInformation(const std::string& text) override { m_out << text << "\n"; }
    // Nobody is there to answer: --no-copy means no copy.
    bool AskYesNo(const std::string&) override { return false; }
    bool ConfirmReplaceReadOnly(const std::string&) override {
        if (!m_force) {
            m_err << "tamblin-cli searchpage: the page is read-only; --force replaces it\n";
        }
        return m_force;
    }
    void SetStatusText(const std::string&) override {}
    bool BrowserAvailable() const override { return false; }
    void OpenTestPage(const std::string&) override {}

private:
    std::ostream& m_out;
    std::ostream& m_err;
    bool m_force;
};

bool ParseNumber(const std::string& text, long minimum, long maximum, long& value) {
    if (text.empty()) {
        return false;
    }
    char* end = nullptr;
    errno = 0;
    long parsed = std::strtol(text.c_str(), &end, 10);
    if (errno != 0 || *end != '\0' || parsed < minimum || parsed > maximum) {
        return false;
    }
    value = parsed;
    return true;
}

} // namespace

std::string ProgramDirectory() {
    std::error_code error;
    std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", error);
    if (error) {
        return std::string();
    }
    return self.parent_path().string() + kNativeSeparator;
}

SearchPageCli::SearchPageCli(std::ostream& out, std::ostream& err) : m_out(out), m_err(err) {}

void SearchPageCli::PrintHelp(std::ostream& stream) {
    stream << "Usage: tamblin-cli searchpage -o PAGE.html --index FILE.xo [OPTION ...]\n"
              "\n"
              "Writes a search page that runs the Navora applet (CR LF line ends) and copies\n"
              "the applet's files from Redist/ (beside tamblin-cli, or share/tamblin/Redist/ in\n"
              "an installed copy) into the page's directory, never replacing a file already\n"
              "there. Defaults are those of the New web page wizard.\n"
              "\n"
              "Page:\n"
              "  -o, --output PAGE        the page to write (required)\n"
              "  --target NAME            default target frame (_self; empty: no Target line)\n"
              "  --width N, --height N    applet size, 50 to 1000 (400 x 300)\n"
              "  --icon-mode              an icon on the page opens the applet\n"
              "  --layout-high            high layout instead of wide\n"
              "  --popup, --close-after-display   icon mode window behaviour\n"
              "  --min-window-width N, --min-window-height N   icon mode window (0, 0)\n"
              "  --background C (white), --foreground C (black),\n"
              "  --field-background C (white), --icon-background C (white),\n"
              "  --card-background C (#FFFFCC), --select-colour C (green),\n"
              "  --tip-background C (#EFFFFF), --font F (\"Dialog 12pt\")\n"
              "                           an empty value leaves the line out\n"
              "  --square-buttons         square expand/contract controls (round)\n"
              "  --contents-icons FILE, --tab-icons FILE, --icon-image FILE\n"
              "  --applet-version V       0: 2.1 (default), 1: 2.3, 2: a script chooses\n"
              "  --home-page URL          the closing link ("
           << kDefaultNavoraHomePage
           << ")\n"
              "  --no-copy                do not copy the applet's files\n"
              "  --force                  replace PAGE even when it is read-only\n"
              "  --no-web-viewer          leave out the script that shows the index in\n"
              "                           browsers without Java (navora-web.js)\n"
              "  --no-companion           write no companion scripts: by default each index\n"
              "                           and language file the page names gets FILE.js\n"
              "                           beside it, its bytes for a page opened from disk\n"
              "  --layout side            a page that fills the window: the applet as a\n"
              "                           resizable sidebar, the pages in a frame beside it\n"
              "                           (--layout classic: the wizard's page, the default)\n"
              "  --redist DIR             copy the applet's files from DIR instead of Redist/\n"
              "\n"
              "Index files, each option applying to the --index before it:\n"
              "  --index FILE.xo          one index%d parameter; repeat for more, in order.\n"
              "                           The page reads FILE.xo from its own folder: a\n"
              "                           FILE in another folder is refused\n"
              "  --index-encoding E, --language-file FILE.xol, --language-encoding E,\n"
              "  --language-code XX (en), --country-code XX,\n"
              "  --no-contents, --no-index, --index-selected, --sort, --expanded,\n"
              "  --select-url URL, --initial-query TEXT\n"
              "\n"
              "Exit status: 0 written, 1 written but some of the applet's files could not be\n"
              "copied, 2 the page could not be written, 64 wrong usage.\n";
}

bool SearchPageCli::Fail(const std::string& text) {
    m_err << "tamblin-cli searchpage: " << text << "\n";
    return false;
}

bool SearchPageCli::IndexOption(const std::string& name, const std::string& value,
                                SearchPageSettings& settings) {
    if (name == "--index") {
        IndexParameter entry;
        entry.indexFile = value;
        settings.indexParameters.push_back(entry);
        return true;
    }
    if (settings.indexParameters.empty()) {
        return Fail(name + " must follow an --index");
    }
    IndexParameter& entry = settings.indexParameters.back();
    std::string* field = name == "--index-encoding"      ? &entry.indexEncoding
                         : name == "--language-file"     ? &entry.languageFile
                         : name == "--language-encoding" ? &entry.languageEncoding
                         : name == "--language-code"     ? &entry.languageCode
                         : name == "--country-code"      ? &entry.countryCode
                         : name == "--select-url"        ? &entry.selectUrl
                         : name == "--initial-query"     ? &entry.initialQuery
                                                         : nullptr;
    if ((name == "--language-code" || name == "--country-code") && value.size() > 2) {
        return Fail(name + " takes at most 2 characters");
    }
    *field = value;
    return true;
}

bool SearchPageCli::SettingOption(const std::string& name, const std::string& value,
                                  SearchPageSettings& settings) {
    std::string* field = name == "--target"                   ? &settings.target
                         : name == "--background"             ? &settings.backgroundColour
                         : name == "--foreground"             ? &settings.foregroundColour
                         : name == "--field-background"       ? &settings.fieldBackgroundColour
                         : name == "--icon-background"        ? &settings.iconBackgroundColour
                         : name == "--card-background"        ? &settings.cardBackgroundColour
                         : name == "--select-colour"          ? &settings.selectColour
                         : name == "--tip-background"         ? &settings.tipBackgroundColour
                         : name == "--font"                   ? &settings.font
                         : name == "--contents-icons"         ? &settings.contentsIconsImage
                         : name == "--tab-icons"              ? &settings.tabIconsImage
                         : name == "--icon-image"             ? &settings.iconImage
                         : name == "--home-page"              ? &settings.homePage
                         : name == "-o" || name == "--output" ? &m_outputPath
                         : name == "--redist"                 ? &m_redistDirectory
                         : name == "--layout"                 ? &m_layout
                                                              : nullptr;
    if (field == nullptr) {
        return NumberOption(name, value, settings);
    }
    *field = value;
    return true;
}

bool SearchPageCli::NumberOption(const std::string& name, const std::string& value,
                                 SearchPageSettings& settings) {
    long number = 0;
    if (name == "--width" || name == "--height") {
        if (!ParseNumber(value, SearchPageSettings::kMinSize, SearchPageSettings::kMaxSize,
                         number)) {
            return Fail(name + " takes a whole number from 50 to 1000");
        }
        (name == "--width" ? settings.width : settings.height) = static_cast<int>(number);
        return true;
    }
    if (name == "--min-window-width" || name == "--min-window-height") {
        if (!ParseNumber(value, 0, UINT_MAX, number)) {
            return Fail(name + " takes a whole number of 0 or more");
        }
        (name == "--min-window-width" ? settings.minWindowWidth : settings.minWindowHeight) =
            static_cast<unsigned>(number);
        return true;
    }
    if (name == "--applet-version") {
        if (!ParseNumber(value, 0, 2, number)) {
            return Fail(name + " takes 0, 1 or 2");
        }
        settings.appletVersion = static_cast<int>(number);
        return true;
    }
    return Fail("unknown option " + name);
}

bool SearchPageCli::SwitchOption(const std::string& name, SearchPageSettings& settings) {
    IndexParameter* entry =
        settings.indexParameters.empty() ? nullptr : &settings.indexParameters.back();
    bool* flag = name == "--icon-mode"             ? nullptr
                 : name == "--layout-high"         ? nullptr
                 : name == "--popup"               ? &settings.popUp
                 : name == "--close-after-display" ? &settings.closeAfterDisplay
                 : name == "--square-buttons"      ? &settings.squareButtons
                 : name == "--no-copy"             ? &m_noCopy
                 : name == "--force"               ? &m_force
                 : name == "--no-web-viewer"       ? &m_noWebViewer
                 : name == "--no-companion"        ? &m_noCompanion
                 : !entry                          ? nullptr
                 : name == "--no-contents"         ? &entry->noContents
                 : name == "--no-index"            ? &entry->noIndex
                 : name == "--index-selected"      ? &entry->indexSelectedInitially
                 : name == "--sort"                ? &entry->sort
                 : name == "--expanded"            ? &entry->expanded
                                                   : nullptr;
    if (name == "--icon-mode" || name == "--layout-high") {
        (name == "--icon-mode" ? settings.iconMode : settings.layoutHigh) = 1;
        return true;
    }
    if (flag == nullptr) {
        return false;
    }
    *flag = true;
    return true;
}

bool SearchPageCli::ParseOption(const std::string& name, const std::vector<std::string>& args,
                                size_t& i, SearchPageSettings& settings) {
    if (SwitchOption(name, settings)) {
        return true;
    }
    static const char* const kEntrySwitches[] = {"--no-contents", "--no-index", "--index-selected",
                                                 "--sort", "--expanded"};
    for (const char* known : kEntrySwitches) {
        if (name == known) {
            return Fail(name + " must follow an --index");
        }
    }
    if (i + 1 >= args.size()) {
        return Fail(name + " needs a value");
    }
    const std::string& value = args[++i];
    static const char* const kEntryOptions[] = {
        "--index",         "--index-encoding", "--language-file", "--language-encoding",
        "--language-code", "--country-code",   "--select-url",    "--initial-query"};
    for (const char* known : kEntryOptions) {
        if (name == known) {
            return IndexOption(name, value, settings);
        }
    }
    return SettingOption(name, value, settings);
}

bool SearchPageCli::Parse(const std::vector<std::string>& args, SearchPageSettings& settings) {
    for (size_t i = 0; i < args.size(); ++i) {
        if (!ParseOption(args[i], args, i, settings)) {
            return false;
        }
    }
    if (m_outputPath.empty()) {
        return Fail("-o PAGE is required");
    }
    if (m_layout != "classic" && m_layout != "side") {
        return Fail("--layout takes classic or side");
    }
    settings.layout = m_layout == "side" ? PageLayout::Side : PageLayout::Classic;
    return FilesBesidePage(settings);
}

// The page names each file without its folder, and the viewer (and the applet) read it from
// the page's own folder: a file anywhere else would be named and never found.
bool SearchPageCli::FilesBesidePage(const SearchPageSettings& settings) {
    namespace fs = std::filesystem;
    std::error_code error;
    fs::path pageFolder =
        fs::weakly_canonical(fs::absolute(m_outputPath, error).parent_path(), error);
    for (const IndexParameter& entry : settings.indexParameters) {
        for (const std::string* file : {&entry.indexFile, &entry.languageFile}) {
            fs::path path(*file);
            if (file->empty() || !path.has_parent_path()) {
                continue;
            }
            fs::path folder = fs::weakly_canonical(fs::absolute(path, error).parent_path(), error);
            if (error || folder != pageFolder) {
                return Fail(*file +
                            " is not in the page's folder: a search page reads its index "
                            "and language files from its own folder, so write the page "
                            "beside its index (-o " +
                            (path.parent_path() / "Search.html").string() + " --index " +
                            path.filename().string() + ")");
            }
        }
    }
    return true;
}

int SearchPageCli::Run(const std::vector<std::string>& args) {
    for (const std::string& arg : args) {
        if (arg == "--help" || arg == "-h") {
            PrintHelp(m_out);
            return kWritten;
        }
    }
    SearchPageSettings settings;
    if (!Parse(args, settings)) {
        m_err << "Try 'tamblin-cli searchpage --help'.\n";
        return kUsage;
    }
    settings.pagePath = m_outputPath;
    settings.testNow = false;
    settings.copyJavaFiles = !m_noCopy;
    settings.webViewer = !m_noWebViewer;
    settings.companions = !m_noCompanion;
    std::string redist =
        m_redistDirectory.empty()
            ? RedistDirectory(InstallLayout::Find(ProgramDirectory()).dataDirectory)
            : m_redistDirectory;
    if (!redist.empty() && redist.back() != kNativeSeparator) {
        redist += kNativeSeparator;
    }
    CliHost host(m_out, m_err, m_force);
    AppletCopyReport copies;
    SearchPageOutcome outcome = WriteSearchPage(settings, redist, host, &copies);
    if (outcome != SearchPageOutcome::Built) {
        return kCannotWrite;
    }
    return copies.failed.empty() ? kWritten : kCopiesFailed;
}

} // namespace tamblin
