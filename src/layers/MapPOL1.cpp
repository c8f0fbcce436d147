#include "layers/MapPOL1.h"

#include "layers/FillStyle.h"

#include <algorithm>
#include <utility>

namespace corvane {

void POLmap::Read()
{
    PR.Lat = iFile.ReadU16();
    PR.Lon = iFile.ReadU16();
}

void POLmap::DrawPart(const std::vector<Point>& pts, bool Filled, int k, corvane::Colour background)
{
    if (pts.empty()) return;
    if (Filled) {
        ChargeFill(pts);
        SelectBrush(*Cnvs, Styl[k], KeyColour(k), background);
        Cnvs->Polygon(pts);
    } else {
        Cnvs->brush.style = BrushStyle::Clear;
        Cnvs->Polyline(pts);
    }
}

template <class Wanted, class Start, class Part, class End>
void POLmap::WalkPolygons(uint8_t nSkip, bool readExtra, uint8_t Key_Entry_Adjustment, Wanted&& wanted,
                          Start&& start, Part&& part, End&& end)
{
    POLRec extra[2];
    WalkRecordCells([&](int32_t c, int32_t r) {
        for (Read(); PR.Lat != 65535; Read()) {
            const int k = PR.Lat + Key_Entry_Adjustment;
            const int32_t n = PR.Lon;
            const bool withExtra = readExtra && nSkip == 2;
            if (withExtra) {
                Read();
                extra[0] = PR;
                Read();
                extra[1] = PR;
            } else {
                iFile.Skip(int64_t{nSkip} * kRecSize);
            }
            if (!wanted(k)) {
                iFile.Skip(int64_t{n} * kRecSize);
                continue;
            }
            start(c, r, k, withExtra ? extra : nullptr);
            int32_t done = 0;
            while (done < n) {
                part_.clear();
                while (done < n) {
                    Read();
                    ++done;
                    if (PR.IsSeparator()) break;
                    part_.push_back({PR.Lat, PR.Lon});
                }
                part(part_);
            }
            end();
        }
    });
}

bool POLmap::Draw(const DrawContext& ctx, uint8_t nSkip, bool Filled, uint8_t Key_Entry_Adjustment,
                  bool /*UseTopColour*/)
{
    BeginDraw(ctx);
    const corvane::Colour background = bPrint ? clWhite : ctx.BackgroundColour;
    std::vector<Point> points;   // the scratch buffer of one drawing
    points.reserve(kPartPoints);
    int k = 0;
    return RunLayerIO([&] {
        WalkPolygons(
            nSkip, false, Key_Entry_Adjustment, [&](int key) { return !KeyItemOff(key); },
            [&](int32_t, int32_t, int key, const POLRec*) {
                k = key;
                Cnvs->pen.colour = KeyColour(k);
                Cnvs->pen.style = Filled ? PenStyle::Solid : PenStyleFromIndex(Styl[k] - 1);
                Cnvs->brush.colour = KeyColour(k);
            },
            [&](const std::vector<CellOffset>& offsets) {
                points.clear();
                const size_t drawn = std::min(offsets.size(), static_cast<size_t>(kPartPoints));
                for (size_t i = 0; i < drawn; ++i) points.push_back(ToDevice(offsets[i].Lat, offsets[i].Lon));
                DrawPart(points, Filled, k, background);
            },
            [] {});
    });
}

bool POLmap::Visit(FeatureVisitor& visitor, uint8_t nSkip, uint8_t Key_Entry_Adjustment)
{
    BeginVisit();
    if (!privateRead) return false;
    std::vector<std::vector<CellOffset>> parts;
    FeatureCell cell;
    int k = 0;
    CellOffset reference;
    int64_t info = -1;
    bool hasReference = false;
    return RunLayerIO([&] {
        WalkPolygons(
            nSkip, true, Key_Entry_Adjustment, [](int) { return true; },
            [&](int32_t c, int32_t r, int key, const POLRec* extra) {
                cell = CellPlace(c, r);
                k = key;
                parts.clear();
                hasReference = extra != nullptr;
                reference = extra ? CellOffset{extra[0].Lat, extra[0].Lon} : CellOffset{};
                info = extra ? int64_t{extra[1].Lon} * 65536 + extra[1].Lat : -1;
            },
            [&](const std::vector<CellOffset>& part) { parts.push_back(part); },
            [&] { visitor.Polygon(cell, k, parts, hasReference ? &reference : nullptr, info); });
    });
}

int32_t POLmap::ReadOutline(int32_t n, std::vector<Point>& outline)
{
    outline.assign(static_cast<size_t>(kOutlineSlots) + 1, Point{});
    int32_t slot = 1;
    int32_t countSlot = slot++;
    int32_t stored = 0;   // points of the current part in the buffer
    int32_t count = 0;    // points of the current part in the file
    auto closePart = [&] {
        if (countSlot <= kOutlineSlots) outline[static_cast<size_t>(countSlot)].x = stored;
    };
    for (int32_t i = 0; i < n; ++i) {
        Read();
        if (PR.IsSeparator()) {
            closePart();
            countSlot = slot++;
            stored = count = 0;
            continue;
        }
        ++count;
        if (slot <= kOutlineSlots) {
            outline[static_cast<size_t>(slot++)] = CellToDevice(PR.Lat, PR.Lon);
            ++stored;
        }
    }
    closePart();   // the slot after the last part already holds 0
    return count;
}

int32_t POLmap::Search(const DrawContext& ctx, uint8_t Key_Entry_Adjustment, int32_t X, int32_t Y,
                       SearchResult& found)
{
    BeginSearch(ctx);
    const Rect image = ctx.ImageRect();
    int64_t best = kSearchStartSquared;
    bool hit = false;
    int64_t offset = 0;
    int k = 0;
    int32_t lastPart = 0;
    std::vector<Point> outline, scratch;
    RunLayerIO([&] {
        WalkRecordCells([&](int32_t, int32_t) {
            for (Read(); PR.Lat != 65535; Read()) {
                const int key = PR.Lat + Key_Entry_Adjustment;
                const int32_t n = PR.Lon;
                if (KeyItemOff(key)) {
                    iFile.Skip((2 + int64_t{n}) * kRecSize);
                    continue;
                }
                Read();
                const Point ref = CellToDevice(PR.Lat, PR.Lon);
                Read();
                const int64_t info = int64_t{PR.Lon} * 65536 + PR.Lat;
                const bool inside = image.top < ref.y && ref.y < image.bottom && image.left < ref.x && ref.x < image.right;
                const int64_t d = SquaredDistance(ref, X, Y);
                if (!inside || info > kMaxInfoOffset || d >= best) {
                    iFile.Skip(int64_t{n} * kRecSize);
                    continue;
                }
                const int32_t last = ReadOutline(n, scratch);   // a short read leaves the last hit whole
                std::swap(outline, scratch);
                best = d;
                hit = true;
                offset = info;
                k = key;
                lastPart = last;
            }
        });
    });
    if (!hit) return -1;
    found.Points = std::move(outline);
    found.TimerLat = k;
    found.TimerLon = lastPart;
    found.TimerStyle = Styl[k];
    found.TimerColour = Colour[k];
    return static_cast<int32_t>(offset);
}

} // namespace corvane
