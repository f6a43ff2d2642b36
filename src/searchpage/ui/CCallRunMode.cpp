#include "searchpage/ui/CCallRunMode.h"

#include "platform/DialogService.h"
#include "searchpage/ui/SearchPageWizard.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>

#include <climits>
#include <cstdlib>

namespace tamblin {

namespace {

QLineEdit* NumberEdit(const QString& name) {
    auto* edit = new QLineEdit;
    edit->setObjectName(name);
    edit->setMaximumWidth(80);
    return edit;
}

QRadioButton* Radio(const QString& name, const QString& text) {
    auto* radio = new QRadioButton(text);
    radio->setObjectName(name);
    return radio;
}

QLabel* Note(const QString& text) {
    auto* note = new QLabel(text);
    note->setWordWrap(true);
    note->setIndent(20);
    return note;
}

} // namespace

CCallRunMode::CCallRunMode(SearchPageWizard& wizard) : m_wizard(wizard) {
    setObjectName(QStringLiteral("CCallRunMode"));
    setTitle(QStringLiteral("Run mode"));
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(BuildModeBox());

    auto* size = new QGridLayout;
    m_width = NumberEdit(QStringLiteral("width"));
    m_height = NumberEdit(QStringLiteral("height"));
    auto* widthLabel = new QLabel(QStringLiteral("&Width:"));
    widthLabel->setBuddy(m_width);
    auto* heightLabel = new QLabel(QStringLiteral("&Height:"));
    heightLabel->setBuddy(m_height);
    size->addWidget(widthLabel, 0, 0);
    size->addWidget(m_width, 0, 1);
    size->addWidget(heightLabel, 0, 2);
    size->addWidget(m_height, 0, 3);
    size->setColumnStretch(4, 1);
    layout->addLayout(size);

    auto* layoutRow = new QHBoxLayout;
    m_wide = Radio(QStringLiteral("wide"), QStringLiteral("Wi&de"));
    m_high = Radio(QStringLiteral("high"), QStringLiteral("Hi&gh"));
    auto* layoutGroup = new QButtonGroup(this);
    layoutGroup->addButton(m_wide);
    layoutGroup->addButton(m_high);
    auto* layoutLabel = new QLabel(QStringLiteral("&Layout:"));
    layoutLabel->setBuddy(m_wide);
    layoutRow->addWidget(layoutLabel);
    layoutRow->addWidget(m_wide);
    layoutRow->addWidget(m_high);
    layoutRow->addStretch(1);
    layout->addLayout(layoutRow);
    layout->addStretch(1);
}

QLayout* CCallRunMode::BuildModeBox() {
    m_partOfPage = Radio(QStringLiteral("partOfPage"), QStringLiteral("&Part of the web page"));
    m_icon = Radio(QStringLiteral("iconMode"), QStringLiteral("&Icon on web page."));
    auto* group = new QButtonGroup(this);
    group->addButton(m_partOfPage);
    group->addButton(m_icon);
    m_popUp = new QCheckBox(QStringLiteral("P&op up straight away"));
    m_popUp->setObjectName(QStringLiteral("popUp"));
    m_close = new QCheckBox(QStringLiteral("&Close after displaying a page"));
    m_close->setObjectName(QStringLiteral("closeAfterDisplay"));
    m_minWidth = NumberEdit(QStringLiteral("minWindowWidth"));
    m_minHeight = NumberEdit(QStringLiteral("minWindowHeight"));

    auto* grid = new QGridLayout;
    grid->addWidget(m_partOfPage, 0, 0, 1, 4);
    grid->addWidget(Note(QStringLiteral("Navora appears directly on the search web page.")), 1, 0,
                    1, 4);
    grid->addWidget(m_icon, 2, 0, 1, 4);
    grid->addWidget(Note(QStringLiteral("Click to view Navora in floating window above web page.")),
                    3, 0, 1, 4);
    grid->addWidget(m_popUp, 4, 0, 1, 2);
    grid->addWidget(m_close, 4, 2, 1, 2);
    grid->addWidget(new QLabel(QStringLiteral("Min window width:")), 5, 0);
    grid->addWidget(m_minWidth, 5, 1);
    grid->addWidget(new QLabel(QStringLiteral("Min window height:")), 5, 2);
    grid->addWidget(m_minHeight, 5, 3);

    connect(m_partOfPage, &QRadioButton::clicked, this, [this] { ModeChosen(false); });
    connect(m_icon, &QRadioButton::clicked, this, [this] { ModeChosen(true); });
    return grid;
}

void CCallRunMode::initializePage() {
    const SearchPageSettings& settings = m_wizard.Settings();
    (settings.iconMode == 1 ? m_icon : m_partOfPage)->setChecked(true);
    m_popUp->setChecked(settings.popUp);
    m_close->setChecked(settings.closeAfterDisplay);
    m_minWidth->setText(QString::number(settings.minWindowWidth));
    m_minHeight->setText(QString::number(settings.minWindowHeight));
    m_width->setText(QString::number(settings.width));
    m_height->setText(QString::number(settings.height));
    (settings.layoutHigh ? m_high : m_wide)->setChecked(true);
    ApplyEnabling();
}

void CCallRunMode::ModeChosen(bool icon) {
    // The size that suits each mode; the user may change it afterwards.
    m_width->setText(icon ? QStringLiteral("70") : QStringLiteral("300"));
    m_height->setText(icon ? QStringLiteral("80") : QStringLiteral("400"));
    ApplyEnabling();
}

void CCallRunMode::ApplyEnabling() {
    bool icon = m_icon->isChecked();
    m_popUp->setEnabled(icon);
    m_close->setEnabled(icon);
    m_minWidth->setEnabled(icon);
    m_minHeight->setEnabled(icon);
}

bool CCallRunMode::ReadNumber(QLineEdit* field, long minimum, long maximum, bool strict,
                              long& value) {
    QByteArray text = field->text().trimmed().toLatin1();
    char* end = nullptr;
    errno = 0;
    long parsed = std::strtol(text.constData(), &end, 10);
    bool ok =
        !text.isEmpty() && errno == 0 && *end == '\0' && parsed >= minimum && parsed <= maximum;
    if (ok) {
        value = parsed;
        return true;
    }
    if (strict) {
        DialogService::Message message;
        message.text = maximum == UINT_MAX
                           ? QStringLiteral("Please enter a positive integer.")
                           : QStringLiteral("Please enter an integer between %1 and %2.")
                                 .arg(minimum)
                                 .arg(maximum);
        Dialogs().ShowMessage(this, message);
        field->setFocus();
        field->selectAll();
    }
    return false;
}

bool CCallRunMode::Store(bool strict) {
    SearchPageSettings& settings = m_wizard.Settings();
    settings.iconMode = m_icon->isChecked() ? 1 : 0;
    settings.popUp = m_popUp->isChecked();
    settings.closeAfterDisplay = m_close->isChecked();
    settings.layoutHigh = m_high->isChecked() ? 1 : 0;
    long value = 0;
    if (ReadNumber(m_minWidth, 0, UINT_MAX, strict, value)) {
        settings.minWindowWidth = static_cast<unsigned>(value);
    } else if (strict) {
        return false;
    }
    if (ReadNumber(m_minHeight, 0, UINT_MAX, strict, value)) {
        settings.minWindowHeight = static_cast<unsigned>(value);
    } else if (strict) {
        return false;
    }
    const long low = SearchPageSettings::kMinSize;
    const long high = SearchPageSettings::kMaxSize;
    if (ReadNumber(m_width, low, high, strict, value)) {
        settings.width = static_cast<int>(value);
    } else if (strict) {
        return false;
    }
    if (ReadNumber(m_height, low, high, strict, value)) {
        settings.height = static_cast<int>(value);
    } else if (strict) {
        return false;
    }
    return true;
}

bool CCallRunMode::validatePage() {
    return Store(true);
}

} // namespace tamblin
