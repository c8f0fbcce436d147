#pragma once
// The atlas description: one readable text file that says which layer files, themes, data
// list entries and text pages make up an atlas, and from which sources corvane-atlas builds
// them. The format is documented in tools/atlas/README.md; in short:
//
//   # comment                      (a line whose first non-blank character is # or ;)
//   [atlas]                        block header: [kind] or [kind name]
//   title = Corvane Sample Atlas   name = value; a name given again adds another value
//   [layer coast-full]             a layer file and the source it is made from
//   [heading Physical geography]   a heading of the data list
//   [theme Seas and oceans]        a theme: master file, extents, key heading
//   [dataset] [key] [query] [query-line]   parts of the theme above them, in order
//   [page Sources]                 a text page of the data list
//
// This file has no GDAL in it, so that the description can be parsed and checked (and
// tested) without the GIS libraries; corvane-atlas reads the sources elsewhere.
#include "catalogue/MasterFile.h"
#include "catalogue/writers/DataListWriter.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace corvane::atlas {

// A box in degrees.
struct Region {
    double west = 0, east = 0, south = 0, north = 0;
};

// Where a small integer of every feature comes from (a key code, a label size or trigger):
// a constant, or an integer attribute of the feature.
struct ValueSource {
    std::string field;     // empty: the constant
    int32_t constant = 0;
    bool FromField() const { return !field.empty(); }
};

// One entry of a headed information record (kinds 1 and 2): the 0-based index of the
// theme's query line definition that formats it, and the text of its value.
struct InfoLineSpec {
    int code = 0;
    std::string text;      // template: {field} is replaced by the feature's attribute
    bool clearHeaders = false;   // "clear": a 0xFE marker before the entry
    bool shared = false;         // "shared": this entry and the rest kept once, reached by 0xFF
};

// [layer NAME]: one binary layer file.
struct LayerSpec {
    std::string name;
    int line = 0;                      // of the block header, for messages
    int dataType = 0;                  // 1..9, as the data set descriptor's Data_Type
    std::string output;                // path inside the atlas ("Landdata/Vec/LandFull.Vec")
    std::string source;                // source file, relative to the sources folder
    std::string sourceLayer;           // layer inside the source (default: the first)
    std::string where;                 // attribute filter (OGR SQL WHERE clause)
    int band = 1;                      // raster band
    std::optional<Region> region;      // clip and grid extent; default: the source's extent
    double cellDegrees = 0;            // grid cell side; 0 = automatic
    int32_t precision = 0;             // HPrecision in millionths of a degree; 0 = automatic
    std::string id;                    // DatasetID (at most 12 characters)
    std::optional<int32_t> date;       // DateOrig YYYYMMDD; default: the atlas's
    std::optional<int32_t> scale;      // ScaleOrig; default: the atlas's
    ValueSource key{"", 1};            // key code of every feature (vectors, symbols, polygons, labels)
    std::vector<int32_t> landValues;   // land raster: values that are land (default: non-zero)
    // labels (type 6)
    std::string labelText;             // template
    ValueSource labelSize;             // size step 0..3
    ValueSource labelTrigger;          // pixels per degree of longitude
    int hJust = 0, vJust = 0;          // 0..3 each
    int angle = 0;
    // polygons with reference points (types 7 and 9): attributes holding the point;
    // empty: a point inside the polygon is computed
    std::string referenceLon, referenceLat;
    // information (types 4, 7, 9)
    int infoKind = -1;                 // -1: none; 0 one-line text; 1, 2 headed records
    std::string infoFile;              // AssDataFilename (8.3 name in the "DNN" folder)
    std::string infoText;              // kind 0: template of the line
    std::vector<InfoLineSpec> infoLines;   // kinds 1, 2: the entries of a record
    std::optional<int> infoDisplayCount;   // kind 2: the second count byte (default: entries)
};

struct FileRef {
    std::string layer;                 // a [layer] name
    double trigger = 0;                // Trigger_Scale
};

struct DatasetSpec {
    int line = 0;
    int dataType = 0;                  // 0: that of its layers
    std::vector<FileRef> files;        // most detailed first
    bool beforeCoastline = false;
    int keyAdjustment = 0;
    int level = 0;                     // Current_Level: 0 = chosen by scale
    // A data set of one file drawn only where the map's scale passes this trigger (0: at
    // every scale). The viewer draws a data set's only file at any scale, so the file is
    // listed twice with this trigger: at a smaller scale neither passes and none is drawn.
    double from = 0;
};

struct KeyEntrySpec {
    int line = 0;
    bool hidden = false, active = true;
    int entryType = 0;                 // 0 none, 1 line, 2 box, 3 symbol, 4 "TEXT", 5 symbol 15
    int topColour = 0, bottomColour = 0;   // colour numbers 0..15
    int topStyle = 0, bottomStyle = 0;
    int order = 0;                     // Display_Order; 0 = the entry's number
    std::vector<std::string> text;
};

struct QueryLineSpec {
    int line = 0;
    int lineCode = 0, dataType = 0, width = 0, decimals = 0, action = 0;
    int preceding = -1, printed = 0, justify = 1, headingColour = 15, inset = 11, dataColour = 15;
    std::string heading;
};

struct ThemeSpec {
    std::string title;
    int line = 0;
    int menuLevel = 1;
    std::string master;                // path inside the atlas of its .MAS file
    std::string textFile;              // information page (path inside the atlas), or none
    std::optional<Region> extent, defaultExtent;
    bool coastlineIncluded = false, mayBeTopLevel = true;
    int forceCoastlineStyle = 0;
    int keyWidth = 0;
    std::vector<std::string> keyHeading;
    std::vector<DatasetSpec> datasets;
    std::vector<KeyEntrySpec> key;
    bool hasQuery = false;
    int linesToAdd = 0;
    std::vector<QueryLineSpec> queryLines;
};

