// Point, polygon and label files written by our writers, drawn on a picture: the pixels the
// drawings must set.
#include "core/FeatureLayerFixture.h"
#include "layers/FillStyle.h"
#include "layers/MapLBL.h"
#include "layers/MapPOL1.h"
#include "layers/MapSYM.h"
#include "layers/MapSYX.h"
#include "layers/writers/LabelFileWriter.h"
#include "layers/writers/PolygonFileWriter.h"
#include "layers/writers/SymbolFileWriter.h"
#include "platform/qt/QtCanvas.h"

#include <gtest/gtest.h>

using namespace corvane;
using namespace corvane::test;

namespace {

struct MapPicture {
    QImage image{1000, 1000, QImage::Format_RGB32};
    QtCanvas canvas{&image};
    NullMessageSink sink;
    DrawContext ctx{canvas, sink};
    MapPicture()
    {
        image.fill(Qt::white);
        SetupMap(ctx);
    }
    Colour At(int x, int y)
    {
        canvas.End();
        return FromQColor(QColor(image.pixel(x, y)));
    }
    int Count(Rect r, Colour c)
    {
        int n = 0;
        for (int y = r.top; y < r.bottom; ++y)
            for (int x = r.left; x < r.right; ++x) n += At(x, y) == c;
        return n;
    }
};

constexpr Colour kInk = 0x8000C0;

// Two squares, (200..300, 700..800) and (400..500, 700..800), as two parts of one polygon.
std::vector<uint8_t> Squares(int type)
{
    PolygonFileWriter w(TestOptions(), type);
    PolygonFeature f;
    f.Parts = {{{12, 2}, {12, 3}, {13, 3}, {13, 2}}, {{12, 4}, {12, 5}, {13, 5}, {13, 4}}};
    f.Reference = {12.5, 2.5};
    w.Add(f);
    return w.Bytes();
}

} // namespace

TEST(FeatureLayerPixels, SymbolsAreFilledWhateverTheBrushAndSwitchedOffOnesAreAbsent)
{
    for (bool info : {false, true}) {
        SymbolFileWriter w(TestOptions(), info);
        for (int k = 1; k <= 3; ++k) w.Add({15, 1.0 + 2 * k, k});   // open, filled, switched off
        MapPicture p;
        p.canvas.brush.style = BrushStyle::Clear;
        SYMmap sym;
        SYXmap syx;
        GenMapObj& m = info ? static_cast<GenMapObj&>(syx) : sym;
        ASSERT_TRUE(info ? syx.Create(Bytes(w.Bytes())) : sym.Create(Bytes(w.Bytes())));
        SetKey(m, 1, kInk, 8);
        SetKey(m, 2, kInk, 4);
        SetKey(m, 3, kInk, 4, false);
        ASSERT_TRUE(info ? syx.Draw(p.ctx, 0) : sym.Draw(p.ctx, 0));
        EXPECT_EQ(p.At(300, 495), kInk);   // the open circle's rim, not its inside
        EXPECT_EQ(p.At(300, 500), clWhite);
        EXPECT_EQ(p.Count({497, 497, 504, 504}, kInk), 49);   // the filled one is filled
        EXPECT_EQ(p.Count({690, 490, 710, 510}, clWhite), 400);
    }
}

TEST(FeatureLayerPixels, FilledPolygonsOfBothTypesAndPartsAsSeparateFigures)
{
    QImage first;
    for (int type : {8, 9}) {
        MapPicture p;
        POLmap m;
        ASSERT_TRUE(m.Create(Bytes(Squares(type))));
        SetKey(m, 1, kInk, 1);
        ASSERT_TRUE(m.Draw(p.ctx, type == 8 ? 0 : 2, true, 0));
        EXPECT_EQ(p.Count({201, 701, 300, 800}, kInk) + p.Count({401, 701, 500, 800}, kInk), 2 * 99 * 99);
        EXPECT_EQ(p.Count({302, 690, 399, 810}, clWhite), 97 * 120);   // nothing joins the parts
        p.canvas.End();
        if (type == 8) first = p.image.copy();
        else EXPECT_TRUE(p.image == first);
    }
}

