// The land and colour run-length layers on the recording canvas: runs into bars, whole-cell
// entries, the first-row skip, the end of a column, the key codes of the colour layer, the
// writers' grids and cells, and damaged files.
#include "layers/MapMRLE.h"
#include "layers/MapRLE.h"
#include "layers/writers/RunLengthWriters.h"
#include "platform/MessageSink.h"
#include "platform/RecordingCanvas.h"

#include <gtest/gtest.h>

#include <map>

using namespace corvane;
using Op = RecordingCanvas::Op;

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

// cols x rows cells of one degree from 10N 20E, unitsX x unitsY units each.
std::vector<uint8_t> RunFile(int32_t cols, int32_t rows, const std::map<std::pair<int, int>, std::vector<uint8_t>>& cells,
                             const std::map<std::pair<int, int>, int32_t>& entries = {}, int32_t unitsX = 10,
                             int32_t unitsY = 10)
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
        ctx.ClientWidth = w;
        ctx.ClientHeight = h;
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
};

// Land bar of unit columns x1..x2, rows y1..y2 at 10 pixels a unit over 10..11N 20..21E
// (100 x 100): the right edge one back, the bottom one on, filled to right + 2.
Rect LandBar(int x1, int y1, int x2, int y2) { return {10 * x1, 90 - 10 * y2, 10 * x2 + 11, 101 - 10 * y1}; }

void Land(MonoRLEmap& m, Colour c = clRed)
{
    m.Colour[1] = static_cast<int32_t>(c);
    m.Styl[1] = 1;
}

} // namespace

TEST(MonoRLEmap, RunsBecomeBarsRowBandByRowBand)
{
    // Zero-length runs, a run within a row, one spanning rows (three bars), one of exactly a
    // row from column 0, sea runs that wrap rows; then a cell whose only run starts on byte
    // 511 of its block and ends on byte 0 of the next, behind 413 runs of length 0.
    std::vector<uint8_t> wide(413, 0x00);
    for (uint8_t b : Runs(kLandRuns, {{1, 100}})) wide.push_back(b);
    const auto file = RunFile(1, 4,
                              {{{0, 0}, Runs(kLandRuns, {{0, 100}})},
                               {{0, 2}, wide},
                               {{0, 3}, Runs(kLandRuns, {{0, 3}, {1, 0}, {1, 4}, {0, 5}, {1, 21}, {0, 7}, {1, 10}, {0, 50}})}},
                              {{{0, 1}, 1}});
    MonoRLEmap m;
    RecordingMessageSink sink;
    ASSERT_TRUE(m.Create(Source(file), "LAND.MRL", sink));
    EXPECT_EQ(m.IndexEntry(0, 2) + 413, 511);
    Land(m);
    Screen s(100, 400, 10, 14, 20, 21);   // 10 pixels a unit, cells stacked north
    s.canvas.bkMode = BkMode::Transparent;
    m.Draw(s.ctx);
    auto up = [](Rect r, int cellsNorth) { return Rect{r.left, r.top + 300 - 100 * cellsNorth, r.right, r.bottom + 300 - 100 * cellsNorth}; };
    EXPECT_EQ(s.Boxes(Op::FillRect),
              (std::vector<Rect>{up(LandBar(0, 0, 9, 9), 1), up(LandBar(0, 0, 9, 9), 2), up(LandBar(3, 0, 6, 0), 3),
                                 up(LandBar(2, 1, 9, 1), 3), up(LandBar(0, 2, 9, 2), 3), up(LandBar(0, 3, 2, 3), 3),
                                 up(LandBar(0, 4, 9, 4), 3)}));
    const auto& first = *s.canvas.Of(Op::FillRect)[0];
    EXPECT_EQ(first.brush.colour, clRed);
    EXPECT_EQ(first.brush.style, BrushStyle::Solid);
    EXPECT_EQ(first.pen.style, PenStyle::Solid);
    EXPECT_EQ(s.canvas.bkMode, BkMode::Opaque);   // left opaque at the end
    EXPECT_TRUE(sink.messages.empty());

    // A file that cannot be opened says so, and is not drawn.
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
        std::vector<Rect> bars;
    };
    const Case cases[] = {
        // Sea 25, land 64 in two bytes (row 2 column 5 to row 8 column 8), sea 11.
        {10, Runs(kLandRuns, {{0, 25}, {1, 64}, {0, 11}}), {{0, 55, 101, 106}, {0, 45, 91, 56}}},
        // Units half as wide as tall: rows are still counted in unit rows, so the land of
        // rows 3 to 6 (a run each) shows.
        {20, Runs(kLandRuns, {{0, 50}, {1, 10}, {1, 20}, {1, 20}, {1, 20}, {1, 20}, {0, 60}}),
         {{0, 95, 101, 106}, {0, 85, 101, 96}, {0, 75, 101, 86}, {0, 65, 101, 76}}},
    };
    for (const Case& k : cases) {
        MonoRLEmap m;
        RecordingMessageSink sink;
        ASSERT_TRUE(m.Create(Source(RunFile(1, 1, {{{0, 0}, k.runs}}, {}, k.unitsX)), "x", sink));
        Land(m);
        Screen s(100, 100, 10.35, 11.35, 20, 21);
        m.Draw(s.ctx);
        EXPECT_EQ(s.Boxes(Op::FillRect), k.bars) << k.unitsX;   // bars below the picture are not drawn
    }
}

