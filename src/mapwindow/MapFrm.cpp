#include "mapwindow/MapFrm.h"

#include "app/MainFrm.h"
#include "app/MenuItems.h"
#include "layers/FillStyle.h"
#include "mapdef/DefaultLook.h"
#include "mapdef/MenuState.h"
#include "platform/CvVars.h"
#include "platform/MessageSink.h"
#include "platform/RunInputs.h"
#include "render/Plot.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCloseEvent>
#include <QKeySequence>
#include <QLabel>
#include <QMenu>
#include <QPainter>
#include <QTimer>
#include <QToolButton>

#include <algorithm>
#include <cmath>

namespace corvane {

namespace {

// The main window's buttons that work only with a map window.
const char* const kFileButtons[4] = {"PageSetUpSpdBtn", "FileSaveSpdBtn", "PrintSpdBtn", "PrintSetUpSpdBtn"};

// Presses a tool bar button (or releases it); releasing the last pressed button of a radio
// group leaves the whole group up.
void PressButton(QToolButton* b, bool down)
{
    if (!b) return;
    QButtonGroup* g = b->group();
    if (!down && g && g->exclusive()) {
        g->setExclusive(false);
        b->setChecked(false);
        g->setExclusive(true);
        return;
    }
    b->setChecked(down);
}

void Enable(QToolButton* b, bool enabled)
{
    if (b) b->setEnabled(enabled);
}

int FrameWidth(const FrameMetrics& f) { return 2 * (f.DialogFrameWidth + f.BorderWidth); }
int FrameHeight(const FrameMetrics& f) { return 2 * (f.DialogFrameHeight + f.BorderHeight) + f.CaptionHeight; }

} // namespace

// ---- Image1 -------------------------------------------------------------------------------------

MapImage::MapImage(TMapFrm* frm, const QImage& picture, std::function<void()> beforePaint)
    : QWidget(frm), frm_(frm), picture_(picture), beforePaint_(std::move(beforePaint))
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_NoSystemBackground);
    setMouseTracking(true);
}

void MapImage::paintEvent(QPaintEvent*)
{
    if (beforePaint_) beforePaint_();
    QPainter p(this);
    p.drawImage(0, 0, picture_);
}

QAction* MapWindowMenu::Spacing(int gridScale) const
{
    QAction* const items[7] = {GraticuleAuto, FractionDegrees, Graticule1, Graticule2, Graticule5, Graticule10, Graticule20};
    return gridScale >= 1 && gridScale <= 7 ? items[gridScale - 1] : nullptr;
}

// ---- creation -----------------------------------------------------------------------------------

TMapFrm::TMapFrm(TMainFrm& owner, MessageSink& messages)
    : QWidget(nullptr, Qt::Window), MapInteraction(messages), owner_(owner), ownerAlive_(&owner), screen_(&owner)
{
    setObjectName("MapFrm");
    setAttribute(Qt::WA_DeleteOnClose);
    QFont font(FontFamilyFor("System"));
    font.setBold(true);
    font.setPixelSize(13);
    setFont(font);

    image_ = QImage(1, 1, QImage::Format_RGB32);
    image_.fill(Qt::black);
    canvas_ = std::make_unique<QtCanvas>(&image_);
    ScreenPixelsPerInch = canvas_->PixelsPerInchX();
    Image1 = new MapImage(this, image_, [this] {
        if (canvas_) canvas_->End();
    });
    Image1->setObjectName("Image1");
    Image1->setGeometry(0, 0, 1, 1);

    LatLonPos = new QLabel(this);
    LatLonPos->setObjectName("LatLonPos");
    QFont readOut(FontFamilyFor("Courier New"));
    readOut.setBold(true);
    readOut.setPixelSize(15);
    LatLonPos->setFont(readOut);
    LatLonPos->setAlignment(Qt::AlignCenter);
    LatLonPos->setAutoFillBackground(false);
    QPalette pal = LatLonPos->palette();
    pal.setColor(QPalette::WindowText, Qt::black);
    LatLonPos->setPalette(pal);
    LatLonPos->move(0, 0);
    LatLonPos->hide();
    ReadOutBkColour = FromQColor(palette().color(QPalette::Dark));   // the application work space
    BuildModeLine();

    Timer1 = new QTimer(this);
    Timer1->setObjectName("Timer1");
    Timer1->setInterval(250);
    connect(Timer1, &QTimer::timeout, this, &TMapFrm::Timer1Timer);

    geometryTimer_ = new QTimer(this);
    geometryTimer_->setSingleShot(true);
    geometryTimer_->setInterval(kGeometrySettleMs);
    connect(geometryTimer_, &QTimer::timeout, this, &TMapFrm::GeometrySettled);

    BuildMenus();
    ConnectKeyCommands();
    ConnectDisplayMenu();
    ConnectDatasetCommands();
    MirrorChecksIntoView();
    ConnectInteractionState();
    FormCreate();
    FormResize();   // the first sizing: the stored geometry, nothing plotted
}

