// Damaged point, polygon and label files: every truncation and every single bit flip of a
// small file written by our writers, and seeded random damage, drawn on the screen and on
// paper and searched. Nothing may crash, hang or read outside a buffer (make test-asan).
#include "core/FeatureLayerFixture.h"
#include "layers/MapLBL.h"
#include "layers/MapPOL1.h"
#include "layers/MapSYM.h"
#include "layers/MapSYX.h"
#include "layers/writers/LabelFileWriter.h"
#include "layers/writers/PolygonFileWriter.h"
#include "layers/writers/SymbolFileWriter.h"
#include "platform/RecordingCanvas.h"

#include <gtest/gtest.h>

#include <random>

using namespace corvane;
using namespace corvane::test;

namespace {

// Opens a file with a layer, sets a key with switched-off items and items without a style,
// draws on the screen and on paper and, for the searchable layers, searches.
template <class Layer>
bool Exercise(const std::vector<uint8_t>& b, RecordingCanvas& canvas)
{
    NullMessageSink sink;
    DrawContext ctx(canvas, sink);
    SetupMap(ctx);
    ctx.SetExtents(10, 13, 0, 3);
    ctx.Page = {2000, 2000, 1, 1, 1, 1, 0.25, 0.25, 0.25, 0.25, 200, 200};
    Layer m;
    if (!m.Create(Bytes(b))) return false;
    for (int k = 1; k <= kKeyItems; ++k) SetKey(m, k, static_cast<Colour>(k * 0x040404), static_cast<uint8_t>(k % 42), k % 7);
    for (bool print : {false, true}) {
        ctx.Print = print;
        SearchResult r;
        if constexpr (std::is_same_v<Layer, POLmap>) {
            m.Draw(ctx, 2, print, 1);
            EXPECT_GE(m.Search(ctx, 1, 300, 700, r), -1);   // an offset, or -1
            ForEachOutlinePart(r.Points, [](const Point*, size_t) {});
        } else {
            m.Draw(ctx, 1);
            if constexpr (std::is_same_v<Layer, SYXmap>) {
                EXPECT_LE(m.Search(ctx, 1, 300, 700, r), 16777215);
            }
        }
    }
    canvas.records.clear();
    return true;
}

template <class Layer>
void Damage(const std::vector<uint8_t>& good)
{
    RecordingCanvas canvas(1000, 1000);
    ASSERT_TRUE(Exercise<Layer>(good, canvas));
    const size_t headerAndIndex = 80 + 4 * static_cast<size_t>(good[28] * good[32]);   // grids under 16 x 16
    for (size_t len = 0; len < good.size(); ++len)
        ASSERT_EQ(Exercise<Layer>({good.begin(), good.begin() + static_cast<std::ptrdiff_t>(len)}, canvas),
                  len >= headerAndIndex);
    for (size_t bit = 0; bit < good.size() * 8; ++bit) {
        auto b = good;
        b[bit / 8] ^= static_cast<uint8_t>(1u << (bit % 8));
        Exercise<Layer>(b, canvas);
    }
    std::mt19937 random(20240611);
    for (int i = 0; i < 300; ++i) {
        auto b = good;
        for (int k = 0; k < 6; ++k) b[random() % b.size()] = static_cast<uint8_t>(random());
        Exercise<Layer>(b, canvas);
    }
}

} // namespace

TEST(DamagedFeatureLayers, SymbolPolygonAndLabelFiles)
{
    SymbolFileWriter sym(TestOptions(), false), syx(TestOptions(), true);
    PolygonFileWriter pol(TestOptions(), 7);
    LabelFileWriter lbl(TestOptions());
    for (int i = 0; i < 8; ++i) {
        const double o = 0.3 * i;
        sym.Add({10.1 + o, 0.2 + o, 1 + i});
        syx.Add({10.1 + o, 0.2 + o, 1 + i, 70000 * i});
        PolygonFeature f;
        f.KeyCode = 1 + i;
        f.Parts = {{{10.1 + o, 0.1 + o}, {10.1 + o, 0.5 + o}, {10.5 + o, 0.3 + o}}, {{10.2 + o, 0.2 + o}}};
        f.Reference = {10.2 + o, 0.3 + o};
        f.InfoOffset = 1000 * i;
        pol.Add(f);
        LabelFeature l;
        l.Lat = 10.2 + o;
        l.Lon = 0.3 + o;
        l.KeyLink = 1 + i;
        l.Text = std::string(static_cast<size_t>(i * 3), static_cast<char>('a' + i));
        l.hJust = i % 4;
        l.vJust = i / 2;
        lbl.Add(l);
    }
    Damage<SYMmap>(sym.Bytes());
    Damage<SYXmap>(syx.Bytes());
    Damage<POLmap>(pol.Bytes());
    const auto labels = lbl.Bytes();
    Damage<LBLmap>(labels);

    // A text that runs past the end of the file ends the drawing.
    LBLmap m;
    ASSERT_TRUE(m.Create(Bytes({labels.begin(), labels.end() - 14})));   // the end record and 3 bytes of text
    RecordingCanvas canvas(1000, 1000);
    NullMessageSink sink;
    DrawContext ctx(canvas, sink);
    SetupMap(ctx);
    EXPECT_FALSE(m.Draw(ctx, 0));
}
