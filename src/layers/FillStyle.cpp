#include "layers/FillStyle.h"

namespace corvane {

bool UseWindowsBrushes = true;

} // namespace corvane
