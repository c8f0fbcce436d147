#pragma once
// The screen as the map definition sees it, answered by the windowing system: the work area
// and size of the main window's screen, the first row below the main window strip, and the
// frame that a top-level window gets around its client area.
#include "mapdef/ScreenMetrics.h"

#include <QPointer>
#include <QRect>
#include <QWidget>

namespace corvane {

// The frame between a window's outer rectangle and its client rectangle (screen
// coordinates), as the map definition counts it: the side borders as dialog frame width,
// the bottom border as dialog frame height, and the rest of the top as the caption.
FrameMetrics FrameMetricsOf(const QRect& outer, const QRect& client);

// Lets the window system put its frame around a shown top-level window: processes events
// until the frame is known, for at most maxMilliseconds (without a window manager there is
// none to wait for).
void AwaitWindowFrame(const QWidget& window, int maxMilliseconds);

class QtScreenMetrics : public ScreenMetrics {
public:
    // mainWindow: the strip the map window stands below (may be null: then the work area's
    // top). The frame of a top-level window is taken from it now and kept: the map
    // definition's window sizes less this frame are always the map window's client size,
    // also when the window system decorates the map window a moment after it is shown.
    explicit QtScreenMetrics(const QWidget* mainWindow);

    ScreenRect WorkArea() const override;
    int32_t ScreenWidth() const override;
    int32_t ScreenHeight() const override;
    int32_t MainWindowBottom() const override;
    // The main window's frame when the metrics were made (none if it was not on the screen).
    FrameMetrics Frame() const override { return frame_; }

private:
    QRect ScreenGeometry(bool available) const;

    QPointer<const QWidget> mainWindow_;
    FrameMetrics frame_;
};

} // namespace corvane