TMapFrm::~TMapFrm()
{
    // FormDestroy. A window freed without closing first still leaves the main window as closing
    // does, while there is one.
    if (!closed_ && ownerAlive_) FormClose();
    if (MapFrm == this) MapFrm = nullptr;
    SetBusyCursor(false);
}

void TMapFrm::BuildMenus()
{
    MapWindowMenu& m = Menu;

    m.Dataset1 = AddMenu(this, "&Dataset", "Dataset1", 2, 2000);
    m.DatasetList = AddItem(m.Dataset1, "&List", "DatasetList", 2001);
    m.Order1 = AddItem(m.Dataset1, "&Order", "Order1", 2002);
    m.Select1 = AddItem(m.Dataset1, "&Select", "Select1", 2003);
    m.Next1 = AddItem(m.Dataset1, "&Next", "Next1", 2004);
    m.Previous1 = AddItem(m.Dataset1, "&Previous", "Previous1", 2005);
    m.Subset1 = AddItem(m.Dataset1, "Su&bset", "Subset1", 2006);

    m.View1 = AddMenu(this, "&View", "View1", 5, 3000);
    m.Info1 = AddItem(m.View1, "&Information", "Info1", 3001);
    m.Source1 = AddItem(m.View1, "&Source", "Source1", 3002);

    m.Display1 = AddMenu(this, "&Display", "Display1", 5, 4000);
    m.ViewLand = AddSubMenu(m.Display1, "&Land", "ViewLand", 4001);
    m.InFilled1 = AddCheckItem(m.ViewLand, "&Infilled", "InFilled1", true);
    m.FillColour1 = AddItem(m.ViewLand, "&Fill Colour...", "FillColour1");
    m.Outline1 = AddCheckItem(m.ViewLand, "&Outline", "Outline1", false);
    m.OutlineColour1 = AddItem(m.ViewLand, "Outline &Colour...", "OutlineColour1");
    m.IncreaseResolution1 = AddItem(m.ViewLand, "&Increase Resolution", "IncreaseResolution1");
    m.DecreaseResolution1 = AddItem(m.ViewLand, "&Decrease Resolution", "DecreaseResolution1");
    m.IncreaseResolution1->setVisible(false);
    m.DecreaseResolution1->setVisible(false);
    m.Keys1 = AddSubMenu(m.Display1, "&Keys", "Keys1", 4002);
    m.BaseMapKey = AddCheckItem(m.Keys1, "&Base Map", "BaseMapKey", false);
    m.OverlayMapKey = AddCheckItem(m.Keys1, "&Overlay Map", "OverlayMapKey", false);
    m.KeyColour = AddItem(m.Keys1, "&Colour...", "KeyColour");
    m.KeyBackground = AddItem(m.Keys1, "Back&ground...", "KeyBackground");
    m.Caption1 = AddCheckItem(m.Keys1, "C&aption", "Caption1", true);
    m.ViewBackground = AddItem(m.Display1, "&Background...", "ViewBackground", 4003);
    m.Halo1 = AddCheckItem(m.Display1, "&Halo", "Halo1", false, 4007);
    m.Graticule = AddSubMenu(m.Display1, "&Graticule", "Graticule", 4004);
    m.GraticuleDisplay = AddCheckItem(m.Graticule, "&Display", "GraticuleDisplay", true);
    m.GraticuleColour = AddItem(m.Graticule, "&Colour...", "GraticuleColour");
    m.GraticuleStyle = AddItem(m.Graticule, "&Style...", "GraticuleStyle");
    m.GraticuleSpacing = AddSubMenu(m.Graticule, "S&pacing", "GraticuleSpacing");
    m.GraticuleAuto = AddCheckItem(m.GraticuleSpacing, "&Auto", "GraticuleAuto", true);
    m.FractionDegrees = AddCheckItem(m.GraticuleSpacing, "&Fractional", "FractionDegrees", false);
    m.Graticule1 = AddCheckItem(m.GraticuleSpacing, "&1 Degree", "Graticule1", false);
    m.Graticule2 = AddCheckItem(m.GraticuleSpacing, "&2 Degrees", "Graticule2", false);
    m.Graticule5 = AddCheckItem(m.GraticuleSpacing, "&5 Degrees", "Graticule5", false);
    m.Graticule10 = AddCheckItem(m.GraticuleSpacing, "1&0 Degrees", "Graticule10", false);
    m.Graticule20 = AddCheckItem(m.GraticuleSpacing, "20 &Degrees", "Graticule20", false);
    m.GraticuleFormat = AddSubMenu(m.Graticule, "&Format", "GraticuleFormat");
    m.GraticuleFormatDMS = AddCheckItem(m.GraticuleFormat, "&Degrees-Minutes-Seconds", "GraticuleFormatDMS", true);
    m.GraticuleFormatDEC = AddCheckItem(m.GraticuleFormat, "De&cimal Degrees", "GraticuleFormatDEC", false);
    m.Textsize1 = AddSubMenu(m.Graticule, "&Text size", "Textsize1");
    m.Increase1 = AddItem(m.Textsize1, "&Increase", "Increase1");
    m.Decrease1 = AddItem(m.Textsize1, "&Decrease", "Decrease1");
    m.CursorPosition = AddSubMenu(m.Display1, "&Cursor Position", "CursorPosition", 4005);
    m.CurPosDisplay = AddCheckItem(m.CursorPosition, "&Display", "CurPosDisplay", false);
    m.CurPosTextColour = AddItem(m.CursorPosition, "&Colour...", "CurPosTextColour");
    m.CurPosOverlay = AddCheckItem(m.CursorPosition, "&Overlay", "CurPosOverlay", false);
    m.CurPosBkgrdColour = AddItem(m.CursorPosition, "&Background...", "CurPosBkgrdColour");
    m.CurPosFormat = AddSubMenu(m.CursorPosition, "&Format", "CurPosFormat");
    m.CurPosFormatDMS = AddCheckItem(m.CurPosFormat, "&Degrees - Minutes - Seconds", "CurPosFormatDMS", true);
    m.CurPosFormatDEC = AddCheckItem(m.CurPosFormat, "De&cimal Degrees", "CurPosFormatDEC", false);
    m.Distance1 = AddSubMenu(m.Display1, "&Distance", "Distance1", 4006);
    m.NauticalMiles1 = AddCheckItem(m.Distance1, "&Nautical Miles", "NauticalMiles1", true);
    m.Kilometres1 = AddCheckItem(m.Distance1, "&Kilometres", "Kilometres1", false);
    m.StatuteMiles1 = AddCheckItem(m.Distance1, "&Statute Miles", "StatuteMiles1", false);
    m.Display1->addSeparator();
    m.UseAsDefaultLook1 = AddItem(m.Display1, "&Use as Default Look", "UseAsDefaultLook1", 4008);

    m.Zoom1 = AddMenu(this, "&Zoom", "Zoom1", 5, 5000);
    m.ZoomIn = AddItem(m.Zoom1, "&In", "ZoomIn", 5001);
    m.Exact1 = AddItem(m.Zoom1, "&Exact...", "Exact1", 5002);
    m.ZoomOutPrevious = AddItem(m.Zoom1, "&Previous", "ZoomOutPrevious", 5003);
    m.ZoomOutMaximum = AddItem(m.Zoom1, "&Maximum ", "ZoomOutMaximum", 5004);
    m.ZoomOutOverlay = AddItem(m.Zoom1, "&Overlay Area", "ZoomOutOverlay", 5005);
    m.ZoomOutDefault = AddItem(m.Zoom1, "&Overlay Maximum", "ZoomOutDefault", 5006);
    m.Zoom1->addSeparator();
    m.Reposition = AddItem(m.Zoom1, "&Reposition", "Reposition", 5007);
    m.WhereAmI = AddItem(m.Zoom1, "&Where Am I?", "WhereAmI", 5008);
    m.BoxShape1 = AddSubMenu(m.Zoom1, "Bo&x Shape", "BoxShape1", 5009);
    m.BoxShapeChange1 = AddCheckItem(m.BoxShape1, "Defined during &Zoom", "BoxShapeChange1", true);
    m.BoxShapeFixed1 = AddCheckItem(m.BoxShape1, "Use &Window proportions", "BoxShapeFixed1", false);
    m.Level1 = AddSubMenu(m.Zoom1, "&Level", "Level1", 5010);
    m.ZoomLevelFixed = AddCheckItem(m.Level1, "&Retain between datasets", "ZoomLevelFixed", false);
    m.ZoomLevelOverlay = AddCheckItem(m.Level1, "Use &Overlay area", "ZoomLevelOverlay", true);

    m.Redraw1 = AddMenuBarCommand(this, "&Redraw", "Redraw1", 5, 6000);
    m.Redraw1->setCheckable(true);
    m.Redraw1->setChecked(true);
    m.Query1 = AddMenuBarCommand(this, "&Query", "Query1", 5, 7000);

    m.Window1 = AddMenu(this, "&Window", "Window1", 5, 8000);
    m.Toolbar1 = AddCheckItem(m.Window1, "&Toolbar", "Toolbar1", true);
    m.UseStandardBrushes1 = AddCheckItem(m.Window1, "Use Standard &Brushes", "UseStandardBrushes1", UseWindowsBrushes);
    m.ReopenLastMap1 = AddCheckItem(m.Window1, owner_.ReopenLastMap1->text().toLatin1().constData(), "ReopenLastMap1",
                                    owner_.ReopenLastMap1->isChecked());
    m.Window1->addSeparator();
    m.WindowPath1 = AddCheckItem(m.Window1, "Map Window", "WindowPath1", true);
    connect(m.WindowPath1, &QAction::triggered, this, [this] {
        Menu.WindowPath1->setChecked(true);
        activateWindow();
        raise();
    });

    // The usual keys of a desktop program, shown in the menus: the map window takes them as
    // the main window does, whose menu bar holds these items while the map is active.
    m.Redraw1->setShortcut(QKeySequence(Qt::Key_F5));
    m.ZoomOutPrevious->setShortcut(QKeySequence(Qt::ALT | Qt::Key_Left));
    addActions({m.Redraw1, m.ZoomOutPrevious});

    connect(m.Redraw1, &QAction::triggered, this, &TMapFrm::Redraw1Click);
    connect(m.Query1, &QAction::triggered, this, &TMapFrm::Query1Click);
    // Opening the View menu ends any interaction.
    connect(m.View1, &QMenu::aboutToShow, this, [this] { CheckDraw(); });
    // The Window menu stands in for the main window's own while the map window is active.
    connect(m.Toolbar1, &QAction::triggered, this, [this] {
        owner_.Toolbar1->trigger();
        Menu.Toolbar1->setChecked(owner_.Toolbar1->isChecked());
    });
    connect(m.UseStandardBrushes1, &QAction::triggered, this, [this] {
        owner_.UseStandardBrushes1->trigger();
        Menu.UseStandardBrushes1->setChecked(UseWindowsBrushes);
    });
    connect(m.ReopenLastMap1, &QAction::triggered, this, [this] {
        owner_.ReopenLastMap1->trigger();
        Menu.ReopenLastMap1->setChecked(owner_.ReopenLastMap1->isChecked());
    });
    connect(m.Window1, &QMenu::aboutToShow, this, [this] {
        Menu.UseStandardBrushes1->setChecked(UseWindowsBrushes);
        Menu.ReopenLastMap1->setChecked(owner_.ReopenLastMap1->isChecked());
    });

    ConnectZoomMenu();
    ConnectDistanceMenu();
    ConnectReadOut();
}

