#include "platform/BmpEncoder.h"

#include <algorithm>
#include <vector>

namespace corvane {

namespace {

void Put(uint8_t* out, uint32_t v, int bytes)
{
    for (int k = 0; k < bytes; ++k) out[k] = static_cast<uint8_t>((v >> (8 * k)) & 0xFF);
}

uint64_t RowBytes(int32_t width) { return (uint64_t{3} * static_cast<uint64_t>(width) + 3) / 4 * 4; }

} // namespace

uint64_t BmpFileSize(int32_t width, int32_t height)
{
    if (width < 1 || height < 1) return 0;
    const uint64_t size = 54 + RowBytes(width) * static_cast<uint64_t>(height);
    return size > 0xFFFFFFFFu ? 0 : size;
}

bool WriteBmp(int32_t width, int32_t height, const uint32_t* pixels, size_t stride, ByteSink& sink,
              int32_t pixelsPerMetreX, int32_t pixelsPerMetreY)
{
    const uint64_t size = BmpFileSize(width, height);
    if (size == 0 || !pixels || stride < static_cast<size_t>(width)) return false;
    const auto rowBytes = static_cast<size_t>(RowBytes(width));
    uint8_t head[54] = {'B', 'M'};
    Put(head + 2, static_cast<uint32_t>(size), 4);
    Put(head + 10, 54, 4);                              // where the pixels start
    Put(head + 14, 40, 4);                              // the info header's size
    Put(head + 18, static_cast<uint32_t>(width), 4);
    Put(head + 22, static_cast<uint32_t>(height), 4);   // positive: rows from the bottom
    Put(head + 26, 1, 2);                               // planes
    Put(head + 28, 24, 2);                              // bits a pixel; no compression
    Put(head + 34, static_cast<uint32_t>(size - 54), 4);
    Put(head + 38, static_cast<uint32_t>(pixelsPerMetreX > 0 ? pixelsPerMetreX : 0), 4);
    Put(head + 42, static_cast<uint32_t>(pixelsPerMetreY > 0 ? pixelsPerMetreY : 0), 4);
    if (!sink.Write(head, sizeof head)) return false;
    // Rows are handed on in blocks of about 256 kB.
    const size_t rowsPerBlock = std::max<size_t>(1, (size_t{256} << 10) / rowBytes);
    std::vector<uint8_t> block(rowsPerBlock * rowBytes, 0);
    for (int32_t y = 0; y < height;) {
        const auto rows = static_cast<int32_t>(std::min<size_t>(rowsPerBlock, static_cast<size_t>(height - y)));
        for (int32_t k = 0; k < rows; ++k, ++y) {
            const uint32_t* row = pixels + static_cast<size_t>(height - 1 - y) * stride;
            uint8_t* b = block.data() + static_cast<size_t>(k) * rowBytes;
            for (int32_t x = 0; x < width; ++x, b += 3) {
                const uint32_t p = row[x];
                b[0] = static_cast<uint8_t>(p);
                b[1] = static_cast<uint8_t>(p >> 8);
                b[2] = static_cast<uint8_t>(p >> 16);
            }
        }
        if (!sink.Write(block.data(), static_cast<size_t>(rows) * rowBytes)) return false;
    }
    return true;
}

bool EncodeBmp(int32_t width, int32_t height, const uint32_t* pixels, size_t stride, std::string& out,
               int32_t pixelsPerMetreX, int32_t pixelsPerMetreY)
{
    const uint64_t size = BmpFileSize(width, height);
    if (size == 0 || !pixels || stride < static_cast<size_t>(width)) return false;
    out.reserve(out.size() + static_cast<size_t>(size));
    StringSink sink(out);
    return WriteBmp(width, height, pixels, stride, sink, pixelsPerMetreX, pixelsPerMetreY);
}

} // namespace corvane
