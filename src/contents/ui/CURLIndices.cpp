#include "contents/ui/CURLIndices.h"

#include "document/ui/CXoDoc.h"
#include "index/IndexEntry.h"
#include "platform/DialogService.h"
#include "platform/ElidingLabel.h"

#include <QComboBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace tamblin {

namespace {

void Warn(QWidget* parent, const char* text) {
    DialogService::Message message;
    message.text = QString::fromLatin1(text);
    message.icon = DialogService::Icon::Warning;
    Dialogs().ShowMessage(parent ? parent->window() : nullptr, message);
}

bool RowBefore(const QString& a, const QString& b) {
    int folded = QString::compare(a, b, Qt::CaseInsensitive);
    return folded != 0 ? folded < 0 : a < b;
}

} // namespace

CURLIndices::CURLIndices(const CXoDoc& document, IndexEntry& entry, GeneralSource general,
                         int preselect, bool otherKeywordsMode, QWidget* parent)
    : CPropertyPage(parent), m_document(document), m_entry(entry), m_general(std::move(general)),
      m_preselect(preselect), m_otherKeywordsMode(otherKeywordsMode) {
    setObjectName(QStringLiteral("urlIndices"));
    BuildControls();
}

void CURLIndices::BuildControls() {
    m_prompt = new QLabel(this);
    m_prompt->setObjectName(QStringLiteral("prompt"));
    m_list = new QListWidget(this);
    m_list->setObjectName(QStringLiteral("keywords"));
    m_delete = new QPushButton(QStringLiteral("&Delete"), this);
    m_delete->setObjectName(QStringLiteral("delete"));
    m_add = new QPushButton(QStringLiteral("&Add"), this);
    m_add->setObjectName(QStringLiteral("add"));
    m_phrase = new QLineEdit(this);
    m_phrase->setObjectName(QStringLiteral("phrase"));
    m_anchor = new QComboBox(this);
    m_anchor->setObjectName(QStringLiteral("anchor"));
    m_anchor->setEditable(true);
    m_anchor->setInsertPolicy(QComboBox::NoInsert);
    m_anchor->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    m_anchor->setMinimumContentsLength(kComboChars);
    m_url = new ElidingLabel(this);
    m_url->setObjectName(QStringLiteral("keywordUrl"));
    m_extraTitle = new QLineEdit(this);
    m_extraTitle->setObjectName(QStringLiteral("extraTitle"));
    m_fullTitle = new ElidingLabel(this);
    m_fullTitle->setObjectName(QStringLiteral("fullTitle"));
    m_target = new QLineEdit(this);
    m_target->setObjectName(QStringLiteral("targetFrame"));
    m_prompt->setBuddy(m_list);

    auto* buttons = new QVBoxLayout;
    buttons->addWidget(m_delete);
    buttons->addWidget(m_add);
    buttons->addStretch();
    auto* top = new QGridLayout;
    top->addWidget(m_list, 0, 0);
    top->addLayout(buttons, 0, 1);
    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("Keyword &phrase:"), m_phrase);
    form->addRow(QStringLiteral("A&nchor:"), m_anchor);
    form->addRow(QStringLiteral("URL:"), m_url);
    form->addRow(QStringLiteral("E&xtra title:"), m_extraTitle);
    form->addRow(QStringLiteral("Full title:"), m_fullTitle);
    form->addRow(QStringLiteral("Target &frame:"), m_target);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_prompt);
    layout->addLayout(top);
    layout->addLayout(form);

    connect(m_list, &QListWidget::currentItemChanged, this, &CURLIndices::OnRowChanged);
    connect(m_add, &QPushButton::clicked, this, &CURLIndices::OnAdd);
    connect(m_delete, &QPushButton::clicked, this, &CURLIndices::OnDelete);
    connect(m_phrase, &QLineEdit::textEdited, this, &CURLIndices::OnPhraseEdited);
    connect(m_anchor, &QComboBox::currentTextChanged, this, &CURLIndices::OnAnchorEdited);
    connect(m_extraTitle, &QLineEdit::textEdited, this, &CURLIndices::OnExtraTitleEdited);
    connect(m_target, &QLineEdit::textEdited, this, &CURLIndices::OnTargetEdited);
}

