#include "searchpage/ui/AdvancedIndexParameterDialog.h"

#include "index/UrlUtils.h"
#include "platform/CommonPrompts.h"
#include "searchpage/ui/CheckPageFile.h"
#include "searchpage/ui/SearchPageWizard.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace tamblin {

namespace {

QStringList Encodings() {
    return {QStringLiteral("8859_1"), QStringLiteral("DBCS_ASCII"), QStringLiteral("JISAutoDetect"),
            QStringLiteral("Unicode"), QStringLiteral("UTF8")};
}

QComboBox* SortedCombo(const QString& name, const QStringList& items, const std::string& value) {
    auto* combo = new QComboBox;
    combo->setObjectName(name);
    combo->setEditable(true);
    combo->setInsertPolicy(QComboBox::NoInsert);
    QStringList sorted = items;
    sorted.sort();
    combo->addItems(sorted);
    combo->setEditText(Text(value));
    return combo;
}

// A code field: two characters at most, forced to one case as it is typed.
QComboBox* CodeCombo(const QString& name, const QStringList& items, const std::string& value,
                     bool upper) {
    QComboBox* combo = SortedCombo(name, items, value);
    combo->lineEdit()->setMaxLength(2);
    combo->setEditText(Text(value).left(2));
    QObject::connect(combo->lineEdit(), &QLineEdit::textEdited, combo,
                     [combo, upper](const QString& text) {
                         QString forced = upper ? text.toUpper() : text.toLower();
                         if (forced != text) {
                             int cursor = combo->lineEdit()->cursorPosition();
                             combo->lineEdit()->setText(forced);
                             combo->lineEdit()->setCursorPosition(cursor);
                         }
                     });
    return combo;
}

QLineEdit* Edit(const QString& name, const QString& text) {
    auto* edit = new QLineEdit(text);
    edit->setObjectName(name);
    return edit;
}

QCheckBox* Check(const QString& name, const QString& label, bool on) {
    auto* check = new QCheckBox(label);
    check->setObjectName(name);
    check->setChecked(on);
    return check;
}

QPushButton* Button(const QString& name, const QString& label) {
    auto* button = new QPushButton(label);
    button->setObjectName(name);
    button->setAutoDefault(false);
    return button;
}

void AddRow(QGridLayout* layout, int row, const QString& label, QWidget* field,
            QWidget* extra = nullptr) {
    auto* text = new QLabel(label);
    text->setBuddy(field);
    layout->addWidget(text, row, 0);
    if (extra) {
        layout->addWidget(field, row, 1);
        layout->addWidget(extra, row, 2);
    } else {
        layout->addWidget(field, row, 1, 1, 2);
    }
}

} // namespace

AdvancedIndexParameterDialog::AdvancedIndexParameterDialog(const IndexParameter& parameter,
                                                           std::string pageDirectory,
                                                           QWidget* parent)
    : QDialog(parent), m_parameter(parameter), m_pageDirectory(std::move(pageDirectory)) {
    setObjectName(QStringLiteral("advancedIndexParameter"));
    setWindowTitle(QStringLiteral("Advanced Index Parameter"));
    auto* layout = new QGridLayout(this);
    BuildFileRows(layout);
    BuildCodeRows(layout);
    BuildOptionRows(layout);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    buttons->setObjectName(QStringLiteral("buttons"));
    layout->addWidget(buttons, layout->rowCount(), 0, 1, 3);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    ApplyEnabling();
}

void AdvancedIndexParameterDialog::BuildFileRows(QGridLayout* layout) {
    m_indexUrl = Edit(QStringLiteral("indexUrl"), Text(SplitPath(m_parameter.indexFile).fileName));
    auto* indexBrowse = Button(QStringLiteral("indexBrowse"), QStringLiteral("&Browse"));
    AddRow(layout, 0, QStringLiteral("Index &URL:"), m_indexUrl, indexBrowse);
    m_indexEncoding =
        SortedCombo(QStringLiteral("indexEncoding"), Encodings(), m_parameter.indexEncoding);
    AddRow(layout, 1, QStringLiteral("&Encoding:"), m_indexEncoding);
    m_languageUrl =
        Edit(QStringLiteral("languageUrl"), Text(SplitPath(m_parameter.languageFile).fileName));
    auto* languageBrowse = Button(QStringLiteral("languageBrowse"), QStringLiteral("Browse"));
    AddRow(layout, 2, QStringLiteral("&Language URL:"), m_languageUrl, languageBrowse);
    m_languageEncoding =
        SortedCombo(QStringLiteral("languageEncoding"), Encodings(), m_parameter.languageEncoding);
    AddRow(layout, 3, QStringLiteral("Encoding:"), m_languageEncoding);

    connect(m_indexUrl, &QLineEdit::textEdited, this,
            [this](const QString& text) { m_parameter.indexFile = m_pageDirectory + Bytes(text); });
    connect(m_languageUrl, &QLineEdit::textEdited, this, [this](const QString& text) {
        // An empty box means no language file, not the page directory.
        m_parameter.languageFile = text.isEmpty() ? std::string() : m_pageDirectory + Bytes(text);
    });
    connect(indexBrowse, &QPushButton::clicked, this, &AdvancedIndexParameterDialog::BrowseIndex);
    connect(languageBrowse, &QPushButton::clicked, this,
            &AdvancedIndexParameterDialog::BrowseLanguage);
}

