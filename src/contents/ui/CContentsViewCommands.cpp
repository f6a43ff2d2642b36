// The contents view's commands as the frame sees them, the property sheets it opens, and
// the keys, double click and label editing that lead to them.
#include "contents/EntryFieldsStep.h"
#include "contents/IndexFileStep.h"
#include "contents/ui/CContentsView.h"
#include "contents/ui/IndexFileSheet.h"
#include "contents/ui/UrlSheets.h"
#include "document/ui/CXoDoc.h"
#include "index/BaseUrl.h"
#include "index/IndexEntry.h"
#include "index/IndexFile.h"
#include "platform/DialogService.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>

namespace tamblin {

void CContentsView::SetSheets(UrlSheet urlSheet, FileSheet indexFileSheet,
                              FileSheet otherKeywordsSheet) {
    m_urlSheet = std::move(urlSheet);
    m_indexFileSheet = std::move(indexFileSheet);
    m_otherKeywordsSheet = std::move(otherKeywordsSheet);
}

void CContentsView::PlugCommands(const Plug& plug) {
    plug(
        Command::ViewProperties, [this] { OnProperties(); }, [this] { return CanProperties(); });
    plug(
        Command::ViewIndexKeywords, [this] { OnIndexKeywords(); },
        [this] { return CanIndexKeywords(); });
    plug(Command::ViewBaseUrls, [this] { OnBaseUrls(); }, {});
    plug(
        Command::EditInsertUrl, [this] { OnInsertUrl(); }, [this] { return CanProperties(); });
    plug(
        Command::EditDelete, [this] { OnDelete(); }, [this] { return SelectedHasParent(); });
    plug(
        Command::EditCopy, [this] { OnCopy(); }, [this] { return SelectedHasParent(); });
    plug(
        Command::EditCut, [this] { OnCut(); }, [this] { return SelectedHasParent(); });
    plug(
        Command::EditPaste, [this] { OnPaste(); }, [this] { return CanPaste(); });
    plug(
        Command::EditUndo, [this] { OnUndo(); }, [this] { return CanUndo(); });
    plug(
        Command::EditRedo, [this] { OnRedo(); }, [this] { return CanRedo(); });
    plug(
        Command::EditFlatten, [this] { OnFlatten(); }, [this] { return CanFlatten(); });
}

void CContentsView::OnProperties() {
    if (CanProperties()) {
        OpenSheet(currentItem(), 0);
    }
}

void CContentsView::OnIndexKeywords() {
    if (CanIndexKeywords()) {
        OpenSheet(currentItem(), 1);
    }
}

void CContentsView::OnBaseUrls() {
    // The index file sheet on its Base URLs page, whatever is selected.
    if (m_rootNode) {
        OpenSheet(m_rootNode, 1);
    }
}

CContentsView::SheetResult CContentsView::RunUrlSheet(IndexEntry& entry, int page, bool newEntry) {
    Q_EMIT UrlChanged(SelectedUrl());
    if (m_urlSheet) {
        return m_urlSheet(entry, page, newEntry);
    }
    return RunUrlPropertiesSheet(this, *m_document, entry, page, newEntry);
}

void CContentsView::OpenSheet(QTreeWidgetItem* node, int page) {
    IndexEntry* entry = EntryOf(node);
    IndexFile* index = m_document ? m_document->Index() : nullptr;
    if (!entry || !index) {
        return;
    }
    SheetResult result = SheetResult::Cancelled;
    std::unique_ptr<EditStep> step;
    if (node == m_rootNode) {
        // Every entry's targets are kept too: "Set all URLs to this Base URL" may change them.
        auto before = IndexFileStep::State::Of(*index, true);
        std::vector<std::unique_ptr<BaseUrl>> removed;
        result = m_indexFileSheet ? m_indexFileSheet(page)
                                  : RunIndexFileSheet(this, *m_document, page, &removed);
        auto after = IndexFileStep::State::Of(*index, true);
        bool setAll = !before.SameTargets(after);
        if (result == SheetResult::Changed && (setAll || !before.SameSettings(after))) {
            step = std::make_unique<IndexFileStep>(
                setAll ? "Set all URLs to this Base URL" : "Index File", *index, std::move(before),
                std::move(after), std::move(removed));
        }
    } else {
        auto before = EntryFieldsStep::Fields::Of(*entry);
        std::string title = entry->m_title;
        const char* name = "Properties";
        if (node == m_otherKeywordsNode) {
            name = "Other Index keywords";
            result = m_otherKeywordsSheet ? m_otherKeywordsSheet(page)
                                          : RunOtherKeywordsSheet(this, *m_document, page);
        } else {
            result = RunUrlSheet(*entry, page, false);
        }
        auto after = EntryFieldsStep::Fields::Of(*entry);
        if (result == SheetResult::Changed && !(before == after)) {
            step = std::make_unique<EntryFieldsStep>(StepName(name, title), *entry,
                                                     std::move(before), std::move(after));
        }
    }
    if (result == SheetResult::Changed) {
        // The sheet may have rebuilt the tree; the entry knows its node.
        // The Other Index keywords node keeps its label.
        QTreeWidgetItem* shown = node == m_rootNode ? m_rootNode : NodeOf(*entry);
        if (shown && node != m_otherKeywordsNode) {
            SetNodeLook(shown);
        }
        if (step) {
            Keep(std::move(step));
        }
        Commit();
        Q_EMIT UrlChanged(SelectedUrl());
    }
}

void CContentsView::OpenFromNode(QTreeWidgetItem* node) {
    if (!node || !EntryOf(node)) {
        return;
    }
    setCurrentItem(node);
    m_doubleClicking = true;
    if (node == m_otherKeywordsNode) {
        OnIndexKeywords();
    } else {
        OnProperties();
    }
    m_doubleClicking = false;
}

void CContentsView::mouseDoubleClickEvent(QMouseEvent* event) {
    QTreeWidgetItem* node = itemAt(event->position().toPoint());
    if (!node || event->button() != Qt::LeftButton) {
        QTreeWidget::mouseDoubleClickEvent(event);
        return;
    }
    // Neither expands nor starts editing the label. The tree's own edit step for a double
    // click cancels the label edit that the first click on a selected node has scheduled;
    // double clicks are no edit trigger here, so it opens nothing.
    QTreeWidget::edit(indexFromItem(node), DoubleClicked, event);
    OpenFromNode(node);
    event->accept();
}

void CContentsView::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        // Swallowed: no beep, and the tree does not act on it either. The Enter that ends a
        // label edit passes the edit box on its way here; it only ends the edit.
        if (!m_labelEditing && state() != QAbstractItemView::EditingState) {
            OpenFromNode(currentItem());
        }
        event->accept();
        return;
    }
    if (event->key() == Qt::Key_Escape && m_dragging) {
        EndDrag();
        // A cancelled drag leaves nothing marked as a drop target.
        SetDropHighlight(nullptr);
        m_dragNode = nullptr;
        event->accept();
        return;
    }
    QTreeWidget::keyPressEvent(event);
}

