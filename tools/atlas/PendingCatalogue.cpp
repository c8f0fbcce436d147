// The colour table of master files lives with the master file reader in src/catalogue; the
// reader is not on this branch yet. This weak copy lets corvane-atlas and its tests link
// until it is, and gives way to the reader's definition as soon as that is linked in.
// Delete this file when src/catalogue/MasterFile.cpp defines DOSColour.
#include "catalogue/MasterFile.h"

namespace corvane {

__attribute__((weak)) extern const Colour DOSColour[16] = {
    0x000000, 0x800000, 0x008000, 0x808000, 0x000080, 0x800080, 0x000080, 0xC0C0C0,
    0x808080, 0xFF0000, 0x00FF00, 0xFFFF00, 0x0000FF, 0xFF00FF, 0x00FFFF, 0xFFFFFF,
};

} // namespace corvane
