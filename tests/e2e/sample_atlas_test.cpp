// The sample atlas in atlas/ as the viewer meets it: the data list, every master file, every
// layer file and the standard coastline read by our own readers, and the default map drawn.
// And corvane-atlas (where it was built, with GDAL) on small sources of tests/data/atlas:
// large polygons cut along the grid still draw and are found from every piece.
#include "TestUtil.h"
#include "catalogue/MasterFile.h"
#include "layers/MapLBL.h"
#include "layers/MapMRLE.h"
#include "layers/MapPOL1.h"
#include "layers/MapRLE.h"
#include "layers/MapSYM.h"
#include "layers/MapSYX.h"
#include "layers/MapVEC.h"
#include "platform/MessageSink.h"
#include "platform/RecordingCanvas.h"
#include "platform/TextFile.h"

#include <QImage>
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace fs = std::filesystem;
using namespace corvane;
using namespace corvane::test;

namespace {

// A data path of an atlas ("CDROM:\Themes\X.MAS") under a folder.
fs::path InAtlas(const fs::path& root, std::string data)
{
    if (data.compare(0, 7, "CDROM:\\") == 0) data.erase(0, 7);
    for (char& c : data)
        if (c == '\\') c = '/';
    return root / data;
}

// Opens a layer file with the reader of its data type; true when the reader's check passes.
bool LayerOkay(int dataType, const std::string& path, MessageSink& sink)
{
    switch (dataType) {
    case dtVEC: { VECmap m; m.Create(path); return m.DataOkay(); }
    case dtMRL: { MonoRLEmap m; m.Create(path, sink); return m.DataOkay(); }
    case dtRLE: { RLEmap m; m.Create(path); return m.DataOkay(); }
    case dtSYX: { SYXmap m; m.Create(path); return m.DataOkay(); }
    case dtSYM: { SYMmap m; m.Create(path); return m.DataOkay(); }
    case dtLBL: { LBLmap m; m.Create(path); return m.DataOkay(); }
    case dtPOL7: case dtPOL8: case dtPOL9: { POLmap m; m.Create(path); return m.DataOkay(); }
    default: return false;
    }
}

int RunCommand(const std::string& cmd) { const int rc = std::system(cmd.c_str()); return WIFEXITED(rc) ? WEXITSTATUS(rc) : -1; }

} // namespace

TEST(SampleAtlas, EveryEntryThemeAndLayerReads)
{
    const fs::path root = fs::path(SourceDir()) / "atlas";
    std::string list;
    ASSERT_TRUE(ReadNativeFile((root / "Misc/MainMenu.Dat").string(), list));
    const std::vector<std::string> lines = SplitLines(list);
    ASSERT_GE(lines.size(), 20u);
    size_t themes = 0, pages = 0, layers = 0;
    std::vector<int> types(10, 0);
    for (size_t i = 0; i + 1 < lines.size(); i += 2) {
        const std::string title = TrimRight(lines[i]).substr(2), file = TrimRight(lines[i + 1]).substr(2);
        if (file == "XXXX") continue;
        const fs::path path = InAtlas(root, file);
        ASSERT_TRUE(fs::exists(path)) << title << ": " << path;
        if (lines[i + 1].compare(0, 2, "0 ") == 0) { ++pages; continue; }
        ++themes;
        RecordingMessageSink sink;
        std::unique_ptr<MASStruct> mas = MASStruct::Create(path.string(), sink);
        ASSERT_TRUE(mas) << title;
        EXPECT_TRUE(sink.messages.empty()) << title << ": " << sink.messages.front().text;
        for (const DSDStruct* d = mas->NextDSD.get(); d; d = d->NextDSD.get()) {
            ++types.at(d->Data_Type);
            for (const DFNStruct* f = d->NextDFN.get(); f; f = f->NextDFN.get()) {
                EXPECT_TRUE(LayerOkay(d->Data_Type, InAtlas(root, f->FileName).string(), sink)) << title << ": " << f->FileName;
                ++layers;
            }
        }
    }
    EXPECT_GE(themes, 6u);
    EXPECT_GE(pages, 2u);
    EXPECT_GE(layers, 20u);
    for (int t = 1; t <= 9; ++t) EXPECT_GT(types[t], 0) << "no data set of type " << t;

    // The standard coastline under its default names.
    NullMessageSink quiet;
    for (const char* f : {"LandFull.Vec", "Land30PC.Vec", "Land10PC.Vec", "Land03PC.Vec", "Land01PC.Vec"})
        EXPECT_TRUE(LayerOkay(dtVEC, (root / "Landdata/Vec" / f).string(), quiet)) << f;
    for (const char* f : {"Land12s.Mrl", "Land36s.Mrl", "Land1Min.Mrl", "Land3Min.Mrl", "Land5Min.Mrl"})
        EXPECT_TRUE(LayerOkay(dtMRL, (root / "Landdata/Mrl" / f).string(), quiet)) << f;
    EXPECT_GE(std::distance(fs::directory_iterator(root / "Maps"), fs::directory_iterator()), 3);
}

