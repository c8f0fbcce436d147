#include "layers/writers/SymbolFileWriter.h"

namespace corvane {

SymbolFileWriter::SymbolFileWriter(const LayerWriteOptions& options, bool withInformation)
    : FeatureFileWriter(options), withInformation_(withInformation)
{
}

void SymbolFileWriter::Add(const SymbolPoint& p)
{
    const std::string label = FeatureLabel("point", points_.size() + 1, p.Name);
    CheckPosition(label, {p.Lat, p.Lon});
    CheckKeyCode(label, p.Symbol);
    if (withInformation_) CheckInfoOffset(label, p.InfoOffset);
    else if (p.InfoOffset != 0) ThrowFeatureError(label, "a symbol layer without information carries no offset");
    points_.push_back({{p.Lat, p.Lon}, static_cast<uint8_t>(p.Symbol), static_cast<uint32_t>(p.InfoOffset)});
    bounds_.Add({p.Lat, p.Lon});
}

LayerFileWriter SymbolFileWriter::Build() const
{
    const LayerGrid grid = bounds_.Grid(options_.CellSize);
    const HdrRec h = MakeHeader(grid, ChooseHPrecision(grid.GridCellSize, options_.FinestUnit));
    LayerFileWriter w(h, withInformation_ ? kSymbolInfoLayout : kSymbolLayout);
    const size_t recSize = withInformation_ ? 8 : 5;
    for (const Stored& s : points_) {
        std::vector<uint8_t>& cell = PlacePoint(w, s.at);
        PutU8(cell, s.symbol);
        if (withInformation_) {
            PutU8(cell, static_cast<uint8_t>(s.info >> 16));
            PutU16(cell, static_cast<uint16_t>(s.info & 0xFFFF));
        }
    }
    EndCells(w, std::vector<uint8_t>(recSize, 0));
    return w;
}

} // namespace corvane
