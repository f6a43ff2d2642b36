#include "helpviewer/ui/HelpDialog.h"

#include "helpviewer/ui/RunListPlayer.h"
#include "index/UrlUtils.h"
#include "index/Version.h"
#include "platform/BrowserView.h"
#include "platform/DialogService.h"

#include <QAction>
#include <QApplication>
#include <QHBoxLayout>
#include <QIcon>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QStyle>
#include <QToolButton>

// The resources live in a static library: they are registered once, by hand.
static void InitLumioResources() {
    static const bool done = [] {
        Q_INIT_RESOURCE(lumio);
        return true;
    }();
    (void)done;
}

namespace tamblin {

namespace {

QIcon LumioIcon() {
    InitLumioResources();
    QIcon icon;
    for (int size : {16, 32, 48, 128}) {
        icon.addFile(QStringLiteral(":/lumio/lumio-%1.png").arg(size), QSize(size, size));
    }
    return icon;
}

} // namespace

HelpDialog::HelpDialog(const HelpSettings& settings, BrowserView* browser, QWidget* owner)
    : QDialog(owner, Qt::Window), m_settings(settings), m_browser(browser) {
    setObjectName(QStringLiteral("HelpDialog"));
    setSizeGripEnabled(true);
    m_buttonRow = new QWidget(this);
    auto* row = new QHBoxLayout(m_buttonRow);
    row->setContentsMargins(4, 4, 4, 4);
    row->setSpacing(3);
    m_contents = AddButton(QStringLiteral("&Contents"), "contentsButton");
    m_index = AddButton(QStringLiteral("&Index"), "indexButton");
    m_back = AddButton(QStringLiteral("&Back"), "backButton");
    m_forward = AddButton(QStringLiteral("&Forward"), "forwardButton");
    m_stop = AddButton(QStringLiteral("&Stop"), "stopButton");
    m_print = AddButton(QStringLiteral("&Print"), "printButton");
    QPushButton* close = AddButton(QStringLiteral("Close"), "closeButton");
    row->addStretch();
    setWindowIcon(LumioIcon());
    connect(m_contents, &QPushButton::clicked, this, [this] { ShowPage(m_settings.contentsPage); });
    connect(m_index, &QPushButton::clicked, this, [this] { ShowPage(m_settings.indexPage); });
    connect(close, &QPushButton::clicked, this, &QDialog::hide);
    connect(m_print, &QPushButton::clicked, this, &HelpDialog::OnPrint);

    if (m_browser) {
        m_browser->setParent(this);
        m_browserArea = m_browser;
        ConnectBrowser();
    } else {
        auto* label = new QLabel(QStringLiteral("Help pages need Qt WebEngine, which could not be "
                                                "loaded."),
                                 this);
        label->setWordWrap(true);
        label->setAlignment(Qt::AlignCenter);
        m_browserArea = label;
    }
    m_browserArea->setObjectName(QStringLiteral("helpBrowser"));

    AddWindowMenu();

    qApp->installEventFilter(this);
    resize(kWidth, 600);
    UpdateCaption();
    UpdateButtons();
}

QPushButton* HelpDialog::AddButton(const QString& text, const char* objectName) {
    auto* button = new QPushButton(text, m_buttonRow);
    button->setObjectName(QString::fromLatin1(objectName));
    // Enter presses the button that has the focus, as Space does.
    button->setAutoDefault(true);
    m_buttonRow->layout()->addWidget(button);
    return button;
}

void HelpDialog::AddWindowMenu() {
    // The desktop gives no way to add to a window's own menu, so the row ends in a menu
    // button that holds what that menu would; a right click on the row shows it too.
    auto* about = new QAction(QStringLiteral("&About Lumio..."), this);
    about->setObjectName(QStringLiteral("aboutLumioAction"));
    connect(about, &QAction::triggered, this, &HelpDialog::ShowAbout);
    auto* menu = new QMenu(this);
    menu->setObjectName(QStringLiteral("windowMenu"));
    menu->addAction(about);
    auto* button = new QToolButton(m_buttonRow);
    button->setObjectName(QStringLiteral("windowMenuButton"));
    button->setText(QStringLiteral("&Lumio"));
    button->setToolTip(QStringLiteral("About Lumio"));
    button->setMenu(menu);
    button->setPopupMode(QToolButton::InstantPopup);
    button->setToolButtonStyle(Qt::ToolButtonTextOnly);
    m_buttonRow->layout()->addWidget(button);
    auto* separator = new QAction(this);
    separator->setSeparator(true);
    m_buttonRow->addAction(separator);
    m_buttonRow->addAction(about);
    m_buttonRow->setContextMenuPolicy(Qt::ActionsContextMenu);
}

void HelpDialog::ConnectBrowser() {
    BrowserView::Callbacks callbacks;
    callbacks.titleChanged = [this](const QString& title) {
        m_pageTitle = title;
        UpdateCaption();
    };
    callbacks.statusText = [this](const QString&) { UpdateButtons(); };
    callbacks.busyChanged = [this](bool) { UpdateButtons(); };
    callbacks.canGoBackChanged = [this](bool can) {
        m_canGoBack = can;
        UpdateButtons();
    };
    callbacks.canGoForwardChanged = [this](bool can) {
        m_canGoForward = can;
        UpdateButtons();
    };
    callbacks.beforeNavigate = [this](const QUrl& url) {
        QString address = url.toString();
        if (address.startsWith(QStringLiteral("popup:"), Qt::CaseInsensitive)) {
            if (m_popupLink) {
                m_popupLink(address.mid(6).toStdString());
            }
            return false;
        }
        return true;
    };
    callbacks.printFinished = [](bool ok) {
        if (!ok) {
            Dialogs().ShowMessage(nullptr, {QStringLiteral("Sorry, could not print this page."),
                                            QStringLiteral("Lumio")});
        }
    };
    m_browser->SetCallbacks(std::move(callbacks));
    connect(m_back, &QPushButton::clicked, this, [this] { m_browser->GoBack(); });
    connect(m_forward, &QPushButton::clicked, this, [this] { m_browser->GoForward(); });
    connect(m_stop, &QPushButton::clicked, this, [this] { m_browser->Stop(); });
}

void HelpDialog::SetPopupLinkHandler(std::function<void(const std::string&)> handler) {
    m_popupLink = std::move(handler);
}

void HelpDialog::Dock(QRect workArea) {
    m_dockArea = workArea;
    FitDock();
}

QMargins HelpDialog::FrameMargins() const {
    QRect frame = frameGeometry();
    QRect inner = geometry();
    return QMargins(inner.left() - frame.left(), inner.top() - frame.top(),
                    frame.right() - inner.right(), frame.bottom() - inner.bottom());
}

void HelpDialog::FitDock() {
    QMargins frame = FrameMargins();
    m_dockFrame = frame;
    int height = std::max(m_dockArea.height() - frame.top() - frame.bottom(), 100);
    resize(width(), height);
    // move() places the frame's corner; the frame's width is the window's plus its edges.
    move(m_dockArea.right() + 1 - width() - frame.left() - frame.right(), m_dockArea.top());
}

void HelpDialog::BringToFront() {
    if (isMinimized()) {
        setWindowState(windowState() & ~Qt::WindowMinimized);
    }
    show();
    raise();
    activateWindow();
}

bool HelpDialog::event(QEvent* event) {
    bool result = QDialog::event(event);
    // A frame that arrived (or changed) after docking: fit again. Moving or resizing by
    // hand keeps the frame as it is, so the user's placement stands.
    QEvent::Type type = event->type();
    if (m_dockArea.isValid() &&
        (type == QEvent::Show || type == QEvent::Move || type == QEvent::Resize) &&
        FrameMargins() != m_dockFrame) {
        FitDock();
    }
    return result;
}

bool HelpDialog::ShowPage(const std::string& page) {
    std::string path = m_settings.helpDirectory + page;
    path = path.substr(0, path.find('#'));
    if (page.empty() || !FileExists(path)) {
        return false;
    }
    BringToFront();
    m_shownPath = QString::fromStdString(path);
    if (m_browser) {
        m_browser->Navigate(m_shownPath);
    }
    m_shownPage = true;
    UpdateButtons();
    return true;
}

void HelpDialog::UpdateButtons() {
    m_contents->setEnabled(!m_settings.contentsPage.empty());
    m_index->setEnabled(!m_settings.indexPage.empty());
    m_print->setEnabled(m_shownPage && m_browser);
    m_stop->setEnabled(m_shownPage && m_browser && m_browser->IsBusy());
    m_back->setEnabled(m_shownPage && m_canGoBack);
    m_forward->setEnabled(m_shownPage && m_canGoForward);
}

void HelpDialog::UpdateCaption() {
    setWindowTitle(QStringLiteral("Lumio: ") + DecodePageText(m_settings.title) +
                   QStringLiteral(" - ") + m_pageTitle);
}

void HelpDialog::OnPrint() {
    if (!m_browser || !m_browser->Print()) {
        Dialogs().ShowMessage(
            this, {QStringLiteral("Sorry, could not print this page."), QStringLiteral("Lumio")});
    }
}

void HelpDialog::ShowAbout() {
    Dialogs().ShowMessage(this, {QStringLiteral("Lumio, the help viewer of Tamblin\nVersion ") +
                                     QString::fromLatin1(kProgramVersion),
                                 QStringLiteral("About Lumio"), DialogService::Icon::Information});
}

void HelpDialog::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    int top = m_buttonRow->sizeHint().height();
    m_buttonRow->setGeometry(0, 0, width(), top);
    int margin = style()->pixelMetric(QStyle::PM_SizeGripSize) / 2;
    m_browserArea->setGeometry(0, top, width(), std::max(height() - top - margin, 0));
}

bool HelpDialog::eventFilter(QObject* watched, QEvent* event) {
    // Typed characters go nowhere in the help window, the browser included; keys that
    // are not characters (arrows, Tab, shortcuts) still work, and so does Space, which
    // presses buttons and scrolls the page rather than typing.
    if (event->type() == QEvent::KeyPress && watched->isWidgetType()) {
        auto* key = static_cast<QKeyEvent*>(event);
        auto* widget = static_cast<QWidget*>(watched);
        bool printable = !key->text().isEmpty() && key->text().at(0).isPrint() &&
                         key->key() != Qt::Key_Space &&
                         !(key->modifiers() & (Qt::ControlModifier | Qt::AltModifier));
        if (printable && (widget == this || isAncestorOf(widget))) {
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

} // namespace tamblin
