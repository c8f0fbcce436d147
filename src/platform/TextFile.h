#pragma once
// Text files: reading data files into lines, and saving through a temporary file with a
// backup of the previous version.
#include <string>
#include <string_view>
#include <vector>

namespace corvane {

class ByteSource;

// All bytes of a source (at most maxBytes; false when larger or unreadable, with the reason
// in problem: TooLargeReason(maxBytes), or that it cannot be read in full).
bool ReadAllBytes(const ByteSource& src, std::string& out, size_t maxBytes = 256u << 20,
                  std::string* problem = nullptr);
// All bytes of a native file (a regular file only, opened without waiting: FileSource::Open).
bool ReadNativeFile(const std::string& nativePath, std::string& out, size_t maxBytes = 256u << 20,
                    std::string* problem = nullptr);
// Why a file larger than maxBytes is not read: "it is larger than the limit of 8 MB".
std::string TooLargeReason(size_t maxBytes);

// Splits text into lines as a classic text-file reader does: CR LF, LF or a lone CR end a
// line; a Ctrl+Z (0x1A) ends the file (unless stopAtEof is false: then it is kept as a
// character of its line); a last line without a terminator still counts.
std::vector<std::string> SplitLines(const std::string& text, bool stopAtEof = true);

// The same lines one at a time, without holding them: a file of line breaks would otherwise
// cost some 30 times its size in empty strings. The text must outlive the reader and the
// views it gives.
class LineReader {
public:
    explicit LineReader(std::string_view text, bool stopAtEof = true);
    // The next line (without its line break); false after the last one.
    bool Next(std::string_view& line);

private:
    std::string_view text_;   // up to the Ctrl+Z that ends it
    size_t pos_ = 0;
};

std::string TrimLeft(const std::string& s);    // blanks and control characters
std::string TrimRight(const std::string& s);
std::string Trim(const std::string& s);

// Writes data to a temporary file in the same folder, flushes it to the disc and renames it
// into place, so that the file is never seen half-written: a failure (a full disc, a file-size
// limit, a folder that cannot be written) leaves the old file whole and no temporary file
// behind. The temporary file has no name until the moment it replaces the file where the file
// system allows that; a temporary file left by a program killed at that moment is removed by
// the next save in its folder (RemoveStaleTemporaries). False, with the system's reason in
// error ("No space left on device"), on failure. A file that this run reads (RunInputs.h) is
// not replaced. The first call ignores SIGXFSZ for the whole process, so that a file-size
// limit is a failed write rather than the end of the program. A name that is a symbolic link
// is written through: the file it points to is replaced and the link stays.
bool WriteFileAtomic(const std::string& nativePath, const std::string& data, std::string* error = nullptr);

// Saving with a backup: the new text is written and flushed to a temporary file first; then
// the existing file is kept under the same name with extension ".BAK" (an older backup is
// replaced only once the new one exists) and the temporary file takes the file's name.
// Failures as for WriteFileAtomic: the file and its backup are never left torn. Through a
// symbolic link, the backup stands beside the file the link points to.
bool SaveWithBackup(const std::string& nativePath, const std::string& data, std::string* error = nullptr);

// The safe write of one of many files of a run (the tiles of a pyramid): as WriteFileAtomic,
// the file is never seen half-written and a file the run reads is not replaced, but the file
// is not flushed to the disc by itself (FlushFileSystemOf flushes them all at the end of the
// run), and the folder's stale temporary files are left for the caller to remove once
// (RemoveStaleTemporaries). A program killed in the middle leaves every file whole or absent.
bool WriteFileWhole(const std::string& nativePath, const std::string& data, std::string* error = nullptr);
// Flushes everything written to the file system that holds path to the disc.
bool FlushFileSystemOf(const std::string& path, std::string* error = nullptr);

// For a file that another writer makes (a database): a name beside target for it to be made
// under, of the form whose files RemoveStaleTemporaries removes once their process has gone;
// then RenameIntoPlace flushes it to the disc and renames it over the name (whose file, if
// any, keeps its owner and permissions), unless the name is a file this run reads.
std::string TemporarySibling(const std::string& target);
bool RenameIntoPlace(const std::string& temporary, const std::string& name, std::string* error = nullptr);

// Removes the temporary files of the safe write (and the folders an export makes its files in)
// in a folder whose writing process has gone (killed in the middle of a save); returns how
// many. Files of other users, and of processes that still run, are left alone.
int RemoveStaleTemporaries(const std::string& folder);

} // namespace corvane
