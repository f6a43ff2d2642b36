#include "scanner/RobotsTxt.h"

#include "index/TextUtils.h"

namespace tamblin {

namespace {

std::string_view Trim(std::string_view text) {
    size_t begin = text.find_first_not_of(" \t\r");
    if (begin == std::string_view::npos) {
        return {};
    }
    return text.substr(begin, text.find_last_not_of(" \t\r") - begin + 1);
}

} // namespace

RobotsTxt::RobotsTxt(std::string_view text, std::string_view agent) {
    std::string name = AsciiLower(agent.substr(0, agent.find('/')));
    // Rules of the groups that name the agent, and of the "*" groups.
    std::vector<Rule> own;
    std::vector<Rule> anyone;
    bool namesAgent = false;
    bool namesAnyone = false;
    bool inAgentLines = false;
    bool foundOwn = false;
    size_t start = 0;
    while (start <= text.size()) {
        size_t end = text.find('\n', start);
        std::string_view line = text.substr(
            start, end == std::string_view::npos ? std::string_view::npos : end - start);
        start = end == std::string_view::npos ? text.size() + 1 : end + 1;
        line = Trim(line.substr(0, line.find('#')));
        size_t colon = line.find(':');
        if (colon == std::string_view::npos) {
            continue;
        }
        std::string field = AsciiLower(Trim(line.substr(0, colon)));
        std::string_view value = Trim(line.substr(colon + 1));
        if (field == "user-agent") {
            if (!inAgentLines) {
                namesAgent = namesAnyone = false;
            }
            inAgentLines = true;
            std::string token = AsciiLower(value.substr(0, value.find('/')));
            if (token == "*") {
                namesAnyone = true;
            } else if (!token.empty() && !name.empty() && name.find(token) != std::string::npos) {
                namesAgent = true;
                foundOwn = true;
            }
            continue;
        }
        inAgentLines = false;
        bool allow = field == "allow";
        if (!allow && field != "disallow") {
            continue;
        }
        // An empty Disallow allows everything; it adds no rule.
        if (value.empty()) {
            continue;
        }
        if (namesAgent) {
            own.push_back({std::string(value), allow});
        } else if (namesAnyone) {
            anyone.push_back({std::string(value), allow});
        }
    }
    m_rules = foundOwn ? std::move(own) : std::move(anyone);
}

// "*" stands for any run of characters and a final "$" for the end of the path.
bool RobotsTxt::Matches(std::string_view pattern, std::string_view path) {
    bool anchored = !pattern.empty() && pattern.back() == '$';
    if (anchored) {
        pattern.remove_suffix(1);
    }
    // Greedy matching with one backtrack point, linear in practice.
    size_t p = 0;
    size_t s = 0;
    size_t starAt = std::string_view::npos;
    size_t starPath = 0;
    while (true) {
        if (p == pattern.size()) {
            if (!anchored || s == path.size()) {
                return true;
            }
        } else if (pattern[p] == '*') {
            starAt = p++;
            starPath = s;
            continue;
        } else if (s < path.size() && pattern[p] == path[s]) {
            ++p;
            ++s;
            continue;
        }
        if (starAt == std::string_view::npos || starPath >= path.size()) {
            return false;
        }
        p = starAt + 1;
        s = ++starPath;
    }
}

bool RobotsTxt::Allows(std::string_view path) const {
    size_t bestLength = 0;
    bool allowed = true;
    bool matched = false;
    for (const Rule& rule : m_rules) {
        if (!Matches(rule.pattern, path)) {
            continue;
        }
        size_t length = rule.pattern.size();
        if (!matched || length > bestLength || (length == bestLength && rule.allow)) {
            allowed = rule.allow;
            bestLength = length;
            matched = true;
        }
    }
    return allowed;
}

} // namespace tamblin
