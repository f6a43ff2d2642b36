#include "app/ui/CMainFrame.h"

#include "app/AppSettings.h"
#include "contents/ui/CContentsView.h"
#include "document/ui/CXoDoc.h"
#include "keywords/ui/KeywordIndexView.h"
#include "platform/ElidingLabel.h"
#include "platform/KeyboardLocks.h"

#include <QAction>
#include <QCloseEvent>
#include <QDir>
#include <QDockWidget>
#include <QFileInfo>
#include <QLabel>
#include <QMenuBar>
#include <QMimeData>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>
#include <QUrl>

namespace tamblin {

namespace {

struct IconInfo {
    Command id;
    const char* themeName; // empty: the program's own picture only
    const char* fileName;
};

const IconInfo kIcons[] = {
    {Command::FileNew, "document-new", "new"},       {Command::FileOpen, "document-open", "open"},
    {Command::FileSave, "document-save", "save"},    {Command::EditCut, "edit-cut", "cut"},
    {Command::EditCopy, "edit-copy", "copy"},        {Command::EditPaste, "edit-paste", "paste"},
    {Command::EditUndo, "edit-undo", "undo"},        {Command::EditRedo, "edit-redo", "redo"},
    {Command::EditFind, "edit-find", "find"},        {Command::TestWebPage, "", "test"},
    {Command::FilePrint, "document-print", "print"}, {Command::AppAbout, "help-about", "about"},
    {Command::ContextHelp, "", "contexthelp"},
};

// "&&" stands for a "&" of the text itself; a single "&" marks the mnemonic.
QString WithoutMnemonic(const QString& text) {
    QString plain;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == QLatin1Char('&') && i + 1 < text.size()) {
            ++i;
        }
        plain += text[i];
    }
    return plain;
}

QIcon CommandIcon(Command id) {
    for (const IconInfo& info : kIcons) {
        if (info.id == id) {
            QIcon shipped(
                QStringLiteral(":/tamblin/toolbar/%1.png").arg(QLatin1String(info.fileName)));
            return *info.themeName ? QIcon::fromTheme(QLatin1String(info.themeName), shipped)
                                   : shipped;
        }
    }
    return {};
}

QList<QKeySequence> Shortcuts(const char* text) {
    QList<QKeySequence> keys;
    for (const QString& part :
         QString::fromLatin1(text).split(QLatin1Char('|'), Qt::SkipEmptyParts)) {
        keys.append(QKeySequence(part, QKeySequence::PortableText));
    }
    return keys;
}

QString RecentText(int position, const QString& path) {
    QString shown = QDir::toNativeSeparators(path);
    QString home = QDir::toNativeSeparators(QDir::homePath());
    if (shown.startsWith(home + QDir::separator())) {
        shown.replace(0, home.size(), QStringLiteral("~"));
    }
    if (shown.size() > 60) {
        shown = QFileInfo(path).fileName();
    }
    shown.replace(QLatin1Char('&'), QStringLiteral("&&"));
    return QStringLiteral("&%1 %2").arg(position + 1).arg(shown);
}

} // namespace

CMainFrame::CMainFrame(CXoDoc* document, SettingsStore* store, QWidget* parent)
    : QMainWindow(parent), m_document(document), m_store(store) {
    setObjectName(QStringLiteral("mainFrame"));
    setWindowIcon(QIcon(QStringLiteral(":/tamblin/tamblin.png")));
    m_view = new CContentsView(this);
    setCentralWidget(m_view);
    CreateActions();
    CreateMenus();
    CreateToolBar();
    CreateStatusBar();
    CreateContextMenu();
    CreateKeywordIndex();
    SetFrameworkHandlers();
    setAcceptDrops(true);
    setDockOptions(dockOptions() | QMainWindow::AnimatedDocks);
    connect(m_document, &CXoDoc::TitleChanged, this, &CMainFrame::UpdateTitle);
    connect(m_document, &CXoDoc::Changed, this, &CMainFrame::UpdateCommandUi);
    connect(m_view, &CContentsView::UrlChanged, m_urlPane, &QLabel::setText);
    connect(m_view, &CContentsView::SelectionChanged, this, &CMainFrame::UpdateCommandUi);
    m_view->SetDocument(m_document);
    m_view->PlugCommands([this](Command id, Run run, Enabled enabled) {
        SetHandler(id, std::move(run), std::move(enabled));
    });
    SetText(Command::EditUndo, [this] { return m_view->UndoText(); });
    SetText(Command::EditRedo, [this] { return m_view->RedoText(); });
    UpdateTitle();
    UpdateCommandUi();
}

