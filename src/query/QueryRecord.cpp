#include "query/QueryRecord.h"

#include "platform/ByteSource.h"

#include <algorithm>

namespace corvane {

const char* const kQueryFileMissing = "The Query Information file is missing.";
const char* const kQueryFileProblem = "Problem encountered opening the Query Information file.";

std::string DamagedRecordText(const std::string& fileName)
{
    return "The information record in " + fileName + " is damaged.";
}

std::string DosDegreesToWindows(std::string text)
{
    std::replace(text.begin(), text.end(), '\xF8', '\xB0');
    return text;
}

namespace {

// A length byte at pos and its characters; the position moves past them. False when the
// characters run past the end of the file.
bool ReadCountedBytes(const ByteSource& file, int64_t& pos, size_t keep, std::string& text)
{
    uint8_t n = 0;
    if (pos < 0 || file.ReadAt(pos, &n, 1) != 1) return false;
    if (file.Size() - (pos + 1) < n) return false;
    std::string bytes(n, '\0');
    if (n > 0 && file.ReadAt(pos + 1, bytes.data(), n) != n) return false;
    pos += 1 + n;
    bytes.resize(std::min<size_t>(n, keep));
    text = std::move(bytes);
    return true;
}

// The same for a value of a headed record, whose DOS degree signs become Windows ones.
bool ReadCounted(const ByteSource& file, int64_t& pos, size_t keep, std::string& text)
{
    if (!ReadCountedBytes(file, pos, keep, text)) return false;
    text = DosDegreesToWindows(std::move(text));
    return true;
}

} // namespace

bool ReadSingleLine(const ByteSource& file, int64_t offset, std::string& text)
{
    return ReadCountedBytes(file, offset, 255, text);
}

bool QueryRecordReader::ReadByte(uint8_t& b)
{
    if (pos_ < 0 || file_.ReadAt(pos_, &b, 1) != 1) return false;
    ++pos_;
    return true;
}

bool QueryRecordReader::StartUp()
{
    pos_ = offset_;
    jumps_.clear();
    nLines = ndisplines = 0;
    if (!ReadByte(nLines)) return false;
    if (dataType_ == 2) return ReadByte(ndisplines);
    ndisplines = nLines;
    return true;
}

bool QueryRecordReader::Next(bool withValues, Entry& entry)
{
    entry.clearFlags = false;
    entry.hasValue = false;
    uint8_t code = 0;
    if (!ReadByte(code)) return false;
    if (code == 0xFE) {
        entry.clearFlags = true;
        if (!ReadByte(code)) return false;
    } else if (code == 0xFF) {
        uint8_t b[4];
        if (pos_ < 0 || file_.ReadAt(pos_, b, 4) != 4) return false;
        const int32_t target = static_cast<int32_t>(uint32_t{b[0]} | uint32_t{b[1]} << 8 | uint32_t{b[2]} << 16 |
                                                    uint32_t{b[3]} << 24);
        // A continuation that comes back to where one already led would read the same
        // entries over and over.
        if (target < 0 || !jumps_.insert(target).second) return false;
        pos_ = target;
        if (!ReadByte(code)) return false;
    }
    entry.lineCode = code;
    if (withValues) {
        if (!ReadCounted(file_, pos_, kQueryValueMax, entry.value)) return false;
        entry.hasValue = true;
    }
    return true;
}

} // namespace corvane
