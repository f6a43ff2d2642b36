#pragma once

#include "searchpage/ui/StoringWizardPage.h"

class QLineEdit;

namespace tamblin {

// Page 5, "Images": file names of images that replace the applet's defaults. Not checked.
class CCallImages final : public StoringWizardPage {
    Q_OBJECT
public:
    explicit CCallImages(SearchPageWizard& wizard);

    void initializePage() override;

private:
    QLineEdit* AddRow(int row, const QString& label, const QString& name,
                      const QString& defaultImage);
    void Store() override;

    QLineEdit* m_contentsIcons = nullptr;
    QLineEdit* m_tabIcons = nullptr;
    QLineEdit* m_icon = nullptr;
};

} // namespace tamblin
