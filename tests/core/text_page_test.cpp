// Information pages: the mark-up of a line, included files (each at most once a page), the
// caption, saving a shown line back into the page's bytes; the source table's columns; where
// the viewer stands and where a page is printed.
#include "TestUtil.h"
#include "catalogue/MasterFile.h"
#include "layers/writers/SymbolFileWriter.h"
#include "mapdef/MDFStruct.h"
#include "platform/CvVars.h"
#include "platform/DataPath.h"
#include "platform/MessageSink.h"
#include "render/MapView.h"
#include "text/SourceTable.h"
#include "text/TextPage.h"
#include "text/TextViewerLayout.h"

#include <gtest/gtest.h>

using namespace corvane;
using corvane::test::TempDir;

namespace {

TextPageLine Edit(const std::string& raw)
{
    TextPageLine line;
    EXPECT_TRUE(EditLine(raw, line)) << raw;
    return line;
}

std::vector<std::string> Texts(const TextPage& page)
{
    std::vector<std::string> out;
    for (const TextPageLine& l : page.lines) out.push_back(l.text);
    return out;
}

} // namespace

TEST(TextPageLine, TildesMarkBoldRunsAndGo)
{
    const TextPageLine word = Edit("The ~North Sea~ is shallow");
    EXPECT_EQ(word.text, "The North Sea is shallow");
    EXPECT_EQ(word.bold, (std::vector<TextSpan>{{4, 9}}));

    // A tilde without a partner makes the rest of the line bold.
    const TextPageLine lone = Edit("Depth ~in metres");
    EXPECT_EQ(lone.text, "Depth in metres");
    EXPECT_EQ(lone.bold, (std::vector<TextSpan>{{6, 9}}));

    const TextPageLine two = Edit("~a~ and ~bc~~");
    EXPECT_EQ(two.text, "a and bc");
    EXPECT_EQ(two.bold, (std::vector<TextSpan>{{0, 1}, {6, 2}}));   // "~~" makes no run
    EXPECT_TRUE(Edit("plain").bold.empty());
}

TEST(TextPageLine, DosBytesDegreeSignAndEndOfFileMark)
{
    // 0xF8 becomes the degree sign 0xB0, which is no line-drawing character; the box
    // characters are found where they stand once the tildes have gone.
    const TextPageLine l = Edit("~27\xF8N~ \xDA\xC4\xBF\x1A");
    EXPECT_EQ(l.text, "27\xB0N \xDA\xC4\xBF");
    EXPECT_EQ(l.lineDraw, (std::vector<size_t>{5, 6, 7}));
    EXPECT_EQ(l.bold, (std::vector<TextSpan>{{0, 4}}));
    // 0x80 (the euro sign here) is below the DOS range; an end-of-file mark inside a line stays.
    EXPECT_TRUE(Edit("\x80 \xB0").lineDraw.empty());
    EXPECT_EQ(Edit("a\x1A" "b").text, "a\x1A" "b");

}

class TextPageTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        CvVars::Reset();
        CvVars::CDROM = dir.Path();
    }
    void TearDown() override { CvVars::Reset(); }
    TempDir dir;
    RecordingMessageSink sink;
};

TEST_F(TextPageTest, IncludedFilesJoinTheEndOfThePageOnceEach)
{
    // The page includes a part that includes a second part, itself, and the page; the second
    // part is included twice.
    dir.Write("Info/Page.Txt", "\r\n   \r\n  ~Seas~ of Europe\r\nbefore \xAF" "CDROM:\\Info\\Part.Txt\r\nafter\r\n"
                               "\xAF" "CDROM:\\info\\second.txt  \r\n");
    dir.Write("Info/Part.Txt", "part ~one~\r\n\xAF" "CDROM:\\Info\\Second.Txt\r\n\xAF" "CDROM:\\Info\\Part.Txt\r\n"
                               "\xAF" "CDROM:\\Info\\Page.Txt\x1A");
    dir.Write("Info/Second.Txt", "second\r\n");
    TextPage page;
    ASSERT_TRUE(ReadTextPage(CheckCD_Drive("CDROM:\\Info\\Page.Txt"), page, sink));
    EXPECT_EQ(Texts(page), (std::vector<std::string>{"", "   ", "  Seas of Europe", "after", "part one", "second"}));
    EXPECT_EQ(page.lines[4].bold, (std::vector<TextSpan>{{5, 3}}));
    EXPECT_EQ(page.Caption(), "Seas of Europe");
    EXPECT_TRUE(page.missingIncludes.empty());
    EXPECT_TRUE(sink.messages.empty());
}

