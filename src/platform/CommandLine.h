#pragma once
// The viewer's command line: corvane [MAP.MDF] [--cdrom DIR] [--datalist FILE] [--settings FILE]
// [--dark] [--help] [--version], and the toolkit's standard options (-style NAME, -platform
// NAME, -reverse, ...). Options take their value as the next argument or after "=".
#include <optional>
#include <string>
#include <vector>

namespace corvane {

struct CommandLineOptions {
    std::string mapFile;                  // empty: a new map
    std::optional<std::string> cdrom;     // overrides "Files"/"CDROM" for this run
    std::optional<std::string> datalist;  // overrides "Files"/"Data List" for this run
    std::optional<std::string> settings;  // another settings file
    bool dark = false;                    // a dark look of the program's own
    bool help = false;
    bool version = false;
    // The toolkit's standard options found (each with its value), which the toolkit takes
    // from the command line itself.
    std::vector<std::string> toolkit;
};

// Whether an argument is one of the toolkit's standard options ("-style", "-platform",
// "-reverse", ..., also written with two dashes or with "=" and the value); takesValue: it
// is followed by its value unless written with "=".
bool IsToolkitOption(const std::string& arg, bool& takesValue);

// One option of a command line: a flag ("--help") or an option with a value ("--cdrom DIR" or
// "--cdrom=DIR").
struct OptionSpec {
    std::string name;                              // without the leading "--"
    std::optional<std::string>* value = nullptr;   // set for options that take a value
    bool* flag = nullptr;                          // set for flags
};

// Parses arguments against the options given ("-h" stands for "--help" when there is such a
// flag) and at most one plain argument, which goes to positional. False with a reason on a bad
// command line.
bool ParseArguments(const std::vector<std::string>& args, const std::vector<OptionSpec>& specs,
                    std::string& positional, std::string& error);

// Parses the arguments after the program name; false with a reason on a bad command line.
bool ParseCommandLine(const std::vector<std::string>& args, CommandLineOptions& options, std::string& error);

std::string CommandLineUsage(const std::string& program);

// The map definition file named on the command line as an absolute path (a relative one is
// taken from the folder cwd), so that the map window's caption and the folder the open and
// save dialogs offer next name it wherever the program runs later. False with a message when
// it names no readable file.
bool ResolveMapFileArgument(const std::string& path, const std::string& cwd, std::string& resolved,
                            std::string& error);

} // namespace corvane
