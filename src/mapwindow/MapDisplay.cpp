// The map window's display settings: land style and colours, background, halo, graticule, the
// cursor position read-out's look, the coastline resolution and the default look. What each command changes and
// how the map is brought up to date is display/DisplayCommands'; here the menus, the main
// window's buttons and the dialogs.
#include "mapwindow/MapFrm.h"

#include "dialogs/StylePickers.h"
#include "mapdef/DefaultLook.h"
#include "platform/DialogService.h"
#include "platform/MessageSink.h"
#include "render/Plot.h"

#include <QLabel>
#include <QMenu>
#include <QToolButton>

namespace corvane {

namespace {
// The main window's buttons for the graticule spacings, in the order of Grid_Scale 1..7.
const char* const kSpacingButtons[7] = {"GridAutoSpdBtn", "GridFracSpdBtn", "Grid1SpdBtn", "Grid2SpdBtn",
                                        "Grid5SpdBtn",    "Grid10SpdBtn",   "Grid20SpdBtn"};
} // namespace

void TMapFrm::ConnectCommand(QAction* item, void (TMapFrm::*command)())
{
    connect(item, &QAction::triggered, this, [this, item, command] {
        if (item->isCheckable()) item->setChecked(!item->isChecked());
        (this->*command)();
    });
}

void TMapFrm::ConnectDisplayMenu()
{
    const MapWindowMenu& m = Menu;
    ConnectCommand(m.InFilled1, &TMapFrm::LandStyleClick);
    ConnectCommand(m.Outline1, &TMapFrm::LandStyleClick);
    ConnectCommand(m.FillColour1, &TMapFrm::FillColour1Click);
    ConnectCommand(m.OutlineColour1, &TMapFrm::OutlineColour1Click);
    ConnectCommand(m.IncreaseResolution1, &TMapFrm::IncreaseResolution1Click);
    ConnectCommand(m.DecreaseResolution1, &TMapFrm::DecreaseResolution1Click);
    ConnectCommand(m.ViewBackground, &TMapFrm::BackgroundClick);
    ConnectCommand(m.Halo1, &TMapFrm::Halo1Click);
    ConnectCommand(m.UseAsDefaultLook1, &TMapFrm::UseAsDefaultLook1Click);
    ConnectCommand(m.GraticuleDisplay, &TMapFrm::GraticuleDisplayClick);
    ConnectCommand(m.GraticuleColour, &TMapFrm::GraticuleColourClick);
    ConnectCommand(m.GraticuleStyle, &TMapFrm::GraticuleStyleClick);
    void (TMapFrm::*const spacing[7])() = {&TMapFrm::GraticuleAutoClick, &TMapFrm::FractionDegreesClick,
                                           &TMapFrm::Graticule1Click,    &TMapFrm::Graticule2Click,
                                           &TMapFrm::Graticule5Click,    &TMapFrm::Graticule10Click,
                                           &TMapFrm::Graticule20Click};
    for (int i = 1; i <= 7; ++i) ConnectCommand(m.Spacing(i), spacing[i - 1]);
    ConnectCommand(m.GraticuleFormatDMS, &TMapFrm::GraticuleFormatDMSClick);
    ConnectCommand(m.GraticuleFormatDEC, &TMapFrm::GraticuleFormatDECClick);
    ConnectCommand(m.Increase1, &TMapFrm::IncGratFontSize);
    ConnectCommand(m.Decrease1, &TMapFrm::DecGratFontSize);
    ConnectCommand(m.CurPosTextColour, &TMapFrm::CurPosTextColourClick);
    ConnectCommand(m.CurPosOverlay, &TMapFrm::CurPosOverlayClick);
    ConnectCommand(m.CurPosBkgrdColour, &TMapFrm::CurPosBkgrdColourClick);
    ConnectCommand(m.Subset1, &TMapFrm::Subset1Click);
    connect(m.ViewLand, &QMenu::aboutToShow, this, &TMapFrm::ViewLandClick);
    connect(m.Graticule, &QMenu::aboutToShow, this, &TMapFrm::GraticuleClick);
    connect(m.CursorPosition, &QMenu::aboutToShow, this, &TMapFrm::CursorPositionClick);
}

// ---- bringing the map up to date ------------------------------------------------------------------

void TMapFrm::ApplyDisplay(const DisplayOutcome& outcome)
{
    if (outcome.NeedToSave) NeedToSave = true;
    ShowDisplayChecks();
    switch (outcome.Update) {
    case MapUpdate::None: break;
    case MapUpdate::Replot: Redraw(false); break;
    case MapUpdate::MarkRedraw: SetRedrawEnabled(true); break;
    case MapUpdate::OverlayRefresh: RefreshOverlays(); break;
    }
}

void TMapFrm::RefreshOverlays()
{
    CheckDraw();
    GuardedPlot([this] {
        OverlayRefresh(*this);
        return true;
    });
}

// The check marks and buttons of the land style and the graticule, from the view and MDF.
// The view's fields follow the check marks as they are set, so they are read first.
void TMapFrm::ShowDisplayChecks()
{
    if (!MDF) return;
    const bool infilled = InFilled1, outline = Outline1, decimal = GraticuleFormatDEC;
    const GridSpacing spacing = Spacing;
    Menu.InFilled1->setChecked(infilled);
    Menu.Outline1->setChecked(outline);
    PressToolButton("LandInfillSpdBtn", infilled);
    PressToolButton("LandOutlineSpdBtn", !infilled && outline);

    Menu.Halo1->setChecked(MDF->Halo);
    Menu.GraticuleDisplay->setChecked(MDF->Grid_Displayed);
    PressToolButton("GridDisplaySpdBtn", MDF->Grid_Displayed);

    Menu.GraticuleFormatDMS->setChecked(!decimal);
    Menu.GraticuleFormatDEC->setChecked(decimal);
    PressToolButton(decimal ? "GraticuleDDSpdBtn" : "GraticuleDMSSpdBtn", true);

    // A spacing code outside 1..7 checks no item and presses no button.
    for (int i = 1; i <= 7; ++i) {
        const bool on = spacing == GridSpacingFromScale(static_cast<uint8_t>(i));
        Menu.Spacing(i)->setChecked(on);
        PressToolButton(kSpacingButtons[i - 1], on);
    }
}

bool TMapFrm::PickColour(Colour initial, Colour& chosen)
{
    DialogService* dialogs = owner_.Dialogs();
    chosen = initial;
    const DialogOutcome outcome = dialogs ? dialogs->ChooseColour(initial, chosen) : DialogOutcome::Failed;
    if (outcome == DialogOutcome::Failed) ReportDialogFailure(messages, "Colour");
    return outcome == DialogOutcome::Ok;
}

void TMapFrm::ChooseMapColour(MapColour which)
{
    if (!MDF) return;
    Colour chosen;
    if (!PickColour(MapColourValue(*this, which), chosen)) return;
    repaint();
    ApplyDisplay(StoreMapColour(*this, which, chosen));
}

// ---- land and background ----------------------------------------------------------------------------

void TMapFrm::LandStyleClick()
{
    if (MDF) ApplyDisplay(ToggleLandStyle(*this));
}

void TMapFrm::FillColour1Click()
{
    if (MDF) NeedToSave = true;
    ChooseMapColour(MapColour::LandFill);
}

void TMapFrm::OutlineColour1Click()
{
    if (MDF) NeedToSave = true;
    ChooseMapColour(MapColour::LandOutline);
}

void TMapFrm::BackgroundClick()
{
    EndDistanceMeasurement();
    ChooseMapColour(MapColour::Background);
}

void TMapFrm::IncreaseResolution1Click() { ApplyDisplay(StepCoastResolution(-1)); }
void TMapFrm::DecreaseResolution1Click() { ApplyDisplay(StepCoastResolution(+1)); }

void TMapFrm::ViewLandClick() { CheckDraw(); }

void TMapFrm::Halo1Click()
{
    if (MDF) ApplyDisplay(ToggleHalo(*this));
}

void TMapFrm::UseAsDefaultLook1Click()
{
    SettingsStore* settings = owner_.Settings();
    if (MDF && settings && !StoreDefaultLook(*MDF, *settings))
        messages.Error("Unable to write the settings file " + settings->Path());
}

// ---- graticule ----------------------------------------------------------------------------------------

void TMapFrm::GraticuleClick() { CheckDraw(); }

void TMapFrm::GraticuleDisplayClick()
{
    if (MDF) ApplyDisplay(ToggleGraticule(*this));
}

void TMapFrm::GraticuleColourClick() { ChooseMapColour(MapColour::Graticule); }

void TMapFrm::GraticuleStyleClick()
{
    if (!MDF) return;
    TfrmLineStyle picker(this);
    picker.ASetSelected(PenStyleOfGridStyle(MDF->Grid_Style));
    if (picker.Execute() && MDF) ApplyDisplay(StoreGraticuleStyle(*this, picker.AbsSelected));
}

void TMapFrm::GraticuleAutoClick() { ApplyDisplay(StoreGraticuleSpacing(*this, 1)); }
void TMapFrm::FractionDegreesClick() { ApplyDisplay(StoreGraticuleSpacing(*this, 2)); }
void TMapFrm::Graticule1Click() { ApplyDisplay(StoreGraticuleSpacing(*this, 3)); }
void TMapFrm::Graticule2Click() { ApplyDisplay(StoreGraticuleSpacing(*this, 4)); }
void TMapFrm::Graticule5Click() { ApplyDisplay(StoreGraticuleSpacing(*this, 5)); }
void TMapFrm::Graticule10Click() { ApplyDisplay(StoreGraticuleSpacing(*this, 6)); }
void TMapFrm::Graticule20Click() { ApplyDisplay(StoreGraticuleSpacing(*this, 7)); }
void TMapFrm::GraticuleFormatDMSClick() { ApplyDisplay(StoreGraticuleFormat(*this, true)); }
void TMapFrm::GraticuleFormatDECClick() { ApplyDisplay(StoreGraticuleFormat(*this, false)); }
void TMapFrm::IncGratFontSize() { ApplyDisplay(StepGraticuleFontSize(*this, +1)); }
void TMapFrm::DecGratFontSize() { ApplyDisplay(StepGraticuleFontSize(*this, -1)); }

// ---- the cursor position read-out ----------------------------------------------------------------------

void TMapFrm::CursorPositionClick() { CheckDraw(); }

void TMapFrm::ApplyReadOutLook()
{
    const bool overlay = Menu.CurPosOverlay->isChecked();
    QPalette pal = LatLonPos->palette();
    pal.setColor(QPalette::WindowText, ToQColor(ReadOutTextColour));
    pal.setColor(QPalette::Window, ToQColor(ReadOutBkColour));
    LatLonPos->setPalette(pal);
    LatLonPos->setAutoFillBackground(!overlay);
    Menu.CurPosBkgrdColour->setEnabled(!overlay);
    LatLonPos->update();
}

void TMapFrm::CurPosOverlayClick()
{
    Menu.CurPosOverlay->setChecked(!Menu.CurPosOverlay->isChecked());
    ApplyReadOutLook();
}

void TMapFrm::CurPosTextColourClick()
{
    Colour chosen;
    if (!PickColour(ReadOutTextColour, chosen)) return;
    ReadOutTextColour = chosen;
    ApplyReadOutLook();
}

void TMapFrm::CurPosBkgrdColourClick()
{
    Colour chosen;
    if (!PickColour(ReadOutBkColour, chosen)) return;
    ReadOutBkColour = chosen;
    ApplyReadOutLook();
}

} // namespace corvane