TEST(TextPageSave, ShownLinesGoBackIntoThePagesBytesAndMarkUp)
{
    // Bold pieces between tildes (adjacent ones joined), box drawing as DOS bytes, the degree
    // sign as 0xB0, the euro sign in Windows-1252, an accented letter as its DOS byte (so that
    // it reads back the same), characters the page cannot hold as "?".
    const std::string line = EncodeTextPageLine({{"27\xC2\xB0N ", false},
                                                 {"\xE2\x94\x8C\xE2\x94\x80", true},   // box corner, line
                                                 {"caf\xC3\xA9", true},
                                                 {" \xE2\x82\xAC \xC2\xBB \xE2\x96\x91 \xE4\xB8\xAD", false}});
    EXPECT_EQ(line, "27\xB0N ~\xDA\xC4" "caf\x82~ \x80 ? ? ?");
    const TextPageLine back = Edit(line);
    EXPECT_EQ(back.text, "27\xB0N \xDA\xC4" "caf\x82 \x80 ? ? ?");
    EXPECT_EQ(back.bold, (std::vector<TextSpan>{{5, 6}}));
    EXPECT_EQ(back.lineDraw, (std::vector<size_t>{5, 6, 10}));
    EXPECT_EQ(EncodeTextPageLine({{"rest bold", true}}), "~rest bold~");
}

// ---- the source table ---------------------------------------------------------------------------

TEST(SourceTable, DateAndScaleColumns)
{
    auto months = [](int m) { return std::string(m == 6 ? "Jun" : "???"); };
    EXPECT_EQ(SourceDateField(19950600, months), "1995 Jun  ");
    EXPECT_EQ(SourceDateField(0, months), "Unknown   ");
    EXPECT_EQ(SourceDateField(19950000, months), "      1995");
    EXPECT_EQ(SourceDateField(19950605, months), " 5/ 6/1995");
    EXPECT_EQ(SourceDateField(20011231, months), "31/12/2001");
    // The C library's calendar names (the tests run in the "C" locale).
    EXPECT_EQ(SystemShortMonthName(6), "Jun");

    EXPECT_EQ(SourceScaleField(0), "  Digital  ");
    EXPECT_EQ(SourceScaleField(-50000), "  Digital  ");
    EXPECT_EQ(SourceScaleField(50000), "1:50000  ");
    EXPECT_EQ(SourceScaleField(1500000000), "1:1500000000");
    EXPECT_EQ(SourceTableLine(19950605, 250000, "Wrecks", months), " 5/ 6/1995   1:250000    Wrecks");
}

namespace {

// A map window of 800 x 600 pixels over the new map's latitudes 45..65: latscl = 36.
class TableView : public MapView {
public:
    explicit TableView(MessageSink& sink) : MapView(sink) { MDF = mdf.get(); }
    Canvas* ImageCanvas() override { return nullptr; }
    int32_t ClientWidth() const override { return 800; }
    int32_t ClientHeight() const override { return 600; }
    void SetWindowBounds(int32_t, int32_t, int32_t, int32_t) override {}
    FixedScreenMetrics screen;
    NullMessageSink quiet;
    std::unique_ptr<TMDFStruct> mdf = std::move(TMDFStruct::Create("", screen, quiet).MDF);
};

void AddTheme(MASList& list, const std::string& title, uint8_t type, std::vector<std::pair<std::string, double>> files)
{
    auto mas = std::make_unique<MASStruct>();
    mas->Title = std::make_unique<std::string>(title);
    mas->NextDSD = std::make_unique<DSDStruct>();
    mas->NextDSD->Data_Type = type;
    mas->NextDSD->Number_Of_Files = static_cast<uint8_t>(files.size());
    for (auto f = files.rbegin(); f != files.rend(); ++f) {
        auto dfn = std::make_unique<DFNStruct>();
        dfn->FileName = f->first;
        dfn->Trigger_Scale = f->second;
        dfn->NextDFN = std::move(mas->NextDSD->NextDFN);
        mas->NextDSD->NextDFN = std::move(dfn);
    }
    list.Append(std::move(mas));
}

std::string SymbolFile(const TempDir& dir, const std::string& name, int32_t date, int32_t scale)
{
    LayerWriteOptions o;
    o.Header.DateOrig = date;
    o.Header.ScaleOrig = scale;
    SymbolFileWriter w(o, false);
    w.Add({50, 0, 1});
    EXPECT_TRUE(w.Save(dir / name));
    return dir / name;
}

} // namespace

