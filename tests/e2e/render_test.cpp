// corvane-render on small atlases written by our own writers: the pixels the data fix.
#include "AtlasFixture.h"


#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <regex>
#include <sys/wait.h>
#include <utility>
#include <vector>

namespace corvane::test {
namespace {

const Colour kRed = DOSColour[12];

struct RenderRun {
    int status = -1;
    std::string errors;   // standard error
    QImage image;
};

class RenderTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        const char* r = std::getenv("CORVANE_RENDER");
        ASSERT_TRUE(r && *r) << "CORVANE_RENDER names the renderer";
        renderer_ = r;
        WriteCoastlines(dir_);
    }

    // Runs the renderer with args (quoted as given) on the atlas; reads back a PNG output.
    RenderRun Run(const std::string& args, const std::string& output = "map.png", bool withCdrom = true)
    {
        std::string cmd = "'" + renderer_ + "' " + (withCdrom ? "--cdrom '" + dir_.Path() + "' " : "") +
                          "--size 400x400 " + args;
        if (!output.empty()) cmd += " --output '" + (dir_ / output) + "'";
        cmd += " 2> '" + (dir_ / "errors.txt") + "' >/dev/null";
        RenderRun run;
        const int rc = std::system(cmd.c_str());
        run.status = WIFEXITED(rc) ? WEXITSTATUS(rc) : -1;
        run.errors = ReadFile(dir_ / "errors.txt");
        if (output.size() > 4 && output.substr(output.size() - 4) == ".png") run.image.load(QString::fromStdString(dir_ / output));
        return run;
    }

    QImage Map(const TestMap& map)
    {
        const std::string mdf = dir_.Write("map.mdf", MapText(map));
        RenderRun run = Run("'" + mdf + "'");
        EXPECT_EQ(run.status, 0) << run.errors;
        EXPECT_EQ(run.image.size(), QSize(kPicture, kPicture));
        return run.image;
    }

    TempDir dir_;
    std::string renderer_;
};

// Box sides that select each of the five coastline levels at the start-up resolution step
// (400 / side pixels a degree against the thresholds 16, 32, 64 and 128).
const double kSideOfLevel[5] = {30, 20, 10, 5, 2};

TEST_F(RenderTest, LandAndOutlineAtEachCoastlineLevel)
{
    for (int level = 0; level < 5; ++level) {
        const double side = kSideOfLevel[level];
        const QImage filled = Map({side, 1, {}, {}}), outlined = Map({side, 0, {}, {}});
        for (int band = 0; band < 5; ++band) {
            EXPECT_EQ(PixelAt(filled, side, 0.3, BandCentre(band)), band == level ? kLandFill : kSea)
                << "side " << side << ", band " << band;
            EXPECT_EQ(NearColumn(outlined, side, 0.3, BandCentre(band), kOutline), band == level)
                << "side " << side << ", band " << band;
        }
        EXPECT_EQ(PixelAt(outlined, side, 0.3, BandCentre(level) - 0.15), kSea) << "no land fill in outline style";
    }
}

TEST_F(RenderTest, DataUnderTheCoastlineIsMaskedOverLand)
{
    WriteSquare(dir_, "Themes/Under.Pol", -3, -3, 3, 3);
    dir_.Write("Themes/Under.MAS", ThemeText({{8, true, {{"CDROM:\\Themes\\Under.Pol", 0}}}}, 12));
    WriteDataListOf(dir_, {{"Under", "Themes\\Under.MAS"}});

    // Outline style: the land (band 1 at this scale) is painted in the background colour over
    // the data set, the sea keeps it.
    QImage img = Map({20, 0, {"Under"}, {}});
    EXPECT_EQ(PixelAt(img, 20, 0.3, -0.5), kSea);
    EXPECT_EQ(PixelAt(img, 20, 0.3, 0.6), kRed);
    EXPECT_EQ(PixelAt(img, 20, 5, 5), kSea);
    // Infilled: the land lies over it in the fill colour.
    img = Map({20, 1, {"Under"}, {}});
    EXPECT_EQ(PixelAt(img, 20, 0.3, -0.5), kLandFill);
    EXPECT_EQ(PixelAt(img, 20, 0.3, 0.6), kRed);
}

