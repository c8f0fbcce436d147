// Query information records and their layout: files built by the atlas compiler's
// information file builder (and damaged by hand), laid out on a recording canvas and as text.
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

using Entry = atlas::InfoFileBuilder::Entry;

struct Def {
    uint8_t code = 0, action = 2, justify = 1, headColour = 14, dataColour = 15;
    int8_t header = -1;
    int16_t inset = 11;
    std::string text;
};

// A definition that shows only the value, on a line of its own.
const Def kValueOnly{0, 1, 1, 14, 15, -1, 11, ""};

// A block of definitions; the first carries values (Data_Type 1) unless told otherwise.
std::unique_ptr<Sym_Text_Control_Block> Block(const std::vector<Def>& defs, uint8_t firstDataType = 1)
{
    auto b = std::make_unique<Sym_Text_Control_Block>();
    b->Number_Of_Defns = static_cast<uint8_t>(defs.size() - 1);
    std::unique_ptr<Sym_Text_Line_Type>* next = &b->Line_Array;
    for (size_t i = 0; i < defs.size(); ++i) {
        auto l = std::make_unique<Sym_Text_Line_Type>();
        l->Line_Code = defs[i].code;
        l->Data_Type = i == 0 ? firstDataType : 0;
        l->Action = defs[i].action;
        l->Preceding_Header = defs[i].header;
        l->Heading_Justify = defs[i].justify;
        l->Heading_Colour = defs[i].headColour;
        l->Data_Inset = defs[i].inset;
        l->Data_Colour = defs[i].dataColour;
        l->Header_Text = defs[i].text;
        *next = std::move(l);
        next = &(*next)->Next;
    }
    return b;
}

// One report over bytes, with its canvas and messages.
struct Report {
    Report(const Sym_Text_Control_Block* block, std::vector<uint8_t> bytes, int32_t offset, int kind = 1)
        : file(std::move(bytes)), report(block, file, "TEST.DAT", kind, offset, sink)
    {
        report.ItemHeight = 20;
    }
    std::vector<std::string> Text()
    {
        std::vector<std::string> lines;
        ReportDevice d;
        d.output = otFile;
        d.canvas = &canvas;
        d.lines = &lines;
        if (report.StartUp()) report.Display(d);
        return lines;
    }
    int32_t Screen()
    {
        canvas.records.clear();
        ReportDevice d;
        d.output = otScreen;
        d.canvas = &canvas;
        return report.StartUp() ? report.Display(d) : -1;
    }
    std::vector<std::string> Texts() const
    {
        std::vector<std::string> t;
        for (const auto* r : canvas.Of(RecordingCanvas::Op::Text)) t.push_back(r->text);
        return t;
    }
    MemorySource file;
    RecordingMessageSink sink;
    RecordingCanvas canvas{800, 4500};
    QueryReport report;
};

TEST(QueryRecord, OneLineRecordsAndTheirBounds)
{
    atlas::InfoFileBuilder b(0);
    b.AddLine("First");
    const uint32_t second = b.AddLine(std::string("12\xF8" "C"));
    MemorySource file(b.Bytes());
    std::string text;
    ASSERT_TRUE(ReadSingleLine(file, second, text));
    EXPECT_EQ(text, "12\xB0" "C");   // the DOS degree sign becomes the Windows one
    EXPECT_FALSE(ReadSingleLine(file, file.Size(), text));   // past the end
    // A length byte that asks for more than the file holds.
    std::vector<uint8_t> cut = b.Bytes();
    cut.pop_back();
    EXPECT_FALSE(ReadSingleLine(MemorySource(cut), second, text));
}

