#include "layers/MapGen.h"

#include "catalogue/MasterFile.h"
#include "layers/LayerCache.h"
#include "platform/DataPath.h"
#include "platform/MessageSink.h"
#include "platform/Rounding.h"

#include <algorithm>
#include <cstring>

namespace corvane {

bool bPrint = false;

const uint8_t sizes[10] = {2, 2, 1, 1, 1, 1, 2, 2, 2, 2};

namespace {

constexpr size_t kReadAhead = 4096;

int32_t LittleI32(const uint8_t* b)
{
    return static_cast<int32_t>(static_cast<uint32_t>(b[0]) | (static_cast<uint32_t>(b[1]) << 8) |
                                (static_cast<uint32_t>(b[2]) << 16) | (static_cast<uint32_t>(b[3]) << 24));
}

} // namespace

// ---- LayerFile ------------------------------------------------------------------------------

bool LayerFile::Open(std::unique_ptr<ByteSource> source)
{
    Close();
    if (!source) return false;
    src_ = std::move(source);
    size_ = std::max<int64_t>(0, src_->Size());
    return true;
}

void LayerFile::Close()
{
    src_.reset();
    size_ = 0;
    pos_ = 0;
    ahead_.clear();
    aheadPos_ = 0;
    workDone_ = 0;
    workLimit_ = INT64_MAX;
    failed_ = false;
}

void LayerFile::PlaceAt(int64_t pos) { pos_ = std::clamp<int64_t>(pos, 0, size_); }

bool LayerFile::SeekByte(int64_t pos)
{
    if (!src_ || pos < 0 || pos >= size_) return false;
    pos_ = pos;
    return true;
}

bool LayerFile::ReadAt(int64_t pos, void* buf, size_t n) const
{
    if (n == 0) return true;
    if (!src_ || pos < 0 || pos > size_ || static_cast<uint64_t>(size_ - pos) < n) return false;
    return src_->ReadAt(pos, buf, n) == n;
}

bool LayerFile::TryRead(void* buf, size_t n)
{
    if (n == 0) return true;
    if (!src_ || pos_ < 0 || pos_ > size_ || static_cast<uint64_t>(size_ - pos_) < n) return false;
    auto* out = static_cast<uint8_t*>(buf);
    const int64_t aheadEnd = aheadPos_ + static_cast<int64_t>(ahead_.size());
    if (pos_ >= aheadPos_ && pos_ + static_cast<int64_t>(n) <= aheadEnd) {
        std::memcpy(out, ahead_.data() + (pos_ - aheadPos_), n);
        pos_ += static_cast<int64_t>(n);
        return true;
    }
    if (n >= kReadAhead) {
        if (src_->ReadAt(pos_, out, n) != n) return false;
        pos_ += static_cast<int64_t>(n);
        return true;
    }
    ahead_.resize(kReadAhead);
    const size_t got = src_->ReadAt(pos_, ahead_.data(), kReadAhead);
    ahead_.resize(got);
    aheadPos_ = pos_;
    if (got < n) return false;
    std::memcpy(out, ahead_.data(), n);
    pos_ += static_cast<int64_t>(n);
    return true;
}

void LayerFile::Read(void* buf, size_t n)
{
    Charge(static_cast<int64_t>(n));
    if (!TryRead(buf, n)) Fail();
}

uint8_t LayerFile::ReadU8()
{
    uint8_t b = 0;
    Read(&b, 1);
    return b;
}

uint16_t LayerFile::ReadU16()
{
    uint8_t b[2];
    Read(b, 2);
    return static_cast<uint16_t>(b[0] | (b[1] << 8));
}

int16_t LayerFile::ReadI16() { return static_cast<int16_t>(ReadU16()); }

uint32_t LayerFile::ReadU32() { return static_cast<uint32_t>(ReadI32()); }

int32_t LayerFile::ReadI32()
{
    uint8_t b[4];
    Read(b, 4);
    return LittleI32(b);
}

void LayerFile::Skip(int64_t n)
{
    if (n < 0 || !src_ || n > size_ - pos_) Fail();
    Charge(n);
    pos_ += n;
}

void LayerFile::StartWork(int64_t limit)
{
    workDone_ = 0;
    workLimit_ = limit;
    failed_ = false;
}

void LayerFile::Fail()
{
    failed_ = true;
    throw LayerIOError();
}

// ---- GenMapObj: the file ---------------------------------------------------------------

bool GenMapObj::Open(const std::string& Filename, int16_t recSize)
{
    return Open(OpenDataFile(Filename), recSize);
}

bool GenMapObj::Open(std::unique_ptr<ByteSource> source, int16_t recSize)
{
    RecSize = recSize;
    return iFile.Open(std::move(source));
}

bool GenMapObj::ReadHdr()
{
    if (!iFile.IsOpen()) return false;
    // The 80 bytes in one read (no more: the index is read by the cells drawn), then its pieces.
    uint8_t bytes[kLayerHeaderSize] = {};
    auto have = static_cast<size_t>(std::min<int64_t>(kLayerHeaderSize, iFile.Size()));
    if (!iFile.ReadAt(0, bytes, have)) have = 0;
    size_t at = 0;
    auto piece = [&](size_t n) {
        const bool whole = at + n <= have;
        const uint8_t* p = bytes + at;
        at += n;
        return whole ? p : nullptr;
    };
    // A piece that is not there in full reads as zeros, and ends the header.
    auto text = [](const uint8_t* p) { return p ? std::string(reinterpret_cast<const char*>(p), 12) : std::string(12, '\0'); };
    const uint8_t* id = piece(12);
    Header.DatasetID = text(id);
    const uint8_t* mid = id ? piece(36) : nullptr;
    if (mid) {
        int32_t* fields[9] = {&Header.LatOrig,      &Header.LonOrig,   &Header.ScaleOrig,
                              &Header.GridCellSize, &Header.NumRows,   &Header.NumCols,
                              &Header.HPrecision,   &Header.VPrecision, &Header.AssDataType};
        for (int i = 0; i < 9; ++i) *fields[i] = LittleI32(mid + 4 * i);
    }
    const uint8_t* ass = mid ? piece(12) : nullptr;
    Header.AssDataFilename = text(ass);
    const uint8_t* unused = ass ? piece(16) : nullptr;
    if (unused)
        for (int i = 0; i < 4; ++i) Header.NotUsed[i] = LittleI32(unused + 4 * i);
    const uint8_t* date = unused ? piece(4) : nullptr;
    if (date) Header.DateOrig = LittleI32(date);
    iFile.PlaceAt(date ? kLayerHeaderSize : 0);
    return date != nullptr;
}

bool GenMapObj::SizeIdx()
{
    Index.clear();
    indexRead_.clear();
    indexUnread_ = 0;
    const int32_t rows = Header.NumRows, cols = Header.NumCols;
    if (rows < 1 || rows > kMaxGridCells || cols < 1 || cols > kMaxGridCells) return false;
    const size_t count = static_cast<size_t>(rows) * static_cast<size_t>(cols);
    if (iFile.Size() < kLayerHeaderSize + 4 * static_cast<int64_t>(count)) return false;
    Index.assign(count, 0);
    indexRead_.assign(count, false);
    indexUnread_ = count;
    return true;
}

bool GenMapObj::ReadEntries(size_t first, size_t end)
{
    std::vector<uint8_t> raw((end - first) * 4);
    if (!iFile.ReadAt(kLayerHeaderSize + 4 * static_cast<int64_t>(first), raw.data(), raw.size())) return false;
    for (size_t i = first; i < end; ++i) {
        Index[i] = LittleI32(raw.data() + 4 * (i - first));
        if (!indexRead_[i]) {
            indexRead_[i] = true;
            --indexUnread_;
        }
    }
    if (indexUnread_ == 0) indexRead_.clear();
    return true;
}

bool GenMapObj::ReadIdx()
{
    if (!SizeIdx() || !ReadEntries(0, Index.size())) {
        Index.clear();
        indexRead_.clear();
        indexUnread_ = 0;
        return false;
    }
    return true;
}

void GenMapObj::ReadIndexCells(int32_t c0, int32_t c1, int32_t r0, int32_t r1)
{
    const int32_t rows = Header.NumRows, cols = Header.NumCols;
    if (indexUnread_ == 0 || static_cast<int64_t>(Index.size()) != int64_t{rows} * cols) return;
    c0 = std::max(c0, 0), r0 = std::max(r0, 0);
    c1 = std::min(c1, cols - 1), r1 = std::min(r1, rows - 1);
    bool readSome = false, failed = false;
    size_t first = 0, end = 0;   // the run of unread entries gathered so far
    auto readRun = [&] {
        if (end == first) return;
        if (ReadEntries(first, end)) {
            readSome = true;
        } else {
            failed = true;   // the file is shorter than when it was opened: these cells are empty
            for (size_t i = first; i < end && indexUnread_ > 0; ++i) {
                if (indexRead_[i]) continue;
                indexRead_[i] = true;
                Index[i] = 0;
                --indexUnread_;
            }
            if (indexUnread_ == 0) indexRead_.clear();
        }
        first = end = 0;
    };
    for (int32_t c = c0; c <= c1 && indexUnread_ > 0; ++c)
        for (int32_t r = r0; r <= r1; ++r) {
            const size_t i = static_cast<size_t>(c) * static_cast<size_t>(rows) + static_cast<size_t>(r);
            if (indexUnread_ == 0 || indexRead_[i]) continue;
            if (end != first && i == end) {
                ++end;   // the next entry in the file: one run
                continue;
            }
            readRun();
            first = i;
            end = i + 1;
        }
    readRun();
    if (failed) {
        MarkDamaged();
        identity_.clear();   // what was read of a file that changed is not kept
    } else if (readSome) {
        KeepHead();
    }
}

void GenMapObj::KeepHead() const
{
    if (identity_.empty()) return;
    auto head = std::make_shared<CachedLayerHead>();
    head->Header = Header;
    head->Index = Index;
    head->Read = indexRead_;
    head->Unread = indexUnread_;
    LayerCache::Shared().Put(identity_, std::move(head));
}

bool GenMapObj::Seek(int64_t n)
{
    if (RecSize <= 0) return false;
    if (n < 0 || n > iFile.Size() / RecSize) return false;
    return iFile.SeekByte(n * RecSize);
}

void GenMapObj::Close() { iFile.Close(); }

void GenMapObj::Free()
{
    Close();
    Index.clear();
    Index.shrink_to_fit();
    indexRead_.clear();
    indexUnread_ = 0;
    identity_.clear();
    privateRead = false;
}

bool GenMapObj::HeaderUsable(bool usesVPrecision) const
{
    return Header.GridCellSize > 0 && Header.HPrecision > 0 && (!usesVPrecision || Header.VPrecision > 0);
}

bool GenMapObj::ReadHdrAndIdx()
{
    identity_ = iFile.Identity();
    if (!identity_.empty()) {
        if (const auto head = LayerCache::Shared().Find(identity_)) {
            Header = head->Header;
            Index = head->Index;
            indexRead_ = head->Read;
            indexUnread_ = head->Unread;
            iFile.PlaceAt(kLayerHeaderSize + int64_t{4} * static_cast<int64_t>(Index.size()));
            return true;
        }
    }
    if (!ReadHdr() || !SizeIdx()) return false;
    // A small index is read whole at once: no more than a read-ahead of the header would bring.
    if (kLayerHeaderSize + 4 * Index.size() <= kReadAhead && !ReadEntries(0, Index.size())) return false;
    iFile.PlaceAt(kLayerHeaderSize + int64_t{4} * static_cast<int64_t>(Index.size()));
    KeepHead();
    return true;
}

bool GenMapObj::Load(bool opened, bool usesVPrecision)
{
    const bool ok = opened && ReadHdrAndIdx();
    privateRead = ok && HeaderUsable(usesVPrecision);
    R_Precisionx = Header.HPrecision * 0.000001;
    R_Precisiony = Header.VPrecision * 0.000001;
    return privateRead;
}

bool GenMapObj::OpenLayer(const std::string& Filename, int16_t recSize, bool usesVPrecision)
{
    return Load(Open(Filename, recSize), usesVPrecision);
}

bool GenMapObj::OpenLayer(std::unique_ptr<ByteSource> source, int16_t recSize, bool usesVPrecision)
{
    return Load(Open(std::move(source), recSize), usesVPrecision);
}

// ---- GenMapObj: drawing set-up -----------------------------------------------------------

namespace {

// (round(degrees x 1000000) - origin) div cell, with the remainder, in 64 bits.
struct CellDiv {
    int64_t quot;
    int64_t rem;
};
CellDiv CellOf(double degrees, int32_t origin, int32_t cell)
{
    // Extents far outside any grid are held at +-2^50 millionths; the clamping below then
    // gives the same first or last cell as the exact value would.
    constexpr int64_t kFar = int64_t{1} << 50;
    const int64_t delta = std::clamp(Round(degrees * 1000000), -kFar, kFar) - origin;
    return {delta / cell, delta % cell};
}

int32_t ClampCells(int64_t v, int32_t count)
{
    if (v < 0) v = 0;
    if (v > count - 1) v = count - 1;
    return static_cast<int32_t>(v);
}

} // namespace

void GenMapObj::Get_Row_And_Column_Limits(const DrawContext& ctx)
{
    const int32_t cell = Header.GridCellSize;
    if (cell <= 0 || Header.NumRows < 1 || Header.NumCols < 1) {
        Row_Start = Column_Start = 0;
        Row_End = Column_End = -1;
        return;
    }
    auto startOf = [&](double deg, int32_t orig, int32_t count) {
        return ClampCells(CellOf(deg, orig, cell).quot, count);
    };
    auto endOf = [&](double deg, int32_t orig, int32_t count) {
        const CellDiv d = CellOf(deg, orig, cell);
        return ClampCells(d.rem == 0 ? d.quot - 1 : d.quot, count);
    };
    Row_Start = startOf(ctx.MinLat, Header.LatOrig, Header.NumRows);
    Row_End = endOf(ctx.MaxLat, Header.LatOrig, Header.NumRows);
    Column_Start = startOf(ctx.MinLon, Header.LonOrig, Header.NumCols);
    Column_End = endOf(ctx.MaxLon, Header.LonOrig, Header.NumCols);
}

void GenMapObj::Setup_Grid()
{
    const int32_t rows = std::clamp(Header.NumRows, 0, kMaxGridCells);
    const int32_t cols = std::clamp(Header.NumCols, 0, kMaxGridCells);
    for (int32_t r = 0; r <= rows; ++r)
        gridlat[r] = static_cast<double>(int64_t{Header.LatOrig} + int64_t{r} * Header.GridCellSize) * 0.000001;
    for (int32_t c = 0; c <= cols; ++c)
        gridlon[c] = static_cast<double>(int64_t{Header.LonOrig} + int64_t{c} * Header.GridCellSize) * 0.000001;
}

void GenMapObj::Setup_PlotSize(const DrawContext& ctx)
{
    if (bPrint) {
        const PrintedSize s = PrintedMapSize(ctx.Page, ctx.ClientWidth, ctx.ClientHeight);
        W = s.W;
        H = s.H;
        printOffsetX_ = ctx.Page.LeftOffset();
        printOffsetY_ = ctx.Page.TopOffset();
    } else {
        W = ctx.ClientWidth;
        H = ctx.ClientHeight;
        printOffsetX_ = printOffsetY_ = 0;
    }
    Cnvs = &ctx.canvas;
    mplons = W / ctx.LonRange * R_Precisionx;
    mplats = H / ctx.LatRange * R_Precisionx;
    mapMinLat_ = ctx.MinLat;
    mapMinLon_ = ctx.MinLon;
}

void GenMapObj::Setup_CellOrigin(int32_t c, int32_t r)
{
    if (R_Precisionx <= 0.0 || c < 0 || c > kMaxGridCells || r < 0 || r > kMaxGridCells) return;
    mpminlat = (gridlat[r] - mapMinLat_) / R_Precisionx;
    mpminlon = (gridlon[c] - mapMinLon_) / R_Precisionx;
}

void GenMapObj::StartWork()
{
    damaged_ = false;
    iFile.StartWork(WorkLimit());
}

void GenMapObj::BeginDraw(const DrawContext& ctx)
{
    StartWork();
    bPrint = ctx.Print;
    Get_Row_And_Column_Limits(ctx);
    ReadIndexCells(Column_Start, Column_End, Row_Start, Row_End);
    Setup_Grid();
    Setup_PlotSize(ctx);
    overfilled_ = false;
    fillDone_ = 0;
    fillLimit_ = kFillsPerPicture * std::max<int64_t>(1, int64_t{W} * H);
}

void GenMapObj::ChargeFill(int64_t left, int64_t top, int64_t right, int64_t bottom)
{
    if (!Cnvs) return;
    const int64_t w = std::min<int64_t>(right, Cnvs->Width()) - std::max<int64_t>(left, 0);
    const int64_t h = std::min<int64_t>(bottom, Cnvs->Height()) - std::max<int64_t>(top, 0);
    if (w <= 0 || h <= 0) return;
    if (w * h > fillLimit_ - fillDone_) {
        overfilled_ = true;
        throw LayerIOError();
    }
    fillDone_ += w * h;
}

void GenMapObj::ChargeFill(const std::vector<Point>& pts)
{
    if (pts.empty()) return;
    int64_t left = pts[0].x, top = pts[0].y, right = left, bottom = top;
    for (const Point& p : pts) {
        left = std::min<int64_t>(left, p.x);
        top = std::min<int64_t>(top, p.y);
        right = std::max<int64_t>(right, p.x);
        bottom = std::max<int64_t>(bottom, p.y);
    }
    ChargeFill(left, top, right + 1, bottom + 1);
}

void GenMapObj::BeginSearch(const DrawContext& ctx)
{
    StartWork();
    bPrint = false;
    Get_Row_And_Column_Limits(ctx);
    ReadIndexCells(Column_Start, Column_End, Row_Start, Row_End);
    Setup_Grid();
    Setup_PlotSize(ctx);
}

void GenMapObj::BeginVisit()
{
    StartWork();
    Row_Start = Column_Start = 0;
    Row_End = Header.NumRows - 1;
    Column_End = Header.NumCols - 1;
    ReadIndexCells(Column_Start, Column_End, Row_Start, Row_End);
    Setup_Grid();
}

FeatureCell GenMapObj::CellPlace(int32_t c, int32_t r) const
{
    FeatureCell cell;
    cell.Column = c;
    cell.Row = r;
    if (c >= 0 && c <= kMaxGridCells) cell.West = gridlon[c];
    if (r >= 0 && r <= kMaxGridCells) cell.South = gridlat[r];
    cell.Unit = R_Precisionx;
    return cell;
}

// ---- point transform ------------------------------------------------------------------------

Point GenMapObj::CellToDevice(double Lat, double Lon) const
{
    const int32_t x = RoundI((mpminlon + Lon) * mplons);
    const int64_t y = int64_t{H} - RoundI((mpminlat + Lat) * mplats);
    return {x, ClampToInt(y)};
}

Point GenMapObj::AddPrintOffset(Point p) const
{
    return {ClampToInt(int64_t{p.x} + printOffsetX_), ClampToInt(int64_t{p.y} + printOffsetY_)};
}

Point GenMapObj::ToDevice(double Lat, double Lon) const
{
    return AddPrintOffset(CellToDevice(Lat, Lon));
}

int32_t GenMapObj::IndexEntry(int32_t c, int32_t r)
{
    if (c < 0 || r < 0 || c >= Header.NumCols || r >= Header.NumRows) return 0;
    const size_t i = static_cast<size_t>(c) * static_cast<size_t>(Header.NumRows) + static_cast<size_t>(r);
    if (i >= Index.size()) return 0;
    if (indexUnread_ > 0 && !indexRead_[i]) ReadIndexCells(c, c, r, r);
    return Index[i];
}

// ---- key colours ------------------------------------------------------------------------------

void GenMapObj::UseKeyColours(const MASStruct* MAS, const DSDStruct* /*DSD*/, bool UseTopColour,
                              const DrawContext& ctx)
{
    if (!MAS) {
        const bool infilled = ctx.landStyle == LandStyle::Infilled;
        for (int i = 1; i <= kKeyItems; ++i) {
            Colour[i] = static_cast<int32_t>((infilled ? ctx.Land_Plot_Fill_Colour : ctx.Land_Plot_Colour) & 0x00FFFFFFu);
            Styl[i] = infilled ? 17 : 1;
            SwitchedOff[i] = false;
        }
        return;
    }
    if (!MAS->Key) return;
    int i = 0;
    for (const K_Descriptor* kd = MAS->Key->NextKD.get(); kd; kd = kd->NextKD.get()) {
        ++i;
        if (i > kKeyItems) {
            ctx.messages.Warn("Only the first " + std::to_string(kKeyItems) +
                              " colours are usable with this version.");
            break;
        }
        if (kd->Top_Style == 255) continue;
        const int32_t c = static_cast<int32_t>((UseTopColour ? kd->Top_Colour : kd->Bottom_Colour) & 0x00FFFFFFu);
        Colour[i] = kd->Active ? c : -c;
        Styl[i] = UseTopColour ? kd->Top_Style : kd->Bottom_Style;
        SwitchedOff[i] = !kd->Active;
    }
}

bool GenMapObj::KeyItemOff(int k) const
{
    return k < 1 || k > kKeyItems || SwitchedOff[k] || Colour[k] < 0;
}

// ---- point symbols ------------------------------------------------------------------------

int SymbolHalfSize(int Symbol, const SymbolScale& scale)
{
    if (Symbol < 1 || Symbol > 40) return -1;
    const int s = Symbol - 1;
    const int shape = s / 4;
    const int step = s % 4;
    if (!scale.OnPaper()) return step + sizes[shape];
    return RoundI(static_cast<double>(step) * scale.PrinterXDpi / scale.ScreenPixelsPerInch + sizes[shape]);
}

void PlotSymbol(Canvas& canvas, int X, int Y, int Symbol, Colour lColour, const SymbolScale& scale)
{
    const int d0 = SymbolHalfSize(Symbol, scale);
    if (d0 < 0) return;
    const int shape = (Symbol - 1) / 4;
    const int64_t x = X, y = Y, d = d0;
    auto at = [](int64_t v) { return ClampToInt(v); };
    auto pt = [&](int64_t px, int64_t py) { return Point{at(px), at(py)}; };

    if (shape != 2) {
        canvas.pen.style = PenStyle::Solid;
        canvas.pen.colour = lColour;
    }
    switch (shape) {
    case 0:   // filled circle
        canvas.brush.colour = lColour;
        canvas.Ellipse(at(x - d - 1), at(y - d - 1), at(x + d + 2), at(y + d + 2));
        break;
    case 1:   // open circle
        canvas.brush.style = BrushStyle::Clear;
        canvas.Ellipse(at(x - d), at(y - d), at(x + d), at(y + d));
        break;
    case 2:   // filled square without outline
        canvas.brush.colour = lColour;
        canvas.pen.style = PenStyle::Clear;
        canvas.Rectangle(at(x - d), at(y - d), at(x + d + 1), at(y + d + 1));
        break;
    case 3:   // open square
        canvas.brush.colour = lColour;
        canvas.brush.style = BrushStyle::Clear;
        canvas.Rectangle(at(x - d), at(y - d), at(x + d + 1), at(y + d + 1));
        break;
    case 4:   // upright cross
        canvas.MoveTo(at(x - d), at(y));
        canvas.LineTo(at(x + d + 1), at(y));
        canvas.MoveTo(at(x), at(y - d));
        canvas.LineTo(at(x), at(y + d + 1));
        break;
    case 5:   // diagonal cross
        canvas.brush.colour = lColour;
        canvas.MoveTo(at(x - d), at(y - d));
        canvas.LineTo(at(x + d + 1), at(y + d + 1));
        canvas.MoveTo(at(x + d), at(y - d));
        canvas.LineTo(at(x - d - 1), at(y + d + 1));
        break;
    case 6:   // filled triangle, apex up
        canvas.brush.colour = lColour;
        canvas.Polygon({pt(x - d - 1, y + d + 1), pt(x + d + 1, y + d + 1), pt(x, y - d - 1)});
        break;
    case 7:   // open triangle, apex up
        canvas.brush.style = BrushStyle::Clear;
        canvas.Polygon({pt(x - d, y + d), pt(x + d, y + d), pt(x, y - d)});
        break;
    case 8:   // filled triangle, apex down
        canvas.brush.colour = lColour;
        canvas.Polygon({pt(x - d, y - d), pt(x + d, y - d), pt(x, y + d)});
        break;
    default:  // 9: open triangle, apex down
        canvas.brush.style = BrushStyle::Clear;
        canvas.Polygon({pt(x - d, y - d), pt(x + d, y - d), pt(x, y + d)});
        break;
    }
}

} // namespace corvane
