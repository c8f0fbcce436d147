#include "layers/writers/LabelFileWriter.h"

#include "layers/MapLBL.h"

namespace corvane {

void LabelFileWriter::Add(const LabelFeature& l)
{
    const std::string label = FeatureLabel("label", labels_.size() + 1, l.Text.substr(0, 40));
    CheckPosition(label, {l.Lat, l.Lon});
    CheckKeyCode(label, l.KeyLink);
    if (l.Text.size() > kMaxText)
        ThrowFeatureError(label, "text of " + std::to_string(l.Text.size()) + " bytes, more than " +
                                     std::to_string(kMaxText));
    if (l.TriggerScale < 0 || l.TriggerScale > 65535)
        ThrowFeatureError(label, "trigger scale " + std::to_string(l.TriggerScale) + " is outside 0..65535");
    if (l.TextAngle < -32768 || l.TextAngle > 65535)
        ThrowFeatureError(label, "text angle " + std::to_string(l.TextAngle) + " does not fit 16 bits");
    const std::pair<const char*, int> fields[] = {{"bWidth", l.bWidth}, {"bHeight", l.bHeight}, {"vJust", l.vJust},
                                                  {"hJust", l.hJust}};
    for (const auto& [name, v] : fields)
        if (v < 0 || v > 3) ThrowFeatureError(label, std::string(name) + " " + std::to_string(v) + " is outside 0..3");

    labels_.push_back({{l.Lat, l.Lon}, records_.size()});
    PutU8(records_, static_cast<uint8_t>(l.KeyLink));
    PutU16(records_, static_cast<uint16_t>(l.TriggerScale));
    PutU16(records_, static_cast<uint16_t>(l.TextAngle & 0xFFFF));
    PutU8(records_, PackSizeJust(l.bWidth, l.bHeight, l.vJust, l.hJust));
    PutU8(records_, static_cast<uint8_t>(l.Text.size()));
    records_.insert(records_.end(), l.Text.begin(), l.Text.end());
    bounds_.Add({l.Lat, l.Lon});
}

LayerFileWriter LabelFileWriter::Build() const
{
    const LayerGrid grid = bounds_.Grid(options_.CellSize);
    const HdrRec h = MakeHeader(grid, ChooseHPrecision(grid.GridCellSize, options_.FinestUnit));
    LayerFileWriter w(h, kLabelLayout);
    for (const Stored& s : labels_) {
        std::vector<uint8_t>& cell = PlacePoint(w, s.at);
        const size_t fixed = kLabelFixedSize - 4;
        const size_t end = s.record + fixed + records_[s.record + fixed - 1];
        cell.insert(cell.end(), records_.begin() + static_cast<std::ptrdiff_t>(s.record),
                    records_.begin() + static_cast<std::ptrdiff_t>(end));
    }
    EndCells(w, std::vector<uint8_t>(kLabelFixedSize, 0));
    return w;
}

} // namespace corvane
