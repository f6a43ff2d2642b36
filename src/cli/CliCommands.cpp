#include "cli/CliCommands.h"

#include "cli/KeywordsCli.h"
#include "cli/LinkCheckCli.h"
#include "cli/SearchPageCli.h"
#include "fulltext/SearchIndexFiles.h"
#include "fulltext/SearchIndexRemoval.h"
#include "fulltext/SearchIndexWriter.h"
#include "index/ByteDecoding.h"
#include "index/ByteSink.h"
#include "index/CompanionScript.h"
#include "index/FileReplace.h"
#include "index/IndexFile.h"
#include "index/IndexJson.h"
#include "index/ReplacingFile.h"
#include "index/TextUtils.h"
#include "index/UrlUtils.h"
#include "scanner/ScanSettingsText.h"
#include "scanner/SiteScanner.h"
#include "update/IndexMerge.h"
#include "update/SiteRescan.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <optional>
#include <ostream>
#include <vector>

namespace tamblin {

namespace {

// Messages written for a window use CR LF; a terminal wants plain line ends.
std::string PlainLineEnds(std::string text) {
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
            continue;
        }
        out += text[i];
    }
    return out;
}

std::string CouldNotOpen(const std::string& path) {
    return "Could not open file (" + path + ")";
}

// Said when a file could not be read as an index, or was not one at all (nothing is written
// then, so a command can never turn a web page into an index).
std::string NotLoadedText(const IndexFile& index, const std::string& path, LoadResult result) {
    if (result == LoadResult::CannotOpen) {
        return CouldNotOpen(path);
    }
    std::string text =
        path + " is not an index file: " +
        (index.HoldsNul() ? std::string("it holds NUL bytes")
                          : "none of its lines is a record of one; the first are:\n" +
                                index.ListBadLines(5, 120));
    if (text.back() == '\n') {
        text.pop_back();
    }
    return text;
}

std::string SaveFailureText(const std::string& path, const SaveResult& result) {
    std::string text = CouldNotSaveText(path, result);
    return result.status == SaveStatus::ReadOnly ? text + "; --force replaces it" : text;
}

// Why the index's last save failed: a field the format cannot hold, or the system's reason.
std::string SaveFailureText(const IndexFile& index) {
    return index.LastSave().status == SaveStatus::ReadOnly
               ? SaveFailureText(index.m_fileName, index.LastSave())
               : index.SaveError();
}

// Problems as they happen, and one line of progress when err is a terminal.
class CliScanObserver final : public ScanObserver {
public:
    CliScanObserver(std::ostream& err, bool progress, int width)
        : m_err(err), m_progress(progress), m_width(width < 20 ? 20 : width) {}

    void OnPageOpened(int pagesRead, const std::string& url) override {
        if (!m_progress) {
            return;
        }
        m_line = "[" + std::to_string(pagesRead) + (pagesRead == 1 ? " page] " : " pages] ") + url;
        if (m_line.size() >= static_cast<size_t>(m_width)) {
            m_line.resize(static_cast<size_t>(m_width) - 1);
        }
        Draw();
    }

    void OnProblem(const std::string& line) override {
        Clear();
        m_err << line << "\n";
        Draw();
    }

    void OnCompleted(const std::string&, const std::string&) override {
        Clear();
        m_line.clear();
    }

private:
    void Draw() {
        if (m_progress && !m_line.empty()) {
            m_err << "\r" << m_line << "\x1b[K" << std::flush;
        }
    }
    void Clear() {
        if (m_progress && !m_line.empty()) {
            m_err << "\r\x1b[K" << std::flush;
        }
    }

    std::ostream& m_err;
    bool m_progress;
    int m_width;
    std::string m_line;
};

// The whole file, or nothing when it cannot be read (a directory cannot).
std::optional<std::string> ReadWholeFile(const std::string& path) {
    std::error_code error;
    if (std::filesystem::is_directory(path, error)) {
        return std::nullopt;
    }
    std::ifstream file(path, std::ios::binary);
    if (!file.is_open()) {
        return std::nullopt;
    }
    std::string bytes;
    std::vector<char> block(1 << 20);
    while (file) {
        file.read(block.data(), static_cast<std::streamsize>(block.size()));
        bytes.append(block.data(), static_cast<size_t>(file.gcount()));
    }
    if (file.bad()) {
        return std::nullopt;
    }
    return bytes;
}

// The size warning's way to fewer keywords, as this command line says it.
constexpr const char* kFewerKeywords = "--no-anchor-keywords";

// One table for scan and rescan, in every help text that speaks of them.
constexpr const char* kScanExitTable =
    "Exit status of scan and rescan:\n"
    "  0   OUT was written.\n"
    "  1   The scan could not start, read no page or (rescan) was stopped; OUT was not\n"
    "      written.\n"
    "  2   OUT could not be written (its folder is checked before the scan starts), the\n"
    "      scan's records could not be kept, or (rescan) INDEX could not be read; the old\n"
    "      OUT is left as it was.\n"
    "  64  Wrong usage.\n";

