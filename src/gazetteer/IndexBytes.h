#pragma once
// The bytes of the index of names and of its cache file: unsigned numbers in 7-bit groups
// (the low group first, the top bit set on every group but the last), signed 32-bit numbers
// little-endian, and texts as their length and bytes. The reader checks every length and
// count against the bytes left.
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

namespace corvane {

inline void PutVarint(std::string& out, uint64_t v)
{
    while (v >= 0x80) {
        out += static_cast<char>((v & 0x7F) | 0x80);
        v >>= 7;
    }
    out += static_cast<char>(v);
}

inline void PutI32(std::string& out, int32_t v)
{
    const uint32_t u = static_cast<uint32_t>(v);
    for (int i = 0; i < 4; ++i) out += static_cast<char>((u >> (8 * i)) & 0xFF);
}

inline void PutText(std::string& out, std::string_view s)
{
    PutVarint(out, s.size());
    out += s;
}

// Reads from bytes at at, which it moves on; every read is false when the bytes do not hold it.
class ByteReader {
public:
    ByteReader(const std::string& bytes, size_t& at) : b_(bytes), at_(at) {}
    size_t Left() const { return at_ < b_.size() ? b_.size() - at_ : 0; }

    bool Varint(uint64_t& v)
    {
        v = 0;
        for (int shift = 0; shift < 64; shift += 7) {
            if (!Left()) return false;
            const uint8_t c = static_cast<uint8_t>(b_[at_++]);
            v |= static_cast<uint64_t>(c & 0x7F) << shift;
            if (!(c & 0x80)) return true;
        }
        return false;
    }
    // A number below `below`.
    bool Small(uint32_t& v, uint64_t below)
    {
        uint64_t w = 0;
        if (!Varint(w) || w >= below) return false;
        v = static_cast<uint32_t>(w);
        return true;
    }
    // A count of things of at least `each` bytes that the bytes left can hold.
    bool Count(size_t& n, size_t each)
    {
        uint64_t w = 0;
        if (!Varint(w) || w > Left() / (each ? each : 1)) return false;
        n = static_cast<size_t>(w);
        return true;
    }
    bool I32(int32_t& v)
    {
        if (Left() < 4) return false;
        uint32_t u = 0;
        for (int i = 0; i < 4; ++i) u |= static_cast<uint32_t>(static_cast<uint8_t>(b_[at_ + i])) << (8 * i);
        at_ += 4;
        v = static_cast<int32_t>(u);
        return true;
    }
    bool Text(std::string& s, size_t most)
    {
        uint64_t n = 0;
        if (!Varint(n) || n > most || n > Left()) return false;
        s.assign(b_, at_, static_cast<size_t>(n));
        at_ += static_cast<size_t>(n);
        return true;
    }
    // The bytes `want`, as they are.
    bool Expect(const char* want, size_t n)
    {
        if (Left() < n || std::memcmp(b_.data() + at_, want, n) != 0) return false;
        at_ += n;
        return true;
    }

private:
    const std::string& b_;
    size_t& at_;
};

} // namespace corvane
