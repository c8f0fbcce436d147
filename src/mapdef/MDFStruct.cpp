#include "mapdef/MDFStruct.h"

#include "catalogue/DataList.h"
#include "mapdef/MapThemes.h"
#include "platform/CvVars.h"
#include "platform/DataPath.h"
#include "platform/Ini.h"
#include "platform/MessageSink.h"
#include "platform/TextFile.h"

namespace corvane {

namespace {

const char* const kMapDefinition = "Map Definition";
// The sections of a map definition file: a file that holds none of them is not one.
const char* const kMDFSections[] = {kMapDefinition, "Window", "Lat_Lon", "Base", "Overlay", "Text"};

// An 8-bit field: a value outside 0..255 is a range error.
bool ReadByte(const IniFile& ini, const char* key, uint8_t def, uint8_t& out, const std::string& sFilename,
              std::string& error)
{
    int32_t v = ini.ReadInteger(kMapDefinition, key, def);
    if (v < 0 || v > 255) {
        error = "Range check error in " + sFilename + ": \"" + key + "\" = " + std::to_string(v) +
                " is outside 0..255.";
        return false;
    }
    out = static_cast<uint8_t>(v);
    return true;
}

Colour ReadColour(const IniFile& ini, const char* key, Colour def)
{
    return static_cast<Colour>(ini.ReadInteger(kMapDefinition, key, static_cast<int32_t>(def)));
}

void WriteColour(IniFile& ini, const char* key, Colour c)
{
    ini.WriteInteger(kMapDefinition, key, static_cast<int32_t>(c));
}

} // namespace

// The data list, read at the first title of a load and used for all of them: a data list
// that cannot be read is reported once, not once per title.
struct TMDFStruct::DataListOnce {
    DataListTitles titles;
    bool tried = false, ok = false;
    std::vector<std::string> unknown;   // titles it does not hold, in the order met

