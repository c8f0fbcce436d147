// Disc images of a small atlas written by our own writers and mastered by the system's tools:
// every file reads as it does from the folder, names resolve without regard to case, the
// catalogue and the layers read from the image, and a damaged image is refused, not trusted.
#include "CatalogueFixtures.h"
#include "DiscImageFixtures.h"
#include "catalogue/DataList.h"
#include "layers/MapVEC.h"
#include "layers/writers/VECmapWriter.h"
#include "platform/ByteSource.h"
#include "platform/DataPath.h"
#include "platform/DiscImage.h"
#include "platform/MessageSink.h"
#include "platform/TextFile.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace fs = std::filesystem;
using namespace corvane;
using namespace corvane::test;

namespace {

// The folder: the small catalogue atlas, a vector layer, a text page and a file of several
// sectors whose every byte differs from its neighbours.
void WriteImageAtlas(const TempDir& dir)
{
    WriteSmallAtlas(dir);
    LayerWriteOptions o;
    o.Header.DatasetID = "COAST";
    VECmapWriter vec(o, -10, 10, -10, 10);
    vec.AddPolyline(1, {{-5, -5}, {5, 5}, {5, -5}});
    const std::vector<uint8_t> bytes = vec.Bytes();
    dir.Write("Landdata/Vec/LandFull.Vec", std::string(bytes.begin(), bytes.end()));
    dir.Write("Info/Intro.Txt", "Welcome aboard\r\n");
    std::string big(9000, '\0');
    for (size_t i = 0; i < big.size(); ++i) big[i] = static_cast<char>(i * 7 + i / 256);
    dir.Write("Data/Big.Bin", big);
}

std::string Slurp(const ByteSource& src)
{
    std::string out;
    EXPECT_TRUE(ReadAllBytes(src, out));
    return out;
}

// A data path of a file of the folder inside the image, in upper case and with backslashes.
std::string UpperDataPath(const std::string& image, const fs::path& rel)
{
    std::string p = image;
    for (const auto& part : rel) p += "\\" + UpperCase(part.string());
    return p;
}

class DiscImageFormats : public ::testing::TestWithParam<ImageFormat> {
protected:
    void SetUp() override
    {
        CvVars::Reset();
        WriteImageAtlas(atlas);
        image = out / "atlas.iso";
        if (!MakeImage(atlas.Path(), image, GetParam()))
            GTEST_SKIP() << ImageTool(GetParam()) << " is not installed";
    }
    void TearDown() override { CvVars::Reset(); }