// The plot reads the check marks that steer drawing from the view's fields; every change of a
// check mark reaches them.
void TMapFrm::MirrorChecksIntoView()
{
    auto mirror = [this](QAction* item, bool MapView::*field) {
        connect(item, &QAction::toggled, this, [this, field](bool on) { this->*field = on; });
    };
    mirror(Menu.InFilled1, &MapView::InFilled1);
    mirror(Menu.Outline1, &MapView::Outline1);
    mirror(Menu.BaseMapKey, &MapView::BaseMapKey);
    mirror(Menu.OverlayMapKey, &MapView::OverlayMapKey);
    mirror(Menu.Caption1, &MapView::Caption1);
    mirror(Menu.GraticuleFormatDEC, &MapView::GraticuleFormatDEC);
    for (int i = 1; i <= 7; ++i)
        connect(Menu.Spacing(i), &QAction::toggled, this, [this] {
            Spacing = GridSpacing::None;
            for (int k = 1; k <= 7; ++k)
                if (Menu.Spacing(k)->isChecked()) Spacing = GridSpacingFromScale(static_cast<uint8_t>(k));
        });
}

void TMapFrm::FormCreate()
{
    SetBusyCursor(true);
    KeyMove = NoMove;

    std::string name = owner_.MapFilename;
    MDFLoadResult loaded = TMDFStruct::Create(name, screen_, messages);
    if (!loaded) {
        // A definition that cannot be loaded is reported and a new map opens instead, so
        // nothing is saved over the file by mistake.
        messages.Error(loaded.Error);
        name.clear();
        loaded = TMDFStruct::Create(name, screen_, messages);
    }
    mdf_ = std::move(loaded.MDF);
    MDF = mdf_.get();
    // A new map starts from the look stored with "Use as Default Look", where there is one.
    std::string lookProblem;
    if (name.empty() && owner_.Settings() && !ApplyDefaultLook(*MDF, *owner_.Settings(), &lookProblem) &&
        !lookProblem.empty())
        messages.Warn(lookProblem);
    ForgetRunInput(name);   // the map is saved over the file it came from
    Resizeable = true;
    for (const char* b : kFileButtons) Enable(owner_.Button(b), true);
    RedrawMap = true;

    LatLonPos->clear();
    LatLonPos->setVisible(Menu.CurPosDisplay->isChecked());
    Menu.View1->menuAction()->setEnabled(false);

    SetChecksAndButtonsFromMDF();
    CheckQueryOption();

    Filename = name;
    ShowMapCaption();
    SetRedrawEnabled(true);   // until the first plot
    SetBusyCursor(false);
}

