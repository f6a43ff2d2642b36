#include "scanner/SiteScanner.h"

#include "index/DateText.h"
#include "index/FieldTokenizer.h"
#include "index/IndexFile.h"
#include "index/TextUtils.h"
#include "index/UrlUtils.h"
#include "scanner/FilePageSource.h"
#include "scanner/HtmlText.h"
#include "scanner/LocationKey.h"
#include "scanner/RobotsCache.h"
#include "scanner/SniffedInput.h"

#include <fstream>
#include <unordered_map>

#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <unistd.h>

namespace tamblin {

namespace {

// Tag states: inside a title or an anchor, their ends, and the other tags that matter.
constexpr int kNoTag = 0;
constexpr int kInTitle = 1;
constexpr int kInAnchor = 2;
constexpr int kTitleEnd = -1;
constexpr int kAnchorEnd = -2;
constexpr int kFrameTag = -3;
constexpr int kMetaTag = -4;
constexpr int kOtherTag = -5;
constexpr int kHeadingTag = -6;
constexpr int kInHeading = 3;

constexpr const char* kInitialReferrer = "Initial scan page";
constexpr const char* kSemicolonFile =
    "Cannot parse file (%s) as the filename contains a semi-colon delimiter.";
constexpr const char* kCannotOpenUrl = "Could not open URL %s.";
constexpr const char* kCannotOpenFile = "Could not open file %s.";
constexpr const char* kSemicolonAnchor =
    "cannot make index on anchor name \"%s\" as it contains a semi-colon delimiter";
constexpr const char* kSizeWarning =
    "WARNING: This index file looks reasonably big\r\n"
    "  Please check that it loads quickly enough over the Web\r\n"
    "  You could split it into several index files for the Navora Select tab.\r\n"
    "  Or reduce the number of keywords by scanning again with 'Use anchors as keywords' "
    "unchecked.";
// The meta keywords of one page are written when it ends; past this they are dropped, so
// that an endless page cannot take all memory.
constexpr size_t kMaxMetaKeywordBytes = TagReader::kMaxTextLength;
constexpr const char* kUnknownCharset = "Unknown character set \"%s.";
constexpr const char* kRobotsClosed = "Not read: the site's robots.txt closes %s to this scanner.";

bool IsHeading(std::string_view tag) {
    return tag.size() == 2 && tag[0] == 'h' && tag[1] >= '1' && tag[1] <= '6';
}

bool IsHeadingEnd(std::string_view tag) {
    return tag.size() == 3 && tag[0] == '/' && IsHeading(tag.substr(1));
}

// Elements without an end tag cannot hold a heading.
bool IsVoidElement(std::string_view tag) {
    for (std::string_view name : {"area", "base", "br", "col", "embed", "hr", "img", "input",
                                  "link", "meta", "param", "source", "track", "wbr"}) {
        if (tag == name) {
            return true;
        }
    }
    return false;
}

bool HasToken(std::string_view list, std::string_view token) {
    std::string lower;
    for (char c : list) {
        lower += (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c;
    }
    for (size_t at = lower.find(token); at != std::string::npos; at = lower.find(token, at + 1)) {
        bool startOk = at == 0 || !std::isalnum(static_cast<unsigned char>(lower[at - 1]));
        size_t after = at + token.size();
        bool endOk =
            after == lower.size() || !std::isalnum(static_cast<unsigned char>(lower[after]));
        if (startOk && endOk) {
            return true;
        }
    }
    return false;
}

// A heading that repeats the page's title, alone or with the site's name beside it
// ("Intro" under the title "Intro - Site"), adds nothing.
bool RepeatsTitle(std::string_view title, std::string_view heading) {
    if (title == heading) {
        return true;
    }
    if (title.size() <= heading.size() + 2) {
        return false;
    }
    for (std::string_view separator :
         {"-", "|", ":", "\xE2\x80\x94", "\xE2\x80\x93", "\xC2\xB7", "\x97", "\x96"}) {
        std::string after = " " + std::string(separator) + " ";
        std::string before = after;
        if (title.compare(0, heading.size(), heading) == 0 &&
            (title.compare(heading.size(), after.size(), after) == 0 ||
             (separator == ":" && title.compare(heading.size(), 2, ": ") == 0))) {
            return true;
        }
        size_t at = title.size() - heading.size();
        if (title.compare(at, heading.size(), heading) == 0 && at >= before.size() &&
            title.compare(at - before.size(), before.size(), before) == 0) {
            return true;
        }
    }
    return false;
}

// "http://host:port/" of an absolute http(s) address, or "".
std::string OriginOf(std::string_view address) {
    size_t scheme = address.find("://");
    if (scheme == std::string_view::npos) {
        return "";
    }
    size_t slash = address.find('/', scheme + 3);
    return std::string(address.substr(0, slash)) + "/";
}

std::string AsciiLower(std::string_view text) {
    std::string result(text);
    for (char& c : result) {
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c + 32);
        }
    }
    return result;
}

std::string_view TrimWhite(std::string_view text) {
    constexpr std::string_view kWhite = " \t\r\n\v\f";
    size_t begin = text.find_first_not_of(kWhite);
    if (begin == std::string_view::npos) {
        return {};
    }
    return text.substr(begin, text.find_last_not_of(kWhite) - begin + 1);
}

// Trimmed, decoded and trimmed again: a reference to a space at either end must not leave
// a field that reading trims to something else.
std::string CleanText(std::string_view text) {
    return std::string(TrimWhite(DecodeEntities(TrimWhite(text))));
}

bool HasSemicolon(std::string_view text) {
    return text.find(';') != std::string_view::npos;
}

std::string WithoutFragment(std::string_view text) {
    return std::string(text.substr(0, text.find('#')));
}

bool StartsWith(std::string_view text, std::string_view prefix) {
    return text.size() >= prefix.size() && text.compare(0, prefix.size(), prefix) == 0;
}

// A keyword field that is text, not a reference: trimmed as reading trims it, and with a
// leading "&" doubled so that reading does not take it for a reference.
std::string Plain(std::string_view text) {
    return PlainKeywordField(TrimSpaces(text));
}

// Index file fields never hold a separator or a line break.
std::string FieldSafe(std::string text) {
    for (char& c : text) {
        if (c == ';' || c == '\r' || c == '\n') {
            c = ' ';
        }
    }
    return text;
}

} // namespace

