#include "cli/LinkCheckCli.h"

#include "index/IndexFile.h"
#include "linkcheck/LinkReport.h"

#include <cstdlib>
#include <ostream>

namespace tamblin {

namespace {

constexpr int kAllGood = 0;
constexpr int kProblems = 1;
constexpr int kCannotRead = 2;
constexpr int kUsage = 64;

} // namespace

LinkCheckCli::LinkCheckCli(std::ostream& out, std::ostream& err, std::atomic<int>* cancel)
    : m_out(out), m_err(err), m_cancel(cancel) {}

int LinkCheckCli::Run(const std::vector<std::string>& args) {
    LinkCheckOptions options;
    options.abortFlag = m_cancel;
    std::string path;
    bool links = false;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "--links") {
            links = true;
        } else if (arg == "--off-site") {
            options.offSite = true;
        } else if (arg == "--jobs" && i + 1 < args.size()) {
            const std::string& text = args[++i];
            char* end = nullptr;
            long jobs = std::strtol(text.c_str(), &end, 10);
            if (text.empty() || *end != 0 || jobs < 1 || jobs > 64) {
                m_err << "tamblin-cli: --jobs takes a number from 1 to 64\n";
                return kUsage;
            }
            options.fetch.jobs = static_cast<size_t>(jobs);
        } else if (arg.empty() || arg[0] == '-' || !path.empty()) {
            m_err << "tamblin-cli: check: wrong argument: " << arg << "\n";
            return kUsage;
        } else {
            path = arg;
        }
    }
    if (!links || path.empty()) {
        m_err << "Usage: tamblin-cli check FILE.xo --links [--jobs N] [--off-site]\n";
        return kUsage;
    }
    IndexFile index;
    if (!index.Load(path)) {
        m_err << "Could not open file (" << path << ")\n";
        return kCannotRead;
    }
    LinkCheckResult result = CheckIndexLinks(index, path, options);
    for (const LinkProblem& problem : result.problems) {
        m_out << LinkProblemLine(problem) << "\n";
    }
    m_out << LinkSummaryText(result) << "\n";
    return result.problems.empty() && !result.aborted ? kAllGood : kProblems;
}

} // namespace tamblin
