// Moving and copying entries by dragging them with the left button. The drag is the
// view's own (mouse capture and a small image window following the pointer), so the drop
// rules below are the only ones that apply.
#include "contents/ui/CContentsView.h"
#include "document/ui/CXoDoc.h"
#include "index/IndexEntry.h"

#include <QApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QScrollBar>

namespace tamblin {

namespace {

// Where each drag image is drawn relative to the pointer.
QPoint HotSpotOffset(int image) {
    return image == CContentsView::kImageNoEntry ? QPoint(-8, -8) : QPoint(10, 19);
}

} // namespace

void CContentsView::mousePressEvent(QMouseEvent* event) {
    // The right button selects the node under it before the context menu opens.
    if (event->button() == Qt::RightButton) {
        if (QTreeWidgetItem* node = itemAt(event->position().toPoint())) {
            setCurrentItem(node);
        }
        return;
    }
    if (event->button() == Qt::LeftButton) {
        // A drag starts on a node's icon or label, not on its expand button.
        m_pressAt = event->position().toPoint();
        m_pressNode = itemAt(m_pressAt);
        if (m_pressNode && m_pressAt.x() < visualItemRect(m_pressNode).left()) {
            m_pressNode = nullptr;
        }
    }
    QTreeWidget::mousePressEvent(event);
}

void CContentsView::mouseMoveEvent(QMouseEvent* event) {
    QPoint at = event->position().toPoint();
    if (m_dragging) {
        DragMove(at);
        return;
    }
    if (!(event->buttons() & Qt::LeftButton) || !m_pressNode) {
        QTreeWidget::mouseMoveEvent(event);
        return;
    }
    // With the button held the tree would select whatever passes under the pointer.
    if ((at - m_pressAt).manhattanLength() >= QApplication::startDragDistance()) {
        QTreeWidgetItem* node = m_pressNode;
        m_pressNode = nullptr;
        BeginDrag(node, at);
    }
}

void CContentsView::mouseReleaseEvent(QMouseEvent* event) {
    m_pressNode = nullptr;
    if (m_dragging && event->button() == Qt::LeftButton) {
        DragMove(event->position().toPoint());
        Drop(event->modifiers().testFlag(Qt::ControlModifier));
        return;
    }
    QTreeWidget::mouseReleaseEvent(event);
}

void CContentsView::BeginDrag(QTreeWidgetItem* node, const QPoint& at) {
    if (!node || m_dragging || !EntryOf(node)) {
        return;
    }
    setCurrentItem(node);
    m_dropTarget = nullptr;
    // The root and the Other Index keywords node stay where they are.
    if (!node->parent()) {
        return;
    }
    m_dragNode = node;
    m_dragging = true;
    m_cursorShown = true;
    if (!m_dragImageWindow) {
        m_dragImageWindow =
            new QLabel(this, Qt::ToolTip | Qt::FramelessWindowHint | Qt::WindowTransparentForInput);
        m_dragImageWindow->setObjectName(QStringLiteral("dragImage"));
        m_dragImageWindow->setAttribute(Qt::WA_TranslucentBackground);
        m_dragImageWindow->setAttribute(Qt::WA_ShowWithoutActivating);
    }
    m_dragImage = -1;
    SetDragImage(kImageMark);
    MoveDragImage(viewport()->mapToGlobal(at));
    // A view that is not on screen (tests drive it step by step) has nothing to show.
    if (isVisible()) {
        m_dragImageWindow->show();
        viewport()->grabMouse();
    }
}

void CContentsView::SetDragImage(int image) {
    if (image == m_dragImage) {
        return;
    }
    m_dragImage = image;
    if (m_dragImageWindow) {
        m_dragImageWindow->setPixmap(Image(image).pixmap(iconSize()));
        m_dragImageWindow->adjustSize();
    }
}

void CContentsView::MoveDragImage(const QPoint& globalAt) {
    if (m_dragImageWindow) {
        m_dragImageWindow->move(globalAt + HotSpotOffset(m_dragImage));
    }
}

void CContentsView::ShowDragCursor(bool shown) {
    if (shown == m_cursorShown) {
        return;
    }
    m_cursorShown = shown;
    if (shown) {
        viewport()->unsetCursor();
    } else {
        viewport()->setCursor(Qt::BlankCursor);
    }
}

void CContentsView::SetDropHighlight(QTreeWidgetItem* node) {
    // The drop highlight is drawn apart from the selection, which stays on the dragged node.
    if (m_dropTarget) {
        m_dropTarget->setData(0, Qt::BackgroundRole, QVariant());
        m_dropTarget->setData(0, Qt::ForegroundRole, QVariant());
    }
    m_dropTarget = node;
    if (m_dropTarget) {
        m_dropTarget->setBackground(0, palette().highlight());
        m_dropTarget->setForeground(0, palette().highlightedText());
    }
}

int CContentsView::LabelRight(QTreeWidgetItem* node) const {
    QRect row = visualItemRect(node);
    int label = iconSize().width() + fontMetrics().horizontalAdvance(node->text(0)) + 8;
    return row.left() + label;
}

void CContentsView::DragMove(const QPoint& at) {
    if (!m_dragging) {
        return;
    }
    MoveDragImage(viewport()->mapToGlobal(at));
    QRect inside = viewport()->rect();
    if (!inside.contains(at)) {
        ShowDragCursor(false);
        SetDragImage(kImageNoEntry);
        MoveDragImage(viewport()->mapToGlobal(at));
        QTreeWidgetItem* target = m_dropTarget;
        SetDropHighlight(nullptr);
        // Kept for the drop rule below; only its highlight goes.
        m_dropTarget = target;
        if (at.y() < inside.top()) {
            verticalScrollBar()->triggerAction(QAbstractSlider::SliderSingleStepSub);
        } else if (at.y() > inside.bottom()) {
            verticalScrollBar()->triggerAction(QAbstractSlider::SliderSingleStepAdd);
        }
        return;
    }
    ShowDragCursor(true);
    QTreeWidgetItem* node = itemAt(at);
    // Never into its own subtree: over a descendant the drop target stays as it was.
    if (!node || IsInSubtree(node, m_dragNode)) {
        return;
    }
    m_dropAsChild = !node->parent() || at.x() > LabelRight(node);
    SetDragImage(m_dropAsChild ? kImageMarkSwapped : kImageMark);
    MoveDragImage(viewport()->mapToGlobal(at));
    if (node != m_dropTarget || node->background(0).style() == Qt::NoBrush) {
        SetDropHighlight(node);
    }
}

void CContentsView::EndDrag() {
    if (m_dragImageWindow) {
        m_dragImageWindow->hide();
    }
    ShowDragCursor(true);
    if (QWidget::mouseGrabber() == viewport()) {
        viewport()->releaseMouse();
    }
    m_dragging = false;
    // The tree saw the press but not the release: it must not think a selection drag goes on.
    setState(QAbstractItemView::NoState);
}

void CContentsView::Drop(bool copy) {
    if (!m_dragging) {
        return;
    }
    EndDrag();
    bool inside = m_dragImage != kImageNoEntry;
    QTreeWidgetItem* target = m_dropTarget;
    SetDropHighlight(nullptr);
    if (target && target != m_dragNode && inside) {
        m_dropTarget = target;
        MoveOrCopy(copy);
        Commit();
    }
    m_dragNode = nullptr;
    m_dropTarget = nullptr;
}

void CContentsView::MoveOrCopy(bool copy) {
    QTreeWidgetItem* target = m_dropTarget;
    SaveState(m_dragNode);
    std::unique_ptr<IndexEntry> moving;
    EntryPlaceStep::Place from;
    if (copy) {
        moving = EntryOf(m_dragNode)->Clone();
    } else {
        from = PlaceOf(m_dragNode);
        moving = EntryOf(m_dragNode->parent())->RemoveChildByNode(m_dragNode);
        if (moving) {
            DetachNode(m_dragNode);
            m_dragNode = nullptr;
        }
    }
    if (!moving) {
        return;
    }
    IndexEntry& entry = *moving;
    QTreeWidgetItem* node = nullptr;
    if (target == m_otherKeywordsNode) {
        node = PlaceEntry(std::move(moving), m_rootNode, nullptr, true);
    } else if (m_dropAsChild || target == m_rootNode) {
        node = PlaceEntry(std::move(moving), target, nullptr, false);
    } else {
        node = PlaceEntry(std::move(moving), target->parent(), target, false);
    }
    setCurrentItem(node);
    Keep(std::make_unique<EntryPlaceStep>(StepName(copy ? "Copy" : "Move", entry.m_title), entry,
                                          from, PlaceOf(node)));
}

} // namespace tamblin
