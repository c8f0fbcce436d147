// The GDAL-free half of corvane-atlas: text for the atlas's code pages, query information
// files, and layer contents built from features and rasters, as the layer writers take them.
#include "AtlasText.h"
#include "LayerBuild.h"
#include "LayerData.h"

#include <gtest/gtest.h>

#include <algorithm>
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

TEST(InfoFile, ClearMarkersAndSharedRests)
{
    // Towns of one country share the rest of their records, from the country on.
    InfoFileBuilder b(1);
    using E = InfoFileBuilder::Entry;
    EXPECT_EQ(b.AddRecord({{0, "Bergen"}, E{2, "62", true, false}, E{1, "Norway", false, true}}, true), 0u);
    const uint32_t second = b.AddRecord({{0, "Oslo"}, E{2, "59", true, false}, E{1, "Norway", false, true}}, true);
    b.AddRecord({{0, "Lund"}, E{1, "Sweden", true, true}}, true);
    const std::vector<uint8_t> bergen{3, 0, 6, 'B', 'e', 'r', 'g', 'e', 'n', 0xFE, 2, 2, '6', '2', 1, 6, 'N', 'o', 'r', 'w', 'a', 'y'};
    ASSERT_EQ(std::vector<uint8_t>(b.Bytes().begin(), b.Bytes().begin() + 22), bergen);
    EXPECT_EQ(second, 22u);
    // Oslo: its own entries, then 0xFF and the offset of Bergen's "Norway" entry (14).
    const std::vector<uint8_t> oslo{3, 0, 4, 'O', 's', 'l', 'o', 0xFE, 2, 2, '5', '9', 0xFF, 14, 0, 0, 0};
    ASSERT_EQ(std::vector<uint8_t>(b.Bytes().begin() + 22, b.Bytes().begin() + 39), oslo);
    // A shared rest of its own, after a clear marker: held in place.
    const std::vector<uint8_t> lund{2, 0, 4, 'L', 'u', 'n', 'd', 0xFE, 1, 6, 'S', 'w', 'e', 'd', 'e', 'n'};
    EXPECT_EQ(std::vector<uint8_t>(b.Bytes().begin() + 39, b.Bytes().end()), lund);
}

namespace {

// A record read as the query window reads it: a marker is followed by a line code, and
// 0xFF continues at its offset. Returns the entries' codes and values, and whether each came
// after a clear marker.
struct ReadEntry {
    int code;
    std::string value;
    bool cleared;
    bool operator==(const ReadEntry& o) const { return code == o.code && value == o.value && cleared == o.cleared; }
};

std::vector<ReadEntry> ReadRecord(const std::vector<uint8_t>& f, size_t at)
{
    std::vector<ReadEntry> out;
    const size_t n = f.at(at++);
    for (size_t e = 0; e < n; ++e) {
        bool cleared = false;
        int code = f.at(at++);
        if (code == 0xFE) { cleared = true; code = f.at(at++); }
        else if (code == 0xFF) {
            size_t to = 0;
            for (int b = 0; b < 4; ++b) to |= static_cast<size_t>(f.at(at++)) << (8 * b);
            at = to;
            code = f.at(at++);
        }
        const size_t len = f.at(at++);
        out.push_back({code, std::string(f.begin() + static_cast<std::ptrdiff_t>(at), f.begin() + static_cast<std::ptrdiff_t>(at + len)), cleared});
        at += len;
    }
    return out;
}

} // namespace

