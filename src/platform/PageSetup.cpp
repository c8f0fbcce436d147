#include "platform/PageSetup.h"

#include "platform/DialogService.h"
#include "platform/MessageSink.h"
#include "platform/Rounding.h"

namespace corvane {

namespace {
constexpr double kInchesPerCm = 0.39370078740157480316;
constexpr double kCmPerInch = 2.54;
} // namespace

void PageSetUpUnit::GetPrinterSupport()
{
    NumCopiesSupported = false;
    CollateSupported = false;
    PrinterFacts f;
    if (printer_ && printer_->Read(f) && f.hasDeviceMode) {
        NumCopiesSupported = f.copiesSupported;
        CollateSupported = f.collateSupported;
    }
}

void PageSetUpUnit::GetMinPageSize()
{
    GetPrinterSupport();
    PrinterFacts f;
    bool have = printer_ && printer_->Read(f);
    PageSetUpRec& r = PageSetUp;
    if (have) {
        r.PaperSize.x = f.paperWidth;
        r.PaperSize.y = f.paperHeight;
        r.LogPixX = static_cast<uint16_t>(f.dpiX > 0 && f.dpiX <= 0xFFFF ? f.dpiX : 0);
        r.LogPixY = static_cast<uint16_t>(f.dpiY > 0 && f.dpiY <= 0xFFFF ? f.dpiY : 0);
    } else {
        r.PaperSize = {};
        r.LogPixX = r.LogPixY = 0;
    }
    // Without a resolution there is nothing to divide by: the minimum margins stay zero
    // rather than becoming infinite.
    if (r.LogPixX > 0) {
        r.minLeftMargin = static_cast<double>(f.offsetX) / r.LogPixX;
        r.minRightMargin = static_cast<double>(r.PaperSize.x) / r.LogPixX - r.minLeftMargin -
                           static_cast<double>(f.pageWidth) / r.LogPixX;
    } else {
        r.minLeftMargin = r.minRightMargin = 0;
    }
    if (r.LogPixY > 0) {
        r.minTopMargin = static_cast<double>(f.offsetY) / r.LogPixY;
        r.minBottomMargin = static_cast<double>(r.PaperSize.y) / r.LogPixY - r.minTopMargin -
                            static_cast<double>(f.pageHeight) / r.LogPixY;
    } else {
        r.minTopMargin = r.minBottomMargin = 0;
    }
    r.Metric = metricSource_ ? metricSource_() : false;
}

double PageSetUpUnit::ToDisplay(double inches) const
{
    return Real48(PageSetUp.Metric ? inches * kCmPerInch : inches);
}

double PageSetUpUnit::FromDisplay(double r) const
{
    return Real48(PageSetUp.Metric ? r * kInchesPerCm : r);
}

double PageSetUpUnit::GetTopMargin() const { return ToDisplay(PageSetUp.TopMargin); }
double PageSetUpUnit::GetBottomMargin() const { return ToDisplay(PageSetUp.BottomMargin); }
double PageSetUpUnit::GetLeftMargin() const { return ToDisplay(PageSetUp.LeftMargin); }
double PageSetUpUnit::GetRightMargin() const { return ToDisplay(PageSetUp.RightMargin); }
void PageSetUpUnit::SetTopMargin(double r) { PageSetUp.TopMargin = FromDisplay(r); }
void PageSetUpUnit::SetBottomMargin(double r) { PageSetUp.BottomMargin = FromDisplay(r); }
void PageSetUpUnit::SetLeftMargin(double r) { PageSetUp.LeftMargin = FromDisplay(r); }
void PageSetUpUnit::SetRightMargin(double r) { PageSetUp.RightMargin = FromDisplay(r); }

double PageSetUpUnit::GetTopMargin_Inch() const { return Real48(PageSetUp.TopMargin); }
double PageSetUpUnit::GetBottomMargin_Inch() const { return Real48(PageSetUp.BottomMargin); }
double PageSetUpUnit::GetLeftMargin_Inch() const { return Real48(PageSetUp.LeftMargin); }
double PageSetUpUnit::GetRightMargin_Inch() const { return Real48(PageSetUp.RightMargin); }
double PageSetUpUnit::GetminTopMargin_Inch() const { return Real48(PageSetUp.minTopMargin); }
double PageSetUpUnit::GetminBottomMargin_Inch() const { return Real48(PageSetUp.minBottomMargin); }
double PageSetUpUnit::GetminLeftMargin_Inch() const { return Real48(PageSetUp.minLeftMargin); }
double PageSetUpUnit::GetminRightMargin_Inch() const { return Real48(PageSetUp.minRightMargin); }

int32_t PageSetUpUnit::LeftOffset() const
{
    return TruncI((GetLeftMargin_Inch() - GetminLeftMargin_Inch()) * GetXDpi());
}
int32_t PageSetUpUnit::TopOffset() const
{
    return TruncI((GetTopMargin_Inch() - GetminTopMargin_Inch()) * GetYDpi());
}
int32_t PageSetUpUnit::RightOffset() const
{
    return TruncI((GetRightMargin_Inch() - GetminRightMargin_Inch()) * GetXDpi());
}
int32_t PageSetUpUnit::BottomOffset() const
{
    return TruncI((GetBottomMargin_Inch() - GetminBottomMargin_Inch()) * GetYDpi());
}

void PageSetUpUnit::Reset()
{
    PageSetUp = PageSetUpRec{};
    NumCopiesSupported = CollateSupported = false;
}

PageSetUpUnit& GeneralPageSetUp()
{
    static PageSetUpUnit unit;
    return unit;
}

PageSetUpUnit& QueryPageSetUp()
{
    static PageSetUpUnit unit;
    return unit;
}

bool RunPageSetupCommand(PageSetUpUnit& unit, DialogService& dialogs, MessageSink& sink)
{
    unit.GetMinPageSize();
    PageSetupDialogValues v;
    v.millimetres = unit.PageSetUp.Metric;
    v.left = RoundI(unit.GetLeftMargin() * 1000);
    v.top = RoundI(unit.GetTopMargin() * 1000);
    v.right = RoundI(unit.GetRightMargin() * 1000);
    v.bottom = RoundI(unit.GetBottomMargin() * 1000);
    DialogOutcome outcome = dialogs.PageSetup(v);
    if (outcome == DialogOutcome::Failed) {
        ReportDialogFailure(sink, "Page Setup");
        return false;
    }
    if (outcome != DialogOutcome::Ok) return false;
    unit.SetLeftMargin(v.left * 0.001);
    unit.SetTopMargin(v.top * 0.001);
    unit.SetRightMargin(v.right * 0.001);
    unit.SetBottomMargin(v.bottom * 0.001);
    return true;
}

} // namespace corvane
