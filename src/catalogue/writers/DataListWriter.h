#pragma once
// Writes a data list file (the atlas's table of contents) in the layout the data list
// readers expect.
#include <string>
#include <vector>

namespace corvane {

struct DataListEntry {
    int Level = 1;          // 0..9; a level one more than the entry before makes it a child
    std::string Title;      // without the "(Text) " prefix, which type 0 implies
    int Type = 1;           // 0..9; 0 = text page
    std::string File;       // a path ("CDROM:\...") or "XXXX" for a heading
};

// The text of the data list, lines ended by CR LF. Throws std::invalid_argument for a level
// or type outside 0..9 or a title or file holding a line break, which the readers cannot
// read back.
std::string WriteDataList(const std::vector<DataListEntry>& entries);

} // namespace corvane
