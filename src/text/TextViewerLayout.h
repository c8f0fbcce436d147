#pragma once
// Where the text viewer stands and how big it is, and where a text page is printed. The
// viewer stands centred in the work area below the main window strip, as wide as its widest
// line and as tall as its lines (cut to the space below the strip, then with scroll bars).
#include "layers/DrawContext.h"
#include "mapdef/ScreenMetrics.h"
#include "platform/Canvas.h"

#include <cstdint>

namespace corvane {

struct TextViewerMetrics {
    ScreenRect workArea;            // the desktop less its task bars
    int32_t mainWindowBottom = 0;   // the first row below the main window strip
    FrameMetrics frame;             // between the viewer's outer and client rectangles
    int32_t scrollBarWidth = 0;     // of a vertical scroll bar
    int32_t lineHeight = 0;         // height of "A" in the viewer's font
};

struct TextViewerBounds {
    int32_t Left = 0, Top = 0;                  // outer rectangle's corner
    int32_t ClientWidth = 0, ClientHeight = 0;
    bool ScrollBars = false;                    // the lines do not all fit below the strip
};

// An information page of lineCount lines whose widest line is widestLine pixels: client width
// 2 x (border + dialog frame + 1 + 10) + scroll bar + widest line; client height lineCount x
// (line height + 1), cut to the space below the strip.
TextViewerBounds InfoPageBounds(const TextViewerMetrics& m, int32_t widestLine, int32_t lineCount);
// The source table: client width scroll bar + widest line + 40; client height
// (lineCount + 1) x line height + 20, cut to the space below the strip.
TextViewerBounds SourceTableBounds(const TextViewerMetrics& m, int32_t widestLine, int32_t lineCount);

// The rectangle a text page is printed in on the printer canvas (origin the corner of the
// printable area), each side rounded: left (left margin - minimum) x XDpi, top likewise, right
// (page width / XDpi - (right margin - minimum)) x XDpi, bottom likewise.
Rect TextPrintArea(const PrintPage& page);

} // namespace corvane
