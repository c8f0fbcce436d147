// corvane-atlas export, read back with GDAL: small sources compiled by corvane-atlas build
// come back where they were with their attributes, every theme of the sample atlas exports,
// labels of code page 437 come out in UTF-8, and a damaged layer gives a partial result; and
// the gazetteer of corvane-atlas names.
#ifdef CORVANE_ATLAS_TOOL
#include "DiscImageFixtures.h"
#include "TestUtil.h"
#include "layers/MapVEC.h"
#include "layers/writers/LabelFileWriter.h"

#include <gdal_priv.h>
#include <ogrsf_frmts.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <memory>

namespace fs = std::filesystem;
using namespace corvane;
using namespace corvane::test;

namespace {

int RunTool(const std::string& args, const std::string& log)
{
    const int rc = std::system(("'" CORVANE_ATLAS_TOOL "' " + args + " > '" + log + "' 2>&1").c_str());
    return WIFEXITED(rc) ? WEXITSTATUS(rc) : -1;
}

struct Closer {
    void operator()(GDALDataset* d) const { GDALClose(d); }
};
using Dataset = std::unique_ptr<GDALDataset, Closer>;

Dataset OpenVector(const std::string& path)
{
    GDALAllRegister();
    return Dataset(static_cast<GDALDataset*>(GDALOpenEx(path.c_str(), GDAL_OF_VECTOR | GDAL_OF_READONLY, nullptr, nullptr, nullptr)));
}

// Sources of lines, ports and their names, and a theme of the three.
const char* kThings = R"({"type": "FeatureCollection", "features": [
{"type": "Feature", "properties": {"kind": "line", "key": 1},
 "geometry": {"type": "LineString", "coordinates": [[0.2, 50.2], [0.9, 50.35], [1.7, 51.05], [2.8, 51.9]]}},
{"type": "Feature", "properties": {"kind": "port", "key": 2, "name": "Dünkirchen"},
 "geometry": {"type": "Point", "coordinates": [2.37, 51.04]}},
{"type": "Feature", "properties": {"kind": "port", "key": 2, "name": "Boulogne"},
 "geometry": {"type": "Point", "coordinates": [1.6, 50.72]}}]})";

const char* kThingsDesc = R"([atlas]
title = Things
[layer lines]
type = vectors
source = things.geojson
where = kind = 'line'
output = Themes/Lines.Vec
cell = 0.5
key = field key
[layer ports]
type = symbols
source = things.geojson
where = kind = 'port'
output = Themes/Ports.Sym
key = field key
[layer names]
type = labels
source = things.geojson
where = kind = 'port'
output = Themes/Names.Lbl
key = 3
label-text = {name}
label-trigger = 40
justify = right below
[heading Test]
level = 1
[theme Things]
level = 2
master = Themes/Things.MAS
extent = 50 52 0 3
[dataset]
file = lines
[dataset]
file = ports
[dataset]
file = names
[key]
type = line
colour = 4
style = 0
text = Coast
[key]
type = symbol
colour = 12
style = 3
text = Port
[key]
type = text
colour = 0
text = Names
)";

double Area(OGRLayer* layer, const char* queryText)
{
    double area = 0;
    layer->ResetReading();
    for (OGRFeature* f; (f = layer->GetNextFeature()) != nullptr; OGRFeature::DestroyFeature(f))
        if (std::string(f->GetFieldAsString("query")) == queryText)
            area += f->GetGeometryRef()->toMultiPolygon()->get_Area();
    return area;
}

} // namespace