struct PageLine {
    bool include = false;              // an include mark and the path of a page inside the atlas
    std::string text;
};

struct PageSpec {
    std::string title;
    int line = 0;
    int menuLevel = 1;
    std::string file;                  // path inside the atlas
    // Its master file (path inside the atlas): a theme without data sets whose text file is
    // the page, which the data list names. Default: the page's file with the extension .MAS.
    std::string master;
    std::string source;                // UTF-8 text file in the sources folder, or none
    std::vector<PageLine> lines;       // text given in the description (after the source's)
};

// [map FILE]: a map definition file (.MDF) in the atlas, FILE its path inside the atlas.
struct MapSpec {
    std::string file;
    int line = 0;
    std::optional<Region> extent;        // "extent = minlat maxlat minlon maxlon"
    std::vector<std::string> base, overlay, text;   // theme titles; text: page titles
    int32_t width = 800, height = 600;   // the map window's outer size in pixels
    std::optional<uint32_t> background, landColour, landFill;   // 0x00BBGGRR
    std::optional<int32_t> landStyle;    // 1 infilled, 0 outline
    std::optional<uint32_t> gridColour, keyBackground, keyText;   // 0x00BBGGRR
    std::optional<int32_t> baseKeyCorner, overlayKeyCorner;       // 1 top left .. 4 bottom left
    bool halo = false;                   // names and graticule labels with a halo
};

struct HeadingSpec {
    std::string title;
    int line = 0;
    int menuLevel = 1;
};

// The data list in description order.
struct MenuEntry {
    enum Kind { Heading, Theme, Page } kind = Heading;
    size_t index = 0;                  // into headings, themes or pages
};

struct AtlasDescription {
    std::string title;
    std::string dataList = "Misc/MainMenu.Dat";
    std::string sources;               // default sources folder, relative to the description
    int32_t date = 0, scale = 0;
    std::vector<LayerSpec> layers;
    std::vector<HeadingSpec> headings;
    std::vector<ThemeSpec> themes;
    std::vector<PageSpec> pages;
    std::vector<MenuEntry> menu;
    std::vector<MapSpec> maps;

    const LayerSpec* FindLayer(const std::string& name) const;
};

struct DescriptionError {
    int line = 0;                      // 0: not tied to a line
    std::string message;
};

// Parses a description. Errors (unknown blocks or names, bad numbers, values out of range)
// are collected with their line numbers; the result is false when there was any.
bool ParseAtlasDescription(const std::string& text, AtlasDescription& out,
                           std::vector<DescriptionError>& errors);

// Checks what the parser cannot see line by line: every data set names defined layers of
// its data type; information lines name existing query lines; key codes and adjustments
// stay within the 50 key items; paths fit the 80 characters of a data path; every theme has
// a master file. Appends to errors; true when nothing was found.
bool CheckAtlasDescription(const AtlasDescription& atlas, std::vector<DescriptionError>& errors);

// "CDROM:\" followed by a path inside the atlas with backslashes ("Landdata/Vec/X.Vec" gives
// "CDROM:\Landdata\Vec\X.Vec").
std::string AtlasDataPath(const std::string& inside);

// A theme's full extent: its own, or the union of its layers' regions; none when neither
// is given.
std::optional<Region> ThemeExtent(const AtlasDescription& atlas, const ThemeSpec& theme);

// What tells that a map's extent is not where its themes are: empty when it meets the extent
// of one of them (or no theme's extent is known), else a line naming the map's extent and
// theirs (extents are minlat maxlat minlon maxlon, regions W E S N: a map written the other
// way round shows nothing of its themes).
std::string MapOffItsThemes(const AtlasDescription& atlas, const MapSpec& map);

// What tells that the viewer will draw a theme's key in its line-drawing font: a key text
// (heading or entry) with a letter above 128 in Windows-1252 switches the key to it, and
// the letters then show in the DOS code page ("ø" as "°"). Names the first such text and
// how it will look; empty when every key text is plain.
std::string KeyInLineDrawFont(const ThemeSpec& theme);

// The master file record of a theme, for the master file writer: descriptors with their
// files (the layers' output paths through AtlasDataPath), extents, the key with its colours
// through DOSColour and its text list, and the query block.
std::unique_ptr<MASStruct> BuildMasterRecord(const AtlasDescription& atlas, const ThemeSpec& theme);

// The master file of a page inside the atlas: its own, or its file with the extension .MAS.
std::string PageMasterPath(const PageSpec& page);

// The master file record of a page: no data set, the page as its text file. A data list
// entry names a theme by its master file (the data set list turns the entry's file into
// "name.MAS"), and a map's "(Text)" title loads the page's text file from it.
std::unique_ptr<MASStruct> BuildPageMaster(const PageSpec& page);

// The entries of the data list file, for the data list writer; a page's entry names its
// master file.
std::vector<DataListEntry> BuildDataList(const AtlasDescription& atlas);

// Data type by number or by word: "vectors" 1, "land-raster" 2, "colour-raster" 3,
// "symbols-info" 4, "symbols" 5, "labels" 6, "polygon-outlines" 7, "polygons" 8,
// "polygons-info" 9. 0 when unknown.
int ParseDataType(const std::string& value);

} // namespace corvane::atlas
