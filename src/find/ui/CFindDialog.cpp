#include "find/ui/CFindDialog.h"

#include "app/AppSettings.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace tamblin {

CFindDialog::CFindDialog(QWidget* owner, const QString& text, bool wholeWord, bool matchCase,
                         AppSettings& settings)
    : QDialog(owner), m_settings(settings) {
    setObjectName(QStringLiteral("findDialog"));
    setWindowTitle(QStringLiteral("Find"));
    setModal(false);
    BuildControls();
    m_findWhat->setText(text.left(kMaxTextLength));
    m_findWhat->selectAll();
    m_wholeWord->setChecked(wholeWord);
    m_matchCase->setChecked(matchCase);
    m_findNext->setEnabled(!m_findWhat->text().isEmpty());
    // Closed by Cancel, Escape or the window's close button alike.
    connect(this, &QDialog::finished, this, &QObject::deleteLater);
}

void CFindDialog::BuildControls() {
    m_findWhat = new QLineEdit(this);
    m_findWhat->setObjectName(QStringLiteral("findWhat"));
    m_findWhat->setMaxLength(kMaxTextLength);
    m_findWhat->setMinimumWidth(m_findWhat->fontMetrics().averageCharWidth() * 30);
    auto* label = new QLabel(QStringLiteral("Fi&nd What:"), this);
    label->setBuddy(m_findWhat);

    m_wholeWord = AddCheck("wholeWord", QStringLiteral("Match &Whole Word Only"), false);
    m_matchCase = AddCheck("matchCase", QStringLiteral("Match &Case"), false);
    m_inUrls = AddCheck("inUrls", QStringLiteral("In &URLs"), m_settings.m_findUrls);
    m_inUrls->setToolTip(QStringLiteral("Finds text in the URLs"));
    m_inIndices =
        AddCheck("inIndices", QStringLiteral("In &Index keywords"), m_settings.m_findIndices);
    m_inIndices->setToolTip(QStringLiteral("Finds text in the index keywords attached to URLs"));
    connect(m_inUrls, &QCheckBox::clicked, this, [this](bool on) {
        m_settings.m_findUrls = on;
        Q_EMIT SettingsChanged();
    });
    connect(m_inIndices, &QCheckBox::clicked, this, [this](bool on) {
        m_settings.m_findIndices = on;
        Q_EMIT SettingsChanged();
    });

    m_findNext = new QPushButton(QStringLiteral("&Find Next"), this);
    m_findNext->setObjectName(QStringLiteral("findNext"));
    m_findNext->setDefault(true);
    auto* cancel = new QPushButton(QStringLiteral("Cancel"), this);
    cancel->setObjectName(QStringLiteral("cancel"));
    auto* help = new QPushButton(QStringLiteral("&Help"), this);
    help->setObjectName(QStringLiteral("help"));
    help->setAutoDefault(false);
    cancel->setAutoDefault(false);
    connect(m_findNext, &QPushButton::clicked, this, &CFindDialog::FindNextRequested);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(help, &QPushButton::clicked, this, &CFindDialog::HelpRequested);
    connect(m_findWhat, &QLineEdit::textChanged, this,
            [this](const QString& now) { m_findNext->setEnabled(!now.isEmpty()); });

    auto* textRow = new QHBoxLayout;
    textRow->addWidget(label);
    textRow->addWidget(m_findWhat, 1);
    auto* checks = new QGridLayout;
    checks->addWidget(m_wholeWord, 0, 0);
    checks->addWidget(m_matchCase, 1, 0);
    checks->addWidget(m_inUrls, 0, 1);
    checks->addWidget(m_inIndices, 1, 1);
    auto* left = new QVBoxLayout;
    left->addLayout(textRow);
    left->addLayout(checks);
    left->addStretch(1);
    auto* buttons = new QVBoxLayout;
    buttons->addWidget(m_findNext);
    buttons->addWidget(cancel);
    buttons->addWidget(help);
    buttons->addStretch(1);
    auto* all = new QHBoxLayout(this);
    all->addLayout(left, 1);
    all->addLayout(buttons);
    all->setSizeConstraint(QLayout::SetFixedSize);
}

QCheckBox* CFindDialog::AddCheck(const char* name, const QString& label, bool checked) {
    auto* box = new QCheckBox(label, this);
    box->setObjectName(QString::fromLatin1(name));
    box->setChecked(checked);
    return box;
}

QString CFindDialog::Text() const {
    return m_findWhat->text();
}

bool CFindDialog::WholeWord() const {
    return m_wholeWord->isChecked();
}

bool CFindDialog::MatchCase() const {
    return m_matchCase->isChecked();
}

} // namespace tamblin
