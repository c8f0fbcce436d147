#pragma once
// Writes a theme as a master file (.MAS) in the line layout the master file readers expect.
// Used by the atlas compiler and by the tests.
#include "catalogue/MasterFile.h"

#include <string>

namespace corvane {

// The text of a master file for mas, lines ended by CR LF:
// - Number_Of_Datasets slots, at least one per descriptor of NextDSD; slots beyond the
//   descriptors are written as blank lines (they read back as slots without a descriptor);
// - each descriptor with the files of its NextDFN list (their number is written, whatever
//   Number_Of_Files says), and trigger and level lines when it has more than one file;
// - no menu switches; with no slots nothing follows the menu switch line;
// - two blank alternate-coastline lines when Alternate_Coastline is set;
// - the key (an empty one when Key is none): the first Num_HdrLines lines of Text as headings,
//   then each entry of NextKD with its colour numbers (Top_Colour_Number and
//   Bottom_Colour_Number; the translated colours are not looked at) and its next
//   Number_Of_Text_Lines lines of Text (blank lines where Text runs short);
// - the symbol text block when Sym_Text is set: a "#####" line, the count line and one
//   definition line per element of Line_Array (Header_Text cut to 72 characters, with the
//   degree sign and superscript two written in their DOS code page form).
// Reals are written in plain decimal notation with as many digits as needed to read back the
// same double.
std::string WriteMasterFile(const MASStruct& mas);

// A real in plain decimal notation that reads back as the same double.
std::string FormatMasterReal(double v);

} // namespace corvane
