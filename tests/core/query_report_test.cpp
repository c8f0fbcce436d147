// Query information records and their layout: files built by the atlas compiler's
// information file builder (and damaged by hand), laid out on a recording canvas (8 pixels a
// character) and as text.
#include "LayerData.h"
#include "catalogue/MasterFile.h"
#include "platform/ByteSource.h"
#include "platform/MessageSink.h"
#include "platform/RecordingCanvas.h"
#include "query/QueryRecord.h"
#include "query/QueryReport.h"

#include <gtest/gtest.h>

namespace corvane {
namespace {

using Lines = std::vector<std::string>;

struct Def {
    uint8_t code = 0, action = 2, justify = 1, headColour = 14, dataColour = 15;
    int8_t header = -1;
    int16_t inset = 139;
    std::string text;
};

// A report of one record: the definitions (the first carrying values) and the record's
// entries, or bytes of its own.
struct Report {
    Report(const std::vector<Def>& defs, const std::vector<atlas::InfoFileBuilder::Entry>& entries)
        : Report(defs, Build(entries), 0)
    {
    }
    Report(const std::vector<Def>& defs, std::vector<uint8_t> bytes, int32_t offset, int kind = 1)
        : block(Block(defs)), file(std::move(bytes)), report(block.get(), file, "TEST.DAT", kind, offset, sink)
    {
        report.ItemHeight = 20;
    }
    static std::unique_ptr<Sym_Text_Control_Block> Block(const std::vector<Def>& defs)
    {
        if (defs.empty()) return nullptr;
        auto b = std::make_unique<Sym_Text_Control_Block>();
        std::unique_ptr<Sym_Text_Line_Type>* next = &b->Line_Array;
        for (const Def& d : defs) {
            *next = std::make_unique<Sym_Text_Line_Type>();
            Sym_Text_Line_Type& l = **next;
            l.Line_Code = d.code, l.Action = d.action, l.Preceding_Header = d.header, l.Heading_Justify = d.justify;
            l.Heading_Colour = d.headColour, l.Data_Inset = d.inset, l.Data_Colour = d.dataColour, l.Header_Text = d.text;
            l.Data_Type = next == &b->Line_Array ? 1 : 0;
            next = &l.Next;
        }
        return b;
    }
    static std::vector<uint8_t> Build(const std::vector<atlas::InfoFileBuilder::Entry>& entries)
    {
        atlas::InfoFileBuilder b(1);
        b.AddRecord(entries, true);
        return b.Bytes();
    }
    int32_t Out(ReportDevice d)
    {
        canvas.records.clear();
        d.canvas = &canvas;
        return report.StartUp() ? report.Display(d) : -1;
    }
    Lines Text()
    {
        Lines lines;
        ReportDevice d;
        d.output = otFile;
        d.lines = &lines;
        Out(d);
        return lines;
    }
    std::vector<const RecordingCanvas::Record*> Screen()
    {
        Out(ReportDevice{});
        return canvas.Of(RecordingCanvas::Op::Text);
    }

