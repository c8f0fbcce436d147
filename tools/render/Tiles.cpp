#include "Tiles.h"

#include "platform/PngEncoder.h"

#include <QFile>

#include <algorithm>
#include <cmath>
#include <vector>

namespace corvane {

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr int kMaxPlateCarreeRows = 4096;
// Pixels of the plot beyond each side of a tile (the longest label), and rows above and
// below it for every 256 rows of the tile's picture.
constexpr int kTileMargin = 160;
constexpr int kTileMarginRows = 32;
// Hatch patterns are 8 pixels wide: a margin and a tile of whole patterns keep the plot's
// columns on the world's pattern columns.
static_assert(kTileMargin % 8 == 0 && kTileSize % 8 == 0, "tile columns off the pattern grid");
// Pixels an area known to be of one colour keeps from the edges of the cells that colour it
// (whose neighbours may paint a pixel or two beyond their own edges).
constexpr double kKnownMargin = 3;

double Tiles(int z) { return std::ldexp(1.0, z); }

int64_t ClampTile(double v, int z)
{
    const double last = Tiles(z) - 1;
    return static_cast<int64_t>(std::clamp(std::floor(v), 0.0, last));
}

// Latitude at a fraction (0 north edge .. 1 south edge) of the Mercator square.
double MercatorLatitude(double fraction)
{
    return std::atan(std::sinh(kPi * (1 - 2 * fraction))) * 180 / kPi;
}

// The plot of a tile: its band with a margin all round, so that a label or symbol reaching
// over the tile's edge from the next tile is drawn in both. top: the picture row of the
// tile's north edge.
struct PlotBand {
    GeoBox box;
    int width = 0, height = 0, top = 0;
};
PlotBand BandOf(const GeoBox& tile, int rows)
{
    const double unitLon = (tile.east - tile.west) / kTileSize, unitLat = (tile.north - tile.south) / rows;
    const int margin = std::max(1, rows * kTileMarginRows / kTileSize);
    // No further than the poles.
    const int top = std::min(margin, static_cast<int>(std::floor((90 - tile.north) / unitLat)));
    const int bottom = std::min(margin, static_cast<int>(std::floor((tile.south + 90) / unitLat)));
    PlotBand band;
    band.box = {tile.west - kTileMargin * unitLon, tile.south - bottom * unitLat, tile.east + kTileMargin * unitLon,
                tile.north + top * unitLat};
    band.width = kTileSize + 2 * kTileMargin;
    band.height = rows + top + bottom;
    band.top = top;
    return band;
}

// Text of a page, also inside a quoted script string.
std::string HtmlText(const std::string& text)
{
    std::string out;
    for (char c : text) {
        switch (c) {
        case '<': out += "&lt;"; break;
        case '&': out += "&amp;"; break;
        case '\'': out += "&#39;"; break;
        case '\\': out += "&#92;"; break;
        default: out += c;
        }
    }
    return out;
}

} // namespace

double TileRowLatitude(int64_t y, int z) { return MercatorLatitude(static_cast<double>(y) / Tiles(z)); }

int64_t TileColumn(double lon, int z) { return ClampTile((lon + 180) / 360 * Tiles(z), z); }

int64_t TileRow(double lat, int z)
{
    const double phi = std::clamp(lat, -kMercatorLimit, kMercatorLimit) * kPi / 180;
    return ClampTile((1 - std::log(std::tan(phi) + 1 / std::cos(phi)) / kPi) / 2 * Tiles(z), z);
}

GeoBox TileBox(int z, int64_t x, int64_t y)
{
    const double n = Tiles(z);
    return {static_cast<double>(x) / n * 360 - 180, TileRowLatitude(y + 1, z), static_cast<double>(x + 1) / n * 360 - 180,
            TileRowLatitude(y, z)};
}

int PlateCarreeRows(int z, int64_t y)
{
    const GeoBox b = TileBox(z, 0, y);
    const double poleward = std::max(std::abs(b.north), std::abs(b.south)) * kPi / 180;
    const double rows = (b.north - b.south) * kTileSize * Tiles(z) / 360 / std::cos(poleward);
    return static_cast<int>(std::clamp(std::ceil(rows), static_cast<double>(kTileSize), static_cast<double>(kMaxPlateCarreeRows)));
}

int SourceRow(int z, int64_t y, int py, int rows)
{
    const GeoBox b = TileBox(z, 0, y);
    const double lat = MercatorLatitude((static_cast<double>(y) * kTileSize + py + 0.5) / (kTileSize * Tiles(z)));
    const double row = std::floor((b.north - lat) / (b.north - b.south) * rows);
    return static_cast<int>(std::clamp(row, 0.0, static_cast<double>(rows - 1)));
}

