#pragma once

#include "scanner/HttpPageSource.h"

#include <curl/curl.h>

namespace tamblin {

// libcurl's process-wide set-up, done once; false when it failed.
bool CurlReady();

// What every request of the scanner and the link check shares: the user agent, the answer
// timeout for connecting, redirects and their limit, no signals. Proxies are left to
// libcurl, which reads them from the environment. `protocols` and `redirectProtocols` are
// libcurl's comma-separated lists.
void ApplyFetchOptions(CURL* easy, const FetchOptions& options, const char* protocols,
                       const char* redirectProtocols);

} // namespace tamblin
