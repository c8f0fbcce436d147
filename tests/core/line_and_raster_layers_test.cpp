// The vector, land and colour layers on the recording canvas, from files written by their
// writers: lines split at cell edges and drawn back, the visible cells, switched-off items,
// the 4500-point buffer, the print offset; runs into bars, whole-cell entries, the first-row
// skip, the end of a column, key codes; the raster writers' grids; damaged files.
#include "layers/MapMRLE.h"
#include "layers/MapRLE.h"
#include "layers/MapVEC.h"
#include "layers/writers/RunLengthWriters.h"
#include "layers/writers/VECmapWriter.h"
#include "platform/MessageSink.h"
#include "platform/RecordingCanvas.h"

#include <gtest/gtest.h>

#include <map>

using namespace corvane;
using Op = RecordingCanvas::Op;
using Line = std::vector<Point>;
using Cells = std::map<std::pair<int, int>, std::vector<uint8_t>>;
using Entries = std::map<std::pair<int, int>, int32_t>;

namespace {

// Runs of a coding; a length of 0 is written as its one byte.
std::vector<uint8_t> Runs(RunCoding coding, std::initializer_list<std::pair<int, int>> runs)
{
    std::vector<uint8_t> out;
    for (auto [code, length] : runs) {
        if (length == 0) out.push_back(static_cast<uint8_t>(code << coding.lengthBits));
        else EncodeRun(out, coding, code, length);
    }
    return out;
}

// cols x rows cells of one degree from 10N 20E, of unitsX x unitsY units.
std::vector<uint8_t> RunFile(int32_t cols, int32_t rows, const Cells& cells, const Entries& entries = {},
                             int32_t unitsX = 10, int32_t unitsY = 10)
{
    HdrRec h = LayerHeader("RUNS", {10000000, 20000000, 1000000, rows, cols}, 1000000 / unitsX);
    h.VPrecision = 1000000 / unitsY;
    LayerFileWriter w(h, kRunLengthLayout);
    for (const auto& [cr, bytes] : cells) w.Cell(cr.first, cr.second) = bytes;
    for (const auto& [cr, v] : entries) w.SetEntry(cr.first, cr.second, v);
    return w.Bytes();
}

std::unique_ptr<ByteSource> Source(std::vector<uint8_t> b) { return std::make_unique<MemorySource>(std::move(b)); }

struct Screen {
    RecordingCanvas canvas;
    RecordingMessageSink sink;
    DrawContext ctx{canvas, sink};
    Screen(int w, int h, double minLat, double maxLat, double minLon, double maxLon) : canvas(w, h)
    {
        ctx.ClientWidth = w, ctx.ClientHeight = h;
        ctx.SetExtents(minLat, maxLat, minLon, maxLon);
        ctx.screenCanvas = &canvas;
        ctx.BackgroundColour = clYellow;
    }
    std::vector<Rect> Boxes(Op op) const
    {
        std::vector<Rect> out;
        for (const auto* r : canvas.Of(op)) out.push_back({r->pts[0].x, r->pts[0].y, r->pts[1].x, r->pts[1].y});
        return out;
    }
    std::vector<Line> Lines() const
    {
        std::vector<Line> out;
        for (const auto* r : canvas.Of(Op::Polyline)) out.push_back(r->pts);
        return out;
    }
};

// Three lines over a grid of 2 x 3 one-degree cells from 10N 20E: one east along 10.5N over
// three cells, one diagonal through the corner at 11N 21E, one that comes in from the south
// and leaves to the west.
std::vector<uint8_t> ThreeLines()
{
    VECmapWriter w({}, 10, 12, 20, 23);
    w.AddPolyline(2, {{10.5, 20.5}, {10.5, 22.5}});
    w.AddPolyline(2, {{10.5, 20.5}, {11.5, 21.5}});
    w.AddPolyline(2, {{9, 20.25}, {10.25, 20.25}, {10.25, 19}});
    EXPECT_TRUE(w.Segments() == 6 && w.Header().HPrecision == 16);
    return w.Bytes();
}

// A land layer on a file, coloured red; false when it cannot be drawn.
bool Land(MonoRLEmap& m, std::vector<uint8_t> file, MessageSink& sink)
{
    m.Colour[1] = static_cast<int32_t>(clRed), m.Styl[1] = 1;
    return m.Create(Source(std::move(file)), "LAND.MRL", sink);
}

// The land bar of unit columns x1..x2, rows y1..y2 of a cell at 10 pixels a unit whose north
// edge is at pixel row top: the right edge one back, the bottom one on, filled to right + 2.
Rect LandBar(int x1, int y1, int x2, int y2, int top = 0)
{
    return {10 * x1, top + 90 - 10 * y2, 10 * x2 + 11, top + 101 - 10 * y1};
}

} // namespace