void CMainFrame::SetUndoEveryEdit(bool on) {
    m_view->SetUndoEveryEdit(on);
    const CommandInfo* info = FindCommand(Command::EditUndo);
    QString prompt = on && info ? QString::fromLatin1(info->prompt).section(QLatin1Char('\n'), 0, 0)
                                : QStringLiteral("Undo the last delete");
    QAction* undo = Action(Command::EditUndo);
    undo->setStatusTip(prompt);
    undo->setWhatsThis(prompt);
    // Hidden, Redo is neither in the menu nor on the toolbar, and its keys do nothing.
    Action(Command::EditRedo)->setVisible(on);
    UpdateCommandUi();
}

void CMainFrame::CreateActions() {
    for (const CommandInfo& info : CommandTable()) {
        if (info.kind == CommandInfo::Kind::Command) {
            m_actions.insert(info.id, CreateAction(info));
        }
    }
}

QAction* CMainFrame::CreateAction(const CommandInfo& info) {
    auto* action = new QAction(QString::fromLatin1(info.text), this);
    action->setObjectName(QString::fromLatin1(info.objectName));
    action->setShortcuts(Shortcuts(info.shortcuts));
    action->setIcon(CommandIcon(info.id));
    action->setIconVisibleInMenu(false);
    // The prompt is "fly-by text\ntool tip".
    QStringList prompt = QString::fromLatin1(info.prompt).split(QLatin1Char('\n'));
    action->setStatusTip(prompt.value(0));
    action->setToolTip(prompt.value(1, prompt.value(0)));
    action->setWhatsThis(prompt.value(0));
    action->setEnabled(false);
    Command id = info.id;
    connect(action, &QAction::triggered, this, [this, id] { Execute(id); });
    // Keys without a menu item still have to reach the window.
    addAction(action);
    return action;
}

void CMainFrame::CreateMenus() {
    QMap<QString, QMenu*> menus;
    for (const CommandInfo& info : CommandTable()) {
        if (!*info.menu) {
            continue;
        }
        QString title = QString::fromLatin1(info.menu);
        QMenu*& menu = menus[title];
        if (!menu) {
            menu = menuBar()->addMenu(title);
            menu->setObjectName(QStringLiteral("menu") + QString(title).remove(QLatin1Char('&')));
            connect(menu, &QMenu::aboutToShow, this, &CMainFrame::UpdateCommandUi);
        }
        switch (info.kind) {
        case CommandInfo::Kind::Separator:
            menu->addSeparator();
            break;
        case CommandInfo::Kind::RecentFiles:
            CreateRecentFileActions(menu);
            break;
        case CommandInfo::Kind::Command:
            menu->addAction(m_actions.value(info.id));
            break;
        }
    }
}

void CMainFrame::CreateRecentFileActions(QMenu* menu) {
    m_recentPlaceholder = menu->addAction(QStringLiteral("Recent File"));
    m_recentPlaceholder->setObjectName(QStringLiteral("actionFileRecent"));
    m_recentPlaceholder->setEnabled(false);
    const CommandInfo* info = nullptr;
    for (const CommandInfo& row : CommandTable()) {
        if (row.kind == CommandInfo::Kind::RecentFiles) {
            info = &row;
        }
    }
    for (int i = 0; i < kRecentFileCount; ++i) {
        QAction* action = menu->addAction(QString());
        action->setObjectName(QStringLiteral("actionFileRecent%1").arg(i + 1));
        action->setStatusTip(QString::fromLatin1(info ? info->prompt : ""));
        action->setVisible(false);
        connect(action, &QAction::triggered, this, [this, i] {
            if (m_openRecent) {
                m_openRecent(i);
            }
        });
        m_recentActions.append(action);
    }
}

void CMainFrame::SetRecentFiles(const QStringList& paths) {
    m_recentFiles = paths;
    for (int i = 0; i < m_recentActions.size(); ++i) {
        QAction* action = m_recentActions[i];
        action->setVisible(i < paths.size());
        if (i < paths.size()) {
            action->setText(RecentText(i, paths[i]));
            action->setData(paths[i]);
        }
    }
    m_recentPlaceholder->setVisible(paths.isEmpty());
}

void CMainFrame::SetRecentFileHandler(std::function<void(int)> open) {
    m_openRecent = std::move(open);
}

void CMainFrame::SetDropHandler(std::function<void(const QString&)> open) {
    m_openDropped = std::move(open);
}

