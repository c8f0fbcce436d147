// Point symbols and fill patterns as pixels on a picture.
#include "layers/FillStyle.h"
#include "layers/MapGen.h"
#include "platform/qt/QtCanvas.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

using namespace corvane;

namespace {

constexpr Colour kInk = 0x800000;
constexpr Colour kPen = clRed;         // the pen before the symbol
constexpr Colour kBrush = 0x00FF00;    // the brush before the symbol (solid)

struct Pic {
    QImage image{100, 100, QImage::Format_RGB32};
    Pic() { image.fill(Qt::white); }
    Colour At(int x, int y) const { return FromQColor(QColor(image.pixel(x, y))); }
    int Count(Colour c) const
    {
        int n = 0;
        for (int y = 0; y < 100; ++y)
            for (int x = 0; x < 100; ++x) n += At(x, y) == c;
        return n;
    }
};

using Pixels = std::vector<std::pair<int, int>>;

} // namespace

TEST(PlotSymbolPixels, EveryShapeOnAPicture)
{
    struct Case { int code; SymbolScale scale; Pixels ink, white; };
    const Case cases[] = {
        // Filled circles, half-sizes 2 and 5: boxes 47..54 and 44..57, right and bottom edges out.
        {1, {}, {{50, 50}, {50, 47}, {50, 53}, {47, 50}, {53, 50}}, {{54, 50}, {50, 54}, {46, 50}, {47, 47}}},
        {4, {}, {{50, 50}, {50, 44}, {50, 56}, {44, 50}, {56, 50}}, {{57, 50}, {50, 57}, {44, 44}}},
        // On paper at 288 dpi over a 96 dpi screen: half-size 3 x 3 + 2 = 11, box 38..63.
        {4, {288, 96}, {{50, 38}, {50, 62}, {38, 50}, {62, 50}}, {{50, 37}, {50, 63}, {63, 50}}},
        // Open circles, half-sizes 2 and 5: boxes 48..52 and 45..55, the inside left alone.
        {5, {}, {{50, 48}, {48, 50}}, {{52, 50}, {50, 52}, {47, 50}}},
        {8, {}, {{50, 45}, {45, 50}}, {{50, 50}, {55, 50}, {50, 55}}},
        // Filled square without outline, half-size 4: box 46..55, the clear pen fills one less.
        {12, {}, {{46, 46}, {53, 53}, {50, 50}}, {{54, 50}, {50, 54}, {45, 50}}},
        {13, {}, {{49, 49}, {51, 51}, {51, 49}}, {{50, 50}, {52, 50}, {50, 52}}},   // open square 49..51
        {17, {}, {{49, 50}, {51, 50}, {50, 49}, {50, 51}}, {{52, 50}, {50, 52}, {49, 49}}},   // upright cross
        {21, {}, {{49, 49}, {51, 51}, {51, 49}, {49, 51}}, {{52, 52}, {48, 52}, {50, 49}}},   // diagonal cross
        {25, {}, {{50, 50}, {50, 47}, {50, 53}}, {{50, 46}, {50, 54}}},   // (47,53) (53,53) (50,47), filled
        {32, {}, {{50, 55}, {45, 55}, {50, 45}}, {{50, 52}, {50, 56}}},   // (45,55) (55,55) (50,45), open
        {36, {}, {{50, 48}, {50, 45}, {50, 54}}, {{50, 44}, {50, 57}}},   // (45,45) (55,45) (50,55), filled
        {40, {}, {{45, 45}, {50, 45}, {54, 45}, {50, 54}}, {{50, 50}, {50, 44}, {50, 57}, {44, 45}}},
    };
    for (const Case& k : cases) {
        Pic p;
        {
            QtCanvas c(&p.image);
            c.pen.colour = kPen;
            c.brush.colour = kBrush;
            c.brush.style = BrushStyle::Solid;
            PlotSymbol(c, 50, 50, k.code, kInk, k.scale);
        }
        for (auto [x, y] : k.ink) EXPECT_EQ(p.At(x, y), kInk) << "code " << k.code << " at " << x << "," << y;
        for (auto [x, y] : k.white) EXPECT_EQ(p.At(x, y), clWhite) << "code " << k.code << " at " << x << "," << y;
        EXPECT_EQ(p.Count(kPen) + p.Count(kBrush), 0) << k.code;   // all in the symbol's colour
        if (k.code == 12 || k.code == 17) {
            EXPECT_EQ(p.Count(kInk), k.code == 12 ? 8 * 8 : 5);   // nothing beyond the figure
        }
    }
}

TEST(FillPatternPixels, PatternBitsTakeTheTextColourAndClearBitsTheBackground)
{
    const bool saved = UseWindowsBrushes;
    UseWindowsBrushes = false;
    const std::pair<int, Pattern8> cases[] = {{11, {0x08, 0x14, 0x22, 0x41, 0x80, 0x41, 0x22, 0x14}},
                                              {6, {0x88, 0x11, 0x22, 0x44, 0x88, 0x11, 0x22, 0x44}},
                                              {17, {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}}};   // solid
    for (const auto& [style, rows] : cases) {
        Pic p;
        {
            QtCanvas c(&p.image);
            SelectBrush(c, style, kInk, clYellow);
            c.FillRect({0, 0, 20, 20});
        }
        for (int y = 0; y < 20; ++y)
            for (int x = 0; x < 20; ++x) {
                const bool set = (rows[static_cast<size_t>(y % 8)] >> (7 - x % 8)) & 1;
                ASSERT_EQ(p.At(x, y), set ? kInk : clYellow) << "style " << style << " at " << x << "," << y;
            }
        EXPECT_EQ(p.At(20, 5), clWhite);
    }
    UseWindowsBrushes = saved;
}