TEST(AtlasExport, PolygonsComeBackWithTheirHolesAndRecords)
{
    TempDir dir;
    const fs::path data = fs::path(SourceDir()) / "tests/data/atlas";
    ASSERT_EQ(RunTool("build --sources '" + data.string() + "' --output '" + dir.Path() + "' '" + (data / "seas.desc").string() + "'",
                  dir / "build.txt"), 0) << ReadFile(dir / "build.txt");
    const std::string out = dir / "seas.gpkg";
    ASSERT_EQ(RunTool("export --cdrom '" + dir.Path() + "' Seas --output '" + out + "'", dir / "export.txt"), 0)
        << ReadFile(dir / "export.txt");
    Dataset ds = OpenVector(out);
    ASSERT_TRUE(ds);
    OGRLayer* fill = ds->GetLayerByName("SeaFill");
    ASSERT_TRUE(fill);
    // Cut along the grid into pieces, the sea still covers 3 x 2 degrees less its bay: the
    // bay's hole is kept in the piece that holds it.
    EXPECT_NEAR(Area(fill, "Open Sea"), 6.0 - 0.09, 0.001);
    EXPECT_NEAR(Area(fill, "Little Bay"), 0.09, 0.001);
    fill->ResetReading();
    std::unique_ptr<OGRFeature> f(fill->GetNextFeature());
    ASSERT_TRUE(f);
    EXPECT_EQ(f->GetFieldAsInteger("key"), 1);
    EXPECT_STREQ(f->GetFieldAsString("key_text"), "Sea");
    EXPECT_STREQ(f->GetFieldAsString("top_colour"), "#0000ff");   // colour 9, light blue
    EXPECT_STREQ(f->GetFieldAsString("source"), "CDROM:\\Themes\\SeaFill.Pol");
    EXPECT_EQ(f->GetFieldAsInteger("active"), 1);
    // The outlines are lines through the corners of the sources.
    OGRLayer* outline = ds->GetLayerByName("Seas");
    ASSERT_TRUE(outline);
    bool corner = false;
    outline->ResetReading();
    for (OGRFeature* g; (g = outline->GetNextFeature()) != nullptr; OGRFeature::DestroyFeature(g))
        for (const OGRLineString* line : *g->GetGeometryRef()->toMultiLineString())
            for (const OGRPoint& p : *line) corner = corner || (std::abs(p.getX() - 1.4) < 1e-5 && std::abs(p.getY() - 51.4) < 1e-5);
    EXPECT_TRUE(corner);
}

TEST(AtlasExport, LinesPointsAndLabelsComeBackWithinALayerUnit)
{
    TempDir dir;
    dir.Write("src/things.geojson", kThings);
    const std::string desc = dir.Write("src/things.desc", kThingsDesc);
    ASSERT_EQ(RunTool("build --output '" + (dir / "atlas") + "' '" + desc + "'", dir / "build.txt"), 0) << ReadFile(dir / "build.txt");
    const std::string out = dir / "things.gpkg";
    ASSERT_EQ(RunTool("export --cdrom '" + (dir / "atlas") + "' Things --output '" + out + "'", dir / "export.txt"), 0)
        << ReadFile(dir / "export.txt");
    VECmap vec;
    ASSERT_TRUE(vec.Create(dir / "atlas/Themes/Lines.Vec"));
    const double unit = vec.R_Precisionx;
    Dataset ds = OpenVector(out);
    ASSERT_TRUE(ds);

    OGRLayer* lines = ds->GetLayerByName("Lines");
    ASSERT_TRUE(lines);
    const double source[4][2] = {{0.2, 50.2}, {0.9, 50.35}, {1.7, 51.05}, {2.8, 51.9}};
    for (const auto& s : source) {   // every source vertex is a vertex of some piece
        bool found = false;
        lines->ResetReading();
        for (OGRFeature* f; (f = lines->GetNextFeature()) != nullptr; OGRFeature::DestroyFeature(f)) {
            EXPECT_STREQ(f->GetFieldAsString("key_text"), "Coast");
            for (const OGRPoint& p : *f->GetGeometryRef()->toLineString())
                found = found || (std::abs(p.getX() - s[0]) <= unit && std::abs(p.getY() - s[1]) <= unit);
        }
        EXPECT_TRUE(found) << s[0] << " " << s[1];
    }

    OGRLayer* ports = ds->GetLayerByName("Ports");
    OGRLayer* names = ds->GetLayerByName("Names");
    ASSERT_TRUE(ports && names);
    EXPECT_EQ(ports->GetFeatureCount(), 2);
    ASSERT_EQ(names->GetFeatureCount(), 2);
    names->ResetReading();
    for (OGRFeature* f; (f = names->GetNextFeature()) != nullptr; OGRFeature::DestroyFeature(f)) {
        const OGRPoint* p = f->GetGeometryRef()->toPoint();
        const std::string text = f->GetFieldAsString("text");
        const bool dunkirk = text == "Dünkirchen";
        EXPECT_TRUE(dunkirk || text == "Boulogne") << text;
        EXPECT_NEAR(p->getX(), dunkirk ? 2.37 : 1.6, 0.0001);
        EXPECT_NEAR(p->getY(), dunkirk ? 51.04 : 50.72, 0.0001);
        EXPECT_EQ(f->GetFieldAsInteger("h_just"), 2);
        EXPECT_EQ(f->GetFieldAsInteger("v_just"), 3);
        EXPECT_EQ(f->GetFieldAsInteger("trigger"), 40);
        EXPECT_EQ(f->GetFieldAsInteger("key"), 3);
        EXPECT_STREQ(f->GetFieldAsString("key_text"), "Names");
    }
}

