#pragma once
// A small atlas for the end-to-end tests, written by our own writers into a temporary folder:
// the five outline and five land files of the standard coastline, themes of polygon layers,
// the data list and map definition files.
//
// Each coastline generalisation marks itself with its own place: level i (0 the coarsest,
// 4 full detail) has land only in the band of longitudes -1 + 0.4 i .. -0.6 + 0.4 i (all
// latitudes of its grid, -20..20), and its outline is one meridian line through the middle
// of that band. Maps centred on 0, 0 on a square picture keep their box as given (the
// latitude stretch is 1 there), so a picture of 400 pixels shows 400 / S pixels a degree for
// a box of side S.
#include "TestUtil.h"
#include "catalogue/MasterFile.h"
#include "catalogue/writers/DataListWriter.h"
#include "catalogue/writers/MasterFileWriter.h"
#include "layers/writers/PolygonFileWriter.h"
#include "layers/writers/RunLengthWriters.h"
#include "layers/writers/VECmapWriter.h"
#include "platform/Colour.h"
#include "render/Transforms.h"

#include <QImage>

#include <memory>
#include <string>
#include <vector>

namespace corvane::test {

constexpr Colour kSea = RGB(0, 0, 128);
constexpr Colour kLandFill = RGB(0, 160, 0);
constexpr Colour kOutline = RGB(255, 255, 0);
constexpr int kPicture = 400;

inline double BandCentre(int level) { return -0.8 + 0.4 * level; }

template <class Writer>
void WriteLayer(const TempDir& dir, const std::string& rel, const Writer& w)
{
    const std::vector<uint8_t> bytes = w.Bytes();
    dir.Write(rel, std::string(bytes.begin(), bytes.end()));
}

inline void WriteCoastlines(const TempDir& dir)
{
    const char* vec[5] = {"Land01PC.Vec", "Land03PC.Vec", "Land10PC.Vec", "Land30PC.Vec", "LandFull.Vec"};
    const char* mrl[5] = {"Land5Min.Mrl", "Land3Min.Mrl", "Land1Min.Mrl", "Land36s.Mrl", "Land12s.Mrl"};
    for (int level = 0; level < 5; ++level) {
        LayerWriteOptions o;
        o.Header.DatasetID = "COAST";
        VECmapWriter outline(o, -20, 20, -20, 20);
        outline.AddPolyline(1, {{-15, BandCentre(level)}, {15, BandCentre(level)}});
        WriteLayer(dir, std::string("Landdata/Vec/") + vec[level], outline);

        // 0.1-degree pixels over -20..20: the band is pixel columns 190 + 4 level .. + 3.
        const GeoRaster raster{-20.0, 20.0, 0.1, 0.1, 400, 400};
        std::vector<uint8_t> values(400 * 400, 0);
        for (int row = 0; row < 400; ++row)
            for (int col = 190 + 4 * level; col < 194 + 4 * level; ++col) values[row * 400 + col] = 1;
        MemoryRaster source(400, values);
        const std::vector<uint8_t> land = MonoRLEmapWriter(raster, o).Write(source).Bytes();
        dir.Write(std::string("Landdata/Mrl/") + mrl[level], std::string(land.begin(), land.end()));
    }
}

// A square polygon layer (data type 8, key code 1) from lat0, lon0 to lat1, lon1.
inline void WriteSquare(const TempDir& dir, const std::string& rel, double lat0, double lon0, double lat1, double lon1)
{
    LayerWriteOptions o;
    o.Header.DatasetID = "SQUARE";
    o.FinestUnit = 1000;
    PolygonFileWriter w(o, 8);
    PolygonFeature f;
    f.Parts = {{{lat0, lon0}, {lat0, lon1}, {lat1, lon1}, {lat1, lon0}, {lat0, lon0}}};
    w.Add(f);
    WriteLayer(dir, rel, w);
}

// A data set of a theme: its type, whether it lies under the coastline, its files
// ("CDROM:\..." paths) with their trigger scales.
struct ThemeDataSet {
    int type = 8;
    bool beforeCoastline = false;
    std::vector<std::pair<std::string, double>> files;
};

// A theme whose key has one solid box item in DOS colour number `colour` (top and bottom).
inline std::string ThemeText(const std::vector<ThemeDataSet>& sets, int colour, bool coastlineIncluded = false)
{
    MASStruct mas;
    mas.Number_Of_Datasets = static_cast<uint8_t>(std::max<size_t>(1, sets.size()));
    mas.Coastline_Included = coastlineIncluded;
    mas.Minlat = mas.Minlon = -5;
    mas.Maxlat = mas.Maxlon = 5;
    std::unique_ptr<DSDStruct>* nextSet = &mas.NextDSD;
    for (const ThemeDataSet& s : sets) {
        auto d = std::make_unique<DSDStruct>();
        d->Data_Type = static_cast<uint8_t>(s.type);
        d->Number_Of_Files = static_cast<uint8_t>(s.files.size());
        d->Plot_Before_Coastline = s.beforeCoastline;
        std::unique_ptr<DFNStruct>* nextFile = &d->NextDFN;
        for (const auto& [name, trigger] : s.files) {
            *nextFile = std::make_unique<DFNStruct>();
            (*nextFile)->FileName = name;
            (*nextFile)->Trigger_Scale = trigger;
            nextFile = &(*nextFile)->NextDFN;
        }
        *nextSet = std::move(d);
        nextSet = &(*nextSet)->NextDSD;
    }
    mas.Key = std::make_unique<KeyStruct>();
    auto item = std::make_unique<K_Descriptor>();
    item->Active = true;
    item->Entry_Type = 2;
    item->Top_Style = item->Bottom_Style = 1;
    item->Top_Colour_Number = item->Bottom_Colour_Number = static_cast<uint8_t>(colour);
    item->Number_Of_Text_Lines = 1;
    item->Display_Order = 1;
    mas.Key->NextKD = std::move(item);
    mas.Key->Text = {"Item"};
    return WriteMasterFile(mas);
}

// The data list of the themes (title, master file path relative to the atlas).
inline void WriteDataListOf(const TempDir& dir, const std::vector<std::pair<std::string, std::string>>& themes)
{
    std::vector<DataListEntry> entries = {{1, "Themes", 1, "XXXX"}};
    for (const auto& [title, file] : themes) entries.push_back({2, title, 1, "CDROM:\\" + file});
    dir.Write("Misc/MainMenu.Dat", WriteDataList(entries));
}

struct TestMap {
    double side = 20;            // the box: -side/2 .. side/2 both ways
    int landStyle = 1;           // 1 infilled, 0 outline
    std::vector<std::string> base, overlay;
};

inline std::string MapText(const TestMap& m)
{
    const std::string half = std::to_string(m.side / 2);
    std::string t = "[Map Definition]\r\nVersion=1\r\nBackgroundColour=" + std::to_string(kSea) +
                    "\r\nLand_Plot_Style=" + std::to_string(m.landStyle) +
                    "\r\nLand_Plot_Colour=" + std::to_string(kOutline) +
                    "\r\nLand_Plot_Fill_Colour=" + std::to_string(kLandFill) +
                    "\r\nGrid_Displayed=0\r\nBaseKey_Displayed=0\r\nOverlayKey_Displayed=0\r\n"
                    "[Window]\r\nXPos=0\r\nYPos=0\r\nWidth=400\r\nHeight=400\r\n"
                    "[Lat_Lon]\r\nLat=-" + half + " " + half + "\r\nLon=-" + half + " " + half + "\r\n";
    auto titles = [&t](const char* section, const std::vector<std::string>& list) {
        t += std::string("[") + section + "]\r\n";
        for (size_t i = 0; i < list.size(); ++i) t += "Title" + std::to_string(i + 1) + "=" + list[i] + "\r\n";
    };
    titles("Base", m.base);
    titles("Overlay", m.overlay);
    return t;
}

// Pixel of a place on a kPicture-square map of side `side` centred on 0, 0, or dx columns
// beside it.
inline Colour PixelAt(const QImage& img, double side, double lat, double lon, int dx = 0)
{
    const QRgb p = img.pixel(LonToScreen(lon, -side / 2, side, kPicture) + dx, LatToScreen(lat, -side / 2, side, kPicture));
    return RGB(static_cast<uint8_t>(qRed(p)), static_cast<uint8_t>(qGreen(p)), static_cast<uint8_t>(qBlue(p)));
}

// Whether the colour is on the column of a place or one of its two neighbours.
inline bool NearColumn(const QImage& img, double side, double lat, double lon, Colour c)
{
    return PixelAt(img, side, lat, lon, -1) == c || PixelAt(img, side, lat, lon) == c || PixelAt(img, side, lat, lon, 1) == c;
}

} // namespace corvane::test