SiteScanner::SiteScanner(ScanSettings settings, ScanObserver* observer, ScanOptions options)
    : m_settings(std::move(settings)), m_observer(observer), m_options(options),
      m_abort(options.abortFlag ? options.abortFlag : &m_ownAbort),
      m_cleaner({m_settings.skipCommonHeadings, m_settings.skipTitleRepeats,
                 m_settings.oneCasePerPage}) {}

SiteScanner::~SiteScanner() {
    if (m_out) {
        std::fclose(m_out);
    }
}

void SiteScanner::Cancel() {
    m_abort->store(1, std::memory_order_relaxed);
}

bool SiteScanner::Aborting() const {
    return m_abort->load(std::memory_order_relaxed) != 0;
}

int SiteScanner::WorkerEntry(SiteScanner* scanner) {
    if (!scanner) {
        return -1;
    }
    scanner->Run();
    return 0;
}

std::optional<std::string> SiteScanner::ScanIndex() {
    if (!Prepare()) {
        return std::nullopt;
    }
    Run();
    return m_tempPath;
}

bool SiteScanner::Prepare() {
    m_errorText.clear();
    if (m_settings.start.find_first_of("\r\n") != std::string::npos) {
        m_errorText = "The start page cannot contain a line break.";
        return false;
    }
    if (m_options.pageSource) {
        m_source = m_options.pageSource;
    } else if (m_settings.fromUrl) {
        FetchOptions fetch = m_options.fetch;
        if (m_settings.polite) {
            fetch.userAgent = std::string("Tamblin/") + kProgramVersion;
        }
        fetch.delayMs = m_settings.delayMs;
        m_ownSource = HttpPageSource::Create(fetch, m_abort);
        if (!m_ownSource) {
            m_errorText = "Page scan failed";
            return false;
        }
        m_source = m_ownSource.get();
    } else {
        m_ownSource = std::make_unique<FilePageSource>();
        m_source = m_ownSource.get();
    }
    m_separator = m_settings.fromUrl ? '/' : m_options.fileSeparator;

    std::error_code error;
    std::filesystem::path directory = std::filesystem::temp_directory_path(error);
    if (error) {
        directory = "/tmp";
    }
    std::string pattern = (directory / "XoTmpXXXXXX").string();
    int fd = ::mkstemp(pattern.data());
    if (fd >= 0) {
        m_out = ::fdopen(fd, "wb");
        if (m_out) {
            std::setvbuf(m_out, nullptr, _IOFBF, 64 * 1024);
        } else {
            ::close(fd);
            std::remove(pattern.c_str());
        }
    }
    if (!m_out) {
        m_errorText = "Could not create a temporary file name";
        return false;
    }
    m_tempPath = pattern;
    m_summary = "Unexpected scan completion";
    m_report.clear();
    m_ownAbort.store(0);
    m_aborted = false;
    return true;
}

void SiteScanner::ResetScan() {
    m_entryCount = 0;
    m_keywordCount = 0;
    m_problemCount = 0;
    m_pagesRead = 0;
    m_queue.clear();
    m_aheadCursor = 0;
    m_fetchedAhead.clear();
    m_visited.clear();
    m_entryUrls.clear();
    m_problemText.clear();
    m_baseDirectory.clear();
    m_hasBaseDirectory = false;
    m_siteRoot.clear();
    m_hasSiteRoot = false;
    m_currentEntry = 0;
    m_titleSeen = false;
    m_tagState = kNoTag;
}

void SiteScanner::FindBaseDirectory() {
    std::string& start = m_settings.start;
    size_t last = start.rfind(m_separator);
    if (last != std::string::npos) {
        m_baseDirectory = start.substr(0, last + 1);
        m_hasBaseDirectory = true;
        start.erase(0, last + 1);
    }
}