TEST_F(RenderTest, OwnCoastlineOfFirstBaseMapOrOverlaySuppressesTheStandardOne)
{
    dir_.Write("Themes/Own.MAS", ThemeText({}, 12, true));
    dir_.Write("Themes/Plain.MAS", ThemeText({}, 12));
    WriteDataListOf(dir_, {{"Own", "Themes\\Own.MAS"}, {"Plain", "Themes\\Plain.MAS"}});

    EXPECT_EQ(PixelAt(Map({20, 1, {"Own", "Plain"}, {}}), 20, 0.3, -0.4), kSea);
    EXPECT_EQ(PixelAt(Map({20, 1, {"Plain"}, {"Own"}}), 20, 0.3, -0.4), kSea);
    // Only the first base map of the chain is looked at.
    EXPECT_EQ(PixelAt(Map({20, 1, {"Plain", "Own"}, {}}), 20, 0.3, -0.4), kLandFill);
}

TEST_F(RenderTest, ScaleChoosesTheFileOfADataSet)
{
    WriteSquare(dir_, "Themes/Near.Pol", 0.6, 1.1, 1.4, 1.9);
    WriteSquare(dir_, "Themes/Far.Pol", -1.4, 1.1, -0.6, 1.9);
    dir_.Write("Themes/Scaled.MAS",
               ThemeText({{8, false, {{"CDROM:\\Themes\\Near.Pol", 50}, {"CDROM:\\Themes\\Far.Pol", 10}}}}, 12));
    WriteDataListOf(dir_, {{"Scaled", "Themes\\Scaled.MAS"}});

    // latscl = 400 x 1.2 / side: 96 takes the first file, 24 the second, 8 neither.
    const struct {
        double side;
        bool nearDrawn, farDrawn;
    } cases[] = {{5, true, false}, {20, false, true}, {60, false, false}};
    for (const auto& c : cases) {
        const QImage img = Map({c.side, 1, {"Scaled"}, {}});
        EXPECT_EQ(PixelAt(img, c.side, 1, 1.5), c.nearDrawn ? kRed : kSea) << "side " << c.side;
        EXPECT_EQ(PixelAt(img, c.side, -1, 1.5), c.farDrawn ? kRed : kSea) << "side " << c.side;
    }
}

TEST_F(RenderTest, MissingDataFileIsReportedOnceAndTheRestIsDrawn)
{
    WriteSquare(dir_, "Themes/There.Pol", -1, 1.1, 1, 1.9);
    dir_.Write("Themes/Gaps.MAS", ThemeText({{5, false, {{"CDROM:\\Themes\\Gone.Sym", 0}}},
                                             {12, false, {{"CDROM:\\Themes\\Unknown.Xyz", 0}}},
                                             {8, false, {{"CDROM:\\Themes\\There.Pol", 0}}}},
                                            12));
    WriteDataListOf(dir_, {{"Gaps", "Themes\\Gaps.MAS"}});
    const std::string mdf = dir_.Write("map.mdf", MapText({20, 1, {"Gaps"}, {}}));

    const RenderRun run = Run("'" + mdf + "'");
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.errors, dir_.Path() + "/Themes/Gone.Sym is not present : Check the MAS file\n");
    EXPECT_EQ(PixelAt(run.image, 20, 0, 1.5), kRed);
    EXPECT_EQ(PixelAt(run.image, 20, 0.3, -0.4), kLandFill);
}