TEST(QueryRecord, MarkersLongValuesAndDamage)
{
    // Entry 1 after 0xFE; entry 2 continues through 0xFF elsewhere; a value of 80 bytes keeps 70.
    std::vector<uint8_t> f = {3, 0, 1, 'a', 0xFE, 1, 1, 'b', 0xFF, 0, 0, 0, 0};
    const int32_t target = static_cast<int32_t>(f.size());
    f[9] = static_cast<uint8_t>(target);
    f.push_back(0);
    f.push_back(80);
    f.insert(f.end(), 80, 'x');
    MemorySource file(f);
    QueryRecordReader r(file, 1, 0);
    ASSERT_TRUE(r.StartUp());
    EXPECT_EQ(r.nLines, 3);
    EXPECT_EQ(r.ndisplines, 3);
    QueryRecordReader::Entry e;
    ASSERT_TRUE(r.Next(true, e));
    EXPECT_FALSE(e.clearFlags);
    ASSERT_TRUE(r.Next(true, e));
    EXPECT_TRUE(e.clearFlags);
    EXPECT_EQ(e.value, "b");
    ASSERT_TRUE(r.Next(true, e));
    EXPECT_EQ(e.lineCode, 0);
    EXPECT_EQ(e.value, std::string(70, 'x'));

    // Kind 2 reads its display count; a record past the end is damaged.
    MemorySource kind2(std::vector<uint8_t>{2, 7});
    QueryRecordReader r2(kind2, 2, 0);
    ASSERT_TRUE(r2.StartUp());
    EXPECT_EQ(r2.ndisplines, 7);
    EXPECT_FALSE(QueryRecordReader(kind2, 1, 2).StartUp());

    // A marker's next byte is a line code even when it is 0xFF.
    MemorySource fe(std::vector<uint8_t>{1, 0xFE, 0xFF});
    QueryRecordReader r3(fe, 1, 0);
    ASSERT_TRUE(r3.StartUp());
    ASSERT_TRUE(r3.Next(false, e));
    EXPECT_EQ(e.lineCode, 0xFF);
}

TEST(QueryReport, ContinuationsThatLoopEndWithTheDamageMessage)
{
    auto block = Block({kValueOnly});
    // Offset 0: 200 entries; the second jumps to 9, where the next entry jumps back to 9 again.
    std::vector<uint8_t> f = {200, 0, 1, 'a', 0xFF, 9, 0, 0, 0, 0, 1, 'b', 0xFF, 9, 0, 0, 0};
    Report r(block.get(), f, 0);
    const std::vector<std::string> lines = r.Text();
    EXPECT_EQ(lines, (std::vector<std::string>{"a", "b"}));
    EXPECT_EQ(r.sink.Texts(), std::vector<std::string>{DamagedRecordText("TEST.DAT")});
    // Every output stops there; the damage is told once.
    EXPECT_EQ(r.Text().size(), 2u);
    EXPECT_EQ(r.sink.messages.size(), 1u);
}

TEST(QueryReport, CreditLineIsTheLastLineCode11)
{
    atlas::InfoFileBuilder b(1);
    const uint32_t at = b.AddRecord({{0, "Oslo"}}, true);
    auto none = Block({{0, 2, 1, 14, 15, -1, 139, "Town:"}, {0, 0, 1, 14, 15, -1, 11, "Not a credit"}});
    Report r1(none.get(), b.Bytes(), static_cast<int32_t>(at));
    EXPECT_EQ(r1.Text(), std::vector<std::string>{"  Town:Oslo"});
    EXPECT_EQ(r1.report.CreditLine, -1);
    r1.Screen();
    EXPECT_EQ(r1.Texts(), (std::vector<std::string>{"Town:", "Oslo"}));

    auto two = Block({{0, 2, 1, 14, 15, -1, 139, "Town:"},
                      {11, 0, 2, 7, 15, -1, 11, "First credit"},
                      {11, 0, 2, 7, 15, -1, 11, "Second credit"}});
    Report r2(two.get(), b.Bytes(), static_cast<int32_t>(at));
    const int32_t y = r2.Screen();
    EXPECT_EQ(r2.report.CreditLine, 2);
    ASSERT_EQ(r2.Texts(), (std::vector<std::string>{"Town:", "Oslo", "Second credit"}));
    // The credit line stands one line below the report, on an opaque background.
    const auto* credit = r2.canvas.Of(RecordingCanvas::Op::Text).back();
    EXPECT_EQ(credit->pts[0].y, y);
    EXPECT_EQ(y, 10 + 20 + 20);
    EXPECT_EQ(credit->bkMode, BkMode::Opaque);
    EXPECT_EQ(credit->font.colour, DOSColour[7]);
}

