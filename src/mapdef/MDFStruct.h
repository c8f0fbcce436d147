#pragma once
// The map definition: the zoom history and window geometry of TMapDefObj, the display
// settings of the map, and its three theme lists, read from and written to a map
// definition file (.MDF, an INI-style text file). Themes are stored by title and found
// again through the data list.
#include "mapdef/MASList.h"
#include "mapdef/MapDefObj.h"
#include "platform/Colour.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace corvane {

class IniFile;
class MessageSink;

// Which theme list a section fills (the BOT argument of ReadMASList / WriteMASList).
enum MASListKind : uint8_t { BaseMASList = 0, OverlayMASList = 1, TextMASList = 2 };

class TMDFStruct;

// The outcome of loading a map definition: the definition, or why loading was abandoned.
struct MDFLoadResult {
    std::unique_ptr<TMDFStruct> MDF;
    std::string Error;   // set when MDF is null
    explicit operator bool() const { return MDF != nullptr; }
};

class TMDFStruct : public TMapDefObj {
public:
    // Most titles read from one section; a hand-made file may hold millions.
    static constexpr int MaxTitlesPerSection = 1000;

    explicit TMDFStruct(const ScreenMetrics& screen);
    ~TMDFStruct() override;   // frees the zoom history, then the base, overlay and text themes

    // Loads the map definition file sFilename, or sets up a new map when it is empty. The
    // load is abandoned (Error says why) for a file that cannot be read, a file that holds
    // none of the sections of a map definition (an empty or foreign file), and a
    // "Grid_Scale", "Grid_Style", "BasePos" or "OverlayPos" value outside 0..255. A file with
    // only some of the sections takes the defaults for the rest. Messages about the data list
    // and master files go to sink, and so does a box that cannot be shown (BoxProblem; the
    // map then has the box of a new map).
    static MDFLoadResult Create(const std::string& sFilename, const ScreenMetrics& screen, MessageSink& sink);
    // The same from the contents of a file already read; sFilename names it in messages.
    static MDFLoadResult Create(const IniFile& ini, const std::string& sFilename, const ScreenMetrics& screen,
                                MessageSink& sink);
    // Why Create would abandon loading sFilename (its Error), or empty when it would load it:
    // the file is loaded quietly and put away again, and nothing process-wide is left changed.
    // The viewer asks this before it closes the open map for another.
    static std::string LoadProblem(const std::string& sFilename, const ScreenMetrics& screen);

    // Writes the whole definition to a fresh file; an existing file of that name is kept as
    // ".BAK". False, with a reason in error, when the file cannot be written.
    bool Save(const std::string& Filename, std::string* error = nullptr) const override;
    // What Save writes, as INI sections.
    IniFile ToIni() const;

    // Reads the titles "Title1", "Title2", ... of section DataType (up to the first absent or
    // empty one) and appends each theme the data list knows to the list BOT. A title it does
    // not know is kept in KeptTitles (and named in a warning); so is every title when the
    // data list cannot be read (which is reported instead). The data list is read once, at
    // the first title.
    void ReadMASList(const IniFile& ini, const std::string& DataType, MASListKind BOT, MessageSink& sink);
    // Writes the titles of list BOT as "Title1", "Title2", ... of section DataType, the kept
    // titles among them where they stood.
    void WriteMASList(IniFile& ini, const std::string& DataType, MASListKind BOT) const;

    // A title of a section that the data list did not know when the map was loaded (the map
    // was made on a disc that has the theme). It is not drawn, but saving writes it back,
    // after the first After themes of its list, so that the map is whole again on that disc.
    struct KeptTitle {
        std::string Title;
        size_t After = 0;
    };
    std::vector<KeptTitle>& Kept(MASListKind kind) { return KeptTitles[kind <= TextMASList ? kind : TextMASList]; }
    const std::vector<KeptTitle>& Kept(MASListKind kind) const
    {
        return KeptTitles[kind <= TextMASList ? kind : TextMASList];
    }

    // Settings of a new map.
    void SetNewMapSettings();
    // Reads the "Map Definition" keys with their defaults; false with the reason (naming
    // sFilename) when a byte field is out of range, the fields read until then changed.
    bool ReadSettings(const IniFile& ini, const std::string& sFilename, std::string& error);

    MASList& List(MASListKind kind);
    const MASList& List(MASListKind kind) const;

    int32_t Version = 1;
    Colour BackgroundColour = 0;
    int32_t Land_Plot_Style = 1;          // non-zero: infilled land; 0: outline only
    Colour Land_Plot_Colour = 0;
    Colour Land_Plot_Fill_Colour = 0;
    Colour Grid_Colour = 0;
    uint8_t Grid_Scale = 1;               // graticule spacing code
    uint8_t Grid_Style = 1;               // graticule pen style + 1
    bool Grid_Format = true;              // graticule labels: true degrees-minutes-seconds
    bool Cursor_Format = true;            // cursor read-out: true degrees-minutes-seconds
    bool BaseKey_Displayed = true;
    bool OverlayKey_Displayed = true;
    bool Changed = false;                 // in memory only
    bool Grid_Displayed = true;
    bool Box_Shape_Fixed = false;
    bool Zoom_Level_Fixed = false;
    bool KeyCaption = true;
    int16_t KeyXMin = 0, KeyYMin = 0, KeyWidth = 0, KeyHeight = 0;                  // overlay key box
    int16_t BaseKeyXMin = 0, BaseKeyYMin = 0, BaseKeyWidth = 0, BaseKeyHeight = 0;  // base key box
    MASList NextMAS;                      // base maps, in display order
    MASList OverlayMAS;                   // overlays; the first is drawn
    MASList TextMAS;                      // text pages
    std::vector<KeptTitle> KeptTitles[3]; // by MASListKind: titles the data list did not know
    Colour KeyBkColour = 0;
    Colour KeyColour = 0;
    uint8_t BasePos = 2;                  // position code of the base key
    uint8_t OverlayPos = 3;               // position code of the overlay key
    // Names and graticule labels drawn with a halo in the background colour ("Halo", a key of
    // this program's own, written after the others and only when set, so that a map without
    // it is written as before).
    bool Halo = false;

private:
    struct DataListOnce;
    void ReadTitles(const IniFile& ini, const std::string& DataType, MASListKind BOT, MessageSink& sink,
                    DataListOnce& dataList);
    // Names, in one warning, the titles the data list did not know.
    static void WarnUnknown(const std::vector<std::string>& titles, MessageSink& sink);
    void WriteSettings(IniFile& ini) const;
};

} // namespace corvane
