#include "linkcheck/AnchorCollector.h"

#include "index/TextUtils.h"
#include "scanner/TagReader.h"

#include <string_view>

namespace tamblin {

int AnchorCollector::OnTag(const std::string& name) {
    m_inAnchorTag = name.size() == 1 && (name[0] == 'a' || name[0] == 'A');
    return kPlainText;
}

void AnchorCollector::OnAttribute(const std::string& name, const std::string& value) {
    std::string lower = LowerText(name);
    if (lower == "id" || (lower == "name" && m_inAnchorTag)) {
        // The tag reader knows only double quotes; a value in single quotes keeps them.
        std::string_view text = value;
        if (text.size() >= 2 && text.front() == '\'' && text.back() == '\'') {
            text = text.substr(1, text.size() - 2);
        }
        m_anchors.insert(DecodeEntities(std::string(text)));
    }
}

} // namespace tamblin
