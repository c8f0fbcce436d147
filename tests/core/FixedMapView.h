#pragma once
// A map window of a fixed picture size on a recording canvas, over a new map: the plot, the
// print job and the source table run on it without a window.
#include "mapdef/MDFStruct.h"
#include "platform/RecordingCanvas.h"
#include "render/MapView.h"

#include <functional>
#include <memory>

namespace corvane::test {

class FixedMapView : public MapView {
public:
    FixedMapView(MessageSink& sink, int32_t width, int32_t height) : MapView(sink), picture(width, height)
    {
        screen.workArea = {0, 0, width, height};
        mdf = std::move(TMDFStruct::Create("", screen, sink).MDF);
        MDF = mdf.get();
        SetChecksFromMDF();
    }
    Canvas* ImageCanvas() override { return &picture; }
    int32_t ClientWidth() const override { return picture.Width(); }
    int32_t ClientHeight() const override { return picture.Height(); }
    void SetWindowBounds(int32_t, int32_t, int32_t, int32_t) override {}
    // Counts the times window messages are let through, and runs onMessages then.
    void ProcessMessages() override
    {
        ++messageRuns;
        if (onMessages) onMessages();
    }

    FixedScreenMetrics screen;
    std::unique_ptr<TMDFStruct> mdf;
    RecordingCanvas picture;
    int messageRuns = 0;
    std::function<void()> onMessages;
};

} // namespace corvane::test