// True when a save to path can be tried, checked before a long scan: the folder takes new
// files and the file is not read-only (unless forced). Said on err when not.
bool CanWrite(const std::string& path, ReplaceOptions options, std::ostream& err) {
    SaveResult result = ReplacingFile::Check(path, options);
    if (!result.Ok()) {
        err << SaveFailureText(path, result) << "\n";
    }
    return result.Ok();
}

} // namespace

CliCommands::CliCommands(std::ostream& out, std::ostream& err, std::atomic<int>* cancel,
                         bool progress, int width)
    : m_out(out), m_err(err), m_cancel(cancel), m_progress(progress), m_width(width) {}

int CliCommands::PrintUsage(std::ostream& stream, int code) {
    stream
        << "Usage: tamblin-cli COMMAND ...\n"
           "\n"
           "Commands:\n"
           "  check FILE      Load an index file, report its bad lines and statistics.\n"
           "  check FILE --links [--jobs N] [--off-site]\n"
           "                  Check every entry and keyword URL: files, pages, anchors,\n"
           "                  redirects. Exit 0 all good, 1 problems, 2 unreadable file.\n"
           "  convert IN OUT [--force]\n"
           "                  Load IN and save it as OUT (format 2.1, renumbered, CR LF).\n"
           "                  A read-only OUT is replaced only with --force (as with scan\n"
           "                  and rescan).\n"
           "  scan START -o OUT [OPTIONS]\n"
           "                  Build an index by scanning a site from START, a local file or\n"
           "                  a URL. See 'tamblin-cli scan --help'.\n"
           "  rescan INDEX.xo [START] -o OUT.xo [OPTIONS]\n"
           "                  Scan the site of INDEX.xo again and merge, keeping the\n"
           "                  author's edits. See 'tamblin-cli rescan --help'.\n"
           "  searchpage -o PAGE.html --index FILE.xo [OPTION ...]\n"
           "                  Write a search page that runs the applet (see searchpage --help).\n"
           "  export FILE.xo [--json] [--encoding NAME]\n"
           "                  Write the index as the reader understands it, as JSON, to\n"
           "                  standard output. NAME is an encoding of the search page wizard\n"
           "                  (8859_1, DBCS_ASCII, UTF8, Unicode); without it the texts are\n"
           "                  UTF-8 when the whole file is, else Windows-1252.\n"
           "  keywords FILE.xo [--json]\n"
           "  keywords FILE.xo --rename OLD NEW -o OUT.xo | --remove PHRASE -o OUT.xo\n"
           "                  List the phrases readers find, with their page counts, or\n"
           "                  rename or remove one phrase everywhere (see keywords --help).\n"
           "  print FILE.xo -o OUT.pdf [--summary|--full] [--font FACE] [--size POINTS]\n"
           "                  Print the index to a PDF file (see print --help).\n"
           "  --help          Show this text.\n"
           "\n"
           "Exit status of check, convert, export and print: 0 clean, 1 the file has bad lines, 2 "
           "a\n"
           "file could not be opened or written; 64 wrong usage.\n"
           "\n"
        << kScanExitTable
        << "\n"
           "Dates written honour SOURCE_DATE_EPOCH.\n";
    return code;
}

// The usage of check, convert and export; false for another command.
bool CliCommands::PrintCommandUsage(const std::string& command, std::ostream& stream) {
    if (command == "check") {
        stream << "Usage: tamblin-cli check FILE.xo\n"
                  "       tamblin-cli check FILE.xo --links [--jobs N] [--off-site]\n"
                  "\n"
                  "Loads FILE.xo and lists its bad lines and its statistics. With --links,\n"
                  "checks every entry and keyword URL instead (files, pages, anchors,\n"
                  "redirects) and lists one line per problem and a summary.\n"
                  "\n"
                  "Options:\n"
                  "  --links                   Check the links.\n"
                  "  --jobs N                  Links checked at once (1 to 64, default 4).\n"
                  "  --off-site                Also check links to other sites.\n"
                  "\n"
                  "Exit status: 0 clean (all links good), 1 bad lines (link problems), 2 FILE\n"
                  "could not be opened, 64 wrong usage.\n";
    } else if (command == "convert") {
        stream << "Usage: tamblin-cli convert IN.xo OUT.xo [--force]\n"
                  "\n"
                  "Loads IN.xo and saves it as OUT.xo as Tamblin saves (format 2.1, renumbered,\n"
                  "CR LF line ends), also when IN.xo has bad lines, which are listed.\n"
                  "\n"
                  "Options:\n"
                  "  --force                   Replace a read-only OUT.xo.\n"
                  "\n"
                  "Exit status: 0 clean, 1 IN.xo has bad lines, 2 a file could not be opened\n"
                  "or written, 64 wrong usage.\n";
    } else if (command == "export") {
        stream << "Usage: tamblin-cli export FILE.xo [--json] [--encoding NAME]\n"
                  "\n"
                  "Writes the index as the reader understands it, as one JSON object, to\n"
                  "standard output.\n"
                  "\n"
                  "Options:\n"
                  "  --json                    JSON, the only form there is.\n"
                  "  --encoding NAME           Read the texts in an encoding of the search page\n"
                  "                            wizard (8859_1, DBCS_ASCII, UTF8, Unicode);\n"
                  "                            without it they are UTF-8 when the whole file\n"
                  "                            is, else Windows-1252.\n"
                  "\n"
                  "Exit status: 0 clean, 1 the file has bad lines, 2 it could not be opened, 64\n"
                  "wrong usage.\n";
    } else {
        return false;
    }
    return true;
}

