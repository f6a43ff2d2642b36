#pragma once

#include <QWizardPage>

class QLineEdit;

namespace tamblin {

class SearchPageWizard;

// Page 1, "Location": where the new page is written.
class CCallLocation final : public QWizardPage {
    Q_OBJECT
public:
    explicit CCallLocation(SearchPageWizard& wizard);

    void initializePage() override;
    void cleanupPage() override {}
    bool isComplete() const override;
    bool validatePage() override;

private:
    void Browse();
    void Edited(const QString& text);

    SearchPageWizard& m_wizard;
    QLineEdit* m_location = nullptr;
    bool m_overwriteAgreed = false;
};

} // namespace tamblin
