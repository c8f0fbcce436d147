#pragma once
// Generic layer file access: the part every layer format shares.
//
// A layer file is an 80-byte header (HdrRec), a cell index that splits the file's area into
// a regular latitude/longitude grid of at most 100 x 100 cells (one signed 32-bit entry per
// cell, stored column by column: entry c x NumRows + r for column c west to east and row r
// south to north; 0 = empty cell), and then the records of each cell. GenMapObj opens such
// a file, reads header and index, finds the grid cells inside the current extents, sets up
// the scale from layer units to device pixels (screen or printer page) and turns the key of
// the data set into the colour and style table the drawers use.
//
// The index is addressed by cell, so a drawing needs only the entries of the cells it shows:
// a large index (more than fits in the first 4 kB of the file) is read a part at a time, the
// rows of each visible column when a drawing or search begins, the whole of it when every
// cell is visited; an entry asked for by IndexEntry is read then. What was read is kept with
// the header in the LayerCache for the next drawing of the same file.
//
// A reader of one format derives from GenMapObj and lives for one drawing or search:
//
//   class VECmap : public GenMapObj {
//   public:
//       bool Create(const std::string& Filename) { return OpenLayer(Filename, 4); }
//       void Draw(const DrawContext& ctx, uint8_t Key_Entry_Adjustment, bool UseTopColour)
//       {
//           BeginDraw(ctx);                            // bPrint, limits, grid, plot size
//           RunLayerIO([&] {                           // a short read ends the layer
//               WalkRecordCells([&](int32_t c, int32_t r) {   // origin set, file positioned
//                   uint16_t lat = iFile.ReadU16(), lon = iFile.ReadU16();
//                   Point p = ToDevice(lat, lon);     // includes the print offset
//                   ...
//               });
//           });
//       }
//   };
//
// Reading records: iFile is a sequential reader over the file. Its Read... calls throw
// LayerIOError when a record or block cannot be read in full; RunLayerIO catches it, so the
// drawing of that layer ends there and everything drawn so far stays. Buffers held in local
// objects are released on the way out.
//
// Damaged files. Everything read from the header is bounded before it is used:
//  - NumRows or NumCols outside 1..100: the index is not read, DataOkay is false;
//  - GridCellSize <= 0 or HPrecision <= 0 (and VPrecision <= 0 for the formats that use
//    it): DataOkay is false, since no position could be placed;
//  - an index shorter than NumRows x NumCols entries (a truncated file): DataOkay is false,
//    whether or not the entries of the cells drawn are there;
//  - a negative index entry is an empty cell for every format; an entry whose position lies
//    at or past the end of the file is skipped by WalkRecordCells (Seek fails), and the
//    other cells are still drawn.
// Bounded work. One drawing or search reads at most kWorkPerByte times the file's size (plus
// kWorkFloor) in records, whatever the index says: index entries that all point at one long
// chain of records cannot make a drawing read the file once per cell. A file that asks for
// more is drawn as far as the bound.
// Damaged() tells the caller, after a drawing or search, that the file was found damaged on
// the way (a read came up short, a cell lay past the end of the file, or the bound was
// reached), so that the caller reports it once; what could be drawn is drawn.
// Key codes outside 1..50 after the key adjustment are treated as switched off (KeyItemOff):
// nothing is drawn for them and no table is read outside its bounds.
#include "layers/DrawContext.h"
#include "layers/FeatureVisitor.h"
#include "platform/ByteSource.h"
#include "platform/Canvas.h"

#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>
#include <type_traits>
#include <vector>

