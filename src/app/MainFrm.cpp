#include "app/MainFrm.h"

#include "app/AboutBox.h"
#include "app/AppPictures.h"
#include "app/CvSplash.h"
#include "app/FindField.h"
#include "app/HelpWindow.h"
#include "app/MenuItems.h"
#include "help/HelpPages.h"
#include "layers/FillStyle.h"
#include "mapdef/MDFStruct.h"
#include "platform/CdromMounts.h"
#include "platform/CvVars.h"
#include "platform/DataListSearch.h"
#include "platform/DataPath.h"
#include "platform/DialogService.h"
#include "platform/MessageSink.h"
#include "platform/PageSetup.h"
#include "platform/StartMap.h"
#include "platform/qt/QtCanvas.h"
#include "platform/qt/QtScreenMetrics.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCloseEvent>
#include <QLineEdit>
#include <QMap>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QScreen>
#include <QStyle>
#include <QToolButton>

#include <algorithm>
#include <exception>
#include <stdexcept>

namespace corvane {

TMainFrm* MainFrm = nullptr;

namespace {

constexpr int kToolBarHeight = 60;
constexpr int kButtonSize = 26;
constexpr int kRowTop[] = {4, 30};
constexpr int kFindLeft = 680, kFindWidth = 660, kFindHeight = 24;
constexpr int kHelpEdit = 8500, kHelpFind = 8501;   // the Edit menu and the place search

using MainCommand = void (TMainFrm::*)();
using MapCommand = TMainFrm::MapCommand;

// One speed button of the tool bar.
struct ButtonDef {
    const char* name;
    int row;      // 1 or 2
    int left;
    const char* hint;
    int group;    // 0: none
    bool down;
    bool allowAllUp;
    bool hidden;
    bool disabled;
    const char* caption;
    MainCommand mainCommand;
    MapCommand mapCommand;
};

const ButtonDef kButtons[] = {
    {"FileNewSpdBtn", 1, 4, "New File", 0, false, false, false, false, nullptr, &TMainFrm::New1Click, nullptr},
    {"FileOpenSpdBtn", 1, 30, "Open File", 0, false, false, false, false, nullptr, &TMainFrm::Open1Click, nullptr},
    {"FileSaveSpdBtn", 1, 56, "Save File", 0, false, false, false, true, nullptr, &TMainFrm::Save1Click, nullptr},
    {"PageSetUpSpdBtn", 1, 88, "Set Page Margins", 0, false, false, false, true, nullptr, &TMainFrm::PageSetup1Click, nullptr},
    {"PrintSpdBtn", 1, 114, "Print", 0, false, false, false, true, nullptr, &TMainFrm::Print1Click, nullptr},
    {"PrintSetUpSpdBtn", 1, 140, "Printer Setup", 0, false, false, false, true, nullptr, &TMainFrm::PrintSetUp1Click, nullptr},
    {"DSListSpdBtn", 1, 184, "Dataset List", 0, false, false, true, false, nullptr, nullptr, &MapWindowApi::DatasetListClick},
    {"DSOrderSpdBtn", 1, 214, "Dataset Order", 0, false, false, true, false, nullptr, nullptr, &MapWindowApi::Order1Click},
    {"SelectOverlaySpdBtn", 1, 240, "Select Overlay", 0, false, false, true, false, nullptr, nullptr, &MapWindowApi::Select1Click},
    {"PreviousOverlaySpdBtn", 1, 266, "Previous Overlay", 0, false, false, true, false, nullptr, nullptr, &MapWindowApi::Previous1Click},
    {"NextOverlaySpdBtn", 1, 292, "Next Overlay", 0, false, false, true, false, nullptr, nullptr, &MapWindowApi::Next1Click},
    {"LandInfillSpdBtn", 1, 324, "Infilled Coastline", 1, true, false, true, false, nullptr, nullptr, &MapWindowApi::LandStyleClick},
    {"LandOutlineSpdBtn", 1, 350, "Outline Coastline", 1, false, false, true, false, nullptr, nullptr, &MapWindowApi::LandStyleClick},
    {"BackgroundSpdBtn", 1, 376, "Background Colour for maps ", 0, false, false, true, false, nullptr, nullptr, &MapWindowApi::BackgroundClick},
    {"BaseKeySpdBtn", 1, 406, "Base Key", 6, false, true, true, false, nullptr, nullptr, &MapWindowApi::BaseMapKeyClick},
    {"OverlayKeySpdBtn", 1, 432, "Overlay Key", 5, false, true, true, false, nullptr, nullptr, &MapWindowApi::OverlayMapKeyClick},
    {"GridDisplaySpdBtn", 1, 464, "Graticule  : Toggle the display", 3, true, true, true, false, nullptr, nullptr, &MapWindowApi::GraticuleDisplayClick},
    {"GridAutoSpdBtn", 1, 496, "Graticule : Auto ", 2, true, false, true, false, nullptr, nullptr, &MapWindowApi::GraticuleAutoClick},
    {"GratFontIncSpdBtn", 1, 530, "Increase the graticule font size", 0, false, false, true, false, "+", nullptr, &MapWindowApi::IncGratFontSize},
    {"GratFontDecSpdBtn", 1, 556, "Decrease the graticule font size", 0, false, false, true, false, "-", nullptr, &MapWindowApi::DecGratFontSize},
    {"GraticuleDMSSpdBtn", 1, 596, "Graticule : Degrees Minutes Seconds", 4, false, false, true, false, nullptr, nullptr, &MapWindowApi::GraticuleFormatDMSClick},
    {"GraticuleDDSpdBtn", 1, 622, "Graticule : Decimal Degrees", 4, false, false, true, false, nullptr, nullptr, &MapWindowApi::GraticuleFormatDECClick},
    {"ViewInfoSpdBtn", 2, 214, "View Information Page", 0, false, false, true, false, nullptr, nullptr, &MapWindowApi::Info1Click},
    {"SourceSpdBtn", 2, 240, "Source of Datasets", 0, false, false, true, false, nullptr, nullptr, &MapWindowApi::Source1Click},
    {"FillColourSpdBtn", 2, 324, "Infilled Coastline Colour", 0, false, false, true, false, nullptr, nullptr, &MapWindowApi::FillColour1Click},
    {"OutlineColourSpdBtn", 2, 350, "Outline Coastline Colour", 0, false, false, true, false, nullptr, nullptr, &MapWindowApi::OutlineColour1Click},
    {"KeyColourSpdBtn", 2, 406, "Key : Text Colour", 0, false, false, true, false, nullptr, nullptr, &MapWindowApi::KeyColourClick},
    {"KeyBkGrndSpdBtn", 2, 432, "Key : Background Colour", 0, false, false, true, false, nullptr, nullptr, &MapWindowApi::KeyBackgroundClick},
    {"GridColourSpdBtn", 2, 464, "Graticule : Colour", 0, false, false, true, false, nullptr, nullptr, &MapWindowApi::GraticuleColourClick},
    {"GridFracSpdBtn", 2, 496, "Graticule : Fractional", 2, false, false, true, false, nullptr, nullptr, &MapWindowApi::FractionDegreesClick},
    {"Grid1SpdBtn", 2, 518, "Graticule : 1 Degree", 2, false, false, true, false, nullptr, nullptr, &MapWindowApi::Graticule1Click},
    {"Grid2SpdBtn", 2, 544, "Graticule : 2 Degrees", 2, false, false, true, false, nullptr, nullptr, &MapWindowApi::Graticule2Click},
    {"Grid5SpdBtn", 2, 570, "Graticule : 5 Degrees", 2, false, false, true, false, nullptr, nullptr, &MapWindowApi::Graticule5Click},
    {"Grid10SpdBtn", 2, 596, "Graticule : 10 Degrees", 2, false, false, true, false, nullptr, nullptr, &MapWindowApi::Graticule10Click},
    {"Grid20SpdBtn", 2, 622, "Graticule : 20 Degrees", 2, false, false, true, false, nullptr, nullptr, &MapWindowApi::Graticule20Click},
};

} // namespace

MainWindowLimits MainWindowSizeLimits(int screenWidth, int frameWidth, int frameHeight, int captionHeight,
                                      int menuHeight, int toolBarHeight, bool toolBarVisible)
{
    MainWindowLimits l;
    l.maxWidth = screenWidth + 2 * frameWidth;
    l.minWidth = screenWidth / 2;
    l.height = captionHeight + 2 * frameHeight + menuHeight + (toolBarVisible ? toolBarHeight : 0);
    return l;
}

QColor DisplayColour(Colour c)
{
    if (c & 0x80000000u) {
        // System colours by their classic index.
        const QPalette pal = QApplication::palette();
        switch (c & 0xFF) {
        case 4: return pal.color(QPalette::Window);        // menu
        case 5: return pal.color(QPalette::Base);          // window
        case 8: return pal.color(QPalette::Text);          // window text
        case 0x0F: return pal.color(QPalette::Button);     // button face
        case 0x10: return pal.color(QPalette::Dark);       // button shadow
        case 0x12: return pal.color(QPalette::ButtonText); // button text
        case 0x14: return pal.color(QPalette::Light);      // button highlight
        default: return pal.color(QPalette::Button);
        }
    }
    return ToQColor(c & 0xFFFFFF);
}

TMainFrm::TMainFrm(const MainFrmServices& services, QWidget* parent) : QMainWindow(parent), services_(services)
{
    MainFrm = this;
    setObjectName("MainFrm");
    setWindowTitle("Corvane");
    setWindowIcon(ProgramIcon());
    // The tool bar's hints show while the map window is the active window too, which it is
    // whenever the user reaches for a button.
    setAttribute(Qt::WA_AlwaysShowToolTips);
    // F1 in any window of the program opens the help of what is in front; here, of the main
    // window and its tool bar.
    setProperty("helpContext", kHelpMainWindow);
    InstallHelpKey();
    BuildMenus();
    InstallShortcuts();
    BuildToolBar();
    FormCreate();
    setAcceptDrops(true);
    LoadRecentFiles();
}

TMainFrm::~TMainFrm()
{
    ReleasePlaceIndexJob();
    if (MainFrm == this) MainFrm = nullptr;
}

void TMainFrm::BuildMenus()
{
    File1 = AddMenu(this, "&File", "File1", 0, 1000);
    New1 = AddItem(File1, "&New", "New1", 1001);
    Open1 = AddItem(File1, "&Open...", "Open1", 1002);
    Close1 = AddItem(File1, "&Close", "Close1", 0);
    Close1->setVisible(false);
    Save1 = AddItem(File1, "&Save", "Save1", 1004);
    SaveAs1 = AddItem(File1, "Save  &As...", "SaveAs1", 1005);
    Export1 = AddItem(File1, "&Export...", "Export1", 0);
    File1->addSeparator();
    PageSetup1 = AddItem(File1, "Pa&ge Setup", "PageSetup1", 1006);
    Print1 = AddItem(File1, "&Print...", "Print1", 1007);
    PrintSetUp1 = AddItem(File1, "Print Set&up", "PrintSetUp1", 1008);
    CopyToClipboard1 = AddItem(File1, "Copy To Clip&board", "CopyToClipboard1", 1009);
    File1->addSeparator();
    Exit1 = AddItem(File1, "E&xit", "Exit1", 1010);

    Window1 = AddMenu(this, "&Window", "Window1", 5, 8000);
    Toolbar1 = AddItem(Window1, "&Toolbar", "Toolbar1", 0);
    Toolbar1->setCheckable(true);
    Toolbar1->setChecked(true);
    UseStandardBrushes1 = AddItem(Window1, "Use &Standard Brushes", "UseStandardBrushes1", 0);
    UseStandardBrushes1->setCheckable(true);
    ReopenLastMap1 =
        AddCheckItem(Window1, "&Reopen Last Map at Start", "ReopenLastMap1", true, kHelpReopenLastMap);

    Edit1 = AddMenu(this, "&Edit", "Edit1", 7, kHelpEdit);
    Find1 = AddItem(Edit1, "&Find...", "Find1", kHelpFind);
    Find1->setShortcut(QKeySequence::Find);
    Find1->setShortcutContext(Qt::ApplicationShortcut);

    Help1 = AddMenu(this, "&Help", "Help1", 10, 1);
    Welcome1 = AddItem(Help1, "&Welcome", "Welcome1", 1);
    Contents1 = AddItem(Help1, "&Contents", "Contents1", 0);
    About1 = AddItem(Help1, "&About", "About1", 0);

    connect(New1, &QAction::triggered, this, &TMainFrm::New1Click);
    connect(Open1, &QAction::triggered, this, &TMainFrm::Open1Click);
    connect(Close1, &QAction::triggered, this, &TMainFrm::Close1Click);
    connect(Save1, &QAction::triggered, this, &TMainFrm::Save1Click);
    connect(SaveAs1, &QAction::triggered, this, &TMainFrm::SaveAs1Click);
    connect(Export1, &QAction::triggered, this, &TMainFrm::Export1Click);
    connect(PageSetup1, &QAction::triggered, this, &TMainFrm::PageSetup1Click);
    connect(Print1, &QAction::triggered, this, &TMainFrm::Print1Click);
    connect(PrintSetUp1, &QAction::triggered, this, &TMainFrm::PrintSetUp1Click);
    connect(CopyToClipboard1, &QAction::triggered, this, &TMainFrm::CopyToClipboard1Click);
    connect(Exit1, &QAction::triggered, this, &TMainFrm::Exit1Click);
    connect(Toolbar1, &QAction::triggered, this, &TMainFrm::Toolbar1Click);
    connect(UseStandardBrushes1, &QAction::triggered, this, &TMainFrm::UseStandardBrushes1Click);
    connect(ReopenLastMap1, &QAction::triggered, this, &TMainFrm::ReopenLastMap1Click);
    connect(Welcome1, &QAction::triggered, this, &TMainFrm::Welcome1Click);
    connect(Contents1, &QAction::triggered, this, &TMainFrm::Contents1Click);
    connect(About1, &QAction::triggered, this, &TMainFrm::About1Click);
    connect(Find1, &QAction::triggered, this, &TMainFrm::Find1Click);
    connect(File1, &QMenu::aboutToShow, this, &TMainFrm::File1Popup);
    connect(Window1, &QMenu::aboutToShow, this, &TMainFrm::Window1Popup);
    connect(Help1, &QMenu::aboutToShow, this, &TMainFrm::Help1Popup);

    ownMenus_ = {File1, Window1, Edit1, Help1};
    MergeMenus({});
}

void TMainFrm::BuildToolBar()
{
    ToolBar = new QWidget(this);
    ToolBar->setObjectName("ToolBar");
    ToolBar->setFixedHeight(kToolBarHeight);
    ToolBar->setAutoFillBackground(true);
    ToolBar->installEventFilter(this);
    setCentralWidget(ToolBar);

    QMap<int, QButtonGroup*> groups;
    for (const ButtonDef& d : kButtons) {
        auto* b = new QToolButton(ToolBar);
        b->setObjectName(d.name);
        b->setGeometry(d.left, kRowTop[d.row - 1], kButtonSize, kButtonSize);
        b->setToolTip(QString::fromLatin1(d.hint));
        b->setAutoRaise(true);
        b->setFocusPolicy(Qt::NoFocus);
        if (d.caption) {
            QFont f = b->font();
            f.setBold(true);
            f.setPixelSize(16);
            b->setFont(f);
            b->setText(QString::fromLatin1(d.caption));
        } else {
            b->setIcon(ToolGlyph(d.name));
            b->setIconSize(QSize(20, 20));
        }
        b->setProperty("groupIndex", d.group);
        b->setProperty("allowAllUp", d.allowAllUp);
        b->setProperty("mapButton", d.hidden);
        if (d.group != 0) {
            b->setCheckable(true);
            if (!d.allowAllUp) {
                // Radio buttons: one of the group stays down.
                QButtonGroup*& g = groups[d.group];
                if (!g) {
                    g = new QButtonGroup(ToolBar);
                    g->setObjectName(QString("Group%1").arg(d.group));
                    g->setExclusive(true);
                }
                g->addButton(b);
            }
            b->setChecked(d.down);
        }
        b->setVisible(!d.hidden);
        b->setEnabled(!d.disabled);
        if (d.mainCommand) {
            MainCommand cmd = d.mainCommand;
            connect(b, &QToolButton::clicked, this, [this, cmd] { (this->*cmd)(); });
        } else {
            MapCommand cmd = d.mapCommand;
            bool endDistance = std::string(d.name) != "BackgroundSpdBtn";
            connect(b, &QToolButton::clicked, this, [this, cmd, endDistance] { ForwardToMap(cmd, endDistance); });
        }
    }
    // The place search, right of the buttons.
    Find = new FindField(ToolBar);
    Find->setGeometry(kFindLeft, kRowTop[0], kFindWidth, kFindHeight);
    Find->setProperty("helpContext", kHelpFind);
    connect(Find, &FindField::PlaceChosen, this, &TMainFrm::ShowPlace);
}

void TMainFrm::Find1Click()
{
    FindField* field = Find;
    if (!ToolBar->isVisible()) {
        // The tool bar is hidden: the search in a small window of its own.
        if (!findWindow_) {
            findWindow_ = new QWidget(this, Qt::Tool);
            findWindow_->setObjectName("FindWindow");
            findWindow_->setWindowTitle("Find a place");
            findWindow_->setProperty("helpContext", kHelpFind);
            auto* own = new FindField(findWindow_);
            own->setGeometry(8, 8, kFindWidth, kFindHeight);
            findWindow_->resize(kFindWidth + 16, kFindHeight + 16);
            connect(own, &FindField::PlaceChosen, this, &TMainFrm::ShowPlace);
        }
        field = findWindow_->findChild<FindField*>();
        findWindow_->show();
        findWindow_->raise();
        findWindow_->activateWindow();
    } else {
        activateWindow();
    }
    field->StartIndex();
    field->Edit->setFocus(Qt::ShortcutFocusReason);
    field->Edit->selectAll();
}

void TMainFrm::ShowPlace(const Place& place)
{
    if (!MapFrm) New1Click();
    if (MapFrm) MapFrm->ShowPlace(place);
}

void TMainFrm::ForwardToMap(MapCommand command, bool endDistance)
{
    if (!MapFrm) return;
    if (endDistance) MapFrm->EndDistanceMeasurement();
    if (MapFrm) (MapFrm->*command)();
}

QToolButton* TMainFrm::Button(const QString& name) const { return ToolBar->findChild<QToolButton*>(name); }

QList<QToolButton*> TMainFrm::MapButtons() const
{
    QList<QToolButton*> out;
    for (QToolButton* b : ToolBar->findChildren<QToolButton*>())
        if (b->property("mapButton").toBool()) out << b;
    return out;
}

void TMainFrm::SetMapButtonsVisible(bool visible)
{
    for (QToolButton* b : MapButtons()) b->setVisible(visible);
}

void TMainFrm::SetToolBarColour(Colour c)
{
    toolBarColour_ = c;
    const QColor face = DisplayColour(c);
    QPalette pal = ToolBar->palette();
    pal.setColor(QPalette::Window, face);
    // Glyphs and captions stay readable on the bar, light (the usual theme) or dark.
    pal.setColor(QPalette::ButtonText, GlyphInk(face));
    pal.setColor(QPalette::WindowText, GlyphInk(face));
    ToolBar->setPalette(pal);
    for (QToolButton* b : ToolBar->findChildren<QToolButton*>())
        if (b->text().isEmpty()) b->setIcon(ToolGlyph(b->objectName(), face));
}

void TMainFrm::MergeMenus(const QList<QMenu*>& childMenus)
{
    QList<QAction*> entries;
    for (QMenu* m : childMenus) entries << m->menuAction();
    MergeMenuBar(entries);
}

void TMainFrm::MergeMenuBar(const QList<QAction*>& childEntries)
{
    childEntries_ = childEntries;
    QList<QAction*> entries;
    for (QMenu* own : ownMenus_) {
        bool replaced = std::any_of(childEntries_.begin(), childEntries_.end(),
                                    [&](const QAction* e) { return MenuGroup(e) == MenuGroup(own->menuAction()); });
        if (!replaced) entries << own->menuAction();
    }
    entries << childEntries_;
    std::stable_sort(entries.begin(), entries.end(),
                     [](const QAction* a, const QAction* b) { return MenuGroup(a) < MenuGroup(b); });
    menuBar()->clear();
    for (QAction* e : entries) menuBar()->addAction(e);
}

QList<QMenu*> TMainFrm::MenuBarMenus() const
{
    QList<QMenu*> out;
    for (QAction* a : menuBar()->actions())
        if (a->menu()) out << a->menu();
    return out;
}

QList<QAction*> TMainFrm::MenuBarEntries() const { return menuBar()->actions(); }

void TMainFrm::FormCreate()
{
    // 1. The printer's minimum margins.
    GeneralPageSetUp().GetMinPageSize();
    // 2. Top-left of the work area.
    if (QScreen* s = screen() ? screen() : QApplication::primaryScreen()) {
        QRect work = s->availableGeometry();
        move(work.topLeft());
        resize(work.width(), height());
    }
    // 3. The cursors.
    RegisterCursors();
    // 4, 5. The data location and, when the data list is missing, the search.
    SettingsStore fallback;
    SettingsStore& settings = services_.settings ? *services_.settings : fallback;
    FixedCdromProvider none({});
    const CdromMountProvider& mounts = services_.mounts ? *services_.mounts : none;
    NullMessageSink quiet;
    MessageSink& sink = services_.sink ? *services_.sink : quiet;
    ScriptedDialogService noDialogs;
    DialogService& dialogs = services_.dialogs ? *services_.dialogs : noDialogs;
    if (!LocateDataList(settings, services_.overrides, mounts, dialogs, sink, services_.sampleAtlases)) terminate_ = true;
    // 6.
    Initialise_Vars();
    ApplySizeLimits();
}

void TMainFrm::Initialise_Vars()
{
    SettingsStore empty;
    const SettingsStore& settings = services_.settings ? *services_.settings : empty;
    ReadFileSettings(settings);
    OfferMediumMapFolder(settings);
    ReopenLastMap1->setChecked(ReopensLastMap(settings));
    ToolBarSettings t = ReadToolBarSettings(settings);
    Toolbar1->setChecked(t.show);
    ToolBar->setVisible(t.show);
    UseStandardBrushes1->setChecked(UseWindowsBrushes);
    SetToolBarColour(t.colour);
}

void TMainFrm::ApplySizeLimits()
{
    QScreen* s = screen() ? screen() : QApplication::primaryScreen();
    int screenWidth = s ? s->geometry().width() : 1024;
    // The frame as the window manager draws it (nothing before the window is shown).
    QRect frame = frameGeometry(), inner = geometry();
    int frameW = isVisible() ? std::max(0, inner.left() - frame.left()) : 0;
    int frameH = isVisible() ? std::max(0, frame.bottom() - inner.bottom()) : 0;
    int caption = isVisible() ? std::max(0, inner.top() - frame.top() - frameH) : 0;
    int menuHeight = menuBar()->sizeHint().height();
    MainWindowLimits l = MainWindowSizeLimits(screenWidth, frameW, frameH, caption, menuHeight, kToolBarHeight,
                                              Toolbar1->isChecked());
    // The limits are of the outer window; the toolkit sizes the inside.
    setMinimumWidth(std::max(0, l.minWidth - 2 * frameW));
    setMaximumWidth(std::max(l.minWidth, l.maxWidth - 2 * frameW));
    setFixedHeight(l.height - caption - 2 * frameH);
}

void TMainFrm::SetSplash(TCvSplash* splash) { splash_ = splash; }

void TMainFrm::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    if (shownOnce_) return;
    shownOnce_ = true;
    if (splash_) {
        splash_->CloseAndFree();
        splash_ = nullptr;
    }
    ApplySizeLimits();
    if (CvVars::DatalistFile.empty()) QMetaObject::invokeMethod(this, &QWidget::close, Qt::QueuedConnection);
}

