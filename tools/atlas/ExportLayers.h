#pragma once
// What corvane-atlas export reads, without GDAL: the layers a theme, a master file or a single
// layer file names, the key item and query record of every feature, and the features
// themselves in longitude and latitude, handed out by the readers of src/layers through
// their feature visitor (so that what is exported is what the viewer draws).
#include "catalogue/MasterFile.h"
#include "platform/ByteSource.h"
#include "layers/FeatureVisitor.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace corvane::atlas {

// One layer file to export and what it belongs to.
struct ExportLayer {
    std::string name;            // the output layer's name (unique within one export)
    std::string dataPath;        // the file as the master file names it (may begin CDROM:)
    std::string path;            // the native path
    int dataType = 0;            // 1..9
    uint8_t keyAdjustment = 0;
    double triggerScale = 0;     // the file is drawn above this scale (files chosen by scale)
    int filesInDataSet = 1;
    const MASStruct* theme = nullptr;   // its key and query lines; null for a lone layer file
    std::string themeTitle;
};

// Finds the layers of each input: a title of the data list (CvVars::DatalistFile), a master
// file (.MAS) or a layer file (its type from the extension: .Vec 1, .Mrl 2, .Rle 3, .Syx 4,
// .Sym 5, .Lbl 6, .Pol 8, or 9 when its header names an information file). The themes read
// are kept in themes. False with a message naming the input when one cannot be used.
bool FindExportLayers(const std::vector<std::string>& inputs, std::vector<ExportLayer>& layers,
                      std::vector<std::unique_ptr<MASStruct>>& themes, std::string& error);

// A key item of a theme as the export writes it.
struct KeyItemInfo {
    bool known = false;          // the key has this item
    std::string text;            // its text lines joined by " / ", UTF-8
    std::string topColour, bottomColour;   // "#rrggbb"
    int topStyle = 0, bottomStyle = 0;
    bool active = false, hidden = false;
};
KeyItemInfo KeyItemOf(const MASStruct* theme, int key);
// "#rrggbb" of a colour of the key (0x00BBGGRR).
std::string HexColour(Colour c);

// The query records of one layer, laid out as the query results window's text copy.
class QueryTexts {
public:
    explicit QueryTexts(const ExportLayer& layer);
    bool Available() const { return file_ != nullptr; }
    // The record at offset as text lines joined by "\n" (UTF-8), and its values by the
    // heading of the line definition that formats them (fields: heading, value). Empty when
    // the layer has no query information.
    std::string Text(int64_t offset, std::vector<std::pair<std::string, std::string>>* fields = nullptr);
    // The field names the line definitions give (headings without their colon).
    std::vector<std::string> FieldNames() const;
    std::string FileName() const { return fileName_; }
    // Why the records are left out: headed records of a layer file exported without its
    // theme, whose query lines lay them out. Empty when nothing is left out.
    const std::string& LeftOut() const { return leftOut_; }

private:
    const ExportLayer& layer_;
    std::unique_ptr<ByteSource> file_;
    std::string fileName_;
    std::string leftOut_;
    int32_t kind_ = 0;
};

// A feature as the export writes it: points, or lines and rings (lon, lat pairs), with the
// key code, the reference point and information offset where the layer has them, and for a
// label its text (UTF-8) and placement.
struct ExportFeature {
    enum Kind { Point, Line, Polygon, Label };
    Kind kind = Point;
    std::vector<std::vector<std::pair<double, double>>> parts;
    int key = 0;
    int64_t infoOffset = -1;
    bool hasReference = false;
    double refLon = 0, refLat = 0;
    std::string text;
    int hJust = 0, vJust = 0, sizeStep = 0, trigger = 0, angle = 0;
    int32_t cellColumn = 0, cellRow = 0;
    // Filled polygons joined from their pieces: where each polygon's rings begin in parts (its
    // outer ring, then its holes). Empty: the parts are rings as the file keeps them.
    std::vector<size_t> polygonStarts;
};

// A raster layer gathered whole: key codes (0 none) row by row from the north.
struct ExportRaster {
    double west = 0, north = 0, unitLon = 0, unitLat = 0;
    int64_t columns = 0, rows = 0;
    std::vector<uint8_t> codes;
};

// The label text's code page: as the viewer draws labels (Windows-1252), or DOS code page
// 437 for atlases written that way.
enum class LabelCodePage { Windows1252, Dos437 };

// Reads one layer through its reader's Visit: vector features go to onFeature, a raster is
// gathered into raster. message gets the reader's message when the file is damaged (a partial
// result) or cannot be read at all; returns false then.
bool ReadExportLayer(const ExportLayer& layer, LabelCodePage codePage,
                     const std::function<void(const ExportFeature&)>& onFeature, ExportRaster& raster,
                     std::string& message);

// The most cells a raster export holds (one byte each).
constexpr int64_t kMaxExportRasterCells = int64_t{1} << 31;

} // namespace corvane::atlas
