#pragma once
// What the data subset dialog edits: the key of one data set shown as rows, one row for every
// text line of every item, in display order. An item's first row reads "Active" or "Inactive"
// (whether its data are drawn) and "Hidden" or "Visible" (whether the map key shows it); its
// other rows, and the rows of an item without a key symbol, read " ". Colours and styles are
// edited in working copies indexed by display order. Nothing in the key changes until Apply.
#include "display/DisplayCommands.h"
#include "platform/Colour.h"

#include <cstdint>
#include <string>
#include <vector>

namespace corvane {

class MapView;
class MessageSink;
struct K_Descriptor;
struct KeyStruct;

constexpr const char* kSubsetActive = "Active";
constexpr const char* kSubsetInactive = "Inactive";
constexpr const char* kSubsetHidden = "Hidden";
constexpr const char* kSubsetVisible = "Visible";
constexpr const char* kSubsetBlank = " ";

struct SubsetRow {
    std::string Status = kSubsetBlank;   // "Active", "Inactive" or " "
    std::string Shown = kSubsetBlank;    // "Hidden", "Visible" or " "
    std::string DefText;                 // " " and the item's text line
};

// What OK changed: Active, a colour or a style change the map; Hidden only the keys.
struct SubsetChange {
    bool Map = false;
    bool Key = false;
};

// An item of a key found by the row of its first line.
struct SubsetItemRef {
    int Order = 0;                       // its display order, 0 for none
    const K_Descriptor* Item = nullptr;
};

// Which style picker a right click in a symbol column opens for an entry type: lines the line
// picker, boxes the fill picker, symbols the symbol picker; none for text and the fixed symbol;
// a beep for no symbol (0) and unknown types (6 and above).
enum class SubsetStylePicker : uint8_t { None, Beep, Line, Fill, Symbol };
SubsetStylePicker StylePickerFor(uint8_t entryType);

// The row height of the dialog's columns for a font of fontHeight (negative: pixels) at ppi.
int SubsetRowHeight(int fontHeight, int ppi);

class SubsetModel {
public:
    // Fills the rows and working copies from key (Initialise). A display order that no item
    // carries says "Display Order in Key not found." on messages and gets no rows.
    void Initialise(const KeyStruct& key, MessageSink& messages);

    std::string Caption;                  // "Data Subset : " and each heading line with a space
    std::vector<SubsetRow> Rows;
    bool LineDrawFont = false;            // a text line holds a byte below 32 or from 129 up
    // Working copies by display order (index 0 unused).
    std::vector<Colour> TopColour, BottomColour;
    std::vector<uint8_t> TopStyle, BottomStyle;

    // A click on the status column's row (0-based): "Active" becomes "Inactive" and hides the
    // item too; "Inactive" becomes "Active". False (a beep) for any other row.
    bool StatusClick(int row);
    // A click on the key column's row: "Visible" becomes "Hidden"; "Hidden" becomes "Visible"
    // unless the item is inactive. False (a beep) when nothing changes.
    bool KeyClick(int row);
    // Whether a row is the first row of an item with a key symbol (symbol clicks act on it).
    bool ItemRow(int row) const;

    // The 1-based row of the first line of the item with display order `order`: 1 plus the
    // lines of every item with a smaller display order.
    static int FirstRow(const KeyStruct& key, int order);
    // The item with display order `order`, null for none.
    static const K_Descriptor* ItemOfOrder(const KeyStruct& key, int order);
    // GetKeyItem: the item whose first line is row bPos (1-based).
    static SubsetItemRef GetKeyItem(const KeyStruct& key, int bPos);

    // Writes the rows and working copies back into key's items (OK). An item without text
    // lines has no rows and is left as it was.
    SubsetChange Apply(KeyStruct& key) const;
};

// What OK asks of the map: after a map change the definition is marked changed and Redraw
// enabled; after a key change alone the keys are drawn again over the map. Both need saving.
DisplayOutcome SubsetOutcome(MapView& view, const SubsetChange& change);

} // namespace corvane
