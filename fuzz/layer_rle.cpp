// The RLE layer reader: open, DataOkay, draws over the whole area, a zoomed window and the
// printed page, with the work bound checked (FuzzSupport.h).
#include "FuzzSupport.h"
#include "FuzzTarget.h"

CORVANE_FUZZ_TARGET(layer_rle) { corvane::fuzz::FuzzLayer(corvane::fuzz::LayerKind::Rle, data, size); }