void TMapFrm::SetChecksAndButtonsFromMDF()
{
    SetChecksFromMDF();
    ShowDisplayChecks();
    Menu.CurPosFormatDMS->setChecked(MDF->Cursor_Format);
    Menu.CurPosFormatDEC->setChecked(!MDF->Cursor_Format);
    Menu.BoxShapeFixed1->setChecked(MDF->Box_Shape_Fixed);
    Menu.BoxShapeChange1->setChecked(!MDF->Box_Shape_Fixed);
    Menu.ZoomLevelFixed->setChecked(MDF->Zoom_Level_Fixed);
    Menu.ZoomLevelOverlay->setChecked(!MDF->Zoom_Level_Fixed);
    Menu.Caption1->setChecked(MDF->KeyCaption);
}

// UpdateMenuSpdBtns: the data set, view, key and zoom commands follow the themes of the map.
void TMapFrm::ApplyMenuState()
{
    if (!MDF) return;
    const MapMenuState s = UpdateMenuSpdBtns(*MDF);
    Menu.Order1->setEnabled(s.Order);
    Menu.Subset1->setEnabled(s.Subset);
    Menu.Source1->setEnabled(s.Source);
    Menu.Select1->setEnabled(s.Select);
    Menu.Next1->setEnabled(s.Next);
    Menu.Previous1->setEnabled(s.Previous);
    Enable(owner_.Button("DSOrderSpdBtn"), s.DSOrderSpdBtn());
    Enable(owner_.Button("SelectOverlaySpdBtn"), s.SelectOverlaySpdBtn());
    Enable(owner_.Button("NextOverlaySpdBtn"), s.NextOverlaySpdBtn());
    Enable(owner_.Button("PreviousOverlaySpdBtn"), s.PreviousOverlaySpdBtn());
    Menu.View1->menuAction()->setEnabled(s.View);
    Menu.Info1->setEnabled(s.Information);
    Menu.Keys1->menuAction()->setEnabled(s.Keys);
    Menu.Zoom1->menuAction()->setEnabled(s.Zoom);
    Enable(owner_.Button("ViewInfoSpdBtn"), s.ViewInfoSpdBtn());
    Enable(owner_.Button("SourceSpdBtn"), s.SourceSpdBtn());
    Enable(owner_.Button("BaseKeySpdBtn"), s.KeyButtonsEnabled);
    Enable(owner_.Button("OverlayKeySpdBtn"), s.KeyButtonsEnabled);
    Menu.BaseMapKey->setChecked(s.BaseMapKeyChecked);
    Menu.OverlayMapKey->setChecked(s.OverlayMapKeyChecked);
    PressButton(owner_.Button("BaseKeySpdBtn"), s.BaseMapKeyChecked);
    PressButton(owner_.Button("OverlayKeySpdBtn"), s.OverlayMapKeyChecked);
}

