#pragma once
// The data list file: the atlas's table of contents, a tree of headings and themes, each
// theme naming its master file (or, for text pages, its text file).
#include <string>

namespace corvane {

class MessageSink;

// Finds the first entry of the data list file (CvVars::DatalistFile, after the "CDROM:" rule
// was applied to it at start-up) whose title equals Title without regard to case, and puts
// its file into sFile (no "CDROM:" rule applied; empty when not found). Text pages match with
// the prefix "(Text) ". An unreadable file gives the warning
// "There is a problem opening file " + DatalistFile + "." and an empty sFile.
void ReadDataListFile(const std::string& Title, std::string& sFile, MessageSink& sink);

} // namespace corvane
