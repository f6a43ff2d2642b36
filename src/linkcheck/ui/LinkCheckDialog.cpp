#include "linkcheck/ui/LinkCheckDialog.h"

#include "index/IndexFile.h"
#include "linkcheck/LinkChecker.h"
#include "linkcheck/LinkCollector.h"
#include "linkcheck/LinkReport.h"

#include <QCheckBox>
#include <QFontMetrics>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <algorithm>
#include <functional>

namespace tamblin {

namespace {

constexpr int kProblemRole = Qt::UserRole;
constexpr int kUseRole = Qt::UserRole + 1;

QString Display(const std::string& bytes) {
    return QString::fromUtf8(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

} // namespace

LinkCheckDialog::LinkCheckDialog(IndexFile& index, std::string indexPath, ShowUse showUse,
                                 QWidget* parent)
    : QDialog(parent), m_index(index), m_indexPath(std::move(indexPath)),
      m_showUse(std::move(showUse)) {
    setObjectName(QStringLiteral("linkCheckDialog"));
    setWindowTitle(QStringLiteral("Check Links"));
    m_offSite = new QCheckBox(QStringLiteral("Check &off-site links too"));
    m_offSite->setObjectName(QStringLiteral("offSite"));
    m_check = new QPushButton(QStringLiteral("&Check"));
    m_check->setObjectName(QStringLiteral("check"));
    m_check->setDefault(true);
    m_progress = new QProgressBar;
    m_progress->setObjectName(QStringLiteral("progress"));
    m_progress->setRange(0, 1);
    m_progress->setValue(0);
    m_status = new QLabel(QStringLiteral("Press Check to check every entry and keyword URL."));
    m_status->setTextFormat(Qt::PlainText);
    m_status->setObjectName(QStringLiteral("status"));
    m_status->setWordWrap(true);
    m_problems = new QTreeWidget;
    m_problems->setObjectName(QStringLiteral("problems"));
    m_problems->setHeaderLabels({QStringLiteral("Problem"), QStringLiteral("Entry"),
                                 QStringLiteral("URL"), QStringLiteral("Detail")});
    m_problems->setAlternatingRowColors(true);
    // A long entry or address is cut in its middle, where the two ends that tell it stay.
    m_problems->setTextElideMode(Qt::ElideMiddle);
    m_problems->header()->setStretchLastSection(true);
    m_close = new QPushButton(QStringLiteral("Close"));
    m_close->setObjectName(QStringLiteral("close"));
    m_close->setAutoDefault(false);

    auto* top = new QHBoxLayout;
    top->addWidget(m_offSite, 1);
    top->addWidget(m_check);
    auto* bottom = new QHBoxLayout;
    bottom->addStretch(1);
    bottom->addWidget(m_close);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(m_progress);
    layout->addWidget(m_status);
    layout->addWidget(m_problems, 1);
    layout->addLayout(bottom);
    setTabOrder(m_offSite, m_check);
    setTabOrder(m_check, m_problems);
    setTabOrder(m_problems, m_close);
    m_offSite->setFocus();
    resize(720, 400);

    connect(m_check, &QPushButton::clicked, this, &LinkCheckDialog::StartCheck);
    connect(m_close, &QPushButton::clicked, this, &LinkCheckDialog::reject);
    connect(m_problems, &QTreeWidget::itemActivated, this,
            [this](QTreeWidgetItem* item) { OnActivated(item); });
}

LinkCheckDialog::~LinkCheckDialog() {
    StopWorker();
}

void LinkCheckDialog::StopWorker() {
    if (m_worker.joinable()) {
        m_worker.request_stop();
        m_worker.join();
    }
}

void LinkCheckDialog::StartCheck() {
    if (Running()) {
        return;
    }
    m_abort = 0;
    m_problems->clear();
    LinkCollector collector(IndexFolder(m_indexPath), m_offSite->isChecked());
    collector.Collect(m_index);
    m_pages = std::move(collector.Pages());
    m_result = collector.Counts();
    m_progress->setRange(0, std::max(1, static_cast<int>(m_pages.size())));
    m_progress->setValue(0);
    m_status->setText(QStringLiteral("Checking links..."));
    m_check->setEnabled(false);
    m_offSite->setEnabled(false);
    m_close->setText(QStringLiteral("Cancel"));
    m_close->setFocus();
    LinkCheckOptions options;
    options.fetch = m_fetch;
    options.offSite = m_offSite->isChecked();
    options.abortFlag = &m_abort;
    options.progress = [this](size_t done, size_t total) {
        QMetaObject::invokeMethod(
            this, [this, done, total] { Progress(done, total); }, Qt::QueuedConnection);
    };
    // The worker writes only m_finished, which this thread reads once it has joined; m_result
    // stays the last finished check's until then.
    m_worker = std::jthread([this, options, counts = m_result](std::stop_token stop) {
        std::stop_callback cancel(stop, [this] { m_abort = 1; });
        m_finished = LinkChecker(options).Check(m_pages, counts);
        QMetaObject::invokeMethod(this, &LinkCheckDialog::Completed, Qt::QueuedConnection);
    });
}

void LinkCheckDialog::Progress(size_t done, size_t total) {
    if (!Running()) {
        return;
    }
    m_progress->setValue(static_cast<int>(done));
    m_status->setText(QStringLiteral("Checked %1 of %2 pages").arg(done).arg(total));
}

void LinkCheckDialog::Completed() {
    if (m_worker.joinable()) {
        m_worker.join();
    }
    m_result = std::move(m_finished);
    m_finished = {};
    m_progress->setValue(m_progress->maximum());
    m_status->setText(Display(LinkSummaryText(m_result)));
    ShowProblems();
    m_check->setEnabled(true);
    m_offSite->setEnabled(true);
    m_close->setText(QStringLiteral("Close"));
    if (m_problems->topLevelItemCount() > 0) {
        m_problems->setCurrentItem(m_problems->topLevelItem(0));
        m_problems->setFocus();
    }
}

void LinkCheckDialog::ShowProblems() {
    QList<QTreeWidgetItem*> rows;
    for (size_t p = 0; p < m_result.problems.size(); ++p) {
        const LinkProblem& problem = m_result.problems[p];
        if (problem.uses.empty()) {
            continue;
        }
        // A link used in several places is one problem; its first use is on its row, the
        // others below it, so that each row leads to one place in the tree.
        auto* row = new QTreeWidgetItem({QString::fromLatin1(LinkProblemName(problem.kind)),
                                         Display(problem.uses[0].where), Display(problem.url),
                                         Display(problem.detail)});
        row->setData(0, kProblemRole, static_cast<qulonglong>(p));
        row->setData(0, kUseRole, 0ULL);
        for (size_t u = 1; u < problem.uses.size(); ++u) {
            auto* child = new QTreeWidgetItem(row, {QString(), Display(problem.uses[u].where)});
            child->setData(0, kProblemRole, static_cast<qulonglong>(p));
            child->setData(0, kUseRole, static_cast<qulonglong>(u));
        }
        rows.append(row);
    }
    m_problems->addTopLevelItems(rows);
    FitColumns(rows);
}

// Each column as wide as its longest text, the rows of further uses included (the view's own
// fit sees only the rows it shows, and a keyword's "Title: phrase" is the longest of all),
// within a share of the width; what is cut shows whole in its tooltip.
void LinkCheckDialog::FitColumns(const QList<QTreeWidgetItem*>& rows) {
    const QFontMetrics metrics = m_problems->fontMetrics();
    // A gap of two characters, so that one column's text does not run into the next.
    const int gap = 2 * metrics.averageCharWidth();
    const int viewport = m_problems->viewport()->width();
    int widths[3] = {0, 0, 0};
    std::function<void(QTreeWidgetItem*)> measure = [&](QTreeWidgetItem* item) {
        for (int column = 0; column < 3; ++column) {
            widths[column] =
                std::max(widths[column], metrics.horizontalAdvance(item->text(column)));
            if (column > 0 && !item->text(column).isEmpty()) {
                item->setToolTip(column, item->text(column));
            }
        }
        for (int i = 0; i < item->childCount(); ++i) {
            measure(item->child(i));
        }
    };
    for (QTreeWidgetItem* row : rows) {
        measure(row);
    }
    // The first column also holds the branch that opens a problem's further uses.
    widths[0] += m_problems->indentation();
    // The entry, which says where to go, gets the larger share.
    for (int column = 0; column < 3; ++column) {
        int widest = std::max(160, viewport * (column == 1 ? 11 : 7) / 20);
        m_problems->setColumnWidth(column, std::min(widths[column] + gap, widest));
    }
}

void LinkCheckDialog::OnActivated(QTreeWidgetItem* item) {
    if (!item || !m_showUse || Running()) {
        return;
    }
    size_t p = item->data(0, kProblemRole).toULongLong();
    size_t u = item->data(0, kUseRole).toULongLong();
    if (p < m_result.problems.size() && u < m_result.problems[p].uses.size()) {
        m_showUse(m_result.problems[p].uses[u]);
    }
}

void LinkCheckDialog::reject() {
    if (Running()) {
        m_worker.request_stop();
        m_status->setText(QStringLiteral("Stopping..."));
        return;
    }
    QDialog::reject();
}

} // namespace tamblin
