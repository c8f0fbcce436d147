#pragma once
// One run of corvane-render --tiles: its share of the pyramid (--shard), less the tiles
// already written (--resume), drawn by --jobs processes into the folder or MBTiles file, with
// the progress.
#include "TileStore.h"
#include "TileWorkers.h"

#include <cstdint>
#include <cstdio>
#include <string>

namespace corvane {

struct TileRunOptions {
    int jobs = 1;            // processes drawing at once
    TileShard shard;         // this run's share
    bool resume = false;     // keep the tiles already written
    std::string attribution; // the sources of the map's themes (MBTiles metadata)
};

struct TileRunCounts {
    int64_t written = 0;     // tiles written by this run
    int64_t known = 0;       // of them, of one colour known without drawing
    int64_t there = 0;       // tiles of the share already written, kept (resume)
};

// Draws and writes the share of the pyramid; false with the reason (the tiles written before
// stay). plot is what each worker draws with; its messages go through messages. Progress
// (tiles done of the run's, tiles a second, the time left) goes to progress: on a terminal as it
// goes, elsewhere a line a minute.
bool RenderPyramid(const TileJob& job, const TileRunOptions& options, const TilePlot& plot, TileMessages& messages,
                   std::FILE* progress, TileRunCounts& counts, std::string& error);

} // namespace corvane
