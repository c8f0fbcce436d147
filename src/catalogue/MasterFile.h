#pragma once
// A theme of the atlas as described by its master file (.MAS): data set descriptors with
// their files, the theme's extents, its key and its query labelling block.
//
// The records keep the chained-list shape of the files (NextDSD, NextDFN, NextKD, ...): each
// record owns the rest of its chain, except NextMAS, which links themes in a map definition's
// list without owning them.
//
// A master file is read by one reader per section (the theme, each data set descriptor, the
// key, the symbol text block), all sharing one reading position (MASFileReader).
#include "platform/Colour.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace corvane {

class ByteSource;
class MASFileReader;
class MessageSink;

// Layer format codes of a data set descriptor.
enum DataTypeCode : uint8_t {
    dtVEC = 1,   // vector lines
    dtMRL = 2,   // monochrome run-length raster
    dtRLE = 3,   // colour run-length raster
    dtSYX = 4,   // point symbols with information
    dtSYM = 5,   // point symbols
    dtLBL = 6,   // labels
    dtPOL7 = 7,  // polygons, skip count 2, outlines only
    dtPOL8 = 8,  // polygons, skip count 0, filled
    dtPOL9 = 9,  // polygons, skip count 2, filled
};

// Colour numbers 0..15 of master files as 0x00BBGGRR (6 is the same as 4).
extern const Colour DOSColour[16];

// Line style numbers 0..12 of master files as pen style ordinals
// (0 solid, 1 dash, 2 dot, 3 dash-dot, 4 dash-dot-dot, 5 clear).
extern const uint8_t DOSLineStyle[13];

struct DFNStruct {
    std::string FileName;            // may begin with "CDROM:"
    double Trigger_Scale = 0.0;
    std::unique_ptr<DFNStruct> NextDFN;
};

struct DSDStruct {
    // Reads one descriptor at the reading position of in: its first line InitStr was already
    // read by the caller (leading blanks removed); InDSDNum is "Data Set " + the 1-based slot
    // number, used in messages. A name not ending in "S" gives an empty descriptor and the
    // information "INI files - Data Set Descriptor not implemented.".
    static std::unique_ptr<DSDStruct> Create(MASFileReader& in, const std::string& InitStr,
                                             const std::string& InDSDNum);
    // Parses a descriptor's first line into Data_Type, Number_Of_Files, Plot_Before_Coastline
    // and Key_Entry_Adjustment; false at the first field that is not an integer (the fields
    // before it keep their values, the rest stay 0). Values are taken modulo 256.
    bool Read_InitStr(const std::string& InitStr);

    uint8_t Data_Type = 0;
    uint8_t Number_Of_Files = 0;
    bool Plot_Before_Coastline = false;
    uint8_t Key_Entry_Adjustment = 0;
    uint8_t Current_Level = 0;       // 1-based fixed level; 0 = choose by scale
    std::unique_ptr<DFNStruct> NextDFN;
    std::unique_ptr<DSDStruct> NextDSD;
};

struct K_Descriptor {
    bool Hidden = false;
    bool Active = false;
    uint8_t Entry_Type = 0;          // 0 none, 1 line, 2 box, 3 symbol, 4 "TEXT", 5 symbol 15
    uint8_t Top_Style = 0;
    uint8_t Bottom_Style = 0;
    uint8_t Number_Of_Text_Lines = 0;
    uint8_t Display_Order = 0;
    Colour Top_Colour = 0;           // already through DOSColour
    Colour Bottom_Colour = 0;
    uint8_t Top_Colour_Number = 0;   // the colour numbers 0..15 of the file (written back by
    uint8_t Bottom_Colour_Number = 0; // the master file writer, which ignores the colours)
    uint8_t TextIdx = 0;             // index in Text of the entry's last line
    std::unique_ptr<K_Descriptor> NextKD;
};

