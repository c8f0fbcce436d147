#include "platform/DialogService.h"
#include "platform/MessageSink.h"
#include "platform/PageSetup.h"
#include "platform/VersionInfo.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace corvane;

namespace {

// A letter-size page at 600 dpi with a quarter-inch unprintable border all round.
PrinterFacts LetterAt600()
{
    PrinterFacts f;
    f.hasDeviceMode = true;
    f.dpiX = f.dpiY = 600;
    f.offsetX = f.offsetY = 150;
    f.paperWidth = 5100;
    f.paperHeight = 6600;
    f.pageWidth = 5100 - 300;
    f.pageHeight = 6600 - 300;
    return f;
}

} // namespace

TEST(PageSetup, MinimumMarginsAndOffsetsFromThePrinter)
{
    FixedPrinterFacts printer(LetterAt600());
    PageSetUpUnit unit;
    unit.SetPrinter(&printer);
    unit.GetMinPageSize();
    EXPECT_DOUBLE_EQ(unit.GetminLeftMargin_Inch(), 0.25);
    EXPECT_DOUBLE_EQ(unit.GetminTopMargin_Inch(), 0.25);
    EXPECT_DOUBLE_EQ(unit.GetminRightMargin_Inch(), 0.25);
    EXPECT_DOUBLE_EQ(unit.GetminBottomMargin_Inch(), 0.25);
    EXPECT_EQ(unit.GetPaperWidth(), 5100);
    EXPECT_EQ(unit.GetXDpi(), 600);
    // 1 inch margins: (1 - 0.25) x 600.
    EXPECT_EQ(unit.LeftOffset(), 450);
    EXPECT_EQ(unit.TopOffset(), 450);
    EXPECT_EQ(unit.RightOffset(), 450);
    EXPECT_EQ(unit.BottomOffset(), 450);
    // Below the minimum the offset goes negative, truncated towards zero.
    unit.SetLeftMargin(0.125);
    EXPECT_EQ(unit.LeftOffset(), -75);
    unit.SetRightMargin(0.1);   // -89.99...: truncation keeps -89
    EXPECT_EQ(unit.RightOffset(), -89);
    unit.SetTopMargin(0.2508);
    EXPECT_EQ(unit.TopOffset(), 0);
    EXPECT_FALSE(unit.NumCopiesSupported);
}

TEST(PageSetup, PrinterSupportFlagsAndNoPrinter)
{
    PrinterFacts f = LetterAt600();
    f.copiesSupported = true;
    FixedPrinterFacts printer(f);
    PageSetUpUnit unit;
    unit.SetPrinter(&printer);
    unit.GetMinPageSize();
    EXPECT_TRUE(unit.NumCopiesSupported);
    EXPECT_FALSE(unit.CollateSupported);
    f.hasDeviceMode = false;
    printer.facts = f;
    unit.GetPrinterSupport();
    EXPECT_FALSE(unit.NumCopiesSupported);

    // Without a printer (or a resolution) nothing divides by zero.
    FixedPrinterFacts none;
    unit.SetPrinter(&none);
    unit.GetMinPageSize();
    EXPECT_EQ(unit.GetminLeftMargin_Inch(), 0.0);
    EXPECT_EQ(unit.GetminBottomMargin_Inch(), 0.0);
    EXPECT_EQ(unit.LeftOffset(), 0);
    EXPECT_DOUBLE_EQ(unit.GetLeftMargin_Inch(), 1.0);
}

TEST(PageSetup, MetricMarginsGoThroughCentimetres)
{
    PageSetUpUnit unit;
    bool metric = true;
    unit.SetMetricSource([&] { return metric; });
    unit.GetMinPageSize();
    EXPECT_TRUE(unit.PageSetUp.Metric);
    EXPECT_NEAR(unit.GetLeftMargin(), 2.54, 1e-11);
    unit.SetRightMargin(2.0);
    EXPECT_NEAR(unit.GetRightMargin_Inch(), 0.7874015748, 5e-11);
    EXPECT_NE(unit.GetRightMargin_Inch(), 2.0 * 0.39370078740157480316);   // 48-bit precision
    metric = false;
    unit.GetMinPageSize();
    EXPECT_NEAR(unit.GetRightMargin(), 0.7874015748, 5e-11);
}