    TempDir atlas, out;
    std::string image;
};

TEST_P(DiscImageFormats, EveryFileReadsAsFromTheFolderWhateverTheCaseAsked)
{
    std::string problem;
    std::shared_ptr<const DiscImage> disc = OpenDiscImage(image, problem);
    ASSERT_TRUE(disc) << problem;
    EXPECT_EQ(disc->Kind(), GetParam() == ImageFormat::Udf ? DiscImageKind::Udf : DiscImageKind::Iso9660);

    int files = 0;
    for (const auto& e : fs::recursive_directory_iterator(atlas.Path())) {
        if (!e.is_regular_file()) continue;
        const fs::path rel = fs::relative(e.path(), atlas.Path());
        const std::string dataPath = UpperDataPath(image, rel);
        ASSERT_TRUE(FileExists(dataPath)) << dataPath;
        std::unique_ptr<ByteSource> src = OpenDataFile(dataPath);
        ASSERT_TRUE(src) << dataPath;
        const std::string want = ReadFile(e.path().string());
        EXPECT_EQ(Slurp(*src), want) << rel;
        // A read across a sector boundary, and one running past the end.
        if (want.size() > 2100) {
            char buf[20];
            ASSERT_EQ(src->ReadAt(2040, buf, sizeof buf), sizeof buf);
            EXPECT_EQ(std::string(buf, sizeof buf), want.substr(2040, 20));
            EXPECT_EQ(src->ReadAt(static_cast<int64_t>(want.size()) - 5, buf, sizeof buf), 5u);
        }
        ++files;
    }
    EXPECT_EQ(files, 8);
    EXPECT_FALSE(FileExists(image + "\\Misc\\Missing.Dat"));
    EXPECT_FALSE(FileExists(image + "\\Misc"));
    EXPECT_TRUE(DirectoryExists(image + "\\misc"));
    EXPECT_TRUE(DirectoryExists(image));
    EXPECT_EQ(OpenDataFile(image + "\\Misc"), nullptr);

    std::vector<DataFolderEntry> entries;
    ASSERT_TRUE(ListDataFolder(image + "\\THEMES\\", entries));
    EXPECT_EQ(entries.size(), 3u);   // Bathy, Birds and Currents
    EXPECT_FALSE(ListDataFolder(image + "\\Nowhere", entries));
}

TEST_P(DiscImageFormats, TheCatalogueAndTheLayersReadFromTheImage)
{
    CvVars::CDROM = image;
    CvVars::DatalistFile = CheckCD_Drive("CDROM:\\Misc\\MainMenu.Dat");
    RecordingMessageSink sink;
    DataListTitles titles;
    ASSERT_TRUE(titles.Load(sink));
    const std::string bathy = ConvFileStr(titles.Find("Bathymetry"), sink);
    ASSERT_FALSE(bathy.empty());
    EXPECT_TRUE(MASStruct::Create(bathy, sink));
    // A theme whose master file is missing is reported as from a folder.
    EXPECT_TRUE(ConvFileStr(titles.Find("Plankton"), sink).empty());
    // The folder is named as the image spells it (upper case on a plain ISO 9660 image).
    EXPECT_TRUE(SameText(sink.Texts().back(), image + "/Themes/Plankton.MAS file does not exist")) << sink.Texts().back();

    VECmap coast;
    coast.Create(CheckCD_Drive("CDROM:\\LANDDATA\\vec\\landfull.vec"));
    EXPECT_TRUE(coast.DataOkay());
}

INSTANTIATE_TEST_SUITE_P(Images, DiscImageFormats,
                         ::testing::Values(ImageFormat::JolietRockRidge, ImageFormat::RockRidge, ImageFormat::PlainIso,
                                           ImageFormat::Udf),
                         [](const auto& info) { return std::string(ImageFormatName(info.param)); });

TEST(DiscImage, ANameGivenInItsOwnCaseWinsOverOthersThatDifferInCase)
{
    TempDir atlas, out;
    atlas.Write("Misc/Notes.txt", "mixed");
    atlas.Write("Misc/NOTES.TXT", "upper");
    const std::string image = out / "case.iso";
    if (!MakeImage(atlas.Path(), image, ImageFormat::JolietRockRidge)) GTEST_SKIP() << "genisoimage is not installed";
    auto read = [&](const std::string& p) {
        std::unique_ptr<ByteSource> src = OpenDataFile(image + p);
        return src ? Slurp(*src) : std::string("(none)");
    };
    EXPECT_EQ(read("\\Misc\\Notes.txt"), "mixed");
    EXPECT_EQ(read("\\Misc\\NOTES.TXT"), "upper");
    EXPECT_EQ(read("\\MISC\\notes.Txt"), "upper");   // the first in name order
    std::string resolved;
    std::string problem;
    ASSERT_TRUE(OpenDiscImage(image, problem)->Find("misc/notes.TXT", &resolved));
    EXPECT_EQ(resolved, "Misc/NOTES.TXT");
}

class DamagedImage : public ::testing::Test {
protected:
    void SetUp() override
    {
        WriteImageAtlas(atlas);
        image = out / "atlas.iso";
        if (!MakeImage(atlas.Path(), image, ImageFormat::PlainIso)) GTEST_SKIP() << "genisoimage is not installed";
        bytes = ReadFile(image);
    }
    void Save(const std::string& content) const { std::ofstream(image, std::ios::binary | std::ios::trunc) << content; }
    // Opens the image as written now; every file it lists must read within bounds.
    std::shared_ptr<const DiscImage> Reopen(std::string& problem) const
    {
        std::shared_ptr<const DiscImage> disc = DiscImage::Open(image, problem);
        if (!disc) return disc;
        std::vector<const DiscEntry*> stack{&disc->Root()};
        while (!stack.empty()) {
            const DiscEntry* f = stack.back();
            stack.pop_back();
            for (const DiscEntry& c : f->children) {
                if (c.folder) {
                    stack.push_back(&c);
                    continue;
                }
                std::unique_ptr<ByteSource> src = disc->OpenFile(c);
                std::string content;
                EXPECT_TRUE(src && ReadAllBytes(*src, content)) << c.name;
            }
        }
        return disc;
    }
    uint32_t RootSector() const
    {
        const size_t at = 16 * 2048 + 156 + 2;
        return static_cast<uint8_t>(bytes[at]) | static_cast<uint8_t>(bytes[at + 1]) << 8 |
               static_cast<uint8_t>(bytes[at + 2]) << 16;
    }