TEST(MonoRLEmap, ABarNorthOfThePictureEndsItsColumn)
{
    // Cell (0, 1): sea 10, land 10 north of the picture, then zeros to the end of the file,
    // which would fail the read if decoded further. Column 1 is still drawn.
    const auto file =
        RunFile(2, 2, {{{0, 1}, Runs(kLandRuns, {{0, 10}, {1, 10}})}}, {{{0, 0}, 1}, {{1, 0}, 1}, {{1, 1}, 2}});
    MonoRLEmap m;
    RecordingMessageSink sink;
    ASSERT_TRUE(m.Create(Source(file), "x", sink));
    Land(m);
    Screen s(200, 105, 10, 11.05, 20, 22);
    m.Draw(s.ctx);
    EXPECT_EQ(s.Boxes(Op::FillRect), (std::vector<Rect>{{0, 5, 101, 106}, {100, 5, 201, 106}}));
}

TEST(RLEmap, KeyCodedRunsWholeCellCodesAndZoomedOutBars)
{
    // 8 x 8 units: code 0 for 3, code 2 for 3 (one byte), switched-off code 3 for 4 and code
    // 2 for 4 (two bytes each), code 31 (switched off, or past the key once adjusted) for 5,
    // code 0 for the rest.
    const auto runs = Runs(kKeyRuns, {{0, 3}, {2, 3}, {3, 4}, {2, 4}, {31, 5}, {0, 45}});
    EXPECT_EQ(runs.size(), 1u + 1 + 2 + 2 + 2 + 2);
    // One unit a cell: entries 1 and 31 are whole cells, 32 the byte at 32 (NumCols = 5:
    // code 1, length 1), 0 and negative nothing.
    auto units = RunFile(5, 1, {}, {{{0, 0}, 1}, {{1, 0}, 31}, {{2, 0}, 32}, {{3, 0}, 0}, {{4, 0}, -5}}, 1, 1);
    ASSERT_EQ(units[32], 0x05);

    for (int zoom : {80, 4}) {
        for (uint8_t adjustment : {0, 20}) {
            RLEmap m;
            ASSERT_TRUE(m.Create(Source(RunFile(1, 1, {{{0, 0}, runs}}, {}, 8, 8))));
            m.Colour[2 + adjustment] = 0x0000AA, m.Styl[2 + adjustment] = 1;
            m.Colour[3 + adjustment] = -0x00BB00, m.Styl[3 + adjustment] = 1;
            m.Colour[31] = -0x000031;
            Screen s(zoom, zoom, 10, 11, 20, 21);
            m.Draw(s.ctx, adjustment);
            if (zoom == 80) {   // ten pixels a unit: the right edge one back, the bottom one on
                EXPECT_EQ(s.Boxes(Op::Rectangle), (std::vector<Rect>{{30, 70, 61, 82}, {20, 60, 61, 72}}));
            } else {            // half a pixel a unit: left as they are; 1.5 and 0.5 round to even
                EXPECT_EQ(s.Boxes(Op::Rectangle), (std::vector<Rect>{{2, 4, 5, 5}, {1, 3, 5, 5}}));
            }
            for (const auto* r : s.canvas.Of(Op::Rectangle)) {
                EXPECT_EQ(r->pen.style, PenStyle::Clear);
                EXPECT_EQ(r->brush.colour, 0x0000AAu);
                EXPECT_EQ(r->bkColour, clYellow);
            }
        }
    }

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

TEST(RunLengthWriters, GridsUnitsAndWholeCells)
{
    // A 12-second land mask of 60 x 37 degrees lies on one-degree cells of 300 x 300 units.
    const GeoRaster mask{-10.0, 60.0, 1.0 / 300, 1.0 / 300, 18000, 11100};
    RasterLayerGrid g = ChooseRasterGrid(mask);
    EXPECT_EQ((std::vector<int64_t>{g.grid.LatOrig, g.grid.LonOrig, g.grid.GridCellSize, g.grid.NumRows,
                                    g.grid.NumCols, g.HPrecision, g.VPrecision, g.cellColumns, g.padWest, g.padNorth}),
              (std::vector<int64_t>{23000000, -10000000, 1000000, 37, 60, 3333, 3333, 300, 0, 0}));
    HdrRec h = MonoRLEmapWriter(mask).Header;
    EXPECT_EQ(RunGrid::Of(h).ngridx, 300);
    // Off the whole degrees, cells start at the raster's corner; too wide for 100 one-degree
    // cells, they grow.
    g = ChooseRasterGrid({0.503, 1.0, 0.01, 0.02, 30, 10});
    EXPECT_EQ((std::vector<int64_t>{g.grid.LonOrig, g.grid.LatOrig, g.cellColumns, g.cellRows}),
              (std::vector<int64_t>{503000, 0, 100, 50}));
    g = ChooseRasterGrid({0.5000004, 1.0, 0.01, 0.02, 30, 10});   // a whole 50 pixels from 0E
    EXPECT_EQ((std::vector<int64_t>{g.grid.LonOrig, g.padWest}), (std::vector<int64_t>{0, 50}));
    g = ChooseRasterGrid({-180, 90, 0.25, 0.25, 1440, 720});
    EXPECT_LE(std::max(g.grid.NumCols, g.grid.NumRows), 100);
    EXPECT_EQ(g.grid.GridCellSize % 250000, 0);
    EXPECT_THROW(ChooseRasterGrid({0, 0, 1e-7, 1e-7, 10, 10}), std::invalid_argument);
    EXPECT_THROW(ChooseRasterGrid({0, 0, 1, 1, 0, 10}), std::invalid_argument);

    // Cells wholly land, sea, or of one key code go into the index only.
    const GeoRaster r{20, 12, 0.1, 0.1, 20, 20};   // 2 x 2 cells of 10 x 10 pixels
    std::vector<uint8_t> v(400, 0);
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 20; ++x) v[static_cast<size_t>(y * 20 + x)] = x < 10 ? 7 : (x + y) % 3;
    MemoryRaster values(20, v);
    const LayerFileWriter land = MonoRLEmapWriter(r).Write(values);
    const LayerFileWriter colour = RLEmapWriter(r).Write(values);
    MonoRLEmap lm;
    RLEmap cm;
    RecordingMessageSink sink;
    ASSERT_TRUE(lm.Create(Source(land.Bytes()), "x", sink));
    ASSERT_TRUE(cm.Create(Source(colour.Bytes())));
    // Column-major: (0,0) south-west sea, (0,1) north-west all 7, (1,0) sea, (1,1) mixed.
    EXPECT_EQ((std::vector<int32_t>{lm.Index[0], lm.Index[1], lm.Index[2]}), (std::vector<int32_t>{0, 1, 0}));
    EXPECT_EQ((std::vector<int32_t>{cm.Index[0], cm.Index[1], cm.Index[2]}), (std::vector<int32_t>{0, 7, 0}));
    EXPECT_GE(cm.Index[3], 32);
    EXPECT_GE(lm.Index[3], 3);

    v[5] = 32;
    MemoryRaster bad(20, v);
    try {
        RLEmapWriter(r).Write(bad);
        ADD_FAILURE() << "a value of 32 was written";
    } catch (const std::invalid_argument& e) {
        EXPECT_NE(std::string(e.what()).find("raster value 32 at column 5, row 0"), std::string::npos) << e.what();
    }
    EXPECT_NO_THROW(MonoRLEmapWriter(r).Write(bad));
}

