#include "testpage/ui/CTestDialog.h"

#include "platform/BrowserView.h"
#include "platform/CommandHost.h"
#include "platform/CommonPrompts.h"
#include "platform/ScreenFit.h"

#include <QComboBox>
#include <QDir>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShortcut>
#include <QVBoxLayout>

namespace tamblin {

namespace {

constexpr const char* kWebPageFilter =
    "Web Page Files (*.htm *.html)|*.htm;*.html|All Files (*.*)|*.*||";

int FindPage(const QComboBox* box, const QString& text) {
    for (int i = 0; i < box->count(); ++i) {
        if (RecentPageList::SamePage(box->itemText(i), text)) {
            return i;
        }
    }
    return -1;
}

} // namespace

CTestDialog::CTestDialog(const QString& initialPage, CommandHost& host, QWidget* parent)
    : QDialog(parent), m_host(host) {
    setObjectName(QStringLiteral("testDialog"));
    setWindowTitle(QStringLiteral("Test"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, true);
    setSizeGripEnabled(true);
    BuildControls();
    m_recent.Read(m_host.Settings());
    FillPageBox(initialPage);
    if (m_pageBox->count() > 0) {
        ShowPage();
    }
}

CTestDialog::~CTestDialog() = default;

void CTestDialog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    KeepWithinWorkArea(*this);
}

void CTestDialog::BuildControls() {
    auto* pageLabel = new QLabel(QStringLiteral("&Page:"), this);
    m_pageBox = new QComboBox(this);
    m_pageBox->setObjectName(QStringLiteral("pageBox"));
    m_pageBox->setEditable(true);
    m_pageBox->setInsertPolicy(QComboBox::NoInsert);
    m_pageBox->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    // A long recent page must not set the width of the dialog; the box still holds it all.
    m_pageBox->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    m_pageBox->setMinimumContentsLength(30);
    pageLabel->setBuddy(m_pageBox);
    m_show = new QPushButton(QStringLiteral("&Show page"), this);
    m_show->setObjectName(QStringLiteral("showButton"));
    m_show->setDefault(true);
    auto* browse = new QPushButton(QStringLiteral("&Browse"), this);
    browse->setObjectName(QStringLiteral("browseButton"));

    m_back = new QPushButton(QStringLiteral("Bac&k"), this);
    m_back->setObjectName(QStringLiteral("backButton"));
    m_back->setAutoDefault(false);
    m_back->setEnabled(false);
    m_back->setToolTip(QStringLiteral("Back to the page shown before (Alt+Left)"));

    QWidget* browserArea = BuildBrowser();

    auto* warning = new QLabel(QStringLiteral("Warning: This test page may not behave exactly "
                                              "like a full browser.  Please test with "
                                              "different browsers."),
                               this);
    warning->setObjectName(QStringLiteral("warning"));
    auto* close = new QPushButton(QStringLiteral("Close"), this);
    close->setObjectName(QStringLiteral("closeButton"));
    close->setAutoDefault(false);

    auto* top = new QHBoxLayout;
    top->addWidget(m_back);
    top->addWidget(m_show);
    top->addWidget(pageLabel);
    top->addWidget(m_pageBox, 1);
    top->addWidget(browse);
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(warning, 1);
    bottom->addWidget(close);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(browserArea, 1);
    layout->addLayout(bottom);
    resize(640, 520);

    connect(m_show, &QPushButton::clicked, this, &CTestDialog::ShowPage);
    connect(browse, &QPushButton::clicked, this, &CTestDialog::Browse);
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_pageBox, &QComboBox::activated, this, [this] { ShowPage(); });
}

