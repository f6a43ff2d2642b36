#include "app/ui/COptionsEditing.h"

#include <QCheckBox>
#include <QLabel>
#include <QVBoxLayout>

namespace tamblin {

COptionsEditing::COptionsEditing(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("COptionsEditing"));
    m_undoEveryEditCheck = new QCheckBox(QStringLiteral("&Undo every edit"), this);
    m_undoEveryEditCheck->setObjectName(QStringLiteral("undoEveryEditCheck"));
    auto* note = new QLabel(QStringLiteral("On: Undo and Redo take back and make again every "
                                           "change, many steps deep.\nOff: Undo delete takes "
                                           "back the last delete only."),
                            this);
    note->setObjectName(QStringLiteral("undoEveryEditNote"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_undoEveryEditCheck);
    layout->addWidget(note);
    layout->addStretch(1);
    connect(m_undoEveryEditCheck, &QCheckBox::toggled, this, [this] {
        if (!m_updatingControls) {
            m_modified = true;
        }
    });
}

void COptionsEditing::UpdateControls() {
    m_updatingControls = true;
    m_undoEveryEditCheck->setChecked(m_undoEveryEdit);
    m_updatingControls = false;
}

void COptionsEditing::OnKillActive() {
    m_undoEveryEdit = m_undoEveryEditCheck->isChecked();
}

} // namespace tamblin
