#pragma once

#include <string>

namespace tamblin {

class IndexEntry;

// One keyword phrase, held by value in its owner's list. For Other Index keywords the
// anchor is the whole URL and the extra title the whole title.
class IndexKeyword {
public:
    IndexKeyword(IndexEntry* owner, std::string phrase, std::string anchor, std::string extraTitle,
                 std::string targetFrame, int ownTarget);

    std::string FullUrl() const;
    std::string FullTitle() const;

    IndexEntry* m_owner;
    std::string m_phrase;
    std::string m_anchor;
    std::string m_extraTitle;
    std::string m_targetFrame;
    int m_ownTarget;
};

} // namespace tamblin
