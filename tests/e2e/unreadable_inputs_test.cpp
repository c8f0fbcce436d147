// Names in the data that lead to nothing a program may read: a FIFO (or another file that is
// not a regular file) in any place a file is named, a master file that is not there, and a
// "CDROM:" path that climbs out of the medium. corvane-render and corvane-atlas export name
// each at once and go on with the rest; nothing waits. Each run is ended after a minute should
// it wait after all, so a fault fails the test instead of holding up the suite.
#include "AtlasFixture.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <sys/stat.h>
#include <sys/wait.h>

namespace corvane::test {
namespace {

const Colour kRed = DOSColour[12];

struct Outcome {
    int status = -1;
    std::string errors;
};

class UnreadableInputs : public ::testing::Test {
protected:
    void SetUp() override
    {
        const char* r = std::getenv("CORVANE_RENDER");
        ASSERT_TRUE(r && *r) << "CORVANE_RENDER names the renderer";
        renderer_ = r;
        WriteCoastlines(dir_);
        WriteSquare(dir_, "Themes/Square.Pol", -1, 1.1, 1, 1.9);
    }

    Outcome Limited(const std::string& command)
    {
        const std::string errors = dir_ / "errors.txt";
        const int rc = std::system(("timeout -k 5 60 " + command + " 2> '" + errors + "' >/dev/null").c_str());
        return {WIFEXITED(rc) ? WEXITSTATUS(rc) : -1, ReadFile(errors)};
    }

    Outcome Render(const std::string& args)
    {
        return Limited("'" + renderer_ + "' --cdrom '" + dir_.Path() + "' --size 400x400 " + args + " --output '" +
                       (dir_ / "map.png") + "'");
    }

    std::string Fifo(const std::string& rel)
    {
        const std::string path = dir_ / rel;
        dir_.Write(rel, "");
        ::unlink(path.c_str());
        EXPECT_EQ(::mkfifo(path.c_str(), 0600), 0) << path;
        return path;
    }

    QImage Picture() const { return QImage(QString::fromStdString(dir_ / "map.png")); }

