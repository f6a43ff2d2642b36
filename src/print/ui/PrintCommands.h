#pragma once

#include "print/qt/IndexPrintout.h"

class QPrinter;
class QWidget;

namespace tamblin {

class CXoDoc;

// Print..., Print Preview and the command line's print, on the application's printer.
// None of them changes the index or the document's modified state.
class PrintCommands final {
public:
    // The print dialog offering pages 1 to the page count, then the pages it chose. False
    // when cancelled or when the print failed, which has been said to the user.
    static bool Print(QWidget* parent, const CXoDoc& document, QPrinter& printer,
                      const IndexPrintout::Options& options);
    static void Preview(QWidget* parent, const CXoDoc& document, QPrinter& printer,
                        const IndexPrintout::Options& options);
    // Every page, without a dialog. False when there is no index or the printer failed.
    static bool PrintAll(const CXoDoc& document, QPrinter& printer,
                         const IndexPrintout::Options& options);
};

} // namespace tamblin
