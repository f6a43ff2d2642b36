#include "keywords/ui/KeywordIndexView.h"

#include "contents/EditStep.h"
#include "contents/ui/CContentsView.h"
#include "document/ui/CXoDoc.h"
#include "index/IndexEntry.h"
#include "index/IndexFile.h"
#include "keywords/KeywordAnchorCheck.h"
#include "keywords/KeywordEditor.h"
#include "keywords/KeywordProblems.h"
#include "keywords/ui/KeywordIndexModel.h"
#include "keywords/ui/KeywordPagesModel.h"
#include "linkcheck/LinkReport.h"
#include "platform/DialogService.h"

#include <QCheckBox>
#include <QDropEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QSplitter>
#include <QTableView>
#include <QTreeView>
#include <QVBoxLayout>

#include <algorithm>

namespace tamblin {

namespace {

QString Plural(std::size_t count, const char* one, const char* many) {
    return QString::number(count) + QLatin1Char(' ') + QString::fromLatin1(count == 1 ? one : many);
}

} // namespace

KeywordIndexView::KeywordIndexView(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("keywordIndexView"));
    Build();
}

KeywordIndexView::~KeywordIndexView() {
    // Stops the check and joins its thread while this view can still take its calls.
    m_anchorCheck.reset();
}

void KeywordIndexView::Build() {
    QLabel* filterLabel = BuildFilter();
    BuildPhrases();
    BuildPages();
    QLabel* moveLabel = BuildButtons();
    LayOut(filterLabel, moveLabel);
    ConnectControls();
    UpdateButtons();
}

QLabel* KeywordIndexView::BuildFilter() {
    m_model = new KeywordIndexModel(this);
    m_filter = new QLineEdit(this);
    m_filter->setObjectName(QStringLiteral("keywordFilter"));
    m_filter->setPlaceholderText(QStringLiteral("Filter phrases"));
    m_filter->setClearButtonEnabled(true);
    m_problemsOnly = new QCheckBox(QStringLiteral("Problems &only"), this);
    m_problemsOnly->setObjectName(QStringLiteral("keywordProblemsOnly"));
    auto* filterLabel = new QLabel(QStringLiteral("F&ilter:"), this);
    filterLabel->setBuddy(m_filter);
    return filterLabel;
}

void KeywordIndexView::BuildPhrases() {
    // A table, not a tree: a tree lays out an item for every row at each reset, which on a
    // large index costs as much as building the phrases; a table's rows are one fixed height.
    m_phrases = new QTableView(this);
    m_phrases->setObjectName(QStringLiteral("keywordPhrases"));
    m_phrases->setModel(m_model);
    m_phrases->verticalHeader()->hide();
    m_phrases->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    m_phrases->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 2);
    m_phrases->horizontalHeader()->setHighlightSections(false);
    m_phrases->horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    m_phrases->setShowGrid(false);
    m_phrases->setWordWrap(false);
    m_phrases->setTabKeyNavigation(false);
    m_phrases->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_phrases->setSelectionMode(QAbstractItemView::SingleSelection);
    m_phrases->setAlternatingRowColors(true);
    m_phrases->setSortingEnabled(true);
    m_phrases->sortByColumn(KeywordIndexModel::kPhrase, Qt::AscendingOrder);
    m_phrases->setEditTriggers(QAbstractItemView::EditKeyPressed |
                               QAbstractItemView::DoubleClicked);
    m_phrases->setAcceptDrops(true);
    m_phrases->viewport()->installEventFilter(this);
    m_phrases->installEventFilter(this);
    m_phrases->horizontalHeader()->setStretchLastSection(true);
    m_phrases->setColumnWidth(KeywordIndexModel::kPhrase, 220);
    m_phrases->setColumnWidth(KeywordIndexModel::kPages, 50);
}

void KeywordIndexView::BuildPages() {
    m_pagesModel = new KeywordPagesModel(this);
    m_pages = new QTreeView(this);
    m_pages->setObjectName(QStringLiteral("keywordPages"));
    m_pages->setModel(m_pagesModel);
    m_pages->setRootIsDecorated(false);
    m_pages->setUniformRowHeights(true);
    m_pages->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_pages->setDragEnabled(true);
    m_pages->setColumnWidth(0, 220);
    m_pages->installEventFilter(this);
}

