#include "DiscImageFixtures.h"
#include "TestUtil.h"
#include "platform/CdromMounts.h"
#include "platform/CommandLine.h"
#include "platform/CvVars.h"
#include "platform/DataListSearch.h"
#include "platform/DataPath.h"
#include "platform/DialogService.h"
#include "platform/MessageSink.h"
#include "platform/RecentFiles.h"
#include "platform/Settings.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sys/stat.h>

using namespace corvane;
using corvane::test::ReadFile;
using corvane::test::TempDir;

namespace {

bool PathExists(const std::string& p)
{
    struct stat st {};
    return ::stat(p.c_str(), &st) == 0;
}

class DataListSearchTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        CvVars::Reset();
        ClearDriveRoots();
        AssignCdromDriveLetters(FixedCdromProvider({}));
    }
    void TearDown() override
    {
        AssignCdromDriveLetters(FixedCdromProvider({}));
        ClearDriveRoots();
        CvVars::Reset();
    }
    TempDir dir;
    ScriptedDialogService dialogs;
    RecordingMessageSink sink;
};

} // namespace

TEST(SettingsKey, TakesTheProgramNameBeforeItsFirstDot)
{
    EXPECT_EQ(SettingsKey("Corvane.exe"), "Software\\Halvern\\Corvane");
    EXPECT_EQ(SettingsKey("/opt/bin/corvane.v3.bin"), "Software\\Halvern\\corvane");
    // A name without a dot gives an empty last component.
    EXPECT_EQ(SettingsKey("/usr/bin/corvane"), "Software\\Halvern\\");
    // The settings file is named after the whole name when it has no dot.
    EXPECT_EQ(SettingsFileName("/usr/bin/corvane"), "corvane.ini");
    EXPECT_EQ(SettingsFileName("corvane.v3.bin"), "corvane.ini");
    EXPECT_EQ(DefaultSettingsPath("corvane", "/x/cfg", "/home/u"), "/x/cfg/Halvern/corvane.ini");
    EXPECT_EQ(DefaultSettingsPath("corvane", "", "/home/u"), "/home/u/.config/Halvern/corvane.ini");
    EXPECT_EQ(DefaultSettingsPath("corvane", nullptr, "/home/u"), "/home/u/.config/Halvern/corvane.ini");
}

TEST(Settings, AbsentOrUnreadableValuesTakeTheirDefaults)
{
    CvVars::Reset();
    TempDir dir;
    dir.Write("s.ini", "[ToolBar]\nShow=yes\nColour=not a number\n");
    SettingsStore store(dir / "s.ini");
    ReadDataLocation(store, {});
    EXPECT_EQ(CvVars::CDROM, "\\CorvaneV3");
    EXPECT_EQ(CvVars::DatalistFile, "\\CorvaneV3\\Misc\\MainMenu.Dat");
    ReadFileSettings(store);
    EXPECT_EQ(CvVars::OutlCoastFull, "\\CorvaneV3\\Landdata\\Vec\\LandFull.Vec");
    EXPECT_EQ(CvVars::OutlCoast01PC, "\\CorvaneV3\\Landdata\\Vec\\Land01PC.Vec");
    EXPECT_EQ(CvVars::FillCoast12s, "\\CorvaneV3\\Landdata\\Mrl\\Land12s.Mrl");
    EXPECT_EQ(CvVars::FillCoast1Min, "\\CorvaneV3\\Landdata\\Mrl\\Land1Min.Mrl");
    EXPECT_EQ(CvVars::FillCoast5Min, "\\CorvaneV3\\Landdata\\Mrl\\Land5Min.Mrl");
    EXPECT_EQ(CvVars::DefaultDir, "C:\\Program Files\\Halvern\\Corvane");
    ToolBarSettings t = ReadToolBarSettings(store);
    EXPECT_TRUE(t.show);
    EXPECT_EQ(t.colour, 0x8000000Fu);
    EXPECT_TRUE(QueryReportMetric(store));
    EXPECT_EQ(store.Writes(), 0);
    CvVars::Reset();
}

