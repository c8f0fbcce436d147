// The map window's File commands: saving the map definition, printing and the clipboard.
#include "mapwindow/MapFrm.h"

#include <QApplication>
#include <QClipboard>

namespace corvane {

void TMapFrm::Save1Click() {}
void TMapFrm::SaveAs1Click() {}
void TMapFrm::Print1Click() {}
void TMapFrm::PrintSetUp1Click() {}

void TMapFrm::CopyToClipboard1Click()
{
    if (canvas_) canvas_->End();
    QApplication::clipboard()->setImage(image_.copy());
}

} // namespace corvane