TEST(VECmap, LinesSplitAtCellEdgesJoinUpWhenDrawn)
{
    VECmap m;
    ASSERT_TRUE(m.Create(Source(ThreeLines())));
    m.Colour[2] = 0xFF0000, m.Styl[2] = 3;
    Screen d(300, 200, 10, 12, 20, 23);   // 100 pixels a degree
    d.canvas.bkMode = BkMode::Opaque;
    m.Draw(d.ctx, 0);
    // Cells in walk order: (0,0) with a piece of each line, (1,0), (1,1), (2,0).
    EXPECT_EQ(d.Lines(), (std::vector<Line>{{{50, 150}, {100, 150}},
                                            {{50, 150}, {100, 100}},
                                            {{25, 200}, {25, 175}, {0, 175}},
                                            {{100, 150}, {200, 150}},
                                            {{100, 100}, {150, 50}},
                                            {{200, 150}, {250, 150}}}));
    const auto& first = *d.canvas.Of(Op::Polyline)[0];   // style code 3: dotted
    EXPECT_TRUE(first.pen.colour == 0xFF0000u && first.pen.style == PenStyle::Dot && first.pen.mode == PenMode::Copy &&
                first.bkMode == BkMode::Transparent && first.brush.style == BrushStyle::Clear);

    // A map edge on a cell boundary leaves the next cell out; a map wholly outside the grid
    // still reads the nearest cell, whose lines fall outside the picture.
    Screen edge(300, 200, 10, 11, 20, 21);
    m.Draw(edge.ctx, 0);
    EXPECT_EQ(edge.Lines().size(), 3u);
    Screen away(300, 200, 0, 2, 0, 3);
    m.Draw(away.ctx, 0);
    ASSERT_EQ(away.Lines().size(), 3u);
    for (const Line& l : away.Lines())
        for (Point p : l) EXPECT_GE(p.x, 2000);

    // A point count larger than what is left of the file ends the drawing; what was drawn
    // stays. Cell (2, 0) starts at byte 104 + 44 + 16 + 16.
    auto cut = ThreeLines();
    ASSERT_EQ(cut[180], 2);
    cut[183] = 0xFF;
    ASSERT_TRUE(m.Create(Source(cut)));
    Screen shortRead(300, 200, 10, 12, 20, 23);
    m.Draw(shortRead.ctx, 0);
    EXPECT_EQ(shortRead.Lines().size(), 5u);
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
    m.Colour[46] = 0x00FF00, m.Styl[46] = 1;
    m.Colour[47] = -0x0000FF, m.Styl[47] = 1;
    Screen d(300, 200, 0, 1, 0, 1);
    m.Draw(d.ctx, 45);
    const auto lines = d.Lines();
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ((std::vector<size_t>{lines[0].size(), lines[1].size(), lines[2].size()}),
              (std::vector<size_t>{4500, 4500, 1}));
    EXPECT_EQ(lines[1], lines[0]);   // the first 4500 points, in file order
    EXPECT_EQ(d.sink.Texts(), (std::vector<std::string>{"Too many points on this line segment"}));

    // The writer cuts long lines into segments of at most 4500 points that join up.
    VECmapWriter lw({}, 0, 1, 0, 1);
    std::vector<GeoPoint> zigzag;
    for (int i = 0; i < 10000; ++i) zigzag.push_back({0.1 + (i % 2) * 0.5, 0.0001 * i});
    lw.AddPolyline(1, zigzag);
    ASSERT_TRUE(m.Create(Source(lw.Bytes())));
    m.Colour[1] = 0x00FF00, m.Styl[1] = 1;
    Screen z(300, 200, 0, 1, 0, 1);
    m.Draw(z.ctx, 0);
    const auto parts = z.Lines();
    ASSERT_EQ(parts.size(), 3u);
    EXPECT_EQ(parts[0].size() + parts[1].size() + parts[2].size(), 10002u);
    EXPECT_TRUE(parts[0].back() == parts[1].front() && parts[1].back() == parts[2].front() && z.sink.messages.empty());

    // Errors name the polyline.
    VECmapWriter bad({}, 0, 1, 0, 1);
    EXPECT_THROW(bad.AddPolyline(1, {{0.5, 0.5}, {NAN, 0.5}}), FeatureError);
    try {
        bad.AddPolyline(51, zigzag);
        ADD_FAILURE() << "key code 51 was written";
    } catch (const FeatureError& e) {
        EXPECT_STREQ(e.what(), "polyline 2: key code 51 is outside 1..50");
    }
}