QLabel* KeywordIndexView::BuildButtons() {
    m_moveTo = new QLineEdit(this);
    m_moveTo->setObjectName(QStringLiteral("keywordMoveTo"));
    m_moveTo->setPlaceholderText(QStringLiteral("Phrase to move the selected pages to"));
    auto* moveLabel = new QLabel(QStringLiteral("Mo&ve to:"), this);
    moveLabel->setBuddy(m_moveTo);
    m_move = new QPushButton(QStringLiteral("&Move"), this);
    m_move->setObjectName(QStringLiteral("keywordMove"));
    m_rename = new QPushButton(QStringLiteral("Re&name"), this);
    m_rename->setObjectName(QStringLiteral("keywordRename"));
    m_remove = new QPushButton(QStringLiteral("Remove phr&ase"), this);
    m_remove->setObjectName(QStringLiteral("keywordRemove"));
    m_findProblems = new QPushButton(QStringLiteral("Find &problems"), this);
    m_findProblems->setObjectName(QStringLiteral("keywordFindProblems"));
    m_summary = new QLabel(this);
    m_summary->setObjectName(QStringLiteral("keywordSummary"));
    return moveLabel;
}

void KeywordIndexView::LayOut(QLabel* filterLabel, QLabel* moveLabel) {
    auto* filterRow = new QHBoxLayout;
    filterRow->addWidget(filterLabel);
    filterRow->addWidget(m_filter, 1);
    filterRow->addWidget(m_problemsOnly);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_rename);
    buttons->addWidget(m_remove);
    buttons->addWidget(m_findProblems);
    buttons->addStretch(1);
    auto* moveRow = new QHBoxLayout;
    moveRow->addWidget(moveLabel);
    moveRow->addWidget(m_moveTo, 1);
    moveRow->addWidget(m_move);
    auto* splitter = new QSplitter(Qt::Vertical, this);
    splitter->addWidget(m_phrases);
    splitter->addWidget(m_pages);
    splitter->setStretchFactor(0, 3);
    splitter->setStretchFactor(1, 2);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(filterRow);
    layout->addWidget(m_summary);
    layout->addWidget(splitter, 1);
    layout->addLayout(buttons);
    layout->addLayout(moveRow);
}

void KeywordIndexView::ConnectControls() {
    connect(m_filter, &QLineEdit::textChanged, this, [this](const QString& text) {
        m_model->SetFilter(text);
        ShowPages();
    });
    connect(m_problemsOnly, &QCheckBox::toggled, this, [this](bool on) {
        m_model->SetProblemsOnly(on);
        ShowPages();
    });
    connect(m_model, &KeywordIndexModel::RenameRequested, this,
            &KeywordIndexView::OnRenameRequested, Qt::QueuedConnection);
    // Sorting, filtering and rebuilding reset the rows: the phrase shown stays shown when it
    // is still listed, the first one otherwise, so that the keys always have a phrase to act on.
    connect(m_model, &QAbstractItemModel::modelReset, this,
            [this] { SelectBytes(m_currentBytes); });
    connect(m_model, &QAbstractItemModel::layoutChanged, this,
            [this] { SelectBytes(m_currentBytes); });
    connect(m_phrases->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this] { ShowPages(); });
    connect(m_pages->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &KeywordIndexView::UpdateButtons);
    // The pages view into the phrases' groups, which a rebuild replaces.
    connect(m_model, &QAbstractItemModel::modelAboutToBeReset, this,
            [this] { m_pagesModel->Show(nullptr, nullptr); });
    connect(m_model, &QAbstractItemModel::layoutAboutToBeChanged, this,
            [this] { m_pagesModel->Show(nullptr, nullptr); });
    connect(m_rename, &QPushButton::clicked, this, [this] {
        QModelIndex current = m_phrases->currentIndex();
        if (current.isValid()) {
            m_phrases->setFocus();
            m_phrases->edit(current.siblingAtColumn(KeywordIndexModel::kPhrase));
        }
    });
    connect(m_remove, &QPushButton::clicked, this, &KeywordIndexView::RemoveCurrent);
    connect(m_move, &QPushButton::clicked, this, &KeywordIndexView::MoveSelectedPages);
    connect(m_moveTo, &QLineEdit::returnPressed, this, &KeywordIndexView::MoveSelectedPages);
    connect(m_moveTo, &QLineEdit::textChanged, this, &KeywordIndexView::UpdateButtons);
    connect(m_findProblems, &QPushButton::clicked, this, [this] {
        if (m_anchorCheck) {
            StopAnchorCheck();
        } else {
            FindProblems();
        }
    });
}