// The browser the host gives, wired to Back and the status bar; a note where there is none.
QWidget* CTestDialog::BuildBrowser() {
    m_browser = m_host.CreateBrowser(this);
    QWidget* browserArea = m_browser;
    if (m_browser) {
        BrowserView::Callbacks callbacks;
        callbacks.statusText = [this](const QString& text) { m_host.SetStatusText(text); };
        callbacks.canGoBackChanged = [this](bool can) { m_back->setEnabled(can); };
        callbacks.urlChanged = [this](const QUrl& url) { OnUrlChanged(url); };
        m_browser->SetCallbacks(callbacks);
        connect(m_back, &QPushButton::clicked, this, [this] { m_browser->GoBack(); });
        // As in browsers; the button's own mnemonic stays Alt+K.
        auto* backKey = new QShortcut(QKeySequence(Qt::ALT | Qt::Key_Left), this);
        connect(backKey, &QShortcut::activated, m_back, &QPushButton::animateClick);
    } else {
        // Callers check for the plugin first; should it fail anyway the list still works.
        browserArea = new QLabel(QString::fromLatin1(kNoBrowserMessage), this);
    }
    browserArea->setObjectName(QStringLiteral("browser"));
    browserArea->setMinimumSize(320, 200);
    return browserArea;
}

void CTestDialog::FillPageBox(const QString& initialPage) {
    for (const QString& page : m_recent.Pages()) {
        QString trimmed = page;
        while (!trimmed.isEmpty() && trimmed.front().isSpace()) {
            trimmed.remove(0, 1);
        }
        if (!trimmed.isEmpty()) {
            m_pageBox->addItem(trimmed);
        }
    }
    if (!initialPage.isEmpty()) {
        SelectPage(initialPage);
    } else if (m_pageBox->count() > 0) {
        m_pageBox->setCurrentIndex(0);
    }
}

void CTestDialog::SelectPage(const QString& page) {
    int index = FindPage(m_pageBox, page);
    if (index < 0) {
        m_pageBox->insertItem(0, page);
        index = 0;
    }
    m_pageBox->setCurrentIndex(index);
}

void CTestDialog::ShowPage() {
    QString page = m_pageBox->currentText();
    if (page.isEmpty()) {
        return;
    }
    m_recent.Add(page);
    // Written now, so a crash or a kill keeps it.
    m_recent.Write(m_host.Settings());
    if (FindPage(m_pageBox, page) < 0) {
        m_pageBox->insertItem(0, page);
        m_pageBox->setCurrentIndex(0);
    }
    if (m_browser) {
        m_browser->Navigate(page);
    }
}

namespace {

// What the browser makes of a page as typed, the anchor left out.
QUrl PageUrl(const QString& page) {
    return QUrl::fromUserInput(page.trimmed(), QDir::currentPath(), QUrl::AssumeLocalFile)
        .adjusted(QUrl::RemoveFragment);
}

} // namespace

void CTestDialog::OnUrlChanged(const QUrl& url) {
    QUrl page = url.adjusted(QUrl::RemoveFragment);
    // A page as typed stays as typed while the browser is on it ("Search.html", not the full
    // file URL it becomes), and Back to a listed page selects it again.
    if (url.isEmpty() || PageUrl(m_pageBox->currentText()) == page) {
        return;
    }
    for (int i = 0; i < m_pageBox->count(); ++i) {
        if (PageUrl(m_pageBox->itemText(i)) == page) {
            m_pageBox->setCurrentIndex(i);
            return;
        }
    }
    // Shown, not added to the recent pages: only pages the author asks for go there.
    m_pageBox->setEditText(url.isLocalFile() ? QDir::toNativeSeparators(url.toLocalFile())
                                             : url.toString());
}

void CTestDialog::Browse() {
    QString path;
    if (PromptFileName(this, true, QStringLiteral("html"), QStringLiteral("Open web page"), path,
                       QString::fromLatin1(kWebPageFilter))) {
        SelectPage(path);
        ShowPage();
    }
}

void CTestDialog::done(int result) {
    if (!m_closed) {
        m_closed = true;
        m_recent.Write(m_host.Settings());
        m_host.SetStatusText(QString::fromLatin1(kIdleStatusText));
    }
    QDialog::done(result);
}

} // namespace tamblin
