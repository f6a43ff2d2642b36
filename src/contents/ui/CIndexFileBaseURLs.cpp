#include "contents/ui/CIndexFileBaseURLs.h"

#include "document/ui/CXoDoc.h"
#include "index/BaseUrl.h"
#include "index/IndexEntry.h"
#include "index/IndexFile.h"
#include "index/TextUtils.h"
#include "platform/CommonPrompts.h"
#include "platform/DialogService.h"

#include <QFormLayout>
#include <QGridLayout>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>

namespace tamblin {

CIndexFileBaseURLs::CIndexFileBaseURLs(const CXoDoc& document, int preselect, QWidget* parent)
    : CPropertyPage(parent), m_document(document), m_index(*document.Index()),
      m_preselect(preselect) {
    setObjectName(QStringLiteral("indexFileBaseUrls"));
    BuildControls();
}

CIndexFileBaseURLs::~CIndexFileBaseURLs() = default;

void CIndexFileBaseURLs::BuildControls() {
    m_list = new QListWidget(this);
    m_list->setObjectName(QStringLiteral("baseUrls"));
    m_delete = new QPushButton(QStringLiteral("&Delete"), this);
    m_delete->setObjectName(QStringLiteral("delete"));
    m_add = new QPushButton(QStringLiteral("&Add"), this);
    m_add->setObjectName(QStringLiteral("add"));
    m_url = new QLineEdit(this);
    m_url->setObjectName(QStringLiteral("baseUrl"));
    m_target = new QLineEdit(this);
    m_target->setObjectName(QStringLiteral("targetFrame"));
    m_setAll = new QPushButton(QStringLiteral("Set all URLs to this Base URL"), this);
    m_setAll->setObjectName(QStringLiteral("setAll"));
    auto* buttons = new QVBoxLayout;
    buttons->addWidget(m_delete);
    buttons->addWidget(m_add);
    buttons->addStretch();
    auto* top = new QGridLayout;
    top->addWidget(m_list, 0, 0);
    top->addLayout(buttons, 0, 1);
    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("&Base URL:"), m_url);
    form->addRow(QStringLiteral("Target &frame:"), m_target);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addLayout(form);
    layout->addWidget(m_setAll);
    connect(m_list, &QListWidget::currentItemChanged, this, [this] {
        if (!m_updating) {
            ShowCurrent();
        }
    });
    connect(m_add, &QPushButton::clicked, this, &CIndexFileBaseURLs::OnAdd);
    connect(m_delete, &QPushButton::clicked, this, &CIndexFileBaseURLs::OnDelete);
    connect(m_url, &QLineEdit::textEdited, this, &CIndexFileBaseURLs::OnUrlEdited);
    connect(m_target, &QLineEdit::textEdited, this, &CIndexFileBaseURLs::OnTargetEdited);
    connect(m_setAll, &QPushButton::clicked, this, &CIndexFileBaseURLs::OnSetAll);
}

void CIndexFileBaseURLs::OnInitPage() {
    m_updating = true;
    QListWidgetItem* preselected = nullptr;
    for (size_t i = 0; i < m_index.m_baseUrls.size(); ++i) {
        BaseUrl& record = *m_index.m_baseUrls[i];
        record.m_deletionMark = 0;
        auto copy = std::make_unique<BaseUrl>(record.m_id, "", "", 0);
        record.CopyValuesTo(*copy);
        m_working.push_back({std::move(copy), &record});
        auto* item = new QListWidgetItem(m_document.Decode(record.m_url));
        item->setData(Qt::UserRole, static_cast<int>(i));
        InsertSorted(item);
        if (m_preselect == static_cast<int>(i) + 1) {
            preselected = item;
        }
    }
    m_list->setCurrentItem(preselected ? preselected : m_list->item(0));
    m_updating = false;
    ShowCurrent();
    m_modified = false;
}

void CIndexFileBaseURLs::InsertSorted(QListWidgetItem* item) {
    int row = 0;
    while (row < m_list->count() &&
           QString::compare(m_list->item(row)->text(), item->text(), Qt::CaseInsensitive) <= 0) {
        ++row;
    }
    m_list->insertItem(row, item);
}

CIndexFileBaseURLs::Working* CIndexFileBaseURLs::Current() const {
    QListWidgetItem* item = m_list->currentItem();
    if (!item) {
        return nullptr;
    }
    return const_cast<Working*>(&m_working[static_cast<size_t>(item->data(Qt::UserRole).toInt())]);
}

void CIndexFileBaseURLs::ShowCurrent() {
    Working* current = Current();
    m_updating = true;
    m_url->setText(current ? m_document.Decode(current->copy->m_url) : QString());
    m_target->setText(current ? m_document.Decode(current->copy->m_targetFrame) : QString());
    m_updating = false;
    m_url->setEnabled(current);
    m_target->setEnabled(current);
    m_setAll->setEnabled(current);
    // A base URL that some entry refers to cannot be deleted.
    m_delete->setEnabled(current && !current->copy->m_inUse);
}

