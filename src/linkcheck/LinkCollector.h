#pragma once

#include "linkcheck/LinkCheck.h"

#include <string>
#include <unordered_map>
#include <vector>

namespace tamblin {

class IndexFile;

// Gathers the links of an index into the pages to open, each page once with every anchor
// asked of it. Runs on the thread that owns the index; what it returns no longer needs it,
// except for the entry pointers a caller may use to show where a link is.
class LinkCollector {
public:
    // folder: where relative URLs are looked for on disk (the index file's own folder),
    // ending with a separator.
    LinkCollector(std::string folder, bool offSite);

    void Collect(IndexFile& index);
    void Add(const std::string& fullUrl, const LinkUse& use);

    std::vector<LinkPage>& Pages() { return m_pages; }
    // Counts of what Add saw; problems stay empty.
    const LinkCheckResult& Counts() const { return m_counts; }

    // The site's hosts: "scheme://host" of every http(s) base URL.
    void AddSite(const std::string& baseUrl);

private:
    void CollectEntry(IndexEntry& entry, const std::string& path);
    bool OnSite(const std::string& url) const;
    std::string LocalPath(const std::string& plain) const;

    std::string m_folder;
    bool m_offSite;
    std::vector<std::string> m_sites;
    std::vector<LinkPage> m_pages;
    std::unordered_map<std::string, size_t> m_pageByLocation;
    std::unordered_map<std::string, int> m_seen;
    LinkCheckResult m_counts;
};

// "scheme://host[:port]" of an http(s) URL in lower case; empty for anything else.
std::string SiteOf(const std::string& url);

} // namespace tamblin
