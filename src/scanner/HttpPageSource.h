#pragma once

#include "scanner/PageInput.h"

#include <atomic>
#include <cstddef>
#include <memory>
#include <string>

namespace tamblin {

struct FetchOptions {
    // Transfers at once, the page being read included; 1 reads one page at a time.
    size_t jobs = 4;
    // A server must start its answer within this time ...
    int answerTimeoutMs = 30000;
    // ... and may not go quiet for longer than this while sending it.
    int stallTimeoutMs = 60000;
    long maxRedirects = 10;
    // A transfer that has this much unread waits for its reader.
    size_t bufferLimit = 256 * 1024;
    // Requests start at least this far apart (one page at a time then).
    int delayMs = 0;
    std::string userAgent = "Tamblin";
};

// Pages over HTTP(S) through libcurl. One multi handle drives every transfer, so
// connections are reused and pages fetched ahead download while another page is read; all
// of it happens on the thread that reads. Proxies come from the environment as libcurl
// reads them. A page opens once its final answer (after at most maxRedirects redirects) is
// 200 and its body begins; locations that are not http(s) are opened without that check.
// The inputs handed out must be destroyed before the source.
// Locations are written as pages spell them; a request needs spaces, control bytes and the
// bytes above ASCII escaped.
std::string RequestUrl(const std::string& location);

class HttpPageSource final : public PageSource {
public:
    // Nothing when libcurl cannot be set up.
    static std::unique_ptr<HttpPageSource> Create(const FetchOptions& options,
                                                  const std::atomic<int>* abortFlag);
    ~HttpPageSource() override;
    HttpPageSource(const HttpPageSource&) = delete;
    HttpPageSource& operator=(const HttpPageSource&) = delete;

    std::unique_ptr<PageInput> Open(const std::string& location) override;
    void Prefetch(const std::string& location) override;
    size_t PrefetchRoom() const override;

    // Connections opened so far, and bytes received but not yet read.
    long ConnectionsOpened() const;
    size_t BufferedBytes() const;

    struct Impl;

private:
    explicit HttpPageSource(std::unique_ptr<Impl> impl);
    std::unique_ptr<Impl> m_impl;
};

} // namespace tamblin
