#pragma once
// What the two run-length raster layers share: the land layer (MonoRLEmap) and the colour
// layer (RLEmap) store each grid cell as a small raster of units, coded as runs that follow
// each other across 512-byte blocks, and draw the runs as bars.
//
// The cell raster: ngridx = round(GridCellSize / HPrecision) unit columns and
// ngridy = round(GridCellSize / VPrecision) unit rows, numbered row by row from the cell's
// south-west corner. One unit spans 1 / dividex degrees of longitude and 1 / dividey of
// latitude, dividex = 1 / ((GridCellSize / ngridx) x 0.000001) (dividey alike).
//
// A run is one byte, or two when bit 7 of the first byte is set. The low bits of the first
// byte are the length (one-byte form) or its high bits (two-byte form, the second byte being
// the low 8 bits); the bits between carry the run's code:
//   land layer:   bit 6 land (1) or sea (0); 6 length bits, one byte up to 63 units;
//   colour layer: bits 2-6 the key code 0..31; 2 length bits, one byte up to 3 units.
// The two-byte form is used exactly when the length does not fit the one-byte form; the
// drawers rely on it when they step back over a run.
#include "layers/DrawContext.h"
#include "layers/MapGen.h"

#include <cstdint>
#include <vector>

namespace corvane {

constexpr int32_t kRunBlockSize = 512;   // the reading unit (RecSize) of both formats

// Most unit columns, and most unit rows, of a cell raster that the drawers accept. A file
// whose header gives more (or fewer than one) cannot be placed and is not drawn.
constexpr int64_t kMaxRunGridUnits = 1 << 20;

// How the bits of a run's first byte are shared between its code and its length.
struct RunCoding {
    int lengthBits;   // bits of the length in the first byte
    int codeBits;     // bits of the code above them (below bit 7)

    int32_t OneByteMax() const { return (1 << lengthBits) - 1; }
    int32_t TwoByteMax() const { return (OneByteMax() << 8) | 0xFF; }
    int MaxCode() const { return (1 << codeBits) - 1; }
};
constexpr RunCoding kLandRuns{6, 1};   // code 1 = land, 0 = sea
constexpr RunCoding kKeyRuns{2, 5};    // code = key code 0..31, 0 = no data

struct Run {
    int code = 0;          // land (1) / sea (0), or the key code
    int32_t length = 0;    // in units
    bool twoByte = false;  // coded on two bytes
};

// Appends the bytes of one run (0 < length <= coding.TwoByteMax(), code within the coding).
void EncodeRun(std::vector<uint8_t>& out, RunCoding coding, int code, int32_t length);

// The cell raster of a header: ngridx, ngridy, dividex, dividey. Valid() is false when a
// side falls outside 1..kMaxRunGridUnits (a damaged or foreign header).
struct RunGrid {
    int64_t ngridx = 0, ngridy = 0;
    double dividex = 0.0, dividey = 0.0;

    static RunGrid Of(const HdrRec& header);
    bool Valid() const { return ngridx >= 1 && ngridy >= 1; }
};

// Reads a run-length layer block by block and decodes its runs: the current 512-byte block
// R_L_C, its number R_L_C_block and the offset RLoffset of the next byte in it. Blocks are
// read in full; a block that cannot be read in full throws LayerIOError. Every byte decoded
// is charged as one unit of the layer's work (LayerFile::Charge), so that index entries
// sharing one long stretch of runs cannot make a drawing decode it once per cell.
class RunBlocks {
public:
    explicit RunBlocks(GenMapObj& layer) : layer_(layer) {}

    // Moves to byte position pos: reads its block and sets the offset. False (nothing read)
    // when the block does not start inside the file.
    bool Start(int64_t pos);
    // Reads block b.
    void ReadBlock(int64_t b);
    // Reads the 512 bytes at the file's current position as a block (Read of the layer
    // contract).
    void Read();
    // Decodes the run at the offset, crossing into the next block for a second byte; leaves
    // the offset on the run's last byte.
    Run Decode(RunCoding coding);
    // Steps past the run's last byte; at the end of the block the next block is fetched only
    // when fetch is true (there are units left in the cell).
    void Advance(bool fetch);
    // Moves back to the first byte of a run decoded and advanced over.
    void StepBack(const Run& run);

