#include "print/ui/PrintCommands.h"

#include "document/ui/CXoDoc.h"
#include "platform/DialogPlacement.h"
#include "platform/DialogService.h"

#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>

namespace tamblin {

namespace {

constexpr double kPreviewShare = 0.7;

IndexPrintout Printout(const CXoDoc& document, const IndexPrintout::Options& options) {
    return IndexPrintout(*document.Index(), options,
                         [&document](const std::string& bytes) { return document.Decode(bytes); });
}

// Where the job went: the PDF file, or the printer.
QString Destination(const QPrinter& printer) {
    if (printer.outputFormat() == QPrinter::PdfFormat && !printer.outputFileName().isEmpty()) {
        return printer.outputFileName();
    }
    return printer.printerName().isEmpty() ? QStringLiteral("the default printer")
                                           : printer.printerName();
}

// The pages the print dialog chose, all when it chose no range. A job that could not be
// printed says so: a silent failure looks exactly like a print still on its way.
bool PaintChosenPages(QWidget* parent, const CXoDoc& document, const IndexPrintout& printout,
                      QPrinter& printer) {
    bool range = printer.printRange() == QPrinter::PageRange && printer.fromPage() > 0;
    if (printout.Paint(printer, range ? printer.fromPage() : 1, range ? printer.toPage() : 0)) {
        return true;
    }
    DialogService::Message message;
    message.text = QStringLiteral("Could not print %1 on %2.")
                       .arg(document.Title().isEmpty() ? document.PathName() : document.Title(),
                            Destination(printer));
    Dialogs().ShowMessage(parent, message);
    return false;
}

} // namespace

bool PrintCommands::Print(QWidget* parent, const CXoDoc& document, QPrinter& printer,
                          const IndexPrintout::Options& options) {
    if (!document.Index()) {
        return false;
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
        return false;
    }
    return PaintChosenPages(parent, document, printout, printer);
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
    // Its own default shows a page too small to read.
    DialogPlacement::Place(&dialog, parent, kPreviewShare);
    QObject::connect(&dialog, &QPrintPreviewDialog::paintRequested, &dialog, [&](QPrinter* target) {
        PaintChosenPages(&dialog, document, printout, *target);
    });
    dialog.exec();
}

bool PrintCommands::PrintAll(const CXoDoc& document, QPrinter& printer,
                             const IndexPrintout::Options& options) {
    return document.Index() && printer.isValid() && Printout(document, options).Paint(printer);
}

} // namespace tamblin
