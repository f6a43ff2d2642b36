#include "contents/ui/CPropertyPage.h"

namespace tamblin {

void CPropertyPage::Activate() {
    if (!m_initialised) {
        m_initialised = true;
        OnInitPage();
    }
    OnSetActive();
}

} // namespace tamblin
