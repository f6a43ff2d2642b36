#include "SheetDriver.h"

#include <QApplication>
#include <QPushButton>
#include <QTimer>

namespace tamblin::test {

void SheetDriver::WhenShown(Drive drive) {
    QTimer::singleShot(0, [drive] {
        auto* sheet = qobject_cast<CPropertySheet*>(QApplication::activeModalWidget());
        ASSERT_NE(sheet, nullptr);
        drive(*sheet);
        if (sheet->isVisible()) {
            sheet->reject();
        }
    });
}

void SheetDriver::Type(QLineEdit* edit, const char* text) {
    edit->setFocus();
    edit->selectAll();
    edit->insert(QString::fromLatin1(text));
}

void SheetDriver::Ok(CPropertySheet& sheet) {
    Find<QPushButton>(sheet, "ok")->click();
}

} // namespace tamblin::test