namespace corvane {

struct MASStruct;
struct DSDStruct;

// True while a layer is being drawn for the printer. Every Draw sets it from its print flag
// before anything else (BeginDraw does); Setup_PlotSize reads it. It keeps the value of the
// last Draw until the next one.
extern bool bPrint;

// Base half-size of each of the ten symbol shapes.
extern const uint8_t sizes[10];

constexpr int32_t kLayerHeaderSize = 80;
constexpr int32_t kMaxGridCells = 100;   // most rows, and most columns, of a cell grid
constexpr int kKeyItems = 50;            // key items a layer can colour

// The 80-byte header. DatasetID and AssDataFilename hold exactly 12 bytes after reading.
struct HdrRec {
    std::string DatasetID;        // data set identifier (12 characters)
    int32_t LatOrig = 0;          // south edge of row 0, millionths of a degree
    int32_t LonOrig = 0;          // west edge of column 0, millionths of a degree
    int32_t ScaleOrig = 0;        // source map scale denominator (below 1: digital source)
    int32_t GridCellSize = 0;     // side of a cell, millionths of a degree
    int32_t NumRows = 0;          // latitude bands, 1..100
    int32_t NumCols = 0;          // longitude bands, 1..100
    int32_t HPrecision = 0;       // one layer unit, millionths of a degree
    int32_t VPrecision = 0;       // vertical unit of the run-length formats
    int32_t AssDataType = 0;      // type of the associated information file
    std::string AssDataFilename;  // associated information file (12 characters)
    int32_t NotUsed[4] = {0, 0, 0, 0};
    int32_t DateOrig = 0;         // YYYYMMDD, 0 = unknown
};

// A record or block of a layer file that could not be read in full while drawing.
class LayerIOError : public std::runtime_error {
public:
    LayerIOError() : std::runtime_error("layer file read short") {}
};

// Runs one drawing or search step; a LayerIOError inside ends it. Returns false when the
// layer was cut short.
template <class Body>
bool RunLayerIO(Body&& body)
{
    try {
        body();
        return true;
    } catch (const LayerIOError&) {
        return false;
    }
}

// Sequential reader over a layer's byte source, with a small read-ahead so that the many
// small record reads inside a cell do not each reach the file.
//
// Work count. Between StartWork and the end of a drawing every byte that Read and Skip pass
// over is charged against the limit given to StartWork; a charge past it throws LayerIOError
// as a short read does. Failed() tells whether either happened since StartWork. TryRead is
// not charged (the header and index, and the run-length blocks, whose decoding is charged
// run by run).
class LayerFile {
public:
    bool Open(std::unique_ptr<ByteSource> source);
    void Close();
    bool IsOpen() const { return src_ != nullptr; }
    int64_t Size() const { return size_; }
    int64_t Pos() const { return pos_; }
    // The source's identity (see ByteSource::Identity); empty when closed.
    std::string Identity() const { return src_ ? src_->Identity() : std::string(); }
    // Puts the position at pos, held within 0..Size (where a read of the header and index
    // would have left it).
    void PlaceAt(int64_t pos);

    // Moves to byte pos; false (position unchanged) unless there is a byte there.
    bool SeekByte(int64_t pos);
    // Reads exactly n bytes at pos, straight from the file (no read-ahead, the position left
    // as it is); false when fewer are there.
    bool ReadAt(int64_t pos, void* buf, size_t n) const;
    // Reads exactly n bytes; false when fewer remain (the position is then unchanged).
    bool TryRead(void* buf, size_t n);
    // The same, throwing LayerIOError on a short read.
    void Read(void* buf, size_t n);
    uint8_t ReadU8();
    uint16_t ReadU16();
    int16_t ReadI16();
    uint32_t ReadU32();
    int32_t ReadI32();
    // Steps over n bytes (records read and discarded); LayerIOError when fewer remain.
    void Skip(int64_t n);

    // Starts counting work: at most limit units until the next StartWork.
    void StartWork(int64_t limit);
    // Charges n units of work; LayerIOError (nothing charged) when they would pass the limit.
    void Charge(int64_t n)
    {
        if (n > workLimit_ - workDone_) Fail();
        workDone_ += n;
    }
    // Ends the drawing as a short read does: marks the file failed and throws LayerIOError.
    [[noreturn]] void Fail();
    // A read came up short, or the work limit was reached, since StartWork.
    bool Failed() const { return failed_; }
    // Work charged since StartWork.
    int64_t WorkDone() const { return workDone_; }

private:
    std::unique_ptr<ByteSource> src_;
    int64_t size_ = 0;
    int64_t pos_ = 0;
    int64_t workDone_ = 0;
    int64_t workLimit_ = INT64_MAX;
    bool failed_ = false;
    std::vector<uint8_t> ahead_;   // bytes of the file from aheadPos_ on
    int64_t aheadPos_ = 0;
};

// What a cell visitor asks of the walk next. A visitor may also return nothing (continue).
enum class CellWalk { Continue, NextColumn, Stop };

class GenMapObj {
public:
    GenMapObj() = default;
    virtual ~GenMapObj() = default;
    GenMapObj(const GenMapObj&) = delete;
    GenMapObj& operator=(const GenMapObj&) = delete;

