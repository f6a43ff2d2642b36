#pragma once

#include <QWizardPage>

class QComboBox;
class QLineEdit;
class QListWidget;
class QPushButton;
class QRadioButton;
class QToolButton;
class QWidget;

namespace tamblin {

struct IndexParameter;
class SearchPageWizard;

// Page 2, "Index and Language Files": the index files the page names, each with its
// language; Next only while every one of them lies in the page's directory.
class CCallIndices final : public QWizardPage {
    Q_OBJECT
public:
    explicit CCallIndices(SearchPageWizard& wizard);

    void initializePage() override;
    void cleanupPage() override {}
    bool isComplete() const override;

private:
    void BuildControls();
    QWidget* BuildListRow();
    // Rebuilds the list and selects `position` (clamped), or keeps the selection at -1.
    void Refresh(int position = -1);
    void ReflectSelection();
    IndexParameter* Selected();
    void IndexFileEdited(const QString& text);
    void ChooseLanguage(int choice);
    void BrowseIndexFile();
    void Add();
    void Delete();
    void Edit();
    void Move(int step);

    SearchPageWizard& m_wizard;
    bool m_updating = false;
    QLineEdit* m_indexFile = nullptr;
    QPushButton* m_browse = nullptr;
    QRadioButton* m_languages[3] = {};
    QListWidget* m_list = nullptr;
    QPushButton* m_edit = nullptr;
    QPushButton* m_delete = nullptr;
    QWidget* m_spin = nullptr;
    QComboBox* m_target = nullptr;
};

} // namespace tamblin
