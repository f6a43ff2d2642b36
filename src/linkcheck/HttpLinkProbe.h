#pragma once

#include "linkcheck/LinkCheck.h"
#include "linkcheck/LinkPageOutcome.h"
#include "scanner/HttpPageSource.h"

#include <atomic>
#include <functional>
#include <memory>
#include <vector>

namespace tamblin {

// Asks web servers about pages, several at once on one libcurl multi handle: HEAD for a
// page whose anchors nobody asks about, GET (and the anchors read from the answer) for
// one that has them, and GET again where a server refuses HEAD. Redirects are followed.
class HttpLinkProbe {
public:
    using Done = std::function<void(size_t index, LinkPageOutcome outcome)>;

    // Nothing when libcurl cannot be set up.
    static std::unique_ptr<HttpLinkProbe>
    Create(const FetchOptions& options, const std::atomic<int>* abortFlag, size_t bodyLimit);
    ~HttpLinkProbe();
    HttpLinkProbe(const HttpLinkProbe&) = delete;
    HttpLinkProbe& operator=(const HttpLinkProbe&) = delete;

    // Checks every page; done runs on this thread as each one ends, in any order. Returns
    // early, leaving pages without an outcome, when the abort flag is set.
    void Run(const std::vector<const LinkPage*>& pages, const Done& done);

    struct Impl;

private:
    explicit HttpLinkProbe(std::unique_ptr<Impl> impl);
    std::unique_ptr<Impl> m_impl;
};

} // namespace tamblin
