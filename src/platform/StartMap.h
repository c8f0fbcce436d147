#pragma once
// The map the viewer opens when it starts without a map named: the map open when it was last
// closed, or on the first start the medium's sample map; and the folder the open dialog
// offers first. Kept in the settings file, section "Start".
#include <string>

namespace corvane {

class SettingsStore;

namespace SettingNames {
inline const char* const Start = "Start";
// "1" (the default): a start reopens the map open last; "0": it opens a new map.
inline const char* const ReopenLastMap = "Reopen Last Map";
// The map definition file open when the program was last closed; empty for a new map.
inline const char* const LastMap = "Last Map";
} // namespace SettingNames

// The medium's sample map and the folder of its maps.
constexpr const char* kSampleMap = "CDROM:\\Maps\\NorthSea.MDF";
constexpr const char* kMediumMapFolder = "CDROM:\\Maps";

bool ReopensLastMap(const SettingsStore& settings);
void SetReopensLastMap(SettingsStore& settings, bool reopen);

// The map a start without a map named opens, as an absolute path (a relative medium is taken
// from the folder cwd); empty for a new map. With reopening on: the map open last, while it
// is still a file (empty when a new map was open last); when no map has been kept yet (the
// first start), the medium's sample map where the medium is a folder that holds it.
std::string StartMap(const SettingsStore& settings, const std::string& cwd);

// Keeps the map open when the program closed (empty for a new map), when it differs from the
// one kept.
void WriteLastMap(SettingsStore& settings, const std::string& path);

// The medium's map folder as a native folder ending in '/', from the folder cwd; empty when
// the medium has none (or is a disc image, which the open dialog cannot show).
std::string MediumMapFolder(const std::string& cwd);
// While no folder is stored ("Files"/"Directory"), the dialogs for map files first offer the
// medium's map folder (CvVars::DefaultDir), where it has one.
void OfferMediumMapFolder(const SettingsStore& settings);

} // namespace corvane