TEST(VECmap, PrintedLinesAreShiftedByThePrintOffset)
{
    VECmap m;
    ASSERT_TRUE(m.Create(Source(ThreeLines())));
    m.Colour[2] = 0, m.Styl[2] = 1;
    Screen printer(600, 400, 10, 12, 20, 23);   // a 300 x 150 window printed
    printer.ctx.ClientHeight = 150, printer.ctx.ClientWidth = 300, printer.ctx.Print = true;
    // Offsets truncate(0.75 x 100) = 75 left and truncate(0.375 x 100) = 37 top.
    printer.ctx.Page = {600, 400, 1.0, 0.5, 0.625, 0.5, 0.25, 0.25, 0.25, 0.25, 100, 100};
    m.Draw(printer.ctx, 0);
    EXPECT_TRUE(bPrint);
    // The same lines on a screen of the printed map's size, moved by the offsets.
    const PrintedSize size = PrintedMapSize(printer.ctx.Page, 300, 150);
    Screen screen(size.W, size.H, 10, 12, 20, 23);
    m.Draw(screen.ctx, 0);
    EXPECT_FALSE(bPrint);
    std::vector<Line> moved = screen.Lines();
    for (Line& l : moved)
        for (Point& pt : l) pt = {pt.x + 75, pt.y + 37};
    ASSERT_EQ(moved.size(), 6u);
    EXPECT_EQ(printer.Lines(), moved);
    EXPECT_EQ(moved[0][0].x, size.W / 6 + 75);   // 10.5N 20.5E
}

TEST(MonoRLEmap, RunsBecomeBarsRowBandByRowBand)
{
    // Cells south to north: all sea; whole land in the index; one run of 100 units starting
    // on byte 511 of its block (behind 413 runs of length 0) and ending on byte 0 of the
    // next; then a run within a row, one spanning rows (three bars), one of exactly a row.
    std::vector<uint8_t> wide(413, 0x00);
    for (uint8_t b : Runs(kLandRuns, {{1, 100}})) wide.push_back(b);
    const auto file = RunFile(1, 4,
                              {{{0, 0}, Runs(kLandRuns, {{0, 100}})}, {{0, 2}, wide},
                               {{0, 3}, Runs(kLandRuns, {{0, 3}, {1, 0}, {1, 4}, {0, 5}, {1, 21}, {0, 7}, {1, 10}, {0, 50}})}},
                              {{{0, 1}, 1}});
    MonoRLEmap m;
    RecordingMessageSink sink;
    ASSERT_TRUE(Land(m, file, sink));
    EXPECT_EQ(m.IndexEntry(0, 2) + 413, 511);
    Screen s(100, 400, 10, 14, 20, 21);
    s.canvas.bkMode = BkMode::Transparent;
    m.Draw(s.ctx);
    EXPECT_EQ(s.Boxes(Op::FillRect),
              (std::vector<Rect>{LandBar(0, 0, 9, 9, 200), LandBar(0, 0, 9, 9, 100), LandBar(3, 0, 6, 0),
                                 LandBar(2, 1, 9, 1), LandBar(0, 2, 9, 2), LandBar(0, 3, 2, 3), LandBar(0, 4, 9, 4)}));
    const auto& first = *s.canvas.Of(Op::FillRect)[0];
    EXPECT_EQ((std::vector<int>{int(first.brush.colour), int(first.brush.style), int(first.pen.style)}),
              (std::vector<int>{int(clRed), int(BrushStyle::Solid), int(PenStyle::Solid)}));
    EXPECT_EQ(s.canvas.bkMode, BkMode::Opaque);   // left opaque at the end
    EXPECT_TRUE(sink.messages.empty());

    MonoRLEmap missing;
    EXPECT_FALSE(missing.Create("/nonexistent/corvane/Fill5Min.Mrl", sink));
    EXPECT_EQ(sink.Texts(), (std::vector<std::string>{"Unable to open Coastline file : /nonexistent/corvane/Fill5Min.Mrl"}));
}

