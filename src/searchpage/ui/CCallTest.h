#pragma once

#include "searchpage/ui/StoringWizardPage.h"

class QCheckBox;
class QRadioButton;

namespace tamblin {

// Page 6, "Test Options": which applet version the page runs, whether to test it at once,
// whether to copy the applet's files beside it and whether the page also names the script
// that shows the index where no browser runs Java, with its companion scripts for pages
// opened from disk, and whether the page is the side-by-side one.
class CCallTest final : public StoringWizardPage {
    Q_OBJECT
public:
    explicit CCallTest(SearchPageWizard& wizard);

    void initializePage() override;

private:
    void Store() override;

    QRadioButton* m_versions[3] = {};
    QCheckBox* m_testNow = nullptr;
    QCheckBox* m_copyJavaFiles = nullptr;
    QCheckBox* m_webViewer = nullptr;
    QCheckBox* m_companions = nullptr;
    QCheckBox* m_sideLayout = nullptr;
};

} // namespace tamblin
