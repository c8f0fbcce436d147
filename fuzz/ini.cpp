// INI files: read as map definitions and as the viewer's settings. A map definition that
// loads is saved, and what it saves must load again and save the same text (but for the
// window, fitted anew on every load); any INI text written must read back to the same text.
#include "FuzzSupport.h"
#include "FuzzTarget.h"
#include "catalogue/MasterFile.h"
#include "catalogue/writers/DataListWriter.h"
#include "catalogue/writers/MasterFileWriter.h"
#include "interact/ZoomRules.h"
#include "mapdef/MDFStruct.h"
#include "mapdef/ScreenMetrics.h"
#include "platform/CvVars.h"
#include "platform/Ini.h"
#include "platform/MessageSink.h"
#include "platform/Settings.h"

#include <filesystem>

using namespace corvane;
using namespace corvane::fuzz;

namespace {

// A small atlas in the scratch folder: a data list holding two themes and a text page, so
// that map definitions find some of their titles and not others.
bool MakeAtlas()
{
    std::filesystem::create_directories(ScratchDir() + "/Themes");
    std::filesystem::create_directories(ScratchDir() + "/Misc");
    MASStruct mas;
    mas.Number_Of_Datasets = 1;
    mas.NextDSD = std::make_unique<DSDStruct>();
    mas.NextDSD->Data_Type = dtSYX;
    mas.NextDSD->NextDFN = std::make_unique<DFNStruct>();
    mas.NextDSD->NextDFN->FileName = "CDROM:\\Themes\\Wrecks.Syx";
    mas.Minlat = 50;
    mas.Maxlat = 52;
    mas.Minlon = -2;
    mas.Maxlon = 1;
    WriteScratchFile("Themes/Wrecks.MAS", WriteMasterFile(mas));
    WriteScratchFile("Themes/Intro.MAS", WriteMasterFile(MASStruct()));
    WriteScratchFile("Misc/MainMenu.Dat", WriteDataList({{1, "Themes", 1, "XXXX"},
                                                         {2, "Wrecks", 1, "CDROM:\\Themes\\Wrecks.MAS"},
                                                         {2, "Reefs", 1, "CDROM:\\Themes\\Wrecks.MAS"},
                                                         {2, "Introduction", 0, "CDROM:\\Themes\\Intro.MAS"}}));
    return true;
}

void UseAtlas()
{
    CvVars::CDROM = ScratchDir();
    CvVars::DatalistFile = ScratchDir() + "/Misc/MainMenu.Dat";
}

} // namespace

CORVANE_FUZZ_TARGET(ini)
{
    static const bool atlas = MakeAtlas();
    (void)atlas;
    UseAtlas();
    const std::string text(reinterpret_cast<const char*>(data), size);
    const IniFile ini = IniFile::FromText(text);
    const std::string written = ini.ToText();
    FUZZ_CHECK(IniFile::FromText(written).ToText() == written);

    FixedScreenMetrics screen;
    screen.workArea = {0, 0, 1280, 1000};
    screen.screenWidth = 1280;
    screen.screenHeight = 1024;
    screen.mainWindowBottom = 60;
    NullMessageSink sink;
    MDFLoadResult loaded = TMDFStruct::Create(ini, "Fuzz.MDF", screen, sink);
    if (loaded) {
        // The window is fitted to the box on every load (and a box upside down, as the
        // defaults of a half-written file give, reshapes it every time): the rest must stay.
        auto withoutWindow = [](IniFile ini) {
            ini.EraseSection("Window");
            return ini.ToText();
        };
        const IniFile saved = loaded.MDF->ToIni();
        MDFLoadResult back = TMDFStruct::Create(IniFile::FromText(saved.ToText()), "Fuzz.MDF", screen, sink);
        FUZZ_CHECK(back);
        FUZZ_CHECK(withoutWindow(back.MDF->ToIni()) == withoutWindow(saved));
        // Now and then through the real save too (it syncs the file to the disc, which is slow).
        static unsigned runs = 0;
        std::string error;
        if (runs++ % 64 == 0) FUZZ_CHECK(loaded.MDF->Save(ScratchDir() + "/Fuzz.MDF", &error));
    }

    // The same text as the viewer's settings file.
    const SettingsStore settings(WriteScratchFile("corvane.ini", data, size));
    ReadDataLocation(settings, {});
    ReadFileSettings(settings);
    ReadToolBarSettings(settings);
    ReadMaximumArea(settings, "corvane");
    UseAtlas();
}
