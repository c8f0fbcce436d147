#pragma once
// What the main window needs of the map window and the text windows, which are built
// elsewhere. The main window forwards its File commands and most tool bar buttons here, and
// creates the map window through a factory hook.
#include "gazetteer/NameIndex.h"

#include <functional>
#include <string>
#include <vector>

#include <QList>

class QMenu;
class QWidget;

namespace corvane {

class TMainFrm;

// The map window (at most one at a time).
class MapWindowApi {
public:
    virtual ~MapWindowApi() = default;

    virtual QWidget* Widget() = 0;
    virtual void Redraw() = 0;
    // Closes the window (it may refuse, for example when unsaved changes are kept). When it
    // closes it sets MapFrm to nullptr and the main window's Tag to 0.
    virtual void CloseWindow() = 0;

    // Ends a distance measurement in progress.
    virtual void EndDistanceMeasurement() = 0;

    // The map definition file the window holds (empty for a new map, or when the file named
    // could not be loaded).
    virtual std::string MapFileName() const { return {}; }

    // File commands.
    virtual void Save1Click() = 0;
    virtual void SaveAs1Click() = 0;
    virtual void Print1Click() = 0;
    virtual void PrintSetUp1Click() = 0;
    virtual void CopyToClipboard1Click() = 0;   // the whole map picture
    // Writes the map as a picture (PNG, BMP) or its printed page as a PDF.
    virtual void Export1Click() {}
    // Shows a place found by the place search.
    virtual void ShowPlace(const Place& /*place*/) {}

    // Tool bar commands.
    virtual void DatasetListClick() = 0;
    virtual void Order1Click() = 0;
    virtual void Select1Click() = 0;
    virtual void Previous1Click() = 0;
    virtual void Next1Click() = 0;
    virtual void LandStyleClick() = 0;   // reads which land style button is down
    virtual void BackgroundClick() = 0;
    virtual void BaseMapKeyClick() = 0;
    virtual void OverlayMapKeyClick() = 0;
    virtual void GraticuleDisplayClick() = 0;
    virtual void GraticuleAutoClick() = 0;
    virtual void IncGratFontSize() = 0;
    virtual void DecGratFontSize() = 0;
    virtual void GraticuleFormatDMSClick() = 0;
    virtual void GraticuleFormatDECClick() = 0;
    virtual void Info1Click() = 0;
    virtual void Source1Click() = 0;
    virtual void FillColour1Click() = 0;
    virtual void OutlineColour1Click() = 0;
    virtual void KeyColourClick() = 0;
    virtual void KeyBackgroundClick() = 0;
    virtual void GraticuleColourClick() = 0;
    virtual void FractionDegreesClick() = 0;
    virtual void Graticule1Click() = 0;
    virtual void Graticule2Click() = 0;
    virtual void Graticule5Click() = 0;
    virtual void Graticule10Click() = 0;
    virtual void Graticule20Click() = 0;
};

// A text viewer window: the information page viewer (Tag 20) or the source table (Tag 21).
class TextWindowApi {
public:
    virtual ~TextWindowApi() = default;
    virtual void CloseWindow() = 0;   // clears EditFrm or SourceEdit when it goes
    virtual void Save() = 0;
    virtual void SaveAs() = 0;
    virtual void Print() = 0;
    virtual void PrintSetup() = 0;
    // Copies the selection; with none, selects all, copies and clears the selection again
    // (caret to the start).
    virtual void CopyToClipboard() = 0;
};

// The active child windows; nullptr when there is none.
extern MapWindowApi* MapFrm;
extern TextWindowApi* EditFrm;
extern TextWindowApi* SourceEdit;

// Values of the main window's Tag naming the active child.
constexpr int kTagNone = 0;
constexpr int kTagMapWindow = 10;
constexpr int kTagEditFrm = 20;
constexpr int kTagSourceEdit = 21;

// Creates the map window for the main window; the window reads MainFrm->MapFilename (empty
// for a new map). Without a factory File, New and File, Open create nothing.
using MapWindowFactory = std::function<MapWindowApi*(TMainFrm& owner)>;
void SetMapWindowFactory(MapWindowFactory factory);
const MapWindowFactory& GetMapWindowFactory();

// Creates the text viewer and reads a file into it (ShowEdit). Without a factory ShowEdit
// opens nothing.
using TextViewerFactory = std::function<TextWindowApi*(TMainFrm& owner, const std::string& filename)>;
void SetTextViewerFactory(TextViewerFactory factory);
const TextViewerFactory& GetTextViewerFactory();

// Creates the source table window and fills it with the table's lines (ShowSource).
using SourceViewerFactory = std::function<TextWindowApi*(TMainFrm& owner, const std::vector<std::string>& lines)>;
void SetSourceViewerFactory(SourceViewerFactory factory);
const SourceViewerFactory& GetSourceViewerFactory();

} // namespace corvane
