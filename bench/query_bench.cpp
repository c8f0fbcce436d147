// A query click on the sample atlas, from the search of the overlay to the answer read and laid
// out: a town of the Channel map and a sea of the Baltic map (both headed records), in a map
// window of 1024 x 768. The time per click is the answer's delay.
#include "mapdef/MDFStruct.h"
#include "platform/ByteSource.h"
#include "platform/CvVars.h"
#include "platform/DataPath.h"
#include "platform/MessageSink.h"
#include "platform/Settings.h"
#include "platform/qt/QtCanvas.h"
#include "query/QueryRecord.h"
#include "query/QueryReport.h"
#include "query/QuerySearch.h"
#include "render/MapView.h"

#include <benchmark/benchmark.h>

#include <QImage>

namespace corvane {
namespace {

class QueryBenchView : public MapView {
public:
    explicit QueryBenchView(MessageSink& sink) : MapView(sink), image_(1024, 768, QImage::Format_RGB32), canvas_(&image_) {}
    Canvas* ImageCanvas() override { return &canvas_; }
    int32_t ClientWidth() const override { return image_.width(); }
    int32_t ClientHeight() const override { return image_.height(); }
    void SetWindowBounds(int32_t, int32_t, int32_t, int32_t) override {}

private:
    QImage image_;
    QtCanvas canvas_;
};

// Clicks the middle of a sample map and reads the answer of every hit.
void QueryClick(benchmark::State& state, const char* map)
{
    NullMessageSink sink;
    CvVars::Reset();
    CvVars::CDROM = std::string(CORVANE_SOURCE_DIR) + "/atlas";
    CvVars::DatalistFile = CheckCD_Drive("CDROM:\\Misc\\MainMenu.Dat");
    ReadFileSettings(SettingsStore());
    FixedScreenMetrics screen;
    screen.workArea = {0, 0, 1600, 1000};
    screen.screenWidth = 1600;
    screen.screenHeight = 1000;
    MDFLoadResult loaded = TMDFStruct::Create(CvVars::CDROM + "/Maps/" + map, screen, sink);
    if (!loaded) {
        state.SkipWithError("the sample map cannot be read");
        return;
    }
    QueryBenchView view(sink);
    view.MDF = loaded.MDF.get();
    QImage measure(1, 1, QImage::Format_RGB32);
    QtCanvas text(&measure);
    text.font.name = "Courier New";
    text.font.height = -16;
    size_t answered = 0;
    for (auto _ : state) {
        SearchOverlay(view, 512, 384, [&](QueryHit& hit) {
            const std::unique_ptr<ByteSource> file = OpenDataFile(QueryInfoFileName(hit.FileName, hit.AssDataFilename));
            if (!file) return;
            std::vector<std::string> lines(1);
            if (hit.AssDataType == 0) {
                ReadSingleLine(*file, hit.Offset, lines[0]);
            } else {
                QueryReport report(hit.overlay->Sym_Text.get(), *file, "", hit.AssDataType, hit.Offset, sink);
                ReportDevice d;
                d.output = otFile;
                d.canvas = &text;
                d.lines = &lines;
                if (report.StartUp()) report.Display(d);
            }
            answered += lines.size();
        });
    }
    if (answered == 0) state.SkipWithError("the click found nothing");
}

void BM_QueryTown(benchmark::State& s) { QueryClick(s, "Channel.MDF"); }
void BM_QuerySea(benchmark::State& s) { QueryClick(s, "Baltic.MDF"); }

BENCHMARK(BM_QueryTown)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_QuerySea)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace corvane
