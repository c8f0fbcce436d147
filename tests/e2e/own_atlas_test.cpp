// An atlas of one's own, made as tools/atlas/README.md tells: invented islands (one with a
// lagoon), ferry lines and towns from GeoJSON (tests/data/atlas/isles.geojson), built with
// corvane-atlas at several cell sizes, drawn by corvane-render --strict, and exported back.
#ifdef CORVANE_ATLAS_TOOL
#include "AtlasFixture.h"

#include <gdal_priv.h>
#include <ogrsf_frmts.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <map>
#include <memory>
#include <sys/wait.h>

namespace fs = std::filesystem;

namespace corvane::test {
namespace {

// The map's box is shaped as its square picture at its latitude, so that it is drawn as given.
const char* kIslesDesc = R"([atlas]
title = The Isles
[layer islands]
type = polygons-info
source = isles.geojson
where = kind = 'island'
output = Themes/Isles/Islands.Pol
region = -30 -27 34.5 37
cell = CELL
key = field key
info-kind = 0
info-file = ISLANDS.DAT
info-text = {name}
[layer ferries]
type = vectors
source = isles.geojson
where = kind = 'ferry'
output = Themes/Isles/Ferries.Vec
region = -30 -27 34.5 37
cell = CELL
key = 4
[layer towns]
type = symbols-info
source = isles.geojson
where = kind = 'town'
output = Themes/Isles/Towns.Syx
key = 3
info-kind = 1
info-file = TOWNS.DAT
info-line = 0 {name}
info-line = 1 {population}
info-line = 2 {depth}
[heading The Isles]
level = 1
[theme Isles]
level = 2
master = Themes/Isles/Isles.MAS
extent = 34.5 37 -30 -27
[dataset]
file = islands
[dataset]
file = ferries
[dataset]
file = towns
[key]
type = box
colour = 2
style = 1
text = Island
[key]
type = box
colour = 6
style = 1
text = Small island
[key]
type = symbol
colour = 12
style = 1
text = Town
[key]
type = line
colour = 4
style = 1
text = Ferry
[query-line]
values = yes
action = 2
heading = Town:
[query-line]
action = 2
heading = Population:
[query-line]
action = 2
heading = Harbour depth:
[map Maps/Lagoon.MDF]
extent = 35.3945 36.2055 -29.7 -28.7
window = 600 600
base = Isles
background = #000080
)";

int RunLogged(const std::string& cmd, const std::string& log)
{
    const int rc = std::system((cmd + " > '" + log + "' 2>&1").c_str());
    return WIFEXITED(rc) ? WEXITSTATUS(rc) : -1;
}

struct Closer {
    void operator()(GDALDataset* d) const { GDALClose(d); }
};

} // namespace

