#pragma once
// Paths named in data files: "CDROM:" prefix substitution, and the turn from a DOS-style
// data path ("D:\CorvaneV3\Misc\MainMenu.Dat") into a native one. A path may lead into a
// disc image ("/home/me/atlas.iso\Misc\MainMenu.Dat"): the image is read without mounting it
// and its files are found with the same rules as those of a folder.
#include <memory>
#include <string>
#include <vector>

namespace corvane {

class ByteSource;
class DiscImage;
struct DiscEntry;

// The "CDROM:" rule: a path whose first six characters equal "CDROM:" without regard to
// case becomes cdrom + the rest of the path. Any other path is returned unchanged. Pure
// string operation. The result is not cut to the 80 characters of a stored path: a medium
// in a deep folder must still be found.
std::string CheckCD_Drive(const std::string& path, const std::string& cdrom);
// The same with the process-wide CvVars::CDROM.
std::string CheckCD_Drive(const std::string& path);

// Drive letters. On this platform the mounted CD-ROM file systems stand for drive letters
// (see CdromMounts.h); "C:" is the file system root. A letter with no root maps to nothing.
void SetDriveRoot(char letter, const std::string& nativeDir);
void ClearDriveRoots();
std::string DriveRoot(char letter);   // empty when the letter has no root

// What a data path names on this machine.
struct ResolvedPath {
    // The native path. Inside a disc image: the image's path, '/' and the path inside it.
    std::string native;
    std::string imagePath;                    // the disc image the path leads into, if any
    std::shared_ptr<const DiscImage> image;   // that image, when it could be read
    const DiscEntry* entry = nullptr;         // what the path names inside it; nullptr: nothing
    std::string imageProblem;                 // why a disc image on the path cannot be read
    // Why the path is not followed at all: a "CDROM:" path whose ".." lead above the data
    // medium's root names nothing (and native is the path as written).
    std::string refused;
};

// Turns a data path into what it names: a drive letter becomes its root, '\' becomes '/',
// and each component that does not exist in the case given is matched without regard to
// case (the first match in name order wins). Components that match nothing are kept as
// given, so the result names a file that does not exist. A regular file followed by more
// components is taken for a disc image holding the rest of the path. A path below the data
// medium's root (CvVars::CDROM, as the "CDROM:" rule makes it) stays below it: one whose ".."
// climb above the root is refused. Symbolic links on the medium are followed as its own.
ResolvedPath ResolveDataPath(const std::string& dataPath);
// The native path of ResolveDataPath (for messages, and for files outside disc images).
std::string NativePath(const std::string& dataPath);

bool FileExists(const std::string& dataPath);       // regular files only (in a folder or an image)
bool DirectoryExists(const std::string& dataPath);  // a folder, or the root of a disc image

// Opens a data file; nullptr when it cannot be opened. Every data file (master files, the
// data list, layers, query information files, text pages) is opened through this function:
// only regular files (or the files of a disc image), without waiting (see FileSource::Open).
// problem receives why it could not, as words to add to the message of the file's format
// ("it is not a regular file", "it leads outside the data medium /media/cd", "Permission
// denied"); it stays empty when the file simply is not there (the format's message says enough).
std::unique_ptr<ByteSource> OpenDataFile(const std::string& dataPath, std::string* problem = nullptr);

// The problem of OpenDataFile, for a message given after a reader failed to open a file.
std::string DataFileProblem(const std::string& dataPath);

struct DataFolderEntry {
    std::string name;
    bool folder = false;
};
// The entries of a data folder (or of a folder inside a disc image), without "." and "..", in
// no particular order; false when the path names no folder.
bool ListDataFolder(const std::string& dataDir, std::vector<DataFolderEntry>& entries);

// Whether a data path names a file with the volume descriptors of a disc image (readable or not).
bool IsDiscImageFile(const std::string& dataPath);

// Why the data medium at a path cannot be used ("The disc image X cannot be read: ..."), or
// empty when nothing is known against it. A folder or file that does not exist is no problem
// here: the search for the data list goes on to the other places.
std::string DataMediumProblem(const std::string& path);

// The disc image of a native file, read once and kept while the file stays the same;
// nullptr, and the reason, when it is no image that can be read.
std::shared_ptr<const DiscImage> OpenDiscImage(const std::string& nativePath, std::string& problem);

// Folder part of a path, with its trailing separator ('\' or '/'), as the classic
// ExtractFilePath; empty when there is none.
std::string ExtractFilePath(const std::string& path);
std::string ExtractFileName(const std::string& path);
// Replaces (or adds) the extension; ext includes the dot.
std::string ChangeFileExt(const std::string& path, const std::string& ext);

std::string UpperCase(const std::string& s);   // ASCII letters only
std::string LowerCase(const std::string& s);
bool SameText(const std::string& a, const std::string& b);

} // namespace corvane
