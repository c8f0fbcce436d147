#include "FindPlace.h"

#include "gazetteer/NameCache.h"
#include "gazetteer/PlaceView.h"
#include "mapdef/MDFStruct.h"
#include "platform/CodePage.h"
#include "platform/MessageSink.h"

#include <cstdio>

namespace corvane {

bool CentreOnPlace(TMDFStruct& mdf, const std::string& name, int32_t width, int32_t height, double pixelsPerInch,
                   MessageSink& sink)
{
    const NameSources medium = CurrentNameSources();
    const StoredNames names = LoadOrBuildNames(medium, NameCachePath(medium));
    for (const std::string& p : names.problems) sink.Plain(p);
    const std::vector<NameIndex::Hit> hits = names.index->Search(name, 2);
    if (hits.empty()) {
        sink.Error("No place of the atlas is named " + Utf8ToCp1252(name) + ".");
        return false;
    }
    const Place place = names.index->At(hits.front().index);
    if (hits.size() > 1) {
        // Which of them the picture shows; a note, not a message of the map (--strict).
        const std::string kind = !place.kind.empty() && place.kind != place.theme ? ", " + place.kind : "";
        std::fprintf(stderr, "Several places match %s: the map shows the first, %s (%s, %s).\n", name.c_str(),
                     Cp1252ToUtf8(place.name).c_str(), Cp1252ToUtf8(place.theme + kind).c_str(),
                     Cp1252ToUtf8(DegreesMinutes(place.lat, place.lon)).c_str());
    }
    if (!ThemeDrawn(mdf, place.theme)) DrawThemeAsOverlay(mdf, place.theme, sink);
    const GeoBox now{mdf.GetMinLat(), mdf.GetMaxLat(), mdf.GetMinLon(), mdf.GetMaxLon()};
    const GeoBox box = PlaceViewBox(place, now, width, height, pixelsPerInch);
    // The view replaces the map's own: the picture shows the place.
    if (!mdf.CanZoomOut()) mdf.ClearBaseZoom();
    mdf.NewZoom(0, 0, width, height, box.minLon, box.minLat, box.maxLon, box.maxLat, WindowPriority);
    return true;
}

} // namespace corvane