    uint8_t R_L_C[kRunBlockSize] = {};
    int64_t R_L_C_block = 0;
    int32_t RLoffset = 0;

private:
    GenMapObj& layer_;
};

// A bar in device pixels, before the figure is drawn: the pixel edges of the units it
// covers, with the adjustments, clipping and print offset applied.
struct RunBar {
    int32_t left = 0, top = 0, right = 0, bottom = 0;
};

// The walk over the visible cells and their runs: the position in the cell raster, the
// cell's edges in degrees and the bars the runs make. The drawer gives the figure (how a bar
// is painted).
class RunCellWalk {
public:
    RunCellWalk(GenMapObj& layer, const DrawContext& ctx, const RunGrid& grid);
    RunCellWalk(const RunCellWalk&) = delete;
    RunCellWalk& operator=(const RunCellWalk&) = delete;

    // A unit being more than half a screen pixel wide (tall) narrows each bar by one pixel on
    // its right (widens it by one at the bottom). The land layer always adjusts.
    bool adjustment_needed_x = true;
    bool adjustment_needed_y = true;
    // Set when a bar lies north of the drawing area: the rest of the column is not drawn.
    bool fini = false;

    // Walks the visible cells of the layer, a column at a time (fini cleared for each): an
    // index entry below firstRunEntry is a whole-cell entry, handed to whole(entry); from it
    // on, the byte position of the cell's runs, which are decoded (the southernmost visible
    // cells from the first visible unit row) and drawn through draw and figure as in RunLoop.
    // A column is left once fini is set; a short read, or the layer's work bound, ends the
    // walk. A cell whose runs start past the end of the file is skipped and the file marked
    // damaged.
    template <class Whole, class Draw, class Figure>
    void DrawCells(RunBlocks& blocks, RunCoding coding, int32_t firstRunEntry, Whole&& whole, Draw&& draw,
                   Figure&& figure);

    // Starts a cell whose west and south edges are lobase and labase (degrees); gridRow, the
    // cell's row in the layer's grid when known, lets the cells of one row share their unit
    // rows' pixel edges.
    void EnterCell(double lobase, double labase, int32_t gridRow = -1);
    // The first visible unit row of the southernmost visible cells: decodes runs without
    // drawing while the row position is below the rows that lie wholly south of the map,
    // then steps back over the last one so that the run loop draws it. unitRow is the unit
    // row height used to count those rows.
    void SkipSouthernRows(RunBlocks& blocks, RunCoding coding, double minLat, double unitRow);
    // Decodes and places runs until the cell is covered or fini is set. draw(run) says
    // whether a run is painted (and sets its style); a painted run becomes up to three bars
    // (rest of its first row, the full rows, start of its last row) handed to figure(bar).
    template <class Draw, class Figure>
    void RunLoop(RunBlocks& blocks, RunCoding coding, Draw&& draw, Figure&& figure);
    // The bar of unit columns x1..x2 and rows y1..y2 of the cell; false when nothing is to be
    // drawn (and fini set when it lies north of the drawing area).
    bool Bar(int64_t x1, int64_t y1, int64_t x2, int64_t y2, RunBar& out);
    // The bar of the whole cell.
    template <class Figure>
    void WholeCell(Figure&& figure)
    {
        RunBar b;
        if (Bar(0, 0, grid_.ngridx - 1, grid_.ngridy - 1, b)) figure(b);
    }

