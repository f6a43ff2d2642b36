#include "keywords/ui/KeywordPagesModel.h"

#include "index/IndexEntry.h"

namespace tamblin {

void KeywordPagesModel::Show(const KeywordIndex* keywords, const KeywordGroup* group) {
    beginResetModel();
    m_keywords = group ? keywords : nullptr;
    m_group = keywords ? group : nullptr;
    endResetModel();
}

int KeywordPagesModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() || !m_group ? 0 : static_cast<int>(m_group->refs.size());
}

int KeywordPagesModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : 2;
}

QVariant KeywordPagesModel::data(const QModelIndex& index, int role) const {
    if (role != Qt::DisplayRole || !m_group || index.row() < 0 ||
        static_cast<std::size_t>(index.row()) >= m_group->refs.size()) {
        return {};
    }
    const KeywordRef& ref = m_group->refs[static_cast<std::size_t>(index.row())];
    const IndexKeyword& keyword = ref.owner->m_keywords[ref.position];
    std::u16string text =
        m_keywords->Decode(index.column() == 0 ? keyword.FullTitle() : keyword.FullUrl());
    return QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size()));
}

QVariant KeywordPagesModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole) {
        return {};
    }
    return section == 0 ? QStringLiteral("Page") : QStringLiteral("URL");
}

Qt::ItemFlags KeywordPagesModel::flags(const QModelIndex& index) const {
    // Pages are dragged onto another phrase to move there.
    return QAbstractTableModel::flags(index) | Qt::ItemIsDragEnabled;
}

} // namespace tamblin
