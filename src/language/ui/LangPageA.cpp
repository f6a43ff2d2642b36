#include "language/ui/LangPageA.h"

#include "platform/ElidingLabel.h"

#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

namespace tamblin {

namespace {

// Long paths are elided rather than widen the sheet; a path is shown as it is, never as markup.
QLabel* ValueLabel(QWidget* parent, const QString& name) {
    auto* label = new ElidingLabel(parent);
    label->setObjectName(name);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    return label;
}

} // namespace

LangPageA::LangPageA(QWidget* parent)
    : QWidget(parent), m_description(new QLineEdit(this)),
      m_fileName(ValueLabel(this, QStringLiteral("fileName"))),
      m_format(ValueLabel(this, QStringLiteral("format"))) {
    setObjectName(QStringLiteral("LangPageA"));
    m_description->setObjectName(QStringLiteral("description"));
    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("Description:"), m_description);
    form->addRow(QStringLiteral("Filename:"), m_fileName);
    form->addRow(QStringLiteral("Format:"), m_format);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addStretch();
    connect(m_description, &QLineEdit::textChanged, this, &LangPageA::OnDescriptionChanged);
}

void LangPageA::Fill(const QString& path, const QString& format, const QString& description) {
    m_fileName->setText(path);
    m_format->setText(format);
    m_description->setText(description);
    m_modified = true;
}

QString LangPageA::Description() const {
    return m_description->text();
}

void LangPageA::OnDescriptionChanged() {
    m_modified = true;
}

} // namespace tamblin
