#include "GdalSources.h"

#include <gdal_priv.h>
#include <ogr_spatialref.h>
#include <ogrsf_frmts.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <sstream>
#include <stdexcept>
#include <sys/stat.h>

namespace corvane::atlas {

namespace {

void RegisterOnce()
{
    static bool done = [] { GDALAllRegister(); return true; }();
    (void)done;
}

struct DatasetCloser {
    void operator()(GDALDataset* d) const { GDALClose(d); }
};
using DatasetPtr = std::unique_ptr<GDALDataset, DatasetCloser>;

// GDAL opens what it is given and would wait on a FIFO for ever: a name on this machine that
// is neither a file nor a folder (a data set of several files) is refused first. Virtual
// names ("/vsizip/...") are GDAL's own.
bool Openable(const std::string& path, std::string& error)
{
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0 || S_ISREG(st.st_mode) || S_ISDIR(st.st_mode)) return true;
    error = "cannot open " + path + ": it is not a regular file";
    return false;
}

std::string LastError(const std::string& fallback)
{
    const char* msg = CPLGetLastErrorMsg();
    return msg && *msg ? std::string(msg) : fallback;
}

GeoLine ToLine(const OGRSimpleCurve& c)
{
    GeoLine out;
    out.reserve(static_cast<size_t>(c.getNumPoints()));
    for (int i = 0; i < c.getNumPoints(); ++i) out.push_back({c.getY(i), c.getX(i)});
    return out;
}

void Grow(Region& r, bool& any, const GeoPoint& p)
{
    if (!any) { r = {p.Lon, p.Lon, p.Lat, p.Lat}; any = true; return; }
    r.west = std::min(r.west, p.Lon); r.east = std::max(r.east, p.Lon);
    r.south = std::min(r.south, p.Lat); r.north = std::max(r.north, p.Lat);
}

// Adds the pieces of a (cut) geometry to the feature, leaving out pieces of a lower
// dimension than the source's (cutting a polygon may leave stray lines or points).
void AddGeometry(const OGRGeometry* g, SourceFeature& f, double& largestArea, int minDimension)
{
    if (!g || g->IsEmpty()) return;
    if (g->getDimension() < minDimension) return;
    switch (wkbFlatten(g->getGeometryType())) {
    case wkbPoint: {
        const auto* p = g->toPoint();
        f.kind = SourceFeature::Point;
        f.parts.push_back({{p->getY(), p->getX()}});
        break;
    }
    case wkbLineString:
    case wkbLinearRing:
        if (f.kind != SourceFeature::Polygon) f.kind = SourceFeature::Line;
        f.parts.push_back(ToLine(*g->toLineString()));
        break;
    case wkbPolygon: {
        const auto* poly = g->toPolygon();
        f.kind = SourceFeature::Polygon;
        f.polygonStarts.push_back(f.parts.size());
        for (const OGRLinearRing* ring : *poly) f.parts.push_back(ToLine(*ring));
        const double area = poly->get_Area();
        if (area > largestArea) {
            OGRPoint inside(0, 0);   // GDAL fails on an empty point
            if (poly->PointOnSurface(&inside) == OGRERR_NONE) {
                f.inside = {inside.getY(), inside.getX()};
                largestArea = area;
            }
        }
        break;
    }
    case wkbMultiPoint:
    case wkbMultiLineString:
    case wkbMultiPolygon:
    case wkbGeometryCollection:
        for (const OGRGeometry* part : *g->toGeometryCollection()) AddGeometry(part, f, largestArea, minDimension);
        break;
    default: {
        // Curves and surfaces: take their linear form.
        std::unique_ptr<OGRGeometry> linear(g->getLinearGeometry());
        if (linear && wkbFlatten(linear->getGeometryType()) != wkbFlatten(g->getGeometryType()))
            AddGeometry(linear.get(), f, largestArea, minDimension);
        break;
    }
    }
}

} // namespace