    std::unique_ptr<Sym_Text_Control_Block> block;
    MemorySource file;
    RecordingMessageSink sink;
    RecordingCanvas canvas{800, 4500};
    QueryReport report;
};

const Def kValueOnly{0, 1, 1, 14, 15, -1, 11, ""};

TEST(QueryRecord, OneLineRecordsMarkersAndTheirBounds)
{
    atlas::InfoFileBuilder b(0);
    b.AddLine("First");
    const uint32_t second = b.AddLine("12\xF8" "C");
    std::string text;
    ASSERT_TRUE(ReadSingleLine(MemorySource(b.Bytes()), second, text));
    EXPECT_EQ(text, "12\xF8" "C");   // as it stands: the letter o with a stroke
    EXPECT_FALSE(ReadSingleLine(MemorySource(b.Bytes()), static_cast<int64_t>(b.Bytes().size()), text));
    std::vector<uint8_t> cut = b.Bytes();
    cut.pop_back();   // the length byte asks for more than the file holds
    EXPECT_FALSE(ReadSingleLine(MemorySource(cut), second, text));

    // Kind 2 reads a display count; a value of 80 bytes keeps 70; a marker's next byte is a
    // line code even when it is 0xFF.
    std::vector<uint8_t> f = {2, 9, 0xFE, 0xFF, 80};
    f.insert(f.end(), 80, 'x');
    f.push_back(0);
    MemorySource file(f);
    QueryRecordReader r(file, 2, 0);
    ASSERT_TRUE(r.StartUp());
    EXPECT_EQ(r.ndisplines, 9);
    QueryRecordReader::Entry e;
    ASSERT_TRUE(r.Next(true, e));
    EXPECT_TRUE(e.clearFlags);
    EXPECT_EQ(e.lineCode, 0xFF);
    EXPECT_EQ(e.value, std::string(70, 'x'));
    ASSERT_TRUE(r.Next(false, e));
    EXPECT_EQ(e.lineCode, 0);
    EXPECT_FALSE(r.Next(false, e));   // past the end
    EXPECT_FALSE(QueryRecordReader(file, 1, file.Size()).StartUp());
}

TEST(QueryReport, ContinuationsThatLoopEndWithTheDamageMessage)
{
    // 200 entries; the second jumps to 9, where the next entry jumps back to 9 again.
    Report r({kValueOnly}, {200, 0, 1, 'a', 0xFF, 9, 0, 0, 0, 0, 1, 'b', 0xFF, 9, 0, 0, 0}, 0);
    EXPECT_EQ(r.Text(), (Lines{"a", "b"}));
    EXPECT_EQ(r.sink.Texts(), Lines{DamagedRecordText("TEST.DAT")});
    EXPECT_EQ(r.Text().size(), 2u);   // every output stops there; the damage is told once
    EXPECT_EQ(r.sink.messages.size(), 1u);
}

TEST(QueryReport, ContinuationCountsItsEntryOnce)
{
    atlas::InfoFileBuilder b(1);
    b.AddRecord({{0, "a"}, {0, "shared-1", false, true}, {0, "shared-2"}}, true);
    const uint32_t second = b.AddRecord({{0, "b"}, {0, "shared-1", false, true}, {0, "shared-2"}}, true);
    ASSERT_LT(b.Bytes().size(), second + 12u);   // the second record jumps to the first's rest
    Report r({kValueOnly}, b.Bytes(), static_cast<int32_t>(second));
    EXPECT_EQ(r.Text(), (Lines{"b", "shared-1", "shared-2"}));
    EXPECT_EQ(r.report.nLines, 3);
    EXPECT_TRUE(r.sink.messages.empty());
}

TEST(QueryReport, EveryTruncationAndDamagedByteEndsCleanly)
{
    atlas::InfoFileBuilder b(2);
    b.AddRecord({{0, "first"}, {1, "rest", false, true}, {0, "end"}}, true);
    const uint32_t at = b.AddRecord({{1, "x", true}, {1, "rest", false, true}, {0, "end"}}, true);
    const std::vector<Def> defs{{0, 2, 1, 14, 15, 1, 139, "A:"}, {0, 6, 2, 14, 15, -1, 139, "B:"}, {11, 0, 3, 7, 15, -1, 11, "C"}};
    const std::vector<uint8_t> good = b.Bytes();
    for (size_t i = 0; i <= good.size(); ++i)
        for (int flip : {-1, 0x00, 0x46, 0xFE, 0xFF}) {
            std::vector<uint8_t> bad = good;
            if (flip < 0)
                bad.resize(i);   // cut short
            else if (i < bad.size())
                bad[i] = static_cast<uint8_t>(flip);
            Report r(defs, bad, static_cast<int32_t>(at), 2);
            r.Text();
            r.Screen();
            EXPECT_LE(r.sink.messages.size(), 2u);   // damage and definitions, each told once
        }
}

TEST(QueryReport, CreditLineIsTheLastLineCode11)
{
    Report none({{0, 2, 1, 14, 15, -1, 139, "Town:"}, {0, 0, 1, 14, 15, -1, 11, "Not a credit"}}, {{0, "Oslo"}});
    EXPECT_EQ(none.Text(), Lines{"  Town:Oslo"});
    EXPECT_EQ(none.report.CreditLine, -1);

    Report two({{0, 2, 1, 14, 15, -1, 139, "Town:"}, {11, 0, 2, 7, 15, -1, 11, "First"}, {11, 0, 2, 7, 15, -1, 11, "Second"}},
               {{0, "Oslo"}});
    const auto t = two.Screen();
    EXPECT_EQ(two.report.CreditLine, 2);
    ASSERT_EQ(t.size(), 3u);
    EXPECT_EQ(t[2]->text, "Second");
    // One line below the report (10, then 30, then 50), on an opaque background.
    EXPECT_EQ(t[2]->pts[0].y, 50);
    EXPECT_EQ(t[2]->bkMode, BkMode::Opaque);
    EXPECT_EQ(t[2]->font.colour, DOSColour[7]);
    EXPECT_EQ(t[0]->bkMode, BkMode::Transparent);
}

TEST(QueryReport, SharedHeaderPrintsOnceUntilFlagsAreCleared)
{
    // Definition 2, "Position" (Action 3), heads the latitude and longitude lines.
    Report r({{0, 2, 1, 14, 15, 2, 139, "Lat:"}, {0, 2, 1, 14, 15, 2, 139, "Lon:"}, {0, 3, 1, 10, 15, -1, 11, "Position"}},
             {{0, "60N"}, {1, "5E"}, {0, "61N", true}, {1, "6E"}});
    EXPECT_EQ(r.Text(), (Lines{"  Position", "  Lat:60N", "  Lon:5E", "  Position", "  Lat:61N", "  Lon:6E"}));
    const auto t = r.Screen();
    ASSERT_EQ(t.size(), 10u);
    // Action 3 steps down a line before and after the header: 10 + 20, then 50.
    EXPECT_EQ(t[0]->pts[0].y, 30);
    EXPECT_EQ(t[1]->pts[0].y, 50);
    EXPECT_EQ(t[5]->text, "Position");
    EXPECT_EQ(t[5]->pts[0].y, 110);
}

TEST(QueryReport, HeadingPlacesInsetsAndTextLines)
{
    // 70 spaces are 560 pixels wide.
    EXPECT_EQ(QueryReport::HeadingX(2, 560, 80), 251);   // centred
    EXPECT_EQ(QueryReport::HeadingX(3, 560, 80), 491);   // ending at 11 + 560
    Report r({{0, 2, 0, 14, 12, -1, 139, "Edge"}, {0, 2, 1, 14, 15, -1, 11, "Left"}, {0, 4, 1, 14, 15, -1, 139, "Remarks:"},
              {0, 7, 1, 14, 15, -1, 139, ""}},
             {{0, "v1"}, {1, "v2"}, {2, "Sunk in a gale"}, {3, "alone"}});
    const auto t = r.Screen();
    ASSERT_EQ(t.size(), 7u);
    EXPECT_EQ(t[0]->pts[0].x, 0);          // Heading_Justify 0
    EXPECT_EQ(t[2]->pts[0].x, 11);         // left-justified
    EXPECT_EQ(t[1]->pts[0].x, 11 + 128);   // Data_Inset 139: 16 columns
    EXPECT_EQ(t[3]->pts[0].x, 11);         // Data_Inset 11: none
    EXPECT_EQ(t[1]->font.colour, DOSColour[12]);
    EXPECT_EQ(t[5]->pts[0].y, t[4]->pts[0].y + 20);   // Action 4: the value below
    EXPECT_EQ(t[6]->pts[0].y, t[5]->pts[0].y + 20);   // Action 7 steps back up after it
    // Text: one space at least, then to the heading's x; values of Actions 2, 3 and 6 on the
    // heading's line, others on their own, unindented.
    EXPECT_EQ(r.Text(), (Lines{" Edgev1", "  Leftv2", "  Remarks:", "Sunk in a gale", "alone"}));
    // Action 6 steps back up on the screen; in the text its value follows the heading too.
    Report six({{0, 6, 1, 14, 15, -1, 11, "Depth:"}, {0, 6, 1, 14, 15, -1, 11, "Wreck:"}}, {{0, "20 m"}, {1, "yes"}});
    EXPECT_EQ(six.Text(), (Lines{"  Depth:20 m", "  Wreck:yes"}));
}

TEST(QueryReport, PrinterColoursMarginsAndPages)
{
    std::vector<atlas::InfoFileBuilder::Entry> entries;
    for (int i = 0; i < 10; ++i) entries.push_back({static_cast<uint8_t>(i % 2), "v"});
    for (bool mono : {false, true}) {
        Report r({{0, 2, 1, 14, 15, -1, 139, "Name:"}, {0, 2, 3, 15, 12, -1, 11, "Depth:"}}, entries);
        int pages = 0;
        ReportDevice d;
        d.output = otPrinter;
        d.monochrome = mono;
        d.LeftOffset = 450, d.TopOffset = 100, d.BottomOffset = 100;
        d.PageHeight = 300;   // room for lines at 100 .. 180
        d.NewPage = [&] { ++pages; };
        r.Out(d);
        const auto t = r.canvas.Of(RecordingCanvas::Op::Text);
        ASSERT_EQ(t.size(), 20u);
        EXPECT_EQ(pages, 2);
        EXPECT_EQ(t[0]->pts[0], (Point{450, 100}));         // heading: margin + 11 - 11
        EXPECT_EQ(t[1]->pts[0], (Point{450 + 128, 100}));   // value: margin + inset
        EXPECT_EQ(t[9]->pts[0].y, 180);
        EXPECT_EQ(t[10]->pts[0].y, 100);                    // the second page
        const std::vector<Colour> colours{t[0]->font.colour, t[1]->font.colour, t[2]->font.colour, t[3]->font.colour};
        // A white value prints black; a white heading keeps its colour; monochrome is all black.
        const std::vector<Colour> expected =
            mono ? std::vector<Colour>(4, clBlack) : std::vector<Colour>{DOSColour[14], clBlack, clWhite, DOSColour[12]};
        EXPECT_EQ(colours, expected);
    }
    // Readable headings: yellow and white headings print darkened to a shade that reads on
    // white paper, the yellow still yellow; the values and the screen keep their colours.
    for (Output out : {otPrinter, otScreen}) {
        Report r({{0, 2, 1, 14, 15, -1, 139, "Name:"}, {0, 2, 3, 15, 12, -1, 11, "Depth:"}}, entries);
        ReportDevice d;
        d.output = out;
        d.readableHeadings = true;
        d.PageHeight = 10000;
        d.NewPage = [] {};
        r.Out(d);
        const auto t = r.canvas.Of(RecordingCanvas::Op::Text);
        ASSERT_GE(t.size(), 4u);
        const Colour yellow = t[0]->font.colour, white = t[2]->font.colour;
        if (out == otScreen) {
            EXPECT_EQ(yellow, DOSColour[14]);
            EXPECT_EQ(white, clWhite);
            continue;
        }
        EXPECT_GE(ContrastRatio(yellow, clWhite), kReadableContrast);
        EXPECT_LT(ContrastRatio(yellow, clWhite), kReadableContrast + 0.5);   // no darker than it needs
        EXPECT_EQ(RedOf(yellow), GreenOf(yellow));
        EXPECT_EQ(BlueOf(yellow), 0);
        EXPECT_GE(ContrastRatio(white, clWhite), kReadableContrast);
        EXPECT_EQ(t[3]->font.colour, DOSColour[12]);
    }
}

TEST(QueryReport, BadLineCodesAndHeadersAskToCheckTheMasterFile)
{
    Report r({{0, 2, 1, 14, 15, 9, 139, "Name:"}}, {{0, "a"}, {5, "b"}, {0, "c"}});
    EXPECT_EQ(r.Text(), (Lines{"  Name:a", "  Name:c"}));
    EXPECT_EQ(r.sink.Texts(), Lines{kCheckMasterFile});
    Report none({}, Report::Build({{0, "a"}}), 0);   // a theme without definitions
    EXPECT_TRUE(none.Text().empty());
    EXPECT_TRUE(none.sink.Contains(kCheckMasterFile));
}

// A canvas whose characters are 0.6 of the font height wide.
class ScalingCanvas : public RecordingCanvas {
public:
    ScalingCanvas() : RecordingCanvas(100, 100) {}
    int TextWidth(const std::string& t) override { return static_cast<int>(t.size()) * (-font.height * 6 / 10); }
};

TEST(QueryReport, WindowFitAndPrinterFont)
{
    EXPECT_EQ(ReportBitmapHeight(95, 20), 140);   // Round(4.75) lines and two more
    const ReportWindowFit small = FitReportWindow(95, 20, 70, 20, 4, 0, 1000);
    EXPECT_FALSE(small.scrollBar);
    EXPECT_EQ(small.clientHeight, 210);
    EXPECT_EQ(small.top, (1000 - 234) / 2);
    const ReportWindowFit tall = FitReportWindow(2000, 20, 70, 20, 4, 30, 1000);
    EXPECT_TRUE(tall.scrollBar);
    EXPECT_EQ(tall.height, 1000);
    EXPECT_EQ(tall.scrollRange, 2040 + 70);
    EXPECT_FALSE(FitReportWindow(0, 20, 70, 20, 4, 0, 154).scrollBar);   // exactly fits
    EXPECT_TRUE(FitReportWindow(0, 20, 70, 20, 4, 1, 154).scrollBar);
    EXPECT_EQ(QueryItemHeight(-16, 96), 20);

    // 600 dpi starts at -100: 69 x 60 > 3000 shrinks to the largest that fits; 6000 grows to
    // the last that does not pass.
    ScalingCanvas c;
    EXPECT_EQ(PrinterFontHeight(c, 600, 3000), -73);
    EXPECT_EQ(PrinterFontHeight(c, 600, 6000), -144);
}

TEST(QueryReport, SaveExtensions)
{
    std::string name = "/tmp/report";
    EXPECT_EQ(QuerySaveExtension(name, kQuerySaveFilter, 2), ".BMP");
    EXPECT_EQ(name, "/tmp/report.BMP");
    name = "/tmp/a.b/report.txt";
    EXPECT_EQ(QuerySaveExtension(name, kQuerySaveFilter, 2), ".TXT");
    EXPECT_EQ(name, "/tmp/a.b/report.txt");
}

} // namespace
} // namespace corvane
