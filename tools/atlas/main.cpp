// corvane-atlas: compiles GIS data into the files of a Corvane atlas (see --help).
#include "AtlasDescription.h"
#include "AtlasText.h"
#include "Coastline.h"
#include "CommandLine.h"
#include "Export.h"
#include "Gazetteer.h"
#include "GdalSources.h"
#include "GridSplit.h"
#include "LayerBuild.h"

#include "catalogue/writers/DataListWriter.h"
#include "catalogue/writers/MasterFileWriter.h"
#include "gazetteer/NameCache.h"
#include "layers/Trig.h"
#include "layers/writers/VECmapWriter.h"
#include "mapdef/MDFStruct.h"
#include "mapdef/ScreenMetrics.h"
#include "platform/CodePage.h"
#include "platform/CvVars.h"
#include "platform/DataListSearch.h"
#include "platform/DataPath.h"
#include "platform/MessageSink.h"
#include "platform/RunInputs.h"
#include "platform/TextFile.h"

#include <cmath>
#include <cstdlib>
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
// Lays out a layer through the writer of its data type and writes it, unless dryRun; header
// gets the header laid out (the grid and unit the writer chose). The writers check every
// feature and throw, naming it, when one cannot be stored; that ends this layer.
bool WriteLayerFile(const LayerContent& c, const fs::path& path, bool dryRun, HdrRec& header, std::string& error)
{
    auto put = [&](const LayerFileWriter& laidOut) {
        header = laidOut.Header();
        if (dryRun) return true;
        std::error_code ec;
        fs::create_directories(path.parent_path(), ec);
        return laidOut.Save(path.string(), &error);
    };
    try {
        switch (c.dataType) {
        case 1: {
            VECmapWriter w(c.options, c.south_west.Lat, c.north_east.Lat, c.south_west.Lon, c.north_east.Lon);
            for (const KeyedPolyline& l : c.lines) w.AddPolyline(l.key, l.points);
            return put(w.Layout());
        }
        case 2:
        case 3: {
            if (!c.codes) { error = "a raster layer without its raster"; return false; }
            std::unique_ptr<RunLengthRasterWriter> w;
            if (c.dataType == 2) w = std::make_unique<MonoRLEmapWriter>(c.raster, c.options);
            else w = std::make_unique<RLEmapWriter>(c.raster, c.options);
            // A dry run does not read the raster.
            if (dryRun) { header = w->Header(); return true; }
            return put(w->Write(*c.codes));
        }
        case 4:
        case 5: {
            SymbolFileWriter w(c.options, c.dataType == 4);
            for (const SymbolPoint& p : c.points) w.Add(p);
            return put(w.Layout());
        }
        case 6: {
            LabelFileWriter w(c.options);
            for (const LabelFeature& l : c.labels) w.Add(l);
            return put(w.Layout());
        }
        case 7:
        case 8:
        case 9: {
            PolygonFileWriter w(c.options, c.dataType);
            for (const PolygonFeature& p : c.polygons) w.Add(p);
            return put(w.Layout());
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

// "grid 6 x 5 cells of 0.5 degree from 34.5 N, 30 W; unit 8 millionths of a degree (0.89 m)"
std::string GridText(const HdrRec& h)
{
    auto degrees = [](double millionths) {
        char s[32];
        std::snprintf(s, sizeof s, "%g", millionths / 1e6);
        return std::string(s);
    };
    auto metres = [](double millionths) {
        char s[32];
        std::snprintf(s, sizeof s, "%.2g m", millionths * 0.111195);   // a millionth of a degree of latitude
        return std::string(s);
    };
    std::string t = "grid " + std::to_string(h.NumCols) + " x " + std::to_string(h.NumRows) + " cells of " +
                    degrees(h.GridCellSize) + " degree from " + degrees(std::abs(h.LatOrig)) + (h.LatOrig < 0 ? " S, " : " N, ") +
                    degrees(std::abs(h.LonOrig)) + (h.LonOrig < 0 ? " W" : " E") + "; unit " + std::to_string(h.HPrecision);
    if (h.VPrecision && h.VPrecision != h.HPrecision) t += " x " + std::to_string(h.VPrecision);
    return t + " millionths of a degree (" + metres(h.HPrecision) + ")";
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
            CheckFieldsInSource(layer, vectors.fields);
            CheckGridFits(layer, layer.dataType == 1 && layer.region ? *layer.region : vectors.extent);
            const ThemeSpec* theme = ThemeOfLayer(atlas, layer.name);
            result = BuildVectorLayer(atlas, layer, theme ? theme->queryLines : std::vector<QueryLineSpec>{}, vectors);
            result.leftOut.Merge(vectors.leftOut);
            split = CutPolygonsAlongGrid(result.content, result.polygonSource, vectors);
            CheckPolygonUnits(layer, result.content);
        }
    } catch (const std::exception& e) {
        // The checks of what a layer can hold name the layer themselves.
        const std::string prefix = "layer " + layer.name + ": ", what = e.what();
        std::cerr << (what.compare(0, prefix.size(), prefix) == 0 ? "" : prefix) << what << "\n";
        return false;
    }

    const LayerContent& c = result.content;
    if (!raster) {
        std::cout << layer.name << " (" << TypeWord(layer.dataType) << ") -> " << layer.output << ": " << result.used
                  << " features, " << result.leftOut.Total() << " left out";
        if (result.leftOut.Total()) std::cout << " (" << result.leftOut.Reasons() << ")";
        std::cout << "\n";
        if (verbose)
            for (const std::string& n : result.leftOut.Named()) std::cout << "  left out: " << n << "\n";
        for (const std::string& w : CodesWithoutKeyEntry(atlas, layer.name, result.keyCodes)) std::cout << "  " << w << "\n";
    }
    if (split.polygonsCut)
        std::cout << "  " << split.polygonsCut << (split.polygonsCut == 1 ? " polygon" : " polygons")
                  << " cut along the grid into " << split.pieces << " pieces\n";
    if (split.holesCut)
        std::cout << "  " << split.holesCut << (split.holesCut == 1 ? " polygon" : " polygons")
                  << " within one cell cut open through " << (split.holesCut == 1 ? "its" : "their") << " holes\n";
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
    if (dryRun && !verbose) return true;

    const fs::path out = NativeInAtlas(root, layer.output);
    if (result.info && !dryRun) {
        const fs::path infoPath = out.parent_path() / "DNN" / layer.infoFile;
        const auto& bytes = result.info->Bytes();
        if (!WriteBytes(infoPath, std::string(bytes.begin(), bytes.end()), error)) {
            std::cerr << "layer " << layer.name << ": " << error << "\n";
            return false;
        }
    }
    HdrRec header;
    const bool written = WriteLayerFile(c, out, dryRun, header, error);
    if (raster && result.rasterCodes && !dryRun) {
        // The raster is read while it is written: its counts are known only now.
        std::cout << layer.name << " (" << TypeWord(layer.dataType) << ") -> " << layer.output << ": "
                  << result.rasterCodes->Used() << " coded units\n";
        for (const std::string& w : result.rasterCodes->Warnings()) std::cout << "  " << w << "\n";
        for (const std::string& w : CodesWithoutKeyEntry(atlas, layer.name, result.rasterCodes->CodeCounts(), "unit"))
            std::cout << "  " << w << "\n";
    }
    if (!written) {
        std::cerr << "layer " << layer.name << ": " << error << "\n";
        return false;
    }
    if (verbose) std::cout << "  " << GridText(header) << "\n";
    if (dryRun) return true;
    std::error_code ec;
    std::cout << "  " << fs::file_size(out, ec) << " bytes\n";
    return true;
}

// The screen the atlas's maps are made for: the smallest common laptop screen, less a desktop
// panel at its bottom, with the viewer's main window strip at its top.
FixedScreenMetrics MapScreen()
{
    FixedScreenMetrics screen;
    screen.workArea = {0, 0, kMapScreenWidth, kMapScreenHeight - kPanelHeight};
    screen.screenWidth = kMapScreenWidth;
    screen.screenHeight = kMapScreenHeight;
    screen.mainWindowBottom = kMainStripBottom;
    screen.frame = {3, 3, 1, 1, 19};
    return screen;
}

// A new map's definition for a [map] block: the viewer's own map definition code with the
// map's extent, its window shaped to the extent within the width and height given (the side
// the extent does not fill is made shorter, never the other longer), opening at the left edge
// of the screen the atlas's maps are made for, below the viewer's main window strip. Null
// when the window does not fit that screen (error says why). The definition keeps screen.
std::unique_ptr<TMDFStruct> MakeMap(const MapSpec& m, const ScreenMetrics& screen, std::string& error)
{
    const int32_t screenW = kMapScreenWidth, screenH = kMapScreenHeight, top = kMainStripBottom;
    NullMessageSink sink;
    MDFLoadResult made = TMDFStruct::Create("", screen, sink);
    if (!made) { error = made.Error; return nullptr; }
    TMDFStruct& mdf = *made.MDF;
    // The window takes the shape of the extent at its latitude, as the viewer reshapes it when
    // it opens the map: the same stretch as the viewer's, or the saved window would not fit.
    const Region& e = *m.extent;
    CvVars::LatLonScale = 1.0 / std::cos(DegreesToRadians((e.south + e.north) / 2.0));
    const double shape = (e.north - e.south) * CvVars::LatLonScale / (e.east - e.west);
    const double w = mdf.MapWidthOf(m.width), h = mdf.MapHeightOf(m.height);
    int32_t width = m.width, height = m.height;
    if (h > w * shape) height -= static_cast<int32_t>(std::lround(h - w * shape));
    else width -= static_cast<int32_t>(std::lround(w - h / shape));
    // A window larger than the screen would be made smaller by the map definition, in the
    // other shape; it is refused instead.
    if (width <= screenW && top + height <= screenH - kPanelHeight)
        mdf.NewZoom(0, top, width, top + height, e.west, e.south, e.east, e.north, AreaPriority);
    if (width > screenW || top + height > screenH - kPanelHeight || mdf.GetWindowLeft() < 0 || mdf.GetWindowTop() < top ||
        mdf.GetWindowRight() > screenW || mdf.GetWindowBottom() > screenH - kPanelHeight) {
        error = "the window, shaped to the extent, is " + std::to_string(width) + " x " + std::to_string(height) +
                ": it does not fit the " + std::to_string(screenW) + " x " +
                std::to_string(screenH - kPanelHeight - top) + " pixels below the viewer's main window on a " +
                std::to_string(screenW) + " x " + std::to_string(screenH) + " screen (give a smaller window)";
        return nullptr;
    }
    return std::move(made.MDF);
}

// Writes a map definition file: the map of MakeMap with the block's colours, key corners and
// themes by title.
bool WriteMap(const MapSpec& m, const fs::path& root, std::string& error)
{
    const FixedScreenMetrics screen = MapScreen();
    std::unique_ptr<TMDFStruct> made = MakeMap(m, screen, error);
    if (!made) return false;
    TMDFStruct& mdf = *made;
    if (m.background) mdf.BackgroundColour = *m.background;
    if (m.landColour) mdf.Land_Plot_Colour = *m.landColour;
    if (m.landFill) mdf.Land_Plot_Fill_Colour = *m.landFill;
    if (m.landStyle) mdf.Land_Plot_Style = *m.landStyle;
    if (m.gridColour) mdf.Grid_Colour = *m.gridColour;
    if (m.keyBackground) mdf.KeyBkColour = *m.keyBackground;
    if (m.keyText) mdf.KeyColour = *m.keyText;
    if (m.baseKeyCorner) mdf.BasePos = static_cast<uint8_t>(*m.baseKeyCorner);
    if (m.overlayKeyCorner) mdf.OverlayPos = static_cast<uint8_t>(*m.overlayKeyCorner);
    mdf.Halo = m.halo;
    auto add = [&](MASListKind kind, const std::string& title) {
        auto mas = std::make_unique<MASStruct>();
        mas->Title = std::make_unique<std::string>(ToAtlasText(title, TextUse::Plain));
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

// Every map's window must fit the screen the maps are made for: a fault of the description,
// told before any source is read. A map away from its themes is told too.
bool CheckMaps(const AtlasDescription& atlas, const std::string& file)
{
    bool ok = true;
    const FixedScreenMetrics screen = MapScreen();
    for (const MapSpec& m : atlas.maps) {
        // Most likely written the other way round; told, not refused (a map may show the sea
        // beside its themes).
        if (const std::string off = MapOffItsThemes(atlas, m); !off.empty())
            std::cerr << file << ":" << m.line << ": map " << m.file << ": " << off << "\n";
        std::string error;
        if (MakeMap(m, screen, error)) continue;
        std::cerr << file << ":" << m.line << ": map " << m.file << ": " << error << "\n";
        ok = false;
    }
    return ok;
}

// The atlas whose standard coastline files the built atlas takes where it lacks them: the one
// given (none for "none"), else the sample atlas installed with the program, if it is. False
// (and said) when the folder given holds no standard coastline.
bool CoastlineSource(const CommandLine& cl, std::string& from)
{
    if (cl.coastlineFrom) {
        from = *cl.coastlineFrom == "none" ? std::string() : AtlasWithCoastline({*cl.coastlineFrom});
        if (*cl.coastlineFrom == "none" || !from.empty()) return true;
        std::cerr << "corvane-atlas: --coastline-from " << *cl.coastlineFrom
                  << ": no standard coastline there (Landdata/Vec/LandFull.Vec ... Landdata/Mrl/Land5Min.Mrl)\n";
        return false;
    }
    std::error_code ec;
    const fs::path program = fs::read_symlink("/proc/self/exe", ec);
    if (ec) return true;
    from = AtlasWithCoastline(SampleAtlasFolders(program.parent_path().string(), CORVANE_BIN_TO_DATA,
                                                 std::getenv("XDG_DATA_HOME"), std::getenv("HOME"),
                                                 std::getenv("XDG_DATA_DIRS")));
    return true;
}

int Build(const CommandLine& cl)
{
    AtlasDescription atlas;
    if (!LoadDescription(cl.description, atlas) || !CheckMaps(atlas, cl.description)) return kBadInput;
    const fs::path descDir = fs::absolute(cl.description).parent_path();
    const fs::path sources = !cl.sources.empty() ? fs::path(cl.sources) : descDir / atlas.sources;
    const fs::path root = !cl.output.empty() ? fs::path(cl.output) : descDir;
    for (const std::string& name : cl.only)
        if (!atlas.FindLayer(name)) { std::cerr << "corvane-atlas: no layer named " << name << "\n"; return kBadInput; }
    std::string coastline;
    if (!CoastlineSource(cl, coastline)) return kBadInput;

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
        if (const std::string lineDraw = KeyInLineDrawFont(theme); !lineDraw.empty()) std::cout << "  " << lineDraw << "\n";
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
    const FixedScreenMetrics screen = MapScreen();
    for (const MapSpec& m : atlas.maps) {
        std::cout << "map " << m.file << ": ";
        if (std::unique_ptr<TMDFStruct> made = MakeMap(m, screen, error))
            std::cout << "window " << made->GetWindowWidth() << " x " << made->GetWindowHeight() << ", ";
        std::cout << m.base.size() << " base maps, " << m.overlay.size() << " overlays, " << m.text.size() << " pages\n";
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
    const CoastlineOutcome coast = ProvideCoastline(root.string(), coastline, cl.dryRun);
    if (!coast.error.empty()) {
        std::cerr << "coastline: " << coast.error << "\n";
        ok = false;
    }
    std::cout << CoastlineSummary(coast, coastline) << "\n";
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

// The atlas of --cdrom and --datalist; kDone, or kBadInput when the medium cannot be used.
int UseMedium(const CommandLine& cl)
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
    return kDone;
}

// The gazetteer: the index of names (from the user's cache when it is still good) as CSV or
// GeoJSON.
int NamesCommand(const CommandLine& cl)
{
    if (const int bad = UseMedium(cl)) return bad;
    GazetteerFormat format = GazetteerFormat::Csv;
    if (!GazetteerFormatOf(cl.format, cl.output, format)) {
        std::cerr << "corvane-atlas: --format takes csv or geojson, not " << cl.format << "\n";
        return kBadInput;
    }
    if (!FileExists(CvVars::DatalistFile)) {
        std::cerr << "corvane-atlas: cannot read the data list " << CvVars::DatalistFile << "\n";
        return kBadInput;
    }
    const NameSources medium = CurrentNameSources();
    std::string cacheError;
    const StoredNames names = LoadOrBuildNames(medium, NameCachePath(medium), nullptr, &cacheError);
    for (const std::string& p : names.problems) std::cerr << MixedTextToUtf8(p) << "\n";
    if (!cacheError.empty()) std::cerr << MixedTextToUtf8(cacheError) << "\n";
    const std::string text =
        format == GazetteerFormat::Csv ? GazetteerCsv(*names.index) : GazetteerGeoJson(*names.index);
    if (cl.output.empty()) {
        std::cout << text;
    } else {
        std::string error;
        if (!WriteFileAtomic(cl.output, text, &error)) {
            std::cerr << "corvane-atlas: cannot write " << cl.output << ": " << error << "\n";
            return kFailed;
        }
        std::cout << names.index->Size() << " names -> " << cl.output << "\n";
    }
    return names.problems.empty() ? kDone : kFailed;
}

int ExportCommand(const CommandLine& cl)
{
    if (const int bad = UseMedium(cl)) return bad;
    ExportOptions options;
    options.inputs = cl.exportInputs;
    options.output = cl.output;
    options.format = cl.format;
    options.polygons = cl.polygons;
    options.pieces = cl.pieces;
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
        if (!LoadDescription(cl.description, atlas) || !CheckMaps(atlas, cl.description)) return kBadInput;
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
    case CommandLine::Names:
        return NamesCommand(cl);
    case CommandLine::None:
        break;
    }
    std::cerr << "corvane-atlas: no command (try --help)\n";
    return kBadInput;
}
