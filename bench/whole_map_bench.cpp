// The whole map as the viewer first shows it: the North Sea map's themes over its default
// view (45..65 N, 15 W..15 E fitted to 1280 x 800), coastline, graticule and both keys,
// replotted warm, in filled and in outline land style. Beside it, in the same run, the
// floors: the land fill's bars drawn as plain QPainter rectangles, the coastline's lines as
// plain QPainter polylines. Bytes read from layer files are counted for the first plot and
// for each redraw of the unchanged view, and for a view of one degree.
#include "PictureView.h"
#include "WholeMapBench.h"

#include "layers/MapMRLE.h"
#include "layers/MapVEC.h"
#include "layers/LayerCache.h"
#include "mapdef/MDFStruct.h"
#include "platform/ByteSource.h"
#include "platform/CvVars.h"
#include "platform/DataPath.h"
#include "platform/MessageSink.h"
#include "platform/RecordingCanvas.h"
#include "platform/Settings.h"
#include "platform/qt/QtCanvas.h"
#include "render/MapView.h"
#include "render/Plot.h"

#include <benchmark/benchmark.h>

#include <QImage>
#include <QPainter>
#include <QPolygon>

#include <cstdio>
#include <map>
#include <memory>

namespace corvane {
namespace {

constexpr int kWidth = 1280, kHeight = 800;

class WholeMapView : public PictureView<MapView> {
public:
    explicit WholeMapView(MessageSink& sink) : PictureView(sink, kWidth, kHeight) {}
    Canvas* ImageCanvas() override { return other ? other : PictureView::ImageCanvas(); }

    // A canvas drawn on in place of the picture (to record what a layer draws).
    Canvas* other = nullptr;
};

// The context of the view's drawing on another canvas.
DrawContext ContextOn(WholeMapView& view, Canvas& canvas)
{
    view.other = &canvas;
    DrawContext ctx = view.Context(false);
    view.other = nullptr;
    return ctx;
}

// The North Sea map of the sample atlas over the default view, or over a box of one degree.
struct DefaultMap {
    NullMessageSink sink;
    FixedScreenMetrics screen;
    std::unique_ptr<TMDFStruct> mdf;
    std::unique_ptr<WholeMapView> view;

