#pragma once
// The gazetteer corvane-atlas names writes: every name of the atlas's index of names with its
// kind, where it comes from, its theme, its point and, for an area, its extent, in UTF-8.
#include <string>

namespace corvane {
class NameIndex;
}

namespace corvane::atlas {

enum class GazetteerFormat { Csv, GeoJson };
// From --format (csv, geojson), else from the output's extension (.csv, .geojson, .json), else
// CSV; false for a format of another name.
bool GazetteerFormatOf(const std::string& format, const std::string& output, GazetteerFormat& f);

// CSV with a heading line: name, kind, source (label, key or record), theme, longitude,
// latitude, west, south, east, north (the last four empty for a point).
std::string GazetteerCsv(const NameIndex& index);
// A GeoJSON FeatureCollection of points with the same properties (the extent's null for a
// point).
std::string GazetteerGeoJson(const NameIndex& index);

} // namespace corvane::atlas