TEST_F(RenderTest, PdfOutputIsOnePage)
{
    const std::string mdf = dir_.Write("map.mdf", MapText({20, 1, {}, {}}));
    const RenderRun run = Run("'" + mdf + "'", "map.pdf");
    ASSERT_EQ(run.status, 0) << run.errors;
    const std::string pdf = ReadFile(dir_ / "map.pdf");
    ASSERT_EQ(pdf.rfind("%PDF-", 0), 0u);
    const std::regex page(R"(/Type\s*/Page[^s])");
    EXPECT_EQ(std::distance(std::sregex_iterator(pdf.begin(), pdf.end(), page), std::sregex_iterator()), 1);
    std::smatch box;
    ASSERT_TRUE(std::regex_search(pdf, box, std::regex(R"(/MediaBox\s*\[\s*0\s+0\s+([\d.]+)\s+([\d.]+)\s*\])")));
    EXPECT_GT(std::stod(box[1]), 400.0);   // a paper page in points
    EXPECT_GT(std::stod(box[2]), 500.0);

    // The page (in points) turned the way the map prints largest, or as --page says, on the
    // paper --page-size names.
    const auto pageOf = [&](const std::string& options) {
        const RenderRun r = Run(options + " '" + mdf + "'", "page.pdf");
        EXPECT_EQ(r.status, 0) << options << ": " << r.errors;
        const std::string text = ReadFile(dir_ / "page.pdf");
        std::smatch m;
        if (!std::regex_search(text, m, std::regex(R"(/MediaBox\s*\[\s*0\s+0\s+([\d.]+)\s+([\d.]+)\s*\])")))
            return std::string("none");
        return std::to_string(std::lround(std::stod(m[1]))) + "x" + std::to_string(std::lround(std::stod(m[2])));
    };
    EXPECT_EQ(pageOf("--size 800x400"), "842x595");
    EXPECT_EQ(pageOf("--size 400x800"), "595x842");
    EXPECT_EQ(pageOf("--size 800x400 --page portrait"), "595x842");
    EXPECT_EQ(pageOf("--size 400x800 --page-size letter"), "612x792");
    EXPECT_EQ(Run("--page-size Napkin '" + mdf + "'", "page.pdf").status, 2);
}

TEST_F(RenderTest, SettingsFileGivesTheDataLocationAndCoastlineFiles)
{
    // The 3' land file (level 1) is taken from the 5' one's place: band 0 shows instead.
    const std::string ini = dir_.Write("corvane.ini", "[Files]\nCDROM=" + dir_.Path() +
                                                          "\nFillCoast3Min=CDROM:\\Landdata\\Mrl\\Land5Min.Mrl\n");
    const std::string mdf = dir_.Write("map.mdf", MapText({20, 1, {}, {}}));
    const RenderRun run = Run("--settings '" + ini + "' '" + mdf + "'", "map.png", false);
    ASSERT_EQ(run.status, 0) << run.errors;
    EXPECT_EQ(PixelAt(run.image, 20, 0.3, BandCentre(0)), kLandFill);
    EXPECT_EQ(PixelAt(run.image, 20, 0.3, BandCentre(1)), kSea);
}

TEST_F(RenderTest, ExitStatus)
{
    EXPECT_EQ(Run("--bogus").status, 2);
    EXPECT_EQ(Run("--size 0x300").status, 2);
    EXPECT_EQ(Run("", "").status, 2);                      // no --output
    EXPECT_EQ(Run("", "map.gif").status, 2);
    EXPECT_EQ(Run("--find a").status, 2);                   // the place search wants two letters
    // A second map after the last --output is told to want its own.
    const RenderRun twoMaps = Run("a.mdf --output '" + (dir_ / "a.png") + "' b.mdf", "");
    EXPECT_EQ(twoMaps.status, 2);
    EXPECT_NE(twoMaps.errors.find("each further map needs its own --output"), std::string::npos) << twoMaps.errors;
    EXPECT_EQ(Run("--help", "").status, 0);
    EXPECT_EQ(Run("'" + (dir_ / "none.mdf") + "'").status, 1);
    const RenderRun fresh = Run("", "new.bmp");             // a new map
    EXPECT_EQ(fresh.status, 0) << fresh.errors;
    EXPECT_FALSE(QImage(QString::fromStdString(dir_ / "new.bmp")).isNull());
}

