#pragma once
// Where the tiles of a pyramid go: a folder in the XYZ layout (DIR/Z/X/Y.png), or an MBTiles
// file (a name ending in ".mbtiles"), the SQLite database that tile servers and GDAL read.
//
// A folder: each tile is written under a temporary name and renamed, so that a tile file
// exists only when it is whole; the run flushes them all to the disc at its end, and writes
// the viewer page index.html beside them. Runs of several shards may share one folder.
//
// An MBTiles file (version 1.3): the table metadata (name, format png, bounds, center,
// minzoom, maxzoom, attribution, and "shard" K/N for one shard of a pyramid), and the tiles
// with the rows counted from the south (TMS). A picture that several tiles share (open sea,
// inland) is stored once: images holds each picture under an id made from its bytes, map
// names the picture of each tile, and the view tiles joins the two. The file is made under a
// temporary name (removed when the run is stopped by SIGINT, SIGTERM or SIGHUP) and renamed
// into place when it is whole; with resume it is written in place
// and committed every 256 tiles (or two seconds), so that a run killed half-way leaves the tiles it
// committed, and the next run with resume goes on from there.
#include "TilePyramid.h"

#include <memory>
#include <string>
#include <vector>

namespace corvane {

class MessageSink;

// What a pyramid's MBTiles file says of it.
struct TileSetInfo {
    std::string name;
    std::string attribution;
    GeoBox bounds;
    int zoomMin = 0, zoomMax = 0;
    TileShard shard;
};

class TileStore {
public:
    virtual ~TileStore() = default;
    // The tile is there already (from an earlier run, with resume).
    virtual bool Has(const TileKey& key) const = 0;
    // Writes a tile's PNG file; false with the reason.
    virtual bool Put(const TileKey& key, const std::string& png, std::string& error) = 0;
    // Makes what was written whole and lasting; false with the reason.
    virtual bool Finish(std::string& error) = 0;
    // Ends a run that failed: the tiles written stay where a run with resume finds them, and
    // a file made under a temporary name goes.
    virtual void Abandon() {}
};

// A name that stands for an MBTiles file rather than a folder.
bool IsMbtilesName(const std::string& path);

// Opens the pyramid's output: job.dir names the folder or the MBTiles file. With resume, the
// tiles already there are kept (an MBTiles file of another pyramid is refused). Null with the
// reason.
std::unique_ptr<TileStore> OpenTileStore(const TileJob& job, const TileSetInfo& info, bool resume, std::string& error);

// Joins the MBTiles files of a pyramid's shards into one at output, which is written whole or
// not at all. Parts of different pyramids are refused; shards missing or given twice, a part
// with fewer tiles than its shard holds, and parts of different numbers of shards are told on
// sink, and of a tile held by more than one part the first part's is kept. Returns the tiles
// written, or -1 with the reason.
int64_t MergeTileSets(const std::string& output, const std::vector<std::string>& parts, MessageSink& sink,
                      std::string& error);

} // namespace corvane
