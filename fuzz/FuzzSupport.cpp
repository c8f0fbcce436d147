#include "FuzzSupport.h"

#include "FuzzTarget.h"
#include "catalogue/MasterFile.h"
#include "layers/DrawContext.h"
#include "layers/MapLBL.h"
#include "layers/MapMRLE.h"
#include "layers/MapPOL1.h"
#include "layers/MapRLE.h"
#include "layers/MapSYM.h"
#include "layers/MapSYX.h"
#include "layers/MapVEC.h"
#include "platform/ByteSource.h"
#include "platform/MessageSink.h"
#include "platform/RecordingCanvas.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>

namespace corvane::fuzz {

namespace {

struct Scratch {
    std::string path;
    Scratch()
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "corvane-fuzz-XXXXXX").string();
        if (!::mkdtemp(pattern.data())) std::abort();
        path = pattern;
    }
    ~Scratch()
    {
        std::error_code ec;
        std::filesystem::remove_all(path, ec);
    }
};

// A key of 52 items: styles and colours vary, every seventh item is switched off, every
// eleventh has no style and every thirteenth is a hidden entry (style 255); the last two lie
// past the 50 that are used.
const MASStruct& FuzzKey()
{
    static const std::unique_ptr<MASStruct> mas = [] {
        auto m = std::make_unique<MASStruct>();
        m->Key = std::make_unique<KeyStruct>();
        std::unique_ptr<K_Descriptor>* tail = &m->Key->NextKD;
        for (int i = 1; i <= 52; ++i) {
            auto kd = std::make_unique<K_Descriptor>();
            kd->Active = i % 7 != 0;
            kd->Top_Style = i % 13 == 0 ? 255 : i % 11 == 0 ? 0 : static_cast<uint8_t>(i % 41);
            kd->Bottom_Style = static_cast<uint8_t>((i * 5) % 25);
            kd->Top_Colour = DOSColour[i % 16];
            kd->Bottom_Colour = DOSColour[(i + 5) % 16];
            *tail = std::move(kd);
            tail = &(*tail)->NextKD;
        }
        m->Key->NumItems = 52;
        return m;
    }();
    return *mas;
}

struct View {
    double minLat, maxLat, minLon, maxLon;
    bool print;
};

// The layer's grid in degrees; false when it has no area.
bool GridArea(const HdrRec& h, View& v)
{
    const double cell = h.GridCellSize * 1e-6;
    v.minLat = h.LatOrig * 1e-6;
    v.minLon = h.LonOrig * 1e-6;
    v.maxLat = v.minLat + cell * h.NumRows;
    v.maxLon = v.minLon + cell * h.NumCols;
    return v.maxLat > v.minLat && v.maxLon > v.minLon;
}

// Every way the viewer draws a layer of a grid: the whole grid on the screen, a window of an
// eighth of it each way (where depends on the input), and the whole grid on paper.
std::vector<View> Views(const HdrRec& h, const uint8_t* data, size_t size)
{
    View whole{};
    if (!GridArea(h, whole)) return {};
    whole.print = false;
    const unsigned at = size > 0 ? data[size - 1] : 0u;
    const double dLat = (whole.maxLat - whole.minLat) / 8, dLon = (whole.maxLon - whole.minLon) / 8;
    View zoom{whole.minLat + dLat * (at % 8), 0, whole.minLon + dLon * (at / 8 % 8), 0, false};
    zoom.maxLat = zoom.minLat + dLat;
    zoom.maxLon = zoom.minLon + dLon;
    View paper = whole;
    paper.print = true;
    return {whole, zoom, paper};
}

constexpr int64_t kMostCells = 100 * 100;

void Setup(DrawContext& ctx, const View& v)
{
    ctx.SetExtents(v.minLat, v.maxLat, v.minLon, v.maxLon);
    ctx.ClientWidth = kPictureWidth;
    ctx.ClientHeight = kPictureHeight;
    ctx.WindowWidth = kPictureWidth + 8;
    ctx.WindowHeight = kPictureHeight + 30;
    ctx.Print = v.print;
    ctx.Page = kPage;
    ctx.landStyle = LandStyle::Infilled;
    ctx.Land_Plot_Fill_Colour = 0x008000;
    ctx.Land_Plot_Colour = 0x00CC00;
    ctx.BackgroundColour = 0x800000;
}

