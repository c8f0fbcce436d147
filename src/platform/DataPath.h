#pragma once
// Paths named in data files: "CDROM:" prefix substitution, and the turn from a DOS-style
// data path ("D:\CorvaneV3\Misc\MainMenu.Dat") into a native one.
#include <memory>
#include <string>
#include <vector>

namespace corvane {

class ByteSource;

// The "CDROM:" rule: a path whose first six characters equal "CDROM:" without regard to
// case becomes cdrom + the rest of the path, cut to 80 characters. Any other path is
// returned unchanged. Pure string operation.
std::string CheckCD_Drive(const std::string& path, const std::string& cdrom);
// The same with the process-wide CvVars::CDROM.
std::string CheckCD_Drive(const std::string& path);

// Drive letters. On this platform the mounted CD-ROM file systems stand for drive letters
// (see CdromMounts.h); "C:" is the file system root. A letter with no root maps to nothing.
void SetDriveRoot(char letter, const std::string& nativeDir);
void ClearDriveRoots();
std::string DriveRoot(char letter);   // empty when the letter has no root

// Turns a data path into a native path: a drive letter becomes its root, '\' becomes '/',
// and each component that does not exist in the case given is matched without regard to
// case (the first match in name order wins). Components that match nothing are kept as
// given, so the result names a file that does not exist.
std::string NativePath(const std::string& dataPath);

bool FileExists(const std::string& dataPath);       // after NativePath; regular files only
bool DirectoryExists(const std::string& dataPath);

// Opens a data file (after NativePath); nullptr when it cannot be opened.
std::unique_ptr<ByteSource> OpenDataFile(const std::string& dataPath);

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