void CIndexFileBaseURLs::OnAdd() {
    m_working.push_back({std::make_unique<BaseUrl>(0, "", "", 0), nullptr});
    auto* item = new QListWidgetItem(QString());
    item->setData(Qt::UserRole, static_cast<int>(m_working.size() - 1));
    m_updating = true;
    InsertSorted(item);
    m_list->setCurrentItem(item);
    m_updating = false;
    ShowCurrent();
    m_url->setFocus();
    m_modified = true;
}

void CIndexFileBaseURLs::OnDelete() {
    Working* current = Current();
    int row = m_list->currentRow();
    if (!current || current->copy->m_inUse) {
        return;
    }
    if (current->original) {
        current->original->m_deletionMark = 1;
    }
    m_updating = true;
    QListWidgetItem* item = m_list->takeItem(row);
    m_updating = false;
    if (item == m_chosenRow) {
        m_chosenRow = nullptr;
    }
    delete item;
    m_updating = true;
    m_list->setCurrentItem(m_list->item(row < m_list->count() ? row : row - 1));
    m_updating = false;
    ShowCurrent();
    // Otherwise a disabled Delete hands the focus on to Add, and the next Enter adds a row
    // instead of pressing OK.
    m_list->setFocus();
    m_modified = true;
}

void CIndexFileBaseURLs::OnUrlEdited(const QString& text) {
    Working* current = Current();
    if (m_updating || !current) {
        return;
    }
    current->copy->m_url = m_document.Encode(text);
    m_updating = true;
    QListWidgetItem* item = m_list->takeItem(m_list->currentRow());
    item->setText(text);
    InsertSorted(item);
    m_list->setCurrentItem(item);
    m_updating = false;
    m_modified = true;
}

void CIndexFileBaseURLs::OnTargetEdited(const QString& text) {
    Working* current = Current();
    if (m_updating || !current) {
        return;
    }
    current->copy->m_targetFrame = m_document.Encode(text);
    m_modified = true;
}

void CIndexFileBaseURLs::OnSetAll() {
    if (!Current()) {
        return;
    }
    DialogService::Message question;
    question.text = FormatMessage1(
        QStringLiteral(
            "Are you sure that you want to make (%1) the Base URL for all existing URLs?"),
        m_url->text());
    question.icon = DialogService::Icon::Question;
    question.buttons = DialogService::Buttons::OkCancel;
    question.defaultCancel = true;
    if (Dialogs().ShowMessage(window(), question) != DialogService::Answer::Ok) {
        return;
    }
    m_modified = true;
    m_chosenRow = m_list->currentItem();
    if (m_ok) {
        m_ok();
    }
}

BaseUrl* CIndexFileBaseURLs::ApplyTo(IndexFile& index,
                                     std::vector<std::unique_ptr<BaseUrl>>* removed) {
    BaseUrl* chosen = nullptr;
    for (int row = 0; row < m_list->count(); ++row) {
        Working& working =
            m_working[static_cast<size_t>(m_list->item(row)->data(Qt::UserRole).toInt())];
        if (!working.copy->m_url.empty()) {
            working.copy->m_url = EnsureTrailingSlash(working.copy->m_url);
        }
        BaseUrl* record = working.original;
        if (record) {
            working.copy->CopyValuesTo(*record);
        } else {
            index.m_baseUrls.push_back(std::move(working.copy));
            record = index.m_baseUrls.back().get();
        }
        if (m_list->item(row) == m_chosenRow) {
            chosen = record;
        }
    }
    KeepReferenced(index);
    std::vector<std::unique_ptr<BaseUrl>> kept;
    for (auto& record : index.m_baseUrls) {
        if (!record->m_deletionMark) {
            kept.push_back(std::move(record));
        } else if (removed) {
            removed->push_back(std::move(record));
        }
    }
    index.m_baseUrls = std::move(kept);
    return chosen;
}

void CIndexFileBaseURLs::KeepReferenced(IndexFile& index) {
    // The in-use flag is only ever set, so it can be missing on a record that a pasted or
    // new entry refers to; such a record is kept rather than left dangling.
    std::vector<const IndexEntry*> stack{&index.m_root, &index.m_otherKeywords};
    while (!stack.empty()) {
        const IndexEntry* entry = stack.back();
        stack.pop_back();
        if (entry->m_baseUrl) {
            entry->m_baseUrl->m_deletionMark = 0;
        }
        for (const auto& child : entry->m_children) {
            stack.push_back(child.get());
        }
    }
}

} // namespace tamblin
