#pragma once
// Text files: reading data files into lines, and saving through a temporary file with a
// backup of the previous version.
#include <string>
#include <vector>

namespace corvane {

class ByteSource;

// All bytes of a source (at most maxBytes; false when larger or unreadable).
bool ReadAllBytes(const ByteSource& src, std::string& out, size_t maxBytes = 256u << 20);
// All bytes of a native file.
bool ReadNativeFile(const std::string& nativePath, std::string& out, size_t maxBytes = 256u << 20);

// Splits text into lines as a classic text-file reader does: CR LF, LF or a lone CR end a
// line; a Ctrl+Z (0x1A) ends the file; a last line without a terminator still counts.
std::vector<std::string> SplitLines(const std::string& text);

std::string TrimLeft(const std::string& s);    // blanks and control characters
std::string TrimRight(const std::string& s);
std::string Trim(const std::string& s);

// Writes data to a temporary file in the same folder and renames it into place, so that the
// file is never seen half-written. False (and a reason) on failure, the old file untouched.
bool WriteFileAtomic(const std::string& nativePath, const std::string& data, std::string* error = nullptr);

// Saving with a backup: the new text is written to a temporary file first; then the
// existing file becomes the same name with extension ".BAK" (replacing an older backup) and
// the temporary file takes its name. Nothing is lost when any step fails.
bool SaveWithBackup(const std::string& nativePath, const std::string& data, std::string* error = nullptr);

} // namespace corvane