void CURLIndices::OnInitPage() {
    m_updating = true;
    m_keywords = m_entry.m_keywords;
    QListWidgetItem* preselected = nullptr;
    for (size_t i = 0; i < m_keywords.size(); ++i) {
        auto* item = new QListWidgetItem(m_document.Decode(m_keywords[i].m_phrase));
        item->setData(Qt::UserRole, static_cast<int>(i));
        InsertSorted(item);
        if (m_preselect == static_cast<int>(i) + 1) {
            preselected = item;
        }
        if (!m_keywords[i].m_anchor.empty()) {
            AddAnchor(m_document.Decode(m_keywords[i].m_anchor));
        }
    }
    m_list->setCurrentItem(preselected ? preselected : m_list->item(0));
    m_delete->setEnabled(m_list->count() > 0);
    m_modified = false;
    m_updating = false;
}

void CURLIndices::OnSetActive() {
    ShowCurrent();
}

void CURLIndices::AddAnchor(const QString& anchor) {
    if (m_anchor->findText(anchor, Qt::MatchFixedString) >= 0) {
        return;
    }
    int row = 0;
    while (row < m_anchor->count() && !RowBefore(anchor, m_anchor->itemText(row))) {
        ++row;
    }
    m_anchor->insertItem(row, anchor);
}

void CURLIndices::InsertSorted(QListWidgetItem* item) {
    int row = 0;
    while (row < m_list->count() && !RowBefore(item->text(), m_list->item(row)->text())) {
        ++row;
    }
    m_list->insertItem(row, item);
}

QListWidgetItem* CURLIndices::RowOf(int keyword) const {
    for (int row = 0; row < m_list->count(); ++row) {
        if (m_list->item(row)->data(Qt::UserRole).toInt() == keyword) {
            return m_list->item(row);
        }
    }
    return nullptr;
}

void CURLIndices::SelectQuietly(QListWidgetItem* item) {
    bool was = m_updating;
    m_updating = true;
    m_list->setCurrentItem(item);
    m_updating = was;
}

IndexKeyword* CURLIndices::Current() {
    return m_current >= 0 && RowOf(m_current) ? &m_keywords[static_cast<size_t>(m_current)]
                                              : nullptr;
}

bool CURLIndices::CheckCurrent() {
    IndexKeyword* current = Current();
    if (!current || !current->m_phrase.empty()) {
        return true;
    }
    Warn(this, "The index keyword phrase cannot be blank");
    SelectQuietly(RowOf(m_current));
    m_phrase->setFocus();
    return false;
}

void CURLIndices::ShowCurrent() {
    if (!CheckCurrent()) {
        return;
    }
    General general = m_general();
    bool usable = m_otherKeywordsMode || !general.url.isEmpty();
    m_prompt->setText(usable
                          ? QStringLiteral("&Select an keyword phrase to edit:")
                          : QStringLiteral("URL does not refer to a page.  No keywords passible."));
    m_add->setEnabled(usable);
    QListWidgetItem* row = m_list->currentItem();
    m_updating = true;
    if (usable && row) {
        m_current = row->data(Qt::UserRole).toInt();
        ShowKeyword(m_keywords[static_cast<size_t>(m_current)], general);
    } else {
        m_current = -1;
        m_phrase->clear();
        m_anchor->setEditText(QString());
        m_url->clear();
        m_extraTitle->clear();
        m_fullTitle->clear();
        m_target->clear();
    }
    EnableControls(usable && row);
    m_updating = false;
}

void CURLIndices::ShowKeyword(const IndexKeyword& keyword, const General& general) {
    QString anchor = m_document.Decode(keyword.m_anchor);
    QString extra = m_document.Decode(keyword.m_extraTitle);
    m_phrase->setText(m_document.Decode(keyword.m_phrase));
    m_anchor->setEditText(anchor);
    m_url->setText(general.url + anchor);
    m_extraTitle->setText(extra);
    m_fullTitle->setText(general.title + extra);
    m_target->setText(KeywordTarget(keyword, general));
}

