#include "TestUtil.h"
#include "platform/ByteSource.h"
#include "platform/CdromMounts.h"
#include "platform/CodePage.h"
#include "platform/CvVars.h"
#include "platform/DataPath.h"
#include "platform/Ini.h"
#include "platform/MessageSink.h"
#include "platform/Rounding.h"
#include "platform/TextFile.h"
#include "platform/VisibleGeometry.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace corvane;
using corvane::test::TempDir;

TEST(Rounding, HalvesGoToTheEvenNeighbourAndTruncationGoesTowardsZero)
{
    EXPECT_EQ(Round(0.5), 0);
    EXPECT_EQ(Round(1.5), 2);
    EXPECT_EQ(Round(2.5), 2);
    EXPECT_EQ(Round(-0.5), 0);
    EXPECT_EQ(Round(-1.5), -2);
    EXPECT_EQ(Round(-2.5), -2);
    EXPECT_EQ(Round(2.4999), 2);
    EXPECT_EQ(Round(-2.5001), -3);
    EXPECT_EQ(Trunc(-2.9), -2);
    EXPECT_EQ(Trunc(2.9), 2);
    EXPECT_EQ(RoundI(1e30), INT32_MAX);
    EXPECT_EQ(Round(std::nan("")), 0);
}

TEST(Rounding, Real48KeepsFortySignificantBits)
{
    EXPECT_DOUBLE_EQ(Real48(1.0), 1.0);
    EXPECT_NEAR(Real48(2 * 0.39370078740157480316), 0.7874015748, 1e-10);
    double third = 1.0 / 3.0;
    EXPECT_NE(Real48(third), third);
    EXPECT_NEAR(Real48(third), third, 1e-12);
}

TEST(CheckCD_Drive, ReplacesThePrefixInAnyCase)
{
    EXPECT_EQ(CheckCD_Drive("cdrom:\\Misc\\MainMenu.Dat", "D:\\CorvaneV3"), "D:\\CorvaneV3\\Misc\\MainMenu.Dat");
    EXPECT_EQ(CheckCD_Drive("CdRoM:\\x", "E:"), "E:\\x");
    EXPECT_EQ(CheckCD_Drive("CDROM:", "D:\\CorvaneV3"), "D:\\CorvaneV3");
    EXPECT_EQ(CheckCD_Drive("C:\\Data\\file.mas", "D:\\CorvaneV3"), "C:\\Data\\file.mas");
    EXPECT_EQ(CheckCD_Drive("XCDROM:\\a", "D:"), "XCDROM:\\a");
    EXPECT_EQ(CheckCD_Drive("CDROM", "D:"), "CDROM");
    std::string longRest(100, 'a');
    // A medium in a deep folder: the path is kept whole.
    std::string r = CheckCD_Drive("CDROM:\\" + longRest, "D:\\CorvaneV3");
    EXPECT_EQ(r, "D:\\CorvaneV3\\" + longRest);
    // A long path without the prefix is not touched.
    EXPECT_EQ(CheckCD_Drive(longRest, "D:").size(), 100u);
}

TEST(NativePath, MatchesComponentsWithoutRegardToCase)
{
    TempDir dir;
    dir.Write("Atlas/LandData/Vec/LandFull.Vec", "x");
    EXPECT_EQ(NativePath(dir.Path() + "\\ATLAS\\landdata\\VEC\\landfull.vec"), dir / "Atlas/LandData/Vec/LandFull.Vec");
    EXPECT_TRUE(FileExists(dir.Path() + "\\atlas\\LANDDATA\\vec\\LANDFULL.VEC"));
    EXPECT_FALSE(FileExists(dir.Path() + "\\atlas\\LANDDATA\\vec\\missing.vec"));
    EXPECT_TRUE(DirectoryExists(dir.Path() + "/atlas/landdata"));
    // The exact path is returned unchanged when it exists.
    EXPECT_EQ(NativePath(dir / "Atlas/LandData"), dir / "Atlas/LandData");
}