// No picture is written over a file the run reads, whatever name it goes by, nor two pictures
// into one file; and a map whose box no map can show gives no picture.
TEST_F(RenderTest, OutputsOverInputsAndBoxesNoMapCanShowAreRefused)
{
    namespace fs = std::filesystem;
    WriteDataListOf(dir_, {});
    const std::string mdf = dir_.Write("map.mdf", MapText({20, 1, {}, {}}));
    const std::string ini = dir_.Write("settings.png", "[Files]\nCDROM=" + dir_.Path() + "\n");
    fs::create_symlink(mdf, dir_ / "map.png");
    fs::create_hard_link(dir_ / "Misc/MainMenu.Dat", dir_ / "list.png");
    fs::create_symlink(dir_ / "Landdata/Mrl/Land1Min.Mrl", dir_ / "land.png");
    for (const std::string output : {"map.png", "settings.png", "list.png", "land.png"}) {
        const std::string before = ReadFile(dir_ / output);
        const RenderRun run = Run("--settings '" + ini + "' '" + mdf + "'", output, false);
        EXPECT_EQ(run.status, 2) << output;
        EXPECT_EQ(run.errors, "corvane-render: " + (dir_ / output) + " is read by this run; --output names a new file\n");
        EXPECT_EQ(ReadFile(dir_ / output), before) << output;
    }
    const RenderRun same = Run("'" + mdf + "' --output '" + (dir_ / "same.png") + "' '" + mdf + "'", "Misc/../same.png");
    EXPECT_EQ(same.status, 2);
    EXPECT_NE(same.errors.find("two maps are given the same output"), std::string::npos) << same.errors;
    EXPECT_FALSE(fs::exists(dir_ / "same.png"));

    std::string text = MapText({20, 1, {}, {}});
    text.replace(text.find("Lat=-10.000000 10.000000"), 24, "Lat=10 -10");
    const RenderRun swapped = Run("--strict '" + dir_.Write("swapped.mdf", text) + "'", "swapped.png");
    EXPECT_EQ(swapped.status, 1);
    EXPECT_NE(swapped.errors.find("swapped.mdf cannot be shown: Lat = 10 -10"), std::string::npos) << swapped.errors;
    EXPECT_FALSE(fs::exists(dir_ / "swapped.png"));
}

TEST_F(RenderTest, ThePictureDoesNotFollowTheDesktopsScaling)
{
    // A graticule with its labels: text is what a desktop's scaling would change.
    std::string text = MapText({kSideOfLevel[1], 1, {}, {}});
    text.replace(text.find("Grid_Displayed=0"), 16, "Grid_Displayed=1");
    const std::string mdf = dir_.Write("grid.mdf", text);
    const RenderRun plain = Run("'" + mdf + "'", "plain.png");
    ASSERT_EQ(plain.status, 0) << plain.errors;
    ::setenv("QT_SCALE_FACTOR", "2", 1);
    const RenderRun scaled = Run("'" + mdf + "'", "scaled.png");
    ::unsetenv("QT_SCALE_FACTOR");
    ASSERT_EQ(scaled.status, 0) << scaled.errors;
    EXPECT_EQ(scaled.image.size(), plain.image.size());
    EXPECT_TRUE(scaled.image == plain.image);
}