struct KeyStruct {
    // Reads the key at the reading position of in. A colour number outside 0..15, another
    // field outside its range, or text lines that push TextIdx past 255 end the key with
    // "Range check error in " + file name; the entries completed before stay. NumItems and
    // Num_HdrLines always count what the key holds. A name not ending in "S" gives an empty key.
    static std::unique_ptr<KeyStruct> Create(MASFileReader& in);

    uint8_t NumItems = 0;
    int16_t Width = 0;
    uint8_t Num_HdrLines = 0;
    std::unique_ptr<K_Descriptor> NextKD;
    std::vector<std::string> Text;   // heading lines, then each entry's lines in entry order
};

struct Sym_Text_Line_Type {
    uint8_t Line_Code = 0;
    uint8_t Data_Type = 0;
    uint8_t Number_Width = 0;
    uint8_t Decimal_Places = 0;
    uint8_t Action = 0;
    int8_t Preceding_Header = 0;
    uint8_t Already_Printed = 0;
    uint8_t Heading_Justify = 0;
    uint8_t Heading_Colour = 0;      // index into DOSColour
    int16_t Data_Inset = 0;
    uint8_t Data_Colour = 0;         // index into DOSColour
    std::string Header_Text;         // at most 72 characters
    std::unique_ptr<Sym_Text_Line_Type> Next;
};

struct Sym_Text_Control_Block {
    // Reads the symbol text block from the reading position of in: lines up to one beginning
    // with "#####", a count line, then Number_Of_Defns + 1 definitions. An empty block (no
    // "#####" line, or "Error in Symbol Text Information." when the file is already at its end)
    // has Number_Of_Defns 0 and no Line_Array; walk Line_Array rather than trusting the count.
    // A name not ending in "S" shows "INI files - Sym_Text not implemented.".
    static std::unique_ptr<Sym_Text_Control_Block> Create(MASFileReader& in);

    uint8_t Number_Of_Defns = 0;     // the block holds Number_Of_Defns + 1 definitions
    int8_t Lines_To_Add = 0;
    std::unique_ptr<Sym_Text_Line_Type> Line_Array;
};

struct MASStruct {
    // Reads a master file (a name whose last character is not "S" gives an empty theme; a file
    // that cannot be opened gives an empty theme without a message). Messages about a damaged
    // file go to sink. Filename is the resolved path (the "CDROM:" rule already applied).
    static std::unique_ptr<MASStruct> Create(const std::string& Filename, MessageSink& sink);
    // The same from bytes already at hand (Filename gives the "S" rule and the messages).
    static std::unique_ptr<MASStruct> Create(const std::string& Filename, const ByteSource& src,
                                             MessageSink& sink);
    // Walk NextDSD, NextDFN, NextKD and Line_Array rather than trusting the counts: a damaged
    // file leaves what was read before the damage (Number_Of_Files, NumItems, Num_HdrLines and
    // Number_Of_Defns are set to what the lists hold; Number_Of_Datasets counts slots, of which
    // blank ones hold no descriptor).

    uint8_t Number_Of_Datasets = 0;
    std::unique_ptr<std::string> TextFileName;   // none when the line is empty
    std::unique_ptr<std::string> Title;          // set by whoever loads the theme
    std::unique_ptr<DSDStruct> NextDSD;
    MASStruct* NextMAS = nullptr;                // not owned
    std::unique_ptr<KeyStruct> Key;
    std::unique_ptr<Sym_Text_Control_Block> Sym_Text;
    bool Coastline_Included = false;
    bool May_Be_Top_Level = false;
    bool Alternate_Coastline = false;
    int32_t Force_Coastline_Style = 0;
    double Minlat = 0, Maxlat = 0, Minlon = 0, Maxlon = 0;
    double DefaultMinlat = 0, DefaultMaxlat = 0, DefaultMinlon = 0, DefaultMaxlon = 0;
};

// True when the last character of Filename, upper-cased, is "S" (a master file; other names
// are initialisation files, which are not read).
bool IsMasterFileName(const std::string& Filename);

} // namespace corvane
