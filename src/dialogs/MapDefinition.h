#pragma once
// The map definition dialog: one modal dialog, created once at start-up (MapDefinition) and
// used by the map window in four modes, chosen by its Tag: arranging base maps and overlays
// ("Order of Display of the Maps", 1), choosing an overlay ("Select Map Overlay", 3), choosing
// the theme whose key the subset dialog edits ("Select Map Subset", 2) and choosing themes
// whose information page to read ("Information about the Map Datasets", 0). It only moves,
// orders and selects titles; the caller reads the lists back after OK. The list rules live in
// MapDefinitionLists; this form shows them and turns events into their calls.
#include "mapdef/MapDefinitionLists.h"

#include <QDialog>
#include <QListWidget>
#include <QRect>

#include <string>
#include <vector>

class QLabel;
class QPushButton;

namespace corvane {

class DialogService;
class MASList;
class MessageSink;
class TMDFStruct;

// Where the controls sit for a client size: the move buttons centred, "&Font", "&Ok",
// "&Cancel" and Help 16 pixels above the bottom ("&Cancel" 16 from the right edge, "&Ok" 16
// left of it), the overlay list across the width after a Tag above 2, else beside the move
// buttons; with the text list shown, base and text list share the overlay list's height.
struct MapDefinitionGeometry {
    static constexpr int ButtonWidth = 75, ButtonHeight = 25;
    static constexpr int MoveWidth = 40, MoveHeight = 25;
    static constexpr int LabelHeight = 16, LabelTop = 8;
    static constexpr int ListTop = LabelTop + LabelHeight + 2;
    static constexpr int ItemHeight = 18;
    static constexpr int DesignHeight = 420;

    QRect BasemapLabel, BasemapList, OverlayLabel, OverlaymapList, TextLabel, TextList;
    QRect IncludeBtn, IncAllBtn, ExcludeBtn, ExAllBtn;
    QRect FontBtn, OKBtn, CancelBtn, HelpBtn;
};
MapDefinitionGeometry LayoutMapDefinition(int clientWidth, int clientHeight, int Tag, bool textListShown);
// The smallest client area that holds the bottom buttons and the move buttons.
QSize MapDefinitionMinimumSize();

// A list box of the dialog: draws the red drag mark over the row a drag points at.
class MapDefListBox : public QListWidget {
public:
    MapDefListBox(QWidget* parent, MapDefListId id);
    MapDefListId Id() const { return id_; }
    // The row marked while dragging, -1 for none.
    void SetMarkedRow(int row);
    int MarkedRow() const { return marked_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    MapDefListId id_;
    int marked_ = -1;
};

class TMapDefinition : public QDialog {
    Q_OBJECT
public:
    TMapDefinition(QWidget* parent, DialogService* dialogs, MessageSink& sink);
    ~TMapDefinition() override;

    // ---- the caller's protocol: fill and set the mode, exec(), read the lists back ----------
    // Takes the map's theme lists and sets the mode: "Order of Display of the Maps" (base and
    // overlay lists, several selections, the four move buttons), "Select Map Overlay" (the
    // overlay list alone, one selection), "Select Map Subset" (base and overlay lists, one
    // selection, no move buttons) or "Information about the Map Datasets" (base, overlay and
    // text lists, one selection among them).
    void Prepare(MapDefMode mode, TMDFStruct& mdf);
    // After the information dialog: the text list hidden and emptied again.
    void EndInformation();

    // The subset dialog's choice of a theme: shows the dialog in its subset mode and returns
    // the selected base map, else the selected overlay; nullptr when cancelled or nothing is
    // selected.
    MASStruct* SelectMapSubset(TMDFStruct& mdf);

    std::vector<std::string> Titles(MapDefListId id) const { return model_[id].Titles(); }
    std::vector<std::string> SelectedTitles(MapDefListId id) const { return model_[id].SelectedTitles(); }
    MapDefinitionLists& Model() { return model_; }

    // ---- controls, named as the callers name them ------------------------------------------
    QLabel *BasemapLabel = nullptr, *OverlayLabel = nullptr, *TextLabel = nullptr;
    MapDefListBox *BasemapList = nullptr, *OverlaymapList = nullptr, *TextList = nullptr;
    QPushButton *IncludeBtn = nullptr, *IncAllBtn = nullptr, *ExcludeBtn = nullptr, *ExAllBtn = nullptr;
    QPushButton *FontBtn = nullptr, *OKBtn = nullptr, *CancelBtn = nullptr, *HelpBtn = nullptr;

    int Tag = OrderMode;
    // The current map's theme lists, taken when the dialog is prepared.
    const MASList *NextMAS = nullptr, *OverlayMAS = nullptr, *TextMAS = nullptr;
    int iItem = -1;                   // the item being dragged
    MapDefListBox* UseList = nullptr; // the list a drag started from, or last marked in

    // Handlers (public so that tests reach them as the events do).
    void IncludeBtnClick();
    void IncAllBtnClick();
    void ExcludeBtnClick();
    void ExcAllBtnClick();
    void FontBtnClick();
    void ListDblClick(MapDefListBox* list, const QPoint& pos);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void SetMode(int tag);
    void FillList(MapDefListId id, const MASList& themes);
    void TakeMap(TMDFStruct& mdf);
    MapDefListBox* Box(MapDefListId id) const;
    // Shows the model: the lines, selection and current item of each list, the buttons.
    void SyncLists();
    void SyncButtons();
    void ReadSelection(MapDefListBox* list);
    void FormResize();
    bool DragEvent(MapDefListBox* list, QEvent* event);
    MapDefListBox* ListAt(const QPoint& globalPos) const;
    void MarkRow(MapDefListBox* list, int row);

    MapDefinitionLists model_;
    DialogService* dialogs_;
    MessageSink& sink_;
    bool syncing_ = false;
    bool shownOnce_ = false;
    bool textShown_ = false;
    // Dragging: the press waits for the drag distance.
    MapDefListBox* pressList_ = nullptr;
    QPoint pressPos_;
    bool dragging_ = false;
};

// The one map definition dialog of the program; nullptr until created.
extern TMapDefinition* MapDefinition;

// Opens the information page of the first theme of list whose title is Title in the text
// viewer (the main window's ShowEdit); nothing when no theme has that title or it names no
// page.
void ShowInfo(const std::string& Title, const MASList& list);

} // namespace corvane
