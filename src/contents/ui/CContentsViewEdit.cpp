// The structural edits of the contents view: insert, delete, the clipboard, flatten, and
// the step and commit that follow each of them.
#include "contents/FlattenStep.h"
#include "contents/IndexFileStep.h"
#include "contents/StepGroup.h"
#include "contents/ui/CContentsView.h"
#include "document/ui/CXoDoc.h"
#include "index/BaseUrl.h"
#include "index/IndexEntry.h"
#include "index/IndexFile.h"
#include "platform/CommonPrompts.h"

#include <algorithm>
#include <iterator>
#include <unordered_set>

namespace tamblin {

void CContentsView::Commit() {
    if (!m_document || !m_document->Index()) {
        return;
    }
    m_document->Index()->m_changed = 1;
    m_document->SetModifiedFlag(true);
    m_document->UpdateAllViews(this);
}

void CContentsView::Record(std::unique_ptr<EditStep> step) {
    if (!m_document || !m_document->Index()) {
        return;
    }
    Keep(std::move(step));
    Commit();
}

void CContentsView::Keep(std::unique_ptr<EditStep> step) {
    if (m_undoEveryEdit) {
        m_document->History().Push(std::move(step));
    } else {
        m_document->History().Discard(std::move(step));
    }
}

std::string CContentsView::StepName(const char* verb, const std::string& title) {
    std::string name = verb;
    if (!title.empty()) {
        name += " '" + title + "'";
    }
    return name;
}

EntryPlaceStep::Place CContentsView::PlaceOf(QTreeWidgetItem* node) const {
    IndexEntry* entry = EntryOf(node);
    IndexEntry* parent = node ? EntryOf(node->parent()) : nullptr;
    if (!entry || !parent) {
        return {};
    }
    return {parent, EntryPlaceStep::PositionIn(*parent, *entry)};
}

void CContentsView::DropStaleRecords() const {
    // The clipboard's base URL references point into the index it came from: once the
    // document holds another index (or none) it is released, never carried over.
    IndexFile* index = m_document ? m_document->Index() : nullptr;
    unsigned generation = m_document ? m_document->Generation() : 0;
    if (!index || generation != m_recordGeneration) {
        m_clipboard.reset();
        m_undo = UndoRecord();
        m_recordGeneration = generation;
    }
}

bool CContentsView::SelectedHasParent() const {
    DropStaleRecords();
    QTreeWidgetItem* node = currentItem();
    return node && node->parent() && EntryOf(node) && EntryOf(node->parent());
}

bool CContentsView::CanProperties() const {
    QTreeWidgetItem* node = currentItem();
    return node && EntryOf(node) && node != m_otherKeywordsNode;
}

bool CContentsView::CanIndexKeywords() const {
    QTreeWidgetItem* node = currentItem();
    return node && EntryOf(node) && node != m_rootNode;
}

bool CContentsView::CanPaste() const {
    DropStaleRecords();
    return currentItem() && EntryOf(currentItem()) && m_clipboard;
}

bool CContentsView::CanFlatten() const {
    return SelectedHasParent() && currentItem()->childCount() > 0;
}

void CContentsView::DetachNode(QTreeWidgetItem* node) {
    // Handles kept by the undo record must never outlive their nodes.
    if (IsInSubtree(m_undo.parent, node) || m_undo.parent == node) {
        m_undo.parent = nullptr;
    }
    if (IsInSubtree(m_undo.after, node) || m_undo.after == node) {
        m_undo.after = nullptr;
    }
    if (IsInSubtree(m_editNode, node) || m_editNode == node) {
        m_editNode = nullptr;
    }
    delete node;
}

bool CContentsView::IsInSubtree(const QTreeWidgetItem* node, const QTreeWidgetItem* top) {
    if (!node || !top) {
        return false;
    }
    for (const QTreeWidgetItem* up = node->parent(); up; up = up->parent()) {
        if (up == top) {
            return true;
        }
    }
    return false;
}

QTreeWidgetItem* CContentsView::PlaceEntry(std::unique_ptr<IndexEntry> entry,
                                           QTreeWidgetItem* parent, QTreeWidgetItem* after,
                                           bool last) {
    IndexEntry& placed = *entry;
    NodeHandle position = last ? kLastPosition : after ? NodeHandle(after) : kFirstPosition;
    IndexEntry::InsertInto(std::move(entry), *EntryOf(parent), position);
    QTreeWidgetItem* node = InsertEntryNode(placed, parent, after, last);
    RestoreState(node);
    return node;
}

void CContentsView::SetNodeLook(QTreeWidgetItem* node) {
    IndexEntry* entry = EntryOf(node);
    if (!entry || !m_document || !m_document->Index()) {
        return;
    }
    if (node == m_rootNode) {
        node->setText(0, m_document->Decode(m_document->Index()->m_description));
        return;
    }
    node->setText(0, m_document->Decode(entry->m_title));
    node->setIcon(0, Image(entry->m_inContents ? kImageContents : kImageKeywords));
}

void CContentsView::OnInsertUrl() {
    IndexFile* index = m_document ? m_document->Index() : nullptr;
    if (!CanProperties() || !index) {
        return;
    }
    QTreeWidgetItem* selected = currentItem();
    QTreeWidgetItem* parent = selected->parent() ? selected->parent() : m_rootNode;
    QTreeWidgetItem* after = selected->parent() ? selected : nullptr;
    BaseUrl* base = index->m_baseUrls.empty() ? nullptr : index->m_baseUrls.front().get();
    auto entry = std::make_unique<IndexEntry>(0, base, "", "", "", 0, "", 1);
    IndexEntry& created = *entry;
    QTreeWidgetItem* node = PlaceEntry(std::move(entry), parent, after, false);
    setCurrentItem(node);
    bool cancelled = RunUrlSheet(created, 0, true) == SheetResult::Cancelled;
    // The sheet may have rebuilt the tree; the entry knows its node.
    node = NodeOf(created);
    EntryPlaceStep::Place place = PlaceOf(node);
    if (!place.parent) {
        return;
    }
    Keep(std::make_unique<EntryPlaceStep>(StepName("Insert URL", created.m_title), created,
                                          EntryPlaceStep::Place{}, place));
    if (cancelled) {
        // Gone as if deleted, so Undo can still bring it back.
        DeleteNode(node, false);
        return;
    }
    SetNodeLook(node);
    Commit();
    // The status bar showed the entry while it was still empty.
    Q_EMIT UrlChanged(SelectedUrl());
}

void CContentsView::OnDelete() {
    if (SelectedHasParent()) {
        DeleteNode(currentItem(), true);
    }
}

void CContentsView::DeleteNode(QTreeWidgetItem* node, bool ask, const char* verb) {
    if (m_labelEditing) {
        return;
    }
    DropStaleRecords();
    if (ask && !ConfirmDelete(this, node->text(0))) {
        return;
    }
    SaveState(node);
    EntryPlaceStep::Place from = PlaceOf(node);
    QTreeWidgetItem* parent = node->parent();
    int row = parent->indexOfChild(node);
    std::unique_ptr<IndexEntry> removed = EntryOf(parent)->RemoveChildByNode(node);
    if (!removed || !from.parent) {
        return;
    }
    if (!m_undoEveryEdit) {
        // The previous undo subtree is released here.
        m_undo = UndoRecord{std::move(removed), parent, row > 0 ? parent->child(row - 1) : nullptr,
                            row == 0};
        DetachNode(node);
        Commit();
        return;
    }
    IndexEntry& entry = *removed;
    std::string name = StepName(verb, entry.m_title);
    DetachNode(node);
    Record(std::make_unique<EntryPlaceStep>(std::move(name), entry, from, EntryPlaceStep::Place{},
                                            std::move(removed)));
}

bool CContentsView::OnCopy() {
    if (!SelectedHasParent()) {
        return false;
    }
    QTreeWidgetItem* node = currentItem();
    SaveState(node);
    // Taken before the system clipboard is tried: Paste works even when that fails.
    m_clipboard = EntryOf(node)->Clone();
    return CopyTextToClipboard(this, node->text(0));
}

void CContentsView::OnCut() {
    if (SelectedHasParent() && OnCopy()) {
        DeleteNode(currentItem(), false, "Cut");
    }
}

void CContentsView::OnPaste() {
    if (!CanPaste()) {
        return;
    }
    QTreeWidgetItem* selected = currentItem();
    // The pasted subtree goes to the tree; a fresh copy stays for the next paste, so two
    // pastes never share entries.
    std::unique_ptr<IndexEntry> entry = m_clipboard->Clone();
    std::swap(entry, m_clipboard);
    IndexFile& index = *m_document->Index();
    auto basesBefore = IndexFileStep::State::Of(index, false);
    KeepBaseUrlsListed(*entry);
    auto basesAfter = IndexFileStep::State::Of(index, false);
    QTreeWidgetItem* node = nullptr;
    if (selected == m_rootNode) {
        node = PlaceEntry(std::move(entry), m_rootNode, nullptr, false);
    } else if (selected == m_otherKeywordsNode) {
        node = PlaceEntry(std::move(entry), m_rootNode, nullptr, true);
    } else {
        node = PlaceEntry(std::move(entry), selected->parent(), selected, false);
    }
    if (!currentItem()) {
        setCurrentItem(node);
    }
    IndexEntry& pasted = *EntryOf(node);
    std::string name = StepName("Paste", pasted.m_title);
    auto step =
        std::make_unique<EntryPlaceStep>(name, pasted, EntryPlaceStep::Place{}, PlaceOf(node));
    if (basesBefore.SameSettings(basesAfter)) {
        Record(std::move(step));
        return;
    }
    // The paste listed base URLs the copy names: undoing it takes them out again.
    std::vector<std::unique_ptr<EditStep>> steps;
    steps.push_back(std::make_unique<IndexFileStep>(name, index, std::move(basesBefore),
                                                    std::move(basesAfter),
                                                    std::vector<std::unique_ptr<BaseUrl>>()));
    steps.push_back(std::move(step));
    Record(std::make_unique<StepGroup>(std::move(name), std::move(steps)));
}

void CContentsView::KeepBaseUrlsListed(IndexEntry& top) {
    IndexFile& index = *m_document->Index();
    std::unordered_set<const BaseUrl*> listed;
    for (const auto& record : index.m_baseUrls) {
        listed.insert(record.get());
    }
    std::vector<IndexEntry*> pending{&top};
    while (!pending.empty()) {
        IndexEntry* entry = pending.back();
        pending.pop_back();
        for (const auto& child : entry->m_children) {
            pending.push_back(child.get());
        }
        BaseUrl* base = entry->m_baseUrl;
        if (!base || listed.contains(base)) {
            continue;
        }
        BaseUrl* replacement = nullptr;
        int lastId = 0;
        for (const auto& record : index.m_baseUrls) {
            lastId = std::max(lastId, record->m_id);
            if (!replacement && record->m_url == base->m_url &&
                record->m_targetFrame == base->m_targetFrame) {
                replacement = record.get();
            }
        }
        if (!replacement) {
            index.m_baseUrls.push_back(
                std::make_unique<BaseUrl>(lastId + 1, base->m_url, base->m_targetFrame, 1));
            replacement = index.m_baseUrls.back().get();
            listed.insert(replacement);
        }
        entry->m_baseUrl = replacement;
        replacement->m_inUse = 1;
    }
}

void CContentsView::OnFlatten() {
    if (!CanFlatten()) {
        return;
    }
    QTreeWidgetItem* node = currentItem();
    QTreeWidgetItem* parent = node->parent();
    IndexEntry* entry = EntryOf(node);
    std::vector<std::unique_ptr<IndexEntry>>& siblings = EntryOf(parent)->m_children;
    int row = parent->indexOfChild(node);
    if (row < 0 || row >= static_cast<int>(siblings.size()) || siblings[row].get() != entry) {
        return;
    }
    SaveState(node);
    // One splice in the model and one in the tree: flattening a wide node stays linear.
    std::vector<std::unique_ptr<IndexEntry>> children = std::move(entry->m_children);
    entry->m_children.clear();
    siblings.insert(siblings.begin() + row + 1, std::make_move_iterator(children.begin()),
                    std::make_move_iterator(children.end()));
    QList<QTreeWidgetItem*> nodes = node->takeChildren();
    parent->insertChildren(row + 1, nodes);
    for (QTreeWidgetItem* moved : nodes) {
        RestoreState(moved, false);
    }
    setCurrentItem(node);
    Record(std::make_unique<FlattenStep>(StepName("Flatten", entry->m_title), *EntryOf(parent),
                                         *entry, nodes.size()));
}

} // namespace tamblin