// The Query command (the seventh entry of the merged menu bar) is available only when the
// first overlay can answer a query.
void TMapFrm::CheckQueryOption()
{
    if (MDF) Menu.Query1->setEnabled(corvane::CheckQueryOption(*MDF));
}

QList<QAction*> TMapFrm::MenuBarEntries() const
{
    return {Menu.Dataset1->menuAction(), Menu.View1->menuAction(), Menu.Display1->menuAction(),
            Menu.Zoom1->menuAction(),    Menu.Redraw1,                Menu.Query1,
            Menu.Window1->menuAction()};
}

bool TMapFrm::MenusMerged() const { return owner_.MenuBarEntries().contains(Menu.Redraw1); }

// ---- activation -----------------------------------------------------------------------------------

void TMapFrm::FormActivate()
{
    if (closed_) return;
    if (!MenusMerged()) owner_.MergeMenuBar(MenuBarEntries());
    Menu.Toolbar1->setChecked(!owner_.ToolBar->isHidden());
    ApplyMenuState();
    if (CvVars::bWhereAmI) SetWhereAmIMenus({false, false, false, false, false});   // until the view returns
    owner_.SetMapButtonsVisible(true);
    owner_.Tag = kTagMapWindow;
}

bool TMapFrm::event(QEvent* e)
{
    if (e->type() == QEvent::WindowActivate) FormActivate();
#if QT_VERSION >= QT_VERSION_CHECK(6, 6, 0)
    const bool ratioEvent = e->type() == QEvent::ScreenChangeInternal || e->type() == QEvent::DevicePixelRatioChange;
#else
    const bool ratioEvent = e->type() == QEvent::ScreenChangeInternal;
#endif
    if (ratioEvent) QMetaObject::invokeMethod(this, [this] { ScreenRatioChanged(); }, Qt::QueuedConnection);
    return QWidget::event(e);
}

