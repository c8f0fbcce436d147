#include "dialogs/DatasetListLayout.h"

#include <algorithm>

namespace corvane {

using G = DatasetListGeometry;

DatasetListGeometry LayoutDatasetList(int w, int h)
{
    G g;
    const int half = std::max(0, (h - G::ButtonHeight - G::SliderHeight - 32) / 2);
    g.Tree = QRect(0, 0, w, half);
    g.Slider = QRect(0, half, w, G::SliderHeight);
    g.List = QRect(0, half + G::SliderHeight, w, half);
    const int top = h - G::Gap - G::ButtonHeight;
    auto button = [top](int x) { return QRect(x, top, G::ButtonWidth, G::ButtonHeight); };
    g.Cancel = button(w - G::Gap - G::ButtonWidth);
    g.Ok = button(g.Cancel.x() - G::Gap - G::ButtonWidth);
    g.Add = button(G::Gap);
    g.Remove = button(g.Add.right() + 1 + G::Gap);
    g.Help = button(g.Remove.right() + 1 + G::Gap);
    return g;
}

int DragSliderTop(int sliderTop, int dy, int pointerY, int clientHeight)
{
    const int top = std::max(0, sliderTop + dy);
    if (pointerY > 0 && top + G::SliderHeight < clientHeight - G::ButtonHeight - 32) return top;
    return sliderTop;
}

void ReleaseSlider(DatasetListGeometry& g, int sliderTop, int clientHeight)
{
    g.Tree.setHeight(sliderTop);
    g.Slider.moveTop(sliderTop);
    g.List.moveTop(sliderTop + G::SliderHeight);
    g.List.setHeight(std::max(0, clientHeight - G::ButtonHeight - sliderTop - 32 - G::SliderHeight));
}

QRect DatasetListWindowRect(int left, int mainBottom, int workAreaBottom, int screenWidth)
{
    const int height = std::max(G::MinHeight, workAreaBottom - mainBottom);
    if (left + G::Width > screenWidth) left = std::max(0, screenWidth - G::Width);
    return QRect(left, mainBottom, G::Width, height);
}

} // namespace corvane
