#pragma once
// Rubber bands are drawn with a solid white pen in "not" mode and a clear brush, so that
// drawing a figure twice restores the picture. The guard sets that pen for its life and gives
// the picture's pen and brush back afterwards, so that the next plot does not draw inverted.
#include "platform/Canvas.h"

namespace corvane {

class InvertingPenGuard {
public:
    explicit InvertingPenGuard(Canvas* c) : c_(c)
    {
        if (!c_) return;
        pen_ = c_->pen;
        brush_ = c_->brush;
        c_->pen.colour = clWhite;
        c_->pen.style = PenStyle::Solid;
        c_->pen.mode = PenMode::Not;
        c_->pen.width = 1;
        c_->brush.style = BrushStyle::Clear;
    }
    ~InvertingPenGuard()
    {
        if (!c_) return;
        c_->pen = pen_;
        c_->brush = brush_;
    }
    InvertingPenGuard(const InvertingPenGuard&) = delete;
    InvertingPenGuard& operator=(const InvertingPenGuard&) = delete;

private:
    Canvas* c_;
    PenState pen_;
    BrushState brush_;
};

} // namespace corvane
