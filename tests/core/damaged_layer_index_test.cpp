// Damaged cell indexes and counts in every layer format: index entries that send every cell
// into the header or into the index itself, and counts far beyond what the file holds. Each
// file is drawn on the screen and on paper and, where the format is searched, searched; under
// the sanitizers (make test-asan) nothing may crash, hang or read outside a buffer, and a
// count that runs past the end of the file ends the layer without losing what came before.
#include "core/FeatureLayerFixture.h"
#include "layers/MapLBL.h"
#include "layers/MapMRLE.h"
#include "layers/MapPOL1.h"
#include "layers/MapRLE.h"
#include "layers/MapSYM.h"
#include "layers/MapSYX.h"
#include "layers/MapVEC.h"
#include "layers/writers/LabelFileWriter.h"
#include "layers/writers/PolygonFileWriter.h"
#include "layers/writers/RunLengthWriters.h"
#include "layers/writers/SymbolFileWriter.h"
#include "layers/writers/VECmapWriter.h"
#include "platform/RecordingCanvas.h"

#include <gtest/gtest.h>

using namespace corvane;
using namespace corvane::test;
using Op = RecordingCanvas::Op;

namespace {

enum class Format { Lines, Land, Colours, Symbols, SymbolsWithInfo, Polygons, Labels };

struct Drawing {
    RecordingCanvas canvas{1000, 1000};
    RecordingMessageSink sink;
    DrawContext ctx{canvas, sink};
    Drawing(double minLat, double maxLat, double minLon, double maxLon)
    {
        SetupMap(ctx);
        ctx.SetExtents(minLat, maxLat, minLon, maxLon);
        ctx.screenCanvas = &canvas;
        ctx.Page = {2000, 2000, 1, 1, 1, 1, 0.25, 0.25, 0.25, 0.25, 200, 200};
    }
};

void Keys(GenMapObj& m)
{
    for (int k = 1; k <= kKeyItems; ++k)
        SetKey(m, k, static_cast<Colour>(k * 0x030507), static_cast<uint8_t>(k % 41), k % 7 != 0);
}

// Draws (and searches) a file of a format on the screen and on paper; false when it does not
// open.
bool Exercise(Format f, const std::vector<uint8_t>& b, Drawing& d)
{
    SearchResult found;
    for (bool print : {false, true}) {
        d.ctx.Print = print;
        switch (f) {
        case Format::Lines: {
            VECmap m;
            if (!m.Create(Bytes(b))) return false;
            Keys(m);
            m.Draw(d.ctx, 0);
            break;
        }
        case Format::Land: {
            MonoRLEmap m;
            if (!m.Create(Bytes(b), "LAND.MRL", d.sink)) return false;
            SetKey(m, 1, clRed, 1);
            m.Draw(d.ctx);
            break;
        }
        case Format::Colours: {
            RLEmap m;
            if (!m.Create(Bytes(b))) return false;
            Keys(m);
            m.Draw(d.ctx, 0);
            break;
        }
        case Format::Symbols: {
            SYMmap m;
            if (!m.Create(Bytes(b))) return false;
            Keys(m);
            m.Draw(d.ctx, 0);
            break;
        }
        case Format::SymbolsWithInfo: {
            SYXmap m;
            if (!m.Create(Bytes(b))) return false;
            Keys(m);
            m.Draw(d.ctx, 0);
            EXPECT_LE(m.Search(d.ctx, 0, 500, 500, found), 16777215);
            break;
        }
        case Format::Polygons: {
            POLmap m;
            if (!m.Create(Bytes(b))) return false;
            Keys(m);
            m.Draw(d.ctx, 2, print, 0);
            EXPECT_GE(m.Search(d.ctx, 0, 500, 500, found), -1);
            ForEachOutlinePart(found.Points, [](const Point*, size_t) {});
            break;
        }
        case Format::Labels: {
            LBLmap m;
            if (!m.Create(Bytes(b))) return false;
            Keys(m);
            m.Draw(d.ctx, 0);
            break;
        }
        }
    }
    return true;
}

int32_t GetI32(const std::vector<uint8_t>& b, size_t at)
{
    return static_cast<int32_t>(b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) | (static_cast<uint32_t>(b[at + 3]) << 24));
}

void PutI32At(std::vector<uint8_t>& b, size_t at, int32_t v)
{
    for (size_t k = 0; k < 4; ++k) b[at + k] = static_cast<uint8_t>(static_cast<uint32_t>(v) >> (8 * k));
}

// Every index entry set to each value that puts the cells' data in the header or the index
// (entries count in units of `unit` bytes), first all cells alike, then each cell a step
// further on.
void IntoHeaderAndIndex(Format f, const std::vector<uint8_t>& good, int32_t unit, Drawing& d)
{
    ASSERT_TRUE(Exercise(f, good, d));
    ASSERT_GT(d.canvas.records.size(), 0u);
    const size_t cells = static_cast<size_t>(GetI32(good, 28)) * static_cast<size_t>(GetI32(good, 32));
    const int32_t indexEnd = 80 + 4 * static_cast<int32_t>(cells);
    for (int32_t v = 1; v * unit <= indexEnd; ++v) {
        for (int32_t step : {0, 1}) {
            auto b = good;
            for (size_t i = 0; i < cells; ++i) PutI32At(b, 80 + 4 * i, v + step * static_cast<int32_t>(i));
            d.canvas.records.clear();
            EXPECT_TRUE(Exercise(f, b, d)) << v;
        }
    }
}

} // namespace

