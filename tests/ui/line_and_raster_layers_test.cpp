// The run-length layers as pixels on a picture: the columns and rows a bar fills, and
// rasters written by the writers and drawn back.
#include "layers/MapMRLE.h"
#include "layers/MapRLE.h"
#include "layers/writers/RunLengthWriters.h"
#include "platform/MessageSink.h"
#include "platform/qt/QtCanvas.h"

#include <gtest/gtest.h>

using namespace corvane;

namespace {

constexpr Colour kInk = 0x2040C0;
const Colour kKeys[6] = {0, kInk, 0x00A000, 0xA00000, 0x0000A0, 0x808080};

// Draws a land (Colour[1]) or colour (Colour[k] = kKeys[k]) layer file on a white picture of
// w x h pixels over 10..11N 20..21E, or over the raster below.
QImage Draw(const std::vector<uint8_t>& file, bool land, int w, int h, bool overRaster = false)
{
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(Qt::white);
    QtCanvas canvas(&image);
    NullMessageSink sink;
    DrawContext ctx(canvas, sink);
    ctx.ClientWidth = w, ctx.ClientHeight = h;
    if (overRaster) ctx.SetExtents(10.15, 10.9, 20.1, 21.1);
    else ctx.SetExtents(10, 11, 20, 21);
    if (land) {
        MonoRLEmap m;
        m.Colour[1] = static_cast<int32_t>(kInk), m.Styl[1] = 1;
        EXPECT_TRUE(m.Create(std::make_unique<MemorySource>(file), "x", sink));
        m.Draw(ctx);
    } else {
        RLEmap m;
        for (int k = 1; k <= 5; ++k) m.Colour[k] = static_cast<int32_t>(kKeys[k]), m.Styl[k] = 1;
        EXPECT_TRUE(m.Create(std::make_unique<MemorySource>(file)));
        m.Draw(ctx, 0);
    }
    canvas.End();
    return image;
}

Colour At(const QImage& image, int x, int y) { return FromQColor(QColor(image.pixel(x, y))); }

// A raster of 40 x 30 pixels of 0.025 degrees from 10.9N 20.1E, values 0..5 in blobs. It
// lies on two one-degree cells (20E and 21E), four units in from their west and north edges.
uint8_t Value(int x, int y) { return static_cast<uint8_t>(((x / 3) * (y / 2 + 1) + x * y / 17) % 6 == 0 ? 0 : (x + y / 4) % 5 + 1); }

} // namespace

TEST(RunLengthPixels, TheColumnsAndRowsABarFills)
{
    // One run at unit row 2, columns 3-6, at ten pixels a unit: the land layer fills columns
    // 30 to 70 (its eastern neighbour's first column too) and rows 70 to 80 (its southern
    // neighbour's first row too); the colour layer columns 30 to 69 and the same rows.
    HdrRec h = LayerHeader("BAR", {10000000, 20000000, 1000000, 1, 1}, 100000);
    h.VPrecision = 100000;
    for (bool land : {true, false}) {
        LayerFileWriter w(h, kRunLengthLayout);
        const RunCoding coding = land ? kLandRuns : kKeyRuns;
        EncodeRun(w.Cell(0, 0), coding, 0, 23);
        EncodeRun(w.Cell(0, 0), coding, 1, 4);
        EncodeRun(w.Cell(0, 0), coding, 0, 73);
        const QImage image = Draw(w.Bytes(), land, 100, 100);
        const int east = land ? 70 : 69;
        for (int y = 0; y < 100; ++y)
            for (int x = 0; x < 100; ++x)
                ASSERT_EQ(At(image, x, y) == kInk, x >= 30 && x <= east && y >= 70 && y <= 80)
                    << (land ? "land " : "colour ") << x << "," << y;
    }
}

TEST(RunLengthPixels, RastersWrittenAndDrawnBack)
{
    std::vector<uint8_t> v;
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 40; ++x) v.push_back(Value(x, y));
    MemoryRaster values(40, v);
    const GeoRaster raster{20.1, 10.9, 0.025, 0.025, 40, 30};
    const RasterLayerGrid grid = ChooseRasterGrid(raster);
    EXPECT_EQ((std::vector<int64_t>{grid.grid.NumCols, grid.padWest, grid.padNorth}), (std::vector<int64_t>{2, 4, 4}));
    const auto landFile = MonoRLEmapWriter(raster).Write(values).Bytes();
    const auto colourFile = RLEmapWriter(raster).Write(values).Bytes();

    // A pixel a unit: every land unit, with the one pixel of overlap east and south.
    auto land = [&](int x, int y) { return x >= 0 && y >= 0 && Value(x, y) != 0; };
    const QImage one = Draw(landFile, true, 40, 30, true);
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 40; ++x)
            ASSERT_EQ(At(one, x, y) == kInk, land(x, y) || land(x - 1, y) || land(x, y - 1) || land(x - 1, y - 1))
                << x << "," << y;

    // Four pixels a unit: the middle of every unit shows its land or sea, or its key colour,
    // where code 0 leaves the picture as it was.
    for (bool isLand : {true, false}) {
        const QImage four = Draw(isLand ? landFile : colourFile, isLand, 160, 120, true);
        for (int y = 0; y < 30; ++y)
            for (int x = 0; x < 40; ++x)
                ASSERT_EQ(At(four, 4 * x + 2, 4 * y + 2), Value(x, y) == 0 ? clWhite : isLand ? kInk : kKeys[Value(x, y)])
                    << (isLand ? "land " : "colour ") << x << "," << y;
    }
}
