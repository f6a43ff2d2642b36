#pragma once

#include <string>

namespace tamblin {

// An index written without words (a scan with the full text off, or one that was stopped)
// must not keep the search index of an older scan beside it: the viewer would go on finding
// the pages as they were. The old folder is first renamed out of the way, in one step, so a
// reader sees it whole or not at all, and then deleted.
class SearchIndexRemoval {
public:
    enum class Outcome { NothingThere, Removed, Failed };

    static Outcome RemoveStale(const std::string& indexPath);
};

} // namespace tamblin
