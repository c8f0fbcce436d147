// The map window's data set commands: the list of themes, their order, the overlay, and the
// information pages and source table of the themes.
#include "mapwindow/MapFrm.h"

#include "dialogs/DatasetListfrm.h"
#include "dialogs/MapDefinition.h"
#include "mapdef/MapThemes.h"
#include "text/SourceTable.h"

#include <QMenu>

namespace corvane {

namespace {

std::vector<std::string> TitlesOf(const MASList& list)
{
    std::vector<std::string> t;
    for (const MASStruct* m : list) t.push_back(m->Title ? *m->Title : std::string());
    return t;
}

} // namespace

void TMapFrm::ConnectDatasetCommands()
{
    // Opening the Dataset menu ends any interaction, as the View menu does.
    connect(Menu.Dataset1, &QMenu::aboutToShow, this, [this] { CheckDraw(); });
    connect(Menu.DatasetList, &QAction::triggered, this, &TMapFrm::DatasetListClick);
    connect(Menu.Order1, &QAction::triggered, this, &TMapFrm::Order1Click);
    connect(Menu.Select1, &QAction::triggered, this, &TMapFrm::Select1Click);
    connect(Menu.Next1, &QAction::triggered, this, &TMapFrm::Next1Click);
    connect(Menu.Previous1, &QAction::triggered, this, &TMapFrm::Previous1Click);
    connect(Menu.Info1, &QAction::triggered, this, &TMapFrm::Info1Click);
    connect(Menu.Source1, &QAction::triggered, this, &TMapFrm::Source1Click);
}

TMapDefinition& TMapFrm::MapDefinitionDialog()
{
    // Created at start-up; a main window started without one gets it at first use.
    if (!MapDefinition) MapDefinition = new TMapDefinition(&owner_, owner_.Dialogs(), messages);
    return *MapDefinition;
}

bool TMapFrm::RunMapDefinition(int mode)
{
    if (!MDF || closed_) return false;
    TMapDefinition& d = MapDefinitionDialog();
    d.Prepare(static_cast<MapDefMode>(mode), *MDF);
    const bool ok = d.exec() == QDialog::Accepted && MDF;
    if (ok) update();
    return ok;
}

// After a change of the overlay drawn: the Query menu follows it, the view returns to the
// full extent of the new overlay unless the zoom is retained between data sets, and the map
// is drawn again.
void TMapFrm::OverlayTail()
{
    CheckQueryOption();
    if (!MDF->Zoom_Level_Fixed) EmptyZoomHistory(*MDF);
    Redraw(true);
    NeedToSave = true;
}

void TMapFrm::DatasetListClick()
{
    if (!MDF || closed_) return;
    SetBusyCursor(true);
    const DatasetListPlacement placement{owner_.frameGeometry().bottom() + 1, MDF->UsableScreen.Bottom,
                                         MDF->UsableScreen.Left};
    auto* form = new TDatasetListfrm(this, TitlesOf(MDF->NextMAS), TitlesOf(MDF->OverlayMAS), TitlesOf(MDF->TextMAS),
                                     placement, messages);
    SetBusyCursor(false);
    if (form->exec() == QDialog::Accepted && MDF) {
        update();
        const ThemeListChange c =
            ReconcileThemes(*MDF, form->BMList(), form->OMList(), form->TextList(), messages);
        // A missing master file ends the command early; what changed until then is still kept
        // for saving and drawn.
        NeedToSave = NeedToSave || c.Changed || !c.Stopped;
        ApplyMenuState();
        if (c.BaseRemoved || c.FirstOverlayChanged) Redraw(!MDF->Zoom_Level_Fixed);
    }
    CheckQueryOption();
    update();
    form->FreeDataPtr();
    delete form;
}

void TMapFrm::Order1Click()
{
    if (!RunMapDefinition(OrderMode)) return;
    const TMapDefinition& d = *MapDefinition;
    ReorderThemes(*MDF, d.Titles(BaseListId), d.Titles(OverlayListId));
    NeedToSave = true;
    ApplyMenuState();
    CheckQueryOption();
    if (!MDF->Zoom_Level_Fixed) EmptyZoomHistory(*MDF);
    Redraw(true);
}

void TMapFrm::Select1Click()
{
    if (!RunMapDefinition(SelectOverlayMode)) return;
    RebuildThemeList(MDF->OverlayMAS, MapDefinition->Titles(OverlayListId));
    const std::vector<std::string> chosen = MapDefinition->SelectedTitles(OverlayListId);
    for (auto t = chosen.rbegin(); t != chosen.rend(); ++t)
        if (BringOverlayToFront(*MDF, *t)) OverlayTail();
}

void TMapFrm::Next1Click()
{
    if (MDF && !closed_ && NextOverlay(*MDF)) OverlayTail();
}

void TMapFrm::Previous1Click()
{
    if (MDF && !closed_ && PreviousOverlay(*MDF)) OverlayTail();
}

void TMapFrm::Info1Click()
{
    if (!MDF || closed_) return;
    CheckDraw();
    if (RunMapDefinition(InformationMode)) {
        const TMapDefinition& d = *MapDefinition;
        const std::pair<MapDefListId, const MASList*> lists[3] = {
            {BaseListId, &MDF->NextMAS}, {OverlayListId, &MDF->OverlayMAS}, {TextListId, &MDF->TextMAS}};
        for (const auto& [id, list] : lists)
            for (const std::string& title : d.SelectedTitles(id)) ShowInfo(title, *list);
    }
    if (MapDefinition) MapDefinition->EndInformation();
}

// The table of the sources of the map's themes in its own viewer, which replaces the one
// open; the main window does not wait for it.
void TMapFrm::Source1Click()
{
    if (!MDF || closed_) return;
    owner_.ShowSource(DSSourceLines(*this, messages));
}

} // namespace corvane
