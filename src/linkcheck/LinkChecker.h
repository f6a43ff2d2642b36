#pragma once

#include "linkcheck/LinkCheck.h"
#include "linkcheck/LinkPageOutcome.h"

#include <vector>

namespace tamblin {

// Checks the pages a LinkCollector gathered: files on disk first, then web pages several at
// once. Needs no index, so it may run on a worker thread while the index stays with its
// owner.
class LinkChecker {
public:
    explicit LinkChecker(LinkCheckOptions options);

    // counts: what the collector counted; the problems are added to it.
    LinkCheckResult Check(const std::vector<LinkPage>& pages, LinkCheckResult counts);

    // The problems one page gives, in the order of its links.
    static void Judge(const LinkPage& page, const LinkPageOutcome& outcome,
                      std::vector<LinkProblem>& problems);

private:
    bool Aborting() const;
    LinkPageOutcome CheckFile(const LinkPage& page) const;
    // The web pages that robots.txt leaves open to this program, by their place in `pages`.
    std::vector<size_t> OpenToUs(const std::vector<LinkPage>& pages,
                                 const std::vector<size_t>& web) const;

    LinkCheckOptions m_options;
};

} // namespace tamblin
