#pragma once
// The process-wide settings and data-location values that every part of the program reads.
// Paths are stored (in the settings, in data files) as strings of at most 80 characters; in
// memory they are kept whole, so that a medium in a deep folder is found.
#include <cstdint>
#include <string>

namespace corvane {

// Cuts a string to at most 80 characters.
std::string ShortStr80(const std::string& s);
// Cuts a string to at most 255 characters.
std::string ShortStr255(const std::string& s);

namespace CvVars {

extern std::string CDROM;          // root of the data medium, substituted for "CDROM:"
extern std::string DefaultDir;     // folder offered first by open and save dialogs
extern std::string DatalistFile;   // full path of the data list file

extern std::string OutlCoastFull, OutlCoast30PC, OutlCoast10PC, OutlCoast03PC, OutlCoast01PC;
extern std::string FillCoast12s, FillCoast36s, FillCoast1Min, FillCoast3Min, FillCoast5Min;

extern uint8_t CoastResolution;    // 0 finest .. 2; 1 at start-up
extern uint8_t Graticule_FontSize; // points; 8 at start-up
extern bool bWhereAmI;
extern double LatLonScale;         // 1 / cos(centre latitude) of the loaded map

// Puts every value back to its start-up value (used by tests and at start-up).
void Reset();

} // namespace CvVars
} // namespace corvane