void SiteScanner::Run() {
    if (!m_out) {
        return;
    }
    WriteLine("XO0;2;1;1");
    WriteLine("1;" + FieldSafe(m_settings.description) + ";" + TodayRecordDate(true));
    ResetScan();
    if (m_settings.fromUrl && m_settings.followRedirects) {
        OpenStartPage();
    }
    FindBaseDirectory();

    // A base that holds ";" cannot be written; no page below it can be read either.
    std::string base = m_settings.fromUrl && !HasSemicolon(m_baseDirectory) ? m_baseDirectory : "";
    WriteLine("3;1;" + base + ";;");

    if (m_settings.fromUrl) {
        std::string lower = LowerText(m_baseDirectory);
        // https sites get their root like http ones.
        for (std::string_view scheme :
             {std::string_view("http://"), std::string_view("https://")}) {
            if (StartsWith(lower, scheme)) {
                std::string host = lower.substr(scheme.size(), lower.size() - scheme.size() - 1);
                if (size_t slash = host.find('/'); slash != std::string::npos) {
                    m_siteRoot = std::string(scheme) + host.substr(0, slash + 1);
                    m_hasSiteRoot = true;
                }
            }
        }
    }

    ScanQueueItem first;
    first.url = m_settings.start;
    first.referrer = kInitialReferrer;
    m_queue.push_back(std::move(first));
    if (m_settings.fromUrl && m_settings.polite) {
        ReadRobots();
    }
    while (!m_queue.empty()) {
        if (Aborting()) {
            m_aborted = true;
            break;
        }
        m_current = std::move(m_queue.front());
        m_queue.pop_front();
        if (m_aheadCursor > 0) {
            --m_aheadCursor;
        }
        ScanCurrentItem();
    }
    // A Cancel that cut the last page short is an abort too.
    m_aborted = m_aborted || Aborting();
    m_queue.clear();
    m_visited.clear();
    m_fetchedAhead.clear();
    m_startInput.reset();
    // Fetches still running ahead are of no use now.
    m_ownSource.reset();
    m_source = nullptr;
    std::fclose(m_out);
    m_out = nullptr;
    if (m_cleaner.Active()) {
        int left = m_cleaner.Finish(m_tempPath, m_cleaner.Pages(), m_cleanReport);
        m_keywordCount -= std::max(left, 0);
    }
    if (m_settings.shortenTitles) {
        ShortenTitles();
    }

    if (m_aborted) {
        m_summary = "User requested abort";
    } else {
        char buffer[160];
        std::snprintf(buffer, sizeof buffer,
                      "Scan complete.\n\n%d pages found and %d index keywords generated.",
                      m_entryCount, m_keywordCount);
        m_summary = buffer;
    }
    m_report = FinishedReport();
    if (m_observer) {
        m_observer->OnCompleted(m_summary, m_report);
    }
}

std::string SiteScanner::FinishedReport() const {
    std::string report;
    if (m_problemCount == 0) {
        report = "No problems while scanning.";
    } else {
        char buffer[64];
        std::snprintf(buffer, sizeof buffer, "%d problems while scanning:\r\n\r\n", m_problemCount);
        report = buffer + m_problemText;
    }
    if (!m_shortenedPart.empty()) {
        report += "\r\n\r\nTaken off every page title: \"" + m_shortenedPart + "\"";
    }
    report += m_cleanReport;
    if (m_entryCount + m_keywordCount > 1000) {
        report += "\r\n\r\n";
        report += kSizeWarning;
    }
    return report;
}

SiteScanner::Normalised SiteScanner::Normalise(const std::string& url) const {
    Normalised result;
    std::string plain = WithoutFragment(url);
    std::string location = IsAbsoluteUrl(plain) ? plain : m_baseDirectory + plain;
    bool fileMode = !m_settings.fromUrl;
    if (fileMode) {
        location = ReplaceChar(location, m_separator, '/');
    }
    NormalizeUrlPath(location);
    if (m_hasBaseDirectory && StartsWith(location, m_baseDirectory)) {
        result.url = location.substr(m_baseDirectory.size());
    } else {
        result.url = std::move(plain);
    }
    if (fileMode) {
        location = ReplaceChar(location, '/', m_separator);
    }
    result.location = std::move(location);
    return result;
}

std::string SiteScanner::VisitedKey(const std::string& location) const {
    return LocationKey::Of(location, m_settings.caseSignificant);
}

// The name a page goes by where a title or phrase is needed: its url, or its location when
// the url is empty (a start URL that ends with "/"). Never empty, as reading needs one.
std::string SiteScanner::PageName() const {
    for (const std::string* name : {&m_current.url, &m_current.location}) {
        if (std::string_view trimmed = TrimSpaces(*name); !trimmed.empty()) {
            return std::string(trimmed);
        }
    }
    return "Untitled";
}

void SiteScanner::ScanCurrentItem() {
    m_blockCounter = 0;
    Normalised normalised = Normalise(m_current.url);
    m_current.url = std::move(normalised.url);
    m_current.location = std::move(normalised.location);
    // The url is written into the index as well, so it is held to the same rule.
    if (HasSemicolon(m_current.location) || HasSemicolon(m_current.url)) {
        Problem(kSemicolonFile, m_current.location);
        return;
    }
    std::string key = VisitedKey(m_current.location);
    m_fetchedAhead.erase(key);
    if (!m_visited.insert(std::move(key)).second) {
        return;
    }
    if (!RobotsAllow(m_current.location)) {
        Problem(kRobotsClosed, m_current.location);
        return;
    }
    std::unique_ptr<PageInput> input;
    if (m_startTried && m_pagesRead == 0 && m_current.referrer == kInitialReferrer) {
        input = std::move(m_startInput);
        m_startTried = false;
        FetchAhead();
    } else {
        // This page's own request goes out first, then those of the pages after it.
        m_source->Prefetch(m_current.location);
        FetchAhead();
        input = m_source->Open(m_current.location);
    }
    if (!input) {
        // A Cancel that interrupts the opening is no problem of the page.
        if (!Aborting()) {
            Problem(m_settings.fromUrl ? kCannotOpenUrl : kCannotOpenFile, m_current.location);
        }
        return;
    }
    if (m_current.probe && ProbedFileEntry(*input)) {
        return;
    }
    ++m_pagesRead;
    if (m_observer) {
        m_observer->OnStatus("Scanning " + m_current.url + "...");
        m_observer->OnPageOpened(m_pagesRead, m_current.url);
    }
    m_metaKeywords.clear();
    m_metaKeywordRoom = kMaxMetaKeywordBytes;
    m_titleSeen = false;
    m_tagState = kNoTag;
    m_linkDirectory.reset();
    m_pageNoFollow = false;
    m_pageTitle.clear();
    m_pageAnchorIds.clear();
    m_sectionId.clear();
    m_inHeading = m_headingClosing = m_headingAnchor = false;
    if (m_settings.followRedirects && m_settings.fromUrl) {
        if (std::string final = input->FinalLocation(); !final.empty()) {
            m_linkDirectory = LinkDirectory(final);
        }
    }

    PageInput* source = input.get();
    std::optional<SniffedInput> sniffed;
    if (m_settings.browserText) {
        sniffed.emplace(*input, input->ContentType());
        source = &*sniffed;
        m_pageCharset = sniffed->Charset();
        if (m_pagesRead == 1) {
            m_outCharset = m_pageCharset;
        }
        if (!sniffed->UnknownLabel().empty()) {
            Problem(kUnknownCharset,
                    sniffed->UnknownLabel() + "\": read as " + CharacterSet::Name(m_pageCharset));
        }
    }
    DotDisplay* dots = m_observer && m_observer->WantsDots() ? this : nullptr;
    TagReader reader(source, *this, dots, m_abort, &m_blockCounter);
    reader.SetSkipScriptAndStyle(m_settings.skipScriptStyle);
    reader.Run();
    if (m_headingClosing) {
        FinishHeading();
    }
    // A server that stopped answering fails the page as one that never answered does.
    if (input->TimedOut()) {
        Problem(kCannotOpenUrl, m_current.location);
    }

    if (!m_titleSeen && !m_settings.noTitleIgnorePage) {
        WriteKeyword(Plain(PageName()), Plain(m_current.url), Plain(PageName()), m_current.target);
    }
    WriteKeywordList(m_metaKeywords, "", "");
}

