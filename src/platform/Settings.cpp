#include "platform/Settings.h"

#include "platform/CvVars.h"
#include "platform/DataPath.h"
#include "platform/RunInputs.h"

#include <cstdio>
#include <sys/stat.h>

namespace corvane {

namespace {

std::string FileNamePart(const std::string& programFile)
{
    size_t k = programFile.find_last_of("\\/");
    return k == std::string::npos ? programFile : programFile.substr(k + 1);
}

void MakeFolders(const std::string& filePath)
{
    for (size_t k = 1; (k = filePath.find('/', k)) != std::string::npos; ++k)
        ::mkdir(filePath.substr(0, k).c_str(), 0755);
}

} // namespace

std::string SettingsKey(const std::string& programFile)
{
    std::string name = FileNamePart(programFile);
    size_t dot = name.find('.');
    return "Software\\Halvern\\" + (dot == std::string::npos ? std::string() : name.substr(0, dot));
}

std::string SettingsFileName(const std::string& programFile)
{
    std::string name = FileNamePart(programFile);
    size_t dot = name.find('.');
    if (dot != std::string::npos) name = name.substr(0, dot);
    if (name.empty()) name = "corvane";
    return name + ".ini";
}

std::string DefaultSettingsPath(const std::string& programFile, const char* xdgConfigHome, const char* home)
{
    std::string base;
    if (xdgConfigHome && *xdgConfigHome)
        base = xdgConfigHome;
    else
        base = std::string(home && *home ? home : ".") + "/.config";
    return base + "/Halvern/" + SettingsFileName(programFile);
}

SettingsStore::SettingsStore(std::string nativePath) : path_(std::move(nativePath))
{
    ini_.Load(path_);
}

bool SettingsStore::Save()
{
    ++writes_;
    if (path_.empty()) return true;
    MakeFolders(path_);
    ForgetRunInput(path_);   // the store writes back the file it read
    return ini_.Save(path_);
}

bool SettingsStore::WriteString(const std::string& section, const std::string& name, const std::string& value)
{
    ini_.WriteString(section, name, value);
    return Save();
}

bool SettingsStore::WriteInteger(const std::string& section, const std::string& name, int32_t value)
{
    ini_.WriteInteger(section, name, value);
    return Save();
}

bool SettingsStore::WriteBool(const std::string& section, const std::string& name, bool value)
{
    ini_.WriteBool(section, name, value);
    return Save();
}

bool SettingsStore::WriteValues(const std::string& section,
                                const std::vector<std::pair<std::string, std::string>>& values)
{
    for (const auto& [name, value] : values) ini_.WriteString(section, name, value);
    return Save();
}

bool SettingsStore::DeleteValue(const std::string& section, const std::string& name)
{
    if (!ini_.ValueExists(section, name)) return true;
    ini_.DeleteKey(section, name);
    return Save();
}

void ReadDataLocation(const SettingsStore& settings, const SettingOverrides& overrides)
{
    using namespace SettingNames;
    // Stored values are at most 80 characters; the command line's are taken whole.
    CvVars::CDROM = overrides.cdrom ? *overrides.cdrom : ShortStr80(settings.ReadString(Files, CDROM, SettingDefaults::CDROM));
    CvVars::DatalistFile = overrides.datalist ? *overrides.datalist
                                              : ShortStr80(settings.ReadString(Files, DataList, SettingDefaults::DataList));
    CvVars::DatalistFile = CheckCD_Drive(CvVars::DatalistFile);
}

void ReadFileSettings(const SettingsStore& settings)
{
    for (const CoastlineFileSetting& c : CoastlineFileSettings())
        *c.target = CheckCD_Drive(ShortStr80(settings.ReadString(SettingNames::Files, c.name, c.defaultPath)));
    CvVars::DefaultDir =
        ShortStr80(settings.ReadString(SettingNames::Files, SettingNames::Directory, SettingDefaults::Directory));
}

const CoastlineFileSetting (&CoastlineFileSettings())[kCoastlineFiles]
{
    using namespace CvVars;
    static const CoastlineFileSetting coast[kCoastlineFiles] = {
        {"OutlCoastFull", "CDROM:\\Landdata\\Vec\\LandFull.Vec", &OutlCoastFull},
        {"OutlCoast30PC", "CDROM:\\Landdata\\Vec\\Land30PC.Vec", &OutlCoast30PC},
        {"OutlCoast10PC", "CDROM:\\Landdata\\Vec\\Land10PC.Vec", &OutlCoast10PC},
        {"OutlCoast03PC", "CDROM:\\Landdata\\Vec\\Land03PC.Vec", &OutlCoast03PC},
        {"OutlCoast01PC", "CDROM:\\Landdata\\Vec\\Land01PC.Vec", &OutlCoast01PC},
        {"FillCoast12s", "CDROM:\\Landdata\\Mrl\\Land12s.Mrl", &FillCoast12s},
        {"FillCoast36s", "CDROM:\\Landdata\\Mrl\\Land36s.Mrl", &FillCoast36s},
        {"FillCoast1Min", "CDROM:\\Landdata\\Mrl\\Land1Min.Mrl", &FillCoast1Min},
        {"FillCoast3Min", "CDROM:\\Landdata\\Mrl\\Land3Min.Mrl", &FillCoast3Min},
        {"FillCoast5Min", "CDROM:\\Landdata\\Mrl\\Land5Min.Mrl", &FillCoast5Min},
    };
    return coast;
}

ToolBarSettings ReadToolBarSettings(const SettingsStore& settings)
{
    ToolBarSettings t;
    t.show = settings.ReadBool(SettingNames::ToolBar, SettingNames::Show, SettingDefaults::Show);
    t.colour = static_cast<Colour>(settings.ReadInteger(SettingNames::ToolBar, SettingNames::ColourValue,
                                                        static_cast<int32_t>(SettingDefaults::ToolBarColour)));
    return t;
}

std::string ColourSettingText(Colour c)
{
    char buf[16];
    std::snprintf(buf, sizeof buf, "$%08X", static_cast<unsigned>(c));
    return buf;
}

void WriteBackSettings(SettingsStore& settings, bool toolBarShown, Colour toolBarColour, const std::string& defaultDir)
{
    using namespace SettingNames;
    ToolBarSettings stored = ReadToolBarSettings(settings);
    if (stored.show != toolBarShown) settings.WriteBool(ToolBar, Show, toolBarShown);
    if (stored.colour != toolBarColour) settings.WriteString(ToolBar, ColourValue, ColourSettingText(toolBarColour));
    // A folder longer than a stored path may be is not written: cut, it would name another.
    if (settings.ReadString(Files, Directory, SettingDefaults::Directory) != defaultDir && Storable(defaultDir))
        settings.WriteString(Files, Directory, defaultDir);
}

bool Storable(const std::string& path) { return path.size() <= kStoredPathLength; }

bool QueryReportMetric(const SettingsStore& settings)
{
    return settings.ReadInteger(SettingNames::Intl, SettingNames::IMeasure, 0) == 0;
}

bool PrintReadableHeadings(const SettingsStore& settings)
{
    return settings.ReadBool(SettingNames::Print, SettingNames::ReadableHeadings, true);
}

} // namespace corvane
