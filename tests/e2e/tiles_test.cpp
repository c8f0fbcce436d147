// corvane-render --tiles on the sample atlas: the pyramid's tiles, where land and sea fall on
// them in Web Mercator, and the viewer page beside them; the same pyramid from worker
// processes, from shards joined, in an MBTiles file that GDAL reads, and resumed after a kill.
#include "TestUtil.h"

#include <QImage>

#include <gtest/gtest.h>
#include <sqlite3.h>
#ifdef CORVANE_ATLAS_TOOL
#include <gdal_priv.h>
#endif

#include <algorithm>
#include <chrono>
#include <cmath>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <set>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace fs = std::filesystem;
using namespace corvane::test;

namespace {

// corvane-render with args; its standard output kept in out where it is given.
int Tool(const std::string& args, std::string* out = nullptr)
{
    const char* r = std::getenv("CORVANE_RENDER");
    if (!r) return -1;
    TempDir log;
    const int rc = std::system(("'" + std::string(r) + "' " + args + " >'" + (log / "out") + "' 2>&1").c_str());
    if (out) *out = ReadFile(log / "out");
    return WIFEXITED(rc) ? WEXITSTATUS(rc) : -1;
}

// The same on the sample atlas.
int Render(const std::string& args, std::string* out = nullptr)
{
    return Tool("--cdrom '" + (fs::path(SourceDir()) / "atlas").string() + "' " + args, out);
}

std::string NorthSea() { return "'" + (fs::path(SourceDir()) / "atlas/Maps/NorthSea.MDF").string() + "'"; }

// The first value of a query on an MBTiles file, as text ("" when none).
std::string Query(const fs::path& file, const std::string& sql)
{
    sqlite3* db = nullptr;
    std::string value;
    if (sqlite3_open_v2(file.c_str(), &db, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK) {
        sqlite3_stmt* q = nullptr;
        if (sqlite3_prepare_v2(db, sql.c_str(), -1, &q, nullptr) == SQLITE_OK && sqlite3_step(q) == SQLITE_ROW &&
            sqlite3_column_text(q, 0))
            value = reinterpret_cast<const char*>(sqlite3_column_text(q, 0));
        sqlite3_finalize(q);
    }
    sqlite3_close(db);
    return value;
}

// Every tile of a folder or an MBTiles file: "z/x/y" (rows from the north) and its PNG file.
std::map<std::string, std::string> TilesOf(const fs::path& out)
{
    std::map<std::string, std::string> tiles;
    if (out.extension() == ".mbtiles") {
        sqlite3* db = nullptr;
        if (sqlite3_open_v2(out.c_str(), &db, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK) {
            sqlite3_stmt* q = nullptr;
            sqlite3_prepare_v2(db, "SELECT zoom_level, tile_column, tile_row, tile_data FROM tiles", -1, &q, nullptr);
            while (q && sqlite3_step(q) == SQLITE_ROW) {
                const int z = sqlite3_column_int(q, 0);
                const long long x = sqlite3_column_int64(q, 1), y = (1LL << z) - 1 - sqlite3_column_int64(q, 2);
                const auto* data = static_cast<const char*>(sqlite3_column_blob(q, 3));
                tiles[std::to_string(z) + "/" + std::to_string(x) + "/" + std::to_string(y)] =
                    std::string(data ? data : "", static_cast<size_t>(sqlite3_column_bytes(q, 3)));
            }
            sqlite3_finalize(q);
        }
        sqlite3_close(db);
        return tiles;
    }
    std::error_code ec;
    for (auto e = fs::recursive_directory_iterator(out, ec); !ec && e != fs::recursive_directory_iterator(); e.increment(ec))
        if (e->path().extension() == ".png" && e->path().filename().string()[0] != '.')
            tiles[fs::relative(e->path(), out).replace_extension().string()] = ReadFile(e->path().string());
    return tiles;
}

// Where two pyramids differ: the first tile that only one holds or that they hold with other
// bytes; empty when they are the same.
std::string Difference(const std::map<std::string, std::string>& a, const std::map<std::string, std::string>& b)
{
    for (const auto& [key, png] : a) {
        const auto it = b.find(key);
        if (it == b.end()) return key + " only in the first";
        if (it->second != png) return key + " differs";
    }
    for (const auto& [key, png] : b)
        if (!a.count(key)) return key + " only in the second";
    return {};
}

// The tile of zoom z holding a place, and the pixel in it (spherical Mercator).
struct TilePixel {
    int x, y, px, py;
};
TilePixel At(double lat, double lon, int z)
{
    const double n = 256.0 * (1 << z), pi = std::acos(-1.0), phi = lat * pi / 180;
    const double wx = (lon + 180) / 360 * n, wy = (1 - std::log(std::tan(phi) + 1 / std::cos(phi)) / pi) / 2 * n;
    const int ix = static_cast<int>(wx), iy = static_cast<int>(wy);
    return {ix / 256, iy / 256, ix % 256, iy % 256};
}

QColor PixelAt(const fs::path& dir, double lat, double lon, int z)
{
    const TilePixel t = At(lat, lon, z);
    const QImage img(QString::fromStdString((dir / std::to_string(z) / std::to_string(t.x) / (std::to_string(t.y) + ".png")).string()));
    return img.isNull() ? QColor() : img.pixelColor(t.px, t.py);
}

// The colour of most pixels in the 9 x 9 pixels about a place.
QColor AreaColour(const fs::path& dir, double lat, double lon, int z)
{
    const TilePixel t = At(lat, lon, z);
    const QImage img(QString::fromStdString((dir / std::to_string(z) / std::to_string(t.x) / (std::to_string(t.y) + ".png")).string()));
    if (img.isNull()) return QColor();
    std::map<QRgb, int> counts;
    for (int y = std::max(0, t.py - 4); y <= std::min(255, t.py + 4); ++y)
        for (int x = std::max(0, t.px - 4); x <= std::min(255, t.px + 4); ++x) ++counts[img.pixel(x, y)];
    return QColor(std::max_element(counts.begin(), counts.end(), [](auto& a, auto& b) { return a.second < b.second; })->first);
}

} // namespace

TEST(Tiles, PyramidOfTheWorldHasEveryTileWithLandAndSeaInPlace)
{
    TempDir dir;
    const fs::path out = dir / "tiles";
    ASSERT_EQ(Render("--tiles '" + out.string() + "' --zooms 0-3 --bbox=-180,-85,180,85"), 0);
    size_t tiles = 0;
    for (const auto& e : fs::recursive_directory_iterator(out))
        if (e.path().extension() == ".png") {
            ++tiles;
            EXPECT_EQ(QImage(QString::fromStdString(e.path().string())).size(), QSize(256, 256)) << e.path();
        }
    EXPECT_EQ(tiles, 1u + 4 + 16 + 64);
    EXPECT_TRUE(fs::exists(out / "3/7/7.png"));
    EXPECT_FALSE(fs::exists(out / "3/8"));

    // A new map: black sea, land filled in green.
    const QColor sea(0, 0, 0), land(0, 128, 0);
    // The Indian Ocean between 90 and 107 E, 17 and 41 S: no island there.
    const QImage ocean(QString::fromStdString((out / "3/6/4.png").string()));
    ASSERT_FALSE(ocean.isNull());
    for (int y = 100; y < 256; y += 5)
        for (int x = 0; x < 100; x += 5) ASSERT_EQ(ocean.pixelColor(x, y), sea) << x << "," << y;
    EXPECT_EQ(PixelAt(out, 52, 10, 3), land);     // Lower Saxony
    EXPECT_EQ(PixelAt(out, 61, 9, 3), land);      // central Norway
    EXPECT_EQ(PixelAt(out, 56.5, 3, 3), sea);     // the middle of the North Sea
    EXPECT_EQ(PixelAt(out, 40, -40, 2), sea);     // the Atlantic
}

TEST(Tiles, NorthSeaCoastTilesAndTheirViewer)
{
    TempDir dir;
    const fs::path out = dir / "ns";
    const std::string mdf = (fs::path(SourceDir()) / "atlas/Maps/NorthSea.MDF").string();
    ASSERT_EQ(Render("'" + mdf + "' --tiles '" + out.string() + "' --zooms 6-6"), 0);
    // The coast of the Netherlands at zoom 6: the Veluwe on land, the sea off Texel not, and
    // the Eifel land as well (the colour most pixels about each place have, clear of towns).
    const QColor veluwe = AreaColour(out, 52.2, 5.8, 6), offshore = AreaColour(out, 53.2, 3.5, 6);
    ASSERT_TRUE(veluwe.isValid() && offshore.isValid());
    EXPECT_NE(veluwe, offshore);
    EXPECT_EQ(veluwe, AreaColour(out, 50.3, 6.7, 6));
    // The page shows these tiles from beside them, and fetches nothing else: with Leaflet
    // where the program was built with it, its script and style written beside the page.
    const std::string page = ReadFile((out / "index.html").string());
    if (fs::exists(out / "leaflet.js")) {
        EXPECT_NE(ReadFile((out / "leaflet.js").string()).find("L.tileLayer"), std::string::npos);
        EXPECT_GT(fs::file_size(out / "leaflet.css"), 0u);
        // Its licence goes with it.
        EXPECT_NE(ReadFile((out / "leaflet-LICENSE.txt").string()).find("Agafonkin"), std::string::npos);
        EXPECT_NE(page.find("<script src=\"leaflet.js\"></script>"), std::string::npos);
        EXPECT_NE(page.find("L.tileLayer('{z}/{x}/{y}.png', {minZoom: 6, maxZoom: 6"), std::string::npos);
    } else {
        EXPECT_NE(page.find("img.src = key + '.png'"), std::string::npos);
        EXPECT_NE(page.find("minZoom = 6, maxZoom = 6"), std::string::npos);
    }
    EXPECT_EQ(page.find("http"), std::string::npos);
}

TEST(Tiles, RefusesWhatMakesNoPyramid)
{
    TempDir dir;
    EXPECT_EQ(Render("--tiles '" + (dir / "t") + "' --zooms 3-1"), 2);
    EXPECT_EQ(Render("--tiles '" + (dir / "t") + "' --zooms 0-19"), 2);
    EXPECT_EQ(Render("--tiles '" + (dir / "t") + "' --bbox=10,0,5,1"), 2);
    EXPECT_EQ(Render("--tiles '" + (dir / "t") + "' --output x.png"), 2);
    EXPECT_FALSE(fs::exists(dir / "t"));
    // Zoom 18 of a whole map is far beyond what one run writes: refused before a tile is drawn.
    EXPECT_EQ(Render("--tiles '" + (dir / "t") + "' --zooms 0-18"), 1);
    EXPECT_FALSE(fs::exists(fs::path(dir / "t") / "0"));
}

TEST(Tiles, TheViewerShowsTheTilesInAHeadlessBrowser)
{
    const char* browsers[] = {"chromium", "chromium-browser", "google-chrome"};
    std::string browser;
    for (const char* b : browsers)
        if (browser.empty() && std::system(("command -v " + std::string(b) + " >/dev/null 2>&1").c_str()) == 0) browser = b;
    if (browser.empty()) GTEST_SKIP() << "no headless browser installed";
    TempDir dir;
    const fs::path out = dir / "t";
    ASSERT_EQ(Render("--tiles '" + out.string() + "' --zooms 2-3 --bbox=-10,40,20,60"), 0);
    const std::string dom = dir / "dom.html", log = dir / "browser.txt";
    std::system(("timeout 120 " + browser + " --headless --no-sandbox --disable-gpu --enable-logging=stderr --v=0 "
                 "--virtual-time-budget=3000 --window-size=800,600 --user-data-dir='" + (dir / "profile") +
                 "' --dump-dom 'file://" + (out / "index.html").string() + "' > '" + dom + "' 2> '" + log + "'").c_str());
    const std::string page = ReadFile(dom), messages = ReadFile(log);
    // The page's own script said nothing on the console, and tiles of the pyramid are shown.
    EXPECT_EQ(messages.find(":CONSOLE"), std::string::npos) << messages;
    size_t shown = 0;
    for (size_t at = page.find("<img"); at != std::string::npos; at = page.find("<img", at + 1)) {
        const std::string tag = page.substr(at, page.find('>', at) - at);
        const size_t src = tag.find("src=\"") + 5;
        if (tag.find("hidden") == std::string::npos && fs::exists(out / tag.substr(src, tag.find('"', src) - src))) ++shown;
    }
    EXPECT_GE(shown, 4u) << page;
}

TEST(Tiles, ADamagedFileIsToldOnceForAllTheTiles)
{
    ASSERT_TRUE(std::getenv("CORVANE_RENDER"));
    TempDir dir;
    const fs::path atlas = dir / "atlas", layer = atlas / "Themes/Zones/Zones.Rle";
    fs::copy(fs::path(SourceDir()) / "atlas", atlas, fs::copy_options::recursive);
    fs::resize_file(layer, fs::file_size(layer) / 2);
    const std::string log = dir / "log.txt";
    std::system(("'" + std::string(std::getenv("CORVANE_RENDER")) + "' --cdrom '" + atlas.string() + "' '" +
                 (atlas / "Maps/NorthSea.MDF").string() + "' --tiles '" + (dir / "t") + "' --zooms 0-3 2> '" + log + "'").c_str());
    // Seven tiles, each plotted with the damaged layer, and the damage told once.
    const std::string text = ReadFile(log);
    const size_t first = text.find("Zones.Rle is damaged");
    EXPECT_TRUE(first != std::string::npos && text.find("Zones.Rle is damaged", first + 1) == std::string::npos) << text;
    EXPECT_TRUE(fs::exists(dir / "t/3/4/2.png"));
}

TEST(Tiles, HatchingRunsOnAcrossTileEdges)
{
    // The open North Sea is hatched all over (24 to 200 nautical miles from the coast): at
    // its tiles' edges the hatch, a pattern of 8 pixels, goes on as in one picture of the
    // area, the row (column) 8 pixels across the edge the same as the one before it.
    TempDir dir;
    const fs::path out = dir / "ns";
    const std::string mdf = (fs::path(SourceDir()) / "atlas/Maps/NorthSea.MDF").string();
    ASSERT_EQ(Render("'" + mdf + "' --tiles '" + out.string() + "' --zooms 7-7 --bbox 3,55.5,6,57"), 0);
    const TilePixel t = At(56.5, 3.5, 7);
    auto tile = [&](int x, int y) {
        return QImage(QString::fromStdString((out / "7" / std::to_string(x) / (std::to_string(y) + ".png")).string()))
            .convertToFormat(QImage::Format_RGB32);
    };
    const QImage here = tile(t.x, t.y), below = tile(t.x, t.y + 1), right = tile(t.x + 1, t.y);
    ASSERT_FALSE(here.isNull() || below.isNull() || right.isNull());
    ASSERT_GT(std::set<QRgb>(reinterpret_cast<const QRgb*>(here.constBits()),
                             reinterpret_cast<const QRgb*>(here.constBits()) + 256 * 256).size(), 1u);
    int across = 0, down = 0;
    for (int i = 0; i < 8; ++i)
        for (int k = 0; k < 256; ++k) {
            down += below.pixel(k, i) != here.pixel(k, 248 + i);
            across += right.pixel(i, k) != here.pixel(248 + i, k);
        }
    EXPECT_EQ(down, 0);
    EXPECT_EQ(across, 0);
}

TEST(Tiles, WorkerProcessesAndShardsMakeTheOnePyramidInAFolderOrAnMbtilesFile)
{
    TempDir dir;
    const std::string pyramid = NorthSea() + " --zooms 3-7 --bbox=0,50,10,56";
    ASSERT_EQ(Render(pyramid + " --jobs 1 --tiles '" + (dir / "one") + "'"), 0);
    const auto one = TilesOf(dir / "one");
    ASSERT_GT(one.size(), 20u);
    // Two worker processes, into an MBTiles file: the same tiles, byte for byte.
    const fs::path two = dir / "two.mbtiles";
    ASSERT_EQ(Render(pyramid + " --jobs 2 --tiles '" + two.string() + "'"), 0);
    EXPECT_EQ(Difference(TilesOf(two), one), "");
    EXPECT_EQ(Query(two, "SELECT value FROM metadata WHERE name = 'bounds'"), "0.000000,50.000000,10.000000,56.000000");
    EXPECT_EQ(Query(two, "SELECT value FROM metadata WHERE name = 'minzoom'") + "-" +
                  Query(two, "SELECT value FROM metadata WHERE name = 'maxzoom'"),
              "3-7");
    EXPECT_EQ(Query(two, "SELECT value FROM metadata WHERE name = 'attribution'"),
              "GSHHG 2.3.7 shoreline; GeoNames (CC BY 4.0)");
    // Three shards, each a process of its own: even shares, no tile in two of them, and
    // joined they are the pyramid again.
    std::string parts;
    size_t sum = 0, least = one.size(), most = 0;
    for (int k = 0; k < 3; ++k) {
        const fs::path part = dir / ("part" + std::to_string(k) + ".mbtiles");
        ASSERT_EQ(Render(pyramid + " --jobs 2 --shard " + std::to_string(k) + "/3 --tiles '" + part.string() + "'"), 0);
        const size_t n = TilesOf(part).size();
        sum += n;
        least = std::min(least, n);
        most = std::max(most, n);
        parts += " '" + part.string() + "'";
    }
    EXPECT_EQ(sum, one.size());
    EXPECT_LE(most - least, 1u);
    ASSERT_EQ(Tool("--strict --merge '" + (dir / "all.mbtiles") + "'" + parts), 0);
    EXPECT_EQ(Difference(TilesOf(dir / "all.mbtiles"), one), "");
    // A shard left out is said, and with --strict the status says so; so is a shard whose run
    // stopped before its end.
    EXPECT_EQ(Tool("--strict --merge '" + (dir / "some.mbtiles") + "'" + parts.substr(0, parts.rfind(" '"))), 3);
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open((dir / "part1.mbtiles").c_str(), &db), SQLITE_OK);
    EXPECT_EQ(sqlite3_exec(db, "DELETE FROM map WHERE rowid IN (SELECT rowid FROM map LIMIT 3)", nullptr, nullptr, nullptr),
              SQLITE_OK);
    sqlite3_close(db);
    EXPECT_EQ(Tool("--strict --merge '" + (dir / "short.mbtiles") + "'" + parts), 3);
}

TEST(Tiles, TilesOfOneColourKnownWithoutDrawingAreTheTilesDrawnAndStoredOnce)
{
    TempDir dir;
    // Inland Germany, far from the coast and its towns: most tiles are of the land's colour.
    const std::string pyramid = NorthSea() + " --zooms 10 --bbox=9,50,11,51.2 --jobs 1 --tiles ";
    std::string log;
    ASSERT_EQ(Render(pyramid + "'" + (dir / "known.mbtiles") + "'", &log), 0);
    const size_t known = static_cast<size_t>(std::atol(log.substr(log.find(": ") + 2).c_str()));
    EXPECT_GE(known, 10u) << log;
    const char* drawAll = "CORVANE_DRAW_EVERY_TILE";
    ::setenv(drawAll, "1", 1);
    ASSERT_EQ(Render(pyramid + "'" + (dir / "drawn.mbtiles") + "'", &log), 0);
    ::unsetenv(drawAll);
    EXPECT_NE(log.find(": 0 of one colour known"), std::string::npos) << log;
    const auto tiles = TilesOf(dir / "known.mbtiles");
    EXPECT_EQ(Difference(tiles, TilesOf(dir / "drawn.mbtiles")), "");
    // Each picture is stored once, however many tiles show it.
    EXPECT_EQ(Query(dir / "known.mbtiles", "SELECT COUNT(*) FROM map"), std::to_string(tiles.size()));
    EXPECT_LE(std::stoul(Query(dir / "known.mbtiles", "SELECT COUNT(*) FROM images")), tiles.size() - known + 1);
}

TEST(Tiles, ARunKilledHalfWayIsResumedWithoutDrawingATileTwice)
{
    const char* render = std::getenv("CORVANE_RENDER");
    ASSERT_TRUE(render);
    for (const std::string name : {"folder", "tiles.mbtiles"}) {
        TempDir dir;
        const fs::path out = dir / name;
        const std::string atlas = (fs::path(SourceDir()) / "atlas").string();
        const std::string mdf = (fs::path(SourceDir()) / "atlas/Maps/NorthSea.MDF").string();
        const pid_t pid = ::fork();
        if (pid == 0) {
            ::freopen("/dev/null", "w", stdout);
            ::execl(render, render, "--cdrom", atlas.c_str(), mdf.c_str(), "--zooms", "0-8", "--jobs", "2", "--resume",
                    "--tiles", out.c_str(), static_cast<char*>(nullptr));
            ::_exit(127);
        }
        // Killed once tiles are written (in an MBTiles file, committed).
        const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(120);
        bool ended = false;
        while (TilesOf(out).empty() && std::chrono::steady_clock::now() < until &&
               !(ended = ::waitpid(pid, nullptr, WNOHANG) == pid))
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        ASSERT_FALSE(ended) << name << ": the run ended before a tile was written";
        ::kill(pid, SIGKILL);
        ::waitpid(pid, nullptr, 0);
        const size_t kept = TilesOf(out).size();
        ASSERT_GT(kept, 0u) << name;
        ASSERT_LT(kept, 485u) << name << ": the run ended before it could be stopped";
        std::string log;
        ASSERT_EQ(Render(NorthSea() + " --zooms 0-8 --jobs 2 --resume --tiles '" + out.string() + "'", &log), 0);
        EXPECT_EQ(TilesOf(out).size(), 485u) << name;
        EXPECT_NE(log.find(std::to_string(485 - kept) + " tiles written"), std::string::npos) << name << ": " << log;
        EXPECT_NE(log.find(", " + std::to_string(kept) + " already there"), std::string::npos) << name << ": " << log;
        // Nothing half-written is left behind.
        for (const auto& e : fs::recursive_directory_iterator(dir.Path()))
            EXPECT_NE(e.path().filename().string()[0], '.') << e.path();
        EXPECT_FALSE(fs::exists(out.string() + "-journal"));
    }
}

#ifdef CORVANE_ATLAS_TOOL
TEST(Tiles, GdalReadsTheMbtilesFileWithItsBoundsZoomLevelsAndRows)
{
    TempDir dir;
    const fs::path file = dir / "ns.mbtiles";
    ASSERT_EQ(Render(NorthSea() + " --zooms 2-6 --tiles '" + file.string() + "'"), 0);
    GDALAllRegister();
    struct Closer {
        void operator()(GDALDataset* d) const { GDALClose(d); }
    };
    const std::unique_ptr<GDALDataset, Closer> ds(static_cast<GDALDataset*>(GDALOpen(file.c_str(), GA_ReadOnly)));
    ASSERT_TRUE(ds);
    EXPECT_STREQ(ds->GetDriver()->GetDescription(), "MBTiles");
    EXPECT_STREQ(ds->GetMetadataItem("ZOOM_LEVEL"), "6");
    EXPECT_STREQ(ds->GetMetadataItem("minzoom"), "2");
    // The raster spans the bounds, to a pixel of zoom 6.
    double west, south, east, north;
    ASSERT_EQ(std::sscanf(ds->GetMetadataItem("bounds"), "%lf,%lf,%lf,%lf", &west, &south, &east, &north), 4);
    double gt[6];
    ASSERT_EQ(ds->GetGeoTransform(gt), CE_None);
    const double r = 6378137, pi = std::acos(-1.0), pixel = 360.0 / (256 << 6);
    auto lon = [&](double x) { return x / r * 180 / pi; };
    auto lat = [&](double y) { return std::atan(std::sinh(y / r)) * 180 / pi; };
    EXPECT_NEAR(lon(gt[0]), west, pixel);
    EXPECT_NEAR(lon(gt[0] + gt[1] * ds->GetRasterXSize()), east, pixel);
    EXPECT_NEAR(lat(gt[3]), north, pixel);
    EXPECT_NEAR(lat(gt[3] + gt[5] * ds->GetRasterYSize()), south, pixel);
    // The rows as GDAL reads them: land and sea where the tiles have them (the colour of most
    // pixels about each place, which a fraction of a pixel between the two grids leaves alone).
    const TempDir pngs;
    for (const auto& [key, png] : TilesOf(file)) pngs.Write(key + ".png", png);
    auto gdalColour = [&](double la, double lo) {
        const double x = lo * pi / 180 * r, y = std::log(std::tan(pi / 4 + la * pi / 360)) * r;
        uint8_t rgb[3][81] = {};
        for (int b = 0; b < 3; ++b)
            EXPECT_EQ(ds->GetRasterBand(b + 1)->RasterIO(GF_Read, static_cast<int>((x - gt[0]) / gt[1]) - 4,
                                                          static_cast<int>((y - gt[3]) / gt[5]) - 4, 9, 9, rgb[b], 9, 9,
                                                          GDT_Byte, 0, 0),
                      CE_None);
        std::map<QRgb, int> counts;
        for (int i = 0; i < 81; ++i) ++counts[qRgb(rgb[0][i], rgb[1][i], rgb[2][i])];
        return QColor(std::max_element(counts.begin(), counts.end(), [](auto& a, auto& b) { return a.second < b.second; })->first);
    };
    const QColor land = AreaColour(pngs.Path(), 52.5, 8.5, 6), sea = AreaColour(pngs.Path(), 56.5, 3, 6);
    ASSERT_TRUE(land.isValid() && sea.isValid());
    EXPECT_NE(land, sea);
    EXPECT_EQ(gdalColour(52.5, 8.5), land);   // Lower Saxony
    EXPECT_EQ(gdalColour(56.5, 3), sea);      // the North Sea
}
#endif
