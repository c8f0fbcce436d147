#include "text/TextViewerLayout.h"

#include "platform/Rounding.h"

#include <algorithm>

namespace corvane {

namespace {

int32_t FrameWidth(const FrameMetrics& f) { return 2 * (f.DialogFrameWidth + f.BorderWidth); }
int32_t FrameHeight(const FrameMetrics& f) { return 2 * (f.DialogFrameHeight + f.BorderHeight) + f.CaptionHeight; }

// Centres a window of the client size in the work area below the strip: a window taller than
// the space there is cut to it (and scrolls), one wider than the work area to its width.
TextViewerBounds Place(const TextViewerMetrics& m, int32_t clientWidth, int32_t clientHeight)
{
    TextViewerBounds b;
    const int32_t space = std::max(0, m.workArea.Bottom - m.mainWindowBottom);
    int32_t width = clientWidth + FrameWidth(m.frame);
    if (width > m.workArea.Width()) width = std::max(m.workArea.Width(), FrameWidth(m.frame) + 1);
    int32_t height = clientHeight + FrameHeight(m.frame);
    if (clientHeight > space) {
        b.ScrollBars = true;
        height = space;
    }
    height = std::max(height, FrameHeight(m.frame) + 1);
    b.ClientWidth = width - FrameWidth(m.frame);
    b.ClientHeight = height - FrameHeight(m.frame);
    b.Left = m.workArea.Left + (m.workArea.Width() - width) / 2;
    b.Top = m.mainWindowBottom + (space - height) / 2;
    return b;
}

} // namespace

TextViewerBounds InfoPageBounds(const TextViewerMetrics& m, int32_t widestLine, int32_t lineCount)
{
    const int32_t width =
        2 * (m.frame.BorderWidth + m.frame.DialogFrameWidth + 1 + 10) + m.scrollBarWidth + std::max(widestLine, 0);
    const int64_t height = int64_t{std::max(lineCount, 0)} * (m.lineHeight + 1);
    return Place(m, width, ClampToInt(height));
}

TextViewerBounds SourceTableBounds(const TextViewerMetrics& m, int32_t widestLine, int32_t lineCount)
{
    const int32_t width = m.scrollBarWidth + std::max(widestLine, 0) + 40;
    const int64_t height = (int64_t{std::max(lineCount, 0)} + 1) * m.lineHeight + 20;
    return Place(m, width, ClampToInt(height));
}

Rect TextPrintArea(const PrintPage& page)
{
    Rect r;
    r.left = RoundI((page.LeftMargin - page.minLeftMargin) * page.XDpi);
    r.top = RoundI((page.TopMargin - page.minTopMargin) * page.YDpi);
    if (page.XDpi > 0)
        r.right = RoundI((static_cast<double>(page.PageWidth) / page.XDpi - (page.RightMargin - page.minRightMargin)) * page.XDpi);
    if (page.YDpi > 0)
        r.bottom = RoundI((static_cast<double>(page.PageHeight) / page.YDpi - (page.BottomMargin - page.minBottomMargin)) * page.YDpi);
    return r;
}

} // namespace corvane
