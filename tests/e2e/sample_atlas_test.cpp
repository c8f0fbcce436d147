// The sample atlas in atlas/ as the viewer meets it: the data list, every master file, every
// layer file and the standard coastline read by our own readers, and the default map drawn.
// And corvane-atlas (where it was built, with GDAL) on small sources of tests/data/atlas:
// large polygons cut along the grid still draw and are found from every piece.
#include "TestUtil.h"
#include "catalogue/DataList.h"
#include "catalogue/DatasetList.h"
#include "catalogue/MasterFile.h"
#include "layers/MapLBL.h"
#include "layers/MapMRLE.h"
#include "layers/MapPOL1.h"
#include "layers/MapRLE.h"
#include "layers/MapSYM.h"
#include "layers/MapSYX.h"
#include "layers/MapVEC.h"
#include "platform/CvVars.h"
#include "platform/MessageSink.h"
#include "platform/RecordingCanvas.h"
#include "platform/TextFile.h"

#include <QImage>
#include "platform/Ini.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <functional>
#include <map>
#include <regex>
#include <set>
#include <fstream>
#include <sstream>

namespace fs = std::filesystem;
using namespace corvane;
using namespace corvane::test;

namespace {

// A data path of an atlas ("CDROM:\Themes\X.MAS") under a folder.
fs::path InAtlas(const fs::path& root, std::string data)
{
    if (data.compare(0, 7, "CDROM:\\") == 0) data.erase(0, 7);
    for (char& c : data)
        if (c == '\\') c = '/';
    return root / data;
}

// Opens a layer file with the reader of its data type; true when the reader's check passes.
bool LayerOkay(int dataType, const std::string& path, MessageSink& sink)
{
    switch (dataType) {
    case dtVEC: { VECmap m; m.Create(path); return m.DataOkay(); }
    case dtMRL: { MonoRLEmap m; m.Create(path, sink); return m.DataOkay(); }
    case dtRLE: { RLEmap m; m.Create(path); return m.DataOkay(); }
    case dtSYX: { SYXmap m; m.Create(path); return m.DataOkay(); }
    case dtSYM: { SYMmap m; m.Create(path); return m.DataOkay(); }
    case dtLBL: { LBLmap m; m.Create(path); return m.DataOkay(); }
    case dtPOL7: case dtPOL8: case dtPOL9: { POLmap m; m.Create(path); return m.DataOkay(); }
    default: return false;
    }
}

int RunCommand(const std::string& cmd) { const int rc = std::system(cmd.c_str()); return WIFEXITED(rc) ? WEXITSTATUS(rc) : -1; }

} // namespace

TEST(SampleAtlas, EveryEntryThemeAndLayerReads)
{
    const fs::path root = fs::path(SourceDir()) / "atlas";
    std::string list;
    ASSERT_TRUE(ReadNativeFile((root / "Misc/MainMenu.Dat").string(), list));
    const std::vector<std::string> lines = SplitLines(list);
    ASSERT_GE(lines.size(), 20u);
    size_t themes = 0, pages = 0, layers = 0;
    std::vector<int> types(10, 0);
    for (size_t i = 0; i + 1 < lines.size(); i += 2) {
        const std::string title = TrimRight(lines[i]).substr(2), file = TrimRight(lines[i + 1]).substr(2);
        if (file == "XXXX") continue;
        const fs::path path = InAtlas(root, file);
        ASSERT_TRUE(fs::exists(path)) << title << ": " << path;
        if (lines[i + 1].compare(0, 2, "0 ") == 0) { ++pages; continue; }
        ++themes;
        RecordingMessageSink sink;
        std::unique_ptr<MASStruct> mas = MASStruct::Create(path.string(), sink);
        ASSERT_TRUE(mas) << title;
        EXPECT_TRUE(sink.messages.empty()) << title << ": " << sink.messages.front().text;
        for (const DSDStruct* d = mas->NextDSD.get(); d; d = d->NextDSD.get()) {
            ++types.at(d->Data_Type);
            for (const DFNStruct* f = d->NextDFN.get(); f; f = f->NextDFN.get()) {
                EXPECT_TRUE(LayerOkay(d->Data_Type, InAtlas(root, f->FileName).string(), sink)) << title << ": " << f->FileName;
                ++layers;
            }
        }
    }
    EXPECT_GE(themes, 6u);
    EXPECT_GE(pages, 2u);
    EXPECT_GE(layers, 20u);
    for (int t = 1; t <= 9; ++t) EXPECT_GT(types[t], 0) << "no data set of type " << t;

    // The standard coastline under its default names.
    NullMessageSink quiet;
    for (const char* f : {"LandFull.Vec", "Land30PC.Vec", "Land10PC.Vec", "Land03PC.Vec", "Land01PC.Vec"})
        EXPECT_TRUE(LayerOkay(dtVEC, (root / "Landdata/Vec" / f).string(), quiet)) << f;
    for (const char* f : {"Land12s.Mrl", "Land36s.Mrl", "Land1Min.Mrl", "Land3Min.Mrl", "Land5Min.Mrl"})
        EXPECT_TRUE(LayerOkay(dtMRL, (root / "Landdata/Mrl" / f).string(), quiet)) << f;
    EXPECT_GE(std::distance(fs::directory_iterator(root / "Maps"), fs::directory_iterator()), 3);
}