int CliCommands::PrintScanUsage(std::ostream& stream, int code) {
    stream << "Usage: tamblin-cli scan START -o OUT [OPTIONS]\n"
              "\n"
              "Reads START and every page reachable from it through links that are not\n"
              "absolute, once each, and writes an index of the site to OUT. START with a\n"
              "scheme (http://, https://) is fetched over the network; anything else is a\n"
              "local file. Problems go to standard error as they happen; the summary and the\n"
              "report follow on standard output. Ctrl+C stops the scan and still writes what\n"
              "was scanned.\n"
              "\n"
              "Options:\n"
              "  -o, --output OUT          The index file to write (required).\n"
              "  --force                   Replace OUT even when it is read-only.\n"
              "  --description TEXT        Description of the index.\n"
              "  --case-significant        Page locations differ by case.\n"
              "  --keep-blank-anchors      Named anchors without text make keywords too.\n"
              "  --keep-untitled           Pages without a title still count.\n"
              "  --off-site                Absolute links get entries.\n"
              "  --parse-all               Also read linked files that are not web pages.\n"
              "  --no-anchor-keywords      Named anchors make no keywords.\n"
              "  --skip-target-frame NAME  Never write this target frame.\n"
              "  --jobs N                  Pages downloaded at once, the one being read\n"
              "                            included (1 to 64, default 4).\n"
              "  --no-remember             Do not keep in the index how it was scanned and\n"
              "                            what the scan gave each entry (for rescan).\n"
              "  --raw                     Write the scanner's own file as it stands, instead\n"
              "                            of the index as Tamblin saves it (format 2.1).\n"
              "\n"
              "Reading today's web (each on by default):\n"
              "  --no-browser-text         Keep character references and bytes as they are\n"
              "                            instead of decoding them as a browser does.\n"
              "  --no-heading-keywords     Headings with an id make no keywords.\n"
              "  --no-pages-by-type        Read only .htm, .html and \"/\" addresses as pages.\n"
              "  --no-follow-redirects     Keep the start address even when it redirects;\n"
              "                            ignore <base href>.\n"
              "  --no-shorten-titles       Keep a part that every page title shares.\n"
              "  --no-skip-script          Read script and style elements as markup.\n"
              "  --no-polite               Ignore robots.txt and nofollow.\n"
              "  --no-tidy-urls            Join links to their page as written instead of\n"
              "                            resolving them as a browser does (dot segments,\n"
              "                            \"/\", \"//\", \"?\" and backslashes) and storing\n"
              "                            each in its shortest form under the base URL;\n"
              "                            from disk, each page read from the file a\n"
              "                            browser opens (\"%20\" a space, no query).\n"
              "  --no-skip-common-headings Keep headings that more than a fifth of the\n"
              "                            pages (and at least 10) share.\n"
              "  --no-skip-title-repeats   Keep headings that are the page title followed\n"
              "                            by such a shared part.\n"
              "  --no-merge-case           Keep phrases of one page that differ only in\n"
              "                            letter case.\n"
              "  --no-missing-files        Links to files that are not there become entries\n"
              "                            as they always did, instead of problems; a link\n"
              "                            to a folder is not read as its index page.\n"
              "  --no-skip-markers         Headings lose the text of every link to a place\n"
              "                            in their page instead of only that of permalink\n"
              "                            markers (a lone symbol), and footnote and\n"
              "                            citation markers such as [1] become keywords.\n"
              "  --all-languages           Follow pages whose <html lang> (or Content-Language)\n"
              "                            names another language than the start page's;\n"
              "                            without it they are listed in the report instead.\n"
              "  --no-single-quotes        Keep the quotes of attribute values written in\n"
              "                            single quotes as part of the value.\n"
              "  --delay MS                Wait at least MS milliseconds between two\n"
              "                            requests to a host (0 to 60000, default 0).\n"
              "  --no-full-text            Write no full-text search index. By default the\n"
              "                            words of every page go to OUT.search/, beside OUT,\n"
              "                            for the Search tab of the search page's viewer.\n"
              "  --full-text               Write the full-text search index: for rescan, when\n"
              "                            the index was scanned without it.\n"
              "  --classic                 All of the above off, and --no-remember: the scan\n"
              "                            of old.\n"
              "\n"
           << kScanExitTable;
    return code;
}