TEST(SampleAtlas, DefaultMapShowsLandAndSea)
{
    const char* r = std::getenv("CORVANE_RENDER");
    ASSERT_TRUE(r && *r);
    TempDir dir;
    const std::string out = dir / "default.png";
    ASSERT_EQ(RunCommand("'" + std::string(r) + "' --cdrom '" + (fs::path(SourceDir()) / "atlas").string() + "' --size 1024x768 --output '" +
                         out + "' 2>/dev/null"), 0);
    QImage img(QString::fromStdString(out));
    ASSERT_FALSE(img.isNull());
    // The default map, 45 to 65 N and 15 W to 15 E, widened to the picture's shape: these
    // places lie well inside land or sea at any such widening, and off the graticule's lines
    // (every 2 degrees of latitude, 5 of longitude).
    auto at = [&](double lat, double lon) {
        const double x = (lon + 15) / 30 * 1024, y = (65 - lat) / 20 * 768;
        return img.pixelColor(static_cast<int>(x), static_cast<int>(y));
    };
    const QColor land(0, 128, 0), sea(0, 0, 0);   // a new map's land fill and background
    EXPECT_EQ(at(61, 9), land);                    // central Norway
    EXPECT_EQ(at(47, 2), land);                    // central France
    EXPECT_EQ(at(56.5, 3), sea);                   // the middle of the North Sea
    EXPECT_EQ(at(49, -12), sea);                   // the Atlantic west of Cornwall
}

TEST(SampleAtlas, EveryMapDrawsBothKeysWithoutAMessage)
{
    const char* r = std::getenv("CORVANE_RENDER");
    ASSERT_TRUE(r && *r);
    TempDir dir;
    const fs::path root = fs::path(SourceDir()) / "atlas";
    for (const auto& entry : fs::directory_iterator(root / "Maps")) {
        const std::string out = dir / "map.png", errors = dir / "errors.txt";
        ASSERT_EQ(RunCommand("'" + std::string(r) + "' --cdrom '" + root.string() + "' --size 800x600 '" +
                             entry.path().string() + "' --output '" + out + "' 2> '" + errors + "'"), 0);
        EXPECT_EQ(ReadFile(errors), "") << entry.path();
        // The base key in the top right corner and the overlay key in the bottom right one:
        // the silver and white right edges of their raised and sunken rings.
        QImage img(QString::fromStdString(out));
        for (int y : {8, 600 - 9}) {
            EXPECT_EQ(img.pixelColor(798, y), QColor(192, 192, 192)) << entry.path() << " " << y;
            EXPECT_EQ(img.pixelColor(797, y), QColor(255, 255, 255)) << entry.path() << " " << y;
        }
    }
}

#ifdef CORVANE_ATLAS_TOOL
// corvane-atlas on tests/data/atlas: a sea of 3 x 2 degrees in cells of half a degree, its
// fill and its outline, with a one-line query record.
class AtlasCompiler : public ::testing::Test {
protected:
    void SetUp() override
    {
        const fs::path data = fs::path(SourceDir()) / "tests/data/atlas";
        status_ = RunCommand("'" CORVANE_ATLAS_TOOL "' build --sources '" + data.string() + "' --output '" + dir_.Path() + "' '" +
                             (data / "seas.desc").string() + "' > '" + (dir_ / "log.txt") + "' 2>&1");
        log_ = ReadFile(dir_ / "log.txt");
    }

    // A context for drawing or searching a box of the map on a picture of w x h.
    static DrawContext Context(RecordingCanvas& canvas, MessageSink& sink, double minLat, double maxLat, double minLon,
                               double maxLon)
    {
        DrawContext ctx(canvas, sink);
        ctx.SetExtents(minLat, maxLat, minLon, maxLon);
        ctx.ClientWidth = ctx.WindowWidth = 400;
        ctx.ClientHeight = ctx.WindowHeight = 400;
        return ctx;
    }

