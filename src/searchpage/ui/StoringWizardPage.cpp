#include "searchpage/ui/StoringWizardPage.h"

namespace tamblin {

StoringWizardPage::StoringWizardPage(SearchPageWizard& wizard, const QString& name,
                                     const QString& title)
    : m_wizard(wizard) {
    setObjectName(name);
    setTitle(title);
}

} // namespace tamblin
