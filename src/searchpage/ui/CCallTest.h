#pragma once

#include <QWizardPage>

class QCheckBox;
class QRadioButton;

namespace tamblin {

class SearchPageWizard;

// Page 6, "Test Options": which applet version the page runs, whether to test it at once
// and whether to copy the applet's files beside it.
class CCallTest final : public QWizardPage {
    Q_OBJECT
public:
    explicit CCallTest(SearchPageWizard& wizard);

    void initializePage() override;
    void cleanupPage() override { Store(); }
    bool validatePage() override {
        Store();
        return true;
    }

private:
    void Store();

    SearchPageWizard& m_wizard;
    QRadioButton* m_versions[3] = {};
    QCheckBox* m_testNow = nullptr;
    QCheckBox* m_copyJavaFiles = nullptr;
};

} // namespace tamblin
