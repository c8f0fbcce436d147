#include "AtlasText.h"

#include <cstdint>
#include <vector>

namespace corvane::atlas {

namespace {

// Code points of Windows-1252 bytes 0x80..0x9F (0 where the byte is undefined).
const uint16_t kCp1252High[32] = {
    0x20AC, 0, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0, 0x017D, 0,
    0, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0, 0x017E, 0x0178};

// Base letters of Latin-1 Supplement and Latin Extended-A (U+00C0..U+017F) without their
// accents; a blank entry has no plain form (then "?").
const char* const kPlainLatin =
    // C0..FF
    "AAAAAAACEEEEIIIIDNOOOOO OUUUUYTs"
    "aaaaaaaceeeeiiiidnooooo ouuuuyty"
    // 100..17F
    "AaAaAaCcCcCcCcDdDdEeEeEeEeEeGgGgGgGgHhHhIiIiIiIiIi  JjKkkLlLlLlLlLlNnNnNnnNnOoOoOo  RrRrRrSsSsSsSsTtTtTtUuUuUuUuUuUuWwYyYZzZzZzs";

bool DecodeUtf8(const std::string& s, size_t& i, uint32_t& cp)
{
    const unsigned char c = static_cast<unsigned char>(s[i]);
    int n = c < 0x80 ? 0 : (c >> 5) == 6 ? 1 : (c >> 4) == 14 ? 2 : (c >> 3) == 30 ? 3 : -1;
    if (n < 0 || i + static_cast<size_t>(n) >= s.size() + (n == 0 ? 1 : 0)) { ++i; cp = 0xFFFD; return false; }
    cp = n == 0 ? c : n == 1 ? c & 0x1F : n == 2 ? c & 0x0F : c & 0x07;
    for (int k = 1; k <= n; ++k) {
        const unsigned char d = static_cast<unsigned char>(s[i + static_cast<size_t>(k)]);
        if ((d >> 6) != 2) { ++i; cp = 0xFFFD; return false; }
        cp = (cp << 6) | (d & 0x3F);
    }
    i += static_cast<size_t>(n) + 1;
    return true;
}

// The Windows-1252 byte of a code point, or -1.
int Cp1252Byte(uint32_t cp)
{
    if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF)) return static_cast<int>(cp);
    for (int k = 0; k < 32; ++k)
        if (kCp1252High[k] && kCp1252High[k] == cp) return 0x80 + k;
    return -1;
}

// Code page 437 bytes of the box-drawing characters U+2500..U+257F that it has.
int Cp437BoxByte(uint32_t cp)
{
    struct Pair { uint16_t cp; uint8_t b; };
    static const Pair table[] = {
        {0x2500, 0xC4}, {0x2502, 0xB3}, {0x250C, 0xDA}, {0x2510, 0xBF}, {0x2514, 0xC0}, {0x2518, 0xD9},
        {0x251C, 0xC3}, {0x2524, 0xB4}, {0x252C, 0xC2}, {0x2534, 0xC1}, {0x253C, 0xC5}, {0x2550, 0xCD},
        {0x2551, 0xBA}, {0x2554, 0xC9}, {0x2557, 0xBB}, {0x255A, 0xC8}, {0x255D, 0xBC}, {0x2560, 0xCC},
        {0x2563, 0xB9}, {0x2566, 0xCB}, {0x2569, 0xCA}, {0x256C, 0xCE}, {0x2588, 0xDB}, {0x2591, 0xB0},
        {0x2592, 0xB1}, {0x2593, 0xB2}};
    for (const Pair& p : table)
        if (p.cp == cp) return p.b;
    return -1;
}

// A plain ASCII form of a letter, or 0.
char PlainLetter(uint32_t cp)
{
    if (cp >= 0xC0 && cp <= 0x17F) {
        char c = kPlainLatin[cp - 0xC0];
        return c == ' ' ? 0 : c;
    }
    switch (cp) {
    case 0x0131: return 'i';   // dotless i
    case 0x0218: return 'S';   // S with comma below
    case 0x0219: return 's';
    case 0x021A: return 'T';
    case 0x021B: return 't';
    case 0x2018: case 0x2019: return '\'';
    case 0x201C: case 0x201D: return '"';
    case 0x2013: case 0x2014: return '-';
    case 0x00A0: return ' ';
    default: return 0;
    }
}

} // namespace

std::string ToAtlasText(const std::string& utf8, TextUse use)
{
    std::string out;
    out.reserve(utf8.size());
    for (size_t i = 0; i < utf8.size();) {
        uint32_t cp = 0;
        DecodeUtf8(utf8, i, cp);
        if (use == TextUse::Page) {
            if (cp < 0x80) { out += static_cast<char>(cp); continue; }
            if (cp == 0xB0) { out += static_cast<char>(0xF8); continue; }   // the DOS degree sign
            if (int b = Cp437BoxByte(cp); b >= 0) { out += static_cast<char>(b); continue; }
            if (char c = PlainLetter(cp)) { out += c; continue; }
            if (cp == 0xA9) { out += "(c)"; continue; }
            out += '?';
            continue;
        }
        int b = Cp1252Byte(cp);
        if ((use == TextUse::QueryValue || use == TextUse::QueryHeading) && b == 0xF8) b = 'o';
        if (use == TextUse::QueryHeading && b == 0xFD) b = 'y';
        if (b >= 0) { out += static_cast<char>(b); continue; }
        if (char c = PlainLetter(cp)) { out += c; continue; }
        out += '?';
    }
    return out;
}

std::string ExpandTemplate(const std::string& tpl,
                           const std::function<std::optional<std::string>(const std::string&)>& field,
                           std::string* missing)
{
    std::string out;
    for (size_t i = 0; i < tpl.size(); ++i) {
        if (tpl[i] == '{' && i + 1 < tpl.size() && tpl[i + 1] == '{') { out += '{'; ++i; continue; }
        if (tpl[i] == '}' && i + 1 < tpl.size() && tpl[i + 1] == '}') { out += '}'; ++i; continue; }
        if (tpl[i] != '{') { out += tpl[i]; continue; }
        size_t close = tpl.find('}', i + 1);
        if (close == std::string::npos) { out += tpl.substr(i); break; }
        std::string name = tpl.substr(i + 1, close - i - 1);
        if (std::optional<std::string> v = field(name)) out += *v;
        else if (missing && missing->empty()) *missing = name;
        i = close;
    }
    return out;
}

} // namespace corvane::atlas
