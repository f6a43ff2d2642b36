#include "linkcheck/LinkCollector.h"

#include "index/IndexFile.h"
#include "index/TextUtils.h"
#include "index/UrlUtils.h"
#include "index/WebAddress.h"

#include <algorithm>

namespace tamblin {

namespace {

bool StartsWithNoCase(const std::string& text, std::string_view prefix) {
    return text.size() >= prefix.size() && LowerText(text.substr(0, prefix.size())) == prefix;
}

bool IsHttpUrl(const std::string& url) {
    return StartsWithNoCase(url, "http://") || StartsWithNoCase(url, "https://");
}

// The folder as the path of a file: URL, ending in "/".
std::string FolderUrl(const std::string& folder) {
    std::string url = "file://";
    for (char c : folder) {
        if (c == '%' || c == '#' || c == '?') {
            static constexpr char kHex[] = "0123456789ABCDEF";
            url += '%';
            url += kHex[static_cast<unsigned char>(c) >> 4];
            url += kHex[static_cast<unsigned char>(c) & 0xF];
        } else {
            url += c;
        }
    }
    return url.back() == '/' ? url : url + "/";
}

} // namespace

const char* LinkProblemName(LinkProblem::Kind kind) {
    switch (kind) {
    case LinkProblem::Kind::Broken:
        return "broken";
    case LinkProblem::Kind::MissingAnchor:
        return "missing anchor";
    case LinkProblem::Kind::Redirect:
        return "redirect";
    }
    return "";
}

std::string SiteOf(const std::string& url) {
    if (!IsHttpUrl(url)) {
        return {};
    }
    size_t hostStart = url.find("://") + 3;
    size_t hostEnd = url.find_first_of("/?#", hostStart);
    return LowerText(url.substr(0, hostEnd));
}

LinkCollector::LinkCollector(std::string folder, bool offSite)
    : m_folder(std::move(folder)), m_offSite(offSite) {}

void LinkCollector::AddSite(const std::string& baseUrl) {
    std::string site = SiteOf(baseUrl);
    if (!site.empty() && std::find(m_sites.begin(), m_sites.end(), site) == m_sites.end()) {
        m_sites.push_back(site);
    }
}

void LinkCollector::Collect(IndexFile& index) {
    for (const auto& base : index.m_baseUrls) {
        AddSite(base->m_url);
    }
    for (auto& child : index.m_root.m_children) {
        CollectEntry(*child, {});
    }
    IndexEntry& other = index.m_otherKeywords;
    for (size_t i = 0; i < other.m_keywords.size(); ++i) {
        const IndexKeyword& keyword = other.m_keywords[i];
        Add(keyword.m_anchor,
            {&other, static_cast<int>(i), "Other Index keywords: " + keyword.m_phrase});
    }
}

void LinkCollector::CollectEntry(IndexEntry& entry, const std::string& path) {
    std::string where = path.empty() ? entry.m_title : path + " > " + entry.m_title;
    if (!entry.m_url.empty()) {
        Add(entry.FullUrl(), {&entry, -1, where});
    }
    for (size_t i = 0; i < entry.m_keywords.size(); ++i) {
        const IndexKeyword& keyword = entry.m_keywords[i];
        if (entry.m_url.empty() && keyword.m_anchor.empty()) {
            continue;
        }
        Add(keyword.FullUrl(), {&entry, static_cast<int>(i), where + ": " + keyword.m_phrase});
    }
    for (auto& child : entry.m_children) {
        CollectEntry(*child, where);
    }
}

bool LinkCollector::OnSite(const std::string& url) const {
    std::string site = SiteOf(url);
    return std::find(m_sites.begin(), m_sites.end(), site) != m_sites.end();
}

// Where a browser opening the index's folder finds the page: the link resolved as an address
// ("..", "./", backslashes, escapes), read back as a path. Paths that no file: URL stands
// for (a drive letter, a folder not given from the root) are joined as they are written.
std::string LinkCollector::LocalPath(const std::string& plain) const {
    if (!m_folder.empty() && m_folder[0] == '/' && !StartsWithNoCase(plain, "file:")) {
        std::optional<std::string> resolved = WebAddress::Resolve(plain, FolderUrl(m_folder));
        if (resolved && StartsWithNoCase(*resolved, "file:///")) {
            std::string path = resolved->substr(7);
            return PercentDecode(path.substr(0, path.find_first_of("?#")));
        }
    }
    std::string path = plain.substr(0, plain.find('?'));
    if (StartsWithNoCase(path, "file://")) {
        path = PercentDecode(path.substr(7));
    } else if (path.empty() || path[0] != '/') {
        path = m_folder + path;
    }
    NormalizeUrlPath(path);
    return path;
}

void LinkCollector::Add(const std::string& fullUrl, const LinkUse& use) {
    if (fullUrl.empty()) {
        return;
    }
    ++m_counts.links;
    size_t colon = IsAbsoluteUrl(fullUrl);
    bool http = IsHttpUrl(fullUrl);
    // One letter before ":" is a drive, not a scheme.
    bool local = colon <= 1 || StartsWithNoCase(fullUrl, "file:");
    if (!http && !local) {
        ++m_counts.skipped;
        return;
    }
    if (fullUrl[0] == '#') {
        ++m_counts.skipped;
        return;
    }
    if (http && !m_offSite && !OnSite(fullUrl)) {
        ++m_counts.offSite;
        return;
    }
    if (m_seen[fullUrl]++ > 0) {
        ++m_counts.duplicates;
    } else {
        ++m_counts.distinct;
    }
    size_t hash = fullUrl.find('#');
    std::string plain = fullUrl.substr(0, hash);
    std::string fragment = hash == std::string::npos ? std::string() : fullUrl.substr(hash + 1);
    std::string location = http ? plain : LocalPath(plain);
    auto [it, inserted] = m_pageByLocation.emplace(location, m_pages.size());
    if (inserted) {
        m_pages.push_back({location, http, {}});
    }
    m_pages[it->second].refs.push_back({fullUrl, fragment, use});
}

} // namespace tamblin
