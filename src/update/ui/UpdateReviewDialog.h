#pragma once

#include <QDialog>

class QLabel;
class QTreeWidget;
class QTreeWidgetItem;

namespace tamblin {

struct MergeResult;

// "Update from site": what a new scan of the site would change, grouped, each change with
// a check box, and how many of the author's edits stay. OK writes the check boxes back into
// the changes' apply flags; Cancel leaves them alone.
class UpdateReviewDialog final : public QDialog {
    Q_OBJECT
public:
    explicit UpdateReviewDialog(MergeResult& result, QWidget* parent = nullptr);

    void accept() override;
    QTreeWidget* ChangeList() const { return m_changes; }

private:
    void AddGroups();

    MergeResult& m_result;
    QTreeWidget* m_changes = nullptr;
    QLabel* m_kept = nullptr;
};

} // namespace tamblin
