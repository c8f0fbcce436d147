#include "render/AreaColour.h"

#include "catalogue/MasterFile.h"
#include "layers/FillStyle.h"
#include "layers/MapLBL.h"
#include "layers/MapMRLE.h"
#include "layers/MapPOL1.h"
#include "layers/MapRLE.h"
#include "layers/MapSYM.h"
#include "layers/MapSYX.h"
#include "layers/MapVEC.h"
#include "mapdef/MDFStruct.h"
#include "platform/MessageSink.h"
#include "render/MapView.h"
#include "render/Plot.h"

#include <cmath>

namespace corvane {

namespace {

// What one layer does to the area.
struct Effect {
    enum Kind { Untouched, Painted, Unknown } kind = Unknown;
    Colour colour = 0;
};
constexpr Effect kUntouched{Effect::Untouched, 0};
constexpr Effect kUnknown{Effect::Unknown, 0};

// A fill of the area in a key's colour and style.
Effect Fill(Colour colour, int style)
{
    if (!SolidFill(style)) return kUnknown;
    return {Effect::Painted, colour & 0x00FFFFFFu};
}

// Whether the layer's whole index was read (the walk of its cells draws nothing otherwise).
bool IndexWhole(const GenMapObj& layer)
{
    const int64_t cells = int64_t{layer.Header.NumRows} * layer.Header.NumCols;
    return layer.Header.NumRows >= 1 && layer.Header.NumCols >= 1 && static_cast<int64_t>(layer.Index.size()) == cells;
}

// A record layer draws only the records of the cells its walk visits.
Effect RecordLayer(GenMapObj& layer, const DrawContext& ctx)
{
    layer.Get_Row_And_Column_Limits(ctx);
    bool records = false;
    layer.WalkCells([&](int32_t, int32_t, int32_t) {
        records = true;
        return CellWalk::Stop;
    });
    return records ? kUnknown : kUntouched;
}

// The cell (c, r) of the layer's grid that holds the whole area with its margin.
bool CellHolding(const GenMapObj& layer, const AreaBox& a, int32_t& c, int32_t& r)
{
    const double cell = layer.Header.GridCellSize * 0.000001;
    if (!(cell > 0)) return false;
    const double fc = std::floor((a.west - a.marginLon - layer.gridlon[0]) / cell);
    const double fr = std::floor((a.south - a.marginLat - layer.gridlat[0]) / cell);
    if (!(fc >= 0 && fc < layer.Header.NumCols && fr >= 0 && fr < layer.Header.NumRows)) return false;
    c = static_cast<int32_t>(fc);
    r = static_cast<int32_t>(fr);
    return layer.gridlon[c] <= a.west - a.marginLon && a.east + a.marginLon <= layer.gridlon[c + 1] &&
           layer.gridlat[r] <= a.south - a.marginLat && a.north + a.marginLat <= layer.gridlat[r + 1];
}

// A run-length layer: index entries below firstRunEntry are cells of one value, whole(entry)
// tells what such a cell paints; entries of 0 and below are passed over by the walk.
template <class Whole>
Effect RunLayer(GenMapObj& layer, const DrawContext& ctx, const AreaBox& area, int32_t firstRunEntry, Whole&& whole)
{
    if (!IndexWhole(layer)) return kUnknown;
    layer.Get_Row_And_Column_Limits(ctx);
    layer.Setup_Grid();
    bool runs = false, paints = false;
    layer.WalkCells([&](int32_t, int32_t, int32_t entry) {
        if (entry >= firstRunEntry) {
            runs = true;
            return CellWalk::Stop;
        }
        paints = paints || whole(entry).kind != Effect::Untouched;
        return CellWalk::Continue;
    });
    if (runs) return kUnknown;
    if (!paints) return kUntouched;
    int32_t c = 0, r = 0;
    if (!CellHolding(layer, area, c, r)) return kUnknown;
    const int32_t entry = layer.IndexEntry(c, r);
    return entry <= 0 ? kUntouched : whole(entry);
}

// The land layer: 1 a cell wholly land, 0, 2 or below 0 wholly sea, from 3 on runs.
Effect LandLayer(MonoRLEmap& layer, const DrawContext& ctx, const AreaBox& area)
{
    if (layer.KeyItemOff(1)) return kUntouched;
    const int style = layer.Styl[1] == 0 ? 1 : layer.Styl[1];
    return RunLayer(layer, ctx, area, 3, [&](int32_t entry) {
        return entry == 1 ? Fill(layer.KeyColour(1), style) : kUntouched;
    });
}

// The colour raster: 1..31 a cell wholly of that key code, from 32 on runs.
Effect ColourLayer(RLEmap& layer, const DrawContext& ctx, const AreaBox& area, uint8_t adjust)
{
    return RunLayer(layer, ctx, area, 32, [&](int32_t entry) {
        const int k = entry + adjust;
        if (entry < 1 || layer.KeyItemOff(k)) return kUntouched;
        return Fill(layer.KeyColour(k), layer.Styl[k]);
    });
}

// A record layer of a data set, opened and coloured as the plot does it.
template <class Layer>
Effect DataSetRecords(const PlotStep& step, const DrawContext& ctx)
{
    Layer m;
    m.Create(step.fileName);
    if (!m.DataOkay()) return kUnknown;
    m.UseKeyColours(step.theme, step.dataSet, step.UseTopColour, ctx);
    return RecordLayer(m, ctx);
}

// A data set's file, opened and coloured as the plot does it.
Effect DataSetLayer(const PlotStep& step, const DrawContext& ctx, const AreaBox& area)
{
    if (step.fileName.empty()) return kUntouched;
    switch (step.dataSet->Data_Type) {
    case dtVEC: return DataSetRecords<VECmap>(step, ctx);
    case dtSYX: return DataSetRecords<SYXmap>(step, ctx);
    case dtSYM: return DataSetRecords<SYMmap>(step, ctx);
    case dtLBL: return DataSetRecords<LBLmap>(step, ctx);
    case dtPOL7:
    case dtPOL8:
    case dtPOL9: return DataSetRecords<POLmap>(step, ctx);
    case dtMRL: {
        MonoRLEmap m;
        m.Create(step.fileName, ctx.messages);
        if (!m.DataOkay()) return kUnknown;
        m.UseKeyColours(step.theme, step.dataSet, step.UseTopColour, ctx);
        return LandLayer(m, ctx, area);
    }
    case dtRLE: {
        RLEmap m;
        m.Create(step.fileName);
        if (!m.DataOkay()) return kUnknown;
        m.UseKeyColours(step.theme, step.dataSet, step.UseTopColour, ctx);
        return ColourLayer(m, ctx, area, step.dataSet->Key_Entry_Adjustment);
    }
    default: return kUntouched;   // no layer of this type: nothing drawn
    }
}

Effect StepEffect(const PlotStep& step, const DrawContext& ctx, const AreaBox& area)
{
    switch (step.kind) {
    case PlotStep::DataSet: return DataSetLayer(step, ctx, area);
    case PlotStep::LandFill: {
        MonoRLEmap m;
        NullMessageSink told;   // a file that cannot be opened is told by the plot
        m.Create(step.fileName, told);
        if (!m.DataOkay()) return kUnknown;
        m.Colour[1] = static_cast<int32_t>(step.landColour & 0x00FFFFFFu);
        m.Styl[1] = step.landStyle;
        m.SwitchedOff[1] = false;
        return LandLayer(m, ctx, area);
    }
    case PlotStep::Coastline: {
        VECmap m;
        m.Create(step.fileName);
        if (!m.DataOkay()) return kUnknown;
        m.UseKeyColours(nullptr, nullptr, false, ctx);
        return RecordLayer(m, ctx);
    }
    }
    return kUnknown;
}

} // namespace

std::optional<Colour> AreaColourWithoutDrawing(MapView& view, const AreaBox& area)
{
    // The graticule and the keys are drawn over the map: a view that shows them is drawn.
    if (!view.MDF || !view.ImageCanvas() || view.MDF->Grid_Displayed || view.BaseMapKey || view.OverlayMapKey)
        return std::nullopt;
    const DrawContext ctx = view.Context(false);
    Colour colour = view.MDF->BackgroundColour & 0x00FFFFFFu;
    for (const PlotStep& step : PlotSteps(view, false)) {
        const Effect e = StepEffect(step, ctx, area);
        if (e.kind == Effect::Unknown) return std::nullopt;
        if (e.kind == Effect::Painted) colour = e.colour;
    }
    return colour;
}

} // namespace corvane