TEST(SampleAtlas, DefaultMapShowsLandAndSea)
{
    const char* r = std::getenv("CORVANE_RENDER");
    ASSERT_TRUE(r && *r);
    TempDir dir;
    const std::string out = dir / "default.png";
    ASSERT_EQ(RunCommand("'" + std::string(r) + "' --cdrom '" + (fs::path(SourceDir()) / "atlas").string() + "' --size 1024x768 --output '" +
                         out + "' 2>/dev/null"), 0);
    QImage img(QString::fromStdString(out));
    ASSERT_FALSE(img.isNull());
    // The default map, 45 to 65 N and 15 W to 15 E, widened to the picture's shape: these
    // places lie well inside land or sea at any such widening, and off the graticule's lines
    // (every 2 degrees of latitude, 5 of longitude).
    auto at = [&](double lat, double lon) {
        const double x = (lon + 15) / 30 * 1024, y = (65 - lat) / 20 * 768;
        return img.pixelColor(static_cast<int>(x), static_cast<int>(y));
    };
    const QColor land(0, 128, 0), sea(0, 0, 0);   // a new map's land fill and background
    EXPECT_EQ(at(61, 9), land);                    // central Norway
    EXPECT_EQ(at(47, 2), land);                    // central France
    EXPECT_EQ(at(56.5, 3), sea);                   // the middle of the North Sea
    EXPECT_EQ(at(49, -12), sea);                   // the Atlantic west of Cornwall
}

TEST(SampleAtlas, EveryMapDrawsBothKeysWithoutAMessage)
{
    const char* r = std::getenv("CORVANE_RENDER");
    ASSERT_TRUE(r && *r);
    TempDir dir;
    const fs::path root = fs::path(SourceDir()) / "atlas";
    for (const auto& entry : fs::directory_iterator(root / "Maps")) {
        const std::string out = dir / "map.png", errors = dir / "errors.txt";
        ASSERT_EQ(RunCommand("'" + std::string(r) + "' --cdrom '" + root.string() + "' --size 800x600 '" +
                             entry.path().string() + "' --output '" + out + "' 2> '" + errors + "'"), 0);
        EXPECT_EQ(ReadFile(errors), "") << entry.path();
        // Each key in the corner its map definition names (1 top left, 2 top right, 3 bottom
        // right, 4 bottom left): the white and silver edges of its raised and sunken rings on
        // the picture's side, a row inside the key.
        QImage img(QString::fromStdString(out));
        const IniFile mdf = IniFile::FromText(ReadFile(entry.path().string()));
        for (const char* key : {"BasePos", "OverlayPos"}) {
            const int corner = mdf.ReadInteger("Map Definition", key, 0);
            ASSERT_TRUE(corner >= 1 && corner <= 4) << entry.path() << " " << key;
            const bool right = corner == 2 || corner == 3, bottom = corner >= 3;
            const int y = bottom ? 600 - 9 : 8;
            const int raised = right ? 798 : 1, sunken = right ? 797 : 2;
            const QColor raisedColour = right ? QColor(192, 192, 192) : QColor(255, 255, 255);
            const QColor sunkenColour = right ? QColor(255, 255, 255) : QColor(192, 192, 192);
            EXPECT_EQ(img.pixelColor(raised, y), raisedColour) << entry.path() << " " << key;
            EXPECT_EQ(img.pixelColor(sunken, y), sunkenColour) << entry.path() << " " << key;
        }
    }
}

namespace {

const fs::path kAtlas = fs::path(SourceDir()) / "atlas";

// A sample map: its file, the box of its "Lat_Lon" section and the client area of its window
// (the outer size less the frame the compiler shaped it with).
struct SampleMap {
    std::string name, text;
    double minLat = 0, maxLat = 0, minLon = 0, maxLon = 0;
    int x = 0, y = 0, width = 0, height = 0;
    int ClientWidth() const { return width - 8; }
    int ClientHeight() const { return height - 27; }
};

double IniNumber(const std::string& text, const std::string& key, int which = 0)
{
    const size_t at = text.find("\n" + key + "=");
    if (at == std::string::npos) return -1;
    std::istringstream in(text.substr(at + key.size() + 2));
    double v = -1;
    for (int i = 0; i <= which; ++i) in >> v;
    return v;
}

SampleMap ReadSampleMap(const std::string& name)
{
    SampleMap m;
    m.name = name;
    m.text = ReadFile((kAtlas / "Maps" / (name + ".MDF")).string());
    m.minLat = IniNumber(m.text, "Lat"), m.maxLat = IniNumber(m.text, "Lat", 1);
    m.minLon = IniNumber(m.text, "Lon"), m.maxLon = IniNumber(m.text, "Lon", 1);
    m.x = static_cast<int>(IniNumber(m.text, "XPos")), m.y = static_cast<int>(IniNumber(m.text, "YPos"));
    m.width = static_cast<int>(IniNumber(m.text, "Width")), m.height = static_cast<int>(IniNumber(m.text, "Height"));
    return m;
}

// A value of the "Map Definition" section as a colour of a picture.
QColor IniColour(const std::string& text, const std::string& key)
{
    const uint32_t c = static_cast<uint32_t>(IniNumber(text, key));
    return QColor(static_cast<int>(c & 0xFF), static_cast<int>((c >> 8) & 0xFF), static_cast<int>((c >> 16) & 0xFF));
}

// Draws a map (the text of a map definition) with corvane-render at its window's client size,
// so that the picture shows the map's own box; the messages go to *messages.
QImage Render(const TempDir& dir, const SampleMap& m, const std::string& text, std::string* messages = nullptr)
{
    const char* r = std::getenv("CORVANE_RENDER");
    if (!r || !*r) return {};
    const std::string mdf = dir.Write(m.name + ".MDF", text), out = dir / (m.name + ".png"), err = dir / (m.name + ".err");
    const int rc = RunCommand("'" + std::string(r) + "' --cdrom '" + kAtlas.string() + "' --datalist 'CDROM:\\Misc\\MainMenu.Dat' --size " +
                              std::to_string(m.ClientWidth()) + "x" + std::to_string(m.ClientHeight()) + " '" + mdf +
                              "' --output '" + out + "' 2>'" + err + "'");
    if (messages) *messages = ReadFile(err);
    return rc == 0 ? QImage(QString::fromStdString(out)) : QImage();
}

// The map definition with some of its display switches turned off.
std::string SwitchedOff(std::string text, std::initializer_list<const char*> keys)
{
    for (const char* key : keys) {
        const size_t at = text.find(std::string("\n") + key + "=1");
        if (at != std::string::npos) text[at + std::strlen(key) + 2] = '0';
    }
    return text;
}

// The map definition without graticule and keys, so that a picture shows only the map.
std::string WithoutGridAndKeys(const std::string& text)
{
    return SwitchedOff(text, {"Grid_Displayed", "BaseKey_Displayed", "OverlayKey_Displayed"});
}

// The same map with no theme at all: only the standard coastline over the background.
std::string CoastlineOnly(const std::string& text) { return WithoutGridAndKeys(text.substr(0, text.find("\n[Base]"))); }

QPoint PixelOf(const SampleMap& m, const QImage& img, double lat, double lon)
{
    return QPoint(static_cast<int>((lon - m.minLon) / (m.maxLon - m.minLon) * img.width()),
                  static_cast<int>((m.maxLat - lat) / (m.maxLat - m.minLat) * img.height()));
}

// How many pixels of colour c lie in the square of side 2r + 1 around p.
int CountAround(const QImage& img, QPoint p, int r, const QColor& c)
{
    int n = 0;
    for (int y = p.y() - r; y <= p.y() + r; ++y)
        for (int x = p.x() - r; x <= p.x() + r; ++x)
            if (img.valid(x, y) && img.pixelColor(x, y) == c) ++n;
    return n;
}

// Each sample map drawn once from its definition changed by Edit, and kept.
class Pictures {
public:
    explicit Pictures(std::function<std::string(const std::string&)> edit) : edit_(std::move(edit)) {}
    const QImage& Of(const SampleMap& m)
    {
        QImage& img = pictures_[m.name];
        if (img.isNull()) img = Render(dir_, m, edit_(m.text));
        return img;
    }

