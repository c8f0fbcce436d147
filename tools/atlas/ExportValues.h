#pragma once
// The types of the query values an export writes: a field whose values are all numbers is
// exported as a number. No GDAL here.
#include <string>
#include <vector>

namespace corvane::atlas {

enum class ValueType { Integer, Real, Text };

// Integer when every value that is not empty is a whole number in decimal ("12500", "-3"),
// Real when every one is a decimal number ("2.5", "-0.75", "1e3") and some is not whole, Text
// otherwise or when all are empty. A number written with leading zeros ("007") or a decimal
// comma is text: it is a code, or not read as written.
ValueType TypeOfValues(const std::vector<std::string>& values);

} // namespace corvane::atlas
