#pragma once

#include "fulltext/SearchIndexData.h"

#include "index/SaveResult.h"
#include "scanner/SiteScanner.h"
#include "update/SiteRescan.h"

#include <atomic>
#include <functional>
#include <iosfwd>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace tamblin {

class IndexFile;

// The headless commands. Each returns the process exit code and writes to the streams it
// is given, so tests can run them in-process.
class CliCommands {
public:
    // cancel, when given, is the flag that Ctrl+C sets; a scan watches it. With progress,
    // a scan keeps one line of progress on err, cut to width columns.
    CliCommands(std::ostream& out, std::ostream& err, std::atomic<int>* cancel = nullptr,
                bool progress = false, int width = 80);

    int Run(const std::vector<std::string>& args);
    // For a process that ends right after Run: the loaded index is left for the system to
    // reclaim, which is much faster than freeing a large tree block by block.
    void SkipCleanupAtExit() { m_skipCleanup = true; }
    // "print" needs Qt Gui, which the other commands do without; a build with Qt plugs it in.
    using Subcommand = std::function<int(const std::vector<std::string>& args, std::ostream& out,
                                         std::ostream& err)>;
    void SetPrintCommand(Subcommand print) { m_print = std::move(print); }

    static constexpr int kClean = 0;
    static constexpr int kBadLines = 1;
    static constexpr int kCannotOpen = 2;
    static constexpr int kUsage = 64;
    // scan and rescan: OUT was written (whatever the scan's problems, also when it was
    // cancelled after a page was read), or the scan could not start or read no page.
    static constexpr int kScanRan = 0;
    static constexpr int kScanNotStarted = 1;

private:
    // tamblin-cli rescan's arguments.
    struct ScanRequest {
        ScanSettings settings;
        ScanOptions options;
        std::string output;
        bool raw = false; // the scanner's own file, as it wrote it
    };
    struct RescanRequest {
        std::vector<std::string> positional; // INDEX.xo and, when given, START
        std::string output;
        bool removeGone = false;
        std::vector<std::string> optionArgs; // the scan options, applied over the index's
        ScanOptions options;
    };

    int Check(const std::string& path);
    int Convert(const std::string& in, const std::string& out);
    int Export(const std::vector<std::string>& args);
    int Scan(const std::vector<std::string>& args);
    int ParseScan(const std::vector<std::string>& args, ScanRequest& request);
    int Rescan(const std::vector<std::string>& args);
    int ParseRescan(const std::vector<std::string>& args, RescanRequest& request);
    bool RescanSettings(const IndexFile& index, RescanRequest& request, ScanSettings& settings);
    int RescanNotMerged(const SiteRescan& rescan, SiteRescan::Status status);
    int PrintRescanUsage(std::ostream& stream, int code);
    // Runs one scan with its problems and progress on err and its summary and report on out.
    // A scan whose records could not be kept says so, ending with `writeFailedEnd`.
    FinishedScan ScanSite(const ScanSettings& settings, const ScanOptions& options,
                          const char* writeFailedEnd);
    void PrintMerge(const struct MergeResult& result, bool removeGone);
    // Saves `index` as OUT and says why not; warns when its companion script lags behind.
    bool SaveOutput(IndexFile& index, const std::string& output);
    void WarnStaleCompanion(const std::string& output);
    // Saves `index` as OUT with the words of the last scan beside it as its search index,
    // when it kept any; else takes an older search index away.
    bool SaveWithWords(IndexFile& index, const std::string& output);
    void RemoveStaleWords(const std::string& output);
    static bool ScanArgument(const std::vector<std::string>& args, size_t& i,
                             ScanSettings& settings, ScanOptions& options, bool& ok);
    int PrintUsage(std::ostream& stream, int code);
    int PrintScanUsage(std::ostream& stream, int code);
    static bool PrintCommandUsage(const std::string& command, std::ostream& stream);

    void Dispose(std::unique_ptr<class IndexFile> index) const;
    ReplaceOptions SaveOptions() const { return {.replaceReadOnly = m_force}; }

    // The words of the last scan, for its search index.
    std::optional<SearchIndexData> m_words;
    std::ostream& m_out;
    std::ostream& m_err;
    std::atomic<int>* m_cancel;
    bool m_progress;
    int m_width;
    bool m_skipCleanup = false;
    // --force: replace read-only files.
    bool m_force = false;
    Subcommand m_print;
};

} // namespace tamblin
