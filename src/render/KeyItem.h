#pragma once
// The swatch of one key item beside its text: a line, a filled box, a point symbol or the
// word "TEXT", in the item's colour and style. The map keys draw every visible item with it;
// the data subset dialog draws every item twice with it, in its two looks.
#include "layers/MapGen.h"
#include "platform/Canvas.h"

#include <cstdint>

namespace corvane {

class MessageSink;
struct K_Descriptor;
struct KeyStruct;

// Entry types of a key item (K_Descriptor::Entry_Type).
enum KeyEntryType : uint8_t { etNone = 0, etLine = 1, etBox = 2, etSymbol = 3, etText = 4, etFixedSymbol = 5 };

// The symbol that entry type 5 always draws.
constexpr int kFixedKeySymbol = 15;
// Column of the centre of symbol and "TEXT" swatches, in screen pixels from the key's left.
constexpr int kKeySwatchCentre = 35;

// The item of key K with display order `order` (the first along the item list), and the index
// in K.Text of its first line; no item when none carries that order.
struct KeyItemAt {
    const K_Descriptor* kd = nullptr;
    int firstLine = 0;
};
KeyItemAt FindKeyItem(const KeyStruct& K, int order);

// Draws one swatch on canvas (text background mode transparent). (wOffsetX, wOffsetY) is the
// origin of the key's drawing area, bPos (from 1) the text row of the item's first line,
// ItemHeight the height of a row; OColour is the colour behind the swatch, NColour the item's
// colour. With xs the width of "X" and y0 = (bPos - 1) x ItemHeight + wOffsetY:
//  1 line: from x0 + xs to x0 + 7 xs at y0 + ItemHeight div 2, solid in OColour and then again
//    in NColour with the pen style DOSLineStyle[Style] (codes beyond the table draw no line);
//  2 box: (x0 + xs, y0 + ItemHeight div 4) to (x0 + xs + pixels per inch div 2 + 1,
//    y0 + 3 ItemHeight div 4 + 1), solid in OColour, then in NColour with fill style Style;
//  3 symbol Style and 5 symbol 15, centred at (x0 + 35, y0 + ItemHeight div 2);
//  4 "TEXT" in NColour centred on x0 + 35, top at y0.
// Style 255 draws no box and no symbol; entry types from 6 on beep on messages and draw
// nothing. scale gives paper sizes when printing: symbols grow as the layers' do and the
// column 35 is taken in screen pixels and scaled to the printer. The brush (colour and style)
// is the same after the call as before it.
void NewDrawKeyItem(Canvas& Canvas, int wOffsetX, int wOffsetY, int bPos, int ItemHeight, Colour OColour,
                    Colour NColour, uint8_t EntryType, uint8_t Style, MessageSink& messages,
                    const SymbolScale& scale = {});

} // namespace corvane