// One recording canvas stands for the picture and the page.
class Recording : public Surfaces {
public:
    Canvas& Picture() override { return canvas_; }
    Canvas& Page() override { return canvas_; }
    int64_t TakeFigures() override
    {
        const auto n = static_cast<int64_t>(canvas_.records.size());
        canvas_.records.clear();
        return n;
    }

private:
    RecordingCanvas canvas_{kPictureWidth, kPictureHeight};
};

template <class Layer, class Draw>
void DrawEveryWay(Surfaces& on, Layer& layer, const uint8_t* data, size_t size, Draw&& draw)
{
    NullMessageSink sink;
    for (const View& v : Views(layer.Header, data, size)) {
        DrawContext ctx(v.print ? on.Page() : on.Picture(), sink);
        ctx.screenCanvas = &on.Picture();
        Setup(ctx, v);
        on.TakeFigures();
        draw(ctx);
        // At most three figures for a unit of work (a run becomes up to three bars), and one
        // for each whole cell of a raster.
        FUZZ_CHECK(on.TakeFigures() <= 3 * layer.WorkLimit() + kMostCells);
        FUZZ_CHECK(layer.iFile.WorkDone() <= layer.WorkLimit());
    }
}

// The feature visitor over every cell: within the work bound, and every raster run inside its
// cell.
struct CountingVisitor : FeatureVisitor {
    int64_t features = 0;
    void Line(const FeatureCell&, int, const std::vector<CellOffset>&) override { ++features; }
    void Polygon(const FeatureCell&, int, const std::vector<std::vector<CellOffset>>&, const CellOffset*, int64_t) override
    {
        ++features;
    }
    void Point(const FeatureCell&, int, CellOffset, int64_t) override { ++features; }
    void Label(const FeatureCell&, int, const VisitedLabel&) override { ++features; }
    void RasterRun(const RasterCell& cell, int64_t row, int64_t column, int64_t count, int) override
    {
        FUZZ_CHECK(row >= 0 && row < cell.CellRows && column >= 0 && column < cell.CellColumns && count > 0 &&
                   row * cell.CellColumns + column + count <= cell.CellRows * cell.CellColumns);
        ++features;
    }
};

template <class Layer, class Visit>
void VisitEveryCell(Layer& layer, Visit&& visit)
{
    CountingVisitor counted;
    visit(counted);
    FUZZ_CHECK(layer.iFile.WorkDone() <= layer.WorkLimit());
    // At most one feature for a unit of work, and one for each whole cell of a raster.
    FUZZ_CHECK(counted.features <= layer.WorkLimit() + kMostCells);
}

template <class Layer>
void Search(Layer& layer, const uint8_t* data, size_t size, uint8_t adjust)
{
    RecordingCanvas canvas(kPictureWidth, kPictureHeight);
    NullMessageSink sink;
    std::vector<View> views = Views(layer.Header, data, size);
    if (views.size() < 2) return;
    for (int i = 0; i < 2; ++i) {
        DrawContext ctx(canvas, sink);
        Setup(ctx, views[static_cast<size_t>(i)]);
        for (Point at : {Point{kPictureWidth / 2, kPictureHeight / 2}, Point{0, 0}}) {
            SearchResult found;
            const int32_t offset = layer.Search(ctx, adjust, at.x, at.y, found);
            FUZZ_CHECK(offset >= -1);
            ForEachOutlinePart(found.Points, [](const Point*, size_t) {});
        }
    }
}

std::unique_ptr<ByteSource> Source(const uint8_t* data, size_t size)
{
    return std::make_unique<MemorySource>(std::vector<uint8_t>(data, data + size));
}

} // namespace

const std::string& ScratchDir()
{
    static Scratch scratch;
    return scratch.path;
}

std::string WriteScratchFile(const std::string& name, const void* data, size_t size)
{
    const std::string path = ScratchDir() + "/" + name;
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(static_cast<const char*>(data), static_cast<std::streamsize>(size));
    return path;
}

void FuzzLayer(LayerKind kind, const uint8_t* data, size_t size)
{
    Recording on;
    FuzzLayer(kind, data, size, on);
}

