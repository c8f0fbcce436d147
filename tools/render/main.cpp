// corvane-render: draws a map definition (or a new map) with the viewer's plot, without a
// window, into a PNG or BMP picture or, through the print path, a one-page PDF; or into a web
// map tile pyramid (a folder or an MBTiles file), and joins the MBTiles files of its shards.
#include "FindPlace.h"
#include "RenderOptions.h"
#include "TileRun.h"
#include "Tiles.h"

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
#include "platform/qt/LazyGuiApplication.h"
#include "platform/qt/QtCanvas.h"
#include "render/AreaColour.h"
#include "render/MapView.h"
#include "render/Plot.h"

#include <QImage>
#include <QPageLayout>
#include <QPageSize>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <filesystem>
#include <future>
#include <memory>
#include <set>
#include <sys/stat.h>

namespace fs = std::filesystem;

namespace corvane {
namespace {

// The picture drawn on, made once for each size and not filled: the plot's first step fills
// it with the map's background. Several pictures drawn by one process share it, and the
// buffers their files are made in. Its resolution is that of the screen the pictures are
// drawn for, 96 pixels an inch (the screen of no display), whether Qt's GUI has been started
// or not.
class RenderPicture {
public:
    bool Resize(int32_t width, int32_t height)
    {
        if (canvas_ && image_.width() == width && image_.height() == height) return true;
        canvas_.reset();
        image_ = QImage(width, height, QImage::Format_RGB32);
        if (image_.isNull()) return false;
        constexpr int kDotsPerMetre = 3780;   // 96 an inch
        image_.setDotsPerMeterX(kDotsPerMetre);
        image_.setDotsPerMeterY(kDotsPerMetre);
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
    // Writes the pictures' files, its buffers kept from one to the next.
    MapPictureWriter& Writer() { return writer_; }

private:
    QImage image_;
    std::unique_ptr<QtCanvas> canvas_;
    MapPictureWriter writer_;
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

private:
    RenderPicture& picture_;
    bool usable_ = false;
};

// Standard error, counting the messages shown (for --strict). The tiles of one map are
// plotted many times over: a message (a damaged file) is told once for all of them. Messages
// may be held back for a while (Hold, with the number of the map that says them) and told
// later in the order they came (Release).
class CountingSink : public StderrMessageSink {
public:
    MsgResult Show(MsgKind kind, const std::string& text, MsgButtons buttons) override
    {
        const MsgResult answer = (buttons == MsgButtons::Ok || buttons == MsgButtons::OkCancel) ? MsgResult::Ok : MsgResult::Yes;
        if (onceEach && !told_.insert(text).second) return answer;
        ++shown;
        if (!holding_) return StderrMessageSink::Show(kind, text, buttons);
        held_.push_back({map_, kind, text, buttons});
        return answer;
    }
    // What map number map says from now on is held back.
    void Hold(size_t map)
    {
        holding_ = true;
        map_ = map;
    }
    // Tells the messages held back of the maps up to number upTo; with stop, all of them, and
    // holds back no more.
    void Release(size_t upTo, bool stop)
    {
        if (stop) holding_ = false;
        std::vector<Held> later;
        for (Held& m : held_) {
            if (stop || m.map <= upTo)
                StderrMessageSink::Show(m.kind, m.text, m.buttons);
            else
                later.push_back(std::move(m));
        }
        held_.swap(later);
    }
    // Tells an error at once, whatever is held back.
    void ErrorNow(const std::string& text)
    {
        const bool holding = holding_;
        holding_ = false;
        Error(text);
        holding_ = holding;
    }
    int shown = 0;
    bool onceEach = false;

private:
    struct Held {
        size_t map;
        MsgKind kind;
        std::string text;
        MsgButtons buttons;
    };
    std::set<std::string> told_;
    bool holding_ = false;
    size_t map_ = 0;
    std::vector<Held> held_;
};

// The pictures of a run and the writing of their files. In a batch, the files of the maps
// drawn are encoded and written (the safe write: a temporary file, flushed, renamed) on
// threads of their own while the next maps are drawn: on a busy disc the flush of a file
// takes longer than a plot, so up to kMostWriting files are written at once, on pictures of
// at most kMostOverlapped bytes together. What a map says while a file of a map before it is
// being written is held back until that file is written, so that everything is told in the
// order of the maps. A larger picture is drawn and written in turn, so that no second one is
// made.
class PictureFiles {
public:
    static constexpr int64_t kMostOverlapped = int64_t{32} << 20;
    static constexpr size_t kMostWriting = 3;

