#include "render/Plot.h"

#include "catalogue/MasterFile.h"
#include "layers/MapLBL.h"
#include "layers/MapMRLE.h"
#include "layers/MapPOL1.h"
#include "layers/MapRLE.h"
#include "layers/MapSYM.h"
#include "layers/MapSYX.h"
#include "layers/MapVEC.h"
#include "mapdef/MDFStruct.h"
#include "mapdef/MapThemes.h"
#include "platform/CvVars.h"
#include "platform/DataPath.h"
#include "platform/MessageSink.h"
#include "platform/Rounding.h"
#include "platform/Settings.h"
#include "render/Graticule.h"
#include "render/Keys.h"
#include "render/MapView.h"

#include <algorithm>
#include <exception>
#include <optional>

namespace corvane {

const double Res[6] = {8, 16, 32, 64, 128, 256};

// The file is named as this machine names it ("/media/cdrom/Themes/X.Sym" rather than the data
// path's "/media/cdrom\Themes\X.Sym").
std::string NotPresentMessage(const std::string& fileName)
{
    return WithReason(NativePath(fileName) + " is not present : Check the MAS file", DataFileProblem(fileName));
}

std::string UnusableLayerMessage(const std::string& fileName)
{
    return NativePath(fileName) + " is damaged : Nothing of it can be drawn";
}

std::string DamagedLayerMessage(const std::string& fileName)
{
    return NativePath(fileName) + " is damaged : Only part of it is drawn";
}

std::string OverfilledLayerMessage(const std::string& fileName)
{
    return NativePath(fileName) + " covers the map too many times : Only part of it is drawn";
}

// ---- choosing files by scale ----------------------------------------------------------------

int Plot_Scale_Select(const DSDStruct& DSD, double latscl)
{
    if (DSD.Number_Of_Files == 1) return 1;
    if (DSD.Current_Level != 0) return DSD.Current_Level;
    int i = 0;
    for (const DFNStruct* f = DSD.NextDFN.get(); f && i < DSD.Number_Of_Files; f = f->NextDFN.get()) {
        ++i;
        if (f->Trigger_Scale < latscl) return i;
    }
    return 0;
}

int Plot_Scale_Select(const MapView& view, const DSDStruct& DSD)
{
    const double latscl = view.ClientHeight() * Latitude_Scale / view.MDF->GetMainLatRange();
    return Plot_Scale_Select(DSD, latscl);
}

namespace {

CoastLevel LevelFor(unsigned k, double xs, double ys)
{
    k = std::min(k, 2u);
    for (unsigned level = 0; level < 4; ++level)
        if (xs < Res[k + level] || ys < Res[k + level]) return static_cast<CoastLevel>(level);
    return CoastFull;
}

} // namespace

CoastLevel OutlineCoastLevel(unsigned CoastResolution, uint16_t Wc, uint16_t Hc, double lonRange, double latRange,
                             double latLonScale)
{
    return LevelFor(CoastResolution, Wc / lonRange, Hc / latRange / latLonScale);
}

CoastLevel LandFillLevel(unsigned CoastResolution, uint16_t Hc, double latRange)
{
    const double ys = Hc / latRange;
    return LevelFor(CoastResolution, ys, ys);
}

const std::string& OutlineCoastFile(CoastLevel level)
{
    switch (level) {
    case Coast01PC: return CvVars::OutlCoast01PC;
    case Coast03PC: return CvVars::OutlCoast03PC;
    case Coast10PC: return CvVars::OutlCoast10PC;
    case Coast30PC: return CvVars::OutlCoast30PC;
    default: return CvVars::OutlCoastFull;
    }
}

const std::string& FillCoastFile(CoastLevel level)
{
    switch (level) {
    case Coast01PC: return CvVars::FillCoast5Min;
    case Coast03PC: return CvVars::FillCoast3Min;
    case Coast10PC: return CvVars::FillCoast1Min;
    case Coast30PC: return CvVars::FillCoast36s;
    default: return CvVars::FillCoast12s;
    }
}

// ---- fitting the map to the overlay -------------------------------------------------------

void FindOverlayArea(MapView& view, const MASStruct& overlay)
{
    TMDFStruct& mdf = *view.MDF;
    double mnLon, mnLat, mxLon, mxLat;
    if (mdf.Main_Plot() == mdf.Base_Plot()) {
        mnLon = overlay.Minlon;
        mnLat = overlay.Minlat;
        mxLon = overlay.Maxlon;
        mxLat = overlay.Maxlat;
        EmptyZoomHistory(mdf);
        mdf.ClearBaseZoom();
    } else {
        mnLon = mdf.GetMinLon();
        mnLat = mdf.GetMinLat();
        mxLon = mdf.GetMaxLon();
        mxLat = mdf.GetMaxLat();
        mdf.CanZoomOut();
    }
    mdf.NewZoom(mdf.UsableScreen.Left, mdf.Screen().MainWindowBottom(), mdf.UsableScreen.Right,
                mdf.UsableScreen.Bottom, mnLon, mnLat, mxLon, mxLat, AreaPriority);
    ResizeHandlerOff off(view);
    view.SetWindowBounds(mdf.GetWindowLeft(), mdf.GetWindowTop(), mdf.GetWindowWidth(), mdf.GetWindowHeight());
}

// ---- the printed page ------------------------------------------------------------------------

void WhiteOutsidePrintedMap(Canvas& canvas, const PrintPage& page, int32_t clientWidth, int32_t clientHeight)
{
    const PrintedSize size = PrintedMapSize(page, clientWidth, clientHeight);
    const int32_t l = page.LeftOffset(), t = page.TopOffset();
    const int32_t r = ClampToInt(int64_t{l} + size.W), b = ClampToInt(int64_t{t} + size.H);
    const int32_t pw = page.PageWidth, ph = page.PageHeight;
    canvas.brush.style = BrushStyle::Solid;
    canvas.brush.colour = clWhite;
    canvas.FillRect({0, 0, pw, t});
    canvas.FillRect({0, b, pw, ph});
    canvas.FillRect({0, t, l, ph});
    canvas.FillRect({r, 0, pw, ph});
}

// ---- the layers of a plot -----------------------------------------------------------------

namespace {

// The passes of a plot over the themes, with the file of each data set at the view's scale.
class StepList {
public:
    StepList(const MapView& view, bool bPrint) : view_(view), mdf_(*view.MDF), bPrint_(bPrint) {}

