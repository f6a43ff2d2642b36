#pragma once

#include "keywords/KeywordIndex.h"

#include <QAbstractTableModel>

namespace tamblin {

// The pages under one phrase: each keyword's title and URL as the reader's page list shows
// them, made when a row is drawn, so that a phrase on ten thousand pages costs nothing until
// someone scrolls to them.
class KeywordPagesModel final : public QAbstractTableModel {
    Q_OBJECT

public:
    explicit KeywordPagesModel(QObject* parent = nullptr) : QAbstractTableModel(parent) {}

    // The group's keywords (null for none); `keywords` made the group and outlives the model's
    // use of it until the next call.
    void Show(const KeywordIndex* keywords, const KeywordGroup* group);
    const KeywordGroup* Group() const { return m_group; }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

private:
    const KeywordIndex* m_keywords = nullptr;
    const KeywordGroup* m_group = nullptr;
};

} // namespace tamblin
