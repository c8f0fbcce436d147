#pragma once
// Writing layer files: the common 80-byte header, the cell index and the cell data, plus the
// helpers every format writer needs to place geographic positions in the cell grid.
//
// A format writer (vectors, run-length rasters, symbols, polygons, labels) works like this:
//
//   LayerGrid grid = ChooseGrid(minLat, maxLat, minLon, maxLon);        // <= 100 x 100 cells
//   HdrRec hdr = LayerHeader("COAST-CRUDE", grid, ChooseHPrecision(grid.GridCellSize));
//   LayerFileWriter w(hdr, kVectorLayout);
//   CellPosition p;
//   if (LocatePosition(hdr, lat, lon, p)) {
//       std::vector<uint8_t>& cell = w.Cell(p.Column, p.Row);         // the cell's records
//       PutU16(cell, p.Lat); PutU16(cell, p.Lon);
//   }
//   ... every cell's records end with the format's own terminator ...
//   w.Save(path);                                                     // or w.Bytes()
//
// The writer lays the cells out in the order the readers walk them (column by column, west
// to east, each column south to north), each cell's records starting on a whole record (or
// entry unit) so that its index entry is the record number the format expects. Empty cells
// get index entry 0. Everything here throws std::invalid_argument on input it cannot write
// (a grid larger than 100 x 100, a cell size or precision below 1, non-finite degrees...).
#include "layers/MapGen.h"

#include <cstdint>
#include <string>
#include <vector>

namespace corvane {

// ---- little-endian appends ---------------------------------------------------------------
void PutU8(std::vector<uint8_t>& out, uint8_t v);
void PutU16(std::vector<uint8_t>& out, uint16_t v);
void PutI32(std::vector<uint8_t>& out, int32_t v);
// Exactly width bytes: s cut to width, or padded with spaces.
void PutFixedText(std::vector<uint8_t>& out, const std::string& s, size_t width);

// ---- header --------------------------------------------------------------------------------
// The 80 bytes of a header. DatasetID and AssDataFilename are written as 12 bytes each (cut,
// or padded with spaces).
std::vector<uint8_t> EncodeHeader(const HdrRec& header);

// ---- the grid ------------------------------------------------------------------------------
// Grid part of a header, in millionths of a degree.
struct LayerGrid {
    int32_t LatOrig = 0;       // south edge of row 0
    int32_t LonOrig = 0;       // west edge of column 0
    int32_t GridCellSize = 0;  // side of a cell
    int32_t NumRows = 0;       // 1..100
    int32_t NumCols = 0;       // 1..100
};

// A grid covering latitudes minLat..maxLat and longitudes minLon..maxLon (degrees, each
// within +-1000): cells of cellSize millionths of a degree (1 degree by default), with the
// origin on a whole multiple of the cell size; when that takes more than 100 rows or
// columns the cells are made larger until it does not. A region of no extent still gets one
// cell. Positions on the north and east edges of the region lie inside the grid.
LayerGrid ChooseGrid(double minLat, double maxLat, double minLon, double maxLon, int32_t cellSize = 1000000);

// The layer unit (HPrecision, millionths of a degree) for cells of gridCellSize: the finest
// unit not below `finest` for which every offset inside a cell, up to the cell's north and
// east edges, fits 16 bits (gridCellSize / HPrecision <= 65535).
int32_t ChooseHPrecision(int32_t gridCellSize, int32_t finest = 1);

// A header for the grid and unit; the other fields are zero (VPrecision, AssDataType,
// AssDataFilename, ScaleOrig, DateOrig are the caller's to set).
HdrRec LayerHeader(const std::string& DatasetID, const LayerGrid& grid, int32_t HPrecision);

// A position inside the grid of a header: its cell and its offsets from the cell's
// south-west corner in layer units, as the record formats store them.
struct CellPosition {
    int32_t Column = 0;
    int32_t Row = 0;
    uint16_t Lat = 0;   // north of the cell's south edge
    uint16_t Lon = 0;   // east of the cell's west edge
};
// Finds the cell and offsets of (lat, lon) in degrees: offsets are rounded (halves to even)
// to whole layer units; a position on the grid's north or east edge belongs to the last row
// or column. False when the position lies outside the grid or its offset would not fit
// 16 bits.
bool LocatePosition(const HdrRec& header, double lat, double lon, CellPosition& out);

// ---- assembling the file ------------------------------------------------------------------
// How a format addresses its cells: the index entry is the byte position of the cell's data
// divided by entryUnit (the record size of the record formats; 1 for the byte positions of
// the run-length and label formats), and the file length is padded with zero bytes to a
// whole number of blockSize bytes.
struct LayerLayout {
    int32_t entryUnit = 1;
    int32_t blockSize = 1;
};
constexpr LayerLayout kVectorLayout{4, 1};        // VectorRec, 4 bytes
constexpr LayerLayout kPolygonLayout{4, 1};       // POLRec, 4 bytes
constexpr LayerLayout kSymbolLayout{5, 1};        // SYMRec, 5 bytes
constexpr LayerLayout kSymbolInfoLayout{8, 1};    // SYXRec, 8 bytes
constexpr LayerLayout kLabelLayout{1, 1};         // labels: byte positions
constexpr LayerLayout kRunLengthLayout{1, 512};   // run-length rasters: byte positions, 512-byte blocks

class LayerFileWriter {
public:
    // Throws std::invalid_argument when the header's grid is outside 1..100 x 1..100, its
    // cell size or HPrecision is below 1, or the layout's units are below 1.
    LayerFileWriter(const HdrRec& header, LayerLayout layout);

    const HdrRec& Header() const { return header_; }

    // The data of cell (c, r), for the format writer to append its records to. Throws
    // std::out_of_range outside the grid.
    std::vector<uint8_t>& Cell(int32_t c, int32_t r);
    // Sets the index entry of a cell that has no data (the whole-cell codes of the
    // run-length formats: 1 for land, 1..31 for a key code). Negative values and 0 mean an
    // empty cell. A cell that has data takes its position instead.
    void SetEntry(int32_t c, int32_t r, int32_t value);

    // The whole file: header, column-major index, then the data of every non-empty cell in
    // index order, each starting on a whole entry unit; padded to the block size. Throws
    // std::length_error when a position would not fit an index entry.
    std::vector<uint8_t> Bytes() const;
    // Writes Bytes() through a temporary file; false (and the reason) on failure.
    bool Save(const std::string& nativePath, std::string* error = nullptr) const;

private:
    size_t Slot(int32_t c, int32_t r) const;

    HdrRec header_;
    LayerLayout layout_;
    std::vector<std::vector<uint8_t>> cells_;   // column-major, as the index
    std::vector<int32_t> entries_;
};

} // namespace corvane
