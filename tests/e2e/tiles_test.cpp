// corvane-render --tiles on the sample atlas: the pyramid's tiles, where land and sea fall on
// them in Web Mercator, and the viewer page beside them.
#include "TestUtil.h"

#include <QImage>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <set>

namespace fs = std::filesystem;
using namespace corvane::test;

namespace {

int Render(const std::string& args)
{
    const char* r = std::getenv("CORVANE_RENDER");
    if (!r) return -1;
    const std::string atlas = (fs::path(SourceDir()) / "atlas").string();
    const int rc = std::system(("'" + std::string(r) + "' --cdrom '" + atlas + "' " + args + " >/dev/null 2>&1").c_str());
    return WIFEXITED(rc) ? WEXITSTATUS(rc) : -1;
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
