// The GDAL-free half of corvane-atlas: text for the atlas's code pages, query information
// files, the grid of a layer, and layer contents built from features and rasters.
#include "AtlasText.h"
#include "LayerBuild.h"
#include "LayerData.h"

#include <gtest/gtest.h>

#include <stdexcept>

using namespace corvane;
using namespace corvane::atlas;

TEST(AtlasText, TargetsTheCodePageOfEachUse)
{
    // Windows-1252 keeps what it has, letters it lacks lose their accents.
    EXPECT_EQ(ToAtlasText("Malmö", TextUse::Plain), "Malm\xF6");
    EXPECT_EQ(ToAtlasText("Gdańsk", TextUse::Plain), "Gdansk");
    EXPECT_EQ(ToAtlasText("İzmir", TextUse::Plain), "Izmir");
    EXPECT_EQ(ToAtlasText("Constanța", TextUse::Plain), "Constanta");
    EXPECT_EQ(ToAtlasText("Œuvre €5 km²", TextUse::Plain), "\x8C" "uvre \x80" "5 km\xB2");
    EXPECT_EQ(ToAtlasText("東京", TextUse::Plain), "??");
    EXPECT_EQ(ToAtlasText("bad \xC3 end", TextUse::Plain), "bad ? end");
    // Query values: the viewer shows 0xF8 as a degree sign, so o with a stroke is written o.
    EXPECT_EQ(ToAtlasText("Tromsø 69°", TextUse::QueryValue), "Tromso 69\xB0");
    EXPECT_EQ(ToAtlasText("Tromsø", TextUse::Plain), "Troms\xF8");
    // Pages: ASCII, the DOS degree sign and line drawing in code page 437.
    EXPECT_EQ(ToAtlasText("30°W, café", TextUse::Page), "30\xF8W, cafe");
    EXPECT_EQ(ToAtlasText("┌─┐│└┘", TextUse::Page), "\xDA\xC4\xBF\xB3\xC0\xD9");
}

TEST(AtlasText, ExpandsTemplates)
{
    auto field = [](const std::string& n) -> std::optional<std::string> {
        if (n == "name") return std::string("Oslo");
        return std::nullopt;
    };
    std::string missing;
    EXPECT_EQ(ExpandTemplate("{name} ({cc}) {{x}}", field, &missing), "Oslo () {x}");
    EXPECT_EQ(missing, "cc");
    EXPECT_EQ(ExpandTemplate("open {name", field), "open {name");
}

TEST(InfoFile, RecordsOfEveryKind)
{
    InfoFileBuilder one(0);
    EXPECT_EQ(one.AddLine("North Sea"), 0u);
    EXPECT_EQ(one.AddLine(std::string(300, 'x')), 10u);
    ASSERT_EQ(one.Bytes().size(), 10u + 256u);
    EXPECT_EQ(one.Bytes()[0], 9);
    EXPECT_EQ(one.Bytes()[10], 255);                  // cut to 255

    InfoFileBuilder two(2);
    EXPECT_EQ(two.AddRecord({{0, "Oslo"}, {3, std::string(80, 'y')}}, true, uint8_t{1}), 0u);
    const auto& b = two.Bytes();
    ASSERT_EQ(b.size(), 2u + (1 + 1 + 4) + (1 + 1 + 70));
    EXPECT_EQ(b[0], 2);                                // entries
    EXPECT_EQ(b[1], 1);                                // display count
    EXPECT_EQ(b[2], 0);                                // line code
    EXPECT_EQ(b[3], 4);
    EXPECT_EQ(b[8], 3);
    EXPECT_EQ(b[9], 70);                               // values are at most 70 characters

    InfoFileBuilder headed(1);
    headed.AddRecord({{0, "ignored"}, {1, ""}}, false);
    EXPECT_EQ(headed.Bytes(), (std::vector<uint8_t>{2, 0, 1}));   // no values, no display count
    EXPECT_THROW(headed.AddRecord({{0xFE, "x"}}, true), std::invalid_argument);
}

TEST(LayerGrid, RecordLayersKeepOffsetsIn16Bits)
{
    HdrRec h = PlanRecordGrid("COAST", -30, 45, 27, 72, 0.75, 1);
    EXPECT_EQ(h.LonOrig, -30000000);
    EXPECT_EQ(h.LatOrig, 27000000);
    EXPECT_EQ(h.GridCellSize, 750000);
    EXPECT_EQ(h.NumCols, 100);
    EXPECT_LE(h.NumRows, 61);
    EXPECT_EQ(h.HPrecision, 12);                       // 750000 / 11 would pass 65535
    EXPECT_LE(h.GridCellSize / h.HPrecision, 65535);
    EXPECT_EQ(PlanRecordGrid("C", -30, 45, 27, 72, 0.75, 40).HPrecision, 40);   // coarser on request

    HdrRec world = PlanRecordGrid("W", -180, 180, -90, 90, 0, 0);   // automatic cells
    EXPECT_LE(world.NumCols, 100);
    EXPECT_LE(world.NumRows, 100);
    EXPECT_LE(world.GridCellSize / world.HPrecision, 65535);
    EXPECT_THROW(PlanRecordGrid("X", -30, 45, 27, 72, 0.5, 0), std::invalid_argument);   // 150 columns
    EXPECT_THROW(PlanRecordGrid("X", 10, 10, 0, 1, 0, 0), std::invalid_argument);
}

