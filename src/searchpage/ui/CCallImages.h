#pragma once

#include <QWizardPage>

class QLineEdit;

namespace tamblin {

class SearchPageWizard;

// Page 5, "Images": file names of images that replace the applet's defaults. Not checked.
class CCallImages final : public QWizardPage {
    Q_OBJECT
public:
    explicit CCallImages(SearchPageWizard& wizard);

    void initializePage() override;
    void cleanupPage() override { Store(); }
    bool validatePage() override {
        Store();
        return true;
    }

private:
    QLineEdit* AddRow(int row, const QString& label, const QString& name,
                      const QString& defaultImage);
    void Store();

    SearchPageWizard& m_wizard;
    QLineEdit* m_contentsIcons = nullptr;
    QLineEdit* m_tabIcons = nullptr;
    QLineEdit* m_icon = nullptr;
};

} // namespace tamblin
