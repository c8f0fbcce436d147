#include "platform/PngEncoder.h"

#include <zlib.h>

#include <algorithm>
#include <cstring>
#include <unordered_map>
#include <utility>
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

// The first pixel from x on in a row of w whose colour is not colour (w when none).
size_t RunEnd(const uint32_t* row, size_t x, size_t w, uint32_t colour)
{
    for (; x + 4 <= w; x += 4)
        if (((row[x] ^ colour) | (row[x + 1] ^ colour) | (row[x + 2] ^ colour) | (row[x + 3] ^ colour)) & 0x00FFFFFFu)
            break;
    while (x < w && ((row[x] ^ colour) & 0x00FFFFFFu) == 0) ++x;
    return x;
}

// The colours of a picture and their indexes. The two colours met last are looked up first:
// a hatched or patterned area alternates between two colours in short runs.
class Palette {
public:
    // The index of colour p (0x00RRGGBB), which is added when it is new; false when the
    // palette holds 256 colours already.
    bool Find(uint32_t p, uint8_t& i)
    {
        if (recent_[0].known && recent_[0].colour == p) {
            i = recent_[0].index;
            return true;
        }
        if (recent_[1].known && recent_[1].colour == p) {
            std::swap(recent_[0], recent_[1]);
            i = recent_[0].index;
            return true;
        }
        auto it = index_.find(p);
        if (it == index_.end()) {
            if (colours.size() == 256) return false;
            it = index_.emplace(p, static_cast<uint8_t>(colours.size())).first;
            colours.push_back(p);
        }
        i = it->second;
        recent_[1] = recent_[0];
        recent_[0] = {true, p, i};
        return true;
    }
    std::vector<uint32_t> colours;

private:
    struct Recent {
        bool known = false;
        uint32_t colour = 0;
        uint8_t index = 0;
    };
    std::unordered_map<uint32_t, uint8_t> index_;
    Recent recent_[2];
};

// The palette of the picture, when it has at most 256 colours.
bool PaletteOf(int32_t width, int32_t height, const uint32_t* pixels, size_t stride, Palette& palette)
{
    uint8_t i = 0;
    for (int32_t y = 0; y < height; ++y) {
        const uint32_t* row = pixels + static_cast<size_t>(y) * stride;
        const auto w = static_cast<size_t>(width);
        for (size_t x = 0; x < w; x = RunEnd(row, x, w, row[x]))
            if (!palette.Find(row[x] & 0x00FFFFFFu, i)) return false;
    }
    return true;
}

// Deflates the filtered rows that line(y, bytes) gives into idat.
template <class Line>
bool DeflateRows(int32_t height, size_t rowBytes, int level, int strategy, Line&& line, std::vector<uint8_t>& idat)
{
    z_stream z{};
    if (deflateInit2(&z, level, Z_DEFLATED, 15, 8, strategy) != Z_OK) return false;
    std::vector<uint8_t> row(rowBytes + 1), buffer(size_t{1} << 16);
    auto put = [&](uint8_t* data, size_t size, int flush) {
        z.next_in = data;
        z.avail_in = static_cast<uInt>(size);
        for (;;) {
            z.next_out = buffer.data();
            z.avail_out = static_cast<uInt>(buffer.size());
            const int rc = deflate(&z, flush);
            if (rc == Z_STREAM_ERROR || (rc == Z_BUF_ERROR && z.avail_out == buffer.size())) return false;
            idat.insert(idat.end(), buffer.data(), buffer.data() + (buffer.size() - z.avail_out));
            if (flush == Z_FINISH ? rc == Z_STREAM_END : z.avail_out != 0) return true;
        }
    };
    bool ok = true;
    for (int32_t y = 0; y < height && ok; ++y) {
        line(y, row.data());
        ok = put(row.data(), row.size(), Z_NO_FLUSH);
    }
    ok = ok && put(nullptr, 0, Z_FINISH);
    deflateEnd(&z);
    return ok;
}

} // namespace

