#include "platform/CommandLine.h"

#include <sys/stat.h>
#include <unistd.h>

namespace corvane {

bool ParseArguments(const std::vector<std::string>& args, const std::vector<OptionSpec>& specs,
                    std::string& positional, std::string& error)
{
    auto find = [&](const std::string& name) -> const OptionSpec* {
        for (const OptionSpec& s : specs)
            if (s.name == name) return &s;
        return nullptr;
    };
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        const OptionSpec* spec = nullptr;
        std::string value;
        bool hasValue = false;
        if (a == "-h") {
            spec = find("help");
        } else if (a.size() > 2 && a.compare(0, 2, "--") == 0) {
            std::string name = a.substr(2);
            const size_t eq = name.find('=');
            if (eq != std::string::npos) {
                value = name.substr(eq + 1);
                name = name.substr(0, eq);
                hasValue = true;
            }
            spec = find(name);
        } else if (a.size() > 1 && a[0] == '-') {
            spec = nullptr;
        } else {
            if (!positional.empty()) {
                error = "only one map definition file may be given";
                return false;
            }
            positional = a;
            continue;
        }
        if (!spec) {
            error = "unknown option " + a;
            return false;
        }
        if (spec->flag) {
            if (hasValue) {
                error = "option --" + spec->name + " takes no value";
                return false;
            }
            *spec->flag = true;
            continue;
        }
        if (!hasValue) {
            if (i + 1 >= args.size()) {
                error = "option --" + spec->name + " needs a value";
                return false;
            }
            value = args[++i];
        }
        if (value.empty()) {
            error = "option --" + spec->name + " needs a value";
            return false;
        }
        *spec->value = value;
    }
    return true;
}

bool IsToolkitOption(const std::string& arg, bool& takesValue)
{
    // The options the toolkit's application object reads (and takes away) on every platform
    // and on X11; it reads "--style" as "-style".
    static const char* const withValue[] = {"style", "stylesheet", "platform", "platformpluginpath", "platformtheme",
                                            "plugin", "qwindowgeometry", "geometry", "qwindowicon", "icon",
                                            "qwindowtitle", "title", "session", "display", "name", "visual",
                                            "qmljsdebugger"};
    static const char* const flags[] = {"reverse", "widgetcount", "testability", "nograb", "dograb"};
    if (arg.size() < 2 || arg[0] != '-') return false;
    std::string name = arg.substr(arg.compare(0, 2, "--") == 0 ? 2 : 1);
    const size_t eq = name.find('=');
    const bool inlineValue = eq != std::string::npos;
    if (inlineValue) name.resize(eq);
    for (const char* f : flags)
        if (!inlineValue && name == f) {
            takesValue = false;
            return true;
        }
    for (const char* v : withValue)
        if (name == v) {
            takesValue = !inlineValue;
            return true;
        }
    return false;
}

bool ParseCommandLine(const std::vector<std::string>& args, CommandLineOptions& options, std::string& error)
{
    options = CommandLineOptions{};
    std::vector<std::string> ours;
    for (size_t i = 0; i < args.size(); ++i) {
        bool takesValue = false;
        if (!IsToolkitOption(args[i], takesValue)) {
            ours.push_back(args[i]);
            continue;
        }
        options.toolkit.push_back(args[i]);
        if (!takesValue) continue;
        if (i + 1 >= args.size()) {
            error = "option " + args[i] + " needs a value";
            return false;
        }
        options.toolkit.push_back(args[++i]);
    }
    return ParseArguments(ours,
                          {{"help", nullptr, &options.help},
                           {"version", nullptr, &options.version},
                           {"dark", nullptr, &options.dark},
                           {"cdrom", &options.cdrom, nullptr},
                           {"datalist", &options.datalist, nullptr},
                           {"settings", &options.settings, nullptr}},
                          options.mapFile, error);
}

std::string CommandLineUsage(const std::string& program)
{
    return "Usage: " + program +
           " [MAP.MDF] [--cdrom DIR] [--datalist FILE] [--settings FILE] [--dark]\n"
           "  MAP.MDF          a map definition file to open instead of the map open last\n"
           "  --cdrom DIR      the data medium's root for this run: a folder, a disc image (ISO 9660\n"
           "                   or UDF) such as atlas.iso, or a drive such as E:\n"
           "  --datalist FILE  the data list file for this run (may begin with CDROM:)\n"
           "  --settings FILE  the settings file to use instead of the per-user one\n"
           "  --dark           a dark look (the Fusion style, unless -style names another)\n"
           "  --help           show this text\n"
           "  --version        show the program's version\n"
           "The toolkit's standard options are taken too: -style NAME, -platform NAME,\n"
           "-platformtheme NAME, -reverse, -stylesheet FILE, -display DISPLAY, -geometry WxH+X+Y...\n";
}

bool ResolveMapFileArgument(const std::string& path, const std::string& cwd, std::string& resolved,
                            std::string& error)
{
    std::string p = path;
    while (p.compare(0, 2, "./") == 0) p.erase(0, 2);
    if (p.empty() || p[0] != '/') p = (cwd.empty() || cwd.back() != '/' ? cwd + "/" : cwd) + p;
    struct stat st {};
    if (::stat(p.c_str(), &st) != 0 || !S_ISREG(st.st_mode) || ::access(p.c_str(), R_OK) != 0) {
        error = "Unable to read the map definition file " + path;
        return false;
    }
    resolved = p;
    return true;
}

} // namespace corvane