    std::string Find(const std::string& Title, MessageSink& sink)
    {
        if (!tried) {
            tried = true;
            ok = titles.Load(sink);
        }
        return ok ? titles.Find(Title) : std::string();
    }
};

TMDFStruct::TMDFStruct(const ScreenMetrics& screen) : TMapDefObj(screen) {}

TMDFStruct::~TMDFStruct()
{
    ClearBaseZoom();
    NextMAS.Clear();
    OverlayMAS.Clear();
    TextMAS.Clear();
}

MASList& TMDFStruct::List(MASListKind kind)
{
    return kind == BaseMASList ? NextMAS : kind == OverlayMASList ? OverlayMAS : TextMAS;
}

const MASList& TMDFStruct::List(MASListKind kind) const
{
    return kind == BaseMASList ? NextMAS : kind == OverlayMASList ? OverlayMAS : TextMAS;
}

MDFLoadResult TMDFStruct::Create(const std::string& sFilename, const ScreenMetrics& screen, MessageSink& sink)
{
    if (sFilename.empty()) {
        MDFLoadResult result;
        result.MDF = std::make_unique<TMDFStruct>(screen);
        result.MDF->CreateFrom(true, IniFile());
        result.MDF->SetNewMapSettings();
        return result;
    }
    IniFile ini;
    std::string problem;
    if (!ini.Load(sFilename, &problem)) {
        // Opening a new map in its place would look as if the file held an empty map.
        MDFLoadResult result;
        result.Error = WithReason("Unable to read the map definition file " + sFilename, problem);
        return result;
    }
    return Create(ini, sFilename, screen, sink);
}

MDFLoadResult TMDFStruct::Create(const IniFile& ini, const std::string& sFilename, const ScreenMetrics& screen,
                                 MessageSink& sink)
{
    MDFLoadResult result;
    bool any = false;
    for (const char* section : kMDFSections) any = any || ini.SectionExists(section);
    if (!any) {
        result.Error = sFilename + " is not a map definition file.";
        return result;
    }
    auto mdf = std::make_unique<TMDFStruct>(screen);
    mdf->CreateFrom(false, ini);
    if (!mdf->ReadSettings(ini, sFilename, result.Error)) return result;
    if (!mdf->BoxProblem.empty())
        sink.Error("The box of the map definition file " + sFilename + " cannot be shown: " + mdf->BoxProblem);
    DataListOnce dataList;
    mdf->ReadTitles(ini, "Base", BaseMASList, sink, dataList);
    mdf->ReadTitles(ini, "Overlay", OverlayMASList, sink, dataList);
    mdf->ReadTitles(ini, "Text", TextMASList, sink, dataList);
    WarnUnknown(dataList.unknown, sink);
    result.MDF = std::move(mdf);
    return result;
}

std::string TMDFStruct::LoadProblem(const std::string& sFilename, const ScreenMetrics& screen)
{
    const double latLonScale = CvVars::LatLonScale;
    NullMessageSink quiet;
    const MDFLoadResult probe = Create(sFilename, screen, quiet);
    CvVars::LatLonScale = latLonScale;
    return probe ? std::string() : probe.Error;
}

void TMDFStruct::WarnUnknown(const std::vector<std::string>& titles, MessageSink& sink)
{
    if (titles.empty()) return;
    std::string names;
    for (const std::string& t : titles) names += (names.empty() ? "\"" : ", \"") + t + "\"";
    const std::string list = NativePath(CvVars::DatalistFile);
    if (titles.size() == 1)
        sink.Warn("The theme " + names + " is not in the data list " + list +
                  " : It is kept in the map definition, but not used.");
    else
        sink.Warn("The themes " + names + " are not in the data list " + list +
                  " : They are kept in the map definition, but not used.");
}

void TMDFStruct::SetNewMapSettings()
{
    Version = 1;
    BackgroundColour = clBlack;
    Land_Plot_Style = 1;
    Land_Plot_Colour = 0x00CC00;
    Land_Plot_Fill_Colour = 0x008000;
    Grid_Displayed = true;
    Grid_Colour = clSilver;
    Grid_Scale = 1;
    Grid_Style = 1;
    Grid_Format = true;
    Cursor_Format = true;
    BaseKey_Displayed = true;
    OverlayKey_Displayed = true;
    Box_Shape_Fixed = false;
    Zoom_Level_Fixed = false;
    KeyCaption = true;
    KeyBkColour = clBlack;
    KeyColour = clWhite;
    BasePos = 2;
    OverlayPos = 3;
    NextMAS.Clear();
    OverlayMAS.Clear();
    TextMAS.Clear();
    for (auto& kept : KeptTitles) kept.clear();
}

bool TMDFStruct::ReadSettings(const IniFile& ini, const std::string& sFilename, std::string& error)
{
    const char* md = kMapDefinition;
    Version = ini.ReadInteger(md, "Version", 1);
    BackgroundColour = ReadColour(ini, "BackgroundColour", 1);
    Land_Plot_Style = ini.ReadInteger(md, "Land_Plot_Style", 1);
    Land_Plot_Colour = ReadColour(ini, "Land_Plot_Colour", 1);
    Land_Plot_Fill_Colour = ReadColour(ini, "Land_Plot_Fill_Colour", 1);
    Grid_Displayed = ini.ReadBool(md, "Grid_Displayed", true);
    Grid_Colour = ReadColour(ini, "Grid_Colour", 1);
    if (!ReadByte(ini, "Grid_Scale", 1, Grid_Scale, sFilename, error)) return false;
    if (!ReadByte(ini, "Grid_Style", 1, Grid_Style, sFilename, error)) return false;
    // Exactly "DMS" means degrees-minutes-seconds; anything else ("DEC", "dms") decimal.
    Grid_Format = ini.ReadString(md, "Grid_Format", "DMS") == "DMS";
    Cursor_Format = ini.ReadString(md, "Cursor_Format", "DMS") == "DMS";
    BaseKey_Displayed = ini.ReadBool(md, "BaseKey_Displayed", true);
    OverlayKey_Displayed = ini.ReadBool(md, "OverlayKey_Displayed", true);
    Box_Shape_Fixed = ini.ReadBool(md, "Box_Shape_Fixed", false);
    Zoom_Level_Fixed = ini.ReadBool(md, "Zoom_Level_Fixed", false);
    KeyBkColour = ReadColour(ini, "Key Background", 1);
    KeyColour = ReadColour(ini, "Key Foreground", 1);
    KeyCaption = ini.ReadBool(md, "Key Caption", true);
    if (!ReadByte(ini, "BasePos", 2, BasePos, sFilename, error)) return false;
    if (!ReadByte(ini, "OverlayPos", 3, OverlayPos, sFilename, error)) return false;
    Halo = ini.ReadBool(md, "Halo", false);
    return true;
}

void TMDFStruct::WriteSettings(IniFile& ini) const
{
    const char* md = kMapDefinition;
    ini.WriteInteger(md, "Version", Version);
    WriteColour(ini, "BackgroundColour", BackgroundColour);
    ini.WriteInteger(md, "Land_Plot_Style", Land_Plot_Style);
    WriteColour(ini, "Land_Plot_Colour", Land_Plot_Colour);
    WriteColour(ini, "Land_Plot_Fill_Colour", Land_Plot_Fill_Colour);
    ini.WriteBool(md, "Grid_Displayed", Grid_Displayed);
    WriteColour(ini, "Grid_Colour", Grid_Colour);
    ini.WriteInteger(md, "Grid_Scale", Grid_Scale);
    ini.WriteInteger(md, "Grid_Style", Grid_Style);
    ini.WriteString(md, "Grid_Format", Grid_Format ? "DMS" : "DEC");
    ini.WriteString(md, "Cursor_Format", Cursor_Format ? "DMS" : "DEC");
    ini.WriteBool(md, "BaseKey_Displayed", BaseKey_Displayed);
    ini.WriteBool(md, "OverlayKey_Displayed", OverlayKey_Displayed);
    ini.WriteBool(md, "Box_Shape_Fixed", Box_Shape_Fixed);
    ini.WriteBool(md, "Zoom_Level_Fixed", Zoom_Level_Fixed);
    WriteColour(ini, "Key Background", KeyBkColour);
    WriteColour(ini, "Key Foreground", KeyColour);
    ini.WriteBool(md, "Key Caption", KeyCaption);
    ini.WriteInteger(md, "BasePos", BasePos);
    ini.WriteInteger(md, "OverlayPos", OverlayPos);
    if (Halo) ini.WriteBool(md, "Halo", true);
}

void TMDFStruct::ReadMASList(const IniFile& ini, const std::string& DataType, MASListKind BOT, MessageSink& sink)
{
    DataListOnce dataList;
    ReadTitles(ini, DataType, BOT, sink, dataList);
    WarnUnknown(dataList.unknown, sink);
}

void TMDFStruct::ReadTitles(const IniFile& ini, const std::string& DataType, MASListKind BOT, MessageSink& sink,
                            DataListOnce& dataList)
{
    MASList& list = List(BOT);
    for (int n = 1;; ++n) {
        std::string title = ShortStr255(ini.ReadString(DataType, "Title" + std::to_string(n), ""));
        if (title.empty()) break;
        if (n > MaxTitlesPerSection) {
            sink.Warn("Only the first " + std::to_string(MaxTitlesPerSection) + " titles of section \"" + DataType +
                      "\" of the map definition are used.");
            break;
        }
        std::string file = dataList.Find(title, sink);
        if (file.empty()) {
            // Not in this data list (or none could be read): kept for saving, told once.
            Kept(BOT).push_back({title, list.Count()});
            if (dataList.ok) dataList.unknown.push_back(title);
            continue;
        }
        list.Append(LoadTheme(file, title, BOT == TextMASList, sink));
    }
}

void TMDFStruct::WriteMASList(IniFile& ini, const std::string& DataType, MASListKind BOT) const
{
    // Themes without a title could not be found again; they are left out so that the
    // numbering stays without gaps and later titles are not lost.
    int n = 0;
    auto write = [&](const std::string& title) { ini.WriteString(DataType, "Title" + std::to_string(++n), title); };
    const std::vector<KeptTitle>& kept = Kept(BOT);
    size_t k = 0, themes = 0;
    auto writeKept = [&](size_t upTo) {
        for (; k < kept.size() && kept[k].After <= upTo; ++k) write(kept[k].Title);
    };
    for (const MASStruct* m : List(BOT)) {
        writeKept(themes++);
        if (m->Title && !Trim(*m->Title).empty()) write(*m->Title);
    }
    writeKept(SIZE_MAX);
}

IniFile TMDFStruct::ToIni() const
{
    IniFile ini;
    WriteSettings(ini);
    WriteSections(ini);
    WriteMASList(ini, "Base", BaseMASList);
    WriteMASList(ini, "Overlay", OverlayMASList);
    WriteMASList(ini, "Text", TextMASList);
    return ini;
}

bool TMDFStruct::Save(const std::string& Filename, std::string* error) const
{
    return ToIni().Save(Filename, true, error);
}

} // namespace corvane
