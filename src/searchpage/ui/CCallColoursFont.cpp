#include "searchpage/ui/CCallColoursFont.h"

#include "searchpage/ui/SearchPageWizard.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>

namespace tamblin {

namespace {

struct ColourRow {
    const char* label;
    const char* name;
};
// In the order Fields() returns the record's members.
constexpr ColourRow kRows[] = {
    {"&Foreground:", "foreground"},
    {"&Card background:", "cardBackground"},
    {"&Select:", "select"},
    {"Fiel&d background:", "fieldBackground"},
    {"&Icon background:", "iconBackground"},
    {"Back&ground:", "background"},
    {"&Tip background:", "tipBackground"},
};

QStringList ColourNames() {
    return {QStringLiteral("black"),     QStringLiteral("blue"),    QStringLiteral("cyan"),
            QStringLiteral("darkGray"),  QStringLiteral("gray"),    QStringLiteral("green"),
            QStringLiteral("lightGray"), QStringLiteral("magenta"), QStringLiteral("orange"),
            QStringLiteral("pink"),      QStringLiteral("red"),     QStringLiteral("white"),
            QStringLiteral("yellow")};
}

} // namespace

CCallColoursFont::CCallColoursFont(SearchPageWizard& wizard)
    : StoringWizardPage(wizard, QStringLiteral("CCallColoursFont"),
                        QStringLiteral("Colours and Font")) {
    auto* layout = new QGridLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("Select colours and a font.\nSee Help for "
                                                "further details.")),
                      0, 0, 1, 4);
    int index = 0;
    for (const ColourRow& row : kRows) {
        auto* combo = new QComboBox;
        combo->setObjectName(QString::fromLatin1(row.name));
        combo->setEditable(true);
        combo->setInsertPolicy(QComboBox::NoInsert);
        combo->addItems(ColourNames());
        auto* label = new QLabel(QString::fromLatin1(row.label));
        label->setBuddy(combo);
        int gridRow = 1 + index / 2;
        int column = (index % 2) * 2;
        layout->addWidget(label, gridRow, column);
        layout->addWidget(combo, gridRow, column + 1);
        m_colours.push_back(combo);
        ++index;
    }
    m_font = new QLineEdit;
    m_font->setObjectName(QStringLiteral("font"));
    auto* fontLabel = new QLabel(QStringLiteral("F&ont:"));
    fontLabel->setBuddy(m_font);
    layout->addWidget(fontLabel, 5, 0);
    layout->addWidget(m_font, 5, 1, 1, 3);

    auto* shape = new QGroupBox(QStringLiteral("Shape of expand/ contract controls"));
    m_round = new QRadioButton(QStringLiteral("&Round"));
    m_round->setObjectName(QStringLiteral("round"));
    m_square = new QRadioButton(QStringLiteral("S&quare"));
    m_square->setObjectName(QStringLiteral("square"));
    auto* shapeLayout = new QHBoxLayout(shape);
    shapeLayout->addWidget(m_round);
    shapeLayout->addWidget(m_square);
    shapeLayout->addStretch(1);
    layout->addWidget(shape, 6, 0, 1, 4);
    layout->setRowStretch(7, 1);
    layout->setColumnStretch(1, 1);
    layout->setColumnStretch(3, 1);
}

std::vector<std::string*> CCallColoursFont::Fields() {
    SearchPageSettings& s = m_wizard.Settings();
    return {&s.foregroundColour,      &s.cardBackgroundColour, &s.selectColour,
            &s.fieldBackgroundColour, &s.iconBackgroundColour, &s.backgroundColour,
            &s.tipBackgroundColour};
}

void CCallColoursFont::initializePage() {
    std::vector<std::string*> fields = Fields();
    for (size_t i = 0; i < fields.size(); ++i) {
        m_colours[i]->setEditText(Text(*fields[i]));
    }
    m_font->setText(Text(m_wizard.Settings().font));
    (m_wizard.Settings().squareButtons ? m_square : m_round)->setChecked(true);
}

void CCallColoursFont::Store() {
    std::vector<std::string*> fields = Fields();
    for (size_t i = 0; i < fields.size(); ++i) {
        *fields[i] = Bytes(m_colours[i]->currentText());
    }
    m_wizard.Settings().font = Bytes(m_font->text());
    m_wizard.Settings().squareButtons = m_square->isChecked();
}

} // namespace tamblin
