#pragma once
// What a layer reader draws on and with. The plot builds one of these for each drawing (the
// screen picture of the map window, or a printer page) and hands it to every reader, so that
// no reader reaches for the map window, the map definition or the page set-up itself.
//
// Screen drawing fills the extents, the picture size, the land style and colours, the
// background colour and the screen resolution; printing also sets Print and the page values.
// The search of the point and polygon layers uses the same context in screen terms, with the
// window and image geometry below.
#include "platform/Canvas.h"
#include "platform/Colour.h"
#include "platform/Rounding.h"

#include <algorithm>
#include <cstdint>
#include <vector>

namespace corvane {

class MessageSink;

// Land style of the map window ("&Infilled" or "&Outline" checked).
enum class LandStyle : uint8_t { Infilled, Outline };

// The printer page as the layers see it: its size in printer pixels, the wanted and the
// minimum margins in inches from the paper edge, and the printer resolution. Plain numbers,
// copied from the page set-up record by whoever starts the print job.
struct PrintPage {
    int32_t PageWidth = 0;     // printer page in device pixels
    int32_t PageHeight = 0;
    double LeftMargin = 1.0, RightMargin = 1.0, TopMargin = 1.0, BottomMargin = 1.0;
    double minLeftMargin = 0.0, minRightMargin = 0.0, minTopMargin = 0.0, minBottomMargin = 0.0;
    int32_t XDpi = 0;          // printer pixels per inch
    int32_t YDpi = 0;

    // The offsets of the printed map on the printer canvas, whose origin is the corner of the
    // printable area: truncate((margin - minimum margin) x dots per inch), each by itself.
    int32_t LeftOffset() const { return TruncI((LeftMargin - minLeftMargin) * XDpi); }
    int32_t RightOffset() const { return TruncI((RightMargin - minRightMargin) * XDpi); }
    int32_t TopOffset() const { return TruncI((TopMargin - minTopMargin) * YDpi); }
    int32_t BottomOffset() const { return TruncI((BottomMargin - minBottomMargin) * YDpi); }
    int32_t HorizontalLoss() const { return ClampToInt(int64_t{LeftOffset()} + RightOffset()); }
    int32_t VerticalLoss() const { return ClampToInt(int64_t{TopOffset()} + BottomOffset()); }
    int32_t PrintableWidth() const { return ClampToInt(int64_t{PageWidth} - HorizontalLoss()); }
    int32_t PrintableHeight() const { return ClampToInt(int64_t{PageHeight} - VerticalLoss()); }
};

// Size in printer pixels of the printed map, which keeps the shape of the map window's
// picture (clientWidth x clientHeight) and lies inside the margins: when the printable area is
// relatively taller than the picture, the map takes the printable width and the height that
// the picture's shape gives it; otherwise it takes the printable height and the width the
// shape gives it. (Taking the shape across the whole page width and then taking the margins
// off would squeeze the map on paper and can run it past a margin.)
// The layers, the plot (background rectangle, distance line), the graticule, the keys and the
// white page around the map all use this one rule.
struct PrintedSize {
    int32_t W = 0;
    int32_t H = 0;
};
inline PrintedSize PrintedMapSize(const PrintPage& page, int32_t clientWidth, int32_t clientHeight)
{
    const int32_t printableW = std::max(page.PrintableWidth(), 0);
    const int32_t printableH = std::max(page.PrintableHeight(), 0);
    PrintedSize s{printableW, printableH};
    if (clientWidth <= 0 || clientHeight <= 0 || printableW == 0 || printableH == 0) return s;
    const double aspect = static_cast<double>(clientHeight) / clientWidth;
    if (static_cast<double>(printableH) / printableW > aspect)
        s.H = std::min(TruncI(aspect * printableW), printableH);
    else
        s.W = std::min(TruncI(printableH / aspect), printableW);
    return s;
}

// Printer pixels that stand for one pixel of the screen on paper (printer dots per inch over
// the screen's pixels per inch, at least 1): the size on paper of a pattern's bit and of a
// halo's width.
inline double PrinterPixelsPerScreenPixel(int32_t printerDpi, int32_t screenPixelsPerInch)
{
    if (printerDpi <= 0 || screenPixelsPerInch <= 0) return 1.0;
    return std::max(1.0, static_cast<double>(printerDpi) / screenPixelsPerInch);
}

struct DrawContext {
    DrawContext(Canvas& canvas, MessageSink& messages) : canvas(canvas), messages(messages) {}

    // The canvas drawn on: the map window's picture, or the printer page when Print is set.
    Canvas& canvas;
    // Where readers report (too many points, a missing key definition, ...).
    MessageSink& messages;
    // The map window's own picture canvas. Some drawers leave state on it even when printing
    // (the run-length layers set its background mode to opaque at the end); null when there
    // is no window (the headless renderer prints to a file), and then nothing is left.
    Canvas* screenCanvas = nullptr;

    // Current map extents in degrees and the ranges as the map definition gives them
    // (GetMainLatRange = MaxLat - MinLat, GetMainLonRange = MaxLon - MinLon).
    double MinLat = 0.0, MaxLat = 0.0, MinLon = 0.0, MaxLon = 0.0;
    double LatRange = 0.0, LonRange = 0.0;
    void SetExtents(double minLat, double maxLat, double minLon, double maxLon)
    {
        MinLat = minLat;
        MaxLat = maxLat;
        MinLon = minLon;
        MaxLon = maxLon;
        LatRange = maxLat - minLat;
        LonRange = maxLon - minLon;
    }

    // The map window: the client area (= the size of its picture), its outer size (the
    // symbol search accepts points up to two pixels beyond it) and where its picture sits in
    // the client area (the polygon search wants reference points strictly inside it).
    int32_t ClientWidth = 0, ClientHeight = 0;
    int32_t WindowWidth = 0, WindowHeight = 0;
    int32_t ImageLeft = 0, ImageTop = 0;
    Rect ImageRect() const { return {ImageLeft, ImageTop, ImageLeft + ClientWidth, ImageTop + ClientHeight}; }

    // Horizontal pixels per inch of the map window's picture canvas: symbol and label sizes
    // on paper are scaled by printer dpi / this value.
    int32_t ScreenPixelsPerInch = 96;

    // Printing. Page is read only when Print is set.
    bool Print = false;
    PrintPage Page;
    // The print offset added to every device position of a printed layer (zero on screen).
    int32_t PrintOffsetX() const { return Print ? Page.LeftOffset() : 0; }
    int32_t PrintOffsetY() const { return Print ? Page.TopOffset() : 0; }

    // From the map definition.
    LandStyle landStyle = LandStyle::Outline;
    Colour Land_Plot_Fill_Colour = 0;
    Colour Land_Plot_Colour = 0;
    Colour BackgroundColour = clWhite;
    // Names drawn with a halo in the background colour, one screen pixel wide (the map
    // definition's "Halo"), and kept off the symbols drawn before them where the other side
    // of their anchor is clearer.
    bool Halo = false;
    // Where the point layers put the boxes of the symbols they draw (device pixels), for the
    // names drawn after them; null: nowhere.
    std::vector<Rect>* SymbolBoxes = nullptr;
    // Where the label layers put the names they drew, for the names drawn after them.
    std::vector<Rect>* NameBoxes = nullptr;
    int32_t HaloWidth() const
    {
        return Print ? RoundI(PrinterPixelsPerScreenPixel(Page.XDpi, ScreenPixelsPerInch)) : 1;
    }
};

} // namespace corvane
