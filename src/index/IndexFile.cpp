#include "index/IndexFile.h"

#include "index/TextUtils.h"

#include <algorithm>
#include <cstdio>

namespace tamblin {

IndexEntry* IndexFile::FindEntryById(int id) {
    if (m_indexed) {
        auto it = m_entryIds.find(id);
        return it == m_entryIds.end() ? nullptr : it->second.entry;
    }
    if (IndexEntry* entry = m_root.FindById(id)) {
        return entry;
    }
    return m_holding.FindById(id);
}

BaseUrl* IndexFile::FindBaseUrlById(int id) {
    if (m_indexed) {
        auto it = m_baseUrlIds.find(id);
        return it == m_baseUrlIds.end() ? nullptr : it->second;
    }
    for (const auto& baseUrl : m_baseUrls) {
        if (baseUrl->m_id == id) {
            return baseUrl.get();
        }
    }
    return nullptr;
}

bool IndexFile::VersionAtLeast(int major, int minor) const {
    return m_formatMajor > major || (m_formatMajor == major && m_formatMinor >= minor);
}

BaseUrl& IndexFile::AppendBaseUrl(std::unique_ptr<BaseUrl> baseUrl) {
    BaseUrl& added = *baseUrl;
    if (m_indexed) {
        // emplace keeps an earlier record: the first base URL with an id wins.
        m_baseUrlIds.emplace(added.m_id, &added);
    }
    m_baseUrls.push_back(std::move(baseUrl));
    return added;
}

std::string IndexFile::ListBadLines(size_t maxLines, size_t maxLineBytes) const {
    std::string list;
    size_t shown = std::min(maxLines, m_badLines.size());
    for (size_t i = 0; i < shown; ++i) {
        const std::string& line = m_badLines[i];
        if (line.size() <= maxLineBytes) {
            list += line;
        } else {
            // Cut between characters, not inside one.
            size_t cut = maxLineBytes;
            while (cut > 0 && (static_cast<unsigned char>(line[cut]) & 0xC0) == 0x80) {
                --cut;
            }
            list.append(line, 0, cut);
            list += "...";
        }
        list += '\n';
    }
    if (shown < m_badLines.size()) {
        list += "and " + IntToText(static_cast<long long>(m_badLines.size() - shown)) + " more\n";
    }
    return list;
}

std::string IndexFile::BadLinesMessage(size_t maxLines, size_t maxLineBytes) const {
    if (m_badLines.empty()) {
        return {};
    }
    std::string message = m_badLines.size() == 1
                              ? std::string("The index file has one error in this line:\n\n")
                              : "The index file has " +
                                    IntToText(static_cast<long long>(m_badLines.size())) +
                                    " errors in these lines:\n\n";
    return message + ListBadLines(maxLines, maxLineBytes);
}

std::string IndexFile::StatisticsText() const {
    int urls = 0;
    int keywords = 0;
    m_root.CountUrlsAndKeywords(urls, keywords);
    m_otherKeywords.CountUrlsAndKeywords(urls, keywords);
    char buffer[160];
    // An index no file holds yet has no saved size to show (a scanned one would otherwise show
    // the size of the scanner's temporary file).
    if (m_fileSize == kNeverSaved) {
        std::snprintf(buffer, sizeof buffer, "%d URLs\r\n%d Index keywords", urls, keywords);
        return buffer;
    }
    std::snprintf(buffer, sizeof buffer, "%d URLs\r\n%d Index keywords\r\nLast saved file size: %d",
                  urls, keywords, static_cast<int>(m_fileSize));
    return buffer;
}

} // namespace tamblin
