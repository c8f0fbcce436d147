#pragma once
// Tiles drawn by several processes at once.
//
// The workers are processes forked once the map is loaded and before anything is drawn. Each
// has its own copy of everything the plot keeps for the whole process (the data location and
// display variables, the print flag, the layer cache, the fonts, its picture and canvas), so
// the plot runs in each exactly as in a single process, with no lock and no shared state, and
// state that the plot gains later cannot race either. The workers take the next tiles from a
// counter they share, and send each tile's PNG file, and every message of the map, to the
// process that started them, which alone writes the output and tells the messages (once, as
// for a single process). A worker dies with the process that started it.
#include "TilePyramid.h"

#include "platform/MessageSink.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace corvane {

// A tile made: its place and its PNG file; known: its colour was known without drawing.
struct TileMade {
    TileKey key;
    std::string png;
    bool known = false;
};

// The messages of the tile plot: told on the sink given, or in a worker sent to the process
// that started it.
class TileMessages : public MessageSink {
public:
    explicit TileMessages(MessageSink& told) : told_(told) {}
    MsgResult Show(MsgKind kind, const std::string& text, MsgButtons buttons) override;
    void Beep() override {}

private:
    friend class TileWorkers;
    MessageSink& told_;
    int pipe_ = -1;   // in a worker: where its messages go
};

// The machine's cores that this process may run on.
int UsableCores();

class TileWorkers {
public:
    // Makes the tile of a place of the work (the pyramid's index); false with the reason.
    using Make = std::function<bool(int64_t index, TileMade& out, std::string& error)>;
    // Takes a tile made, in the process that started the workers; false with the reason ends
    // the work.
    using Take = std::function<bool(const TileMade& tile, std::string& error)>;

    // Makes the tiles of work with jobs processes (one: in this process), handing each to
    // take as it comes, in no fixed order. False with the reason when a tile could not be made
    // or taken, or a worker stopped; the tiles taken before stay taken.
    static bool Run(const std::vector<int64_t>& work, int jobs, TileMessages& messages, const Make& make,
                    const Take& take, std::string& error);
};

} // namespace corvane
