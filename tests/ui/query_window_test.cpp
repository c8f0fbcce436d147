// The query through the real map window on the offscreen platform: a small atlas written by
// our own writers (towns answered by headed records, a zone by one line of text), and the
// sample atlas's towns.
#include "LayerData.h"
#include "MainWindowHarness.h"
#include "e2e/AtlasFixture.h"
#include "layers/writers/SymbolFileWriter.h"
#include "mapdef/MDFStruct.h"
#include "mapwindow/QueryForm.h"
#include "platform/qt/QtPrinter.h"

#include <QClipboard>
#include <QFileInfo>
#include <QLabel>
#include <QPointer>
#include <QPrinter>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

using namespace corvane;
using namespace corvane::test;

namespace {

const Colour kZoneColour = DOSColour[13];
const Colour kTownColour = DOSColour[12];

// A theme of data sets (type and file, one file each). Its key: item 1 a filled square symbol
// (towns), item 2 a solid line (zones); its query lines: 0 "Town:" and value, 1 "Remarks:"
// with the value below, 2 the credit line.
std::string Theme(const std::vector<std::pair<int, std::string>>& sets)
{
    MASStruct mas;
    mas.Number_Of_Datasets = static_cast<uint8_t>(sets.size());
    mas.Maxlat = mas.DefaultMaxlat = 60, mas.Minlat = mas.DefaultMinlat = 40;
    mas.Maxlon = mas.DefaultMaxlon = 20, mas.Minlon = mas.DefaultMinlon = -20;
    std::unique_ptr<DSDStruct>* dsd = &mas.NextDSD;
    for (const auto& [type, file] : sets) {
        *dsd = std::make_unique<DSDStruct>();
        (*dsd)->Data_Type = static_cast<uint8_t>(type);
        (*dsd)->Number_Of_Files = 1;
        (*dsd)->NextDFN = std::make_unique<DFNStruct>();
        (*dsd)->NextDFN->FileName = file;
        dsd = &(*dsd)->NextDSD;
    }
    mas.Key = std::make_unique<KeyStruct>();
    mas.Key->NumItems = 2;
    mas.Key->Text = {"Towns", "Zones"};
    mas.Key->NextKD = std::make_unique<K_Descriptor>();
    mas.Key->NextKD->NextKD = std::make_unique<K_Descriptor>();
    int item = 0;
    for (K_Descriptor* kd = mas.Key->NextKD.get(); kd; kd = kd->NextKD.get(), ++item) {
        kd->Active = true;
        kd->Entry_Type = item == 0 ? 3 : 1;
        kd->Top_Style = kd->Bottom_Style = item == 0 ? 2 : 1;
        kd->Top_Colour_Number = kd->Bottom_Colour_Number = item == 0 ? 12 : 13;
        kd->Number_Of_Text_Lines = kd->Display_Order = 1;
    }
    mas.Sym_Text = std::make_unique<Sym_Text_Control_Block>();
    mas.Sym_Text->Number_Of_Defns = 2;
    std::unique_ptr<Sym_Text_Line_Type>* next = &mas.Sym_Text->Line_Array;
    for (auto [code, action, justify, text] : {std::tuple{0, 2, 1, "Town:"}, {0, 4, 1, "Remarks:"}, {11, 0, 2, "Survey 1990"}}) {
        *next = std::make_unique<Sym_Text_Line_Type>();
        Sym_Text_Line_Type& l = **next;
        l.Line_Code = static_cast<uint8_t>(code), l.Action = static_cast<uint8_t>(action);
        l.Heading_Justify = static_cast<uint8_t>(justify), l.Header_Text = text;
        l.Data_Type = next == &mas.Sym_Text->Line_Array ? 1 : 0;
        l.Preceding_Header = -1, l.Heading_Colour = 14, l.Data_Inset = 139, l.Data_Colour = 15;
        next = &l.Next;
    }
    return WriteMasterFile(mas);
}
std::string Theme(int type, const std::string& file) { return Theme({{type, file}}); }

// Runs act on the query results window once it is shown modally (the query lets pending
// messages through before it creates the window).
void WhenQueryFormShown(std::function<void(TQueryForm&)> act)
{
    auto* poll = new QTimer;
    poll->setInterval(5);
    QObject::connect(poll, &QTimer::timeout, [poll, act] {
        if (!QueryForm || !QueryForm->isVisible()) return;
        poll->stop();
        poll->deleteLater();
        act(*QueryForm);
    });
    poll->start();
}

// A click in query mode at a picture position.
void ClickQuery(TMapFrm& map, int x, int y)
{
    map.Menu.Query1->trigger();
    EXPECT_EQ(map.ChkQuery, StartQuery);
    map.zInX1 = x, map.zInY1 = y;
    map.ChkQuery = EndQuery;
    map.QuerySearch();
}

// The picture's colour at logical pixel (x, y), whatever the screen's pixel ratio.
Colour Pixel(const TMapFrm& map, int x, int y)
{
    const double r = map.Picture().devicePixelRatio();
    return FromQColor(QColor(map.Picture().pixel(static_cast<int>(x * r), static_cast<int>(y * r))));
}

class QueryWindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        CvVars::Reset();
        WriteCoastlines(dir, {30, 80, -40, 40, 2, 4, 2});
        // Towns at 50 N 10 W ("Harwick") and 45 N 5 E (a report of 60 lines).
        atlas::InfoFileBuilder towns(1);
        const uint32_t harwick = towns.AddRecord({{0, "Harwick"}, {1, "Founded at 50\xF8 N"}}, true);
        std::vector<atlas::InfoFileBuilder::Entry> many(60, {1, "A line"});
        const uint32_t tall = towns.AddRecord(many, true);
        dir.Write("Themes/DNN/TOWNS.DAT", std::string(towns.Bytes().begin(), towns.Bytes().end()));
        LayerWriteOptions o;
        o.Header.AssDataType = 1;
        o.Header.AssDataFilename = "TOWNS.DAT";
        SymbolFileWriter syx(o, true);
        syx.Add({50, -10, 1, harwick});
        syx.Add({45, 5, 1, tall});
        WriteLayer(dir, "Themes/Towns.Syx", syx);
        // A zone over 50..56 N, 16..10 W, found by its reference point at 53 N 13 W.
        atlas::InfoFileBuilder zones(0);
        const uint32_t line = zones.AddLine("Fishing zone B");
        o.Header.AssDataType = 0;
        o.Header.AssDataFilename = "ZONES.DAT";
        o.FinestUnit = 1000;
        PolygonFileWriter pol(o, 7);
        pol.Add({2, {{{50, -16}, {50, -10}, {56, -10}, {56, -16}, {50, -16}}}, {53, -13}, line, "B"});
        WriteLayer(dir, "Themes/Zones.Pol", pol);
        dir.Write("Themes/DNN/ZONES.DAT", std::string(zones.Bytes().begin(), zones.Bytes().end()));
        dir.Write("Themes/Towns.MAS", Theme(4, "CDROM:\\Themes\\Towns.Syx"));
        dir.Write("Themes/Zones.MAS", Theme(7, "CDROM:\\Themes\\Zones.Pol"));
        // The zone's outline, the towns, then the zone filled (never searched).
        dir.Write("Themes/Both.MAS", Theme({{7, "CDROM:\\Themes\\Zones.Pol"}, {4, "CDROM:\\Themes\\Towns.Syx"},
                                            {9, "CDROM:\\Themes\\Zones.Pol"}}));
        WriteDataListOf(dir, {{"Towns", "Themes\\Towns.MAS"}, {"Zones", "Themes\\Zones.MAS"}, {"Both", "Themes\\Both.MAS"}});
        window.Start(dir.Path(), dir / "cfg/corvane.ini");
    }
    void TearDown() override { window.Stop(); }

    // Opens a map of 40..60 N, 20 W..20 E, 600 x 400 pixels, with the overlay.
    TMapFrm& Open(const std::string& overlay)
    {
        FixedScreenMetrics screen;
        std::unique_ptr<TMDFStruct> mdf = std::move(TMDFStruct::Create("", screen, window.sink).MDF);
        mdf->Grid_Displayed = mdf->OverlayKey_Displayed = mdf->BaseKey_Displayed = false;
        mdf->ClearBaseZoom();
        const int32_t top = window.frm->frameGeometry().bottom() + 1;
        mdf->NewZoom(0, top, 600, top + 400, -20, 40, 20, 60, WindowPriority);
        mdf->OverlayMAS.Append(std::make_unique<MASStruct>());
        mdf->OverlayMAS.Last()->Title = std::make_unique<std::string>(overlay);
        EXPECT_TRUE(mdf->Save(dir / "Query.MDF"));
        window.frm->OpenMapFile(dir / "Query.MDF");
        MainWindowHarness::Settle();
        EXPECT_NE(MainWindowHarness::Map(), nullptr);
        return *MainWindowHarness::Map();
    }

    TempDir dir;
    MainWindowHarness window;
};

