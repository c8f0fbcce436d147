// corvane-render: draws a map definition (or a new map) with the viewer's plot, without a
// window, into a PNG or BMP picture or, through the print path, a one-page PDF.
#include "RenderOptions.h"

#include "app/Startup.h"
#include "mapdef/MDFStruct.h"
#include "mapdef/ScreenMetrics.h"
#include "mapwindow/MapOutput.h"
#include "platform/CvVars.h"
#include "platform/DataListSearch.h"
#include "platform/DataPath.h"
#include "platform/MessageSink.h"
#include "platform/Settings.h"
#include "platform/qt/QtCanvas.h"
#include "render/MapView.h"
#include "render/Plot.h"

#include <QGuiApplication>
#include <QImage>
#include <QPrinter>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <sys/stat.h>

namespace corvane {
namespace {

// The picture drawn on, made once for each size and not filled: the plot's first step fills
// it with the map's background. Several pictures drawn by one process share it.
class RenderPicture {
public:
    bool Resize(int32_t width, int32_t height)
    {
        if (canvas_ && image_.width() == width && image_.height() == height) return true;
        canvas_.reset();
        image_ = QImage(width, height, QImage::Format_RGB32);
        if (image_.isNull()) return false;
        canvas_ = std::make_unique<QtCanvas>(&image_);
        return true;
    }
    QtCanvas* Canvas() const { return canvas_.get(); }
    const QImage& Image() const { return image_; }

private:
    QImage image_;
    std::unique_ptr<QtCanvas> canvas_;
};

// The "window" of the renderer: the picture of the client size and its canvas. With zero
// frame metrics the window's outer size is its client size. Nothing restores the picture
// from a saved copy here.
class RenderView : public MapView {
public:
    RenderView(MessageSink& sink, RenderPicture& picture, int32_t width, int32_t height)
        : MapView(sink), picture_(picture)
    {
        KeepFullMap = false;
        usable_ = picture_.Resize(width, height);
        if (usable_) ScreenPixelsPerInch = picture_.Canvas()->PixelsPerInchX();
    }

    Canvas* ImageCanvas() override { return usable_ ? picture_.Canvas() : nullptr; }
    int32_t ClientWidth() const override { return picture_.Image().width(); }
    int32_t ClientHeight() const override { return picture_.Image().height(); }
    void SetWindowBounds(int32_t, int32_t, int32_t Width, int32_t Height) override
    {
        usable_ = picture_.Resize(std::clamp(Width, 1, kMaxPictureSide), std::clamp(Height, 1, kMaxPictureSide));
    }

