#pragma once
// A BMP encoder for map pictures: 24 bits a pixel, rows from the bottom, each padded to four
// bytes, written straight from the picture's pixels.
#include "platform/ByteSink.h"

#include <cstddef>
#include <cstdint>
#include <string>

namespace corvane {

// The size of the BMP file of a width x height picture; 0 when a side is below 1 or the file
// would pass 4 GB (no BMP can be made of it).
uint64_t BmpFileSize(int32_t width, int32_t height);

// Writes the BMP file of a width x height picture to sink, a few rows at a time (never the
// whole file at once). pixels holds its rows from the top, each of width values 0xXXRRGGBB
// (the top byte is not looked at), stride values apart; the resolution is in pixels per metre
// (0: none given). False when no BMP can be made of the picture (nothing is written then) or
// the sink refused some bytes.
bool WriteBmp(int32_t width, int32_t height, const uint32_t* pixels, size_t stride, ByteSink& sink,
              int32_t pixelsPerMetreX = 0, int32_t pixelsPerMetreY = 0);

// The same appended to out; false (out as it was) when no BMP can be made of the picture.
bool EncodeBmp(int32_t width, int32_t height, const uint32_t* pixels, size_t stride, std::string& out,
               int32_t pixelsPerMetreX = 0, int32_t pixelsPerMetreY = 0);

} // namespace corvane