void AdvancedIndexParameterDialog::BuildCodeRows(QGridLayout* layout) {
    m_languageCode = CodeCombo(QStringLiteral("languageCode"),
                               {QStringLiteral("de"), QStringLiteral("en"), QStringLiteral("es"),
                                QStringLiteral("fr"), QStringLiteral("it"), QStringLiteral("ja"),
                                QStringLiteral("zh")},
                               m_parameter.languageCode, false);
    AddRow(layout, 4, QStringLiteral("Language code:"), m_languageCode);
    m_countryCode = CodeCombo(QStringLiteral("countryCode"),
                              {QStringLiteral("AU"), QStringLiteral("CA"), QStringLiteral("CN"),
                               QStringLiteral("DE"), QStringLiteral("FR"), QStringLiteral("IT"),
                               QStringLiteral("GB"), QStringLiteral("JP"), QStringLiteral("US")},
                              m_parameter.countryCode, true);
    AddRow(layout, 5, QStringLiteral("&Country code:"), m_countryCode);
}

void AdvancedIndexParameterDialog::BuildOptionRows(QGridLayout* layout) {
    m_noContents =
        Check(QStringLiteral("noContents"), QStringLiteral("&No Contents"), m_parameter.noContents);
    m_sort = Check(QStringLiteral("sort"), QStringLiteral("&Sort"), m_parameter.sort);
    m_expanded =
        Check(QStringLiteral("expanded"), QStringLiteral("E&xpanded"), m_parameter.expanded);
    m_noIndex = Check(QStringLiteral("noIndex"), QStringLiteral("No Index"), m_parameter.noIndex);
    m_indexSelected =
        Check(QStringLiteral("indexSelected"), QStringLiteral("Index selected initially"),
              m_parameter.indexSelectedInitially);
    layout->addWidget(m_noContents, 6, 0);
    layout->addWidget(m_sort, 6, 1);
    layout->addWidget(m_expanded, 6, 2);
    layout->addWidget(m_noIndex, 7, 0);
    layout->addWidget(m_indexSelected, 7, 1, 1, 2);
    m_selectUrl = Edit(QStringLiteral("selectUrl"), Text(m_parameter.selectUrl));
    AddRow(layout, 8, QStringLiteral("Select URL:"), m_selectUrl);
    m_initialQuery = Edit(QStringLiteral("initialQuery"), Text(m_parameter.initialQuery));
    AddRow(layout, 9, QStringLiteral("Initial &Query:"), m_initialQuery);
    connect(m_noContents, &QCheckBox::clicked, this, &AdvancedIndexParameterDialog::ApplyEnabling);
    connect(m_noIndex, &QCheckBox::clicked, this, &AdvancedIndexParameterDialog::ApplyEnabling);
}

void AdvancedIndexParameterDialog::ApplyEnabling() {
    bool contents = !m_noContents->isChecked();
    m_sort->setEnabled(contents);
    m_expanded->setEnabled(contents);
    m_indexSelected->setEnabled(contents && !m_noIndex->isChecked());
}

void AdvancedIndexParameterDialog::BrowseIndex() {
    QString path = Text(m_pageDirectory) + m_indexUrl->text();
    if (PromptFileName(this, true, QStringLiteral("xo"), QStringLiteral("Select Navora file"), path,
                       QStringLiteral("Navora Files (*.xo)|*.xo|All Files (*.*)|*.*||"))) {
        m_indexUrl->setText(Text(SplitPath(Bytes(path)).fileName));
        m_parameter.indexFile = Bytes(path);
        CheckPageFile(this, Bytes(path), m_pageDirectory);
    }
}

void AdvancedIndexParameterDialog::BrowseLanguage() {
    QString path = Text(m_pageDirectory) + m_languageUrl->text();
    if (PromptFileName(
            this, true, QStringLiteral("xol"), QStringLiteral("Select language file"), path,
            QStringLiteral("Navora language files (*.xol)|*.xol|All Files (*.*)|*.*||"))) {
        m_languageUrl->setText(Text(SplitPath(Bytes(path)).fileName));
        m_parameter.languageFile = Bytes(path);
        CheckPageFile(this, Bytes(path), m_pageDirectory);
    }
}

void AdvancedIndexParameterDialog::accept() {
    m_parameter.indexEncoding = Bytes(m_indexEncoding->currentText());
    m_parameter.languageEncoding = Bytes(m_languageEncoding->currentText());
    m_parameter.languageCode = Bytes(m_languageCode->currentText().left(2));
    m_parameter.countryCode = Bytes(m_countryCode->currentText().left(2));
    m_parameter.noContents = m_noContents->isChecked();
    m_parameter.sort = m_sort->isChecked();
    m_parameter.expanded = m_expanded->isChecked();
    m_parameter.noIndex = m_noIndex->isChecked();
    m_parameter.indexSelectedInitially = m_indexSelected->isChecked();
    m_parameter.selectUrl = Bytes(m_selectUrl->text());
    m_parameter.initialQuery = Bytes(m_initialQuery->text());
    QDialog::accept();
}

} // namespace tamblin