// A probed address that the server does not call a page becomes the entry a link to a file
// becomes; with parseAll it is still read. True when it is not to be read.
bool SiteScanner::ProbedFileEntry(PageInput& input) {
    std::string type = AsciiLower(input.ContentType());
    type = std::string(TrimWhite(type.substr(0, type.find(';'))));
    if (type.empty() || type == "text/html" || type == "application/xhtml+xml") {
        return false;
    }
    const std::string& text = m_current.linkText;
    if (!text.empty() && m_entryUrls.count(m_current.url) == 0) {
        ++m_entryCount;
        WriteEntry(m_entryCount, text, m_current.url, m_current.linkParent, m_current.target);
        std::string reference = "&" + IntToText(m_entryCount);
        WriteKeyword(reference, reference, reference, m_current.target);
    }
    return !m_settings.parseAll;
}

// Where the links of a page read at address point: relative to the base directory when it
// lies below it, else the absolute directory.
std::optional<std::string> SiteScanner::LinkDirectory(const std::string& address) const {
    std::string path = address.substr(0, address.find_first_of("?#"));
    std::string directory = path.substr(0, path.rfind('/') + 1);
    if (m_hasBaseDirectory && StartsWith(directory, m_baseDirectory)) {
        return directory.substr(m_baseDirectory.size());
    }
    return directory;
}

// Opens the start page before anything is written, so that a redirected start page sets the
// base directory, the site root and the base URL record where it ends.
void SiteScanner::OpenStartPage() {
    if (!IsAbsoluteUrl(m_settings.start)) {
        return;
    }
    m_startTried = true;
    m_startInput = m_source->Open(m_settings.start);
    if (!m_startInput) {
        return;
    }
    std::string final = m_startInput->FinalLocation();
    if (!final.empty() && final != m_settings.start &&
        final.find_first_of(";\r\n") == std::string::npos) {
        m_visited.insert(VisitedKey(m_settings.start));
        m_settings.start = final.substr(0, final.find('#'));
    }
}

void SiteScanner::ReadRobots() {
    m_robotsRoot = OriginOf(m_baseDirectory + m_settings.start);
    if (m_robotsRoot.empty()) {
        return;
    }
    m_robots =
        RobotsCache::Read(*m_source, m_robotsRoot, std::string("Tamblin/") + kProgramVersion);
}

bool SiteScanner::RobotsAllow(const std::string& location) const {
    if (!m_robots || !StartsWith(LowerText(location), LowerText(m_robotsRoot))) {
        return true;
    }
    return m_robots->Allows(location.substr(m_robotsRoot.size() - 1));
}

// Starts reading the next pages of the queue while this one is read. Only what the walk will
// really open is fetched, each location once; the walk still takes pages one by one in
// queue order, so the index and the problems do not depend on it.
void SiteScanner::FetchAhead() {
    while (m_source->PrefetchRoom() > 0 && m_aheadCursor < m_queue.size()) {
        Normalised next = Normalise(m_queue[m_aheadCursor++].url);
        if (HasSemicolon(next.location) || HasSemicolon(next.url) || !RobotsAllow(next.location)) {
            continue;
        }
        std::string key = VisitedKey(next.location);
        if (m_visited.count(key) != 0 || !m_fetchedAhead.insert(std::move(key)).second) {
            continue;
        }
        m_source->Prefetch(next.location);
    }
}

void SiteScanner::ShowDots(std::string_view dots) {
    m_observer->OnDots(dots);
}

int SiteScanner::OnTag(const std::string& name) {
    std::string tag = AsciiLower(name);
    if (m_tagState < 0) {
        m_tagState = kNoTag;
    }
    if (m_headingClosing) {
        FinishHeading();
    }
    if (tag == "title") {
        m_tagState = kInTitle;
        return kCollectText;
    }
    if (m_tagState == kInTitle) {
        if (tag == "/title") {
            m_tagState = kTitleEnd;
            return kPlainText;
        }
        return kCollectText;
    }
    if (m_inHeading) {
        return HeadingTag(tag);
    }
    if (tag == "a") {
        m_noFollowLink = false;
        m_anchorName.clear();
        m_anchorKeywords.clear();
        m_link.clear();
        m_target.clear();
        m_tagState = kInAnchor;
        return kCollectText;
    }
    if (m_tagState == kInAnchor) {
        if (tag == "/a") {
            m_tagState = kAnchorEnd;
            return kPlainText;
        }
        return kCollectText;
    }
    if (m_settings.headingKeywords && IsHeading(tag)) {
        m_inHeading = true;
        m_headingRaw.clear();
        m_headingId.clear();
        m_headingLinkId.clear();
        // The first heading inside an element with an id stands for it.
        m_headingSectionId = std::move(m_sectionId);
        m_sectionId.clear();
        m_tagState = kHeadingTag;
        return kCollectText;
    }
    if (tag == "frame") {
        m_link.clear();
        m_target.clear();
        m_tagState = kFrameTag;
        return kPlainText;
    }
    if (tag == "meta") {
        m_metaName.clear();
        m_metaContent.clear();
        m_tagState = kMetaTag;
        return kCollectText;
    }
    m_link.clear();
    m_target.clear();
    m_noFollowLink = false;
    m_tagState = kOtherTag;
    if (m_settings.headingKeywords) {
        TrackSection(tag);
    }
    return kPlainText;
}

