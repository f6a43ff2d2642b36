#include "scanner/HttpPageSource.h"

#include "index/TextUtils.h"
#include "index/UrlUtils.h"
#include "scanner/CurlSetup.h"

#include <algorithm>
#include <chrono>
#include <cstring>
#include <thread>
#include <unordered_map>
#include <vector>

namespace tamblin {

namespace {

using Clock = std::chrono::steady_clock;

// How long one wait for the network lasts before the abort flag is looked at again.
constexpr int kWaitMs = 50;
// The body of an answer other than 200 is read to its end when it is short, so that its
// connection can serve the next page; a longer one, or one that takes longer, closes it.
constexpr size_t kDrainLimit = 64 * 1024;
constexpr auto kDrainTime = std::chrono::milliseconds(250);

bool IsHttp(const std::string& location) {
    auto startsWithNoCase = [&](std::string_view prefix) {
        if (location.size() < prefix.size()) {
            return false;
        }
        for (size_t i = 0; i < prefix.size(); ++i) {
            char c = location[i];
            if (c >= 'A' && c <= 'Z') {
                c = static_cast<char>(c + 32);
            }
            if (c != prefix[i]) {
                return false;
            }
        }
        return true;
    };
    return startsWithNoCase("http://") || startsWithNoCase("https://");
}

} // namespace

std::string RequestUrl(const std::string& location) {
    // A space, and what no address may hold unescaped, as browsers send them.
    return PercentEncode(location, " \"<>\\^`{|}");
}

struct HttpTransfer {
    HttpPageSource::Impl* owner = nullptr;
    CURL* easy = nullptr;
    std::string location;
    bool checkStatus = false;
    std::string buffer;
    size_t readPosition = 0;
    bool answered = false;
    bool bodyStarted = false;
    bool rejected = false;
    size_t drained = 0;
    Clock::time_point rejectedAt;
    bool paused = false;
    bool done = false;
    bool timedOut = false;
    CURLcode result = CURLE_OK;
    // Timeouts run only once the reader waits for this page, and only while no transfer
    // receives anything: a server busy answering the pages fetched ahead is not silent. So
    // fetching ahead never fails a page that reading one at a time would have read.
    bool wanted = false;
    Clock::time_point wantedAt;

    size_t Available() const { return buffer.size() - readPosition; }
};

struct HttpPageSource::Impl {
    FetchOptions options;
    const std::atomic<int>* abortFlag = nullptr;
    CURLM* multi = nullptr;
    std::vector<CURL*> spareHandles;
    // Fetched ahead and not opened yet, by location.
    std::unordered_map<std::string, std::unique_ptr<HttpTransfer>> waiting;
    // Every transfer that exists, waiting or being read.
    std::vector<HttpTransfer*> live;
    long connections = 0;
    // When any transfer last received something, or the reader last made room in one.
    Clock::time_point lastActivity = Clock::now();
    Clock::time_point lastStart;
    bool started = false;

    ~Impl() {
        for (auto& entry : waiting) {
            Discard(*entry.second);
        }
        waiting.clear();
        for (CURL* easy : spareHandles) {
            curl_easy_cleanup(easy);
        }
        if (multi) {
            curl_multi_cleanup(multi);
        }
    }

    bool Aborting() const { return abortFlag && abortFlag->load(std::memory_order_relaxed) != 0; }

    static size_t OnHeader(char* /*data*/, size_t size, size_t count, void* user) {
        auto* transfer = static_cast<HttpTransfer*>(user);
        transfer->answered = true;
        transfer->owner->lastActivity = Clock::now();
        return size * count;
    }

    static size_t OnBody(char* data, size_t size, size_t count, void* user) {
        auto* transfer = static_cast<HttpTransfer*>(user);
        size_t length = size * count;
        transfer->owner->lastActivity = Clock::now();
        if (transfer->rejected) {
            transfer->drained += length;
            return transfer->drained > kDrainLimit ? 0 : length;
        }
        if (!transfer->bodyStarted) {
            // The answer that has a body is the final one: redirects were followed by now.
            if (transfer->checkStatus) {
                long status = 0;
                curl_easy_getinfo(transfer->easy, CURLINFO_RESPONSE_CODE, &status);
                if (status != 200) {
                    transfer->rejected = true;
                    transfer->rejectedAt = Clock::now();
                    transfer->drained = length;
                    return length;
                }
            }
            transfer->bodyStarted = true;
        }
        if (transfer->Available() >= transfer->owner->options.bufferLimit) {
            transfer->paused = true;
            return CURL_WRITEFUNC_PAUSE;
        }
        if (transfer->readPosition > 0) {
            transfer->buffer.erase(0, transfer->readPosition);
            transfer->readPosition = 0;
        }
        transfer->buffer.append(data, length);
        return length;
    }