TEST(LayerGrid, RasterCellsHoldWholeUnits)
{
    KeyRaster r;
    r.west = -30; r.south = 27;
    r.unitLon = r.unitLat = 1.0 / 300;                 // 12 seconds
    r.cols = 22500; r.rows = 13500;
    HdrRec h = PlanRasterGrid("LAND", r, 0.75);
    EXPECT_EQ(h.GridCellSize, 750000);
    EXPECT_EQ(h.NumCols, 100);
    EXPECT_EQ(h.NumRows, 60);
    EXPECT_EQ(h.HPrecision, 3333);
    EXPECT_EQ(h.VPrecision, 3333);
    EXPECT_EQ((h.GridCellSize + h.HPrecision / 2) / h.HPrecision, 225);   // the readers' unit count

    // Automatic: the smallest cell of whole units (and whole millionths) within 100 cells.
    r.unitLon = r.unitLat = 0.01;
    r.cols = 7500; r.rows = 4500;
    HdrRec a = PlanRasterGrid("LAND", r, 0);
    EXPECT_EQ(a.GridCellSize, 750000);
    EXPECT_EQ(a.NumRows, 60);
    // 0.755 degree is no whole number of 0.01 degree units.
    EXPECT_THROW(PlanRasterGrid("LAND", r, 0.755), std::invalid_argument);
    // A 12-second raster's cell must also be whole millionths: 0.01 degree is 3 units, fine;
    // 1 unit (3333.33 millionths) is not.
    r.unitLon = r.unitLat = 1.0 / 300;
    r.cols = r.rows = 30;
    EXPECT_EQ(PlanRasterGrid("S", r, 0).GridCellSize, 10000);
}

namespace {

SourceFeature Town(double lat, double lon, const std::string& cls, const std::string& name)
{
    SourceFeature f;
    f.kind = SourceFeature::Point;
    f.parts = {{{lat, lon}}};
    f.attributes = {{"class", cls}, {"name", name}, {"country", "Norway"}};
    return f;
}

} // namespace

TEST(LayerBuild, SymbolsWithHeadedRecords)
{
    AtlasDescription atlas;
    atlas.date = 20170615;
    LayerSpec l;
    l.name = "towns";
    l.dataType = 4;
    l.region = Region{-30, 45, 27, 72};
    l.cellDegrees = 0.75;
    l.key = {"class", 0};
    l.infoKind = 1;
    l.infoFile = "TOWNS.DAT";
    l.infoLines = {{0, "{name}"}, {1, "{country}"}};
    std::vector<QueryLineSpec> query(2);
    query[0].dataType = 1;                              // entries carry values

    VectorSource src;
    src.features = {Town(69.65, 18.96, "4", "Tromsø"), Town(59.9, 10.7, "x", "Oslo"), Town(60.4, 5.3, "60", "Bergen")};
    LayerBuildResult r = BuildVectorLayer(atlas, l, query, src);
    ASSERT_EQ(r.content.points.size(), 2u);             // "x" is no key code
    EXPECT_EQ(r.skipped, 1u);
    ASSERT_EQ(r.warnings.size(), 1u);
    EXPECT_NE(r.warnings[0].find("field class"), std::string::npos);
    EXPECT_EQ(r.content.points[0].key, 4);
    EXPECT_DOUBLE_EQ(r.content.points[0].position.lat, 69.65);
    EXPECT_EQ(r.content.points[0].infoOffset, 0u);
    // First record: 2 entries, (0, "Tromso"), (1, "Norway") = 1 + 2 + 6 + 2 + 6 bytes.
    EXPECT_EQ(r.content.points[1].infoOffset, 17u);
    const auto& b = r.info->Bytes();
    EXPECT_EQ(std::string(b.begin() + 3, b.begin() + 9), "Tromso");
    EXPECT_EQ(r.content.header.AssDataType, 1);
    EXPECT_EQ(r.content.header.AssDataFilename, "TOWNS.DAT");
    EXPECT_EQ(r.content.header.DateOrig, 20170615);
    EXPECT_EQ(r.content.header.DatasetID, "towns");
}

