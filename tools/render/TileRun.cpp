#include "TileRun.h"

#include <chrono>
#include <cmath>
#include <unistd.h>

namespace corvane {

namespace {

// "1:02:03" or "2:03".
std::string Duration(double seconds)
{
    const long s = std::lround(std::max(0.0, seconds));
    char text[32];
    if (s >= 3600)
        std::snprintf(text, sizeof text, "%ld:%02ld:%02ld", s / 3600, s / 60 % 60, s % 60);
    else
        std::snprintf(text, sizeof text, "%ld:%02ld", s / 60, s % 60);
    return text;
}

// On a terminal, one line rewritten four times a second; elsewhere (the log of a batch job), a
// line a minute, the last line of the run saying the rest.
class Progress {
public:
    Progress(std::FILE* out, int64_t total) : out_(out), terminal_(out && ::isatty(::fileno(out))), total_(total) {}
    ~Progress()
    {
        if (out_ && shown_ && terminal_) std::fputc('\n', out_);
    }

    void Done(int64_t done)
    {
        if (!out_ || (!terminal_ && done == total_)) return;
        const auto now = std::chrono::steady_clock::now();
        const auto every = terminal_ ? std::chrono::milliseconds(250) : std::chrono::milliseconds(60000);
        if (done != total_ && now - last_ < every) return;
        last_ = now;
        const double s = std::chrono::duration<double>(now - started_).count();
        const double rate = s > 0 ? static_cast<double>(done) / s : 0.0;
        std::fprintf(out_, "%stiles %lld / %lld, %.1f a second, %s left%s", terminal_ ? "\r" : "",
                     static_cast<long long>(done), static_cast<long long>(total_), rate,
                     rate > 0 ? Duration(static_cast<double>(total_ - done) / rate).c_str() : "?",
                     terminal_ ? "   " : "\n");
        std::fflush(out_);
        shown_ = true;
    }

private:
    std::FILE* out_;
    bool terminal_;
    int64_t total_;
    bool shown_ = false;
    const std::chrono::steady_clock::time_point started_ = std::chrono::steady_clock::now();
    // A terminal shows the first tile at once; a log's first line comes after a minute.
    std::chrono::steady_clock::time_point last_ = terminal_ ? std::chrono::steady_clock::time_point{} : started_;
};

} // namespace

bool RenderPyramid(const TileJob& job, const TileRunOptions& options, const TilePlot& plot, TileMessages& messages,
                   std::FILE* progress, TileRunCounts& counts, std::string& error)
{
    const TilePyramid pyramid(job.box, job.zoomMin, job.zoomMax);
    error = pyramid.TooManyTiles(options.shard);
    if (!error.empty()) return false;
    TileSetInfo info;
    // The map file's name without its extension.
    const size_t dot = job.title.find_last_of('.');
    info.name = dot == std::string::npos || dot == 0 ? job.title : job.title.substr(0, dot);
    info.attribution = options.attribution;
    info.bounds = job.box;
    info.zoomMin = job.zoomMin;
    info.zoomMax = job.zoomMax;
    info.shard = options.shard;
    std::unique_ptr<TileStore> store = OpenTileStore(job, info, options.resume, error);
    if (!store) return false;

    // The share's tiles, less those already written.
    std::vector<int64_t> work;
    const int64_t share = options.shard.CountOf(pyramid.Count());
    for (int64_t i = 0; i < share; ++i) {
        const int64_t index = options.shard.IndexOf(i);
        if (options.resume && store->Has(pyramid.At(index)))
            ++counts.there;
        else
            work.push_back(index);
    }

    Progress shown(progress, static_cast<int64_t>(work.size()));
    TileMaker maker(plot);
    const auto make = [&](int64_t index, TileMade& tile, std::string& why) {
        tile.key = pyramid.At(index);
        return maker.Make(tile.key.z, tile.key.x, tile.key.y, tile.png, tile.known, why);
    };
    const auto take = [&](const TileMade& tile, std::string& why) {
        if (!store->Put(tile.key, tile.png, why)) return false;
        ++counts.written;
        counts.known += tile.known;
        shown.Done(counts.written);
        return true;
    };
    if (!TileWorkers::Run(work, options.jobs, messages, make, take, error)) {
        store->Abandon();
        return false;
    }
    return store->Finish(error);
}

} // namespace corvane
