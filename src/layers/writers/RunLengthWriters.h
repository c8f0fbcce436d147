#pragma once
// Writes the two run-length raster layers from a geographic raster: the land layer
// (MonoRLEmap: land and sea) and the colour layer (RLEmap: key codes 0..31).
//
//   GeoRaster land{-10.0, 60.0, 1.0 / 300, 1.0 / 300, 18000, 11100};   // 12" over 60 x 37 degrees
//   LayerWriteOptions o;
//   o.Header.DatasetID = "LAND12S";          // the descriptive header fields are the caller's
//   MonoRLEmapWriter w(land, o);             // chooses the cells and units; throws if it cannot
//   w.Write(source).Save(path);              // reads the raster one cell at a time
//
// The raster's pixels become the layer's units one for one. Its cells are whole numbers of
// pixels on each side and a whole number of millionths of a degree, at most 100 x 100 of
// them (ChooseRasterGrid); the units of the grid that lie beyond the raster's edges are sea
// (no data). A cell wholly land (or of one key code 1..31) is written as that index entry alone,
// a cell wholly sea (code 0) as an empty entry; any other cell as its runs, south row first,
// each row west to east, in one byte where the length fits it and in two otherwise. Only the
// encoded cells are held in memory, never the whole raster.
#include "layers/RunLength.h"
#include "layers/writers/FeatureWriter.h"
#include "layers/writers/LayerFileWriter.h"

#include <cstdint>
#include <string>
#include <vector>

namespace corvane {

// A raster in degrees: Columns x Rows pixels, row 0 the northernmost and column 0 the
// westernmost, West and North the outer edges of pixel (0, 0).
struct GeoRaster {
    double West = 0.0;
    double North = 0.0;
    double PixelWidth = 0.0;    // degrees of longitude
    double PixelHeight = 0.0;   // degrees of latitude
    int64_t Columns = 0;
    int64_t Rows = 0;
};

// Where a writer reads the raster's values from, one window at a time.
class RasterSource {
public:
    virtual ~RasterSource() = default;
    // Fills out (width x height values, row by row from the north) with the pixels of
    // columns column..column + width - 1 and rows row..row + height - 1, which lie inside
    // the raster. May throw to abandon the writing.
    virtual void ReadWindow(int64_t column, int64_t row, int32_t width, int32_t height, uint8_t* out) = 0;
};

// A raster held in memory, row by row from the north.
class MemoryRaster : public RasterSource {
public:
    MemoryRaster(int64_t columns, std::vector<uint8_t> values);
    void ReadWindow(int64_t column, int64_t row, int32_t width, int32_t height, uint8_t* out) override;

private:
    int64_t columns_;
    std::vector<uint8_t> values_;
};

// How a raster lies on a layer grid.
struct RasterLayerGrid {
    LayerGrid grid;          // origin, cell size, rows and columns of cells
    int32_t HPrecision = 0;  // layer units, millionths of a degree
    int32_t VPrecision = 0;
    int64_t cellColumns = 0; // raster pixels to a cell, west to east (ngridx)
    int64_t cellRows = 0;    // and south to north (ngridy)
    int64_t padWest = 0;     // units of the grid west of the raster's first column
    int64_t padNorth = 0;    // and north of its first row
};

// The grid for a raster. A cell side is a whole number of pixels and of millionths of a
// degree in both directions (to a thousandth of a pixel over the whole raster), with at most
// 100 cells each way, at most 2^26 pixels to a cell, and units that the readers turn back
// into the same pixel counts. The side nearest cellSize (millionths of a degree) that can be
// had is taken, with the cells on whole multiples of it where the raster's pixels line up
// with them (so that one-degree cells fall on whole degrees), otherwise starting at the
// raster's north-west corner (rounded to a millionth of a degree).
// Throws std::invalid_argument, naming the problem, when there is no such grid.
RasterLayerGrid ChooseRasterGrid(const GeoRaster& raster, int32_t cellSize = 1000000);

// What the two writers share: the grid, the header, and the walk over the cells.
class RunLengthRasterWriter {
public:
    virtual ~RunLengthRasterWriter() = default;

    const RasterLayerGrid& Grid() const { return grid_; }
    // The header written: the grid and units chosen for the raster, the other fields
    // (DatasetID, ScaleOrig, AssDataType, AssDataFilename, NotUsed, DateOrig) as given.
    const HdrRec& Header() const { return header_; }

    // Reads the raster cell by cell (columns of cells west to east, each south to north) and
    // encodes every cell. Throws std::invalid_argument for a value the format cannot hold,
    // std::length_error when the file would outgrow its index entries.
    LayerFileWriter Write(RasterSource& values) const;

protected:
    RunLengthRasterWriter(const GeoRaster& raster, RunCoding coding, const LayerWriteOptions& options);
    // The run code of raster value v, or -1 when the format cannot hold it.
    virtual int RunCode(uint8_t v) const = 0;
    // The index entry of a cell all of run code code (0: an empty cell).
    virtual int32_t WholeCellEntry(int code) const = 0;

private:
    GeoRaster raster_;
    RasterLayerGrid grid_;
    HdrRec header_;
    RunCoding coding_;
};

// The land layer: a value other than 0 is land.
class MonoRLEmapWriter : public RunLengthRasterWriter {
public:
    // options: the descriptive header fields, and the cell side wanted (see ChooseRasterGrid;
    // FinestUnit plays no part, the units being the raster's pixels).
    explicit MonoRLEmapWriter(const GeoRaster& raster, const LayerWriteOptions& options = {});

protected:
    int RunCode(uint8_t v) const override;
    int32_t WholeCellEntry(int code) const override;
};

// The colour layer: values are key codes 0 (no data) to 31.
class RLEmapWriter : public RunLengthRasterWriter {
public:
    explicit RLEmapWriter(const GeoRaster& raster, const LayerWriteOptions& options = {});

protected:
    int RunCode(uint8_t v) const override;
    int32_t WholeCellEntry(int code) const override;
};

} // namespace corvane