TEST(AtlasExport, LabelsOfCodePage437ComeOutInUtf8)
{
    TempDir dir;
    LayerWriteOptions o;
    o.Header.DatasetID = "LABELS";
    LabelFileWriter w(o);
    LabelFeature l;
    l.Lat = 50.5;
    l.Lon = 1.5;
    l.Text = "\x82t\x82 \x9c";   // "été £" in code page 437
    w.Add(l);
    ASSERT_TRUE(w.Save(dir / "Names.Lbl"));
    ASSERT_EQ(RunTool("export '" + (dir / "Names.Lbl") + "' --label-code-page 437 --output '" + (dir / "n.gpkg") + "'",
                  dir / "log.txt"), 0) << ReadFile(dir / "log.txt");
    Dataset ds = OpenVector(dir / "n.gpkg");
    ASSERT_TRUE(ds && ds->GetLayerByName("Names"));
    std::unique_ptr<OGRFeature> f(ds->GetLayerByName("Names")->GetNextFeature());
    ASSERT_TRUE(f);
    EXPECT_STREQ(f->GetFieldAsString("text"), "été £");
}

TEST(AtlasExport, ADamagedLayerGivesTheReadersMessageAndAPartialResult)
{
    TempDir dir;
    const std::string whole = ReadFile((fs::path(SourceDir()) / "atlas/Themes/Seas/Limits.Vec").string());
    ASSERT_GT(whole.size(), 30000u);   // the index of 100 x 60 cells, then 8 KB of records and more
    dir.Write("Whole.Vec", whole);
    dir.Write("Limits.Vec", whole.substr(0, whole.size() - 4000));
    ASSERT_EQ(RunTool("export '" + (dir / "Whole.Vec") + "' --output '" + (dir / "whole.gpkg") + "'", dir / "whole.txt"), 0);
    EXPECT_EQ(RunTool("export '" + (dir / "Limits.Vec") + "' --output '" + (dir / "part.gpkg") + "'", dir / "part.txt"), 1);
    EXPECT_NE(ReadFile(dir / "part.txt").find("Limits.Vec is damaged : Only part of it is drawn"), std::string::npos)
        << ReadFile(dir / "part.txt");
    Dataset all = OpenVector(dir / "whole.gpkg"), part = OpenVector(dir / "part.gpkg");
    ASSERT_TRUE(all && part);
    OGRLayer* partial = part->GetLayerByName("Limits_partial");
    ASSERT_TRUE(partial);
    EXPECT_NE(partial->GetMetadataItem("PARTIAL"), nullptr);
    EXPECT_GT(partial->GetFeatureCount(), 0);
    EXPECT_LT(partial->GetFeatureCount(), all->GetLayerByName("Whole")->GetFeatureCount());

    // Nothing readable at all: the partial layer is written all the same, empty, with the reason.
    dir.Write("Bare.Vec", whole.substr(0, 20000));
    EXPECT_EQ(RunTool("export '" + (dir / "Bare.Vec") + "' --output '" + (dir / "bare.gpkg") + "'", dir / "bare.txt"), 1);
    EXPECT_NE(ReadFile(dir / "bare.txt").find("1 of 1 layers exported"), std::string::npos) << ReadFile(dir / "bare.txt");
    Dataset bare = OpenVector(dir / "bare.gpkg");
    ASSERT_TRUE(bare && bare->GetLayerByName("Bare_partial")) << ReadFile(dir / "bare.txt");
    EXPECT_NE(bare->GetLayerByName("Bare_partial")->GetMetadataItem("PARTIAL"), nullptr);
    EXPECT_EQ(bare->GetLayerByName("Bare_partial")->GetFeatureCount(), 0);
}

