#pragma once
// The geometry of the data set list window ("Dataset List"): where its controls sit for a
// client size, how the splitter moves, and where the window opens.
#include <QRect>

namespace corvane {

struct DatasetListGeometry {
    static constexpr int Width = 785;          // initial window size
    static constexpr int Height = 753;
    static constexpr int MinWidth = 400;
    static constexpr int MinHeight = 120;
    static constexpr int SliderHeight = 10;
    static constexpr int ButtonWidth = 75;
    static constexpr int ButtonHeight = 25;
    static constexpr int Gap = 16;

    QRect Tree, Slider, List;
    QRect Add, Remove, Help, Ok, Cancel;
};

// The resize layout: buttons 16 pixels above the bottom, "&Cancel" 16 pixels from the right
// edge and "&Ok" 16 pixels left of it ("&Add", "&Remove" and the hidden Help button from the
// left edge); tree, splitter and list across the full width, tree and list each half of
// (client height - button height - splitter height - 32).
DatasetListGeometry LayoutDatasetList(int clientWidth, int clientHeight);

// A splitter drag step: the pointer moved by dy and is now at pointerY (client coordinates).
// The splitter follows while the pointer is below the top of the client area and the
// splitter's bottom stays above (client height - button height - 32); otherwise it stays.
int DragSliderTop(int sliderTop, int dy, int pointerY, int clientHeight);

// After a splitter drag: the tree ends at the splitter, the list starts below it and takes
// (client height - button height - splitter top - 32 - splitter height).
void ReleaseSlider(DatasetListGeometry& g, int sliderTop, int clientHeight);

// The window's frame on opening: top just below the main window, bottom at the work area's
// bottom (at least the minimum height), moved left so that its right edge stays on the
// screen, but not left of 0.
QRect DatasetListWindowRect(int left, int mainBottom, int workAreaBottom, int screenWidth);

} // namespace corvane
