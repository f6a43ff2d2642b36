#pragma once

#include <QDialog>

class QTabWidget;

namespace tamblin {

class CPropertyPage;

// A modal sheet of tabbed pages with OK and Cancel. Leaving a page runs its leave check,
// and OK runs the active page's leave check and then every shown page's OK step.
class CPropertySheet final : public QDialog {
    Q_OBJECT

public:
    CPropertySheet(const QString& caption, QWidget* parent = nullptr);

    void AddPage(CPropertyPage* page, const QString& label);
    // Shows the sheet on `index` from the start (call before exec).
    void SetActivePage(int index);
    CPropertyPage* ActivePage() const;
    QTabWidget* Tabs() const { return m_tabs; }

    // OK pressed: the checks run, and the sheet closes as accepted when they pass.
    void accept() override;
    void showEvent(QShowEvent* event) override;

private:
    void OnTabChanged(int index);

    QTabWidget* m_tabs;
    int m_current = -1;
    bool m_switching = false;
};

} // namespace tamblin
