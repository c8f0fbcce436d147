#pragma once
// A PNG encoder for map pictures, made for speed. A picture of at most 256 colours (most
// maps) is written with a palette, one byte a pixel; another as 8-bit RGB, each byte less
// the byte of the pixel to its left (which turns flat areas into runs of zeros). Either is
// deflated at a fast zlib level, and the picture stays lossless.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

namespace corvane {

// The picture's resolution in pixels per metre; none is written when either is not above 0.
struct PngResolution {
    long x = 0, y = 0;
};

// Appends the PNG file of a width x height picture to out. pixels holds its rows from the
// top, each of width values 0xXXRRGGBB (the top byte is not looked at), stride values apart.
// False (out as it was) when a side is below 1 or the compressor fails.
bool EncodePng(int32_t width, int32_t height, const uint32_t* pixels, size_t stride, std::string& out,
               PngResolution resolution = {}, int zlibLevel = 1);

// The same for pictures one after another (a batch of maps): the compressor and the buffers of
// one picture serve the next.
class PngEncoder {
public:
    PngEncoder();
    ~PngEncoder();
    PngEncoder(const PngEncoder&) = delete;
    PngEncoder& operator=(const PngEncoder&) = delete;
    bool Encode(int32_t width, int32_t height, const uint32_t* pixels, size_t stride, std::string& out,
                PngResolution resolution = {}, int zlibLevel = 1);

private:
    struct State;
    std::unique_ptr<State> state_;
};

} // namespace corvane
