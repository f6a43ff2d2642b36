#pragma once

#include "app/Commands.h"
#include "contents/EditObserver.h"
#include "contents/EntryPlaceStep.h"

#include <QIcon>
#include <QList>
#include <QTreeWidget>

#include <functional>
#include <memory>
#include <utility>

class QLabel;
class QMenu;

namespace tamblin {

class CXoDoc;
class EditStep;
class IndexEntry;

// The tree of the open index: the root (the description) with its entries, then
// "Other Index keywords". Each node's data is its IndexEntry and each entry holds its node.
class CContentsView final : public QTreeWidget, public EditObserver {
    Q_OBJECT

public:
    enum Image {
        kImageMark = 0,
        kImageMarkSwapped = 1,
        kImageNoEntry = 2,
        kImageContents = 3,
        kImageKeywords = 4
    };

    explicit CContentsView(QWidget* parent = nullptr);
    ~CContentsView() override;
    using QTreeWidget::edit;

    void SetDocument(CXoDoc* document);
    CXoDoc* Document() const { return m_document; }
    // Menu 137 "Contents"; its actions belong to the main frame.
    void SetContextMenu(QMenu* menu) { m_contextMenu = menu; }

    // The document's change notification: the tree is built again from the model.
    void Rebuild();

    QTreeWidgetItem* RootNode() const { return m_rootNode; }
    QTreeWidgetItem* OtherKeywordsNode() const { return m_otherKeywordsNode; }
    static IndexEntry* EntryOf(const QTreeWidgetItem* node);
    static QTreeWidgetItem* NodeOf(const IndexEntry& entry);
    IndexEntry* SelectedEntry() const;
    // What the status bar's URL pane shows: the selected entry's full URL.
    QString SelectedUrl() const;
    static QIcon Image(int index);

    // Inserting an entry's node with its subtree (used by rebuild and by the editing
    // commands): `after` null puts it first.
    QTreeWidgetItem* InsertEntryNode(IndexEntry& entry, QTreeWidgetItem* parent,
                                     QTreeWidgetItem* after, bool last);
    void SaveState(QTreeWidgetItem* node) const;
    // `fresh`: the nodes were just built, so only set flags need applying.
    void RestoreState(QTreeWidgetItem* node, bool fresh = true);

    // What a property sheet did.
    enum class SheetResult { Cancelled, Unchanged, Changed };
    // The URL properties sheet on `entry`; `page` 0 the first page, positive the keywords
    // page (passed on to it); `newEntry` for Insert URL.
    using UrlSheet = std::function<SheetResult(IndexEntry& entry, int page, bool newEntry)>;
    // The index file sheet (the root) or the Other Index keywords sheet.
    using FileSheet = std::function<SheetResult(int page)>;
    // Tests plug stand-in sheets in here; an empty one means the real sheet.
    void SetSheets(UrlSheet urlSheet, FileSheet indexFileSheet, FileSheet otherKeywordsSheet);

    // Gives the frame the view's commands: `plug(id, run, enabled)` for each.
    using Plug = std::function<void(Command, std::function<void()>, std::function<bool()>)>;
    void PlugCommands(const Plug& plug);