    std::vector<PlotStep> Make()
    {
        const MASStruct* firstBase = mdf_.NextMAS.First();
        const MASStruct* overlay = mdf_.OverlayMAS.First();
        for (const MASStruct* m = firstBase; m; m = m->NextMAS) Theme(m, true, false);
        Theme(overlay, true, true);
        const bool ownCoastline =
            (firstBase && firstBase->Coastline_Included) || (overlay && overlay->Coastline_Included);
        if (!ownCoastline) CoastLine();
        for (const MASStruct* m = firstBase; m; m = m->NextMAS) Theme(m, false, false);
        Theme(overlay, false, true);
        return std::move(steps_);
    }

private:
    // The data sets of a theme that lie (or do not lie) under the coastline.
    void Theme(const MASStruct* mas, bool beforeCoastline, bool UseTopColour)
    {
        if (!mas) return;
        for (const DSDStruct* d = mas->NextDSD.get(); d; d = d->NextDSD.get()) {
            if (d->Plot_Before_Coastline != beforeCoastline) continue;
            PlotStep step;
            step.theme = mas;
            step.dataSet = d;
            step.UseTopColour = UseTopColour;
            const int scale = Plot_Scale_Select(view_, *d);
            int I = 0;
            for (const DFNStruct* f = d->NextDFN.get(); f && I < d->Number_Of_Files; f = f->NextDFN.get())
                if (++I == scale) step.fileName = CheckCD_Drive(ShortStr80(f->FileName));
            steps_.push_back(std::move(step));
            // Also a data set with no file at this scale counts as drawn under the coastline.
            if (beforeCoastline) IncludeLandFill_ = true;
        }
    }

    void CoastLine()
    {
        if (!view_.Outline1) {
            LandFill();
            return;
        }
        // Land first painted in the background colour hides what lies over land of the data
        // sets drawn before the coastline.
        if (IncludeLandFill_) LandFill();
        PlotStep step;
        step.kind = PlotStep::Coastline;
        step.fileName = OutlineCoastFile(OutlineCoastLevel(CvVars::CoastResolution, DrawingWidth(), DrawingHeight(),
                                                           mdf_.GetMainLonRange(), mdf_.GetMainLatRange(),
                                                           CvVars::LatLonScale));
        steps_.push_back(std::move(step));
    }