TEST(Settings, StoredValuesAndOverridesAreReadWithTheirRules)
{
    CvVars::Reset();
    TempDir dir;
    dir.Write("s.ini",
              "[Files]\nCDROM=E:\\Atlas\nData List=cdrom:\\Lists\\Main.dat\nDirectory=cdrom:\\Maps\\\n"
              "FillCoast3Min=CDROM:\\Land\\L3.Mrl\n[ToolBar]\nShow=0\nColour=$00FF8040\n[intl]\niMeasure=1\n");
    const std::string before = ReadFile(dir / "s.ini");
    SettingsStore store(dir / "s.ini");
    ReadDataLocation(store, {});
    EXPECT_EQ(CvVars::CDROM, "E:\\Atlas");
    EXPECT_EQ(CvVars::DatalistFile, "E:\\Atlas\\Lists\\Main.dat");
    ReadFileSettings(store);
    EXPECT_EQ(CvVars::FillCoast3Min, "E:\\Atlas\\Land\\L3.Mrl");
    EXPECT_EQ(CvVars::DefaultDir, "cdrom:\\Maps\\");   // no prefix rule for the folder
    ToolBarSettings t = ReadToolBarSettings(store);
    EXPECT_FALSE(t.show);
    EXPECT_EQ(t.colour, 0x00FF8040u);
    EXPECT_FALSE(QueryReportMetric(store));

    SettingOverrides o;
    o.cdrom = "/srv/atlas";
    o.datalist = "CDROM:\\Misc\\MainMenu.Dat";
    ReadDataLocation(store, o);
    EXPECT_EQ(CvVars::CDROM, "/srv/atlas");
    EXPECT_EQ(CvVars::DatalistFile, "/srv/atlas\\Misc\\MainMenu.Dat");
    EXPECT_EQ(ReadFile(dir / "s.ini"), before);
    CvVars::Reset();
}

TEST(Settings, ClosingWritesOnlyTheValuesThatChanged)
{
    TempDir dir;
    const std::string path = dir / "cfg/Halvern/corvane.ini";
    {
        SettingsStore store(path);
        WriteBackSettings(store, true, 0x8000000F, "C:\\Program Files\\Halvern\\Corvane");
        EXPECT_EQ(store.Writes(), 0);
        EXPECT_FALSE(PathExists(path));
    }
    {
        SettingsStore store(path);
        WriteBackSettings(store, false, 0x00FF8040, "/home/u/maps/");
        EXPECT_EQ(store.Writes(), 3);
    }
    EXPECT_EQ(ReadFile(path), "[ToolBar]\r\nShow=0\r\nColour=$00FF8040\r\n\r\n[Files]\r\nDirectory=/home/u/maps/\r\n");
    SettingsStore reread(path);
    EXPECT_EQ(ReadToolBarSettings(reread).colour, 0x00FF8040u);
    WriteBackSettings(reread, false, 0x00FF8040, "/home/u/maps/");
    EXPECT_EQ(reread.Writes(), 0);
    WriteBackSettings(reread, false, 0x8000000F, "/home/u/maps/");
    EXPECT_EQ(reread.Writes(), 1);
    EXPECT_NE(ReadFile(path).find("Colour=$8000000F"), std::string::npos);
    EXPECT_EQ(ColourSettingText(0xABCDEF), "$00ABCDEF");
}

TEST_F(DataListSearchTest, TheFirstCdromDriveHoldingTheFileWinsAndNothingIsStored)
{
    const std::string first = dir.Path() + "/cd1", second = dir.Path() + "/cd2", third = dir.Path() + "/cd3";
    dir.Write("cd1/Other/readme.txt", "x");
    dir.Write("cd2/CorvaneV3/MISC/MAINMENU.DAT", "Atlas\r\n");
    dir.Write("cd3/CorvaneV3/Misc/MainMenu.Dat", "Atlas\r\n");
    SettingsStore settings(dir / "settings.ini");
    FixedCdromProvider mounts({first, second, third});
    ASSERT_TRUE(LocateDataList(settings, {}, mounts, dialogs, sink));
    EXPECT_EQ(CvVars::CDROM, "E:\\CorvaneV3");
    EXPECT_EQ(CvVars::DatalistFile, "E:\\CorvaneV3\\Misc\\MainMenu.Dat");
    EXPECT_EQ(NativePath(CvVars::DatalistFile), second + "/CorvaneV3/MISC/MAINMENU.DAT");
    EXPECT_EQ(settings.Writes(), 0);
    EXPECT_FALSE(PathExists(dir / "settings.ini"));
    EXPECT_TRUE(dialogs.openRequests.empty());
    EXPECT_TRUE(sink.messages.empty());
}

