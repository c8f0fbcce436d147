#pragma once
// The tiles of a web map tile pyramid of a map: 256 x 256 pixel tiles in Web Mercator, and
// the viewer page of a folder of them (DIR/Z/X/Y.png), which needs no network.
//
// Each tile is drawn by the viewer's plot as a plate carree picture of the tile's longitude
// and latitude band, tall enough for the tile's most stretched row, and then resampled row
// by row into Mercator: each tile row takes the picture row of the latitude at its centre.
// Columns need no resampling, since both projections are linear in longitude. The plot takes
// in a margin round the tile, so that names and symbols that cross a tile's edge are drawn on
// both sides of it. Hatching follows the Web Mercator pixel grid: the columns of the plot are
// those of the tile (the margin is whole patterns wide), and each row is given the pattern row
// of the tile row it becomes.
#include <QImage>

#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace corvane {

constexpr int kTileSize = 256;
// The most tiles one run writes: a share of a pyramid larger than that is refused before any
// is drawn.
constexpr int64_t kMostTiles = 1000000;
// The latitude where the Mercator square of zoom level 0 ends.
constexpr double kMercatorLimit = 85.0511287798066;

struct GeoBox {
    double west = -180, south = -kMercatorLimit, east = 180, north = kMercatorLimit;
};

// Latitude of the northern edge of tile row y at zoom z (y = 2^z: the southern limit).
double TileRowLatitude(int64_t y, int z);
// The tile column or row holding a longitude or latitude at zoom z, clamped to the pyramid.
int64_t TileColumn(double lon, int z);
int64_t TileRow(double lat, int z);
// The box of tile (x, y) at zoom z.
GeoBox TileBox(int z, int64_t x, int64_t y);
// The rows of the plate carree picture of a tile: enough that no Mercator row falls between
// two picture rows (at most 4096).
int PlateCarreeRows(int z, int64_t y);
// Mercator tile row py (0..255) of tile (z, y) as a row of its plate carree picture of rows
// rows.
int SourceRow(int z, int64_t y, int py, int rows);

// How a tile is drawn: the map placed on a plate carree picture of a box, the colour of an
// area of it where that is known without drawing, and the drawing.
struct TilePlot {
    // Places the map on a picture of width x height of the box; false when it cannot be.
    // patternRows gives the hatch and pattern row (0..7) of each picture row: the row of the
    // Web Mercator pixel grid that the picture row becomes in the tile, so that hatching is
    // anchored to that grid and tiles join without seams (see QtCanvas::SetPatternRows).
    std::function<bool(const GeoBox& box, int width, int height, const std::vector<uint8_t>& patternRows)> place;
    // The colour (0xRRGGBB) that an area of the placed map takes, when the map's content tells
    // it before drawing; margins: how far the area must keep from a colouring cell's edge.
    std::function<std::optional<uint32_t>(const GeoBox& area, double marginLon, double marginLat)> known;
    // Draws the placed map into out; false when it could not be drawn.
    std::function<bool(QImage& out)> draw;
};

struct TileJob {
    std::string dir;   // the folder, or the MBTiles file
    int zoomMin = 0, zoomMax = 5;
    GeoBox box;
    std::string title;
};

// Makes the PNG files of tiles, one after the other.
class TileMaker {
public:
    explicit TileMaker(const TilePlot& plot);
    // The PNG file of tile (x, y) of zoom z; known: its colour was known without drawing.
    // False with the reason.
    bool Make(int z, int64_t x, int64_t y, std::string& png, bool& known, std::string& error);

private:
    // The PNG file of a tile of one colour (0xRRGGBB), made once for each colour.
    const std::string& UniformPng(uint32_t rgb);

    const TilePlot& plot_;
    QImage picture_, tile_;
    std::map<uint32_t, std::string> uniform_;
};

// The viewer page of a pyramid: with Leaflet (leaflet.js and leaflet.css beside it) where the
// program was built with Leaflet, else a viewer of its own.
bool TileViewerHasLeaflet();
std::string LeafletViewerPage(const TileJob& job);
std::string TileViewerPage(const TileJob& job);

} // namespace corvane
