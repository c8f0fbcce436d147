#pragma once
// The program's start: command line, settings, splash, main window, first map.

#include <string>
#include <vector>

namespace corvane {

// The application title shown where the desktop names the application (message boxes).
constexpr const char* kApplicationTitle = "Corvane";
constexpr const char* kHelpFile = "Corvane.hlp";
// The installed launcher (desktop/), without its ".desktop".
constexpr const char* kDesktopFileName = "org.halvern.Corvane";

// Where an installed copy of the sample atlas may be for the program running now: beside it in
// its installation (<prefix>/share/corvane/atlas), then in the folders of the desktop's data.
std::vector<std::string> InstalledSampleAtlases();

class TMainFrm;

// Opens the first map of a start: the map file named (an absolute path), or with none the map
// the settings say (the map open last, or on the first start the medium's sample map), or
// a new map.
void OpenFirstMap(TMainFrm& mainFrm, const std::string& mapFile);

// Runs the viewer; the exit status of the program.
int RunCorvane(int argc, char** argv);

} // namespace corvane