TEST(RunLengthWriters, ReadTheRasterOneCellAtATime)
{
    // A procedural 3600 x 2400 land mask (6" pixels, 6 x 4 degrees): every window asked for
    // is at most one cell, each pixel is read once, and the runs decode back to the mask.
    struct Waves : RasterSource {
        int64_t pixels = 0, largest = 0;
        static uint8_t At(int64_t x, int64_t y) { return ((x * x / 7 + y * 3) / 50 + x / 900) % 2 ? 1 : 0; }
        void ReadWindow(int64_t column, int64_t row, int32_t w, int32_t h, uint8_t* out) override
        {
            pixels += int64_t{w} * h;
            largest = std::max<int64_t>(largest, int64_t{w} * h);
            for (int32_t y = 0; y < h; ++y)
                for (int32_t x = 0; x < w; ++x) *out++ = At(column + x, row + y);
        }
    } waves;
    const GeoRaster r{100, -20, 1.0 / 600, 1.0 / 600, 3600, 2400};
    const auto bytes = MonoRLEmapWriter(r).Write(waves).Bytes();
    EXPECT_EQ(waves.pixels, 3600 * 2400);
    EXPECT_EQ(waves.largest, 600 * 600);

    MonoRLEmap m;
    RecordingMessageSink sink;
    ASSERT_TRUE(m.Create(Source(bytes), "x", sink));
    Land(m);
    // Cell (3, 1), drawn at a pixel a unit, west to east and south to north as the runs go:
    // each land bar starts where the mask turns to land.
    Screen s(600, 600, -23, -22, 103, 104);
    m.Draw(s.ctx);
    int64_t checked = 0;
    for (const Rect& b : s.Boxes(Op::FillRect)) {
        if (b.bottom - b.top != 2) continue;   // single rows only
        const int64_t unitRow = 601 - b.bottom;   // the bottom is one on
        const int64_t x = 3 * 600 + b.left, y = 2 * 600 + 599 - unitRow;
        ASSERT_EQ(Waves::At(x, y), 1) << x << "," << y;
        if (b.left > 0) {
            ASSERT_EQ(Waves::At(x - 1, y), 0) << x << "," << y;
        }
        ++checked;
    }
    EXPECT_GT(checked, 100);
}

