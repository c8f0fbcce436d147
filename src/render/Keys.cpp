#include "render/Keys.h"

#include "catalogue/MasterFile.h"
#include "mapdef/MDFStruct.h"
#include "platform/MessageSink.h"
#include "platform/Rounding.h"
#include "render/AtScopeEnd.h"
#include "render/Graticule.h"
#include "render/KeyItem.h"
#include "render/MapView.h"

#include <algorithm>
#include <vector>

namespace corvane {

namespace {

const char* const kSystemFont = "System";
const char* const kLineDrawFont = "MS LineDraw";

// Visits the visible items of K in display order 1..NumItems with the index of their first
// text line; an order with no item says so on messages, when given.
template <class Visit>
void ForEachShownItem(const KeyStruct& K, MessageSink* messages, Visit&& visit)
{
    for (int order = 1; order <= K.NumItems; ++order) {
        const KeyItemAt item = FindKeyItem(K, order);
        if (!item.kd) {
            if (messages) messages->Warn(kKeyNotFound);
            continue;
        }
        if (!item.kd->Hidden) visit(*item.kd, item.firstLine);
    }
}

// Line i of the key's text; a damaged key may hold fewer lines than its items count.
const std::string& TextLine(const KeyStruct& K, int i)
{
    static const std::string none;
    return i >= 0 && static_cast<size_t>(i) < K.Text.size() ? K.Text[static_cast<size_t>(i)] : none;
}

bool HasControlOrHighByte(const std::string& s)
{
    return std::any_of(s.begin(), s.end(), [](char ch) {
        const auto b = static_cast<unsigned char>(ch);
        return b < 32 || b > 128;
    });
}

// An item line wants the line-drawing font when it begins with a space (laid out for a
// monospace face) or holds a control or high byte.
bool ItemLineNeedsLineDraw(const std::string& s) { return (!s.empty() && s[0] == ' ') || HasControlOrHighByte(s); }

void SetKeyFont(Canvas& c, bool lineDraw, int height)
{
    c.font.name = lineDraw ? kLineDrawFont : kSystemFont;
    c.font.bold = true;
    c.font.italic = false;
    c.font.height = height;
}

int HalfInch(const KeyDrawing& d) { return (d.Print ? d.XDpi : d.ScreenPixelsPerInch) / 2; }

// Draws the three rings of the frame around the box (x, y, w, h), each one pixel inside the
// one before; the last column and row of each ring are x + w and y + h.
void DrawFrame(Canvas& c, int x, int y, int w, int h)
{
    c.pen.style = PenStyle::Solid;
    c.pen.mode = PenMode::Copy;
    c.pen.width = 1;
    c.pen.colour = clBlack;
    c.Polyline({{x, y}, {x + w, y}, {x + w, y + h}, {x, y + h}, {x, y}});
    auto ring = [&](int k, Colour topLeft, Colour bottomRight) {
        const int l = x + k, t = y + k, r = x + w - k, b = y + h - k;
        c.pen.colour = topLeft;
        c.Polyline({{l, b}, {l, t}, {r, t}});
        c.pen.colour = bottomRight;
        c.Polyline({{r, t}, {r, b}, {l, b}});
    };
    ring(1, clWhite, clSilver);   // raised
    ring(2, clSilver, clWhite);   // sunken
}

} // namespace

KeyLayout MeasureKey(const KeyStruct& K, const KeyDrawing& d)
{
    Canvas& c = d.canvas;
    KeyLayout L;
    L.FontHeight = d.Print && d.ScreenPixelsPerInch > 0
                       ? TruncI(-double{kKeyFontPixels} * d.XDpi / d.ScreenPixelsPerInch)
                       : -kKeyFontPixels;

    // Which font the item lines take, from all of them, before any is measured.
    ForEachShownItem(K, &d.messages, [&](const K_Descriptor& kd, int first) {
        for (int j = 0; j < kd.Number_Of_Text_Lines && !L.ChangeFont; ++j)
            L.ChangeFont = ItemLineNeedsLineDraw(TextLine(K, first + j));
    });
    SetKeyFont(c, L.ChangeFont, L.FontHeight);
    ForEachShownItem(K, nullptr, [&](const K_Descriptor& kd, int first) {
        for (int j = 0; j < kd.Number_Of_Text_Lines; ++j) {
            ++L.Rows;
            L.ItemWidth = std::max(L.ItemWidth, c.TextWidth(TextLine(K, first + j) + "X"));
        }
    });
    L.Indent = 2 * c.TextWidth("X") + HalfInch(d);
    L.ItemWidth += L.Indent;

    for (int i = 0; i < K.Num_HdrLines && !L.ChangeHdrFont; ++i) L.ChangeHdrFont = HasControlOrHighByte(TextLine(K, i));
    SetKeyFont(c, L.ChangeHdrFont, L.FontHeight);
    for (int i = 0; i < K.Num_HdrLines; ++i) L.HeaderWidth = std::max(L.HeaderWidth, c.TextWidth(TextLine(K, i)));

    L.BoxWidth = std::max(L.HeaderWidth, L.ItemWidth) + 6;
    L.ItemHeight = TruncI(-static_cast<double>(L.FontHeight) * d.FontPixelsPerInch / 72) - 1;
    L.BoxHeight = ((d.Caption ? 1 : 0) + K.Num_HdrLines + L.Rows) * L.ItemHeight + 6;
    return L;
}

Rect KeyBox(const KeyLayout& layout, uint8_t corner, int32_t W, int32_t H)
{
    const bool right = corner == kTopRight || corner == kBottomRight;
    const bool bottom = corner == kBottomRight || corner == kBottomLeft;
    const int32_t left = right ? std::max(0, W - layout.BoxWidth - 1) : 0;
    const int32_t top = bottom ? std::max(0, H - layout.BoxHeight - 1) : 0;
    return {left, top, left + layout.BoxWidth, top + layout.BoxHeight};
}

Rect ShowKey(const KeyStruct& K, bool Base, uint8_t corner, const KeyDrawing& d)
{
    Canvas& c = d.canvas;
    AtScopeEnd<BkMode> keepBk(c.bkMode);
    const KeyLayout L = MeasureKey(K, d);
    const Rect box = KeyBox(L, corner, d.W, d.H);
    const int x = box.left + d.OffsetX, y = box.top + d.OffsetY;
    DrawFrame(c, x, y, L.BoxWidth, L.BoxHeight);

    // The inner area starts 3 pixels inside the box.
    const int il = x + 3, it = y + 3, ir = x + L.BoxWidth - 3, ib = y + L.BoxHeight - 3;
    const int innerWidth = L.BoxWidth - 6;
    const int caption = d.Caption ? 1 : 0;
    c.bkMode = BkMode::Transparent;
    c.brush.style = BrushStyle::Solid;
    if (d.Caption) {
        c.brush.colour = clSilver;
        c.FillRect({il, it, ir + 1, it + L.ItemHeight});
        SetKeyFont(c, false, L.FontHeight);
        c.font.colour = clBlack;
        const std::string title = Base ? "Base Key" : "Overlay Key";
        c.TextOut(il + (innerWidth - c.TextWidth(title)) / 2, d.Print ? it : it - 1, title);
    }
    c.brush.colour = d.KeyBkColour;
    c.FillRect({il, it + caption * L.ItemHeight, ir + 1, ib + 1});

    c.font.colour = d.KeyColour;
    SetKeyFont(c, L.ChangeHdrFont, L.FontHeight);
    for (int i = 0; i < K.Num_HdrLines; ++i) {
        const std::string& line = TextLine(K, i);
        c.TextOut(il + (innerWidth - c.TextWidth(line)) / 2, it + (caption + i) * L.ItemHeight + 1, line);
    }

    // Item lines, each item's first row kept for its swatch.
    SetKeyFont(c, L.ChangeFont, L.FontHeight);
    std::vector<std::pair<const K_Descriptor*, int>> swatches;
    int row = K.Num_HdrLines - 1 + caption;
    ForEachShownItem(K, &d.messages, [&](const K_Descriptor& kd, int first) {
        swatches.emplace_back(&kd, row + 2);   // rows of swatches count from 1
        for (int j = 0; j < kd.Number_Of_Text_Lines; ++j) {
            ++row;
            c.TextOut(il + L.Indent, it + row * L.ItemHeight + 1, TextLine(K, first + j));
        }
    });
    for (const auto& [kd, r] : swatches)
        NewDrawKeyItem(c, il, it, r, L.ItemHeight, c.brush.colour, Base ? kd->Bottom_Colour : kd->Top_Colour,
                       kd->Entry_Type, Base ? kd->Bottom_Style : kd->Top_Style, d.messages, d.scale);
    return box;
}

const KeyStruct* MapKey(const MapView& view, bool Base)
{
    if (!view.MDF) return nullptr;
    const MASStruct* mas = Base ? view.MDF->NextMAS.First() : view.MDF->OverlayMAS.First();
    return mas ? mas->Key.get() : nullptr;
}

void ShowKey(MapView& view, bool Base, bool bPrint)
{
    const KeyStruct* K = MapKey(view, Base);
    Canvas* canvas = bPrint ? view.PrinterCanvas : view.ImageCanvas();
    if (!K || !canvas) return;
    const TMDFStruct& mdf = *view.MDF;

    uint8_t& corner = Base ? view.BaseKeyCorner : view.OverlayKeyCorner;
    if (corner == 0) corner = Base ? mdf.BasePos : mdf.OverlayPos;

    KeyDrawing d(*canvas, view.messages);
    d.Print = bPrint;
    d.ScreenPixelsPerInch = view.ScreenPixelsPerInch;
    const Canvas* picture = view.ImageCanvas();
    d.FontPixelsPerInch = picture ? picture->font.pixelsPerInch : view.ScreenPixelsPerInch;
    d.Caption = view.Caption1;
    d.KeyColour = mdf.KeyColour;
    d.KeyBkColour = mdf.KeyBkColour;
    const MapArea area = view.DrawingArea(bPrint);
    d.W = area.W;
    d.H = area.H;
    d.OffsetX = area.OffsetX;
    d.OffsetY = area.OffsetY;
    if (bPrint) {
        d.XDpi = view.Page.XDpi;
        d.scale = SymbolScale{view.Page.XDpi, view.ScreenPixelsPerInch};
    } else {
        view.PressKeyButton(Base);
    }
    const Rect box = ShowKey(*K, Base, corner, d);
    // Only the picture's boxes are kept: a press on the picture is tested against them.
    if (!bPrint) (Base ? view.BaseKeyPos : view.OverlayKeyPos) = box;
}

void ReDrawKeys(MapView& view, bool bPrint)
{
    if (view.BaseMapKey && MapKey(view, true)) ShowKey(view, true, bPrint);
    if (view.OverlayMapKey && MapKey(view, false)) ShowKey(view, false, bPrint);
    if (!bPrint) view.RefreshImage();
}

void OverlayRefresh(MapView& view)
{
    Canvas* picture = view.ImageCanvas();
    if (!picture || !view.MDF) return;
    if (view.FullMap) picture->DrawPicture(0, 0, *view.FullMap);
    if (view.MDF->Grid_Displayed) DrawGrid(view, false);
    ReDrawKeys(view, false);
}

tKeyMove KeyUnderPress(const MapView& view, int32_t X, int32_t Y)
{
    auto inside = [X, Y](const Rect& r) { return X >= r.left && X < r.right && Y >= r.top && Y < r.bottom; };
    tKeyMove move = NoMove;
    if (view.BaseMapKey && MapKey(view, true) && inside(view.BaseKeyPos)) move = BaseMove;
    if (view.OverlayMapKey && MapKey(view, false) && inside(view.OverlayKeyPos)) move = OverlayMove;
    return move;
}

uint8_t CornerForRelease(int32_t X, int32_t Y, int32_t width, int32_t height)
{
    uint8_t code = X > width / 2 ? kTopRight : kTopLeft;
    if (Y > height / 2) code = code == kTopLeft ? kBottomLeft : kBottomRight;
    return code;
}

bool MoveKey(MapView& view, tKeyMove& KeyMove, int32_t pressX, int32_t pressY, int32_t X, int32_t Y)
{
    if (!view.MDF) return false;
    if (KeyMove == NoMove) KeyMove = KeyUnderPress(view, pressX, pressY);
    if (KeyMove == NoMove) return false;
    const uint8_t corner = CornerForRelease(X, Y, view.ClientWidth(), view.ClientHeight());
    if (KeyMove == BaseMove) {
        view.BaseKeyCorner = corner;
        view.MDF->BasePos = corner;
    } else {
        view.OverlayKeyCorner = corner;
        view.MDF->OverlayPos = corner;
    }
    OverlayRefresh(view);
    KeyMove = NoMove;
    return true;
}

} // namespace corvane