// ---- the picture ----------------------------------------------------------------------------------

void TMapFrm::SizePicture(int w, int h)
{
    w = std::max(w, 1);
    h = std::max(h, 1);
    // On a HiDPI screen the picture holds the screen's device pixels and is drawn on in
    // logical ones (see QtCanvas); the map keeps its size in logical pixels.
    const double ratio = PictureRatio();
    if (LogicalSize(image_) != QSize(w, h) || image_.devicePixelRatio() != ratio) {
        canvas_.reset();
        QImage next(static_cast<int>(std::ceil(w * ratio)), static_cast<int>(std::ceil(h * ratio)),
                    QImage::Format_RGB32);
        next.setDevicePixelRatio(ratio);
        next.fill(ToQColor(MDF ? MDF->BackgroundColour : 0));
        {
            QPainter p(&next);
            p.drawImage(0, 0, image_);
        }
        image_ = std::move(next);
        canvas_ = std::make_unique<QtCanvas>(&image_);
        ScreenPixelsPerInch = canvas_->PixelsPerInchX();
    }
    Image1->setGeometry(0, 0, w, h);
}

double TMapFrm::PictureRatio() const
{
    const double ratio = devicePixelRatioF();
    return ratio > 0 ? ratio : 1.0;
}

void TMapFrm::ScreenRatioChanged()
{
    if (closed_ || !MDF || image_.devicePixelRatio() == PictureRatio()) return;
    if (plotting_ > 0) {
        QTimer::singleShot(kGeometrySettleMs, this, [this] { ScreenRatioChanged(); });
        return;
    }
    SizePicture(width(), height());
    Redraw(false);   // drawn afresh at the new ratio rather than scaled
}

