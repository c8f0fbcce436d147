#include "query/QuerySearch.h"

#include "catalogue/MasterFile.h"
#include "layers/MapPOL1.h"
#include "layers/MapSYX.h"
#include "mapdef/MDFStruct.h"
#include "platform/CvVars.h"
#include "platform/DataPath.h"
#include "render/MapView.h"
#include "render/Plot.h"

namespace corvane {

namespace {

std::string TrimBlanks(std::string s)
{
    while (!s.empty() && (s.back() == ' ' || s.back() == '\0')) s.pop_back();
    return s;
}

// Searches one layer of a data set; true on a hit, which fills hit.
template <class Layer>
bool SearchLayer(Layer& layer, const std::string& fileName, const DrawContext& ctx, QueryHit& hit, int32_t X,
                 int32_t Y)
{
    layer.Create(fileName);
    bool found = false;
    if (layer.DataOkay()) {
        layer.UseKeyColours(hit.overlay, hit.dataSet, true, ctx);
        hit.Offset = layer.Search(ctx, hit.dataSet->Key_Entry_Adjustment, X, Y, hit.found);
        if (hit.Offset >= 0) {
            found = true;
            hit.AssDataType = layer.Header.AssDataType;
            hit.AssDataFilename = TrimBlanks(layer.Header.AssDataFilename);
        }
    }
    layer.Free();
    return found;
}

} // namespace

bool SearchEachDataFile(MapView& view, const MASStruct& overlay, const DSDStruct& DSD, int Scale, int32_t X,
                        int32_t Y, QueryHit& hit)
{
    if (DSD.Data_Type != dtSYX && DSD.Data_Type != dtPOL7) return false;
    int I = 0;
    for (const DFNStruct* f = DSD.NextDFN.get(); f && I < DSD.Number_Of_Files; f = f->NextDFN.get()) {
        if (++I != Scale) continue;
        hit = QueryHit();
        hit.overlay = &overlay;
        hit.dataSet = &DSD;
        hit.DataType = DSD.Data_Type;
        hit.FileName = ShortStr80(f->FileName);
        const std::string name = CheckCD_Drive(hit.FileName);
        const DrawContext ctx = view.Context(false);
        if (DSD.Data_Type == dtSYX) {
            SYXmap m;
            return SearchLayer(m, name, ctx, hit, X, Y);
        }
        POLmap m;
        return SearchLayer(m, name, ctx, hit, X, Y);
    }
    return false;
}

int SearchOverlay(MapView& view, int32_t X, int32_t Y, const std::function<void(QueryHit&)>& onHit)
{
    const MASStruct* overlay = view.MDF ? view.MDF->OverlayMAS.First() : nullptr;
    if (!overlay) return 0;
    int hits = 0;
    for (const DSDStruct* d = overlay->NextDSD.get(); d; d = d->NextDSD.get()) {
        QueryHit hit;
        if (!SearchEachDataFile(view, *overlay, *d, Plot_Scale_Select(view, *d), X, Y, hit)) continue;
        ++hits;
        onHit(hit);
    }
    return hits;
}

std::string QueryInfoFileName(const std::string& layerFileName, const std::string& AssDataFilename)
{
    // The folder part as the data file names it: up to and including its last "\".
    const size_t slash = layerFileName.find_last_of('\\');
    const std::string folder = slash == std::string::npos ? std::string() : layerFileName.substr(0, slash + 1);
    return CheckCD_Drive(ShortStr80(folder + "DNN\\" + AssDataFilename));
}

PanelPlace PlaceQueryPanel(int32_t TimerLat, int32_t TimerLon, int32_t th, int32_t tw, int32_t aw,
                           int32_t clientHeight, int32_t windowWidth, int32_t bevelWidth)
{
    PanelPlace p;
    p.height = 2 * th;
    p.width = tw + 2 * aw;
    p.left = TimerLon + 16;
    p.top = TimerLat - th;
    if (p.top < 0) {
        p.top = TimerLat + th;
        p.left = TimerLon - p.width / 2;
    } else if (p.top + p.height > clientHeight) {
        p.top = TimerLat - th - p.height;
        p.left = TimerLon - p.width / 2;
    }
    if (p.left < 0) {
        p.left = TimerLon + 16;
    } else if (p.left + p.width + (2 * bevelWidth + 8) > windowWidth) {
        p.left = TimerLon - p.width - 16;
        if (p.left < 0) {
            p.left = (windowWidth - p.width) / 2;
            if (p.top < clientHeight / 2)
                p.top = p.top + th + p.height / 2;
            else
                p.top = p.top - th - p.height / 2;
        }
    }
    return p;
}

Colour FlashCycle::Step(Colour current)
{
    if (!flashing_) {
        flashing_ = true;
        own_ = current;
    }
    if (current == clWhite) return clBlack;
    if (current == clBlack) return own_;
    return clWhite;
}

bool FlashCycle::Stop(Colour& own)
{
    if (!flashing_) return false;
    flashing_ = false;
    own = own_;
    return true;
}

} // namespace corvane
