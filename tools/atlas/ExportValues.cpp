#include "ExportValues.h"

#include <cctype>
#include <cstddef>

namespace corvane::atlas {

namespace {

// Digits from i on; false when there are none, or a leading zero before another digit.
bool Digits(const std::string& s, size_t& i, bool leadingZeroAllowed)
{
    const size_t from = i;
    while (i < s.size() && std::isdigit(static_cast<unsigned char>(s[i]))) ++i;
    if (i == from) return false;
    return leadingZeroAllowed || s[from] != '0' || i - from == 1;
}

// Whether s is a decimal number, and whether a whole one.
bool Number(const std::string& s, bool& whole)
{
    size_t i = 0;
    if (i < s.size() && (s[i] == '-' || s[i] == '+')) ++i;
    const size_t start = i;
    const bool intPart = Digits(s, i, false);
    if (!intPart && (i != start || i >= s.size() || s[i] != '.')) return false;
    whole = true;
    if (i < s.size() && s[i] == '.') {
        ++i;
        whole = false;
        if (!Digits(s, i, true) && !intPart) return false;
    }
    if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
        ++i;
        if (i < s.size() && (s[i] == '-' || s[i] == '+')) ++i;
        if (!Digits(s, i, true)) return false;
        whole = false;
    }
    // A whole number beyond 18 digits does not fit 64 bits.
    if (whole && s.size() > 18) whole = false;
    return i == s.size();
}

} // namespace

ValueType TypeOfValues(const std::vector<std::string>& values)
{
    bool any = false, allWhole = true;
    for (const std::string& v : values) {
        if (v.empty()) continue;
        bool whole = false;
        if (!Number(v, whole)) return ValueType::Text;
        any = true;
        allWhole = allWhole && whole;
    }
    if (!any) return ValueType::Text;
    return allWhole ? ValueType::Integer : ValueType::Real;
}

} // namespace corvane::atlas
