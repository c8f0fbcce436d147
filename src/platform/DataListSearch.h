#pragma once
// Locating the data list file at start-up. When the file named by the settings is missing,
// the CD-ROM drives are searched in letter order, then the user is asked with an open
// dialog; a chosen file may become the stored default.
#include <string>

namespace corvane {

class CdromMountProvider;
class DialogService;
class MessageSink;
class SettingsStore;
struct SettingOverrides;

constexpr const char* kDataListDialogTitle = "Open Data List Definition File";
constexpr const char* kDataListDialogFilter = "Data List Definition File|*.*";
constexpr const char* kDataListDialogFileName = "MainMenu.Dat";

// A data list file chosen in the dialog, split into the data root and the rest.
struct ChosenDataList {
    std::string cdrom;      // the data root
    std::string datalist;   // the path below it, starting with a backslash
};

// Splits a chosen path at "\MISC\MAINMENU.DAT" (found without regard to case, '/' counting as
// '\'): the root is the text before it, the rest keeps the case in which it was chosen (with
// backslashes). A path without that text is taken whole: its folder becomes the root and
// "\" + its file name the rest. Both parts are cut to 80 characters.
ChosenDataList SplitChosenDataList(const std::string& chosenPath);

class DataListSearch {
public:
    DataListSearch(SettingsStore& settings, DialogService& dialogs, MessageSink& sink)
        : settings_(settings), dialogs_(dialogs), sink_(sink) {}

    // Runs the search on CvVars::CDROM and CvVars::DatalistFile, when the file is missing.
    // True when the data list file exists at the end.
    bool Run();

    // Step 1: the first CD-ROM drive (after AssignCdromDriveLetters) holding the file.
    bool SearchCdromDrives();
    // Step 2: the open dialog, repeated until an existing file is chosen or the user cancels.
    bool AskUser();

private:
    SettingsStore& settings_;
    DialogService& dialogs_;
    MessageSink& sink_;
};

// Steps 4 and 5 of creating the main window: gives the CD-ROM mounts their drive letters,
// reads the data location (settings or overrides) and searches when the file is missing.
// False when no data list file could be found: the program is then to end.
bool LocateDataList(SettingsStore& settings, const SettingOverrides& overrides, const CdromMountProvider& mounts,
                    DialogService& dialogs, MessageSink& sink);

} // namespace corvane
