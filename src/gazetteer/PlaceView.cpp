#include "gazetteer/PlaceView.h"

#include "catalogue/DataList.h"
#include "mapdef/MDFStruct.h"
#include "mapdef/MapThemes.h"

#include <algorithm>
#include <cmath>

namespace corvane {

namespace {

constexpr double kMetresPerDegree = 111320.0;
constexpr double kMetresPerInch = 0.0254;

} // namespace

GeoBox PlaceViewBox(const Place& place, const GeoBox& present, int32_t width, int32_t height, double pixelsPerInch)
{
    width = std::max(width, 1);
    height = std::max(height, 1);
    // Latitude range per degree of longitude: that of the present box, which has the
    // picture's shape.
    double shape = present.LonRange() > 0 && present.LatRange() > 0 ? present.LatRange() / present.LonRange()
                                                                     : static_cast<double>(height) / width;
    double lon = place.lon, lat = place.lat, lonRange = 0;
    const double ew = place.extent.east - place.extent.west, ns = place.extent.north - place.extent.south;
    if (place.hasExtent && (ew > 0 || ns > 0)) {
        lon = (place.extent.west + place.extent.east) / 2;
        lat = (place.extent.south + place.extent.north) / 2;
        lonRange = std::max(ew * 1.1, ns * 1.1 / shape);
    } else if (place.trigger > 0) {
        // A label is drawn while round(width / longitude range) reaches its trigger.
        lonRange = width / (place.trigger + 0.25);
    } else {
        const double ppi = pixelsPerInch > 0 ? pixelsPerInch : 96.0;
        const double ground = kPlaceScale * width / ppi * kMetresPerInch;
        lonRange = ground / (kMetresPerDegree * std::max(std::cos(lat * M_PI / 180.0), 0.01));
    }
    lonRange = std::clamp(lonRange, 0.005, kWidestLonRange);
    double latRange = lonRange * shape;
    if (latRange > kWidestLatRange) {
        latRange = kWidestLatRange;
        lonRange = latRange / shape;
    }
    return {lat - latRange / 2, lat + latRange / 2, lon - lonRange / 2, lon + lonRange / 2};
}

const MASStruct* ThemeOnMap(const TMDFStruct& mdf, const std::string& title)
{
    if (const MASStruct* m = mdf.NextMAS.FindTitle(title)) return m;
    return mdf.OverlayMAS.FindTitle(title);
}

bool ThemeDrawn(const TMDFStruct& mdf, const std::string& title)
{
    const MASStruct* first = mdf.OverlayMAS.First();
    return mdf.NextMAS.FindTitle(title) || (first && first->Title && *first->Title == title);
}

bool DrawThemeAsOverlay(TMDFStruct& mdf, const std::string& title, MessageSink& sink)
{
    if (!mdf.OverlayMAS.FindTitle(title)) {
        std::string file;
        ReadDataListFile(title, file, sink);
        if (file.empty()) return false;
        // As the data set list adds it: the map's themes stay as they are, the new one goes
        // after the overlays.
        std::vector<MASInfoList> base, overlays, text;
        for (const MASStruct* m : mdf.NextMAS) base.push_back({m->Title ? *m->Title : std::string(), {}});
        for (const MASStruct* m : mdf.OverlayMAS) overlays.push_back({m->Title ? *m->Title : std::string(), {}});
        for (const MASStruct* m : mdf.TextMAS) text.push_back({m->Title ? *m->Title : std::string(), {}});
        overlays.push_back({title, file});
        if (ReconcileThemes(mdf, base, overlays, text, sink).Stopped || !mdf.OverlayMAS.FindTitle(title)) return false;
    }
    BringOverlayToFront(mdf, title);
    return true;
}

} // namespace corvane
