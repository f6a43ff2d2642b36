#include "scanner/RobotsCache.h"

#include "index/TextUtils.h"

namespace tamblin {

namespace {

constexpr size_t kMaxRobotsBytes = 512 * 1024;

} // namespace

RobotsCache::RobotsCache(PageSource& source, std::string agent)
    : m_source(source), m_agent(std::move(agent)) {}

std::string RobotsCache::OriginOf(const std::string& location) {
    size_t scheme = location.find("://");
    if (scheme == std::string::npos) {
        return "";
    }
    size_t slash = location.find_first_of("/?#", scheme + 3);
    return location.substr(0, slash) + "/";
}

std::optional<RobotsTxt> RobotsCache::Read(PageSource& source, const std::string& origin,
                                           std::string_view agent) {
    std::unique_ptr<PageInput> input = source.Open(origin + "robots.txt");
    if (!input) {
        return std::nullopt;
    }
    std::string text;
    char block[4096];
    while (text.size() < kMaxRobotsBytes) {
        size_t count = input->Read(block, sizeof block);
        if (count == 0) {
            break;
        }
        text.append(block, count);
    }
    return RobotsTxt(text, agent);
}

bool RobotsCache::Allows(const std::string& location) {
    std::string lower = AsciiLower(location);
    if (lower.rfind("http://", 0) != 0 && lower.rfind("https://", 0) != 0) {
        return true;
    }
    std::string origin = OriginOf(location);
    auto it = m_sites.find(AsciiLower(origin));
    if (it == m_sites.end()) {
        it = m_sites.emplace(AsciiLower(origin), Read(m_source, origin, m_agent)).first;
    }
    if (!it->second) {
        return true;
    }
    // The path with its query, as the rules are written: "/a/b?x=1".
    std::string_view rest = std::string_view(location).substr(origin.size() - 1);
    if (!rest.empty() && rest.front() == '/') {
        return it->second->Allows(rest);
    }
    return it->second->Allows("/" + std::string(rest));
}

} // namespace tamblin
