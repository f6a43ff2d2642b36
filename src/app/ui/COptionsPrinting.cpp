#include "app/ui/COptionsPrinting.h"

#include "platform/CommonPrompts.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFont>
#include <QFontDatabase>
#include <QFontInfo>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QRegularExpression>
#include <QSet>

namespace tamblin {

namespace {

QLabel* BuddyLabel(const QString& text, QWidget* buddy, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setBuddy(buddy);
    return label;
}

} // namespace

COptionsPrinting::COptionsPrinting(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("COptionsPrinting"));
    m_face = new QComboBox(this);
    m_face->setObjectName(QStringLiteral("fontCombo"));
    m_face->addItems(FontFamilyChoices(QFontDatabase::families()));
    m_size = new QLineEdit(this);
    m_size->setObjectName(QStringLiteral("sizeEdit"));
    m_size->setMaxLength(4);
    m_summary = new QCheckBox(QStringLiteral("&Summary"), this);
    m_summary->setObjectName(QStringLiteral("summaryCheck"));
    auto* layout = new QFormLayout(this);
    layout->addRow(BuddyLabel(QStringLiteral("&Font:"), m_face, this), m_face);
    layout->addRow(BuddyLabel(QStringLiteral("Font si&ze (points):"), m_size, this), m_size);
    layout->addRow(QString(), m_summary);
    auto changed = [this] {
        if (!m_updatingControls) {
            m_modified = true;
        }
    };
    connect(m_face, &QComboBox::currentIndexChanged, this, changed);
    connect(m_size, &QLineEdit::textEdited, this, changed);
    connect(m_summary, &QCheckBox::toggled, this, changed);
}

QString COptionsPrinting::WithoutFoundry(const QString& family) {
    static const QRegularExpression foundry(QStringLiteral("\\s*\\[[^\\]]*\\]$"));
    QString name = family;
    name.remove(foundry);
    return name;
}

QStringList COptionsPrinting::FontFamilyChoices(const QStringList& families) {
    QStringList choices;
    QSet<QString> seen;
    for (const QString& family : families) {
        QString name = WithoutFoundry(family);
        if (!name.isEmpty() && !seen.contains(name.toCaseFolded())) {
            seen.insert(name.toCaseFolded());
            choices.append(name);
        }
    }
    choices.sort(Qt::CaseInsensitive);
    return choices;
}

void COptionsPrinting::UpdateControls() {
    m_updatingControls = true;
    int index = m_face->findText(m_printFace, Qt::MatchFixedString);
    if (index < 0) {
        index = m_face->findText(m_printFace, Qt::MatchStartsWith);
    }
    m_standIn = -1;
    if (index < 0) {
        // The face is not installed: show the one that really prints instead of nothing.
        QFont requested(m_printFace);
        index =
            m_face->findText(WithoutFoundry(QFontInfo(requested).family()), Qt::MatchFixedString);
        m_standIn = index;
    }
    m_face->setCurrentIndex(index);
    m_size->setText(QString::number(m_printPointSize));
    m_summary->setChecked(m_printSummary);
    m_updatingControls = false;
}

bool COptionsPrinting::OnKillActive() {
    bool ok = false;
    int size = m_size->text().trimmed().toInt(&ok);
    if (!ok) {
        ShowWarning(this, QStringLiteral("Please enter an integer."));
    } else if (size < kMinPointSize || size > kMaxPointSize) {
        ShowWarning(this, QStringLiteral("Please enter an integer between %1 and %2.")
                              .arg(kMinPointSize)
                              .arg(kMaxPointSize));
        ok = false;
    }
    if (!ok) {
        m_size->setFocus();
        m_size->selectAll();
        return false;
    }
    // A face this computer does not have stays as it was unless another one is chosen, so
    // that settings shared with a computer that has it keep it.
    if (m_face->currentIndex() >= 0 && m_face->currentIndex() != m_standIn) {
        m_printFace = m_face->currentText();
    }
    m_printPointSize = size;
    m_printSummary = m_summary->isChecked();
    return true;
}

} // namespace tamblin
