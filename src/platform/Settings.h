#pragma once
// The per-user settings. They live in an INI file with the sub-keys of the settings tree as
// sections ("Files", "ToolBar", "Maximum Area") and the system's own value names; values are
// text (booleans "1"/"0", colours "$" + eight hexadecimal digits). Every write is saved at
// once, as a registry write would be.
#include "platform/Colour.h"
#include "platform/Ini.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace corvane {

// The settings key of a program file: "Software\Halvern\" followed by the file name's text
// before its first dot. A name without a dot gives an empty last component.
std::string SettingsKey(const std::string& programFile);
// The name of the settings file of a program file: its file name up to the first dot (the
// whole name when it has none) + ".ini".
std::string SettingsFileName(const std::string& programFile);
// $XDG_CONFIG_HOME/Halvern/<SettingsFileName>, or ~/.config/Halvern/... when XDG_CONFIG_HOME
// is unset or empty.
std::string DefaultSettingsPath(const std::string& programFile, const char* xdgConfigHome, const char* home);

namespace SettingNames {
inline const char* const Files = "Files";
inline const char* const ToolBar = "ToolBar";
inline const char* const CDROM = "CDROM";
inline const char* const DataList = "Data List";
inline const char* const Directory = "Directory";
inline const char* const Show = "Show";
inline const char* const ColourValue = "Colour";
// The system measurement setting of the query report's page: "intl" / "iMeasure" (0 metric).
inline const char* const Intl = "intl";
inline const char* const IMeasure = "iMeasure";
// Printed query reports: headings too light for white paper darkened (1, the default) or
// printed in their screen colours (0).
inline const char* const Print = "Print";
inline const char* const ReadableHeadings = "Readable Headings";
} // namespace SettingNames

namespace SettingDefaults {
inline const char* const CDROM = "\\CorvaneV3";
inline const char* const DataList = "CDROM:\\Misc\\MainMenu.Dat";
inline const char* const Directory = "C:\\Program Files\\Halvern\\Corvane";
constexpr bool Show = true;
constexpr Colour ToolBarColour = 0x8000000F;   // the system button face colour
} // namespace SettingDefaults

class SettingsStore {
public:
    SettingsStore() = default;   // in memory only: nothing is saved
    explicit SettingsStore(std::string nativePath);

    const std::string& Path() const { return path_; }
    const IniFile& Ini() const { return ini_; }

    std::string ReadString(const std::string& section, const std::string& name, const std::string& def) const
    {
        return ini_.ReadString(section, name, def);
    }
    int32_t ReadInteger(const std::string& section, const std::string& name, int32_t def) const
    {
        return ini_.ReadInteger(section, name, def);
    }
    bool ReadBool(const std::string& section, const std::string& name, bool def) const
    {
        return ini_.ReadBool(section, name, def);
    }

    // Each write saves the file (creating its folder); false when it could not be saved.
    bool WriteString(const std::string& section, const std::string& name, const std::string& value);
    bool WriteInteger(const std::string& section, const std::string& name, int32_t value);
    bool WriteBool(const std::string& section, const std::string& name, bool value);
    // Writes several values of a section and saves the file once.
    bool WriteValues(const std::string& section, const std::vector<std::pair<std::string, std::string>>& values);
    // Removes a value (saving the file); true when there was none.
    bool DeleteValue(const std::string& section, const std::string& name);

    int Writes() const { return writes_; }   // how many values were written since loading

private:
    bool Save();
    std::string path_;
    IniFile ini_;
    int writes_ = 0;
};

// Command-line values that stand in for stored settings for one run; they are never written.
struct SettingOverrides {
    std::optional<std::string> cdrom;
    std::optional<std::string> datalist;
};

// Reads "Files"/"CDROM" into CvVars::CDROM and "Files"/"Data List" into CvVars::DatalistFile
// (or their overrides), then applies the "CDROM:" rule to the data list path.
void ReadDataLocation(const SettingsStore& settings, const SettingOverrides& overrides);
// Reads the ten coastline files (with the "CDROM:" rule) and "Files"/"Directory" into
// CvVars::DefaultDir (without it).
void ReadFileSettings(const SettingsStore& settings);

// The ten standard coastline files: the "Files" setting of each, its default data path and
// the global it is read into; the five outlines from full detail to 1 %, then the five land
// files from 12 seconds to 5 minutes of arc.
struct CoastlineFileSetting {
    const char* name;
    const char* defaultPath;
    std::string* target;
};
constexpr size_t kCoastlineFiles = 10;
const CoastlineFileSetting (&CoastlineFileSettings())[kCoastlineFiles];

struct ToolBarSettings {
    bool show = SettingDefaults::Show;
    Colour colour = SettingDefaults::ToolBarColour;
};
ToolBarSettings ReadToolBarSettings(const SettingsStore& settings);

// "$" and eight upper-case hexadecimal digits, a text that reads back as the same integer.
std::string ColourSettingText(Colour c);

// The longest path the settings and map definitions store.
constexpr size_t kStoredPathLength = 80;
// Whether a path fits where paths are stored.
bool Storable(const std::string& path);

// Writes back, on closing, the values that differ from what is stored: "ToolBar"/"Show",
// "ToolBar"/"Colour" and "Files"/"Directory" (only when it is storable).
void WriteBackSettings(SettingsStore& settings, bool toolBarShown, Colour toolBarColour, const std::string& defaultDir);

// The query report page's unit: metric when "intl"/"iMeasure" is 0 (its default).
bool QueryReportMetric(const SettingsStore& settings);
// Whether printed query reports darken headings too light for white paper: "Print"/"Readable
// Headings", on unless it is 0.
bool PrintReadableHeadings(const SettingsStore& settings);

} // namespace corvane
