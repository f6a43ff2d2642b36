#pragma once

#include "app/Commands.h"

#include <QMainWindow>
#include <QMap>

#include <functional>

class QAction;
class QDockWidget;
class QLabel;
class QMenu;
class QToolBar;

namespace tamblin {

class CContentsView;
class KeywordIndexView;
class CXoDoc;
class SettingsStore;

// The main window: menus, toolbar and status bar around the contents view. Every command
// is one QAction; it is enabled exactly when a handler is set for it and that handler's
// condition holds.
class CMainFrame final : public QMainWindow {
    Q_OBJECT

public:
    using Run = std::function<void()>;
    using Enabled = std::function<bool()>;

    CMainFrame(CXoDoc* document, SettingsStore* store, QWidget* parent = nullptr);

    // Gives a command its handler; `enabled` empty means always enabled. A later module
    // plugs in with one line, e.g. SetHandler(Command::EditFind, [view] { view->OnFind(); });
    void SetHandler(Command id, Run run, Enabled enabled = {});
    void SetChecked(Command id, std::function<bool()> checked);
    // A menu text that follows the state, e.g. "&Undo Delete 'Intro'"; the tool tip is the
    // same text without its mnemonic.
    void SetText(Command id, std::function<QString()> text);
    QAction* Action(Command id) const { return m_actions.value(id); }
    // Undo and Redo for every edit (on), or Undo delete alone, without Redo (off).
    void SetUndoEveryEdit(bool on);
    QMenu* ContextMenu() const { return m_contextMenu; }
    CContentsView* View() const { return m_view; }
    QDockWidget* KeywordDock() const { return m_keywordDock; }
    KeywordIndexView* KeywordView() const { return m_keywordView; }
    QToolBar* ToolBar() const { return m_toolBar; }
    QLabel* UrlPane() const { return m_urlPane; }

    void SetRecentFiles(const QStringList& paths);
    // The command for recent file `position` (0 = File1).
    void SetRecentFileHandler(std::function<void(int position)> open);
    // Files dropped on the window go here.
    void SetDropHandler(std::function<void(const QString& path)> open);
    // Enabled and checked states again; called when menus open and the selection moves.
    void UpdateCommandUi();

    static QString IdleText() { return QStringLiteral("For Help, press F1"); }
    static QString UrlPaneSizeText() {
        return QStringLiteral("Enough characters for a wide URL link");
    }

protected:
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    struct Handler {
        Run run;
        Enabled enabled;
        std::function<bool()> checked;
        std::function<QString()> text;
    };

    void CreateActions();
    QAction* CreateAction(const CommandInfo& info);
    void CreateMenus();
    void CreateRecentFileActions(QMenu* menu);
    void CreateToolBar();
    void CreateStatusBar();
    void CreateContextMenu();
    // The Index view in a dock beside the tree, shown and hidden from the View menu.
    void CreateKeywordIndex();
    void SetFrameworkHandlers();
    void Execute(Command id);
    void UpdateTitle();
    void UpdateLockIndicators();
    void SavePlacement();

    CXoDoc* m_document;
    SettingsStore* m_store;
    CContentsView* m_view = nullptr;
    QDockWidget* m_keywordDock = nullptr;
    KeywordIndexView* m_keywordView = nullptr;
    QToolBar* m_toolBar = nullptr;
    QMenu* m_contextMenu = nullptr;
    QLabel* m_idlePane = nullptr;
    QLabel* m_urlPane = nullptr;
    QLabel* m_capsPane = nullptr;
    QLabel* m_numPane = nullptr;
    QMap<Command, QAction*> m_actions;
    QMap<Command, Handler> m_handlers;
    QList<QAction*> m_recentActions;
    QAction* m_recentPlaceholder = nullptr;
    QStringList m_recentFiles;
    std::function<void(int)> m_openRecent;
    std::function<void(const QString&)> m_openDropped;
};

} // namespace tamblin