    void LandFill()
    {
        PlotStep step;
        step.kind = PlotStep::LandFill;
        step.fileName = FillCoastFile(LandFillLevel(CvVars::CoastResolution, DrawingHeight(), mdf_.GetMainLatRange()));
        if (view_.InFilled1) {
            step.landColour = mdf_.Land_Plot_Fill_Colour;
            step.landStyle = 17;
        } else {
            step.landColour = IncludeLandFill_ ? mdf_.BackgroundColour : mdf_.Land_Plot_Colour;
            step.landStyle = 1;
        }
        steps_.push_back(std::move(step));
    }

    // Wc, Hc of the coastline: the printed map, or the picture, as unsigned 16-bit values.
    uint16_t DrawingWidth() const { return static_cast<uint16_t>(bPrint_ ? PrintedMap().W : view_.ClientWidth()); }
    uint16_t DrawingHeight() const { return static_cast<uint16_t>(bPrint_ ? PrintedMap().H : view_.ClientHeight()); }
    PrintedSize PrintedMap() const { return PrintedMapSize(view_.Page, view_.ClientWidth(), view_.ClientHeight()); }

    const MapView& view_;
    const TMDFStruct& mdf_;
    const bool bPrint_;
    bool IncludeLandFill_ = false;
    std::vector<PlotStep> steps_;
};

} // namespace

std::vector<PlotStep> PlotSteps(const MapView& view, bool bPrint) { return StepList(view, bPrint).Make(); }

// ---- one plot -------------------------------------------------------------------------------

namespace {

// The working values of one plot and its nested steps.
class MapPlot {
public:
    MapPlot(MapView& view, bool bPrint) : view_(view), mdf_(*view.MDF), bPrint_(bPrint) {}

    bool Run(bool ReSizeToOverlay);

private:
    void DrawData(bool ReSizeToOverlay);
    void ClearScreen(bool ReSizeToOverlay);
    void ClearPage();
    void DrawDataFile(const PlotStep& step);
    void DrawCoastLine(const std::string& fileName);
    void LandFill(const PlotStep& step);
    // Says once, after a layer was drawn, that its file turned out damaged.
    void TellDamage(const GenMapObj& layer, const std::string& fileName);
    // A standard coastline file that could not be opened, outline or land.
    void TellMissingCoastline(const std::string& fileName);
    void DrawDistanceLine();
    void Finish();

    // Size of the printed map: it keeps the picture's shape, by the rule the layers place
    // themselves with, so that background, layers and distance line agree.
    PrintedSize PrintedMap() const { return PrintedMapSize(view_.Page, view_.ClientWidth(), view_.ClientHeight()); }

