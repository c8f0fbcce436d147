// The readers' feature visitor: what it hands out lies where the drawing puts it, carries
// the switched-off items the drawing leaves out, and a raster's runs cover its units.
#include "FeatureLayerFixture.h"
#include "layers/MapPOL1.h"
#include "layers/MapRLE.h"
#include "layers/MapVEC.h"
#include "layers/writers/PolygonFileWriter.h"
#include "layers/writers/RunLengthWriters.h"
#include "layers/writers/VECmapWriter.h"
#include "platform/RecordingCanvas.h"

#include <gtest/gtest.h>

#include <map>
#include <set>

using namespace corvane;
using namespace corvane::test;

namespace {

// Device positions of what a visitor gets, by the drawing's own transform of the test map.
struct Collect : FeatureVisitor {
    std::vector<std::vector<corvane::Point>> lines;
    std::map<int, int64_t> units;   // raster units by key
    std::vector<int> keys;
    void Line(const FeatureCell& cell, int key, const std::vector<CellOffset>& points) override
    {
        keys.push_back(key);
        lines.emplace_back();
        for (const CellOffset& p : points) lines.back().push_back(Pixel(cell.LatOf(p.Lat), cell.LonOf(p.Lon)));
    }
    void Polygon(const FeatureCell& cell, int key, const std::vector<std::vector<CellOffset>>& parts,
                 const CellOffset*, int64_t) override
    {
        for (const auto& part : parts) Line(cell, key, part);
    }
    void RasterRun(const RasterCell&, int64_t, int64_t, int64_t count, int key) override { units[key] += count; }
};

std::vector<std::vector<Point>> Drawn(const RecordingCanvas& canvas)
{
    std::vector<std::vector<Point>> out;
    for (const auto& r : canvas.records)
        if (r.op == RecordingCanvas::Op::Polyline || r.op == RecordingCanvas::Op::Polygon) out.push_back(r.pts);
    return out;
}

} // namespace

TEST(FeatureVisitor, LinesAndPolygonPartsLieWhereTheyAreDrawn)
{
    VECmapWriter lines(TestOptions(), 10, 20, 0, 10);
    lines.AddPolyline(1, {{11.25, 1.5}, {12.5, 2.75}, {13.01, 2.02}});
    lines.AddPolyline(2, {{15.5, 5.5}, {16.25, 7.75}});
    PolygonFileWriter polygons(TestOptions(), 8);
    PolygonFeature p;
    p.Parts = {{{11, 1}, {11, 3}, {13, 3}, {11, 1}}, {{11.5, 2}, {11.5, 2.5}, {12, 2.5}, {11.5, 2}}};
    polygons.Add(p);

    NullMessageSink sink;
    for (int layer = 0; layer < 2; ++layer) {
        RecordingCanvas canvas(1000, 1000);
        DrawContext ctx(canvas, sink);
        SetupMap(ctx);
        VECmap vec;
        POLmap pol;
        GenMapObj& m = layer == 0 ? static_cast<GenMapObj&>(vec) : pol;
        ASSERT_TRUE(layer == 0 ? vec.Create(Bytes(lines.Bytes())) : pol.Create(Bytes(polygons.Bytes())));
        for (int k = 1; k <= 2; ++k) SetKey(m, k, clRed, 1);
        Collect seen;
        if (layer == 0) {
            vec.Draw(ctx, 0);
            EXPECT_TRUE(vec.Visit(seen, 0));
        } else {
            EXPECT_TRUE(pol.Draw(ctx, 0, true, 0));
            EXPECT_TRUE(pol.Visit(seen, 0, 0));
        }
        EXPECT_EQ(seen.lines, Drawn(canvas)) << "layer " << layer;
        EXPECT_GE(seen.lines.size(), 2u);   // lines are cut along the grid
        EXPECT_FALSE(m.Damaged());
    }
}

TEST(FeatureVisitor, HandsOutSwitchedOffItemsAndReportsDamage)
{
    VECmapWriter lines(TestOptions(), 10, 20, 0, 10);
    lines.AddPolyline(1, {{11.25, 1.5}, {12.5, 2.75}});
    lines.AddPolyline(2, {{15.5, 5.5}, {16.25, 7.75}});
    std::vector<uint8_t> bytes = lines.Bytes();
    VECmap vec;
    ASSERT_TRUE(vec.Create(Bytes(bytes)));
    SetKey(vec, 1, clRed, 1);
    SetKey(vec, 2, clRed, 1, false);
    Collect seen;
    EXPECT_TRUE(vec.Visit(seen, 3));
    // The key adjustment added, item 2 off or not (each line in pieces along the grid).
    EXPECT_EQ(std::set<int>(seen.keys.begin(), seen.keys.end()), (std::set<int>{4, 5}));

    bytes.resize(bytes.size() - 6);   // the last segment cut short
    VECmap cut;
    ASSERT_TRUE(cut.Create(Bytes(bytes)));
    Collect some;
    EXPECT_FALSE(cut.Visit(some, 0));
    EXPECT_TRUE(cut.Damaged());
    EXPECT_GT(some.lines.size(), 0u);
    EXPECT_LT(some.lines.size(), seen.lines.size());
}

TEST(FeatureVisitor, RasterRunsCoverEveryUnitOfTheirKey)
{
    std::vector<uint8_t> v(400, 0);
    std::map<int, int64_t> expected;
    for (int i = 0; i < 400; ++i) {
        v[static_cast<size_t>(i)] = static_cast<uint8_t>(i < 100 ? 7 : (i * 7 + i / 20) % 4);
        if (v[static_cast<size_t>(i)] != 0) expected[v[static_cast<size_t>(i)] + 1]++;
    }
    MemoryRaster values(20, v);
    RLEmap m;
    ASSERT_TRUE(m.Create(Bytes(RLEmapWriter({20, 12, 0.1, 0.1, 20, 20}).Write(values).Bytes())));
    Collect seen;
    EXPECT_TRUE(m.Visit(seen, 1));
    EXPECT_EQ(seen.units, expected);
}
