#include "platform/PngEncoder.h"

#include <zlib.h>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

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

// The first pixel from x on in a row of w whose colour is not colour (w when none). Maps are
// mostly long runs of one colour: they are passed over 16 pixels at a time.
size_t RunEnd(const uint32_t* row, size_t x, size_t w, uint32_t colour)
{
#ifdef __SSE2__
    const __m128i mask = _mm_set1_epi32(0x00FFFFFF);
    const __m128i c = _mm_set1_epi32(static_cast<int>(colour & 0x00FFFFFFu));
    auto same = [&](size_t at) {
        const __m128i p = _mm_and_si128(_mm_loadu_si128(reinterpret_cast<const __m128i*>(row + at)), mask);
        return _mm_cmpeq_epi32(p, c);
    };
    for (; x + 16 <= w; x += 16) {
        const __m128i all = _mm_and_si128(_mm_and_si128(same(x), same(x + 4)), _mm_and_si128(same(x + 8), same(x + 12)));
        if (_mm_movemask_epi8(all) != 0xFFFF) break;
    }
    for (; x + 4 <= w; x += 4) {
        // One bit a pixel, set where the colour differs.
        const int differ = _mm_movemask_ps(_mm_castsi128_ps(same(x))) ^ 0xF;
        if (differ) return x + static_cast<size_t>(__builtin_ctz(static_cast<unsigned>(differ)));
    }
#else
    for (; x + 4 <= w; x += 4)
        if (((row[x] ^ colour) | (row[x + 1] ^ colour) | (row[x + 2] ^ colour) | (row[x + 3] ^ colour)) & 0x00FFFFFFu)
            break;
#endif
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
    // Empty again, for the next picture (the table keeps its room).
    void Clear()
    {
        colours.clear();
        index_.clear();
        recent_[0] = recent_[1] = Recent{};
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

} // namespace

// The compressor and the buffers of one picture, kept for the next.
struct PngEncoder::State {
    z_stream z{};
    bool zReady = false;
    int level = 0, strategy = 0;
    std::vector<uint8_t> row, buffer = std::vector<uint8_t>(size_t{1} << 16), idat;
    Palette colours;

    ~State()
    {
        if (zReady) deflateEnd(&z);
    }

    // The compressor at a level and strategy, started afresh.
    bool Start(int newLevel, int newStrategy)
    {
        if (zReady && level == newLevel && strategy == newStrategy) return deflateReset(&z) == Z_OK;
        if (zReady) deflateEnd(&z);
        z = z_stream{};
        zReady = deflateInit2(&z, newLevel, Z_DEFLATED, 15, 8, newStrategy) == Z_OK;
        level = newLevel;
        strategy = newStrategy;
        return zReady;
    }

    // Deflates the filtered rows that line(y, bytes) gives into idat.
    template <class Line>
    bool DeflateRows(int32_t height, size_t rowBytes, int newLevel, int newStrategy, Line&& line)
    {
        idat.clear();
        if (!Start(newLevel, newStrategy)) return false;
        row.resize(rowBytes + 1);
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
        return ok && put(nullptr, 0, Z_FINISH);
    }
};

PngEncoder::PngEncoder() : state_(std::make_unique<State>()) {}

PngEncoder::~PngEncoder() = default;

bool PngEncoder::Encode(int32_t width, int32_t height, const uint32_t* pixels, size_t stride, std::string& out,
                        PngResolution resolution, int zlibLevel)
{
    if (width < 1 || height < 1 || !pixels || stride < static_cast<size_t>(width)) return false;
    const auto w = static_cast<size_t>(width);
    State& st = *state_;
    Palette& colours = st.colours;
    colours.Clear();
    const bool indexed = PaletteOf(width, height, pixels, stride, colours);
    const std::vector<uint32_t>& palette = colours.colours;
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
        ok = st.DeflateRows(height, (w + perByte - 1) / perByte, zlibLevel, Z_RLE, [&](int32_t y, uint8_t* line) {
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
        });
    } else {
        // Filter Sub.
        ok = st.DeflateRows(height, 3 * w, zlibLevel, Z_DEFAULT_STRATEGY, [&](int32_t y, uint8_t* line) {
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
        });
    }
    if (!ok) return false;

    static const uint8_t kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    out.append(reinterpret_cast<const char*>(kSignature), sizeof kSignature);
    uint8_t ihdr[13] = {};
    for (int k = 0; k < 4; ++k) {
        ihdr[k] = static_cast<uint8_t>(static_cast<uint32_t>(width) >> (24 - 8 * k));
        ihdr[4 + k] = static_cast<uint8_t>(static_cast<uint32_t>(height) >> (24 - 8 * k));
    }
    ihdr[8] = static_cast<uint8_t>(indexed ? depth : 8);   // bits per index, or per sample
    ihdr[9] = indexed ? 3 : 2;     // palette or RGB; compression, filter method, interlace 0
    Chunk(out, "IHDR", ihdr, sizeof ihdr);
    if (resolution.x > 0 && resolution.y > 0 && resolution.x <= INT32_MAX && resolution.y <= INT32_MAX) {
        uint8_t phys[9] = {};
        for (int k = 0; k < 4; ++k) {
            phys[k] = static_cast<uint8_t>(static_cast<uint32_t>(resolution.x) >> (24 - 8 * k));
            phys[4 + k] = static_cast<uint8_t>(static_cast<uint32_t>(resolution.y) >> (24 - 8 * k));
        }
        phys[8] = 1;   // per metre
        Chunk(out, "pHYs", phys, sizeof phys);
    }
    if (indexed) {
        std::vector<uint8_t> plte;
        for (uint32_t c : palette) plte.insert(plte.end(), {uint8_t(c >> 16), uint8_t(c >> 8), uint8_t(c)});
        Chunk(out, "PLTE", plte.data(), plte.size());
    }
    constexpr size_t kMostPerChunk = size_t{1} << 20;
    const std::vector<uint8_t>& idat = st.idat;
    for (size_t at = 0; at < idat.size(); at += kMostPerChunk)
        Chunk(out, "IDAT", idat.data() + at, std::min(kMostPerChunk, idat.size() - at));
    Chunk(out, "IEND", nullptr, 0);
    return true;
}

bool EncodePng(int32_t width, int32_t height, const uint32_t* pixels, size_t stride, std::string& out,
               PngResolution resolution, int zlibLevel)
{
    PngEncoder encoder;
    return encoder.Encode(width, height, pixels, stride, out, resolution, zlibLevel);
}

} // namespace corvane
