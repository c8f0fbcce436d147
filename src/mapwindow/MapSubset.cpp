// The map window's "Su&bset" command: a data set of the map chosen, its key edited in the data
// subset dialog, and the map or only its keys brought up to date.
#include "mapwindow/MapFrm.h"

#include "catalogue/MasterFile.h"
#include "dialogs/MapDefinition.h"
#include "mapwindow/Subset.h"

namespace corvane {

// The map definition dialog in its subset mode: the selected base map, else the selected
// overlay.
MASStruct* TMapFrm::SelectDataSet()
{
    if (!MDF || closed_) return nullptr;
    MASStruct* theme = MapDefinitionDialog().SelectMapSubset(*MDF);
    if (theme) update();
    return MDF ? theme : nullptr;
}

void TMapFrm::Subset1Click()
{
    MASStruct* theme = SelectDataSet();
    if (!theme || !theme->Key || !MDF) return;
    KeyStruct& key = *theme->Key;
    TSubset dialog(this, owner_.Dialogs(), messages, MDF->BackgroundColour);
    dialog.Initialise(key);
    if (dialog.exec() != QDialog::Accepted) {
        SubsetForm_Colour = OldColour;
        return;
    }
    if (!MDF) return;
    ApplyDisplay(SubsetOutcome(*this, dialog.Model().Apply(key)));
}

} // namespace corvane
