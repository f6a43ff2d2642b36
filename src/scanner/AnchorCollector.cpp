#include "scanner/AnchorCollector.h"

#include "index/TextUtils.h"
#include "scanner/TagReader.h"

namespace tamblin {

int AnchorCollector::OnTag(const std::string& name) {
    m_inAnchorTag = name.size() == 1 && (name[0] == 'a' || name[0] == 'A');
    return kPlainText;
}

void AnchorCollector::OnAttribute(const std::string& name, const std::string& value) {
    std::string lower = LowerText(name);
    if (lower == "id" || (lower == "name" && m_inAnchorTag)) {
        m_anchors.insert(DecodeEntities(value));
    }
}

} // namespace tamblin