TEST_F(DataListSearchTest, AChosenMiscMainMenuFileSplitsIntoRootAndStoredPath)
{
    dir.Write("F/MISC/MAINMENU.DAT", "Atlas\r\n");
    SetDriveRoot('F', dir.Path() + "/F");
    SettingsStore settings(dir / "settings.ini");
    dialogs.openAnswers.push_back({DialogOutcome::Ok, dir / "nothing/here.dat"});   // missing: asked again
    dialogs.openAnswers.push_back({DialogOutcome::Ok, "F:\\MISC\\MAINMENU.DAT"});
    sink.answers.push_back(MsgResult::Yes);
    ASSERT_TRUE(LocateDataList(settings, {}, FixedCdromProvider({}), dialogs, sink));

    ASSERT_EQ(dialogs.openRequests.size(), 2u);
    EXPECT_EQ(dialogs.openRequests[0].title, "Open Data List Definition File");
    EXPECT_EQ(dialogs.openRequests[0].filter, "Data List Definition File|*.*");
    EXPECT_EQ(dialogs.openRequests[0].fileName, "MainMenu.Dat");
    ASSERT_EQ(sink.messages.size(), 1u);
    EXPECT_EQ(sink.messages[0].kind, MsgKind::Confirmation);
    EXPECT_EQ(sink.messages[0].buttons, MsgButtons::YesNo);
    EXPECT_EQ(sink.messages[0].text, "Do you want to use F:\\MISC\\MAINMENU.DAT as the default file ?");
    EXPECT_EQ(CvVars::CDROM, "F:");
    EXPECT_EQ(CvVars::DatalistFile, "F:\\MISC\\MAINMENU.DAT");
    SettingsStore reread(dir / "settings.ini");
    EXPECT_EQ(reread.ReadString("Files", "CDROM", ""), "F:");
    EXPECT_EQ(reread.ReadString("Files", "Data List", ""), "CDROM:\\MISC\\MAINMENU.DAT");
}

TEST_F(DataListSearchTest, ANativeChoiceKeepsItsCaseAndNoStoresNothing)
{
    dir.Write("atlas/Misc/MainMenu.Dat", "Atlas\r\n");
    SettingsStore settings(dir / "settings.ini");
    dialogs.openAnswers.push_back({DialogOutcome::Ok, dir / "atlas/Misc/MainMenu.Dat"});
    sink.answers.push_back(MsgResult::No);
    ASSERT_TRUE(LocateDataList(settings, {}, FixedCdromProvider({}), dialogs, sink));
    EXPECT_EQ(CvVars::CDROM, dir / "atlas");
    EXPECT_EQ(CvVars::DatalistFile, dir / "atlas" + "\\Misc\\MainMenu.Dat");
    EXPECT_EQ(settings.Writes(), 0);
}

TEST_F(DataListSearchTest, CancellingTheDialogOrFailingToShowItLeavesNoDataList)
{
    SettingsStore settings;
    EXPECT_FALSE(LocateDataList(settings, {}, FixedCdromProvider({dir.Path()}), dialogs, sink));
    EXPECT_EQ(dialogs.openRequests.size(), 1u);
    EXPECT_TRUE(sink.messages.empty());   // no message when the program is to end

    dialogs.openAnswers.push_back({DialogOutcome::Failed, ""});
    EXPECT_FALSE(LocateDataList(settings, {}, FixedCdromProvider({}), dialogs, sink));
    EXPECT_TRUE(sink.Contains("Unable to load Open dialog"));
}

TEST(DataListChoice, PathsWithoutTheStandardPlaceAreTakenWhole)
{
    ChosenDataList a = SplitChosenDataList("/media/u/DISC/misc/mainmenu.dat");
    EXPECT_EQ(a.cdrom, "/media/u/DISC");
    EXPECT_EQ(a.datalist, "\\misc\\mainmenu.dat");
    ChosenDataList b = SplitChosenDataList("/home/u/atlas/lists/coast.lst");
    EXPECT_EQ(b.cdrom, "/home/u/atlas/lists");
    EXPECT_EQ(b.datalist, "\\coast.lst");
    ChosenDataList c = SplitChosenDataList("G:\\Atlas\\Misc\\MainMenu.Dat.old");
    EXPECT_EQ(c.cdrom, "G:\\Atlas");
    EXPECT_EQ(c.datalist, "\\Misc\\MainMenu.Dat.old");
}