TEST(QueryReport, SharedHeaderPrintsOnceUntilFlagsAreCleared)
{
    // Definition 2 is the header "Position" (Action 3) of the latitude and longitude lines.
    auto block = Block({{0, 2, 1, 14, 15, 2, 139, "Lat:"}, {0, 2, 1, 14, 15, 2, 139, "Lon:"}, {0, 3, 1, 10, 15, -1, 11, "Position"}});
    atlas::InfoFileBuilder b(1);
    const uint32_t at = b.AddRecord({{0, "60N"}, {1, "5E"}, {0, "61N", true}, {1, "6E"}}, true);
    Report r(block.get(), b.Bytes(), static_cast<int32_t>(at));
    EXPECT_EQ(r.Text(), (std::vector<std::string>{"  Position", "  Lat:60N", "  Lon:5E", "  Position", "  Lat:61N",
                                                  "  Lon:6E"}));
    r.Screen();
    const auto texts = r.canvas.Of(RecordingCanvas::Op::Text);
    ASSERT_EQ(texts.size(), 10u);
    // The header's Action 3 steps down a line before and after it: 10 + 20 = 30, then 50.
    EXPECT_EQ(texts[0]->text, "Position");
    EXPECT_EQ(texts[0]->pts[0].y, 30);
    EXPECT_EQ(texts[1]->pts[0].y, 50);
    EXPECT_EQ(texts[5]->text, "Position");
}

TEST(QueryReport, ContinuationCountsItsEntryOnce)
{
    auto block = Block({kValueOnly});
    atlas::InfoFileBuilder b(2);
    b.AddRecord({{0, "a"}, {0, "shared-1", false, true}, {0, "shared-2"}}, true, uint8_t{9});
    const uint32_t second = b.AddRecord({{0, "b"}, {0, "shared-1", false, true}, {0, "shared-2"}}, true);
    ASSERT_NE(std::find(b.Bytes().begin() + second, b.Bytes().end(), 0xFF), b.Bytes().end());
    Report r(block.get(), b.Bytes(), static_cast<int32_t>(second), 2);
    EXPECT_EQ(r.Text(), (std::vector<std::string>{"b", "shared-1", "shared-2"}));
    EXPECT_EQ(r.report.nLines, 3);
    EXPECT_TRUE(r.sink.messages.empty());
    Report first(block.get(), b.Bytes(), 0, 2);
    first.Text();
    EXPECT_EQ(first.report.ndisplines, 9);
}

TEST(QueryReport, HeadingPlacesAndInsets)
{
    // Canvas: 8 pixels a character, so 70 spaces are 560 wide.
    EXPECT_EQ(QueryReport::HeadingX(0, 560, 80), 0);
    EXPECT_EQ(QueryReport::HeadingX(1, 560, 80), 11);
    EXPECT_EQ(QueryReport::HeadingX(2, 560, 80), 251);   // centred on the page of 70 spaces
    EXPECT_EQ(QueryReport::HeadingX(2, 560, 81), 251);
    EXPECT_EQ(QueryReport::HeadingX(3, 560, 80), 491);   // ending at its right edge, 11 + 560
    RecordingCanvas c(100, 100);
    EXPECT_EQ(QueryReport::DataInsetWidth(c, 0), 0);
    EXPECT_EQ(QueryReport::DataInsetWidth(c, 11), 0);
    EXPECT_EQ(QueryReport::DataInsetWidth(c, 139), 16 * 8);
    EXPECT_EQ(QueryReport::DataInsetWidth(c, 5), 0);

    auto block = Block({{0, 2, 0, 14, 12, -1, 139, "Left edge"}, {0, 2, 1, 14, 15, -1, 139, "Inset"}});
    atlas::InfoFileBuilder b(1);
    const uint32_t at = b.AddRecord({{0, "v1"}, {1, "v2"}}, true);
    Report r(block.get(), b.Bytes(), static_cast<int32_t>(at));
    r.Screen();
    const auto t = r.canvas.Of(RecordingCanvas::Op::Text);
    ASSERT_EQ(t.size(), 4u);
    EXPECT_EQ(t[0]->pts[0].x, 0);
    EXPECT_EQ(t[2]->pts[0].x, 11);
    EXPECT_LT(t[0]->pts[0].x, t[2]->pts[0].x);
    EXPECT_EQ(t[1]->pts[0].x, 11 + 128);
    EXPECT_EQ(t[1]->font.colour, DOSColour[12]);
    EXPECT_EQ(t[0]->font.colour, DOSColour[14]);
    EXPECT_EQ(t[0]->bkMode, BkMode::Transparent);
    // In the text, a heading at x = 0 still starts with one space; one at x = 11 with two.
    EXPECT_EQ(r.Text(), (std::vector<std::string>{" Left edgev1", "  Insetv2"}));
}

