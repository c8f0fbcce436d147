#include "platform/DataListSearch.h"

#include "platform/CdromMounts.h"
#include "platform/CvVars.h"
#include "platform/DataPath.h"
#include "platform/DialogService.h"
#include "platform/MessageSink.h"
#include "platform/Settings.h"

#include <algorithm>
#include <cstdlib>
#include <unistd.h>

namespace corvane {

ChosenDataList SplitChosenDataList(const std::string& chosenPath)
{
    std::string dos = chosenPath;
    std::replace(dos.begin(), dos.end(), '/', '\\');
    const std::string mark = "\\MISC\\MAINMENU.DAT";
    size_t at = UpperCase(dos).find(mark);
    ChosenDataList r;
    if (at != std::string::npos) {
        r.cdrom = chosenPath.substr(0, at);
        r.datalist = dos.substr(at);
    } else {
        // Taken as a full path: its folder is the data root.
        size_t k = dos.find_last_of('\\');
        r.cdrom = k == std::string::npos ? std::string() : chosenPath.substr(0, k);
        r.datalist = k == std::string::npos ? "\\" + dos : dos.substr(k);
    }
    return r;
}

std::vector<std::string> SampleAtlasFolders(const std::string& programDir, const std::string& binToData,
                                            const char* xdgDataHome, const char* home, const char* xdgDataDirs)
{
    std::vector<std::string> out;
    auto add = [&out](const std::string& dataDir) {
        if (dataDir.empty()) return;
        std::string f = dataDir + (dataDir.back() == '/' ? "" : "/") + "corvane/atlas";
        if (std::find(out.begin(), out.end(), f) == out.end()) out.push_back(f);
    };
    if (!programDir.empty() && !binToData.empty()) add(programDir + "/" + binToData);
    if (xdgDataHome && *xdgDataHome) add(xdgDataHome);
    else if (home && *home) add(std::string(home) + "/.local/share");
    const std::string dirs = xdgDataDirs && *xdgDataDirs ? xdgDataDirs : "/usr/local/share:/usr/share";
    for (size_t i = 0; i <= dirs.size();) {
        size_t j = dirs.find(':', i);
        if (j == std::string::npos) j = dirs.size();
        if (j > i && dirs[i] == '/') add(dirs.substr(i, j - i));
        i = j + 1;
    }
    return out;
}

std::vector<std::string> InstalledSampleAtlases()
{
    std::string program(4096, '\0');
    const ssize_t n = ::readlink("/proc/self/exe", program.data(), program.size());
    program.resize(n > 0 && static_cast<size_t>(n) < program.size() ? static_cast<size_t>(n) : 0);
    const size_t slash = program.find_last_of('/');
    const std::string folder = slash == std::string::npos ? std::string() : program.substr(0, slash);
    return SampleAtlasFolders(folder, CORVANE_BIN_TO_DATA, std::getenv("XDG_DATA_HOME"), std::getenv("HOME"),
                              std::getenv("XDG_DATA_DIRS"));
}

std::string DataListBelowRoot(const std::string& storedDataList)
{
    if (storedDataList.size() > 6 && UpperCase(storedDataList.substr(0, 6)) == "CDROM:") return storedDataList.substr(6);
    return "\\Misc\\MainMenu.Dat";
}

std::string GivenMediumProblem(const std::string& medium)
{
    std::string problem = DataMediumProblem(medium);
    if (problem.empty() && !FileExists(medium) && !DirectoryExists(medium))
        problem = "The data medium " + medium + " cannot be found.";
    return problem;
}

bool NoMediumNamed(const SettingsStore& settings, const SettingOverrides& overrides)
{
    return !overrides.cdrom && !settings.Ini().ValueExists(SettingNames::Files, SettingNames::CDROM);
}

bool DataListSearch::SearchCdromDrives()
{
    using namespace CvVars;
    for (char letter = 'A'; letter <= 'Z'; ++letter) {
        if (!IsCdromDrive(letter)) continue;
        std::string drive = std::string(1, letter) + ":";
        if (!FileExists(drive + DatalistFile)) continue;
        size_t cut = std::min(CDROM.size(), DatalistFile.size());
        DatalistFile = "CDROM:" + DatalistFile.substr(cut);
        CDROM = drive + CDROM;
        DatalistFile = CheckCD_Drive(DatalistFile);
        return true;
    }
    return false;
}

bool FindSampleAtlas(const std::vector<std::string>& folders, const std::string& belowRoot)
{
    for (const std::string& folder : folders) {
        if (!FileExists(folder + belowRoot)) continue;
        CvVars::CDROM = folder;
        CvVars::DatalistFile = CheckCD_Drive("CDROM:" + belowRoot);
        return true;
    }
    return false;
}

bool DataListSearch::SearchSampleAtlas(const std::vector<std::string>& folders)
{
    return FindSampleAtlas(folders, belowRoot_);
}

void DataListSearch::OfferAsDefault(const std::string& cdrom, const std::string& datalist)
{
    const std::string stored = "CDROM:" + datalist;
    if (!Storable(cdrom) || !Storable(stored)) {
        // Cut to the length of a stored path it would name another place.
        sink_.Info("The data list " + cdrom + datalist + " is used for this session only: its path is longer than " +
                   std::to_string(kStoredPathLength) + " characters and cannot be stored as the default.");
        return;
    }
    if (sink_.Confirm("Do you want to use " + cdrom + datalist + " as the default file ?", MsgButtons::YesNo) ==
        MsgResult::Yes) {
        settings_.WriteString(SettingNames::Files, SettingNames::CDROM, cdrom);
        settings_.WriteString(SettingNames::Files, SettingNames::DataList, stored);
    }
}

bool DataListSearch::AskUser()
{
    using namespace CvVars;
    FileDialogRequest request;
    request.title = kDataListDialogTitle;
    request.filter = kDataListDialogFilter;
    request.fileName = kDataListDialogFileName;
    while (!FileExists(DatalistFile)) {
        std::string chosen;
        DialogOutcome outcome = dialogs_.OpenFile(request, chosen);
        if (outcome == DialogOutcome::Failed) {
            ReportDialogFailure(sink_, "Open");
            break;
        }
        if (outcome != DialogOutcome::Ok) break;
        DatalistFile = chosen;
        if (!FileExists(DatalistFile)) continue;
        ChosenDataList split = SplitChosenDataList(chosen);
        if (IsDiscImageFile(chosen)) {
            // A disc image: its root is the data root, the data list lies where it is looked for.
            split = {chosen, belowRoot_};
            std::string problem = DataMediumProblem(chosen);
            if (problem.empty() && !FileExists(chosen + belowRoot_))
                problem = "The disc image " + chosen + " holds no data list " + belowRoot_ + ".";
            if (!problem.empty()) {
                sink_.Error(problem);
                DatalistFile = chosen + belowRoot_;
                continue;
            }
        }
        CDROM = split.cdrom;
        DatalistFile = split.datalist;
        OfferAsDefault(CDROM, DatalistFile);
        DatalistFile = CDROM + DatalistFile;
    }
    return FileExists(DatalistFile);
}

bool DataListSearch::Run()
{
    if (FileExists(CvVars::DatalistFile)) return true;
    if (SearchCdromDrives()) return true;
    if (SearchSampleAtlas(sampleAtlases_)) return true;
    if (!givenMedium_.empty()) {
        // The medium named on the command line cannot be used: say why before asking.
        std::string problem = GivenMediumProblem(givenMedium_);
        if (problem.empty()) problem = "The data list " + NativePath(CvVars::DatalistFile) + " cannot be found.";
        sink_.Error(problem);
    }
    return AskUser();
}

bool LocateDataList(SettingsStore& settings, const SettingOverrides& overrides, const CdromMountProvider& mounts,
                    DialogService& dialogs, MessageSink& sink, const std::vector<std::string>& sampleAtlases)
{
    AssignCdromDriveLetters(mounts);
    const bool noMedium = NoMediumNamed(settings, overrides);
    ReadDataLocation(settings, overrides);
    const std::string stored = overrides.datalist ? *overrides.datalist
                                                  : settings.ReadString(SettingNames::Files, SettingNames::DataList,
                                                                        SettingDefaults::DataList);
    DataListSearch search(settings, dialogs, sink, DataListBelowRoot(stored));
    if (noMedium) search.SetSampleAtlasFolders(sampleAtlases);
    if (overrides.cdrom) search.SetGivenMedium(*overrides.cdrom);
    return search.Run();
}

} // namespace corvane
