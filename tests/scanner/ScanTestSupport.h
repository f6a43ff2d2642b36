#pragma once

#include "scanner/SiteScanner.h"

#include <atomic>
#include <map>
#include <string>
#include <vector>

namespace scantest {

// What one scan left behind.
struct ScanRun {
    std::string raw;                // the temporary file's bytes
    std::vector<std::string> lines; // its lines, without the header lines
    std::vector<std::string> problems;
    std::vector<std::string> statuses;
    std::string summary;
    std::string report;
    bool aborted = false;
};

// Records what a scan reports; can cancel the scan when a given page opens. Scan() makes
// the scan watch `abort`, so any thread may stop it through the flag without reaching for a
// scanner that another thread makes and destroys.
class RecordingObserver : public tamblin::ScanObserver {
public:
    void OnStatus(const std::string& text) override { statuses.push_back(text); }
    void OnPageOpened(int pagesRead, const std::string&) override {
        if (pagesRead == cancelAtPage) {
            abort.store(1);
        }
    }
    void OnProblem(const std::string& line) override { problems.push_back(line); }
    void OnCompleted(const std::string& s, const std::string& r) override {
        summary = s;
        report = r;
        ++completions;
    }
    std::atomic<int> abort{0};
    int cancelAtPage = -1;
    int completions = 0;
    std::vector<std::string> statuses;
    std::vector<std::string> problems;
    std::string summary;
    std::string report;
};

// Pages held in memory, by location; counts the times each was opened.
class MapPageSource final : public tamblin::PageSource {
public:
    std::unique_ptr<tamblin::PageInput> Open(const std::string& location) override;
    std::map<std::string, std::string> pages;
    std::map<std::string, int> opened;
};

// The settings of a scan from `start` with today's defaults, which remembers nothing in the
// file so that its lines are the site's alone; `fromUrl` for a start page on a server.
tamblin::ScanSettings PlainScan(const std::string& start, bool fromUrl = false);

// Runs a scan to its end, checks that the file reads back as it was meant (no bad line,
// every entry and keyword found, no field that reading would change) and returns it.
ScanRun Scan(const tamblin::ScanSettings& settings, tamblin::ScanOptions options = {},
             RecordingObserver* observer = nullptr);
// Only the lines after the header, description and base URL record.
std::vector<std::string> Body(const ScanRun& run);
// Only the entry records (5;...) of the body.
std::vector<std::string> Entries(const ScanRun& run);
// Each field of every record the scanner writes reads back unchanged.
void ExpectReadsBack(const std::string& path, int entries, int keywords);

} // namespace scantest
