#include "query/QueryReport.h"

#include "platform/DataPath.h"
#include "platform/MessageSink.h"
#include "platform/Rounding.h"

#include <algorithm>

namespace corvane {

const char* const kCheckMasterFile = "Access Violation : Check the Master file";

namespace {

const std::string kSpaces70(70, ' ');
constexpr int32_t kPageInset = 11;   // pixels left of a left-justified heading

} // namespace

QueryReport::QueryReport(const Sym_Text_Control_Block* symText, const ByteSource& file, std::string fileName,
                         int32_t dataType, int32_t offset, MessageSink& messages)
    : reader_(file, dataType, offset), fileName_(std::move(fileName)), messages_(messages)
{
    if (symText)
        for (const Sym_Text_Line_Type* l = symText->Line_Array.get(); l; l = l->Next.get()) defs_.push_back({l, false});
}

void QueryReport::ReportOnce(bool& reported, const std::string& text)
{
    if (reported) return;
    reported = true;
    messages_.Info(text);
}

bool QueryReport::StartUp()
{
    CreditLine = -1;
    for (size_t i = 0; i < defs_.size(); ++i) {
        defs_[i].Already_Printed = false;
        if (defs_[i].line->Line_Code == 11) CreditLine = static_cast<int32_t>(i);
    }
    const bool ok = reader_.StartUp();
    nLines = reader_.nLines;
    ndisplines = reader_.ndisplines;
    if (!ok) {
        nLines = 0;
        ReportOnce(damageReported_, DamagedRecordText(fileName_));
    }
    return ok;
}

int32_t QueryReport::HeadingX(uint8_t Heading_Justify, int32_t W70, int32_t Wh)
{
    switch (Heading_Justify) {
    case 1: return kPageInset;
    case 2: return (W70 / 2 + kPageInset) - Wh / 2;
    case 3: return W70 + kPageInset - Wh;
    default: return 0;
    }
}

int32_t QueryReport::DataInsetWidth(Canvas& canvas, int16_t Data_Inset)
{
    if (Data_Inset == 0 || Data_Inset == 11) return 0;
    const int columns = (Data_Inset - 11) / 8;
    if (columns <= 0) return 0;
    return canvas.TextWidth(std::string(static_cast<size_t>(columns), ' '));
}

std::string QueryReport::IndentFor(Canvas& canvas, int32_t x)
{
    std::string spaces = " ";
    while (spaces.size() < 70 && canvas.TextWidth(spaces) < x) spaces += ' ';
    return spaces;
}

Colour QueryReport::DeviceColour(uint8_t index, const ReportDevice& d, bool isValue) const
{
    if (d.monochrome && d.output == otPrinter) return clBlack;
    const Colour c = DOSColour[index & 15];
    // On paper a white value would vanish: it is printed black. Headings keep their colour.
    if (isValue && d.output == otPrinter && c == clWhite) return clBlack;
    return c;
}

void QueryReport::Header_Out(size_t line, const ReportDevice& d)
{
    const Sym_Text_Line_Type& def = *defs_[line].line;
    Canvas& c = *d.canvas;
    // The heading's colour; black on a monochrome device, darkened on paper where too light.
    const bool mono = d.monochrome && d.output != otClipboard && d.output != otFile;
    const Colour own = DOSColour[def.Heading_Colour & 15];
    c.font.colour = mono ? clBlack : d.output == otPrinter && d.readableHeadings ? ReadableOnWhite(own) : own;
    const int32_t x = HeadingX(def.Heading_Justify, c.TextWidth(kSpaces70), c.TextWidth(def.Header_Text));
    switch (d.output) {
    case otScreen: c.TextOut(x, Info_Line_Count, def.Header_Text); break;
    case otPrinter: c.TextOut(d.LeftOffset + x - kPageInset, Info_Line_Count, def.Header_Text); break;
    case otClipboard:
    case otFile:
        if (d.lines) d.lines->push_back(IndentFor(c, x) + def.Header_Text);
        break;
    }
}

void QueryReport::Data_Out(size_t line, const ReportDevice& d)
{
    const Sym_Text_Line_Type& def = *defs_[line].line;
    Canvas& c = *d.canvas;
    const int32_t D = DataInsetWidth(c, def.Data_Inset);
    switch (d.output) {
    case otScreen:
        c.font.colour = DOSColour[def.Data_Colour & 15];
        c.TextOut(kPageInset + D, Info_Line_Count, txt);
        break;
    case otPrinter:
        c.font.colour = DeviceColour(def.Data_Colour, d, true);
        c.TextOut(d.LeftOffset + D, Info_Line_Count, txt);
        break;
    case otClipboard:
    case otFile:
        if (!d.lines) break;
        if ((def.Action == 2 || def.Action == 3 || def.Action == 6) && !d.lines->empty())
            d.lines->back() += txt;
        else
            d.lines->push_back(txt);
        break;
    }
}

void QueryReport::Print_Any_Preceding_Headers(size_t linetype, const ReportDevice& d)
{
    const int8_t h = defs_[linetype].line->Preceding_Header;
    if (h < 0) return;
    if (static_cast<size_t>(h) >= defs_.size()) {
        ReportOnce(masterReported_, kCheckMasterFile);
        return;
    }
    const size_t header = static_cast<size_t>(h);
    if (defs_[header].Already_Printed) return;
    const int32_t IH = ItemHeight;
    switch (defs_[header].line->Action) {
    case 2: Header_Out(header, d); Info_Line_Count += IH; break;
    case 3: Info_Line_Count += IH; Header_Out(header, d); Info_Line_Count += IH; break;
    case 4: Header_Out(header, d); Info_Line_Count += 2 * IH; break;
    case 5: Info_Line_Count += IH; Header_Out(header, d); Info_Line_Count += 2 * IH; break;
    case 6: Header_Out(header, d); break;
    default: break;
    }
    defs_[header].Already_Printed = true;
}

int32_t QueryReport::Display(const ReportDevice& d)
{
    Canvas& c = *d.canvas;
    const int32_t IH = ItemHeight;
    const int32_t startY = d.output == otPrinter ? d.TopOffset : TruncI(IH / 2.0);
    Info_Line_Count = startY;
    c.bkMode = BkMode::Transparent;

    const bool withValues = !defs_.empty() && (defs_[0].line->Data_Type == 1 || defs_[0].line->Data_Type == 10);
    QueryRecordReader::Entry entry;
    for (int i = 0; i < nLines; ++i) {
        if (!reader_.Next(withValues, entry)) {
            ReportOnce(damageReported_, DamagedRecordText(fileName_));
            break;
        }
        if (entry.clearFlags)
            for (Definition& def : defs_) def.Already_Printed = false;
        if (entry.hasValue) txt = entry.value;
        if (entry.lineCode >= defs_.size()) {
            ReportOnce(masterReported_, kCheckMasterFile);
            continue;
        }
        const size_t line = entry.lineCode;
        Print_Any_Preceding_Headers(line, d);
        switch (defs_[line].line->Action) {
        case 1: Data_Out(line, d); break;
        case 2: Header_Out(line, d); Data_Out(line, d); break;
        case 3: Info_Line_Count += IH; Header_Out(line, d); Data_Out(line, d); break;
        case 4: Header_Out(line, d); Info_Line_Count += IH; Data_Out(line, d); break;
        case 5: Info_Line_Count += IH; Header_Out(line, d); Info_Line_Count += IH; Data_Out(line, d); break;
        case 6: Header_Out(line, d); Data_Out(line, d); Info_Line_Count -= IH; break;
        case 7: Data_Out(line, d); Info_Line_Count -= IH; break;
        default: break;
        }
        Info_Line_Count += IH;
        if (d.output == otPrinter && d.PageHeight - d.BottomOffset < Info_Line_Count + IH) {
            if (d.NewPage) d.NewPage();
            Info_Line_Count = startY;
        }
    }

    c.bkMode = BkMode::Opaque;
    if (CreditLine >= 0) {
        Info_Line_Count += IH;
        Header_Out(static_cast<size_t>(CreditLine), d);
    }
    return Info_Line_Count;
}

uint16_t QueryItemHeight(int fontHeight, int pixelsPerInch)
{
    const int64_t ih = Trunc(-static_cast<double>(fontHeight) * pixelsPerInch / 72.0) - 1;
    return static_cast<uint16_t>(std::clamp<int64_t>(ih, 1, 65535));
}

int32_t ReportBitmapHeight(int32_t y, int32_t IH)
{
    if (IH <= 0) return std::max(y, 0);
    return ClampToInt(Round(static_cast<double>(y) / IH) * IH + 2 * int64_t{IH});
}

ReportWindowFit FitReportWindow(int32_t y, int32_t IH, int32_t panelHeight, int32_t captionHeight,
                                int32_t frameHeight, int32_t usableTop, int32_t usableBottom)
{
    ReportWindowFit f;
    f.bitmapHeight = ReportBitmapHeight(y, IH);
    const int64_t needed = int64_t{f.bitmapHeight} + 20 + captionHeight + frameHeight + panelHeight;
    const int64_t available = int64_t{usableBottom} - usableTop;
    if (needed <= available) {
        f.clientHeight = f.bitmapHeight + panelHeight;
        f.height = ClampToInt(int64_t{f.clientHeight} + captionHeight + frameHeight);
    } else {
        f.scrollBar = true;
        f.scrollRange = f.bitmapHeight + panelHeight;
        f.height = usableBottom;
    }
    f.top = (usableBottom - f.height) / 2;
    return f;
}

int PrinterFontHeight(Canvas& canvas, int32_t dpiX, int32_t available)
{
    constexpr int kSteps = 4096;   // enough for any printer; a bound against a canvas that never measures
    int h = -TruncI(dpiX / 6.0);
    if (h >= 0) h = -1;
    auto width69 = [&] {
        canvas.font.height = h;
        return int64_t{69} * canvas.TextWidth("A");
    };
    if (width69() > available) {
        for (int i = 0; i < kSteps && h < -1 && width69() > available; ++i) ++h;
    } else {
        int i = 0;
        do --h;
        while (++i < kSteps && width69() < available);
        ++h;
    }
    canvas.font.height = h;
    return h;
}

const char* const kQuerySaveFilter = "Text File (*.TXT)|*.TXT|Bitmap File (*.BMP)|*.BMP";
const char* const kQuerySaveTitle = "Save the Query Information";
const char* const kQuerySaveRefused = "To Save a Query file it must have a BMP or TXT file extension.";

std::string QuerySaveExtension(std::string& fileName, const std::string& filter, int filterIndex)
{
    const std::string name = ExtractFileName(fileName);
    const size_t dot = name.find_last_of('.');
    if (dot != std::string::npos) return UpperCase(name.substr(dot, 4));
    // The pattern of the chosen entry: two '|'-separated fields per earlier entry, then the
    // description, the '|' and the '*'.
    size_t at = 0;
    for (int skip = 2 * std::max(filterIndex - 1, 0) + 1; skip > 0 && at != std::string::npos; --skip) {
        at = filter.find('|', at);
        if (at != std::string::npos) ++at;
    }
    std::string ext;
    if (at != std::string::npos && at < filter.size() && filter[at] == '*') ext = filter.substr(at + 1, 4);
    fileName += ext;
    return UpperCase(ext);
}

std::string ReportText(const std::vector<std::string>& lines)
{
    std::string text;
    for (const std::string& l : lines) text += l + "\r\n";
    return text;
}

} // namespace corvane
