#include "catalogue/writers/DataListWriter.h"

#include <stdexcept>

namespace corvane {

std::string WriteDataList(const std::vector<DataListEntry>& entries)
{
    std::string out;
    for (const DataListEntry& e : entries) {
        if (e.Level < 0 || e.Level > 9 || e.Type < 0 || e.Type > 9)
            throw std::invalid_argument("data list: level and type must be one digit: " + e.Title);
        for (const std::string* s : {&e.Title, &e.File})
            if (s->find_first_of("\r\n\x1A") != std::string::npos)
                throw std::invalid_argument("data list: a line break in " + e.Title);
        out += std::to_string(e.Level) + " " + e.Title + "\r\n";
        out += std::to_string(e.Type) + " " + e.File + "\r\n";
    }
    return out;
}

} // namespace corvane
