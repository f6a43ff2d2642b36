#include "searchpage/ui/CCallLocation.h"

#include "index/UrlUtils.h"
#include "platform/CommonPrompts.h"
#include "platform/DialogService.h"
#include "searchpage/ui/SearchPageWizard.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace tamblin {

namespace {

constexpr const char* kWebPageFilter =
    "Web Page Files (*.htm *.html)|*.htm;*.html|All Files (*.*)|*.*||";

} // namespace

CCallLocation::CCallLocation(SearchPageWizard& wizard) : m_wizard(wizard) {
    setObjectName(QStringLiteral("CCallLocation"));
    setTitle(QStringLiteral("Location"));
    auto* intro = new QLabel(QStringLiteral("This wizard helps you to set up a new web page to "
                                            "run Navora.\nOnce it has been set up, you must edit "
                                            "it elsewhere if you want to edit some of the run "
                                            "parameters."),
                             this);
    intro->setWordWrap(true);
    auto* question = new QLabel(QStringLiteral("Where do you want to create this new web page?"));
    auto* label = new QLabel(QStringLiteral("&Location:"));
    m_location = new QLineEdit;
    m_location->setObjectName(QStringLiteral("location"));
    label->setBuddy(m_location);
    auto* browse = new QPushButton(QStringLiteral("&Browse..."));
    browse->setObjectName(QStringLiteral("browse"));

    auto* layout = new QGridLayout(this);
    layout->addWidget(intro, 0, 0, 1, 3);
    layout->setRowMinimumHeight(1, 12);
    layout->addWidget(question, 2, 0, 1, 3);
    layout->addWidget(label, 3, 0);
    layout->addWidget(m_location, 3, 1);
    layout->addWidget(browse, 3, 2);
    layout->setRowStretch(4, 1);

    connect(m_location, &QLineEdit::textEdited, this, &CCallLocation::Edited);
    connect(browse, &QPushButton::clicked, this, &CCallLocation::Browse);
}

void CCallLocation::initializePage() {
    m_location->setText(Text(m_wizard.Settings().pagePath));
}

bool CCallLocation::isComplete() const {
    return !m_location->text().isEmpty();
}

void CCallLocation::Edited(const QString& text) {
    m_overwriteAgreed = false;
    m_wizard.Settings().pagePath = Bytes(text);
    Q_EMIT completeChanged();
}

void CCallLocation::Browse() {
    QString path = m_location->text();
    if (PromptFileName(this, false, QStringLiteral("html"), QStringLiteral("New web page"), path,
                       QString::fromLatin1(kWebPageFilter))) {
        m_location->setText(path);
        m_wizard.Settings().pagePath = Bytes(path);
        // The save dialog has asked about replacing it already.
        m_overwriteAgreed = FileExists(Bytes(path));
    }
    Q_EMIT completeChanged();
}

bool CCallLocation::validatePage() {
    QString path = m_location->text();
    if (path.isEmpty()) {
        DialogService::Message message;
        message.text = QStringLiteral("This string cannot be blank");
        Dialogs().ShowMessage(this, message);
        m_location->setFocus();
        return false;
    }
    m_wizard.Settings().pagePath = Bytes(path);
    if (!m_overwriteAgreed && FileExists(Bytes(path))) {
        DialogService::Message message;
        message.text = FormatMessage1(
            QStringLiteral("File (%1) already exists.  Is OK to overwrite it?"), path);
        message.icon = DialogService::Icon::Question;
        message.buttons = DialogService::Buttons::OkCancel;
        if (Dialogs().ShowMessage(this, message) != DialogService::Answer::Ok) {
            return false;
        }
        m_overwriteAgreed = true;
    }
    m_wizard.SetPageDirectory(SplitPath(Bytes(path)).directory);
    return true;
}

} // namespace tamblin