TEST(QueryReport, TextOfActionsTwoAndFour)
{
    auto block = Block({{0, 4, 1, 14, 15, -1, 139, "Remarks:"}, {0, 2, 1, 14, 15, -1, 139, "Depth:"},
                        {0, 7, 1, 14, 15, -1, 139, "unused"}});
    atlas::InfoFileBuilder b(1);
    const uint32_t at = b.AddRecord({{0, "Sunk in a gale"}, {1, "12 m"}, {2, "alone"}}, true);
    Report r(block.get(), b.Bytes(), static_cast<int32_t>(at));
    EXPECT_EQ(r.Text(), (std::vector<std::string>{"  Remarks:", "Sunk in a gale", "  Depth:12 m", "alone"}));
    // On the screen Action 4 puts the value a line below its heading; Action 7 steps back up.
    const int32_t y = r.Screen();
    const auto t = r.canvas.Of(RecordingCanvas::Op::Text);
    ASSERT_EQ(t.size(), 5u);
    EXPECT_EQ(t[1]->pts[0].y, t[0]->pts[0].y + 20);
    EXPECT_EQ(t[4]->pts[0].y, t[3]->pts[0].y + 20);
    EXPECT_EQ(y, t[4]->pts[0].y);
}

TEST(QueryReport, PrinterColoursMarginsAndPages)
{
    auto block = Block({{0, 2, 1, 14, 15, -1, 139, "Name:"}, {0, 2, 3, 15, 12, -1, 11, "Depth:"}});
    atlas::InfoFileBuilder b(1);
    std::vector<Entry> entries;
    for (int i = 0; i < 10; ++i) entries.push_back({static_cast<uint8_t>(i % 2), "v" + std::to_string(i)});
    const uint32_t at = b.AddRecord(entries, true);
    for (bool mono : {false, true}) {
        Report r(block.get(), b.Bytes(), static_cast<int32_t>(at));
        int pages = 0;
        ReportDevice d;
        d.output = otPrinter;
        d.canvas = &r.canvas;
        d.monochrome = mono;
        d.LeftOffset = 450;
        d.TopOffset = 100;
        d.BottomOffset = 100;
        d.PageHeight = 300;   // room for 5 lines a page: 100 .. 180
        d.NewPage = [&] { ++pages; };
        ASSERT_TRUE(r.report.StartUp());
        r.report.Display(d);
        const auto t = r.canvas.Of(RecordingCanvas::Op::Text);
        ASSERT_EQ(t.size(), 20u);
        EXPECT_EQ(pages, 2);
        EXPECT_EQ(t[0]->pts[0], (Point{450 + 11 - 11, 100}));   // heading: margin + x - 11
        EXPECT_EQ(t[1]->pts[0], (Point{450 + 128, 100}));       // value: margin + inset
        EXPECT_EQ(t[9]->pts[0].y, 180);                          // last line of the first page
        EXPECT_EQ(t[10]->pts[0].y, 100);                         // first line of the second page
        for (const auto* rec : t) {
            if (mono) {
                EXPECT_EQ(rec->font.colour, clBlack) << rec->text;
            }
        }
        if (!mono) {
            EXPECT_EQ(t[0]->font.colour, DOSColour[14]);
            EXPECT_EQ(t[1]->font.colour, clBlack);          // a white value prints black
            EXPECT_EQ(t[2]->font.colour, clWhite);          // a white heading keeps its colour
            EXPECT_EQ(t[3]->font.colour, DOSColour[12]);
        }
    }
}