TEST(MonoRLEmap, SouthernRowsAreSkippedAndTheRunThatReachesTheMapIsDrawn)
{
    // The map starts 3.5 unit rows north of the cell: rows 0-2 are passed over, and the
    // reader steps back over the run that took it past them, which the run loop then draws.
    struct Case {
        int32_t unitsX;
        std::vector<uint8_t> runs;
        std::vector<Rect> bars;   // those below the picture are not drawn
    };
    const Case cases[] = {
        // Sea 25, land 64 in two bytes (row 2 column 5 to row 8 column 8), sea 11.
        {10, Runs(kLandRuns, {{0, 25}, {1, 64}, {0, 11}}), {{0, 55, 101, 106}, {0, 45, 91, 56}}},
        // Units half as wide as tall: rows are still counted in unit rows, so that the land
        // of rows 3 to 6 (a run each) shows.
        {20, Runs(kLandRuns, {{0, 50}, {1, 10}, {1, 20}, {1, 20}, {1, 20}, {1, 20}, {0, 60}}),
         {{0, 95, 101, 106}, {0, 85, 101, 96}, {0, 75, 101, 86}, {0, 65, 101, 76}}},
    };
    for (const Case& k : cases) {
        MonoRLEmap m;
        RecordingMessageSink sink;
        ASSERT_TRUE(Land(m, RunFile(1, 1, {{{0, 0}, k.runs}}, {}, k.unitsX), sink));
        Screen s(100, 100, 10.35, 11.35, 20, 21);
        m.Draw(s.ctx);
        EXPECT_EQ(s.Boxes(Op::FillRect), k.bars) << k.unitsX;
    }

    // A bar north of the picture ends its column: the zeros after it (which would run off the
    // end of the file if decoded) are left alone, and the next column is drawn.
    MonoRLEmap m;
    RecordingMessageSink sink;
    ASSERT_TRUE(Land(m, RunFile(2, 2, {{{0, 1}, Runs(kLandRuns, {{0, 10}, {1, 10}})}}, {{{0, 0}, 1}, {{1, 0}, 1}, {{1, 1}, 2}}), sink));
    Screen s(200, 105, 10, 11.05, 20, 22);
    m.Draw(s.ctx);
    EXPECT_EQ(s.Boxes(Op::FillRect), (std::vector<Rect>{{0, 5, 101, 106}, {100, 5, 201, 106}}));
}

TEST(RLEmap, KeyCodedRunsWholeCellCodesAndZoomedOutBars)
{
    // 8 x 8 units: code 0 for 3, code 2 for 3 (one byte), switched-off code 3 for 4 and code
    // 2 for 4 (two bytes each), code 31 (off, or past the key once adjusted) for 5, code 0.
    const auto runs = Runs(kKeyRuns, {{0, 3}, {2, 3}, {3, 4}, {2, 4}, {31, 5}, {0, 45}});
    EXPECT_EQ(runs.size(), 10u);
    for (int zoom : {80, 4}) {
        for (uint8_t adjustment : {0, 20}) {
            RLEmap m;
            ASSERT_TRUE(m.Create(Source(RunFile(1, 1, {{{0, 0}, runs}}, {}, 8, 8))));
            m.Colour[2 + adjustment] = 0x0000AA, m.Styl[2 + adjustment] = 1;
            m.Colour[3 + adjustment] = -0x00BB00, m.Styl[3 + adjustment] = 1;
            m.Colour[31] = -0x000031;
            Screen s(zoom, zoom, 10, 11, 20, 21);
            m.Draw(s.ctx, adjustment);
            // Ten pixels a unit: the right edge one back, the bottom one on. Half a pixel a
            // unit: left as they are, with 1.5 and 0.5 rounding to even.
            EXPECT_EQ(s.Boxes(Op::Rectangle), zoom == 80 ? (std::vector<Rect>{{30, 70, 61, 82}, {20, 60, 61, 72}})
                                                         : (std::vector<Rect>{{2, 4, 5, 5}, {1, 3, 5, 5}}));
            for (const auto* r : s.canvas.Of(Op::Rectangle))
                EXPECT_TRUE(r->pen.style == PenStyle::Clear && r->brush.colour == 0x0000AAu && r->bkColour == clYellow);
        }
    }
    // One unit a cell: entries 1 and 31 are whole cells of those codes, 32 the byte at 32
    // (NumCols = 5: code 1, length 1), 0 and negative nothing.
    auto units = RunFile(5, 1, {}, {{{0, 0}, 1}, {{1, 0}, 31}, {{2, 0}, 32}, {{3, 0}, 0}, {{4, 0}, -5}}, 1, 1);
    ASSERT_EQ(units[32], 0x05);
    RLEmap m;
    ASSERT_TRUE(m.Create(Source(units)));
    for (int k : {1, 31, 32}) m.Colour[k] = k, m.Styl[k] = 1;
    Screen s(50, 10, 10, 11, 20, 25);
    m.Draw(s.ctx, 0);
    std::vector<uint32_t> colours;
    for (const auto* r : s.canvas.Of(Op::Rectangle)) colours.push_back(r->brush.colour);
    EXPECT_EQ(colours, (std::vector<uint32_t>{1, 31, 1}));
    EXPECT_EQ(s.Boxes(Op::Rectangle)[2], (Rect{20, 0, 31, 12}));
}