    MapView& view_;
    TMDFStruct& mdf_;
    const bool bPrint_;
    std::optional<DrawContext> ctx_;     // what the layers draw on, once the canvas is settled
    std::vector<Rect> symbolBoxes_;      // the symbols drawn, which names with a halo keep off
    std::vector<Rect> nameBoxes_;        // the names drawn, which later names keep off
};

bool MapPlot::Run(bool ReSizeToOverlay)
{
    std::string error;
    try {
        DrawData(ReSizeToOverlay);
    } catch (const std::exception& e) {
        error = e.what();
        if (error.empty()) error = "The map could not be drawn.";
    }
    try {
        Finish();
    } catch (const std::exception& e) {
        if (error.empty()) error = e.what();
        view_.SetBusyCursor(false);
    }
    if (!error.empty()) view_.messages.Error(error);
    return error.empty();
}

void MapPlot::DrawData(bool ReSizeToOverlay)
{
    if (view_.RedrawMap || bPrint_) {
        view_.SetBusyCursor(true);
        if (!bPrint_)
            ClearScreen(ReSizeToOverlay);
        else
            ClearPage();

        for (const PlotStep& step : PlotSteps(view_, bPrint_)) {
            switch (step.kind) {
            case PlotStep::DataSet:
                if (!step.fileName.empty()) DrawDataFile(step);
                view_.RefreshImage();
                break;
            case PlotStep::LandFill: LandFill(step); break;
            case PlotStep::Coastline: DrawCoastLine(step.fileName); break;
            }
        }

        if (!bPrint_ && view_.KeepFullMap) {
            if (Canvas* picture = view_.ImageCanvas()) view_.FullMap = picture->CopyPicture();
        }
    }
    if (!bPrint_) view_.RedrawMap = false;
    if (mdf_.Grid_Displayed) DrawGrid(view_, bPrint_);
    view_.ProcessMessages();
}

void MapPlot::ClearScreen(bool ReSizeToOverlay)
{
    const MASStruct* overlay = mdf_.OverlayMAS.First();
    if (overlay && !mdf_.Zoom_Level_Fixed && ReSizeToOverlay) FindOverlayArea(view_, *overlay);
    ctx_.emplace(view_.Context(false));
    if (ctx_->Halo) ctx_->SymbolBoxes = &symbolBoxes_, ctx_->NameBoxes = &nameBoxes_;
    Canvas& c = ctx_->canvas;
    c.brush.style = BrushStyle::Solid;
    c.brush.colour = mdf_.BackgroundColour;
    c.FillRect({0, 0, view_.ClientWidth(), view_.ClientHeight()});
    view_.RefreshImage();
    view_.ProcessMessages();
    view_.FullMap.reset();
}

void MapPlot::ClearPage()
{
    const MASStruct* overlay = mdf_.OverlayMAS.First();
    if (view_.Redraw1Enabled() && overlay) FindOverlayArea(view_, *overlay);
    ctx_.emplace(view_.Context(true));
    if (ctx_->Halo) ctx_->SymbolBoxes = &symbolBoxes_, ctx_->NameBoxes = &nameBoxes_;
    const PrintedSize size = PrintedMap();
    const int32_t lo = view_.Page.LeftOffset(), to = view_.Page.TopOffset();
    Canvas& c = ctx_->canvas;
    c.brush.style = BrushStyle::Solid;
    c.brush.colour = mdf_.BackgroundColour;
    c.FillRect({lo, to, ClampToInt(int64_t{lo} + size.W), ClampToInt(int64_t{to} + size.H)});
    // Hatches and patterns start at the printed map's corner, a bit of them as large on paper
    // as a pixel of the screen, so that the page looks like the picture.
    c.patternOrigin = {lo, to};
    c.patternScale = PrinterPixelsPerScreenPixel(view_.Page.XDpi, view_.ScreenPixelsPerInch);
}

void MapPlot::DrawDataFile(const PlotStep& step)
{
    const DrawContext& ctx = *ctx_;
    const std::string& fileName = step.fileName;
    const bool UseTopColour = step.UseTopColour;
    const uint8_t adjust = step.dataSet->Key_Entry_Adjustment;
    // Creates the layer on the file; if it could be read, colours it from the key and draws
    // it, else says so; frees it in both cases.
    auto drawLayer = [&](GenMapObj& layer, auto&& draw) {
        if (layer.DataOkay()) {
            layer.UseKeyColours(step.theme, step.dataSet, UseTopColour, ctx);
            draw();
        } else if (!layer.Opened()) {
            view_.messages.Plain(NotPresentMessage(fileName));
        }
        TellDamage(layer, fileName);
        layer.Free();
    };
    auto drawPolygons = [&](uint8_t nSkip, bool Filled) {
        POLmap m;
        m.Create(fileName);
        drawLayer(m, [&] { m.Draw(ctx, nSkip, Filled, adjust, UseTopColour); });
    };

    switch (step.dataSet->Data_Type) {
    case dtVEC: {
        VECmap m;
        m.Create(fileName);
        drawLayer(m, [&] { m.Draw(ctx, adjust, UseTopColour); });
        break;
    }
    case dtMRL: {
        MonoRLEmap m;
        m.Create(fileName, view_.messages);
        drawLayer(m, [&] { m.Draw(ctx, adjust, UseTopColour); });
        break;
    }
    case dtRLE: {
        RLEmap m;
        m.Create(fileName);
        drawLayer(m, [&] { m.Draw(ctx, adjust, UseTopColour); });
        break;
    }
    case dtSYX: {
        SYXmap m;
        m.Create(fileName);
        drawLayer(m, [&] { m.Draw(ctx, adjust, UseTopColour); });
        break;
    }
    case dtSYM: {
        SYMmap m;
        m.Create(fileName);
        drawLayer(m, [&] { m.Draw(ctx, adjust, UseTopColour); });
        break;
    }
    case dtLBL: {
        LBLmap m;
        m.Create(fileName);
        drawLayer(m, [&] { m.Draw(ctx, adjust, UseTopColour); });
        break;
    }
    case dtPOL7: drawPolygons(2, false); break;
    case dtPOL8: drawPolygons(0, true); break;
    case dtPOL9: drawPolygons(2, true); break;
    default: break;   // no layer of this type: nothing drawn, nothing said
    }
}

void MapPlot::DrawCoastLine(const std::string& fileName)
{
    VECmap m;
    m.Create(fileName);
    if (m.DataOkay()) {
        m.UseKeyColours(nullptr, nullptr, false, *ctx_);
        m.Draw(*ctx_, 0, true);
    }
    if (!m.Opened()) TellMissingCoastline(fileName);
    TellDamage(m, fileName);
    m.Free();
}

void MapPlot::TellMissingCoastline(const std::string& fileName)
{
    // The first time one is missing, every standard coastline file that is missing is named
    // in one message, so that the whole set can be put right at once; each only once for
    // the window, in outline and in fill mode alike.
    if (view_.CoastlineFilesTold.count(fileName)) return;
    std::string text;
    auto tell = [&](const std::string& file) {
        if (!view_.CoastlineFilesTold.insert(file).second) return;
        text += (text.empty() ? "" : "\n") + WithReason(CoastlineFileMessage(file), DataFileProblem(file));
    };
    tell(fileName);
    for (const CoastlineFileSetting& c : CoastlineFileSettings())
        if (!FileExists(*c.target) || !DataFileProblem(*c.target).empty()) tell(*c.target);
    view_.messages.Plain(text);
}

void MapPlot::TellDamage(const GenMapObj& layer, const std::string& fileName)
{
    if (!layer.Opened()) return;
    if (!layer.DataOkay())
        view_.messages.Plain(UnusableLayerMessage(fileName));
    else if (layer.Damaged())
        view_.messages.Plain(DamagedLayerMessage(fileName));
    else if (layer.Overfilled())
        view_.messages.Plain(OverfilledLayerMessage(fileName));
}

void MapPlot::LandFill(const PlotStep& step)
{
    // Hatched land fills its gaps rather than leaving them transparent (on the picture, also
    // when printing).
    if (Canvas* picture = view_.ImageCanvas()) picture->bkMode = BkMode::Opaque;
    MonoRLEmap m;
    NullMessageSink told;   // a missing file is told below, with the others
    m.Create(step.fileName, told);
    if (!m.Opened()) TellMissingCoastline(step.fileName);
    if (m.DataOkay()) {
        m.Colour[1] = static_cast<int32_t>(step.landColour & 0x00FFFFFFu);
        m.Styl[1] = step.landStyle;
        m.SwitchedOff[1] = false;
        m.Draw(*ctx_, 0, true);
    }
    TellDamage(m, step.fileName);
    m.Free();
}

void MapPlot::DrawDistanceLine()
{
    const DistanceStore& route = *view_.Route;
    Canvas& c = *view_.PrinterCanvas;
    c.pen.colour = clBlack;
    c.pen.style = PenStyle::Solid;
    c.pen.mode = PenMode::Copy;
    c.pen.width = 1;
    // The offsets are added before truncating here.
    const double lo = (view_.Page.LeftMargin - view_.Page.minLeftMargin) * view_.Page.XDpi;
    const double to = (view_.Page.TopMargin - view_.Page.minTopMargin) * view_.Page.YDpi;
    const double cw = view_.ClientWidth(), ch = view_.ClientHeight();
    const PrintedSize size = PrintedMap();
    auto at = [&](int k) {
        return Point{TruncI(route.Store_X[k - 1] / cw * size.W + lo), TruncI(route.Store_Y[k - 1] / ch * size.H + to)};
    };
    const int count = std::clamp<int>(route.Store_Index, 0, DistanceStore::MaxPoints);
    for (int i = 2; i <= count; ++i) {
        const Point a = at(i - 1), b = at(i);
        c.MoveTo(a.x, a.y);
        c.LineTo(b.x, b.y);
    }
}

void MapPlot::Finish()
{
    if (!bPrint_) {
        view_.RefreshImage();
        view_.SetRedrawEnabled(false);
    } else if (view_.ChkDistance == StopDistance && view_.Route) {
        DrawDistanceLine();
    }
    ReDrawKeys(view_, bPrint_);
    view_.SetBusyCursor(false);
}

} // namespace

bool Plot(MapView& view, bool bPrint, bool ReSizeToOverlay)
{
    if (!view.MDF || (bPrint && !view.PrinterCanvas) || (!bPrint && !view.ImageCanvas())) return false;
    MapPlot run(view, bPrint);
    return run.Run(ReSizeToOverlay);
}

bool Redraw(MapView& view, bool ReSizeToOverlay)
{
    view.CheckDraw();
    view.RedrawMap = true;
    ResizeHandlerOff off(view);
    return Plot(view, false, ReSizeToOverlay);
}

} // namespace corvane
