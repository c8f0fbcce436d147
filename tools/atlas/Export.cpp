#include "Export.h"

#include "ExportPieces.h"
#include "ExportValues.h"

#include "platform/CodePage.h"
#include "platform/CvVars.h"
#include "platform/DataPath.h"
#include "platform/RunInputs.h"
#include "platform/TextFile.h"

#include <cpl_conv.h>
#include <gdal_alg.h>
#include <gdal_priv.h>
#include <ogrsf_frmts.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <ostream>
#include <set>
#include <unistd.h>

namespace fs = std::filesystem;

namespace corvane::atlas {

namespace {

constexpr int kDone = 0, kFailed = 1, kBadInput = 2;

struct DatasetCloser {
    void operator()(GDALDataset* d) const { GDALClose(d); }
};
using Dataset = std::unique_ptr<GDALDataset, DatasetCloser>;

std::string Lower(std::string s)
{
    for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

std::string DriverForExtension(const std::string& path)
{
    static const std::map<std::string, std::string> drivers{
        {".gpkg", "GPKG"}, {".geojson", "GeoJSON"}, {".json", "GeoJSON"}, {".shp", "ESRI Shapefile"},
        {".fgb", "FlatGeobuf"}, {".tif", "GTiff"}, {".tiff", "GTiff"}, {".kml", "KML"}, {".gml", "GML"},
        {".csv", "CSV"}, {".sqlite", "SQLite"}};
    const auto it = drivers.find(Lower(fs::path(path).extension().string()));
    return it == drivers.end() ? std::string() : it->second;
}

bool IsRaster(const ExportLayer& l) { return l.dataType == 2 || l.dataType == 3; }

OGRwkbGeometryType GeometryOf(const ExportLayer& l)
{
    switch (l.dataType) {
    case 1: return wkbLineString;
    case 7: return wkbMultiLineString;
    case 8:
    case 9: return wkbMultiPolygon;
    case 2:
    case 3: return wkbPolygon;
    default: return wkbPoint;
    }
}

// The output file of one layer when the format holds one layer a file: OUT itself for a lone
// layer, else OUT's stem, the layer's name and the extension.
std::string FileOfLayer(const std::string& output, const std::string& layer, bool alone, const std::string& ext)
{
    if (alone) return output;
    const fs::path out(output);
    return (out.parent_path() / (out.stem().string() + "." + layer + ext)).string();
}

// GDAL's own printing of an error is held back while a file is created: its reason goes into
// the message of the export instead.
class QuietErrors {
public:
    QuietErrors() { CPLPushErrorHandler(CPLQuietErrorHandler); }
    ~QuietErrors() { CPLPopErrorHandler(); }
    QuietErrors(const QuietErrors&) = delete;
    QuietErrors& operator=(const QuietErrors&) = delete;
};

std::string CannotWrite(const std::string& path)
{
    const std::string reason = CPLGetLastErrorMsg();
    return "cannot write " + path + (reason.empty() ? std::string() : ": " + reason);
}

// Where one export goes: one dataset for all layers, or one for each.
class VectorOutput {
public:
    // place: where a file of the output is made (see Staging).
    VectorOutput(GDALDriver* driver, std::string output, size_t layers,
                 std::function<std::string(const std::string&)> place)
        : driver_(driver), output_(std::move(output)), layers_(layers), place_(std::move(place))
    {
        multi_ = CSLFetchBoolean(driver->GetMetadata(), GDAL_DCAP_MULTIPLE_VECTOR_LAYERS, FALSE) &&
                 std::string(driver->GetDescription()) != "ESRI Shapefile";
        srs_.importFromEPSG(4326);
        srs_.SetAxisMappingStrategy(OAMS_TRADITIONAL_GIS_ORDER);
    }

    // A new layer; null (and error set) when it cannot be made.
    OGRLayer* Layer(const std::string& name, OGRwkbGeometryType type, std::string& error)
    {
        GDALDataset* ds = nullptr;
        std::string path = output_;
        CPLErrorReset();
        if (multi_) {
            if (!shared_) {
                QuietErrors quiet;
                shared_.reset(driver_->Create(place_(output_).c_str(), 0, 0, 0, GDT_Unknown, nullptr));
            }
            ds = shared_.get();
        } else {
            path = FileOfLayer(output_, name, layers_ == 1, fs::path(output_).extension().string());
            QuietErrors quiet;
            own_.emplace_back(driver_->Create(place_(path).c_str(), 0, 0, 0, GDT_Unknown, nullptr));
            ds = own_.back().get();
        }
        if (!ds) {
            error = CannotWrite(path);
            unwritable_ = true;
            return nullptr;
        }
        current_ = ds;
        char** options = nullptr;
        const std::string driverName = driver_->GetDescription();
        if (driverName == "GPKG") options = CSLSetNameValue(options, "SPATIAL_INDEX", "YES");
        if (driverName == "ESRI Shapefile") options = CSLSetNameValue(options, "ENCODING", "UTF-8");
        OGRLayer* layer = nullptr;
        {
            QuietErrors quiet;
            layer = ds->CreateLayer(name.c_str(), &srs_, type, options);
        }
        CSLDestroy(options);
        if (!layer) {
            error = "cannot create the layer " + name + ": " + CPLGetLastErrorMsg();
            // A format of one layer a file writes the layer's file only now.
            if (!multi_) unwritable_ = true;
        }
        return layer;
    }
    GDALDataset* Current() const { return current_; }
    // A file of the output could not be created: nothing more can be written.
    bool Unwritable() const { return unwritable_; }
    // Closes every file; false when one could not be finished (a full disc).
    bool Close()
    {
        CPLErrorReset();
        current_ = nullptr;
        own_.clear();
        shared_.reset();
        return CPLGetLastErrorType() < CE_Failure;
    }

private:
    GDALDriver* driver_;
    std::string output_;
    size_t layers_;
    std::function<std::string(const std::string&)> place_;
    bool multi_ = false;
    bool unwritable_ = false;
    OGRSpatialReference srs_;
    Dataset shared_;
    std::vector<Dataset> own_;
    GDALDataset* current_ = nullptr;
};

// The attribute fields every feature carries, and those of labels, reference points and query
// records.
class Fields {
public:
    Fields(OGRLayer* layer, const ExportLayer& l, const std::vector<std::string>& queryNames,
           const std::map<std::string, OGRFieldType>& queryTypes = {})
        : layer_(layer)
    {
        Add("key", OFTInteger);
        Add("key_text", OFTString);
        Add("top_colour", OFTString);
        Add("bot_colour", OFTString);
        Add("top_style", OFTInteger);
        Add("bot_style", OFTInteger);
        Add("active", OFTInteger, OFSTBoolean);
        Add("hidden", OFTInteger, OFSTBoolean);
        Add("source", OFTString);
        if (l.dataType == 6) {
            Add("text", OFTString);
            Add("h_just", OFTInteger);
            Add("v_just", OFTInteger);
            Add("size_step", OFTInteger);
            Add("trigger", OFTInteger);
            Add("angle", OFTInteger);
        }
        if (l.dataType == 7 || l.dataType == 9) {
            Add("ref_lon", OFTReal);
            Add("ref_lat", OFTReal);
        }
        if (l.dataType == 4 || l.dataType == 7 || l.dataType == 9) {
            Add("info", OFTInteger64);
            Add("query", OFTString);
        }
        for (const std::string& n : queryNames) {
            const auto type = queryTypes.find(n);
            if (!n.empty() && !index_.count(n)) Add(n, type == queryTypes.end() ? OFTString : type->second);
        }
    }
    int operator[](const std::string& name) const
    {
        const auto it = index_.find(name);
        return it == index_.end() ? -1 : it->second;
    }

private:
    void Add(const std::string& name, OGRFieldType type, OGRFieldSubType sub = OFSTNone)
    {
        OGRFieldDefn f(name.c_str(), type);
        f.SetSubType(sub);
        if (layer_->CreateField(&f) != OGRERR_NONE) return;
        index_[name] = layer_->GetLayerDefn()->GetFieldCount() - 1;
    }
    OGRLayer* layer_;
    std::map<std::string, int> index_;
};

void SetKeyFields(OGRFeature& f, const Fields& fields, const ExportLayer& l, int key,
                  std::map<int, KeyItemInfo>& keys)
{
    auto it = keys.find(key);
    if (it == keys.end()) it = keys.emplace(key, KeyItemOf(l.theme, key)).first;
    const KeyItemInfo& k = it->second;
    f.SetField(fields["key"], key);
    f.SetField(fields["source"], l.dataPath.c_str());
    if (!k.known) return;
    f.SetField(fields["key_text"], k.text.c_str());
    f.SetField(fields["top_colour"], k.topColour.c_str());
    f.SetField(fields["bot_colour"], k.bottomColour.c_str());
    f.SetField(fields["top_style"], k.topStyle);
    f.SetField(fields["bot_style"], k.bottomStyle);
    f.SetField(fields["active"], k.active ? 1 : 0);
    f.SetField(fields["hidden"], k.hidden ? 1 : 0);
}

OGRLineString* LineOf(const std::vector<std::pair<double, double>>& points)
{
    auto* line = new OGRLineString;
    line->setNumPoints(static_cast<int>(points.size()), FALSE);
    for (size_t i = 0; i < points.size(); ++i) line->setPoint(static_cast<int>(i), points[i].first, points[i].second);
    return line;
}

// Polygons joined from their pieces, whose rings are known: each outer ring with its holes.
OGRGeometry* JoinedPolygonOf(const ExportFeature& feature)
{
    auto* multi = new OGRMultiPolygon;
    for (size_t k = 0; k < feature.polygonStarts.size(); ++k) {
        const size_t end = k + 1 < feature.polygonStarts.size() ? feature.polygonStarts[k + 1] : feature.parts.size();
        auto* polygon = new OGRPolygon;
        for (size_t i = feature.polygonStarts[k]; i < end && i < feature.parts.size(); ++i) {
            auto* ring = new OGRLinearRing;
            for (const auto& [lon, lat] : feature.parts[i]) ring->addPoint(lon, lat);
            ring->closeRings();
            polygon->addRingDirectly(ring);
        }
        multi->addGeometryDirectly(polygon);
    }
    return multi;
}

// The parts of a polygon as rings, organised into polygons with their holes.
OGRGeometry* PolygonOf(const ExportFeature& feature)
{
    if (!feature.polygonStarts.empty()) return JoinedPolygonOf(feature);
    std::vector<OGRGeometry*> rings;
    for (const auto& part : feature.parts) {
        if (part.size() < 3) continue;
        auto* ring = new OGRLinearRing;
        ring->setNumPoints(static_cast<int>(part.size()), FALSE);
        for (size_t i = 0; i < part.size(); ++i) ring->setPoint(static_cast<int>(i), part[i].first, part[i].second);
        ring->closeRings();
        auto* polygon = new OGRPolygon;
        polygon->addRingDirectly(ring);
        rings.push_back(polygon);
    }
    if (rings.empty()) return new OGRMultiPolygon;
    int valid = FALSE;
    OGRGeometry* organised = OGRGeometryFactory::organizePolygons(rings.data(), static_cast<int>(rings.size()), &valid,
                                                                  nullptr);
    return OGRGeometryFactory::forceToMultiPolygon(organised);
}

OGRGeometry* GeometryOf(const ExportLayer& l, const ExportFeature& feature)
{
    switch (feature.kind) {
    case ExportFeature::Point:
    case ExportFeature::Label: {
        const auto& p = feature.parts.front().front();
        return new OGRPoint(p.first, p.second);
    }
    case ExportFeature::Line: {
        if (l.dataType == 1) return LineOf(feature.parts.empty() ? std::vector<std::pair<double, double>>{} : feature.parts.front());
        auto* multi = new OGRMultiLineString;
        for (const auto& part : feature.parts) multi->addGeometryDirectly(LineOf(part));
        return multi;
    }
    case ExportFeature::Polygon: return PolygonOf(feature);
    }
    return nullptr;
}

// Colours of a raster's key codes: the theme's top colours (the land layer's item 1).
GDALColorTable ColourTable(const ExportLayer& l, std::vector<std::string>& names)
{
    GDALColorTable table;
    const GDALColorEntry none{0, 0, 0, 0};
    table.SetColorEntry(0, &none);
    names.assign(1, "");
    for (int key = 1; key <= 255; ++key) {
        const KeyItemInfo k = KeyItemOf(l.theme, key);
        if (!k.known && key > 1) break;
        const unsigned long rgb = k.known ? std::stoul(k.topColour.substr(1), nullptr, 16) : 0x808080;
        const GDALColorEntry e{static_cast<short>((rgb >> 16) & 0xFF), static_cast<short>((rgb >> 8) & 0xFF),
                               static_cast<short>(rgb & 0xFF), 255};
        table.SetColorEntry(key, &e);
        names.push_back(k.known ? k.text : "land");
    }
    return table;
}

// A raster held in memory as a GDAL dataset of one band.
Dataset MemoryRaster(const ExportLayer& l, ExportRaster& r)
{
    GDALDriver* mem = GetGDALDriverManager()->GetDriverByName("MEM");
    Dataset ds(mem->Create("", static_cast<int>(r.columns), static_cast<int>(r.rows), 1, GDT_Byte, nullptr));
    if (!ds) return ds;
    double transform[6] = {r.west, r.unitLon, 0, r.north, 0, -r.unitLat};
    ds->SetGeoTransform(transform);
    OGRSpatialReference srs;
    srs.importFromEPSG(4326);
    ds->SetSpatialRef(&srs);
    GDALRasterBand* band = ds->GetRasterBand(1);
    if (band->RasterIO(GF_Write, 0, 0, static_cast<int>(r.columns), static_cast<int>(r.rows), r.codes.data(),
                       static_cast<int>(r.columns), static_cast<int>(r.rows), GDT_Byte, 0, 0, nullptr) != CE_None)
        return Dataset();
    band->SetNoDataValue(0);
    std::vector<std::string> names;
    GDALColorTable table = ColourTable(l, names);
    band->SetColorTable(&table);
    band->SetColorInterpretation(GCI_PaletteIndex);
    CPLStringList categories;
    for (const std::string& n : names) categories.AddString(n.c_str());
    band->SetCategoryNames(categories.List());
    return ds;
}

bool WriteGeoTiff(GDALDataset& raster, const std::string& path, const std::string& partial, std::string& error)
{
    GDALDriver* tiff = GetGDALDriverManager()->GetDriverByName("GTiff");
    char** options = CSLSetNameValue(nullptr, "COMPRESS", "DEFLATE");
    options = CSLSetNameValue(options, "TILED", "YES");
    if (!partial.empty()) raster.SetMetadataItem("PARTIAL", partial.c_str());
    CPLErrorReset();
    Dataset out;
    {
        QuietErrors quiet;
        out.reset(tiff->CreateCopy(path.c_str(), &raster, FALSE, options, nullptr, nullptr));
    }
    CSLDestroy(options);
    if (!out) error = CannotWrite(path);
    return out != nullptr;
}

// A file that this export reads (the data list, a master, layer or query information file, the
// disc image they lie in) that the output, or one of its files of one layer each, would write
// over, whatever name it goes by; empty when there is none.
std::string ReadFileWrittenOver(const ExportOptions& options, const std::vector<ExportLayer>& layers)
{
    auto record = [](const std::string& path) {
        const ResolvedPath r = ResolveDataPath(path);
        RecordRunInput(r.imagePath.empty() ? r.native : r.imagePath);
    };
    record(CvVars::DatalistFile);
    record(CvVars::CDROM);
    for (const std::string& in : options.inputs) record(CheckCD_Drive(in));
    for (const ExportLayer& l : layers) {
        record(l.path);
        QueryTexts queries(l);   // opening its query information file records it
    }
    std::vector<std::string> outputs{options.output};
    const std::string ext = fs::path(options.output).extension().string();
    for (const ExportLayer& l : layers) {
        outputs.push_back(FileOfLayer(options.output, l.name, false, ext));
        outputs.push_back(FileOfLayer(options.output, l.name, false, ".tif"));
    }
    for (const std::string& out : outputs)
        if (IsRunInput(out)) return out;
    return {};
}

// The files of an export are made in a hidden folder beside the output and take their names
// only once every one of them is whole, so that an export that fails leaves the files it
// would have replaced as they were. The folder is named as the safe write names its
// temporary files: one left by an export that was killed goes with the next save there.
class Staging {
public:
    explicit Staging(const std::string& output)
        : folder_(fs::path(output).has_parent_path() ? fs::path(output).parent_path() : fs::path("."))
    {
        RemoveStaleTemporaries(folder_.string());
        stage_ = TemporarySibling((folder_ / fs::path(output).filename()).string());
        std::error_code ec;
        fs::remove_all(stage_, ec);
        made_ = fs::create_directory(stage_, ec);
        if (!made_) error_ = "cannot write " + output + ": " + ec.message();
    }
    ~Staging()
    {
        std::error_code ec;
        fs::remove_all(stage_, ec);
    }
    Staging(const Staging&) = delete;
    Staging& operator=(const Staging&) = delete;

    const std::string& Error() const { return error_; }
    // Where a file of the output is made.
    std::string Place(const std::string& path) const { return (stage_ / fs::path(path).filename()).string(); }
    // Gives every file made its name beside the output; false, with the reason, when one
    // could not take it (the files that did keep theirs).
    bool Publish(std::string& error) const
    {
        std::error_code ec;
        for (const fs::directory_entry& e : fs::directory_iterator(stage_, ec)) {
            const fs::path target = folder_ / e.path().filename();
            if (IsRunInput(target.string())) {
                error = target.string() + " is read by this export; --output names a new file";
                return false;
            }
            if (::rename(e.path().c_str(), target.c_str()) != 0) {
                error = "cannot write " + target.string() + ": " + std::strerror(errno);
                return false;
            }
        }
        if (ec) error = "cannot write into " + folder_.string() + ": " + ec.message();
        return !ec;
    }
    bool Made() const { return made_; }

private:
    fs::path folder_, stage_;
    bool made_ = false;
    std::string error_;
};

int32_t Clamp32(int64_t v) { return static_cast<int32_t>(std::clamp<int64_t>(v, INT32_MIN, INT32_MAX)); }

// The features of a layer joined back from the pieces its file keeps (ExportPieces.h); the
// pieces themselves when the file's grid cannot be read.
std::vector<ExportFeature> JoinedFeatures(const ExportLayer& l, std::vector<ExportFeature> pieces)
{
    PieceGrid grid;
    if (!ReadPieceGrid(l, grid)) return pieces;
    return JoinPieces(l, grid, std::move(pieces));
}

// The query record of a feature as text, and its values by field name.
struct FeatureQuery {
    std::string text;
    std::vector<std::pair<std::string, std::string>> values;
};

std::vector<FeatureQuery> QueriesOf(const std::vector<ExportFeature>& features, QueryTexts& queries)
{
    std::vector<FeatureQuery> out(features.size());
    if (!queries.Available()) return out;
    for (size_t i = 0; i < features.size(); ++i)
        if (features[i].infoOffset >= 0) out[i].text = queries.Text(Clamp32(features[i].infoOffset), &out[i].values);
    return out;
}

// The type of each query field: a number where all its values are numbers (ExportValues.h).
std::map<std::string, OGRFieldType> QueryFieldTypes(const std::vector<FeatureQuery>& queries)
{
    std::map<std::string, std::vector<std::string>> values;
    for (const FeatureQuery& q : queries)
        for (const auto& [name, value] : q.values) values[name].push_back(value);
    std::map<std::string, OGRFieldType> types;
    for (const auto& [name, list] : values) {
        const ValueType t = TypeOfValues(list);
        types[name] = t == ValueType::Integer ? OFTInteger64 : t == ValueType::Real ? OFTReal : OFTString;
    }
    return types;
}

} // namespace

int RunExport(const ExportOptions& options, std::ostream& out, std::ostream& err)
{
    const auto started = std::chrono::steady_clock::now();
    std::vector<ExportLayer> layers;
    std::vector<std::unique_ptr<MASStruct>> themes;
    std::string error;
    if (!FindExportLayers(options.inputs, layers, themes, error)) {
        err << "corvane-atlas: " << error << "\n";
        return kBadInput;
    }
    GDALAllRegister();
    // Each layer is written in one transaction; the file is whole once it is closed.
    CPLSetConfigOption("OGR_SQLITE_SYNCHRONOUS", "OFF");
    const std::string driverName = options.format.empty() ? DriverForExtension(options.output) : options.format;
    GDALDriver* driver = driverName.empty() ? nullptr : GetGDALDriverManager()->GetDriverByName(driverName.c_str());
    if (!driver) {
        err << "corvane-atlas: " << (driverName.empty() ? "cannot tell the format of " + options.output + " (use --format)"
                                                         : "no GDAL driver " + driverName)
            << "\n";
        return kBadInput;
    }
    const bool rasterOutput = driverName == "GTiff";
    const bool canVector = CSLFetchBoolean(driver->GetMetadata(), GDAL_DCAP_VECTOR, FALSE);
    if (!rasterOutput && !canVector) {
        err << "corvane-atlas: " << driverName << " writes no vector data\n";
        return kBadInput;
    }
    size_t vectorLayers = 0, rasterLayers = 0;
    for (const ExportLayer& l : layers) (IsRaster(l) && !options.polygons ? rasterLayers : vectorLayers)++;
    if (rasterOutput && vectorLayers > 0) {
        err << "corvane-atlas: a GeoTIFF holds rasters only; export the vector layers to a vector format\n";
        return kBadInput;
    }
    std::error_code ec;
    if (fs::path(options.output).has_parent_path()) fs::create_directories(fs::path(options.output).parent_path(), ec);
    if (fs::is_directory(options.output, ec)) {
        err << "corvane-atlas: " << options.output << " is a folder; --output names the file to write\n";
        return kBadInput;
    }
    // The output is written afresh: it must not be one of the files read.
    const std::string overwritten = ReadFileWrittenOver(options, layers);
    if (!overwritten.empty()) {
        err << "corvane-atlas: " << overwritten << " is read by this export; --output names a new file\n";
        return kBadInput;
    }
    Staging staging(options.output);
    if (!staging.Made()) err << "corvane-atlas: " << staging.Error() << "\n";
    const std::vector<ExportLayer> none;
    VectorOutput vectors(driver, options.output, vectorLayers, [&](const std::string& p) { return staging.Place(p); });
    int status = kDone;
    size_t exported = 0;
    bool writeFailed = false;
    for (const ExportLayer& l : staging.Made() ? layers : none) {
        std::string message;
        ExportRaster raster;
        std::map<int, KeyItemInfo> keys;
        QueryTexts queries(l);
        if (IsRaster(l)) {
            const bool whole = ReadExportLayer(l, options.codePage, [](const ExportFeature&) {}, raster, message);
            if (!whole) {
                err << message << "\n";
                status = kFailed;
            }
            if (raster.codes.empty()) continue;
            Dataset memory = MemoryRaster(l, raster);
            if (!memory) { err << l.name << ": cannot hold the raster\n"; status = kFailed; continue; }
            if (!options.polygons) {
                const std::string path = rasterOutput ? FileOfLayer(options.output, l.name, rasterLayers == 1, ".tif")
                                                      : FileOfLayer(options.output, l.name, false, ".tif");
                if (!WriteGeoTiff(*memory, staging.Place(path), whole ? "" : message, error)) {
                    err << "corvane-atlas: " << error << "\n";
                    status = kFailed;
                    writeFailed = true;
                    break;   // the output's folder takes nothing more
                }
                out << l.name << " (" << l.dataType << ") -> " << path << ": " << raster.columns << " x " << raster.rows
                    << (whole ? "" : ", partial") << "\n";
                ++exported;
                continue;
            }
            OGRLayer* layer = vectors.Layer(whole ? l.name : l.name + "_partial", wkbPolygon, error);
            if (!layer) {
                err << "corvane-atlas: " << error << "\n";
                status = kFailed;
                if (vectors.Unwritable()) break;
                continue;
            }
            Fields fields(layer, l, {});
            if (!whole) layer->SetMetadataItem("PARTIAL", message.c_str());
            // Polygons of equal key code, from a scratch layer in memory.
            GDALDriver* memDriver = GetGDALDriverManager()->GetDriverByName("Memory");
            Dataset scratch(memDriver ? memDriver->Create("", 0, 0, 0, GDT_Unknown, nullptr) : nullptr);
            OGRLayer* shapes = scratch ? scratch->CreateLayer("shapes", nullptr, wkbPolygon, nullptr) : nullptr;
            if (!shapes) { err << l.name << ": cannot hold the polygons\n"; status = kFailed; continue; }
            OGRFieldDefn keyField("key", OFTInteger);
            shapes->CreateField(&keyField);
            GDALRasterBand* band = memory->GetRasterBand(1);
            GDALPolygonize(band, band->GetMaskBand(), shapes, 0, nullptr, nullptr, nullptr);
            vectors.Current()->StartTransaction();
            size_t count = 0;
            shapes->ResetReading();
            for (OGRFeature* s; (s = shapes->GetNextFeature()) != nullptr; OGRFeature::DestroyFeature(s)) {
                OGRFeature f(layer->GetLayerDefn());
                SetKeyFields(f, fields, l, s->GetFieldAsInteger(0), keys);
                f.SetGeometry(s->GetGeometryRef());
                if (layer->CreateFeature(&f) == OGRERR_NONE) ++count;
            }
            if (vectors.Current()->CommitTransaction() == OGRERR_FAILURE) writeFailed = true;
            out << l.name << " (" << l.dataType << ") -> " << count << " polygons" << (whole ? "" : ", partial") << "\n";
            ++exported;
            continue;
        }

        // Vector layers: the features go out as the reader hands them over. A damaged file
        // gives a layer of what could be read, named and marked as partial.
        std::vector<ExportFeature> held;
        const bool whole = ReadExportLayer(l, options.codePage, [&](const ExportFeature& f) { held.push_back(f); },
                                           raster, message);
        if (!whole) {
            // A layer of which nothing could be read still goes out, empty, named and marked
            // as partial, so that what was lost is seen in the output.
            err << message << "\n";
            status = kFailed;
        }
        const size_t pieces = held.size();
        if (!options.pieces) held = JoinedFeatures(l, std::move(held));
        OGRLayer* layer = vectors.Layer(whole ? l.name : l.name + "_partial", GeometryOf(l), error);
        if (!layer) {
            err << "corvane-atlas: " << error << "\n";
            status = kFailed;
            if (vectors.Unwritable()) break;
            continue;
        }
        if (!queries.LeftOut().empty()) err << "corvane-atlas: " << queries.LeftOut() << "\n";
        const std::vector<std::string> queryNames = queries.FieldNames();
        const std::vector<FeatureQuery> records = QueriesOf(held, queries);
        Fields fields(layer, l, queryNames, QueryFieldTypes(records));
        if (!whole) layer->SetMetadataItem("PARTIAL", message.c_str());
        vectors.Current()->StartTransaction();
        size_t count = 0;
        for (size_t i = 0; i < held.size(); ++i) {
            const ExportFeature& e = held[i];
            OGRFeature f(layer->GetLayerDefn());
            SetKeyFields(f, fields, l, e.key, keys);
            if (e.kind == ExportFeature::Label) {
                f.SetField(fields["text"], e.text.c_str());
                f.SetField(fields["h_just"], e.hJust);
                f.SetField(fields["v_just"], e.vJust);
                f.SetField(fields["size_step"], e.sizeStep);
                f.SetField(fields["trigger"], e.trigger);
                f.SetField(fields["angle"], e.angle);
            }
            if (e.hasReference) {
                f.SetField(fields["ref_lon"], e.refLon);
                f.SetField(fields["ref_lat"], e.refLat);
            }
            if (e.infoOffset >= 0 && fields["info"] >= 0) {
                f.SetField(fields["info"], static_cast<GIntBig>(e.infoOffset));
                if (queries.Available()) f.SetField(fields["query"], records[i].text.c_str());
                for (const auto& [name, value] : records[i].values)
                    if (fields[name] >= 0 && !value.empty()) f.SetField(fields[name], value.c_str());
            }
            f.SetGeometryDirectly(GeometryOf(l, e));
            if (layer->CreateFeature(&f) == OGRERR_NONE) ++count;
        }
        if (vectors.Current()->CommitTransaction() == OGRERR_FAILURE) writeFailed = true;
        out << l.name << " (" << l.dataType << ") -> " << count << " features";
        if (count != pieces) out << " (from " << pieces << " pieces)";
        out << (whole ? "" : ", partial") << "\n";
        ++exported;
    }
    // The new files replace the old ones only when all of them are whole.
    const bool closed = vectors.Close();
    if (!closed) err << "corvane-atlas: " << CannotWrite(options.output) << "\n";
    if (!staging.Made()) {
        status = kFailed;
    } else if (!closed || vectors.Unwritable() || writeFailed) {
        err << "corvane-atlas: nothing is written; the files there stay as they were\n";
        exported = 0;
        status = kFailed;
    } else if (!staging.Publish(error)) {
        err << "corvane-atlas: " << error << "\n";
        status = kFailed;
    }
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    out << exported << " of " << layers.size() << " layers exported in " << static_cast<int>(seconds * 10 + 0.5) / 10.0 << " s\n";
    return status;
}

} // namespace corvane::atlas
