// Drawing cost of polygon layers through the canvas of a picture at 1280 x 800: a filled
// self-intersecting polygon of 6,400 points whose spikes run across the map and past its
// edges (one, twenty, and a layer of about 1 MB of them), the same twenty drawn as outlines,
// and for comparison twenty filled circles of 6,400 points and a layer of about 1 MB of
// squares that each cover most of the map (what filling its pixels costs, polygon by polygon). Each iteration clears the picture
// and draws the layer once; the layers are written by our writer into memory.
#include "catalogue/MasterFile.h"
#include "layers/DrawContext.h"
#include "layers/MapPOL1.h"
#include "layers/writers/PolygonFileWriter.h"
#include "platform/ByteSource.h"
#include "platform/MessageSink.h"
#include "platform/qt/QtCanvas.h"

#include <benchmark/benchmark.h>

#include <QImage>

#include <cmath>
#include <memory>

namespace corvane {
namespace {

constexpr int kWidth = 1280, kHeight = 800;
// The map: 50 N to 60 N, 0 to 16 E, 80 pixels a degree both ways.
constexpr double kSouth = 50, kNorth = 60, kWest = 0, kEast = 16;

enum class Shape { Spiky, Circle, Square };

// Polygon number i of a layer: 6,400 points about a point near the middle of the map. A
// spiky one is a star of 3,200 spikes wound three times round: every other point 8 degrees
// out (past the map's edges) and the others a fifth of a degree from the middle, so that its
// edges cross each other all over the map. A circle has a radius of 4 degrees.
PolygonFeature Polygon(Shape shape, int i)
{
    const double lat = 55 + 0.05 * (i % 7), lon = 8 + 0.07 * (i % 11);
    const int turns = shape == Shape::Spiky ? 3 : 1;
    PolygonFeature f;
    f.KeyCode = 1 + i % 3;
    f.Parts.emplace_back();
    if (shape == Shape::Square) {   // most of the map, a little apart from the next
        const double d = 0.01 * (i % 50);
        f.Parts.back() = {{50.5 + d, 0.5 + d}, {59.5 - d, 0.5 + d}, {59.5 - d, 15.5 - d}, {50.5 + d, 15.5 - d}};
        return f;
    }
    for (int k = 0; k < PolygonFileWriter::kMaxPartPoints; ++k) {
        const double a = turns * k * 2 * 3.141592653589793 / PolygonFileWriter::kMaxPartPoints;
        const double r = shape == Shape::Circle ? 4.0 : k % 2 ? 8.0 : 0.2;
        f.Parts.back().push_back({lat + r * std::sin(a), lon + r * std::cos(a)});
    }
    f.Reference = {lat, lon};
    return f;
}

std::vector<uint8_t> Layer(Shape shape, int count)
{
    LayerWriteOptions o;
    o.Header.DatasetID = "BENCHPOL";
    o.FinestUnit = 1000;
    o.CellSize = 40000000;   // one cell: every polygon is drawn wherever it reaches
    PolygonFileWriter w(o, 8);
    for (int i = 0; i < count; ++i) w.Add(Polygon(shape, i));
    return w.Bytes();
}

void DrawLayer(benchmark::State& state, Shape shape, int count, bool filled)
{
    const std::vector<uint8_t> bytes = Layer(shape, count);
    QImage image(kWidth, kHeight, QImage::Format_RGB32);
    QtCanvas canvas(&image);
    NullMessageSink sink;
    DrawContext ctx(canvas, sink);
    ctx.ClientWidth = kWidth;
    ctx.ClientHeight = kHeight;
    ctx.WindowWidth = kWidth + 8;
    ctx.WindowHeight = kHeight + 30;
    ctx.SetExtents(kSouth, kNorth, kWest, kEast);
    POLmap m;
    if (!m.Create(std::make_unique<MemorySource>(bytes))) {
        state.SkipWithError("the layer cannot be read");
        return;
    }
    for (int k = 1; k <= 3; ++k) {
        m.Colour[k] = static_cast<int32_t>(DOSColour[8 + k]);
        m.Styl[k] = static_cast<uint8_t>(k == 2 ? 6 : 1);   // solid, and a hatch
    }
    for (auto _ : state) {
        image.fill(Qt::white);
        m.Draw(ctx, 0, filled, 0);
        canvas.End();
    }
    state.counters["layer_kB"] = static_cast<double>(bytes.size()) / 1024;
}

void BM_SpikyPolygon(benchmark::State& s) { DrawLayer(s, Shape::Spiky, 1, true); }
void BM_TwentySpikyPolygons(benchmark::State& s) { DrawLayer(s, Shape::Spiky, 20, true); }
void BM_TwentySpikyOutlines(benchmark::State& s) { DrawLayer(s, Shape::Spiky, 20, false); }
void BM_MegabyteOfSpikyPolygons(benchmark::State& s) { DrawLayer(s, Shape::Spiky, 40, true); }
void BM_TwentyCircles(benchmark::State& s) { DrawLayer(s, Shape::Circle, 20, true); }
void BM_MegabyteOfSquares(benchmark::State& s) { DrawLayer(s, Shape::Square, 52000, true); }

BENCHMARK(BM_SpikyPolygon)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TwentySpikyPolygons)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TwentySpikyOutlines)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MegabyteOfSpikyPolygons)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TwentyCircles)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MegabyteOfSquares)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace corvane
