#pragma once
// The files a run of a program reads, known by device and inode so that no spelling of a name
// (a link, "./", another case on a folder that ignores case) hides one. Every file opened for
// reading is recorded here; the safe write refuses to replace one of them, so that an output
// named like an input (a data list, a map file, a disc image) never destroys it.
//
// Recording starts when a program calls BeginRunInputs; until then (in tests of other
// subjects) nothing is recorded and nothing refused.
#include <cstdint>
#include <string>

namespace corvane {

void BeginRunInputs();
// Stops recording and forgets every file recorded.
void EndRunInputs();

void RecordRunInput(uint64_t device, uint64_t inode);
// Records the file a native path names (links followed); false when there is none.
bool RecordRunInput(const std::string& nativePath);
// True when the native path names (links followed) a file that this run reads.
bool IsRunInput(const std::string& nativePath);
// A file read as a document to be edited and written back (the viewer's map definition, its
// settings, a text page) is no input that a save must keep.
void ForgetRunInput(const std::string& nativePath);

} // namespace corvane
