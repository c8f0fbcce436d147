#pragma once
// A map for the point, polygon and label layer tests: 10N..20N, 0E..10E on a 1000 x 1000
// picture (100 pixels a degree), and writer options whose layer unit is a thousandth of a
// degree, so that a position of whole hundredths lands on an exact pixel.
#include "layers/DrawContext.h"
#include "layers/MapGen.h"
#include "layers/writers/FeatureWriter.h"
#include "platform/MessageSink.h"

#include <memory>
#include <vector>

namespace corvane::test {

inline std::unique_ptr<ByteSource> Bytes(const std::vector<uint8_t>& b) { return std::make_unique<MemorySource>(b); }

inline LayerWriteOptions TestOptions(const char* id = "TESTSET")
{
    LayerWriteOptions o;
    o.Header.DatasetID = id;
    o.FinestUnit = 1000;
    return o;
}

// Picture position of a place on the test map.
inline Point Pixel(double lat, double lon) { return {RoundI(lon * 100), 1000 - RoundI((lat - 10) * 100)}; }

inline void SetupMap(DrawContext& ctx)
{
    ctx.ClientWidth = ctx.ClientHeight = 1000;
    ctx.WindowWidth = 1008;   // the outer size of the window
    ctx.WindowHeight = 1030;
    ctx.SetExtents(10, 20, 0, 10);
}

inline void SetKey(GenMapObj& m, int k, Colour c, uint8_t style, bool active = true)
{
    m.Colour[k] = active ? static_cast<int32_t>(c) : -static_cast<int32_t>(c);
    m.Styl[k] = style;
    m.SwitchedOff[k] = !active;
}

} // namespace corvane::test
