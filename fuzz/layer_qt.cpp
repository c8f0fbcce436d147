// Every layer format drawn through the canvas of Qt, as the viewer draws it: the whole area and
// a zoomed window on a picture of the map window's size, and the printed page through a
// painter on a picture of painter commands (as on a printer), so that the cost and the faults
// of the real drawing path are fuzzed too. The first byte picks the format (its value modulo
// 7, in the order of LayerKind), the rest is the layer file.
#include "FuzzSupport.h"
#include "FuzzTarget.h"
#include "platform/qt/QtCanvas.h"

#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPicture>

namespace {

class QtSurfaces : public corvane::fuzz::Surfaces {
public:
    QtSurfaces() : painter_(&commands_) {}
    corvane::Canvas& Picture() override { return picture_; }
    corvane::Canvas& Page() override { return page_; }

private:
    QImage image_{corvane::fuzz::kPictureWidth, corvane::fuzz::kPictureHeight, QImage::Format_RGB32};
    corvane::QtCanvas picture_{&image_};
    QPicture commands_;
    QPainter painter_;
    corvane::QtCanvas page_{&painter_, corvane::fuzz::kPage.PageWidth, corvane::fuzz::kPage.PageHeight,
                            corvane::fuzz::kPage.XDpi, corvane::fuzz::kPage.YDpi};
};

// Text needs the application object; without a display, the offscreen platform.
void StartGui()
{
    static QGuiApplication* app = [] {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
        static int argc = 1;
        static char name[] = "layer_qt";
        static char* argv[] = {name, nullptr};
        return new QGuiApplication(argc, argv);
    }();
    (void)app;
}

} // namespace

CORVANE_FUZZ_TARGET(layer_qt)
{
    if (size < 1) return;
    StartGui();
    QtSurfaces on;
    corvane::fuzz::FuzzLayer(static_cast<corvane::fuzz::LayerKind>(data[0] % 7), data + 1, size - 1, on);
}