void SiteScanner::TrackSection(const std::string& tag) {
    m_lastTagName = tag;
    if (m_sectionId.empty()) {
        return;
    }
    if (tag == m_sectionTag) {
        ++m_sectionDepth;
    } else if (tag.size() == m_sectionTag.size() + 1 && tag[0] == '/' &&
               tag.compare(1, std::string::npos, m_sectionTag) == 0) {
        if (m_sectionDepth-- == 0) {
            m_sectionId.clear();
        }
    }
}

// A tag inside a heading. Links in it keep their text apart: the text of a link to the
// heading's own place (a pilcrow, say) is no part of the phrase.
int SiteScanner::HeadingTag(const std::string& tag) {
    if (m_headingAnchor) {
        if (tag != "/a") {
            return kPlainText;
        }
        m_headingAnchor = false;
        std::string raw = std::move(m_headingAnchorText);
        m_headingAnchorText.clear();
        std::string link(TrimWhite(m_link));
        if (link.size() > 1 && link[0] == '#') {
            m_headingLinkId = link.substr(1);
        } else {
            m_headingRaw += raw;
        }
        m_tagState = kAnchorEnd;
        AnchorEnded(Text(raw));
        m_tagState = kInHeading;
        return kCollectText;
    }
    if (IsHeadingEnd(tag)) {
        m_inHeading = false;
        m_headingClosing = true;
        m_tagState = kNoTag;
        return kPlainText;
    }
    m_link.clear();
    m_target.clear();
    m_noFollowLink = false;
    if (tag == "a") {
        m_anchorName.clear();
        m_anchorKeywords.clear();
        m_headingAnchor = true;
        m_headingAnchorText.clear();
        m_tagState = kInAnchor;
        return kPlainText;
    }
    m_tagState = kOtherTag;
    return kCollectText;
}

void SiteScanner::FinishHeading() {
    m_headingClosing = false;
    std::string text = Text(m_headingRaw);
    m_headingRaw.clear();
    std::string id = !m_headingId.empty()       ? m_headingId
                     : !m_headingLinkId.empty() ? m_headingLinkId
                                                : m_headingSectionId;
    if (text.empty() || id.empty() || HasSemicolon(id) || RepeatsTitle(m_pageTitle, text) ||
        !m_pageAnchorIds.insert(id).second) {
        return;
    }
    // Noted for the cleaner, which may leave it out once the whole site is known.
    m_writingHeading = true;
    if (m_titleSeen) {
        std::string reference = CurrentReference();
        WriteKeyword(Plain(text), reference + "#" + id, reference + " (" + text + ")",
                     m_current.target);
    } else if (!m_settings.noTitleIgnorePage) {
        WriteKeyword(Plain(text), Plain(m_current.url + "#" + id), Plain(PageName()),
                     m_current.target);
    }
    m_writingHeading = false;
}

void SiteScanner::OnAttribute(const std::string& name, const std::string& rawValue) {
    std::string value(TrimWhite(rawValue));
    if (m_settings.browserText) {
        // Control bytes would reach a URL or anchor field as they stand.
        std::erase_if(value, [](char c) { return static_cast<unsigned char>(c) < 32; });
    }
    if (value.empty()) {
        return;
    }
    std::string attribute = AsciiLower(name);
    if (attribute == "rel" && HasToken(value, "nofollow")) {
        m_noFollowLink = true;
    }
    if (attribute == "id" && m_settings.headingKeywords) {
        std::string id = HtmlText::ForField(value);
        if (m_tagState == kHeadingTag) {
            m_headingId = id;
        } else if (m_tagState == kOtherTag && !IsVoidElement(m_lastTagName) && !id.empty()) {
            m_sectionTag = m_lastTagName;
            m_sectionId = id;
            m_sectionDepth = 0;
        } else if (m_tagState == kInAnchor && m_anchorName.empty() && !HasSemicolon(value)) {
            m_anchorName = id;
        }
    }
    // A target is written as it stands, so one holding ";" counts as none.
    bool usableTarget = !HasSemicolon(value);
    switch (m_tagState) {
    case kInAnchor:
        if (attribute == "name") {
            if (HasSemicolon(value)) {
                Problem(kSemicolonAnchor, value);
            } else {
                m_anchorName = value;
            }
        } else if (attribute == "href") {
            m_link = AttributeText(value);
        } else if (attribute == "keywords") {
            SplitKeywords(value, m_anchorKeywords, nullptr);
        } else if (attribute == "target" && usableTarget) {
            m_target = value;
        }
        break;
    case kFrameTag:
        if (attribute == "src") {
            m_link = AttributeText(value);
        } else if (attribute == "name" && usableTarget) {
            m_target = value;
        }
        break;
    case kMetaTag:
        if (attribute == "content") {
            m_metaContent = value;
        }
        if (attribute == "name") {
            m_metaName = AsciiLower(value);
        }
        break;
    case kOtherTag:
        if (attribute == "href") {
            m_link = AttributeText(value);
        } else if (attribute == "target" && usableTarget) {
            m_target = value;
        }
        break;
    default:
        break;
    }
}

