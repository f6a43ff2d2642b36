#include "language/ui/SaveLanguageDialog.h"

#include "platform/ElidingLabel.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace tamblin {

namespace {

QPushButton* Button(QWidget* parent, const QString& text, const QString& name) {
    auto* button = new QPushButton(text, parent);
    button->setObjectName(name);
    button->setAutoDefault(false);
    return button;
}

} // namespace

SaveLanguageDialog::SaveLanguageDialog(const QString& path, QWidget* parent)
    : QDialog(parent), m_prompt(new QLabel(this)), m_path(new ElidingLabel(this)),
      m_save(Button(this, QStringLiteral("Save"), QStringLiteral("saveButton"))),
      m_saveAsButton(Button(this, QStringLiteral("Save As..."), QStringLiteral("saveAsButton"))) {
    setObjectName(QStringLiteral("SaveLanguageDialog"));
    setWindowTitle(QStringLiteral("Save Language File"));
    m_prompt->setObjectName(QStringLiteral("prompt"));
    m_path->setObjectName(QStringLiteral("path"));
    m_path->setText(path);
    m_path->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_prompt->setText(path.isEmpty() ? QStringLiteral("Select a filename to Save As...")
                                     : QStringLiteral("OK to save language file as:"));
    m_save->setEnabled(!path.isEmpty());
    m_save->setDefault(true);
    QPushButton* cancel = Button(this, QStringLiteral("Cancel"), QStringLiteral("cancelButton"));

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_save);
    buttons->addWidget(m_saveAsButton);
    buttons->addWidget(cancel);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_prompt);
    layout->addWidget(m_path);
    layout->addStretch();
    layout->addLayout(buttons);
    setMinimumWidth(400);

    connect(m_save, &QPushButton::clicked, this, &QDialog::accept);
    connect(m_saveAsButton, &QPushButton::clicked, this, &SaveLanguageDialog::OnSaveAs);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
}

SaveLanguageDialog::Choice SaveLanguageDialog::Ask() {
    if (exec() != QDialog::Accepted) {
        return Choice::Cancel;
    }
    return m_saveAs ? Choice::SaveAs : Choice::Save;
}

void SaveLanguageDialog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    QApplication::beep();
}

void SaveLanguageDialog::OnSaveAs() {
    m_saveAs = true;
    accept();
}

} // namespace tamblin
