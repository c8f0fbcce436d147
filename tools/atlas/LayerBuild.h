#pragma once
// Turning what was read from a source into the content of one layer file: key codes from a
// constant or an attribute, label texts and query information from templates, the fields and
// wanted cell side of the header. No GDAL here; the features come from GdalSources (or a
// test), and the writers of src/layers/writers take the result.
#include "AtlasDescription.h"
#include "GdalSources.h"
#include "LayerData.h"

#include <memory>
#include <string>
#include <vector>

namespace corvane::atlas {

struct LayerBuildResult {
    LayerContent content;
    std::unique_ptr<InfoFileBuilder> info;   // for layers with information, else none
    size_t used = 0;                         // features or raster units that went in
    size_t skipped = 0;                      // features left out (see warnings)
    std::vector<std::string> warnings;       // one line per kind of problem, with a count
};

// The query lines of the theme whose data set uses the layer decide whether headed records
// carry values (the first line's data type 1 or 10); queryLines may be empty otherwise.
LayerBuildResult BuildVectorLayer(const AtlasDescription& atlas, const LayerSpec& layer,
                                  const std::vector<QueryLineSpec>& queryLines, const VectorSource& source);

LayerBuildResult BuildRasterLayer(const AtlasDescription& atlas, const LayerSpec& layer, const RasterValues& source);

// The theme and its query lines whose data set names the layer (the first such theme).
const ThemeSpec* ThemeOfLayer(const AtlasDescription& atlas, const std::string& layerName);

} // namespace corvane::atlas
