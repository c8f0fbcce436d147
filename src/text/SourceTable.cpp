#include "text/SourceTable.h"

#include "catalogue/MasterFile.h"
#include "layers/MapLBL.h"
#include "layers/MapMRLE.h"
#include "layers/MapPOL1.h"
#include "layers/MapRLE.h"
#include "layers/MapSYM.h"
#include "layers/MapSYX.h"
#include "layers/MapVEC.h"
#include "mapdef/MDFStruct.h"
#include "platform/CodePage.h"
#include "platform/CvVars.h"
#include "platform/DataPath.h"
#include "platform/MessageSink.h"
#include "platform/Rounding.h"
#include "render/MapView.h"
#include "render/Plot.h"

#include <cstdio>
#include <cstring>
#include <langinfo.h>
#include <optional>

namespace corvane {

namespace {

std::string RightAligned(int64_t v, int width)
{
    char buf[32];
    std::snprintf(buf, sizeof buf, "%*lld", width, static_cast<long long>(v));
    return buf;
}

// The header of a layer file, read by the reader of its data type; none when the reader does
// not accept the file. known is false for a data type without a reader.
std::optional<HdrRec> LayerHeader(uint8_t Data_Type, const std::string& file, MessageSink& sink, bool& known)
{
    known = true;
    auto header = [](GenMapObj& layer) {
        std::optional<HdrRec> h;
        if (layer.DataOkay()) h = layer.Header;
        layer.Free();
        return h;
    };
    switch (Data_Type) {
    case dtVEC: { VECmap m; m.Create(file); return header(m); }
    case dtMRL: { MonoRLEmap m; m.Create(file, sink); return header(m); }
    case dtRLE: { RLEmap m; m.Create(file); return header(m); }
    case dtSYX: { SYXmap m; m.Create(file); return header(m); }
    case dtSYM: { SYMmap m; m.Create(file); return header(m); }
    case dtLBL: { LBLmap m; m.Create(file); return header(m); }
    case dtPOL7:
    case dtPOL8:
    case dtPOL9: { POLmap m; m.Create(file); return header(m); }
    default: known = false; return std::nullopt;
    }
}

void AddThemes(const MASList& list, const MapView& view, MessageSink& sink, const MonthNameFn& monthName,
               std::vector<std::string>& lines)
{
    for (const MASStruct* mas = list.First(); mas; mas = mas->NextMAS) {
        const DSDStruct* dsd = mas->NextDSD.get();
        if (!dsd) continue;
        const int level = Plot_Scale_Select(view, *dsd);
        int i = 0;
        for (const DFNStruct* f = dsd->NextDFN.get(); f && i < dsd->Number_Of_Files; f = f->NextDFN.get()) {
            if (++i != level) continue;
            bool known = true;
            const std::optional<HdrRec> h = LayerHeader(dsd->Data_Type, CheckCD_Drive(ShortStr80(f->FileName)), sink, known);
            if (!known) sink.Plain("Invalid Data Type (TempDSD.Data_Type) : " + std::to_string(dsd->Data_Type));
            if (h) lines.push_back(SourceTableLine(h->DateOrig, h->ScaleOrig, mas->Title ? *mas->Title : std::string(), monthName));
        }
    }
}

} // namespace

std::string SystemShortMonthName(int month)
{
    if (month < 1 || month > 12) return RightAligned(month, 3);
    const char* name = ::nl_langinfo(static_cast<nl_item>(ABMON_1 + month - 1));
    if (!name || !*name) return RightAligned(month, 3);
    const char* codeset = ::nl_langinfo(CODESET);
    return codeset && std::strcmp(codeset, "UTF-8") == 0 ? Utf8ToCp1252(name) : std::string(name);
}

std::string SourceDateField(int32_t DateOrig, const MonthNameFn& monthName)
{
    if (DateOrig == 0) return "Unknown   ";
    const int64_t Y = Round(DateOrig / 10000.0);
    const int64_t M = Round((DateOrig - 10000.0 * Y) / 100.0);
    const int64_t D = DateOrig - 100 * Round(DateOrig / 100.0);
    if (D == 0 && M == 0) return "      " + RightAligned(Y, 4);
    if (D == 0) return RightAligned(Y, 4) + " " + (monthName ? monthName(static_cast<int>(M)) : RightAligned(M, 3)) + "  ";
    return RightAligned(D, 2) + "/" + RightAligned(M, 2) + "/" + RightAligned(Y, 4);
}

std::string SourceScaleField(int32_t ScaleOrig)
{
    if (ScaleOrig < 1) return "  Digital  ";
    std::string s = "1:" + std::to_string(ScaleOrig);
    if (s.size() < 9) s.append(9 - s.size(), ' ');
    return s;
}

std::string SourceTableLine(int32_t DateOrig, int32_t ScaleOrig, const std::string& Title, const MonthNameFn& monthName)
{
    return SourceDateField(DateOrig, monthName) + "   " + SourceScaleField(ScaleOrig) + "   " + Title;
}

std::vector<std::string> DSSourceLines(const MapView& view, MessageSink& sink, const MonthNameFn& monthName)
{
    std::vector<std::string> lines{kSourceTableHeading};
    if (!view.MDF || view.ClientHeight() <= 0) return lines;
    AddThemes(view.MDF->NextMAS, view, sink, monthName, lines);
    AddThemes(view.MDF->OverlayMAS, view, sink, monthName, lines);
    return lines;
}

} // namespace corvane
