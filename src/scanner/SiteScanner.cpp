#include "scanner/SiteScanner.h"

#include "fulltext/SearchIndexBuilder.h"
#include "index/DateText.h"
#include "index/FieldTokenizer.h"
#include "index/IndexFile.h"
#include "index/OwnTemporaryFile.h"
#include "index/TextUtils.h"
#include "index/UrlUtils.h"
#include "index/WebAddress.h"
#include "scanner/FilePageSource.h"
#include "scanner/HtmlText.h"
#include "scanner/LanguageFilter.h"
#include "scanner/LocalFileLink.h"
#include "scanner/LocationKey.h"
#include "scanner/MarkerText.h"
#include "scanner/PageTextWatcher.h"
#include "scanner/RobotsCache.h"
#include "scanner/SniffedInput.h"

#include <algorithm>
#include <fstream>
#include <unordered_map>

#include <cctype>

namespace tamblin {

namespace {

constexpr int kNoTag = ScanPageState::kNoTag;
constexpr int kInTitle = ScanPageState::kInTitle;
constexpr int kInAnchor = ScanPageState::kInAnchor;
constexpr int kTitleEnd = ScanPageState::kTitleEnd;
constexpr int kAnchorEnd = ScanPageState::kAnchorEnd;
constexpr int kFrameTag = ScanPageState::kFrameTag;
constexpr int kMetaTag = ScanPageState::kMetaTag;
constexpr int kOtherTag = ScanPageState::kOtherTag;
constexpr int kHeadingTag = ScanPageState::kHeadingTag;
constexpr int kInHeading = ScanPageState::kInHeading;

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
    "  Or reduce the number of keywords by scanning again with ";
// The meta keywords of one page are written when it ends; past this they are dropped, so
// that an endless page cannot take all memory.
constexpr size_t kMaxMetaKeywordBytes = TagReader::kMaxTextLength;
constexpr const char* kUnknownCharset = "Unknown character set \"%s.";
constexpr const char* kFileNotFound = "File not found %s.";
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
    std::string lower = AsciiLower(list);
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
      m_links({m_settings.fromUrl, m_settings.pagesByType, std::nullopt}) {}

SiteScanner::~SiteScanner() = default;

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
    m_writeFailed = false;
    m_startError = ScanStartError::None;
    if (m_settings.start.find_first_of("\r\n") != std::string::npos) {
        m_startError = ScanStartError::LineBreakInStart;
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
            m_startError = ScanStartError::NoPageSource;
            return false;
        }
        m_source = m_ownSource.get();
    } else {
        m_ownSource = std::make_unique<FilePageSource>();
        m_source = m_ownSource.get();
    }
    m_separator = m_settings.fromUrl ? '/' : m_options.fileSeparator;

    m_records = std::make_unique<ScanRecordFile>(m_options.recordSink);
    if (!m_records->Create()) {
        m_startError = ScanStartError::NoTemporaryFile;
        m_records.reset();
        return false;
    }
    m_records->SetSkipTarget(m_settings.skipTargetFrame);
    // The file is the caller's from here on.
    m_tempPath = m_records->Release();
    m_summary = "Unexpected scan completion";
    m_report.clear();
    m_ownAbort.store(0);
    m_aborted = false;
    return true;
}

void SiteScanner::ResetScan() {
    m_entryCount = 0;
    m_unwritable = 0;
    m_keywordCount = 0;
    m_problemCount = 0;
    m_pagesRead = 0;
    m_queue.clear();
    m_aheadCursor = 0;
    m_fetchedAhead.clear();
    m_visited.clear();
    m_entryUrls.clear();
    m_missingFiles.clear();
    m_languages.Reset();
    m_problemText.clear();
    m_baseDirectory.clear();
    m_hasBaseDirectory = false;
    m_siteRoot.clear();
    m_hasSiteRoot = false;
    m_page.entry = 0;
    m_page.titleSeen = false;
    m_page.tag = kNoTag;
    m_words.reset();
    m_textWatcher.reset();
    if (m_settings.fullText) {
        m_words = std::make_unique<SearchIndexBuilder>();
        m_textWatcher = std::make_unique<PageTextWatcher>(*m_words);
    }
    m_cleaner = ScanKeywordCleaner(
        {m_settings.skipCommonHeadings, m_settings.skipTitleRepeats, m_settings.oneCasePerPage});
    m_cleanReport.clear();
    m_shorterTitles.clear();
}

