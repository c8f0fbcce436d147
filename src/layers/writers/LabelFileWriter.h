#pragma once
// Writes label layers (data type 6): every field of a label record, its text after it, and
// an empty label with key code 0 at the end of each cell.
//
//   LabelFileWriter w(options);
//   LabelFeature l;
//   l.Lat = 50.37; l.Lon = -4.14; l.KeyLink = 2; l.Text = "Plymouth Sound";
//   l.TriggerScale = 40;           // drawn from 40 screen pixels per degree of longitude on
//   l.hJust = 1; l.vJust = 1;      // centred on the anchor
//   w.Add(l);
//
// Add throws FeatureError naming the label (by its number and text) for a key code outside
// 1..50, a text of more than 255 bytes, a trigger scale or angle outside 16 bits, or a size
// or justification field outside 0..3.
#include "layers/writers/FeatureWriter.h"

#include <cstdint>
#include <string>
#include <vector>

namespace corvane {

struct LabelFeature {
    double Lat = 0.0;           // anchor, degrees
    double Lon = 0.0;
    int KeyLink = 1;            // key code, 1..50
    int32_t TriggerScale = 0;   // 0..65535 screen pixels per degree of longitude
    int32_t TextAngle = 0;      // -32768..65535, kept as 16 bits; not used in drawing
    int bWidth = 0;             // 0..3, not used in drawing
    int bHeight = 0;            // 0..3: 4 points larger per step
    int vJust = 0;              // 0 above the anchor, 1 centred, 2 a quarter, 3 hanging below
    int hJust = 0;              // 0 and 3 from the anchor, 1 centred, 2 ending at it
    std::string Text;           // single-byte characters, at most 255
};

class LabelFileWriter : public FeatureFileWriter {
public:
    static constexpr size_t kMaxText = 255;

    explicit LabelFileWriter(const LayerWriteOptions& options) : FeatureFileWriter(options) {}
    void Add(const LabelFeature& l);
    size_t Count() const { return labels_.size(); }

private:
    struct Stored {
        GeoPoint at;
        size_t record;   // into records_: the fixed bytes after Lat and Lon, then the text
    };
    LayerFileWriter Build() const override;

    std::vector<Stored> labels_;
    std::vector<uint8_t> records_;
};

} // namespace corvane
