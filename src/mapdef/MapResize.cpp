#include "mapdef/MapResize.h"

#include <algorithm>

namespace corvane {

namespace {

// Records the window's rectangle in the current entry (width and height as the 16-bit
// quantities of the map definition).
void StoreWindow(TMapDefObj& mdf, const WindowPlacement& w)
{
    mdf.SetWindowLeft(w.Left);
    mdf.SetWindowTop(w.Top);
    mdf.SetWindowWidth(static_cast<uint16_t>(std::clamp(w.Width, 0, 65535)));
    mdf.SetWindowHeight(static_cast<uint16_t>(std::clamp(w.Height, 0, 65535)));
}

void KeepWindowAsOld(TMapDefObj& mdf)
{
    if (MapListRec* m = mdf.Main_Plot()) m->OldWindowSize = m->WindowSize;
}

struct Extents {
    double minLat, maxLat, minLon, maxLon;
};

// The map of the window's new client area at the old map's scale: the old map's top left
// corner lies (L - OWL, T - OWT) pixels from the new one's, and every edge of the window shows
// the geography that stood under it. Used for maximising, and for the axes whose size changed
// in a normal resize: there it gives what the map shows when one edge is dragged (that side
// uncovers or hides map, the opposite edge keeps its geography) and keeps the scale also when
// the window system reports both edges of an axis moved at once, as it does when a drag of
// the left or top edge comes as a resize and a move.
Extents ExtentsAtOldScale(const TMapDefObj& mdf, const WindowPlacement& w)
{
    const double omw = std::max<uint16_t>(mdf.GetOldMapWidth(), 1);
    const double omh = std::max<uint16_t>(mdf.GetOldMapHeight(), 1);
    const double dx = static_cast<double>(w.Left) - mdf.GetOldWindowLeft();
    const double dy = static_cast<double>(w.Top) - mdf.GetOldWindowTop();
    const double latRange = mdf.GetMainLatRange(), lonRange = mdf.GetMainLonRange();
    Extents e;
    e.minLat = mdf.GetMinLat() + (omh - (dy + w.ClientHeight)) * latRange / omh;
    e.maxLat = mdf.GetMinLat() + (omh - dy) * latRange / omh;
    e.minLon = mdf.GetMinLon() + dx * lonRange / omw;
    e.maxLon = mdf.GetMinLon() + (dx + w.ClientWidth) * lonRange / omw;
    return e;
}

// The map of a normal window whose edges were dragged: only an axis whose size changed takes
// the new edges at the old scale; the other keeps its extents (a move shifts no geography).
Extents DraggedExtents(const TMapDefObj& mdf, const WindowPlacement& w)
{
    const Extents scaled = ExtentsAtOldScale(mdf, w);
    Extents e{mdf.GetMinLat(), mdf.GetMaxLat(), mdf.GetMinLon(), mdf.GetMaxLon()};
    if (mdf.GetOldMapHeight() != w.ClientHeight && mdf.GetOldMapHeight() > 0) {
        e.minLat = scaled.minLat;
        e.maxLat = scaled.maxLat;
    }
    if (mdf.GetOldMapWidth() != w.ClientWidth && mdf.GetOldMapWidth() > 0) {
        e.minLon = scaled.minLon;
        e.maxLon = scaled.maxLon;
    }
    return e;
}

} // namespace

int ResizeMapExtents(TMapDefObj& mdf, int tag, const WindowPlacement& w)
{
    // While where-am-I shows the outermost entry on its own, the history is left alone: the
    // view it came from returns unchanged.
    if (!mdf.Main_Plot() || mdf.BasePlotShown()) return tag;

    if (w.State == WindowState::Maximised) {
        // Resized again while maximised: start over from the entry before maximising, whose
        // old rectangle is still the window before maximising.
        if (!(tag == kSizingMaximised && mdf.CanZoomOut())) KeepWindowAsOld(mdf);
        StoreWindow(mdf, w);
        const Extents e = ExtentsAtOldScale(mdf, w);
        mdf.NewZoom(mdf.GetWindowLeft(), mdf.GetWindowTop(), mdf.GetWindowRight(), mdf.GetWindowBottom(), e.minLon,
                    e.minLat, e.maxLon, e.maxLat, AreaPriority);
        return kSizingMaximised;
    }

    KeepWindowAsOld(mdf);
    StoreWindow(mdf, w);
    if (w.State == WindowState::Minimised) return tag;

    if (tag == kSizingMaximised) mdf.CanZoomOut();   // the entry pushed by maximising
    const Extents e = DraggedExtents(mdf, w);
    if (!mdf.CanZoomOut()) mdf.ClearBaseZoom();
    const int64_t right = int64_t{w.Left} + std::clamp(w.Width, 0, 65535);
    const int64_t bottom = int64_t{w.Top} + std::clamp(w.Height, 0, 65535);
    mdf.NewZoom(w.Left, w.Top, static_cast<int32_t>(std::min<int64_t>(right, INT32_MAX)),
                static_cast<int32_t>(std::min<int64_t>(bottom, INT32_MAX)), e.minLon, e.minLat, e.maxLon, e.maxLat,
                WindowPriority);
    KeepWindowAsOld(mdf);
    return kSizingNormal;
}

bool RefreshWorkArea(TMapDefObj& mdf)
{
    const ScreenRect before = mdf.UsableScreen;
    mdf.UsableScreen = mdf.Screen().WorkArea();
    if (mdf.UsableScreen == before || !mdf.Main_Plot()) return false;
    const ScreenRect& u = mdf.UsableScreen;
    mdf.NewZoom(u.Left, mdf.Screen().MainWindowBottom(), u.Right, u.Bottom, mdf.GetMinLon(), mdf.GetMinLat(),
                mdf.GetMaxLon(), mdf.GetMaxLat(), WindowPriority);
    return true;
}

bool NoteWindowMoved(TMapDefObj& mdf, const WindowPlacement& w)
{
    MapListRec* m = mdf.Main_Plot();
    if (!m || w.State != WindowState::Normal) return false;
    if (w.ClientWidth != mdf.GetOldMapWidth() || w.ClientHeight != mdf.GetOldMapHeight()) return false;
    // The whole rectangle moves, in the entry and as its old rectangle: the next resize
    // starts by taking the entry's rectangle as the old one, and a saved map reopens where
    // the window now stands.
    auto moveTo = [&w](ScreenRect& r) {
        const int32_t width = r.Width(), height = r.Height();
        r = {w.Left, w.Top, static_cast<int32_t>(std::min<int64_t>(int64_t{w.Left} + width, INT32_MAX)),
             static_cast<int32_t>(std::min<int64_t>(int64_t{w.Top} + height, INT32_MAX))};
    };
    moveTo(m->WindowSize);
    moveTo(m->OldWindowSize);
    return true;
}

} // namespace corvane
