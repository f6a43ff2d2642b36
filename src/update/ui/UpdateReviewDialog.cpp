#include "update/ui/UpdateReviewDialog.h"

#include "update/MergeChange.h"

#include <QDialogButtonBox>
#include <QFontMetrics>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <algorithm>

namespace tamblin {

namespace {

constexpr int kChangeRole = Qt::UserRole;

QString Display(const std::string& bytes) {
    return QString::fromUtf8(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

struct Group {
    MergeChange::Kind kind;
    const char* heading;
};

constexpr Group kGroups[] = {
    {MergeChange::Kind::PageAdded, "Pages added"},
    {MergeChange::Kind::PageGone, "Pages gone: checked are removed, the others kept out of the "
                                  "contents, without the keywords the scan gave them"},
    {MergeChange::Kind::PageRetitled, "Pages retitled"},
    {MergeChange::Kind::KeywordAdded, "Keywords added"},
    {MergeChange::Kind::KeywordRemoved, "Keywords removed"},
};

QStringList Columns(const MergeChange& change) {
    QString url = Display(change.url);
    switch (change.kind) {
    case MergeChange::Kind::PageAdded:
        return {Display(change.title), url,
                change.after.empty() ? QStringLiteral("at the top level")
                                     : QStringLiteral("under ") + Display(change.after)};
    case MergeChange::Kind::PageGone:
        // Readers would follow these keywords to a page that is not there; the author's own
        // keywords are the author's to remove.
        return {Display(change.title), url,
                change.scanKeywords == 0
                    ? QString()
                    : (change.scanKeywords == 1
                           ? QStringLiteral("if kept: its keyword from the scan goes, yours stay")
                           : QStringLiteral("if kept: its %1 keywords from the scan go, yours stay")
                                 .arg(change.scanKeywords))};
    case MergeChange::Kind::PageRetitled:
        return {Display(change.after), url, QStringLiteral("was ") + Display(change.before)};
    case MergeChange::Kind::KeywordAdded:
        return {Display(change.after), url, Display(change.title)};
    case MergeChange::Kind::KeywordRemoved:
        return {Display(change.before), url, Display(change.title)};
    }
    return {};
}

} // namespace

UpdateReviewDialog::UpdateReviewDialog(MergeResult& result, QWidget* parent)
    : QDialog(parent), m_result(result) {
    setObjectName(QStringLiteral("updateReviewDialog"));
    setWindowTitle(QStringLiteral("Update from site"));
    auto* intro = new QLabel(QStringLiteral(
        "The new scan of the site brings these changes. Only the checked ones are made;\n"
        "your own titles, places, keywords and settings stay as they are."));
    intro->setObjectName(QStringLiteral("intro"));
    m_changes = new QTreeWidget;
    m_changes->setObjectName(QStringLiteral("changeList"));
    m_changes->setHeaderLabels(
        {QStringLiteral("Change"), QStringLiteral("URL"), QStringLiteral("Detail")});
    m_changes->setAlternatingRowColors(true);
    m_changes->header()->setStretchLastSection(true);
    m_kept = new QLabel;
    m_kept->setObjectName(QStringLiteral("keptCount"));
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    buttons->setObjectName(QStringLiteral("buttons"));
    buttons->button(QDialogButtonBox::Ok)->setObjectName(QStringLiteral("okButton"));
    buttons->button(QDialogButtonBox::Cancel)->setObjectName(QStringLiteral("cancelButton"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(intro);
    layout->addWidget(m_changes, 1);
    layout->addWidget(m_kept);
    layout->addWidget(buttons);
    AddGroups();
    int kept = m_result.authorEditsKept;
    m_kept->setText(kept == 1 ? QStringLiteral("1 edit of yours is kept.")
                              : QStringLiteral("%1 edits of yours are kept.").arg(kept));
    resize(640, 420);
    m_changes->setFocus();
}

void UpdateReviewDialog::AddGroups() {
    for (const Group& group : kGroups) {
        int count = m_result.Count(group.kind);
        if (count == 0) {
            continue;
        }
        auto* heading = new QTreeWidgetItem(m_changes);
        heading->setText(
            0, QStringLiteral("%1 (%2)").arg(QString::fromLatin1(group.heading)).arg(count));
        heading->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable | Qt::ItemIsAutoTristate |
                          Qt::ItemIsSelectable);
        heading->setFirstColumnSpanned(true);
        for (size_t i = 0; i < m_result.changes.size(); ++i) {
            const MergeChange& change = m_result.changes[i];
            if (change.kind != group.kind) {
                continue;
            }
            auto* item = new QTreeWidgetItem(heading, Columns(change));
            item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable | Qt::ItemIsSelectable);
            item->setCheckState(0, change.apply ? Qt::Checked : Qt::Unchecked);
            item->setData(0, kChangeRole, static_cast<qulonglong>(i));
        }
        heading->setExpanded(true);
    }
    if (m_changes->topLevelItemCount() == 0) {
        auto* none = new QTreeWidgetItem(m_changes);
        none->setText(0, QStringLiteral("The index is up to date with the site."));
        none->setFirstColumnSpanned(true);
        none->setFlags(Qt::ItemIsEnabled);
    }
    // Wide enough for the changes' own texts; the group headings span every column.
    QFontMetrics metrics(m_changes->font());
    int width = 160;
    for (int g = 0; g < m_changes->topLevelItemCount(); ++g) {
        QTreeWidgetItem* heading = m_changes->topLevelItem(g);
        for (int c = 0; c < heading->childCount(); ++c) {
            width = std::max(width, metrics.horizontalAdvance(heading->child(c)->text(0)) +
                                        2 * m_changes->indentation() + 40);
        }
    }
    m_changes->setColumnWidth(0, std::min(width, 320));
    m_changes->setColumnWidth(1, 180);
    m_changes->setCurrentItem(m_changes->topLevelItem(0));
}

void UpdateReviewDialog::accept() {
    for (int g = 0; g < m_changes->topLevelItemCount(); ++g) {
        QTreeWidgetItem* heading = m_changes->topLevelItem(g);
        for (int c = 0; c < heading->childCount(); ++c) {
            QTreeWidgetItem* item = heading->child(c);
            auto index = item->data(0, kChangeRole).toULongLong();
            m_result.changes[index].apply = item->checkState(0) == Qt::Checked;
        }
    }
    QDialog::accept();
}

} // namespace tamblin
