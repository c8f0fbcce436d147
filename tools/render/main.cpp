// corvane-render: draws a map definition (or a new map) with the viewer's plot, without a
// window, into a PNG or BMP picture or, through the print path, a one-page PDF; or into a web
// map tile pyramid (a folder or an MBTiles file), and joins the MBTiles files of its shards.
#include "FindPlace.h"
#include "RenderOptions.h"
#include "TileRun.h"
#include "Tiles.h"

#include "app/Startup.h"
#include "mapdef/MDFStruct.h"
#include "mapdef/ScreenMetrics.h"
#include "mapwindow/MapOutput.h"
#include "platform/CodePage.h"
#include "platform/CvVars.h"
#include "platform/DataListSearch.h"
#include "platform/DataPath.h"
#include "platform/MessageSink.h"
#include "platform/RunInputs.h"
#include "platform/Settings.h"
#include "platform/TextFile.h"
#include "platform/qt/QtCanvas.h"
#include "render/AreaColour.h"
#include "render/MapView.h"
#include "render/Plot.h"

#include <QGuiApplication>
#include <QImage>
#include <QPrinter>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <set>
#include <sys/stat.h>

namespace fs = std::filesystem;

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
    // A new canvas on the picture, in the state every canvas starts in, so that what one
    // drawing left on the last (a brush, a background mode) cannot reach the next.
    void Renew()
    {
        if (!canvas_) return;
        canvas_.reset();
        canvas_ = std::make_unique<QtCanvas>(&image_);
    }

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
    void RenewCanvas() { picture_.Renew(); }
    void SetPatternRows(const std::vector<uint8_t>& rows) { picture_.Canvas()->SetPatternRows(rows); }
    // The picture drawn; the canvas is finished (the next drawing starts it again).
    QImage Picture()
    {
        picture_.Canvas()->End();
        return picture_.Image();
    }
    bool Save(const std::string& path, PictureFormat format, std::string* error)
    {
        picture_.Canvas()->End();
        return WriteMapPicture(picture_.Image(), path, format, error);
    }

private:
    RenderPicture& picture_;
    bool usable_ = false;
};

