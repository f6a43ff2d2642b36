#pragma once

#include <QIcon>
#include <QList>
#include <QTreeWidget>

class QMenu;

namespace tamblin {

class CXoDoc;
class IndexEntry;

// The tree of the open index: the root (the description) with its entries, then
// "Other Index keywords". Each node's data is its IndexEntry and each entry holds its node.
class CContentsView final : public QTreeWidget {
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
    void RestoreState(QTreeWidgetItem* node);

Q_SIGNALS:
    void UrlChanged(const QString& url);
    // Enabled states may have changed.
    void SelectionChanged();

protected:
    void contextMenuEvent(QContextMenuEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
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
};

} // namespace tamblin
