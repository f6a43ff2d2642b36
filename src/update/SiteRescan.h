#pragma once

#include "scanner/ScanSettings.h"
#include "update/IndexMerge.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace tamblin {

class BaseUrl;
class IndexEntry;
class IndexFile;

// What one scan of a site gave: its temporary index file (empty when the scan could not
// start), whether it was stopped, whether it read no page at all, and whether its records
// could not be written.
struct FinishedScan {
    std::string temporaryPath;
    bool stopped = false;
    bool readNothing = false;
    // Its records could not all be written: its file is gone and nothing may follow.
    bool writeFailed = false;
};

// One update of an index from a new scan of its site, as the command line's rescan and
// Update from site both run it. The caller runs the scan (on a terminal, or in the scan
// report dialog); Run loads what it gave and Plan works out the merge, which the caller may
// review before IndexMerge::Apply.
class SiteRescan final {
public:
    enum class Status {
        Scanned,     // the scan read the site: Plan may follow
        NotStarted,  // the scan could not start (the scan itself said why)
        NotLoaded,   // its temporary file could not be read
        Stopped,     // it was stopped before the end
        NothingRead, // it read no page
        WriteFailed, // its records could not be kept (the scan itself said why)
    };
    using ScanFunction = std::function<FinishedScan(const ScanSettings&)>;

    explicit SiteRescan(ScanSettings settings);
    ~SiteRescan();
    SiteRescan(const SiteRescan&) = delete;
    SiteRescan& operator=(const SiteRescan&) = delete;

    // Runs `scan` and loads its file, which it deletes. Anything but Scanned leaves the
    // index alone: pages a stopped scan did not reach would all look gone.
    Status Run(const ScanFunction& scan);
    // After Scanned: the changes that bring `root` (an index's contents, or a copy of them to
    // swap in later) up to date, with `baseUrls` for the pages it adds.
    IndexMerge& Plan(IndexEntry& root, const std::vector<std::unique_ptr<BaseUrl>>& baseUrls);
    const ScanSettings& Settings() const { return m_settings; }
    const std::string& TemporaryPath() const { return m_temporaryPath; }
    // The scan's own index, for a caller that disposes of it in its own way; Plan's merge
    // must not be used after.
    std::unique_ptr<IndexFile> TakeScanned();
    // How the index remembers this scan.
    std::string ScanSource() const { return ScanSourceOf(m_settings); }

    // The settings the index remembers, over `settings`, with the index's description; false
    // when it remembers none.
    static bool RememberedSettings(const IndexFile& index, ScanSettings& settings);
    // The settings as an index remembers them, the start path made absolute, so that an
    // update run from another folder finds the same site.
    static std::string ScanSourceOf(const ScanSettings& settings);
    // Keeps in a freshly scanned index how it was scanned and what the scan gave each entry.
    static void RememberScan(IndexFile& index, const ScanSettings& settings);

private:
    ScanSettings m_settings;
    std::string m_temporaryPath;
    std::unique_ptr<IndexFile> m_scanned;
    std::unique_ptr<IndexMerge> m_merge;
};

} // namespace tamblin
