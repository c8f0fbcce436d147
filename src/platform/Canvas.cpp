#include "platform/Canvas.h"

#include <cstdlib>

namespace corvane {

namespace {
// MulDiv of the classic API: a * b / c rounded half away from zero.
int MulDiv(int a, int b, int c)
{
    if (c == 0) return -1;
    long long p = static_cast<long long>(a) * b;
    long long q = p / c;
    long long r = p % c;
    if (2 * std::llabs(r) >= std::llabs(static_cast<long long>(c))) q += ((p < 0) != (c < 0)) ? -1 : 1;
    return static_cast<int>(q);
}
} // namespace

PenStyle PenStyleFromIndex(int index)
{
    if (index < 0 || index > 6) return PenStyle::Clear;
    return static_cast<PenStyle>(index);
}

BrushStyle BrushStyleFromIndex(int index)
{
    if (index < 0 || index > 7) return BrushStyle::Solid;
    return static_cast<BrushStyle>(index);
}

void Canvas::FillSpans(const std::vector<Rect>& spans)
{
    for (const Rect& r : spans) FillRect(r);
}

void Canvas::TextOutHalo(int x, int y, const std::string& text, Colour halo, int width)
{
    const Colour ink = font.colour;
    font.colour = halo;
    for (int dy = -width; dy <= width; ++dy)
        for (int dx = -width; dx <= width; ++dx)
            if ((dx != 0 || dy != 0) && dx * dx + dy * dy <= width * width + width) TextOut(x + dx, y + dy, text);
    font.colour = ink;
    TextOut(x, y, text);
}

void FontState::SetSize(int points) { height = -MulDiv(points, pixelsPerInch, 72); }

int FontState::Size() const
{
    if (height < 0) return MulDiv(-height, 72, pixelsPerInch);
    return MulDiv(height, 72, pixelsPerInch);
}

} // namespace corvane
