#pragma once

#include <string>

namespace tamblin {

class BaseUrl {
public:
    BaseUrl(int id, std::string url, std::string targetFrame, int inUse);

    // Copies what a working copy needs; the id text and the deletion mark stay.
    void CopyValuesTo(BaseUrl& other) const;

    int m_id;
    std::string m_idText;
    std::string m_url; // ends with "/" whenever it is not empty
    std::string m_targetFrame;
    int m_inUse;
    int m_deletionMark = 0;
};

} // namespace tamblin
