#include "searchpage/ui/CCallIndices.h"

#include "index/UrlUtils.h"
#include "platform/CommonPrompts.h"
#include "searchpage/FormatIndexParameter.h"
#include "searchpage/ui/AdvancedIndexParameterDialog.h"
#include "searchpage/ui/CheckPageFile.h"
#include "searchpage/ui/SearchPageWizard.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QToolButton>
#include <QVBoxLayout>

namespace tamblin {

namespace {

constexpr const char* kNavoraFilter = "Navora Files (*.xo)|*.xo|All Files (*.*)|*.*||";

// The three languages the page offers directly: file and code.
struct Language {
    const char* file;
    const char* code;
};
constexpr Language kLanguages[3] = {{"", "en"}, {"french2.xol", "fr"}, {"german2.xol", "de"}};

} // namespace

CCallIndices::CCallIndices(SearchPageWizard& wizard) : m_wizard(wizard) {
    setObjectName(QStringLiteral("CCallIndices"));
    setTitle(QStringLiteral("Index and Language Files"));
    BuildControls();
}

void CCallIndices::BuildControls() {
    auto* intro = new QLabel(QStringLiteral(
        "Now give at least one index data file and language.  A complete list of index files, "
        "etc. is given in the box below.  Select Add, Edit or Delete to alter these advanced "
        "options.  Change the order of entries using the spin arrows."));
    intro->setWordWrap(true);
    auto* indexLabel = new QLabel(QStringLiteral("&Index file:"));
    m_indexFile = new QLineEdit;
    m_indexFile->setObjectName(QStringLiteral("indexFile"));
    indexLabel->setBuddy(m_indexFile);
    m_browse = new QPushButton(QStringLiteral("B&rowse..."));
    m_browse->setObjectName(QStringLiteral("browse"));

    auto* languageRow = new QHBoxLayout;
    languageRow->addWidget(new QLabel(QStringLiteral("Language:")));
    const char* const names[3] = {"English", "&French", "&German"};
    const char* const ids[3] = {"english", "french", "german"};
    for (int i = 0; i < 3; ++i) {
        m_languages[i] = new QRadioButton(QString::fromLatin1(names[i]));
        m_languages[i]->setObjectName(QString::fromLatin1(ids[i]));
        m_languages[i]->setAutoExclusive(false); // "none" is a state too
        languageRow->addWidget(m_languages[i]);
        connect(m_languages[i], &QRadioButton::clicked, this, [this, i] { ChooseLanguage(i); });
    }
    languageRow->addStretch(1);

    auto* note = new QLabel(
        QStringLiteral("Index and language files must be in the same directory as your web page."));
    note->setWordWrap(true);
    auto* targetLabel = new QLabel(QStringLiteral("&Target frame:"));
    m_target = new QComboBox;
    m_target->setObjectName(QStringLiteral("target"));
    m_target->setEditable(true);
    m_target->setInsertPolicy(QComboBox::NoInsert);
    m_target->addItems({QStringLiteral("_top"), QStringLiteral("_blank"), QStringLiteral("_self"),
                        QStringLiteral("_parent")});
    targetLabel->setBuddy(m_target);

    auto* layout = new QGridLayout(this);
    layout->addWidget(intro, 0, 0, 1, 3);
    layout->addWidget(indexLabel, 1, 0);
    layout->addWidget(m_indexFile, 1, 1);
    layout->addWidget(m_browse, 1, 2);
    layout->addLayout(languageRow, 2, 0, 1, 3);
    layout->addWidget(BuildListRow(), 3, 0, 1, 3);
    layout->addWidget(note, 4, 0, 1, 3);
    layout->addWidget(targetLabel, 5, 0);
    layout->addWidget(m_target, 5, 1);
    layout->addWidget(new QLabel(QStringLiteral("Enter a default target frame")), 5, 2);
    layout->setRowStretch(3, 1);

    connect(m_indexFile, &QLineEdit::textEdited, this, &CCallIndices::IndexFileEdited);
    connect(m_browse, &QPushButton::clicked, this, &CCallIndices::BrowseIndexFile);
    connect(m_target, &QComboBox::currentTextChanged, this, [this](const QString& text) {
        if (!m_updating) {
            m_wizard.Settings().target = Bytes(text);
        }
    });
}

QWidget* CCallIndices::BuildListRow() {
    auto* row = new QWidget;
    m_list = new QListWidget;
    m_list->setObjectName(QStringLiteral("entries"));
    m_spin = new QWidget;
    m_spin->setObjectName(QStringLiteral("spin"));
    auto* up = new QToolButton;
    up->setObjectName(QStringLiteral("spinUp"));
    up->setArrowType(Qt::UpArrow);
    auto* down = new QToolButton;
    down->setObjectName(QStringLiteral("spinDown"));
    down->setArrowType(Qt::DownArrow);
    auto* spinLayout = new QVBoxLayout(m_spin);
    spinLayout->setContentsMargins(0, 0, 0, 0);
    spinLayout->setSpacing(0);
    spinLayout->addWidget(up);
    spinLayout->addWidget(down);
    spinLayout->addStretch(1);

    auto* add = new QPushButton(QStringLiteral("&Add"));
    add->setObjectName(QStringLiteral("add"));
    m_edit = new QPushButton(QStringLiteral("&Edit"));
    m_edit->setObjectName(QStringLiteral("edit"));
    m_delete = new QPushButton(QStringLiteral("&Delete"));
    m_delete->setObjectName(QStringLiteral("delete"));
    auto* buttons = new QVBoxLayout;
    buttons->addWidget(add);
    buttons->addWidget(m_edit);
    buttons->addWidget(m_delete);
    buttons->addStretch(1);

    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_list, 1);
    layout->addWidget(m_spin);
    layout->addLayout(buttons);

