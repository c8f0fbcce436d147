#pragma once
// The tiles of a pyramid in one fixed order, and the share of them that one run draws.
//
// The order: zoom level by zoom level from the lowest, within a level column by column from
// the west, within a column row by row from the north. A pyramid is shared out over N runs
// by that order, tile i going to shard i mod N, so that every shard holds the same number of
// tiles (give or take one) of every zoom level and of every part of the map, and the shards
// together are the whole pyramid, each tile in exactly one of them.
#include "Tiles.h"

#include <cstdint>
#include <string>
#include <vector>

namespace corvane {

struct TileKey {
    int z = 0;
    int64_t x = 0, y = 0;
    bool operator==(const TileKey& o) const { return z == o.z && x == o.x && y == o.y; }
};

// One run's share of a pyramid: shard k (0-based) of n.
struct TileShard {
    int64_t k = 0, n = 1;
    // The tiles of the share in a pyramid of total tiles.
    int64_t CountOf(int64_t total) const { return total > k ? (total - k + n - 1) / n : 0; }
    // The pyramid's index of the share's i-th tile.
    int64_t IndexOf(int64_t i) const { return k + i * n; }
};

class TilePyramid {
public:
    // The tiles of every zoom level from zoomMin to zoomMax that touch the box (a box edge on
    // a tile edge takes in no tile beyond it).
    TilePyramid(const GeoBox& box, int zoomMin, int zoomMax);

    int64_t Count() const { return total_; }
    // The tile at a place of the order (0 .. Count() - 1).
    TileKey At(int64_t index) const;

    // Why the share cannot be drawn by one run (more than kMostTiles tiles), with how many
    // shards would do; empty when it can.
    std::string TooManyTiles(const TileShard& shard) const;

private:
    struct Level {
        int z;
        int64_t x0, x1, y0, y1;
        int64_t first;   // the order's index of the level's first tile
        int64_t Rows() const { return y1 - y0 + 1; }
    };
    std::vector<Level> levels_;
    int64_t total_ = 0;
};

} // namespace corvane