    // ---- the file ---------------------------------------------------------------------
    // Opens a data file (resolved path, "CDROM:" already replaced) read-only; stores RecSize.
    bool Open(const std::string& Filename, int16_t RecSize);
    // The same on a source already open (memory in tests, or a file).
    bool Open(std::unique_ptr<ByteSource> source, int16_t RecSize);
    // Reads the header from the start of the file in its five pieces; true only when all 80
    // bytes were there.
    bool ReadHdr();
    // Reads the NumRows x NumCols index entries at byte 80; false when the grid is outside
    // 1..100 x 1..100 or the index is cut short.
    bool ReadIdx();
    // The grid is within 1..100 x 1..100 and the file holds its whole index; Index is then
    // sized for the grid, its entries not read yet (ReadIndexCells reads them).
    bool SizeIdx();
    // Reads the entries of columns c0..c1, rows r0..r1 (clamped to the grid) that were not
    // read before, a run of neighbouring entries at a time.
    void ReadIndexCells(int32_t c0, int32_t c1, int32_t r0, int32_t r1);
    int32_t GetNumRows() const { return Header.NumRows; }
    // Moves the file to byte n x RecSize; false when there is no byte there (negative or at
    // or past the end of the file).
    bool Seek(int64_t n);
    void Close();
    // Closes the file and releases the index (the object itself goes with its owner).
    void Free();

    // The layer contract's Create: Open with the format's record size, then ReadHdr, then
    // ReadIdx, then the bounds on the header above; DataOkay holds the outcome. The header
    // and index of a file read before, and unchanged since, come from the shared LayerCache
    // instead (the file is still opened, and the records are read from it).
    // R_Precisionx and R_Precisiony are set in every case. usesVPrecision: the format
    // needs VPrecision > 0 (the run-length formats).
    bool OpenLayer(const std::string& Filename, int16_t RecSize, bool usesVPrecision = false);
    bool OpenLayer(std::unique_ptr<ByteSource> source, int16_t RecSize, bool usesVPrecision = false);
    bool DataOkay() const { return privateRead; }
    // The file could be opened: when DataOkay is false nonetheless, its header or index is
    // damaged (or it is no layer file at all).
    bool Opened() const { return iFile.IsOpen(); }

    // ---- bounded work and damage ----------------------------------------------------------
    // Work units a drawing or search may spend (see LayerFile): kWorkPerByte per byte of the
    // file and kWorkFloor more. A sound file is read at most once per drawing.
    static constexpr int64_t kWorkPerByte = 2;
    static constexpr int64_t kWorkFloor = int64_t{1} << 16;
    int64_t WorkLimit() const { return kWorkPerByte * iFile.Size() + kWorkFloor; }
    // The last drawing or search found the file damaged (see above).
    bool Damaged() const { return damaged_ || iFile.Failed(); }
    void MarkDamaged() { damaged_ = true; }

    // ---- bounded filling ------------------------------------------------------------------
    // Pixels one drawing may fill: kFillsPerPicture times the drawing area (W x H). Each
    // filled figure is charged the pixels of its bounding box on the canvas before it is
    // drawn; one that would pass the budget is not drawn and ends the drawing as a short read
    // does, what was drawn staying. A layer of the sample atlas fills at most about half the
    // picture; one of tens of thousands of polygons each covering the map would keep a
    // drawing busy for seconds and is drawn only as far as the budget.
    static constexpr int64_t kFillsPerPicture = 256;
    // Charges the bounding box of the points (with the outline's right and bottom row).
    void ChargeFill(const std::vector<Point>& pts);
    // The last drawing stopped at the fill budget.
    bool Overfilled() const { return overfilled_; }

    // ---- drawing set-up (a drawer calls these three in order, or BeginDraw) ---------------
    // Visible grid rows and columns for the extents of ctx, clamped to the grid; a map edge
    // on a cell boundary does not take in the next cell.
    void Get_Row_And_Column_Limits(const DrawContext& ctx);
    // gridlat[0..NumRows] and gridlon[0..NumCols] in degrees.
    void Setup_Grid();
    // W, H, Cnvs, mplons, mplats: the screen picture, or the printed map when bPrint is set.
    // Also keeps the map's south-west corner and the print offset for the point transform.
    void Setup_PlotSize(const DrawContext& ctx);
    // mpminlat, mpminlon of cell (c, r), in layer units from the map's south-west corner.
    void Setup_CellOrigin(int32_t c, int32_t r);
    // bPrint := ctx.Print, then the three set-ups; the work count and the damage mark start
    // afresh.
    void BeginDraw(const DrawContext& ctx);
    // bPrint := false, then the three set-ups in screen terms (the searches); the work count
    // and the damage mark start afresh.
    void BeginSearch(const DrawContext& ctx);
    // For handing out features (FeatureVisitor.h): every cell of the grid, the grid set up,
    // the work count and the damage mark afresh.
    void BeginVisit();
    // The place of cell (c, r) for a visitor (Setup_Grid first).
    FeatureCell CellPlace(int32_t c, int32_t r) const;