TileMaker::TileMaker(const TilePlot& plot) : plot_(plot), tile_(kTileSize, kTileSize, QImage::Format_RGB32) {}

const std::string& TileMaker::UniformPng(uint32_t rgb)
{
    auto it = uniform_.find(rgb);
    if (it == uniform_.end()) {
        const std::vector<uint32_t> pixels(static_cast<size_t>(kTileSize) * kTileSize, 0xFF000000u | rgb);
        std::string png;
        EncodePng(kTileSize, kTileSize, pixels.data(), kTileSize, png);
        it = uniform_.emplace(rgb, std::move(png)).first;
    }
    return it->second;
}

bool TileMaker::Make(int z, int64_t x, int64_t y, std::string& png, bool& known, std::string& error)
{
    const std::string name = std::to_string(z) + "/" + std::to_string(x) + "/" + std::to_string(y);
    const int rows = PlateCarreeRows(z, y);
    const GeoBox area = TileBox(z, x, y);
    const PlotBand band = BandOf(area, rows);
    // Each picture row that a tile row takes carries the pattern row of that tile row (tile
    // rows start on whole patterns of the world's grid).
    std::vector<uint8_t> patternRows(static_cast<size_t>(band.height));
    for (int r = 0; r < band.height; ++r) patternRows[static_cast<size_t>(r)] = static_cast<uint8_t>((r - band.top) & 7);
    for (int py = 0; py < kTileSize; ++py)
        patternRows[static_cast<size_t>(band.top + SourceRow(z, y, py, rows))] = static_cast<uint8_t>(py & 7);
    if (!plot_.place(band.box, band.width, band.height, patternRows)) {
        error = "tile " + name + " could not be drawn";
        return false;
    }
    // A tile of one colour that the map's cells tell is not drawn. Its bytes are those of the
    // same tile drawn: the same picture through the same encoder.
    const double unitLon = (area.east - area.west) / kTileSize, unitLat = (area.north - area.south) / rows;
    if (const std::optional<uint32_t> colour = plot_.known(area, kKnownMargin * unitLon, kKnownMargin * unitLat)) {
        png = UniformPng(*colour);
        known = true;
        return true;
    }
    known = false;
    if (!plot_.draw(picture_) || picture_.width() != band.width || picture_.height() != band.height) {
        error = "tile " + name + " could not be drawn";
        return false;
    }
    {
        const QImage source = picture_.convertToFormat(QImage::Format_RGB32);
        for (int py = 0; py < kTileSize; ++py)
            std::copy_n(reinterpret_cast<const QRgb*>(source.constScanLine(band.top + SourceRow(z, y, py, rows))) +
                            kTileMargin,
                        kTileSize, reinterpret_cast<QRgb*>(tile_.scanLine(py)));
    }
    // Not kept: the next plot would copy the whole picture before drawing on it.
    picture_ = QImage();
    png.clear();
    if (!EncodePng(kTileSize, kTileSize, reinterpret_cast<const uint32_t*>(tile_.constBits()),
                   static_cast<size_t>(tile_.bytesPerLine()) / sizeof(uint32_t), png)) {
        error = "tile " + name + " could not be encoded";
        return false;
    }
    return true;
}

bool TileViewerHasLeaflet() { return QFile::exists(":/leaflet/leaflet.js") && QFile::exists(":/leaflet/leaflet.css"); }

std::string LeafletViewerPage(const TileJob& job)
{
    auto num = [](double v) { return QString::number(v, 'f', 6).toStdString(); };
    const std::string zooms = "minZoom: " + std::to_string(job.zoomMin) + ", maxZoom: " + std::to_string(job.zoomMax);
    return R"(<!DOCTYPE html>
<html><head><meta charset="utf-8"><title>)" + HtmlText(job.title) + R"(</title>
<link rel="stylesheet" href="leaflet.css"><script src="leaflet.js"></script>
<style>html,body,#map{margin:0;height:100%;background:#ccc}</style></head>
<body><div id="map"></div>
<script>
// Tiles Z/X/Y.png beside this page; only those of the box are asked for.
const bounds = L.latLngBounds([)" + num(job.box.south) + ", " + num(job.box.west) + "], [" + num(job.box.north) +
           ", " + num(job.box.east) + R"(]);
const map = L.map('map', {)" + zooms + R"(});
L.tileLayer('{z}/{x}/{y}.png', {)" + zooms + R"(, bounds: bounds, attribution: ')" + HtmlText(job.title) + R"('}).addTo(map);
map.fitBounds(bounds);
</script></body></html>
)";
}

