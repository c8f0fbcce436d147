// The vector line layer on the recording canvas: lines written by the writer (split at cell
// edges) drawn back, the visible cells, switched-off key items, the 4500-point buffer, the
// print offset.
#include "layers/MapVEC.h"
#include "layers/writers/VECmapWriter.h"
#include "platform/MessageSink.h"
#include "platform/RecordingCanvas.h"

#include <gtest/gtest.h>

using namespace corvane;
using Op = RecordingCanvas::Op;
using Line = std::vector<Point>;

namespace {

std::unique_ptr<ByteSource> Source(std::vector<uint8_t> b) { return std::make_unique<MemorySource>(std::move(b)); }

// Three lines over a grid of 2 x 3 one-degree cells from 10N 20E: one east along 10.5N over
// three cells, one diagonal through the corner at 11N 21E, one that comes in from the south
// and leaves to the west.
std::vector<uint8_t> ThreeLines()
{
    VECmapWriter w(VECmapWriter::HeaderFor("LINES", 10, 12, 20, 23));
    w.AddPolyline(2, {{10.5, 20.5}, {10.5, 22.5}});
    w.AddPolyline(2, {{10.5, 20.5}, {11.5, 21.5}});
    w.AddPolyline(2, {{9, 20.25}, {10.25, 20.25}, {10.25, 19}});
    EXPECT_EQ(w.Segments(), 6);
    EXPECT_EQ(w.Header().HPrecision, 16);
    return w.Bytes();
}

struct Drawing {
    RecordingCanvas canvas;
    RecordingMessageSink sink;
    DrawContext ctx{canvas, sink};
    Drawing(double minLat, double maxLat, double minLon, double maxLon, int w = 300, int h = 200) : canvas(w, h)
    {
        ctx.ClientWidth = w;
        ctx.ClientHeight = h;
        ctx.SetExtents(minLat, maxLat, minLon, maxLon);
    }
    std::vector<Line> Lines() const
    {
        std::vector<Line> out;
        for (const auto* r : canvas.Of(Op::Polyline)) out.push_back(r->pts);
        return out;
    }
};

void Key(VECmap& m, int k, int32_t colour, uint8_t style)
{
    m.Colour[k] = colour;
    m.Styl[k] = style;
}

} // namespace

TEST(VECmap, LinesSplitAtCellEdgesJoinUpWhenDrawn)
{
    VECmap m;
    ASSERT_TRUE(m.Create(Source(ThreeLines())));
    Key(m, 2, 0xFF0000, 3);
    Drawing d(10, 12, 20, 23);   // 100 pixels a degree
    d.canvas.bkMode = BkMode::Opaque;
    m.Draw(d.ctx, 0);
    // Cells in walk order: (0,0) with a piece of each line, (1,0), (1,1), (2,0).
    EXPECT_EQ(d.Lines(), (std::vector<Line>{{{50, 150}, {100, 150}},
                                            {{50, 150}, {100, 100}},
                                            {{25, 200}, {25, 175}, {0, 175}},
                                            {{100, 150}, {200, 150}},
                                            {{100, 100}, {150, 50}},
                                            {{200, 150}, {250, 150}}}));
    const auto& first = *d.canvas.Of(Op::Polyline)[0];
    EXPECT_EQ(first.pen.colour, 0xFF0000u);
    EXPECT_EQ(first.pen.style, PenStyle::Dot);   // style code 3
    EXPECT_EQ(first.pen.mode, PenMode::Copy);
    EXPECT_EQ(first.bkMode, BkMode::Transparent);
    EXPECT_EQ(first.brush.style, BrushStyle::Clear);

    // A map edge on a cell boundary leaves the next cell out; a map wholly outside the grid
    // still reads the nearest cell, whose lines fall outside the picture.
    Drawing edge(10, 11, 20, 21);
    m.Draw(edge.ctx, 0);
    EXPECT_EQ(edge.Lines().size(), 3u);
    Drawing away(0, 2, 0, 3);
    m.Draw(away.ctx, 0);
    ASSERT_EQ(away.Lines().size(), 3u);
    for (const Line& l : away.Lines())
        for (Point p : l) EXPECT_GE(p.x, 2000);
}

