#include "scanner/ui/CScanSource.h"

#include "index/UrlUtils.h"
#include "platform/CommonPrompts.h"
#include "platform/DialogService.h"
#include "scanner/ui/NewIndexWizard.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

namespace tamblin {

namespace {

constexpr const char* kWebPageFilter =
    "Web Page Files (*.htm *.html)|*.htm;*.html|All Files (*.*)|*.*||";

} // namespace

CScanSource::CScanSource(NewIndexWizard& wizard) : m_wizard(wizard) {
    setObjectName(QStringLiteral("CScanSource"));
    setTitle(QStringLiteral("Scan Existing Pages"));
    auto* intro = new QLabel(
        QStringLiteral("Select an initial page to scan, either a local file or direct from the "
                       "web.\nAll non-absolute links will be followed to build a complete index "
                       "for the site."),
        this);
    intro->setWordWrap(true);
    m_fileMode = new QRadioButton(QStringLiteral("&File:"));
    m_fileMode->setObjectName(QStringLiteral("fileMode"));
    m_file = new QLineEdit;
    m_file->setObjectName(QStringLiteral("file"));
    auto* browse = new QPushButton(QStringLiteral("B&rowse..."));
    browse->setObjectName(QStringLiteral("browse"));
    browse->setAutoDefault(false);
    m_urlMode = new QRadioButton(QStringLiteral("&URL:"));
    m_urlMode->setObjectName(QStringLiteral("urlMode"));
    m_url = new QLineEdit;
    m_url->setObjectName(QStringLiteral("url"));

    auto* layout = new QGridLayout(this);
    layout->addWidget(intro, 0, 0, 1, 3);
    layout->setRowMinimumHeight(1, 12);
    layout->addWidget(m_fileMode, 2, 0);
    layout->addWidget(m_file, 2, 1);
    layout->addWidget(browse, 2, 2);
    layout->addWidget(m_urlMode, 3, 0);
    layout->addWidget(m_url, 3, 1, 1, 2);
    layout->setRowStretch(4, 1);

    connect(m_file, &QLineEdit::textEdited, this, [this] { SelectMode(false); });
    connect(m_url, &QLineEdit::textEdited, this, [this] { SelectMode(true); });
    connect(m_fileMode, &QRadioButton::clicked, this, [this] { SelectMode(false); });
    connect(m_urlMode, &QRadioButton::clicked, this, [this] { SelectMode(true); });
    connect(browse, &QPushButton::clicked, this, &CScanSource::Browse);
}

void CScanSource::initializePage() {
    const NewWizardValues& values = m_wizard.Values();
    m_updating = true;
    m_file->setText(ScanText(values.lastFile));
    m_url->setText(ScanText(values.lastUrl));
    m_updating = false;
    SelectMode(values.fromUrl);
}

void CScanSource::SelectMode(bool fromUrl) {
    if (m_updating) {
        return;
    }
    NewWizardValues& values = m_wizard.Values();
    values.fromUrl = fromUrl;
    values.lastFile = ScanBytes(m_file->text());
    values.lastUrl = ScanBytes(m_url->text());
    (fromUrl ? m_urlMode : m_fileMode)->setChecked(true);
    Q_EMIT completeChanged();
}

bool CScanSource::isComplete() const {
    return !(m_wizard.Values().fromUrl ? m_url : m_file)->text().isEmpty();
}

void CScanSource::Browse() {
    QString path = m_file->text();
    if (PromptFileName(this, true, QStringLiteral("html"), QStringLiteral("Scan web page"), path,
                       QString::fromLatin1(kWebPageFilter))) {
        m_file->setText(path);
        SelectMode(false);
    }
}

bool CScanSource::validatePage() {
    NewWizardValues& values = m_wizard.Values();
    values.lastFile = ScanBytes(m_file->text());
    values.lastUrl = ScanBytes(m_url->text());
    if (!values.fromUrl) {
        if (FileExists(values.lastFile)) {
            return true;
        }
        DialogService::Message message;
        message.text = FormatMessage1(QStringLiteral("File (%1) does not exist"), m_file->text());
        message.icon = DialogService::Icon::Information;
        Dialogs().ShowMessage(this, message);
        return false;
    }
    values.lastUrl = CompleteUrl(values.lastUrl);
    m_url->setText(ScanText(values.lastUrl));
    return true;
}

std::string CScanSource::CompleteUrl(const std::string& url) {
    if (IsAbsoluteUrl(url) != 0) {
        return url;
    }
    std::string completed = "http://" + url;
    if (url.find('/') == std::string::npos) {
        completed += '/';
    }
    return completed;
}

} // namespace tamblin
