// The map window's key commands: showing and hiding each key, their colours, the caption bar,
// and moving a key to another corner with the mouse.
#include "mapwindow/MapFrm.h"

#include <QMenu>
#include <QToolButton>

namespace corvane {

namespace {
const char* KeyButtonName(bool Base) { return Base ? "BaseKeySpdBtn" : "OverlayKeySpdBtn"; }
} // namespace

void TMapFrm::ConnectKeyCommands()
{
    ConnectCommand(Menu.BaseMapKey, &TMapFrm::BaseMapKeyClick);
    ConnectCommand(Menu.OverlayMapKey, &TMapFrm::OverlayMapKeyClick);
    ConnectCommand(Menu.Caption1, &TMapFrm::Caption1Click);
    connect(Menu.KeyColour, &QAction::triggered, this, &TMapFrm::KeyColourClick);
    connect(Menu.KeyBackground, &QAction::triggered, this, &TMapFrm::KeyBackgroundClick);
    connect(Menu.Keys1, &QMenu::aboutToShow, this, &TMapFrm::Keys1Click);
}

void TMapFrm::PressKeyButton(bool Base)
{
    if (QToolButton* b = owner_.Button(KeyButtonName(Base))) b->setChecked(true);
}

// Drawing a key may stop on "Display Order in Key not found."; while that box is up, a resize
// would replace the picture under the drawing and a close would free the key being drawn. So
// every key redraw runs guarded as a plot does (GuardedPlot): a resize or close that comes in
// meanwhile waits until the keys are drawn.
void TMapFrm::MoveKeyOnRelease(int X, int Y)
{
    GuardedPlot([this, X, Y] {
        if (MoveKey(*this, KeyMove, zInX1, zInY1, X, Y)) NeedToSave = true;
        return true;
    });
}

void TMapFrm::ToggleKey(bool Base)
{
    if (!MDF) return;
    QAction* item = Base ? Menu.BaseMapKey : Menu.OverlayMapKey;
    item->setChecked(!item->isChecked());
    if (MapKey(*this, Base)) RefreshOverlays();
    (Base ? MDF->BaseKey_Displayed : MDF->OverlayKey_Displayed) = item->isChecked();
    if (QToolButton* b = owner_.Button(KeyButtonName(Base))) b->setChecked(item->isChecked());
    NeedToSave = true;
}

void TMapFrm::BaseMapKeyClick() { ToggleKey(true); }
void TMapFrm::OverlayMapKeyClick() { ToggleKey(false); }

void TMapFrm::ChooseKeyColour(Colour TMDFStruct::*field)
{
    if (!MDF) return;
    Colour chosen;
    if (!PickColour(MDF->*field, chosen)) return;
    MDF->*field = chosen;
    NeedToSave = true;
    CheckDraw();   // nothing drawn by an interaction under the keys drawn again
    GuardedPlot([this] { ReDrawKeys(*this, false); return true; });   // over the old keys, in place
}

void TMapFrm::KeyColourClick() { ChooseKeyColour(&TMDFStruct::KeyColour); }
void TMapFrm::KeyBackgroundClick() { ChooseKeyColour(&TMDFStruct::KeyBkColour); }

void TMapFrm::Caption1Click()
{
    if (!MDF) return;
    Menu.Caption1->setChecked(!Menu.Caption1->isChecked());
    MDF->KeyCaption = Menu.Caption1->isChecked();
    NeedToSave = true;
    RefreshOverlays();
}

// The key colours may be chosen before a key is shown: they are the map's, and the next key
// drawn takes them.
void TMapFrm::Keys1Click() { CheckDraw(); }

} // namespace corvane