    std::unique_ptr<HttpTransfer> Start(const std::string& location) {
        auto transfer = std::make_unique<HttpTransfer>();
        transfer->owner = this;
        transfer->location = location;
        transfer->checkStatus = IsHttp(location);
        WaitForTurn();
        live.push_back(transfer.get());
        // A location without a scheme is no URL; libcurl would guess one.
        if (!IsAbsoluteUrl(location)) {
            transfer->done = true;
            transfer->result = CURLE_URL_MALFORMAT;
            return transfer;
        }
        CURL* easy = nullptr;
        if (!spareHandles.empty()) {
            easy = spareHandles.back();
            spareHandles.pop_back();
        } else {
            easy = curl_easy_init();
        }
        if (!easy) {
            transfer->done = true;
            transfer->result = CURLE_OUT_OF_MEMORY;
            return transfer;
        }
        transfer->easy = easy;
        std::string url = RequestUrl(location);
        curl_easy_setopt(easy, CURLOPT_URL, url.c_str());
        curl_easy_setopt(easy, CURLOPT_PRIVATE, transfer.get());
        curl_easy_setopt(easy, CURLOPT_WRITEFUNCTION, &Impl::OnBody);
        curl_easy_setopt(easy, CURLOPT_WRITEDATA, transfer.get());
        curl_easy_setopt(easy, CURLOPT_HEADERFUNCTION, &Impl::OnHeader);
        curl_easy_setopt(easy, CURLOPT_HEADERDATA, transfer.get());
        ApplyFetchOptions(easy, options, "http,https,ftp,ftps,file", "http,https,ftp,ftps");
        if (curl_multi_add_handle(multi, easy) != CURLM_OK) {
            Finish(*transfer, CURLE_FAILED_INIT);
        }
        return transfer;
    }

    // Spaces requests by options.delayMs; an abort ends the wait.
    void WaitForTurn() {
        if (options.delayMs <= 0) {
            return;
        }
        auto gap = std::chrono::milliseconds(options.delayMs);
        while (started && Clock::now() - lastStart < gap && !Aborting()) {
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        started = true;
        lastStart = Clock::now();
    }

    void Finish(HttpTransfer& transfer, CURLcode result) {
        if (transfer.done) {
            return;
        }
        transfer.done = true;
        transfer.result = result;
        if (transfer.easy) {
            long opened = 0;
            if (curl_easy_getinfo(transfer.easy, CURLINFO_NUM_CONNECTS, &opened) == CURLE_OK) {
                connections += opened;
            }
            curl_multi_remove_handle(multi, transfer.easy);
        }
    }

    // Ends a transfer whether or not it was done, and keeps its handle for the next one.
    void Discard(HttpTransfer& transfer) {
        Finish(transfer, CURLE_ABORTED_BY_CALLBACK);
        if (transfer.easy) {
            curl_easy_reset(transfer.easy);
            spareHandles.push_back(transfer.easy);
            transfer.easy = nullptr;
        }
        live.erase(std::remove(live.begin(), live.end(), &transfer), live.end());
    }

    void CheckTimeouts() {
        Clock::time_point now = Clock::now();
        auto answer = std::chrono::milliseconds(options.answerTimeoutMs);
        auto stall = std::chrono::milliseconds(options.stallTimeoutMs);
        for (HttpTransfer* transfer : live) {
            if (transfer->done || !transfer->wanted || transfer->paused) {
                continue;
            }
            auto quiet = now - std::max(transfer->wantedAt, lastActivity);
            if (quiet > (transfer->answered ? stall : answer)) {
                transfer->timedOut = true;
                Finish(*transfer, CURLE_OPERATION_TIMEDOUT);
            }
        }
    }

    // Waits up to waitMs for the network, then moves every transfer on.
    void Pump(int waitMs) {
        if (waitMs > 0) {
            curl_multi_poll(multi, nullptr, 0, waitMs, nullptr);
        }
        int running = 0;
        curl_multi_perform(multi, &running);
        int left = 0;
        while (CURLMsg* message = curl_multi_info_read(multi, &left)) {
            if (message->msg != CURLMSG_DONE) {
                continue;
            }
            CURLcode result = message->data.result;
            HttpTransfer* transfer = nullptr;
            curl_easy_getinfo(message->easy_handle, CURLINFO_PRIVATE, &transfer);
            if (transfer) {
                Finish(*transfer, result);
            }
        }
        CheckTimeouts();
    }

    bool Opened(HttpTransfer& transfer) {
        transfer.wanted = true;
        transfer.wantedAt = Clock::now();
        while (true) {
            if (transfer.rejected) {
                if (transfer.done || Clock::now() - transfer.rejectedAt > kDrainTime ||
                    Aborting()) {
                    return false;
                }
                Pump(kWaitMs);
                continue;
            }
            if (transfer.bodyStarted) {
                return true;
            }
            if (transfer.done) {
                if (transfer.result != CURLE_OK || !transfer.easy) {
                    return false;
                }
                long status = 0;
                curl_easy_getinfo(transfer.easy, CURLINFO_RESPONSE_CODE, &status);
                return !transfer.checkStatus || status == 200;
            }
            if (Aborting()) {
                return false;
            }
            Pump(kWaitMs);
        }
    }

    size_t Read(HttpTransfer& transfer, char* buffer, size_t size) {
        while (true) {
            size_t available = transfer.Available();
            if (available >= size || transfer.done) {
                size_t count = std::min(available, size);
                std::memcpy(buffer, transfer.buffer.data() + transfer.readPosition, count);
                transfer.readPosition += count;
                return count;
            }
            if (Aborting()) {
                return 0;
            }
            if (transfer.paused) {
                transfer.paused = false;
                lastActivity = Clock::now();
                curl_easy_pause(transfer.easy, CURLPAUSE_CONT);
                continue;
            }
            Pump(kWaitMs);
        }
    }
};

namespace {

class HttpInput final : public PageInput {
public:
    HttpInput(HttpPageSource::Impl& source, std::unique_ptr<HttpTransfer> transfer)
        : m_source(source), m_transfer(std::move(transfer)) {}
    ~HttpInput() override { m_source.Discard(*m_transfer); }
    HttpInput(const HttpInput&) = delete;
    HttpInput& operator=(const HttpInput&) = delete;