// An entry both shared and clearing the headers: no record may put a jump right after the
// clear marker (the jump would be read as a line code), yet every record reads the same.
TEST(InfoFile, ASharedEntryThatClearsStaysReadable)
{
    InfoFileBuilder b(1);
    using E = InfoFileBuilder::Entry;
    auto record = [](const std::string& town) {
        return std::vector<E>{{0, town}, E{1, "Norway", true, true}, {2, "NO, NOR"}};
    };
    const uint32_t bergen = b.AddRecord(record("Bergen"), true);
    const uint32_t oslo = b.AddRecord(record("Oslo"), true);
    const std::vector<uint8_t>& f = b.Bytes();
    for (size_t i = 0; i + 1 < f.size(); ++i) EXPECT_FALSE(f[i] == 0xFE && f[i + 1] == 0xFF) << "at " << i;
    const std::vector<ReadEntry> expect{{0, "Oslo", false}, {1, "Norway", true}, {2, "NO, NOR", false}};
    EXPECT_EQ(ReadRecord(f, oslo), expect);
    EXPECT_EQ(ReadRecord(f, bergen)[1], expect[1]);
    // Oslo keeps its clear marker and country, then jumps to Bergen's codes: shared still.
    EXPECT_EQ(std::count(f.begin() + oslo, f.end(), 0xFF), 1);
    EXPECT_EQ(f.size() - oslo, 1u + 6u + 9u + 5u);
}

