#pragma once

#include "scanner/CharacterSet.h"
#include "scanner/HttpPageSource.h"
#include "scanner/PageInput.h"
#include "scanner/RobotsTxt.h"
#include "scanner/ScanKeywordCleaner.h"
#include "scanner/ScanObserver.h"
#include "scanner/ScanSettings.h"
#include "scanner/TagReader.h"

#include <atomic>
#include <cstdio>
#include <deque>
#include <memory>
#include <optional>
#include <string>
#include <unordered_set>
#include <vector>

namespace tamblin {

// How a scan runs, as opposed to what it scans.
struct ScanOptions {
    FetchOptions fetch;
    // The separator of local paths; the tests use a backslash to check the Windows rules.
    char fileSeparator = '/';
    // When set, the scanner reads pages through this instead of files or libcurl.
    PageSource* pageSource = nullptr;
    // When set, Cancel sets this flag and the scan watches it; a signal handler may set it.
    std::atomic<int>* abortFlag = nullptr;
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
    // (ErrorText says why). The caller deletes the file.
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
    const std::string& ErrorText() const { return m_errorText; }
    const std::string& Summary() const { return m_summary; }
    const std::string& Report() const { return m_report; }
    bool Aborted() const { return m_aborted; }
    int EntryCount() const { return m_entryCount; }
    int KeywordCount() const { return m_keywordCount; }
    int ProblemCount() const { return m_problemCount; }
    int PagesRead() const { return m_pagesRead; }

    // TagHandler
    int OnTag(const std::string& name) override;
    void OnTagEnd() override;
    void OnAttribute(const std::string& name, const std::string& value) override;
    void OnCollectedText(const std::string& text) override;
    void OnText(const std::string& text) override;
    bool WantsPlainText() const override { return m_headingAnchor; }

private:
    struct Normalised {
        std::string url;
        std::string location;
    };

    void ShowDots(std::string_view dots) override;
    bool Aborting() const;
    void ResetScan();
    void FindBaseDirectory();
    Normalised Normalise(const std::string& url) const;
    std::string VisitedKey(const std::string& location) const;
    void ScanCurrentItem();
    void FetchAhead();
    void HandleLink(const std::string& linkAsWritten, const std::string& text, std::string target);
    void Queue(std::string url, std::string target, const std::string* probeText = nullptr);
    // Today's web: texts, headings, addresses and manners.
    std::string Text(std::string_view raw) const;
    std::string AttributeText(std::string_view raw) const;
    void AnchorEnded(const std::string& text);
    int HeadingTag(const std::string& tag);
    void FinishHeading();
    void TrackSection(const std::string& tag);
    void OpenStartPage();
    void ReadRobots();
    bool RobotsAllow(const std::string& location) const;
    bool ProbedFileEntry(PageInput& input);
    std::optional<std::string> LinkDirectory(const std::string& address) const;
    void ShortenTitles();
    // Appends the phrases of a comma-separated list; budget, when given, caps their bytes.
    void SplitKeywords(const std::string& text, std::vector<std::string>& list, size_t* budget);
    void WriteKeywordList(const std::vector<std::string>& list, const std::string& anchor,
                          const std::string& suffix);
    void WriteEntry(int number, const std::string& title, const std::string& url, int parent,
                    const std::string& target);
    void WriteKeyword(const std::string& phrase, const std::string& url, const std::string& title,
                      const std::string& target);
    void WriteLine(const std::string& line);
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

    std::unique_ptr<PageSource> m_ownSource;
    PageSource* m_source = nullptr;
    std::FILE* m_out = nullptr;
    std::string m_tempPath;
    std::string m_errorText;
    std::string m_summary;
    std::string m_report;

    char m_separator = '/';
    std::string m_baseDirectory;
    bool m_hasBaseDirectory = false;
    std::string m_siteRoot;
    bool m_hasSiteRoot = false;

    // Taken from the front; fetch-ahead looks at the items from m_aheadCursor on.
    std::deque<ScanQueueItem> m_queue;
    size_t m_aheadCursor = 0;
    std::unordered_set<std::string> m_fetchedAhead;
    ScanQueueItem m_current;
    std::unordered_set<std::string> m_visited;
    std::unordered_set<std::string> m_entryUrls;

    int m_entryCount = 0;
    int m_keywordCount = 0;
    int m_problemCount = 0;
    int m_pagesRead = 0;
    std::string m_problemText;
    int m_blockCounter = 0;

    bool m_titleSeen = false;
    int m_currentEntry = 0;
    int m_tagState = 0;
    std::vector<std::string> m_metaKeywords;
    size_t m_metaKeywordRoom = 0;
    std::string m_anchorName;
    std::vector<std::string> m_anchorKeywords;
    std::string m_link;
    std::string m_target;
    std::string m_metaName;
    std::string m_metaContent;

    CharacterSet::Kind m_pageCharset = CharacterSet::kUtf8;
    CharacterSet::Kind m_outCharset = CharacterSet::kUtf8;
    std::unique_ptr<PageInput> m_startInput;
    bool m_startTried = false;
    std::optional<RobotsTxt> m_robots;
    std::string m_robotsRoot;
    std::optional<std::string> m_linkDirectory;
    bool m_noFollowLink = false;
    bool m_pageNoFollow = false;
    std::string m_lastTagName;
    std::string m_pageTitle;
    std::unordered_set<std::string> m_pageAnchorIds;
    std::vector<std::pair<int, std::string>> m_pageTitles;
    std::vector<std::pair<int, std::string>> m_startTitles;
    std::string m_shortenedPart;
    ScanKeywordCleaner m_cleaner{{}};
    std::string m_cleanReport;
    // Lines of the temporary file so far, header included: where each heading keyword is.
    long m_linesWritten = 0;
    bool m_writingHeading = false;
    // Headings: the element with an id whose first heading has not come yet, and the heading
    // being read.
    std::string m_sectionTag;
    std::string m_sectionId;
    int m_sectionDepth = 0;
    bool m_inHeading = false;
    bool m_headingClosing = false;
    bool m_headingAnchor = false;
    std::string m_headingRaw;
    std::string m_headingAnchorText;
    std::string m_headingId;
    std::string m_headingLinkId;
    std::string m_headingSectionId;
};

} // namespace tamblin