TEST(DamagedLayerIndex, EntriesIntoTheHeaderOrTheIndexReadNothingOutsideTheFile)
{
    // Lines and rasters over 10..12N 20..23E, features over 10..13N 0..3E.
    Drawing lines(9.9, 12.6, 19.9, 23.1), features(10, 13, 0, 3);

    VECmapWriter vec({}, 10, 12, 20, 23);
    for (int i = 0; i < 6; ++i) vec.AddPolyline(i % 3 + 1, {{10.1 + i * 0.3, 20.2}, {11.9 - i * 0.2, 22.8}});
    IntoHeaderAndIndex(Format::Lines, vec.Bytes(), 4, lines);

    const GeoRaster raster{20, 12, 0.1, 0.1, 30, 20};
    std::vector<uint8_t> values(600);
    for (size_t i = 0; i < values.size(); ++i) values[i] = static_cast<uint8_t>((i * 7 + i / 13) % 5 == 0 ? 0 : (i / 9) % 32);
    MemoryRaster source(30, values);
    // The map's south edge inside the first unit row of cells: the first-row skip runs too.
    Drawing zoomed(10.55, 12.05, 19.9, 23.1);
    for (Drawing* d : {&lines, &zoomed}) {
        IntoHeaderAndIndex(Format::Land, MonoRLEmapWriter(raster).Write(source).Bytes(), 1, *d);
        IntoHeaderAndIndex(Format::Colours, RLEmapWriter(raster).Write(source).Bytes(), 1, *d);
    }

    SymbolFileWriter sym(TestOptions(), false), syx(TestOptions(), true);
    PolygonFileWriter pol(TestOptions(), 7);
    LabelFileWriter lbl(TestOptions());
    for (int i = 0; i < 6; ++i) {
        const double o = 0.45 * i;
        sym.Add({10.1 + o, 0.2 + o, 1 + i});
        syx.Add({10.1 + o, 0.2 + o, 1 + i, 1000 * i});
        PolygonFeature p;
        p.KeyCode = 1 + i;
        p.Parts = {{{10.1 + o, 0.1 + o}, {10.1 + o, 0.4 + o}, {10.4 + o, 0.3 + o}}};
        p.Reference = {10.2 + o, 0.2 + o};
        pol.Add(p);
        LabelFeature l;
        l.Lat = 10.2 + o;
        l.Lon = 0.3 + o;
        l.KeyLink = 1 + i;
        l.Text = "Label";
        lbl.Add(l);
    }
    IntoHeaderAndIndex(Format::Symbols, sym.Bytes(), 5, features);
    IntoHeaderAndIndex(Format::SymbolsWithInfo, syx.Bytes(), 8, features);
    IntoHeaderAndIndex(Format::Polygons, pol.Bytes(), 4, features);
    IntoHeaderAndIndex(Format::Labels, lbl.Bytes(), 1, features);
}

TEST(DamagedLayerIndex, ACountBeyondTheEndOfTheFileEndsTheLayerAndKeepsWhatCameBefore)
{
    // One cell, 10..11N 0..1E, of 1000 units a side: unit (u, v) is at (v, 1000 - u) on the
    // 1000 x 1000 picture of 10..11N 0..1E.
    auto file = [](const std::vector<uint16_t>& words) {
        LayerFileWriter w(LayerHeader("HUGE", {10000000, 0, 1000000, 1, 1}, 1000), kVectorLayout);
        for (uint16_t v : words) PutU16(w.Cell(0, 0), v);
        return w.Bytes();
    };
    // A line of two points, then one that promises 65535 points and holds three.
    const auto lines = file({1, 2, 100, 100, 900, 900, 2, 65535, 200, 200, 300, 300, 400, 400});
    for (bool on : {true, false}) {
        Drawing d(10, 11, 0, 1);
        VECmap m;
        ASSERT_TRUE(m.Create(Bytes(lines)));
        SetKey(m, 1, clRed, 1);
        SetKey(m, 2, 0xFF0000, 1, on);
        m.Draw(d.ctx, 0);
        ASSERT_EQ(d.canvas.Of(Op::Polyline).size(), 1u);
        EXPECT_EQ(d.canvas.Of(Op::Polyline)[0]->pts, (std::vector<Point>{{100, 900}, {900, 100}}));
        EXPECT_TRUE(d.sink.messages.empty());   // no "Too many points" for points that are not there
    }

    // A polygon of three points (reference (500, 500), offset 7), then one whose reference
    // lies under the click and which promises 65535 records but holds two.
    const auto polygons = file({1, 3, 500, 500, 7, 0, 100, 100, 100, 900, 900, 500,   //
                                1, 65535, 400, 400, 9, 0, 200, 200, 300, 300});
    Drawing d(10, 11, 0, 1);
    POLmap m;
    ASSERT_TRUE(m.Create(Bytes(polygons)));
    SetKey(m, 1, clRed, 1);
    EXPECT_FALSE(m.Draw(d.ctx, 2, true, 0));
    ASSERT_EQ(d.canvas.records.size(), 1u);
    EXPECT_EQ(d.canvas.records[0].op, Op::Polygon);
    SearchResult found;
    EXPECT_EQ(m.Search(d.ctx, 0, 400, 600, found), 7);   // the whole polygon found before it
    std::vector<std::vector<Point>> parts;
    ForEachOutlinePart(found.Points, [&](const Point* p, size_t n) { parts.emplace_back(p, p + n); });
    EXPECT_EQ(parts, (std::vector<std::vector<Point>>{{{100, 900}, {900, 900}, {500, 100}}}));
}
