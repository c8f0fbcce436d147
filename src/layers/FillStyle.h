#pragma once
// Fill styles shared by the layer readers and the style pickers.

namespace corvane {

// True while the "Use Standard Brushes" item of the Window menu is checked: fills then use
// the standard hatch brushes instead of the program's own 8 x 8 patterns.
extern bool UseWindowsBrushes;

} // namespace corvane
