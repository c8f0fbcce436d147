#pragma once
// Names folded for matching: case, accents and the code page are left out, so that "goteborg"
// finds "Göteborg", "izmir" finds "Izmir" (and "İzmir" typed finds it too), "aero" finds "Ærø"
// and "lodz" "Łódź". A folded name is lower-case ASCII letters and digits in words separated by
// single blanks, without blanks at either end: every other character (blanks, punctuation,
// dashes, quotes) separates words; letters with accents lose them, ligatures and the letters
// of their own (æ, œ, ß, þ) become two; combining accents typed apart from their letter are
// dropped. Characters of other scripts are kept as they are (they match only themselves).
#include <cstdint>
#include <string>
#include <string_view>

namespace corvane {

// Names of the atlas: Windows-1252 bytes, as the data files hold them.
std::string FoldName(const std::string& cp1252);
// What the user types: UTF-8.
std::string FoldQuery(const std::string& utf8);

// The 64-bit FNV-1a hash of bytes (folded names, and what they are kept by), going on from h.
constexpr uint64_t kFnvStart = 1469598103934665603ull;
inline uint64_t Fnv1a(std::string_view bytes, uint64_t h = kFnvStart)
{
    for (const char c : bytes) h = (h ^ static_cast<uint8_t>(c)) * 1099511628211ull;
    return h;
}

} // namespace corvane