void SiteScanner::OnTagEnd() {
    if (m_tagState == kOtherTag && m_lastTagName == "base" && m_settings.followRedirects) {
        if (!m_link.empty()) {
            m_linkDirectory = LinkDirectory(
                IsAbsoluteUrl(m_link) ? m_link
                : m_link[0] == '/' && m_hasSiteRoot
                    ? m_siteRoot + m_link.substr(1)
                    : m_baseDirectory + m_current.url.substr(0, m_current.url.rfind('/') + 1) +
                          m_link);
        }
        return;
    }
    if (m_tagState == kFrameTag || m_tagState == kOtherTag) {
        if (!m_link.empty() && (m_titleSeen || !m_settings.noTitleIgnorePage)) {
            HandleLink(m_link, "", m_target);
        }
    } else if (m_tagState == kMetaTag) {
        if (m_metaName == "keywords" && !m_metaContent.empty()) {
            SplitKeywords(m_metaContent, m_metaKeywords, &m_metaKeywordRoom);
        }
        if (m_settings.polite && m_metaName == "robots" && HasToken(m_metaContent, "nofollow")) {
            m_pageNoFollow = true;
        }
    }
}

void SiteScanner::OnCollectedText(const std::string& collected) {
    if (m_inHeading || m_headingClosing) {
        m_headingRaw += collected;
        if (m_headingClosing) {
            FinishHeading();
        }
        return;
    }
    if (m_tagState != kTitleEnd && m_tagState != kAnchorEnd) {
        return;
    }
    std::string text = Text(collected);
    if (m_tagState == kTitleEnd) {
        ++m_entryCount;
        m_titleSeen = true;
        m_currentEntry = m_entryCount;
        m_cleaner.BeginPage();
        std::string title = text.empty() ? PageName() : text;
        WriteEntry(m_entryCount, title, m_current.url, m_current.parent, m_current.target);
        // A start page often carries the site's name alone; it does not decide the shared
        // part, but loses it too when it has it.
        if (m_settings.shortenTitles && !text.empty()) {
            (m_pagesRead == 1 ? m_startTitles : m_pageTitles).emplace_back(m_entryCount, text);
        }
        m_pageTitle = text;
        m_current.entryNumber = m_entryCount;
        std::string reference = CurrentReference();
        WriteKeyword(reference, reference, reference, m_current.target);
        return;
    }
    AnchorEnded(text);
}

void SiteScanner::AnchorEnded(const std::string& anchorText) {
    std::string text = anchorText;
    if (!m_link.empty() && (m_titleSeen || !m_settings.noTitleIgnorePage)) {
        HandleLink(m_link, text, m_target);
    }
    if (m_anchorName.empty() || !m_settings.anchorsAsKeywords) {
        return;
    }
    if (text.empty()) {
        if (m_settings.ignoreBlankAnchors) {
            return;
        }
        text = m_anchorName;
    }
    if (m_settings.headingKeywords) {
        m_pageAnchorIds.insert(m_anchorName);
    }
    if (m_titleSeen) {
        std::string reference = CurrentReference();
        WriteKeyword(Plain(text), reference + "#" + m_anchorName, reference, m_current.target);
    } else if (!m_settings.noTitleIgnorePage) {
        WriteKeyword(Plain(text), Plain(m_current.url + "#" + m_anchorName), Plain(PageName()),
                     m_current.target);
    }
    WriteKeywordList(m_anchorKeywords, "#" + m_anchorName, " (" + text + ")");
}

void SiteScanner::OnText(const std::string& text) {
    if (m_headingAnchor) {
        m_headingAnchorText += text;
    }
}

// A text for a field: as browsers show it, in the index's character set; or as it always
// was read.
std::string SiteScanner::Text(std::string_view raw) const {
    if (!m_settings.browserText) {
        return CleanText(raw);
    }
    std::string text = HtmlText::ForField(HtmlText::Decode(TrimWhite(raw), m_pageCharset, false));
    return m_outCharset == CharacterSet::kUtf8 ? text : CharacterSet::FromUtf8(text, m_outCharset);
}

// An address in an attribute: references decoded, and no control byte.
std::string SiteScanner::AttributeText(std::string_view raw) const {
    if (!m_settings.browserText || raw.find('&') == std::string_view::npos) {
        return std::string(raw);
    }
    std::string text = HtmlText::Decode(raw, m_pageCharset, true);
    std::erase_if(text, [](char c) { return static_cast<unsigned char>(c) < 32; });
    return text;
}

std::string SiteScanner::CurrentReference() const {
    return "&" + IntToText(m_currentEntry);
}

void SiteScanner::SplitKeywords(const std::string& text, std::vector<std::string>& list,
                                size_t* budget) {
    FieldTokenizer fields(text, ",", false);
    while (fields.HasMoreFields()) {
        std::string keyword = Text(fields.NextField());
        // A keyword without a phrase cannot be read back.
        if (keyword.empty()) {
            continue;
        }
        if (budget) {
            if (keyword.size() > *budget) {
                continue;
            }
            *budget -= keyword.size();
        }
        list.push_back(std::move(keyword));
    }
}

void SiteScanner::WriteKeywordList(const std::vector<std::string>& list, const std::string& anchor,
                                   const std::string& suffix) {
    if (m_titleSeen) {
        std::string reference = CurrentReference();
        for (const std::string& keyword : list) {
            WriteKeyword(Plain(keyword), reference + anchor, reference + suffix, m_current.target);
        }
    } else if (!m_settings.noTitleIgnorePage) {
        for (const std::string& keyword : list) {
            WriteKeyword(Plain(keyword), Plain(m_current.url + anchor), Plain(PageName()),
                         m_current.target);
        }
    }
}