void TMapFrm::SetWindowBounds(int32_t Left, int32_t Top, int32_t Width, int32_t Height)
{
    const FrameMetrics f = screen_.Frame();
    move(Left, Top);
    resize(std::clamp(Width - FrameWidth(f), 1, 65535), std::clamp(Height - FrameHeight(f), 1, 65535));
    SizePicture(width(), height());
}

void TMapFrm::RefreshImage()
{
    if (canvas_) canvas_->End();
    Image1->repaint();
}

// Paints and window system events go through during a plot; user input waits until it ends,
// so that no command starts in the middle of a drawing. While a map is printed the print
// progress window is modal, and its Cancel button is the only input that can arrive.
void TMapFrm::ProcessMessages()
{
    QApplication::processEvents(Printing() ? QEventLoop::AllEvents : QEventLoop::ExcludeUserInputEvents);
}

void TMapFrm::SetBusyCursor(bool busy)
{
    if (busy == busy_) return;
    busy_ = busy;
    if (busy)
        QApplication::setOverrideCursor(Qt::WaitCursor);
    else
        QApplication::restoreOverrideCursor();
}

void TMapFrm::PressToolButton(const char* name, bool down) { PressButton(owner_.Button(name), down); }

void TMapFrm::RedrawEnabledChanged() { Menu.Redraw1->setEnabled(Redraw1Enabled()); }

// ---- drawing ----------------------------------------------------------------------------------------

bool TMapFrm::GuardedPlot(const std::function<bool()>& plot)
{
    if (plotting_ > 0 || closed_ || !MDF) return false;
    ++plotting_;
    const bool ok = plot();
    --plotting_;
    if (closePending_) {
        closePending_ = false;
        QMetaObject::invokeMethod(this, [this] { close(); }, Qt::QueuedConnection);
    } else if (pendingMove_ || pendingResize_) {
        ScheduleGeometry(false, false);
    }
    return ok;
}

void TMapFrm::Redraw(bool ReSizeToOverlay)
{
    GuardedPlot([this, ReSizeToOverlay] { return corvane::Redraw(*this, ReSizeToOverlay); });
}

void TMapFrm::Redraw1Click() { Redraw(false); }

// ---- sizing and moving ------------------------------------------------------------------------------

WindowPlacement TMapFrm::Placement() const
{
    // The outer size is the client's with the frame the map definition counts, so that its
    // drawing area is exactly the client area.
    const FrameMetrics f = screen_.Frame();
    const QRect outer = frameGeometry();
    WindowPlacement w;
    w.Left = outer.left();
    w.Top = outer.top();
    w.Width = width() + FrameWidth(f);
    w.Height = height() + FrameHeight(f);
    w.ClientWidth = width();
    w.ClientHeight = height();
    w.State = isMinimized() ? WindowState::Minimised : isMaximized() ? WindowState::Maximised : WindowState::Normal;
    return w;
}