TEST(NativePath, DriveLettersStandForMountedDiscs)
{
    TempDir disc;
    disc.Write("CorvaneV3/Misc/MainMenu.Dat", "Heading\n");
    FixedCdromProvider mounts({"/nonexistent-first", disc.Path()});
    EXPECT_EQ(AssignCdromDriveLetters(mounts), "DE");
    EXPECT_TRUE(IsCdromDrive('e'));
    EXPECT_FALSE(IsCdromDrive('F'));
    EXPECT_TRUE(FileExists("E:\\CorvaneV3\\MISC\\MAINMENU.DAT"));
    EXPECT_FALSE(FileExists("D:\\CorvaneV3\\Misc\\MainMenu.Dat"));
    EXPECT_FALSE(FileExists("Q:\\CorvaneV3\\Misc\\MainMenu.Dat"));
    AssignCdromDriveLetters(FixedCdromProvider({}));
    EXPECT_FALSE(IsCdromDrive('D'));
}

TEST(NativePath, APathBelowTheMediumStaysBelowItWhateverTheRootsSpelling)
{
    // Paths of the data that climb out are tried through the renderer (unreadable_inputs_test);
    // here the spellings of the root.
    TempDir dir;
    for (const char* list : {"atlas/Misc/MainMenu.Dat", "atlas2/Misc/MainMenu.Dat"}) dir.Write(list, "x");
    dir.Write("secret.MAS", "x");
    const std::string saved = CvVars::CDROM;
    CvVars::CDROM = dir / "atlas/";
    EXPECT_EQ(DataFileProblem(CheckCD_Drive("CDROM:..\\secret.MAS")), "it leads outside the data medium " + CvVars::CDROM);
    std::vector<DataFolderEntry> entries;
    EXPECT_FALSE(ListDataFolder(CheckCD_Drive("CDROM:Misc\\..\\.."), entries));
    // A folder whose name only begins with the root's is no part of the medium.
    CvVars::CDROM = dir / "atlas";
    const std::string name = dir.Path().substr(dir.Path().rfind('/') + 1);
    EXPECT_TRUE(FileExists(dir / "atlas2/../../" + name + "/secret.MAS"));
    CvVars::CDROM = saved;
}

TEST(CdromMounts, OnlyIsoAndUdfInTableOrder)
{
    std::string table =
        "/dev/vda1 / ext4 rw 0 0\n"
        "/dev/sr1 /media/cd\\040two udf ro 0 0\n"
        "proc /proc proc rw 0 0\n"
        "/dev/sr0 /media/cdrom0 iso9660 ro 0 0\n";
    auto points = ParseCdromMounts(table);
    ASSERT_EQ(points.size(), 2u);
    EXPECT_EQ(points[0], "/media/cd two");
    EXPECT_EQ(points[1], "/media/cdrom0");
}

TEST(Ini, LooksUpWithoutRegardToCaseAndTrimsValues)
{
    IniFile ini = IniFile::FromText("[Files]\r\n CDROM =  E:\\CorvaneV3  \r\n[toolbar]\nShow=0\nColour=$00FF8000\nBad=12x\n");
    EXPECT_EQ(ini.ReadString("files", "cdrom", "?"), "E:\\CorvaneV3");
    EXPECT_FALSE(ini.ReadBool("ToolBar", "Show", true));
    EXPECT_EQ(ini.ReadInteger("ToolBar", "Colour", 0), 0x00FF8000);
    EXPECT_EQ(ini.ReadInteger("ToolBar", "Bad", 7), 7);
    EXPECT_EQ(ini.ReadInteger("ToolBar", "Missing", -3), -3);
    EXPECT_TRUE(ini.ReadBool("Nowhere", "Show", true));
    EXPECT_EQ(ini.ReadInteger("T", "x", 5), 5);
}

TEST(Ini, WritesSectionsAndKeysInTheOrderGiven)
{
    IniFile ini;
    ini.WriteString("Zeta", "b", "1");
    ini.WriteBool("Alpha", "Flag", true);
    ini.WriteInteger("Zeta", "a", -5);
    ini.WriteBool("alpha", "flag", false);   // same key, other case: replaced in place
    EXPECT_EQ(ini.ToText("\n"), "[Zeta]\nb=1\na=-5\n\n[Alpha]\nFlag=0\n");
    EXPECT_EQ(ini.ReadSection("ZETA"), (std::vector<std::string>{"b", "a"}));
    ini.EraseSection("zeta");
    EXPECT_FALSE(ini.SectionExists("Zeta"));
}

