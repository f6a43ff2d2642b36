#include "keywords/KeywordAnchorCheck.h"

#include "index/IndexEntry.h"
#include "index/IndexFile.h"
#include "linkcheck/LinkChecker.h"
#include "linkcheck/LinkCollector.h"

namespace tamblin {

namespace {

void AddKeywords(LinkCollector& collector, IndexEntry& entry) {
    for (std::size_t i = 0; i < entry.m_keywords.size(); ++i) {
        const IndexKeyword& keyword = entry.m_keywords[i];
        std::string url = keyword.FullUrl();
        if (url.find('#') != std::string::npos) {
            collector.Add(url, {&entry, static_cast<int>(i), keyword.m_phrase});
        }
    }
}

} // namespace

KeywordAnchorCheck::KeywordAnchorCheck(IndexFile& index, const std::string& folder, bool offSite) {
    LinkCollector collector(folder, offSite);
    for (const auto& base : index.m_baseUrls) {
        collector.AddSite(base->m_url);
    }
    std::vector<IndexEntry*> stack;
    for (auto& child : index.m_root.m_children) {
        stack.push_back(child.get());
    }
    while (!stack.empty()) {
        IndexEntry* entry = stack.back();
        stack.pop_back();
        AddKeywords(collector, *entry);
        for (auto& child : entry->m_children) {
            stack.push_back(child.get());
        }
    }
    AddKeywords(collector, index.m_otherKeywords);
    m_pages = std::move(collector.Pages());
    m_counts = collector.Counts();
}

std::vector<GoneAnchor> KeywordAnchorCheck::Run(const LinkCheckOptions& options) {
    LinkCheckResult result = LinkChecker(options).Check(m_pages, m_counts);
    std::vector<GoneAnchor> gone;
    for (const LinkProblem& problem : result.problems) {
        if (problem.kind != LinkProblem::Kind::MissingAnchor) {
            continue;
        }
        for (const LinkUse& use : problem.uses) {
            gone.push_back({{use.entry, static_cast<std::size_t>(use.keyword)}, problem.url});
        }
    }
    return gone;
}

} // namespace tamblin

namespace tamblin {

KeywordAnchorCheck::~KeywordAnchorCheck() {
    Stop();
}

void KeywordAnchorCheck::Start(LinkCheckOptions options, std::function<void()> finished) {
    if (Started()) {
        return;
    }
    options.abortFlag = &m_abort;
    m_thread = std::jthread(
        [this, options = std::move(options), finished = std::move(finished)](std::stop_token stop) {
            std::stop_callback abort(stop, [this] { m_abort = 1; });
            std::vector<GoneAnchor> gone = Run(options);
            // Stopped part way, the check has not seen every page: what it found is not all.
            m_stopped = m_abort.load() != 0;
            if (!m_stopped) {
                m_gone = std::move(gone);
            }
            if (finished) {
                finished();
            }
        });
}

void KeywordAnchorCheck::Stop() {
    if (m_thread.joinable()) {
        m_thread.request_stop();
    }
}

void KeywordAnchorCheck::Wait() {
    if (m_thread.joinable()) {
        m_thread.join();
        m_done = true;
    }
}

} // namespace tamblin
