#pragma once

#include <QDialog>

class QTabWidget;

namespace tamblin {

class COptionsPrinting;

// The "Options" property sheet; its one page is Printing.
class COptionsSheet final : public QDialog {
    Q_OBJECT

public:
    explicit COptionsSheet(QWidget* parent = nullptr);

    COptionsPrinting* PrintingPage() const { return m_printing; }
    void accept() override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    QTabWidget* m_tabs;
    COptionsPrinting* m_printing;
};

} // namespace tamblin
