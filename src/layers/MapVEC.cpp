#include "layers/MapVEC.h"

#include "platform/MessageSink.h"

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
    RunLayerIO([&] {
        WalkRecordCells([&](int32_t, int32_t) {
            Read();
            while (VR.Lat != kVectorCellEnd) {
                const int k = VR.Lat + Key_Entry_Adjustment;
                const int64_t n = VR.Lon;
                // A count larger than what is left of the file: the read comes up short.
                if (n * 4 > iFile.Size() - iFile.Pos()) iFile.Fail();
                if (KeyItemOff(k)) {
                    iFile.Skip(n * 4);
                } else {
                    cv.pen.colour = KeyColour(k);
                    cv.pen.style = PenStyleFromIndex(Styl[k] - 1);
                    points.clear();
                    for (int64_t i = 0; i < n; ++i) {
                        Read();
                        if (points.size() < static_cast<size_t>(kVectorPointBuffer))
                            points.push_back(ToDevice(VR.Lat, VR.Lon));
                    }
                    if (n > kVectorPointBuffer) ctx.messages.Plain("Too many points on this line segment");
                    if (!points.empty()) cv.Polyline(points);
                }
                Read();
            }
        });
    });
}

} // namespace corvane
