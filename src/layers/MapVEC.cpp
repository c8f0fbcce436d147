#include "layers/MapVEC.h"

#include "platform/MessageSink.h"

#include <algorithm>
#include <vector>

namespace corvane {

bool VECmap::Create(const std::string& Filename)
{
    return OpenLayer(Filename, 4);
}

bool VECmap::Create(std::unique_ptr<ByteSource> source)
{
    return OpenLayer(std::move(source), 4);
}

void VECmap::Read()
{
    VR.Lat = iFile.ReadU16();
    VR.Lon = iFile.ReadU16();
}

template <class Wanted, class Segment>
void VECmap::WalkSegments(uint8_t Key_Entry_Adjustment, Wanted&& wanted, Segment&& segment)
{
    WalkRecordCells([&](int32_t c, int32_t r) {
        Read();
        while (VR.Lat != kVectorCellEnd) {
            const int k = VR.Lat + Key_Entry_Adjustment;
            const int64_t n = VR.Lon;
            // A count larger than what is left of the file: the read comes up short.
            if (n * 4 > iFile.Size() - iFile.Pos()) iFile.Fail();
            if (!wanted(k)) {
                iFile.Skip(n * 4);
            } else {
                segment_.clear();
                for (int64_t i = 0; i < n; ++i) {
                    Read();
                    segment_.push_back({VR.Lat, VR.Lon});
                }
                segment(c, r, k, segment_);
            }
            Read();
        }
    });
}

void VECmap::Draw(const DrawContext& ctx, uint8_t Key_Entry_Adjustment, bool /*UseTopColour*/)
{
    BeginDraw(ctx);
    if (!privateRead) return;
    Canvas& cv = *Cnvs;
    cv.pen.mode = PenMode::Copy;
    cv.bkMode = BkMode::Transparent;
    cv.brush.style = BrushStyle::Clear;

    std::vector<Point> points;
    points.reserve(kVectorPointBuffer);
    segment_.reserve(kVectorPointBuffer);
    RunLayerIO([&] {
        WalkSegments(
            Key_Entry_Adjustment, [&](int k) { return !KeyItemOff(k); },
            [&](int32_t, int32_t, int k, const std::vector<CellOffset>& offsets) {
                cv.pen.colour = KeyColour(k);
                cv.pen.style = PenStyleFromIndex(Styl[k] - 1);
                points.clear();
                const size_t drawn = std::min(offsets.size(), static_cast<size_t>(kVectorPointBuffer));
                for (size_t i = 0; i < drawn; ++i) points.push_back(ToDevice(offsets[i].Lat, offsets[i].Lon));
                if (offsets.size() > static_cast<size_t>(kVectorPointBuffer))
                    ctx.messages.Plain("Too many points on this line segment");
                if (!points.empty()) cv.Polyline(points);
            });
    });
}

bool VECmap::Visit(FeatureVisitor& visitor, uint8_t Key_Entry_Adjustment)
{
    BeginVisit();
    if (!privateRead) return false;
    return RunLayerIO([&] {
        WalkSegments(
            Key_Entry_Adjustment, [](int) { return true; },
            [&](int32_t c, int32_t r, int k, const std::vector<CellOffset>& offsets) {
                visitor.Line(CellPlace(c, r), k, offsets);
            });
    });
}

} // namespace corvane