    connect(m_list, &QListWidget::currentRowChanged, this, [this] {
        if (!m_updating) {
            ReflectSelection();
        }
    });
    connect(m_list, &QListWidget::itemDoubleClicked, this, [this] { Edit(); });
    connect(up, &QToolButton::clicked, this, [this] { Move(-1); });
    connect(down, &QToolButton::clicked, this, [this] { Move(1); });
    connect(add, &QPushButton::clicked, this, &CCallIndices::Add);
    connect(m_edit, &QPushButton::clicked, this, &CCallIndices::Edit);
    connect(m_delete, &QPushButton::clicked, this, &CCallIndices::Delete);
    return row;
}

void CCallIndices::initializePage() {
    m_updating = true;
    m_target->setEditText(Text(m_wizard.Settings().target));
    m_updating = false;
    Refresh();
}

IndexParameter* CCallIndices::Selected() {
    auto& entries = m_wizard.Settings().indexParameters;
    int row = m_list->currentRow();
    return row >= 0 && row < static_cast<int>(entries.size()) ? &entries[row] : nullptr;
}

void CCallIndices::Refresh(int position) {
    const auto& entries = m_wizard.Settings().indexParameters;
    int count = static_cast<int>(entries.size());
    if (position < 0) {
        position = m_list->currentRow() < 0 ? 0 : m_list->currentRow();
    }
    m_updating = true;
    m_list->clear();
    for (const IndexParameter& entry : entries) {
        m_list->addItem(Text(FormatIndexParameter(entry)));
    }
    if (count > 0) {
        m_list->setCurrentRow(std::min(position, count - 1));
    }
    m_updating = false;
    ReflectSelection();
    m_spin->setEnabled(count >= 2);
    m_browse->setEnabled(count >= 1);
    m_edit->setEnabled(count >= 1);
    m_delete->setEnabled(count >= 1);
    Q_EMIT completeChanged();
}

void CCallIndices::ReflectSelection() {
    m_updating = true;
    const IndexParameter* entry = Selected();
    m_indexFile->setText(entry ? Text(SplitPath(entry->indexFile).fileName) : QString());
    for (int i = 0; i < 3; ++i) {
        bool match = entry && entry->languageCode == kLanguages[i].code &&
                     entry->languageFile == kLanguages[i].file;
        m_languages[i]->setChecked(match);
    }
    m_updating = false;
}

bool CCallIndices::isComplete() const {
    const auto& entries = m_wizard.Settings().indexParameters;
    if (entries.empty()) {
        return false;
    }
    for (const IndexParameter& entry : entries) {
        if (!IsFileInPageDirectory(entry.indexFile, m_wizard.PageDirectory())) {
            return false;
        }
    }
    return true;
}

void CCallIndices::IndexFileEdited(const QString& text) {
    IndexParameter* entry = Selected();
    if (m_updating || !entry) {
        return;
    }
    entry->indexFile = m_wizard.PageDirectory() + Bytes(text);
    m_list->currentItem()->setText(Text(FormatIndexParameter(*entry)));
    Q_EMIT completeChanged();
}

void CCallIndices::ChooseLanguage(int choice) {
    IndexParameter* entry = Selected();
    if (!entry) {
        ReflectSelection();
        return;
    }
    entry->languageFile = kLanguages[choice].file;
    entry->languageCode = kLanguages[choice].code;
    entry->languageEncoding.clear();
    entry->countryCode.clear();
    Refresh();
}

void CCallIndices::BrowseIndexFile() {
    IndexParameter* entry = Selected();
    if (!entry) {
        return;
    }
    QString path = Text(entry->indexFile);
    if (PromptFileName(this, true, QStringLiteral("xo"), QStringLiteral("Select Navora file"), path,
                       QString::fromLatin1(kNavoraFilter))) {
        entry->indexFile = Bytes(path);
        Refresh();
        CheckPageFile(this, Bytes(path), m_wizard.PageDirectory());
    }
}

void CCallIndices::Add() {
    auto& entries = m_wizard.Settings().indexParameters;
    IndexParameter entry;
    entry.indexFile = m_wizard.PageDirectory();
    entries.push_back(entry);
    Refresh(static_cast<int>(entries.size()) - 1);
    m_indexFile->setFocus();
}

void CCallIndices::Delete() {
    auto& entries = m_wizard.Settings().indexParameters;
    int row = m_list->currentRow();
    if (row < 0 || row >= static_cast<int>(entries.size())) {
        return;
    }
    entries.erase(entries.begin() + row);
    Refresh();
}

void CCallIndices::Edit() {
    IndexParameter* entry = Selected();
    if (!entry) {
        return;
    }
    AdvancedIndexParameterDialog dialog(*entry, m_wizard.PageDirectory(), this);
    if (dialog.exec() == QDialog::Accepted) {
        *entry = dialog.Parameter();
        Refresh();
    }
}

void CCallIndices::Move(int step) {
    auto& entries = m_wizard.Settings().indexParameters;
    int row = m_list->currentRow();
    int target = row + step;
    if (row < 0 || target < 0 || target >= static_cast<int>(entries.size())) {
        return;
    }
    std::swap(entries[row], entries[target]);
    Refresh(target);
}

} // namespace tamblin