void KeywordIndexView::SetDocument(CXoDoc* document, CContentsView* contents) {
    if (m_document) {
        disconnect(m_document, nullptr, this, nullptr);
    }
    m_document = document;
    m_contents = contents;
    if (m_document) {
        connect(m_document, &CXoDoc::Changed, this, &KeywordIndexView::OnDocumentChanged);
    }
    m_stepSerial = m_contents ? m_contents->LastStepChanges().serial : 0;
    OnDocumentChanged(nullptr);
}

void KeywordIndexView::OnDocumentChanged(QObject* sender) {
    ++m_changes;
    // What a running check finds would name keywords by places that may have moved.
    if (m_anchorCheck) {
        m_anchorCheck->Stop();
    }
    // A step that changed keyword lists alone is mended in the phrases built before it, which
    // is quick enough to do whether the view is seen or not.
    if (m_contents && sender == m_contents) {
        const CContentsView::StepChanges& step = m_contents->LastStepChanges();
        bool mend = !m_stale && step.keywordsOnly && step.serial != m_stepSerial;
        m_stepSerial = step.serial;
        if (mend) {
            RefreshPhrases(step.keywordEntries, true);
            return;
        }
    }
    m_stale = true;
    // A large index is built only when someone looks at it.
    if (isVisible()) {
        Refresh();
    }
}

void KeywordIndexView::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (m_stale) {
        Refresh();
    }
}

void KeywordIndexView::Refresh() {
    RefreshPhrases({}, false);
}

void KeywordIndexView::RefreshPhrases(std::span<IndexEntry* const> entries, bool mend) {
    m_stale = false;
    const KeywordGroup* current = CurrentGroup();
    std::string selected = current ? std::string(current->bytes) : std::string();
    // The document knows how its texts are read; asking the texts again would walk them all.
    std::optional<bool> utf8 =
        m_document ? std::optional<bool>(m_document->Encoding() == TextEncoding::Utf8)
                   : std::nullopt;
    if (mend) {
        m_model->Update(entries, utf8);
    } else {
        m_model->Rebuild(m_document ? m_document->Index() : nullptr, utf8);
    }
    if (m_problemsWanted) {
        FindProblems(false);
    }
    const KeywordIndex& keywords = m_model->Keywords();
    m_summary->setText(Plural(keywords.Groups().size(), "phrase", "phrases") +
                       QStringLiteral(", ") +
                       Plural(keywords.KeywordCount(), "keyword", "keywords"));
    SelectBytes(selected);
}

bool KeywordIndexView::Editing() const {
    // Moving the current row would close an open editor, and with it what is being typed.
    // Editors are the viewport's children; a closed one is hidden until it is deleted.
    const auto editors = m_phrases->viewport()->findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
    return std::any_of(editors.begin(), editors.end(),
                       [](const QWidget* editor) { return editor->isVisible(); });
}

void KeywordIndexView::SelectBytes(const std::string& bytes) {
    if (Editing() && CurrentGroup()) {
        ShowPages();
        return;
    }
    int row = bytes.empty() ? -1 : m_model->RowOfBytes(bytes);
    if (row < 0 && m_model->rowCount() > 0) {
        row = 0;
    }
    if (row >= 0) {
        m_phrases->setCurrentIndex(m_model->index(row, KeywordIndexModel::kPhrase));
    }
    ShowPages();
}

