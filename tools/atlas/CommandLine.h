#pragma once
// The command line of corvane-atlas (no GDAL here, so that it can be tested alone).
#include <optional>
#include <string>
#include <vector>

namespace corvane::atlas {

struct CommandLine {
    enum Command { None, Help, Version, Check, Inspect, Build, Layer, Export, Names };
    Command command = None;
    std::string description;           // check, build: the atlas description
    std::string sources;               // --sources DIR
    std::string output;                // --output DIR (build) or the layer file (layer)
    std::vector<std::string> only;     // --only LAYER (repeatable)
    bool noLayers = false;             // --no-layers: the catalogue only
    bool dryRun = false;               // --dry-run
    bool verbose = false;              // --verbose
    // --coastline-from DIR: the atlas whose standard coastline files an atlas lacking them
    // takes ("none": none); not given: the sample atlas installed with the program.
    std::optional<std::string> coastlineFrom;
    std::vector<std::string> inputs;   // inspect: the sources
    // layer: the options of a [layer] block, as description lines "name = value"
    std::string layerBlock;
    // export: the themes (titles), master files and layer files, and the options
    std::vector<std::string> exportInputs;
    std::string cdrom;                 // --cdrom DIR
    std::string datalist;              // --datalist FILE
    std::string format;                // --format NAME (a GDAL driver; names: csv or geojson)
    bool polygons = false;             // --polygons
    bool pieces = false;               // --pieces
    int labelCodePage = 1252;          // --label-code-page 1252|437
    std::string error;                 // set when the arguments are wrong
};

CommandLine ParseCommandLine(const std::vector<std::string>& args);

// The --help text: every command and option.
const char* HelpText();

} // namespace corvane::atlas
