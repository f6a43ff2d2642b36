#pragma once

#include "fulltext/SearchIndexData.h"
#include "scanner/CharacterSet.h"
#include "scanner/HttpPageSource.h"
#include "scanner/LanguageFilter.h"
#include "scanner/LinkClassifier.h"
#include "scanner/PageInput.h"
#include "scanner/RobotsTxt.h"
#include "scanner/ScanKeywordCleaner.h"
#include "scanner/ScanObserver.h"
#include "scanner/ScanPageState.h"
#include "scanner/ScanRecordFile.h"
#include "scanner/ScanSettings.h"
#include "scanner/ScanStartError.h"
#include "scanner/TagReader.h"
#include "scanner/TitleShortener.h"

#include <atomic>
#include <deque>
#include <memory>
#include <optional>
#include <string>
#include <unordered_set>
#include <vector>

namespace tamblin {

class PageTextWatcher;
class SearchIndexBuilder;

// How a scan runs, as opposed to what it scans.
struct ScanOptions {
    FetchOptions fetch;
    // The separator of local paths; the tests use a backslash to check the Windows rules.
    char fileSeparator = '/';
    // When set, the scanner reads pages through this instead of files or libcurl.
    PageSource* pageSource = nullptr;
    // When set, Cancel sets this flag and the scan watches it; a signal handler may set it.
    std::atomic<int>* abortFlag = nullptr;
    // When set, makes the sink the scan's records go through (tests fail writes with it).
    ScanRecordFile::SinkMaker recordSink;
    // How the size warning names the way to fewer keywords: the wizard's check box, or the
    // switch of the command line that ran the scan.
    std::string fewerKeywords = "'Use anchors as keywords' unchecked";
};

// Builds a first index for a whole site from one start page: reads every page reachable
// through links that are not absolute, breadth first, once each, and streams the records
// into a temporary index file that IndexFile::Load reads.
class SiteScanner final : public TagHandler, private DotDisplay {
public:
    explicit SiteScanner(ScanSettings settings, ScanObserver* observer = nullptr,
                         ScanOptions options = {});
    ~SiteScanner() override;
    SiteScanner(const SiteScanner&) = delete;
    SiteScanner& operator=(const SiteScanner&) = delete;

    // Prepare and Run; the temporary file's path, or nothing when the scan could not start
    // (StartError says why). The caller deletes the file.
    std::optional<std::string> ScanIndex();
    // Sets up the page source and creates the temporary file. False when the scan cannot
    // start.
    bool Prepare();
    // The whole scan, on the calling thread; ends with the observer's OnCompleted.
    void Run();
    // A worker thread's entry: -1 at once without a scanner, else runs it and returns 0.
    static int WorkerEntry(SiteScanner* scanner);
    // Safe from any thread and from a signal handler: the scan stops before its next page
    // or block.
    void Cancel();

    // The start page as given; read it before the worker starts, which may follow a redirect.
    const std::string& Start() const { return m_settings.start; }
    const std::string& TemporaryPath() const { return m_tempPath; }
    ScanStartError StartError() const { return m_startError; }
    // Why the scan could not start, or why its records could not be kept.
    std::string ErrorText() const {
        return m_startError != ScanStartError::None ? ScanStartErrorText(m_startError)
                                                    : m_errorText;
    }
    const std::string& Summary() const { return m_summary; }
    const std::string& Report() const { return m_report; }
    bool Aborted() const { return m_aborted; }
    // True when the records could not all be written: the scan failed, ErrorText says why.
    bool WriteFailed() const { return m_writeFailed; }
    int EntryCount() const { return m_entryCount; }
    int KeywordCount() const { return m_keywordCount; }
    int ProblemCount() const { return m_problemCount; }
    int PagesRead() const { return m_pagesRead; }
    // The words of the pages read, when the settings ask for a full-text index; the scan
    // keeps none after this.
    bool KeepsWords() const { return m_settings.fullText; }
    SearchIndexData TakeSearchIndex();

    // TagHandler
    int OnTag(const std::string& name) override;
    void OnTagEnd() override;
    void OnAttribute(const std::string& name, const std::string& value) override;
    void OnCollectedText(const std::string& text) override;
    void OnText(const std::string& text) override;
    bool WantsPlainText() const override { return m_page.headingAnchor; }

private:
    struct Normalised {
        std::string url;
        std::string location;
    };