TEST(RunLengthWriters, GridsWholeCellsAndCellSizedReads)
{
    // A 12-second land mask of 60 x 37 degrees lies on one-degree cells of 300 x 300 units.
    RasterLayerGrid g = ChooseRasterGrid({-10.0, 60.0, 1.0 / 300, 1.0 / 300, 18000, 11100});
    EXPECT_EQ((std::vector<int64_t>{g.grid.LatOrig, g.grid.LonOrig, g.grid.GridCellSize, g.grid.NumRows,
                                    g.grid.NumCols, g.HPrecision, g.VPrecision, g.cellColumns, g.padWest, g.padNorth}),
              (std::vector<int64_t>{23000000, -10000000, 1000000, 37, 60, 3333, 3333, 300, 0, 0}));
    // Pixels off the whole degrees: the cells start at the raster's corner.
    g = ChooseRasterGrid({0.503, 1.0, 0.01, 0.02, 30, 10});
    EXPECT_EQ((std::vector<int64_t>{g.grid.LonOrig, g.grid.LatOrig, g.cellColumns, g.cellRows}),
              (std::vector<int64_t>{503000, 0, 100, 50}));
    g = ChooseRasterGrid({-180, 90, 0.25, 0.25, 1440, 720});   // too many one-degree cells
    EXPECT_TRUE(std::max(g.grid.NumCols, g.grid.NumRows) <= 100 && g.grid.GridCellSize % 250000 == 0);
    EXPECT_THROW(ChooseRasterGrid({0, 0, 1e-7, 1e-7, 10, 10}), std::invalid_argument);
    EXPECT_THROW(ChooseRasterGrid({0, 0, 1, 1, 0, 10}), std::invalid_argument);
    EXPECT_THROW(ChooseRasterGrid({0, 1, 2e-6, 2e-6, 1000000, 1000000}), std::invalid_argument);   // cells too big

    // 2 x 2 cells of 10 x 10 pixels, read a cell at a time: the south ones sea (empty), the
    // north-west one all 7 (whole land; whole key code 7), the north-east one mixed.
    struct Counted : MemoryRaster {
        using MemoryRaster::MemoryRaster;
        int64_t largest = 0;
        void ReadWindow(int64_t c, int64_t r, int32_t w, int32_t h, uint8_t* out) override
        {
            largest = std::max<int64_t>(largest, int64_t{w} * h);
            MemoryRaster::ReadWindow(c, r, w, h, out);
        }
    };
    std::vector<uint8_t> v(400, 0);
    for (int i = 0; i < 200; ++i) v[static_cast<size_t>(i)] = i % 20 < 10 ? 7 : (i % 20 + i / 20) % 3;
    Counted values(20, v);
    const GeoRaster r{20, 12, 0.1, 0.1, 20, 20};
    MonoRLEmap lm;
    RLEmap cm;
    RecordingMessageSink sink;
    ASSERT_TRUE(lm.Create(Source(MonoRLEmapWriter(r).Write(values).Bytes()), "x", sink));
    ASSERT_TRUE(cm.Create(Source(RLEmapWriter(r).Write(values).Bytes())));
    EXPECT_EQ(values.largest, 100);
    EXPECT_EQ((std::vector<int32_t>{lm.Index[0], lm.Index[1], lm.Index[2], cm.Index[0], cm.Index[1], cm.Index[2]}),
              (std::vector<int32_t>{0, 1, 0, 0, 7, 0}));
    EXPECT_TRUE(lm.Index[3] >= 3 && cm.Index[3] >= 32);

    v[5] = 32;
    Counted bad(20, v);
    try {
        RLEmapWriter(r).Write(bad);
        ADD_FAILURE() << "a value of 32 was written";
    } catch (const std::invalid_argument& e) {
        EXPECT_NE(std::string(e.what()).find("raster value 32 at column 5, row 0"), std::string::npos) << e.what();
    }
    EXPECT_NO_THROW(MonoRLEmapWriter(r).Write(bad));
}

