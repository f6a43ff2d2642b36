#include "contents/ui/PrintCommands.h"

#include "app/ui/CXoDoc.h"

#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>

namespace tamblin {

namespace {

IndexPrintout Printout(const CXoDoc& document, const IndexPrintout::Options& options) {
    return IndexPrintout(*document.Index(), options,
                         [&document](const std::string& bytes) { return document.Decode(bytes); });
}

// The pages the print dialog chose, all when it chose no range.
bool PaintChosenPages(const IndexPrintout& printout, QPrinter& printer) {
    bool range = printer.printRange() == QPrinter::PageRange && printer.fromPage() > 0;
    return printout.Paint(printer, range ? printer.fromPage() : 1, range ? printer.toPage() : 0);
}

} // namespace

void PrintCommands::Print(QWidget* parent, const CXoDoc& document, QPrinter& printer,
                          const IndexPrintout::Options& options) {
    if (!document.Index()) {
        return;
    }
    IndexPrintout printout = Printout(document, options);
    QPrintDialog dialog(&printer, parent);
    dialog.setObjectName(QStringLiteral("printDialog"));
    dialog.setOption(QAbstractPrintDialog::PrintPageRange, true);
    // Without a printer the page count is left open; it is counted again when printing.
    if (printer.isValid()) {
        dialog.setMinMax(1, printout.PageCount(printer));
    }
    if (dialog.exec() != QDialog::Accepted) {
        return;
    }
    PaintChosenPages(printout, printer);
}

void PrintCommands::Preview(QWidget* parent, const CXoDoc& document, QPrinter& printer,
                            const IndexPrintout::Options& options) {
    if (!document.Index()) {
        return;
    }
    IndexPrintout printout = Printout(document, options);
    // The preview shows every page; a range chosen by its Print button applies to that print.
    printer.setPrintRange(QPrinter::AllPages);
    QPrintPreviewDialog dialog(&printer, parent);
    dialog.setObjectName(QStringLiteral("printPreviewDialog"));
    QObject::connect(&dialog, &QPrintPreviewDialog::paintRequested, &dialog,
                     [&printout](QPrinter* target) { PaintChosenPages(printout, *target); });
    dialog.exec();
}

bool PrintCommands::PrintAll(const CXoDoc& document, QPrinter& printer,
                             const IndexPrintout::Options& options) {
    return document.Index() && printer.isValid() && Printout(document, options).Paint(printer);
}

} // namespace tamblin
