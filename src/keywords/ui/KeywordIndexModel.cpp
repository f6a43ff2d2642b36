#include "keywords/ui/KeywordIndexModel.h"

#include "keywords/JsLowerCase.h"

#include <algorithm>

namespace tamblin {

namespace {

QString TextOf(std::u16string_view text) {
    return QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size()));
}

} // namespace

KeywordIndexModel::KeywordIndexModel(QObject* parent) : QAbstractTableModel(parent) {}

void KeywordIndexModel::Rebuild(IndexFile* index, std::optional<bool> utf8) {
    beginResetModel();
    if (index) {
        m_keywords.Build(*index, utf8);
    } else {
        m_keywords = KeywordIndex();
    }
    // One reset for the new phrases and their rows: a view drops and lays out its rows once.
    FillRows();
    endResetModel();
}

void KeywordIndexModel::Update(std::span<IndexEntry* const> entries, std::optional<bool> utf8) {
    IndexFile* file = m_keywords.Index();
    if (!file) {
        return;
    }
    // A change of layout, not a reset: rows held by the view (the current one, the selection,
    // an open editor) follow their phrases, so an edit that lands while the next phrase is
    // being renamed leaves that editor open on its phrase.
    Q_EMIT layoutAboutToBeChanged();
    QModelIndexList before = persistentIndexList();
    std::vector<std::string> bytes;
    bytes.reserve(static_cast<std::size_t>(before.size()));
    for (const QModelIndex& held : before) {
        const KeywordGroup* group = GroupAt(held.row());
        bytes.emplace_back(group ? group->bytes : std::string_view());
    }
    if (!m_keywords.Update(entries)) {
        m_keywords.Build(*file, utf8);
    }
    FillRows();
    QModelIndexList after;
    for (qsizetype i = 0; i < before.size(); ++i) {
        int row = bytes[static_cast<std::size_t>(i)].empty()
                      ? -1
                      : RowOfBytes(bytes[static_cast<std::size_t>(i)]);
        after << (row < 0 ? QModelIndex() : index(row, before[i].column()));
    }
    changePersistentIndexList(before, after);
    Q_EMIT layoutChanged();
}

void KeywordIndexModel::SetFilter(const QString& text) {
    std::u16string filter = JsToLowerCase(std::u16string(
        reinterpret_cast<const char16_t*>(text.utf16()), static_cast<std::size_t>(text.size())));
    if (filter != m_filter) {
        m_filter = std::move(filter);
        Refill();
    }
}

void KeywordIndexModel::SetProblemsOnly(bool on) {
    if (on != m_problemsOnly) {
        m_problemsOnly = on;
        Refill();
    }
}

void KeywordIndexModel::SetProblems(std::unordered_map<std::string, QString> problems) {
    m_problems = std::move(problems);
    Refill();
}

void KeywordIndexModel::Refill() {
    beginResetModel();
    FillRows();
    endResetModel();
}

void KeywordIndexModel::FillRows() {
    m_rows.clear();
    const auto& groups = m_keywords.Groups();
    for (std::size_t i = 0; i < groups.size(); ++i) {
        const KeywordGroup& group = groups[i];
        if (!m_filter.empty() && group.key.find(m_filter) == std::u16string::npos) {
            continue;
        }
        if (m_problemsOnly && !m_problems.contains(std::string(group.bytes))) {
            continue;
        }
        m_rows.push_back(static_cast<int>(i));
    }
    if (m_sortColumn == kPages) {
        // Ties stay in reader order, whichever way the counts run.
        std::stable_sort(m_rows.begin(), m_rows.end(), [&](int a, int b) {
            std::size_t x = groups[static_cast<std::size_t>(a)].pages;
            std::size_t y = groups[static_cast<std::size_t>(b)].pages;
            return m_sortOrder == Qt::AscendingOrder ? x < y : x > y;
        });
    } else if (m_sortOrder == Qt::DescendingOrder) {
        std::reverse(m_rows.begin(), m_rows.end());
    }
}

const KeywordGroup* KeywordIndexModel::GroupAt(int row) const {
    int group = GroupIndexAt(row);
    return group < 0 ? nullptr : &m_keywords.Groups()[static_cast<std::size_t>(group)];
}

int KeywordIndexModel::GroupIndexAt(int row) const {
    if (row < 0 || row >= static_cast<int>(m_rows.size())) {
        return -1;
    }
    return m_rows[static_cast<std::size_t>(row)];
}

int KeywordIndexModel::RowOfBytes(const std::string& bytes) const {
    const auto& groups = m_keywords.Groups();
    for (std::size_t row = 0; row < m_rows.size(); ++row) {
        if (groups[static_cast<std::size_t>(m_rows[row])].bytes == bytes) {
            return static_cast<int>(row);
        }
    }
    return -1;
}

int KeywordIndexModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(m_rows.size());
}

int KeywordIndexModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : kColumnCount;
}

QVariant KeywordIndexModel::data(const QModelIndex& index, int role) const {
    const KeywordGroup* group = GroupAt(index.row());
    if (!group) {
        return {};
    }
    if (role == Qt::DisplayRole || role == Qt::EditRole) {
        switch (index.column()) {
        case kPhrase:
            return TextOf(group->phrase);
        case kPages:
            return static_cast<qulonglong>(group->pages);
        case kProblem: {
            auto at = m_problems.find(std::string(group->bytes));
            return at == m_problems.end() ? QString() : at->second;
        }
        default:
            break;
        }
    }
    if (role == Qt::TextAlignmentRole && index.column() == kPages) {
        return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
    }
    return {};
}

QVariant KeywordIndexModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole) {
        return {};
    }
    switch (section) {
    case kPhrase:
        return QStringLiteral("Phrase");
    case kPages:
        return QStringLiteral("Pages");
    case kProblem:
        return QStringLiteral("Problem");
    default:
        return {};
    }
}

Qt::ItemFlags KeywordIndexModel::flags(const QModelIndex& index) const {
    Qt::ItemFlags flags = QAbstractTableModel::flags(index);
    if (index.column() == kPhrase) {
        flags |= Qt::ItemIsEditable | Qt::ItemIsDropEnabled;
    }
    return flags;
}

bool KeywordIndexModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    int group = GroupIndexAt(index.row());
    if (role != Qt::EditRole || index.column() != kPhrase || group < 0) {
        return false;
    }
    // The rename is an edit of the index: the view makes it, and the model is rebuilt.
    Q_EMIT RenameRequested(group, value.toString());
    return false;
}

void KeywordIndexModel::sort(int column, Qt::SortOrder order) {
    m_sortColumn = column == kPages ? kPages : kPhrase;
    m_sortOrder = order;
    Refill();
}

} // namespace tamblin