TEST_F(QueryWindowTest, HeadedRecordShowsSavesAndCopiesThenTheQueryStartsAgain)
{
    TMapFrm& map = Open("Towns");
    ASSERT_TRUE(map.Menu.Query1->isEnabled());
    std::vector<std::string> lines;
    bool scrolled = true;
    int yellow = 0;
    QString title, clip;
    window.dialogs.saveAnswers = {{DialogOutcome::Ok, dir / "report"}, {DialogOutcome::Ok, dir / "report.doc"}};
    WhenQueryFormShown([&](TQueryForm& form) {
        title = form.windowTitle();
        lines = form.ReportLines();
        scrolled = form.ScrollBarShown();
        for (int y = 0; y < form.Picture().height(); ++y)
            for (int x = 0; x < 120; ++x) yellow += FromQColor(QColor(form.Picture().pixel(x, y))) == DOSColour[14];
        form.SaveBtn->click();
        form.SaveBtn->click();
        form.TexttoClipboard1->trigger();
        clip = QApplication::clipboard()->text();
        form.CloseBtn->click();
    });
    ClickQuery(map, map.LonToScreen(-10.2), map.LatToScreen(50.3));
    EXPECT_EQ(title, "Towns");
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(std::vector<std::string>(lines.begin(), lines.begin() + 3),
              (std::vector<std::string>{"  Town:Harwick", "  Remarks:", "Founded at 50\xB0 N"}));
    // The credit line, centred: indented further than a left-justified heading.
    EXPECT_GT(lines[3].find("Survey 1990"), 2u);
    EXPECT_EQ(lines[3].find_first_not_of(' '), lines[3].find("Survey 1990"));
    EXPECT_FALSE(scrolled);
    EXPECT_GT(yellow, 20);   // the yellow headings are drawn on the black page
    EXPECT_EQ(ReadFile(dir / "report.TXT"), "  Town:Harwick\r\n  Remarks:\r\nFounded at 50\xB0 N\r\n" + lines[3] + "\r\n");
    EXPECT_EQ(window.dialogs.saveRequests.at(0).title, "Save the Query Information");
    EXPECT_FALSE(QFileInfo::exists(QString::fromStdString(dir / "report.doc")));
    EXPECT_TRUE(window.sink.Contains("To Save a Query file it must have a BMP or TXT file extension."));
    EXPECT_EQ(window.sink.beeps, 1);
    EXPECT_TRUE(clip.startsWith(QStringLiteral("  Town:Harwick\n  Remarks:\nFounded at 50\u00B0 N")));
    // Closing the window returns to the start of a query, the flashing stopped.
    EXPECT_EQ(map.ChkQuery, StartQuery);
    EXPECT_FALSE(map.Timer1->isActive());
    EXPECT_EQ(QueryForm, nullptr);
    EXPECT_EQ(Pixel(map, map.LonToScreen(-10), map.LatToScreen(50)), kTownColour);
}

