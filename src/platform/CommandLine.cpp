#include "platform/CommandLine.h"

namespace corvane {

bool ParseCommandLine(const std::vector<std::string>& args, CommandLineOptions& options, std::string& error)
{
    options = CommandLineOptions{};
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--help" || a == "-h") {
            options.help = true;
            continue;
        }
        if (a == "--version") {
            options.version = true;
            continue;
        }
        if (a.size() > 2 && a.compare(0, 2, "--") == 0) {
            std::string name = a.substr(2), value;
            bool hasValue = false;
            size_t eq = name.find('=');
            if (eq != std::string::npos) {
                value = name.substr(eq + 1);
                name = name.substr(0, eq);
                hasValue = true;
            }
            std::optional<std::string>* target = name == "cdrom" ? &options.cdrom
                                                 : name == "datalist" ? &options.datalist
                                                 : name == "settings" ? &options.settings
                                                                       : nullptr;
            if (!target) {
                error = "unknown option " + a;
                return false;
            }
            if (!hasValue) {
                if (i + 1 >= args.size()) {
                    error = "option --" + name + " needs a value";
                    return false;
                }
                value = args[++i];
            }
            if (value.empty()) {
                error = "option --" + name + " needs a value";
                return false;
            }
            *target = value;
            continue;
        }
        if (a.size() > 1 && a[0] == '-') {
            error = "unknown option " + a;
            return false;
        }
        if (!options.mapFile.empty()) {
            error = "only one map definition file may be given";
            return false;
        }
        options.mapFile = a;
    }
    return true;
}

std::string CommandLineUsage(const std::string& program)
{
    return "Usage: " + program +
           " [MAP.MDF] [--cdrom DIR] [--datalist FILE] [--settings FILE]\n"
           "  MAP.MDF          a map definition file to open instead of a new map\n"
           "  --cdrom DIR      the data medium's root for this run (a folder or a drive such as E:)\n"
           "  --datalist FILE  the data list file for this run (may begin with CDROM:)\n"
           "  --settings FILE  the settings file to use instead of the per-user one\n"
           "  --help           show this text\n"
           "  --version        show the program's version\n";
}

} // namespace corvane