TEST(RunLengthLayers, DamagedFilesNeverCrashOrHang)
{
    const GeoRaster r{20, 12, 0.1, 0.1, 30, 20};
    std::vector<uint8_t> v(600);
    for (size_t i = 0; i < v.size(); ++i) v[i] = static_cast<uint8_t>((i * 7 + i / 13) % 5 == 0 ? 0 : (i / 9) % 32);
    MemoryRaster values(30, v);
    const std::vector<uint8_t> files[] = {MonoRLEmapWriter(r).Write(values).Bytes(), RLEmapWriter(r).Write(values).Bytes()};
    RecordingMessageSink sink;
    auto draw = [&](const std::vector<uint8_t>& b, bool land) {
        Screen s(64, 64, 9.95, 12.05, 19.9, 23.1);
        if (land) {
            MonoRLEmap m;
            Land(m);
            if (m.Create(Source(b), "x", sink)) m.Draw(s.ctx);
        } else {
            RLEmap m;
            for (int k = 1; k <= 50; ++k) m.Colour[k] = k % 3 ? k : -k;
            if (m.Create(Source(b))) m.Draw(s.ctx, static_cast<uint8_t>(b.size() % 40));
        }
        return s.canvas.records.size();
    };
    for (int f = 0; f < 2; ++f) {
        const auto& good = files[f];
        EXPECT_GT(draw(good, f == 0), 10u);
        for (size_t len = 0; len < good.size(); len += 3) draw({good.begin(), good.begin() + static_cast<std::ptrdiff_t>(len)}, f == 0);
        for (size_t bit = 0; bit < good.size() * 8; bit += (bit < 90 * 8 ? 1 : 5)) {
            auto flipped = good;
            flipped[bit / 8] ^= static_cast<uint8_t>(1u << (bit % 8));
            draw(flipped, f == 0);
        }
    }
    // Cell rasters of no units, or too many, cannot be placed; an entry far past the end is
    // passed over and the other cells still drawn.
    auto patch = [](std::vector<uint8_t> b, size_t at, int32_t v) {
        for (size_t k = 0; k < 4; ++k) b[at + k] = static_cast<uint8_t>(static_cast<uint32_t>(v) >> (8 * k));
        return b;
    };
    MonoRLEmap m;
    EXPECT_FALSE(m.Create(Source(patch(files[0], 36, 3000000)), "x", sink));   // 1/3 unit: none
    EXPECT_FALSE(m.Create(Source(patch(patch(files[0], 24, 1 << 30), 36, 1)), "x", sink));
    EXPECT_TRUE(sink.messages.empty());
    auto far = files[0];
    for (size_t k = 0; k < 4; ++k) far[80 + k] = k == 3 ? 0x40 : 0;
    const size_t whole = draw(files[0], true);
    EXPECT_GT(draw(far, true), 0u);
    EXPECT_LT(draw(far, true), whole);
}
