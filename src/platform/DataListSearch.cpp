#include "platform/DataListSearch.h"

#include "platform/CdromMounts.h"
#include "platform/CvVars.h"
#include "platform/DataPath.h"
#include "platform/DialogService.h"
#include "platform/MessageSink.h"
#include "platform/Settings.h"

#include <algorithm>

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
    r.cdrom = ShortStr80(r.cdrom);
    r.datalist = ShortStr80(r.datalist);
    return r;
}

bool DataListSearch::SearchCdromDrives()
{
    using namespace CvVars;
    for (char letter = 'A'; letter <= 'Z'; ++letter) {
        if (!IsCdromDrive(letter)) continue;
        std::string drive = std::string(1, letter) + ":";
        if (!FileExists(drive + DatalistFile)) continue;
        size_t cut = std::min(CDROM.size(), DatalistFile.size());
        DatalistFile = ShortStr80("CDROM:" + DatalistFile.substr(cut));
        CDROM = ShortStr80(drive + CDROM);
        DatalistFile = CheckCD_Drive(DatalistFile);
        return true;
    }
    return false;
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
        DatalistFile = ShortStr80(chosen);
        if (!FileExists(DatalistFile)) continue;
        ChosenDataList split = SplitChosenDataList(chosen);
        CDROM = split.cdrom;
        DatalistFile = split.datalist;
        if (sink_.Confirm("Do you want to use " + CDROM + DatalistFile + " as the default file ?", MsgButtons::YesNo) ==
            MsgResult::Yes) {
            settings_.WriteString(SettingNames::Files, SettingNames::CDROM, CDROM);
            settings_.WriteString(SettingNames::Files, SettingNames::DataList, "CDROM:" + DatalistFile);
        }
        DatalistFile = ShortStr80(CDROM + DatalistFile);
    }
    return FileExists(DatalistFile);
}

bool DataListSearch::Run()
{
    if (FileExists(CvVars::DatalistFile)) return true;
    if (SearchCdromDrives()) return true;
    return AskUser();
}

bool LocateDataList(SettingsStore& settings, const SettingOverrides& overrides, const CdromMountProvider& mounts,
                    DialogService& dialogs, MessageSink& sink)
{
    AssignCdromDriveLetters(mounts);
    ReadDataLocation(settings, overrides);
    return DataListSearch(settings, dialogs, sink).Run();
}

} // namespace corvane
