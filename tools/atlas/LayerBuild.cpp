#include "LayerBuild.h"

#include "AtlasText.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <stdexcept>

namespace corvane::atlas {

namespace {

// Counts problems by kind, so that a source with thousands of bad features gives one line.
class Problems {
public:
    void Add(const std::string& what) { ++counts_[what]; }
    void To(LayerBuildResult& r) const
    {
        for (const auto& [what, n] : counts_) r.warnings.push_back(std::to_string(n) + " x " + what);
    }

private:
    std::map<std::string, size_t> counts_;
};

std::optional<long> WholeNumber(const std::string& s)
{
    if (s.empty()) return std::nullopt;
    char* end = nullptr;
    errno = 0;
    double v = std::strtod(s.c_str(), &end);
    if (errno || *end || v != static_cast<double>(static_cast<long>(v))) return std::nullopt;
    return static_cast<long>(v);
}

// The value of a ValueSource for a feature, or none (with the problem in problem).
std::optional<long> ValueOf(const ValueSource& vs, const SourceFeature& f, long lo, long hi,
                            const char* what, std::string& problem)
{
    if (!vs.FromField()) return vs.constant;
    auto it = f.attributes.find(vs.field);
    if (it == f.attributes.end()) { problem = std::string(what) + ": field " + vs.field + " missing"; return std::nullopt; }
    std::optional<long> v = WholeNumber(it->second);
    if (!v || *v < lo || *v > hi) {
        problem = std::string(what) + ": field " + vs.field + " not a whole number in " + std::to_string(lo) + ".." +
                  std::to_string(hi);
        return std::nullopt;
    }
    return v;
}

// The same, a problem counted among the warnings.
std::optional<long> ValueOf(const ValueSource& vs, const SourceFeature& f, long lo, long hi,
                            const char* what, Problems& problems)
{
    std::string problem;
    std::optional<long> v = ValueOf(vs, f, lo, hi, what, problem);
    if (!v) problems.Add(problem);
    return v;
}

std::string Expand(const std::string& tpl, const SourceFeature& f, Problems& problems)
{
    std::string missing;
    std::string s = ExpandTemplate(tpl, [&](const std::string& name) -> std::optional<std::string> {
        auto it = f.attributes.find(name);
        if (it == f.attributes.end()) return std::nullopt;
        return it->second;
    }, &missing);
    if (!missing.empty()) problems.Add("text: field " + missing + " missing (left empty)");
    return s;
}

// The descriptive header fields and the grid wishes of a layer; the writers choose the
// grid (cells of at least the wanted side, at most 100 a side) and the finest unit that fits.
LayerWriteOptions Options(const AtlasDescription& atlas, const LayerSpec& layer, const std::string& id)
{
    LayerWriteOptions o;
    o.Header.DatasetID = id;
    o.Header.DateOrig = layer.date ? *layer.date : atlas.date;
    o.Header.ScaleOrig = layer.scale ? *layer.scale : atlas.scale;
    if (layer.infoKind >= 0) {
        o.Header.AssDataType = layer.infoKind;
        o.Header.AssDataFilename = layer.infoFile;
    }
    if (layer.cellDegrees > 0) o.CellSize = static_cast<int32_t>(std::llround(layer.cellDegrees * 1e6));
    if (layer.precision > 0) o.FinestUnit = layer.precision;
    return o;
}

std::string LayerId(const LayerSpec& layer)
{
    std::string id = layer.id.empty() ? layer.name : layer.id;
    return ToAtlasText(id, TextUse::Plain).substr(0, 12);
}

} // namespace

const ThemeSpec* ThemeOfLayer(const AtlasDescription& atlas, const std::string& layerName)
{
    for (const ThemeSpec& t : atlas.themes)
        for (const DatasetSpec& d : t.datasets)
            for (const FileRef& f : d.files)
                if (f.layer == layerName) return &t;
    return nullptr;
}

namespace {

// What the viewer makes of a feature whose key code picks no key entry: the entry's colour
// is black and its style 0, which is no line and no symbol, but a solid fill.
const char* WithoutKeyEntry(int dataType)
{
    switch (dataType) {
    case 1:
    case 7: return "the viewer draws no line for these";
    case 4: return "the viewer draws no symbol for these";
    case 5: return "the viewer stops drawing the layer at the first of these (\"Key definition for data type ... is missing\")";
    default: return "the viewer draws these in black";
    }
}

} // namespace

std::vector<std::string> CodesWithoutKeyEntry(const AtlasDescription& atlas, const std::string& layerName,
                                              const std::map<int, size_t>& codes, const char* counted)
{
    std::vector<std::string> out;
    const LayerSpec* layer = atlas.FindLayer(layerName);
    for (const ThemeSpec& t : atlas.themes)
        for (const DatasetSpec& d : t.datasets) {
            if (std::none_of(d.files.begin(), d.files.end(), [&](const FileRef& f) { return f.layer == layerName; })) continue;
            std::string list;
            for (const auto& [code, n] : codes) {
                const long entry = long{code} + d.keyAdjustment;
                if (entry >= 1 && entry <= static_cast<long>(t.key.size())) continue;
                list += (list.empty() ? "" : ", ") + std::to_string(entry) + " (" + std::to_string(n) + " " + counted +
                        (n == 1 ? "" : "s") + ")";
            }
            if (list.empty()) continue;
            out.push_back("theme " + t.title + " has no key entry for key code " + list + ": its key has " +
                          std::to_string(t.key.size()) + " entries (a code is the layer's plus the data set's key adjustment, " +
                          std::to_string(d.keyAdjustment) + "); " + WithoutKeyEntry(layer ? layer->dataType : 0));
        }
    return out;
}

LayerBuildResult BuildVectorLayer(const AtlasDescription& atlas, const LayerSpec& layer,
                                  const std::vector<QueryLineSpec>& queryLines, const VectorSource& source)
{
    LayerBuildResult r;
    Problems problems;
    LayerContent& c = r.content;
    c.dataType = layer.dataType;
    const bool withInfo = layer.infoKind >= 0 && (layer.dataType == 4 || layer.dataType == 7 || layer.dataType == 9);
    if (withInfo) r.info = std::make_unique<InfoFileBuilder>(layer.infoKind);
    const bool withValues = !queryLines.empty() && (queryLines[0].dataType == 1 || queryLines[0].dataType == 10);

    // Text that does not fit its field is refused, naming the feature.
    auto tooLong = [&](const SourceFeature& f, const char* what, size_t size, size_t limit) {
        if (size <= limit) return;
        throw FeatureError(FeatureLabel("feature", static_cast<size_t>(&f - source.features.data()) + 1, f.Name()) + ": " +
                           what + " of " + std::to_string(size) + " characters, longer than the " +
                           std::to_string(limit) + " it can hold");
    };
    auto infoOffset = [&](const SourceFeature& f) -> uint32_t {
        if (!r.info) return 0;
        if (layer.infoKind == 0) {
            std::string text = ToAtlasText(Expand(layer.infoText, f, problems), TextUse::Plain);
            tooLong(f, "information line", text.size(), 255);
            return r.info->AddLine(text);
        }
        std::vector<InfoFileBuilder::Entry> entries;
        for (const InfoLineSpec& e : layer.infoLines) {
            std::string v = ToAtlasText(Expand(e.text, f, problems), TextUse::QueryValue);
            if (withValues) tooLong(f, "information value", v.size(), 70);
            entries.push_back({static_cast<uint8_t>(e.code), v, e.clearHeaders, e.shared});
        }
        std::optional<uint8_t> display;
        if (layer.infoKind == 2 && layer.infoDisplayCount) display = static_cast<uint8_t>(*layer.infoDisplayCount);
        return r.info->AddRecord(entries, withValues, display);
    };

    for (const SourceFeature& f : source.features) {
        auto leave = [&](const std::string& reason) { r.leftOut.Add(reason, f.number, f.Name()); };
        std::string keyProblem;
        std::optional<long> key = ValueOf(layer.key, f, 1, 50, "key", keyProblem);
        if (!key) { leave(keyProblem); continue; }
        const int k = static_cast<int>(*key);
        switch (layer.dataType) {
        case 1:
            for (const GeoLine& part : f.parts)
                if (part.size() >= 2) c.lines.push_back({k, part});
                else problems.Add("line of fewer than 2 points left out");
            break;
        case 4:
        case 5:
            if (f.kind != SourceFeature::Point) { leave("not a point (a symbol layer)"); continue; }
            for (const GeoLine& part : f.parts)
                for (const GeoPoint& p : part)
                    c.points.emplace_back(p.Lat, p.Lon, k, layer.dataType == 4 ? infoOffset(f) : 0, f.Name());
            break;
        case 6: {
            LabelFeature label;
            const GeoPoint at = f.kind == SourceFeature::Polygon ? f.inside : f.parts.front().front();
            label.Lat = at.Lat;
            label.Lon = at.Lon;
            label.KeyLink = k;
            std::optional<long> size = ValueOf(layer.labelSize, f, 0, 3, "label-size", problems);
            std::optional<long> trig = ValueOf(layer.labelTrigger, f, 0, 65535, "label-trigger", problems);
            label.bHeight = static_cast<int>(size.value_or(0));
            label.TriggerScale = static_cast<int32_t>(trig.value_or(0));
            label.TextAngle = layer.angle;
            label.hJust = layer.hJust;
            label.vJust = layer.vJust;
            label.Text = ToAtlasText(Expand(layer.labelText, f, problems), TextUse::Plain);
            tooLong(f, "label", label.Text.size(), 255);
            c.labels.push_back(label);
            break;
        }
        case 7:
        case 8:
        case 9: {
            if (f.kind != SourceFeature::Polygon) { leave("not a polygon (a polygon layer)"); continue; }
            PolygonFeature poly;
            poly.KeyCode = k;
            poly.Parts = f.parts;
            poly.Reference = f.inside;
            poly.Name = f.Name();
            if (!layer.referenceLon.empty()) {
                auto lon = f.attributes.find(layer.referenceLon), lat = f.attributes.find(layer.referenceLat);
                char* e1 = nullptr;
                char* e2 = nullptr;
                if (lon != f.attributes.end() && lat != f.attributes.end()) {
                    double x = std::strtod(lon->second.c_str(), &e1), y = std::strtod(lat->second.c_str(), &e2);
                    if (!*e1 && !*e2) poly.Reference = {y, x};
                    else problems.Add("reference fields not numbers (point inside used)");
                } else problems.Add("reference fields missing (point inside used)");
            }
            if (layer.dataType != 8) poly.InfoOffset = infoOffset(f);
            c.polygons.push_back(std::move(poly));
            r.polygonSource.push_back(static_cast<size_t>(&f - source.features.data()));
            break;
        }
        default:
            throw std::invalid_argument("layer " + layer.name + ": type " + std::to_string(layer.dataType) + " is not a vector type");
        }
        ++r.used;
        ++r.keyCodes[k];
    }

    const Region area = layer.region ? *layer.region : source.extent;
    c.south_west = {area.south, area.west};
    c.north_east = {area.north, area.east};
    c.options = Options(atlas, layer, LayerId(layer));
    problems.To(r);
    return r;
}

void CheckFieldsInSource(const LayerSpec& layer, const std::vector<std::string>& fields)
{
    std::vector<std::string> lacking;
    auto need = [&](const std::string& field, const std::string& what) {
        if (field.empty() || std::find(fields.begin(), fields.end(), field) != fields.end()) return;
        const std::string named = "\"" + field + "\" (" + what + ")";
        if (std::find(lacking.begin(), lacking.end(), named) == lacking.end()) lacking.push_back(named);
    };
    auto inTemplate = [&](const std::string& tpl, const std::string& what) {
        ExpandTemplate(tpl, [&](const std::string& name) -> std::optional<std::string> {
            need(name, what);
            return std::string();
        });
    };
    const int type = layer.dataType;
    need(layer.key.field, "key");
    if (type == 6) {
        need(layer.labelSize.field, "label-size");
        need(layer.labelTrigger.field, "label-trigger");
        inTemplate(layer.labelText, "label-text");
    }
    if (type == 7 || type == 9) {
        need(layer.referenceLon, "reference");
        need(layer.referenceLat, "reference");
    }
    if (layer.infoKind >= 0 && (type == 4 || type == 7 || type == 9)) {
        if (layer.infoKind == 0) inTemplate(layer.infoText, "info-text");
        else
            for (const InfoLineSpec& e : layer.infoLines) inTemplate(e.text, "info-line");
    }
    if (lacking.empty()) return;
    std::string message = "layer " + layer.name + ": the source has no field ";
    for (size_t i = 0; i < lacking.size(); ++i) message += (i ? ", " : "") + lacking[i];
    message += "; its fields:";
    for (size_t i = 0; i < fields.size(); ++i) message += (i ? ", " : " ") + fields[i];
    if (fields.empty()) message += " none";
    throw std::invalid_argument(message);
}

void CheckGridFits(const LayerSpec& layer, const Region& area)
{
    if (layer.cellDegrees <= 0) return;
    const int32_t cell = static_cast<int32_t>(std::llround(layer.cellDegrees * 1e6));
    const LayerGrid g = ChooseGrid(area.south, area.north, area.west, area.east, cell);
    if (g.GridCellSize == cell) return;
    auto count = [cell](double lo, double hi) {
        return static_cast<long long>(std::ceil(hi * 1e6 / cell) - std::floor(lo * 1e6 / cell));
    };
    char box[120];
    std::snprintf(box, sizeof box, "%g..%g E, %g..%g N", area.west, area.east, area.south, area.north);
    char side[32];
    std::snprintf(side, sizeof side, "%g", layer.cellDegrees);
    throw std::invalid_argument("layer " + layer.name + ": the area " + box + " needs " +
                                std::to_string(count(area.west, area.east)) + " x " +
                                std::to_string(count(area.south, area.north)) + " cells of " + side +
                                " degree, more than the 100 a side a layer holds");
}

LayerGrid PolygonGrid(const LayerContent& c)
{
    GeoBounds b;
    for (const PolygonFeature& p : c.polygons) {
        for (const GeoLine& part : p.Parts)
            for (const GeoPoint& q : part) b.Add(q);
        if (c.dataType != 8) b.Add(p.Reference);
    }
    return b.Grid(c.options.CellSize);
}

void CheckPolygonUnits(const LayerSpec& layer, const LayerContent& c)
{
    if (layer.precision <= 0) return;
    const LayerGrid g = PolygonGrid(c);
    for (size_t i = 0; i < c.polygons.size(); ++i) {
        const PolygonFeature& p = c.polygons[i];
        double minLat = INFINITY, minLon = INFINITY, maxLat = -INFINITY, maxLon = -INFINITY;
        auto take = [&](const GeoPoint& q) {
            minLat = std::min(minLat, q.Lat); maxLat = std::max(maxLat, q.Lat);
            minLon = std::min(minLon, q.Lon); maxLon = std::max(maxLon, q.Lon);
        };
        for (const GeoLine& part : p.Parts)
            for (const GeoPoint& q : part) take(q);
        if (c.dataType != 8) take(p.Reference);
        if (p.Parts.empty()) continue;
        // The corner of the cell that holds the south-west corner of the polygon's box.
        auto corner = [&](double v, int32_t origin) {
            return origin + std::floor((v * 1e6 - origin) / g.GridCellSize) * g.GridCellSize;
        };
        const double span = std::max(maxLat * 1e6 - corner(minLat, g.LatOrig), maxLon * 1e6 - corner(minLon, g.LonOrig));
        const double units = std::ceil(span / layer.precision);
        if (units > PolygonFileWriter::kMaxOffset)
            throw FeatureError(FeatureLabel("polygon", i + 1, p.Name) + ": reaches " + std::to_string(span / 1e6) +
                               " degrees from the corner of its cell, " + std::to_string(static_cast<long long>(units)) +
                               " units of " + std::to_string(layer.precision) +
                               " millionths of a degree: more than the 65534 a 16-bit offset holds");
    }
}

std::vector<PolygonFeature> ChunkPolygon(const PolygonFeature& f, size_t maxPartPoints, size_t maxRecords)
{
    if (maxPartPoints < 2 || maxRecords < 2) throw std::invalid_argument("ChunkPolygon: limits too small");
    maxPartPoints = std::min(maxPartPoints, maxRecords);
    // Parts no longer than maxPartPoints; a long line is cut into pieces that share their
    // end points, so that nothing of it goes missing.
    std::vector<GeoLine> parts;
    for (const GeoLine& part : f.Parts) {
        if (part.size() <= maxPartPoints) { parts.push_back(part); continue; }
        for (size_t from = 0; from + 1 < part.size(); from += maxPartPoints - 1) {
            const size_t to = std::min(part.size(), from + maxPartPoints);
            parts.emplace_back(part.begin() + static_cast<std::ptrdiff_t>(from), part.begin() + static_cast<std::ptrdiff_t>(to));
        }
    }
    std::vector<PolygonFeature> out;
    size_t records = 0;
    for (GeoLine& part : parts) {
        // A part after the first takes a separator record too.
        if (out.empty() || records + 1 + part.size() > maxRecords) {
            out.push_back(f);
            out.back().Parts.clear();
            records = 0;
        } else ++records;
        records += part.size();
        out.back().Parts.push_back(std::move(part));
    }
    return out;
}

LayerBuildResult BuildRasterLayer(const AtlasDescription& atlas, const LayerSpec& layer,
                                  std::shared_ptr<RasterValueSource> source)
{
    LayerBuildResult r;
    LayerContent& c = r.content;
    c.dataType = layer.dataType;
    c.raster.West = source->west;
    c.raster.North = source->north;
    c.raster.PixelWidth = source->unitLon;
    c.raster.PixelHeight = source->unitLat;
    c.raster.Columns = source->cols;
    c.raster.Rows = source->rows;
    r.rasterCodes = std::make_shared<LayerCodes>(layer, std::move(source));
    c.codes = r.rasterCodes;
    c.options = Options(atlas, layer, LayerId(layer));
    return r;
}

LayerCodes::LayerCodes(const LayerSpec& layer, std::shared_ptr<RasterValueSource> source)
    : dataType_(layer.dataType), landValues_(layer.landValues), source_(std::move(source))
{
}

void LayerCodes::ReadWindow(int64_t column, int64_t row, int32_t width, int32_t height, uint8_t* out)
{
    const size_t n = static_cast<size_t>(width) * static_cast<size_t>(height);
    buffer_.resize(n);
    source_->ReadValues(column, row, width, height, buffer_.data());
    for (size_t i = 0; i < n; ++i) {
        const int32_t v = buffer_[i];
        uint8_t code = 0;
        if (source_->noData && v == *source_->noData) code = 0;
        else if (dataType_ == 2) {
            const bool land = landValues_.empty() ? v != 0
                                                  : std::find(landValues_.begin(), landValues_.end(), v) != landValues_.end();
            code = land ? 1 : 0;
        } else if (v >= 0 && v <= 31) code = static_cast<uint8_t>(v);
        else ++outside_;
        out[i] = code;
        if (code) ++used_;
        ++perCode_[code];
    }
}

std::map<int, size_t> LayerCodes::CodeCounts() const
{
    std::map<int, size_t> counts;
    for (int code = 1; code < 32; ++code)
        if (perCode_[code]) counts[code] = perCode_[code];
    return counts;
}

std::vector<std::string> LayerCodes::Warnings() const
{
    if (!outside_) return {};
    return {std::to_string(outside_) + " x raster value outside the key codes 0..31 (written as 0)"};
}

} // namespace corvane::atlas