void CMainFrame::CreateToolBar() {
    m_toolBar = new QToolBar(QStringLiteral("Toolbar"), this);
    m_toolBar->setObjectName(QStringLiteral("toolBar"));
    m_toolBar->setIconSize(QSize(16, 15));
    m_toolBar->setMovable(true);
    m_toolBar->setFloatable(true);
    m_toolBar->setAllowedAreas(Qt::AllToolBarAreas);
    for (Command id : ToolbarCommands()) {
        if (id == Command::None) {
            m_toolBar->addSeparator();
        } else {
            m_toolBar->addAction(m_actions.value(id));
        }
    }
    addToolBar(Qt::TopToolBarArea, m_toolBar);
}

void CMainFrame::CreateStatusBar() {
    QStatusBar* bar = statusBar();
    bar->setObjectName(QStringLiteral("statusBar"));
    m_idlePane = new QLabel(IdleText(), bar);
    m_idlePane->setObjectName(QStringLiteral("messagePane"));
    bar->addWidget(m_idlePane, 1);
    m_urlPane = new ElidingLabel(bar);
    m_urlPane->setObjectName(QStringLiteral("urlPane"));
    m_urlPane->setMinimumWidth(m_urlPane->fontMetrics().horizontalAdvance(UrlPaneSizeText()));
    m_urlPane->setMaximumWidth(m_urlPane->minimumWidth());
    bar->addPermanentWidget(m_urlPane);
    for (QLabel** pane : {&m_capsPane, &m_numPane}) {
        *pane = new QLabel(bar);
        (*pane)->setAlignment(Qt::AlignCenter);
        (*pane)->setMinimumWidth((*pane)->fontMetrics().horizontalAdvance(QStringLiteral("CAPW")));
        bar->addPermanentWidget(*pane);
    }
    m_capsPane->setObjectName(QStringLiteral("capsPane"));
    m_numPane->setObjectName(QStringLiteral("numPane"));
    auto* timer = new QTimer(this);
    connect(timer, &QTimer::timeout, this, &CMainFrame::UpdateLockIndicators);
    timer->start(500);
    UpdateLockIndicators();
}

void CMainFrame::UpdateLockIndicators() {
    KeyboardLocks locks = KeyboardLocks::Query();
    m_capsPane->setText(locks.capsLock ? QStringLiteral("CAP") : QString());
    m_numPane->setText(locks.numLock ? QStringLiteral("NUM") : QString());
}

void CMainFrame::CreateContextMenu() {
    m_contextMenu = new QMenu(QStringLiteral("Contents"), this);
    m_contextMenu->setObjectName(QStringLiteral("menuContents"));
    auto add = [this](Command id, const char* text) {
        // Same command as the menu item, with the context menu's own mnemonic.
        QAction* item = m_contextMenu->addAction(QString::fromLatin1(text));
        item->setObjectName(m_actions.value(id)->objectName() + QStringLiteral("Context"));
        connect(item, &QAction::triggered, this, [this, id] { Execute(id); });
        connect(m_contextMenu, &QMenu::aboutToShow, item,
                [this, item, id] { item->setEnabled(m_actions.value(id)->isEnabled()); });
    };
    connect(m_contextMenu, &QMenu::aboutToShow, this, &CMainFrame::UpdateCommandUi);
    add(Command::ViewProperties, "&Properties...");
    add(Command::ViewIndexKeywords, "Index &keywords...");
    m_contextMenu->addSeparator();
    add(Command::EditInsertUrl, "Insert &URL...");
    add(Command::EditFlatten, "&Flatten");
    m_view->SetContextMenu(m_contextMenu);
}

void CMainFrame::CreateKeywordIndex() {
    m_keywordDock = new QDockWidget(QStringLiteral("Index"), this);
    m_keywordDock->setObjectName(QStringLiteral("keywordIndexDock"));
    m_keywordView = new KeywordIndexView(m_keywordDock);
    m_keywordDock->setWidget(m_keywordView);
    addDockWidget(Qt::RightDockWidgetArea, m_keywordDock);
    // Hidden until asked for: the window opens as it always has.
    m_keywordDock->hide();
    QAction* toggle = m_keywordDock->toggleViewAction();
    toggle->setText(QStringLiteral("&Index"));
    toggle->setObjectName(QStringLiteral("actionViewKeywordIndex"));
    toggle->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_I));
    toggle->setStatusTip(QStringLiteral("Show or hide the keyword index as readers will see it"));
    addAction(toggle);
    if (QMenu* view = menuBar()->findChild<QMenu*>(QStringLiteral("menuView"))) {
        view->addSeparator();
        view->addAction(toggle);
    }
    connect(m_keywordView, &KeywordIndexView::Message, this,
            [this](const QString& text) { statusBar()->showMessage(text, 5000); });
    m_keywordView->SetDocument(m_document, m_view);
}

