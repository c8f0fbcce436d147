#include "platform/BmpEncoder.h"

namespace corvane {

namespace {

void Put(std::string& out, size_t at, uint32_t v, int bytes)
{
    for (int k = 0; k < bytes; ++k) out[at + static_cast<size_t>(k)] = static_cast<char>((v >> (8 * k)) & 0xFF);
}

} // namespace

bool EncodeBmp(int32_t width, int32_t height, const uint32_t* pixels, size_t stride, std::string& out,
               int32_t pixelsPerMetreX, int32_t pixelsPerMetreY)
{
    if (width < 1 || height < 1 || !pixels || stride < static_cast<size_t>(width)) return false;
    const uint64_t rowBytes = (uint64_t{3} * static_cast<uint64_t>(width) + 3) / 4 * 4;
    const uint64_t size = 54 + rowBytes * static_cast<uint64_t>(height);
    if (size > 0xFFFFFFFFu) return false;
    const size_t at = out.size();
    out.resize(at + static_cast<size_t>(size), '\0');
    out[at] = 'B';
    out[at + 1] = 'M';
    Put(out, at + 2, static_cast<uint32_t>(size), 4);
    Put(out, at + 10, 54, 4);                              // where the pixels start
    Put(out, at + 14, 40, 4);                              // the info header's size
    Put(out, at + 18, static_cast<uint32_t>(width), 4);
    Put(out, at + 22, static_cast<uint32_t>(height), 4);   // positive: rows from the bottom
    Put(out, at + 26, 1, 2);                               // planes
    Put(out, at + 28, 24, 2);                              // bits a pixel; no compression
    Put(out, at + 34, static_cast<uint32_t>(rowBytes * static_cast<uint64_t>(height)), 4);
    Put(out, at + 38, static_cast<uint32_t>(pixelsPerMetreX > 0 ? pixelsPerMetreX : 0), 4);
    Put(out, at + 42, static_cast<uint32_t>(pixelsPerMetreY > 0 ? pixelsPerMetreY : 0), 4);
    auto* bytes = reinterpret_cast<uint8_t*>(&out[at + 54]);
    for (int32_t y = 0; y < height; ++y) {
        const uint32_t* row = pixels + static_cast<size_t>(height - 1 - y) * stride;
        uint8_t* b = bytes + static_cast<size_t>(y) * rowBytes;
        for (int32_t x = 0; x < width; ++x, b += 3) {
            const uint32_t p = row[x];
            b[0] = static_cast<uint8_t>(p);
            b[1] = static_cast<uint8_t>(p >> 8);
            b[2] = static_cast<uint8_t>(p >> 16);
        }
    }
    return true;
}

} // namespace corvane
