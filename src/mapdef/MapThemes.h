#pragma once
// How the map window's data set commands change the theme lists of a map definition: the
// choice of the data set list window taken over, the order from the map definition dialog,
// the overlay brought to the front or stepped through, and the information page of a theme.
// The map window (mapwindow/MapDataset.cpp) runs these and then redraws and updates its
// menus as the result says.
#include "catalogue/DatasetList.h"

#include <memory>
#include <string>
#include <vector>

namespace corvane {

class MASList;
class MessageSink;
class TMapDefObj;
class TMDFStruct;
struct MASStruct;

// A theme named by the data list: the master file (or, for a text page, the text file) with
// the "CDROM:" rule applied, read and titled. A text page is its own information page: its
// TextFileName is the data list's file. A master file that cannot be opened gives an empty
// theme and the message path + " is not present : Check the data list file" (with why, when
// there is more to say than that it is not there).
std::unique_ptr<MASStruct> LoadTheme(const std::string& dataListFile, const std::string& Title, bool textPage,
                                     MessageSink& sink);

// What taking over the data set list window's choice changed.
struct ThemeListChange {
    bool Changed = false;               // a theme was removed or added
    bool BaseRemoved = false;
    bool FirstOverlayChanged = false;   // the overlay drawn is another one (or none) now
    bool Stopped = false;               // a new overlay's master file was missing
};

// Takes over the choice of the data set list window (DatasetListClick):
// - base maps whose title is in BMList stay (their entries are used up), the others go;
//   entries left in BMList are not added;
// - overlays likewise against OMList, keeping their order; then each entry left in OMList is
//   appended, its master file read. A master file that does not exist gives
//   "Unable to find the file : " + path and stops: the overlays appended before stay, text
//   pages are left as they were;
// - text pages likewise against TextList, new ones appended without the file test.
// The entries used up or appended are removed from the three lists.
ThemeListChange ReconcileThemes(TMDFStruct& mdf, std::vector<MASInfoList>& BMList, std::vector<MASInfoList>& OMList,
                                std::vector<MASInfoList>& TextList, MessageSink& sink);

// The order chosen in the map definition dialog: base maps and overlays are pooled (base maps
// first); for each title of baseTitles the first pooled theme of that title becomes the next
// base map, then likewise the overlays. Pooled themes that neither list names are freed.
void ReorderThemes(TMDFStruct& mdf, const std::vector<std::string>& baseTitles,
                   const std::vector<std::string>& overlayTitles);
// The same for one list alone.
void RebuildThemeList(MASList& list, const std::vector<std::string>& titles);

// Brings the overlay of that title to the front; false when there is none or it is already
// the first.
bool BringOverlayToFront(TMDFStruct& mdf, const std::string& Title);
// The first overlay moves to the end (Next) or the last to the front (Previous); false when
// there are fewer than two overlays (nothing to step through).
bool NextOverlay(TMDFStruct& mdf);
bool PreviousOverlay(TMDFStruct& mdf);

// Steps back through the whole zoom history (CanZoomOut until it fails).
void EmptyZoomHistory(TMapDefObj& mdf);

// The information page of the first theme of the list whose title is Title: its
// TextFileName cut to 80 characters with the "CDROM:" rule applied; empty when no theme has
// that title or it names no page.
std::string InfoFileOf(const std::string& Title, const MASList& list);

} // namespace corvane