TEST(AtlasExport, EveryThemeOfTheSampleAtlasExports)
{
    TempDir dir;
    const std::string atlas = (fs::path(SourceDir()) / "atlas").string();
    const char* themes[] = {"Rivers and borders", "Shoreline (GSHHG)", "Lakes", "Seas and oceans",
                            "Distance from the coast", "Territorial waters", "Coastal towns"};
    std::string args = "export --cdrom '" + atlas + "'";
    for (const char* t : themes) args += std::string(" '") + t + "'";
    ASSERT_EQ(RunTool(args + " --output '" + (dir / "all.gpkg") + "'", dir / "log.txt"), 0) << ReadFile(dir / "log.txt");
    Dataset ds = OpenVector(dir / "all.gpkg");
    ASSERT_TRUE(ds);
    // Counts within what the sample atlas holds (README: about 600 sea limits, 28 sea names,
    // some hundreds of towns with records).
    auto count = [&](const char* name) {
        OGRLayer* l = ds->GetLayerByName(name);
        return l ? l->GetFeatureCount() : -1;
    };
    EXPECT_GT(count("Limits"), 100);
    EXPECT_GE(count("SeaNames"), 10);
    EXPECT_EQ(count("SeaFill"), count("SeaNames"));   // each sea one feature, joined from its pieces
    EXPECT_GT(count("Towns"), 100);
    EXPECT_GE(count("Towns_labels"), count("Towns"));
    EXPECT_GT(count("RivH_from_60"), count("RivL_from_0") / 2);
    EXPECT_GT(count("EezFill"), 100);
    // Every town with a record carries it as text and as fields.
    OGRLayer* towns = ds->GetLayerByName("Towns");
    ASSERT_TRUE(towns);
    std::unique_ptr<OGRFeature> town(towns->GetNextFeature());
    ASSERT_TRUE(town);
    EXPECT_NE(std::string(town->GetFieldAsString("query")).find("Town:"), std::string::npos);
    EXPECT_GE(town->GetFieldIndex("Population"), 0);
    EXPECT_STRNE(town->GetFieldAsString("Population"), "");
    // The rasters: one band of key codes over the layer's grid, with land or zones in it.
    for (const char* tif : {"all.Lakes.tif", "all.Zones.tif", "all.Land5Min_from_0.tif"}) {
        Dataset r(static_cast<GDALDataset*>(GDALOpen((dir / tif).c_str(), GA_ReadOnly)));
        ASSERT_TRUE(r) << tif;
        ASSERT_EQ(r->GetRasterCount(), 1);
        GDALRasterBand* band = r->GetRasterBand(1);
        EXPECT_TRUE(band->GetColorTable());
        double minimum = 0, maximum = 0;
        band->ComputeStatistics(TRUE, &minimum, &maximum, nullptr, nullptr, nullptr, nullptr);
        EXPECT_GE(maximum, 1) << tif;
    }
}
TEST(AtlasExport, RastersAsPolygonsKeepTheirKeyItems)
{
    TempDir dir;
    const std::string atlas = (fs::path(SourceDir()) / "atlas").string();
    ASSERT_EQ(RunTool("export --cdrom '" + atlas + "' 'Distance from the coast' --polygons --output '" + (dir / "z.gpkg") + "'",
                      dir / "log.txt"), 0) << ReadFile(dir / "log.txt");
    EXPECT_FALSE(fs::exists(dir / "z.Zones.tif"));
    Dataset ds = OpenVector(dir / "z.gpkg");
    ASSERT_TRUE(ds && ds->GetLayerByName("Zones"));
    std::map<int, std::string> bands;
    OGRLayer* zones = ds->GetLayerByName("Zones");
    for (OGRFeature* f; (f = zones->GetNextFeature()) != nullptr; OGRFeature::DestroyFeature(f)) {
        EXPECT_GT(f->GetGeometryRef()->toPolygon()->get_Area(), 0);
        bands[f->GetFieldAsInteger("key")] = f->GetFieldAsString("key_text");
    }
    EXPECT_EQ(bands, (std::map<int, std::string>{
                         {1, "0 to 12 nautical miles"}, {2, "12 to 24 nautical miles"}, {3, "24 to 200 nautical miles"}}));
}

