#include "platform/PngEncoder.h"

#include <zlib.h>

#include <algorithm>
#include <vector>

namespace corvane {

namespace {

void PutU32(std::string& out, uint32_t v)
{
    for (int s = 24; s >= 0; s -= 8) out.push_back(static_cast<char>((v >> s) & 0xFF));
}

// Length, type, data, and the CRC of type and data.
void Chunk(std::string& out, const char* type, const uint8_t* data, size_t size)
{
    PutU32(out, static_cast<uint32_t>(size));
    const size_t at = out.size();
    out.append(type, 4);
    if (size > 0) out.append(reinterpret_cast<const char*>(data), size);
    const uLong crc = crc32(0L, reinterpret_cast<const Bytef*>(out.data() + at), static_cast<uInt>(size + 4));
    PutU32(out, static_cast<uint32_t>(crc));
}

} // namespace

bool EncodePng(int32_t width, int32_t height, const PngRowSource& row, std::string& out, int zlibLevel)
{
    if (width < 1 || height < 1) return false;
    const size_t rowBytes = size_t{3} * static_cast<size_t>(width);
    if (rowBytes / 3 != static_cast<size_t>(width) || rowBytes + 1 > 0xFFFFFFFFu) return false;

    z_stream z{};
    if (deflateInit2(&z, zlibLevel, Z_DEFLATED, 15, 8, Z_DEFAULT_STRATEGY) != Z_OK) return false;
    std::vector<uint8_t> rgb(rowBytes), line(rowBytes + 1), idat;
    std::vector<uint8_t> buffer(size_t{1} << 16);
    bool ok = true;
    // Deflates the bytes given (none, to finish), appending what comes out to idat.
    auto deflateBytes = [&](uint8_t* data, size_t size, int flush) {
        z.next_in = data;
        z.avail_in = static_cast<uInt>(size);
        do {
            z.next_out = buffer.data();
            z.avail_out = static_cast<uInt>(buffer.size());
            const int rc = deflate(&z, flush);
            if (rc == Z_STREAM_ERROR || (rc == Z_BUF_ERROR && z.avail_out == buffer.size())) return false;
            idat.insert(idat.end(), buffer.data(), buffer.data() + (buffer.size() - z.avail_out));
            if (flush == Z_FINISH && rc == Z_STREAM_END) return true;
        } while (z.avail_out == 0 || (flush == Z_FINISH));
        return true;
    };
    line[0] = 1;   // the Sub filter
    for (int32_t y = 0; y < height && ok; ++y) {
        row(y, rgb.data());
        for (size_t i = 0; i < 3 && i < rowBytes; ++i) line[1 + i] = rgb[i];
        for (size_t i = 3; i < rowBytes; ++i) line[1 + i] = static_cast<uint8_t>(rgb[i] - rgb[i - 3]);
        ok = deflateBytes(line.data(), line.size(), Z_NO_FLUSH);
    }
    ok = ok && deflateBytes(nullptr, 0, Z_FINISH);
    deflateEnd(&z);
    if (!ok) return false;

    static const uint8_t kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    std::string png(reinterpret_cast<const char*>(kSignature), sizeof kSignature);
    uint8_t ihdr[13] = {};
    for (int k = 0; k < 4; ++k) {
        ihdr[k] = static_cast<uint8_t>(static_cast<uint32_t>(width) >> (24 - 8 * k));
        ihdr[4 + k] = static_cast<uint8_t>(static_cast<uint32_t>(height) >> (24 - 8 * k));
    }
    ihdr[8] = 8;   // bits per sample
    ihdr[9] = 2;   // RGB; compression, filter method and interlace 0
    Chunk(png, "IHDR", ihdr, sizeof ihdr);
    constexpr size_t kMostPerChunk = size_t{1} << 20;
    for (size_t at = 0; at < idat.size(); at += kMostPerChunk)
        Chunk(png, "IDAT", idat.data() + at, std::min(kMostPerChunk, idat.size() - at));
    Chunk(png, "IEND", nullptr, 0);
    out += png;
    return true;
}

} // namespace corvane
