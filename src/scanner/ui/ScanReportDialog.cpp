#include "scanner/ui/ScanReportDialog.h"

#include "scanner/SiteScanner.h"

#include <QApplication>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include <cstdio>

namespace tamblin {

namespace {

// Page names and problem lines are bytes from the site; show them as UTF-8 where they are,
// and never let "\r" reach the text box.
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
    // must not outlive the scanner it runs.
    if (m_worker.joinable()) {
        if (m_scanner) {
            m_scanner->Cancel();
        }
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
        m_status->setText(Display("Scanning " + m_scanner->Start() + "..."));
    }
    m_worker = std::thread([this] {
        SiteScanner::WorkerEntry(m_scanner);
        // The completion message: whatever way the scan ended, even one that never began.
        QMetaObject::invokeMethod(this, &ScanReportDialog::Completed, Qt::QueuedConnection);
    });
}

void ScanReportDialog::Completed() {
    if (m_worker.joinable()) {
        m_worker.join();
    }
    if (m_scanner) {
        m_status->setText(Display(m_scanner->Summary()));
        m_problems->setPlainText(Display(m_scanner->Report()));
        ShowPagesRead(m_scanner->PagesRead());
    }
    m_button->setText(QStringLiteral("OK"));
    QApplication::beep();
    m_finished = true;
}

void ScanReportDialog::reject() {
    if (m_scanner) {
        m_scanner->Cancel();
    }
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