int CliCommands::Run(const std::vector<std::string>& args) {
    if (args.empty()) {
        return PrintUsage(m_err, kUsage);
    }
    const std::string& command = args[0];
    if (command == "convert" || command == "scan" || command == "rescan") {
        std::vector<std::string> rest;
        for (const std::string& arg : args) {
            if (arg == "--force") {
                m_force = true;
            } else {
                rest.push_back(arg);
            }
        }
        if (rest.size() != args.size()) {
            return Run(rest);
        }
    }
    if (command == "--help" || command == "-h" || command == "help") {
        return PrintUsage(m_out, kClean);
    }
    for (size_t i = 1; i < args.size(); ++i) {
        if ((args[i] == "--help" || args[i] == "-h") && PrintCommandUsage(command, m_out)) {
            return kClean;
        }
    }
    if (command == "check" && args.size() == 2) {
        return Check(args[1]);
    }
    if (command == "check" && args.size() > 2) {
        return LinkCheckCli(m_out, m_err, m_cancel).Run({args.begin() + 1, args.end()});
    }
    if (command == "convert" && args.size() == 3) {
        return Convert(args[1], args[2]);
    }
    if (command == "export") {
        return Export({args.begin() + 1, args.end()});
    }
    if (command == "keywords") {
        return KeywordsCli(m_out, m_err).Run({args.begin() + 1, args.end()});
    }
    if (command == "searchpage") {
        return SearchPageCli(m_out, m_err).Run({args.begin() + 1, args.end()});
    }
    if (command == "scan") {
        return Scan(args);
    }
    if (command == "rescan") {
        return Rescan(args);
    }
    if (command == "print" && m_print) {
        return m_print({args.begin() + 1, args.end()}, m_out, m_err);
    }
    m_err << "tamblin-cli: unknown command or wrong arguments: " << command << "\n";
    return PrintUsage(m_err, kUsage);
}

void CliCommands::Dispose(std::unique_ptr<IndexFile> index) const {
    if (m_skipCleanup) {
        (void)index.release();
    }
}

int CliCommands::Check(const std::string& path) {
    auto owned = std::make_unique<IndexFile>();
    IndexFile& index = *owned;
    if (LoadResult result = index.LoadIndex(path); result != LoadResult::Opened) {
        m_err << NotLoadedText(index, path, result) << "\n";
        return kCannotOpen;
    }
    if (!index.BadLines().empty()) {
        m_out << index.BadLinesMessage();
    }
    m_out << PlainLineEnds(index.StatisticsText()) << "\n";
    int code = index.BadLines().empty() ? kClean : kBadLines;
    Dispose(std::move(owned));
    return code;
}

int CliCommands::Convert(const std::string& in, const std::string& out) {
    auto owned = std::make_unique<IndexFile>();
    IndexFile& index = *owned;
    if (LoadResult result = index.LoadIndex(in); result != LoadResult::Opened) {
        m_err << NotLoadedText(index, in, result) << "\n";
        return kCannotOpen;
    }
    if (!index.BadLines().empty()) {
        m_err << index.BadLinesMessage();
    }
    if (!SaveOutput(index, out)) {
        return kCannotOpen;
    }
    int code = index.BadLines().empty() ? kClean : kBadLines;
    Dispose(std::move(owned));
    return code;
}

int CliCommands::Export(const std::vector<std::string>& args) {
    std::string path;
    std::string encodingName;
    for (size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--json") {
            continue;
        }
        if (args[i] == "--encoding" && i + 1 < args.size()) {
            encodingName = args[++i];
        } else if (path.empty() && !args[i].empty() && args[i][0] != '-') {
            path = args[i];
        } else {
            m_err << "tamblin-cli export: wrong argument: " << args[i] << "\n";
            return PrintUsage(m_err, kUsage);
        }
    }
    if (path.empty()) {
        m_err << "tamblin-cli export: FILE.xo is required\n";
        return PrintUsage(m_err, kUsage);
    }
    ByteEncoding encoding = ByteEncoding::Detect;
    if (!EncodingFromName(encodingName, encoding)) {
        m_err << "tamblin-cli export: the encoding " << encodingName
              << " cannot be read here; use 8859_1, DBCS_ASCII, UTF8 or Unicode\n";
        return kUsage;
    }
    std::optional<std::string> bytes = ReadWholeFile(path);
    if (!bytes) {
        m_err << CouldNotOpen(path) << "\n";
        return kCannotOpen;
    }
    auto owned = std::make_unique<IndexFile>();
    IndexFile& index = *owned;
    // Decoded before it is read, as a browser reads it: the reader only looks at ASCII
    // characters, which every one of these encodings keeps as they are.
    std::string text = DecodeToUtf8(*bytes, encoding);
    bytes.reset();
    index.LoadBytes(text, path);
    text.clear();
    text.shrink_to_fit();
    if (!WriteIndexJson(index, m_out) || !(m_out << "\n" << std::flush)) {
        m_err << "tamblin-cli export: could not write to standard output\n";
        return kCannotOpen;
    }
    int code = index.BadLines().empty() ? kClean : kBadLines;
    Dispose(std::move(owned));
    return code;
}

} // namespace tamblin

