#include "platform/StartMap.h"

#include "platform/CvVars.h"
#include "platform/DataPath.h"
#include "platform/Settings.h"

#include <climits>
#include <cstdlib>
#include <sys/stat.h>
#include <unistd.h>

namespace corvane {

namespace {

// A data path as a native absolute path, when it names a folder (or a regular file) outside
// any disc image.
std::string NativeOnDisc(const std::string& dataPath, const std::string& cwd, bool folder)
{
    const ResolvedPath r = ResolveDataPath(CheckCD_Drive(dataPath));
    if (!r.imagePath.empty() || r.native.empty()) return {};
    struct stat st {};
    if (::stat(r.native.c_str(), &st) != 0 || (folder ? !S_ISDIR(st.st_mode) : !S_ISREG(st.st_mode))) return {};
    std::string p = r.native;
    if (p[0] != '/' && !cwd.empty()) p = (cwd.back() == '/' ? cwd : cwd + "/") + p;
    // An installed atlas is found beside the program ("<prefix>/bin/../share/..."): the name
    // kept, shown in the caption and the recent maps, is the plain one.
    char plain[PATH_MAX];
    return ::realpath(p.c_str(), plain) ? std::string(plain) : p;
}

bool IsFile(const std::string& path)
{
    struct stat st {};
    return !path.empty() && ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

} // namespace

bool ReopensLastMap(const SettingsStore& settings)
{
    return settings.ReadBool(SettingNames::Start, SettingNames::ReopenLastMap, true);
}

void SetReopensLastMap(SettingsStore& settings, bool reopen)
{
    if (ReopensLastMap(settings) != reopen) settings.WriteBool(SettingNames::Start, SettingNames::ReopenLastMap, reopen);
}

std::string StartMap(const SettingsStore& settings, const std::string& cwd)
{
    using namespace SettingNames;
    if (!ReopensLastMap(settings)) return {};
    if (settings.Ini().ValueExists(Start, LastMap)) {
        const std::string last = settings.ReadString(Start, LastMap, "");
        return IsFile(last) ? last : std::string();
    }
    return NativeOnDisc(kSampleMap, cwd, false);
}

void WriteLastMap(SettingsStore& settings, const std::string& path)
{
    using namespace SettingNames;
    if (!settings.Ini().ValueExists(Start, LastMap) || settings.ReadString(Start, LastMap, "") != path)
        settings.WriteString(Start, LastMap, path);
}

std::string MediumMapFolder(const std::string& cwd)
{
    const std::string folder = NativeOnDisc(kMediumMapFolder, cwd, true);
    return folder.empty() || folder.back() == '/' ? folder : folder + "/";
}

void OfferMediumMapFolder(const SettingsStore& settings)
{
    if (settings.Ini().ValueExists(SettingNames::Files, SettingNames::Directory)) return;
    char cwd[4096];
    const std::string folder = MediumMapFolder(::getcwd(cwd, sizeof cwd) ? cwd : "");
    if (!folder.empty()) CvVars::DefaultDir = folder;
}

} // namespace corvane