TEST_F(DataListSearchTest, AChoiceOutsideTheStandardPlaceIsAcceptedAsAFullPath)
{
    dir.Write("lists/coast.lst", "Atlas\r\n");
    SettingsStore settings(dir / "settings.ini");
    dialogs.openAnswers.push_back({DialogOutcome::Ok, dir / "lists/coast.lst"});
    sink.answers.push_back(MsgResult::Yes);
    ASSERT_TRUE(LocateDataList(settings, {}, FixedCdromProvider({}), dialogs, sink));
    EXPECT_EQ(dialogs.openRequests.size(), 1u);
    EXPECT_EQ(CvVars::CDROM, dir / "lists");
    SettingsStore reread(dir / "settings.ini");
    EXPECT_EQ(reread.ReadString("Files", "Data List", ""), "CDROM:\\coast.lst");
    EXPECT_TRUE(FileExists(CheckCD_Drive(reread.ReadString("Files", "Data List", ""))));
}

TEST(CommandLine, MapFileAndOverrides)
{
    CommandLineOptions o;
    std::string err;
    ASSERT_TRUE(ParseCommandLine({"harbour.mdf", "--cdrom", "/srv/atlas", "--datalist=CDROM:\\Misc\\MainMenu.Dat",
                                  "--settings", "/tmp/s.ini"},
                                 o, err));
    EXPECT_EQ(o.mapFile, "harbour.mdf");
    EXPECT_EQ(*o.cdrom, "/srv/atlas");
    EXPECT_EQ(*o.datalist, "CDROM:\\Misc\\MainMenu.Dat");
    EXPECT_EQ(*o.settings, "/tmp/s.ini");
    ASSERT_TRUE(ParseCommandLine({}, o, err));
    EXPECT_TRUE(o.mapFile.empty());
    EXPECT_FALSE(o.cdrom.has_value());
    ASSERT_TRUE(ParseCommandLine({"--version"}, o, err));
    EXPECT_TRUE(o.version);
    EXPECT_FALSE(ParseCommandLine({"--cdrom"}, o, err));
    EXPECT_FALSE(ParseCommandLine({"--cdrom="}, o, err));
    EXPECT_FALSE(ParseCommandLine({"--colour", "red"}, o, err));
    EXPECT_FALSE(ParseCommandLine({"a.mdf", "b.mdf"}, o, err));
    EXPECT_FALSE(ParseCommandLine({"-x"}, o, err));

    // The toolkit's own options are left to the toolkit, each with its value.
    ASSERT_TRUE(ParseCommandLine({"-style", "Fusion", "--dark", "-reverse", "map.mdf", "-platform=offscreen",
                                  "--stylesheet", "a.qss"},
                                 o, err))
        << err;
    EXPECT_TRUE(o.dark);
    EXPECT_EQ(o.mapFile, "map.mdf");
    EXPECT_EQ(o.toolkit, (std::vector<std::string>{"-style", "Fusion", "-reverse", "-platform=offscreen",
                                                   "--stylesheet", "a.qss"}));
    EXPECT_FALSE(ParseCommandLine({"map.mdf", "-style"}, o, err));
    EXPECT_FALSE(ParseCommandLine({"-reverse=1"}, o, err));
}

TEST(CommandLine, AMapFileIsTakenAsAnAbsolutePathAndMustBeReadable)
{
    TempDir dir;
    const std::string map = dir.Write("maps/Harbour.MDF", "[Map Definition]\r\n");
    std::string resolved, err;
    ASSERT_TRUE(ResolveMapFileArgument("maps/Harbour.MDF", dir.Path(), resolved, err));
    EXPECT_EQ(resolved, map);
    ASSERT_TRUE(ResolveMapFileArgument("./maps/Harbour.MDF", dir.Path() + "/", resolved, err));
    EXPECT_EQ(resolved, map);
    ASSERT_TRUE(ResolveMapFileArgument(map, "/elsewhere", resolved, err));
    EXPECT_EQ(resolved, map);
    resolved.clear();
    EXPECT_FALSE(ResolveMapFileArgument("maps/Missing.MDF", dir.Path(), resolved, err));
    EXPECT_EQ(err, "Unable to read the map definition file maps/Missing.MDF");
    EXPECT_FALSE(ResolveMapFileArgument("maps", dir.Path(), resolved, err));   // a folder
    EXPECT_TRUE(resolved.empty());
}