    TempDir dir_;
    int status_ = -1;
    std::string log_;
};

TEST_F(AtlasCompiler, CutSeasDrawAndAreFoundFromEveryPiece)
{
    ASSERT_EQ(status_, 0) << log_;
    EXPECT_NE(log_.find("cut along the grid"), std::string::npos) << log_;
    const std::string outline = dir_ / "Themes/Seas.Pol", fill = dir_ / "Themes/SeaFill.Pol";
    std::string info;
    ASSERT_TRUE(ReadNativeFile(dir_ / "Themes/DNN/SEAS.DAT", info));
    NullMessageSink sink;
    RecordingMessageSink masSink;
    ASSERT_TRUE(MASStruct::Create(dir_ / "Themes/Seas.MAS", masSink));
    EXPECT_TRUE(masSink.messages.empty());

    // Zoomed into the north-east corner of Open Sea, far from the south-west corner that
    // would hold it whole: the fill draws there, and a click finds the sea.
    for (const auto& box : {std::vector<double>{51.5, 52, 2.5, 3}, std::vector<double>{50, 50.5, 0, 0.5}}) {
        RecordingCanvas canvas(400, 400);
        DrawContext ctx = Context(canvas, sink, box[0], box[1], box[2], box[3]);
        POLmap filled;
        ASSERT_TRUE(filled.Create(fill));
        for (int k = 1; k <= kKeyItems; ++k) { filled.Colour[k] = 0x0000FF; filled.Styl[k] = 1; }
        EXPECT_TRUE(filled.Draw(ctx, 2, true, 0));
        EXPECT_GE(canvas.records.size(), 1u) << "nothing drawn in " << box[0] << ".." << box[1];

        POLmap outlines;
        ASSERT_TRUE(outlines.Create(outline));
        for (int k = 1; k <= kKeyItems; ++k) { outlines.Colour[k] = 0xFFFFFF; outlines.Styl[k] = 1; }
        ctx.ImageLeft = ctx.ImageTop = -1;   // the whole picture counts as inside the image
        SearchResult found;
        const int32_t offset = outlines.Search(ctx, 0, 200, 200, found);
        ASSERT_GE(offset, 0);
        ASSERT_LT(static_cast<size_t>(offset), info.size());
        EXPECT_EQ(info.substr(static_cast<size_t>(offset) + 1, static_cast<uint8_t>(info[static_cast<size_t>(offset)])),
                  "Open Sea");
    }
    // In the cell of Little Bay, the bay is the nearest reference point.
    RecordingCanvas canvas(400, 400);
    DrawContext ctx = Context(canvas, sink, 51, 51.5, 1, 1.5);
    ctx.ImageLeft = ctx.ImageTop = -1;
    POLmap outlines;
    ASSERT_TRUE(outlines.Create(outline));
    for (int k = 1; k <= kKeyItems; ++k) { outlines.Colour[k] = 0xFFFFFF; outlines.Styl[k] = 1; }
    SearchResult found;
    const int32_t offset = outlines.Search(ctx, 0, 200, 200, found);
    ASSERT_GE(offset, 0);
    EXPECT_EQ(info.substr(static_cast<size_t>(offset) + 1, 10), "Little Bay");
}

TEST_F(AtlasCompiler, RefusesWhatALayerCannotHold)
{
    const fs::path data = fs::path(SourceDir()) / "tests/data/atlas";
    const std::string desc = dir_.Write("tight.desc", ReadFile((data / "seas.desc").string()) +
                                                          "\n[layer too-fine]\ntype = polygons\nsource = seas.geojson\n"
                                                          "output = Themes/Fine.Pol\ncell = 0.02\n");
    const int rc = RunCommand("'" CORVANE_ATLAS_TOOL "' build --only too-fine --sources '" + data.string() + "' --output '" +
                              dir_.Path() + "' '" + desc + "' > '" + (dir_ / "log2.txt") + "' 2>&1");
    EXPECT_NE(rc, 0);
    const std::string log = ReadFile(dir_ / "log2.txt");
    EXPECT_NE(log.find("layer too-fine"), std::string::npos) << log;
    EXPECT_NE(log.find("150 x 100 cells"), std::string::npos) << log;
    EXPECT_FALSE(fs::exists(dir_ / "Themes/Fine.Pol"));
}
#endif