bool TMainFrm::ActiveChildOpen() const
{
    return (Tag == kTagMapWindow && MapFrm) || (Tag == kTagEditFrm && EditFrm) || (Tag == kTagSourceEdit && SourceEdit);
}

void TMainFrm::CloseActiveChild()
{
    switch (Tag) {
    case kTagMapWindow:
        if (MapFrm) {
            MapFrm->EndDistanceMeasurement();
            if (MapFrm) MapFrm->CloseWindow();
        }
        break;
    case kTagEditFrm:
        if (EditFrm) EditFrm->CloseWindow();
        break;
    case kTagSourceEdit:
        if (SourceEdit) SourceEdit->CloseWindow();
        break;
    default: break;
    }
}

bool TMainFrm::FormCloseQuery()
{
    CloseActiveChild();
    QApplication::processEvents();
    // A text window was the active one: the map window is asked as well, so that closing the
    // program always offers to save a changed map.
    if (MapFrm) {
        MapFrm->EndDistanceMeasurement();
        if (MapFrm) MapFrm->CloseWindow();
        QApplication::processEvents();
    }
    return MapFrm == nullptr;
}

void TMainFrm::FormClose()
{
    CloseActiveChild();
    if (!ActiveChildOpen() && !CvVars::DatalistFile.empty() && services_.settings) {
        WriteBackSettings(*services_.settings, Toolbar1->isChecked(), toolBarColour_, CvVars::DefaultDir);
        if (lastMap_) WriteLastMap(*services_.settings, *lastMap_);
    }
}

