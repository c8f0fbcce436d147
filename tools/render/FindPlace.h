#pragma once
// corvane-render --find: the map centred on a place of the atlas found by its name.
#include <cstdint>
#include <string>

namespace corvane {

class MessageSink;
class TMDFStruct;

// Centres the map on the first place the place search finds for name (UTF-8), at a scale
// that shows it in a picture of width x height (pixelsPerInch for the scale of a town); the
// place's theme is added to the map when the map does not draw it, as the viewer offers. The
// index of names comes from the user's cache when it is still good. False (said on the sink)
// when no place is found; when several are, the one shown is named on standard error.
bool CentreOnPlace(TMDFStruct& mdf, const std::string& name, int32_t width, int32_t height, double pixelsPerInch,
                   MessageSink& sink);

} // namespace corvane