    int64_t Row() const { return row_; }
    int64_t Column() const { return col_; }

private:
    // The screen x of unit column edge x of the cell (lonToScreen of its longitude), and the
    // screen y of unit row edge y. Each is worked out once per cell column (row) and kept.
    struct Edge {
        uint32_t cell = 0;   // the cell column (row) the value is of; 0 none yet
        int64_t at = 0;
    };
    int64_t ColumnEdge(int64_t x)
    {
        if (static_cast<uint64_t>(x) < columnEdges_.size()) {
            const Edge& e = columnEdges_[static_cast<size_t>(x)];
            if (e.cell == columnCell_) return e.at;
        }
        return NewColumnEdge(x);
    }
    int64_t RowEdge(int64_t y)
    {
        if (static_cast<uint64_t>(y) < rows_->size()) {
            const Edge& e = (*rows_)[static_cast<size_t>(y)];
            if (e.cell == rowStamp_) return e.at;
        }
        return NewRowEdge(y);
    }
    int64_t NewColumnEdge(int64_t x);
    int64_t NewRowEdge(int64_t y);
    std::vector<Edge> columnEdges_, rowEdges_;   // empty for grids too fine to keep
    uint32_t columnCell_ = 0, rowCell_ = 0;
    // The unit row edges of each row of the grid (the cells of one row share them), for
    // grids of few enough unit rows; rows_ is the table of the current cell.
    std::vector<std::vector<Edge>> gridRowEdges_;
    std::vector<Edge>* rows_ = &rowEdges_;
    uint32_t rowStamp_ = 0;
    // Moves the position over length units, calling figure for the bars when paint is set;
    // returns the units moved over. Units past the end of the cell are neither drawn nor
    // counted, and a run of length 0 draws nothing.
    template <class Figure>
    int64_t Place(int32_t length, bool paint, Figure&& figure);
    bool Covered() const { return row_ >= grid_.ngridy; }

    GenMapObj& layer_;
    const DrawContext& ctx_;
    RunGrid grid_;
    double lobase_ = 0.0, labase_ = 0.0;
    int64_t row_ = 0, col_ = 0;
};

// Bars of one brush collected as spans for a canvas that fills spans (Canvas::FillsSpans): a
// box on the same pixel rows as the one before that touches or overlaps it joins it. The
// spans go to the canvas at Flush, which the drawer calls before it changes the brush and
// when it is done; a canvas that gathers fills (Canvas::GathersFills) has them all at once.
// On other canvases Active() is false and the drawer draws each bar itself.
class SpanBatch {
public:
    explicit SpanBatch(Canvas& canvas, bool usable = true)
        : canvas_(canvas), on_(usable && canvas.FillsSpans()), gather_(canvas.GathersFills())
    {
    }
    SpanBatch(const SpanBatch&) = delete;
    SpanBatch& operator=(const SpanBatch&) = delete;
    ~SpanBatch() { Flush(); }