namespace {

// corvane-atlas export on the sample atlas (or the medium given); its exit status.
int ExportSample(const std::string& args, const std::string& log, const std::string& medium = "")
{
    const std::string cdrom = medium.empty() ? (fs::path(SourceDir()) / "atlas").string() : medium;
    return RunTool("export --cdrom '" + cdrom + "' " + args, log);
}

} // namespace

// An output that cannot be written is told once with the system's reason (not by GDAL), and
// the export stops there.
TEST(AtlasExport, AnOutputThatCannotBeWrittenIsToldOnce)
{
    TempDir dir;
    const std::string blocked = dir.Write("blocked", "a file, so no folder can be made here");
    for (const std::string ext : {"gpkg", "shp"}) {
        EXPECT_EQ(ExportSample("'Territorial waters' --output '" + blocked + "/zones." + ext + "'", dir / ext), 1);
        const std::string text = ReadFile(dir / ext);
        const size_t first = text.find("corvane-atlas: cannot");
        EXPECT_TRUE(first != std::string::npos && text.find("corvane-atlas: cannot", first + 1) == std::string::npos) << text;
        EXPECT_EQ(text.find("ERROR"), std::string::npos) << text;
        EXPECT_NE(text.find("0 of 3 layers exported"), std::string::npos) << text;
    }
}