void SiteScanner::HandleLink(const std::string& linkAsWritten, const std::string& text,
                             std::string target) {
    std::string link(TrimWhite(linkAsWritten));
    std::string test = AsciiLower(WithoutFragment(link));
    if (test.empty()) {
        return;
    }
    if (target.empty()) {
        target = m_current.target;
    }
    std::string directory;
    if (size_t slash = m_current.url.rfind('/'); slash != std::string::npos) {
        directory = m_current.url.substr(0, slash + 1);
    }
    if (m_linkDirectory) {
        directory = *m_linkDirectory;
    }
    bool absolute = false;
    if (link[0] == '/') {
        directory.clear();
        link.erase(0, 1);
        test.erase(0, 1);
        if (!m_settings.fromUrl && link.empty()) {
            return;
        }
        if (m_hasSiteRoot) {
            link = m_siteRoot + link;
            test = m_siteRoot + test;
        }
    } else {
        absolute = IsAbsoluteUrl(test) != 0;
        // A <base> or a redirect elsewhere makes every relative link point off the site.
        if (!absolute && IsAbsoluteUrl(directory)) {
            link = directory + link;
            directory.clear();
            absolute = true;
        }
    }

    bool page = m_settings.fromUrl && (test.empty() || test.back() == '/');
    bool image = false;
    bool probe = false;
    if (!m_settings.pagesByType) {
        if (size_t dot = test.rfind('.'); dot != std::string::npos) {
            std::string_view extension = std::string_view(test).substr(dot);
            page = page || extension == ".htm" || extension == ".html";
            image = extension == ".gif" || extension == ".jpg";
        }
    } else {
        size_t queryAt = test.find('?');
        std::string_view path = std::string_view(test).substr(0, queryAt);
        std::string_view name = path.substr(path.rfind('/') + 1);
        size_t dot = name.rfind('.');
        std::string_view extension = dot == std::string_view::npos ? "" : name.substr(dot);
        page = (m_settings.fromUrl && (path.empty() || path.back() == '/')) ||
               extension == ".htm" || extension == ".html" || extension == ".xhtml" ||
               extension == ".shtml";
        image = extension == ".gif" || extension == ".jpg";
        if (!m_settings.fromUrl && queryAt != std::string::npos) {
            // A file has no query.
            link.erase(link.find('?'));
        } else if (m_settings.fromUrl && !page && !image) {
            probe = queryAt != std::string::npos || extension.empty();
            for (std::string_view server : {".php", ".asp", ".aspx", ".jsp", ".cgi"}) {
                probe = probe || extension == server;
            }
        }
    }
    bool follow = !(m_settings.polite && m_settings.fromUrl && (m_noFollowLink || m_pageNoFollow));
    if (!absolute && page) {
        if (follow) {
            Queue(directory + link, target);
        }
        return;
    }
    if (!absolute && probe) {
        if (follow) {
            Queue(directory + link, target, &text);
        } else if (!text.empty() && m_entryUrls.count(link) == 0 && !HasSemicolon(link)) {
            // Not asked for, so taken for a file.
            ++m_entryCount;
            WriteEntry(m_entryCount, text, directory + link, m_currentEntry, target);
            std::string reference = "&" + IntToText(m_entryCount);
            WriteKeyword(reference, reference, reference, target);
        }
        return;
    }

    // A link holding ";" cannot stand in an entry.
    if (!text.empty() && !image && (!absolute || m_settings.addOffSiteEntries) &&
        !HasSemicolon(link) && m_entryUrls.count(link) == 0 &&
        (m_titleSeen || !m_settings.noTitleIgnorePage)) {
        std::string url = absolute ? link : directory + link;
        ++m_entryCount;
        WriteEntry(m_entryCount, text, url, m_currentEntry, target);
        std::string reference = "&" + IntToText(m_entryCount);
        WriteKeyword(reference, reference, reference, target);
    }
    if (!absolute && !image && m_settings.parseAll && follow) {
        Queue(directory + link, target);
    }
}

void SiteScanner::Queue(std::string url, std::string target, const std::string* probeText) {
    ScanQueueItem item;
    item.url = std::move(url);
    item.parent = m_current.entryNumber;
    item.referrer = m_current.url;
    item.target = std::move(target);
    if (probeText) {
        item.probe = true;
        item.linkText = *probeText;
        item.linkParent = m_currentEntry;
    }
    m_queue.push_back(std::move(item));
    // Pages found on the page being read can start downloading at once.
    if (m_source->PrefetchRoom() > 0) {
        FetchAhead();
    }
}

void SiteScanner::WriteEntry(int number, const std::string& title, const std::string& url,
                             int parent, const std::string& target) {
    m_entryUrls.insert(url);
    std::string_view written = url;
    if (m_hasBaseDirectory && StartsWith(written, m_baseDirectory)) {
        written.remove_prefix(m_baseDirectory.size());
    }
    // Fields are written as reading will trim them.
    std::string line = "5;" + IntToText(number) + ";1;";
    line += TrimSpaces(written);
    line += ";";
    line += TrimSpaces(title);
    line += ";";
    line += TrimSpaces(target == m_settings.skipTargetFrame ? "" : target);
    line += ";" + IntToText(parent) + ";;";
    WriteLine(line);
}

void SiteScanner::WriteKeyword(const std::string& phrase, const std::string& url,
                               const std::string& title, const std::string& target) {
    if (!m_cleaner.KeepOnPage(phrase)) {
        return;
    }
    // Text fields arrive trimmed and marked by Plain; references need neither.
    std::string line = "7;" + phrase + ";" + url + ";" + title + ";";
    line += TrimSpaces(target == m_settings.skipTargetFrame ? "" : target);
    line += ";";
    WriteLine(line);
    ++m_keywordCount;
    if (m_writingHeading) {
        m_cleaner.NoteHeading(m_linesWritten - 1, phrase, m_pageTitle);
    }
}