    // The commands, each doing nothing when its enabling rule does not hold.
    bool CanProperties() const;
    bool CanIndexKeywords() const;
    bool SelectedHasParent() const;
    bool CanPaste() const;
    // On (the default): every edit is a step that Undo takes back and Redo makes again.
    // Off: Undo delete takes back the last delete (Delete, Cut, a cancelled Insert URL)
    // and nothing else; there is no Redo. Switching forgets what could be undone.
    void SetUndoEveryEdit(bool on);
    bool UndoEveryEdit() const { return m_undoEveryEdit; }
    bool CanUndo() const;
    bool CanRedo() const;
    // The menu texts, named after the step: "&Undo Delete 'Intro'"; "&Undo" when none.
    QString UndoText() const;
    QString RedoText() const;
    bool CanFlatten() const;
    void OnProperties();
    void OnIndexKeywords();
    void OnBaseUrls();
    void OnInsertUrl();
    void OnDelete();
    void OnUndo();
    void OnRedo();
    bool OnCopy();
    void OnCut();
    void OnPaste();
    void OnFlatten();
    // Makes an edit that a step holds and has not done yet (the step's first Redo), and
    // records it for undo.
    void DoStep(std::unique_ptr<EditStep> step);
    // What the last step done, undone or redone changed, for views that mend themselves
    // rather than build again: `serial` counts those steps; `keywordsOnly` when the step
    // changed the keyword lists of `keywordEntries` and nothing else.
    struct StepChanges {
        unsigned serial = 0;
        bool keywordsOnly = false;
        std::vector<IndexEntry*> keywordEntries;
    };
    const StepChanges& LastStepChanges() const { return m_stepChanges; }
    // Opens the sheet for `node`: the root's, the Other Index keywords', or the URL sheet.
    void OpenSheet(QTreeWidgetItem* node, int page);
    const IndexEntry* ClipboardEntry() const { return m_clipboard.get(); }
    // The subtree Undo delete would bring back (only while every edit is not undone).
    const IndexEntry* UndoEntry() const { return m_undo.entry.get(); }

    // Dragging, driven by the mouse; public so that tests can drive it step by step.
    // Positions are in viewport coordinates.
    void BeginDrag(QTreeWidgetItem* node, const QPoint& at);
    void DragMove(const QPoint& at);
    void Drop(bool copy);
    bool IsDragging() const { return m_dragging; }
    QTreeWidgetItem* DropTarget() const { return m_dropTarget; }
    bool DropAsChild() const { return m_dropAsChild; }
    int DragImage() const { return m_dragImage; }

Q_SIGNALS:
    void UrlChanged(const QString& url);
    // Enabled states may have changed.
    void SelectionChanged();

protected:
    void contextMenuEvent(QContextMenuEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool edit(const QModelIndex& index, EditTrigger trigger, QEvent* event) override;
    void commitData(QWidget* editor) override;
    void closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint) override;
    void WarnBlankLabel();
    // what: "title" or "description".
    void WarnUnwritableLabel(const QString& what, const QString& text);

    // What undo and redo changed in the model, mirrored in the tree.
    void EntryRemoved(IndexEntry& parent, IndexEntry& entry) override;
    void EntryInserted(IndexEntry& parent, std::size_t position, IndexEntry& entry) override;
    void ChildrenRearranged(IndexEntry& parent) override;
    void EntryChanged(IndexEntry& entry) override;
    void FileChanged() override;

private:
    // The last deleted subtree and where it was, when only deletes are undone: `parent` and
    // `after` are live nodes or null once that place is gone; `first` means it was its
    // parent's first child.
    struct UndoRecord {
        std::unique_ptr<IndexEntry> entry;
        QTreeWidgetItem* parent = nullptr;
        QTreeWidgetItem* after = nullptr;
        bool first = false;
    };

