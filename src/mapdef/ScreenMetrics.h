#pragma once
// What the map definition needs to know about the screen: the desktop work area (the screen
// less its task bars), the screen size, where the main window's strip ends, and the frame
// that a map window puts around its drawing area. The viewer answers from the windowing
// system; the headless renderer and the tests fill in FixedScreenMetrics.
#include <cstdint>

namespace corvane {

struct ScreenRect {
    int32_t Left = 0, Top = 0, Right = 0, Bottom = 0;

    int32_t Width() const { return Span(Left, Right); }
    int32_t Height() const { return Span(Top, Bottom); }
    bool operator==(const ScreenRect& o) const
    {
        return Left == o.Left && Top == o.Top && Right == o.Right && Bottom == o.Bottom;
    }
    bool operator!=(const ScreenRect& o) const { return !(*this == o); }

private:
    static int32_t Span(int32_t a, int32_t b)
    {
        int64_t d = int64_t{b} - a;
        return static_cast<int32_t>(d > INT32_MAX ? INT32_MAX : d < INT32_MIN ? INT32_MIN : d);
    }
};

// Frame of a map window, in pixels: its drawing area is the outer width less
// 2 x (DialogFrameWidth + BorderWidth), and the outer height less
// 2 x (DialogFrameHeight + BorderHeight) and less CaptionHeight.
struct FrameMetrics {
    int32_t DialogFrameWidth = 0, DialogFrameHeight = 0;
    int32_t BorderWidth = 0, BorderHeight = 0;
    int32_t CaptionHeight = 0;
};

class ScreenMetrics {
public:
    virtual ~ScreenMetrics() = default;
    virtual ScreenRect WorkArea() const = 0;
    virtual int32_t ScreenWidth() const = 0;
    virtual int32_t ScreenHeight() const = 0;
    // Main window top + main window height: the first row below the main window strip.
    virtual int32_t MainWindowBottom() const = 0;
    virtual FrameMetrics Frame() const = 0;
};

class FixedScreenMetrics : public ScreenMetrics {
public:
    ScreenRect workArea;
    int32_t screenWidth = 0, screenHeight = 0;
    int32_t mainWindowBottom = 0;
    FrameMetrics frame;

    ScreenRect WorkArea() const override { return workArea; }
    int32_t ScreenWidth() const override { return screenWidth; }
    int32_t ScreenHeight() const override { return screenHeight; }
    int32_t MainWindowBottom() const override { return mainWindowBottom; }
    FrameMetrics Frame() const override { return frame; }
};

} // namespace corvane
