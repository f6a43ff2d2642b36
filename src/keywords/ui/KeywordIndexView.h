#pragma once

#include "keywords/KeywordIndex.h"

#include <QWidget>

#include <map>
#include <memory>
#include <span>
#include <string>
#include <unordered_map>
#include <vector>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableView;
class QTreeView;

namespace tamblin {

class CContentsView;
class CXoDoc;
class EditStep;
class KeywordAnchorCheck;
class KeywordIndexModel;
class KeywordPagesModel;

// The Index view: every phrase of the keyword index as readers will see it, with its pages;
// a phrase is renamed (F2, merging into one that exists), removed (Del) or given pages of
// another (Move to) once for all its pages. Each edit is one step of the document's undo
// history, made through the contents view so that the tree, the sheets and the menus follow.
class KeywordIndexView final : public QWidget {
    Q_OBJECT

public:
    explicit KeywordIndexView(QWidget* parent = nullptr);
    ~KeywordIndexView() override;

    // The view edits through `contents`, which shows the same document.
    void SetDocument(CXoDoc* document, CContentsView* contents);
    // Builds the phrases again from the document's index (also when hidden, for tests).
    void Refresh();

    KeywordIndexModel* Model() const { return m_model; }
    QTableView* Phrases() const { return m_phrases; }
    QTreeView* Pages() const { return m_pages; }
    QLineEdit* Filter() const { return m_filter; }
    QLineEdit* MoveTo() const { return m_moveTo; }

    // The selected phrase, or null.
    const KeywordGroup* CurrentGroup() const;
    void SelectPhrase(const QString& phrase);

    void RenameCurrent(const QString& newName);
    void RemoveCurrent();
    // The selected pages of the current phrase go to the phrase the Move to box names.
    void MoveSelectedPages();
    // Phrases that differ only in case or spacing at once; then, without blocking, the
    // keywords whose anchor is gone (`checkAnchors`). `wait`: return once both are known.
    void FindProblems(bool checkAnchors = true, bool wait = false);

Q_SIGNALS:
    // Something worth a line in the status bar.
    void Message(const QString& text);

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Build();
    QLabel* BuildFilter();
    void BuildPhrases();
    void BuildPages();
    QLabel* BuildButtons();
    void LayOut(QLabel* filterLabel, QLabel* moveLabel);
    void ConnectControls();
    void OnDocumentChanged(QObject* sender);
    // The phrases again: mended where `entries`' keyword lists alone changed, else built.
    void RefreshPhrases(std::span<IndexEntry* const> entries, bool mend);
    void OnRenameRequested(int groupIndex, const QString& newName);
    void ShowPages();
    // Selects the phrase with these bytes, or the first row when it is not listed; not while
    // a phrase is being renamed in place.
    void SelectBytes(const std::string& bytes);
    bool Editing() const;
    void Apply(std::unique_ptr<EditStep> step, const std::string& selectBytes);
    bool PhraseBytes(const QString& text, std::string& bytes);
    // The check numbered `serial` ended (a later one may have been started since).
    void FinishAnchorCheck(unsigned serial);
    void StartAnchorCheck(bool wait);
    void AnchorProgress(unsigned serial, std::size_t done, std::size_t total);
    void StopAnchorCheck();
    // The phrases' problems as the model shows them: variants, then anchors gone.
    void ShowProblems();
    void UpdateButtons();
    QString Text(std::u16string_view text) const;

    CXoDoc* m_document = nullptr;
    CContentsView* m_contents = nullptr;
    KeywordIndexModel* m_model = nullptr;
    QLineEdit* m_filter = nullptr;
    QCheckBox* m_problemsOnly = nullptr;
    QTableView* m_phrases = nullptr;
    KeywordPagesModel* m_pagesModel = nullptr;
    QTreeView* m_pages = nullptr;
    QLineEdit* m_moveTo = nullptr;
    QPushButton* m_rename = nullptr;
    QPushButton* m_remove = nullptr;
    QPushButton* m_move = nullptr;
    QPushButton* m_findProblems = nullptr;
    QLabel* m_summary = nullptr;
    bool m_stale = true;
    // The bytes of the phrase last shown, to find it again after the rows change.
    std::string m_currentBytes;
    bool m_problemsWanted = false;
    std::unordered_map<std::string, QString> m_variantProblems;
    std::map<std::string, std::size_t> m_goneAnchors;
    // Counts the document's changes, so that an anchor check that finishes after one is
    // dropped: its keyword places may no longer be right.
    unsigned m_changes = 0;
    // The contents view's last step seen (LastStepChanges), so that none is mended twice.
    unsigned m_stepSerial = 0;
    unsigned m_checkChanges = 0;
    // The anchor check running, on a thread of its own; its results come back as queued calls.
    std::unique_ptr<KeywordAnchorCheck> m_anchorCheck;
    unsigned m_checkSerial = 0;
};

} // namespace tamblin
