#pragma once

#include "testpage/ui/RecentPageList.h"

#include <QDialog>
#include <QUrl>

class QComboBox;
class QPushButton;

namespace tamblin {

class BrowserView;
class CommandHost;

// "Test": shows a web page, typically a new search page, in the embedded browser, with the
// list of recently tested pages. The browser's status text goes to the main frame.
class CTestDialog final : public QDialog {
    Q_OBJECT
public:
    // `initialPage` may be empty. The host must offer a browser.
    CTestDialog(const QString& initialPage, CommandHost& host, QWidget* parent = nullptr);
    ~CTestDialog() override;

    void done(int result) override;
    const RecentPageList& RecentPages() const { return m_recent; }
    BrowserView* Browser() const { return m_browser; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    void BuildControls();
    QWidget* BuildBrowser();
    void FillPageBox(const QString& initialPage);
    // Selects `page` in the box, putting it at the top when no item equals it ignoring case.
    void SelectPage(const QString& page);
    void ShowPage();
    void Browse();
    // The page box follows the browser when a link in the page takes it elsewhere.
    void OnUrlChanged(const QUrl& url);

    CommandHost& m_host;
    RecentPageList m_recent;
    QComboBox* m_pageBox = nullptr;
    QPushButton* m_show = nullptr;
    QPushButton* m_back = nullptr;
    BrowserView* m_browser = nullptr;
    bool m_closed = false;
};

} // namespace tamblin