bool ReadVectorSource(const std::string& path, const std::string& layerName, const std::string& where,
                      const std::optional<Region>& region, VectorSource& out, std::string& error)
{
    RegisterOnce();
    CPLErrorReset();
    if (!Openable(path, error)) return false;
    DatasetPtr ds(static_cast<GDALDataset*>(
        GDALOpenEx(path.c_str(), GDAL_OF_VECTOR | GDAL_OF_READONLY, nullptr, nullptr, nullptr)));
    if (!ds) { error = "cannot open " + path + " as vector data: " + LastError("unknown format"); return false; }
    OGRLayer* layer = layerName.empty() ? ds->GetLayer(0) : ds->GetLayerByName(layerName.c_str());
    if (!layer) { error = path + " has no layer " + (layerName.empty() ? "at all" : layerName); return false; }
    if (!where.empty() && layer->SetAttributeFilter(where.c_str()) != OGRERR_NONE) {
        error = "bad filter \"" + where + "\": " + LastError("rejected");
        return false;
    }

    // Everything in WGS 84 longitude, latitude.
    std::unique_ptr<OGRCoordinateTransformation> toLonLat;
    if (const OGRSpatialReference* srs = layer->GetSpatialRef()) {
        OGRSpatialReference wgs84;
        wgs84.SetWellKnownGeogCS("WGS84");
        wgs84.SetAxisMappingStrategy(OAMS_TRADITIONAL_GIS_ORDER);
        if (!srs->IsSame(&wgs84)) {
            toLonLat.reset(OGRCreateCoordinateTransformation(srs, &wgs84));
            if (!toLonLat) { error = path + ": cannot transform its coordinates to longitude and latitude"; return false; }
        }
    }

    std::unique_ptr<OGRPolygon> clip;
    if (region) {
        clip = std::make_unique<OGRPolygon>();
        OGRLinearRing ring;
        ring.addPoint(region->west, region->south);
        ring.addPoint(region->east, region->south);
        ring.addPoint(region->east, region->north);
        ring.addPoint(region->west, region->north);
        ring.addPoint(region->west, region->south);
        clip->addRing(&ring);
    }
    // Every feature is read (no spatial filter), so that each one left out is counted and
    // named with its reason.
    out = VectorSource{};
    size_t number = 0;
    OGRFeatureDefn* defn = layer->GetLayerDefn();
    for (int i = 0; i < defn->GetFieldCount(); ++i) out.fields.push_back(defn->GetFieldDefn(i)->GetNameRef());
    const int nameField = defn->GetFieldIndex("name");
    auto nameOf = [nameField](OGRFeature& feature) {
        return nameField >= 0 && feature.IsFieldSetAndNotNull(nameField) ? std::string(feature.GetFieldAsString(nameField))
                                                                         : std::string();
    };
    bool any = false;
    layer->ResetReading();
    for (auto& feature : *layer) {
        ++number;
        auto leave = [&](const char* reason) { out.leftOut.Add(reason, number, nameOf(*feature)); };
        OGRGeometry* geom = feature->GetGeometryRef();
        if (!geom || geom->IsEmpty()) { leave("without geometry"); continue; }
        std::unique_ptr<OGRGeometry> owned(geom->clone());
        if (toLonLat && owned->transform(toLonLat.get()) != OGRERR_NONE) {
            leave("not turned into longitude and latitude");
            continue;
        }
        if (clip) {
            OGREnvelope env;
            owned->getEnvelope(&env);
            const bool inside = env.MinX >= region->west && env.MaxX <= region->east &&
                                env.MinY >= region->south && env.MaxY <= region->north;
            if (!inside) {
                if (env.MaxX < region->west || env.MinX > region->east || env.MaxY < region->south ||
                    env.MinY > region->north) { leave("outside the region"); continue; }
                std::unique_ptr<OGRGeometry> cut(owned->Intersection(clip.get()));
                if (!cut || cut->IsEmpty()) { leave("outside the region"); continue; }
                owned = std::move(cut);
            }
        }
        SourceFeature f;
        double largest = -1;
        AddGeometry(owned.get(), f, largest, geom->getDimension());
        if (f.parts.empty()) { leave("without points, lines or areas"); continue; }
        f.number = number;
        for (int i = 0; i < defn->GetFieldCount(); ++i)
            if (feature->IsFieldSetAndNotNull(i))
                f.attributes[defn->GetFieldDefn(i)->GetNameRef()] = feature->GetFieldAsString(i);
        for (const GeoLine& part : f.parts)
            for (const GeoPoint& p : part) Grow(out.extent, any, p);
        out.features.push_back(std::move(f));
    }
    return true;
}

namespace {

class GdalRasterValues : public RasterValueSource {
public:
    GdalRasterValues(DatasetPtr ds, GDALRasterBand* band, int x0, int y0, std::string path)
        : ds_(std::move(ds)), band_(band), x0_(x0), y0_(y0), path_(std::move(path)) {}

    void ReadValues(int64_t column, int64_t row, int32_t width, int32_t height, int32_t* out) override
    {
        if (band_->RasterIO(GF_Read, static_cast<int>(x0_ + column), static_cast<int>(y0_ + row), width, height, out,
                            width, height, GDT_Int32, 0, 0) != CE_None)
            throw std::runtime_error(path_ + ": " + LastError("reading failed"));
    }

private:
    DatasetPtr ds_;
    GDALRasterBand* band_;
    int x0_, y0_;
    std::string path_;
};

} // namespace

