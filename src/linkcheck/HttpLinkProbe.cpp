#include "linkcheck/HttpLinkProbe.h"

#include "linkcheck/AnchorCollector.h"
#include "scanner/CurlSetup.h"
#include "scanner/MemoryInput.h"
#include "scanner/TagReader.h"

#include <chrono>
#include <cstring>

namespace tamblin {

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kWaitMs = 50;

} // namespace

struct ProbeTransfer {
    HttpLinkProbe::Impl* owner = nullptr;
    size_t index = 0;
    const LinkPage* page = nullptr;
    CURL* easy = nullptr;
    bool head = false;
    bool wantBody = false;
    bool bodyCut = false;
    bool answered = false;
    Clock::time_point lastActivity;
    std::string body;
};

struct HttpLinkProbe::Impl {
    FetchOptions options;
    const std::atomic<int>* abortFlag = nullptr;
    size_t bodyLimit = 0;
    CURLM* multi = nullptr;
    std::vector<std::unique_ptr<ProbeTransfer>> live;

    ~Impl() {
        for (auto& transfer : live) {
            Drop(*transfer);
        }
        if (multi) {
            curl_multi_cleanup(multi);
        }
    }

    bool Aborting() const { return abortFlag && abortFlag->load(std::memory_order_relaxed) != 0; }

    static size_t OnHeader(char* /*data*/, size_t size, size_t count, void* user) {
        auto* transfer = static_cast<ProbeTransfer*>(user);
        transfer->answered = true;
        transfer->lastActivity = Clock::now();
        return size * count;
    }

    static size_t OnBody(char* data, size_t size, size_t count, void* user) {
        auto* transfer = static_cast<ProbeTransfer*>(user);
        size_t length = size * count;
        transfer->lastActivity = Clock::now();
        long status = 0;
        curl_easy_getinfo(transfer->easy, CURLINFO_RESPONSE_CODE, &status);
        // Only a page that is there has anchors worth reading; for the rest the status is
        // all we need, and stopping here saves the body.
        if (!transfer->wantBody || status >= 300) {
            return 0;
        }
        if (transfer->body.size() + length > transfer->owner->bodyLimit) {
            transfer->bodyCut = true;
            return 0;
        }
        transfer->body.append(data, length);
        return length;
    }

    void Start(size_t index, const LinkPage* page, bool head) {
        CURL* easy = curl_easy_init();
        auto transfer = std::make_unique<ProbeTransfer>();
        transfer->owner = this;
        transfer->index = index;
        transfer->page = page;
        transfer->easy = easy;
        transfer->head = head;
        transfer->lastActivity = Clock::now();
        for (const LinkRef& ref : page->refs) {
            transfer->wantBody = transfer->wantBody || !ref.fragment.empty();
        }
        if (easy) {
            std::string url = RequestUrl(page->location);
            curl_easy_setopt(easy, CURLOPT_URL, url.c_str());
            curl_easy_setopt(easy, CURLOPT_NOBODY, head ? 1L : 0L);
            curl_easy_setopt(easy, CURLOPT_WRITEFUNCTION, &Impl::OnBody);
            curl_easy_setopt(easy, CURLOPT_WRITEDATA, transfer.get());
            curl_easy_setopt(easy, CURLOPT_HEADERFUNCTION, &Impl::OnHeader);
            curl_easy_setopt(easy, CURLOPT_HEADERDATA, transfer.get());
            curl_easy_setopt(easy, CURLOPT_PRIVATE, transfer.get());
            ApplyFetchOptions(easy, options, "http,https", "http,https");
            curl_multi_add_handle(multi, easy);
        }
        live.push_back(std::move(transfer));
    }

    void Drop(ProbeTransfer& transfer) {
        if (transfer.easy) {
            curl_multi_remove_handle(multi, transfer.easy);
            curl_easy_cleanup(transfer.easy);
            transfer.easy = nullptr;
        }
    }

