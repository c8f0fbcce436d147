#pragma once
// Keys built by hand and a map window on a recording canvas, for the graticule and key tests.
#include "catalogue/MasterFile.h"
#include "mapdef/MDFStruct.h"
#include "mapdef/ScreenMetrics.h"
#include "platform/RecordingCanvas.h"
#include "render/MapView.h"

#include <memory>
#include <string>
#include <vector>

namespace corvane::test {

// A key item: display order, entry type, text lines, hidden, top and bottom colours and styles.
struct KeyItemSpec {
    uint8_t order = 1;
    uint8_t type = 2;
    std::vector<std::string> lines = {"Item"};
    bool hidden = false;
    Colour top = 0x0000FF, bottom = 0x00FF00;
    uint8_t topStyle = 1, bottomStyle = 1;
};

// A key of header lines and items, the items' descriptors and text lines in the order given.
inline std::unique_ptr<KeyStruct> MakeKey(const std::vector<std::string>& header, const std::vector<KeyItemSpec>& items)
{
    auto K = std::make_unique<KeyStruct>();
    K->Num_HdrLines = static_cast<uint8_t>(header.size());
    K->Text = header;
    std::unique_ptr<K_Descriptor>* next = &K->NextKD;
    for (const KeyItemSpec& s : items) {
        *next = std::make_unique<K_Descriptor>();
        K_Descriptor& kd = **next;
        kd.Active = true, kd.Hidden = s.hidden, kd.Entry_Type = s.type, kd.Display_Order = s.order;
        kd.Number_Of_Text_Lines = static_cast<uint8_t>(s.lines.size());
        kd.Top_Colour = s.top, kd.Bottom_Colour = s.bottom, kd.Top_Style = s.topStyle, kd.Bottom_Style = s.bottomStyle;
        K->Text.insert(K->Text.end(), s.lines.begin(), s.lines.end());
        next = &kd.NextKD;
        ++K->NumItems;
    }
    return K;
}

// A map window of width x height on a recording canvas over a new map (45..65 N), with a
// base map and an overlay whose keys are given.
class KeyView : public MapView {
public:
    KeyView(MessageSink& sink, int32_t width = 640, int32_t height = 480)
        : MapView(sink), canvas(width, height), width_(width), height_(height)
    {
        screen.workArea = {0, 0, width, height};
        screen.screenWidth = width;
        screen.screenHeight = height;
        mdf = std::move(TMDFStruct::Create("", screen, sink).MDF);
        MDF = mdf.get();
        SetChecksFromMDF();
    }
    Canvas* ImageCanvas() override { return &canvas; }
    int32_t ClientWidth() const override { return width_; }
    int32_t ClientHeight() const override { return height_; }
    void SetWindowBounds(int32_t, int32_t, int32_t, int32_t) override {}
    void RefreshImage() override { ++refreshes; }
    void PressKeyButton(bool Base) override { pressed.push_back(Base); }

    // Gives the map a base map and an overlay carrying these keys (null: a theme with none).
    void SetThemes(std::unique_ptr<KeyStruct> baseKey, std::unique_ptr<KeyStruct> overlayKey)
    {
        mdf->NextMAS.Clear();
        mdf->OverlayMAS.Clear();
        auto base = std::make_unique<MASStruct>();
        base->Key = std::move(baseKey);
        mdf->NextMAS.Append(std::move(base));
        auto overlay = std::make_unique<MASStruct>();
        overlay->Key = std::move(overlayKey);
        mdf->OverlayMAS.Append(std::move(overlay));
    }

    FixedScreenMetrics screen;
    std::unique_ptr<TMDFStruct> mdf;
    RecordingCanvas canvas;
    int refreshes = 0;
    std::vector<bool> pressed;

private:
    int32_t width_, height_;
};

} // namespace corvane::test
