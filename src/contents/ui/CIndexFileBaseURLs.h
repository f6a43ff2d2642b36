#pragma once

#include "contents/ui/CPropertyPage.h"

#include <functional>
#include <memory>
#include <vector>

class QLineEdit;
class QListWidget;
class QListWidgetItem;
class QPushButton;

namespace tamblin {

class BaseUrl;
class CXoDoc;
class IndexFile;

// The Base URLs page of the Index File sheet: working copies of the base URLs, written
// back, and marked records removed, only after OK.
class CIndexFileBaseURLs final : public CPropertyPage {
    Q_OBJECT

public:
    CIndexFileBaseURLs(const CXoDoc& document, int preselect, QWidget* parent = nullptr);
    ~CIndexFileBaseURLs() override;

    // After OK: writes the rows back, removes deleted records. Returns the record chosen for
    // "Set all URLs to this Base URL", or null.
    BaseUrl* ApplyTo(IndexFile& index, std::vector<std::unique_ptr<BaseUrl>>* removed = nullptr);
    // The sheet's OK, pressed for "Set all URLs to this Base URL".
    void SetOkAction(std::function<void()> ok) { m_ok = std::move(ok); }

protected:
    void OnInitPage() override;

private:
    struct Working {
        std::unique_ptr<BaseUrl> copy;
        BaseUrl* original; // null for a record added here
    };

    void BuildControls();
    void InsertSorted(QListWidgetItem* item);
    void ShowCurrent();
    Working* Current() const;
    void OnAdd();
    void OnDelete();
    void OnUrlEdited(const QString& text);
    void OnTargetEdited(const QString& text);
    void OnSetAll();
    static void KeepReferenced(IndexFile& index);

    const CXoDoc& m_document;
    IndexFile& m_index;
    int m_preselect;
    std::vector<Working> m_working;
    QListWidgetItem* m_chosenRow = nullptr;
    std::function<void()> m_ok;

    QListWidget* m_list;
    QPushButton* m_delete;
    QPushButton* m_add;
    QLineEdit* m_url;
    QLineEdit* m_target;
    QPushButton* m_setAll;
};

} // namespace tamblin