TEST_F(QueryWindowTest, TallReportScrollsAndPrints)
{
    TMapFrm& map = Open("Towns");
    QPrinter& printer = CurrentPrinter();
    const QPrinter::OutputFormat format = printer.outputFormat();
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(QString::fromStdString(dir / "report.pdf"));
    window.dialogs.printAnswers = {{DialogOutcome::Ok, PrintChoice{}}};
    bool scrolled = false;
    int height = 0;
    WhenQueryFormShown([&](TQueryForm& form) {
        scrolled = form.ScrollBarShown();
        height = form.frameGeometry().height();
        form.PrintBtn->click();
        form.CloseBtn->click();
    });
    ClickQuery(map, map.LonToScreen(5), map.LatToScreen(45));
    EXPECT_TRUE(scrolled);
    EXPECT_LE(height, map.MDF->UsableScreen.Bottom);
    EXPECT_GT(QFileInfo(QString::fromStdString(dir / "report.pdf")).size(), 1000);
    printer.setOutputFileName(QString());
    printer.setOutputFormat(format);
}

// The query as a user drives it: "&Query", the pointer moved to the place and clicked; a
// right click ends the answer, the figure back in its own colour; a headed answer closed
// waits for the next click.
TEST_F(QueryWindowTest, ClicksOnTheMapAnswerAndARightClickEndsTheAnswer)
{
    auto click = [](TMapFrm& map, QPoint at, Qt::MouseButton button) {
        QTest::mouseMove(map.Image1, at);
        QTest::mouseClick(map.Image1, button, {}, at);
        MainWindowHarness::Settle();
    };
    TMapFrm& zones = Open("Zones");
    const int x = zones.LonToScreen(-13);
    int y = zones.LatToScreen(50) - 2;
    while (y < zones.LatToScreen(50) + 2 && Pixel(zones, x, y) != kZoneColour) ++y;
    ASSERT_EQ(Pixel(zones, x, y), kZoneColour);
    zones.Menu.Query1->trigger();
    const QPoint inside(zones.LonToScreen(-12), zones.LatToScreen(52.5));
    click(zones, inside, Qt::LeftButton);
    ASSERT_NE(zones.QueryPanel, nullptr);
    EXPECT_EQ(dynamic_cast<QLabel*>(zones.QueryPanel)->text(), "Fishing zone B");
    EXPECT_EQ(zones.ChkQuery, EndQuery);
    zones.Timer1Timer();
    EXPECT_EQ(Pixel(zones, x, y), clWhite);
    // A click elsewhere ends that answer and asks again at the point clicked, where the zone's
    // reference point is still the nearest.
    const QPointer<QWidget> answered = zones.QueryPanel;
    const QPoint elsewhere(inside.x() + 30, inside.y() + 20);
    click(zones, elsewhere, Qt::LeftButton);
    EXPECT_TRUE(answered.isNull());
    EXPECT_EQ(QPoint(zones.zInX1, zones.zInY1), elsewhere);
    ASSERT_NE(zones.QueryPanel, nullptr);
    EXPECT_EQ(dynamic_cast<QLabel*>(zones.QueryPanel)->text(), "Fishing zone B");
    click(zones, inside, Qt::RightButton);
    EXPECT_EQ(zones.QueryPanel, nullptr);
    EXPECT_EQ(zones.ChkQuery, StartQuery);
    EXPECT_FALSE(zones.Timer1->isActive());
    EXPECT_EQ(Pixel(zones, x, y), kZoneColour);

    TMapFrm& towns = Open("Towns");
    towns.Menu.Query1->trigger();
    std::string first;
    WhenQueryFormShown([&](TQueryForm& form) {
        first = form.ReportLines().at(0);
        form.CloseBtn->click();
    });
    click(towns, QPoint(towns.LonToScreen(-10.2), towns.LatToScreen(50.3)), Qt::LeftButton);
    EXPECT_EQ(first, "  Town:Harwick");
    EXPECT_EQ(towns.ChkQuery, StartQuery);
    EXPECT_TRUE(window.sink.messages.empty());
}

