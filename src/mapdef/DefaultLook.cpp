#include "mapdef/DefaultLook.h"

#include "mapdef/MDFStruct.h"
#include "platform/Settings.h"

namespace corvane {

const char* const kDefaultLookSection = "Default Look";

namespace {
const char* const kMapDefinitionSection = "Map Definition";
} // namespace

const std::vector<std::string>& DefaultLookKeys()
{
    static const std::vector<std::string> keys{
        "BackgroundColour", "Land_Plot_Style",   "Land_Plot_Colour",     "Land_Plot_Fill_Colour",
        "Grid_Displayed",   "Grid_Colour",       "Grid_Scale",           "Grid_Style",
        "Grid_Format",      "BaseKey_Displayed", "OverlayKey_Displayed", "Key Background",
        "Key Foreground",   "Key Caption",       "BasePos",              "OverlayPos",
        "Halo"};
    return keys;
}

bool StoreDefaultLook(const TMDFStruct& mdf, SettingsStore& settings)
{
    // The values as the map definition file writes them (the halo also when it is off).
    const IniFile written = mdf.ToIni();
    std::vector<std::pair<std::string, std::string>> values;
    for (const std::string& key : DefaultLookKeys())
        values.emplace_back(key, key == "Halo" ? std::string(mdf.Halo ? "1" : "0")
                                               : written.ReadString(kMapDefinitionSection, key, ""));
    return settings.WriteValues(kDefaultLookSection, values);
}

bool ApplyDefaultLook(TMDFStruct& mdf, const SettingsStore& settings, std::string* error)
{
    const IniFile& stored = settings.Ini();
    if (!stored.SectionExists(kDefaultLookSection)) return false;
    // The map's own settings with the stored ones in their place, read back as a map
    // definition file is read: the same defaults and the same checks.
    const IniFile own = mdf.ToIni();
    IniFile look = own;
    for (const std::string& key : DefaultLookKeys())
        if (stored.ValueExists(kDefaultLookSection, key))
            look.WriteString(kMapDefinitionSection, key, stored.ReadString(kDefaultLookSection, key, ""));
    std::string problem;
    if (!mdf.ReadSettings(look, settings.Path().empty() ? std::string("the settings") : settings.Path(), problem)) {
        // A value out of range: the map keeps the settings it had.
        if (error) *error = problem;
        std::string ignored;
        mdf.ReadSettings(own, {}, ignored);
        return false;
    }
    return true;
}

} // namespace corvane