TEST(FileDialogFilters, ClassicFiltersBecomeToolkitFilters)
{
    EXPECT_EQ(FileDialogFilters("Map Files (*.MDF)|*.mdf| All Files (*.*) | *.*"),
              (std::vector<std::string>{"Map Files (*.MDF)", "All Files (*)"}));
    EXPECT_EQ(FileDialogFilters("Data List Definition File|*.*"),
              (std::vector<std::string>{"Data List Definition File (*)"}));
    EXPECT_EQ(FileDialogFilters("Text Files (*.txt)|*.txt|Pictures|*.bmp;*.png"),
              (std::vector<std::string>{"Text Files (*.txt)", "Pictures (*.bmp *.png)"}));
    EXPECT_TRUE(FileDialogFilters("").empty());
}

// ---- Disc images, installed sample atlases and long paths in the search -----------------------

TEST(DataListSearchPlaces, SampleAtlasesBesideTheProgramThenInTheDesktopDataFolders)
{
    EXPECT_EQ(SampleAtlasFolders("/opt/cv/bin", "../share", nullptr, "/home/u", nullptr),
              (std::vector<std::string>{"/opt/cv/bin/../share/corvane/atlas", "/home/u/.local/share/corvane/atlas",
                                        "/usr/local/share/corvane/atlas", "/usr/share/corvane/atlas"}));
    // XDG folders as given; relative entries are ignored and repeats are tried once.
    EXPECT_EQ(SampleAtlasFolders("", "../share", "/data/home/", "/home/u", "rel/dir:/srv/share::/data/home"),
              (std::vector<std::string>{"/data/home/corvane/atlas", "/srv/share/corvane/atlas"}));
    EXPECT_EQ(DataListBelowRoot("cdrom:\\Lists\\Main.Dat"), "\\Lists\\Main.Dat");
    EXPECT_EQ(DataListBelowRoot("/home/u/Main.Dat"), "\\Misc\\MainMenu.Dat");
}

TEST_F(DataListSearchTest, AnInstalledSampleAtlasServesOnlyWhenNoMediumIsNamed)
{
    dir.Write("share/corvane/atlas/Misc/MainMenu.Dat", "Atlas\r\n");
    const std::vector<std::string> places = {dir / "elsewhere/corvane/atlas", dir / "share/corvane/atlas"};
    SettingsStore settings(dir / "settings.ini");
    ASSERT_TRUE(LocateDataList(settings, {}, FixedCdromProvider({}), dialogs, sink, places));
    EXPECT_EQ(CvVars::CDROM, dir / "share/corvane/atlas");
    EXPECT_EQ(CvVars::DatalistFile, dir / "share/corvane/atlas" + "\\Misc\\MainMenu.Dat");
    EXPECT_TRUE(dialogs.openRequests.empty());
    EXPECT_EQ(settings.Writes(), 0);

    // A medium stored in the settings (here missing) is asked for, not replaced.
    settings.WriteString("Files", "CDROM", dir / "gone");
    EXPECT_FALSE(LocateDataList(settings, {}, FixedCdromProvider({}), dialogs, sink, places));
    EXPECT_EQ(dialogs.openRequests.size(), 1u);
}

