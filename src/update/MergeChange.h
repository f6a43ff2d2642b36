#pragma once

#include <string>
#include <vector>

namespace tamblin {

// One change an update from the site would make to an index.
struct MergeChange {
    enum class Kind { PageAdded, PageGone, PageRetitled, KeywordAdded, KeywordRemoved };
    Kind kind = Kind::PageAdded;
    std::string url;    // the page's full URL
    std::string title;  // the page's title: the new one for an added page
    std::string before; // retitled: the title now; keyword removed: its phrase
    std::string after;  // retitled: the scan's title; keyword added: its phrase; page added:
                        // the URL of the page that links to it, empty for the top level
    // Whether to make the change. For a gone page, true removes its entry; false keeps it,
    // taken out of the contents, without the keywords the scan gave it.
    bool apply = true;
    // Gone page: how many of its keywords the scan gave it. Kept, the page loses them (Look for
    // would lead readers to a page that is not there); the keywords the author added stay.
    int scanKeywords = 0;
};

struct MergeResult {
    std::vector<MergeChange> changes;
    // Titles, keywords, places and settings of the author's that the update keeps.
    int authorEditsKept = 0;

    int Count(MergeChange::Kind kind) const {
        int count = 0;
        for (const MergeChange& change : changes) {
            count += change.kind == kind ? 1 : 0;
        }
        return count;
    }
};

} // namespace tamblin
