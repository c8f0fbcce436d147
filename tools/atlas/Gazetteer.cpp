#include "Gazetteer.h"

#include "gazetteer/NameIndex.h"
#include "platform/CodePage.h"
#include "platform/DataPath.h"

#include <cstdio>

namespace corvane::atlas {

namespace {

const char* SourceWord(PlaceSource s)
{
    switch (s) {
    case PlaceSource::Label: return "label";
    case PlaceSource::Key: return "key";
    case PlaceSource::Record: return "record";
    }
    return "";
}

std::string Degrees(double v)
{
    char s[32];
    std::snprintf(s, sizeof s, "%.6f", v);
    return s;
}

std::string CsvField(const std::string& utf8)
{
    if (utf8.find_first_of(",\"\r\n") == std::string::npos) return utf8;
    std::string out = "\"";
    for (const char c : utf8) {
        if (c == '"') out += '"';
        out += c;
    }
    return out + "\"";
}

std::string JsonText(const std::string& utf8)
{
    std::string out = "\"";
    for (const char c : utf8) {
        const auto u = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (u < 0x20) {
            char e[8];
            std::snprintf(e, sizeof e, "\\u%04x", u);
            out += e;
        } else {
            out += c;
        }
    }
    return out + "\"";
}

} // namespace

bool GazetteerFormatOf(const std::string& format, const std::string& output, GazetteerFormat& f)
{
    const std::string name = LowerCase(format);
    if (!name.empty()) {
        if (name == "csv") f = GazetteerFormat::Csv;
        else if (name == "geojson") f = GazetteerFormat::GeoJson;
        else return false;
        return true;
    }
    const size_t dot = output.find_last_of('.');
    const std::string ext = dot == std::string::npos ? std::string() : LowerCase(output.substr(dot));
    f = ext == ".geojson" || ext == ".json" ? GazetteerFormat::GeoJson : GazetteerFormat::Csv;
    return true;
}

std::string GazetteerCsv(const NameIndex& index)
{
    std::string out = "name,kind,source,theme,longitude,latitude,west,south,east,north\r\n";
    for (size_t i = 0; i < index.Size(); ++i) {
        const Place p = index.At(i);
        out += CsvField(Cp1252ToUtf8(p.name)) + "," + CsvField(Cp1252ToUtf8(p.kind)) + "," + SourceWord(p.source) + "," +
               CsvField(Cp1252ToUtf8(p.theme)) + "," + Degrees(p.lon) + "," + Degrees(p.lat);
        if (p.hasExtent)
            out += "," + Degrees(p.extent.west) + "," + Degrees(p.extent.south) + "," + Degrees(p.extent.east) + "," +
                   Degrees(p.extent.north);
        else
            out += ",,,,";
        out += "\r\n";
    }
    return out;
}

std::string GazetteerGeoJson(const NameIndex& index)
{
    std::string out = "{\"type\":\"FeatureCollection\",\"features\":[";
    for (size_t i = 0; i < index.Size(); ++i) {
        const Place p = index.At(i);
        out += i ? ",\n" : "\n";
        out += "{\"type\":\"Feature\",\"geometry\":{\"type\":\"Point\",\"coordinates\":[" + Degrees(p.lon) + "," +
               Degrees(p.lat) + "]},\"properties\":{\"name\":" + JsonText(Cp1252ToUtf8(p.name)) +
               ",\"kind\":" + JsonText(Cp1252ToUtf8(p.kind)) + ",\"source\":\"" + SourceWord(p.source) +
               "\",\"theme\":" + JsonText(Cp1252ToUtf8(p.theme));
        for (const auto& [field, value] : {std::pair<const char*, double>{"west", p.extent.west},
                                           {"south", p.extent.south}, {"east", p.extent.east},
                                           {"north", p.extent.north}})
            out += std::string(",\"") + field + "\":" + (p.hasExtent ? Degrees(value) : std::string("null"));
        out += "}}";
    }
    out += "\n]}\n";
    return out;
}

} // namespace corvane::atlas
