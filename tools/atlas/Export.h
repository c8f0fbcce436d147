#pragma once
// corvane-atlas export: the data of themes and layer files into GIS files through GDAL/OGR,
// in WGS 84 longitude and latitude (EPSG:4326).
#include "ExportLayers.h"

#include <iosfwd>
#include <string>
#include <vector>

namespace corvane::atlas {

struct ExportOptions {
    std::vector<std::string> inputs;   // themes by title, master files, layer files
    std::string output;
    std::string format;                // a GDAL driver name; empty: from the output's extension
    bool polygons = false;             // rasters as polygons of equal key code
    bool pieces = false;               // features as the file keeps them, not joined back
    LabelCodePage codePage = LabelCodePage::Windows1252;
};

// Exports every layer of the inputs; returns the exit status (0 done, 1 a layer damaged or
// not written, 2 bad input). Progress goes to out, problems to err.
int RunExport(const ExportOptions& options, std::ostream& out, std::ostream& err);

} // namespace corvane::atlas
