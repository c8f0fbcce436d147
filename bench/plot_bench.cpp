// Plotting speed: a whole map at 1280 x 800 with filled and with outlined land, and a map
// zoomed in to two degrees, reporting the time per plot and the bytes read from layer files;
// the whole map again with its graticule and both keys, and what drawing those two alone
// costs (the plot of a map whose data need not be drawn again).
//
// The coastline comes from the sample atlas when it has been built (atlas/Landdata/...);
// otherwise a synthetic coastline of islands is written with our writers into a temporary
// folder first (its five outlines and five land files at the resolutions of the real ones;
// the two finest land files cover only the zoomed area). CORVANE_BENCH_ATLAS names a folder
// to write it into and keep, for looking at it with corvane-render.
#include "layers/writers/RunLengthWriters.h"
#include "layers/writers/VECmapWriter.h"
#include "mapdef/MDFStruct.h"
#include "platform/ByteSource.h"
#include "platform/CvVars.h"
#include "platform/MessageSink.h"
#include "platform/Settings.h"
#include "platform/qt/QtCanvas.h"
#include "catalogue/MasterFile.h"
#include "render/MapView.h"
#include "render/Plot.h"
#include "PictureView.h"
#include "WholeMapBench.h"

#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <QImage>

#include <cmath>
#include <cstdlib>
#include <fstream>
#include <sys/stat.h>
#include <unistd.h>

namespace corvane {
namespace {

constexpr int kWidth = 1280, kHeight = 800;
constexpr double kPi = 3.14159265358979323846;

// ---- the synthetic coastline ---------------------------------------------------------------

struct Island {
    double lat, lon, radius, phase1, phase2;
    // Distance from the centre to the coast in direction theta, degrees.
    double Reach(double theta) const
    {
        return radius * (1 + 0.3 * std::sin(3 * theta + phase1) + 0.15 * std::sin(7 * theta + phase2));
    }
    bool Contains(double la, double lo) const
    {
        const double dy = la - lat, dx = lo - lon;
        const double d = std::hypot(dx, dy);
        return d < 1.45 * radius && d < Reach(std::atan2(dy, dx));
    }
};

std::vector<Island> Islands()
{
    std::vector<Island> v = {{55.0, 0.0, 0.8, 0.4, 1.3}, {54.3, -1.2, 0.35, 2.0, 0.1}};
    uint32_t seed = 12345;
    auto next = [&seed] {
        seed = seed * 1664525u + 1013904223u;
        return (seed >> 8) / 16777216.0;
    };
    for (int i = 0; i < 60; ++i)
        v.push_back({46 + 18 * next(), -27 + 54 * next(), 0.3 + 2.5 * next(), 6.28 * next(), 6.28 * next()});
    return v;
}

void MakeFolders(const std::string& path)
{
    for (size_t k = 1; (k = path.find('/', k)) != std::string::npos; ++k) ::mkdir(path.substr(0, k).c_str(), 0755);
}

void WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes)
{
    MakeFolders(path);
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), bytes.size());
}

// Land of the islands on a raster of cells of `cell` degrees over the region.
void WriteLand(const std::string& path, const std::vector<Island>& islands, double cell, double south, double north,
               double west, double east)
{
    const int64_t cols = std::llround((east - west) / cell), rows = std::llround((north - south) / cell);
    std::vector<uint8_t> values(static_cast<size_t>(cols * rows), 0);
    for (const Island& is : islands) {
        const double reach = 1.45 * is.radius;
        const int64_t c0 = std::max<int64_t>(0, std::llround((is.lon - reach - west) / cell));
        const int64_t c1 = std::min<int64_t>(cols, std::llround((is.lon + reach - west) / cell));
        const int64_t r0 = std::max<int64_t>(0, std::llround((north - is.lat - reach) / cell));
        const int64_t r1 = std::min<int64_t>(rows, std::llround((north - is.lat + reach) / cell));
        for (int64_t r = r0; r < r1; ++r)
            for (int64_t c = c0; c < c1; ++c)
                if (is.Contains(north - (r + 0.5) * cell, west + (c + 0.5) * cell)) values[r * cols + c] = 1;
    }
    MemoryRaster source(cols, std::move(values));
    LayerWriteOptions o;
    o.Header.DatasetID = "LAND";
    WriteBytes(path, MonoRLEmapWriter(GeoRaster{west, north, cell, cell, cols, rows}, o).Write(source).Bytes());
}

