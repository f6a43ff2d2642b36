#pragma once

#include <QString>
#include <QVariant>

#include <memory>

class QWebEngineView;

// A real browser page, offscreen, for driving the script viewer from tests: load a file,
// run script in it and wait for what the script reports.
class WebViewerPage {
public:
    WebViewerPage(int width = 900, int height = 600);
    ~WebViewerPage();
    WebViewerPage(const WebViewerPage&) = delete;
    WebViewerPage& operator=(const WebViewerPage&) = delete;

    // Starts Qt WebEngine's application once per process; false when this machine cannot.
    static bool Start();

    bool Load(const QString& path);
    // The value of a script expression in the top page (or in frame `frame`, by name).
    QVariant Eval(const QString& script);
    // Waits until `condition` (a script expression) is true; false after `ms` milliseconds.
    bool WaitFor(const QString& condition, int ms = 20000);
    // Lets the page run for `ms` milliseconds.
    void Pump(int ms);
    QString Url() const;
    // Saves what the view shows as a PNG, for looking at the viewer.
    bool Grab(const QString& path);
    QWebEngineView& View() { return *m_view; }

private:
    std::unique_ptr<QWebEngineView> m_view;
};