    size_t Read(char* buffer, size_t size) override {
        return m_source.Read(*m_transfer, buffer, size);
    }
    bool TimedOut() const override { return m_transfer->timedOut; }
    std::string ContentType() const override { return Info(CURLINFO_CONTENT_TYPE); }
    std::string ContentLanguage() const override {
        struct curl_header* header = nullptr;
        // Of the last answer, the one after any redirects.
        if (!m_transfer->easy ||
            curl_easy_header(m_transfer->easy, "Content-Language", 0, CURLH_HEADER, -1, &header) !=
                CURLHE_OK ||
            !header || !header->value) {
            return "";
        }
        return header->value;
    }
    std::string FinalLocation() const override {
        long redirects = 0;
        if (!m_transfer->easy ||
            curl_easy_getinfo(m_transfer->easy, CURLINFO_REDIRECT_COUNT, &redirects) != CURLE_OK ||
            redirects == 0) {
            return "";
        }
        return Info(CURLINFO_EFFECTIVE_URL);
    }

private:
    std::string Info(CURLINFO what) const {
        const char* text = nullptr;
        if (!m_transfer->easy || curl_easy_getinfo(m_transfer->easy, what, &text) != CURLE_OK ||
            !text) {
            return "";
        }
        return text;
    }

    HttpPageSource::Impl& m_source;
    std::unique_ptr<HttpTransfer> m_transfer;
};

} // namespace

std::unique_ptr<HttpPageSource> HttpPageSource::Create(const FetchOptions& options,
                                                       const std::atomic<int>* abortFlag) {
    if (!CurlReady()) {
        return nullptr;
    }
    auto impl = std::make_unique<Impl>();
    impl->options = options;
    impl->options.jobs = options.delayMs > 0 ? 1 : std::max<size_t>(1, options.jobs);
    impl->abortFlag = abortFlag;
    impl->multi = curl_multi_init();
    if (!impl->multi) {
        return nullptr;
    }
    // A page fetched ahead pauses once its buffer is full and waits for the reader, so no
    // transfer may ever wait on another inside libcurl: sharing one connection through
    // multiplexing, or waiting to learn whether the server multiplexes (which libcurl asks
    // again after every connection an HTTP/1.0 server closed), would stall the page read
    // now behind a paused one until its timeout failed it. Every transfer gets a
    // connection of its own, a fresh one or an idle one that is kept alive.
    curl_multi_setopt(impl->multi, CURLMOPT_PIPELINING, static_cast<long>(CURLPIPE_NOTHING));
    return std::unique_ptr<HttpPageSource>(new HttpPageSource(std::move(impl)));
}

HttpPageSource::HttpPageSource(std::unique_ptr<Impl> impl) : m_impl(std::move(impl)) {}

HttpPageSource::~HttpPageSource() = default;

void HttpPageSource::Prefetch(const std::string& location) {
    if (m_impl->waiting.count(location) == 0) {
        m_impl->waiting.emplace(location, m_impl->Start(location));
        // Send the request now: the page being read may not wait for the network again.
        m_impl->Pump(0);
    }
}

size_t HttpPageSource::PrefetchRoom() const {
    size_t used = m_impl->live.size();
    return used < m_impl->options.jobs ? m_impl->options.jobs - used : 0;
}

std::unique_ptr<PageInput> HttpPageSource::Open(const std::string& location) {
    std::unique_ptr<HttpTransfer> transfer;
    if (auto it = m_impl->waiting.find(location); it != m_impl->waiting.end()) {
        transfer = std::move(it->second);
        m_impl->waiting.erase(it);
    } else {
        transfer = m_impl->Start(location);
    }
    if (!m_impl->Opened(*transfer)) {
        m_impl->Discard(*transfer);
        return nullptr;
    }
    return std::make_unique<HttpInput>(*m_impl, std::move(transfer));
}

long HttpPageSource::ConnectionsOpened() const {
    return m_impl->connections;
}

size_t HttpPageSource::BufferedBytes() const {
    size_t total = 0;
    for (const HttpTransfer* transfer : m_impl->live) {
        total += transfer->Available();
    }
    return total;
}

} // namespace tamblin
