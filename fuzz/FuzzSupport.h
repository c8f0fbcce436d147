#pragma once
// What several fuzz targets share: a scratch folder for the targets that must go through real
// files (map definitions, text pages with their includes, disc images), and the drawing of a
// layer file every way the viewer draws it.
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

// Opens the bytes as a layer file of the kind and, when its header and index can be read,
// colours it from a key of 52 items (some switched off, some without a style, past the 50
// that are used), draws it over the whole area of its grid, over a zoomed window and on a
// printed page on the recording canvas, and searches it where the format is searched. Checks
// that no drawing makes more canvas operations than the layer's work bound allows.
void FuzzLayer(LayerKind kind, const uint8_t* data, size_t size);

} // namespace corvane::fuzz
