#pragma once

#include "index/SaveResult.h"

#include <atomic>
#include <functional>
#include <iosfwd>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace tamblin {

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
    // scan: the scan ran (whatever its problems, also when cancelled), or it could not start.
    static constexpr int kScanRan = 0;
    static constexpr int kScanNotStarted = 1;

private:
    int Check(const std::string& path);
    int Convert(const std::string& in, const std::string& out);
    int Export(const std::vector<std::string>& args);
    int Scan(const std::vector<std::string>& args);
    int Rescan(const std::vector<std::string>& args);
    int PrintRescanUsage(std::ostream& stream, int code);
    // The scan that ran, loaded; nothing when it could not start or was stopped (said on
    // err, with the exit code in `code`).
    std::unique_ptr<class IndexFile> RunScan(const struct ScanSettings& settings,
                                             const struct ScanOptions& options, int& code);
    void PrintMerge(const struct MergeResult& result, bool removeGone);
    // Saves `index` as OUT and says why not; warns when its companion script lags behind.
    bool SaveOutput(IndexFile& index, const std::string& output);
    void WarnStaleCompanion(const std::string& output);
    static bool ScanArgument(const std::vector<std::string>& args, size_t& i,
                             ScanSettings& settings, ScanOptions& options, bool& ok);
    // Keeps in the index how it was scanned and what the scan gave each entry.
    static void RememberScan(IndexFile& index, const ScanSettings& settings);
    int PrintUsage(std::ostream& stream, int code);
    int PrintScanUsage(std::ostream& stream, int code);
    int WriteScan(const class SiteScanner& scanner, const ScanSettings& settings,
                  const std::string& temporary, const std::string& output, bool raw);

    void Dispose(std::unique_ptr<class IndexFile> index) const;
    ReplaceOptions SaveOptions() const { return {.replaceReadOnly = m_force}; }

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