bool EncodePng(int32_t width, int32_t height, const uint32_t* pixels, size_t stride, std::string& out,
               PngResolution resolution, int zlibLevel)
{
    if (width < 1 || height < 1 || !pixels || stride < static_cast<size_t>(width)) return false;
    const auto w = static_cast<size_t>(width);
    Palette colours;
    const bool indexed = PaletteOf(width, height, pixels, stride, colours);
    const std::vector<uint32_t>& palette = colours.colours;
    std::vector<uint8_t> idat;
    bool ok;
    // Bits of an index: as few as the palette allows.
    const int depth = palette.size() <= 2 ? 1 : palette.size() <= 4 ? 2 : palette.size() <= 16 ? 4 : 8;
    if (indexed) {
        // Filter None: runs of one colour are runs of one byte (or of one repeated pattern of
        // bits), filled a byte at a time.
        // Indexes a byte: a power of two, so that places are found by shifts and masks.
        const size_t perByte = static_cast<size_t>(8 / depth);
        const int shift = depth == 8 ? 0 : depth == 4 ? 1 : depth == 2 ? 2 : 3;
        const size_t within = perByte - 1;
        ok = DeflateRows(height, (w + perByte - 1) / perByte, zlibLevel, Z_RLE, [&](int32_t y, uint8_t* line) {
            const uint32_t* row = pixels + static_cast<size_t>(y) * stride;
            line[0] = 0;
            uint8_t* bytes = line + 1;
            std::memset(bytes, 0, (w + perByte - 1) / perByte);
            for (size_t x = 0, end; x < w; x = end) {
                end = RunEnd(row, x, w, row[x]);
                uint8_t v = 0;
                colours.Find(row[x] & 0x00FFFFFFu, v);
                auto one = [&](size_t i) {
                    bytes[i >> shift] |= static_cast<uint8_t>(v << (8 - depth - static_cast<int>(i & within) * depth));
                };
                size_t i = x;
                for (; i < end && (i & within) != 0; ++i) one(i);
                const size_t whole = (end - i) >> shift;
                const uint8_t pattern = static_cast<uint8_t>(depth == 8 ? v : depth == 4 ? v * 0x11 : depth == 2 ? v * 0x55 : v * 0xFF);
                std::memset(bytes + (i >> shift), pattern, whole);
                for (i += whole * perByte; i < end; ++i) one(i);
            }
        }, idat);
    } else {
        // Filter Sub.
        ok = DeflateRows(height, 3 * w, zlibLevel, Z_DEFAULT_STRATEGY, [&](int32_t y, uint8_t* line) {
            const uint32_t* row = pixels + static_cast<size_t>(y) * stride;
            line[0] = 1;
            uint32_t left = 0;
            for (size_t x = 0; x < w; ++x) {
                const uint32_t p = row[x];
                line[1 + 3 * x] = static_cast<uint8_t>((p >> 16) - (left >> 16));
                line[2 + 3 * x] = static_cast<uint8_t>((p >> 8) - (left >> 8));
                line[3 + 3 * x] = static_cast<uint8_t>(p - left);
                left = p;
            }
        }, idat);
    }
    if (!ok) return false;

    static const uint8_t kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    std::string png(reinterpret_cast<const char*>(kSignature), sizeof kSignature);
    uint8_t ihdr[13] = {};
    for (int k = 0; k < 4; ++k) {
        ihdr[k] = static_cast<uint8_t>(static_cast<uint32_t>(width) >> (24 - 8 * k));
        ihdr[4 + k] = static_cast<uint8_t>(static_cast<uint32_t>(height) >> (24 - 8 * k));
    }
    ihdr[8] = static_cast<uint8_t>(indexed ? depth : 8);   // bits per index, or per sample
    ihdr[9] = indexed ? 3 : 2;     // palette or RGB; compression, filter method, interlace 0
    Chunk(png, "IHDR", ihdr, sizeof ihdr);
    if (resolution.x > 0 && resolution.y > 0 && resolution.x <= INT32_MAX && resolution.y <= INT32_MAX) {
        uint8_t phys[9] = {};
        for (int k = 0; k < 4; ++k) {
            phys[k] = static_cast<uint8_t>(static_cast<uint32_t>(resolution.x) >> (24 - 8 * k));
            phys[4 + k] = static_cast<uint8_t>(static_cast<uint32_t>(resolution.y) >> (24 - 8 * k));
        }
        phys[8] = 1;   // per metre
        Chunk(png, "pHYs", phys, sizeof phys);
    }
    if (indexed) {
        std::vector<uint8_t> plte;
        for (uint32_t c : palette) plte.insert(plte.end(), {uint8_t(c >> 16), uint8_t(c >> 8), uint8_t(c)});
        Chunk(png, "PLTE", plte.data(), plte.size());
    }
    constexpr size_t kMostPerChunk = size_t{1} << 20;
    for (size_t at = 0; at < idat.size(); at += kMostPerChunk)
        Chunk(png, "IDAT", idat.data() + at, std::min(kMostPerChunk, idat.size() - at));
    Chunk(png, "IEND", nullptr, 0);
    out += png;
    return true;
}

} // namespace corvane