TEST(LayerBuild, ChunksAndLimits)
{
    // A line of 10 points in parts of at most 4 keeps every point, sharing the ends; records
    // (points and separators) stay within 9 a polygon.
    PolygonFeature f;
    f.KeyCode = 3;
    f.InfoOffset = 77;
    f.Reference = {50.5, 0.5};
    f.Parts.assign(1, {});
    for (int i = 0; i < 10; ++i) f.Parts[0].push_back({50.0 + i * 0.1, 0.0});
    f.Parts.push_back({{51, 1}, {51, 2}});
    std::vector<PolygonFeature> pieces = ChunkPolygon(f, 4, 9);
    size_t points = 0;
    for (const PolygonFeature& p : pieces) {
        size_t records = p.Parts.size() - 1;
        for (const GeoLine& part : p.Parts) {
            EXPECT_LE(part.size(), 4u);
            records += part.size();
            points += part.size();
        }
        EXPECT_LE(records, 9u);
        EXPECT_EQ(p.InfoOffset, 77);
        EXPECT_DOUBLE_EQ(p.Reference.Lat, 50.5);
    }
    EXPECT_EQ(points, 4u + 4u + 4u + 2u);                       // 10 points in three pieces, then the other part
    EXPECT_DOUBLE_EQ(pieces[0].Parts[0].back().Lat, pieces[0].Parts[1].front().Lat);

    // A cell side of its own must hold the area in 100 x 100 cells.
    LayerSpec l;
    l.name = "coast";
    l.cellDegrees = 0.5;
    EXPECT_NO_THROW(CheckGridFits(l, {-25, 25, 40, 60}));
    try {
        CheckGridFits(l, {-30, 30, 40, 60});
        ADD_FAILURE() << "120 columns accepted";
    } catch (const std::invalid_argument& e) {
        EXPECT_NE(std::string(e.what()).find("layer coast"), std::string::npos);
        EXPECT_NE(std::string(e.what()).find("120 x 40 cells"), std::string::npos);
    }
    l.cellDegrees = 0;                                          // auto: the writer takes larger cells
    EXPECT_NO_THROW(CheckGridFits(l, {-180, 180, -90, 90}));

    // A precision of its own must reach every point of a polygon from its cell's corner.
    LayerContent c;
    c.dataType = 8;
    c.options.CellSize = 1000000;
    PolygonFeature big;
    big.Name = "Wide Bay";
    big.Parts = {{{50.2, 0.2}, {50.2, 3.5}, {50.8, 0.2}}};
    c.polygons = {big};
    l.precision = 100;                                          // 3.5 degrees need 35000 units
    EXPECT_NO_THROW(CheckPolygonUnits(l, c));
    l.precision = 50;                                           // 70000
    EXPECT_THROW(CheckPolygonUnits(l, c), FeatureError);

    // A field the source does not have at all is a typing error: refused, with the fields
    // there are; a template the layer's type does not use is not looked at.
    LayerSpec isles;
    isles.name = "isles";
    isles.dataType = 9;
    isles.key.field = "knd";
    isles.infoKind = 0;
    isles.infoText = "{name}: {area} km";
    isles.labelText = "{nothing}";
    try {
        CheckFieldsInSource(isles, {"name", "kind"});
        ADD_FAILURE() << "missing fields accepted";
    } catch (const std::invalid_argument& e) {
        EXPECT_STREQ(e.what(), "layer isles: the source has no field \"knd\" (key), \"area\" (info-text); its fields: name, kind");
    }
    isles.key.field = "kind";
    EXPECT_NO_THROW(CheckFieldsInSource(isles, {"name", "kind", "area"}));
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
    src.features = {Town(69.65, 18.96, "4", "Tromsø"), Town(59.9, 10.7, "x", "Oslo"), Town(60.4, 5.3, "60", "Bergen"),
                    Town(58.97, 5.73, "3", "Stavanger")};
    LayerBuildResult r = BuildVectorLayer(atlas, l, query, src);
    ASSERT_EQ(r.content.points.size(), 2u);             // "x" and 60 are no key codes
    EXPECT_EQ(r.leftOut.Total(), 2u);                   // counted with their reason
    EXPECT_NE(r.leftOut.Reasons().find("2 key: field class"), std::string::npos) << r.leftOut.Reasons();
    EXPECT_EQ(r.content.points[0].Symbol, 4);
    EXPECT_DOUBLE_EQ(r.content.points[0].Lat, 69.65);
    EXPECT_EQ(r.content.points[0].InfoOffset, 0);
    EXPECT_EQ(r.content.points[0].Name, "Troms\u00f8");  // for the writer's messages, as read
    const auto& b = r.info->Bytes();
    EXPECT_EQ(std::string(b.begin() + 3, b.begin() + 9), "Tromso");
    const HdrRec& h = r.content.options.Header;
    EXPECT_EQ(h.AssDataType, 1);
    EXPECT_EQ(h.AssDataFilename, "TOWNS.DAT");
    EXPECT_EQ(h.DateOrig, 20170615);
    EXPECT_EQ(h.DatasetID, "towns");
    EXPECT_EQ(r.content.options.CellSize, 750000);

    // The symbol writer takes the points as they are.
    SymbolFileWriter w(r.content.options, true);
    for (const SymbolPoint& p : r.content.points) w.Add(p);
    EXPECT_GT(w.Bytes().size(), 80u);
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
    EXPECT_EQ(r.content.polygons[0].Parts.size(), 2u);          // the hole is a part of its own
    EXPECT_DOUBLE_EQ(r.content.polygons[0].Reference.Lon, 2.5);
    EXPECT_EQ(std::string(r.info->Bytes().begin() + 1, r.info->Bytes().end()), "North Sea: ");
    EXPECT_EQ(r.warnings.size(), 1u);                           // the missing field

    p.dataType = 8;                                             // filled, no reference, no info
    p.infoKind = -1;
    p.referenceLon.clear();
    r = BuildVectorLayer(atlas, p, {}, src);
    EXPECT_DOUBLE_EQ(r.content.polygons[0].Reference.Lat, 53);  // the point inside
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
    EXPECT_EQ(r.content.labels[0].Text, "North Sea");
    EXPECT_EQ(r.content.labels[0].bHeight, 2);
    EXPECT_EQ(r.content.labels[0].TriggerScale, 40);
    EXPECT_EQ(r.content.labels[0].hJust, 1);
    EXPECT_DOUBLE_EQ(r.content.labels[0].Lon, 3);               // a polygon's label sits inside

    LayerSpec ln;
    ln.name = "outline";
    ln.dataType = 1;
    ln.key = {"", 3};
    r = BuildVectorLayer(atlas, ln, {}, src);
    ASSERT_EQ(r.content.lines.size(), 2u);                      // every ring becomes a line
    EXPECT_EQ(r.content.lines[1].key, 3);
    EXPECT_DOUBLE_EQ(r.content.north_east.Lat, 54);             // no region: the source's extent
    EXPECT_EQ(r.content.lines[1].points.size(), 4u);

    ln.dataType = 5;                                            // polygons are no symbols
    r = BuildVectorLayer(atlas, ln, {}, src);
    EXPECT_TRUE(r.content.points.empty());
    EXPECT_EQ(r.leftOut.Total(), 1u);
}