void FuzzLayer(LayerKind kind, const uint8_t* data, size_t size, Surfaces& on)
{
    NullMessageSink sink;
    RecordingCanvas keyCanvas(kPictureWidth, kPictureHeight);
    DrawContext keyCtx(keyCanvas, sink);
    const uint8_t adjust = size > 0 ? data[size / 2] % 4 : 0;
    // Base maps draw with the bottom colours, the overlay and searches with the top ones.
    auto colour = [&](GenMapObj& m, bool top) { m.UseKeyColours(&FuzzKey(), nullptr, top, keyCtx); };

    switch (kind) {
    case LayerKind::Vec: {
        VECmap m;
        if (!m.Create(Source(data, size))) return;
        colour(m, false);
        DrawEveryWay(on, m, data, size, [&](const DrawContext& ctx) { m.Draw(ctx, adjust); });
        m.UseKeyColours(nullptr, nullptr, false, keyCtx);   // as the coastline
        DrawEveryWay(on, m, data, size, [&](const DrawContext& ctx) { m.Draw(ctx, 0); });
        VisitEveryCell(m, [&](FeatureVisitor& v) { m.Visit(v, adjust); });
        break;
    }
    case LayerKind::Mrl: {
        MonoRLEmap m;
        if (!m.Create(Source(data, size), "FUZZ.MRL", sink)) return;
        for (uint8_t style : {uint8_t{17}, uint8_t{1}, uint8_t{0}, uint8_t{5}}) {
            m.Colour[1] = 0x008000;
            m.Styl[1] = style;
            DrawEveryWay(on, m, data, size, [&](const DrawContext& ctx) { m.Draw(ctx); });
        }
        VisitEveryCell(m, [&](FeatureVisitor& v) { m.Visit(v); });
        break;
    }
    case LayerKind::Rle: {
        RLEmap m;
        if (!m.Create(Source(data, size))) return;
        colour(m, false);
        DrawEveryWay(on, m, data, size, [&](const DrawContext& ctx) { m.Draw(ctx, adjust); });
        VisitEveryCell(m, [&](FeatureVisitor& v) { m.Visit(v, adjust); });
        break;
    }
    case LayerKind::Sym: {
        SYMmap m;
        if (!m.Create(Source(data, size))) return;
        colour(m, adjust % 2 == 0);
        DrawEveryWay(on, m, data, size, [&](const DrawContext& ctx) { m.Draw(ctx, adjust); });
        VisitEveryCell(m, [&](FeatureVisitor& v) { m.Visit(v, adjust); });
        break;
    }
    case LayerKind::Syx: {
        SYXmap m;
        if (!m.Create(Source(data, size))) return;
        colour(m, true);
        DrawEveryWay(on, m, data, size, [&](const DrawContext& ctx) { m.Draw(ctx, adjust); });
        Search(m, data, size, adjust);
        VisitEveryCell(m, [&](FeatureVisitor& v) { m.Visit(v, adjust); });
        break;
    }
    case LayerKind::Pol: {
        POLmap m;
        if (!m.Create(Source(data, size))) return;
        colour(m, true);
        // Types 7 (outlines, searched), 8 and 9 (filled, without and with the two extra records).
        DrawEveryWay(on, m, data, size, [&](const DrawContext& ctx) { m.Draw(ctx, 2, false, adjust); });
        DrawEveryWay(on, m, data, size, [&](const DrawContext& ctx) { m.Draw(ctx, 0, true, adjust); });
        DrawEveryWay(on, m, data, size, [&](const DrawContext& ctx) { m.Draw(ctx, 2, true, adjust); });
        Search(m, data, size, adjust);
        for (uint8_t nSkip : {uint8_t{0}, uint8_t{2}}) VisitEveryCell(m, [&](FeatureVisitor& v) { m.Visit(v, nSkip, adjust); });
        break;
    }
    case LayerKind::Lbl: {
        LBLmap m;
        if (!m.Create(Source(data, size))) return;
        colour(m, true);
        DrawEveryWay(on, m, data, size, [&](const DrawContext& ctx) { m.Draw(ctx, adjust); });
        VisitEveryCell(m, [&](FeatureVisitor& v) { m.Visit(v, adjust); });
        break;
    }
    }
}

} // namespace corvane::fuzz
