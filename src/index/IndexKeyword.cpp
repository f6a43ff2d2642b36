#include "index/IndexKeyword.h"

#include "index/IndexEntry.h"

#include <utility>

namespace tamblin {

IndexKeyword::IndexKeyword(IndexEntry* owner, std::string phrase, std::string anchor,
                           std::string extraTitle, std::string targetFrame, int ownTarget)
    : m_owner(owner), m_phrase(std::move(phrase)), m_anchor(std::move(anchor)),
      m_extraTitle(std::move(extraTitle)), m_targetFrame(std::move(targetFrame)),
      m_ownTarget(ownTarget) {}

std::string IndexKeyword::FullUrl() const {
    return m_owner ? m_owner->FullUrl() + m_anchor : m_anchor;
}

std::string IndexKeyword::FullTitle() const {
    return m_owner ? m_owner->m_title + m_extraTitle : m_extraTitle;
}

} // namespace tamblin
