// corvane-atlas: compiles GIS data into the files of a Corvane atlas (see --help).
#include "AtlasDescription.h"
#include "AtlasText.h"
#include "CommandLine.h"
#include "Export.h"
#include "GdalSources.h"
#include "GridSplit.h"
#include "LayerBuild.h"

#include "catalogue/writers/DataListWriter.h"
#include "catalogue/writers/MasterFileWriter.h"
#include "layers/Trig.h"
#include "layers/writers/VECmapWriter.h"
#include "mapdef/MDFStruct.h"
#include "mapdef/ScreenMetrics.h"
#include "platform/CvVars.h"
#include "platform/DataListSearch.h"
#include "platform/DataPath.h"
#include "platform/MessageSink.h"
#include "platform/RunInputs.h"
#include "platform/TextFile.h"

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <iostream>
#include <stdexcept>

namespace fs = std::filesystem;
using namespace corvane;
using namespace corvane::atlas;

namespace {

constexpr int kDone = 0, kFailed = 1, kBadInput = 2;

// The screen the atlas's maps are made for, the room a desktop panel takes at its bottom,
// and the first row below the viewer's main window strip on it.
constexpr int32_t kMapScreenWidth = 1366, kMapScreenHeight = 768, kPanelHeight = 28, kMainStripBottom = 120;

// A path inside the atlas ("Landdata\Vec\X.Vec" or with slashes) under a native root.
fs::path NativeInAtlas(const fs::path& root, const std::string& inside)
{
    std::string s = inside;
    for (char& c : s)
        if (c == '\\') c = '/';
    while (!s.empty() && s.front() == '/') s.erase(0, 1);
    return root / fs::path(s);
}

bool WriteBytes(const fs::path& path, const std::string& data, std::string& error)
{
    std::error_code ec;
    fs::create_directories(path.parent_path(), ec);
    if (ec) { error = "cannot make " + path.parent_path().string() + ": " + ec.message(); return false; }
    return WriteFileAtomic(path.string(), data, &error);
}

// ---- the format writers ----------------------------------------------------------------
// Writes a layer through the writer of its data type. The writers check every feature and
// throw, naming it, when one cannot be stored; that ends this layer.
bool WriteLayerFile(const LayerContent& c, const fs::path& path, std::string& error)
{
    std::error_code ec;
    fs::create_directories(path.parent_path(), ec);
    try {
        switch (c.dataType) {
        case 1: {
            VECmapWriter w(c.options, c.south_west.Lat, c.north_east.Lat, c.south_west.Lon, c.north_east.Lon);
            for (const KeyedPolyline& l : c.lines) w.AddPolyline(l.key, l.points);
            return w.Save(path.string(), &error);
        }
        case 2:
        case 3: {
            if (!c.codes) { error = "a raster layer without its raster"; return false; }
            if (c.dataType == 2) return MonoRLEmapWriter(c.raster, c.options).Write(*c.codes).Save(path.string(), &error);
            return RLEmapWriter(c.raster, c.options).Write(*c.codes).Save(path.string(), &error);
        }
        case 4:
        case 5: {
            SymbolFileWriter w(c.options, c.dataType == 4);
            for (const SymbolPoint& p : c.points) w.Add(p);
            return w.Save(path.string(), &error);
        }
        case 6: {
            LabelFileWriter w(c.options);
            for (const LabelFeature& l : c.labels) w.Add(l);
            return w.Save(path.string(), &error);
        }
        case 7:
        case 8:
        case 9: {
            PolygonFileWriter w(c.options, c.dataType);
            for (const PolygonFeature& p : c.polygons) w.Add(p);
            return w.Save(path.string(), &error);
        }
        default:
            error = "no layer format of type " + std::to_string(c.dataType);
            return false;
        }
    } catch (const std::exception& e) {
        error = e.what();
        return false;
    }
}

bool LoadDescription(const std::string& file, AtlasDescription& atlas)
{
    std::string text;
    if (!ReadNativeFile(file, text)) {
        std::cerr << "corvane-atlas: cannot read " << file << "\n";
        return false;
    }
    std::vector<DescriptionError> errors;
    ParseAtlasDescription(text, atlas, errors);
    if (errors.empty()) CheckAtlasDescription(atlas, errors);
    for (const DescriptionError& e : errors)
        std::cerr << file << ":" << (e.line ? std::to_string(e.line) + ":" : std::string()) << " " << e.message << "\n";
    return errors.empty();
}

void PrintDataList(const AtlasDescription& atlas)
{
    std::cout << WriteDataList(BuildDataList(atlas));
}

const char* TypeWord(int type)
{
    static const char* words[] = {"?", "vectors", "land-raster", "colour-raster", "symbols-info",
                                  "symbols", "labels", "polygon-outlines", "polygons", "polygons-info"};
    return type >= 1 && type <= 9 ? words[type] : words[0];
}

// Reads a layer's source and builds its content; reports and returns false on failure.
bool BuildOne(const AtlasDescription& atlas, const LayerSpec& layer, const fs::path& sources,
              const fs::path& root, bool dryRun, bool verbose)
{
    const fs::path source = fs::path(layer.source).is_absolute() ? fs::path(layer.source) : sources / layer.source;
    const bool raster = layer.dataType == 2 || layer.dataType == 3;
    std::string error;
    LayerBuildResult result;
    SplitSummary split;
    try {
        if (raster) {
            std::unique_ptr<RasterValueSource> values = OpenRasterSource(source.string(), layer.band, layer.region, error);
            if (!values) {
                std::cerr << "layer " << layer.name << ": " << error << "\n";
                return false;
            }
            CheckGridFits(layer, {values->west, values->west + values->cols * values->unitLon,
                                  values->north - values->rows * values->unitLat, values->north});
            result = BuildRasterLayer(atlas, layer, std::move(values));
        } else {
            VectorSource vectors;
            if (!ReadVectorSource(source.string(), layer.sourceLayer, layer.where, layer.region, vectors, error)) {
                std::cerr << "layer " << layer.name << ": " << error << "\n";
                return false;
            }
            CheckGridFits(layer, layer.dataType == 1 && layer.region ? *layer.region : vectors.extent);
            const ThemeSpec* theme = ThemeOfLayer(atlas, layer.name);
            result = BuildVectorLayer(atlas, layer, theme ? theme->queryLines : std::vector<QueryLineSpec>{}, vectors);
            result.skipped += vectors.skipped;
            split = CutPolygonsAlongGrid(result.content, result.polygonSource, vectors);
            CheckPolygonUnits(layer, result.content);
        }
    } catch (const std::exception& e) {
        std::cerr << "layer " << layer.name << ": " << e.what() << "\n";
        return false;
    }

    const LayerContent& c = result.content;
    if (!raster)
        std::cout << layer.name << " (" << TypeWord(layer.dataType) << ") -> " << layer.output << ": " << result.used
                  << " features, " << result.skipped << " left out\n";
    if (split.polygonsCut)
        std::cout << "  " << split.polygonsCut << " polygons cut along the grid into " << split.pieces << " pieces\n";
    if (verbose) {
        size_t points = 0;
        for (const KeyedPolyline& l : c.lines) points += l.points.size();
        for (const PolygonFeature& p : c.polygons)
            for (const GeoLine& part : p.Parts) points += part.size();
        std::cout << "  " << c.lines.size() << " lines, " << c.polygons.size() << " polygons, " << points
                  << " vertices, " << c.points.size() << " points, " << c.labels.size() << " labels, raster "
                  << c.raster.Columns << " x " << c.raster.Rows << "; cells of " << c.options.CellSize
                  << " millionths of a degree wanted\n";
    }
    for (const std::string& w : result.warnings) std::cout << "  " << w << "\n";
    if (result.info) std::cout << "  information: " << result.info->Bytes().size() << " bytes\n";
    if (dryRun) return true;

    const fs::path out = NativeInAtlas(root, layer.output);
    if (result.info) {
        const fs::path infoPath = out.parent_path() / "DNN" / layer.infoFile;
        const auto& bytes = result.info->Bytes();
        if (!WriteBytes(infoPath, std::string(bytes.begin(), bytes.end()), error)) {
            std::cerr << "layer " << layer.name << ": " << error << "\n";
            return false;
        }
    }
    const bool written = WriteLayerFile(c, out, error);
    if (raster && result.rasterCodes) {
        // The raster is read while it is written: its counts are known only now.
        std::cout << layer.name << " (" << TypeWord(layer.dataType) << ") -> " << layer.output << ": "
                  << result.rasterCodes->Used() << " coded units\n";
        for (const std::string& w : result.rasterCodes->Warnings()) std::cout << "  " << w << "\n";
    }
    if (!written) {
        std::cerr << "layer " << layer.name << ": " << error << "\n";
        return false;
    }
    std::error_code ec;
    std::cout << "  " << fs::file_size(out, ec) << " bytes\n";
    return true;
}

// A map definition file, written by the viewer's own map definition code: a new map's
// settings, the map's extent (the window shaped to it) and its themes by title.
bool WriteMap(const MapSpec& m, const fs::path& root, std::string& error)
{
    // The maps are made for the smallest common laptop screen; the window opens at its left
    // edge, below the viewer's main window strip, and is shaped to the extent.
    const int32_t screenW = kMapScreenWidth, screenH = kMapScreenHeight, top = kMainStripBottom;
    FixedScreenMetrics screen;
    screen.workArea = {0, 0, screenW, screenH - kPanelHeight};
    screen.screenWidth = screenW;
    screen.screenHeight = screenH;
    screen.mainWindowBottom = top;
    screen.frame = {3, 3, 1, 1, 19};
    NullMessageSink sink;
    MDFLoadResult made = TMDFStruct::Create("", screen, sink);
    if (!made) { error = made.Error; return false; }
    TMDFStruct& mdf = *made.MDF;
    // The window takes the shape of the extent at its latitude, as the viewer reshapes it when
    // it opens the map: the same stretch as the viewer's, or the saved window would not fit.
    CvVars::LatLonScale = 1.0 / std::cos(DegreesToRadians((m.extent->south + m.extent->north) / 2.0));
    mdf.NewZoom(0, top, m.width, top + m.height, m.extent->west, m.extent->south, m.extent->east, m.extent->north,
                AreaPriority);
    if (mdf.GetWindowLeft() < 0 || mdf.GetWindowTop() < top || mdf.GetWindowRight() > screenW ||
        mdf.GetWindowBottom() > screenH - kPanelHeight) {
        error = "the window, shaped to the extent, is " + std::to_string(mdf.GetWindowWidth()) + " x " +
                std::to_string(mdf.GetWindowHeight()) + ": it does not fit a " + std::to_string(screenW) + " x " +
                std::to_string(screenH) + " screen below the viewer's main window (a smaller window or a wider extent)";
        return false;
    }
    if (m.background) mdf.BackgroundColour = *m.background;
    if (m.landColour) mdf.Land_Plot_Colour = *m.landColour;
    if (m.landFill) mdf.Land_Plot_Fill_Colour = *m.landFill;
    if (m.landStyle) mdf.Land_Plot_Style = *m.landStyle;
    if (m.gridColour) mdf.Grid_Colour = *m.gridColour;
    if (m.keyBackground) mdf.KeyBkColour = *m.keyBackground;
    if (m.keyText) mdf.KeyColour = *m.keyText;
    if (m.baseKeyCorner) mdf.BasePos = static_cast<uint8_t>(*m.baseKeyCorner);
    if (m.overlayKeyCorner) mdf.OverlayPos = static_cast<uint8_t>(*m.overlayKeyCorner);
    auto add = [&](MASListKind kind, const std::string& title) {
        auto mas = std::make_unique<MASStruct>();
        mas->Title = std::make_unique<std::string>(title);
        mdf.List(kind).Append(std::move(mas));
    };
    for (const std::string& t : m.base) add(BaseMASList, t);
    for (const std::string& t : m.overlay) add(OverlayMASList, t);
    for (const std::string& t : m.text) add(TextMASList, "(Text) " + t);

    // A fresh file: the atlas keeps no backups of its maps.
    const fs::path path = NativeInAtlas(root, m.file);
    std::error_code ec;
    fs::create_directories(path.parent_path(), ec);
    fs::remove(path, ec);
    if (!mdf.Save(path.string(), &error)) return false;
    fs::remove(fs::path(ChangeFileExt(path.string(), ".BAK")), ec);
    return true;
}

// A text page: its source file (UTF-8) and its own lines, in the page mark-up of the viewer.
bool WritePage(const PageSpec& page, const fs::path& sources, const fs::path& root, std::string& error)
{
    std::string text;
    if (!page.source.empty()) {
        std::string raw;
        const fs::path src = sources / page.source;
        if (!ReadNativeFile(src.string(), raw)) { error = "cannot read " + src.string(); return false; }
        for (const std::string& line : SplitLines(raw)) text += ToAtlasText(line, TextUse::Page) + "\r\n";
    }
    for (const PageLine& l : page.lines) {
        if (l.include) text += std::string(1, static_cast<char>(0xAF)) + AtlasDataPath(l.text) + "\r\n";
        else text += ToAtlasText(l.text, TextUse::Page) + "\r\n";
    }
    return WriteBytes(NativeInAtlas(root, page.file), text, error);
}

int Build(const CommandLine& cl)
{
    AtlasDescription atlas;
    if (!LoadDescription(cl.description, atlas)) return kBadInput;
    const fs::path descDir = fs::absolute(cl.description).parent_path();
    const fs::path sources = !cl.sources.empty() ? fs::path(cl.sources) : descDir / atlas.sources;
    const fs::path root = !cl.output.empty() ? fs::path(cl.output) : descDir;
    for (const std::string& name : cl.only)
        if (!atlas.FindLayer(name)) { std::cerr << "corvane-atlas: no layer named " << name << "\n"; return kBadInput; }

    bool ok = true;
    for (const LayerSpec& layer : atlas.layers) {
        if (cl.noLayers) break;
        if (!cl.only.empty() && std::find(cl.only.begin(), cl.only.end(), layer.name) == cl.only.end()) continue;
        ok = BuildOne(atlas, layer, sources, root, cl.dryRun, cl.verbose) && ok;
    }
    if (!cl.only.empty()) return ok ? kDone : kFailed;

    std::string error;
    for (const ThemeSpec& theme : atlas.themes) {
        std::unique_ptr<MASStruct> mas = BuildMasterRecord(atlas, theme);
        std::cout << "theme " << theme.title << " -> " << theme.master << ": " << theme.datasets.size() << " datasets, "
                  << theme.key.size() << " key entries, " << theme.queryLines.size() << " query lines\n";
        if (!cl.dryRun && !WriteBytes(NativeInAtlas(root, theme.master), WriteMasterFile(*mas), error)) {
            std::cerr << "theme " << theme.title << ": " << error << "\n";
            ok = false;
        }
    }
    for (const PageSpec& page : atlas.pages) {
        std::cout << "page " << page.title << " -> " << page.file << ", master file " << PageMasterPath(page) << "\n";
        if (!cl.dryRun && (!WritePage(page, sources, root, error) ||
                           !WriteBytes(NativeInAtlas(root, PageMasterPath(page)), WriteMasterFile(*BuildPageMaster(page)), error))) {
            std::cerr << "page " << page.title << ": " << error << "\n";
            ok = false;
        }
    }
    for (const MapSpec& m : atlas.maps) {
        std::cout << "map " << m.file << ": " << m.base.size() << " base maps, " << m.overlay.size() << " overlays, "
                  << m.text.size() << " pages\n";
        if (!cl.dryRun && !WriteMap(m, root, error)) {
            std::cerr << "map " << m.file << ": " << error << "\n";
            ok = false;
        }
    }
    std::cout << "data list -> " << atlas.dataList << ": " << atlas.menu.size() << " entries\n";
    if (!cl.dryRun) {
        try {
            if (!WriteBytes(NativeInAtlas(root, atlas.dataList), WriteDataList(BuildDataList(atlas)), error)) {
                std::cerr << "data list: " << error << "\n";
                ok = false;
            }
        } catch (const std::exception& e) {
            std::cerr << "data list: " << e.what() << "\n";
            ok = false;
        }
    }
    return ok ? kDone : kFailed;
}

int Layer(const CommandLine& cl)
{
    const std::string text = "[atlas]\n[layer layer]\n" + cl.layerBlock + "output = " + fs::path(cl.output).filename().string() + "\n";
    AtlasDescription atlas;
    std::vector<DescriptionError> errors;
    ParseAtlasDescription(text, atlas, errors);
    if (errors.empty()) {
        const LayerSpec& l = atlas.layers.front();
        if (!l.dataType) errors.push_back({0, "--type is missing"});
        if (l.source.empty()) errors.push_back({0, "--source is missing"});
        if (l.infoKind >= 1) errors.push_back({0, "headed information needs a theme's query lines: use build with a description"});
    }
    for (const DescriptionError& e : errors) std::cerr << "corvane-atlas: " << e.message << "\n";
    if (!errors.empty()) return kBadInput;
    const fs::path out = fs::absolute(cl.output);
    return BuildOne(atlas, atlas.layers.front(), fs::current_path(), out.parent_path(), false, true) ? kDone : kFailed;
}

int ExportCommand(const CommandLine& cl)
{
    std::error_code ec;
    CvVars::CDROM = fs::absolute(cl.cdrom.empty() ? fs::path(".") : fs::path(cl.cdrom), ec).lexically_normal().string();
    while (CvVars::CDROM.size() > 1 && CvVars::CDROM.back() == '/') CvVars::CDROM.pop_back();
    // A medium that cannot be used at all (a disc image that cannot be read) is told as such.
    if (!cl.cdrom.empty()) {
        const std::string problem = GivenMediumProblem(CvVars::CDROM);
        if (!problem.empty()) {
            std::cerr << "corvane-atlas: " << problem << "\n";
            return kBadInput;
        }
    }
    CvVars::DatalistFile = NativePath(CheckCD_Drive(cl.datalist.empty() ? "CDROM:\\Misc\\MainMenu.Dat" : cl.datalist));
    ExportOptions options;
    options.inputs = cl.exportInputs;
    options.output = cl.output;
    options.format = cl.format;
    options.polygons = cl.polygons;
    options.codePage = cl.labelCodePage == 437 ? LabelCodePage::Dos437 : LabelCodePage::Windows1252;
    return RunExport(options, std::cout, std::cerr);
}

} // namespace