TEST(Ini, HexadecimalIntegersKeepTheirBitPattern)
{
    int32_t v = 0;
    ASSERT_TRUE(ParseInt32("$8000000F", v));
    EXPECT_EQ(static_cast<uint32_t>(v), 0x8000000Fu);
    ASSERT_TRUE(ParseInt32(" -12 ", v));
    EXPECT_EQ(v, -12);
    EXPECT_FALSE(ParseInt32("2147483648", v));
    EXPECT_FALSE(ParseInt32("$", v));
    EXPECT_FALSE(ParseInt32("$100000000", v));
    double d = 0;
    ASSERT_TRUE(ParseReal(" 4.50000000000000E+0001", d));
    EXPECT_DOUBLE_EQ(d, 45.0);
    EXPECT_FALSE(ParseReal("4,5", d));
}

TEST(Ini, SavesAndReloadsThroughAFile)
{
    TempDir dir;
    IniFile ini;
    ini.WriteString("Files", "Directory", "/home/x/");
    ASSERT_TRUE(ini.Save(dir / "a.ini"));
    IniFile back;
    ASSERT_TRUE(back.Load(dir / "a.ini"));
    EXPECT_EQ(back.ReadString("FILES", "directory", ""), "/home/x/");
    EXPECT_FALSE(back.Load(dir / "missing.ini"));
    EXPECT_FALSE(back.SectionExists("Files"));
}

TEST(TextFile, SplitsLinesLikeAClassicTextReader)
{
    EXPECT_EQ(SplitLines("a\r\nb\nc\rd"), (std::vector<std::string>{"a", "b", "c", "d"}));
    EXPECT_EQ(SplitLines("a\r\n\r\n"), (std::vector<std::string>{"a", ""}));
    EXPECT_EQ(SplitLines("a\nb\x1A" "c\n"), (std::vector<std::string>{"a", "b"}));
    EXPECT_TRUE(SplitLines("").empty());
}

TEST(TextFile, SaveWithBackupKeepsThePreviousFile)
{
    TempDir dir;
    std::string path = dir / "North.MDF";
    ASSERT_TRUE(SaveWithBackup(path, "one"));
    EXPECT_EQ(test::ReadFile(path), "one");
    ASSERT_TRUE(SaveWithBackup(path, "two"));
    EXPECT_EQ(test::ReadFile(path), "two");
    EXPECT_EQ(test::ReadFile(dir / "North.BAK"), "one");
    ASSERT_TRUE(SaveWithBackup(path, "three"));
    EXPECT_EQ(test::ReadFile(dir / "North.BAK"), "two");
    // A folder that does not exist: failure, nothing half-written.
    EXPECT_FALSE(SaveWithBackup(dir / "no/such/x.MDF", "x"));
}

TEST(CodePage, WindowsAndDosBytesBecomeUnicode)
{
    EXPECT_EQ(Cp1252ToUtf8("45\xB0N"), "45\xC2\xB0N");
    EXPECT_EQ(Cp1252ToUtf8("\x80"), "\xE2\x82\xAC");
    EXPECT_EQ(Cp437ToUtf8("\xC9\xCD\xBB"), "\xE2\x95\x94\xE2\x95\x90\xE2\x95\x97");
    EXPECT_EQ(Cp437ToUtf8("\xF8"), "\xC2\xB0");
    // Bytes below 32 and 127 are the pictures of the DOS screen, not control codes: an arrow
    // in a key line, a tab byte its circle.
    EXPECT_EQ(Cp437ToUtf8("\x10\x1E\x09\x7F"), "\xE2\x96\xBA\xE2\x96\xB2\xE2\x97\x8B\xE2\x8C\x82");
    EXPECT_EQ(Cp437ToUtf8("\x01 a"), "\xE2\x98\xBA a");
    EXPECT_EQ(Utf8ToCp1252("45\xC2\xB0 \xE2\x82\xAC \xE2\x95\x94"), "45\xB0 \x80 ?");
}

