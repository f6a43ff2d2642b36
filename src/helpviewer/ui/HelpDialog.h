#pragma once

#include "helpviewer/HelpSettings.h"

#include <QDialog>
#include <QMargins>
#include <QRect>

#include <string>

class QPushButton;

namespace tamblin {

class BrowserView;

// The help window: a row of buttons over the browser, docked to the right edge of the work
// area. Closing hides it; it lives until Lumio closes.
class HelpDialog final : public QDialog {
    Q_OBJECT
public:
    static constexpr int kWidth = 480;

    // browser may be null (no browser plugin): the window then says so instead.
    HelpDialog(const HelpSettings& settings, BrowserView* browser, QWidget* owner);

    // Docks the window to the right of the work area, full height, frame included. The
    // frame is known only once the window manager has framed the window, so the window is
    // fitted again whenever its frame changes.
    void Dock(QRect workArea);
    // Shows the window and brings it to the front, restored if it was minimised.
    void BringToFront();
    // Shows settings.helpDirectory + page; false, saying nothing, when the file is missing.
    bool ShowPage(const std::string& page);
    void UpdateButtons();
    BrowserView* Browser() const { return m_browser; }
    // The address last given to the browser (without an anchor).
    QString ShownPath() const { return m_shownPath; }
    // "popup:" links go here; every other address is navigated normally.
    void SetPopupLinkHandler(std::function<void(const std::string& topic)> handler);

protected:
    bool event(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QPushButton* AddButton(const QString& text, const char* objectName);
    void ConnectBrowser();
    void UpdateCaption();
    void OnPrint();
    void ShowAbout();
    void AddWindowMenu();
    QMargins FrameMargins() const;
    void FitDock();

    const HelpSettings& m_settings;
    BrowserView* m_browser;
    QWidget* m_browserArea;
    QWidget* m_buttonRow;
    QPushButton* m_contents;
    QPushButton* m_index;
    QPushButton* m_back;
    QPushButton* m_forward;
    QPushButton* m_stop;
    QPushButton* m_print;
    bool m_shownPage = false;
    bool m_canGoBack = false;
    bool m_canGoForward = false;
    QString m_pageTitle;
    QString m_shownPath;
    std::function<void(const std::string&)> m_popupLink;
    QRect m_dockArea;
    QMargins m_dockFrame;
};

} // namespace tamblin
