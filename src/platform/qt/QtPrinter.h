#pragma once
// The current printer of the viewer and what it tells the page set-up records. The printer's
// own page margins are kept at its minimum, so that a painter's origin is the corner of the
// printable area; the margins the user wants live in the page set-up records.
#include "platform/PageSetup.h"

#include <string>

class QPrinter;

namespace corvane {

QPrinter& CurrentPrinter();
// Puts the printer's page margins back to the printer's minimum (after a dialog changed them).
void KeepMinimumMargins(QPrinter& printer);

// The PDF file a printer writes when it prints to a file; empty when it prints on paper.
std::string PdfFileOf(const QPrinter& printer);

// Reads the current printer: printable offset, physical paper size, printable area and
// resolution in device pixels, and whether it copies and collates itself.
class QtPrinterFacts : public PrinterFactsSource {
public:
    bool Read(PrinterFacts& facts) const override;
};

} // namespace corvane
