#pragma once
// Reading the records of a data set's query information file (the file in the "DNN" folder
// beside its layer files). A point symbol or polygon found by a query click points at one
// record:
//  - kind 0: one line of text, a length byte n followed by n characters;
//  - kinds 1 and 2: a headed record, laid out by the theme's query line definitions
//    (QueryReport.h): an entry count, for kind 2 a display count, then the entries. Each
//    entry is a line code (the 0-based index of the definition that formats it) and, when
//    the definitions carry values, a length byte and that many characters (at most 70 are
//    kept). Two line codes are markers: 0xFE clears the "already printed" flags of every
//    definition and 0xFF continues the record at the 4-byte signed offset that follows; in
//    both cases the entry's own line code comes next, and is never read as another marker.
// In every value the degree sign of the DOS code page (0xF8) becomes that of the Windows
// code page (0xB0).
//
// The files come from the data medium and are not trusted: a record that starts past the
// end of the file, a length byte that asks for more than the file still holds, or a chain of
// continuations that comes back to an offset it already jumped to is damaged, and reading
// stops there with DamagedRecordText.
#include <cstdint>
#include <set>
#include <string>

namespace corvane {

class ByteSource;

// What the map window says when the query information file cannot be opened.
extern const char* const kQueryFileMissing;
// What the query results window says when it cannot open the file.
extern const char* const kQueryFileProblem;
// "The information record in FILE is damaged."
std::string DamagedRecordText(const std::string& fileName);

// The longest value an entry keeps.
constexpr size_t kQueryValueMax = 70;

// Replaces every DOS degree sign (0xF8) by the Windows one (0xB0).
std::string DosDegreesToWindows(std::string text);

// Reads the one-line text of a kind 0 record at offset, as it stands (Windows-1252: unlike
// the values of headed records, 0xF8 is the letter o with a stroke); false when the record
// is damaged (it starts outside the file or its text runs past the end).
bool ReadSingleLine(const ByteSource& file, int64_t offset, std::string& text);

// Reads a headed record (kinds 1 and 2) entry by entry.
class QueryRecordReader {
public:
    QueryRecordReader(const ByteSource& file, int32_t dataType, int64_t offset)
        : file_(file), dataType_(dataType), offset_(offset)
    {
    }

    // Goes to the start of the record and reads its counts: nLines, and ndisplines for kind 2
    // (else ndisplines := nLines). False when the record lies outside the file.
    bool StartUp();
    uint8_t nLines = 0;
    uint8_t ndisplines = 0;

    struct Entry {
        uint8_t lineCode = 0;
        bool clearFlags = false;   // a 0xFE marker came before the line code
        bool hasValue = false;
        std::string value;         // at most kQueryValueMax characters, degrees converted
    };
    // Reads the next entry; withValues: the definitions carry a value with every entry.
    // False when the record is damaged from here on.
    bool Next(bool withValues, Entry& entry);

private:
    bool ReadByte(uint8_t& b);
    const ByteSource& file_;
    int32_t dataType_;
    int64_t offset_;
    int64_t pos_ = 0;
    std::set<int64_t> jumps_;   // continuation offsets already taken in this record
};

} // namespace corvane
