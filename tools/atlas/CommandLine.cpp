#include "CommandLine.h"

#include <set>

namespace corvane::atlas {

const char* HelpText()
{
    return R"(corvane-atlas: compiles GIS data into the files of a Corvane atlas.

Usage:
  corvane-atlas build [--sources DIR] [--output DIR] [--only LAYER]... [--no-layers] [--dry-run]
                      [--verbose] [--coastline-from DIR|none] ATLAS.desc
  corvane-atlas check ATLAS.desc
  corvane-atlas layer --type TYPE --source FILE [layer options] --output FILE
  corvane-atlas inspect SOURCE...
  corvane-atlas export [--cdrom DIR] [--datalist FILE] THEME-OR-LAYER... --output OUT
                       [--format NAME] [--polygons] [--pieces] [--label-code-page 1252|437]
  corvane-atlas names [--cdrom DIR] [--datalist FILE] [--format csv|geojson]
                      [--output FILE]
  corvane-atlas --help | --version

Commands:
  build    Reads the atlas description and writes every layer file it names (with
           the query information files in the "DNN" folder beside each layer that
           has information), every theme's master file, the data list, the text
           pages and the maps, under the output folder. For each layer it tells the
           features written and those left out with their reasons, and the key codes
           that no key entry of the theme takes (drawn in black, or not at all).
  check    Reads and checks the atlas description and prints the data list and the
           layers it would build; reads no source.
  layer    Writes one layer file from one source; the layer options below are the
           names of a [layer] block of the description (tools/atlas/README.md).
  inspect  Describes sources as GDAL reads them: layers, feature counts, fields and
           extents, or raster size, cell size and value range.
  export   Writes the data of themes (by their title in the data list), master files
           (.MAS) or single layer files (by their path, or their path inside the
           atlas: Themes/Seas/Limits.Vec) into a GIS file through GDAL, in WGS 84
           longitude and latitude (EPSG:4326), each layer file as a layer of its own
           (a file chosen by scale is named by the scale it is drawn from). Lines
           become LineStrings, polygon outlines MultiLineStrings, filled polygons
           MultiPolygons (parts rebuilt into rings with their holes), symbols and
           labels Points, colour rasters and land masks a one-band GeoTIFF of key
           codes with a colour table beside OUT (OUT.LAYER.tif). Every feature
           carries its key item (key, key_text, top_colour and bot_colour as
           #rrggbb, top_style, bot_style, active, hidden) and its source file;
           labels their text, justification, size step and zoom trigger; data that
           answers queries its record as text (query) and its values as fields
           named by the query lines (numbers where all are numbers). What the
           compiler cut along the grid comes back joined, one feature for each
           source feature (fills without query records: united by key). A damaged
           layer file is reported with the viewer's message and exported as far
           as it can be read, as a layer named LAYER_partial with the metadata
           item PARTIAL; the exit status is then 1.
  names    Writes the gazetteer of an atlas: every name it holds (the texts of the
           label layers, the key texts of every theme and the names of the query
           records), one a line (CSV) or feature (GeoJSON), with its kind, where it
           comes from (label, key or record), its theme, its longitude and latitude
           and, for an area, its extent (west, south, east, north), in UTF-8. The
           index of names is the viewer's place search's, kept in the user's cache
           ($XDG_CACHE_HOME/corvane). A damaged file is reported and read as far as
           it goes; the exit status is then 1.

Options of build:
  --sources DIR   Folder the sources of the description are read from (default: the
                  "sources" of its [atlas] block, relative to the description).
  --output DIR    Root folder of the atlas (default: the folder of the description).
  --only LAYER    Builds only this layer (repeatable); master files, data list and
                  pages are then left alone.
  --no-layers     Builds no layer: only the master files, the data list, the pages
                  and the maps (which read no source).
  --dry-run       Reads the sources and reports what would be written, writes nothing.
  --coastline-from DIR|none
                  The viewer draws the standard coastline, ten files at fixed
                  places (Landdata/Vec/LandFull.Vec ... Landdata/Mrl/Land5Min.Mrl),
                  on every map whose themes do not bring their own
                  (coastline-included). The build links (or, on another file
                  system, copies) those the atlas lacks from the atlas in DIR; by
                  default from the sample atlas installed with corvane-atlas, when
                  it is. "none" takes none. The summary says what the atlas has.
  --verbose       Reports every layer's counts, the features left out by place and
                  name, and the grid and unit its file is laid out in (also with
                  --dry-run, which then lays out all but rasters in memory).

Layer options (layer command; in a description: the same names without "--"):
  --type TYPE           Data type: 1 vectors, 2 land-raster, 3 colour-raster,
                        4 symbols-info, 5 symbols, 6 labels, 7 polygon-outlines,
                        8 polygons, 9 polygons-info (number or word).
  --source FILE         Vector or raster source GDAL reads (GeoJSON, Shapefile,
                        GeoPackage, OGR/GMT, GeoTIFF, netCDF, ...).
  --source-layer NAME   Layer of the source (default: the first).
  --where EXPR          Attribute filter, an OGR SQL WHERE clause.
  --band N              Raster band (default 1).
  --region "W E S N"    Region in degrees: features and rasters are cut to it; the
                        grid of vectors covers it, that of other layers their features
                        (default: the extent of the source).
  --cell DEG|auto       Wanted side of a grid cell in degrees (auto: 1 degree); made
                        larger when the grid would need more than 100 cells a side;
                        for rasters the nearest side of whole raster cells.
  --precision N|auto    Layer unit in millionths of a degree; it is made coarser when
                        an offset in a cell would not fit 16 bits (auto: the finest that
                        fits). Rasters use their own cell size.
  --id TEXT             Data set identifier in the header (12 characters).
  --date YYYYMMDD       Date of the source (0: unknown).
  --scale N             Scale denominator of the source (0: digital).
  --key N | --key "field NAME"
                        Key code of every feature: a constant (1..50) or an integer
                        attribute. Colour rasters take the raster value (0..31).
  --land-values "V..."  Land raster: the raster values that are land (default: any
                        value but 0).
  --label-text TEMPLATE Labels: the text; {NAME} is replaced by the attribute NAME.
  --label-size N | "field NAME"      Label size step 0..3 (4 points each).
  --label-trigger N | "field NAME"   Screen pixels per degree of longitude from which
                        the label is drawn (0: always).
  --justify "H V"       Labels: H left|centre|right, V above|middle|low|below.
  --angle N             Labels: the angle stored with the label (not drawn).
  --reference inside | "fields LON LAT"
                        Polygons 7 and 9: the reference point a query finds, a point
                        inside the polygon (default) or two attributes.
  --info-kind 0|1|2     Query information: 0 one line of text, 1 headed record,
                        2 headed record with a display count (types 4, 7, 9).
  --info-file NAME      Name of the information file in the "DNN" folder (8.3).
  --info-text TEMPLATE  Kind 0: the line of every feature.
  --info-line "CODE TEMPLATE"
                        Kinds 1 and 2: one entry of every record (repeatable, in
                        order): CODE is the 0-based index of the theme's query line
                        that formats it.
  --info-display-count N
                        Kind 2: the display count byte (default: the entries).
  --output FILE         The layer file to write.

Options of export:
  --cdrom DIR           The atlas's root, which stands for "CDROM:" in its files: a
                        folder or a disc image (ISO 9660 or UDF) such as atlas.iso
                        (default: the current folder).
  --datalist FILE       The data list that titles are looked up in (default:
                        CDROM:\Misc\MainMenu.Dat).
  --output OUT          The file to write: .gpkg, .geojson, .shp, .fgb, .tif (rasters
                        only), ... Formats of one layer a file write OUT.LAYER.EXT
                        for each layer when there are several. Files there are
                        replaced only once all the new ones are whole; a file the
                        export reads is refused.
  --format NAME         GDAL driver name, when the extension does not tell.
  --polygons            Rasters as polygons of equal key code in the vector output
                        rather than GeoTIFF files.
  --pieces              Features as the layer files keep them: lines and polygons
                        in the pieces the compiler cut them into.
  --label-code-page N   Code page of label texts: 1252 (as the viewer draws them, the
                        default) or 437 (DOS); written as UTF-8.

Options of names:
  --cdrom DIR, --datalist FILE
                        The atlas, as for export.
  --format csv|geojson  The format (default: from the output's extension, else
                        csv).
  --output FILE         The file to write (default: standard output).

Exit status: 0 done, 1 a source or output failed, 2 bad arguments or description.
)";
}

CommandLine ParseCommandLine(const std::vector<std::string>& args)
{
    static const std::set<std::string> layerOptions{
        "type", "source", "source-layer", "where", "band", "region", "cell", "precision", "id", "date",
        "scale", "key", "land-values", "label-text", "label-size", "label-trigger", "justify", "angle",
        "reference", "info-kind", "info-file", "info-text", "info-line", "info-display-count"};
    CommandLine cl;
    if (args.empty()) { cl.error = "no command (try --help)"; return cl; }
    const std::string& cmd = args[0];
    if (cmd == "--help" || cmd == "-h" || cmd == "help") { cl.command = CommandLine::Help; return cl; }
    if (cmd == "--version") { cl.command = CommandLine::Version; return cl; }
    if (cmd == "build") cl.command = CommandLine::Build;
    else if (cmd == "check") cl.command = CommandLine::Check;
    else if (cmd == "inspect") cl.command = CommandLine::Inspect;
    else if (cmd == "layer") cl.command = CommandLine::Layer;
    else if (cmd == "export") cl.command = CommandLine::Export;
    else if (cmd == "names") cl.command = CommandLine::Names;
    else { cl.error = "unknown command " + cmd + " (try --help)"; return cl; }

    std::vector<std::string> positional;
    for (size_t i = 1; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--help" || a == "-h") { cl.command = CommandLine::Help; return cl; }
        if (a.rfind("--", 0) != 0) { positional.push_back(a); continue; }
        const std::string name = a.substr(2);
        const bool flag = name == "dry-run" || name == "verbose" || name == "no-layers" || name == "polygons" ||
                          name == "pieces";
        if (!flag && i + 1 >= args.size()) { cl.error = a + " needs a value"; return cl; }
        if (name == "dry-run" && cl.command == CommandLine::Build) cl.dryRun = true;
        else if (name == "verbose" && cl.command == CommandLine::Build) cl.verbose = true;
        else if (name == "no-layers" && cl.command == CommandLine::Build) cl.noLayers = true;
        else if (name == "sources" && cl.command == CommandLine::Build) cl.sources = args[++i];
        else if (name == "coastline-from" && cl.command == CommandLine::Build) cl.coastlineFrom = args[++i];
        else if (name == "only" && cl.command == CommandLine::Build) cl.only.push_back(args[++i]);
        else if (name == "output" && (cl.command == CommandLine::Build || cl.command == CommandLine::Layer)) cl.output = args[++i];
        else if (cl.command == CommandLine::Export && name == "output") cl.output = args[++i];
        else if (cl.command == CommandLine::Names && (name == "output" || name == "format" || name == "cdrom" ||
                                                      name == "datalist")) {
            std::string& field = name == "output" ? cl.output : name == "format" ? cl.format
                                 : name == "cdrom" ? cl.cdrom : cl.datalist;
            field = args[++i];
        }
        else if (cl.command == CommandLine::Export && name == "cdrom") cl.cdrom = args[++i];
        else if (cl.command == CommandLine::Export && name == "datalist") cl.datalist = args[++i];
        else if (cl.command == CommandLine::Export && name == "format") cl.format = args[++i];
        else if (cl.command == CommandLine::Export && name == "polygons") cl.polygons = true;
        else if (cl.command == CommandLine::Export && name == "pieces") cl.pieces = true;
        else if (cl.command == CommandLine::Export && name == "label-code-page") {
            const std::string& v = args[++i];
            if (v != "1252" && v != "437") { cl.error = "--label-code-page takes 1252 or 437"; return cl; }
            cl.labelCodePage = std::stoi(v);
        } else if (cl.command == CommandLine::Layer && layerOptions.count(name)) {
            const std::string& v = args[++i];
            if (v.find('\n') != std::string::npos) { cl.error = a + ": a value is one line"; return cl; }
            cl.layerBlock += name + " = " + v + "\n";
        } else { cl.error = "unknown option " + a + " for " + cmd; return cl; }
    }

    switch (cl.command) {
    case CommandLine::Build:
    case CommandLine::Check:
        if (cl.noLayers && !cl.only.empty()) { cl.error = "--no-layers and --only do not go together"; return cl; }
        if (positional.size() != 1) { cl.error = cmd + " takes one atlas description"; return cl; }
        cl.description = positional[0];
        break;
    case CommandLine::Inspect:
        if (positional.empty()) { cl.error = "inspect takes one or more sources"; return cl; }
        cl.inputs = positional;
        break;
    case CommandLine::Export:
        if (positional.empty()) { cl.error = "export takes one or more themes, master files or layer files"; return cl; }
        if (cl.output.empty()) { cl.error = "export needs --output OUT"; return cl; }
        cl.exportInputs = positional;
        break;
    case CommandLine::Names:
        if (!positional.empty()) { cl.error = "names takes options only (unexpected " + positional[0] + ")"; return cl; }
        break;
    case CommandLine::Layer:
        if (!positional.empty()) { cl.error = "layer takes options only (unexpected " + positional[0] + ")"; return cl; }
        if (cl.output.empty()) { cl.error = "layer needs --output FILE"; return cl; }
        break;
    default:
        break;
    }
    return cl;
}

} // namespace corvane::atlas