TEST(SourceTable, ALineForEachThemeWhoseFileAtTheMapsScaleCanBeRead)
{
    TempDir dir;
    RecordingMessageSink sink;
    TableView view(sink);
    const std::string fine = SymbolFile(dir, "Fine.Sym", 19950605, 50000), coarse = SymbolFile(dir, "Coarse.Sym", 19950600, 0);
    AddTheme(view.MDF->NextMAS, "Harbours", dtSYM, {{fine, 50}, {coarse, 20}});   // the second file at 36
    AddTheme(view.MDF->NextMAS, "Too fine", dtSYM, {{fine, 40}, {coarse, 36}});   // none at 36
    AddTheme(view.MDF->NextMAS, "Missing", dtSYM, {{dir / "none.Sym", 0}});
    AddTheme(view.MDF->OverlayMAS, "Wrecks", dtSYM, {{fine, 99}});
    AddTheme(view.MDF->OverlayMAS, "Odd", 12, {{fine, 0}});
    auto months = [](int m) { return m == 6 ? std::string("Jun") : std::to_string(m); };
    EXPECT_EQ(DSSourceLines(view, sink, months),
              (std::vector<std::string>{kSourceTableHeading, "1995 Jun       Digital     Harbours",
                                        " 5/ 6/1995   1:50000     Wrecks"}));
    EXPECT_EQ(sink.Texts(), (std::vector<std::string>{"Invalid Data Type (TempDSD.Data_Type) : 12"}));
}

// ---- placement and printing -------------------------------------------------------------------

TEST(TextViewerLayout, CentredBelowTheStripAndCutToTheSpaceThere)
{
    TextViewerMetrics m;
    m.workArea = {0, 0, 1600, 1000};
    m.mainWindowBottom = 100;
    m.frame = {3, 3, 1, 1, 20};   // outer = client + 8 across, + 28 down
    m.scrollBarWidth = 16;
    m.lineHeight = 15;

    // 2 x (1 + 3 + 1 + 10) + 16 + 500 = 546 wide; 40 lines x 16 = 640 high.
    TextViewerBounds b = InfoPageBounds(m, 500, 40);
    EXPECT_EQ(b.ClientWidth, 546);
    EXPECT_EQ(b.ClientHeight, 640);
    EXPECT_FALSE(b.ScrollBars);
    EXPECT_EQ(b.Left, (1600 - 554) / 2);
    EXPECT_EQ(b.Top, 100 + (900 - 668) / 2);

    // 100 lines do not fit in the 900 pixels below the strip: the window takes them all.
    b = InfoPageBounds(m, 500, 100);
    EXPECT_TRUE(b.ScrollBars);
    EXPECT_EQ(b.ClientHeight, 900 - 28);
    EXPECT_EQ(b.Top, 100);

    // The source table: 16 + 300 + 40 wide, (3 + 1) x 15 + 20 high.
    b = SourceTableBounds(m, 300, 3);
    EXPECT_EQ(b.ClientWidth, 356);
    EXPECT_EQ(b.ClientHeight, 80);
    EXPECT_EQ(b.Top, 100 + (900 - 108) / 2);

    // A page is printed inside the margins, each side rounded: a quarter-inch border at 600
    // dots per inch and margins of 1 inch (1.3 at the bottom) on 8 x 10.5 printable inches.
    PrintPage p;
    p.XDpi = p.YDpi = 600;
    p.PageWidth = 4800;
    p.PageHeight = 6300;
    p.minLeftMargin = p.minRightMargin = p.minTopMargin = p.minBottomMargin = 0.25;
    p.BottomMargin = 1.3;
    EXPECT_EQ(TextPrintArea(p), (Rect{450, 450, 4800 - 450, 6300 - 630}));
}
