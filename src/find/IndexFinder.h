#pragma once

#include "find/FindHit.h"

#include <string>

namespace tamblin {

class IndexEntry;
class IndexFile;

// The user's find options. The text is in the index file's own coding.
struct FindRequest {
    std::string text;
    bool matchCase = false;
    bool wholeWord = false;
    bool inUrls = true;
    bool inIndices = true;
};

// Find next over an index: forward from a node through the tree, never wrapping. It keeps
// the text of the previous search, so that asking again for the same text moves past the
// node of the last hit instead of finding it again.
class IndexFinder {
public:
    enum class Outcome { Found, NotFound, NoScope };

    struct Result {
        Outcome outcome = Outcome::NotFound;
        FindHit hit;
        // The text as it was compared: lowered unless case matters. Messages show this.
        std::string searched;
    };

    // `start` is the selected entry, or null for the root. The tree is only read.
    Result FindNext(IndexFile& index, IndexEntry* start, const FindRequest& request);
    const std::string& PreviousText() const { return m_previous; }

private:
    std::string m_previous;
};

} // namespace tamblin