int main(int argc, char** argv)
{
    // No file written replaces one that this run reads.
    BeginRunInputs();
    CommandLine cl = ParseCommandLine(std::vector<std::string>(argv + 1, argv + argc));
    if (!cl.error.empty()) {
        std::cerr << "corvane-atlas: " << cl.error << "\n";
        return kBadInput;
    }
    switch (cl.command) {
    case CommandLine::Help:
        std::cout << HelpText();
        return kDone;
    case CommandLine::Version:
        std::cout << "corvane-atlas " << CORVANE_VERSION << "\n";
        return kDone;
    case CommandLine::Check: {
        AtlasDescription atlas;
        if (!LoadDescription(cl.description, atlas)) return kBadInput;
        PrintDataList(atlas);
        for (const LayerSpec& l : atlas.layers)
            std::cerr << "layer " << l.name << " (" << TypeWord(l.dataType) << "): " << l.source << " -> " << l.output << "\n";
        return kDone;
    }
    case CommandLine::Inspect:
        for (const std::string& in : cl.inputs) std::cout << DescribeSource(in);
        return kDone;
    case CommandLine::Build:
        return Build(cl);
    case CommandLine::Layer:
        return Layer(cl);
    case CommandLine::Export:
        return ExportCommand(cl);
    case CommandLine::None:
        break;
    }
    std::cerr << "corvane-atlas: no command (try --help)\n";
    return kBadInput;
}