TEST(FeatureLayerPixels, PrintedPatternFillsHaveAWhiteBackground)
{
    const bool saved = UseWindowsBrushes;
    UseWindowsBrushes = false;
    for (bool print : {false, true}) {
        MapPicture p;
        p.ctx.BackgroundColour = 0x00C0C0;
        p.ctx.Print = print;
        p.ctx.Page = {1000, 1000, 0, 0, 0, 0, 0, 0, 0, 0, 96, 96};   // the page is the picture
        POLmap m;
        ASSERT_TRUE(m.Create(Bytes(Squares(8))));
        SetKey(m, 1, kInk, 2);   // pattern 88: columns 0 and 4 of every 8
        ASSERT_TRUE(m.Draw(p.ctx, 0, true, 0));
        const Colour gap = print ? clWhite : 0x00C0C0u;
        EXPECT_EQ((std::vector<Colour>{p.At(248, 750), p.At(249, 750), p.At(251, 750), p.At(252, 750)}),
                  (std::vector<Colour>{kInk, gap, gap, kInk}));
    }
    UseWindowsBrushes = saved;
}

namespace {

// "MMMM" hanging below its anchor at 15 N, 5 E (pixel 500, 500).
LabelFeature HangingLabel()
{
    LabelFeature l;
    l.Lat = 15;
    l.Lon = 5;
    l.Text = "MMMM";
    l.vJust = 3;
    return l;
}

} // namespace

TEST(FeatureLayerPixels, LabelsHangFromTheirAnchorInTheirKeyColour)
{
    LabelFileWriter w(TestOptions());
    LabelFeature l = HangingLabel();
    w.Add(l);
    l.Lat = 12;
    l.TriggerScale = 101;   // 100 pixels a degree: not drawn
    w.Add(l);
    MapPicture p;
    LBLmap m;
    ASSERT_TRUE(m.Create(Bytes(w.Bytes())));
    SetKey(m, 1, kInk, 0);
    ASSERT_TRUE(m.Draw(p.ctx, 0));
    // Text is smoothed: every pixel it touched lies right of and below the anchor, some of
    // them in its hue (red over green); the other label is absent.
    int inBox = 0, tinted = 0;
    for (int y = 500; y < 530; ++y)
        for (int x = 500; x < 600; ++x) {
            const QColor c(p.image.pixel(x, y));
            inBox += c != Qt::white;
            tinted += c.red() > c.green() + 60;
        }
    EXPECT_GT(tinted, 5);
    EXPECT_EQ(inBox, 1000 * 1000 - p.Count({0, 0, 1000, 1000}, clWhite));
}

TEST(FeatureLayerPixels, ANameHasAHaloInTheBackgroundColourOnlyWhereTheMapAsksForIt)
{
    LabelFileWriter w(TestOptions());
    w.Add(HangingLabel());
    constexpr Colour kSea = 0x00FF00;
    for (bool halo : {false, true}) {
        MapPicture p;
        p.image.fill(Qt::black);   // what lies under the name
        p.ctx.Halo = halo;
        p.ctx.BackgroundColour = kSea;
        LBLmap m;
        ASSERT_TRUE(m.Create(Bytes(w.Bytes())));
        SetKey(m, 1, kInk, 0);
        ASSERT_TRUE(m.Draw(p.ctx, 0));
        // The rim, in the background's colour (smoothed over what lies under it at its outer
        // edge): on each row of ink, between what was under the name and the first and the
        // last pixels of ink.
        auto rimColour = [](Colour c) { return GreenOf(c) > RedOf(c) + 60 && GreenOf(c) > BlueOf(c) + 60; };
        auto rimIn = [&](Rect r) {
            int n = 0;
            for (int y = r.top; y < r.bottom; ++y)
                for (int x = r.left; x < r.right; ++x) n += rimColour(p.At(x, y));
            return n;
        };
        const int rim = rimIn({490, 490, 620, 540});
        EXPECT_EQ(rimIn({0, 0, 1000, 1000}), rim);
        if (!halo) {
            EXPECT_EQ(rim, 0);
            continue;
        }
        EXPECT_GT(rim, 60);
        EXPECT_GT(p.Count({490, 490, 620, 540}, kSea), 0);
        int rows = 0;
        for (int y = 490; y < 540; ++y) {
            int first = -1, last = -1, inkFirst = -1, inkLast = -1;
            for (int x = 490; x < 620; ++x) {
                const Colour c = p.At(x, y);
                if (c == clBlack) continue;
                if (first < 0) first = x;
                last = x;
                if (RedOf(c) > GreenOf(c) + 60) {
                    if (inkFirst < 0) inkFirst = x;
                    inkLast = x;
                }
            }
            if (inkFirst < 0) continue;
            ++rows;
            auto rimBetween = [&](int a, int b) {
                for (int x = a; x < b; ++x)
                    if (rimColour(p.At(x, y))) return true;
                return false;
            };
            EXPECT_TRUE(rimBetween(first, inkFirst)) << y;
            EXPECT_TRUE(rimBetween(inkLast + 1, last + 1)) << y;
        }
        EXPECT_GT(rows, 5);
    }
}
