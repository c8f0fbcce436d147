#include "render/PrintMap.h"

#include "layers/MapGen.h"
#include "render/MapView.h"
#include "render/Plot.h"

namespace corvane {

bool PrintPlot(MapView& view)
{
    if (!view.PrinterCanvas) return false;
    const bool ok = Plot(view, true, false);
    bPrint = false;
    WhiteOutsidePrintedMap(*view.PrinterCanvas, view.Page, view.ClientWidth(), view.ClientHeight());
    return ok;
}

PrintResult PrintMapDocument(MapView& view, PrintDocument& doc, int pages, bool* plotFailed)
{
    if (plotFailed) *plotFailed = false;
    if (!doc.BeginDoc() || !doc.PageCanvas()) {
        doc.EndDoc();
        return doc.Aborted() ? PrintResult::Cancelled : PrintResult::Failed;
    }
    view.Page = doc.Page();
    bool paged = true;
    for (int i = 1; i <= pages && !doc.Aborted(); ++i) {
        if (i > 1 && !doc.NewPage()) {
            paged = false;
            break;
        }
        view.PrinterCanvas = doc.PageCanvas();
        // A plot error is reported by the plot itself; the job goes on.
        if (!PrintPlot(view) && plotFailed) *plotFailed = true;
        view.PrinterCanvas = nullptr;
        view.ProcessMessages();
    }
    view.PrinterCanvas = nullptr;
    const bool ended = doc.EndDoc();
    if (doc.Aborted()) return PrintResult::Cancelled;
    return paged && ended ? PrintResult::Printed : PrintResult::Failed;
}

} // namespace corvane
