#include "app/ui/COptionsSheet.h"

#include "app/ui/COptionsEditing.h"
#include "app/ui/COptionsPrinting.h"
#include "platform/FirstField.h"

#include <QDialogButtonBox>
#include <QTabWidget>
#include <QVBoxLayout>

namespace tamblin {

COptionsSheet::COptionsSheet(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("optionsSheet"));
    setWindowTitle(QStringLiteral("Options"));
    m_tabs = new QTabWidget(this);
    m_printing = new COptionsPrinting(m_tabs);
    m_tabs->addTab(m_printing, QStringLiteral("Printing"));
    m_editing = new COptionsEditing(m_tabs);
    m_tabs->addTab(m_editing, QStringLiteral("Editing"));
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->setObjectName(QStringLiteral("buttons"));
    connect(buttons, &QDialogButtonBox::accepted, this, &COptionsSheet::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &COptionsSheet::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_tabs);
    layout->addWidget(buttons);
}

void COptionsSheet::showEvent(QShowEvent* event) {
    FocusFirstField(m_tabs->currentWidget());
    QDialog::showEvent(event);
}

void COptionsSheet::accept() {
    if (m_printing->OnKillActive()) {
        m_editing->OnKillActive();
        QDialog::accept();
    }
}

} // namespace tamblin