// The codes of a raster layer as the writer reads them, one window of the whole raster.
static std::vector<uint8_t> AllCodes(const LayerBuildResult& r)
{
    std::vector<uint8_t> out(static_cast<size_t>(r.content.raster.Columns * r.content.raster.Rows));
    r.content.codes->ReadWindow(0, 0, static_cast<int32_t>(r.content.raster.Columns),
                                static_cast<int32_t>(r.content.raster.Rows), out.data());
    return out;
}

TEST(LayerBuild, RastersBecomeKeyCodes)
{
    AtlasDescription atlas;
    auto v = std::make_shared<RasterValues>();
    v->west = 0; v->north = 51;
    v->unitLon = v->unitLat = 0.5;
    v->cols = 2; v->rows = 2;
    v->values = {0, 5, 7, -9999};
    v->noData = -9999;

    LayerSpec land;
    land.name = "land";
    land.dataType = 2;
    land.cellDegrees = 1;
    LayerBuildResult r = BuildRasterLayer(atlas, land, v);
    EXPECT_EQ(AllCodes(r), (std::vector<uint8_t>{0, 1, 1, 0}));   // no data is sea
    EXPECT_EQ(r.rasterCodes->Used(), 2u);
    land.landValues = {7};
    r = BuildRasterLayer(atlas, land, v);
    EXPECT_EQ(AllCodes(r), (std::vector<uint8_t>{0, 0, 1, 0}));
    EXPECT_DOUBLE_EQ(r.content.raster.North, 51);
    EXPECT_EQ(r.content.raster.Columns, 2);
    EXPECT_EQ(r.content.options.CellSize, 1000000);
    // The land writer takes the raster as it is, reading it through the layer's codes: one
    // cell of 2 x 2 units.
    MonoRLEmapWriter w(r.content.raster, r.content.options);
    EXPECT_EQ(w.Header().NumCols, 1);
    EXPECT_EQ(w.Header().HPrecision, 500000);
    EXPECT_EQ(w.Header().DatasetID.substr(0, 4), "land");
    EXPECT_GT(w.Write(*r.content.codes).Bytes().size(), 80u);

    LayerSpec zones;
    zones.name = "zones";
    zones.dataType = 3;
    v->values = {0, 3, 31, 32};
    v->noData.reset();
    r = BuildRasterLayer(atlas, zones, v);
    EXPECT_EQ(AllCodes(r), (std::vector<uint8_t>{0, 3, 31, 0}));
    EXPECT_EQ(r.rasterCodes->Warnings().size(), 1u);
}

TEST(LayerBuild, TextLongerThanItsFieldIsRefused)
{
    AtlasDescription atlas;
    VectorSource src;
    src.features = {Town(60, 5, "1", "Bergen"), Town(59, 10, "1", std::string(300, 'O'))};
    LayerSpec lb;
    lb.name = "names";
    lb.dataType = 6;
    lb.labelText = "{name}";
    try {
        BuildVectorLayer(atlas, lb, {}, src);
        ADD_FAILURE() << "a label of 300 characters accepted";
    } catch (const FeatureError& e) {
        EXPECT_NE(std::string(e.what()).find("feature 2"), std::string::npos);
        EXPECT_NE(std::string(e.what()).find("longer than the 255"), std::string::npos);
    }
}
