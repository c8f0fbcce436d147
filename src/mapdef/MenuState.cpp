#include "mapdef/MenuState.h"

#include "mapdef/MDFStruct.h"

namespace corvane {

MapMenuState UpdateMenuSpdBtns(const TMDFStruct& mdf)
{
    const bool base = !mdf.NextMAS.Empty();
    const bool overlay = !mdf.OverlayMAS.Empty();
    const bool text = !mdf.TextMAS.Empty();

    MapMenuState s;
    s.Order = s.Subset = s.Source = base || overlay;
    s.Select = s.Next = s.Previous = mdf.OverlayMAS.Count() >= 2;
    s.View = s.Information = base || overlay || text;
    s.Keys = s.Zoom = base || overlay;
    s.KeyButtonsEnabled = true;
    s.BaseMapKeyChecked = mdf.BaseKey_Displayed;
    s.OverlayMapKeyChecked = mdf.OverlayKey_Displayed;
    return s;
}

bool CheckQueryOption(const TMDFStruct& mdf)
{
    const MASStruct* overlay = mdf.OverlayMAS.First();
    if (!overlay) return false;
    for (const DSDStruct* d = overlay->NextDSD.get(); d; d = d->NextDSD.get())
        if (d->Data_Type == dtSYX || d->Data_Type == dtPOL7) return true;
    return false;
}

} // namespace corvane
