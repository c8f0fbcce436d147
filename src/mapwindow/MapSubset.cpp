// The map window's "Su&bset" command: a data set of the map chosen, its key edited in the data
// subset dialog, and the map or only its keys brought up to date.
#include "mapwindow/MapFrm.h"

#include "catalogue/MasterFile.h"
#include "mapwindow/Subset.h"

namespace corvane {

MASStruct* TMapFrm::SelectDataSet()
{
    if (!MDF) return nullptr;
    if (MASStruct* base = MDF->NextMAS.First()) return base;
    return MDF->OverlayMAS.First();
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