    // ---- point transform --------------------------------------------------------------
    // Device position of offsets (Lat, Lon) in layer units inside the current cell:
    // x = round((mpminlon + Lon) x mplons), y = H - round((mpminlat + Lat) x mplats).
    Point CellToDevice(double Lat, double Lon) const;
    // The same plus the print offset when printing (every record format draws with this).
    Point ToDevice(double Lat, double Lon) const;
    // (truncate((left - min left margin) x XDpi), truncate((top - min top margin) x YDpi))
    // while printing, (0, 0) on the screen.
    Point PrintOffset() const { return {printOffsetX_, printOffsetY_}; }
    // Adds the print offset to a device position.
    Point AddPrintOffset(Point p) const;

    // ---- cell walk --------------------------------------------------------------------
    // Index entry of column c, row r (0 outside the grid), read now if it was not before.
    int32_t IndexEntry(int32_t c, int32_t r);
    // Visits the visible cells, columns west to east (outer), rows south to north (inner),
    // calling visit(c, r, entry) for every entry above 0 (0 and negative entries are empty).
    // onColumn(c) runs at the start of every visible column. visit may return a CellWalk.
    template <class Visit>
    void WalkCells(Visit&& visit)
    {
        WalkCells(std::forward<Visit>(visit), [](int32_t) {});
    }
    template <class Visit, class Column>
    void WalkCells(Visit&& visit, Column&& onColumn);
    // For the record formats: for every non-empty visible cell, Setup_CellOrigin(c, r) and
    // Seek(entry) (the entry is the record number of the cell's first record), then
    // visit(c, r). A cell whose entry points past the end of the file is skipped, and the
    // file marked damaged.
    template <class Visit>
    void WalkRecordCells(Visit&& visit);

    // ---- key colours ------------------------------------------------------------------
    // Fills Colour and Styl from the key of MAS (top or bottom colours), or with the land
    // colours of ctx when MAS is null (the coastline). A key of more than 50 items is cut
    // at 50 with a warning on ctx.messages. DSD is not used.
    void UseKeyColours(const MASStruct* MAS, const DSDStruct* DSD, bool UseTopColour, const DrawContext& ctx);
    // Key item k is not to be drawn: k outside 1..50, switched off in the key (negative
    // colour, or the SwitchedOff flag for an inactive item whose colour is 0).
    bool KeyItemOff(int k) const;
    // Colour of key item k (which must be 1..50) as a canvas colour.
    corvane::Colour KeyColour(int k) const { return static_cast<corvane::Colour>(Colour[k]) & 0x00FFFFFFu; }

    // ---- fields -----------------------------------------------------------------------
    LayerFile iFile;
    HdrRec Header;
    std::vector<int32_t> Index;          // NumRows x NumCols entries (0 where not read yet)
    int16_t RecSize = 0;                 // record size of the format, the unit of Seek
    int32_t Row_Start = 0, Row_End = -1, Column_Start = 0, Column_End = -1;   // inclusive
    double R_Precisionx = 0.0;           // HPrecision x 0.000001: degrees per layer unit
    double R_Precisiony = 0.0;           // VPrecision x 0.000001
    double gridlat[kMaxGridCells + 1] = {};   // south edge of each row; [NumRows] north edge
    double gridlon[kMaxGridCells + 1] = {};   // west edge of each column; [NumCols] east edge
    double mpminlon = 0.0, mpminlat = 0.0;    // current cell's origin, layer units
    double mplons = 0.0, mplats = 0.0;        // device pixels per layer unit
    int32_t H = 0, W = 0;                // drawing area in device pixels
    Canvas* Cnvs = nullptr;              // the canvas drawn on
    // Key table, entries 1..50 (0 unused). Colour is negative for an item switched off;
    // SwitchedOff marks every inactive item, also one whose colour is 0 and so cannot be
    // negated. Styl is the style code (meaning per format).
    int32_t Colour[kKeyItems + 1] = {};
    uint8_t Styl[kKeyItems + 1] = {};
    bool SwitchedOff[kKeyItems + 1] = {};

protected:
    bool privateRead = false;

private:
    bool HeaderUsable(bool usesVPrecision) const;
    bool Load(bool opened, bool usesVPrecision);
    bool ReadHdrAndIdx();
    void StartWork();
    // Reads index entries first..end-1 (one run in the file); false when the file came up short.
    bool ReadEntries(size_t first, size_t end);
    // Keeps the header and the entries read so far in the LayerCache.
    void KeepHead() const;
    // Charges the pixels of the box (right and bottom outside) that lie on the canvas.
    void ChargeFill(int64_t left, int64_t top, int64_t right, int64_t bottom);