QString CURLIndices::KeywordTarget(const IndexKeyword& keyword, const General& general) const {
    if (keyword.m_ownTarget) {
        return m_document.Decode(keyword.m_targetFrame);
    }
    return general.ownTarget ? general.targetFrame : general.baseTarget;
}

void CURLIndices::EnableControls(bool enabled) {
    for (QWidget* control : {static_cast<QWidget*>(m_phrase), static_cast<QWidget*>(m_anchor),
                             static_cast<QWidget*>(m_url), static_cast<QWidget*>(m_extraTitle),
                             static_cast<QWidget*>(m_fullTitle), static_cast<QWidget*>(m_target)}) {
        control->setEnabled(enabled);
    }
}

void CURLIndices::OnRowChanged() {
    if (!m_updating) {
        ShowCurrent();
    }
}

void CURLIndices::OnAdd() {
    if (!CheckCurrent()) {
        return;
    }
    m_keywords.emplace_back(&m_entry, "", "", "", "", 0);
    auto* item = new QListWidgetItem(QString());
    item->setData(Qt::UserRole, static_cast<int>(m_keywords.size() - 1));
    InsertSorted(item);
    SelectQuietly(item);
    ShowCurrent();
    m_phrase->setFocus();
    m_delete->setEnabled(true);
    m_modified = true;
}

void CURLIndices::OnDelete() {
    int row = m_list->currentRow();
    if (row < 0) {
        return;
    }
    m_updating = true;
    delete m_list->takeItem(row);
    m_updating = false;
    m_current = -1;
    SelectQuietly(m_list->item(row < m_list->count() ? row : row - 1));
    ShowCurrent();
    m_delete->setEnabled(m_list->count() > 0);
    m_modified = true;
}

void CURLIndices::OnPhraseEdited(const QString& text) {
    IndexKeyword* current = Current();
    if (m_updating || !current) {
        return;
    }
    current->m_phrase = m_document.Encode(text);
    // Taking the row out moves the list's selection; the keyword stays current.
    m_updating = true;
    QListWidgetItem* item = m_list->takeItem(m_list->row(RowOf(m_current)));
    item->setText(text);
    InsertSorted(item);
    m_list->setCurrentItem(item);
    m_updating = false;
    m_modified = true;
}

void CURLIndices::OnAnchorEdited(const QString& text) {
    IndexKeyword* current = Current();
    if (m_updating || !current) {
        return;
    }
    current->m_anchor = m_document.Encode(text);
    m_url->setText(m_general().url + text);
    m_modified = true;
}

void CURLIndices::OnExtraTitleEdited(const QString& text) {
    IndexKeyword* current = Current();
    if (m_updating || !current) {
        return;
    }
    current->m_extraTitle = m_document.Encode(text);
    m_fullTitle->setText(m_general().title + text);
    m_modified = true;
}

void CURLIndices::OnTargetEdited(const QString& text) {
    IndexKeyword* current = Current();
    if (m_updating || !current) {
        return;
    }
    General general = m_general();
    QString inherited = general.ownTarget ? general.targetFrame : general.baseTarget;
    current->m_ownTarget = text != inherited ? 1 : 0;
    current->m_targetFrame = m_document.Encode(text);
    m_modified = true;
}

bool CURLIndices::OnKillActive() {
    return CheckCurrent();
}

bool CURLIndices::OnOk() {
    if (!CheckCurrent()) {
        return false;
    }
    IndexKeyword* current = Current();
    if (m_otherKeywordsMode && current && current->m_extraTitle.empty()) {
        Warn(this, "For Other Index keywords, you must give a title");
        m_extraTitle->setFocus();
        return false;
    }
    return true;
}

void CURLIndices::ApplyTo(IndexEntry& entry) const {
    if (!m_modified) {
        return;
    }
    std::vector<IndexKeyword> kept;
    kept.reserve(static_cast<size_t>(m_list->count()));
    for (int row = 0; row < m_list->count(); ++row) {
        kept.push_back(
            m_keywords[static_cast<size_t>(m_list->item(row)->data(Qt::UserRole).toInt())]);
    }
    entry.m_keywords = std::move(kept);
}

} // namespace tamblin