    TempDir dir_;
    std::string renderer_;
};

TEST_F(UnreadableInputs, AFifoInEveryPlaceOfTheRendererIsNamedAndTheRestIsDrawn)
{
    // A layer file of a master file, a master file of the data list, the land files of the
    // settings: each told with its format's message.
    const std::string layer = Fifo("Themes/Pipe.Pol");
    dir_.Write("Themes/Layers.MAS", ThemeText({{8, false, {{"CDROM:\\Themes\\Pipe.Pol", 0}}},
                                               {8, false, {{"CDROM:\\Themes\\Square.Pol", 0}}}},
                                              12));
    const std::string master = Fifo("Themes/Pipe.MAS");
    WriteDataListOf(dir_, {{"Layers", "Themes\\Layers.MAS"}, {"Pipe", "Themes\\Pipe.MAS"}});
    const std::string land = Fifo("Landdata/Mrl/Pipe.Mrl");
    std::string ini = "[Files]\nCDROM=" + dir_.Path() + "\n";
    for (const char* key : {"FillCoast12s", "FillCoast36s", "FillCoast1Min", "FillCoast3Min", "FillCoast5Min"})
        ini += std::string(key) + "=CDROM:\\Landdata\\Mrl\\Pipe.Mrl\n";
    const std::string settings = dir_.Write("corvane.ini", ini);
    const std::string mdf = dir_.Write("map.mdf", MapText({20, 1, {"Layers"}, {"Pipe"}}));

    const Outcome run = Render("--strict --settings '" + settings + "' '" + mdf + "'");
    EXPECT_EQ(run.status, 3) << run.errors;
    EXPECT_NE(run.errors.find(layer + " is not present : Check the MAS file (it is not a regular file)\n"),
              std::string::npos) << run.errors;
    EXPECT_NE(run.errors.find(master + " is not present : Check the data list file (it is not a regular file)\n"),
              std::string::npos) << run.errors;
    EXPECT_NE(run.errors.find("Unable to open Coastline file : " + land + " (it is not a regular file)\n"),
              std::string::npos) << run.errors;
    EXPECT_EQ(PixelAt(Picture(), 20, 0, 1.5), kRed);

    // The data list itself.
    const std::string list = Fifo("Misc/Pipe.Dat");
    const Outcome listRun = Render("--datalist '" + list + "' '" + mdf + "'");
    EXPECT_EQ(listRun.errors, "There is a problem opening file " + list + ". It is not a regular file.\n");
    EXPECT_EQ(listRun.status, 0);
}

TEST_F(UnreadableInputs, AMissingMasterFileIsToldOnceAndFailsAStrictRun)
{
    WriteDataListOf(dir_, {{"Gone", "Themes\\Gone.MAS"}});
    const std::string mdf = dir_.Write("map.mdf", MapText({20, 1, {"Gone"}, {}}));
    const std::string told = dir_.Path() + "/Themes/Gone.MAS is not present : Check the data list file\n";
    Outcome run = Render("'" + mdf + "'");
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.errors, told);
    run = Render("--strict '" + mdf + "'");
    EXPECT_EQ(run.status, 3);
    EXPECT_EQ(run.errors, told);
    EXPECT_EQ(PixelAt(Picture(), 20, 0.3, -0.4), kLandFill);   // the map without the theme
}

TEST_F(UnreadableInputs, CdromPathsThatClimbOutOfTheMediumAreRefused)
{
    // Beside the medium: a theme and a layer that would draw red where they were read.
    TempDir beside;
    WriteSquare(beside, "Out.Pol", -1, 1.1, 1, 1.9);
    beside.Write("Out.MAS", ThemeText({{8, false, {{"CDROM:\\Themes\\Square.Pol", 0}}}}, 12));
    const std::string up = "CDROM:\\Themes\\..\\..\\" + beside.Path().substr(beside.Path().rfind('/') + 1);
    dir_.Write("Themes/Leaves.MAS", ThemeText({{8, false, {{up + "\\Out.Pol", 0}}}}, 12));
    // A ".." that stays inside is followed.
    dir_.Write("Themes/Inside.MAS", ThemeText({{8, false, {{"CDROM:\\Misc\\..\\Themes\\Square.Pol", 0}}}}, 10));
    std::vector<DataListEntry> entries = {{1, "Themes", 1, "XXXX"},
                                          {2, "Out", 1, up + "\\Out.MAS"},
                                          {2, "Leaves", 1, "CDROM:\\Themes\\Leaves.MAS"},
                                          {2, "Inside", 1, "CDROM:\\Misc\\..\\Themes\\Inside.MAS"}};
    dir_.Write("Misc/MainMenu.Dat", WriteDataList(entries));
    const std::string medium = " (it leads outside the data medium " + dir_.Path() + ")\n";
    const std::string upNative = dir_.Path() + "/Themes/../../" + beside.Path().substr(beside.Path().rfind('/') + 1);

    const Outcome out = Render("--strict '" + dir_.Write("out.mdf", MapText({20, 1, {"Out"}, {}})) + "'");
    EXPECT_EQ(out.status, 3);
    EXPECT_EQ(out.errors, upNative + "/Out.MAS is not present : Check the data list file" + medium);
    EXPECT_EQ(PixelAt(Picture(), 20, 0, 1.5), kSea);

    const Outcome leaves = Render("--strict '" + dir_.Write("leaves.mdf", MapText({20, 1, {"Leaves"}, {}})) + "'");
    EXPECT_EQ(leaves.status, 3);
    EXPECT_EQ(leaves.errors, upNative + "/Out.Pol is not present : Check the MAS file" + medium);
    EXPECT_EQ(PixelAt(Picture(), 20, 0, 1.5), kSea);

    const Outcome inside = Render("--strict '" + dir_.Write("inside.mdf", MapText({20, 1, {"Inside"}, {}})) + "'");
    EXPECT_EQ(inside.status, 0) << inside.errors;
    EXPECT_EQ(PixelAt(Picture(), 20, 0, 1.5), DOSColour[10]);
}

#ifdef CORVANE_ATLAS_TOOL
TEST_F(UnreadableInputs, AFifoGivenToExportIsRefusedAtOnce)
{
    const std::string layer = Fifo("Themes/Pipe.Pol");
    const std::string out = dir_ / "out.geojson";
    const Outcome run = Limited("'" CORVANE_ATLAS_TOOL "' export --cdrom '" + dir_.Path() + "' '" + layer +
                            "' --output '" + out + "'");
    EXPECT_NE(run.status, 0);
    EXPECT_NE(run.errors.find(layer + ": it is not a regular file"), std::string::npos) << run.errors;
    struct stat st {};
    EXPECT_NE(::stat(out.c_str(), &st), 0);
}
#endif

} // namespace
} // namespace corvane::test