    void ShowDots(std::string_view dots) override;
    bool Aborting() const;
    void ResetScan();
    void FindSiteRoot();
    void Walk();
    void EndWalk();
    void Finish();
    void FindBaseDirectory();
    Normalised Normalise(const std::string& url) const;
    std::string VisitedKey(const std::string& location) const;
    void ScanCurrentItem();
    bool EnterCurrent();
    std::unique_ptr<PageInput> OpenCurrent();
    void ReadPage(PageInput& input);
    void FetchAhead();
    void HandleLink(const std::string& linkAsWritten, const std::string& text, std::string target);
    bool TidyLink(std::string& link) const;
    void TidyFileLink(std::string& link) const;
    std::string DiskLocation(const std::string& location) const;
    bool IsMarker(const std::string& text) const;
    void PageLanguage(std::string_view tag);
    void HtmlTagLanguage(std::string_view attribute, const std::string& value);
    void DecideLanguage();
    bool CheckedFileLink(const ClassifiedLink& link, const std::string& text,
                         const std::string& target, bool follow);
    void Queue(std::string url, std::string target, const std::string* probeText = nullptr);
    // Today's web: texts, headings, addresses and manners.
    std::string Text(std::string_view raw) const;
    std::string AttributeText(std::string_view raw) const;
    void AnchorEnded(const std::string& text);
    int HeadingTag(std::string_view tag);
    int OtherTag(std::string_view tag);
    void TagAttribute(std::string_view attribute, const std::string& value);
    void FinishHeading();
    void TrackSection(std::string_view tag);
    void OpenStartPage();
    void ReadRobots();
    bool RobotsAllow(const std::string& location) const;
    bool ProbedFileEntry(PageInput& input);
    std::optional<std::string> LinkDirectory(const std::string& address) const;
    void ShortenTitles();
    void CleanKeywords();
    // Appends the phrases of a comma-separated list; budget, when given, caps their bytes.
    void SplitKeywords(const std::string& text, std::vector<std::string>& list, size_t* budget);
    void WriteKeywordList(const std::vector<std::string>& list, const std::string& anchor,
                          const std::string& suffix);
    int AddEntry(const std::string& title, const std::string& url, int parent,
                 const std::string& target, long long* titleAt = nullptr);
    void TitleEnded(const std::string& text);
    void WriteKeyword(const std::string& phrase, const std::string& url, const std::string& title,
                      const std::string& target);
    void Problem(const char* format, const std::string& argument);
    std::string CurrentReference() const;
    std::string PageName() const;
    std::string FinishedReport() const;

    ScanSettings m_settings;
    ScanObserver* m_observer;
    ScanOptions m_options;
    std::atomic<int> m_ownAbort{0};
    std::atomic<int>* m_abort;
    bool m_aborted = false;
    bool m_writeFailed = false;
    std::string m_errorText; // why the records could not be kept

    std::unique_ptr<PageSource> m_ownSource;
    PageSource* m_source = nullptr;
    std::unique_ptr<ScanRecordFile> m_records;
    std::string m_tempPath;
    ScanStartError m_startError = ScanStartError::None;
    std::string m_summary;
    std::string m_report;

    char m_separator = '/';
    std::string m_baseDirectory;
    bool m_hasBaseDirectory = false;
    std::string m_siteRoot;
    bool m_hasSiteRoot = false;
    LinkClassifier m_links;

    // Taken from the front; fetch-ahead looks at the items from m_aheadCursor on.
    std::deque<ScanQueueItem> m_queue;
    size_t m_aheadCursor = 0;
    std::unordered_set<std::string> m_fetchedAhead;
    ScanQueueItem m_current;
    std::unordered_set<std::string> m_visited;
    std::unordered_set<std::string> m_entryUrls;
    std::unordered_set<std::string> m_missingFiles; // reported once each
    LanguageFilter m_languages;

    int m_entryCount = 0;
    int m_keywordCount = 0;
    int m_problemCount = 0;
    int m_pagesRead = 0;
    std::string m_problemText;
    int m_blockCounter = 0;

    ScanPageState m_page;
    CharacterSet::Kind m_pageCharset = CharacterSet::kUtf8;
    CharacterSet::Kind m_outCharset = CharacterSet::kUtf8;
    // Characters of the pages that the index's character set cannot hold.
    mutable size_t m_unwritable = 0;
    std::unique_ptr<PageInput> m_startInput;
    bool m_startTried = false;
    std::optional<RobotsTxt> m_robots;
    std::string m_robotsRoot;
    TitleShortener m_titles;
    std::string m_shortenedPart;
    std::unique_ptr<SearchIndexBuilder> m_words;
    std::unique_ptr<PageTextWatcher> m_textWatcher;
    ScanKeywordCleaner m_cleaner{{}};
    // The titles the scan shortened, for the cleaner's title repeats.
    ScanKeywordCleaner::ShorterTitles m_shorterTitles;
    std::string m_cleanReport;
    // A heading's keyword is being written: the cleaner notes where it stands.
    bool m_writingHeading = false;
};

} // namespace tamblin
