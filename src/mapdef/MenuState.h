#pragma once
// Which map commands are available, decided from the map definition alone. The map window
// applies the result to its menu items and to the main window's tool bar buttons.
namespace corvane {

class TMDFStruct;

struct MapMenuState {
    // "&Order", with "Su&bset" and "&Source" following it: a base map or an overlay exists.
    bool Order = false, Subset = false, Source = false;
    // "&Select", with "&Next" and "&Previous": at least two overlays.
    bool Select = false, Next = false, Previous = false;
    // "&View" and "&Information": a base map, an overlay or a text page exists.
    bool View = false, Information = false;
    // "&Keys" and the "&Zoom" menu: a base map or an overlay exists.
    bool Keys = false, Zoom = false;
    // The base and overlay key buttons are always enabled; "&Base Map" / "&Overlay Map" are
    // checked and their buttons pressed as the keys are shown.
    bool KeyButtonsEnabled = true;
    bool BaseMapKeyChecked = false, OverlayMapKeyChecked = false;

    // Tool bar buttons, which follow the menu items.
    bool DSOrderSpdBtn() const { return Order; }
    bool SelectOverlaySpdBtn() const { return Select; }
    bool NextOverlaySpdBtn() const { return Next; }
    bool PreviousOverlaySpdBtn() const { return Previous; }
    bool ViewInfoSpdBtn() const { return Information; }
    bool SourceSpdBtn() const { return Source; }
};

MapMenuState UpdateMenuSpdBtns(const TMDFStruct& mdf);

// "&Query" (and the Query menu of the merged menu bar) is available only when the first
// overlay holds a data set of the types that answer a query (point symbols with information,
// outlined polygons).
bool CheckQueryOption(const TMDFStruct& mdf);

} // namespace corvane
