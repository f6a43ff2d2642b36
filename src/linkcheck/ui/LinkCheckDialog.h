#pragma once

#include "linkcheck/LinkCheck.h"

#include <QDialog>
#include <QList>

#include <atomic>
#include <functional>
#include <stop_token>
#include <string>
#include <thread>

class QCheckBox;
class QLabel;
class QProgressBar;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;

namespace tamblin {

class IndexFile;

// "Check Links": checks the index's links on one worker thread, with progress and Cancel,
// then lists each problem with where the index uses the link. The links are gathered here,
// on the thread that owns the index; the worker sees only their texts. The dialog is modal,
// so the entries a row points at stay as they are while it is open.
class LinkCheckDialog final : public QDialog {
    Q_OBJECT
public:
    // Shows one use of a link in the tree: selects the entry or opens its keyword.
    using ShowUse = std::function<void(const LinkUse& use)>;

    LinkCheckDialog(IndexFile& index, std::string indexPath, ShowUse showUse,
                    QWidget* parent = nullptr);
    ~LinkCheckDialog() override;

    void SetFetchOptions(const FetchOptions& fetch) { m_fetch = fetch; }
    void StartCheck();
    bool Running() const { return m_worker.joinable(); }
    const LinkCheckResult& Result() const { return m_result; }
    QTreeWidget* Problems() const { return m_problems; }
    // Cancel while checking (the check ends and shows what it found), Close after.
    void reject() override;

private:
    void Progress(size_t done, size_t total);
    void Completed();
    void ShowProblems();
    void FitColumns(const QList<QTreeWidgetItem*>& rows);
    void OnActivated(QTreeWidgetItem* item);
    void StopWorker();

    IndexFile& m_index;
    std::string m_indexPath;
    ShowUse m_showUse;
    FetchOptions m_fetch;
    std::atomic<int> m_abort{0};
    // Owns the worker: a stop request ends the check, and nothing outlives a join.
    std::jthread m_worker;
    LinkCheckResult m_result;
    // What the worker hands over; read only after it has been joined.
    LinkCheckResult m_finished;
    std::vector<LinkPage> m_pages;

    QCheckBox* m_offSite = nullptr;
    QPushButton* m_check = nullptr;
    QProgressBar* m_progress = nullptr;
    QLabel* m_status = nullptr;
    QTreeWidget* m_problems = nullptr;
    QPushButton* m_close = nullptr;
};

} // namespace tamblin
