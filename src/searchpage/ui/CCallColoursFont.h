#pragma once

#include <QWizardPage>

#include <string>
#include <vector>

class QComboBox;
class QLineEdit;
class QRadioButton;

namespace tamblin {

class SearchPageWizard;

// Page 4, "Colours and Font": the applet's seven colours, its font and the shape of its
// expand/contract controls.
class CCallColoursFont final : public QWizardPage {
    Q_OBJECT
public:
    explicit CCallColoursFont(SearchPageWizard& wizard);

    void initializePage() override;
    void cleanupPage() override { Store(); }
    bool validatePage() override {
        Store();
        return true;
    }

private:
    std::vector<std::string*> Fields();
    void Store();

    SearchPageWizard& m_wizard;
    std::vector<QComboBox*> m_colours;
    QLineEdit* m_font = nullptr;
    QRadioButton* m_round = nullptr;
    QRadioButton* m_square = nullptr;
};

} // namespace tamblin
