#pragma once

#include "scanner/HttpPageSource.h"

#include <atomic>
#include <cstddef>
#include <functional>
#include <string>
#include <vector>

namespace tamblin {

class IndexEntry;

// Where the index uses a link: an entry's own URL, or one of its keywords.
struct LinkUse {
    IndexEntry* entry = nullptr;
    int keyword = -1;  // position in the entry's keyword list; -1 for the entry's URL
    std::string where; // the entry's path in the tree, for people to read
};

// One use of a link, as the index spells it.
struct LinkRef {
    std::string url;      // the full URL: base URL text, URL and anchor
    std::string fragment; // the anchor after "#", empty without one
    LinkUse use;
};

// One page the check opens once, for every anchor asked of it.
struct LinkPage {
    std::string location; // a local path, or an http(s) URL without its fragment
    bool http = false;
    std::vector<LinkRef> refs;
};

struct LinkProblem {
    enum class Kind { Broken, MissingAnchor, Redirect };
    Kind kind = Kind::Broken;
    std::string url;    // the URL as the index spells it
    std::string detail; // the status, the error, or where a redirect ends
    std::vector<LinkUse> uses;
};

struct LinkCheckOptions {
    // The answer and stall timeouts and the number of transfers at once.
    FetchOptions fetch;
    bool offSite = false;
    // Pages a site's robots.txt closes to this program are left alone, as a scan leaves them.
    bool polite = true;
    // Set from another thread (Cancel) or a signal handler; checked between blocks.
    const std::atomic<int>* abortFlag = nullptr;
    // Called on the checking thread after each page: pages done, pages in all.
    std::function<void(size_t done, size_t total)> progress;
    // Pages in one http answer beyond this are not searched for anchors.
    size_t bodyLimit = 32 * 1024 * 1024;
};

struct LinkCheckResult {
    int links = 0;        // every entry URL and keyword URL that is not empty
    int distinct = 0;     // distinct full URLs checked
    int duplicates = 0;   // uses of a URL after its first
    int pages = 0;        // pages opened or asked for
    int skipped = 0;      // mailto:, javascript: and other schemes that are no page
    int offSite = 0;      // absolute URLs off the site, left alone without the option
    int robotsClosed = 0; // pages not asked for: their site's robots.txt closes them to us
    bool aborted = false;
    std::vector<LinkProblem> problems;
};

const char* LinkProblemName(LinkProblem::Kind kind);

} // namespace tamblin