TEST(VECmap, SwitchedOffItemsAndTheFourThousandFiveHundredPointBuffer)
{
    LayerFileWriter w(LayerHeader("LONG", {0, 0, 1000000, 1, 1}, 16), kVectorLayout);
    std::vector<uint8_t>& cell = w.Cell(0, 0);
    auto segment = [&](uint16_t key, int n) {
        PutU16(cell, key);
        PutU16(cell, static_cast<uint16_t>(n));
        for (int i = 0; i < n; ++i) PutU16(cell, static_cast<uint16_t>(i)), PutU16(cell, static_cast<uint16_t>(i * 2));
    };
    segment(1, 4500);
    segment(2, 3);      // switched off
    segment(1, 4501);   // one point too many
    segment(9, 2);      // 9 + 45: past the key
    segment(1, 0);
    segment(1, 1);
    PutU16(cell, kVectorCellEnd);
    PutU16(cell, 0);
    VECmap m;
    ASSERT_TRUE(m.Create(Source(w.Bytes())));
    Key(m, 46, 0x00FF00, 1);
    Key(m, 47, -0x0000FF, 1);
    Drawing d(0, 1, 0, 1);
    m.Draw(d.ctx, 45);
    const auto lines = d.Lines();
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ((std::vector<size_t>{lines[0].size(), lines[1].size(), lines[2].size()}),
              (std::vector<size_t>{4500, 4500, 1}));
    EXPECT_EQ(lines[1], lines[0]);   // the first 4500 points, in file order
    EXPECT_EQ(d.sink.messages.size(), 1u);
    EXPECT_EQ(d.sink.Texts(), (std::vector<std::string>{"Too many points on this line segment"}));

    // The writer cuts long lines into segments of at most 4500 points that join up.
    VECmapWriter lw(VECmapWriter::HeaderFor("LONG", 0, 1, 0, 1));
    std::vector<VECmapWriter::Vertex> zigzag;
    for (int i = 0; i < 10000; ++i) zigzag.push_back({0.1 + (i % 2) * 0.5, 0.0001 * i});
    lw.AddPolyline(1, zigzag);
    ASSERT_TRUE(m.Create(Source(lw.Bytes())));
    Key(m, 1, 0x00FF00, 1);
    Drawing z(0, 1, 0, 1);
    m.Draw(z.ctx, 0);
    const auto parts = z.Lines();
    ASSERT_EQ(parts.size(), 3u);
    EXPECT_EQ(parts[0].size() + parts[1].size() + parts[2].size(), 10002u);
    EXPECT_EQ(parts[0].back(), parts[1].front());
    EXPECT_EQ(parts[1].back(), parts[2].front());
    EXPECT_TRUE(z.sink.messages.empty());

    EXPECT_THROW(lw.AddPolyline(1, zigzag), std::logic_error);   // finished
    VECmapWriter bad(VECmapWriter::HeaderFor("BAD", 0, 1, 0, 1));
    EXPECT_THROW(bad.AddPolyline(65535, zigzag), std::invalid_argument);
    EXPECT_THROW(bad.AddPolyline(1, {{0.5, 0.5}, {NAN, 0.5}}), std::invalid_argument);
    EXPECT_THROW(VECmapWriter(LayerHeader("BAD", {0, 0, 1000000, 1, 1}, 15)), std::invalid_argument);
}

TEST(VECmap, PrintedLinesAreShiftedByThePrintOffset)
{
    VECmap m;
    ASSERT_TRUE(m.Create(Source(ThreeLines())));
    Key(m, 2, 0, 1);
    RecordingMessageSink sink;
    RecordingCanvas printer(600, 400, 100, 100);
    DrawContext p(printer, sink);
    p.ClientWidth = 300;
    p.ClientHeight = 150;
    p.SetExtents(10, 12, 20, 23);
    p.Print = true;
    // Offsets truncate(0.75 x 100) = 75 left and truncate(0.375 x 100) = 37 top.
    p.Page = {600, 400, 1.0, 0.5, 0.625, 0.5, 0.25, 0.25, 0.25, 0.25, 100, 100};
    m.Draw(p, 0);
    EXPECT_TRUE(bPrint);
    // The same lines on a screen of the printed map's size, moved by the offsets.
    const PrintedSize size = PrintedMapSize(p.Page, 300, 150);
    Drawing screen(10, 12, 20, 23, size.W, size.H);
    m.Draw(screen.ctx, 0);
    EXPECT_FALSE(bPrint);
    std::vector<Line> moved = screen.Lines();
    for (Line& l : moved)
        for (Point& pt : l) pt = {pt.x + 75, pt.y + 37};
    std::vector<Line> printed;
    for (const auto* r : printer.Of(Op::Polyline)) printed.push_back(r->pts);
    ASSERT_EQ(printed.size(), 6u);
    EXPECT_EQ(printed, moved);
    EXPECT_EQ(printed[0][0].x, size.W / 6 + 75);   // 10.5N 20.5E
}

TEST(VECmap, DamagedFilesNeverCrashOrHang)
{
    const auto good = ThreeLines();
    RecordingMessageSink sink;
    auto draw = [&](const std::vector<uint8_t>& b, uint8_t adjustment) {
        VECmap m;
        for (int k = 1; k <= 50; ++k) Key(m, k, k % 4 ? k : -k, static_cast<uint8_t>(k % 9));
        if (!m.Create(Source(b))) return size_t{0};
        Drawing d(9.5, 12.5, 19.5, 23.5);
        m.Draw(d.ctx, adjustment);
        return d.canvas.records.size();
    };
    EXPECT_EQ(draw(good, 0), 6u);
    for (size_t len = 0; len < good.size(); ++len)
        draw({good.begin(), good.begin() + static_cast<std::ptrdiff_t>(len)}, 0);
    for (size_t bit = 0; bit < good.size() * 8; ++bit) {
        auto flipped = good;
        flipped[bit / 8] ^= static_cast<uint8_t>(1u << (bit % 8));
        draw(flipped, static_cast<uint8_t>(bit % 3));
    }
    // A point count larger than what is left ends the drawing; what was drawn stays. Cell
    // (2, 0) starts at byte 104 + 44 + 16 + 16.
    auto cut = good;
    ASSERT_EQ(cut[180], 2);
    cut[183] = 0xFF;
    EXPECT_EQ(draw(cut, 0), 5u);
}