const KeywordGroup* KeywordIndexView::CurrentGroup() const {
    QModelIndex current = m_phrases->currentIndex();
    return current.isValid() ? m_model->GroupAt(current.row()) : nullptr;
}

void KeywordIndexView::SelectPhrase(const QString& phrase) {
    std::string bytes;
    if (m_document) {
        bytes = m_document->Encode(phrase);
    }
    int row = m_model->RowOfBytes(bytes);
    if (row >= 0) {
        m_phrases->setCurrentIndex(m_model->index(row, KeywordIndexModel::kPhrase));
    }
}

QString KeywordIndexView::Text(std::u16string_view text) const {
    return QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size()));
}

void KeywordIndexView::ShowPages() {
    const KeywordGroup* group = CurrentGroup();
    if (group) {
        m_currentBytes = group->bytes;
    }
    if (group != m_pagesModel->Group()) {
        m_pagesModel->Show(&m_model->Keywords(), group);
        if (group) {
            m_pages->setCurrentIndex(m_pagesModel->index(0, 0));
        }
    }
    UpdateButtons();
}

void KeywordIndexView::UpdateButtons() {
    bool any = CurrentGroup() != nullptr && m_contents;
    m_rename->setEnabled(any);
    m_remove->setEnabled(any);
    m_move->setEnabled(any && m_pages->selectionModel()->hasSelection() &&
                       !m_moveTo->text().isEmpty());
    m_findProblems->setText(m_anchorCheck ? QStringLiteral("Sto&p check")
                                          : QStringLiteral("Find &problems"));
    m_findProblems->setEnabled(m_anchorCheck || (m_document && m_document->Index()));
}

bool KeywordIndexView::PhraseBytes(const QString& text, std::string& bytes) {
    KeywordEditor editor(m_model->Keywords());
    std::u16string phrase(reinterpret_cast<const char16_t*>(text.utf16()),
                          static_cast<std::size_t>(text.size()));
    QString problem;
    switch (editor.CheckPhrase(phrase, bytes)) {
    case KeywordEditor::PhraseCheck::Ok:
        return true;
    case KeywordEditor::PhraseCheck::Empty:
        problem = QStringLiteral("The index keyword phrase cannot be blank");
        break;
    case KeywordEditor::PhraseCheck::Unwritable:
        problem = QStringLiteral("An index keyword phrase cannot hold \";\" or a line break");
        break;
    case KeywordEditor::PhraseCheck::NotEncodable:
        problem = QStringLiteral("This index is written in Windows-1252, which has no place for "
                                 "a character of \"%1\"")
                      .arg(text);
        break;
    }
    DialogService::Message message;
    message.text = problem;
    Dialogs().ShowMessage(this, message);
    return false;
}

void KeywordIndexView::Apply(std::unique_ptr<EditStep> step, const std::string& selectBytes) {
    if (!step || !m_contents) {
        return;
    }
    m_contents->DoStep(std::move(step));
    // The document's change notice rebuilt the phrases; show the one the edit led to.
    if (m_stale) {
        Refresh();
    }
    int row = Editing() ? -1 : m_model->RowOfBytes(selectBytes);
    if (row >= 0) {
        m_phrases->setCurrentIndex(m_model->index(row, KeywordIndexModel::kPhrase));
        m_phrases->scrollTo(m_phrases->currentIndex());
    }
}

void KeywordIndexView::OnRenameRequested(int groupIndex, const QString& newName) {
    const auto& groups = m_model->Keywords().Groups();
    if (groupIndex < 0 || groupIndex >= static_cast<int>(groups.size())) {
        return;
    }
    const KeywordGroup& group = groups[static_cast<std::size_t>(groupIndex)];
    std::string bytes;
    if (newName == Text(group.phrase) || !PhraseBytes(newName, bytes)) {
        return;
    }
    bool merge = m_model->Keywords().Find(
                     std::u16string(reinterpret_cast<const char16_t*>(newName.utf16()),
                                    static_cast<std::size_t>(newName.size()))) != groups.size();
    std::size_t pages = group.pages;
    Apply(KeywordEditor(m_model->Keywords()).Rename(group, bytes), bytes);
    Q_EMIT Message(
        merge ? QStringLiteral("Merged %1 into \"%2\"").arg(Plural(pages, "page", "pages"), newName)
              : QStringLiteral("Renamed on %1").arg(Plural(pages, "page", "pages")));
}