    explicit PictureFiles(CountingSink& sink) : sink_(sink) {}
    ~PictureFiles() { Finish(); }
    PictureFiles(const PictureFiles&) = delete;
    PictureFiles& operator=(const PictureFiles&) = delete;

    // The picture the next map is drawn on: none being written.
    RenderPicture& Next() { return pictures_[next_]; }
    // A map begins: what it says is held back while a file is being written.
    void BeginPlot()
    {
        ++map_;
        if (!writing_.empty()) sink_.Hold(map_);
    }
    // Writes the picture drawn on Next() to path; in the background when more maps follow and
    // the picture is small enough (its outcome is then told later), else at once. False (said
    // on the sink) when it could not be written at once.
    bool Write(const std::string& path, PictureFormat format, bool more)
    {
        RenderPicture& picture = pictures_[next_];
        picture.Canvas()->End();
        const int64_t bytes = std::max<int64_t>(1, picture.Image().sizeInBytes());
        const size_t most = std::min<size_t>(kMostWriting, static_cast<size_t>(kMostOverlapped / bytes));
        if (more && most > 0) {
            auto file = std::make_unique<Writing>();
            Writing& w = *file;
            w.map = map_;
            w.path = path;
            w.done = std::async(std::launch::async, [&picture, &w, format] {
                return picture.Writer().Write(picture.Image(), w.path, format, &w.error);
            });
            w.picture = next_;
            writing_.push_back(std::move(file));
            while (writing_.size() > most) Retire();
            next_ = FreePicture();
            return true;
        }
        Finish();
        std::string error;
        if (picture.Writer().Write(picture.Image(), path, format, &error)) return true;
        sink_.Error("Unable to write " + path + " : " + error);
        return false;
    }
    // Waits for the files being written and tells what was held back; false when a file
    // written in the background could not be (said on the sink).
    bool Finish()
    {
        while (!writing_.empty()) Retire();
        sink_.Release(map_, true);
        return allWritten_;
    }

private:
    struct Writing {
        size_t map = 0;
        size_t picture = 0;
        std::string path, error;
        std::future<bool> done;
    };

    // Waits for the oldest file being written and tells its outcome, then what the map after
    // it said.
    void Retire()
    {
        Writing& w = *writing_.front();
        if (!w.done.get()) {
            allWritten_ = false;
            sink_.Release(w.map, false);
            sink_.ErrorNow("Unable to write " + w.path + " : " + w.error);
        }
        const size_t map = w.map;
        writing_.pop_front();
        sink_.Release(map + 1, writing_.empty());
    }
    // A picture no file is being written from.
    size_t FreePicture()
    {
        for (size_t i = 0; i < std::size(pictures_); ++i) {
            bool busy = false;
            for (const auto& w : writing_) busy = busy || w->picture == i;
            if (!busy) return i;
        }
        return 0;   // not reached: there is one picture more than files written at once
    }

