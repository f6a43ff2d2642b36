#pragma once

#include <QWizardPage>

class QCheckBox;
class QLineEdit;
class QRadioButton;

namespace tamblin {

class SearchPageWizard;

// Page 3, "Run mode": the applet on the page or behind an icon, its size and layout.
class CCallRunMode final : public QWizardPage {
    Q_OBJECT
public:
    explicit CCallRunMode(SearchPageWizard& wizard);

    void initializePage() override;
    void cleanupPage() override { Store(false); }
    bool validatePage() override;

private:
    QLayout* BuildModeBox();
    void ModeChosen(bool icon);
    void ApplyEnabling();
    // Copies the controls into the record; with `strict`, refuses values out of range.
    bool Store(bool strict);
    bool ReadNumber(QLineEdit* field, long minimum, long maximum, bool strict, long& value);

    SearchPageWizard& m_wizard;
    QRadioButton* m_partOfPage = nullptr;
    QRadioButton* m_icon = nullptr;
    QCheckBox* m_popUp = nullptr;
    QCheckBox* m_close = nullptr;
    QLineEdit* m_minWidth = nullptr;
    QLineEdit* m_minHeight = nullptr;
    QLineEdit* m_width = nullptr;
    QLineEdit* m_height = nullptr;
    QRadioButton* m_wide = nullptr;
    QRadioButton* m_high = nullptr;
};

} // namespace tamblin