TEST(PageSetup, TheCommandOffersAndStoresMarginsInDialogUnits)
{
    PageSetUpUnit unit;
    unit.SetMetricSource([] { return true; });
    ScriptedDialogService dialogs;
    RecordingMessageSink sink;
    PageSetupDialogValues answer;
    answer.left = 2540;   // hundredths of a millimetre
    answer.top = 2000;
    answer.right = 1270;
    answer.bottom = 2540;
    dialogs.pageSetupAnswers.push_back({DialogOutcome::Ok, answer});
    ASSERT_TRUE(RunPageSetupCommand(unit, dialogs, sink));
    ASSERT_EQ(dialogs.pageSetupRequests.size(), 1u);
    EXPECT_TRUE(dialogs.pageSetupRequests[0].millimetres);
    EXPECT_EQ(dialogs.pageSetupRequests[0].left, 2540);
    EXPECT_EQ(dialogs.pageSetupRequests[0].bottom, 2540);
    EXPECT_NEAR(unit.GetLeftMargin_Inch(), 1.0, 1e-11);
    EXPECT_NEAR(unit.GetTopMargin_Inch(), 0.7874015748, 5e-11);
    EXPECT_NEAR(unit.GetRightMargin_Inch(), 0.5, 1e-11);

    // Offered again as they were stored; cancelling changes nothing.
    ASSERT_FALSE(RunPageSetupCommand(unit, dialogs, sink));
    EXPECT_EQ(dialogs.pageSetupRequests[1].left, 2540);
    EXPECT_EQ(dialogs.pageSetupRequests[1].top, 2000);
    EXPECT_EQ(dialogs.pageSetupRequests[1].right, 1270);
    EXPECT_NEAR(unit.GetTopMargin_Inch(), 0.7874015748, 5e-11);
    EXPECT_TRUE(sink.messages.empty());

    // Inches: thousandths.
    unit.SetMetricSource(nullptr);
    dialogs.pageSetupAnswers.push_back({DialogOutcome::Failed, {}});
    ASSERT_FALSE(RunPageSetupCommand(unit, dialogs, sink));
    EXPECT_FALSE(dialogs.pageSetupRequests[2].millimetres);
    EXPECT_EQ(dialogs.pageSetupRequests[2].left, 1000);
    EXPECT_EQ(dialogs.pageSetupRequests[2].right, 500);
    ASSERT_EQ(sink.messages.size(), 1u);
    EXPECT_EQ(sink.messages[0].text, "Unable to load Page Setup dialog");
    EXPECT_EQ(sink.messages[0].kind, MsgKind::Plain);
}

TEST(VersionInfo, DisplayedVersionAndItems)
{
    EXPECT_EQ(DisplayVersion("3.0.1.2"), "3.01b");
    EXPECT_EQ(DisplayVersion("3.0.1.1"), "3.01a");
    EXPECT_EQ(DisplayVersion("3.0.1.0"), "3.01");
    EXPECT_EQ(DisplayVersion("3.10.2.15"), "3.102a");
    EXPECT_EQ(DisplayVersion("2.5"), "2.5");

    FreeVersionInfo();
    EXPECT_EQ(GetVersionItem("ProductName"), "");
    GetVersionInfo();
    EXPECT_GT(Ver_Size, 0u);
    EXPECT_EQ(GetVersionItem("ProductName"), "Corvane");
    EXPECT_EQ(GetVersionItem("CompanyName"), "Halvern");
    EXPECT_EQ(DisplayVersion(GetVersionItem("FileVersion")), "3.01b");
    EXPECT_FALSE(GetVersionItem("LegalCopyright").empty());
    EXPECT_EQ(GetVersionItem("Comments"), "");
    FreeVersionInfo();
    EXPECT_EQ(Ver_Size, 0u);
}

TEST(VersionInfo, AboutBoxTexts)
{
    EXPECT_EQ(FormatKilobytes(16318744), "16,318,744 KB");
    EXPECT_EQ(FormatKilobytes(1000, '.'), "1.000 KB");
    EXPECT_EQ(FormatKilobytes(999), "999 KB");
    EXPECT_EQ(FormatSystemLine("Linux", "6.1.0-18-amd64", "Debian GNU/Linux 12 (bookworm)"),
              " Linux 6.1.0-18-amd64 (Debian GNU/Linux 12 (bookworm))");
    EXPECT_EQ(FormatSystemLine("Linux", "6.1.0", ""), " Linux 6.1.0");
}
