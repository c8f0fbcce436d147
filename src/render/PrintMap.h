#pragma once
// Printing a map: one page is the whole plot drawn on the printer page inside the margins,
// with the page white around the map; a print job prints it once, or once per copy when the
// printer cannot make copies itself. The same job prints to a printer, to a PDF file and,
// in the tests, to a picture.
#include "layers/DrawContext.h"

namespace corvane {

class Canvas;
class MapView;

// A document being printed: pages of one size and resolution drawn through one canvas.
class PrintDocument {
public:
    virtual ~PrintDocument() = default;
    // Starts the document; false when the printer (or file) cannot be started.
    virtual bool BeginDoc() = 0;
    // The canvas of the current page, its origin the corner of the printable area; valid
    // between BeginDoc and EndDoc.
    virtual Canvas* PageCanvas() = 0;
    // The page size, resolution and margins the map is placed by.
    virtual PrintPage Page() const = 0;
    // Ends the current page and starts the next; false when the printer refuses.
    virtual bool NewPage() = 0;
    // Ends the document; false when it could not be finished (written).
    virtual bool EndDoc() = 0;
    // True once the job was cancelled; no more pages are printed.
    virtual bool Aborted() const = 0;
};

// PrintPlot: the map drawn on view.PrinterCanvas inside the margins of view.Page (the plot
// with its print flag; graticule, keys and a finished distance route included), then the page
// painted white around the printed map. False when the plot reported an error.
bool PrintPlot(MapView& view);

enum class PrintResult { Printed, Cancelled, Failed };

// The body of a print job: begins the document, prints `pages` pages (a new page between
// them, letting window messages through after each, so that a cancel is seen), and ends the
// document. Failed when the document could not be begun, paged or ended; Cancelled when it
// was aborted. The view's printer canvas is set only while the job runs. *plotFailed (when
// given) tells whether the plot of some page failed; the page is printed all the same.
PrintResult PrintMapDocument(MapView& view, PrintDocument& doc, int pages, bool* plotFailed = nullptr);

// Pages one job prints: once when the printer makes the copies itself, else once per copy.
inline int PagesToPrint(int copies, bool NumCopiesSupported) { return NumCopiesSupported || copies < 1 ? 1 : copies; }

} // namespace corvane
