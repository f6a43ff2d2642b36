#pragma once

#include <atomic>
#include <iosfwd>
#include <string>
#include <vector>

namespace tamblin {

// check FILE.xo --links: the index's links, one line per problem, then a summary.
class LinkCheckCli {
public:
    LinkCheckCli(std::ostream& out, std::ostream& err, std::atomic<int>* cancel);
    // args: what follows "check". Exit 0 all good, 1 problems, 2 the file cannot be read,
    // 64 wrong usage.
    int Run(const std::vector<std::string>& args);

private:
    std::ostream& m_out;
    std::ostream& m_err;
    std::atomic<int>* m_cancel;
};

} // namespace tamblin