void KeywordIndexView::RenameCurrent(const QString& newName) {
    QModelIndex current = m_phrases->currentIndex();
    if (current.isValid()) {
        OnRenameRequested(m_model->GroupIndexAt(current.row()), newName);
    }
}

void KeywordIndexView::RemoveCurrent() {
    const KeywordGroup* group = CurrentGroup();
    if (!group) {
        return;
    }
    // The phrase that takes its place in the list stays selected.
    int row = m_phrases->currentIndex().row();
    const KeywordGroup* next = m_model->GroupAt(row + 1);
    if (!next) {
        next = m_model->GroupAt(row - 1);
    }
    std::string select = next ? std::string(next->bytes) : std::string();
    std::size_t pages = group->pages;
    Apply(KeywordEditor(m_model->Keywords()).Remove(*group), select);
    Q_EMIT Message(QStringLiteral("Removed from %1").arg(Plural(pages, "page", "pages")));
}

void KeywordIndexView::MoveSelectedPages() {
    const KeywordGroup* group = CurrentGroup();
    QString target = m_moveTo->text();
    if (!group || target.isEmpty()) {
        return;
    }
    std::vector<KeywordRef> refs;
    for (const QModelIndex& row : m_pages->selectionModel()->selectedRows()) {
        auto i = static_cast<std::size_t>(row.row());
        if (i < group->refs.size()) {
            refs.push_back(group->refs[i]);
        }
    }
    std::string bytes;
    if (refs.empty() || target == Text(group->phrase) || !PhraseBytes(target, bytes)) {
        return;
    }
    std::string stay = refs.size() < group->refs.size() ? std::string(group->bytes) : bytes;
    std::size_t moved = refs.size();
    Apply(KeywordEditor(m_model->Keywords()).Move(refs, bytes), stay);
    Q_EMIT Message(
        QStringLiteral("Moved %1 to \"%2\"").arg(Plural(moved, "keyword", "keywords"), target));
}

