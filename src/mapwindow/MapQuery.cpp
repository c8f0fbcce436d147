// The map window's query: the search of the overlay at a click, the answer, and the flashing of
// the symbol found (and of the where-am-I marker).
#include "mapwindow/MapFrm.h"

#include "app/AppPictures.h"
#include "catalogue/MasterFile.h"
#include "layers/MapGen.h"
#include "mapwindow/QueryForm.h"
#include "platform/ByteSource.h"
#include "platform/CvVars.h"
#include "platform/DataPath.h"
#include "platform/MessageSink.h"
#include "query/QueryRecord.h"
#include "render/Plot.h"

#include <QLabel>
#include <QTimer>

namespace corvane {

void TMapFrm::Query1Click()
{
    CheckDraw();
    Image1->setCursor(CursorByNumber(crQuery));
    if (ChkQuery == NoQuery) ChkQuery = StartQuery;
}

void TMapFrm::QuerySearch()
{
    if (!MDF) return;
    SetBusyCursor(true);
    RefreshImage();
    // Only the overlay is searched, each of its data sets at the file the current scale draws.
    if (const MASStruct* overlay = MDF->OverlayMAS.First())
        for (const DSDStruct* d = overlay->NextDSD.get(); d; d = d->NextDSD.get())
            SearchEachDataFile(*d, Plot_Scale_Select(*this, *d));
    SetBusyCursor(false);
}

void TMapFrm::SearchEachDataFile(const DSDStruct& DSD, int Scale)
{
    const MASStruct* overlay = MDF ? MDF->OverlayMAS.First() : nullptr;
    if (!overlay) return;
    QueryHit hit;
    if (corvane::SearchEachDataFile(*this, *overlay, DSD, Scale, zInX1, zInY1, hit)) ShowQuery(hit);
}

void TMapFrm::ShowQuery(QueryHit& hit)
{
    // A second hit of the same click takes the place of the first: that one stops flashing
    // in its own colour and its panel goes.
    if (FlashColours.Flashing() || QueryPanel) FlashSymbol(false);
    Timer1Tag = hit.DataType;
    TimerLat = hit.found.TimerLat;
    TimerLon = hit.found.TimerLon;
    TimerStyle = static_cast<uint8_t>(hit.found.TimerStyle);
    TimerColour = hit.found.TimerColour;
    Points = std::move(hit.found.Points);

    SetBusyCursor(false);
    Timer1->start();
    const std::string infoFile = QueryInfoFileName(hit.FileName, hit.AssDataFilename);
    if (hit.AssDataType == 0)
        Single_Line_Box_Text(infoFile, hit.Offset);
    else if (hit.AssDataType == 1 || hit.AssDataType == 2)
        Headed_Info_Box_Text(hit, infoFile);
}

void TMapFrm::Single_Line_Box_Text(const std::string& infoFile, int32_t offset)
{
    std::unique_ptr<ByteSource> file = OpenDataFile(infoFile);
    if (!file) {
        messages.Info(kQueryFileMissing);
        return;
    }
    std::string T;
    if (!ReadSingleLine(*file, offset, T)) {
        messages.Info(DamagedRecordText(NativePath(infoFile)));
        return;
    }
    delete QueryPanel;
    auto* panel = new QLabel(this);
    panel->setObjectName("QueryPanel");
    panel->hide();
    panel->setFrameStyle(QFrame::Panel | QFrame::Raised);
    panel->setLineWidth(1);
    panel->setAlignment(Qt::AlignCenter);
    panel->setAutoFillBackground(true);
    const QFontMetrics fm(panel->font());
    const QString text = BytesToQString(T);
    const PanelPlace p = PlaceQueryPanel(TimerLat, TimerLon, fm.height(), fm.horizontalAdvance(text),
                                         fm.horizontalAdvance(QLatin1Char('A')), ClientHeight(), Placement().Width);
    panel->setGeometry(p.left, p.top, p.width, p.height);
    panel->setText(text);
    // Clicks pass through the panel to the map.
    panel->setAttribute(Qt::WA_TransparentForMouseEvents);
    panel->show();
    QueryPanel = panel;
}

void TMapFrm::Headed_Info_Box_Text(const QueryHit& hit, const std::string& infoFile)
{
    if (QueryForm) QueryForm->close();
    if (!FileExists(infoFile)) {
        messages.Info(kQueryFileMissing);
    } else {
        ProcessMessages();
        TQueryForm form(this, messages, owner_.Dialogs());
        form.Sym_Text = hit.overlay->Sym_Text.get();
        form.UsableArea = MDF->UsableScreen;
        if (owner_.Settings()) form.ReadableHeadings = PrintReadableHeadings(*owner_.Settings());
        if (form.Initialise(hit.AssDataType, hit.Offset, infoFile)) {
            form.setWindowTitle(hit.overlay->Title ? BytesToQString(*hit.overlay->Title) : QString());
            form.exec();
        }
        RefreshImage();
    }
    ChkQuery = StartQuery;
    Timer1->stop();
    FlashSymbol(false);
}

void TMapFrm::FlashSymbol(bool Flash)
{
    if (Flash) {
        TimerColour = FlashColours.Step(TimerColour);
    } else {
        delete QueryPanel;
        QueryPanel = nullptr;
        Colour own = 0;
        const bool flashed = FlashColours.Stop(own);
        if (placeMarker_) return EndPlaceMarker();
        // Nothing has been drawn in a flash colour: there is nothing to put back.
        if (!flashed) {
            if (Timer1Tag == 7) Points = {};
            return;
        }
        TimerColour = own;
    }
    switch (Timer1Tag) {
    case 0: PlotWAI(); break;
    case 4:
        if (TimerStyle > 0 && canvas_) {
            PlotSymbol(*canvas_, TimerLon, TimerLat, TimerStyle, TimerColour);
            RefreshImage();
        }
        break;
    case 7: PlotPoly(); break;
    default: break;
    }
    if (!Flash && Timer1Tag == 7) Points = {};
}

// The where-am-I marker: the view the map came from, one pixel outside its edges and again
// two further out.
void TMapFrm::PlotWAI()
{
    const MapListRec* view = MDF ? MDF->Last_Plot() : nullptr;   // the view where-am-I came from
    if (!view || !canvas_) return;
    Canvas& c = *canvas_;
    c.brush.style = BrushStyle::Clear;
    c.pen.style = PenStyle::Solid;
    c.pen.mode = PenMode::Copy;
    c.pen.width = 1;
    // System colours (the button face) are drawn in what they stand for on this screen.
    c.pen.colour = (TimerColour & 0xFF000000u) ? FromQColor(DisplayColour(TimerColour)) : TimerColour;
    Rect r{LonToScreen(view->MinLon), LatToScreen(view->MaxLat), LonToScreen(view->MaxLon), LatToScreen(view->MinLat)};
    for (int grow : {1, 2}) {
        r = {r.left - grow, r.top - grow, r.right + grow, r.bottom + grow};
        c.Rectangle(r.left, r.top, r.right, r.bottom);
    }
    RefreshImage();
}

// The outline of the polygon found, part by part, in its own line style.
void TMapFrm::PlotPoly()
{
    if (!canvas_) return;
    Canvas& c = *canvas_;
    c.pen.colour = TimerColour;
    c.pen.style = PenStyleFromIndex(TimerStyle - 1);
    c.pen.mode = PenMode::Copy;
    c.pen.width = 1;
    c.brush.style = BrushStyle::Clear;
    ForEachOutlinePart(Points, [&c](const Point* pts, size_t n) { c.Polyline(std::vector<Point>(pts, pts + n)); });
    RefreshImage();
}

void TMapFrm::Timer1Timer()
{
    if (CvVars::bWhereAmI || ChkQuery == EndQuery) FlashSymbol(true);
}

} // namespace corvane
