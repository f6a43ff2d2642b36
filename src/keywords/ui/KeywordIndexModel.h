#pragma once

#include "keywords/KeywordIndex.h"

#include <QAbstractTableModel>

#include <optional>
#include <span>
#include <string>
#include <unordered_map>
#include <vector>

namespace tamblin {

// The phrases of the keyword index, one row each: the phrase, its pages, what is wrong with
// it. A filter keeps the phrases whose lowered text holds the filter's; rows sort in reader
// order or by page count.
class KeywordIndexModel final : public QAbstractTableModel {
    Q_OBJECT

public:
    enum Column { kPhrase = 0, kPages = 1, kProblem = 2, kColumnCount = 3 };

    explicit KeywordIndexModel(QObject* parent = nullptr);

    // Builds the index again from the model; null empties it.
    void Rebuild(IndexFile* index, std::optional<bool> utf8 = {});
    // The keyword lists of `entries` changed and nothing else: their phrases mended in
    // place, or all built again when that is the better way.
    void Update(std::span<IndexEntry* const> entries, std::optional<bool> utf8 = {});
    const KeywordIndex& Keywords() const { return m_keywords; }

    void SetFilter(const QString& text);
    void SetProblemsOnly(bool on);
    // What is wrong with each phrase, by its bytes in the file; empty clears.
    void SetProblems(std::unordered_map<std::string, QString> problems);
    bool HasProblems() const { return !m_problems.empty(); }

    // The group a row shows, or null.
    const KeywordGroup* GroupAt(int row) const;
    int GroupIndexAt(int row) const;
    // The row showing the phrase with these bytes, or -1.
    int RowOfBytes(const std::string& bytes) const;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    void sort(int column, Qt::SortOrder order) override;

Q_SIGNALS:
    // The user typed a new name for a phrase in place.
    void RenameRequested(int groupIndex, const QString& newName);

private:
    void Refill();
    void FillRows();

    KeywordIndex m_keywords;
    std::u16string m_filter;
    bool m_problemsOnly = false;
    int m_sortColumn = kPhrase;
    Qt::SortOrder m_sortOrder = Qt::AscendingOrder;
    std::unordered_map<std::string, QString> m_problems;
    std::vector<int> m_rows;
};

} // namespace tamblin
