#include "contents/ui/CPropertySheet.h"

#include "contents/ui/CPropertyPage.h"
#include "platform/FirstField.h"
#include "platform/ScreenFit.h"

#include <QDialogButtonBox>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

namespace tamblin {

CPropertySheet::CPropertySheet(const QString& caption, QWidget* parent)
    : QDialog(parent), m_tabs(new QTabWidget(this)) {
    setWindowTitle(caption);
    setObjectName(QStringLiteral("propertySheet"));
    m_tabs->setObjectName(QStringLiteral("pages"));
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setObjectName(QStringLiteral("ok"));
    buttons->button(QDialogButtonBox::Cancel)->setObjectName(QStringLiteral("cancel"));
    connect(buttons, &QDialogButtonBox::accepted, this, &CPropertySheet::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CPropertySheet::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_tabs);
    layout->addWidget(buttons);
    connect(m_tabs, &QTabWidget::currentChanged, this, &CPropertySheet::OnTabChanged);
}

void CPropertySheet::AddPage(CPropertyPage* page, const QString& label) {
    m_switching = true;
    m_tabs->addTab(page, label);
    m_switching = false;
}

void CPropertySheet::SetActivePage(int index) {
    m_switching = true;
    m_tabs->setCurrentIndex(index);
    m_switching = false;
    m_current = m_tabs->currentIndex();
    if (CPropertyPage* page = ActivePage()) {
        page->Activate();
    }
}

CPropertyPage* CPropertySheet::ActivePage() const {
    return qobject_cast<CPropertyPage*>(m_tabs->currentWidget());
}

void CPropertySheet::showEvent(QShowEvent* event) {
    if (m_current < 0) {
        SetActivePage(m_tabs->currentIndex());
    }
    FocusFirstField(ActivePage());
    QDialog::showEvent(event);
    KeepWithinWorkArea(*this);
}

void CPropertySheet::OnTabChanged(int index) {
    if (m_switching) {
        return;
    }
    auto* left = qobject_cast<CPropertyPage*>(m_tabs->widget(m_current));
    if (left && !left->OnKillActive()) {
        m_switching = true;
        m_tabs->setCurrentIndex(m_current);
        m_switching = false;
        return;
    }
    SetActivePage(index);
}

void CPropertySheet::accept() {
    if (m_current < 0) {
        SetActivePage(m_tabs->currentIndex());
    }
    CPropertyPage* active = ActivePage();
    if (active && !active->OnKillActive()) {
        return;
    }
    for (int i = 0; i < m_tabs->count(); ++i) {
        auto* page = qobject_cast<CPropertyPage*>(m_tabs->widget(i));
        if (page && page->IsInitialised() && !page->OnOk()) {
            if (page != active) {
                SetActivePage(i);
            }
            return;
        }
    }
    QDialog::accept();
}

} // namespace tamblin