// The outline of the islands with points about `spacing` degrees apart.
void WriteOutline(const std::string& path, const std::vector<Island>& islands, double spacing)
{
    LayerWriteOptions o;
    o.Header.DatasetID = "COAST";
    VECmapWriter w(o, 40, 70, -35, 35);
    for (const Island& is : islands) {
        const int n = std::max(8, static_cast<int>(2 * kPi * is.radius / spacing));
        std::vector<GeoPoint> pts;
        for (int i = 0; i <= n; ++i) {
            const double t = 2 * kPi * i / n;
            pts.push_back({is.lat + is.Reach(t) * std::sin(t), is.lon + is.Reach(t) * std::cos(t)});
        }
        w.AddPolyline(1, pts);
    }
    WriteBytes(path, w.Bytes());
}

std::string WriteSyntheticAtlas()
{
    char tmpl[] = "/tmp/corvane-bench-XXXXXX";
    const char* keep = std::getenv("CORVANE_BENCH_ATLAS");
    const std::string root = keep && *keep ? keep : ::mkdtemp(tmpl) ? tmpl : "/tmp/corvane-bench";
    const std::vector<Island> islands = Islands();
    const std::string vec = root + "/Landdata/Vec/", mrl = root + "/Landdata/Mrl/";
    WriteOutline(vec + "Land01PC.Vec", islands, 0.5);
    WriteOutline(vec + "Land03PC.Vec", islands, 0.15);
    WriteOutline(vec + "Land10PC.Vec", islands, 0.05);
    WriteOutline(vec + "Land30PC.Vec", islands, 0.02);
    WriteOutline(vec + "LandFull.Vec", islands, 0.005);
    WriteLand(mrl + "Land5Min.Mrl", islands, 1.0 / 12, 40, 70, -35, 35);
    WriteLand(mrl + "Land3Min.Mrl", islands, 1.0 / 20, 40, 70, -35, 35);
    WriteLand(mrl + "Land1Min.Mrl", islands, 1.0 / 60, 42, 68, -33, 33);
    WriteLand(mrl + "Land36s.Mrl", islands, 1.0 / 100, 52, 58, -6, 6);
    WriteLand(mrl + "Land12s.Mrl", islands, 1.0 / 300, 54, 56, -2, 2);
    return root;
}

const std::string& AtlasRoot()
{
    static const std::string root = [] {
        const std::string sample = std::string(CORVANE_SOURCE_DIR) + "/atlas";
        struct stat st {};
        if (::stat((sample + "/Landdata/Vec/Land01PC.Vec").c_str(), &st) == 0) return sample;
        return WriteSyntheticAtlas();
    }();
    return root;
}

// ---- the plot ------------------------------------------------------------------------------

class BenchView : public PictureView<MapView> {
public:
    explicit BenchView(MessageSink& sink) : PictureView(sink, kWidth, kHeight) {}
};

enum class Land { Filled, Outlined };
// What goes over the data: nothing, or the graticule and the two keys.
enum class Over { Nothing, GridAndKeys };

// A key like those of the sample atlas: two header lines and seven items of every kind.
std::unique_ptr<KeyStruct> BenchKey()
{
    auto K = std::make_unique<KeyStruct>();
    K->Num_HdrLines = 2;
    K->Text = {"Coastal towns", "(within 10 km of the coast)"};
    std::unique_ptr<K_Descriptor>* next = &K->NextKD;
    const uint8_t types[7] = {1, 2, 3, 3, 4, 5, 2};
    for (uint8_t i = 0; i < 7; ++i) {
        auto kd = std::make_unique<K_Descriptor>();
        kd->Active = true;
        kd->Entry_Type = types[i];
        kd->Top_Style = kd->Bottom_Style = static_cast<uint8_t>(i + 1);
        kd->Top_Colour = kd->Bottom_Colour = DOSColour[9 + i];
        kd->Number_Of_Text_Lines = 1;
        kd->Display_Order = static_cast<uint8_t>(i + 1);
        K->Text.push_back("Item number " + std::to_string(i + 1) + " of the key");
        *next = std::move(kd);
        next = &(*next)->NextKD;
    }
    K->NumItems = 7;
    return K;
}