TEST(LayerBuild, PolygonsLabelsAndLines)
{
    AtlasDescription atlas;
    SourceFeature sea;
    sea.kind = SourceFeature::Polygon;
    sea.parts = {{{50, 0}, {50, 4}, {54, 4}, {54, 0}, {50, 0}}, {{51, 1}, {51, 2}, {52, 2}, {51, 1}}};
    sea.inside = {53, 3};
    sea.attributes = {{"name", "North Sea"}, {"lon", "2.5"}, {"lat", "55"}, {"size", "2"}};
    VectorSource src;
    src.features = {sea};
    src.extent = {0, 4, 50, 54};

    LayerSpec p;
    p.name = "seas";
    p.dataType = 7;
    p.infoKind = 0;
    p.infoFile = "SEAS.DAT";
    p.infoText = "{name}: {missing}";
    p.referenceLon = "lon";
    p.referenceLat = "lat";
    LayerBuildResult r = BuildVectorLayer(atlas, p, {}, src);
    ASSERT_EQ(r.content.polygons.size(), 1u);
    EXPECT_EQ(r.content.polygons[0].parts.size(), 2u);          // the hole is a part of its own
    EXPECT_DOUBLE_EQ(r.content.polygons[0].reference.lon, 2.5);
    EXPECT_EQ(std::string(r.info->Bytes().begin() + 1, r.info->Bytes().end()), "North Sea: ");
    EXPECT_EQ(r.warnings.size(), 1u);                           // the missing field

    p.dataType = 8;                                             // filled, no reference, no info
    p.infoKind = -1;
    p.referenceLon.clear();
    r = BuildVectorLayer(atlas, p, {}, src);
    EXPECT_DOUBLE_EQ(r.content.polygons[0].reference.lat, 53);  // the point inside
    EXPECT_FALSE(r.info);

    LayerSpec lb;
    lb.name = "names";
    lb.dataType = 6;
    lb.labelText = "{name}";
    lb.labelSize = {"size", 0};
    lb.labelTrigger = {"", 40};
    lb.hJust = 1;
    r = BuildVectorLayer(atlas, lb, {}, src);
    ASSERT_EQ(r.content.labels.size(), 1u);
    EXPECT_EQ(r.content.labels[0].text, "North Sea");
    EXPECT_EQ(r.content.labels[0].height, 2);
    EXPECT_EQ(r.content.labels[0].triggerScale, 40);
    EXPECT_DOUBLE_EQ(r.content.labels[0].anchor.lon, 3);        // a polygon's label sits inside

    LayerSpec ln;
    ln.name = "outline";
    ln.dataType = 1;
    ln.key = {"", 3};
    r = BuildVectorLayer(atlas, ln, {}, src);
    ASSERT_EQ(r.content.lines.size(), 2u);                      // every ring becomes a line
    EXPECT_EQ(r.content.lines[1].key, 3);
    EXPECT_EQ(r.content.lines[1].points.size(), 4u);

    ln.dataType = 5;                                            // polygons are no symbols
    r = BuildVectorLayer(atlas, ln, {}, src);
    EXPECT_TRUE(r.content.points.empty());
    EXPECT_EQ(r.skipped, 1u);
}

TEST(LayerBuild, RastersBecomeKeyCodes)
{
    AtlasDescription atlas;
    RasterValues v;
    v.west = 0; v.south = 50;
    v.unitLon = v.unitLat = 0.5;
    v.cols = 2; v.rows = 2;
    v.values = {0, 5, 7, -9999};
    v.noData = -9999;

    LayerSpec land;
    land.name = "land";
    land.dataType = 2;
    LayerBuildResult r = BuildRasterLayer(atlas, land, v);
    EXPECT_EQ(r.content.raster.codes, (std::vector<uint8_t>{0, 1, 1, 0}));   // no data is sea
    land.landValues = {7};
    r = BuildRasterLayer(atlas, land, v);
    EXPECT_EQ(r.content.raster.codes, (std::vector<uint8_t>{0, 0, 1, 0}));
    EXPECT_EQ(r.content.header.HPrecision, 500000);
    EXPECT_EQ(r.content.header.NumCols, 2);                    // the smallest cell: one unit

    LayerSpec zones;
    zones.name = "zones";
    zones.dataType = 3;
    v.values = {0, 3, 31, 32};
    v.noData.reset();
    r = BuildRasterLayer(atlas, zones, v);
    EXPECT_EQ(r.content.raster.codes, (std::vector<uint8_t>{0, 3, 31, 0}));
    EXPECT_EQ(r.warnings.size(), 1u);
    EXPECT_EQ(r.content.raster.At(0, 1), 31);                  // row 1 is the northern row
}