// The report scrolls within the height the user gives the window: made small, its buttons
// are still reached; made tall, it shows more of the report.
TEST_F(QueryWindowTest, ReportScrollsInTheHeightTheUserGivesTheWindow)
{
    TMapFrm& map = Open("Towns");
    std::vector<std::pair<int, int>> heights;   // window, scroller
    bool reachable = false;
    WhenQueryFormShown([&](TQueryForm& form) {
        const int fitted = form.height();
        for (int h : {fitted - 60, fitted + 200}) {
            form.resize(form.width(), h);
            QApplication::processEvents();
            heights.emplace_back(form.height(), form.Scroller->height());
            if (h < fitted) {
                QScrollBar* bar = form.Scroller->verticalScrollBar();
                bar->setValue(bar->maximum());
                QApplication::processEvents();
                const QPoint close = form.CloseBtn->mapTo(&form, QPoint(0, form.CloseBtn->height()));
                reachable = bar->isVisible() && close.y() <= form.height();
            }
        }
        form.CloseBtn->click();
    });
    ClickQuery(map, map.LonToScreen(-10), map.LatToScreen(50));
    ASSERT_EQ(heights.size(), 2u);
    for (const auto& [window, scroller] : heights) EXPECT_EQ(scroller, window);
    EXPECT_TRUE(reachable);
}