// Standard error, counting the messages shown (for --strict). The tiles of one map are
// plotted many times over: a message (a damaged file) is told once for all of them.
class CountingSink : public StderrMessageSink {
public:
    MsgResult Show(MsgKind kind, const std::string& text, MsgButtons buttons) override
    {
        if (onceEach && !told_.insert(text).second)
            return (buttons == MsgButtons::Ok || buttons == MsgButtons::OkCancel) ? MsgResult::Ok : MsgResult::Yes;
        ++shown;
        return StderrMessageSink::Show(kind, text, buttons);
    }
    int shown = 0;
    bool onceEach = false;

private:
    std::set<std::string> told_;
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

// Prints the map on one page of a PDF file, on the default paper (or the one named), inside
// 1-inch margins, as the viewer prints a page: the plot, then the page white around the map.
// The page is turned the way the map fills best unless --page says which.
bool PrintToPdf(RenderView& view, const std::string& path, const RenderOptions& options, MessageSink& sink)
{
    QPageLayout paper = QPrinter(QPrinter::HighResolution).pageLayout();
    QPageSize size = paper.pageSize();
    if (!options.pageSize.empty()) PageSizeNamed(options.pageSize, size);
    paper.setPageSize(size);
    paper.setOrientation(options.page == "landscape"  ? QPageLayout::Landscape
                         : options.page == "portrait" ? QPageLayout::Portrait
                                                      : FittingOrientation(size, PageMargins{}, view.ClientWidth(),
                                                                           view.ClientHeight()));
    std::string error;
    bool plotFailed = false;
    if (!PrintMapToPdf(view, path, paper, PageMargins{}, &error, &plotFailed)) {
        sink.Error("Unable to write " + path + " : " + error);
        return false;
    }
    return !plotFailed;   // the plot told what went wrong; the map was not produced
}

// A map definition loaded for a picture; null (said on the sink) when it cannot be drawn: it
// could not be read, or its box is none that a map can show (no black picture is written for
// it).
std::unique_ptr<TMDFStruct> LoadMap(const std::string& mapFile, const FixedScreenMetrics& screen, MessageSink& sink)
{
    MDFLoadResult loaded = TMDFStruct::Create(mapFile, screen, sink);
    if (!loaded) sink.Error(loaded.Error);
    if (!loaded || !loaded.MDF->BoxProblem.empty()) return nullptr;
    return std::move(loaded.MDF);
}

// The file a data path reads: the file itself, or the disc image it lies in.
void RecordDataFile(const std::string& dataPath)
{
    const ResolvedPath r = ResolveDataPath(CheckCD_Drive(dataPath));
    RecordRunInput(r.imagePath.empty() ? r.native : r.imagePath);
}

// The layer files of the map's themes and the coastline files, before any is drawn, so that
// no picture is written over a file that a later picture reads.
void RecordMapFiles(const TMDFStruct& mdf)
{
    for (const MASListKind kind : {BaseMASList, OverlayMASList, TextMASList})
        for (const MASStruct* theme : mdf.List(kind))
            for (const DSDStruct* d = theme->NextDSD.get(); d; d = d->NextDSD.get())
                for (const DFNStruct* f = d->NextDFN.get(); f; f = f->NextDFN.get()) RecordDataFile(f->FileName);
    for (const std::string* coast : {&CvVars::OutlCoastFull, &CvVars::OutlCoast30PC, &CvVars::OutlCoast10PC,
                                     &CvVars::OutlCoast03PC, &CvVars::OutlCoast01PC, &CvVars::FillCoast12s,
                                     &CvVars::FillCoast36s, &CvVars::FillCoast1Min, &CvVars::FillCoast3Min,
                                     &CvVars::FillCoast5Min})
        RecordDataFile(*coast);
}

// Two names of one output: the same file where it exists, else the same name in the same folder.
bool SameOutput(const std::string& a, const std::string& b)
{
    struct stat sa {}, sb {};
    if (::stat(a.c_str(), &sa) == 0 && ::stat(b.c_str(), &sb) == 0) return sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
    const fs::path pa(a), pb(b);
    if (pa.filename() != pb.filename()) return false;
    auto folder = [](const fs::path& p) { return p.has_parent_path() ? p.parent_path().string() : std::string("."); };
    return ::stat(folder(pa).c_str(), &sa) == 0 && ::stat(folder(pb).c_str(), &sb) == 0 && sa.st_dev == sb.st_dev &&
           sa.st_ino == sb.st_ino;
}

// Why the pictures' outputs cannot be written (two pictures to one file, or a file that this run
// reads); empty when they can.
std::string OutputProblem(const std::vector<RenderJob>& jobs)
{
    for (size_t i = 0; i < jobs.size(); ++i) {
        if (IsRunInput(jobs[i].output))
            return jobs[i].output + " is read by this run; --output names a new file";
        for (size_t k = 0; k < i; ++k)
            if (SameOutput(jobs[k].output, jobs[i].output))
                return "two maps are given the same output " + jobs[i].output;
    }
    return {};
}

// Draws one map and writes its picture; false (said on the sink) when it could not be.
bool DrawPicture(const RenderJob& job, TMDFStruct& mdf, const RenderOptions& options, RenderPicture& picture,
                 MessageSink& sink)
{
    FitToPicture(mdf, options.width, options.height);

    RenderView view(sink, picture, options.width, options.height);
    if (!view.Usable()) {
        sink.Error("Not enough memory for a picture of " + std::to_string(options.width) + " x " +
                   std::to_string(options.height) + " pixels.");
        return false;
    }
    view.MDF = &mdf;
    view.SetChecksFromMDF();
    if (!options.find.empty() &&
        !CentreOnPlace(mdf, options.find, options.width, options.height, view.ScreenPixelsPerInch, sink))
        return false;

    if (job.kind == OutputKind::Pdf) return PrintToPdf(view, job.output, options, sink);

    if (!Redraw(view, false)) return false;
    std::string error;
    if (!view.Save(job.output, job.kind == OutputKind::Bmp ? PictureFormat::Bmp : PictureFormat::Png, &error)) {
        sink.Error("Unable to write " + job.output + " : " + error);
        return false;
    }
    return true;
}

// The sources of the themes drawn (the key's heading lines that begin "Source:"), one after
// the other, each once.
std::string SourcesOf(const TMDFStruct& mdf)
{
    std::vector<std::string> sources;
    auto add = [&](const MASStruct* theme) {
        if (!theme || !theme->Key) return;
        const KeyStruct& key = *theme->Key;
        for (size_t i = 0; i < key.Text.size() && i < key.Num_HdrLines; ++i) {
            const std::string& line = key.Text[i];
            if (LowerCase(line.substr(0, 7)) != "source:") continue;
            const std::string source = MixedTextToUtf8(Trim(line.substr(7)));
            if (!source.empty() && std::find(sources.begin(), sources.end(), source) == sources.end())
                sources.push_back(source);
        }
    };
    for (const MASStruct* m = mdf.NextMAS.First(); m; m = m->NextMAS) add(m);
    add(mdf.OverlayMAS.First());
    std::string all;
    for (const std::string& s : sources) all += (all.empty() ? "" : "; ") + s;
    return all;
}

// The tile pyramid of the map: each tile plotted as its own plate carree band without the
// graticule and the keys, which belong to a picture of the whole map.
int RenderTiles(RenderView& view, TMDFStruct& mdf, const RenderOptions& options, TileMessages& messages,
                MessageSink& sink)
{
    mdf.Grid_Displayed = false;
    view.BaseMapKey = view.OverlayMapKey = false;
    TileJob job;
    job.dir = options.tiles;
    job.zoomMin = options.zoomMin;
    job.zoomMax = options.zoomMax;
    if (options.bbox) job.box = {(*options.bbox)[0], (*options.bbox)[1], (*options.bbox)[2], (*options.bbox)[3]};
    else job.box = {mdf.GetMinLon(), mdf.GetMinLat(), mdf.GetMaxLon(), mdf.GetMaxLat()};
    job.box.west = std::max(job.box.west, -180.0);
    job.box.east = std::min(job.box.east, 180.0);
    job.box.south = std::max(job.box.south, -kMercatorLimit);
    job.box.north = std::min(job.box.north, kMercatorLimit);
    if (!(job.box.west < job.box.east && job.box.south < job.box.north)) {
        sink.Error("The map's box lies outside the tiles of Web Mercator.");
        return 1;
    }
    job.title = options.mapFile.empty() ? std::string("Corvane map") : ExtractFileName(options.mapFile);
    TilePlot plot;
    plot.place = [&](const GeoBox& b, int width, int height, const std::vector<uint8_t>& patternRows) {
        view.SetWindowBounds(0, 0, width, height);
        if (!view.Usable()) return false;
        view.RenewCanvas();
        view.SetPatternRows(patternRows);
        MapListRec* box = mdf.Main_Plot();
        box->MinLat = b.south;
        box->MaxLat = b.north;
        box->MinLon = b.west;
        box->MaxLon = b.east;
        CvVars::LatLonScale = 1.0 / std::cos((b.south + b.north) / 2 * 3.14159265358979323846 / 180);
        return true;
    };
    plot.known = [&](const GeoBox& a, double marginLon, double marginLat) -> std::optional<uint32_t> {
        const std::optional<Colour> c =
            AreaColourWithoutDrawing(view, {a.west, a.south, a.east, a.north, marginLon, marginLat});
        if (!c) return std::nullopt;
        return (uint32_t{RedOf(*c)} << 16) | (uint32_t{GreenOf(*c)} << 8) | BlueOf(*c);
    };
    // CORVANE_DRAW_EVERY_TILE draws also the tiles whose colour is known, to check the shortcut.
    if (std::getenv("CORVANE_DRAW_EVERY_TILE")) plot.known = [](const GeoBox&, double, double) { return std::nullopt; };
    plot.draw = [&](QImage& out) {
        if (!Redraw(view, false)) return false;
        out = view.Picture();
        return true;
    };
    TileRunOptions run;
    run.jobs = options.jobs > 0 ? options.jobs : UsableCores();
    run.shard = {options.shardIndex, options.shardCount};
    run.resume = options.resume;
    run.attribution = SourcesOf(mdf);
    TileRunCounts counts;
    std::string error;
    if (!RenderPyramid(job, run, plot, messages, stderr, counts, error)) {
        sink.Error(error);
        return 1;
    }
    std::printf("%lld tiles written, zoom %d to %d, in %s", static_cast<long long>(counts.written), job.zoomMin,
                job.zoomMax, job.dir.c_str());
    if (run.shard.n > 1) std::printf(" (shard %lld/%lld)", static_cast<long long>(run.shard.k), static_cast<long long>(run.shard.n));
    std::printf(": %lld of one colour known without drawing", static_cast<long long>(counts.known));
    if (run.resume) std::printf(", %lld already there", static_cast<long long>(counts.there));
    std::printf("\n");
    return 0;
}

// corvane-render --merge: the MBTiles files of shards joined into one.
int MergeTiles(const RenderOptions& options)
{
    BeginRunInputs();
    CountingSink sink;
    std::string error;
    const int64_t tiles = MergeTileSets(options.merge, options.mergeParts, sink, error);
    if (tiles < 0) {
        sink.Error(error);
        return 1;
    }
    std::printf("%lld tiles in %s\n", static_cast<long long>(tiles), options.merge.c_str());
    return options.strict && sink.shown > 0 ? kExitStrictMessages : 0;
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
    QPageSize paperNamed;
    if (!options.pageSize.empty() && !PageSizeNamed(options.pageSize, paperNamed)) {
        std::fprintf(stderr, "corvane-render: --page-size: no paper is named %s\n%s", options.pageSize.c_str(),
                     RenderUsage().c_str());
        return 2;
    }
    if (!options.merge.empty()) return MergeTiles(options);

    // The same picture on any desktop: drawn without a display (whose font resolution, as a
    // HiDPI desktop sets it, would change the size of the text), and without the desktop's
    // scaling (which turns font hinting off). A platform named by the user is still used.
    if (!std::getenv("QT_QPA_PLATFORM")) ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    for (const char* scaling : {"QT_SCALE_FACTOR", "QT_SCREEN_SCALE_FACTORS"}) ::unsetenv(scaling);
    qInstallMessageHandler(QuietQtMessages);
    QGuiApplication app(argc, argv);
    BeginRunInputs();
    CountingSink sink;
    // A picture written while something was said: with --strict, status 3.
    auto written = [&] { return options.strict && sink.shown > 0 ? kExitStrictMessages : 0; };

    if (options.settings && !FileReadable(*options.settings)) {
        sink.Error("Unable to read the settings file " + *options.settings);
        return 1;
    }
    // A map file that cannot be read is said at once; the pictures of the others are still
    // drawn, as they are after a map that is damaged.
    std::vector<RenderJob> jobs{{options.mapFile, options.output, options.kind}};
    jobs.insert(jobs.end(), options.more.begin(), options.more.end());
    const size_t given = jobs.size();
    jobs.erase(std::remove_if(jobs.begin(), jobs.end(),
                              [&](const RenderJob& job) {
                                  if (job.mapFile.empty() || FileReadable(job.mapFile)) return false;
                                  sink.Error("Unable to read the map definition file " + job.mapFile);
                                  return true;
                              }),
               jobs.end());
    if (jobs.empty()) return 1;

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
    // The files every picture reads, whatever its map: no output may be one of them.
    RecordDataFile(CvVars::DatalistFile);
    if (options.cdrom) RecordRunInput(*options.cdrom);

    FixedScreenMetrics screen;
    screen.workArea = {0, 0, options.width, options.height};
    screen.screenWidth = options.width;
    screen.screenHeight = options.height;
    screen.mainWindowBottom = 0;

    RenderPicture picture;
    if (!options.tiles.empty()) {
        sink.onceEach = true;
        const std::unique_ptr<TMDFStruct> map = LoadMap(options.mapFile, screen, sink);
        if (!map) return 1;
        TMDFStruct& mdf = *map;
        FitToPicture(mdf, options.width, options.height);
        TileMessages messages(sink);   // the tiles' messages, from every worker process
        RenderView view(messages, picture, options.width, options.height);
        if (!view.Usable()) {
            sink.Error("Not enough memory for a picture of " + std::to_string(options.width) + " x " +
                       std::to_string(options.height) + " pixels.");
            return 1;
        }
        view.MDF = &mdf;
        view.SetChecksFromMDF();
        return RenderTiles(view, mdf, options, messages, sink) == 0 ? written() : 1;
    }

    // Every map is loaded first: no picture may be written over a file that one of them reads.
    bool allWritten = jobs.size() == given;
    std::vector<std::unique_ptr<TMDFStruct>> maps;
    for (const RenderJob& job : jobs) {
        maps.push_back(LoadMap(job.mapFile, screen, sink));
        if (maps.back()) RecordMapFiles(*maps.back());
        else allWritten = false;
    }
    const std::string refused = OutputProblem(jobs);
    if (!refused.empty()) {
        std::fprintf(stderr, "corvane-render: %s\n", refused.c_str());
        return 2;
    }
    // Each picture in turn; one that cannot be made is said and the others are still drawn.
    for (size_t i = 0; i < jobs.size(); ++i)
        if (maps[i]) allWritten = DrawPicture(jobs[i], *maps[i], options, picture, sink) && allWritten;
    return allWritten ? written() : 1;
}

} // namespace
} // namespace corvane

int main(int argc, char** argv) { return corvane::Run(argc, argv); }