    bool Usable() const { return usable_; }
    bool Save(const std::string& path, PictureFormat format, std::string* error)
    {
        picture_.Canvas()->End();
        return WriteMapPicture(picture_.Image(), path, format, error);
    }

private:
    RenderPicture& picture_;
    bool usable_ = false;
};

// Standard error, counting the messages shown (for --strict).
class CountingSink : public StderrMessageSink {
public:
    MsgResult Show(MsgKind kind, const std::string& text, MsgButtons buttons) override
    {
        ++shown;
        return StderrMessageSink::Show(kind, text, buttons);
    }
    int shown = 0;
};

// Qt's own diagnostics (a missing runtime folder, font fallbacks) are not messages of the
// map; only its critical and fatal ones reach standard error.
void QuietQtMessages(QtMsgType type, const QMessageLogContext&, const QString& text)
{
    if (type == QtCriticalMsg || type == QtFatalMsg) std::fprintf(stderr, "%s\n", text.toLocal8Bit().constData());
}

bool FileReadable(const std::string& path)
{
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

// Fits the map definition's current box to a window of width x height that is kept as it is,
// as the viewer does after a resize: the current zoom entry is replaced by one for that
// window, its box widened about its centre to the window's shape.
void FitToPicture(TMDFStruct& mdf, int32_t width, int32_t height)
{
    const double mnLon = mdf.GetMinLon(), mnLat = mdf.GetMinLat(), mxLon = mdf.GetMaxLon(), mxLat = mdf.GetMaxLat();
    if (!mdf.CanZoomOut()) mdf.ClearBaseZoom();
    mdf.NewZoom(0, 0, width, height, mnLon, mnLat, mxLon, mxLat, WindowPriority);
}

// Prints the map on one page of a PDF file, on the default paper, inside 1-inch margins, as
// the viewer prints a page: the plot, then the page white around the map.
bool PrintToPdf(RenderView& view, const std::string& path, MessageSink& sink)
{
    const QPageLayout paper = QPrinter(QPrinter::HighResolution).pageLayout();
    std::string error;
    bool plotFailed = false;
    if (!PrintMapToPdf(view, path, paper, PageMargins{}, &error, &plotFailed)) {
        sink.Error("Unable to write " + path + " : " + error);
        return false;
    }
    return !plotFailed;   // the plot told what went wrong; the map was not produced
}

// Draws one map and writes its picture; false (said on the sink) when it could not be.
bool DrawPicture(const RenderJob& job, const RenderOptions& options, const FixedScreenMetrics& screen,
                 RenderPicture& picture, MessageSink& sink)
{
    MDFLoadResult loaded = TMDFStruct::Create(job.mapFile, screen, sink);
    if (!loaded) {
        sink.Error(loaded.Error);
        return false;
    }
    TMDFStruct& mdf = *loaded.MDF;
    FitToPicture(mdf, options.width, options.height);

    RenderView view(sink, picture, options.width, options.height);
    if (!view.Usable()) {
        sink.Error("Not enough memory for a picture of " + std::to_string(options.width) + " x " +
                   std::to_string(options.height) + " pixels.");
        return false;
    }
    view.MDF = &mdf;
    view.SetChecksFromMDF();

    if (job.kind == OutputKind::Pdf) return PrintToPdf(view, job.output, sink);

    if (!Redraw(view, false)) return false;
    std::string error;
    if (!view.Save(job.output, job.kind == OutputKind::Bmp ? PictureFormat::Bmp : PictureFormat::Png, &error)) {
        sink.Error("Unable to write " + job.output + " : " + error);
        return false;
    }
    return true;
}

int Run(int argc, char** argv)
{
    std::vector<std::string> args(argv + 1, argv + argc);
    RenderOptions options;
    std::string error;
    if (!ParseRenderOptions(args, options, error)) {
        std::fprintf(stderr, "corvane-render: %s\n%s", error.c_str(), RenderUsage().c_str());
        return 2;
    }
    if (options.help) {
        std::fputs(RenderUsage().c_str(), stdout);
        return 0;
    }
    if (options.version) {
        std::printf("corvane-render %s\n", CORVANE_VERSION);
        return 0;
    }

    if (!std::getenv("DISPLAY") && !std::getenv("WAYLAND_DISPLAY") && !std::getenv("QT_QPA_PLATFORM"))
        ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    qInstallMessageHandler(QuietQtMessages);
    QGuiApplication app(argc, argv);
    CountingSink sink;
    // A picture written while something was said: with --strict, status 3.
    auto written = [&] { return options.strict && sink.shown > 0 ? kExitStrictMessages : 0; };

    if (options.settings && !FileReadable(*options.settings)) {
        sink.Error("Unable to read the settings file " + *options.settings);
        return 1;
    }
    std::vector<RenderJob> jobs{{options.mapFile, options.output, options.kind}};
    jobs.insert(jobs.end(), options.more.begin(), options.more.end());
    for (const RenderJob& job : jobs) {
        if (!job.mapFile.empty() && !FileReadable(job.mapFile)) {
            sink.Error("Unable to read the map definition file " + job.mapFile);
            return 1;
        }
    }

    CvVars::Reset();
    const SettingsStore settings = options.settings ? SettingsStore(*options.settings) : SettingsStore();
    const SettingOverrides overrides{options.cdrom, options.datalist};
    ReadDataLocation(settings, overrides);
    if (!FileExists(CvVars::DatalistFile)) {
        // A medium given that cannot be used is named; with none named, an installed copy of
        // the sample atlas serves.
        if (options.cdrom) {
            const std::string problem = GivenMediumProblem(*options.cdrom);
            if (!problem.empty()) {
                sink.Error(problem);
                return 1;
            }
        } else if (NoMediumNamed(settings, overrides)) {
            FindSampleAtlas(InstalledSampleAtlases(),
                            DataListBelowRoot(options.datalist ? *options.datalist
                                                              : settings.ReadString(SettingNames::Files, SettingNames::DataList,
                                                                                    SettingDefaults::DataList)));
        }
    }
    ReadFileSettings(settings);

    FixedScreenMetrics screen;
    screen.workArea = {0, 0, options.width, options.height};
    screen.screenWidth = options.width;
    screen.screenHeight = options.height;
    screen.mainWindowBottom = 0;

    // Each picture in turn; one that cannot be made is said and the others are still drawn.
    RenderPicture picture;
    bool allWritten = true;
    for (const RenderJob& job : jobs) allWritten = DrawPicture(job, options, screen, picture, sink) && allWritten;
    return allWritten ? written() : 1;
}

} // namespace
} // namespace corvane

int main(int argc, char** argv) { return corvane::Run(argc, argv); }