TEST(OwnAtlas, LagoonsAreSeaAtEveryCellSizeAndTheExportGivesBackEveryFeature)
{
    const char* renderer = std::getenv("CORVANE_RENDER");
    ASSERT_TRUE(renderer && *renderer) << "CORVANE_RENDER names the renderer";
    TempDir dir;
    WriteCoastlines(dir);   // another atlas's standard coastline, at the fixed places
    const fs::path sources = fs::path(SourceDir()) / "tests/data/atlas";
    const std::string tool = "'" CORVANE_ATLAS_TOOL "'";
    const double side = 400, minLat = 35.3945, latRange = 0.811, minLon = -29.7, lonRange = 1.0;
    auto pixel = [&](const QImage& img, double lat, double lon) {
        const QRgb p = img.pixel(LonToScreen(lon, minLon, lonRange, side), LatToScreen(lat, minLat, latRange, side));
        return RGB(static_cast<uint8_t>(qRed(p)), static_cast<uint8_t>(qGreen(p)), static_cast<uint8_t>(qBlue(p)));
    };
    for (const std::string cell : {"1", "0.5", "0.25"}) {
        std::string text = kIslesDesc;
        for (size_t at; (at = text.find("CELL")) != std::string::npos;) text.replace(at, 4, cell);
        const std::string desc = dir.Write("isles-" + cell + ".desc", text), atlas = dir / ("atlas-" + cell);
        ASSERT_EQ(RunLogged(tool + " build --sources '" + sources.string() + "' --coastline-from '" + dir.Path() + "' --output '" +
                          atlas + "' '" + desc + "'", dir / "build.txt"), 0) << ReadFile(dir / "build.txt");
        const std::string log = ReadFile(dir / "build.txt");
        EXPECT_NE(log.find("4 features, 1 left out (1 outside the region)"), std::string::npos) << log;
        EXPECT_NE(log.find("no key entry for key code 7 (1 feature)"), std::string::npos) << log;
        EXPECT_NE(log.find("coastline: 10 standard coastline files"), std::string::npos) << log;

        ASSERT_EQ(RunLogged("'" + std::string(renderer) + "' --strict --cdrom '" + atlas + "' --size 400x400 '" + atlas +
                          "/Maps/Lagoon.MDF' --output '" + (dir / "map.png") + "'", dir / "render.txt"), 0)
            << cell << ": " << ReadFile(dir / "render.txt");
        QImage img;
        ASSERT_TRUE(img.load(QString::fromStdString(dir / "map.png")));
        EXPECT_EQ(pixel(img, 35.8, -29.18), RGB(0, 0, 128)) << "the lagoon is sea at cells of " << cell;
        EXPECT_EQ(pixel(img, 35.87, -29.47), DOSColour[2]) << "the island is land at cells of " << cell;
        EXPECT_EQ(pixel(img, 35.87, -28.88), DOSColour[2]) << "the island is land at cells of " << cell;
    }

    // Back from the atlas, named by its title and by a path inside it: one feature for every
    // source feature, the lagoon a hole, values typed, every letter kept.
    const std::string atlas = dir / "atlas-0.5", out = dir / "isles.gpkg";
    ASSERT_EQ(RunLogged(tool + " export --cdrom '" + atlas + "' Isles --output '" + out + "'", dir / "export.txt"), 0)
        << ReadFile(dir / "export.txt");
    ASSERT_EQ(RunLogged(tool + " export --cdrom '" + atlas + "' Themes/Isles/Ferries.Vec --output '" + (dir / "f.gpkg") + "'",
                  dir / "ferries.txt"), 0) << ReadFile(dir / "ferries.txt");
    GDALAllRegister();
    std::unique_ptr<GDALDataset, Closer> ds(
        static_cast<GDALDataset*>(GDALOpenEx(out.c_str(), GDAL_OF_VECTOR | GDAL_OF_READONLY, nullptr, nullptr, nullptr)));
    ASSERT_TRUE(ds);
    OGRLayer* islands = ds->GetLayerByName("Islands");
    OGRLayer* ferries = ds->GetLayerByName("Ferries");
    OGRLayer* towns = ds->GetLayerByName("Towns");
    ASSERT_TRUE(islands && ferries && towns);
    EXPECT_EQ(islands->GetFeatureCount(), 4);
    EXPECT_EQ(ferries->GetFeatureCount(), 2);
    EXPECT_EQ(towns->GetFeatureCount(), 4);
    std::map<std::string, int> holes;
    for (OGRFeature* f; (f = islands->GetNextFeature()) != nullptr; OGRFeature::DestroyFeature(f)) {
        const OGRMultiPolygon* mp = f->GetGeometryRef()->toMultiPolygon();
        ASSERT_EQ(mp->getNumGeometries(), 1);
        holes[f->GetFieldAsString("query")] = mp->getGeometryRef(0)->getNumInteriorRings();
    }
    EXPECT_EQ(holes, (std::map<std::string, int>{{"Korrin", 1}, {"Ærø Minor", 0}, {"Vesk", 0}, {"Reef", 0}}));
    OGRFeatureDefn* defn = towns->GetLayerDefn();
    ASSERT_GE(defn->GetFieldIndex("Population"), 0);
    EXPECT_EQ(defn->GetFieldDefn(defn->GetFieldIndex("Population"))->GetType(), OFTInteger64);
    EXPECT_EQ(defn->GetFieldDefn(defn->GetFieldIndex("Harbour depth"))->GetType(), OFTReal);
    std::map<std::string, long long> population;
    for (OGRFeature* f; (f = towns->GetNextFeature()) != nullptr; OGRFeature::DestroyFeature(f))
        population[f->GetFieldAsString("Town")] = f->GetFieldAsInteger64("Population");
    // ø cannot be a value of a headed record (the viewer shows that byte there as a degree sign).
    EXPECT_EQ(population, (std::map<std::string, long long>{
                              {"Æroby", 12500}, {"Skælholm", 830}, {"Vesk Havn", 2140}, {"Œuvre-sur-Mer", 415}}));
}

} // namespace corvane::test
#endif
