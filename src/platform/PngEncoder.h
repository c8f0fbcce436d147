#pragma once
// A PNG encoder for pictures of 8-bit RGB pixels, made for speed: the rows are filtered
// by one fixed filter (each byte less the byte of the pixel to its left, which turns the
// flat areas of a map into runs of zeros) and deflated at a fast zlib level. The picture
// stays lossless; rows are asked for one at a time, so no copy of the whole picture is made.
#include <cstdint>
#include <functional>
#include <string>

namespace corvane {

// Fills the 3 x width bytes (red, green, blue) of row y, top row 0.
using PngRowSource = std::function<void(int32_t y, uint8_t* rgb)>;

// Appends the PNG file of a width x height picture to out; false (out as it was) when a side
// is not 1..2^31 - 1 or the compressor fails.
bool EncodePng(int32_t width, int32_t height, const PngRowSource& row, std::string& out, int zlibLevel = 1);

} // namespace corvane
