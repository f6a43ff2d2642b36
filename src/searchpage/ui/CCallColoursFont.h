#pragma once

#include "searchpage/ui/StoringWizardPage.h"

#include <string>
#include <vector>

class QComboBox;
class QLineEdit;
class QRadioButton;

namespace tamblin {

// Page 4, "Colours and Font": the applet's seven colours, its font and the shape of its
// expand/contract controls.
class CCallColoursFont final : public StoringWizardPage {
    Q_OBJECT
public:
    explicit CCallColoursFont(SearchPageWizard& wizard);

    void initializePage() override;

private:
    std::vector<std::string*> Fields();
    void Store() override;

    std::vector<QComboBox*> m_colours;
    QLineEdit* m_font = nullptr;
    QRadioButton* m_round = nullptr;
    QRadioButton* m_square = nullptr;
};

} // namespace tamblin