    DefaultMap(bool outline, bool oneDegree)
    {
        CvVars::Reset();
        CvVars::CDROM = std::string(CORVANE_SOURCE_DIR) + "/atlas";
        CvVars::DatalistFile = CheckCD_Drive("CDROM:\\Misc\\MainMenu.Dat");
        ReadFileSettings(SettingsStore());
        screen.workArea = {0, 0, kWidth, kHeight};
        screen.screenWidth = kWidth;
        screen.screenHeight = kHeight;
        mdf = TMDFStruct::Create(CvVars::CDROM + "/Maps/NorthSea.MDF", screen, sink).MDF;
        if (!mdf) return;
        mdf->ClearBaseZoom();
        if (oneDegree)
            mdf->NewZoom(0, 0, kWidth, kHeight, 1.0, 52.0, 2.0, 53.0, WindowPriority);
        else
            mdf->NewZoom(0, 0, kWidth, kHeight, -15.0, 45.0, 15.0, 65.0, WindowPriority);
        mdf->Grid_Displayed = true;
        view = std::make_unique<WholeMapView>(sink);
        view->MDF = mdf.get();
        view->SetChecksFromMDF();
        view->InFilled1 = !outline;
        view->Outline1 = outline;
        view->BaseMapKey = view->OverlayMapKey = true;
    }
    bool Ready(benchmark::State& state) const
    {
        if (mdf && (mdf->NextMAS.First() || mdf->OverlayMAS.First())) return true;
        state.SkipWithError("the sample atlas's North Sea map or its themes were not found");
        return false;
    }
    void PlotAll()
    {
        view->RedrawMap = true;
        Plot(*view, false, false);
    }
};

// Times whole plots; reports the bytes read by the first plot (nothing cached) and by each
// later one.
void WholeMap(benchmark::State& state, bool outline, bool oneDegree)
{
    DefaultMap m(outline, oneDegree);
    if (!m.Ready(state)) return;
    LayerCache::Shared().Clear();
    FileSource::ResetTotalBytesRead();
    m.PlotAll();
    const double first = static_cast<double>(FileSource::TotalBytesRead());
    FileSource::ResetTotalBytesRead();
    const uint64_t misses = LayerCache::Shared().Misses();
    for (auto _ : state) m.PlotAll();
    state.counters["bytes_first_plot"] = first;
    state.counters["heads_read_per_redraw"] = static_cast<double>(LayerCache::Shared().Misses() - misses) /
                                              static_cast<double>(std::max<int64_t>(1, state.iterations()));
    state.counters["bytes_per_redraw"] =
        static_cast<double>(FileSource::TotalBytesRead()) / static_cast<double>(std::max<int64_t>(1, state.iterations()));
}

void BM_WholeMapFilled(benchmark::State& s) { WholeMap(s, false, false); }
void BM_WholeMapOutline(benchmark::State& s) { WholeMap(s, true, false); }
void BM_WholeMapOneDegree(benchmark::State& s) { WholeMap(s, false, true); }

// The land fill of the default view by itself, as the plot draws it.
void LandFillOnce(DefaultMap& m, const DrawContext& ctx)
{
    const CoastLevel level = LandFillLevel(CvVars::CoastResolution, kHeight, m.mdf->GetMainLatRange());
    MonoRLEmap land;
    land.Create(FillCoastFile(level), m.sink);
    land.Colour[1] = static_cast<int32_t>(m.mdf->Land_Plot_Fill_Colour & 0x00FFFFFFu);
    land.Styl[1] = 17;
    land.SwitchedOff[1] = false;
    land.Draw(ctx, 0, true);
}

void BM_LandFill(benchmark::State& state)
{
    DefaultMap m(false, false);
    if (!m.Ready(state)) return;
    const DrawContext ctx = m.view->Context(false);
    for (auto _ : state) LandFillOnce(m, ctx);
}

// The same bars as plain QPainter rectangles in the land colour.
void BM_LandFillFloor(benchmark::State& state)
{
    DefaultMap m(false, false);
    if (!m.Ready(state)) return;
    RecordingCanvas recorder(kWidth, kHeight);
    LandFillOnce(m, ContextOn(*m.view, recorder));
    std::vector<QRect> bars;
    for (const auto* r : recorder.Of(RecordingCanvas::Op::FillRect))
        bars.emplace_back(QPoint(r->pts[0].x, r->pts[0].y), QPoint(r->pts[1].x - 1, r->pts[1].y - 1));
    QImage image(kWidth, kHeight, QImage::Format_RGB32);
    const QColor colour = ToQColor(m.mdf->Land_Plot_Fill_Colour);
    for (auto _ : state) {
        QPainter p(&image);
        for (const QRect& b : bars) p.fillRect(b, colour);
    }
    state.counters["bars"] = static_cast<double>(bars.size());
}

// The coastline of the outline style by itself, and its lines as plain QPainter polylines.
std::string OutlineFile(const DefaultMap& m)
{
    return OutlineCoastFile(OutlineCoastLevel(CvVars::CoastResolution, kWidth, kHeight, m.mdf->GetMainLonRange(),
                                              m.mdf->GetMainLatRange(), CvVars::LatLonScale));
}

void CoastlineOnce(const std::string& file, const DrawContext& ctx)
{
    VECmap coast;
    coast.Create(file);
    coast.UseKeyColours(nullptr, nullptr, false, ctx);
    coast.Draw(ctx, 0, true);
}

void BM_Coastline(benchmark::State& state)
{
    DefaultMap m(true, false);
    if (!m.Ready(state)) return;
    const DrawContext ctx = m.view->Context(false);
    const std::string file = OutlineFile(m);
    for (auto _ : state) CoastlineOnce(file, ctx);
}

void BM_CoastlineFloor(benchmark::State& state)
{
    DefaultMap m(true, false);
    if (!m.Ready(state)) return;
    RecordingCanvas recorder(kWidth, kHeight);
    CoastlineOnce(OutlineFile(m), ContextOn(*m.view, recorder));
    std::vector<QPolygon> lines;
    for (const auto* r : recorder.Of(RecordingCanvas::Op::Polyline)) {
        QPolygon poly;
        for (const Point& pt : r->pts) poly << QPoint(pt.x, pt.y);
        lines.push_back(poly);
    }
    QImage image(kWidth, kHeight, QImage::Format_RGB32);
    const QPen pen(ToQColor(m.mdf->Land_Plot_Colour), 0);
    for (auto _ : state) {
        QPainter p(&image);
        p.setPen(pen);
        for (const QPolygon& l : lines) p.drawPolyline(l);
    }
    state.counters["lines"] = static_cast<double>(lines.size());
}

BENCHMARK(BM_WholeMapFilled)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WholeMapOutline)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WholeMapOneDegree)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LandFill)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LandFillFloor)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Coastline)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CoastlineFloor)->Unit(benchmark::kMillisecond);

} // namespace