    bool damaged_ = false;
    bool overfilled_ = false;
    int64_t fillDone_ = 0, fillLimit_ = INT64_MAX;
    // Which index entries have been read; empty when all of them have.
    std::vector<bool> indexRead_;
    size_t indexUnread_ = 0;
    std::string identity_;   // the file's identity in the LayerCache (empty: not kept)

    double mapMinLat_ = 0.0, mapMinLon_ = 0.0;
    int32_t printOffsetX_ = 0, printOffsetY_ = 0;
};

// ---- point symbols ------------------------------------------------------------------------
// How big symbols are drawn: on the screen (the default) or on paper, where the step part of
// the half-size grows by printer dpi / screen pixels per inch.
struct SymbolScale {
    int32_t PrinterXDpi = 0;
    int32_t ScreenPixelsPerInch = 0;
    bool OnPaper() const { return PrinterXDpi > 0 && ScreenPixelsPerInch > 0; }
    // The sizes of a drawing: paper sizes when ctx.Print is set.
    static SymbolScale For(const DrawContext& ctx)
    {
        return ctx.Print ? SymbolScale{ctx.Page.XDpi, ctx.ScreenPixelsPerInch} : SymbolScale{};
    }
};

// Half-size d of symbol code Symbol (1..40): step + sizes[shape] on the screen,
// round(step x XDpi / screen pixels per inch + sizes[shape]) on paper; -1 for other codes.
int SymbolHalfSize(int Symbol, const SymbolScale& scale = {});

// Draws point symbol Symbol (1..40; other codes draw nothing and change nothing) centred on
// (X, Y) in colour lColour. Codes 4k+1..4k+4 are one shape in four sizes: filled circle,
// open circle, filled square, open square, upright cross, diagonal cross, filled and open
// triangle apex up, filled and open triangle apex down. The filled shapes set the brush
// colour but leave the brush style as it is: set a solid brush first.
void PlotSymbol(Canvas& canvas, int X, int Y, int Symbol, Colour lColour, const SymbolScale& scale = {});

// ---- template definitions ---------------------------------------------------------------

namespace detail {
template <class F, class... Args>
CellWalk CallVisitor(F& f, Args... args)
{
    if constexpr (std::is_void_v<std::invoke_result_t<F&, Args...>>) {
        f(args...);
        return CellWalk::Continue;
    } else {
        return f(args...);
    }
}
} // namespace detail

template <class Visit, class Column>
void GenMapObj::WalkCells(Visit&& visit, Column&& onColumn)
{
    const int64_t cells = int64_t{Header.NumRows} * Header.NumCols;
    if (Header.NumRows < 1 || Header.NumCols < 1 || static_cast<int64_t>(Index.size()) != cells) return;
    // The entries not read yet in runs, rather than one read (and one copy kept) a cell.
    ReadIndexCells(Column_Start, Column_End, Row_Start, Row_End);
    for (int32_t c = Column_Start; c <= Column_End; ++c) {
        onColumn(c);
        for (int32_t r = Row_Start; r <= Row_End; ++r) {
            const int32_t entry = IndexEntry(c, r);
            if (entry <= 0) continue;
            const CellWalk next = detail::CallVisitor(visit, c, r, entry);
            if (next == CellWalk::Stop) return;
            if (next == CellWalk::NextColumn) break;
        }
    }
}

template <class Visit>
void GenMapObj::WalkRecordCells(Visit&& visit)
{
    WalkCells([&](int32_t c, int32_t r, int32_t entry) {
        Setup_CellOrigin(c, r);
        if (!Seek(entry)) {
            MarkDamaged();
            return CellWalk::Continue;
        }
        return detail::CallVisitor(visit, c, r);
    });
}

} // namespace corvane
