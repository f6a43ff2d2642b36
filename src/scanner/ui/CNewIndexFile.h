#pragma once

#include <QWizardPage>

class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace tamblin {

class NewIndexWizard;

// Page 1, "New": the description and the way on. An empty index finishes here, a scan goes
// on to the source page, and "New &Language File" ends the wizard at once.
class CNewIndexFile final : public QWizardPage {
    Q_OBJECT
public:
    explicit CNewIndexFile(NewIndexWizard& wizard);

    void initializePage() override;
    bool isComplete() const override;
    int nextId() const override;
    // Until the language editor can be reached, its button stays disabled.
    void SetLanguageFileAvailable(bool available);

private:
    // Why the typed description cannot be used, or empty.
    QString Problem() const;
    void UpdateButtons();
    void Choose(int choice);
    void NewLanguageFile();

    NewIndexWizard& m_wizard;
    QLineEdit* m_description = nullptr;
    QLabel* m_problem = nullptr;
    QRadioButton* m_empty = nullptr;
    QRadioButton* m_scan = nullptr;
    QPushButton* m_language = nullptr;
    // Silences the change handlers while the page fills its own controls.
    bool m_updating = false;
};

} // namespace tamblin