TEST_F(QueryWindowTest, OneLineAnswerAndTheZoneFlashingUntilRestored)
{
    TMapFrm& map = Open("Zones");
    // A pixel of the zone's southern edge, away from its corners.
    const int x = map.LonToScreen(-13);
    int y = map.LatToScreen(50) - 2;
    while (y < map.LatToScreen(50) + 2 && Pixel(map, x, y) != kZoneColour) ++y;
    ASSERT_EQ(Pixel(map, x, y), kZoneColour);

    ClickQuery(map, map.LonToScreen(-12), map.LatToScreen(52.5));
    auto* panel = dynamic_cast<QLabel*>(map.QueryPanel);
    ASSERT_NE(panel, nullptr);
    EXPECT_TRUE(panel->isVisible());
    EXPECT_EQ(panel->text(), "Fishing zone B");
    EXPECT_TRUE(panel->testAttribute(Qt::WA_TransparentForMouseEvents));
    EXPECT_EQ(map.Timer1Tag, 7);
    EXPECT_TRUE(map.Timer1->isActive());
    std::vector<Colour> seen;
    for (int i = 0; i < 4; ++i) {
        map.Timer1Timer();
        seen.push_back(Pixel(map, x, y));
    }
    EXPECT_EQ(seen, (std::vector<Colour>{clWhite, clBlack, kZoneColour, clWhite}));
    map.Timer1->stop();
    map.FlashSymbol(false);
    EXPECT_EQ(Pixel(map, x, y), kZoneColour);
    EXPECT_EQ(map.QueryPanel, nullptr);
    EXPECT_TRUE(map.Points.empty());
    EXPECT_TRUE(window.sink.messages.empty());

    // Without its information file the zone is told missing, and still flashes.
    std::remove((dir / "Themes/DNN/ZONES.DAT").c_str());
    map.ChkQuery = NoQuery;
    ClickQuery(map, map.LonToScreen(-12), map.LatToScreen(52.5));
    EXPECT_EQ(window.sink.Texts(), std::vector<std::string>{"The Query Information file is missing."});
    EXPECT_EQ(map.QueryPanel, nullptr);
    EXPECT_TRUE(map.Timer1->isActive());
}

// Two data sets of one click answer: the later hit takes the place of the earlier, whose
// panel goes before the record is shown, and the flash follows the hit (a filled zone
// searched after it changes nothing).
TEST_F(QueryWindowTest, ALaterHitOfTheSameClickTakesThePlaceOfTheEarlier)
{
    TMapFrm& map = Open("Both");
    const int x = map.LonToScreen(-10), y = map.LatToScreen(50);
    bool panelGone = false;
    std::vector<Colour> seen;
    WhenQueryFormShown([&](TQueryForm& form) {
        panelGone = map.QueryPanel == nullptr && map.findChildren<QLabel*>("QueryPanel").isEmpty();
        for (int i = 0; i < 3; ++i) {
            map.Timer1Timer();
            seen.push_back(Pixel(map, x, y));
        }
        form.CloseBtn->click();
    });
    ClickQuery(map, x, y);
    EXPECT_TRUE(panelGone);
    EXPECT_EQ(seen, (std::vector<Colour>{clWhite, clBlack, kTownColour}));
    EXPECT_EQ(map.Timer1Tag, 4);
    EXPECT_EQ(map.ChkQuery, StartQuery);
    EXPECT_FALSE(map.Timer1->isActive());
    EXPECT_EQ(Pixel(map, x, y), kTownColour);
    EXPECT_TRUE(window.sink.messages.empty());
}

