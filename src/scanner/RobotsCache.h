#pragma once

#include "scanner/PageInput.h"
#include "scanner/RobotsTxt.h"

#include <optional>
#include <string>
#include <unordered_map>

namespace tamblin {

// The robots.txt of every site a run asks about, each read once, when its first page is
// asked about. A site without one (or whose robots.txt cannot be read) allows everything.
class RobotsCache {
public:
    // agent: the product token the rules are matched against, as in "Tamblin/1.1.18".
    RobotsCache(PageSource& source, std::string agent);

    // location: an http(s) URL. Anything else is allowed.
    bool Allows(const std::string& location);

    // "http://host:port/" of an absolute URL, "" for anything without "://".
    static std::string OriginOf(const std::string& location);

    // The rules of origin's robots.txt, read through source; nothing when it cannot be read.
    static std::optional<RobotsTxt> Read(PageSource& source, const std::string& origin,
                                         std::string_view agent);

private:
    PageSource& m_source;
    std::string m_agent;
    // By lower-case origin; nothing for a site that has no rules.
    std::unordered_map<std::string, std::optional<RobotsTxt>> m_sites;
};

} // namespace tamblin