TEST(CodePage, MessagesKeepUtf8FileNamesAndDecodeDataBytesAsWindows1252)
{
    // A native path in UTF-8 beside bytes of a data file: each part as it was written.
    EXPECT_EQ(MixedTextToUtf8("/home/j\xC3\xBCrgen/d\xC3\xA9" "faut.iso at 45\xB0N"),
              "/home/j\xC3\xBCrgen/d\xC3\xA9" "faut.iso at 45\xC2\xB0N");
    EXPECT_EQ(MixedTextToUtf8("Caf\xE9 \x80 5"), "Caf\xC3\xA9 \xE2\x82\xAC 5");
    // Three- and four-byte sequences pass whole.
    EXPECT_EQ(MixedTextToUtf8("\xE2\x82\xAC \xF0\x9F\x8C\x8A"), "\xE2\x82\xAC \xF0\x9F\x8C\x8A");
    // Malformed, overlong, surrogate or cut sequences are Windows-1252 bytes, never dropped.
    EXPECT_EQ(MixedTextToUtf8("\xC0\xAF"), "\xC3\x80\xC2\xAF");
    EXPECT_EQ(MixedTextToUtf8("\xED\xA0\x80"), "\xC3\xAD\xC2\xA0\xE2\x82\xAC");
    EXPECT_EQ(MixedTextToUtf8("\xE2\x82"), "\xC3\xA2\xE2\x80\x9A");
    EXPECT_EQ(MixedTextToUtf8("\xF4\x90\x80\x80"), Cp1252ToUtf8("\xF4\x90\x80\x80"));
    EXPECT_EQ(MixedTextToUtf8("\xC3"), "\xC3\x83");
}

TEST(CodePage, MessagesOnStandardErrorNameFilesInTheirOwnLetters)
{
    StderrMessageSink sink;
    testing::internal::CaptureStderr();
    sink.Error("The disc image /tmp/J\xC3\xBCrgen/atlas.iso at 54\xB0N\r\ncannot be read.\rTry another.\n");
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "The disc image /tmp/J\xC3\xBCrgen/atlas.iso at 54\xC2\xB0N\ncannot be read.\nTry another.\n");
}

TEST(ByteSource, CursorReadsLittleEndianAndRefusesShortReads)
{
    MemorySource src(std::vector<uint8_t>{0x01, 0x02, 0xFE, 0xFF, 0xFF, 0xFF, 0x7F});
    SourceCursor c(src);
    uint16_t u16;
    ASSERT_TRUE(c.ReadU16(u16));
    EXPECT_EQ(u16, 0x0201);
    int32_t i32;
    ASSERT_TRUE(c.ReadI32(i32));
    EXPECT_EQ(i32, -2);
    EXPECT_FALSE(c.ReadI32(i32));   // only one byte left
    EXPECT_EQ(c.Pos(), 6);
    EXPECT_FALSE(c.Seek(8));
    EXPECT_FALSE(c.Seek(-1));
    EXPECT_TRUE(c.Seek(7));
    EXPECT_TRUE(c.AtEnd());
}

TEST(VisibleGeometry, ARingCutToTheAreaFillsTheSamePixelsInIt)
{
    // A self-intersecting ring reaching far past a 300 x 200 area on every side (as a printed
    // polygon past the page), filled by the odd-even rule whole and cut to the area and a
    // margin: the same pixels, but for a few whose centres lie on an edge, where the cut
    // ring's computed ends may fall either way.
    std::vector<Point> ring;
    for (int k = 0; k < 400; ++k) {
        const double r = k % 2 ? 900.0 : 15.0, a = k * 2.399963229728653;
        ring.push_back({static_cast<int32_t>(std::lround(150 + r * std::cos(a))),
                        static_cast<int32_t>(std::lround(100 + r * std::sin(a)))});
    }
    std::vector<PointF> whole;
    for (const Point& p : ring) whole.push_back({static_cast<double>(p.x), static_cast<double>(p.y)});
    const std::vector<PointF> cut = ClipRing(ring, DrawingBox(300, 200, 4));
    for (const PointF& p : cut) EXPECT_TRUE(p.x >= -4 && p.x <= 304 && p.y >= -4 && p.y <= 204);
    auto pixels = [](const std::vector<PointF>& r) {
        std::vector<Rect> spans;
        OddEvenSpans(r, {0, 0, 300, 200}, spans);
        std::vector<uint8_t> on(300 * 200, 0);
        for (const Rect& s : spans)
            for (int x = s.left; x < s.right; ++x) on[static_cast<size_t>(s.top * 300 + x)] = 1;
        return on;
    };
    const std::vector<uint8_t> a = pixels(whole), b = pixels(cut);
    int differing = 0, filled = 0;
    for (size_t i = 0; i < a.size(); ++i) {
        differing += a[i] != b[i];
        filled += a[i];
    }
    EXPECT_LE(differing, 30);
    EXPECT_GT(filled, 10000);
    EXPECT_LT(filled, 50000);
    EXPECT_TRUE(ClipRing(ring, {5000, 5000, 5100, 5100}).empty());   // nothing of it there
}