std::string TileViewerPage(const TileJob& job)
{
    auto num = [](double v) { return QString::number(v, 'f', 6).toStdString(); };
    const std::string title = HtmlText(job.title);
    return R"(<!DOCTYPE html>
<html><head><meta charset="utf-8"><title>)" + title + R"(</title>
<style>html,body{margin:0;height:100%;overflow:hidden;font:13px sans-serif}
#map{position:absolute;inset:0;background:#ccc;cursor:grab}#map img{position:absolute;width:256px;height:256px;user-select:none}
#bar{position:absolute;top:8px;left:8px;z-index:2;background:#fff;padding:4px;border:1px solid #888}
#bar button{width:28px}</style></head>
<body><div id="map"></div><div id="bar"><button id="in">+</button> <button id="out">&minus;</button> <span id="zoom"></span></div>
<script>
// Tiles Z/X/Y.png beside this page, zoom levels )" + std::to_string(job.zoomMin) + "-" + std::to_string(job.zoomMax) + R"(.
const minZoom = )" + std::to_string(job.zoomMin) + ", maxZoom = " + std::to_string(job.zoomMax) + R"(;
const box = {west: )" + num(job.box.west) + ", south: " + num(job.box.south) + ", east: " + num(job.box.east) +
           ", north: " + num(job.box.north) + R"(};
const map = document.getElementById('map');
function worldX(lon, z) { return (lon + 180) / 360 * 256 * 2 ** z; }
function worldY(lat, z) { const s = Math.sin(lat * Math.PI / 180); return (0.5 - Math.log((1 + s) / (1 - s)) / (4 * Math.PI)) * 256 * 2 ** z; }
let zoom = minZoom;
while (zoom < maxZoom && worldX(box.east, zoom + 1) - worldX(box.west, zoom + 1) <= map.clientWidth &&
       worldY(box.south, zoom + 1) - worldY(box.north, zoom + 1) <= map.clientHeight) zoom++;
let cx = (worldX(box.west, zoom) + worldX(box.east, zoom)) / 2, cy = (worldY(box.north, zoom) + worldY(box.south, zoom)) / 2;
const shown = new Map();
function draw() {
  document.getElementById('zoom').textContent = 'zoom ' + zoom;
  const w = map.clientWidth, h = map.clientHeight, n = 2 ** zoom, left = cx - w / 2, top = cy - h / 2, wanted = new Set();
  for (let x = Math.floor(left / 256); x * 256 < left + w; x++)
    for (let y = Math.max(0, Math.floor(top / 256)); y * 256 < top + h && y < n; y++) {
      if (x < 0 || x >= n) continue;
      const key = zoom + '/' + x + '/' + y;
      wanted.add(key);
      let img = shown.get(key);
      if (!img) {
        img = document.createElement('img');
        img.onerror = () => { img.style.visibility = 'hidden'; };
        img.src = key + '.png';
        img.draggable = false;
        map.appendChild(img);
        shown.set(key, img);
      }
      img.style.left = Math.round(x * 256 - left) + 'px';
      img.style.top = Math.round(y * 256 - top) + 'px';
    }
  for (const [key, img] of shown) if (!wanted.has(key)) { img.remove(); shown.delete(key); }
}
function zoomTo(z, px, py) {
  z = Math.max(minZoom, Math.min(maxZoom, z));
  if (z === zoom) return;
  const f = 2 ** (z - zoom), w = map.clientWidth, h = map.clientHeight;
  const wx = cx - w / 2 + px, wy = cy - h / 2 + py;
  cx = wx * f - px + w / 2; cy = wy * f - py + h / 2; zoom = z; draw();
}
let drag = null;
map.addEventListener('mousedown', e => { drag = {x: e.clientX, y: e.clientY}; map.style.cursor = 'grabbing'; });
window.addEventListener('mouseup', () => { drag = null; map.style.cursor = 'grab'; });
window.addEventListener('mousemove', e => {
  if (!drag) return;
  cx -= e.clientX - drag.x; cy -= e.clientY - drag.y; drag = {x: e.clientX, y: e.clientY}; draw();
});
map.addEventListener('wheel', e => { e.preventDefault(); zoomTo(zoom + (e.deltaY < 0 ? 1 : -1), e.clientX, e.clientY); });
map.addEventListener('dblclick', e => zoomTo(zoom + 1, e.clientX, e.clientY));
document.getElementById('in').onclick = () => zoomTo(zoom + 1, map.clientWidth / 2, map.clientHeight / 2);
document.getElementById('out').onclick = () => zoomTo(zoom - 1, map.clientWidth / 2, map.clientHeight / 2);
window.addEventListener('resize', draw);
draw();
</script></body></html>
)";
}

} // namespace corvane