// A damaged record is told by its file's name as it stands on this system; nothing is shown
// from it, and the one-line answer's figure flashes all the same.
TEST_F(QueryWindowTest, DamagedRecordsAreToldByTheirFile)
{
    dir.Write("Themes/DNN/ZONES.DAT", std::string(1, '\x40'));   // a length byte and nothing after it
    TMapFrm& zones = Open("Zones");
    ClickQuery(zones, zones.LonToScreen(-12), zones.LatToScreen(52.5));
    EXPECT_EQ(window.sink.Texts(), std::vector<std::string>{DamagedRecordText(dir / "Themes/DNN/ZONES.DAT")});
    EXPECT_EQ(zones.QueryPanel, nullptr);
    EXPECT_TRUE(zones.Timer1->isActive());

    window.sink.messages.clear();
    dir.Write("Themes/DNN/TOWNS.DAT", "");
    TMapFrm& towns = Open("Towns");
    ClickQuery(towns, towns.LonToScreen(-10), towns.LatToScreen(50));
    EXPECT_EQ(window.sink.Texts(), std::vector<std::string>{DamagedRecordText(dir / "Themes/DNN/TOWNS.DAT")});
    EXPECT_EQ(QueryForm, nullptr);
    EXPECT_EQ(towns.ChkQuery, StartQuery);
}

// The sample atlas's maps in the viewer.
class SampleAtlasQuery : public ::testing::Test {
protected:
    void SetUp() override
    {
        CvVars::Reset();
        window_.Start(SourceDir() + "/atlas", cfg_ / "corvane.ini");
    }
    void TearDown() override { window_.Stop(); }

    // Opens a map of the atlas; its window, with "&Query" available.
    TMapFrm* Open(const std::string& name)
    {
        window_.frm->OpenMapFile(SourceDir() + "/atlas/Maps/" + name + ".MDF");
        MainWindowHarness::Settle();
        TMapFrm* map = MainWindowHarness::Map();
        EXPECT_TRUE(map && map->Menu.Query1->isEnabled()) << name;
        return map;
    }

    TempDir cfg_;
    MainWindowHarness window_;
};

// A click on the Aegean map answers with a town's record.
TEST_F(SampleAtlasQuery, ATownOfTheAegeanMapShowsItsRecord)
{
    TMapFrm* map = Open("Aegean");
    ASSERT_NE(map, nullptr);
    std::vector<std::string> lines;
    WhenQueryFormShown([&](TQueryForm& form) {
        lines = form.ReportLines();
        form.CloseBtn->click();
    });
    ClickQuery(*map, map->ClientWidth() / 2, map->ClientHeight() / 2);
    ASSERT_GE(lines.size(), 5u);
    EXPECT_EQ(lines[0].rfind("  Town:", 0), 0u);
    EXPECT_GT(lines[0].size(), std::string("  Town:").size());
    EXPECT_NE(lines.back().find("GeoNames"), std::string::npos);
    EXPECT_TRUE(window_.sink.messages.empty());
}

// A click on a territorial sea of the Channel map names its country in the one-line panel.
TEST_F(SampleAtlasQuery, ATerritorialSeaOfTheChannelMapNamesItsCountry)
{
    TMapFrm* map = Open("Channel");
    ASSERT_NE(map, nullptr);
    // Off Cherbourg, in the French territorial sea.
    ClickQuery(*map, map->LonToScreen(-1.6), map->LatToScreen(49.75));
    auto* panel = dynamic_cast<QLabel*>(map->QueryPanel);
    ASSERT_NE(panel, nullptr);
    EXPECT_EQ(panel->text().toStdString(), "Territorial waters: France (FRA)");
    EXPECT_TRUE(window_.sink.messages.empty());
}

} // namespace
