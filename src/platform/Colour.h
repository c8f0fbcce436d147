#pragma once
#include <cstdint>

namespace corvane {

// Colours are 0x00BBGGRR everywhere in the core, as in the data files and settings.
using Colour = uint32_t;

constexpr Colour RGB(uint8_t r, uint8_t g, uint8_t b)
{
    return static_cast<Colour>(r) | (static_cast<Colour>(g) << 8) | (static_cast<Colour>(b) << 16);
}
constexpr uint8_t RedOf(Colour c) { return static_cast<uint8_t>(c & 0xFF); }
constexpr uint8_t GreenOf(Colour c) { return static_cast<uint8_t>((c >> 8) & 0xFF); }
constexpr uint8_t BlueOf(Colour c) { return static_cast<uint8_t>((c >> 16) & 0xFF); }

constexpr Colour clBlack = 0x000000;
constexpr Colour clWhite = 0xFFFFFF;
constexpr Colour clSilver = 0xC0C0C0;
constexpr Colour clRed = 0x0000FF;
constexpr Colour clYellow = 0x00FFFF;

// The contrast ratio of two colours by their relative luminance (sRGB), as accessibility
// guidelines measure it: 1 for two equal colours, 21 for black on white.
double ContrastRatio(Colour a, Colour b);
// Contrast that text needs against its ground to be read easily.
constexpr double kReadableContrast = 4.5;
// The colour as it prints readably on white paper: itself when its contrast against white is
// at least minContrast, else the same hue darkened (every channel scaled down alike) to the
// lightest shade that has that contrast.
Colour ReadableOnWhite(Colour c, double minContrast = kReadableContrast);

} // namespace corvane