    bool Active() const { return on_; }
    void Add(const Rect& box)
    {
        if (Join(spans_, box)) return;
        if (spans_.size() >= kMaxSpans && !gather_) Flush();
        spans_.push_back(box);
    }
    void Flush()
    {
        if (spans_.empty()) return;
        canvas_.FillSpans(spans_);
        spans_.clear();
    }
    // Whether box joins the last of spans (the same rows, touching or overlapping it).
    static bool Join(std::vector<Rect>& spans, const Rect& box)
    {
        if (spans.empty()) return false;
        Rect& last = spans.back();
        if (last.top != box.top || last.bottom != box.bottom || box.left > last.right || box.right < last.left)
            return false;
        if (box.left < last.left) last.left = box.left;
        if (box.right > last.right) last.right = box.right;
        return true;
    }

private:
    static constexpr size_t kMaxSpans = 4096;
    Canvas& canvas_;
    bool on_;
    bool gather_;
    std::vector<Rect> spans_;
};

// The bars of a layer of many brushes on a canvas that gathers fills: each key item's bars
// kept apart until the layer is drawn, then filled one key item at a time, its style set by
// style(k) first. One fill for each key item rather than one for each run.
class KeySpans {
public:
    void Add(int k, const Rect& box)
    {
        if (k < 0 || k > kKeyItems) return;
        std::vector<Rect>& spans = byKey_[static_cast<size_t>(k)];
        if (!SpanBatch::Join(spans, box)) spans.push_back(box);
    }
    template <class Style>
    void Fill(Canvas& canvas, Style&& style)
    {
        for (size_t k = 0; k < byKey_.size(); ++k) {
            if (byKey_[k].empty()) continue;
            style(static_cast<int>(k));
            canvas.FillSpans(byKey_[k]);
            byKey_[k].clear();
        }
    }

private:
    std::vector<std::vector<Rect>> byKey_ = std::vector<std::vector<Rect>>(kKeyItems + 1);
};

// The run-length layers leave the map window's picture canvas with an opaque background mode
// when they finish (also when they drew on the printer); with no window, the canvas drawn on
// when it is the screen picture.
void LeaveScreenOpaque(const DrawContext& ctx);

// ---- inline and template definitions ----------------------------------------------------

inline Run RunBlocks::Decode(RunCoding coding)
{
    if (RLoffset >= kRunBlockSize) {   // never read past the block
        ReadBlock(R_L_C_block + 1);
        RLoffset = 0;
    }
    layer_.iFile.Charge(1);   // one unit of work per byte decoded
    const uint8_t first = R_L_C[RLoffset];
    const int32_t mask = coding.OneByteMax();
    Run run;
    run.code = (first >> coding.lengthBits) & coding.MaxCode();
    run.length = first & mask;
    if (first & 0x80) {
        layer_.iFile.Charge(1);
        Advance(true);
        run.length = (run.length << 8) | R_L_C[RLoffset];
        run.twoByte = true;
    }
    return run;
}

template <class Figure>
int64_t RunCellWalk::Place(int32_t length, bool paint, Figure&& figure)
{
    const int64_t nx = grid_.ngridx;
    const int64_t left = (grid_.ngridy - row_) * nx - col_;   // units left in the cell
    const int64_t placed = length < left ? length : left;
    if (placed <= 0) return 0;
    int64_t L = placed;
    if (!paint) {
        row_ += L / nx;
        col_ += L % nx;
        if (col_ >= nx) {
            col_ -= nx;
            ++row_;
        }
        return placed;
    }
    RunBar b;
    if (col_ + L <= nx) {
        if (Bar(col_, row_, col_ + L - 1, row_, b)) figure(b);
        col_ += L;
    } else {
        if (col_ != 0) {
            if (Bar(col_, row_, nx - 1, row_, b)) figure(b);
            L -= nx - col_;
            col_ = 0;
            ++row_;
        }
        const int64_t full = L / nx;
        if (full > 0) {
            if (Bar(0, row_, nx - 1, row_ + full - 1, b)) figure(b);
            row_ += full;
            L %= nx;
        }
        if (L > 0) {
            if (Bar(col_, row_, col_ + L - 1, row_, b)) figure(b);
            col_ += L;
        }
    }
    if (col_ == nx) {
        col_ = 0;
        ++row_;
    }
    return placed;
}

template <class Whole, class Draw, class Figure>
void RunCellWalk::DrawCells(RunBlocks& blocks, RunCoding coding, int32_t firstRunEntry, Whole&& whole, Draw&& draw,
                            Figure&& figure)
{
    // Rows below the map are counted in the larger unit side, so that the skip never reaches
    // a row that shows (the two sides are the same in files of square units).
    const double unitRow = layer_.R_Precisionx > layer_.R_Precisiony ? layer_.R_Precisionx : layer_.R_Precisiony;
    RunLayerIO([&] {
        layer_.WalkCells(
            [&](int32_t c, int32_t r, int32_t entry) {
                EnterCell(layer_.gridlon[c], layer_.gridlat[r], r);
                if (entry < firstRunEntry) {
                    whole(entry);
                } else if (blocks.Start(entry)) {
                    if (r == layer_.Row_Start) SkipSouthernRows(blocks, coding, ctx_.MinLat, unitRow);
                    RunLoop(blocks, coding, draw, figure);
                } else {
                    layer_.MarkDamaged();
                }
                return fini ? CellWalk::NextColumn : CellWalk::Continue;
            },
            [&](int32_t) { fini = false; });
    });
}

template <class Draw, class Figure>
void RunCellWalk::RunLoop(RunBlocks& blocks, RunCoding coding, Draw&& draw, Figure&& figure)
{
    while (!Covered() && !fini) {
        const Run run = blocks.Decode(coding);
        Place(run.length, draw(run), figure);
        blocks.Advance(!Covered() && !fini);
    }
}

} // namespace corvane
