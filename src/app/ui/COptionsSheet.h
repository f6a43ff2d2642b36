#pragma once

#include <QDialog>

class QTabWidget;

namespace tamblin {

class COptionsEditing;
class COptionsPrinting;

// The "Options" property sheet: Printing, then Editing.
class COptionsSheet final : public QDialog {
    Q_OBJECT

public:
    explicit COptionsSheet(QWidget* parent = nullptr);

    COptionsPrinting* PrintingPage() const { return m_printing; }
    COptionsEditing* EditingPage() const { return m_editing; }
    void accept() override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    QTabWidget* m_tabs;
    COptionsPrinting* m_printing;
    COptionsEditing* m_editing;
};

} // namespace tamblin
