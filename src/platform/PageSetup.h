#pragma once
// The printed page: paper size, the printer's unprintable border (minimum margins), the
// margins the user wants, the printer's resolution and the unit in which margins are shown.
// Margins are kept in inches from the paper edge. Printing code places its drawing on the
// printer canvas, whose origin is the corner of the printable area, at
// Trunc((margin - minimum margin) x dots per inch) from each edge.
//
// Two independent instances exist: the general one (maps, keys, text pages; edited by the
// Page Setup command) and the query report one.
#include <cstdint>
#include <functional>

namespace corvane {

class DialogService;
class MessageSink;

// What the current printer tells about itself, in printer dots.
struct PrinterFacts {
    bool hasDeviceMode = false;     // false: no printer settings can be read at all
    bool copiesSupported = false;   // the driver makes multiple copies itself
    bool collateSupported = false;  // the driver collates itself
    int offsetX = 0, offsetY = 0;   // printing offset: the printable corner from the paper corner
    int paperWidth = 0, paperHeight = 0;   // physical paper size
    int pageWidth = 0, pageHeight = 0;     // printable area
    int dpiX = 0, dpiY = 0;                // resolution, dots per inch
};

class PrinterFactsSource {
public:
    virtual ~PrinterFactsSource() = default;
    // Fills facts from the current printer; false when there is no printer.
    virtual bool Read(PrinterFacts& facts) const = 0;
};

// A fixed answer, for tests and for running without a printer.
class FixedPrinterFacts : public PrinterFactsSource {
public:
    FixedPrinterFacts() = default;
    explicit FixedPrinterFacts(const PrinterFacts& f) : facts(f), present(true) {}
    bool Read(PrinterFacts& out) const override
    {
        if (present) out = facts;
        return present;
    }
    PrinterFacts facts;
    bool present = false;
};

struct PageSetUpPoint {
    int32_t x = 0, y = 0;
};

struct PageSetUpRec {
    double minTopMargin = 0, minBottomMargin = 0, minLeftMargin = 0, minRightMargin = 0;   // inches
    double TopMargin = 1.0, BottomMargin = 1.0, LeftMargin = 1.0, RightMargin = 1.0;       // inches
    PageSetUpPoint PaperSize;     // physical paper width and height in printer dots
    uint16_t LogPixX = 0, LogPixY = 0;
    bool Metric = false;          // margins shown in centimetres (true) or inches (false)
};

class PageSetUpUnit {
public:
    // metricSource tells whether the system shows measurements in metric units; it is asked
    // at every GetMinPageSize.
    PageSetUpUnit() = default;

    void SetPrinter(const PrinterFactsSource* printer) { printer_ = printer; }
    void SetMetricSource(std::function<bool()> source) { metricSource_ = std::move(source); }

    PageSetUpRec PageSetUp;
    bool NumCopiesSupported = false;
    bool CollateSupported = false;

    void GetPrinterSupport();
    void GetMinPageSize();

    // In display units: centimetres when Metric, else inches.
    double GetTopMargin() const;
    double GetBottomMargin() const;
    double GetLeftMargin() const;
    double GetRightMargin() const;
    void SetTopMargin(double r);
    void SetBottomMargin(double r);
    void SetLeftMargin(double r);
    void SetRightMargin(double r);

    double GetTopMargin_Inch() const;
    double GetBottomMargin_Inch() const;
    double GetLeftMargin_Inch() const;
    double GetRightMargin_Inch() const;
    double GetminTopMargin_Inch() const;
    double GetminBottomMargin_Inch() const;
    double GetminLeftMargin_Inch() const;
    double GetminRightMargin_Inch() const;

    uint16_t GetPaperWidth() const { return static_cast<uint16_t>(PageSetUp.PaperSize.x); }
    uint16_t GetXDpi() const { return PageSetUp.LogPixX; }
    uint16_t GetYDpi() const { return PageSetUp.LogPixY; }

    // Offsets of the margins on the printer canvas, in dots: Trunc((margin - minimum) x dpi).
    // Negative when a margin is smaller than the printer's minimum.
    int32_t LeftOffset() const;
    int32_t TopOffset() const;
    int32_t RightOffset() const;
    int32_t BottomOffset() const;

    // Back to the start-up state: margins 1 inch, everything else zero.
    void Reset();

private:
    double ToDisplay(double inches) const;
    double FromDisplay(double r) const;

    const PrinterFactsSource* printer_ = nullptr;
    std::function<bool()> metricSource_;
};

// The two instances.
PageSetUpUnit& GeneralPageSetUp();
PageSetUpUnit& QueryPageSetUp();

// Values shown in the page set-up dialog: margins in hundredths of a millimetre (millimetres)
// or thousandths of an inch.
struct PageSetupDialogValues {
    bool millimetres = false;
    int32_t left = 1000, top = 1000, right = 1000, bottom = 1000;
};

// The Page Setup command on an instance: refreshes it from the printer, offers the margins in
// the dialog and stores what the user confirms. "Unable to load Page Setup dialog" when the
// dialog cannot be shown. True when the user confirmed.
bool RunPageSetupCommand(PageSetUpUnit& unit, DialogService& dialogs, MessageSink& sink);

} // namespace corvane
