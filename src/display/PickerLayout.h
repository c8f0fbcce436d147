#pragma once
// Where the samples of the three style pickers stand and which style a click picks: fill
// styles (1 to 16 the patterns, 17 to 24 the standard brushes), line pen styles (0 solid ..
// 5 clear) and point symbols (1 to 40). The dialogs draw their samples with SelectBrush and
// PlotSymbol and place them by these rules.
#include "platform/Canvas.h"
#include "platform/Colour.h"

#include <cstdint>

namespace corvane {

// ---- fill styles ----------------------------------------------------------------------------
struct FillPicker {
    static constexpr int Image = 48;         // side of a sample
    static constexpr int Gap = 16;           // between samples, and the groups' left margin
    static constexpr int Top = 20;           // first row's top inside a group
    static constexpr int Columns = 8;
};
// The sample of a fill style inside its group: styles 1..16 in the pattern group (eight to a
// row), 17..24 in the standard group's one row. Empty for other codes.
Rect FillSampleRect(int style);
// The style whose sample holds (x, y) in the pattern group (patterns) or the standard group;
// 0 for none.
int FillStyleAt(bool patterns, int x, int y);
// Outer sizes of the groups: the standard group holds one row, the pattern group two.
int FillGroupWidth();
int FillGroupHeight(bool patterns);
// The colour samples are drawn in: red, or the dialog's face colour on a map whose background
// is red itself.
Colour FillSampleColour(Colour mapBackground, Colour faceColour);
// The style shown selected: with the standard brushes in use a pattern (1..16) is shown as the
// standard brush of the same kind (1..8 and 9..16 as 17..24).
int FillPreselection(int style, bool useWindowsBrushes);

// ---- line styles ------------------------------------------------------------------------------
struct LinePicker {
    static constexpr int Width = 123, Height = 20;
    static constexpr int Left = 16, Top = 16, Gap = 16;
    static constexpr int Count = 6;
};
// The sample of pen style 0..5.
Rect LineSampleRect(int penStyle);
// The pen style whose sample holds (x, y); -1 for none.
int LineStyleAt(int x, int y);
// The key item line code of a pen style: the first code from 1 upward that DOSLineStyle turns
// into it (solid 1, dash 2, dot 3, dash-dot 4, dash-dot-dot 5, clear 6); 1 for a style no code
// gives. The pen style of a code is DOSLineStyle[code] (clear beyond the table).
uint8_t LineCodeOfPenStyle(int penStyle);
int PenStyleOfLineCode(uint8_t code);

// ---- point symbols ----------------------------------------------------------------------------
struct SymbolPicker {
    static constexpr int CellWidth = 48, CellHeight = 20;
    static constexpr int Columns = 4, Rows = 10;
    static constexpr int Width = CellWidth * Columns, Height = CellHeight * Rows;   // 192 x 200
};
// Where symbol code 1..40 is centred: x = 24 + 48 column, y = 10 + 20 row, four to a row.
Point SymbolCentre(int code);
// The code of the cell that holds (x, y) (clamped to the picture), and that cell.
int SymbolAt(int x, int y);
Rect SymbolCell(int code);

} // namespace corvane