void PlotMap(benchmark::State& state, Land land, bool zoomed, Over over = Over::Nothing, bool dataAgain = true)
{
    NullMessageSink sink;
    CvVars::Reset();
    CvVars::CDROM = AtlasRoot();
    ReadFileSettings(SettingsStore());
    FixedScreenMetrics screen;
    screen.workArea = {0, 0, kWidth, kHeight};
    screen.screenWidth = kWidth;
    screen.screenHeight = kHeight;
    MDFLoadResult loaded = TMDFStruct::Create("", screen, sink);   // a new map: 45..65 N about 0
    TMDFStruct& mdf = *loaded.MDF;
    mdf.Grid_Displayed = over == Over::GridAndKeys;
    mdf.BackgroundColour = 0x804000;
    if (zoomed) mdf.NewZoom(0, 0, kWidth, kHeight, -1.5, 54, 1.5, 56, WindowPriority);
    if (over == Over::GridAndKeys) {
        // Themes with keys and no data sets: the coastline is all the data there is.
        for (MASList* list : {&mdf.NextMAS, &mdf.OverlayMAS}) {
            auto theme = std::make_unique<MASStruct>();
            theme->Key = BenchKey();
            list->Append(std::move(theme));
        }
    }

    BenchView view(sink);
    view.MDF = &mdf;
    view.SetChecksFromMDF();
    view.InFilled1 = land == Land::Filled;
    view.Outline1 = land == Land::Outlined;
    view.RedrawMap = true;
    Plot(view, false, false);

    FileSource::ResetTotalBytesRead();
    for (auto _ : state) {
        view.RedrawMap = dataAgain;
        Plot(view, false, false);
    }
    state.counters["bytes_read_per_plot"] =
        benchmark::Counter(static_cast<double>(FileSource::TotalBytesRead()) / std::max<int64_t>(1, state.iterations()));
}

void BM_PlotFilled(benchmark::State& s) { PlotMap(s, Land::Filled, false); }
void BM_PlotOutlined(benchmark::State& s) { PlotMap(s, Land::Outlined, false); }
void BM_PlotZoomedFilled(benchmark::State& s) { PlotMap(s, Land::Filled, true); }
void BM_PlotZoomedOutlined(benchmark::State& s) { PlotMap(s, Land::Outlined, true); }
void BM_PlotFilledWithGraticuleAndKeys(benchmark::State& s) { PlotMap(s, Land::Filled, false, Over::GridAndKeys); }
// Only the graticule and the keys over the picture (what they add to a whole plot).
void BM_GraticuleAndKeys(benchmark::State& s) { PlotMap(s, Land::Filled, false, Over::GridAndKeys, false); }
void BM_ZoomedGraticuleAndKeys(benchmark::State& s) { PlotMap(s, Land::Filled, true, Over::GridAndKeys, false); }

BENCHMARK(BM_PlotFilled)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PlotOutlined)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PlotZoomedFilled)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PlotZoomedOutlined)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PlotFilledWithGraticuleAndKeys)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_GraticuleAndKeys)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ZoomedGraticuleAndKeys)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace corvane

int main(int argc, char** argv)
{
    if (!std::getenv("DISPLAY") && !std::getenv("QT_QPA_PLATFORM")) ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    std::printf("coastline from %s\n", corvane::AtlasRoot().c_str());
    corvane::GoalTableReporter table;
    benchmark::RunSpecifiedBenchmarks(&table);
    table.PrintTable();
    benchmark::Shutdown();
    if (corvane::AtlasRoot().rfind("/tmp/corvane-bench-", 0) == 0)
        (void)!std::system(("rm -rf '" + corvane::AtlasRoot() + "'").c_str());
    return 0;
}
