#pragma once
// A view of the benchmarks: the map window's view (a MapView or a MapInteraction) drawing on a
// picture of a fixed size, without a window.
#include "platform/MessageSink.h"
#include "platform/qt/QtCanvas.h"

#include <QImage>

#include <cstdint>

namespace corvane {

template <class View>
class PictureView : public View {
public:
    PictureView(MessageSink& sink, int width, int height)
        : View(sink), image_(width, height, QImage::Format_RGB32), canvas_(&image_)
    {
    }
    Canvas* ImageCanvas() override { return &canvas_; }
    int32_t ClientWidth() const override { return image_.width(); }
    int32_t ClientHeight() const override { return image_.height(); }
    void SetWindowBounds(int32_t, int32_t, int32_t, int32_t) override {}

private:
    QImage image_;
    QtCanvas canvas_;
};

} // namespace corvane