void CMainFrame::SetFrameworkHandlers() {
    SetHandler(Command::AppExit, [this] { close(); });
    SetHandler(Command::FileSave, [this] { m_document->DoFileSave(); });
    SetHandler(Command::FileSaveAs, [this] { m_document->DoSave(m_document->PathName(), true); });
    SetHandler(Command::ViewToolbar, [this] { m_toolBar->setVisible(m_toolBar->isHidden()); });
    SetChecked(Command::ViewToolbar, [this] { return !m_toolBar->isHidden(); });
    SetHandler(Command::ViewStatusBar,
               [this] { statusBar()->setVisible(statusBar()->isHidden()); });
    SetChecked(Command::ViewStatusBar, [this] { return !statusBar()->isHidden(); });
    // The application plugs in the commands of the other modules (language files, the
    // Test menu). Test, Open web page never gets a handler: it is always disabled.
}

void CMainFrame::SetHandler(Command id, Run run, Enabled enabled) {
    if (id == Command::TestOpenWebPage) {
        return;
    }
    Handler& handler = m_handlers[id];
    handler.run = std::move(run);
    handler.enabled = std::move(enabled);
    UpdateCommandUi();
}

void CMainFrame::SetChecked(Command id, std::function<bool()> checked) {
    if (QAction* action = m_actions.value(id)) {
        action->setCheckable(true);
    }
    m_handlers[id].checked = std::move(checked);
    UpdateCommandUi();
}

void CMainFrame::SetText(Command id, std::function<QString()> text) {
    m_handlers[id].text = std::move(text);
    UpdateCommandUi();
}

void CMainFrame::Execute(Command id) {
    UpdateCommandUi();
    auto found = m_handlers.constFind(id);
    if (found != m_handlers.constEnd() && found->run && (!found->enabled || found->enabled())) {
        // A copy: the handler may replace itself or close the window.
        Run run = found->run;
        run();
    }
    UpdateCommandUi();
}

void CMainFrame::UpdateCommandUi() {
    for (auto it = m_actions.constBegin(); it != m_actions.constEnd(); ++it) {
        auto found = m_handlers.constFind(it.key());
        bool has = found != m_handlers.constEnd() && found->run;
        it.value()->setEnabled(has && (!found->enabled || found->enabled()));
        if (has && found->checked) {
            it.value()->setChecked(found->checked());
        }
        if (found != m_handlers.constEnd() && found->text) {
            QString text = found->text();
            it.value()->setText(text);
            // The text may name an entry: its title must not be read as markup.
            it.value()->setToolTip(PlainToolTip(WithoutMnemonic(text)));
        }
    }
}

void CMainFrame::UpdateTitle() {
    setWindowTitle(m_document->Title() + QStringLiteral(" - Tamblin"));
}

void CMainFrame::closeEvent(QCloseEvent* event) {
    // The position is kept even when the user then cancels the close.
    SavePlacement();
    if (!m_document->SaveModified()) {
        event->ignore();
        return;
    }
    event->accept();
}

void CMainFrame::SavePlacement() {
    if (!m_store) {
        return;
    }
    WindowPlacement placement;
    placement.showState = isMaximized()   ? WindowPlacement::kMaximised
                          : isMinimized() ? WindowPlacement::kMinimised
                                          : WindowPlacement::kNormal;
    QRect normal = normalGeometry().isValid() ? normalGeometry() : geometry();
    placement.left = normal.left();
    placement.top = normal.top();
    placement.right = normal.left() + normal.width();
    placement.bottom = normal.top() + normal.height();
    AppSettings::SavePlacement(*m_store, placement);
}

void CMainFrame::dragEnterEvent(QDragEnterEvent* event) {
    if (event->mimeData()->hasUrls()) {
        event->acceptProposedAction();
    }
}

void CMainFrame::dropEvent(QDropEvent* event) {
    // One document at a time: of several files the first local one is opened.
    for (const QUrl& url : event->mimeData()->urls()) {
        if (url.isLocalFile()) {
            event->acceptProposedAction();
            activateWindow();
            if (m_openDropped) {
                m_openDropped(url.toLocalFile());
            }
            return;
        }
    }
}

} // namespace tamblin
