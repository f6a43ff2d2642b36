#pragma once

#include "keywords/KeywordIndex.h"
#include "linkcheck/LinkCheck.h"

#include <string>
#include <vector>

namespace tamblin {

class IndexFile;

// A keyword whose "#anchor" its page no longer has.
struct GoneAnchor {
    KeywordRef keyword;
    std::string url; // the keyword's full URL, as the index spells it
};

// The links to check for the keywords of `index` that name an anchor: gathered on the thread
// that owns the index, checked anywhere (with the link check's own checker).
class KeywordAnchorCheck {
public:
    // folder: the index file's own folder, where relative URLs are looked for.
    KeywordAnchorCheck(IndexFile& index, const std::string& folder, bool offSite);

    // May run on another thread; the index must not change meanwhile.
    std::vector<GoneAnchor> Run(const LinkCheckOptions& options);

private:
    std::vector<LinkPage> m_pages;
    LinkCheckResult m_counts;
};

} // namespace tamblin
