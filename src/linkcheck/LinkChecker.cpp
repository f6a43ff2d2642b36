#include "linkcheck/LinkChecker.h"

#include "index/IndexFile.h"
#include "index/TextUtils.h"
#include "linkcheck/AnchorCollector.h"
#include "linkcheck/HttpLinkProbe.h"
#include "linkcheck/LinkCollector.h"
#include "scanner/FilePageSource.h"
#include "scanner/RobotsCache.h"
#include "scanner/TagReader.h"

#include <sys/stat.h>

#include <algorithm>
#include <map>

namespace tamblin {

namespace {

std::string StatusText(long status) {
    switch (status) {
    case 401:
        return "401 Unauthorized";
    case 403:
        return "403 Forbidden";
    case 404:
        return "404 Not Found";
    case 410:
        return "410 Gone";
    case 500:
        return "500 Internal Server Error";
    case 502:
        return "502 Bad Gateway";
    case 503:
        return "503 Service Unavailable";
    default:
        return "status " + std::to_string(status);
    }
}

std::string PageUrl(const LinkRef& ref) {
    return ref.url.substr(0, ref.url.find('#'));
}

bool HasAnchor(const LinkPageOutcome& outcome, const std::string& fragment) {
    return outcome.anchors.count(fragment) != 0 || outcome.anchors.count(PercentDecode(fragment));
}

} // namespace

LinkChecker::LinkChecker(LinkCheckOptions options) : m_options(std::move(options)) {
    if (m_options.polite) {
        // The name robots.txt rules are written for, as the scanner sends it.
        m_options.fetch.userAgent = std::string("Tamblin/") + kProgramVersion;
    }
}

bool LinkChecker::Aborting() const {
    return m_options.abortFlag && m_options.abortFlag->load(std::memory_order_relaxed) != 0;
}

LinkPageOutcome LinkChecker::CheckFile(const LinkPage& page) const {
    LinkPageOutcome outcome;
    std::string path = page.location;
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) {
        path = PercentDecode(page.location);
    }
    if (::stat(path.c_str(), &info) != 0) {
        outcome.error = "file not found";
        return outcome;
    }
    outcome.found = true;
    bool wantAnchors = false;
    for (const LinkRef& ref : page.refs) {
        wantAnchors = wantAnchors || !ref.fragment.empty();
    }
    if (!wantAnchors || S_ISDIR(info.st_mode)) {
        return outcome;
    }
    FilePageSource files;
    std::unique_ptr<PageInput> input = files.Open(path);
    if (!input) {
        outcome.found = false;
        outcome.error = "file cannot be read";
        return outcome;
    }
    AnchorCollector anchors;
    TagReader(input.get(), anchors, nullptr, m_options.abortFlag).Run();
    outcome.anchors = anchors.Anchors();
    outcome.anchorsRead = true;
    return outcome;
}

std::vector<size_t> LinkChecker::OpenToUs(const std::vector<LinkPage>& pages,
                                          const std::vector<size_t>& web) const {
    if (!m_options.polite || web.empty()) {
        return web;
    }
    FetchOptions fetch = m_options.fetch;
    fetch.jobs = 1;
    auto source = HttpPageSource::Create(fetch, m_options.abortFlag);
    if (!source) {
        return web;
    }
    RobotsCache robots(*source, m_options.fetch.userAgent);
    std::vector<size_t> open;
    for (size_t index : web) {
        if (Aborting() || robots.Allows(pages[index].location)) {
            open.push_back(index);
        }
    }
    return open;
}

void LinkChecker::Judge(const LinkPage& page, const LinkPageOutcome& outcome,
                        std::vector<LinkProblem>& problems) {
    if (page.refs.empty()) {
        return;
    }
    std::vector<LinkUse> uses;
    for (const LinkRef& ref : page.refs) {
        uses.push_back(ref.use);
    }
    std::string url = PageUrl(page.refs.front());
    if (!outcome.found) {
        std::string detail = outcome.status > 0 ? StatusText(outcome.status) : outcome.error;
        if (outcome.redirects > 0 && !outcome.finalUrl.empty()) {
            detail += " at " + outcome.finalUrl;
        }
        problems.push_back({LinkProblem::Kind::Broken, url, detail, uses});
        return;
    }
    if (outcome.redirects > 0) {
        problems.push_back({LinkProblem::Kind::Redirect, url,
                            "ends at " + outcome.finalUrl + " after " +
                                std::to_string(outcome.redirects) +
                                (outcome.redirects == 1 ? " redirect" : " redirects"),
                            uses});
    }
    if (!outcome.anchorsRead) {
        return;
    }
    // One problem per missing anchor, with every use of it, in the order first used.
    std::map<std::string, size_t> byFragment;
    for (const LinkRef& ref : page.refs) {
        if (ref.fragment.empty() || HasAnchor(outcome, ref.fragment)) {
            continue;
        }
        auto [it, inserted] = byFragment.emplace(ref.fragment, problems.size());
        if (inserted) {
            problems.push_back({LinkProblem::Kind::MissingAnchor,
                                ref.url,
                                "no anchor \"" + ref.fragment + "\"",
                                {}});
        }
        problems[it->second].uses.push_back(ref.use);
    }
}

LinkCheckResult LinkChecker::Check(const std::vector<LinkPage>& pages, LinkCheckResult counts) {
    counts.pages = static_cast<int>(pages.size());
    size_t done = 0;
    auto progress = [&] {
        ++done;
        if (m_options.progress) {
            m_options.progress(done, pages.size());
        }
    };
    // Outcomes arrive out of order; problems are listed in the index's order.
    std::vector<std::vector<LinkProblem>> perPage(pages.size());
    std::vector<bool> answered(pages.size(), false);
    std::vector<size_t> webAll;
    for (size_t i = 0; i < pages.size() && !Aborting(); ++i) {
        if (pages[i].http) {
            webAll.push_back(i);
            continue;
        }
        Judge(pages[i], CheckFile(pages[i]), perPage[i]);
        answered[i] = true;
        progress();
    }
    std::vector<size_t> webIndex = OpenToUs(pages, webAll);
    std::vector<const LinkPage*> web;
    for (size_t index : webIndex) {
        web.push_back(&pages[index]);
    }
    // Closed pages are neither asked for nor problems: they count as done.
    for (size_t index : webAll) {
        if (!std::binary_search(webIndex.begin(), webIndex.end(), index)) {
            answered[index] = true;
            ++counts.robotsClosed;
            --counts.pages;
            progress();
        }
    }
    if (!web.empty() && !Aborting()) {
        auto probe =
            HttpLinkProbe::Create(m_options.fetch, m_options.abortFlag, m_options.bodyLimit);
        if (probe) {
            probe->Run(web, [&](size_t index, LinkPageOutcome outcome) {
                size_t page = webIndex[index];
                Judge(pages[page], outcome, perPage[page]);
                answered[page] = true;
                progress();
            });
        }
    }
    counts.aborted = Aborting();
    for (size_t i = 0; i < pages.size(); ++i) {
        if (!answered[i] && !counts.aborted) {
            LinkPageOutcome outcome;
            outcome.error = "could not be checked";
            Judge(pages[i], outcome, perPage[i]);
        }
        for (LinkProblem& problem : perPage[i]) {
            counts.problems.push_back(std::move(problem));
        }
    }
    return counts;
}

} // namespace tamblin
