#include "linkcheck/LinkReport.h"

#include "index/IndexFile.h"
#include "index/UrlUtils.h"
#include "linkcheck/LinkChecker.h"
#include "linkcheck/LinkCollector.h"

namespace tamblin {

namespace {

std::string Count(int count, const char* one, const char* many) {
    return std::to_string(count) + " " + (count == 1 ? one : many);
}

} // namespace

std::string IndexFolder(const std::string& indexPath) {
    return SplitPath(indexPath, '/').directory;
}

LinkCheckResult CheckIndexLinks(IndexFile& index, const std::string& indexPath,
                                const LinkCheckOptions& options) {
    LinkCollector collector(IndexFolder(indexPath), options.offSite);
    collector.Collect(index);
    return LinkChecker(options).Check(collector.Pages(), collector.Counts());
}

std::string LinkProblemLine(const LinkProblem& problem) {
    std::string line =
        std::string(LinkProblemName(problem.kind)) + ": " + problem.url + ": " + problem.detail;
    if (!problem.uses.empty()) {
        line += " (" + problem.uses.front().where;
        if (problem.uses.size() > 1) {
            line += ", and " + Count(static_cast<int>(problem.uses.size()) - 1, "more", "more");
        }
        line += ")";
    }
    return line;
}

std::string LinkSummaryText(const LinkCheckResult& result) {
    std::string text = Count(result.links, "link", "links") + ", " +
                       Count(result.distinct, "URL", "distinct URLs") + " checked (" +
                       Count(result.duplicates, "duplicate", "duplicates") + ") on " +
                       Count(result.pages, "page", "pages") + ", " +
                       std::to_string(result.skipped) + " skipped (mailto: and the like), " +
                       std::to_string(result.offSite) + " off-site not checked";
    if (result.robotsClosed > 0) {
        text += ", " + Count(result.robotsClosed, "page", "pages") +
                " closed by robots.txt not checked";
    }
    text += ": " + Count(static_cast<int>(result.problems.size()), "problem", "problems");
    if (result.aborted) {
        text += " (cancelled)";
    }
    return text;
}

} // namespace tamblin