void TMapFrm::FormResize()
{
    if (closed_ || !MDF) return;
    SetBusyCursor(true);
    if (Tag <= kSizingFirst) {
        {
            ResizeHandlerOff off(*this);
            SetWindowBounds(MDF->GetWindowLeft(), MDF->GetWindowTop(), MDF->GetWindowWidth(), MDF->GetWindowHeight());
        }
        Tag = kSizingNormal;
    } else {
        const int tag = ResizeMapExtents(*MDF, Tag, Placement());
        SizePicture(width(), height());
        if (ChkQuery == EndQuery) messages.Beep();
        Tag = tag;
        RedrawMap = true;
        GuardedPlot([this] { return Plot(*this, false, false); });
    }
    SetBusyCursor(false);
}

void TMapFrm::WMMove()
{
    if (closed_ || !MDF || Tag <= kSizingFirst) return;
    if (RefreshWorkArea(*MDF))
        SetWindowBounds(MDF->GetWindowLeft(), MDF->GetWindowTop(), MDF->GetWindowWidth(), MDF->GetWindowHeight());
    NoteWindowMoved(*MDF, Placement());
}

void TMapFrm::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    PlaceModeLine();
    if (resizeHandlerOn_ && Tag > kSizingFirst) ScheduleGeometry(false, true);
}

void TMapFrm::moveEvent(QMoveEvent* event)
{
    QWidget::moveEvent(event);
    if (Tag > kSizingFirst) ScheduleGeometry(true, false);
}

void TMapFrm::ScheduleGeometry(bool moved, bool resized)
{
    pendingMove_ = pendingMove_ || moved;
    pendingResize_ = pendingResize_ || resized;
    if (plotting_ > 0 || closed_) return;
    // Restarted by every report: a window manager reports a drag of the left or top edge as a
    // resize and a move that can arrive apart, and taken apart they would read as the right
    // or bottom edge moving and then a move.
    geometryTimer_->start();
}

void TMapFrm::GeometrySettled()
{
    geometryTimer_->stop();
    if (closed_ || plotting_ > 0) return;   // taken up again when the plot ends
    const bool moved = pendingMove_, resized = pendingResize_;
    pendingMove_ = pendingResize_ = false;
    if (moved) WMMove();
    if (resized) FormResize();
}

// ---- closing ------------------------------------------------------------------------------------------

void TMapFrm::CloseWindow() { close(); }

void TMapFrm::closeEvent(QCloseEvent* event)
{
    if (!closed_ && Printing()) {
        // The print job ends first; the window closes after it when the user let it go.
        if (FormCloseQuery()) closePending_ = true;
        event->ignore();
        return;
    }
    if (!closed_ && plotting_ > 0) {
        // Closed in the middle of a plot: the window closes when the plot has ended.
        closePending_ = true;
        event->ignore();
        return;
    }
    if (!closed_ && !SaveChangesQuery()) {
        event->ignore();
        return;
    }
    if (!closed_) FormClose();
    event->accept();
}

void TMapFrm::FormClose()
{
    if (MDF && !closed_) CheckDraw();   // every interaction ends with the window
    closed_ = true;
    Timer1->stop();
    CvVars::bWhereAmI = false;   // a window closed in where-am-I leaves the next one free
    geometryTimer_->stop();
    if (EditFrm) EditFrm->CloseWindow();
    if (SourceEdit) SourceEdit->CloseWindow();
    owner_.SetMapButtonsVisible(false);
    for (const char* b : kFileButtons) Enable(owner_.Button(b), false);
    FullMap.reset();
    if (MenusMerged()) owner_.MergeMenuBar({});
    MDF = nullptr;
    mdf_.reset();
    owner_.Tag = kTagNone;
    if (MapFrm == this) MapFrm = nullptr;
    owner_.MapWindowClosed(Filename);
    SetBusyCursor(false);
}

// ---- commands -----------------------------------------------------------------------------------------

void InstallMapWindowFactory(MessageSink& sink)
{
    SetMapWindowFactory([&sink](TMainFrm& owner) -> MapWindowApi* {
        auto* window = new TMapFrm(owner, sink);
        {
            // Showing delivers the first sizing's resize once more: nothing to plot yet.
            ResizeHandlerOff off(*window);
            window->show();
        }
        window->activateWindow();
        window->FormActivate();
        return window;
    });
}

} // namespace corvane