// ---- the table of goals ---------------------------------------------------------------------

void GoalTableReporter::ReportRuns(const std::vector<Run>& runs)
{
    ConsoleReporter::ReportRuns(runs);
    for (const Run& run : runs) {
        if (run.error_occurred) continue;
        // With repetitions, the median stands for the benchmark; without, the one run does.
        const bool median = run.run_type == Run::RT_Aggregate && run.aggregate_name == "median";
        if (run.run_type == Run::RT_Aggregate && !median) continue;
        Result& r = results_[run.run_name.function_name];
        if (r.fromMedian && !median) continue;
        r.fromMedian = median;
        r.ms = run.GetAdjustedRealTime();   // the benchmarks report milliseconds
        r.cpuMs = run.GetAdjustedCPUTime();
        for (const auto& [name, counter] : run.counters) r.counters[name] = counter.value;
    }
}

void GoalTableReporter::PrintTable() const
{
    auto find = [&](const char* name) -> const Result* {
        const auto it = results_.find(name);
        return it == results_.end() ? nullptr : &it->second;
    };
    auto counter = [&](const char* name, const char* c) {
        const Result* r = find(name);
        if (!r) return -1.0;
        const auto it = r->counters.find(c);
        return it == r->counters.end() ? -1.0 : it->second;
    };
    // what, goal, measured (and processor time), met
    auto row = [](const char* what, const char* goal, double value, double cpu, const char* unit, const char* met) {
        if (value < 0) {
            std::printf("  %-44s %-15s %12s\n", what, goal, "not run");
            return;
        }
        char measured[64];
        if (cpu >= 0)
            std::snprintf(measured, sizeof measured, "%8.2f %-2s (%.2f)", value, unit, cpu);
        else
            std::snprintf(measured, sizeof measured, "%8.2f %-2s", value, unit);
        std::printf("  %-44s %-15s %-22s %s\n", what, goal, measured, met);
    };
    auto verdict = [](bool met) { return met ? "met" : "MISSED"; };
    auto time = [&](const char* what, const char* goal, const char* name, double limit) {
        const Result* r = find(name);
        row(what, goal, r ? r->ms : -1.0, r ? r->cpuMs : -1.0, "ms", limit < 0 ? "" : verdict(r && r->ms <= limit));
    };
    auto ratio = [&](const char* what, const char* goal, const char* a, const char* b, double limit) {
        const Result *ra = find(a), *rb = find(b);
        const bool both = ra && rb && rb->ms > 0 && rb->cpuMs > 0;
        const double v = both ? ra->ms / rb->ms : -1.0;
        row(what, goal, v, both ? ra->cpuMs / rb->cpuMs : -1.0, "x", limit > 0 ? verdict(v <= limit) : "");
    };
    std::printf("\nGoals at 1280 x 800, warm (medians with --benchmark_repetitions; in brackets the same\n"
                "from processor time, which other work on the machine does not stretch):\n");
    std::printf("  %-44s %-15s %s\n", "what", "goal", "measured");
    time("whole default map, filled land", "<= 6 ms", "BM_WholeMapFilled", 6.0);
    time("whole default map, outline style", "<= 8 ms", "BM_WholeMapOutline", 8.0);
    time("land fill of the default view", "", "BM_LandFill", -1);
    time("  its bars as plain QPainter rectangles", "", "BM_LandFillFloor", -1);
    ratio("land fill / the rectangles", "<= 2 x", "BM_LandFill", "BM_LandFillFloor", 2.0);
    ratio("coastline / its lines as QPainter polylines", "(no goal)", "BM_Coastline", "BM_CoastlineFloor", 0);
    const double first = counter("BM_WholeMapFilled", "bytes_first_plot");
    const double redraw = counter("BM_WholeMapFilled", "bytes_per_redraw");
    const double firstOne = counter("BM_WholeMapOneDegree", "bytes_first_plot");
    const double redrawOne = counter("BM_WholeMapOneDegree", "bytes_per_redraw");
    const double opened = counter("BM_WholeMapFilled", "heads_read_per_redraw");
    row("kB read, first plot of the default view", "", first / 1024, -1, "kB", "");
    row("kB read, each redraw of it", "", redraw / 1024, -1, "kB", "");
    row("  headers and indexes read in each redraw", "none", opened, -1, "", verdict(opened == 0));
    row("kB read, 1-degree view, first plot", "", firstOne / 1024, -1, "kB", "");
    row("kB read, 1-degree view, each redraw", "", redrawOne / 1024, -1, "kB", "");
    const bool bytes = first > 0 && redraw > 0 && firstOne >= 0 && redrawOne >= 0;
    row("  1-degree / default view, first plots", "(see README)", bytes ? firstOne / first : -1, -1, "", "");
    row("  1-degree / default view, redraws", "<= 0.10", bytes ? redrawOne / redraw : -1, -1, "",
        verdict(bytes && redrawOne / redraw <= 0.10));

    // The place search (names_bench.cpp).
    const double sampleKey = counter("BM_TypeAheadSample", "worst_ms");
    const double millionKey = counter("BM_TypeAheadMillion", "worst_ms");
    const double perName = counter("BM_IndexMillionNames", "bytes_per_name");
    row("place search key press, sample atlas (worst)", "<= 20 ms", sampleKey, -1, "ms", verdict(sampleKey >= 0 && sampleKey <= 20));
    time("  the same, on average", "", "BM_TypeAheadSample", -1);
    row("key press, a million names (worst)", "<= 50 ms", millionKey, -1, "ms", verdict(millionKey >= 0 && millionKey <= 50));
    time("  the same, on average", "", "BM_TypeAheadMillion", -1);
    time("index of names of the sample atlas built", "<= 1000 ms", "BM_IndexSampleAtlas", 1000);
    time("index of a million names built", "<= 10000 ms", "BM_IndexMillionNames", 10000);
    // Built on the viewer's thread: the processor time is the whole process's.
    const Result* viewer = find("BM_IndexMillionNamesInViewer");
    row("  the same in the viewer's job", "<= 10000 ms", viewer ? viewer->ms : -1.0,
        counter("BM_IndexMillionNamesInViewer", "process_cpu_ms"), "ms", verdict(viewer && viewer->ms <= 10000));
    time("  read back from the cache", "", "BM_LoadMillionNames", -1);
    row("  its index file, bytes a name", "<= 40", perName, -1, "B", verdict(perName >= 0 && perName <= 40));
}

} // namespace corvane
