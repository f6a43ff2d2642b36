#pragma once

#include <QStringList>
#include <QWidget>

class QLineEdit;
class QListWidget;

namespace tamblin {

// "Edit": the labels beside the texts, kept in step line for line, and the box below in
// which the selected line's text is edited.
class LangPageB final : public QWidget {
    Q_OBJECT

public:
    explicit LangPageB(QWidget* parent = nullptr);

    void Fill(const QStringList& labels, const QStringList& texts);
    QStringList Texts() const;
    // The first empty text, or -1.
    int FindBlankLine() const;
    // Selects `row` in both lists and shows its text in the edit box; -1 clears it.
    void SelectLine(int row);
    int SelectedLine() const { return m_selected; }
    QLineEdit* EditBox() const { return m_edit; }
    bool IsModified() const { return m_modified; }

private:
    void OnLabelRowChanged(int row);
    void OnTextRowChanged(int row);
    void OnEditChanged();
    void FollowLabelScroll();

    QListWidget* m_labels;
    QListWidget* m_texts;
    QLineEdit* m_edit;
    int m_selected = -1;
    bool m_modified = false;
    // Silences the change handlers while the page moves its own controls.
    bool m_updating = false;
};

} // namespace tamblin