TEST_F(RenderTest, SeveralMapsInOneProcessAreThePicturesOfOneProcessEach)
{
    // A filled map at one level and an outlined one at another, the second map's data set
    // sharing the coastline files the first opened.
    const std::string filled = dir_.Write("filled.mdf", MapText({kSideOfLevel[1], 1, {}, {}}));
    const std::string outlined = dir_.Write("outlined.mdf", MapText({kSideOfLevel[3], 0, {}, {}}));
    const RenderRun batch = Run("'" + filled + "' --output '" + (dir_ / "one.png") + "' '" + outlined + "'", "two.png");
    ASSERT_EQ(batch.status, 0) << batch.errors;
    const QImage one(QString::fromStdString(dir_ / "one.png"));
    const RenderRun alone = Run("'" + outlined + "'", "alone.png");
    ASSERT_EQ(alone.status, 0) << alone.errors;
    EXPECT_EQ(batch.image, alone.image);
    EXPECT_EQ(one, Run("'" + filled + "'", "filled.png").image);
    EXPECT_EQ(PixelAt(one, kSideOfLevel[1], 0.3, BandCentre(1)), kLandFill);
    EXPECT_NE(one, batch.image);
    // Each map keeps the scale of longitude of its own box when a map far north follows it.
    std::string northText = MapText({kSideOfLevel[1], 1, {}, {}});
    northText = std::regex_replace(northText, std::regex("Lat=[^\r]*"), "Lat=50 60");
    const std::string north = dir_.Write("north.mdf", northText);
    ASSERT_EQ(Run("'" + filled + "' --output '" + (dir_ / "first.png") + "' '" + north + "'", "north.png").status, 0);
    EXPECT_EQ(QImage(QString::fromStdString(dir_ / "first.png")), one);

    // Only a map and its --output may follow the first picture.
    EXPECT_EQ(Run("--output '" + (dir_ / "x.png") + "' --size 300x300", "y.png").status, 2);
    // A map file missing in the middle is said and gives status 1; the others are drawn, as
    // they are round a damaged one.
    const std::string damaged = dir_.Write("damaged.mdf", "not a map\n");
    for (const std::string& bad : {dir_ / "none.mdf", damaged}) {
        const std::string name = std::filesystem::path(bad).filename().string();
        const RenderRun run = Run("'" + filled + "' --output '" + (dir_ / ("x" + name + ".png")) + "' '" + bad +
                                      "' --output '" + (dir_ / ("w" + name + ".png")) + "' '" + outlined + "'",
                                  "y" + name + ".png");
        EXPECT_EQ(run.status, 1) << name;
        EXPECT_NE(run.errors.find(name), std::string::npos) << run.errors;
        EXPECT_EQ(QImage(QString::fromStdString(dir_ / ("x" + name + ".png"))), one) << name;
        EXPECT_FALSE(std::filesystem::exists(dir_ / ("w" + name + ".png"))) << name;
        EXPECT_EQ(run.image, alone.image) << name;
    }

    // The files of a batch are written while the next maps are drawn: what the maps say and
    // the files that cannot be written are still told in the order of the maps.
    dir_.Write("Themes/Gaps.MAS", ThemeText({{5, false, {{"CDROM:\\Themes\\Gone.Sym", 0}}}}, 12));
    WriteDataListOf(dir_, {{"Gaps", "Themes\\Gaps.MAS"}});
    const std::string gaps = dir_.Write("gaps.mdf", MapText({20, 1, {"Gaps"}, {}}));
    const std::string said = dir_.Path() + "/Themes/Gone.Sym is not present : Check the MAS file\n";
    std::string args, expected;
    const std::vector<std::pair<std::string, bool>> batch2 = {{gaps, false}, {filled, true}, {gaps, false}, {gaps, true},
                                                              {filled, false}, {filled, false}, {gaps, true}};
    for (size_t i = 0; i < batch2.size(); ++i) {
        const auto& [map, writable] = batch2[i];
        const std::string out = dir_ / ((writable ? "" : "nowhere/") + std::to_string(i) + ".png");
        args += "'" + map + "' --output '" + out + "' ";
        if (map == gaps) expected += said;
        if (!writable) expected += "Unable to write " + out + " : No such file or directory\n";
    }
    const RenderRun told = Run(args + "'" + gaps + "'", "last.png");
    EXPECT_EQ(told.status, 1);
    EXPECT_EQ(told.errors, expected + said);
}

} // namespace
} // namespace corvane::test
