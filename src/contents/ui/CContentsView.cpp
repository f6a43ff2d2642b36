#include "contents/ui/CContentsView.h"

#include "document/ui/CXoDoc.h"
#include "index/IndexEntry.h"
#include "index/IndexFile.h"

#include <QContextMenuEvent>
#include <QHeaderView>
#include <QMenu>

#include <utility>
#include <vector>

namespace tamblin {

namespace {

constexpr int kEntryRole = Qt::UserRole;

} // namespace

CContentsView::CContentsView(QWidget* parent) : QTreeWidget(parent) {
    setObjectName(QStringLiteral("contentsView"));
    setHeaderHidden(true);
    setColumnCount(1);
    setRootIsDecorated(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setIconSize(QSize(16, 15));
    setUniformRowHeights(true);
    // Labels are edited by clicking a selected node (or F2); dragging is the view's own.
    setEditTriggers(QAbstractItemView::SelectedClicked | QAbstractItemView::EditKeyPressed);
    setDragEnabled(false);
    setExpandsOnDoubleClick(false);
    connect(this, &QTreeWidget::currentItemChanged, this, &CContentsView::OnCurrentChanged);
}

CContentsView::~CContentsView() = default;

QIcon CContentsView::Image(int index) {
    static const QList<QIcon> images = [] {
        QList<QIcon> list;
        for (int i = 0; i < 5; ++i) {
            list.append(QIcon(QStringLiteral(":/tamblin/tree/image%1.png").arg(i)));
        }
        return list;
    }();
    return index >= 0 && index < images.size() ? images[index] : QIcon();
}

void CContentsView::SetDocument(CXoDoc* document) {
    if (m_document) {
        disconnect(m_document, nullptr, this, nullptr);
    }
    m_document = document;
    m_shown = false;
    // Whatever was cut or deleted belongs to the other document's index.
    m_clipboard.reset();
    m_undo = UndoRecord();
    if (m_document) {
        connect(m_document, &CXoDoc::Changed, this, &CContentsView::OnDocumentChanged);
    }
    Rebuild();
}

void CContentsView::OnDocumentChanged(QObject* sender) {
    if (sender != this) {
        Rebuild();
    }
}

IndexEntry* CContentsView::EntryOf(const QTreeWidgetItem* node) {
    return node ? reinterpret_cast<IndexEntry*>(node->data(0, kEntryRole).value<quintptr>())
                : nullptr;
}

QTreeWidgetItem* CContentsView::NodeOf(const IndexEntry& entry) {
    return const_cast<QTreeWidgetItem*>(static_cast<const QTreeWidgetItem*>(entry.m_node));
}

IndexEntry* CContentsView::SelectedEntry() const {
    return EntryOf(currentItem());
}

QString CContentsView::SelectedUrl() const {
    IndexEntry* entry = SelectedEntry();
    return entry && m_document ? m_document->Decode(entry->FullUrl()) : QString();
}

void CContentsView::Rebuild() {
    IndexFile* index = m_document ? m_document->Index() : nullptr;
    DropStaleRecords();
    if (!index) {
        return;
    }
    // A different IndexFile: the nodes point at entries that are gone, so nothing of the
    // old tree may be read back.
    if (!m_shown || m_shownGeneration != m_document->Generation()) {
        m_rootNode = nullptr;
        m_shown = true;
        m_shownGeneration = m_document->Generation();
    }
    std::pair<IndexEntry*, IndexEntry*> undoPlace = UndoPlaceAsEntries();
    if (m_rootNode) {
        SaveState(m_rootNode);
    }
    if (m_dragging) {
        EndDrag();
    }
    // Clearing the tree drops an open label editor without closing it.
    m_labelEditing = false;
    m_dragNode = m_dropTarget = m_pressNode = m_editNode = nullptr;
    blockSignals(true);
    clear();
    m_rootNode = BuildSubtree(index->m_root);
    m_rootNode->setText(0, m_document->Decode(index->m_description));
    m_rootNode->setIcon(0, Image(kImageMark));
    addTopLevelItem(m_rootNode);
    m_otherKeywordsNode =
        MakeNode(index->m_otherKeywords, QStringLiteral("Other Index keywords"), kImageKeywords);
    addTopLevelItem(m_otherKeywordsNode);
    m_undo.parent = undoPlace.first ? NodeOf(*undoPlace.first) : nullptr;
    m_undo.after = undoPlace.second ? NodeOf(*undoPlace.second) : nullptr;
    RestoreState(m_rootNode);
    if (!currentItem()) {
        m_rootNode->setExpanded(true);
        setCurrentItem(m_rootNode);
    }
    blockSignals(false);
    OnCurrentChanged();
}

std::pair<IndexEntry*, IndexEntry*> CContentsView::UndoPlaceAsEntries() {
    // The undo place survives a rebuild through its entries: they stay while the nodes go.
    // Their handles are cleared first, so an entry that the rebuild does not show again
    // leaves the place unknown rather than pointing at a deleted node.
    std::pair<IndexEntry*, IndexEntry*> place;
    if (m_rootNode) {
        place = {EntryOf(m_undo.parent), EntryOf(m_undo.after)};
        for (IndexEntry* entry : {place.first, place.second}) {
            if (entry) {
                entry->m_node = nullptr;
            }
        }
    }
    m_undo.parent = nullptr;
    m_undo.after = nullptr;
    return place;
}

QTreeWidgetItem* CContentsView::MakeNode(IndexEntry& entry, const QString& text, int image) {
    auto* node = new QTreeWidgetItem(QStringList(text));
    node->setIcon(0, Image(image));
    node->setFlags(node->flags() | Qt::ItemIsEditable);
    node->setData(0, kEntryRole, QVariant::fromValue(reinterpret_cast<quintptr>(&entry)));
    entry.m_node = node;
    return node;
}

QTreeWidgetItem* CContentsView::BuildSubtree(IndexEntry& entry) {
    // Nodes are made and joined while detached from the widget: one insertion into the
    // tree per subtree keeps a rebuild linear in the number of entries.
    std::vector<std::pair<IndexEntry*, QTreeWidgetItem*>> pending;
    auto makeNode = [this](IndexEntry& e) {
        return MakeNode(e, m_document->Decode(e.m_title),
                        e.m_inContents ? kImageContents : kImageKeywords);
    };
    QTreeWidgetItem* top = makeNode(entry);
    pending.emplace_back(&entry, top);
    while (!pending.empty()) {
        auto [current, node] = pending.back();
        pending.pop_back();
        QList<QTreeWidgetItem*> children;
        children.reserve(static_cast<qsizetype>(current->m_children.size()));
        for (const auto& child : current->m_children) {
            QTreeWidgetItem* childNode = makeNode(*child);
            children.append(childNode);
            pending.emplace_back(child.get(), childNode);
        }
        node->addChildren(children);
    }
    return top;
}

QTreeWidgetItem* CContentsView::InsertEntryNode(IndexEntry& entry, QTreeWidgetItem* parent,
                                                QTreeWidgetItem* after, bool last) {
    QTreeWidgetItem* top = BuildSubtree(entry);
    int position = last ? parent->childCount() : after ? parent->indexOfChild(after) + 1 : 0;
    parent->insertChild(position, top);
    return top;
}

void CContentsView::SaveState(QTreeWidgetItem* node) const {
    // Walked by model index: asking an item for its expanded state searches its parent's
    // child list, which makes wide trees quadratic.
    QAbstractItemModel* tree = model();
    std::vector<QModelIndex> pending = {indexFromItem(node)};
    while (!pending.empty()) {
        QModelIndex index = pending.back();
        pending.pop_back();
        QTreeWidgetItem* current = itemFromIndex(index);
        if (IndexEntry* entry = EntryOf(current)) {
            entry->m_expanded = isExpanded(index) ? 1 : 0;
            entry->m_selected = current->isSelected() ? 1 : 0;
        }
        for (int row = 0, rows = tree->rowCount(index); row < rows; ++row) {
            pending.push_back(tree->index(row, 0, index));
        }
    }
}

void CContentsView::RestoreState(QTreeWidgetItem* node, bool fresh) {
    // Children before their parent, in order, so the last node flagged selected wins.
    // Nodes arrive here freshly built, so collapsed and unselected: only the flags that are
    // set need work. Selecting comes last, once: it lays the view out, after which every
    // expansion would search the laid-out rows.
    QTreeWidgetItem* selected = nullptr;
    std::vector<std::pair<QTreeWidgetItem*, int>> pending = {{node, 0}};
    while (!pending.empty()) {
        auto& [current, next] = pending.back();
        if (next < current->childCount()) {
            QTreeWidgetItem* child = current->child(next++);
            pending.emplace_back(child, 0);
            continue;
        }
        if (IndexEntry* entry = EntryOf(current)) {
            // A leaf has nothing to show: expanding it would only cost a child-list search.
            if (entry->m_expanded && current->childCount() > 0) {
                current->setExpanded(true);
            } else if (!fresh && current->isExpanded()) {
                current->setExpanded(false);
            }
            if (entry->m_selected) {
                selected = current;
            }
        }
        pending.pop_back();
    }
    if (selected) {
        setCurrentItem(selected);
    }
}

void CContentsView::OnCurrentChanged() {
    Q_EMIT UrlChanged(SelectedUrl());
    Q_EMIT SelectionChanged();
}

void CContentsView::contextMenuEvent(QContextMenuEvent* event) {
    QTreeWidgetItem* node =
        event->reason() == QContextMenuEvent::Mouse ? itemAt(event->pos()) : currentItem();
    if (!node || !m_contextMenu) {
        return;
    }
    setCurrentItem(node);
    Q_EMIT UrlChanged(SelectedUrl());
    Q_EMIT SelectionChanged();
    QPoint at = event->reason() == QContextMenuEvent::Mouse
                    ? event->globalPos()
                    : viewport()->mapToGlobal(visualItemRect(node).center());
    m_contextMenu->popup(at);
}

} // namespace tamblin
