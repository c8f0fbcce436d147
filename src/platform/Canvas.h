#pragma once
// The drawing surface every drawer paints on: the screen picture, a saved bitmap or the
// printer page. It has the state and operations of a classic GDI device context and keeps
// its pixel rules, which the drawers and their tests rely on:
//  - the right and bottom edges of a box (Rectangle, FillRect, Ellipse, RoundRect) lie
//    outside the figure;
//  - LineTo does not draw its end point;
//  - with a clear pen, Rectangle fills one pixel less to the right and bottom;
//  - with an opaque background mode the gaps of hatched brushes and dashed pens take the
//    background colour; with a transparent one they are left alone;
//  - an 8 x 8 pattern brush draws its set bits in the text colour and its clear bits in
//    the background colour, aligned to the device origin (unless patternOrigin says
//    otherwise);
//  - the "not" pen mode inverts every pixel it touches, so drawing a figure twice
//    restores the picture.
// Colours are 0x00BBGGRR.
#include "platform/Colour.h"

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace corvane {

struct Point {
    int32_t x = 0;
    int32_t y = 0;
    bool operator==(const Point& o) const { return x == o.x && y == o.y; }
};

struct Rect {
    int32_t left = 0, top = 0, right = 0, bottom = 0;
    int32_t Width() const { return right - left; }
    int32_t Height() const { return bottom - top; }
    bool operator==(const Rect& o) const
    {
        return left == o.left && top == o.top && right == o.right && bottom == o.bottom;
    }
};

enum class PenStyle : uint8_t { Solid = 0, Dash, Dot, DashDot, DashDotDot, Clear, InsideFrame };
enum class PenMode : uint8_t { Copy, Not };
enum class BrushStyle : uint8_t {
    Solid = 0, Clear, Horizontal, Vertical, FDiagonal, BDiagonal, Cross, DiagCross, Pattern
};
enum class BkMode : uint8_t { Transparent, Opaque };

// Pen style from its ordinal (0 solid ... 6 inside frame); out-of-range codes give Clear.
PenStyle PenStyleFromIndex(int index);
// Brush hatch style from (style - 1) mod 8 as the fill-style table orders them.
BrushStyle BrushStyleFromIndex(int index);

// An 8 x 8 monochrome pattern: one byte per row from top to bottom, MSB leftmost.
using Pattern8 = std::array<uint8_t, 8>;

struct PenState {
    Colour colour = clBlack;
    int width = 1;
    PenStyle style = PenStyle::Solid;
    PenMode mode = PenMode::Copy;
};

struct BrushState {
    Colour colour = clWhite;
    BrushStyle style = BrushStyle::Solid;
    Pattern8 pattern{};  // used when style == Pattern
};

struct FontState {
    std::string name = "System";
    int height = -13;         // negative: character height in pixels; positive: cell height
    Colour colour = clBlack;
    bool bold = false;
    bool italic = false;
    int pixelsPerInch = 96;   // used to turn a point size into a height
    // Delphi-like point size: height = -round(size * pixelsPerInch / 72).
    void SetSize(int points);
    int Size() const;
};

// A copy of a picture (the saved full map, a flashing background...). Opaque to the core.
class Picture {
public:
    virtual ~Picture() = default;
    virtual int Width() const = 0;
    virtual int Height() const = 0;
};

class Canvas {
public:
    virtual ~Canvas() = default;

    // State. Drawing operations use the state as it is when they are called.
    PenState pen;
    BrushState brush;
    FontState font;
    BkMode bkMode = BkMode::Opaque;
    Colour bkColour = clWhite;   // hatch gaps, pattern clear bits, opaque text background
    Colour textColour = clBlack; // pattern set bits

    // Where the 8 x 8 bitmaps of hatched and pattern brushes lie: bit (0, 0) starts at the
    // device position patternOrigin and each bit covers patternScale x patternScale device
    // pixels. The default, a bit a pixel from the device origin, is the classic rule; the plot
    // anchors the patterns to the map's own pixel grid (on paper at the printed map's corner,
    // a bit as large as a pixel of the screen), so that they join wherever the map is cut.
    Point patternOrigin{};
    double patternScale = 1.0;

    // Device description.
    virtual int Width() const = 0;
    virtual int Height() const = 0;
    virtual int PixelsPerInchX() const = 0;
    virtual int PixelsPerInchY() const = 0;

    // Drawing.
    void MoveTo(int x, int y) { penPos_ = {x, y}; }
    virtual void LineTo(int x, int y) = 0;               // from the pen position; end point not drawn
    virtual void Polyline(const std::vector<Point>& pts) = 0;   // each segment as LineTo, last point not drawn
    virtual void Polygon(const std::vector<Point>& pts) = 0;    // closed, filled with the brush, outlined with the pen
    virtual void Rectangle(int x1, int y1, int x2, int y2) = 0;
    virtual void FillRect(const Rect& r) = 0;            // brush only, no outline
    virtual void RoundRect(int x1, int y1, int x2, int y2, int cornerW, int cornerH) = 0;
    virtual void Ellipse(int x1, int y1, int x2, int y2) = 0;
    virtual void TextOut(int x, int y, const std::string& text) = 0; // (x, y) is the top-left of the text cell
    // The text with a halo: its strokes first drawn widened by width device pixels on every
    // side in the colour halo, then the text itself, so that lines, symbols and hatching
    // under the text keep clear of it. The default draws the text in the halo colour at every
    // offset up to width pixels away (the eight neighbours for one pixel), then the text.
    virtual void TextOutHalo(int x, int y, const std::string& text, Colour halo, int width);
    virtual int TextWidth(const std::string& text) = 0;
    virtual int TextHeight(const std::string& text) = 0;
    virtual void SetPixel(int x, int y, Colour c) = 0;
    virtual Colour GetPixel(int x, int y) const = 0;     // 0 where the device cannot tell

    // Spans: boxes filled with the brush one after the other, each exactly as FillRect fills
    // it. A canvas that paints many small boxes faster this way than one by one says so in
    // FillsSpans (drawers then collect their boxes for it); the default fills them with
    // FillRect.
    virtual bool FillsSpans() const { return false; }
    virtual void FillSpans(const std::vector<Rect>& spans);
    // Whether one fill of many boxes costs much less here than a fill of each (a printer page
    // or a PDF file, where every fill is an object of the page and every fill of a hatched or
    // pattern brush a pattern of its own). Drawers that paint many boxes in a few brushes then
    // gather each brush's boxes over the whole layer and hand them over at once through
    // FillSpans, which such a canvas fills as one figure. Only the order of the boxes of
    // different brushes changes, where they overlap.
    virtual bool GathersFills() const { return false; }

    // Pictures.
    virtual std::unique_ptr<Picture> CopyPicture() const = 0;
    virtual void DrawPicture(int x, int y, const Picture& picture) = 0;

    Point PenPos() const { return penPos_; }

protected:
    Point penPos_{};
};

// Text of the bytes in data files is Windows-1252 (or DOS code page 437 in the line-drawing
// font "MS LineDraw"); canvases convert at their own boundary.

} // namespace corvane
