#include "scanner/ui/ScanReportDialog.h"

#include "scanner/SiteScanner.h"

#include <QApplication>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include <cstdio>
#include <cstring>

namespace tamblin {

namespace {

// Page names and problem lines are bytes from the site; show them as UTF-8 where they are,
// and never let "\r" reach the text box.
constexpr const char* kNoProblems = "No problems while scanning.";

QString Display(std::string_view bytes) {
    QString text = QString::fromUtf8(bytes.data(), static_cast<qsizetype>(bytes.size()));
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return text;
}

} // namespace

ScanReportDialog::ScanReportDialog(SiteScanner* scanner, QWidget* parent)
    : QDialog(parent), m_scanner(scanner) {
    setObjectName(QStringLiteral("ScanReportDialog"));
    setWindowTitle(QStringLiteral("Scan Report"));
    m_status = new QLabel;
    // Page URLs and titles come from the site: never read them as markup.
    m_status->setTextFormat(Qt::PlainText);
    m_status->setObjectName(QStringLiteral("status"));
    m_status->setWordWrap(true);
    // Room for the summary's three lines, so the layout does not jump when it arrives.
    m_status->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    m_status->setMinimumHeight(m_status->fontMetrics().lineSpacing() * 3 + 4);
    m_dots = new QLabel;
    m_dots->setTextFormat(Qt::PlainText);
    m_dots->setObjectName(QStringLiteral("dots"));
    m_dots->setAlignment(Qt::AlignCenter);
    m_pagesRead = new QLabel;
    m_pagesRead->setObjectName(QStringLiteral("pagesRead"));
    m_problems = new QPlainTextEdit;
    m_problems->setObjectName(QStringLiteral("problems"));
    m_problems->setReadOnly(true);
    // Problem lines hold whole addresses; read them without scrolling sideways.
    m_problems->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    m_problems->setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    m_button = new QPushButton(QStringLiteral("Cancel"));
    m_button->setObjectName(QStringLiteral("button"));
    m_button->setDefault(true);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_status);
    layout->addWidget(m_dots);
    layout->addWidget(m_pagesRead);
    layout->addWidget(m_problems, 1);
    layout->addWidget(m_button, 0, Qt::AlignHCenter);
    resize(480, 320);
    ShowPagesRead(0);

    connect(m_button, &QPushButton::clicked, this, &ScanReportDialog::reject);
}

ScanReportDialog::~ScanReportDialog() {
    StopWorker();
}

void ScanReportDialog::StopWorker() {
    // Only needed when the dialog is torn down unfinished (a test, an exit): the worker
    // must not outlive the scanner it runs. The stop request cancels the scan.
    if (m_worker.joinable()) {
        m_worker.request_stop();
        m_worker.join();
    }
}

void ScanReportDialog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!m_started) {
        StartWorker();
    }
}

void ScanReportDialog::StartWorker() {
    m_started = true;
    m_finished = false;
    // The first page can take long to come (robots.txt, a slow server); say what is awaited
    // in the words used for every page once it has come.
    if (m_scanner) {
        // The scan makes its start relative to the site's folder as it runs; the address as
        // given is what the user knows.
        m_start = Display(m_scanner->Start());
        m_status->setText(QStringLiteral("Scanning ") + m_start + QStringLiteral("..."));
    }
    m_worker = std::jthread([this, scanner = m_scanner](std::stop_token stop) {
        std::stop_callback cancel(stop, [scanner] {
            if (scanner) {
                scanner->Cancel();
            }
        });
        SiteScanner::WorkerEntry(scanner);
        // The completion message: whatever way the scan ended, even one that never began.
        QMetaObject::invokeMethod(this, &ScanReportDialog::Completed, Qt::QueuedConnection);
    });
}

void ScanReportDialog::Completed() {
    if (m_worker.joinable()) {
        m_worker.join();
    }
    // The scan has ended: dots still moving would say it has not.
    m_dots->clear();
    if (m_scanner) {
        m_status->setText(Display(m_scanner->Summary()) + EndingNote());
        QString report = Display(m_scanner->Report());
        // Nothing after a Cancel says the pages never read had no problems.
        if (m_scanner->Aborted() && report.startsWith(QLatin1String(kNoProblems))) {
            report.replace(0, static_cast<int>(std::strlen(kNoProblems)),
                           QStringLiteral("No problems in the pages read before the scan was "
                                          "stopped."));
        }
        m_problems->setPlainText(report);
        ShowPagesRead(m_scanner->PagesRead());
    }
    m_button->setText(QStringLiteral("OK"));
    QApplication::beep();
    m_finished = true;
}

QString ScanReportDialog::EndingNote() const {
    if (m_scanner->Aborted() || m_scanner->PagesRead() > 0) {
        return {};
    }
    // "Scan complete" alone reads as if the site were empty.
    return QStringLiteral("\n\nNo page could be read: %1 did not answer or could not be "
                          "opened. Check the address, and that the site is up.")
        .arg(m_start);
}

void ScanReportDialog::reject() {
    m_worker.request_stop();
    if (!m_started) {
        QDialog::reject();
        return;
    }
    if (m_finished) {
        done(QDialog::Accepted);
        return;
    }
    m_stopping = true;
    m_status->setText(QStringLiteral("Stopping scan..."));
}

void ScanReportDialog::done(int result) {
    if (m_started && !m_finished) {
        // The worker still writes into this dialog and its scanner: the window must stay.
        reject();
        return;
    }
    QDialog::done(result);
}

void ScanReportDialog::ShowPagesRead(int pagesRead) {
    char text[64];
    std::snprintf(text, sizeof text, pagesRead == 1 ? "%d page read" : "%d pages read", pagesRead);
    m_pagesRead->setText(QString::fromLatin1(text));
}

void ScanReportDialog::OnStatus(const std::string& text) {
    QMetaObject::invokeMethod(
        this,
        [this, shown = Display(text)] {
            // "Stopping scan..." stays until the summary replaces it.
            if (!m_stopping && !m_finished) {
                m_status->setText(shown);
            }
        },
        Qt::QueuedConnection);
}

void ScanReportDialog::OnPageOpened(int pagesRead, const std::string& /*url*/) {
    QMetaObject::invokeMethod(
        this, [this, pagesRead] { ShowPagesRead(pagesRead); }, Qt::QueuedConnection);
}

void ScanReportDialog::OnProblem(const std::string& line) {
    QMetaObject::invokeMethod(
        this,
        [this, shown = Display(line)] {
            if (!m_finished) {
                m_problems->appendPlainText(shown);
            }
        },
        Qt::QueuedConnection);
}

void ScanReportDialog::OnDots(std::string_view dots) {
    QMetaObject::invokeMethod(
        this,
        [this, shown = Display(dots)] {
            if (!m_finished) {
                m_dots->setText(shown);
            }
        },
        Qt::QueuedConnection);
}

} // namespace tamblin
