#include "update/SiteRescan.h"

#include "index/IndexFile.h"
#include "scanner/ScanSettingsText.h"

#include <cstdio>
#include <filesystem>
#include <system_error>
#include <utility>

namespace tamblin {

SiteRescan::SiteRescan(ScanSettings settings) : m_settings(std::move(settings)) {}

// The merge refers to the scanned index, so it goes first.
SiteRescan::~SiteRescan() {
    m_merge.reset();
}

SiteRescan::Status SiteRescan::Run(const ScanFunction& scan) {
    FinishedScan finished = scan(m_settings);
    if (finished.temporaryPath.empty()) {
        return Status::NotStarted;
    }
    if (finished.writeFailed) {
        std::remove(finished.temporaryPath.c_str());
        return Status::WriteFailed;
    }
    m_temporaryPath = finished.temporaryPath;
    m_scanned = std::make_unique<IndexFile>();
    int loaded = m_scanned->Load(m_temporaryPath);
    std::remove(m_temporaryPath.c_str());
    if (!loaded) {
        return Status::NotLoaded;
    }
    if (finished.stopped) {
        return Status::Stopped;
    }
    return finished.readNothing ? Status::NothingRead : Status::Scanned;
}

IndexMerge& SiteRescan::Plan(IndexEntry& root,
                             const std::vector<std::unique_ptr<BaseUrl>>& baseUrls) {
    m_merge = std::make_unique<IndexMerge>(root, baseUrls, *m_scanned, m_settings.caseSignificant);
    return *m_merge;
}

std::unique_ptr<IndexFile> SiteRescan::TakeScanned() {
    m_merge.reset();
    return std::move(m_scanned);
}

bool SiteRescan::RememberedSettings(const IndexFile& index, ScanSettings& settings) {
    if (!ScanSettingsText::Decode(index.m_scanSource, settings)) {
        return false;
    }
    settings.description = index.m_description;
    return true;
}

std::string SiteRescan::ScanSourceOf(const ScanSettings& settings) {
    ScanSettings remembered = settings;
    if (!remembered.fromUrl) {
        std::error_code error;
        std::filesystem::path absolute = std::filesystem::absolute(remembered.start, error);
        if (!error) {
            remembered.start = absolute.lexically_normal().string();
        }
    }
    return ScanSettingsText::Encode(remembered);
}

void SiteRescan::RememberScan(IndexFile& index, const ScanSettings& settings) {
    index.m_scanSource = ScanSourceOf(settings);
    IndexMerge::MarkScanned(index.m_root);
}

} // namespace tamblin
