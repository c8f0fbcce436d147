#pragma once
// A BMP encoder for map pictures: 24 bits a pixel, rows from the bottom, each padded to four
// bytes, written straight from the picture's pixels into one buffer.
#include <cstddef>
#include <cstdint>
#include <string>

namespace corvane {

// Appends the BMP file of a width x height picture to out. pixels holds its rows from the
// top, each of width values 0xXXRRGGBB (the top byte is not looked at), stride values apart;
// the resolution is in pixels per metre (0: none given). False (out as it was) when a side is
// below 1 or the file would pass 4 GB.
bool EncodeBmp(int32_t width, int32_t height, const uint32_t* pixels, size_t stride, std::string& out,
               int32_t pixelsPerMetreX = 0, int32_t pixelsPerMetreY = 0);

} // namespace corvane
