#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tamblin {

// A site's robots.txt as it applies to one user agent: the rules of the group that names
// the agent, or of the "*" group when none does. Anything unreadable allows everything.
class RobotsTxt {
public:
    // agent is the product token, as in "Tamblin/2.3"; groups match on its name.
    RobotsTxt(std::string_view text, std::string_view agent);

    // path is the path of a URL with its query ("/a/b?x=1"). The longest matching pattern
    // decides; on a tie Allow wins; without a match the path is allowed.
    bool Allows(std::string_view path) const;

private:
    struct Rule {
        std::string pattern;
        bool allow;
    };
    static bool Matches(std::string_view pattern, std::string_view path);

    std::vector<Rule> m_rules;
};

} // namespace tamblin
