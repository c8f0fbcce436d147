#include "display/PickerLayout.h"

#include "catalogue/MasterFile.h"

#include <algorithm>
#include <iterator>

namespace corvane {

namespace {

constexpr int kStep = FillPicker::Image + FillPicker::Gap;

Rect Sample(int index)   // index from 0 within a group
{
    const int left = kStep * (index % FillPicker::Columns) + FillPicker::Gap;
    const int top = (index / FillPicker::Columns) * kStep + FillPicker::Top;
    return {left, top, left + FillPicker::Image, top + FillPicker::Image};
}

bool Inside(const Rect& r, int x, int y) { return x >= r.left && x < r.right && y >= r.top && y < r.bottom; }

} // namespace

Rect FillSampleRect(int style)
{
    if (style >= 1 && style <= 16) return Sample(style - 1);
    if (style >= 17 && style <= 24) return Sample(style - 17);
    return {};
}

int FillStyleAt(bool patterns, int x, int y)
{
    const int first = patterns ? 1 : 17, last = patterns ? 16 : 24;
    for (int style = first; style <= last; ++style)
        if (Inside(FillSampleRect(style), x, y)) return style;
    return 0;
}

int FillGroupWidth() { return FillPicker::Gap + FillPicker::Columns * kStep; }

int FillGroupHeight(bool patterns)
{
    return 2 * FillPicker::Top + FillPicker::Image + (patterns ? kStep : 0);
}

Colour FillSampleColour(Colour mapBackground, Colour faceColour)
{
    constexpr Colour kRed = 0x0000FF;
    return mapBackground == kRed ? faceColour : kRed;
}

int FillPreselection(int style, bool useWindowsBrushes)
{
    if (!useWindowsBrushes) return style;
    if (style >= 1 && style <= 8) return style + 16;
    if (style >= 9 && style <= 16) return style + 8;
    return style;
}

Rect LineSampleRect(int penStyle)
{
    if (penStyle < 0 || penStyle >= LinePicker::Count) return {};
    const int top = penStyle * (LinePicker::Height + LinePicker::Gap) + LinePicker::Top;
    return {LinePicker::Left, top, LinePicker::Left + LinePicker::Width, top + LinePicker::Height};
}

int LineStyleAt(int x, int y)
{
    for (int s = 0; s < LinePicker::Count; ++s)
        if (Inside(LineSampleRect(s), x, y)) return s;
    return -1;
}

uint8_t LineCodeOfPenStyle(int penStyle)
{
    for (size_t i = 1; i < std::size(DOSLineStyle); ++i)
        if (DOSLineStyle[i] == penStyle) return static_cast<uint8_t>(i);
    return 1;
}

int PenStyleOfLineCode(uint8_t code)
{
    return code < std::size(DOSLineStyle) ? DOSLineStyle[code] : static_cast<int>(PenStyle::Clear);
}

Point SymbolCentre(int code)
{
    const int s = std::clamp(code, 1, 40) - 1;
    return {24 + SymbolPicker::CellWidth * (s % SymbolPicker::Columns), 10 + SymbolPicker::CellHeight * (s / SymbolPicker::Columns)};
}

int SymbolAt(int x, int y)
{
    const int column = std::clamp(x, 0, SymbolPicker::Width - 1) / SymbolPicker::CellWidth;
    const int row = std::clamp(y, 0, SymbolPicker::Height - 1) / SymbolPicker::CellHeight;
    return row * SymbolPicker::Columns + column + 1;
}

Rect SymbolCell(int code)
{
    const Point c = SymbolCentre(code);
    const int left = c.x - 24, top = c.y - 10;
    return {left, top, left + SymbolPicker::CellWidth, top + SymbolPicker::CellHeight};
}

} // namespace corvane
