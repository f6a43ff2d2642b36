// Undo and redo: the document's history runs its steps on the model and the view follows
// each change it is told of, node by node, so that neither needs a rebuild.
#include "contents/EditStep.h"
#include "contents/ui/CContentsView.h"
#include "document/ui/CXoDoc.h"
#include "index/IndexEntry.h"
#include "index/IndexFile.h"

namespace tamblin {

namespace {

QString MenuText(const char* verb, const QString& name) {
    QString text = QString::fromLatin1(verb);
    if (!name.isEmpty()) {
        // A title's own "&" is text, not a mnemonic.
        text += QLatin1Char(' ') + QString(name).replace(QLatin1Char('&'), QStringLiteral("&&"));
    }
    return text;
}

} // namespace

void CContentsView::SetUndoEveryEdit(bool on) {
    if (on == m_undoEveryEdit) {
        return;
    }
    m_undoEveryEdit = on;
    m_undo = UndoRecord();
    if (m_document) {
        m_document->History().DropSteps(!m_document->IsModified());
    }
    Q_EMIT SelectionChanged();
}

bool CContentsView::CanUndoDelete() const {
    DropStaleRecords();
    return m_undo.entry != nullptr && m_rootNode;
}

void CContentsView::OnUndoDelete() {
    if (!CanUndoDelete()) {
        return;
    }
    QTreeWidgetItem* parent = m_undo.parent;
    QTreeWidgetItem* after = m_undo.after;
    bool placeKnown =
        parent && EntryOf(parent) && (m_undo.first || (after && after->parent() == parent));
    // Base URLs may have changed since the delete: the entry must not name an unlisted one.
    KeepBaseUrlsListed(*m_undo.entry);
    QTreeWidgetItem* node = nullptr;
    if (placeKnown) {
        node = PlaceEntry(std::move(m_undo.entry), parent, m_undo.first ? nullptr : after, false);
    } else {
        // The place it came from is gone: the entry is not lost, it goes last under the root.
        node = PlaceEntry(std::move(m_undo.entry), m_rootNode, nullptr, true);
    }
    m_undo = UndoRecord();
    if (!currentItem()) {
        setCurrentItem(node);
    }
    Commit();
}

bool CContentsView::CanUndo() const {
    if (!m_undoEveryEdit) {
        return CanUndoDelete();
    }
    return m_document && m_document->Index() && m_rootNode && !m_labelEditing && !m_dragging &&
           m_document->History().CanUndo();
}

bool CContentsView::CanRedo() const {
    return m_undoEveryEdit && m_document && m_document->Index() && m_rootNode && !m_labelEditing &&
           !m_dragging && m_document->History().CanRedo();
}

QString CContentsView::UndoText() const {
    if (!m_undoEveryEdit) {
        return QStringLiteral("&Undo delete");
    }
    bool any = m_document && m_document->History().CanUndo();
    return MenuText("&Undo",
                    any ? m_document->Decode(m_document->History().UndoName()) : QString());
}

QString CContentsView::RedoText() const {
    bool any = m_document && m_document->History().CanRedo();
    return MenuText("&Redo",
                    any ? m_document->Decode(m_document->History().RedoName()) : QString());
}

namespace {

// Passes what a step changes on to the tree, noting whether it changed keyword lists alone.
class NotingObserver final : public EditObserver {
public:
    NotingObserver(EditObserver& view, CContentsView::StepChanges& note)
        : m_view(view), m_note(note) {}
    void EntryRemoved(IndexEntry& parent, IndexEntry& entry) override {
        m_other = true;
        m_view.EntryRemoved(parent, entry);
    }
    void EntryInserted(IndexEntry& parent, std::size_t position, IndexEntry& entry) override {
        m_other = true;
        m_view.EntryInserted(parent, position, entry);
    }
    void ChildrenRearranged(IndexEntry& parent) override {
        m_other = true;
        m_view.ChildrenRearranged(parent);
    }
    void EntryChanged(IndexEntry& entry) override {
        m_other = true;
        m_view.EntryChanged(entry);
    }
    void FileChanged() override {
        m_other = true;
        m_view.FileChanged();
    }
    void KeywordsChanged(std::span<IndexEntry* const> entries) override {
        m_note.keywordEntries.insert(m_note.keywordEntries.end(), entries.begin(), entries.end());
        m_view.KeywordsChanged(entries);
    }
    bool Other() const { return m_other; }

private:
    EditObserver& m_view;
    CContentsView::StepChanges& m_note;
    bool m_other = false;
};

} // namespace

template <class Apply> void CContentsView::NoteStepChanges(Apply&& apply) {
    ++m_stepChanges.serial;
    m_stepChanges.keywordEntries.clear();
    NotingObserver observer(*this, m_stepChanges);
    apply(static_cast<EditObserver&>(observer));
    m_stepChanges.keywordsOnly = !observer.Other() && !m_stepChanges.keywordEntries.empty();
}

void CContentsView::OnUndo() {
    if (!m_undoEveryEdit) {
        OnUndoDelete();
    } else if (CanUndo()) {
        NoteStepChanges([this](EditObserver& observer) { m_document->History().Undo(observer); });
        CommitHistoryMove();
    }
}

void CContentsView::OnRedo() {
    if (CanRedo()) {
        NoteStepChanges([this](EditObserver& observer) { m_document->History().Redo(observer); });
        CommitHistoryMove();
    }
}

void CContentsView::DoStep(std::unique_ptr<EditStep> step) {
    if (!m_document || !m_document->Index()) {
        return;
    }
    NoteStepChanges([&step](EditObserver& observer) { step->Redo(observer); });
    Record(std::move(step));
}

void CContentsView::CommitHistoryMove() {
    // Back at the saved state the index is as the file holds it: nothing to save.
    bool saved = m_document->History().IsAtSaved();
    m_document->Index()->m_changed = saved ? 0 : 1;
    m_document->SetModifiedFlag(!saved);
    m_document->UpdateAllViews(this);
    Q_EMIT UrlChanged(SelectedUrl());
    Q_EMIT SelectionChanged();
}

QTreeWidgetItem* CContentsView::NodeOfEntry(IndexEntry& entry) const {
    IndexFile* index = m_document ? m_document->Index() : nullptr;
    if (index && &entry == &index->m_root) {
        return m_rootNode;
    }
    if (index && &entry == &index->m_otherKeywords) {
        return m_otherKeywordsNode;
    }
    return NodeOf(entry);
}

void CContentsView::EntryRemoved(IndexEntry& /*parent*/, IndexEntry& entry) {
    QTreeWidgetItem* node = NodeOfEntry(entry);
    if (!node) {
        return;
    }
    // Kept in the entries, so that a redo or undo bringing them back shows them as they were.
    SaveState(node);
    DetachNode(node);
    entry.m_node = nullptr;
}

void CContentsView::EntryInserted(IndexEntry& parent, std::size_t position, IndexEntry& entry) {
    QTreeWidgetItem* parentNode = NodeOfEntry(parent);
    if (!parentNode) {
        return;
    }
    QTreeWidgetItem* node = BuildSubtree(entry);
    int row = static_cast<int>(position);
    parentNode->insertChild(row <= parentNode->childCount() ? row : parentNode->childCount(), node);
    RestoreState(node);
    setCurrentItem(node);
}

void CContentsView::ChildrenRearranged(IndexEntry& parent) {
    QTreeWidgetItem* parentNode = NodeOfEntry(parent);
    if (!parentNode) {
        return;
    }
    // The old nodes still show the old places, and every entry still knows its node.
    SaveState(parentNode);
    QTreeWidgetItem* current = currentItem();
    IndexEntry* selected = EntryOf(current);
    while (parentNode->childCount() > 0) {
        DetachNode(parentNode->child(parentNode->childCount() - 1));
    }
    QList<QTreeWidgetItem*> nodes;
    for (const auto& child : parent.m_children) {
        nodes.append(BuildSubtree(*child));
    }
    parentNode->addChildren(nodes);
    RestoreState(parentNode, false);
    if (selected && NodeOfEntry(*selected) && current != NodeOfEntry(*selected)) {
        setCurrentItem(NodeOfEntry(*selected));
    }
}

void CContentsView::EntryChanged(IndexEntry& entry) {
    QTreeWidgetItem* node = NodeOfEntry(entry);
    if (!node) {
        return;
    }
    if (node != m_otherKeywordsNode) {
        SetNodeLook(node);
    }
    setCurrentItem(node);
}

void CContentsView::FileChanged() {
    if (m_rootNode) {
        SetNodeLook(m_rootNode);
    }
}

} // namespace tamblin