bool CContentsView::edit(const QModelIndex& index, EditTrigger trigger, QEvent* event) {
    QTreeWidgetItem* node = itemFromIndex(index);
    if (!node || node == m_otherKeywordsNode || m_doubleClicking || m_dragging) {
        return false;
    }
    if (!QTreeWidget::edit(index, trigger, event)) {
        return false;
    }
    if (state() == QAbstractItemView::EditingState) {
        m_labelEditing = true;
        m_editNode = node;
    }
    return true;
}

void CContentsView::commitData(QWidget* editor) {
    // The label is never written by the tree itself: the model decides what it shows.
    auto* line = qobject_cast<QLineEdit*>(editor);
    QTreeWidgetItem* node = m_editNode;
    IndexEntry* entry = EntryOf(node);
    if (!line || !entry || !m_document || !m_document->Index()) {
        return;
    }
    QString text = line->text();
    if (text.isEmpty()) {
        if (!m_blankWarningQueued) {
            m_blankWarningQueued = true;
            QMetaObject::invokeMethod(this, &CContentsView::WarnBlankLabel, Qt::QueuedConnection);
        }
        return;
    }
    if (text == node->text(0)) {
        return;
    }
    // Refused here, where the user can see what was typed, rather than at the next save.
    if (text.contains(QLatin1Char(';')) || text.contains(QLatin1Char('\n')) ||
        text.contains(QLatin1Char('\r'))) {
        if (m_unwritableWarningQueued) {
            return;
        }
        m_unwritableWarningQueued = true;
        QString what = node == m_rootNode ? QStringLiteral("description") : QStringLiteral("title");
        QMetaObject::invokeMethod(
            this, [this, what, text] { WarnUnwritableLabel(what, text); }, Qt::QueuedConnection);
        return;
    }
    IndexFile& index = *m_document->Index();
    std::unique_ptr<EditStep> step;
    if (node == m_rootNode) {
        auto before = IndexFileStep::State::Of(index, false);
        std::string name = StepName("Rename", index.m_description);
        index.m_description = m_document->Encode(text);
        step = std::make_unique<IndexFileStep>(std::move(name), index, std::move(before),
                                               IndexFileStep::State::Of(index, false),
                                               std::vector<std::unique_ptr<BaseUrl>>());
    } else {
        auto before = EntryFieldsStep::Fields::Of(*entry);
        std::string name = StepName("Rename", entry->m_title);
        entry->m_title = m_document->Encode(text);
        step = std::make_unique<EntryFieldsStep>(std::move(name), *entry, std::move(before),
                                                 EntryFieldsStep::Fields::Of(*entry));
    }
    node->setText(0, text);
    Record(std::move(step));
}

void CContentsView::WarnBlankLabel() {
    m_blankWarningQueued = false;
    DialogService::Message message;
    message.text = QStringLiteral("Sorry, this string cannot be blank");
    message.icon = DialogService::Icon::Warning;
    Dialogs().ShowMessage(this, message);
}

void CContentsView::WarnUnwritableLabel(const QString& what, const QString& text) {
    m_unwritableWarningQueued = false;
    DialogService::Message message;
    message.text = QStringLiteral("The %1 '%2' contains a semicolon or a line break, which an "
                                  "index file cannot hold. Please change it.")
                       .arg(what, text);
    message.icon = DialogService::Icon::Warning;
    Dialogs().ShowMessage(this, message);
}

void CContentsView::closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint) {
    m_labelEditing = false;
    m_editNode = nullptr;
    QTreeWidget::closeEditor(editor, hint);
}

} // namespace tamblin