// A text page's title is told as one; a layer file given alone leaves out the headed records
// its theme's query lines lay out, with a note; an output over a file read is refused.
TEST(AtlasExport, TextPagesLoneLayerFilesAndOutputsOverInputs)
{
    TempDir dir;
    EXPECT_EQ(ExportSample("Introduction --output '" + (dir / "x.gpkg") + "'", dir / "page.txt"), 2);
    EXPECT_NE(ReadFile(dir / "page.txt").find("Introduction: a text page of the data list"), std::string::npos);

    ASSERT_EQ(ExportSample("'CDROM:\\Themes\\Towns\\Towns.Syx' --output '" + (dir / "t.gpkg") + "'", dir / "lone.txt"), 0);
    EXPECT_NE(ReadFile(dir / "lone.txt").find("Towns.Syx: its query records are laid out by its theme's query lines"),
              std::string::npos) << ReadFile(dir / "lone.txt");
    Dataset ds = OpenVector(dir / "t.gpkg");
    ASSERT_TRUE(ds && ds->GetLayerByName("Towns"));
    std::unique_ptr<OGRFeature> town(ds->GetLayerByName("Towns")->GetNextFeature());
    ASSERT_TRUE(town);
    EXPECT_FALSE(town->IsFieldSetAndNotNull(town->GetFieldIndex("query"))) << town->GetFieldAsString("query");

    const std::string whole = ReadFile((fs::path(SourceDir()) / "atlas/Themes/Seas/Limits.Vec").string());
    const std::string layer = dir.Write("Limits.Vec", whole);
    EXPECT_EQ(RunTool("export '" + layer + "' --format GPKG --output '" + layer + "'", dir / "over.txt"), 2);
    EXPECT_NE(ReadFile(dir / "over.txt").find("Limits.Vec is read by this export"), std::string::npos);
    EXPECT_EQ(ReadFile(layer), whole);

    // Nor over the data list, nor over a query information file by another name of it.
    const fs::path atlas = fs::path(SourceDir()) / "atlas", medium = dir / "medium";
    fs::create_directories(medium / "Themes");
    fs::copy(atlas / "Misc", medium / "Misc", fs::copy_options::recursive);
    fs::copy(atlas / "Themes/Towns", medium / "Themes/Towns", fs::copy_options::recursive);
    const std::string list = (medium / "Misc/MainMenu.Dat").string(), info = (medium / "Themes/Towns/DNN/TOWNS.DAT").string();
    const std::string listBytes = ReadFile(list), infoBytes = ReadFile(info);
    fs::create_symlink(info, dir / "towns.geojson");
    EXPECT_EQ(ExportSample("'Coastal towns' --format GPKG --output '" + list + "'", dir / "list.txt", medium.string()), 2);
    EXPECT_EQ(ExportSample("'Coastal towns' --output '" + (dir / "towns.geojson") + "'", dir / "info.txt", medium.string()), 2);
    EXPECT_NE(ReadFile(dir / "info.txt").find("towns.geojson is read by this export"), std::string::npos)
        << ReadFile(dir / "info.txt");
    EXPECT_EQ(ReadFile(list), listBytes);
    EXPECT_EQ(ReadFile(info), infoBytes);
}

// The files of an export replace those before them only once they are whole: an export that
// fails (here at a file-size limit) leaves the old output as it was, and nothing beside it.
TEST(AtlasExport, AnExportThatFailsLeavesTheOldOutputWhole)
{
    TempDir dir;
    const std::string out = dir / "zones.gpkg";
    ASSERT_EQ(ExportSample("'Territorial waters' --output '" + out + "'", dir / "a.txt"), 0) << ReadFile(dir / "a.txt");
    const std::string before = ReadFile(out);
    ASSERT_GT(before.size(), 40000u);
    const std::string cmd = "trap '' XFSZ; ulimit -f 64; '" CORVANE_ATLAS_TOOL "' export --cdrom '" +
                            (fs::path(SourceDir()) / "atlas").string() + "' 'Territorial waters' --output '" + out +
                            "' > '" + (dir / "b.txt") + "' 2>&1";
    const int rc = std::system(cmd.c_str());
    EXPECT_EQ(WIFEXITED(rc) ? WEXITSTATUS(rc) : -1, 1) << ReadFile(dir / "b.txt");
    EXPECT_EQ(ReadFile(out), before);
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(dir.Path())) names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"a.txt", "b.txt", "zones.gpkg"}));
}

// An atlas on a disc image exports as from its folder; a file that holds no disc is told so.
TEST(AtlasExport, AThemeOnADiscImageExportsAsFromItsFolder)
{
    TempDir dir;
    const fs::path atlas = fs::path(SourceDir()) / "atlas", medium = dir / "medium";
    fs::create_directories(medium / "Themes");
    fs::copy(atlas / "Misc", medium / "Misc", fs::copy_options::recursive);
    fs::copy(atlas / "Themes/Towns", medium / "Themes/Towns", fs::copy_options::recursive);
    if (!MakeImage(medium.string(), dir / "atlas.iso", ImageFormat::JolietRockRidge)) GTEST_SKIP() << "no genisoimage";
    ASSERT_EQ(ExportSample("'Coastal towns' --output '" + (dir / "a.gpkg") + "'", dir / "a.txt", medium.string()), 0);
    ASSERT_EQ(ExportSample("'Coastal towns' --output '" + (dir / "b.gpkg") + "'", dir / "b.txt", dir / "atlas.iso"), 0)
        << ReadFile(dir / "b.txt");
    Dataset folder = OpenVector(dir / "a.gpkg"), image = OpenVector(dir / "b.gpkg");
    ASSERT_TRUE(folder && image && image->GetLayerByName("Towns"));
    EXPECT_GT(folder->GetLayerByName("Towns")->GetFeatureCount(), 100);
    EXPECT_EQ(folder->GetLayerByName("Towns")->GetFeatureCount(), image->GetLayerByName("Towns")->GetFeatureCount());
    const std::string bad = dir.Write("bad.iso", std::string(70000, 'x'));
    EXPECT_EQ(ExportSample("'Coastal towns' --output '" + (dir / "c.gpkg") + "'", dir / "c.txt", bad), 2);
    EXPECT_NE(ReadFile(dir / "c.txt").find("bad.iso cannot be read"), std::string::npos) << ReadFile(dir / "c.txt");
}