SearchIndexData SiteScanner::TakeSearchIndex() {
    m_textWatcher.reset();
    return m_words ? std::exchange(m_words, nullptr)->Take() : SearchIndexData{};
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
    if (!m_records) {
        return;
    }
    m_records->Header(FieldSafe(m_settings.description), TodayRecordDate(true));
    ResetScan();
    if (m_settings.fromUrl && m_settings.followRedirects) {
        OpenStartPage();
    }
    FindBaseDirectory();
    if (m_hasBaseDirectory) {
        m_records->SetBaseDirectory(m_baseDirectory);
    }
    // A base that holds ";" cannot be written; no page below it can be read either.
    m_records->BaseUrl(m_settings.fromUrl && !HasSemicolon(m_baseDirectory) ? m_baseDirectory : "");
    FindSiteRoot();
    Walk();
    EndWalk();
    if (m_settings.shortenTitles && !m_records->Failed()) {
        ShortenTitles();
    }
    // After the titles: dropping lines keeps no byte where it stood, only the lines.
    if (m_cleaner.Active() && !m_records->Failed()) {
        CleanKeywords();
    }
    Finish();
}

void SiteScanner::FindSiteRoot() {
    if (!m_settings.fromUrl) {
        return;
    }
    std::string lower = LowerText(m_baseDirectory);
    // https sites get their root like http ones.
    for (std::string_view scheme : {std::string_view("http://"), std::string_view("https://")}) {
        if (StartsWith(lower, scheme)) {
            std::string host = lower.substr(scheme.size(), lower.size() - scheme.size() - 1);
            if (size_t slash = host.find('/'); slash != std::string::npos) {
                m_siteRoot = std::string(scheme) + host.substr(0, slash + 1);
                m_hasSiteRoot = true;
                m_links.SetSiteRoot(m_siteRoot);
            }
        }
    }
}