TEST(QueryReport, BadLineCodesAndHeadersAskToCheckTheMasterFile)
{
    auto block = Block({{0, 2, 1, 14, 15, 9, 139, "Name:"}});
    atlas::InfoFileBuilder b(1);
    const uint32_t at = b.AddRecord({{0, "a"}, {5, "b"}, {0, "c"}}, true);
    Report r(block.get(), b.Bytes(), static_cast<int32_t>(at));
    EXPECT_EQ(r.Text(), (std::vector<std::string>{"  Name:a", "  Name:c"}));
    EXPECT_EQ(r.sink.Texts(), std::vector<std::string>{kCheckMasterFile});
    // A theme without definitions shows nothing and says so.
    Report none(nullptr, b.Bytes(), static_cast<int32_t>(at));
    EXPECT_TRUE(none.Text().empty());
    EXPECT_TRUE(none.sink.Contains(kCheckMasterFile));
}

TEST(QueryReport, WindowFitsShortReportsAndScrollsTallOnes)
{
    // y 95 at a pitch of 20: Round(4.75) = 5 lines + 2 = 140 pixels.
    EXPECT_EQ(ReportBitmapHeight(95, 20), 140);
    const ReportWindowFit small = FitReportWindow(95, 20, 70, 20, 4, 0, 1000);
    EXPECT_FALSE(small.scrollBar);
    EXPECT_EQ(small.clientHeight, 210);
    EXPECT_EQ(small.top, (1000 - (210 + 24)) / 2);
    const ReportWindowFit tall = FitReportWindow(2000, 20, 70, 20, 4, 30, 1000);
    EXPECT_TRUE(tall.scrollBar);
    EXPECT_EQ(tall.height, 1000);
    EXPECT_EQ(tall.scrollRange, 2040 + 70);
    // The boundary: needed = bitmap + 20 + caption + frame + strip fits exactly.
    EXPECT_FALSE(FitReportWindow(0, 20, 70, 20, 4, 0, 40 + 20 + 20 + 4 + 70).scrollBar);
    EXPECT_TRUE(FitReportWindow(0, 20, 70, 20, 4, 1, 40 + 20 + 20 + 4 + 70).scrollBar);
    EXPECT_EQ(QueryItemHeight(-16, 96), 20);
}

// A canvas whose characters are as wide as 0.6 of the font height.
class ScalingCanvas : public RecordingCanvas {
public:
    ScalingCanvas() : RecordingCanvas(100, 100) {}
    int TextWidth(const std::string& t) override { return static_cast<int>(t.size()) * (-font.height * 6 / 10); }
};

TEST(QueryReport, PrinterFontFits69Characters)
{
    ScalingCanvas c;
    // 600 dpi starts at -100: 69 x 60 = 4140 > 3000, so the font shrinks to the first that fits.
    const int h = PrinterFontHeight(c, 600, 3000);
    EXPECT_LE(69 * c.TextWidth("A"), 3000);
    c.font.height = h - 1;
    EXPECT_GT(69 * c.TextWidth("A"), 3000);
    // A wide page grows the font until it would pass, then takes the step back.
    const int g = PrinterFontHeight(c, 600, 6000);
    EXPECT_LT(g, -100);
    EXPECT_LE(69 * c.TextWidth("A"), 6000);
    c.font.height = g - 2;
    EXPECT_GE(69 * c.TextWidth("A"), 6000);
}

TEST(QueryReport, SaveExtensions)
{
    std::string name = "/tmp/report";
    EXPECT_EQ(QuerySaveExtension(name, kQuerySaveFilter, 1), ".TXT");
    EXPECT_EQ(name, "/tmp/report.TXT");
    name = "/tmp/report";
    EXPECT_EQ(QuerySaveExtension(name, kQuerySaveFilter, 2), ".BMP");
    EXPECT_EQ(name, "/tmp/report.BMP");
    name = "/tmp/a.b/report.doc";
    EXPECT_EQ(QuerySaveExtension(name, kQuerySaveFilter, 1), ".DOC");
    EXPECT_EQ(name, "/tmp/a.b/report.doc");
    name = "/tmp/report.txt";
    EXPECT_EQ(QuerySaveExtension(name, kQuerySaveFilter, 2), ".TXT");
    EXPECT_EQ(ReportText({"a", "b"}), "a\r\nb\r\n");
}

} // namespace
} // namespace corvane