namespace tamblin {

// One scan option at args[i], which may take the next argument as its value. False when
// args[i] is no scan option; ok false when its value is wrong.
bool CliCommands::ScanArgument(const std::vector<std::string>& args, size_t& i,
                               ScanSettings& settings, ScanOptions& options, bool& ok) {
    const std::string& arg = args[i];
    auto value = [&](std::string& into) {
        if (i + 1 >= args.size()) {
            return false;
        }
        into = args[++i];
        return true;
    };
    if (arg == "--description") {
        ok = value(settings.description);
    } else if (arg == "--case-significant") {
        settings.caseSignificant = true;
    } else if (arg == "--keep-blank-anchors") {
        settings.ignoreBlankAnchors = false;
    } else if (arg == "--keep-untitled") {
        settings.noTitleIgnorePage = false;
    } else if (arg == "--off-site") {
        settings.addOffSiteEntries = true;
    } else if (arg == "--parse-all") {
        settings.parseAll = true;
    } else if (arg == "--no-anchor-keywords") {
        settings.anchorsAsKeywords = false;
    } else if (arg == "--skip-target-frame") {
        ok = value(settings.skipTargetFrame);
    } else if (arg == "--jobs") {
        std::string text;
        ok = value(text);
        char* end = nullptr;
        long jobs = ok ? std::strtol(text.c_str(), &end, 10) : 0;
        ok = ok && !text.empty() && *end == 0 && jobs >= 1 && jobs <= 64;
        options.fetch.jobs = static_cast<size_t>(jobs);
    } else if (arg == "--no-remember") {
        settings.rememberScan = false;
    } else if (arg == "--classic") {
        settings.SetClassic();
    } else if (arg == "--no-browser-text") {
        settings.browserText = false;
    } else if (arg == "--no-heading-keywords") {
        settings.headingKeywords = false;
    } else if (arg == "--no-pages-by-type") {
        settings.pagesByType = false;
    } else if (arg == "--no-follow-redirects") {
        settings.followRedirects = false;
    } else if (arg == "--no-shorten-titles") {
        settings.shortenTitles = false;
    } else if (arg == "--no-skip-script") {
        settings.skipScriptStyle = false;
    } else if (arg == "--no-polite") {
        settings.polite = false;
    } else if (arg == "--no-tidy-urls") {
        settings.tidyUrls = false;
    } else if (arg == "--no-full-text") {
        settings.fullText = false;
    } else if (arg == "--full-text") {
        settings.fullText = true;
    } else if (arg == "--no-skip-common-headings") {
        settings.skipCommonHeadings = false;
    } else if (arg == "--no-skip-title-repeats") {
        settings.skipTitleRepeats = false;
    } else if (arg == "--no-merge-case") {
        settings.oneCasePerPage = false;
    } else if (arg == "--no-missing-files") {
        settings.checkFileLinks = false;
    } else if (arg == "--no-skip-markers") {
        settings.skipMarkers = false;
    } else if (arg == "--all-languages") {
        settings.startLanguageOnly = false;
    } else if (arg == "--no-single-quotes") {
        settings.singleQuotes = false;
    } else if (arg == "--delay") {
        std::string text;
        ok = value(text);
        char* end = nullptr;
        long delay = ok ? std::strtol(text.c_str(), &end, 10) : -1;
        ok = ok && !text.empty() && *end == 0 && delay >= 0 && delay <= 60000;
        settings.delayMs = static_cast<int>(delay);
    } else {
        return false;
    }
    return true;
}

// -1 when the arguments are good and OUT can be written, else the exit code.
int CliCommands::ParseScan(const std::vector<std::string>& args, ScanRequest& request) {
    ScanSettings& settings = request.settings;
    ScanOptions& options = request.options;
    std::string& output = request.output;
    bool& raw = request.raw;
    bool haveStart = false;
    for (size_t i = 1; i < args.size(); ++i) {
        const std::string& arg = args[i];
        auto value = [&](std::string& into) {
            if (i + 1 >= args.size()) {
                return false;
            }
            into = args[++i];
            return true;
        };
        bool ok = true;
        if (arg == "--help" || arg == "-h") {
            return PrintScanUsage(m_out, kClean);
        } else if (arg == "-o" || arg == "--output") {
            ok = value(output);
        } else if (arg == "--raw") {
            raw = true;
        } else if (ScanArgument(args, i, settings, options, ok)) {
        } else if (arg.size() > 1 && arg[0] == '-') {
            ok = false;
        } else if (!haveStart) {
            settings.start = arg;
            haveStart = true;
        } else {
            ok = false;
        }
        if (!ok) {
            m_err << "tamblin-cli scan: wrong argument: " << arg << "\n";
            return PrintScanUsage(m_err, kUsage);
        }
    }
    if (!haveStart || settings.start.empty() || output.empty()) {
        m_err << "tamblin-cli scan: START and -o OUT are required\n";
        return PrintScanUsage(m_err, kUsage);
    }
    if (std::string problem = DescriptionProblem(settings.description); !problem.empty()) {
        m_err << problem << "\n";
        return kScanNotStarted;
    }
    if (!CanWrite(output, SaveOptions(), m_err)) {
        return kCannotOpen;
    }
    return -1;
}

int CliCommands::Scan(const std::vector<std::string>& args) {
    ScanRequest request;
    request.options.abortFlag = m_cancel;
    request.options.fewerKeywords = kFewerKeywords;
    if (int code = ParseScan(args, request); code >= 0) {
        return code;
    }
    ScanSettings& settings = request.settings;
    const std::string& output = request.output;
    bool raw = request.raw;
    settings.fromUrl = IsAbsoluteUrl(settings.start) != 0;
    // The scanner's own file stands alone.
    settings.fullText = settings.fullText && !raw;

    FinishedScan finished = ScanSite(settings, request.options, "");
    const std::string& temporary = finished.temporaryPath;
    if (temporary.empty()) {
        return kScanNotStarted;
    }
    if (finished.writeFailed) {
        return kCannotOpen;
    }
    if (finished.readNothing) {
        // An index of nothing would stand for a site that is not there.
        std::remove(temporary.c_str());
        m_err << "No page could be read: " << output << " was not written.\n";
        return kScanNotStarted;
    }
    if (raw) {
        SaveResult copied = CopyFileReplacing(temporary, output, SaveOptions());
        std::remove(temporary.c_str());
        if (!copied.Ok()) {
            m_err << SaveFailureText(output, copied) << "\n";
            return kCannotOpen;
        }
        if (!RefreshCompanion(output)) {
            WarnStaleCompanion(output);
        }
        RemoveStaleWords(output);
        return kScanRan;
    }
    IndexFile index;
    int loaded = index.Load(temporary);
    std::remove(temporary.c_str());
    if (!loaded) {
        m_err << CouldNotOpen(temporary) << "\n";
        return kCannotOpen;
    }
    if (!index.BadLines().empty()) {
        m_err << index.BadLinesMessage();
    }
    if (settings.rememberScan) {
        SiteRescan::RememberScan(index, settings);
    }
    if (!SaveWithWords(index, output)) {
        return kCannotOpen;
    }
    return kScanRan;
}

// The search index is written and synced first and takes its place only once the index file
// is saved: a failure of either leaves the old index beside the old words.
bool CliCommands::SaveWithWords(IndexFile& index, const std::string& output) {
    if (!m_words) {
        if (!SaveOutput(index, output)) {
            return false;
        }
        RemoveStaleWords(output);
        return true;
    }
    bool indexTried = false;
    bool indexSaved = false;
    SaveResult result = SearchIndexWriter::Write(*m_words, output, [&] {
        indexTried = true;
        indexSaved = SaveOutput(index, output);
        return indexSaved;
    });
    m_words.reset();
    if (!indexSaved) {
        if (!indexTried) {
            m_err << SaveFailureText(SearchIndexFiles::Folder(output), result) << "\n"
                  << output << " was left as it was.\n";
        }
        return false;
    }
    if (!result.Ok()) {
        m_err << SaveFailureText(SearchIndexFiles::Folder(output), result) << "\n";
        return false;
    }
    return true;
}

// OUT was written without words: an older search index beside it would answer for pages
// as they were.
void CliCommands::RemoveStaleWords(const std::string& output) {
    const std::string folder = SearchIndexFiles::Folder(output);
    switch (SearchIndexRemoval::RemoveStale(output)) {
    case SearchIndexRemoval::Outcome::NothingThere:
        break;
    case SearchIndexRemoval::Outcome::Removed:
        m_out << "Removed the old full-text search index " << folder
              << ": this index was written without words.\n";
        break;
    case SearchIndexRemoval::Outcome::Failed:
        m_err << "Warning: " << output << " was written without words, but the old full-text "
              << "search index " << folder << " could not be removed: the Search tab finds "
              << "the pages as they were. Delete the folder.\n";
        break;
    }
}

bool CliCommands::SaveOutput(IndexFile& index, const std::string& output) {
    if (!index.Save(output, SaveOptions())) {
        m_err << SaveFailureText(index) << "\n";
        return false;
    }
    if (index.CompanionStale()) {
        WarnStaleCompanion(output);
    }
    return true;
}

void CliCommands::WarnStaleCompanion(const std::string& output) {
    m_err << "Warning: " << output << " was written, but not its companion script "
          << CompanionPath(output) << ": a search page opened from disk shows the old index\n";
}

int CliCommands::PrintRescanUsage(std::ostream& stream, int code) {
    stream << "Usage: tamblin-cli rescan INDEX.xo [START] -o OUT.xo [OPTIONS]\n"
              "\n"
              "Scans the site of INDEX.xo again and writes INDEX.xo brought up to date to\n"
              "OUT.xo, keeping the author's edits: titles changed since the last scan, the\n"
              "place of every entry, In Contents, targets, icons, page tips and keywords of\n"
              "the author's. New pages go under the entry of the page that links to them;\n"
              "pages that are gone are kept, taken out of the contents. START and the scan\n"
              "options default to those the index was scanned with; options given here\n"
              "change them. Lists the pages added, gone and retitled and the keyword changes.\n"
              "\n"
              "Options:\n"
              "  -o, --output OUT          The index file to write (required).\n"
              "  --remove-gone             Remove the entries of pages that are gone.\n"
              "  and every option of 'tamblin-cli scan' but --raw.\n"
              "\n"
           << kScanExitTable;
    return code;
}

FinishedScan CliCommands::ScanSite(const ScanSettings& settings, const ScanOptions& options,
                                   const char* writeFailedEnd) {
    CliScanObserver observer(m_err, m_progress, m_width);
    SiteScanner scanner(settings, &observer, options);
    std::optional<std::string> temporary = scanner.ScanIndex();
    if (!temporary) {
        m_err << scanner.ErrorText() << "\n";
        return {};
    }
    m_out << PlainLineEnds(scanner.Summary()) << "\n\n" << PlainLineEnds(scanner.Report()) << "\n";
    if (scanner.WriteFailed()) {
        std::remove(temporary->c_str());
        m_err << scanner.ErrorText() << writeFailedEnd << "\n";
        return {*temporary, false, false, true};
    }
    m_words.reset();
    if (scanner.KeepsWords() && !scanner.Aborted()) {
        m_words = scanner.TakeSearchIndex();
    }
    return {*temporary, scanner.Aborted(), scanner.PagesRead() == 0, false};
}

// -1 when the arguments are good, else the exit code.
int CliCommands::ParseRescan(const std::vector<std::string>& args, RescanRequest& request) {
    ScanSettings given;
    for (size_t i = 1; i < args.size(); ++i) {
        const std::string& arg = args[i];
        bool ok = true;
        if (arg == "--help" || arg == "-h") {
            return PrintRescanUsage(m_out, kClean);
        } else if (arg == "-o" || arg == "--output") {
            ok = i + 1 < args.size();
            request.output = ok ? args[++i] : "";
        } else if (arg == "--remove-gone") {
            request.removeGone = true;
        } else if (arg.size() > 1 && arg[0] == '-') {
            size_t from = i;
            ok = ScanArgument(args, i, given, request.options, ok) && ok;
            request.optionArgs.insert(request.optionArgs.end(),
                                      args.begin() + static_cast<long>(from),
                                      args.begin() + static_cast<long>(i) + 1);
        } else if (request.positional.size() < 2) {
            request.positional.push_back(arg);
        } else {
            ok = false;
        }
        if (!ok) {
            m_err << "tamblin-cli rescan: wrong argument: " << arg << "\n";
            return PrintRescanUsage(m_err, kUsage);
        }
    }
    if (request.positional.empty() || request.output.empty()) {
        m_err << "tamblin-cli rescan: INDEX.xo and -o OUT.xo are required\n";
        return PrintRescanUsage(m_err, kUsage);
    }
    return -1;
}

// The options the index was scanned with, then those given here over them. False when
// there is no start to scan from.
bool CliCommands::RescanSettings(const IndexFile& index, RescanRequest& request,
                                 ScanSettings& settings) {
    SiteRescan::RememberedSettings(index, settings);
    for (size_t i = 0; i < request.optionArgs.size(); ++i) {
        bool ok = true;
        ScanArgument(request.optionArgs, i, settings, request.options, ok);
    }
    settings.description = index.m_description;
    if (request.positional.size() > 1) {
        settings.start = request.positional[1];
    }
    if (settings.start.empty()) {
        m_err << "tamblin-cli rescan: the index does not say where its scan started; give "
                 "START\n";
        return false;
    }
    settings.fromUrl = IsAbsoluteUrl(settings.start) != 0;
    return true;
}

int CliCommands::RescanNotMerged(const SiteRescan& rescan, SiteRescan::Status status) {
    switch (status) {
    case SiteRescan::Status::WriteFailed:
        return kCannotOpen;
    case SiteRescan::Status::NotLoaded:
        m_err << CouldNotOpen(rescan.TemporaryPath()) << "\n";
        return kCannotOpen;
    case SiteRescan::Status::Stopped:
    case SiteRescan::Status::NothingRead:
        // Pages the scan did not reach would all look gone.
        m_err << (status == SiteRescan::Status::Stopped ? "The scan was stopped"
                                                        : "No page could be read")
              << ": the index is left as it was.\n";
        return kScanNotStarted;
    case SiteRescan::Status::NotStarted:
    case SiteRescan::Status::Scanned:
        break;
    }
    return kScanNotStarted;
}

int CliCommands::Rescan(const std::vector<std::string>& args) {
    RescanRequest request;
    request.options.abortFlag = m_cancel;
    request.options.fewerKeywords = kFewerKeywords;
    if (int code = ParseRescan(args, request); code >= 0) {
        return code;
    }
    IndexFile index;
    if (LoadResult result = index.LoadIndex(request.positional[0]); result != LoadResult::Opened) {
        m_err << NotLoadedText(index, request.positional[0], result) << "\n";
        return kCannotOpen;
    }
    if (!index.BadLines().empty()) {
        m_err << index.BadLinesMessage();
    }
    ScanSettings settings;
    if (!RescanSettings(index, request, settings)) {
        return kScanNotStarted;
    }
    if (!CanWrite(request.output, SaveOptions(), m_err)) {
        return kCannotOpen;
    }
    SiteRescan rescan(settings);
    SiteRescan::Status status = rescan.Run([&](const ScanSettings& scanSettings) {
        return ScanSite(scanSettings, request.options, ": the index is left as it was.");
    });
    if (status != SiteRescan::Status::Scanned) {
        return RescanNotMerged(rescan, status);
    }
    IndexMerge& merge = rescan.Plan(index.m_root, index.m_baseUrls);
    for (MergeChange& change : merge.Result().changes) {
        if (change.kind == MergeChange::Kind::PageGone) {
            change.apply = request.removeGone;
        }
    }
    merge.Apply();
    PrintMerge(merge.Result(), request.removeGone);
    if (settings.rememberScan) {
        // Apply marked what this scan gave; marking again would take the author's titles
        // and keywords for the scan's.
        index.m_scanSource = rescan.ScanSource();
    }
    if (!SaveWithWords(index, request.output)) {
        return kCannotOpen;
    }
    Dispose(rescan.TakeScanned());
    return kScanRan;
}

void CliCommands::PrintMerge(const MergeResult& result, bool removeGone) {
    struct Section {
        MergeChange::Kind kind;
        const char* heading;
        const char* mark;
    };
    const Section sections[] = {
        {MergeChange::Kind::PageAdded, "Pages added", "+"},
        {MergeChange::Kind::PageGone,
         removeGone ? "Pages gone (removed)" : "Pages gone (kept, out of the contents)", "-"},
        {MergeChange::Kind::PageRetitled, "Pages retitled", "~"},
        {MergeChange::Kind::KeywordAdded, "Keywords added", "+"},
        {MergeChange::Kind::KeywordRemoved, "Keywords removed", "-"},
    };
    for (const Section& section : sections) {
        m_out << "\n" << section.heading << ": " << result.Count(section.kind) << "\n";
        for (const MergeChange& change : result.changes) {
            if (change.kind != section.kind) {
                continue;
            }
            m_out << "  " << section.mark << " " << change.url;
            switch (change.kind) {
            case MergeChange::Kind::PageAdded:
                m_out << "  \"" << change.title << "\" under "
                      << (change.after.empty() ? std::string("the top level") : change.after);
                break;
            case MergeChange::Kind::PageGone:
                m_out << "  \"" << change.title << "\"";
                if (!removeGone && change.scanKeywords > 0) {
                    m_out << "\n      keywords from the scan taken off: " << change.scanKeywords;
                }
                break;
            case MergeChange::Kind::PageRetitled:
                m_out << "  \"" << change.before << "\" -> \"" << change.after << "\"";
                break;
            case MergeChange::Kind::KeywordAdded:
                m_out << "  \"" << change.after << "\"";
                break;
            case MergeChange::Kind::KeywordRemoved:
                m_out << "  \"" << change.before << "\"";
                break;
            }
            m_out << "\n";
        }
    }
    m_out << "\nEdits of the author kept: " << result.authorEditsKept << "\n";
}

} // namespace tamblin
