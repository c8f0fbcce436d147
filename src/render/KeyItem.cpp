#include "render/KeyItem.h"

#include "catalogue/MasterFile.h"
#include "layers/FillStyle.h"
#include "platform/MessageSink.h"
#include "platform/Rounding.h"
#include "render/AtScopeEnd.h"

namespace corvane {

namespace {

PenStyle KeyLineStyle(uint8_t Style)
{
    constexpr size_t n = sizeof DOSLineStyle / sizeof DOSLineStyle[0];
    return Style < n ? PenStyleFromIndex(DOSLineStyle[Style]) : PenStyle::Clear;
}

} // namespace

KeyItemAt FindKeyItem(const KeyStruct& K, int order)
{
    int first = K.Num_HdrLines;
    for (const K_Descriptor* kd = K.NextKD.get(); kd; kd = kd->NextKD.get()) {
        if (kd->Display_Order == order) return {kd, first};
        first += kd->Number_Of_Text_Lines;
    }
    return {};
}

void NewDrawKeyItem(Canvas& Canvas, int wOffsetX, int wOffsetY, int bPos, int ItemHeight, Colour OColour,
                    Colour NColour, uint8_t EntryType, uint8_t Style, MessageSink& messages, const SymbolScale& scale)
{
    AtScopeEnd<BrushState> keepBrush(Canvas.brush);
    Canvas.bkMode = BkMode::Transparent;
    const int xs = Canvas.TextWidth("X");
    const int y0 = ClampToInt((int64_t{bPos} - 1) * ItemHeight + wOffsetY);
    const int x0 = wOffsetX;
    const int centre = x0 + (scale.OnPaper() ? RoundI(double{kKeySwatchCentre} * scale.PrinterXDpi /
                                                      scale.ScreenPixelsPerInch)
                                             : kKeySwatchCentre);
    auto symbol = [&](int code) {
        Canvas.brush.style = BrushStyle::Solid;   // the filled shapes fill with it
        PlotSymbol(Canvas, centre, y0 + ItemHeight / 2, code, NColour, scale);
    };

    switch (EntryType) {
    case etNone: break;
    case etLine: {
        const int y = y0 + ItemHeight / 2;
        Canvas.pen.colour = OColour;
        Canvas.pen.style = PenStyle::Solid;
        Canvas.MoveTo(x0 + xs, y);
        Canvas.LineTo(x0 + 7 * xs, y);
        Canvas.pen.colour = NColour;
        Canvas.pen.style = KeyLineStyle(Style);
        Canvas.MoveTo(x0 + xs, y);
        Canvas.LineTo(x0 + 7 * xs, y);
        break;
    }
    case etBox: {
        if (Style == 255) break;
        const int left = x0 + xs, top = y0 + ItemHeight / 4;
        const int right = x0 + xs + Canvas.PixelsPerInchX() / 2 + 1, bottom = y0 + 3 * ItemHeight / 4 + 1;
        Canvas.pen.colour = OColour;
        Canvas.pen.style = PenStyle::Solid;
        Canvas.brush.colour = OColour;
        Canvas.brush.style = BrushStyle::Solid;
        Canvas.Rectangle(left, top, right, bottom);
        Canvas.pen.colour = NColour;
        SelectBrush(Canvas, Style, NColour, OColour);
        Canvas.Rectangle(left, top, right, bottom);
        break;
    }
    case etSymbol:
        if (Style != 255) symbol(Style);
        break;
    case etText:
        Canvas.font.colour = NColour;
        Canvas.TextOut(centre - Canvas.TextWidth("TEXT") / 2, y0, "TEXT");
        break;
    case etFixedSymbol: symbol(kFixedKeySymbol); break;
    default: messages.Beep(); break;
    }
}

} // namespace corvane