    LinkPageOutcome Outcome(ProbeTransfer& transfer, CURLcode result) {
        LinkPageOutcome outcome;
        curl_easy_getinfo(transfer.easy, CURLINFO_RESPONSE_CODE, &outcome.status);
        curl_easy_getinfo(transfer.easy, CURLINFO_REDIRECT_COUNT, &outcome.redirects);
        char* effective = nullptr;
        if (curl_easy_getinfo(transfer.easy, CURLINFO_EFFECTIVE_URL, &effective) == CURLE_OK &&
            effective) {
            outcome.finalUrl = effective;
        }
        // A body we stopped reading on purpose still gave its status.
        bool stoppedByUs = result == CURLE_WRITE_ERROR && outcome.status > 0;
        if (result != CURLE_OK && !stoppedByUs) {
            outcome.error = curl_easy_strerror(result);
            return outcome;
        }
        outcome.found = outcome.status >= 200 && outcome.status < 300;
        if (outcome.found && transfer.wantBody && !transfer.head) {
            AnchorCollector anchors;
            MemoryInput input(transfer.body);
            TagReader(&input, anchors, nullptr, abortFlag).Run();
            outcome.anchors = anchors.Anchors();
            outcome.anchorsRead = !transfer.bodyCut;
        }
        return outcome;
    }

    // A finished transfer: its outcome, or a GET in its place where HEAD was refused.
    void Finished(ProbeTransfer& transfer, CURLcode result, const Done& done) {
        long status = 0;
        curl_easy_getinfo(transfer.easy, CURLINFO_RESPONSE_CODE, &status);
        if (transfer.head && result == CURLE_OK && (status == 405 || status == 501)) {
            Start(transfer.index, transfer.page, false);
            return;
        }
        done(transfer.index, Outcome(transfer, result));
    }

    void CheckTimeouts(const Done& done) {
        Clock::time_point now = Clock::now();
        for (auto& transfer : live) {
            if (!transfer->easy) {
                continue;
            }
            int limit = transfer->answered ? options.stallTimeoutMs : options.answerTimeoutMs;
            if (now - transfer->lastActivity > std::chrono::milliseconds(limit)) {
                LinkPageOutcome outcome;
                outcome.error =
                    transfer->answered ? "the server stopped sending" : "the server did not answer";
                Drop(*transfer);
                done(transfer->index, std::move(outcome));
            }
        }
    }

    void Sweep() {
        std::erase_if(live, [](const std::unique_ptr<ProbeTransfer>& t) { return !t->easy; });
    }

    void Run(const std::vector<const LinkPage*>& pages, const Done& done) {
        size_t next = 0;
        size_t jobs = std::max<size_t>(1, options.jobs);
        while (!Aborting()) {
            while (live.size() < jobs && next < pages.size()) {
                bool head = true;
                for (const LinkRef& ref : pages[next]->refs) {
                    head = head && ref.fragment.empty();
                }
                Start(next, pages[next], head);
                ++next;
            }
            if (live.empty()) {
                return;
            }
            curl_multi_poll(multi, nullptr, 0, kWaitMs, nullptr);
            int running = 0;
            curl_multi_perform(multi, &running);
            int left = 0;
            while (CURLMsg* message = curl_multi_info_read(multi, &left)) {
                if (message->msg != CURLMSG_DONE) {
                    continue;
                }
                ProbeTransfer* transfer = nullptr;
                curl_easy_getinfo(message->easy_handle, CURLINFO_PRIVATE, &transfer);
                CURLcode result = message->data.result;
                // Finished may start a GET, which adds to live: no iterators are held here.
                Finished(*transfer, result, done);
                Drop(*transfer);
            }
            CheckTimeouts(done);
            Sweep();
        }
    }
};

std::unique_ptr<HttpLinkProbe> HttpLinkProbe::Create(const FetchOptions& options,
                                                     const std::atomic<int>* abortFlag,
                                                     size_t bodyLimit) {
    if (!CurlReady()) {
        return nullptr;
    }
    auto impl = std::make_unique<Impl>();
    impl->options = options;
    impl->abortFlag = abortFlag;
    impl->bodyLimit = bodyLimit;
    impl->multi = curl_multi_init();
    if (!impl->multi) {
        return nullptr;
    }
    return std::unique_ptr<HttpLinkProbe>(new HttpLinkProbe(std::move(impl)));
}

HttpLinkProbe::HttpLinkProbe(std::unique_ptr<Impl> impl) : m_impl(std::move(impl)) {}

HttpLinkProbe::~HttpLinkProbe() = default;

void HttpLinkProbe::Run(const std::vector<const LinkPage*>& pages, const Done& done) {
    m_impl->Run(pages, done);
}

} // namespace tamblin
