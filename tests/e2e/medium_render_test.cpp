// corvane-render on one atlas met in different places: a folder, ISO 9660 and UDF images of
// it, and a copy in a deep folder with blanks in its names. The pictures are the same pixel for
// pixel.
#include "AtlasFixture.h"
#include "DiscImageFixtures.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <sys/wait.h>

namespace corvane::test {
namespace {

class MediumRenderTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        const char* r = std::getenv("CORVANE_RENDER");
        ASSERT_TRUE(r && *r) << "CORVANE_RENDER names the renderer";
        renderer_ = r;
        WriteCoastlines(atlas_);
        WriteSquare(atlas_, "Themes/Square/Square.Pol", -2, -3, 2, 3);
        atlas_.Write("Themes/Square/Square.MAS", ThemeText({{8, false, {{"CDROM:\\Themes\\Square\\Square.Pol", 0}}}}, 12));
        WriteDataListOf(atlas_, {{"Square", "Themes\\Square\\Square.MAS"}});
        map_ = out_.Write("map.mdf", MapText({10, 1, {"Square"}, {}}));
    }

    // Renders the map with the medium given; the picture, or a null one (and the messages).
    QImage Render(const std::string& medium, std::string* errors = nullptr)
    {
        const std::string png = out_ / ("map" + std::to_string(++runs_) + ".png");
        const std::string cmd = "'" + renderer_ + "' --cdrom '" + medium + "' --size 400x400 '" + map_ + "' --output '" +
                                png + "' 2> '" + (out_ / "errors.txt") + "'";
        const int rc = std::system(cmd.c_str());
        if (errors) *errors = ReadFile(out_ / "errors.txt");
        QImage img;
        if (WIFEXITED(rc) && WEXITSTATUS(rc) == 0) img.load(QString::fromStdString(png));
        return img;
    }

    TempDir atlas_, out_;
    std::string renderer_, map_;
    int runs_ = 0;
};

TEST_F(MediumRenderTest, AnImageDrawsTheSamePixelsAsItsFolder)
{
    const QImage fromFolder = Render(atlas_.Path());
    ASSERT_FALSE(fromFolder.isNull());
    // The square, the land and the sea are there, so the pictures compare something.
    ASSERT_EQ(PixelAt(fromFolder, 10, 0, 0), DOSColour[12]);
    ASSERT_EQ(PixelAt(fromFolder, 10, 4, BandCentre(2)), kLandFill);
    ASSERT_EQ(PixelAt(fromFolder, 10, 4, 4), kSea);
    int compared = 0;
    for (ImageFormat f : {ImageFormat::JolietRockRidge, ImageFormat::PlainIso, ImageFormat::Udf}) {
        const std::string image = out_ / (std::string("atlas") + std::to_string(static_cast<int>(f)) + ".iso");
        if (!MakeImage(atlas_.Path(), image, f)) continue;
        std::string errors;
        const QImage fromImage = Render(image, &errors);
        ASSERT_FALSE(fromImage.isNull()) << ImageFormatName(f) << ": " << errors;
        EXPECT_TRUE(fromImage == fromFolder) << ImageFormatName(f);
        ++compared;
    }
    if (compared == 0) GTEST_SKIP() << "no mastering tool is installed";
}

TEST_F(MediumRenderTest, ADeepFolderWithBlanksDrawsTheSamePicture)
{
    std::string deep = out_ / "home/someone/Documents/charts";
    while (deep.size() < 150) deep += "/old discs";
    deep += "/atlas 1998";
    ASSERT_GE(deep.size(), 150u);
    std::filesystem::create_directories(deep);
    std::filesystem::copy(atlas_.Path(), deep, std::filesystem::copy_options::recursive);
    const QImage shortOne = Render(atlas_.Path()), deepOne = Render(deep);
    ASSERT_FALSE(shortOne.isNull());
    ASSERT_FALSE(deepOne.isNull());
    EXPECT_TRUE(deepOne == shortOne);
}

TEST_F(MediumRenderTest, AMediumThatIsNotThereIsNamedAndNoPictureIsWritten)
{
    // Named as the viewer names it, and no map without its atlas written as if all were well.
    const std::string gone = out_ / "old discs/J\xC3\xBCrgen/atlas 1998";
    std::string errors;
    EXPECT_TRUE(Render(gone, &errors).isNull());
    EXPECT_EQ(errors, "The data medium " + gone + " cannot be found.\n");
    EXPECT_FALSE(std::filesystem::exists(out_ / ("map" + std::to_string(runs_) + ".png")));
}

} // namespace
} // namespace corvane::test
