#include "scanner/CurlSetup.h"

#include <mutex>

namespace tamblin {

bool CurlReady() {
    static std::once_flag once;
    static bool ready = false;
    std::call_once(once, [] { ready = curl_global_init(CURL_GLOBAL_DEFAULT) == CURLE_OK; });
    return ready;
}

void ApplyFetchOptions(CURL* easy, const FetchOptions& options, const char* protocols,
                       const char* redirectProtocols) {
    curl_easy_setopt(easy, CURLOPT_FOLLOWLOCATION, 1L);
    curl_easy_setopt(easy, CURLOPT_MAXREDIRS, options.maxRedirects);
    curl_easy_setopt(easy, CURLOPT_PROTOCOLS_STR, protocols);
    curl_easy_setopt(easy, CURLOPT_REDIR_PROTOCOLS_STR, redirectProtocols);
    curl_easy_setopt(easy, CURLOPT_USERAGENT, options.userAgent.c_str());
    curl_easy_setopt(easy, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(easy, CURLOPT_CONNECTTIMEOUT_MS, static_cast<long>(options.answerTimeoutMs));
}

} // namespace tamblin
