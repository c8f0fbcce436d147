#pragma once
// Area fill styles: the 24 fill style codes of the keys, the style picker and the area
// layers, turned into a canvas brush.
//  - Codes 1 to 8 (and again 9 to 16 and 17 to 24) are the standard brushes in the order
//    solid, clear, horizontal, vertical, forward diagonal, backward diagonal, cross and
//    diagonal cross.
//  - While UseWindowsBrushes is false, codes 1 to 16 are the sixteen 8 x 8 patterns of
//    rncBrush instead; 17 to 24 always stay standard brushes.
#include "platform/Canvas.h"
#include "platform/Colour.h"

namespace corvane {

// Standard brushes for every fill style (true at start-up); the "Use Standard Brushes"
// command toggles it for the whole program.
extern bool UseWindowsBrushes;

// The sixteen fill patterns, one byte per row from top to bottom, most significant bit
// leftmost; a set bit is drawn in the foreground (text) colour, a clear bit in the
// background colour. Indexed 1 to 16; entry 0 is unused (all clear).
extern const Pattern8 rncBrush[17];

// Sets the canvas brush for fill style Style in colour colour, with BCol as the canvas
// background colour (pattern background and the gaps of hatched brushes). A style of 0,
// which no key should carry, gives a solid brush.
void SelectBrush(Canvas& canvas, int Style, Colour colour, Colour BCol);
// SelectBrush gives fill style Style a solid brush of its colour (which paints every pixel of
// an area in that colour, whatever the background).
bool SolidFill(int Style);

} // namespace corvane