// Breadth first from the start page, until the queue is empty, the scan is cancelled or
// its records can no longer be written.
void SiteScanner::Walk() {
    ScanQueueItem first;
    first.url = m_settings.start;
    first.referrer = kInitialReferrer;
    m_queue.push_back(std::move(first));
    if (m_settings.fromUrl && m_settings.polite) {
        ReadRobots();
    }
    while (!m_queue.empty() && !m_records->Failed()) {
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
}

void SiteScanner::EndWalk() {
    // A Cancel that cut the last page short is an abort too.
    m_aborted = m_aborted || Aborting();
    m_queue.clear();
    m_visited.clear();
    m_fetchedAhead.clear();
    m_startInput.reset();
    // Fetches still running ahead are of no use now.
    m_ownSource.reset();
    m_source = nullptr;
    m_records->Close();
}

void SiteScanner::Finish() {
    if (m_records->Failed()) {
        m_writeFailed = true;
        m_errorText = m_records->ErrorText();
        m_summary = "Scan failed: " + m_errorText;
    } else if (m_aborted) {
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
    if (std::string languages = m_languages.ReportText(); !languages.empty()) {
        report += "\r\n\r\n" + languages;
    }
    if (!m_shortenedPart.empty()) {
        report += "\r\n\r\nTaken off every page title: \"" + m_shortenedPart + "\"";
    }
    if (m_unwritable > 0) {
        report += "\r\n\r\nCharacters that " + std::string(CharacterSet::Name(m_outCharset)) +
                  ", the index's character set, cannot hold, written as \"?\": " +
                  std::to_string(m_unwritable);
    }
    report += m_cleanReport;
    if (m_entryCount + m_keywordCount > 1000) {
        report += "\r\n\r\n";
        report += kSizeWarning + m_options.fewerKeywords + ".";
    }
    return report;
}

SiteScanner::Normalised SiteScanner::Normalise(const std::string& url) const {
    Normalised result;
    std::string plain = WithoutFragment(url);
    if (m_settings.tidyUrls && m_settings.fromUrl && m_hasBaseDirectory) {
        if (auto resolved = WebAddress::Resolve(plain, m_baseDirectory)) {
            result.url = WebAddress::Shortest(*resolved, m_baseDirectory);
            result.location = std::move(*resolved);
            return result;
        }
    }
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
    if (!EnterCurrent()) {
        return;
    }
    std::unique_ptr<PageInput> input = OpenCurrent();
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
    m_page.StartPage(kMaxMetaKeywordBytes);
    if (m_words) {
        m_words->StartPage(m_current.url);
    }
    m_cleaner.BeginPage();
    m_page.declaredLanguage = input->ContentLanguage();
    m_page.languageKnown = !m_settings.startLanguageOnly;
    if (m_settings.followRedirects && m_settings.fromUrl) {
        if (std::string final = input->FinalLocation(); !final.empty()) {
            m_page.linkDirectory = LinkDirectory(final);
        }
    }
    ReadPage(*input);
    if (m_page.otherLanguage) {
        return;
    }
    if (!m_page.titleSeen && !m_settings.noTitleIgnorePage) {
        WriteKeyword(Plain(PageName()), Plain(m_current.url), Plain(PageName()), m_current.target);
    }
    WriteKeywordList(m_page.metaKeywords, "", "");
}

// Takes the current item's place as the scan writes it; false when it is not to be read.
bool SiteScanner::EnterCurrent() {
    Normalised normalised = Normalise(m_current.url);
    m_current.url = std::move(normalised.url);
    m_current.location = std::move(normalised.location);
    // The url is written into the index as well, so it is held to the same rule.
    if (HasSemicolon(m_current.location) || HasSemicolon(m_current.url)) {
        Problem(kSemicolonFile, m_current.location);
        return false;
    }
    std::string key = VisitedKey(m_current.location);
    m_fetchedAhead.erase(key);
    if (!m_visited.insert(std::move(key)).second) {
        return false;
    }
    if (!RobotsAllow(m_current.location)) {
        Problem(kRobotsClosed, m_current.location);
        return false;
    }
    return true;
}

std::unique_ptr<PageInput> SiteScanner::OpenCurrent() {
    if (m_startTried && m_pagesRead == 0 && m_current.referrer == kInitialReferrer) {
        m_startTried = false;
        FetchAhead();
        return std::move(m_startInput);
    }
    // This page's own request goes out first, then those of the pages after it.
    m_source->Prefetch(m_current.location);
    FetchAhead();
    return m_source->Open(DiskLocation(m_current.location));
}

// A file's address read as a browser opening it reads it: "%20" is a space and the query is
// no part of the name. As written where that names no file, or with tidy URLs off.
std::string SiteScanner::DiskLocation(const std::string& location) const {
    std::string found;
    if (m_settings.fromUrl || !m_settings.tidyUrls ||
        LocalFileLink::Of(location, &found) != LocalFileLink::Kind::File) {
        return location;
    }
    return found;
}

void SiteScanner::ReadPage(PageInput& input) {
    PageInput* source = &input;
    std::optional<SniffedInput> sniffed;
    if (m_settings.browserText) {
        sniffed.emplace(input, input.ContentType());
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
    reader.SetSingleQuotes(m_settings.singleQuotes);
    if (m_textWatcher) {
        m_textWatcher->StartPage(m_pageCharset);
        reader.SetTextWatcher(m_textWatcher.get());
    }
    reader.Run();
    if (m_page.headingClosing) {
        FinishHeading();
    }
    // A server that stopped answering fails the page as one that never answered does.
    if (input.TimedOut()) {
        Problem(kCannotOpenUrl, m_current.location);
    }
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
        AddEntry(text, m_current.url, m_current.linkParent, m_current.target);
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
    // Compared as views: a std::string against a literal calls memcmp every time, and a page
    // makes thousands of these compares.
    std::string lowered = AsciiLower(name);
    std::string_view tag = lowered;
    if (!m_page.languageKnown) {
        PageLanguage(tag);
    }
    if (m_page.otherLanguage) {
        return kPlainText;
    }
    if (m_page.tag < 0) {
        m_page.tag = kNoTag;
    }
    if (m_page.headingClosing) {
        FinishHeading();
    }
    if (tag == "title") {
        m_page.tag = kInTitle;
        return kCollectText;
    }
    if (m_page.tag == kInTitle) {
        if (tag == "/title") {
            m_page.tag = kTitleEnd;
            return kPlainText;
        }
        return kCollectText;
    }
    if (m_page.inHeading) {
        return HeadingTag(tag);
    }
    if (tag == "a") {
        m_page.StartAnchor();
        m_page.tag = kInAnchor;
        return kCollectText;
    }
    if (m_page.tag == kInAnchor) {
        if (tag == "/a") {
            m_page.tag = kAnchorEnd;
            return kPlainText;
        }
        return kCollectText;
    }
    return OtherTag(tag);
}

// A tag outside titles, anchors and headings.
int SiteScanner::OtherTag(std::string_view tag) {
    if (m_settings.headingKeywords && IsHeading(tag)) {
        m_page.inHeading = true;
        m_page.headingRaw.clear();
        m_page.headingId.clear();
        m_page.headingLinkId.clear();
        // The first heading inside an element with an id stands for it.
        m_page.headingSectionId = std::move(m_page.sectionId);
        m_page.sectionId.clear();
        m_page.tag = kHeadingTag;
        return kCollectText;
    }
    if (tag == "frame") {
        m_page.link.clear();
        m_page.target.clear();
        m_page.tag = kFrameTag;
        return kPlainText;
    }
    if (tag == "meta") {
        m_page.metaName.clear();
        m_page.metaContent.clear();
        m_page.tag = kMetaTag;
        return kCollectText;
    }
    m_page.ForgetLink();
    m_page.tag = kOtherTag;
    if (m_settings.headingKeywords) {
        TrackSection(tag);
    }
    return kPlainText;
}

void SiteScanner::TrackSection(std::string_view tag) {
    m_page.lastTagName = tag;
    if (m_page.sectionId.empty()) {
        return;
    }
    if (tag == m_page.sectionTag) {
        ++m_page.sectionDepth;
    } else if (tag.size() == m_page.sectionTag.size() + 1 && tag[0] == '/' &&
               tag.compare(1, std::string::npos, m_page.sectionTag) == 0) {
        if (m_page.sectionDepth-- == 0) {
            m_page.sectionId.clear();
        }
    }
}

// A tag inside a heading. Links in it keep their text apart: a permalink or note marker
// is no part of the phrase (without the marker rules: the text of any link to a place in
// the page, which also drops the linked name of a heading that links to itself).
int SiteScanner::HeadingTag(std::string_view tag) {
    if (m_page.headingAnchor) {
        if (tag != "/a") {
            return kPlainText;
        }
        m_page.headingAnchor = false;
        std::string raw = std::move(m_page.headingAnchorText);
        m_page.headingAnchorText.clear();
        std::string link(TrimWhite(m_page.link));
        bool inPage = link.size() > 1 && link[0] == '#';
        if (inPage) {
            m_page.headingLinkId = link.substr(1);
        }
        std::string text = Text(raw);
        if (m_settings.skipMarkers ? !MarkerText::IsPermalink(text) && !IsMarker(text) : !inPage) {
            m_page.headingRaw += raw;
        }
        m_page.tag = kAnchorEnd;
        AnchorEnded(text);
        m_page.tag = kInHeading;
        return kCollectText;
    }
    if (IsHeadingEnd(tag)) {
        m_page.inHeading = false;
        m_page.headingClosing = true;
        m_page.tag = kNoTag;
        return kPlainText;
    }
    m_page.ForgetLink();
    if (tag == "a") {
        m_page.anchorName.clear();
        m_page.anchorKeywords.clear();
        m_page.headingAnchor = true;
        m_page.headingAnchorText.clear();
        m_page.tag = kInAnchor;
        return kPlainText;
    }
    m_page.tag = kOtherTag;
    return kCollectText;
}

void SiteScanner::FinishHeading() {
    m_page.headingClosing = false;
    std::string text = Text(m_page.headingRaw);
    m_page.headingRaw.clear();
    std::string id = !m_page.headingId.empty()       ? m_page.headingId
                     : !m_page.headingLinkId.empty() ? m_page.headingLinkId
                                                     : m_page.headingSectionId;
    if (text.empty() || id.empty() || HasSemicolon(id) || RepeatsTitle(m_page.title, text) ||
        !m_page.anchorIds.insert(id).second) {
        return;
    }
    // Noted for the cleaner, which may leave it out once the whole site is known.
    m_writingHeading = true;
    if (m_page.titleSeen) {
        std::string reference = CurrentReference();
        WriteKeyword(Plain(text), reference + "#" + id, reference + " (" + text + ")",
                     m_current.target);
    } else if (!m_settings.noTitleIgnorePage) {
        WriteKeyword(Plain(text), Plain(m_current.url + "#" + id), Plain(PageName()),
                     m_current.target);
    }
    m_writingHeading = false;
}

// The language of a page is known by its first element: <html lang> (or xml:lang), else
// what the server said. A doctype or XML declaration may come before it.
void SiteScanner::PageLanguage(std::string_view tag) {
    if (tag == "html") {
        m_page.inHtmlTag = true;
        m_page.htmlLanguage.clear();
    } else if (tag.empty() || (tag[0] != '!' && tag[0] != '?')) {
        DecideLanguage();
    }
}

void SiteScanner::HtmlTagLanguage(std::string_view attribute, const std::string& value) {
    if (attribute == "lang" || (attribute == "xml:lang" && m_page.htmlLanguage.empty())) {
        m_page.htmlLanguage = value;
    }
}

// The start page's language is the scan's; a page in another is read no further.
void SiteScanner::DecideLanguage() {
    m_page.languageKnown = true;
    std::string primary = LanguageFilter::PrimaryTag(
        TrimWhite(m_page.htmlLanguage).empty() ? m_page.declaredLanguage : m_page.htmlLanguage);
    if (m_pagesRead == 1) {
        m_languages.SetStart(std::move(primary));
    } else if (!m_languages.Follows(primary)) {
        m_page.otherLanguage = true;
        m_page.headingClosing = false;
        m_languages.NotFollowed(m_current.url, std::move(primary));
    }
}

void SiteScanner::OnAttribute(const std::string& name, const std::string& rawValue) {
    if (m_page.otherLanguage) {
        return;
    }
    if (m_page.inHtmlTag) {
        HtmlTagLanguage(AsciiLower(name), rawValue);
    }
    std::string value(TrimWhite(rawValue));
    if (m_settings.browserText) {
        // Control bytes would reach a URL or anchor field as they stand.
        std::erase_if(value, [](char c) { return static_cast<unsigned char>(c) < 32; });
    }
    if (value.empty()) {
        return;
    }
    std::string lowered = AsciiLower(name);
    std::string_view attribute = lowered;
    if (attribute == "rel" && HasToken(value, "nofollow")) {
        m_page.noFollowLink = true;
    }
    if (attribute == "id" && m_settings.headingKeywords) {
        std::string id = HtmlText::ForField(value);
        if (m_page.tag == kHeadingTag) {
            m_page.headingId = id;
        } else if (m_page.tag == kOtherTag && !IsVoidElement(m_page.lastTagName) && !id.empty()) {
            m_page.sectionTag = m_page.lastTagName;
            m_page.sectionId = id;
            m_page.sectionDepth = 0;
        } else if (m_page.tag == kInAnchor && m_page.anchorName.empty() && !HasSemicolon(value)) {
            m_page.anchorName = id;
        }
    }
    TagAttribute(attribute, value);
}

// The attributes that only some tags read.
void SiteScanner::TagAttribute(std::string_view attribute, const std::string& value) {
    // A target is written as it stands, so one holding ";" counts as none.
    bool usableTarget = !HasSemicolon(value);
    switch (m_page.tag) {
    case kInAnchor:
        if (attribute == "name") {
            if (HasSemicolon(value)) {
                Problem(kSemicolonAnchor, value);
            } else {
                m_page.anchorName = value;
            }
        } else if (attribute == "href") {
            m_page.link = AttributeText(value);
        } else if (attribute == "keywords") {
            SplitKeywords(value, m_page.anchorKeywords, nullptr);
        } else if (attribute == "target" && usableTarget) {
            m_page.target = value;
        }
        break;
    case kFrameTag:
        if (attribute == "src") {
            m_page.link = AttributeText(value);
        } else if (attribute == "name" && usableTarget) {
            m_page.target = value;
        }
        break;
    case kMetaTag:
        if (attribute == "content") {
            m_page.metaContent = value;
        }
        if (attribute == "name") {
            m_page.metaName = AsciiLower(value);
        }
        break;
    case kOtherTag:
        if (attribute == "href") {
            m_page.link = AttributeText(value);
        } else if (attribute == "target" && usableTarget) {
            m_page.target = value;
        }
        break;
    default:
        break;
    }
}

void SiteScanner::OnTagEnd() {
    if (m_page.inHtmlTag) {
        m_page.inHtmlTag = false;
        DecideLanguage();
    }
    if (m_page.otherLanguage) {
        return;
    }
    if (m_page.tag == kOtherTag && std::string_view(m_page.lastTagName) == "base" &&
        m_settings.followRedirects) {
        if (!m_page.link.empty()) {
            m_page.linkDirectory = LinkDirectory(
                IsAbsoluteUrl(m_page.link) ? m_page.link
                : m_page.link[0] == '/' && m_hasSiteRoot
                    ? m_siteRoot + m_page.link.substr(1)
                    : m_baseDirectory + m_current.url.substr(0, m_current.url.rfind('/') + 1) +
                          m_page.link);
        }
        return;
    }
    if (m_page.tag == kFrameTag || m_page.tag == kOtherTag) {
        if (!m_page.link.empty() && (m_page.titleSeen || !m_settings.noTitleIgnorePage)) {
            HandleLink(m_page.link, "", m_page.target);
        }
    } else if (m_page.tag == kMetaTag) {
        if (std::string_view(m_page.metaName) == "keywords" && !m_page.metaContent.empty()) {
            SplitKeywords(m_page.metaContent, m_page.metaKeywords, &m_page.metaKeywordRoom);
        }
        if (m_settings.polite && m_page.metaName == "robots" &&
            HasToken(m_page.metaContent, "nofollow")) {
            m_page.pageNoFollow = true;
        }
    }
}

void SiteScanner::OnCollectedText(const std::string& collected) {
    if (m_page.otherLanguage) {
        return;
    }
    if (m_page.inHeading || m_page.headingClosing) {
        m_page.headingRaw += collected;
        if (m_page.headingClosing) {
            FinishHeading();
        }
        return;
    }
    if (m_page.tag != kTitleEnd && m_page.tag != kAnchorEnd) {
        return;
    }
    std::string text = Text(collected);
    if (m_page.tag == kTitleEnd) {
        TitleEnded(text);
        return;
    }
    AnchorEnded(text);
}

void SiteScanner::TitleEnded(const std::string& text) {
    m_page.titleSeen = true;
    long long titleAt = 0;
    m_page.entry = AddEntry(text.empty() ? PageName() : text, m_current.url, m_current.parent,
                            m_current.target, &titleAt);
    // A start page often carries the site's name alone; it does not decide the shared
    // part, but loses it too when it has it.
    if (m_settings.shortenTitles && !text.empty()) {
        TitleShortener::Title title{m_page.entry, text, titleAt, {}};
        if (m_pagesRead == 1) {
            m_titles.AddStartTitle(std::move(title));
        } else {
            m_titles.AddPageTitle(std::move(title));
        }
    }
    m_page.title = text;
    m_current.entryNumber = m_page.entry;
}

void SiteScanner::AnchorEnded(const std::string& anchorText) {
    std::string text = anchorText;
    if (!m_page.link.empty() && (m_page.titleSeen || !m_settings.noTitleIgnorePage)) {
        HandleLink(m_page.link, text, m_page.target);
    }
    if (m_page.anchorName.empty() || !m_settings.anchorsAsKeywords || IsMarker(text)) {
        return;
    }
    if (text.empty()) {
        if (m_settings.ignoreBlankAnchors) {
            return;
        }
        text = m_page.anchorName;
    }
    if (m_settings.headingKeywords) {
        m_page.anchorIds.insert(m_page.anchorName);
    }
    if (m_page.titleSeen) {
        std::string reference = CurrentReference();
        WriteKeyword(Plain(text), reference + "#" + m_page.anchorName, reference, m_current.target);
    } else if (!m_settings.noTitleIgnorePage) {
        WriteKeyword(Plain(text), Plain(m_current.url + "#" + m_page.anchorName), Plain(PageName()),
                     m_current.target);
    }
    WriteKeywordList(m_page.anchorKeywords, "#" + m_page.anchorName, " (" + text + ")");
}

// A footnote or citation reference, or a lone symbol: the text of a link that marks a
// place rather than names it. Only with the marker rules.
bool SiteScanner::IsMarker(const std::string& text) const {
    if (!m_settings.skipMarkers || text.empty()) {
        return false;
    }
    std::string_view link = TrimWhite(m_page.link);
    return MarkerText::IsNote(text, !link.empty() && link[0] == '#') ||
           MarkerText::IsPermalink(text);
}

void SiteScanner::OnText(const std::string& text) {
    if (m_page.otherLanguage) {
        return;
    }
    if (m_page.headingAnchor) {
        m_page.headingAnchorText += text;
    }
}

// A text for a field: as browsers show it, in the index's character set; or as it always
// was read.
std::string SiteScanner::Text(std::string_view raw) const {
    if (!m_settings.browserText) {
        return CleanText(raw);
    }
    std::string text = HtmlText::ForField(HtmlText::Decode(TrimWhite(raw), m_pageCharset, false));
    if (m_outCharset == CharacterSet::kUtf8) {
        return text;
    }
    // Each character becomes one byte, so the new "?" are the characters lost.
    std::string written = CharacterSet::FromUtf8(text, m_outCharset);
    m_unwritable += static_cast<size_t>(std::count(written.begin(), written.end(), '?') -
                                        std::count(text.begin(), text.end(), '?'));
    return written;
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
    return "&" + IntToText(m_page.entry);
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
    if (m_page.titleSeen) {
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

// With tidy URLs: the link resolved against its page as a browser resolves it, in its
// shortest form under the base directory (or absolute when it leaves the site's origin).
// False when it stays as written: a fragment of this page, or an address that cannot be
// resolved.
bool SiteScanner::TidyLink(std::string& link) const {
    if (!m_settings.tidyUrls || link.empty() || link[0] == '#') {
        return false;
    }
    if (!m_settings.fromUrl) {
        TidyFileLink(link);
        return false;
    }
    if (!m_hasBaseDirectory) {
        return false;
    }
    std::string page = m_current.location;
    if (m_page.linkDirectory) {
        const std::string& directory = *m_page.linkDirectory;
        page = IsAbsoluteUrl(directory) ? directory : m_baseDirectory + directory;
    }
    std::optional<std::string> resolved = WebAddress::Resolve(link, page);
    if (!resolved) {
        return false;
    }
    link = WebAddress::Shortest(*resolved, m_baseDirectory);
    return true;
}

// From disk a browser reads a backslash in the path of a file's address as a slash, as it
// does in every address of the web's own schemes; the query and fragment keep theirs.
void SiteScanner::TidyFileLink(std::string& link) const {
    if (m_separator != '/' || IsAbsoluteUrl(link)) {
        return;
    }
    size_t end = std::min(link.find('?'), link.find('#'));
    std::replace(link.begin(), link.begin() + static_cast<long>(std::min(end, link.size())), '\\',
                 '/');
}

void SiteScanner::HandleLink(const std::string& linkAsWritten, const std::string& text,
                             std::string target) {
    std::string written(TrimWhite(linkAsWritten));
    bool tidied = TidyLink(written);
    std::string directory;
    if (size_t slash = m_current.url.rfind('/'); slash != std::string::npos) {
        directory = m_current.url.substr(0, slash + 1);
    }
    if (m_page.linkDirectory) {
        directory = *m_page.linkDirectory;
    }
    if (tidied) {
        directory.clear();
    }
    std::optional<ClassifiedLink> found = m_links.Classify(written, std::move(directory), tidied);
    if (!found) {
        return;
    }
    const ClassifiedLink& link = *found;
    if (target.empty()) {
        target = m_current.target;
    }
    bool follow =
        !(m_settings.polite && m_settings.fromUrl && (m_page.noFollowLink || m_page.pageNoFollow));
    if (!link.absolute && link.page) {
        if (follow) {
            Queue(link.directory + link.link, target);
        }
        return;
    }
    if (!link.absolute && link.probe) {
        if (follow) {
            Queue(link.directory + link.link, target, &text);
        } else if (!text.empty() && m_entryUrls.count(link.link) == 0 && !HasSemicolon(link.link)) {
            // Not asked for, so taken for a file.
            AddEntry(text, link.directory + link.link, m_page.entry, target);
        }
        return;
    }
    // A link holding ";" cannot stand in an entry.
    if (!text.empty() && !link.image && (!link.absolute || m_settings.addOffSiteEntries) &&
        !HasSemicolon(link.link) && m_entryUrls.count(link.link) == 0 &&
        (m_page.titleSeen || !m_settings.noTitleIgnorePage)) {
        if (!link.absolute && m_settings.checkFileLinks &&
            CheckedFileLink(link, text, target, follow)) {
            return;
        }
        AddEntry(text, link.absolute ? link.link : link.directory + link.link, m_page.entry,
                 target);
    }
    if (!link.absolute && !link.image && m_settings.parseAll && follow) {
        Queue(link.directory + link.link, target);
    }
}

// A link to a file must lead somewhere: a file that is not there is a problem of the scan,
// not an entry, and a folder stands for its index page. Over HTTP the server is asked, as for
// an address of unknown type. True when the link needs nothing more.
bool SiteScanner::CheckedFileLink(const ClassifiedLink& link, const std::string& text,
                                  const std::string& target, bool follow) {
    std::string url = link.directory + link.link;
    if (m_settings.fromUrl) {
        if (follow) {
            Queue(url, target, &text);
        }
        return follow;
    }
    std::string location = Normalise(url).location;
    std::string path;
    LocalFileLink::Kind kind = LocalFileLink::Of(location, &path);
    if (kind == LocalFileLink::Kind::Missing) {
        if (m_missingFiles.insert(VisitedKey(location)).second) {
            Problem(kFileNotFound, location);
        }
        return true;
    }
    if (kind == LocalFileLink::Kind::File) {
        return false;
    }
    std::optional<std::string> index = LocalFileLink::FolderIndex(path);
    if (index && follow) {
        std::string folder = WithoutFragment(url);
        folder = folder.substr(0, folder.find('?'));
        if (!folder.empty() && folder.back() != '/' && folder.back() != m_separator) {
            folder += m_separator;
        }
        Queue(folder + *index, target);
    }
    return index.has_value();
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
        item.linkParent = m_page.entry;
    }
    m_queue.push_back(std::move(item));
    // Pages found on the page being read can start downloading at once.
    if (m_source->PrefetchRoom() > 0) {
        FetchAhead();
    }
}

// An entry and the keyword of its title.
int SiteScanner::AddEntry(const std::string& title, const std::string& url, int parent,
                          const std::string& target, long long* titleAt) {
    int number = ++m_entryCount;
    m_entryUrls.insert(url);
    long long at = m_records->Entry(number, title, url, parent, target);
    if (titleAt) {
        *titleAt = at;
    }
    std::string reference = "&" + IntToText(number);
    WriteKeyword(reference, reference, reference, target);
    return number;
}

void SiteScanner::WriteKeyword(const std::string& phrase, const std::string& url,
                               const std::string& title, const std::string& target) {
    if (!m_cleaner.KeepOnPage(phrase)) {
        return;
    }
    long long line = m_records->Keyword(phrase, url, title, target);
    ++m_keywordCount;
    if (m_writingHeading) {
        m_cleaner.NoteHeading(line, phrase, m_page.title);
    }
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

// Takes a part that every page title shares off every page entry's title, changing the
// temporary file once at the end.
void SiteScanner::ShortenTitles() {
    std::vector<TitleShortener::Title> shorter = m_titles.Shorten();
    if (shorter.empty()) {
        return;
    }
    std::vector<ScanRecordFile::TitleChange> changes;
    changes.reserve(shorter.size());
    for (TitleShortener::Title& title : shorter) {
        if (m_cleaner.Active()) {
            m_shorterTitles.try_emplace(title.text, title.shorter);
        }
        changes.push_back({title.where, TrimSpaces(title.text).size(), std::move(title.shorter)});
    }
    if (m_records->ChangeTitles(changes)) {
        m_shortenedPart = m_titles.Part();
    } else {
        m_shorterTitles.clear();
    }
}

// Leaves out the keywords the cleaner found to be boilerplate once the whole site was read.
// A failure to rewrite the file fails the scan as any other write of it does.
void SiteScanner::CleanKeywords() {
    ScanKeywordCleaner::Cleaning cleaning = m_cleaner.Finish(m_shorterTitles);
    if (cleaning.lines.empty()) {
        return;
    }
    if (m_records->DropLines(cleaning.lines)) {
        m_keywordCount -= static_cast<int>(cleaning.lines.size());
        m_cleanReport = std::move(cleaning.report);
    }
}

} // namespace tamblin
