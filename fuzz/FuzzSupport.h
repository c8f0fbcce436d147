#pragma once
// What several fuzz targets share: a scratch folder for the targets that must go through real
// files (map definitions, text pages with their includes, disc images), and the drawing of a
// layer file every way the viewer draws it, on the recording canvas or on canvases of Qt.
#include "layers/DrawContext.h"
#include "platform/Canvas.h"

#include <cstddef>
#include <cstdint>
#include <string>

namespace corvane::fuzz {

// A folder of this process's own, made at the first call and removed when the process ends.
const std::string& ScratchDir();
// Writes bytes to a file of the scratch folder (replacing it) and returns its path.
std::string WriteScratchFile(const std::string& name, const void* data, size_t size);
inline std::string WriteScratchFile(const std::string& name, const std::string& text)
{
    return WriteScratchFile(name, text.data(), text.size());
}

enum class LayerKind { Vec, Mrl, Rle, Sym, Syx, Pol, Lbl };

// What FuzzLayer draws on: the picture of the map window and the printed page.
class Surfaces {
public:
    virtual ~Surfaces() = default;
    virtual Canvas& Picture() = 0;   // kPictureWidth x kPictureHeight
    virtual Canvas& Page() = 0;      // the page of kPage
    // The figures drawn since the last call, or -1 when the canvases do not count them.
    virtual int64_t TakeFigures() { return -1; }
};

constexpr int kPictureWidth = 640, kPictureHeight = 480;
// The printed page: 8 x 10 2/3 inches at 600 pixels an inch, one-inch margins, minimum ones
// of a quarter inch.
constexpr PrintPage kPage{4800, 6400, 1.0, 1.0, 1.0, 1.0, 0.25, 0.25, 0.25, 0.25, 600, 600};

// Opens the bytes as a layer file of the kind and, when its header and index can be read,
// colours it from a key of 52 items (some switched off, some without a style, past the 50
// that are used), draws it over the whole area of its grid, over a zoomed window and on a
// printed page, and searches it where the format is searched. Checks that no drawing reads
// more than the layer's work bound allows and, on the recording canvas (the first form), that
// none makes more canvas operations than it allows.
void FuzzLayer(LayerKind kind, const uint8_t* data, size_t size);
void FuzzLayer(LayerKind kind, const uint8_t* data, size_t size, Surfaces& on);

} // namespace corvane::fuzz
