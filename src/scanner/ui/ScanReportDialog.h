#pragma once

#include "scanner/ScanObserver.h"

#include <QDialog>

#include <stop_token>
#include <thread>

class QLabel;
class QPlainTextEdit;
class QPushButton;

namespace tamblin {

class SiteScanner;

// "Scan Report": runs a prepared scan on its one worker thread and shows what it does. The
// dialog cannot close before the worker has ended; after that it always ends with OK, also
// after Cancel, so that whatever was scanned is handed over.
//
// The worker calls the ScanObserver side; those calls only queue work for this thread. The
// scanner's summary and report are read only after the worker has been joined. The scanner
// must outlive this dialog (or its StopWorker), which joins the worker that runs it.
class ScanReportDialog final : public QDialog, public ScanObserver {
    Q_OBJECT
public:
    explicit ScanReportDialog(SiteScanner* scanner, QWidget* parent = nullptr);
    ~ScanReportDialog() override;

    // The scanner needs the dialog as its observer, so it is made second and set here.
    void SetScanner(SiteScanner* scanner) { m_scanner = scanner; }
    bool Finished() const { return m_finished; }
    // Stops and joins a worker that is still running; the scanner may go after this.
    void StopWorker();
    // The cancel command: the button while scanning, Escape, closing the window.
    void reject() override;
    // Every way of closing ends here: until the completion message has come, it only cancels.
    void done(int result) override;

    // ScanObserver, on the worker thread.
    void OnStatus(const std::string& text) override;
    void OnPageOpened(int pagesRead, const std::string& url) override;
    void OnProblem(const std::string& line) override;
    bool WantsDots() const override { return true; }
    void OnDots(std::string_view dots) override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void StartWorker();
    void Completed();
    void ShowPagesRead(int pagesRead);
    // What the summary leaves unsaid when no page at all could be read.
    QString EndingNote() const;

    SiteScanner* m_scanner;
    QString m_start;
    // Owns the worker: a stop request cancels the scan, and nothing outlives a join.
    std::jthread m_worker;
    bool m_started = false;
    bool m_finished = false;
    bool m_stopping = false;
    QLabel* m_status = nullptr;
    QLabel* m_dots = nullptr;
    QLabel* m_pagesRead = nullptr;
    QPlainTextEdit* m_problems = nullptr;
    QPushButton* m_button = nullptr;
};

} // namespace tamblin
