#include "layers/RunLength.h"

#include "platform/Rounding.h"

#include <algorithm>
#include <stdexcept>

namespace corvane {

void EncodeRun(std::vector<uint8_t>& out, RunCoding coding, int code, int32_t length)
{
    if (length < 1 || length > coding.TwoByteMax() || code < 0 || code > coding.MaxCode())
        throw std::invalid_argument("run-length layer: run outside its coding");
    const auto head = static_cast<uint8_t>(code << coding.lengthBits);
    if (length <= coding.OneByteMax()) {
        out.push_back(static_cast<uint8_t>(head | length));
    } else {
        out.push_back(static_cast<uint8_t>(0x80 | head | (length >> 8)));
        out.push_back(static_cast<uint8_t>(length & 0xFF));
    }
}

RunGrid RunGrid::Of(const HdrRec& h)
{
    RunGrid g;
    if (h.GridCellSize <= 0 || h.HPrecision <= 0 || h.VPrecision <= 0) return g;
    const int64_t nx = Round(static_cast<double>(h.GridCellSize) / h.HPrecision);
    const int64_t ny = Round(static_cast<double>(h.GridCellSize) / h.VPrecision);
    if (nx < 1 || ny < 1 || nx > kMaxRunGridUnits || ny > kMaxRunGridUnits) return g;
    g.ngridx = nx;
    g.ngridy = ny;
    g.dividex = 1 / ((static_cast<double>(h.GridCellSize) / static_cast<double>(nx)) * 0.000001);
    g.dividey = 1 / ((static_cast<double>(h.GridCellSize) / static_cast<double>(ny)) * 0.000001);
    return g;
}

// ---- RunBlocks -------------------------------------------------------------------------------

bool RunBlocks::Start(int64_t pos)
{
    if (pos < 0) return false;
    const int64_t block = pos / kRunBlockSize;
    if (!layer_.Seek(block)) return false;
    ReadBlock(block);
    RLoffset = static_cast<int32_t>(pos % kRunBlockSize);
    return true;
}

void RunBlocks::ReadBlock(int64_t b)
{
    // Not charged as work: the runs decoded from the block are.
    if (!layer_.Seek(b) || !layer_.iFile.TryRead(R_L_C, sizeof R_L_C)) layer_.iFile.Fail();
    R_L_C_block = b;
}

void RunBlocks::Read()
{
    const int64_t at = layer_.iFile.Pos();
    layer_.iFile.Read(R_L_C, sizeof R_L_C);
    R_L_C_block = at / kRunBlockSize;
}

void RunBlocks::Advance(bool fetch)
{
    ++RLoffset;
    if (RLoffset >= kRunBlockSize && fetch) {
        ReadBlock(R_L_C_block + 1);
        RLoffset = 0;
    }
}

void RunBlocks::StepBack(const Run& run)
{
    const int64_t pos = R_L_C_block * kRunBlockSize + RLoffset - 1 - (run.twoByte ? 1 : 0);
    if (pos < 0) return;
    const int64_t block = pos / kRunBlockSize;
    if (block != R_L_C_block) ReadBlock(block);
    RLoffset = static_cast<int32_t>(pos % kRunBlockSize);
}

// ---- RunCellWalk -----------------------------------------------------------------------------

namespace {
constexpr int64_t kMostKeptEdges = 4096;
constexpr int64_t kMostKeptEdgesPerGridRow = 1024;
}

RunCellWalk::RunCellWalk(GenMapObj& layer, const DrawContext& ctx, const RunGrid& grid)
    : layer_(layer), ctx_(ctx), grid_(grid)
{
    if (grid.ngridx < kMostKeptEdges) columnEdges_.resize(static_cast<size_t>(grid.ngridx + 1));
    if (grid.ngridy < kMostKeptEdges) rowEdges_.resize(static_cast<size_t>(grid.ngridy + 1));
    if (grid.ngridy < kMostKeptEdgesPerGridRow) gridRowEdges_.resize(kMaxGridCells);
}

void RunCellWalk::EnterCell(double lobase, double labase, int32_t gridRow)
{
    if (columnCell_ == 0 || lobase != lobase_) ++columnCell_;
    if (gridRow >= 0 && gridRow < static_cast<int32_t>(gridRowEdges_.size())) {
        std::vector<Edge>& edges = gridRowEdges_[static_cast<size_t>(gridRow)];
        if (edges.empty()) edges.resize(static_cast<size_t>(grid_.ngridy + 1));
        rows_ = &edges;
        rowStamp_ = 1;   // the row's edges, once worked out, hold for the whole walk
    } else {
        if (rowCell_ == 0 || labase != labase_) ++rowCell_;
        rows_ = &rowEdges_;
        rowStamp_ = rowCell_;
    }
    lobase_ = lobase;
    labase_ = labase;
    row_ = col_ = 0;
}

void RunCellWalk::SkipSouthernRows(RunBlocks& blocks, RunCoding coding, double minLat, double unitRow)
{
    const double below = minLat - labase_;
    if (!(unitRow > 0.0) || !(below > unitRow)) return;
    const int64_t skip = Trunc(below / unitRow);
    Run last;
    int64_t moved = -1;
    while (row_ < skip && !Covered()) {
        last = blocks.Decode(coding);
        moved = Place(last.length, false, [](const RunBar&) {});
        blocks.Advance(!Covered());
    }
    if (moved < 0) return;
    // Back to the start of the last run: it may reach into the first visible row.
    blocks.StepBack(last);
    col_ -= moved % grid_.ngridx;
    row_ -= moved / grid_.ngridx;
    if (col_ < 0) {
        col_ += grid_.ngridx;
        --row_;
    }
}

namespace {

// Far enough outside any canvas to change no pixel, near enough that the figure's own
// arithmetic (right + 2, a print offset) cannot overflow.
constexpr int64_t kFarPixel = int64_t{1} << 28;
constexpr int64_t kFarValue = int64_t{1} << 40;

int64_t Near(int64_t v) { return std::clamp(v, -kFarValue, kFarValue); }
int32_t Pixel(int64_t v) { return static_cast<int32_t>(std::clamp(v, -kFarPixel, kFarPixel)); }

} // namespace

// maxLonToScreen and maxLatToScreen: the map window's extents over W x H.
int64_t RunCellWalk::NewColumnEdge(int64_t x)
{
    auto at = [&] {
        const double lon = static_cast<double>(x) / grid_.dividex + lobase_;
        return Near(Round((lon - ctx_.MinLon) * static_cast<double>(layer_.W) / ctx_.LonRange));
    };
    if (x < 0 || x >= static_cast<int64_t>(columnEdges_.size())) return at();
    Edge& e = columnEdges_[static_cast<size_t>(x)];
    if (e.cell != columnCell_) e = {columnCell_, at()};
    return e.at;
}

int64_t RunCellWalk::NewRowEdge(int64_t y)
{
    auto at = [&] {
        const double lat = static_cast<double>(y) / grid_.dividey + labase_;
        return int64_t{layer_.H} - Near(Round((lat - ctx_.MinLat) * static_cast<double>(layer_.H) / ctx_.LatRange));
    };
    if (y < 0 || y >= static_cast<int64_t>(rows_->size())) return at();
    Edge& e = (*rows_)[static_cast<size_t>(y)];
    if (e.cell != rowStamp_) e = {rowStamp_, at()};
    return e.at;
}

bool RunCellWalk::Bar(int64_t x1, int64_t y1, int64_t x2, int64_t y2, RunBar& out)
{
    const int64_t W = layer_.W, H = layer_.H;
    int64_t left = ColumnEdge(x1);
    int64_t right = ColumnEdge(x2 + 1);
    int64_t bottom = RowEdge(y1);
    int64_t top = RowEdge(y2 + 1);
    if (adjustment_needed_x) right -= 1;
    if (adjustment_needed_y) bottom += 1;
    if (right < left) right = left;
    if (bottom < 0) fini = true;
    if (left > W || right < 0 || top > H || bottom < 0) return false;
    if (top > bottom) bottom = top;
    const Point offset = layer_.PrintOffset();
    out.left = Pixel(left + offset.x);
    out.right = Pixel(right + offset.x);
    out.top = Pixel(top + offset.y);
    out.bottom = Pixel(bottom + offset.y);
    return true;
}

void LeaveScreenOpaque(const DrawContext& ctx)
{
    Canvas* screen = ctx.screenCanvas ? ctx.screenCanvas : (ctx.Print ? nullptr : &ctx.canvas);
    if (screen) screen->bkMode = BkMode::Opaque;
}

} // namespace corvane