bool KeywordIndexView::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_phrases && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Delete) {
        // Keys of an open editor go to the editor, never here.
        RemoveCurrent();
        return true;
    }
    if (watched == m_pages && event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_M && key->modifiers() == Qt::ControlModifier) {
            m_moveTo->setFocus();
            m_moveTo->selectAll();
            return true;
        }
    }
    if (watched == m_phrases->viewport() &&
        (event->type() == QEvent::DragEnter || event->type() == QEvent::DragMove ||
         event->type() == QEvent::Drop)) {
        // Pages dragged from the page list onto a phrase move there.
        auto* drop = static_cast<QDropEvent*>(event);
        if (drop->source() != m_pages) {
            return false;
        }
        QModelIndex at = m_phrases->indexAt(drop->position().toPoint());
        const KeywordGroup* target = at.isValid() ? m_model->GroupAt(at.row()) : nullptr;
        if (!target || target == CurrentGroup()) {
            drop->ignore();
            return true;
        }
        drop->setDropAction(Qt::MoveAction);
        drop->accept();
        if (event->type() == QEvent::Drop) {
            m_moveTo->setText(Text(target->phrase));
            MoveSelectedPages();
        }
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

void KeywordIndexView::FindProblems(bool checkAnchors, bool wait) {
    if (!m_document || !m_document->Index()) {
        return;
    }
    m_problemsWanted = true;
    const auto& groups = m_model->Keywords().Groups();
    std::unordered_map<std::string, QString> problems;
    for (const auto& set : FindPhraseVariants(m_model->Keywords())) {
        for (std::size_t i : set) {
            QStringList others;
            for (std::size_t j : set) {
                if (j != i) {
                    others.append(QLatin1Char('"') + Text(groups[j].phrase) + QLatin1Char('"'));
                }
            }
            problems[std::string(groups[i].bytes)] =
                QStringLiteral("Differs only in case or spacing from ") +
                others.join(QStringLiteral(", "));
        }
    }
    std::size_t variants = problems.size();
    m_variantProblems = std::move(problems);
    // Anchors found gone by an earlier check no longer name the right keywords.
    m_goneAnchors.clear();
    ShowProblems();
    Q_EMIT Message(QStringLiteral("%1 differ only in case or spacing")
                       .arg(Plural(variants, "phrase", "phrases")));
    if (m_anchorCheck && wait) {
        m_anchorCheck->Wait();
        FinishAnchorCheck(m_checkSerial);
    }
    if (checkAnchors && !m_anchorCheck) {
        StartAnchorCheck(wait);
    }
}

void KeywordIndexView::StartAnchorCheck(bool wait) {
    // Relative links are looked for beside the file the index was last read from or saved to.
    std::string folder = IndexFolder(m_document->Index()->m_fileName);
    m_anchorCheck = std::make_unique<KeywordAnchorCheck>(*m_document->Index(), folder, false);
    m_checkChanges = m_changes;
    unsigned serial = ++m_checkSerial;
    LinkCheckOptions options;
    options.progress = [this, serial](std::size_t done, std::size_t total) {
        QMetaObject::invokeMethod(
            this, [this, serial, done, total] { AnchorProgress(serial, done, total); },
            Qt::QueuedConnection);
    };
    m_anchorCheck->Start(std::move(options), [this, serial] {
        QMetaObject::invokeMethod(
            this, [this, serial] { FinishAnchorCheck(serial); }, Qt::QueuedConnection);
    });
    UpdateButtons();
    if (wait) {
        m_anchorCheck->Wait();
        FinishAnchorCheck(serial);
    }
}

void KeywordIndexView::AnchorProgress(unsigned serial, std::size_t done, std::size_t total) {
    if (m_anchorCheck && serial == m_checkSerial) {
        Q_EMIT Message(QStringLiteral("Checking anchors: %1 of %2")
                           .arg(done)
                           .arg(Plural(total, "page", "pages")));
    }
}

void KeywordIndexView::StopAnchorCheck() {
    if (m_anchorCheck) {
        m_anchorCheck->Stop();
    }
}

void KeywordIndexView::ShowProblems() {
    std::unordered_map<std::string, QString> problems = m_variantProblems;
    for (const auto& [phrase, count] : m_goneAnchors) {
        QString& text = problems[phrase];
        QString line = QStringLiteral("Anchor gone on %1").arg(Plural(count, "page", "pages"));
        text = text.isEmpty() ? line : text + QStringLiteral("; ") + line;
    }
    const KeywordGroup* current = CurrentGroup();
    std::string selected = current ? std::string(current->bytes) : std::string();
    m_model->SetProblems(std::move(problems));
    SelectBytes(selected);
}

void KeywordIndexView::FinishAnchorCheck(unsigned serial) {
    if (!m_anchorCheck || serial != m_checkSerial) {
        return;
    }
    m_anchorCheck->Wait();
    std::unique_ptr<KeywordAnchorCheck> check = std::move(m_anchorCheck);
    UpdateButtons();
    if (m_checkChanges != m_changes) {
        Q_EMIT Message(QStringLiteral("The index changed during the anchor check: check again"));
        return;
    }
    if (check->Stopped()) {
        Q_EMIT Message(QStringLiteral("Anchor check stopped"));
        return;
    }
    m_goneAnchors.clear();
    const std::vector<GoneAnchor>& gone = check->Result();
    for (const GoneAnchor& anchor : gone) {
        ++m_goneAnchors[anchor.keyword.owner->m_keywords[anchor.keyword.position].m_phrase];
    }
    ShowProblems();
    Q_EMIT Message(
        QStringLiteral("%1 whose anchor is gone").arg(Plural(gone.size(), "keyword", "keywords")));
}

} // namespace tamblin
