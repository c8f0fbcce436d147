// The SYX layer reader: open, DataOkay, draws over the whole area, a zoomed window and the
// printed page, and searches, with the work bound checked (FuzzSupport.h).
#include "FuzzSupport.h"
#include "FuzzTarget.h"

CORVANE_FUZZ_TARGET(layer_syx) { corvane::fuzz::FuzzLayer(corvane::fuzz::LayerKind::Syx, data, size); }