void TMainFrm::closeEvent(QCloseEvent* event)
{
    if (!FormCloseQuery()) {
        event->ignore();
        return;
    }
    FormClose();
    event->accept();
}

bool TMainFrm::eventFilter(QObject* watched, QEvent* event)
{
    if (MapFrm && watched == MapFrm->Widget() && HandleMapDrop(event)) return true;
    if (watched == ToolBar) {
        if (event->type() == QEvent::MouseButtonPress) {
            auto* me = static_cast<QMouseEvent*>(event);
            MouseX = me->position().toPoint().x();
            MouseY = me->position().toPoint().y();
        } else if (event->type() == QEvent::MouseButtonDblClick) {
            auto* me = static_cast<QMouseEvent*>(event);
            MouseX = me->position().toPoint().x();
            MouseY = me->position().toPoint().y();
            QPoint at(MouseX, MouseY);
            bool onButton = false;
            for (QToolButton* b : ToolBar->findChildren<QToolButton*>())
                if (b->isVisibleTo(ToolBar) && b->geometry().contains(at)) onButton = true;
            if (!onButton) ToolBarDblClick();
            return true;
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

void TMainFrm::ToolBarDblClick()
{
    Colour chosen = 0;
    DialogOutcome outcome = services_.dialogs ? services_.dialogs->ChooseColour(FromQColor(DisplayColour(toolBarColour_)), chosen)
                                              : DialogOutcome::Failed;
    if (outcome == DialogOutcome::Failed) {
        if (services_.sink) ReportDialogFailure(*services_.sink, "Color");
        return;
    }
    if (outcome == DialogOutcome::Ok) SetToolBarColour(chosen);
}

// ---- File menu ------------------------------------------------------------------------------

void TMainFrm::CreateMapWindow()
{
    if (const MapWindowFactory& factory = GetMapWindowFactory()) {
        MapFrm = factory(*this);
        if (MapFrm && MapFrm->Widget()) {
            // Maps dropped on the map window open as on the main window.
            MapFrm->Widget()->setAcceptDrops(true);
            MapFrm->Widget()->installEventFilter(this);
        }
        if (MapFrm) MapFrm->Redraw();
    }
    File1Popup();   // the File items, and so their keys, follow the map window
}

void TMainFrm::New1Click()
{
    if (MapFrm) {
        MapFrm->CloseWindow();
        QApplication::processEvents();
        if (MapFrm) return;   // it refused
    }
    MapFilename.clear();
    CreateMapWindow();
}

void TMainFrm::OpenMapFile(const std::string& path)
{
    QApplication::setOverrideCursor(Qt::WaitCursor);
    // A file that is no map definition is told while the open map stays as it is.
    const std::string problem = TMDFStruct::LoadProblem(path, QtScreenMetrics(this));
    if (!problem.empty()) {
        QApplication::restoreOverrideCursor();
        Messages().Error(problem);
        return;
    }
    if (MapFrm) {
        MapFrm->CloseWindow();
        QApplication::processEvents();
    }
    if (!MapFrm) {
        MapFilename = path;
        CvVars::DefaultDir = ExtractFilePath(path);
        CreateMapWindow();
        RememberMapFile(path);
    }
    QApplication::restoreOverrideCursor();
}

void TMainFrm::Open1Click()
{
    FileDialogRequest r;
    r.title = "Open Map Definition File";
    r.initialDir = CvVars::DefaultDir;
    r.fileName = lastOpenChosen_;
    r.filter = "Map Files (*.MDF)|*.mdf| All Files (*.*) | *.*";
    r.defaultExt = "MDF";
    r.hideReadOnly = r.pathMustExist = r.fileMustExist = true;
    try {
        std::string chosen;
        DialogOutcome outcome = services_.dialogs ? services_.dialogs->OpenFile(r, chosen) : DialogOutcome::Failed;
        if (outcome == DialogOutcome::Failed) throw std::runtime_error("no dialog");
        if (outcome != DialogOutcome::Ok) return;
        lastOpenChosen_ = chosen;
        OpenMapFile(chosen);
    } catch (const std::exception&) {
        if (QApplication::overrideCursor()) QApplication::restoreOverrideCursor();
        if (services_.sink) ReportDialogFailure(*services_.sink, "Open");
    }
}

void TMainFrm::Close1Click()
{
    if (Tag == kTagMapWindow || Tag == kTagEditFrm || Tag == kTagSourceEdit)
        CloseActiveChild();
    else
        close();
}

void TMainFrm::DispatchByTag(MapCommand mapCommand, bool endDistance, TextCommand textCommand)
{
    if (Tag == kTagMapWindow && MapFrm) {
        if (endDistance) MapFrm->EndDistanceMeasurement();
        if (MapFrm) (MapFrm->*mapCommand)();
    } else if (Tag == kTagEditFrm && EditFrm) {
        (EditFrm->*textCommand)();
    } else if (Tag == kTagSourceEdit && SourceEdit) {
        (SourceEdit->*textCommand)();
    }
}

void TMainFrm::Save1Click() { DispatchByTag(&MapWindowApi::Save1Click, true, &TextWindowApi::Save); }

void TMainFrm::SaveAs1Click() { DispatchByTag(&MapWindowApi::SaveAs1Click, true, &TextWindowApi::SaveAs); }

void TMainFrm::Export1Click()
{
    if (Tag == kTagMapWindow && MapFrm) {
        MapFrm->EndDistanceMeasurement();
        if (MapFrm) MapFrm->Export1Click();
    }
}

void TMainFrm::PageSetup1Click()
{
    if (services_.dialogs && services_.sink) RunPageSetupCommand(GeneralPageSetUp(), *services_.dialogs, *services_.sink);
}

void TMainFrm::Print1Click() { DispatchByTag(&MapWindowApi::Print1Click, false, &TextWindowApi::Print); }

void TMainFrm::PrintSetUp1Click()
{
    DispatchByTag(&MapWindowApi::PrintSetUp1Click, false, &TextWindowApi::PrintSetup);
}

void TMainFrm::CopyToClipboard1Click()
{
    DispatchByTag(&MapWindowApi::CopyToClipboard1Click, true, &TextWindowApi::CopyToClipboard);
}

void TMainFrm::Exit1Click()
{
    if (MapFrm) {
        MapFrm->CloseWindow();
        QApplication::processEvents();
    }
    if (!MapFrm) close();
}

void TMainFrm::File1Popup()
{
    bool map = MapFrm != nullptr;
    for (QAction* a : {Close1, Save1, SaveAs1, PageSetup1, Print1, PrintSetUp1}) a->setEnabled(map);
    Export1->setEnabled(map && Tag == kTagMapWindow);
}

// ---- Window menu ----------------------------------------------------------------------------

void TMainFrm::Toolbar1Click()
{
    bool show = Toolbar1->isChecked();
    ToolBar->setVisible(show);
    int h = height() + (show ? kToolBarHeight : -kToolBarHeight);
    setFixedHeight(h);
    ApplySizeLimits();
}

void TMainFrm::UseStandardBrushes1Click()
{
    UseWindowsBrushes = !UseWindowsBrushes;
    UseStandardBrushes1->setChecked(UseWindowsBrushes);
    if (MapFrm) MapFrm->Redraw();
}

void TMainFrm::Window1Popup() { UseStandardBrushes1->setChecked(UseWindowsBrushes); }

void TMainFrm::ReopenLastMap1Click()
{
    if (services_.settings) SetReopensLastMap(*services_.settings, ReopenLastMap1->isChecked());
}

// ---- Help menu ------------------------------------------------------------------------------

void TMainFrm::Help1Popup()
{
    if (MapFrm) MapFrm->EndDistanceMeasurement();
}

void TMainFrm::Welcome1Click() { HelpWindow::Instance().ShowTopic("iWelcome"); }

void TMainFrm::Contents1Click()
{
    if (!HelpWindow::Instance().ShowContents() && services_.sink) services_.sink->Info("Unable to load WinHelp");
}

void TMainFrm::About1Click()
{
    TAboutBox box(this);
    box.exec();
}

// ---- Text viewer ----------------------------------------------------------------------------

void TMainFrm::ShowEdit(const std::string& Filename)
{
    if (EditFrm) {
        EditFrm->CloseWindow();
        QApplication::processEvents();
    }
    if (const TextViewerFactory& factory = GetTextViewerFactory()) EditFrm = factory(*this, Filename);
}

void TMainFrm::ShowSource(const std::vector<std::string>& lines)
{
    if (SourceEdit) {
        SourceEdit->CloseWindow();
        QApplication::processEvents();
    }
    if (const SourceViewerFactory& factory = GetSourceViewerFactory()) SourceEdit = factory(*this, lines);
}

MessageSink& TMainFrm::Messages()
{
    if (services_.sink) return *services_.sink;
    if (!noMessages_) noMessages_ = std::make_unique<NullMessageSink>();
    return *noMessages_;
}

// ---- Globals of the child windows -----------------------------------------------------------

MapWindowApi* MapFrm = nullptr;
TextWindowApi* EditFrm = nullptr;
TextWindowApi* SourceEdit = nullptr;

namespace {
MapWindowFactory& MapFactory()
{
    static MapWindowFactory f;
    return f;
}
TextViewerFactory& TextFactory()
{
    static TextViewerFactory f;
    return f;
}
SourceViewerFactory& SourceFactory()
{
    static SourceViewerFactory f;
    return f;
}
} // namespace

void SetMapWindowFactory(MapWindowFactory factory) { MapFactory() = std::move(factory); }
const MapWindowFactory& GetMapWindowFactory() { return MapFactory(); }
void SetTextViewerFactory(TextViewerFactory factory) { TextFactory() = std::move(factory); }
const TextViewerFactory& GetTextViewerFactory() { return TextFactory(); }
void SetSourceViewerFactory(SourceViewerFactory factory) { SourceFactory() = std::move(factory); }
const SourceViewerFactory& GetSourceViewerFactory() { return SourceFactory(); }

} // namespace corvane
