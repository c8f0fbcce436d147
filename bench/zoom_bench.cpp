// Zooming and moving speed: a sample atlas map at 1280 x 800, replotted after a wheel step in
// or out, after a zoom box (and "&Previous" back), and after a reposition by the arrow keys.
// Each iteration is one replot; the goal is under 30 ms.
#include "PictureView.h"
#include "interact/MapInteraction.h"
#include "mapdef/MDFStruct.h"
#include "platform/CvVars.h"
#include "platform/DataPath.h"
#include "platform/MessageSink.h"
#include "platform/Settings.h"
#include "platform/qt/QtCanvas.h"
#include "render/Plot.h"

#include <benchmark/benchmark.h>

#include <QImage>

#include <memory>

namespace corvane {
namespace {

constexpr int kWidth = 1280, kHeight = 800;

// The map window without a window: a picture of 1280 x 800 whose window has no frame.
class ZoomBenchView : public PictureView<MapInteraction> {
public:
    explicit ZoomBenchView(MessageSink& sink) : PictureView(sink, kWidth, kHeight) {}
};

struct SampleMap {
    NullMessageSink sink;
    FixedScreenMetrics screen;
    std::unique_ptr<TMDFStruct> mdf;
    std::unique_ptr<ZoomBenchView> view;

    explicit SampleMap(const char* name)
    {
        CvVars::Reset();
        CvVars::CDROM = std::string(CORVANE_SOURCE_DIR) + "/atlas";
        CvVars::DatalistFile = CheckCD_Drive("CDROM:\\Misc\\MainMenu.Dat");
        ReadFileSettings(SettingsStore());
        screen.workArea = {0, 0, kWidth, kHeight};
        screen.screenWidth = kWidth;
        screen.screenHeight = kHeight;
        mdf = TMDFStruct::Create(CvVars::CDROM + "/Maps/" + name, screen, sink).MDF;
        // The stored box fitted to the picture, as the viewer fits it to its window.
        const double minLat = mdf->GetMinLat(), maxLat = mdf->GetMaxLat();
        const double minLon = mdf->GetMinLon(), maxLon = mdf->GetMaxLon();
        mdf->ClearBaseZoom();
        mdf->NewZoom(0, 0, kWidth, kHeight, minLon, minLat, maxLon, maxLat, WindowPriority);
        view = std::make_unique<ZoomBenchView>(sink);
        view->MDF = mdf.get();
        view->SetChecksFromMDF();
        view->RedrawMap = true;
        Plot(*view, false, false);
    }
    // A map whose themes were not found would time an empty plot.
    bool Ready(benchmark::State& state) const
    {
        if (mdf->NextMAS.First() || mdf->OverlayMAS.First()) return true;
        state.SkipWithError("the sample map's themes were not found");
        return false;
    }
};

// One wheel notch in about a point of the coast, then back out with "&Previous".
void BM_WheelZoomReplot(benchmark::State& state)
{
    SampleMap m("NorthSea.MDF");
    if (!m.Ready(state)) return;
    int64_t i = 0;
    for (auto _ : state) {
        if (i++ % 2 == 0)
            m.view->ZoomAbout(1, 700, 500, true);
        else
            m.view->ZoomOutPreviousClick();
    }
}

// A zoom box dragged over a harbour, then "&Previous".
void BM_ZoomBoxReplot(benchmark::State& state)
{
    SampleMap m("NorthSea.MDF");
    if (!m.Ready(state)) return;
    int64_t i = 0;
    for (auto _ : state) {
        if (i++ % 2 == 0) {
            m.view->ZoomInClick();
            m.view->MouseMove(false, 600, 450);
            m.view->MouseDown(false, 600, 450);
            m.view->Click();
            m.view->MouseMove(false, 840, 600);
            m.view->MouseDown(false, 840, 600);
            m.view->Click();
            m.view->CheckDraw();
        } else {
            m.view->ZoomOutPreviousClick();
        }
    }
}

// The view moved a tenth to the east and back (the reposition rule).
void BM_RepositionReplot(benchmark::State& state)
{
    SampleMap m("NorthSea.MDF");
    if (!m.Ready(state)) return;
    int64_t i = 0;
    for (auto _ : state) m.view->Pan(i++ % 2 == 0 ? 1 : -1, 0);
}

BENCHMARK(BM_WheelZoomReplot)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ZoomBoxReplot)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RepositionReplot)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace corvane
