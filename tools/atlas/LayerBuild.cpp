#include "LayerBuild.h"

#include "AtlasText.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
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

// The value of a ValueSource for a feature, or none (with the problem noted).
std::optional<long> ValueOf(const ValueSource& vs, const SourceFeature& f, long lo, long hi,
                            const char* what, Problems& problems)
{
    if (!vs.FromField()) return vs.constant;
    auto it = f.attributes.find(vs.field);
    if (it == f.attributes.end()) { problems.Add(std::string(what) + ": field " + vs.field + " missing"); return std::nullopt; }
    std::optional<long> v = WholeNumber(it->second);
    if (!v || *v < lo || *v > hi) {
        problems.Add(std::string(what) + ": field " + vs.field + " not a whole number in " +
                     std::to_string(lo) + ".." + std::to_string(hi));
        return std::nullopt;
    }
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

// The feature's name for the writers' messages.
std::string NameOf(const SourceFeature& f)
{
    auto it = f.attributes.find("name");
    return it == f.attributes.end() ? std::string() : it->second;
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

    auto infoOffset = [&](const SourceFeature& f) -> uint32_t {
        if (!r.info) return 0;
        if (layer.infoKind == 0)
            return r.info->AddLine(ToAtlasText(Expand(layer.infoText, f, problems), TextUse::Plain));
        std::vector<InfoFileBuilder::Entry> entries;
        for (const InfoLineSpec& e : layer.infoLines) {
            std::string v = ToAtlasText(Expand(e.text, f, problems), TextUse::QueryValue);
            if (v.size() > 70) problems.Add("information value cut to 70 characters");
            entries.push_back({static_cast<uint8_t>(e.code), v});
        }
        std::optional<uint8_t> display;
        if (layer.infoKind == 2 && layer.infoDisplayCount) display = static_cast<uint8_t>(*layer.infoDisplayCount);
        return r.info->AddRecord(entries, withValues, display);
    };

    for (const SourceFeature& f : source.features) {
        std::optional<long> key = ValueOf(layer.key, f, 1, 50, "key", problems);
        if (!key) { ++r.skipped; continue; }
        const int k = static_cast<int>(*key);
        switch (layer.dataType) {
        case 1:
            for (const GeoLine& part : f.parts)
                if (part.size() >= 2) c.lines.push_back({k, part});
                else problems.Add("line of fewer than 2 points left out");
            break;
        case 4:
        case 5:
            if (f.kind != SourceFeature::Point) { problems.Add("non-point feature left out of a symbol layer"); ++r.skipped; continue; }
            for (const GeoLine& part : f.parts)
                for (const GeoPoint& p : part)
                    c.points.emplace_back(p.Lat, p.Lon, k, layer.dataType == 4 ? infoOffset(f) : 0, NameOf(f));
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
            if (label.Text.size() > 255) { label.Text.resize(255); problems.Add("label cut to 255 characters"); }
            c.labels.push_back(label);
            break;
        }
        case 7:
        case 8:
        case 9: {
            if (f.kind != SourceFeature::Polygon) { problems.Add("non-polygon feature left out of a polygon layer"); ++r.skipped; continue; }
            PolygonFeature poly;
            poly.KeyCode = k;
            poly.Parts = f.parts;
            poly.Reference = f.inside;
            poly.Name = NameOf(f);
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
            break;
        }
        default:
            throw std::invalid_argument("layer " + layer.name + ": type " + std::to_string(layer.dataType) + " is not a vector type");
        }
        ++r.used;
    }

    const Region area = layer.region ? *layer.region : source.extent;
    c.south_west = {area.south, area.west};
    c.north_east = {area.north, area.east};
    c.options = Options(atlas, layer, LayerId(layer));
    problems.To(r);
    return r;
}

LayerBuildResult BuildRasterLayer(const AtlasDescription& atlas, const LayerSpec& layer, const RasterValues& source)
{
    LayerBuildResult r;
    Problems problems;
    LayerContent& c = r.content;
    c.dataType = layer.dataType;
    c.raster.West = source.west;
    c.raster.North = source.north;
    c.raster.PixelWidth = source.unitLon;
    c.raster.PixelHeight = source.unitLat;
    c.raster.Columns = source.cols;
    c.raster.Rows = source.rows;
    c.codes.resize(source.values.size());
    for (size_t i = 0; i < source.values.size(); ++i) {
        const int32_t v = source.values[i];
        uint8_t code = 0;
        if (source.noData && v == *source.noData) code = 0;
        else if (layer.dataType == 2) {
            bool land = layer.landValues.empty() ? v != 0
                                                 : std::find(layer.landValues.begin(), layer.landValues.end(), v) != layer.landValues.end();
            code = land ? 1 : 0;
        } else if (v >= 0 && v <= 31) code = static_cast<uint8_t>(v);
        else problems.Add("raster value outside the key codes 0..31 (written as 0)");
        c.codes[i] = code;
        if (code) ++r.used;
    }
    c.options = Options(atlas, layer, LayerId(layer));
    problems.To(r);
    return r;
}

} // namespace corvane::atlas