    void Commit();
    // Before a rebuild: the entries at the undo place, whose new nodes it takes afterwards.
    std::pair<IndexEntry*, IndexEntry*> UndoPlaceAsEntries();
    bool CanUndoDelete() const;
    void OnUndoDelete();
    // Keeps a step that has just been done in the history, or, when only deletes are
    // undone, lets it go.
    void Keep(std::unique_ptr<EditStep> step);
    // Records an edit that has just been made as one undoable step, then commits.
    void Record(std::unique_ptr<EditStep> step);
    // After undo or redo: modified unless the model is back at its saved state.
    void CommitHistoryMove();
    // Runs `apply` (an undo, a redo, a step done) with an observer that notes what it changes.
    template <class Apply> void NoteStepChanges(Apply&& apply);
    // "Delete 'Intro'"; the verb alone for an untitled entry.
    static std::string StepName(const char* verb, const std::string& title);
    // Where the entry shown by `node` stands in the model.
    EntryPlaceStep::Place PlaceOf(QTreeWidgetItem* node) const;
    QTreeWidgetItem* NodeOfEntry(IndexEntry& entry) const;
    // Forgets the clipboard when it belongs to an index file that is gone.
    void DropStaleRecords() const;
    void DeleteNode(QTreeWidgetItem* node, bool ask, const char* verb = "Delete");
    // A copy taken before an undo removed a base URL may name a record the index no longer
    // lists: it is pointed at an equal record of the list, or at a new one, so that the
    // file never refers to a base URL it does not hold.
    void KeepBaseUrlsListed(IndexEntry& top);
    // Deletes a node, first forgetting the edit node when it lies in the node's subtree.
    void DetachNode(QTreeWidgetItem* node);
    // Inserts `entry` into the model and the tree under `parent` after `after` (null:
    // first; `last`: append), then restores its view state. Returns its node.
    QTreeWidgetItem* PlaceEntry(std::unique_ptr<IndexEntry> entry, QTreeWidgetItem* parent,
                                QTreeWidgetItem* after, bool last);
    void SetNodeLook(QTreeWidgetItem* node);
    void OpenFromNode(QTreeWidgetItem* node);
    SheetResult RunUrlSheet(IndexEntry& entry, int page, bool newEntry);
    int LabelRight(QTreeWidgetItem* node) const;
    void SetDragImage(int image);
    void MoveDragImage(const QPoint& globalAt);
    void SetDropHighlight(QTreeWidgetItem* node);
    void ShowDragCursor(bool shown);
    void EndDrag();
    void MoveOrCopy(bool copy);
    static bool IsInSubtree(const QTreeWidgetItem* node, const QTreeWidgetItem* top);

    void OnDocumentChanged(QObject* sender);
    void OnCurrentChanged();
    // The entry's node with its whole subtree, not yet in the tree.
    QTreeWidgetItem* BuildSubtree(IndexEntry& entry);
    QTreeWidgetItem* MakeNode(IndexEntry& entry, const QString& text, int image);

    CXoDoc* m_document = nullptr;
    QMenu* m_contextMenu = nullptr;
    QTreeWidgetItem* m_rootNode = nullptr;
    QTreeWidgetItem* m_otherKeywordsNode = nullptr;
    unsigned m_shownGeneration = 0;
    bool m_shown = false;

    UrlSheet m_urlSheet;
    FileSheet m_indexFileSheet;
    FileSheet m_otherKeywordsSheet;
    // Owned by the view; mutable so that stale ones can be dropped from const checks.
    mutable std::unique_ptr<IndexEntry> m_clipboard;
    mutable UndoRecord m_undo;
    bool m_undoEveryEdit = true;
    mutable unsigned m_recordGeneration = 0;
    StepChanges m_stepChanges;

    bool m_labelEditing = false;
    // The node whose label is being edited: the current node may move on before the edit
    // is committed.
    QTreeWidgetItem* m_editNode = nullptr;
    // A blank label's warning waits until the edit box has gone: a box opened while the
    // edit is being committed takes the focus, and the focus loss commits and closes the
    // same editor a second time from inside the box.
    bool m_blankWarningQueued = false;
    bool m_unwritableWarningQueued = false;
    bool m_doubleClicking = false;

    QTreeWidgetItem* m_pressNode = nullptr;
    QPoint m_pressAt;
    bool m_dragging = false;
    QTreeWidgetItem* m_dragNode = nullptr;
    QTreeWidgetItem* m_dropTarget = nullptr;
    bool m_dropAsChild = false;
    int m_dragImage = kImageMark;
    bool m_cursorShown = true;
    QLabel* m_dragImageWindow = nullptr;
};

} // namespace tamblin