TEST_F(DataListSearchTest, ADiscImageChosenInTheDialogBecomesTheDataRoot)
{
    TempDir atlas;
    atlas.Write("Misc/MainMenu.Dat", "Atlas\r\n");
    const std::string image = dir / "disc.iso", damaged = dir / "damaged.iso";
    if (!test::MakeImage(atlas.Path(), image, test::ImageFormat::JolietRockRidge)) GTEST_SKIP() << "genisoimage is missing";
    const std::string bytes = ReadFile(image);
    std::ofstream(damaged, std::ios::binary) << bytes.substr(0, 17 * 2048);   // the volume without its folders

    SettingsStore settings(dir / "settings.ini");
    dialogs.openAnswers.push_back({DialogOutcome::Ok, damaged});
    dialogs.openAnswers.push_back({DialogOutcome::Ok, image});
    sink.answers = {MsgResult::Ok, MsgResult::Yes};   // the error box, then the question
    ASSERT_TRUE(LocateDataList(settings, {}, FixedCdromProvider({}), dialogs, sink));
    EXPECT_EQ(dialogs.openRequests.size(), 2u);
    ASSERT_EQ(sink.messages.size(), 2u);
    EXPECT_EQ(sink.messages[0].kind, MsgKind::Error);
    EXPECT_EQ(sink.messages[0].text.rfind("The disc image " + damaged + " cannot be read: ", 0), 0u);
    EXPECT_EQ(sink.messages[1].text, "Do you want to use " + image + "\\Misc\\MainMenu.Dat as the default file ?");
    EXPECT_EQ(CvVars::CDROM, image);
    EXPECT_EQ(CvVars::DatalistFile, image + "\\Misc\\MainMenu.Dat");
    SettingsStore reread(dir / "settings.ini");
    EXPECT_EQ(reread.ReadString("Files", "CDROM", ""), image);
    EXPECT_EQ(reread.ReadString("Files", "Data List", ""), "CDROM:\\Misc\\MainMenu.Dat");

    // The same damaged image given on the command line is named before the dialog.
    sink.Clear();
    SettingOverrides given;
    given.cdrom = damaged;
    EXPECT_FALSE(LocateDataList(settings, given, FixedCdromProvider({}), dialogs, sink));
    ASSERT_EQ(sink.messages.size(), 1u);
    EXPECT_EQ(sink.messages[0].text.rfind("The disc image " + damaged + " cannot be read: ", 0), 0u);
    sink.Clear();
    given.cdrom = dir / "no such folder";
    EXPECT_FALSE(LocateDataList(settings, given, FixedCdromProvider({}), dialogs, sink));
    EXPECT_EQ(sink.Texts(), std::vector<std::string>{"The data medium " + dir / "no such folder" + " cannot be found."});
}

TEST_F(DataListSearchTest, AMediumInADeepFolderIsUsedWholeButNotStoredCut)
{
    std::string deep = "atlases";
    while (deep.size() < 150) deep += "/old discs";
    dir.Write(deep + "/Misc/MainMenu.Dat", "Atlas\r\n");
    SettingsStore settings(dir / "settings.ini");
    SettingOverrides given;
    given.cdrom = dir / deep;
    ASSERT_TRUE(LocateDataList(settings, given, FixedCdromProvider({}), dialogs, sink));
    EXPECT_EQ(CvVars::DatalistFile, dir / deep + "\\Misc\\MainMenu.Dat");
    EXPECT_TRUE(sink.messages.empty());

    // Chosen in the dialog: used for the session, with a message instead of the question.
    dialogs.openAnswers.push_back({DialogOutcome::Ok, dir / deep + "/Misc/MainMenu.Dat"});
    ASSERT_TRUE(LocateDataList(settings, {}, FixedCdromProvider({}), dialogs, sink));
    EXPECT_EQ(CvVars::CDROM, dir / deep);
    ASSERT_EQ(sink.messages.size(), 1u);
    EXPECT_EQ(sink.messages[0].kind, MsgKind::Information);
    EXPECT_NE(sink.messages[0].text.find("longer than 80 characters"), std::string::npos);
    EXPECT_EQ(settings.Writes(), 0);

    // Nor is a long folder of the open dialogs written back on closing.
    WriteBackSettings(settings, true, 0x8000000F, dir / deep + "/");
    EXPECT_EQ(settings.Writes(), 0);
}

TEST(RecentFiles, NewestFirstAtMostFourWithCaptionsShortenedInTheMiddle)
{
    RecentFiles recent;
    for (const char* f : {"/m/a.MDF", "/m/b.MDF", "/m/c.MDF", "/m/d.MDF", "/m/e.MDF", "/m/c.MDF"}) recent.Add(f);
    EXPECT_EQ(recent.Files(), (std::vector<std::string>{"/m/c.MDF", "/m/e.MDF", "/m/d.MDF", "/m/b.MDF"}));

    EXPECT_EQ(RecentFileCaption(0, "/home/u/Fish & Chips.MDF"), "&1 /home/u/Fish && Chips.MDF");
    const std::string caption = RecentFileCaption(3, "/home/u/" + std::string(100, 'f') + "/North Sea.MDF");
    EXPECT_EQ(caption.size(), 3u + 60u);
    EXPECT_EQ(caption.substr(0, 11), "&4 /home/u/");
    EXPECT_EQ(caption.substr(caption.size() - 17), ".../North Sea.MDF");   // the file name whole
    EXPECT_TRUE(IsMapDefinitionFile("C:\\MAPS\\HARBOUR.mdf"));
    EXPECT_FALSE(IsMapDefinitionFile("/m/Harbour.MDF.BAK"));
    EXPECT_FALSE(IsMapDefinitionFile("/m/.mdf"));
}
