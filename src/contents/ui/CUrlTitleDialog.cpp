#include "contents/ui/CUrlTitleDialog.h"

#include "platform/CommonPrompts.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>

namespace tamblin {

CUrlTitleDialog::CUrlTitleDialog(const QString& title, const QString& url, QWidget* parent)
    : QDialog(parent), m_title(new QLineEdit(title, this)), m_url(new QLineEdit(url, this)) {
    setObjectName(QStringLiteral("urlTitleDialog"));
    setWindowTitle(QStringLiteral("URL Properties"));
    m_title->setObjectName(QStringLiteral("titleEdit"));
    m_url->setObjectName(QStringLiteral("urlEdit"));
    m_title->setMinimumWidth(m_title->fontMetrics().horizontalAdvance(QLatin1Char('x')) * 48);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &CUrlTitleDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CUrlTitleDialog::reject);
    auto* layout = new QFormLayout(this);
    layout->addRow(QStringLiteral("&Title:"), m_title);
    layout->addRow(QStringLiteral("&URL:"), m_url);
    layout->addRow(buttons);
}

QString CUrlTitleDialog::Title() const {
    return m_title->text();
}

QString CUrlTitleDialog::Url() const {
    return m_url->text();
}

void CUrlTitleDialog::accept() {
    // Entries are never saved without a title: the file format needs one.
    if (CheckMinLength(m_title, m_title->text(), 1)) {
        QDialog::accept();
    }
}

} // namespace tamblin
