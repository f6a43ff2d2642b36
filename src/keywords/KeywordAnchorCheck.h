#pragma once

#include "keywords/KeywordIndex.h"
#include "linkcheck/LinkCheck.h"

#include <atomic>
#include <functional>
#include <string>
#include <thread>
#include <vector>

namespace tamblin {

class IndexFile;

// A keyword whose "#anchor" its page no longer has.
struct GoneAnchor {
    KeywordRef keyword;
    std::string url; // the keyword's full URL, as the index spells it
};

// The links to check for the keywords of `index` that name an anchor: gathered on the thread
// that owns the index, checked there (Run) or on a thread of the check's own (Start), with the
// link check's own checker. The check reads only what it gathered, never the index; the places
// of the keywords it gives back are right as long as the index has not changed since.
class KeywordAnchorCheck {
public:
    // folder: the index file's own folder, where relative URLs are looked for.
    KeywordAnchorCheck(IndexFile& index, const std::string& folder, bool offSite);
    // Stops a check that is still running and waits for its thread.
    ~KeywordAnchorCheck();
    KeywordAnchorCheck(const KeywordAnchorCheck&) = delete;
    KeywordAnchorCheck& operator=(const KeywordAnchorCheck&) = delete;

    std::vector<GoneAnchor> Run(const LinkCheckOptions& options);

    // Checks on a thread of its own, once. `options.progress` and then `finished` are called
    // on that thread (finished also after Stop); its abort flag is the check's own.
    void Start(LinkCheckOptions options, std::function<void()> finished);
    // Asks a started check to end soon, without waiting.
    void Stop();
    // Waits for a started check to end; Result() may be read after it.
    void Wait();
    bool Started() const { return m_thread.joinable() || m_done; }
    // What a started check found, once it ended (Wait); empty when it was stopped.
    const std::vector<GoneAnchor>& Result() const { return m_gone; }
    bool Stopped() const { return m_stopped; }

private:
    std::vector<LinkPage> m_pages;
    LinkCheckResult m_counts;
    std::atomic<int> m_abort{0};
    // Written by the check's thread before it ends, read after the join.
    std::vector<GoneAnchor> m_gone;
    bool m_stopped = false;
    bool m_done = false;
    // Last, so that it is joined before what its thread uses goes away.
    std::jthread m_thread;
};

} // namespace tamblin