void SiteScanner::WriteLine(const std::string& line) {
    std::fwrite(line.data(), 1, line.size(), m_out);
    std::fputc('\n', m_out);
    ++m_linesWritten;
}

void SiteScanner::Problem(const char* format, const std::string& argument) {
    ++m_problemCount;
    std::string line =
        m_current.referrer + ":  " + m_current.url + " line " + IntToText(m_blockCounter) + ": ";
    std::string_view message(format);
    size_t at = message.find("%s");
    line += message.substr(0, at);
    if (at != std::string_view::npos) {
        line += argument;
        line += message.substr(at + 2);
    }
    m_problemText += line + "\r\n";
    if (m_observer) {
        m_observer->OnProblem(line);
    }
}

} // namespace tamblin

namespace tamblin {

namespace {

// Separators that set a site's name off a page's name, in UTF-8 and in Windows-1252.
constexpr std::string_view kTitleSeparators[] = {
    "-",        "|",    ":",    "\xC2\xB7", "\xE2\x80\x94", "\xE2\x80\x93", "\xE2\x80\xA2",
    "\xC2\xBB", "\x97", "\x96", "\xB7",     "\x95",         "\xBB"};

// Where, in a shared end, a " - Site" part begins; npos when none does.
size_t SuffixStart(std::string_view common) {
    for (size_t at = 0; at < common.size(); ++at) {
        for (std::string_view separator : kTitleSeparators) {
            std::string mark = " " + std::string(separator) + " ";
            if (common.compare(at, mark.size(), mark) == 0) {
                return at;
            }
        }
    }
    return std::string_view::npos;
}

// Where, in a shared beginning, a "Site - " part ends; 0 when none does.
size_t PrefixEnd(std::string_view common) {
    for (size_t end = common.size(); end > 0; --end) {
        for (std::string_view separator : kTitleSeparators) {
            std::string mark = (separator == ":" ? "" : " ") + std::string(separator) + " ";
            if (end >= mark.size() && common.compare(end - mark.size(), mark.size(), mark) == 0) {
                return end;
            }
        }
    }
    return 0;
}

} // namespace

// Takes a part that every page title shares off every page entry's title, rewriting the
// temporary file once at the end.
void SiteScanner::ShortenTitles() {
    if (m_pageTitles.size() < 2) {
        return;
    }
    // A copy: the start page's titles may join the list below.
    const std::string firstTitle = m_pageTitles.front().second;
    std::string_view first = firstTitle;
    size_t suffix = first.size();
    size_t prefix = first.size();
    for (const auto& [number, title] : m_pageTitles) {
        size_t same = 0;
        while (same < suffix && same < title.size() &&
               title[title.size() - 1 - same] == first[first.size() - 1 - same]) {
            ++same;
        }
        suffix = same;
        same = 0;
        while (same < prefix && same < title.size() && title[same] == first[same]) {
            ++same;
        }
        prefix = same;
    }
    size_t cutEnd = 0;
    size_t cutStart = 0;
    std::string_view common = first.substr(first.size() - suffix);
    if (size_t at = SuffixStart(common); at != std::string_view::npos) {
        cutEnd = suffix - at;
    } else {
        cutStart = PrefixEnd(first.substr(0, prefix));
    }
    if (cutEnd == 0 && cutStart == 0) {
        return;
    }
    std::unordered_map<int, std::string> shorter;
    std::string_view shared =
        first.substr(cutEnd > 0 ? first.size() - cutEnd : 0, cutEnd > 0 ? cutEnd : cutStart);
    for (const auto& [number, title] : m_startTitles) {
        std::string_view text = title;
        bool has = cutEnd > 0
                       ? text.size() > shared.size() &&
                             text.compare(text.size() - shared.size(), shared.size(), shared) == 0
                       : text.size() > shared.size() && text.compare(0, shared.size(), shared) == 0;
        if (has) {
            m_pageTitles.emplace_back(number, title);
        }
    }
    for (const auto& [number, title] : m_pageTitles) {
        std::string rest(
            TrimSpaces(std::string_view(title).substr(cutStart, title.size() - cutStart - cutEnd)));
        if (rest.empty()) {
            return;
        }
        shorter[number] = std::move(rest);
    }
    std::string part = cutEnd > 0 ? std::string(TrimSpaces(first.substr(first.size() - cutEnd)))
                                  : std::string(TrimSpaces(first.substr(0, cutStart)));
    std::ifstream in(m_tempPath, std::ios::binary);
    std::string newPath = m_tempPath + ".new";
    std::ofstream out(newPath, std::ios::binary | std::ios::trunc);
    if (!in || !out) {
        return;
    }
    std::string line;
    while (std::getline(in, line)) {
        if (line.compare(0, 2, "5;") == 0) {
            size_t numberEnd = line.find(';', 2);
            int number = std::atoi(line.c_str() + 2);
            if (auto it = shorter.find(number);
                it != shorter.end() && numberEnd != std::string::npos) {
                // 5;number;1;url;title;...
                size_t urlStart = line.find(';', numberEnd + 1) + 1;
                size_t titleStart = line.find(';', urlStart) + 1;
                size_t titleEnd = line.find(';', titleStart);
                line = line.substr(0, titleStart) + it->second + line.substr(titleEnd);
            }
        }
        out << line << '\n';
    }
    out.close();
    in.close();
    if (!out || std::rename(newPath.c_str(), m_tempPath.c_str()) != 0) {
        std::remove(newPath.c_str());
        return;
    }
    m_shortenedPart = part;
}

} // namespace tamblin
