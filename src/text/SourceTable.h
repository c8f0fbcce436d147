#pragma once
// The table "Source Scale and Date of Origin of Datasets": for each theme of a map, the date
// of origin and the source scale of the file its first data set draws at the map's scale,
// and the theme's title, in fixed columns.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace corvane {

class MapView;
class MessageSink;

constexpr const char* kSourceTableCaption = "Source Scale and Date of Origin of Datasets";
constexpr const char* kSourceTableHeading = "Origin Date  Source Scale  Dataset Title";

// The short name of a month (1..12) in the page's bytes.
using MonthNameFn = std::function<std::string(int month)>;
// From the system's calendar settings (the C library's LC_TIME), in Windows-1252.
std::string SystemShortMonthName(int month);

// The 10-character date of a header's DateOrig (YYYYMMDD): "Unknown   " for 0; six blanks
// and the year without a month or day; the year, a blank, the month's short name and two
// blanks without a day; else day "/" month "/" year, day and month right-aligned in two.
std::string SourceDateField(int32_t DateOrig, const MonthNameFn& monthName = SystemShortMonthName);
// "  Digital  " below 1; else "1:" and the number, padded with blanks to 9 characters.
std::string SourceScaleField(int32_t ScaleOrig);
// date + "   " + scale + "   " + title.
std::string SourceTableLine(int32_t DateOrig, int32_t ScaleOrig, const std::string& Title,
                            const MonthNameFn& monthName = SystemShortMonthName);

// The whole table of the map shown by view (DSSource): the heading, then a line for each base
// theme and then each overlay theme whose first data set has a file at the view's scale that
// its layer reader accepts. A data type without a reader: "Invalid Data Type
// (TempDSD.Data_Type) : " and the number, on sink.
std::vector<std::string> DSSourceLines(const MapView& view, MessageSink& sink,
                                       const MonthNameFn& monthName = SystemShortMonthName);

} // namespace corvane
