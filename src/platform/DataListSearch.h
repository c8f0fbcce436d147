#pragma once
// Locating the data list file at start-up. When the file named by the settings is missing,
// the CD-ROM drives are searched in letter order, then an installed copy of the sample atlas
// (when no medium is stored), then the user is asked with an open dialog; a chosen file (or a
// disc image) may become the stored default.
#include <string>
#include <vector>

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
// "\" + its file name the rest. Neither part is cut: what is stored is checked on storing.
ChosenDataList SplitChosenDataList(const std::string& chosenPath);

// The folders where an installed copy of the sample atlas may be, in the order they are tried:
// <the program's folder>/<binToData>/corvane/atlas (where the program was installed with it),
// $XDG_DATA_HOME/corvane/atlas (default ~/.local/share/...), then each folder of
// $XDG_DATA_DIRS (default /usr/local/share:/usr/share) + /corvane/atlas.
std::vector<std::string> SampleAtlasFolders(const std::string& programDir, const std::string& binToData,
                                            const char* xdgDataHome, const char* home, const char* xdgDataDirs);

// The folders above for the program running now (its folder found through /proc/self/exe), with
// the path from an installed program's folder to its data folder that the build was given.
std::vector<std::string> InstalledSampleAtlases();

// Makes the first of the folders (an installed sample atlas) holding the data list (belowRoot
// under it) the data root: CvVars::CDROM and DatalistFile. False when none holds it.
bool FindSampleAtlas(const std::vector<std::string>& folders, const std::string& belowRoot);

// The path of the data list below the data root, from the stored (or given) data list value:
// the text after "CDROM:"; "\Misc\MainMenu.Dat" when the value names no place below the root.
std::string DataListBelowRoot(const std::string& storedDataList);

class DataListSearch {
public:
    DataListSearch(SettingsStore& settings, DialogService& dialogs, MessageSink& sink,
                   std::string belowRoot = "\\Misc\\MainMenu.Dat")
        : settings_(settings), dialogs_(dialogs), sink_(sink), belowRoot_(std::move(belowRoot)) {}

    // Runs the search on CvVars::CDROM and CvVars::DatalistFile, when the file is missing.
    // True when the data list file exists at the end.
    bool Run();

    // Step 1: the first CD-ROM drive (after AssignCdromDriveLetters) holding the file.
    bool SearchCdromDrives();
    // The first of the folders (an installed sample atlas) holding the data list below its
    // root; nothing is stored.
    bool SearchSampleAtlas(const std::vector<std::string>& folders);
    // Step 2: the open dialog, repeated until an existing file is chosen or the user cancels.
    // A disc image may be chosen: its root becomes the data root.
    bool AskUser();

    // Folders tried (by Run, after the drives) for an installed sample atlas.
    void SetSampleAtlasFolders(std::vector<std::string> folders) { sampleAtlases_ = std::move(folders); }
    // A message naming the medium given on the command line when it cannot be used.
    void SetGivenMedium(std::string medium) { givenMedium_ = std::move(medium); }

private:
    // Stores the data root and the data list below it on Yes, when both can be stored.
    void OfferAsDefault(const std::string& cdrom, const std::string& datalist);

    SettingsStore& settings_;
    DialogService& dialogs_;
    MessageSink& sink_;
    std::string belowRoot_;
    std::vector<std::string> sampleAtlases_;
    std::string givenMedium_;
};

// Steps 4 and 5 of creating the main window: gives the CD-ROM mounts their drive letters,
// reads the data location (settings or overrides) and searches when the file is missing; an
// installed sample atlas is tried (in the folders given) when neither the settings nor the
// command line name a medium. False when no data list file could be found: the program is
// then to end.
bool LocateDataList(SettingsStore& settings, const SettingOverrides& overrides, const CdromMountProvider& mounts,
                    DialogService& dialogs, MessageSink& sink, const std::vector<std::string>& sampleAtlases = {});

// Why a medium given on the command line cannot be used at all: a disc image that cannot be
// read ("The disc image X cannot be read: ..."), or nothing at that path ("The data medium X
// cannot be found."); empty when it is a folder or a readable image.
std::string GivenMediumProblem(const std::string& medium);

// Whether the settings and the command line leave the data medium to be found: neither
// names one.
bool NoMediumNamed(const SettingsStore& settings, const SettingOverrides& overrides);

} // namespace corvane