// The gazetteer of the sample atlas, as GeoJSON and as CSV, read back through GDAL: its towns
// where they lie, in UTF-8, its seas with their extents; the index is kept in the user's cache.
TEST(AtlasNames, TheGazetteerOfTheSampleAtlasReadsBackThroughGdal)
{
    TempDir dir;
    ::setenv("XDG_CACHE_HOME", (dir / "cache").c_str(), 1);
    const std::string atlas = (fs::path(SourceDir()) / "atlas").string();
    ASSERT_EQ(RunTool("names --cdrom '" + atlas + "' --output '" + dir / "names.geojson" + "'", dir / "a.txt"), 0)
        << ReadFile(dir / "a.txt");
    ASSERT_EQ(RunTool("names --cdrom '" + atlas + "' --format csv --output '" + dir / "names.txt" + "'", dir / "b.txt"), 0);
    EXPECT_EQ(fs::directory_iterator(dir / "cache/corvane")->path().extension(), ".idx");
    fs::copy_file(dir / "names.txt", dir / "names.csv");

    GDALAllRegister();
    for (const char* file : {"names.geojson", "names.csv"}) {
        SCOPED_TRACE(file);
        const char* csv[] = {"X_POSSIBLE_NAMES=longitude", "Y_POSSIBLE_NAMES=latitude", "EMPTY_STRING_AS_NULL=YES",
                             nullptr};
        Dataset ds(static_cast<GDALDataset*>(GDALOpenEx((dir / file).c_str(), GDAL_OF_VECTOR | GDAL_OF_READONLY, nullptr,
                                                        std::string(file).find("csv") != std::string::npos ? csv : nullptr,
                                                        nullptr)));
        ASSERT_TRUE(ds);
        OGRLayer* names = ds->GetLayer(0);
        EXPECT_GT(names->GetFeatureCount(), 1000);
        auto only = [&](const char* filter) {
            names->SetAttributeFilter(filter);
            std::unique_ptr<OGRFeature> f(names->GetNextFeature());
            EXPECT_TRUE(f) << filter;
            EXPECT_FALSE(std::unique_ptr<OGRFeature>(names->GetNextFeature())) << filter;
            return f;
        };
        const auto brest = only("name = 'Brest'");
        ASSERT_TRUE(brest);
        EXPECT_STREQ(brest->GetFieldAsString("source"), "record");
        EXPECT_STREQ(brest->GetFieldAsString("theme"), "Coastal towns");
        const OGRPoint* at = brest->GetGeometryRef()->toPoint();
        EXPECT_NEAR(at->getX(), -4.49, 0.05);
        EXPECT_NEAR(at->getY(), 48.39, 0.05);
        EXPECT_FALSE(brest->IsFieldSetAndNotNull(brest->GetFieldIndex("west")));
        EXPECT_TRUE(only("name = 'G\xC3\xB6teborg'"));
        const auto gulf = only("name = 'Gulf of Bothnia'");
        ASSERT_TRUE(gulf);
        EXPECT_LT(gulf->GetFieldAsDouble("west"), 18.0);
        EXPECT_GT(gulf->GetFieldAsDouble("north"), 65.0);
    }
}
#endif
