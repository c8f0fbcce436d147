#pragma once
// The lists of the map definition dialog without the dialog: the base map, overlay and text
// lists, each a column of titles with the theme each stands for, their selection and current
// item; the move buttons and their enabling; moving by drag and drop; what a double-click
// does in each mode. The dialog (dialogs/MapDefinition) shows these lists and turns its
// events into these calls.
#include <cstdint>
#include <string>
#include <vector>

namespace corvane {

struct MASStruct;

// The three lists of the dialog.
enum MapDefListId : uint8_t { BaseListId = 0, OverlayListId = 1, TextListId = 2 };

// One line of a list: a title and the theme it stands for, which moves with it.
struct MapDefItem {
    std::string Title;
    MASStruct* Object = nullptr;
    bool Selected = false;
};

struct MapDefList {
    std::vector<MapDefItem> Items;
    int ItemIndex = -1;           // the current item, -1 for none
    bool MultiSelect = false;

    int Count() const { return static_cast<int>(Items.size()); }
    std::vector<std::string> Titles() const;
    std::vector<std::string> SelectedTitles() const;
    // Makes Index the current item and selects it; with single selection every other item is
    // deselected. An index outside the list clears the current item (and, with single
    // selection, the selection).
    void Select(int Index);
    void Clear();
};

// The dialog's modes, by its Tag.
enum MapDefMode : int { InformationMode = 0, OrderMode = 1, SubsetMode = 2, SelectOverlayMode = 3 };

// What a mode looks like: caption and help context as the callers set them, which lists and
// buttons are shown, and whether a double-click on an item confirms the dialog (else it only
// beeps).
struct MapDefModeInfo {
    const char* Caption;
    int HelpContext;
    bool BaseListShown, TextListShown, MoveButtonsShown, MultiSelect, DoubleClickConfirms;
};
MapDefModeInfo ModeInfo(int Tag);

// Where a drag over a list scrolls it: -1 up one row (the pointer is on the first visible row
// and rows are hidden above), +1 down one row (the pointer is on the row just past the last
// fully visible one and more rows follow), 0 not at all.
int DragScrollStep(int pointerRow, int topRow, int fullyVisibleRows, int count);

// The row a drag points at in a list of count items whose rows are rowHeight high and whose
// first visible row is topRow: y is the pointer's row in the list's client area of the given
// height (-1 counts as 0, the client height as one less). Past the last item: count.
int DragTargetRow(int y, int clientHeight, int rowHeight, int topRow, int count);

class MapDefinitionLists {
public:
    MapDefList Lists[3];
    // Enabling of ">", ">>", "<" and "<<" (SetButtons).
    bool IncludeEnabled = false, IncAllEnabled = false, ExcludeEnabled = false, ExAllEnabled = false;
    // The list that has the focus (set by SetItem), -1 for none.
    int Focused = -1;

    MapDefList& operator[](MapDefListId id) { return Lists[id]; }
    const MapDefList& operator[](MapDefListId id) const { return Lists[id]; }

    // Fills a list with titles and their themes, nothing selected.
    void Fill(MapDefListId id, const std::vector<std::pair<std::string, MASStruct*>>& items);

    // ">" and ">>" enabled exactly when the base list is not empty; "<" and "<<" exactly when
    // the overlay list is not empty.
    void SetButtons();
    // Index of the first selected item, -1 for none.
    int GetFirstSelection(MapDefListId id) const;
    // Focuses the list and selects the item at Index (-1 counts as 0, past the end as the
    // last); an empty list has nothing selected. Then SetButtons.
    void SetItem(MapDefListId id, int Index);
    // Appends every selected item of From, in order, to the end of To and removes it from
    // From; then SetButtons.
    void MoveSelected(MapDefListId From, MapDefListId To);

    void IncludeBtnClick();   // ">": selected base items to the overlay list
    void ExcludeBtnClick();   // "<": selected overlay items to the base list
    void IncAllBtnClick();    // ">>": every base item to the overlay list
    void ExcAllBtnClick();    // "<<": every overlay item to the base list

    // A drop: item iItem of From is put before row Row of To (Row at or past the end
    // appends) and removed from its old place; then it is the current and only selected item
    // of To, and SetButtons runs. Nothing happens for an index outside From.
    void DropItem(MapDefListId From, int iItem, MapDefListId To, int Row);

    // Focus entering list id while the text list is shown: the other two lose their current
    // item and selection.
    void EnterList(MapDefListId id, bool textListShown);

private:
    void MoveAll(MapDefListId From, MapDefListId To);
};

} // namespace corvane
