#pragma once
// The default look: the display settings of a map that Display, "Use as Default Look" keeps in
// the settings (section "Default Look", under the map definition's own key names) and that
// File, New starts from. Without one, a new map has the new-map settings of its definition
// (a black background); deleting the section brings them back.
//
// The look is the background, the land style and colours, the graticule (shown, colour,
// spacing, line style, label format), the keys (shown, colours, caption, corners) and the
// halo; not the cursor read-out, the zoom settings or the map's box.
#include <string>
#include <vector>

namespace corvane {

class SettingsStore;
class TMDFStruct;

extern const char* const kDefaultLookSection;   // "Default Look"
// The map definition keys that make the look, in the order they are stored.
const std::vector<std::string>& DefaultLookKeys();

// Stores the look of mdf; false when the settings file could not be written.
bool StoreDefaultLook(const TMDFStruct& mdf, SettingsStore& settings);
// Gives mdf the stored look, where one is stored; false (mdf unchanged) when none is, or
// when a stored value is one no map definition may hold (then error says which).
bool ApplyDefaultLook(TMDFStruct& mdf, const SettingsStore& settings, std::string* error = nullptr);

} // namespace corvane
