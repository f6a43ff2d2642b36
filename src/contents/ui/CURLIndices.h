#pragma once

#include "contents/ui/CPropertyPage.h"
#include "index/IndexKeyword.h"

#include <functional>
#include <vector>

class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QListWidgetItem;
class QPushButton;

namespace tamblin {

class CXoDoc;
class IndexEntry;

// The Index Keywords page: a private copy of an entry's keywords, written back in phrase
// order after OK. In Other Index keywords mode every keyword must carry a title.
class CURLIndices final : public CPropertyPage {
    Q_OBJECT

public:
    // What the page reads from the General page each time it shows a keyword.
    struct General {
        QString url;
        QString title;
        QString targetFrame;
        bool ownTarget = false;
        QString baseTarget;
    };
    using GeneralSource = std::function<General()>;

    CURLIndices(const CXoDoc& document, IndexEntry& entry, GeneralSource general, int preselect,
                bool otherKeywordsMode, QWidget* parent = nullptr);

    bool OnKillActive() override;
    bool OnOk() override;
    // After OK: replaces the entry's keywords by the list's, in row order, when modified.
    void ApplyTo(IndexEntry& entry) const;

protected:
    void OnInitPage() override;
    void OnSetActive() override;

private:
    void BuildControls();
    void AddAnchor(const QString& anchor);
    void InsertSorted(QListWidgetItem* item);
    QListWidgetItem* RowOf(int keyword) const;
    void SelectQuietly(QListWidgetItem* item);
    // The blank phrase check on the current keyword; false after telling the user.
    bool CheckCurrent();
    void ShowCurrent();
    void ShowKeyword(const IndexKeyword& keyword, const General& general);
    void EnableControls(bool enabled);
    QString KeywordTarget(const IndexKeyword& keyword, const General& general) const;
    void OnRowChanged();
    void OnAdd();
    void OnDelete();
    void OnPhraseEdited(const QString& text);
    void OnAnchorEdited(const QString& text);
    void OnExtraTitleEdited(const QString& text);
    void OnTargetEdited(const QString& text);
    IndexKeyword* Current();

    const CXoDoc& m_document;
    IndexEntry& m_entry;
    GeneralSource m_general;
    int m_preselect;
    bool m_otherKeywordsMode;
    std::vector<IndexKeyword> m_keywords;
    int m_current = -1;

    QLabel* m_prompt;
    QListWidget* m_list;
    QPushButton* m_delete;
    QPushButton* m_add;
    QLineEdit* m_phrase;
    QComboBox* m_anchor;
    QLabel* m_url;
    QLineEdit* m_extraTitle;
    QLabel* m_fullTitle;
    QLineEdit* m_target;
};

} // namespace tamblin