    TempDir atlas, out;
    std::string image, bytes;
};

TEST_F(DamagedImage, ATruncatedImageIsRefusedWithAReasonAndItsFilesAreNotThere)
{
    // Cut just before the bytes of a file: its record now points past the end.
    const size_t page = bytes.find("Welcome aboard");
    ASSERT_NE(page, std::string::npos);
    Save(bytes.substr(0, page));
    std::string problem;
    EXPECT_FALSE(Reopen(problem));
    EXPECT_EQ(problem, "its directory is damaged");
    EXPECT_EQ(DataMediumProblem(image), "The disc image " + image + " cannot be read: its directory is damaged.");
    EXPECT_FALSE(FileExists(image + "\\Misc\\MainMenu.Dat"));
    EXPECT_EQ(OpenDataFile(image + "\\Misc\\MainMenu.Dat"), nullptr);

    Save(bytes.substr(0, 16 * 2048 + 100));
    EXPECT_FALSE(Reopen(problem));
    EXPECT_EQ(problem, "it is too short for a disc image");
}

TEST_F(DamagedImage, AFileRecordPointingOutsideTheImageIsRefused)
{
    // The root folder's records: find MISC and send its extent far past the end.
    const size_t root = RootSector() * 2048;
    const size_t name = bytes.find("MISC", root);
    ASSERT_LT(name, root + 2048);
    std::string damaged = bytes;
    const size_t record = name - 33;
    for (size_t k : {2u, 9u}) damaged[record + k + 3] = '\x7f';   // both byte orders of the extent
    Save(damaged);
    std::string problem;
    EXPECT_FALSE(Reopen(problem));
    EXPECT_EQ(problem, "its directory is damaged");
}

TEST_F(DamagedImage, FlippedBytesInTheRootFolderNeverLeadOutsideTheImage)
{
    const size_t root = RootSector() * 2048;
    int refused = 0;
    for (size_t k = 0; k < 400; ++k) {
        std::string damaged = bytes;
        damaged[root + k] = static_cast<char>(damaged[root + k] ^ 0xA5);
        Save(damaged);
        std::string problem;
        if (!Reopen(problem)) {
            ++refused;
            EXPECT_FALSE(problem.empty());
        }
    }
    EXPECT_GT(refused, 0);
}

TEST_F(DamagedImage, AFileThatIsNoImageIsNamedAsSuch)
{
    const std::string text = atlas.Write("readme.txt", std::string(40000, 'x'));
    EXPECT_FALSE(IsDiscImageFile(text));
    EXPECT_TRUE(IsDiscImageFile(image));
    EXPECT_FALSE(FileExists(text + "\\Misc\\MainMenu.Dat"));
    EXPECT_EQ(DataMediumProblem(text), "The disc image " + text + " cannot be read: it holds no ISO 9660 or UDF volume.");
    EXPECT_EQ(DataMediumProblem(atlas.Path()), "");
    EXPECT_EQ(DataMediumProblem(image), "");
}

TEST_F(DamagedImage, AnImageWrittenAgainIsReadAgain)
{
    EXPECT_FALSE(FileExists(image + "\\Extra\\New.Dat"));
    atlas.Write("Extra/New.Dat", "new");
    ASSERT_TRUE(MakeImage(atlas.Path(), image, ImageFormat::PlainIso));
    EXPECT_TRUE(FileExists(image + "\\Extra\\New.Dat"));
}

uint32_t Le32At(const std::string& b, size_t at)
{
    return static_cast<uint8_t>(b[at]) | static_cast<uint8_t>(b[at + 1]) << 8 | static_cast<uint8_t>(b[at + 2]) << 16 |
           static_cast<uint32_t>(static_cast<uint8_t>(b[at + 3])) << 24;
}

void PutLe32(std::string& b, size_t at, uint32_t v)
{
    for (int i = 0; i < 4; ++i) b[at + static_cast<size_t>(i)] = static_cast<char>((v >> (8 * i)) & 0xFF);
}

TEST(DiscImage, AUdfFileInSeveralExtentsReadsEachFromItsOwnPlace)
{
    // A file of three sectors A B C, its file entry then rewritten to two extents out of
    // order: C first, then A B. Read back, it must be C A B, however it is read.
    TempDir atlas, out;
    std::string file(3 * 2048, '\0');
    for (size_t i = 0; i < file.size(); ++i) file[i] = static_cast<char>(i * 13 + i / 256 + 1);
    atlas.Write("Data/Runs.Bin", file);
    const std::string image = out / "udf.iso";
    if (!MakeImage(atlas.Path(), image, ImageFormat::Udf)) GTEST_SKIP() << "genisoimage is not installed";
    std::string bytes = ReadFile(image);
    const size_t data = bytes.find(file);
    ASSERT_TRUE(data != std::string::npos && data % 2048 == 0);

    // The file entry (tag 261) of a file of that length; its allocation descriptors (short or
    // long: a length, then a block of the partition) follow its extended attributes at 176.
    size_t entry = std::string::npos, step = 0;
    for (size_t at = 0; at + 2048 <= bytes.size() && entry == std::string::npos; at += 2048) {
        if (Le32At(bytes, at) % 65536 != 261 || Le32At(bytes, at + 56) != file.size() || Le32At(bytes, at + 60) != 0)
            continue;
        const uint32_t type = static_cast<uint8_t>(bytes[at + 34]) & 7;
        if (type > 1) continue;
        entry = at;
        step = type == 0 ? 8 : 16;
    }
    ASSERT_NE(entry, std::string::npos);
    const size_t ads = entry + 176 + Le32At(bytes, entry + 168);
    ASSERT_EQ(Le32At(bytes, entry + 172), step);
    ASSERT_EQ(Le32At(bytes, ads), file.size());
    const uint32_t block = Le32At(bytes, ads + 4);
    const std::string first = bytes.substr(ads, step);
    bytes.replace(ads + step, step, first);   // a second descriptor like the first
    PutLe32(bytes, entry + 172, static_cast<uint32_t>(2 * step));
    PutLe32(bytes, ads, 2048);
    PutLe32(bytes, ads + 4, block + 2);
    PutLe32(bytes, ads + step, 4096);
    std::ofstream(image, std::ios::binary | std::ios::trunc) << bytes;

    std::string problem;
    std::shared_ptr<const DiscImage> disc = DiscImage::Open(image, problem);
    ASSERT_TRUE(disc) << problem;
    ASSERT_EQ(disc->Kind(), DiscImageKind::Udf);
    const DiscEntry* runs = disc->Find("DATA/runs.bin");
    ASSERT_TRUE(runs);
    ASSERT_EQ(runs->extents.size(), 2u);
    const std::unique_ptr<ByteSource> src = disc->OpenFile(*runs);
    const std::string expected = file.substr(4096) + file.substr(0, 4096);
    EXPECT_TRUE(Slurp(*src) == expected);
    for (const auto& [pos, n] : {std::pair<int64_t, size_t>{1000, 3000}, {2048, 2048}, {3000, 2000}, {5000, 1144}}) {
        std::string part(n, '\0');
        EXPECT_EQ(src->ReadAt(pos, part.data(), n), n);
        EXPECT_TRUE(part == expected.substr(static_cast<size_t>(pos), n)) << "at " << pos;
    }
}

TEST(DiscImage, FlippedBytesInAUdfVolumeNeverLeadOutsideTheImage)
{
    TempDir atlas, out;
    WriteImageAtlas(atlas);
    const std::string image = out / "udf.iso";
    if (!MakeImage(atlas.Path(), image, ImageFormat::Udf)) GTEST_SKIP() << "genisoimage is not installed";
    const std::string bytes = ReadFile(image);
    // The UDF descriptors and file entries follow the anchor at sector 256. A UDF side that
    // cannot be read leaves the ISO 9660 side of the bridge disc, or nothing.
    int udfRefused = 0;
    for (size_t sector = 256; sector < 300 && sector * 2048 < bytes.size(); ++sector) {
        for (size_t k : {0u, 5u, 40u, 170u, 180u, 200u}) {
            std::string damaged = bytes;
            damaged[sector * 2048 + k] = static_cast<char>(damaged[sector * 2048 + k] ^ 0x5A);
            std::ofstream(image, std::ios::binary | std::ios::trunc) << damaged;
            std::string problem;
            std::shared_ptr<const DiscImage> disc = DiscImage::Open(image, problem);
            if (!disc || disc->Kind() != DiscImageKind::Udf) {
                ++udfRefused;
                if (!disc) continue;
            }
            for (const DiscEntry& c : disc->Root().children) {
                std::unique_ptr<ByteSource> src = disc->OpenFile(c);
                std::string content;
                EXPECT_TRUE(c.folder || (src && ReadAllBytes(*src, content))) << c.name;
            }
        }
    }
    EXPECT_GT(udfRefused, 0);
}

} // namespace