std::unique_ptr<RasterValueSource> OpenRasterSource(const std::string& path, int band, const std::optional<Region>& region,
                                                    std::string& error)
{
    RegisterOnce();
    CPLErrorReset();
    if (!Openable(path, error)) return nullptr;
    DatasetPtr ds(static_cast<GDALDataset*>(
        GDALOpenEx(path.c_str(), GDAL_OF_RASTER | GDAL_OF_READONLY, nullptr, nullptr, nullptr)));
    if (!ds) { error = "cannot open " + path + " as a raster: " + LastError("unknown format"); return nullptr; }
    if (band < 1 || band > ds->GetRasterCount()) {
        error = path + " has no band " + std::to_string(band);
        return nullptr;
    }
    double gt[6];
    if (ds->GetGeoTransform(gt) != CE_None || gt[2] != 0 || gt[4] != 0 || gt[1] <= 0 || gt[5] >= 0) {
        error = path + " is not a north-up raster with a geotransform";
        return nullptr;
    }
    if (const OGRSpatialReference* srs = ds->GetSpatialRef(); srs && !srs->IsGeographic()) {
        error = path + " is not in longitude and latitude";
        return nullptr;
    }
    const int width = ds->GetRasterXSize(), height = ds->GetRasterYSize();
    // Pixel window inside the region (whole pixels whose centres lie inside).
    int x0 = 0, y0 = 0, x1 = width, y1 = height;   // y counts from the north
    if (region) {
        x0 = std::max(0, static_cast<int>(std::ceil((region->west - gt[0]) / gt[1] - 0.5)));
        x1 = std::min(width, static_cast<int>(std::floor((region->east - gt[0]) / gt[1] - 0.5)) + 1);
        y0 = std::max(0, static_cast<int>(std::ceil((region->north - gt[3]) / gt[5] - 0.5)));
        y1 = std::min(height, static_cast<int>(std::floor((region->south - gt[3]) / gt[5] - 0.5)) + 1);
    }
    if (x1 <= x0 || y1 <= y0) { error = path + " has no cells inside the region"; return nullptr; }

    GDALRasterBand* b = ds->GetRasterBand(band);
    int hasNoData = 0;
    const double nd = b->GetNoDataValue(&hasNoData);
    auto out = std::make_unique<GdalRasterValues>(std::move(ds), b, x0, y0, path);
    out->unitLon = gt[1];
    out->unitLat = -gt[5];
    out->west = gt[0] + x0 * gt[1];
    out->north = gt[3] + y0 * gt[5];
    out->cols = x1 - x0;
    out->rows = y1 - y0;
    if (hasNoData && std::isfinite(nd)) out->noData = static_cast<int32_t>(nd);
    return out;
}

std::string DescribeSource(const std::string& path)
{
    RegisterOnce();
    if (std::string error; !Openable(path, error)) return error + "\n";
    std::ostringstream s;
    DatasetPtr ds(static_cast<GDALDataset*>(
        GDALOpenEx(path.c_str(), GDAL_OF_VECTOR | GDAL_OF_RASTER | GDAL_OF_READONLY, nullptr, nullptr, nullptr)));
    if (!ds) return "cannot open " + path + ": " + LastError("unknown format") + "\n";
    s << path << " (" << ds->GetDriverName() << ")\n";
    for (OGRLayer* layer : ds->GetLayers()) {
        OGREnvelope env;
        s << "  layer " << layer->GetName() << ": " << layer->GetFeatureCount() << " features, "
          << OGRGeometryTypeToName(layer->GetGeomType());
        if (layer->GetExtent(&env, TRUE) == OGRERR_NONE)
            s << ", extent " << env.MinX << " " << env.MaxX << " " << env.MinY << " " << env.MaxY
              << " (west east south north)";
        s << "\n    fields:";
        OGRFeatureDefn* d = layer->GetLayerDefn();
        for (int i = 0; i < d->GetFieldCount(); ++i)
            s << " " << d->GetFieldDefn(i)->GetNameRef() << "(" << OGRFieldDefn::GetFieldTypeName(d->GetFieldDefn(i)->GetType()) << ")";
        s << "\n";
    }
    double gt[6];
    if (ds->GetRasterCount() > 0 && ds->GetGeoTransform(gt) == CE_None) {
        s << "  raster " << ds->GetRasterXSize() << " x " << ds->GetRasterYSize() << " cells of " << gt[1]
          << " x " << -gt[5] << " degree, west " << gt[0] << ", north " << gt[3] << "\n";
        for (int i = 1; i <= ds->GetRasterCount(); ++i) {
            double mm[2] = {0, 0};
            ds->GetRasterBand(i)->ComputeRasterMinMax(FALSE, mm);
            s << "  band " << i << ": values " << mm[0] << " to " << mm[1] << "\n";
        }
    }
    return s.str();
}

} // namespace corvane::atlas
