#include "TilePyramid.h"

#include <algorithm>

namespace corvane {

TilePyramid::TilePyramid(const GeoBox& box, int zoomMin, int zoomMax)
{
    for (int z = zoomMin; z <= zoomMax; ++z) {
        Level l{z, TileColumn(box.west, z), TileColumn(box.east - 1e-9, z), TileRow(box.north - 1e-9, z),
                TileRow(box.south + 1e-9, z), total_};
        levels_.push_back(l);
        total_ += (l.x1 - l.x0 + 1) * l.Rows();
    }
}

TileKey TilePyramid::At(int64_t index) const
{
    // The last level that starts at or before the index.
    auto l = std::upper_bound(levels_.begin(), levels_.end(), index,
                              [](int64_t i, const Level& level) { return i < level.first; });
    if (l == levels_.begin()) return {};
    --l;
    const int64_t within = index - l->first;
    return {l->z, l->x0 + within / l->Rows(), l->y0 + within % l->Rows()};
}

std::string TilePyramid::TooManyTiles(const TileShard& shard) const
{
    const int64_t share = shard.CountOf(total_);
    if (share <= kMostTiles) return {};
    const int64_t shards = (total_ + kMostTiles - 1) / kMostTiles;
    const std::string most = std::to_string(kMostTiles);
    if (shard.n == 1)
        return "the pyramid would hold " + std::to_string(total_) + " tiles, more than the " + most +
               " one run writes: take fewer zoom levels or a smaller --bbox, or share it out with --shard K/N over at least " +
               std::to_string(shards) + " runs";
    return "shard " + std::to_string(shard.k) + "/" + std::to_string(shard.n) + " would hold " + std::to_string(share) +
           " of the pyramid's " + std::to_string(total_) + " tiles, more than the " + most +
           " one run writes: share it out over at least " + std::to_string(shards) + " shards";
}

} // namespace corvane