    // A place on a map's picture: the map, its picture (null when it could not be drawn) and
    // the place's pixel.
    struct Spot {
        SampleMap map;
        const QImage* picture = nullptr;
        QPoint at;
    };
    Spot At(const std::string& name, double lat, double lon)
    {
        Spot s{ReadSampleMap(name), nullptr, {}};
        const QImage& img = Of(s.map);
        if (img.isNull()) return s;
        s.picture = &img;
        s.at = PixelOf(s.map, img, lat, lon);
        return s;
    }

private:
    TempDir dir_;
    std::function<std::string(const std::string&)> edit_;
    std::map<std::string, QImage> pictures_;
};

const char* const kSampleMaps[] = {"NorthSea", "Channel", "Baltic", "Solent", "Aegean", "Shores"};

// Relative luminance of a colour (0x00BBGGRR) and the contrast ratio of two colours, as the
// accessibility guidelines of the web define them: 1 for equal colours, 21 for black on white.
double Luminance(uint32_t c)
{
    auto channel = [](uint32_t v) {
        const double s = v / 255.0;
        return s <= 0.03928 ? s / 12.92 : std::pow((s + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * channel(c & 0xFF) + 0.7152 * channel((c >> 8) & 0xFF) + 0.0722 * channel((c >> 16) & 0xFF);
}

double Contrast(uint32_t a, uint32_t b)
{
    const double la = Luminance(a), lb = Luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

// The master file of a theme of the data list, read.
std::unique_ptr<MASStruct> ThemeByTitle(const std::string& title, MessageSink& sink)
{
    CvVars::CDROM = kAtlas.string();
    CvVars::DatalistFile = (kAtlas / "Misc/MainMenu.Dat").string();
    std::string file;
    ReadDataListFile(title, file, sink);
    return file.empty() ? nullptr : MASStruct::Create(InAtlas(kAtlas, file).string(), sink);
}

} // namespace

TEST(SampleAtlas, EveryMapOpensWithoutAMessageAndFitsTheScreen)
{
    std::set<std::string> files;
    for (const auto& e : fs::directory_iterator(kAtlas / "Maps")) files.insert(e.path().stem().string());
    for (const char* name : kSampleMaps) EXPECT_TRUE(files.count(name)) << name;
    TempDir dir;
    for (const std::string& name : files) {
        const SampleMap m = ReadSampleMap(name);
        // Below the viewer's main window strip on a 1366 x 768 screen.
        EXPECT_GE(m.x, 0) << name;
        EXPECT_GE(m.y, 100) << name;
        EXPECT_LE(m.x + m.width, 1366) << name;
        EXPECT_LE(m.y + m.height, 768) << name;
        EXPECT_GE(m.width, 400) << name;
        std::string messages;
        const QImage img = Render(dir, m, m.text, &messages);
        EXPECT_FALSE(img.isNull()) << name;
        EXPECT_EQ(messages, "") << name;
        // A pale sea and a light land, never the black of a new map.
        for (const char* key : {"BackgroundColour", "Land_Plot_Fill_Colour"})
            EXPECT_GE(IniColour(m.text, key).lightness(), 200) << name << " " << key;
    }
}

TEST(SampleAtlas, MapsShowTheirDesignedColours)
{
    const QColor blue(0, 0, 255), white(255, 255, 255);
    struct Place {
        const char* map;
        double lat, lon;
        enum What { Sea, Land, Colour, Near } what;
        QColor colour;   // Colour: the pixel; Near: some pixel within 4
        const char* where;
    };
    const Place places[] = {
        {"NorthSea", 56.5, 3.0, Place::Sea, {}, "the middle of the North Sea, beyond 24 NM (the hatch's gap)"},
        {"NorthSea", 57.0, 9.8, Place::Land, {}, "northern Jutland"},
        {"NorthSea", 60.1, 10.0, Place::Land, {}, "Norway north of Oslo"},
        {"NorthSea", 57.25, 8.7, Place::Near, blue, "the sea just off Hanstholm, within 12 NM"},
        {"NorthSea", 52.75, 5.35, Place::Sea, {}, "the IJsselmeer, a lake in the sea's colour"},
        {"Channel", 50.05, -1.2, Place::Sea, {}, "mid-Channel, outside the territorial seas"},
        {"Channel", 50.75, 0.6, Place::Colour, white, "the English territorial sea off Hastings"},
        {"Channel", 49.1, 2.0, Place::Land, {}, "Picardy"},
        {"Baltic", 56.5, 19.0, Place::Colour, white, "the Baltic proper, in the Baltic's fill"},
        {"Baltic", 56.9, 11.7, Place::Sea, {}, "the Kattegat, not filled"},
        {"Baltic", 62.0, 15.0, Place::Land, {}, "central Sweden"},
        {"Solent", 50.78, -1.2, Place::Sea, {}, "the Solent off Lee-on-the-Solent"},
        {"Solent", 50.68, -1.3, Place::Colour, white, "the Isle of Wight, in the theme's land colour"},
        {"Aegean", 37.5, 25.7, Place::Colour, white, "the Greek territorial sea between the Cyclades and Ikaria"},
        {"Aegean", 36.0, 21.5, Place::Sea, {}, "the Ionian Sea beyond the territorial sea"},
        {"Aegean", 39.0, 22.0, Place::Land, {}, "Thessaly"},
        {"Shores", 60.25, 20.0, Place::Colour, white, "the main island of Aland"},
        {"Shores", 60.8, 19.6, Place::Sea, {}, "the Sea of Aland"},
    };
    Pictures pictures(WithoutGridAndKeys);
    for (const Place& p : places) {
        const Pictures::Spot s = pictures.At(p.map, p.lat, p.lon);
        ASSERT_TRUE(s.picture) << p.map;
        const SampleMap& m = s.map;
        const QImage& img = *s.picture;
        const QPoint at = s.at;
        const QColor seen = img.pixelColor(at);
        switch (p.what) {
        case Place::Sea: EXPECT_EQ(seen, IniColour(m.text, "BackgroundColour")) << p.map << ": " << p.where; break;
        case Place::Land: EXPECT_EQ(seen, IniColour(m.text, "Land_Plot_Fill_Colour")) << p.map << ": " << p.where; break;
        case Place::Colour: EXPECT_EQ(seen, p.colour) << p.map << ": " << p.where; break;
        case Place::Near: EXPECT_GT(CountAround(img, at, 4, p.colour), 0) << p.map << ": " << p.where; break;
        }
    }
}

// The themes that belong to the sea lie under the coastline or are cut to the sea: wherever
// the standard coastline alone shows land well inside the coast, the map with its themes
// shows none of their colours.
TEST(SampleAtlas, SeaThemesStayOffTheLand)
{
    TempDir dir;
    const QColor blue(0, 0, 255), silver(192, 192, 192), white(255, 255, 255);
    const std::map<std::string, std::vector<QColor>> seaColours{
        {"NorthSea", {blue, silver, white}}, {"Channel", {white}}, {"Baltic", {white}}, {"Aegean", {white}}};
    for (const auto& [name, colours] : seaColours) {
        const SampleMap m = ReadSampleMap(name);
        const QImage bare = Render(dir, m, CoastlineOnly(m.text));
        const QImage full = Render(dir, m, WithoutGridAndKeys(m.text));
        ASSERT_FALSE(bare.isNull() || full.isNull()) << name;
        ASSERT_EQ(bare.size(), full.size());
        const QColor land = IniColour(m.text, "Land_Plot_Fill_Colour");
        int sampled = 0;
        for (int y = 4; y < bare.height() - 4; y += 3)
            for (int x = 4; x < bare.width() - 4; x += 3) {
                if (CountAround(bare, {x, y}, 2, land) < 25) continue;   // land all around
                ++sampled;
                const QColor seen = full.pixelColor(x, y);
                for (const QColor& c : colours)
                    ASSERT_NE(seen, c) << name << ": a sea theme over the land at " << x << "," << y;
            }
        EXPECT_GT(sampled, 1000) << name;
    }
}

// Every entry of the data list resolves through the rule of the data set list window (the
// file's name up to its "." followed by "MAS"), and can be added to a map.
TEST(SampleAtlas, EveryDataListEntryResolvesAsTheDatasetListDoes)
{
    CvVars::CDROM = kAtlas.string();
    CvVars::DatalistFile = (kAtlas / "Misc/MainMenu.Dat").string();
    RecordingMessageSink sink;
    DatasetListModel model(sink);
    model.Load({}, {}, {});
    ASSERT_GE(model.Tree.Nodes.size(), 12u);
    size_t themes = 0, pages = 0;
    for (int i = 0; i < static_cast<int>(model.Tree.Nodes.size()); ++i) {
        const DataListNode& n = model.Tree.Nodes[static_cast<size_t>(i)];
        if (model.Tree.HasChildren(i)) continue;
        const std::string path = ConvFileStr(n.FileStr, sink);
        ASSERT_FALSE(path.empty()) << n.Title << ": " << n.FileStr;
        std::unique_ptr<MASStruct> mas = MASStruct::Create(path, sink);
        ASSERT_TRUE(mas) << n.Title;
        model.DoAdd(i);
        EXPECT_TRUE(model.DS_Selected(n.Title)) << n.Title;
        if (n.Type == 0) {
            ++pages;
            EXPECT_EQ(model.BaseMapList, 2) << n.Title;
            // A page's master file holds no data set and names the page as its text file.
            EXPECT_EQ(mas->NextDSD, nullptr) << n.Title;
            ASSERT_TRUE(mas->TextFileName) << n.Title;
            EXPECT_TRUE(fs::is_regular_file(InAtlas(kAtlas, *mas->TextFileName))) << *mas->TextFileName;
        } else {
            ++themes;
            EXPECT_EQ(model.BaseMapList, 1) << n.Title;
            EXPECT_NE(mas->NextDSD, nullptr) << n.Title;
        }
    }
    EXPECT_EQ(sink.Texts(), std::vector<std::string>{});
    EXPECT_GE(themes, 7u);
    EXPECT_GE(pages, 2u);
}

TEST(SampleAtlas, KeysExplainEveryColour)
{
    NullMessageSink quiet;
    std::map<std::string, std::string> keyText;   // all key lines of a theme, one a line
    for (const auto& e : fs::recursive_directory_iterator(kAtlas / "Themes")) {
        if (e.path().extension() != ".MAS") continue;
        std::unique_ptr<MASStruct> mas = MASStruct::Create(e.path().string(), quiet);
        ASSERT_TRUE(mas && mas->Key) << e.path();
        const KeyStruct& k = *mas->Key;
        // The source is named in the heading.
        bool source = false;
        for (size_t i = 0; i < k.Num_HdrLines; ++i) source = source || k.Text[i].rfind("Source: ", 0) == 0;
        EXPECT_TRUE(source) << e.path();
        // Every entry shown with a swatch says what it is.
        size_t line = k.Num_HdrLines;
        for (const K_Descriptor* d = k.NextKD.get(); d; d = d->NextKD.get()) {
            if (!d->Hidden && d->Entry_Type >= 1 && d->Entry_Type <= 5) {
                ASSERT_GT(d->Number_Of_Text_Lines, 0) << e.path();
                EXPECT_FALSE(k.Text[line].empty()) << e.path();
            }
            line += d->Number_Of_Text_Lines;
        }
        std::string all;
        for (const std::string& t : k.Text) all += t + "\n";
        keyText[e.path().stem().string()] = all;
    }
    EXPECT_NE(keyText["Zones"].find("0 to 12 nautical miles"), std::string::npos);
    EXPECT_NE(keyText["Zones"].find("24 to 200 nautical miles"), std::string::npos);
    EXPECT_NE(keyText["Eez"].find("12 NM limit"), std::string::npos);
    EXPECT_NE(keyText["Towns"].find("Names of towns"), std::string::npos);
}

// What each map shows can be read: every swatch of its two keys stands out from the keys'
// background (a white territorial sea on a white key says nothing), the key text reads on it,
// the graticule's labels read on the sea and on the land alike, and the land stands out from
// the white fills of the sea themes (the Aegean is all but covered by territorial seas).
TEST(SampleAtlas, KeysAndGraticuleReadOnEveryMap)
{
    NullMessageSink quiet;
    for (const char* name : kSampleMaps) {
        const IniFile mdf = IniFile::FromText(ReadFile((kAtlas / "Maps" / (std::string(name) + ".MDF")).string()));
        auto colour = [&](const char* key) { return static_cast<uint32_t>(mdf.ReadInteger("Map Definition", key, 0)); };
        const uint32_t keyBack = colour("Key Background");
        EXPECT_GE(Contrast(colour("Grid_Colour"), colour("BackgroundColour")), 3.0) << name;
        EXPECT_GE(Contrast(colour("Grid_Colour"), colour("Land_Plot_Fill_Colour")), 3.0) << name;
        EXPECT_GE(Contrast(colour("Key Foreground"), keyBack), 7.0) << name;
        EXPECT_GE(Contrast(colour("Land_Plot_Fill_Colour"), 0xFFFFFF), 1.3) << name;
        for (const bool base : {true, false}) {
            const std::string title = mdf.ReadString(base ? "Base" : "Overlay", "Title1", "");
            const std::unique_ptr<MASStruct> mas = ThemeByTitle(title, quiet);
            ASSERT_TRUE(mas && mas->Key) << name << ": " << title;
            // A base key shows the bottom colours and styles, an overlay key the top ones.
            for (const K_Descriptor* d = mas->Key->NextKD.get(); d; d = d->NextKD.get()) {
                const uint8_t style = base ? d->Bottom_Style : d->Top_Style;
                const bool clearLine = d->Entry_Type == 1 && (style > 12 || DOSLineStyle[style] == 5);
                const bool shown = !d->Hidden && d->Entry_Type >= 1 && d->Entry_Type <= 5 && !clearLine && style != 255;
                if (!shown) continue;
                const uint32_t c = base ? d->Bottom_Colour : d->Top_Colour;
                EXPECT_GE(Contrast(c, keyBack), 1.2)
                    << name << ": " << title << ", the swatch of display order " << int(d->Display_Order);
            }
        }
    }
}

// The keys leave what each map is about in sight: the places the map shows (and the
// introduction names) look the same with the keys drawn as without them.
TEST(SampleAtlas, KeysLeaveEachMapsSubjectInSight)
{
    struct Place { const char* map; double lat, lon; const char* what; };
    const Place places[] = {
        {"NorthSea", 52.37, 4.89, "Amsterdam"},       {"NorthSea", 59.91, 10.75, "Oslo"},
        {"NorthSea", 57.71, 11.97, "Goteborg"},       {"NorthSea", 55.68, 12.57, "Copenhagen"},
        {"NorthSea", 53.33, -6.25, "Dublin"},         {"NorthSea", 54.5, 8.0, "the German Bight"},
        {"Channel", 51.0, 1.45, "the Strait of Dover"}, {"Channel", 48.39, -4.49, "Brest"},
        {"Channel", 49.49, 0.11, "Le Havre"},         {"Channel", 51.45, -2.6, "Bristol"},
        {"Baltic", 62.4, 17.6, "the Bothnian Sea off Sundsvall"}, {"Baltic", 59.33, 18.07, "Stockholm"},
        {"Baltic", 59.9, 26.0, "the Gulf of Finland"}, {"Baltic", 54.35, 18.65, "Gdansk"},
        {"Baltic", 57.0, 23.5, "the Gulf of Riga"},
        {"Solent", 50.82, -1.11, "Portsmouth Harbour"}, {"Solent", 50.76, -1.3, "Cowes"},
        {"Solent", 50.9, -1.4, "Southampton"},
        {"Aegean", 37.98, 23.73, "Athens"},           {"Aegean", 38.42, 27.14, "Izmir"},
        {"Aegean", 40.64, 22.93, "Thessaloniki"},     {"Aegean", 39.2, 26.3, "Lesbos"},
        {"Aegean", 36.4, 28.2, "Rhodes"},
        {"Shores", 60.45, 22.27, "Turku"},            {"Shores", 60.1, 19.94, "Mariehamn"},
    };
    Pictures bares(WithoutGridAndKeys), keyeds([](const std::string& t) { return SwitchedOff(t, {"Grid_Displayed"}); });
    for (const Place& p : places) {
        const Pictures::Spot s = bares.At(p.map, p.lat, p.lon);
        const QImage& keyed = keyeds.Of(s.map);
        ASSERT_TRUE(s.picture && !keyed.isNull()) << p.map;
        const QImage& bare = *s.picture;
        const QPoint at = s.at;
        ASSERT_TRUE(bare.rect().adjusted(8, 8, -8, -8).contains(at)) << p.map << ": " << p.what << " lies off the map";
        for (int y = at.y() - 8; y <= at.y() + 8; ++y)
            for (int x = at.x() - 8; x <= at.x() + 8; ++x)
                ASSERT_EQ(bare.pixel(x, y), keyed.pixel(x, y)) << p.map << ": a key hides " << p.what;
    }
}

// A town's name starts clear of its symbol: no stroke of the text lies on the symbol of the
// largest towns (a circle of up to 13 pixels), whose names show on the overview maps.
TEST(SampleAtlas, TownNamesClearTheirSymbols)
{
    struct Town { const char* map; double lat, lon; const char* name; };
    const Town towns[] = {
        {"NorthSea", 53.333, -6.249, "Dublin"}, {"NorthSea", 55.952, -3.196, "Edinburgh"},
        {"NorthSea", 59.913, 10.746, "Oslo"},   {"NorthSea", 57.707, 11.967, "Goteborg"},
        {"Channel", 51.455, -2.597, "Bristol"}, {"Channel", 50.372, -4.143, "Plymouth"},
        {"Aegean", 40.644, 22.931, "Thessaloniki"},
    };
    Pictures pictures(WithoutGridAndKeys);
    for (const Town& t : towns) {
        const Pictures::Spot s = pictures.At(t.map, t.lat, t.lon);
        ASSERT_TRUE(s.picture) << t.map;
        const QImage& img = *s.picture;
        const QPoint at = s.at;
        // The symbol itself is maroon; the text is black, its edges grey.
        int text = 0, symbol = 0;
        for (int y = at.y() - 5; y <= at.y() + 5; ++y)
            for (int x = at.x() - 5; x <= at.x() + 5; ++x) {
                const QColor c = img.pixelColor(x, y);
                if (c == QColor(128, 0, 0)) ++symbol;
                else if (std::max({c.red(), c.green(), c.blue()}) < 100) ++text;
            }
        EXPECT_GT(symbol, 40) << t.map << ": no symbol at " << t.name;
        EXPECT_EQ(text, 0) << t.map << ": the name runs over the symbol of " << t.name;
    }
}

// Each theme that answers a query is the overlay of a sample map as it opens, so that every
// kind of answer can be tried: the towns' and the seas' headed records and the territorial
// seas' line of text.
TEST(SampleAtlas, EveryQueryableThemeIsTheOverlayOfASampleMap)
{
    std::set<std::string> overlays;
    for (const char* name : kSampleMaps)
        overlays.insert(IniFile::FromText(ReadFile((kAtlas / "Maps" / (std::string(name) + ".MDF")).string()))
                            .ReadString("Overlay", "Title1", ""));
    NullMessageSink quiet;
    const std::vector<std::string> lines = SplitLines(ReadFile((kAtlas / "Misc/MainMenu.Dat").string()));
    size_t queryable = 0;
    for (size_t i = 0; i + 1 < lines.size(); i += 2) {
        if (lines[i + 1].compare(0, 2, "1 ") != 0 || lines[i + 1].find("XXXX") != std::string::npos) continue;
        const std::string title = TrimRight(lines[i]).substr(2);
        const std::unique_ptr<MASStruct> mas = ThemeByTitle(title, quiet);
        ASSERT_TRUE(mas) << title;
        bool answers = false;
        for (const DSDStruct* d = mas->NextDSD.get(); d; d = d->NextDSD.get())
            answers = answers || d->Data_Type == dtSYX || d->Data_Type == dtPOL7;
        if (!answers) continue;
        ++queryable;
        EXPECT_TRUE(overlays.count(title)) << title << " answers queries but is the overlay of no sample map";
    }
    EXPECT_GE(queryable, 3u);
}

// In the towns theme the small towns' squares come first, so that the symbol of a larger
// town lies over those of the smaller ones around it.
TEST(SampleAtlas, LargerTownsAreDrawnOverSmallerOnes)
{
    NullMessageSink quiet;
    std::unique_ptr<MASStruct> mas = MASStruct::Create((kAtlas / "Themes/Towns/Towns.MAS").string(), quiet);
    ASSERT_TRUE(mas);
    int at = 0, small = -1, large = -1;
    for (const DSDStruct* d = mas->NextDSD.get(); d; d = d->NextDSD.get(), ++at) {
        ASSERT_FALSE(d->Plot_Before_Coastline);
        if (d->Data_Type == dtSYM) small = at;
        if (d->Data_Type == dtSYX) large = at;
    }
    ASSERT_GE(small, 0);
    EXPECT_GT(large, small);
}

// The towns' query information: headed records whose shared rest of one country is reached
// by a jump (0xFF), after a marker that prints the rule again (0xFE), with a credit line.
TEST(SampleAtlas, TownRecordsUseEveryMarker)
{
    NullMessageSink quiet;
    std::unique_ptr<MASStruct> mas = MASStruct::Create((kAtlas / "Themes/Towns/Towns.MAS").string(), quiet);
    ASSERT_TRUE(mas && mas->Sym_Text);
    int defs = 0;
    bool credit = false;
    for (const Sym_Text_Line_Type* l = mas->Sym_Text->Line_Array.get(); l; l = l->Next.get(), ++defs)
        credit = credit || l->Line_Code == 11;
    EXPECT_TRUE(credit);

    const std::string info = ReadFile((kAtlas / "Themes/Towns/DNN/TOWNS.DAT").string());
    ASSERT_GT(info.size(), 1000u);
    auto byte = [&](size_t at) { return at < info.size() ? static_cast<uint8_t>(info[at]) : 0xFFu; };
    const std::regex latitude("[0-9]{1,2}\xB0[0-5][0-9]\\.[0-9]' [NS]"), longitude("[0-9]{1,3}\xB0[0-5][0-9]\\.[0-9]' [EW]");
    size_t at = 0, records = 0, clears = 0, jumps = 0;
    while (at < info.size()) {
        const size_t n = byte(at++);
        size_t end = 0;   // where the next record starts when this one jumps
        std::vector<int> codes;
        for (size_t e = 0; e < n; ++e) {
            uint8_t code = byte(at++);
            if (code == 0xFE) { ++clears; code = byte(at++); ASSERT_LT(code, 0xFE) << "a marker after 0xFE"; }
            else if (code == 0xFF) {
                ++jumps;
                uint32_t to = 0;
                for (int b = 0; b < 4; ++b) to |= static_cast<uint32_t>(byte(at++)) << (8 * b);
                ASSERT_LT(to, at) << "a jump goes back to a record already written";
                if (!end) end = at;
                at = to;
                code = byte(at++);
                ASSERT_LT(code, 0xFE) << "a jump lands on a marker";
            }
            ASSERT_LT(code, defs);
            codes.push_back(code);
            const size_t len = byte(at++);
            ASSERT_LE(len, 70u);
            ASSERT_GT(len, 0u) << "an empty value in record " << records;
            // The position in degrees and minutes, the minutes in two digits and a decimal,
            // the degree sign that of the Windows code page.
            if (code == 3 || code == 4) {
                EXPECT_TRUE(std::regex_match(info.substr(at, len), code == 3 ? latitude : longitude))
                    << "record " << records << ": " << info.substr(at, len);
            }
            at += len;
        }
        EXPECT_EQ(codes, (std::vector<int>{0, 1, 2, 3, 4, 6, 7, 8})) << "record " << records;
        if (end) at = end;
        ++records;
    }
    EXPECT_EQ(at, info.size());
    EXPECT_GT(records, 300u);
    EXPECT_EQ(clears, records);
    EXPECT_GT(jumps, records / 2);
}

TEST(SampleAtlas, TheNorthSeaPrintsToASmallPdfHatchedAsOnTheScreen)
{
    // The hatched distance bands are a pattern of one tile for each brush, not an image for
    // each run: a small file, quick to show, whose hatch, shown at 150 dots per inch, covers
    // as much of the sea as on the screen.
    const char* r = std::getenv("CORVANE_RENDER");
    if (!r || !*r) GTEST_SKIP() << "CORVANE_RENDER names the renderer";
    TempDir dir;
    const std::string pdf = dir / "NorthSea.pdf";
    ASSERT_EQ(RunCommand("'" + std::string(r) + "' --cdrom '" + kAtlas.string() + "' '" +
                         (kAtlas / "Maps/NorthSea.MDF").string() + "' --output '" + pdf + "' 2>/dev/null"),
              0);
    const std::string bytes = ReadFile(pdf);
    EXPECT_LE(bytes.size(), 2u * 1024 * 1024);
    const std::regex image(R"(/Subtype\s*/Image)");
    EXPECT_LE(std::distance(std::sregex_iterator(bytes.begin(), bytes.end(), image), std::sregex_iterator()), 16);

    if (RunCommand("command -v gs >/dev/null") != 0) GTEST_SKIP() << "ghostscript (gs) is not installed";
    const std::string page = dir / "page.png";
    ASSERT_EQ(RunCommand("gs -q -dNOPAUSE -dBATCH -dSAFER -sDEVICE=png16m -r150 -sOutputFile='" + page + "' '" + pdf + "'"), 0);
    const SampleMap m = ReadSampleMap("NorthSea");
    const QImage screen = Render(dir, m, m.text), paper(QString::fromStdString(page));
    ASSERT_FALSE(screen.isNull() || paper.isNull());
    // The share of the sea that each hatch colour covers.
    const QColor sea = IniColour(m.text, "BackgroundColour");
    auto share = [&](const QImage& img, const QColor& hatch) {
        double of = 0, all = 0;
        for (int y = 0; y < img.height(); ++y)
            for (int x = 0; x < img.width(); ++x) {
                const QColor c = img.pixelColor(x, y);
                if (c == hatch) ++of;
                if (c == hatch || c == sea || c == QColor(Qt::blue) || c == QColor(192, 192, 192)) ++all;
            }
        return all > 0 ? of / all : 0.0;
    };
    for (const QColor hatch : {QColor(Qt::blue), QColor(192, 192, 192)}) {
        const double want = share(screen, hatch);
        EXPECT_GT(want, 0.02) << hatch.name().toStdString();
        EXPECT_NEAR(share(paper, hatch), want, want * 0.15) << hatch.name().toStdString();
    }
}

TEST(SampleAtlas, StaysWithinThirtyMegabytes)
{
    uintmax_t bytes = 0;
    for (const auto& e : fs::recursive_directory_iterator(kAtlas))
        if (e.is_regular_file()) bytes += e.file_size();
    EXPECT_LE(bytes, 30u * 1024 * 1024);
}

#ifdef CORVANE_ATLAS_TOOL
// corvane-atlas on tests/data/atlas: a sea of 3 x 2 degrees in cells of half a degree, its
// fill and its outline, with a one-line query record.
class AtlasCompiler : public ::testing::Test {
protected:
    void SetUp() override
    {
        const fs::path data = fs::path(SourceDir()) / "tests/data/atlas";
        status_ = RunCommand("'" CORVANE_ATLAS_TOOL "' build --sources '" + data.string() + "' --output '" + dir_.Path() + "' '" +
                             (data / "seas.desc").string() + "' > '" + (dir_ / "log.txt") + "' 2>&1");
        log_ = ReadFile(dir_ / "log.txt");
    }

    // A context for drawing or searching a box of the map on a picture of w x h.
    static DrawContext Context(RecordingCanvas& canvas, MessageSink& sink, double minLat, double maxLat, double minLon,
                               double maxLon)
    {
        DrawContext ctx(canvas, sink);
        ctx.SetExtents(minLat, maxLat, minLon, maxLon);
        ctx.ClientWidth = ctx.WindowWidth = 400;
        ctx.ClientHeight = ctx.WindowHeight = 400;
        return ctx;
    }

    TempDir dir_;
    int status_ = -1;
    std::string log_;
};

TEST_F(AtlasCompiler, CutSeasDrawAndAreFoundFromEveryPiece)
{
    ASSERT_EQ(status_, 0) << log_;
    EXPECT_NE(log_.find("cut along the grid"), std::string::npos) << log_;
    const std::string outline = dir_ / "Themes/Seas.Pol", fill = dir_ / "Themes/SeaFill.Pol";
    std::string info;
    ASSERT_TRUE(ReadNativeFile(dir_ / "Themes/DNN/SEAS.DAT", info));
    NullMessageSink sink;
    RecordingMessageSink masSink;
    ASSERT_TRUE(MASStruct::Create(dir_ / "Themes/Seas.MAS", masSink));
    EXPECT_TRUE(masSink.messages.empty());

    // Zoomed into the north-east corner of Open Sea, far from the south-west corner that
    // would hold it whole: the fill draws there, and a click finds the sea.
    for (const auto& box : {std::vector<double>{51.5, 52, 2.5, 3}, std::vector<double>{50, 50.5, 0, 0.5}}) {
        RecordingCanvas canvas(400, 400);
        DrawContext ctx = Context(canvas, sink, box[0], box[1], box[2], box[3]);
        POLmap filled;
        ASSERT_TRUE(filled.Create(fill));
        for (int k = 1; k <= kKeyItems; ++k) { filled.Colour[k] = 0x0000FF; filled.Styl[k] = 1; }
        EXPECT_TRUE(filled.Draw(ctx, 2, true, 0));
        EXPECT_GE(canvas.records.size(), 1u) << "nothing drawn in " << box[0] << ".." << box[1];

        POLmap outlines;
        ASSERT_TRUE(outlines.Create(outline));
        for (int k = 1; k <= kKeyItems; ++k) { outlines.Colour[k] = 0xFFFFFF; outlines.Styl[k] = 1; }
        ctx.ImageLeft = ctx.ImageTop = -1;   // the whole picture counts as inside the image
        SearchResult found;
        const int32_t offset = outlines.Search(ctx, 0, 200, 200, found);
        ASSERT_GE(offset, 0);
        ASSERT_LT(static_cast<size_t>(offset), info.size());
        EXPECT_EQ(info.substr(static_cast<size_t>(offset) + 1, static_cast<uint8_t>(info[static_cast<size_t>(offset)])),
                  "Open Sea");
    }
    // In the cell of Little Bay, the bay is the nearest reference point.
    RecordingCanvas canvas(400, 400);
    DrawContext ctx = Context(canvas, sink, 51, 51.5, 1, 1.5);
    ctx.ImageLeft = ctx.ImageTop = -1;
    POLmap outlines;
    ASSERT_TRUE(outlines.Create(outline));
    for (int k = 1; k <= kKeyItems; ++k) { outlines.Colour[k] = 0xFFFFFF; outlines.Styl[k] = 1; }
    SearchResult found;
    const int32_t offset = outlines.Search(ctx, 0, 200, 200, found);
    ASSERT_GE(offset, 0);
    EXPECT_EQ(info.substr(static_cast<size_t>(offset) + 1, 10), "Little Bay");
}

TEST_F(AtlasCompiler, RefusesWhatALayerCannotHold)
{
    const fs::path data = fs::path(SourceDir()) / "tests/data/atlas";
    const std::string desc = dir_.Write("tight.desc", ReadFile((data / "seas.desc").string()) +
                                                          "\n[layer too-fine]\ntype = polygons\nsource = seas.geojson\n"
                                                          "output = Themes/Fine.Pol\ncell = 0.02\n");
    const int rc = RunCommand("'" CORVANE_ATLAS_TOOL "' build --only too-fine --sources '" + data.string() + "' --output '" +
                              dir_.Path() + "' '" + desc + "' > '" + (dir_ / "log2.txt") + "' 2>&1");
    EXPECT_NE(rc, 0);
    const std::string log = ReadFile(dir_ / "log2.txt");
    EXPECT_NE(log.find("layer too-fine"), std::string::npos) << log;
    EXPECT_NE(log.find("150 x 100 cells"), std::string::npos) << log;
    EXPECT_FALSE(fs::exists(dir_ / "Themes/Fine.Pol"));
}
#endif
