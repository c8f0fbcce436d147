// The vector and run-length layers as pixels on a picture: the pixel columns and rows a bar
// fills, rasters written and drawn back, a dashed line with transparent gaps.
#include "layers/MapMRLE.h"
#include "layers/MapRLE.h"
#include "layers/MapVEC.h"
#include "layers/writers/RunLengthWriters.h"
#include "layers/writers/VECmapWriter.h"
#include "platform/MessageSink.h"
#include "platform/qt/QtCanvas.h"

#include <gtest/gtest.h>

#include <functional>

using namespace corvane;

namespace {

constexpr Colour kInk = 0x2040C0;

struct Image {
    QImage image;
    QtCanvas canvas;
    NullMessageSink sink;
    DrawContext ctx{canvas, sink};
    Image(int w, int h, double minLat, double maxLat, double minLon, double maxLon)
        : image(w, h, QImage::Format_RGB32), canvas((image.fill(Qt::white), &image))
    {
        ctx.ClientWidth = w;
        ctx.ClientHeight = h;
        ctx.SetExtents(minLat, maxLat, minLon, maxLon);
        ctx.screenCanvas = &canvas;
    }
    Colour At(int x, int y)
    {
        canvas.End();
        return FromQColor(QColor(image.pixel(x, y)));
    }
    // Every pixel is inked exactly where want says so.
    void Expect(const std::function<bool(int, int)>& want, const char* what)
    {
        int wrong = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                if ((At(x, y) == kInk) != want(x, y) && ++wrong <= 5) ADD_FAILURE() << what << " at " << x << "," << y;
        EXPECT_EQ(wrong, 0) << what;
    }
};

std::unique_ptr<ByteSource> Source(std::vector<uint8_t> b) { return std::make_unique<MemorySource>(std::move(b)); }

// A raster of 40 x 30 pixels of 0.025 degrees from 11N 20E with values 0..5 in blobs.
const GeoRaster kRaster{20, 11, 0.025, 0.025, 40, 30};
uint8_t Value(int x, int y) { return static_cast<uint8_t>(((x / 3) * (y / 2 + 1) + x * y / 17) % 6 == 0 ? 0 : (x + y / 4) % 5 + 1); }
std::vector<uint8_t> Values()
{
    std::vector<uint8_t> v;
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 40; ++x) v.push_back(Value(x, y));
    return v;
}

} // namespace

TEST(RunLengthPixels, TheColumnsAndRowsABarFills)
{
    // One run at unit row 2, columns 3-6, at ten pixels a unit: the land layer fills columns
    // 30 to 70 (over its eastern neighbour's first column) and rows 70 to 80 (over its southern
    // neighbour's first row); the colour layer columns 30 to 69 and the same rows.
    HdrRec h = LayerHeader("BAR", {10000000, 20000000, 1000000, 1, 1}, 100000);
    h.VPrecision = 100000;
    for (bool land : {true, false}) {
        LayerFileWriter w(h, kRunLengthLayout);
        std::vector<uint8_t>& cell = w.Cell(0, 0);
        const RunCoding coding = land ? kLandRuns : kKeyRuns;
        EncodeRun(cell, coding, 0, 23);
        EncodeRun(cell, coding, land ? 1 : 2, 4);
        EncodeRun(cell, coding, 0, 73);
        Image p(100, 100, 10, 11, 20, 21);
        if (land) {
            MonoRLEmap m;
            ASSERT_TRUE(m.Create(Source(w.Bytes()), "x", p.sink));
            m.Colour[1] = kInk, m.Styl[1] = 1;
            m.Draw(p.ctx);
        } else {
            RLEmap m;
            ASSERT_TRUE(m.Create(Source(w.Bytes())));
            m.Colour[2] = kInk, m.Styl[2] = 1;
            m.Draw(p.ctx, 0);
        }
        const int east = land ? 70 : 69;
        p.Expect([&](int x, int y) { return x >= 30 && x <= east && y >= 70 && y <= 80; }, land ? "land" : "colour");
    }
}

TEST(RunLengthPixels, RastersWrittenAndDrawnBack)
{
    const std::vector<uint8_t> v = Values();
    MemoryRaster values(40, v);
    const auto landFile = MonoRLEmapWriter(kRaster).Write(values).Bytes();
    auto land = [&](int x, int y) { return x >= 0 && y >= 0 && x < 40 && y < 30 && Value(x, y) != 0; };

    // A pixel a unit: each land unit with the one pixel of overlap east and south.
    {
        Image p(40, 30, 10.25, 11, 20, 21);
        MonoRLEmap m;
        ASSERT_TRUE(m.Create(Source(landFile), "x", p.sink));
        m.Colour[1] = kInk, m.Styl[1] = 1;
        m.Draw(p.ctx);
        p.Expect([&](int x, int y) { return land(x, y) || land(x - 1, y) || land(x, y - 1) || land(x - 1, y - 1); },
                 "land at a pixel a unit");
    }
    // Four pixels a unit: the middle of every unit shows its own land or sea, and its key
    // colour in the colour layer, where code 0 leaves the picture as it was.
    const Colour keys[6] = {0, kInk, 0x00A000, 0xA00000, 0x0000A0, 0x808080};
    const auto colourFile = RLEmapWriter(kRaster).Write(values).Bytes();
    for (bool isLand : {true, false}) {
        Image p(160, 120, 10.25, 11, 20, 21);
        if (isLand) {
            MonoRLEmap m;
            ASSERT_TRUE(m.Create(Source(landFile), "x", p.sink));
            m.Colour[1] = kInk, m.Styl[1] = 1;
            m.Draw(p.ctx);
        } else {
            RLEmap m;
            ASSERT_TRUE(m.Create(Source(colourFile)));
            for (int k = 1; k <= 5; ++k) m.Colour[k] = static_cast<int32_t>(keys[k]), m.Styl[k] = 1;
            m.Draw(p.ctx, 0);
        }
        for (int y = 0; y < 30; ++y)
            for (int x = 0; x < 40; ++x) {
                const Colour want = Value(x, y) == 0 ? clWhite : isLand ? kInk : keys[Value(x, y)];
                ASSERT_EQ(p.At(4 * x + 2, 4 * y + 2), want) << (isLand ? "land " : "colour ") << x << "," << y;
            }
    }
}

TEST(VectorPixels, ADashedLineLeavesItsGapsAndItsEndPointAlone)
{
    VECmapWriter w(VECmapWriter::HeaderFor("DASH", 10, 11, 20, 21));
    w.AddPolyline(1, {{10.5, 20.1}, {10.5, 20.9}});
    VECmap m;
    ASSERT_TRUE(m.Create(Source(w.Bytes())));
    m.Colour[1] = kInk, m.Styl[1] = 2;   // dash
    Image p(100, 100, 10, 11, 20, 21);
    p.canvas.bkMode = BkMode::Opaque;
    p.canvas.bkColour = clRed;
    m.Draw(p.ctx, 0);
    int ink = 0, white = 0;
    for (int x = 10; x < 90; ++x) (p.At(x, 50) == kInk ? ink : white) += 1;
    EXPECT_GT(ink, 0);
    EXPECT_GT(white, 0);   // the gaps: not painted in the background colour
    EXPECT_EQ(p.At(10, 50), kInk);
    EXPECT_EQ(p.At(90, 50), clWhite);   // the end point is not drawn
    p.Expect([&](int x, int y) { return y == 50 && x >= 10 && x < 90 && p.At(x, y) == kInk; }, "line");
}
