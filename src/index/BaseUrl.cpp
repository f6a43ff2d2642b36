#include "index/BaseUrl.h"

#include <utility>

namespace tamblin {

BaseUrl::BaseUrl(int id, std::string url, std::string targetFrame, int inUse)
    : m_id(id), m_url(std::move(url)), m_targetFrame(std::move(targetFrame)), m_inUse(inUse) {}

void BaseUrl::CopyValuesTo(BaseUrl& other) const {
    other.m_id = m_id;
    other.m_url = m_url;
    other.m_targetFrame = m_targetFrame;
    other.m_inUse = m_inUse;
}

} // namespace tamblin
