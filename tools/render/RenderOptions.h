#pragma once
// The command line of corvane-render:
//   corvane-render [--cdrom DIR] [--datalist FILE] [--size WxH] [--settings FILE] [--strict]
//                  [--page portrait|landscape] [--page-size NAME]
//                  [MAP.MDF] --output OUT.{png,bmp,pdf} [[MAP.MDF] --output OUT.{png,bmp,pdf}]...
//   corvane-render [...] [MAP.MDF] --tiles {DIR | OUT.mbtiles} [--zooms Z1-Z2] [--bbox W,S,E,N]
//                  [--jobs N] [--shard K/N] [--resume]
//   corvane-render [--strict] --merge OUT.mbtiles PART.mbtiles...
//   corvane-render [...] --find NAME [MAP.MDF] --output OUT: the map centred on the first
//   place of the atlas that the place search finds for NAME
// Options take their value as the next argument or after "=". Each map and its --output after
// the first are one more picture drawn by the same process, with the same options.
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace corvane {

enum class OutputKind { Png, Bmp, Pdf };

// One picture to draw: a map definition (empty: a new map) and the file to write.
struct RenderJob {
    std::string mapFile;
    std::string output;
    OutputKind kind = OutputKind::Png;
};

struct RenderOptions {
    std::string mapFile;                  // empty: a new map
    std::optional<std::string> cdrom;     // overrides "Files"/"CDROM"
    std::optional<std::string> datalist;  // overrides "Files"/"Data List"
    std::optional<std::string> settings;  // the settings file to read (else the defaults)
    int32_t width = 1024, height = 768;   // the map picture (client area)
    std::string output;
    OutputKind kind = OutputKind::Png;
    bool help = false;
    bool version = false;
    bool strict = false;                  // a message shown makes a written picture exit 3
    std::vector<RenderJob> more;          // the pictures after the first, in order
    std::string find;                     // centre the pictures on the place of this name (UTF-8)
    // The page of a PDF: "portrait" or "landscape" (empty: the one the map's shape fills
    // best) and the paper's name (empty: the default paper).
    std::string page;
    std::string pageSize;
    // A web map tile pyramid instead of one picture: its folder, zoom levels and box
    // (degrees; none: the map's own box).
    std::string tiles;
    int zoomMin = 0, zoomMax = 5;
    std::optional<std::array<double, 4>> bbox;   // west, south, east, north
    // The tile work: processes drawing at once (0: one for each core), this run's share of
    // the pyramid (shard shardIndex of shardCount), and whether tiles already written are kept.
    int jobs = 0;
    int64_t shardIndex = 0, shardCount = 1;
    bool resume = false;
    // Joining the MBTiles files of shards: the file to write and the parts.
    std::string merge;
    std::vector<std::string> mergeParts;
};

// The most processes --jobs starts, and the most shards --shard shares a pyramid out to.
constexpr int kMaxTileJobs = 256;
constexpr int64_t kMaxTileShards = 1000000;

// The deepest zoom level of a tile pyramid.
constexpr int kMaxTileZoom = 18;

// Exit status of a picture written while messages were shown, with --strict.
constexpr int kExitStrictMessages = 3;

// The largest picture side accepted by --size.
constexpr int32_t kMaxPictureSide = 32767;

// Parses the arguments after the program name; false with a reason on a bad command line.
bool ParseRenderOptions(const std::vector<std::string>& args, RenderOptions& options, std::string& error);

std::string RenderUsage();

} // namespace corvane