    CountingSink& sink_;
    RenderPicture pictures_[kMostWriting + 1];
    size_t next_ = 0, map_ = 0;
    std::deque<std::unique_ptr<Writing>> writing_;
    bool allWritten_ = true;
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

// Prints the map on one page of a PDF file, on A4 paper (or the size named), inside 1-inch
// margins, as the viewer prints a page: the plot, then the page white around the map. The page
// is turned the way the map fills best unless --page says which.
bool PrintToPdf(RenderView& view, const std::string& path, const RenderOptions& options, MessageSink& sink)
{
    QPageSize size(QPageSize::A4);
    if (!options.pageSize.empty()) PageSizeNamed(options.pageSize, size);
    const QPageLayout paper(size,
                            options.page == "landscape"  ? QPageLayout::Landscape
                            : options.page == "portrait" ? QPageLayout::Portrait
                                                         : FittingOrientation(size, PageMargins{}, view.ClientWidth(),
                                                                              view.ClientHeight()),
                            QMarginsF());
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

// What an output names: the file where it exists, else the name in its folder. Two outputs
// that name the same are one file.
std::string OutputIdentity(const std::string& path)
{
    auto id = [](const struct stat& st) { return std::to_string(st.st_dev) + ":" + std::to_string(st.st_ino); };
    struct stat st {};
    if (::stat(path.c_str(), &st) == 0) return "file " + id(st);
    const fs::path p(path);
    const std::string folder = p.has_parent_path() ? p.parent_path().string() : std::string(".");
    if (::stat(folder.c_str(), &st) != 0) return "path " + path;
    return "name " + id(st) + "/" + p.filename().string();
}

// Why the pictures' outputs cannot be written (two pictures to one file, or a file that this run
// reads); empty when they can.
std::string OutputProblem(const std::vector<RenderJob>& jobs)
{
    std::set<std::string> named;
    for (const RenderJob& job : jobs) {
        if (IsRunInput(job.output)) return job.output + " is read by this run; --output names a new file";
        if (!named.insert(OutputIdentity(job.output)).second) return "two maps are given the same output " + job.output;
    }
    return {};
}

// Draws one map and writes its picture (see PictureFiles: the outcome of a file written in
// the background is told later, and counted by Finish); false (said on the sink) when it
// could not be.
bool DrawPicture(const RenderJob& job, TMDFStruct& mdf, const RenderOptions& options, PictureFiles& files,
                 MessageSink& sink, bool more)
{
    files.BeginPlot();
    FitToPicture(mdf, options.width, options.height);
    RenderView view(sink, files.Next(), options.width, options.height);
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

    if (job.kind == OutputKind::Pdf) {
        files.Finish();
        return PrintToPdf(view, job.output, options, sink);
    }
    if (!Redraw(view, false)) return false;
    return files.Write(job.output, job.kind == OutputKind::Bmp ? PictureFormat::Bmp : PictureFormat::Png, more);
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
    // Fonts are set up (and the GUI started) only when a picture draws text, once for all of
    // them.
    LazyGuiApplication app(argc, argv);
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

    if (!options.tiles.empty()) {
        app.Make();   // before any tile is drawn: tiles may be drawn side by side
        RenderPicture picture;
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
    // Loading a map sets the scale of longitude from its box: each map's own is kept for its
    // plot, else every map would be fitted with the last one's.
    bool allWritten = jobs.size() == given;
    std::vector<std::unique_ptr<TMDFStruct>> maps;
    std::vector<double> lonScales;
    for (const RenderJob& job : jobs) {
        maps.push_back(LoadMap(job.mapFile, screen, sink));
        lonScales.push_back(CvVars::LatLonScale);
        if (maps.back()) RecordMapFiles(*maps.back());
        else allWritten = false;
    }
    const std::string refused = OutputProblem(jobs);
    if (!refused.empty()) {
        std::fprintf(stderr, "corvane-render: %s\n", refused.c_str());
        return 2;
    }
    // Each picture in turn; one that cannot be made is said and the others are still drawn.
    PictureFiles files(sink);
    for (size_t i = 0; i < jobs.size(); ++i) {
        if (!maps[i]) continue;
        CvVars::LatLonScale = lonScales[i];
        allWritten = DrawPicture(jobs[i], *maps[i], options, files, sink, i + 1 < jobs.size()) && allWritten;
    }
    allWritten = files.Finish() && allWritten;
    return allWritten ? written() : 1;
}

} // namespace
} // namespace corvane

int main(int argc, char** argv) { return corvane::Run(argc, argv); }
