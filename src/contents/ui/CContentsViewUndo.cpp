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

void CContentsView::OnUndo() {
    if (!m_undoEveryEdit) {
        OnUndoDelete();
    } else if (CanUndo()) {
        m_document->History().Undo(*this);
        CommitHistoryMove();
    }
}

void CContentsView::OnRedo() {
    if (CanRedo()) {
        m_document->History().Redo(*this);
        CommitHistoryMove();
    }
}

void CContentsView::DoStep(std::unique_ptr<EditStep> step) {
    if (!m_document || !m_document->Index()) {
        return;
    }
    step->Redo(*this);
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
