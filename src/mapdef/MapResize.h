#pragma once
// Keeping the map in step with its window: what a resize, a maximise, a restore or a move
// does to the zoom history of the map definition. The map window only feeds these functions
// the numbers of its window and plots afterwards.
//
// Dragging an edge uncovers or hides map on that side at the same scale, and the opposite
// edge keeps its geography; maximising grows the map at the old scale around the old
// position and pushes one zoom entry, which restoring removes again.
#include "mapdef/MapDefObj.h"

#include <cstdint>

namespace corvane {

enum class WindowState : uint8_t { Normal, Minimised, Maximised };

// The map window as it stands now: its outer rectangle and its client (picture) size.
struct WindowPlacement {
    int32_t Left = 0, Top = 0, Width = 0, Height = 0;
    int32_t ClientWidth = 0, ClientHeight = 0;
    WindowState State = WindowState::Normal;
};

// The map window's sizing state (its tag).
constexpr int kSizingFirst = 0;       // before the first sizing: only the stored geometry is applied
constexpr int kSizingNormal = 1;      // in normal use
constexpr int kSizingMaximised = 2;   // a maximised view has been pushed onto the zoom history

// A resize after the first sizing (tag > 0): records the window's new rectangle in the
// current zoom entry and recomputes the extents; returns the new tag. Minimised: only the
// rectangle is recorded.
//  - Maximised: the extents grow at the old scale around the old position and a new entry is
//    pushed (AreaPriority). A maximised window resized again replaces that entry rather than
//    stacking a second one that restoring would not remove.
//  - Normal: the entry pushed by maximising is removed first; on an axis whose size changed
//    the window's edges show the geography that stood under them at the old scale, so that a
//    dragged edge uncovers or hides map on its side and the opposite edge keeps its own (and
//    when the window system reports both edges of the axis moved at once, both follow); the
//    current entry is then replaced by one for the window (WindowPriority).
// The old scale is that of the old map, its drawing area (old window size less the frame).
// Nothing changes while the first entry is shown on its own (where-am-I).
int ResizeMapExtents(TMapDefObj& mdf, int tag, const WindowPlacement& window);

// The window moved (tag > 0), first part: reads the desktop work area into the map
// definition; when any side of it changed, pushes a zoom entry that fills the work area below
// the main window with the current extents (WindowPriority) and returns true: the window
// then takes that entry's rectangle.
bool RefreshWorkArea(TMapDefObj& mdf);

// The window moved, second part: a normal window whose client size is still the old map size
// (a move without resize) records its place as the entry's old place, so that the next resize
// compares its edges with the moved window. False when nothing was recorded.
bool NoteWindowMoved(TMapDefObj& mdf, const WindowPlacement& window);

} // namespace corvane
