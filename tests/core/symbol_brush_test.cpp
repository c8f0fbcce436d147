// Point symbol geometry and fill style brushes, on the recording canvas.
#include "layers/FillStyle.h"
#include "layers/MapGen.h"
#include "platform/MessageSink.h"
#include "platform/RecordingCanvas.h"

#include <gtest/gtest.h>

using namespace corvane;
using Op = RecordingCanvas::Op;

namespace {
constexpr Colour kInk = 0x3366CC;
constexpr Colour kOldPen = 0x010203;
} // namespace

TEST(PlotSymbol, EachShapeDrawsTheFigureOfItsTable)
{
    // The second size of every shape (codes 2, 6, ... 38) at (100, 100): half-sizes 3 3 2 2 2 2 3 3 3 3.
    struct Figure { Op op; std::vector<std::vector<Point>> pts; bool open, colours; };
    const Figure figures[10] = {
        {Op::Ellipse, {{{96, 96}, {105, 105}}}, false, true},
        {Op::Ellipse, {{{97, 97}, {103, 103}}}, true, false},
        {Op::Rectangle, {{{98, 98}, {103, 103}}}, false, true},
        {Op::Rectangle, {{{98, 98}, {103, 103}}}, true, true},
        {Op::Line, {{{98, 100}, {103, 100}}, {{100, 98}, {100, 103}}}, false, false},
        {Op::Line, {{{98, 98}, {103, 103}}, {{102, 98}, {97, 103}}}, false, true},
        {Op::Polygon, {{{96, 104}, {104, 104}, {100, 96}}}, false, true},
        {Op::Polygon, {{{97, 103}, {103, 103}, {100, 97}}}, true, false},
        {Op::Polygon, {{{97, 97}, {103, 97}, {100, 103}}}, false, true},
        {Op::Polygon, {{{97, 97}, {103, 97}, {100, 103}}}, true, false},
    };
    for (int shape = 0; shape < 10; ++shape) {
        SCOPED_TRACE(shape);
        RecordingCanvas c(200, 200);
        c.pen = {kOldPen, 1, PenStyle::Dash, PenMode::Copy};
        PlotSymbol(c, 100, 100, shape * 4 + 2, kInk);
        const Figure& f = figures[shape];
        ASSERT_EQ(c.records.size(), f.pts.size());
        for (size_t i = 0; i < f.pts.size(); ++i) {
            EXPECT_EQ(c.records[i].op, f.op);
            EXPECT_EQ(c.records[i].pts, f.pts[i]);
        }
        const auto& r = c.records.front();
        // Shape 2 has no outline and leaves the pen colour; every other shape draws in lColour.
        EXPECT_EQ(r.pen.style, shape == 2 ? PenStyle::Clear : PenStyle::Solid);
        EXPECT_EQ(r.pen.colour, shape == 2 ? kOldPen : kInk);
        EXPECT_EQ(r.brush.style, f.open ? BrushStyle::Clear : BrushStyle::Solid);
        EXPECT_EQ(r.brush.colour, f.colours ? kInk : clWhite);
    }
}

TEST(PlotSymbol, SizesOnScreenAndOnPaperAndCodesOutsideTheTable)
{
    // Codes 1, 4, 5, 9, 40: smallest and largest filled circle, smallest open circle,
    // smallest of shapes 2 to 5, largest open down triangle.
    EXPECT_EQ((std::vector<int>{SymbolHalfSize(1), SymbolHalfSize(4), SymbolHalfSize(5), SymbolHalfSize(9), SymbolHalfSize(40)}),
              (std::vector<int>{2, 5, 2, 1, 5}));
    EXPECT_EQ(SymbolHalfSize(4, {600, 96}), 21);   // steps grow by 6.25: round(18.75 + 2)
    const SymbolScale half{300, 200};   // steps grow by 1.5: 3.5, 2.5, 5.5 go to the even neighbour
    EXPECT_EQ((std::vector<int>{SymbolHalfSize(2, half), SymbolHalfSize(10, half), SymbolHalfSize(12, half)}),
              (std::vector<int>{4, 2, 6}));

    RecordingCanvas c(200, 200);
    RecordingMessageSink sink;
    DrawContext ctx(c, sink);
    ctx.Page.XDpi = 600;
    ctx.ScreenPixelsPerInch = 96;
    EXPECT_FALSE(SymbolScale::For(ctx).OnPaper());   // the sizes of a drawing follow its print flag
    ctx.Print = true;
    EXPECT_EQ(SymbolHalfSize(4, SymbolScale::For(ctx)), 21);

    c.pen.colour = kOldPen;
    for (int code : {0, 41, -3, 255}) PlotSymbol(c, 5, 5, code, kInk);
    EXPECT_TRUE(c.records.empty());
    EXPECT_EQ(c.pen.colour, kOldPen);
}

TEST(SelectBrush, StandardBrushesAndPatterns)
{
    const BrushStyle order[8] = {BrushStyle::Solid,    BrushStyle::Clear,     BrushStyle::Horizontal,
                                 BrushStyle::Vertical, BrushStyle::FDiagonal, BrushStyle::BDiagonal,
                                 BrushStyle::Cross,    BrushStyle::DiagCross};
    const bool saved = UseWindowsBrushes;
    for (bool standard : {true, false}) {
        UseWindowsBrushes = standard;
        for (int style = 1; style <= 24; ++style) {
            SCOPED_TRACE(style);
            RecordingCanvas c(10, 10);
            SelectBrush(c, style, kInk, 0x00FFFF);
            EXPECT_EQ(c.bkColour, 0x00FFFFu);
            if (standard || style > 16) {
                EXPECT_EQ(c.brush.style, order[(style - 1) % 8]);
                EXPECT_EQ(c.brush.colour, kInk);
            } else {
                EXPECT_EQ(c.brush.style, BrushStyle::Pattern);
                EXPECT_EQ(c.brush.pattern, rncBrush[style]);
                EXPECT_EQ(c.textColour, kInk);
            }
        }
    }
    RecordingCanvas c(10, 10);
    SelectBrush(c, 0, kInk, 0);   // no pattern 0: a solid brush
    EXPECT_EQ(c.brush.style, BrushStyle::Solid);
    UseWindowsBrushes = saved;
}
