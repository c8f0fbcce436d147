#pragma once
// The two keys (legends) drawn over the map: the base key of the first base map and the
// overlay key of the overlay, each a framed box in a corner of the map. Keys are drawn over
// the finished map and graticule, never into the saved FullMap, so removing or moving a key
// restores the picture from FullMap and draws the graticule and the keys again.
//
// A key box, from the outside in: a black ring, a raised ring (white left and top, silver
// right and bottom), a sunken ring (the reverse); then, when "C&aption" is checked, a silver
// caption row reading "Base Key" or "Overlay Key"; the header lines, centred; and one row per
// text line of every visible item, in display order, its swatch (render/KeyItem.h) in front
// of its first line. Texts are "System" bold, or "MS LineDraw" for all item lines when one
// begins with a space or holds a byte below 32 or above 128 (and for the header lines when
// one of them holds such a byte).
#include "layers/MapGen.h"
#include "platform/Canvas.h"

#include <cstdint>
#include <string>

namespace corvane {

class MapView;
class MessageSink;
struct KeyStruct;

// Which key box is being dragged.
enum tKeyMove : uint8_t { NoMove, BaseMove, OverlayMove };

// Corner codes of a key: 1 top left, 2 top right, 3 bottom right, 4 bottom left.
enum KeyCorner : uint8_t { kTopLeft = 1, kTopRight = 2, kBottomRight = 3, kBottomLeft = 4 };

constexpr const char* kKeyNotFound = "Display Order in Key not found.";
constexpr int kKeyFontPixels = 13;   // height of the key font on the screen

// Where and how a key is drawn.
struct KeyDrawing {
    KeyDrawing(Canvas& canvas, MessageSink& messages) : canvas(canvas), messages(messages) {}
    Canvas& canvas;
    MessageSink& messages;         // "Display Order in Key not found.", beeps
    int32_t W = 0, H = 0;          // the drawing area: the picture, or the printed map
    int32_t OffsetX = 0, OffsetY = 0;   // where the area stands on the canvas (print offsets)
    bool Print = false;
    int32_t ScreenPixelsPerInch = 96;   // of the screen picture
    int32_t FontPixelsPerInch = 96;     // of the picture canvas's font: turns the font height into rows
    int32_t XDpi = 0;                   // printer pixels per inch (printing only)
    bool Caption = true;                // "C&aption" checked
    Colour KeyColour = 0, KeyBkColour = 0;
    SymbolScale scale;                  // symbol sizes on paper
};

// The measured key.
struct KeyLayout {
    bool ChangeFont = false;       // item lines in "MS LineDraw"
    bool ChangeHdrFont = false;    // header lines in "MS LineDraw"
    int Rows = 0;                  // text lines of the visible items
    int ItemWidth = 0;             // widest item line with an "X", plus the swatch room
    int HeaderWidth = 0;           // widest header line
    int Indent = 0;                // X: where item texts start, 2 x width of "X" + half an inch
    int FontHeight = -kKeyFontPixels;
    int ItemHeight = 0;            // row height
    int BoxWidth = 0, BoxHeight = 0;
};

// Measures key K on d.canvas. Every display order 1..NumItems with no item says
// "Display Order in Key not found." once. When the line-drawing font is needed, every item
// line is measured in it (never only those after the first line that needs it), so the box
// is never too small for the lines drawn in it.
KeyLayout MeasureKey(const KeyStruct& K, const KeyDrawing& d);

// The box of a key in a W x H area for a corner code: right-hand corners (2, 3) at
// W - width - 1, bottom corners (3, 4) at H - height - 1, at least 0; other codes top left.
// (left, top, left + width, top + height); the frame's outer ring runs on its right and bottom
// coordinates.
Rect KeyBox(const KeyLayout& layout, uint8_t corner, int32_t W, int32_t H);

// Measures and draws key K (the base key when Base) in its corner of d's area; returns the
// box in area coordinates (without the print offsets). Orders without an item say so again
// while the texts are written, and get no swatch.
Rect ShowKey(const KeyStruct& K, bool Base, uint8_t corner, const KeyDrawing& d);

// The key of the first base map or of the overlay; null when it has none.
const KeyStruct* MapKey(const MapView& view, bool Base);

// Draws one key of view: on the picture (pressing its tool bar button and storing where it
// went in BaseKeyPos / OverlayKeyPos), or inside the printed map. The corner code is the
// view's (taken from the map definition's BasePos / OverlayPos while it is 0).
void ShowKey(MapView& view, bool Base, bool bPrint);

// Draws the base key when "&Base Map" is checked and the first base map has a key, then the
// overlay key when "&Overlay Map" is checked and the overlay has one: on the picture
// (bPrint false, which is then shown) or inside the printed map on view.PrinterCanvas.
void ReDrawKeys(MapView& view, bool bPrint);

// Puts the picture back as the last plot left it (FullMap), draws the graticule when it is
// displayed and then the keys, and shows the picture.
void OverlayRefresh(MapView& view);

// The key a press at (X, Y) takes: the base key when shown, existing and pressed inside,
// the overlay key likewise, which wins where both overlap; NoMove otherwise.
tKeyMove KeyUnderPress(const MapView& view, int32_t X, int32_t Y);

// The corner a key released at (X, Y) goes to, in a width x height picture: the right half
// when X > width div 2, the bottom half when Y > height div 2 (a release on a middle line
// counts as left or top).
uint8_t CornerForRelease(int32_t X, int32_t Y, int32_t width, int32_t height);

// The end of a key drag: when KeyMove is NoMove, the key under the press (pressX, pressY) is
// taken. That key goes to the corner of the release (X, Y) (its corner code, and the map
// definition's BasePos / OverlayPos, which are saved with the map); the picture is restored
// from FullMap and the graticule and keys drawn again. KeyMove ends as NoMove. True when a
// key was moved (the map definition has changed).
bool MoveKey(MapView& view, tKeyMove& KeyMove, int32_t pressX, int32_t pressY, int32_t X, int32_t Y);

} // namespace corvane
