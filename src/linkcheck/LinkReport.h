#pragma once

#include "linkcheck/LinkCheck.h"

#include <string>

namespace tamblin {

class IndexFile;

// The folder an index's relative URLs are looked for in: its own, with a separator.
std::string IndexFolder(const std::string& indexPath);
// Collects and checks on the calling thread.
LinkCheckResult CheckIndexLinks(IndexFile& index, const std::string& indexPath,
                                const LinkCheckOptions& options);
// "broken: URL: detail (where)"; a link used more than once names its first use and
// counts the others.
std::string LinkProblemLine(const LinkProblem& problem);
// One line: links, distinct URLs, duplicates, skipped, off-site and problems.
std::string LinkSummaryText(const LinkCheckResult& result);

} // namespace tamblin