TEST(LayerReaders, DamagedFilesNeverCrashOrHang)
{
    const GeoRaster r{20, 12, 0.1, 0.1, 30, 20};
    std::vector<uint8_t> v(600);
    for (size_t i = 0; i < v.size(); ++i) v[i] = static_cast<uint8_t>((i * 7 + i / 13) % 5 == 0 ? 0 : (i / 9) % 32);
    MemoryRaster values(30, v);
    VECmapWriter lines({}, 10, 12, 20, 23);
    for (int i = 0; i < 12; ++i) lines.AddPolyline(i % 4 + 1, {{10.1 + i * 0.15, 20.2}, {11.9 - i * 0.1, 22.8}, {10.5, 21.5}});
    const std::vector<uint8_t> files[] = {MonoRLEmapWriter(r).Write(values).Bytes(), RLEmapWriter(r).Write(values).Bytes(),
                                          lines.Bytes()};
    RecordingMessageSink sink;
    auto draw = [&](const std::vector<uint8_t>& b, int format) {
        Screen s(64, 64, 9.95, 12.05, 19.9, 23.1);
        auto keys = [](GenMapObj& m) {
            for (int k = 1; k <= 50; ++k) m.Colour[k] = k % 3 ? k : -k, m.Styl[k] = static_cast<uint8_t>(k % 9);
        };
        const auto adjustment = static_cast<uint8_t>(b.size() % 40);
        if (format == 0) {
            MonoRLEmap m;
            if (Land(m, b, sink)) m.Draw(s.ctx);
        } else if (format == 1) {
            RLEmap m;
            keys(m);
            if (m.Create(Source(b))) m.Draw(s.ctx, adjustment);
        } else {
            VECmap m;
            keys(m);
            if (m.Create(Source(b))) m.Draw(s.ctx, adjustment);
        }
        return s.canvas.records.size();
    };
    for (int f = 0; f < 3; ++f) {
        const auto& good = files[f];
        EXPECT_GT(draw(good, f), 10u);
        for (size_t len = 0; len < good.size(); len += 3) draw({good.begin(), good.begin() + static_cast<std::ptrdiff_t>(len)}, f);
        for (size_t bit = 0; bit < good.size() * 8; bit += (bit < 90 * 8 ? 1 : 3)) {
            auto flipped = good;
            flipped[bit / 8] ^= static_cast<uint8_t>(1u << (bit % 8));
            draw(flipped, f);
        }
    }
    // Cell rasters of no units, or too many, cannot be placed; an entry far past the end is
    // passed over and the other cells are still drawn.
    auto patch = [](std::vector<uint8_t> b, size_t at, int32_t value) {
        for (size_t k = 0; k < 4; ++k) b[at + k] = static_cast<uint8_t>(static_cast<uint32_t>(value) >> (8 * k));
        return b;
    };
    MonoRLEmap m;
    EXPECT_FALSE(Land(m, patch(files[0], 36, 3000000), sink));   // a third of a unit to a cell
    EXPECT_FALSE(Land(m, patch(patch(files[0], 24, 1 << 30), 36, 1), sink));
    EXPECT_TRUE(sink.messages.empty());
    const size_t whole = draw(files[0], 0), far = draw(patch(files[0], 80, 1 << 30), 0);
    EXPECT_TRUE(far > 0 && far < whole) << far << " of " << whole;
}
