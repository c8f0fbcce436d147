#include "platform/CvVars.h"

namespace corvane {

std::string ShortStr80(const std::string& s) { return s.size() > 80 ? s.substr(0, 80) : s; }
std::string ShortStr255(const std::string& s) { return s.size() > 255 ? s.substr(0, 255) : s; }

namespace CvVars {

std::string CDROM;
std::string DefaultDir;
std::string DatalistFile;
std::string OutlCoastFull, OutlCoast30PC, OutlCoast10PC, OutlCoast03PC, OutlCoast01PC;
std::string FillCoast12s, FillCoast36s, FillCoast1Min, FillCoast3Min, FillCoast5Min;
uint8_t CoastResolution = 1;
uint8_t Graticule_FontSize = 8;
bool bWhereAmI = false;
double LatLonScale = 0.0;

void Reset()
{
    CDROM.clear();
    DefaultDir.clear();
    DatalistFile.clear();
    for (std::string* s : {&OutlCoastFull, &OutlCoast30PC, &OutlCoast10PC, &OutlCoast03PC, &OutlCoast01PC,
                           &FillCoast12s, &FillCoast36s, &FillCoast1Min, &FillCoast3Min, &FillCoast5Min})
        s->clear();
    CoastResolution = 1;
    Graticule_FontSize = 8;
    bWhereAmI = false;
    LatLonScale = 0.0;
}

} // namespace CvVars
} // namespace corvane
