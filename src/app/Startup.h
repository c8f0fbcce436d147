#pragma once
// The program's start: command line, settings, splash, main window, first map.

namespace corvane {

// The application title shown where the desktop names the application (message boxes).
constexpr const char* kApplicationTitle = "Corvane for Windows";
constexpr const char* kHelpFile = "Corvane.hlp";

// Runs the viewer; the exit status of the program.
int RunCorvane(int argc, char** argv);

} // namespace corvane
