// The query through the real map window on the offscreen platform: a small atlas written by
// our own writers (a town layer answered by headed records, a zone layer answered by one line
// of text), and the sample atlas's towns.
#include "LayerData.h"
#include "TestUtil.h"
#include "app/MainFrm.h"
#include "e2e/AtlasFixture.h"
#include "layers/writers/SymbolFileWriter.h"
#include "mapdef/MDFStruct.h"
#include "mapwindow/MapFrm.h"
#include "mapwindow/QueryForm.h"
#include "platform/CdromMounts.h"
#include "platform/CvVars.h"
#include "platform/DialogService.h"
#include "platform/MessageSink.h"
#include "platform/qt/QtPrinter.h"

#include <QApplication>
#include <QClipboard>
#include <QFileInfo>
#include <QLabel>
#include <QPrinter>
#include <QPushButton>
#include <QTimer>

#include <gtest/gtest.h>

using namespace corvane;
using namespace corvane::test;

namespace {

const Colour kZoneColour = DOSColour[13];
const Colour kTownColour = DOSColour[12];

// The key: item 1 a filled square symbol for towns, item 2 a solid line for zones.
std::unique_ptr<KeyStruct> Key()
{
    auto key = std::make_unique<KeyStruct>();
    std::unique_ptr<K_Descriptor>* next = &key->NextKD;
    for (auto [type, style, colour] : {std::tuple{3, 2, 12}, std::tuple{1, 1, 13}}) {
        auto kd = std::make_unique<K_Descriptor>();
        kd->Active = true;
        kd->Entry_Type = static_cast<uint8_t>(type);
        kd->Top_Style = kd->Bottom_Style = static_cast<uint8_t>(style);
        kd->Top_Colour_Number = kd->Bottom_Colour_Number = static_cast<uint8_t>(colour);
        kd->Number_Of_Text_Lines = 1;
        kd->Display_Order = 1;
        *next = std::move(kd);
        next = &(*next)->NextKD;
        key->Text.push_back("Item");
    }
    key->NumItems = 2;
    return key;
}

// Line definitions: 0 "Town:" with its value, 1 "Remarks:" with the value below, 2 the credit.
std::unique_ptr<Sym_Text_Control_Block> TownLines()
{
    auto b = std::make_unique<Sym_Text_Control_Block>();
    std::unique_ptr<Sym_Text_Line_Type>* next = &b->Line_Array;
    const struct {
        uint8_t code, action, justify, colour;
        std::string text;
    } defs[] = {{0, 2, 1, 14, "Town:"}, {0, 4, 1, 11, "Remarks:"}, {11, 0, 2, 7, "Survey 1990"}};
    for (const auto& d : defs) {
        auto l = std::make_unique<Sym_Text_Line_Type>();
        l->Line_Code = d.code;
        l->Data_Type = next == &b->Line_Array ? 1 : 0;
        l->Action = d.action;
        l->Preceding_Header = -1;
        l->Heading_Justify = d.justify;
        l->Heading_Colour = d.colour;
        l->Data_Inset = 139;
        l->Data_Colour = 15;
        l->Header_Text = d.text;
        *next = std::move(l);
        next = &(*next)->Next;
        ++b->Number_Of_Defns;
    }
    --b->Number_Of_Defns;
    return b;
}

std::string Theme(int type, const std::string& file, bool withLines)
{
    MASStruct mas;
    mas.Number_Of_Datasets = 1;
    mas.Minlat = 40, mas.Maxlat = 60, mas.Minlon = -20, mas.Maxlon = 20;
    mas.DefaultMinlat = 40, mas.DefaultMaxlat = 60, mas.DefaultMinlon = -20, mas.DefaultMaxlon = 20;
    mas.NextDSD = std::make_unique<DSDStruct>();
    mas.NextDSD->Data_Type = static_cast<uint8_t>(type);
    mas.NextDSD->Number_Of_Files = 1;
    mas.NextDSD->NextDFN = std::make_unique<DFNStruct>();
    mas.NextDSD->NextDFN->FileName = file;
    mas.Key = Key();
    if (withLines) mas.Sym_Text = TownLines();
    return WriteMasterFile(mas);
}

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

class QueryWindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        CvVars::Reset();
        WriteCoastlines(dir, {30, 80, -40, 40, 2, 4, 2});

        // Towns at 50 N 10 W (record "Harwick") and 45 N 5 E (a long record).
        atlas::InfoFileBuilder towns(1);
        harwick = towns.AddRecord({{0, "Harwick"}, {1, std::string("Founded at 50\xF8 N")}}, true);
        std::vector<atlas::InfoFileBuilder::Entry> many;
        for (int i = 0; i < 60; ++i) many.push_back({1, "Line " + std::to_string(i)});
        const uint32_t tall = towns.AddRecord(many, true);
        dir.Write("Themes/DNN/TOWNS.DAT", std::string(towns.Bytes().begin(), towns.Bytes().end()));
        LayerWriteOptions o;
        o.Header.DatasetID = "TOWNS";
        o.Header.AssDataType = 1;
        o.Header.AssDataFilename = "TOWNS.DAT";
        SymbolFileWriter syx(o, true);
        syx.Add({50, -10, 1, harwick});
        syx.Add({45, 5, 1, tall});
        WriteLayer(dir, "Themes/Towns.Syx", syx);

        // A zone around 50..56 N, 16..10 W, its reference point at 53 N 13 W.
        atlas::InfoFileBuilder zones(0);
        const uint32_t line = zones.AddLine("Fishing zone B");
        dir.Write("Themes/DNN/ZONES.DAT", std::string(zones.Bytes().begin(), zones.Bytes().end()));
        o.Header.AssDataType = 0;
        o.Header.AssDataFilename = "ZONES.DAT";
        o.FinestUnit = 1000;
        PolygonFileWriter pol(o, 7);
        PolygonFeature f;
        f.KeyCode = 2;
        f.Parts = {{{50, -16}, {50, -10}, {56, -10}, {56, -16}, {50, -16}}};
        f.Reference = {53, -13};
        f.InfoOffset = line;
        pol.Add(f);
        WriteLayer(dir, "Themes/Zones.Pol", pol);

        dir.Write("Themes/Towns.MAS", Theme(4, "CDROM:\\Themes\\Towns.Syx", true));
        dir.Write("Themes/Zones.MAS", Theme(7, "CDROM:\\Themes\\Zones.Pol", false));
        dir.Write("Themes/Lost.MAS", Theme(7, "CDROM:\\Themes\\Zones.Pol", false));
        WriteDataListOf(dir, {{"Towns", "Themes\\Towns.MAS"}, {"Zones", "Themes\\Zones.MAS"}});

        settings = std::make_unique<SettingsStore>(dir / "cfg/corvane.ini");
        frm = std::make_unique<TMainFrm>(MainFrmServices{settings.get(), &dialogs, &sink, &mounts, {dir.Path(), {}}});
        frm->show();
        Settle();
        InstallMapWindowFactory(sink);
    }
    void TearDown() override
    {
        if (MapFrm) MapFrm->CloseWindow();
        Settle();
        SetMapWindowFactory(nullptr);
        frm.reset();
        CvVars::Reset();
    }
    static void Settle()
    {
        for (int i = 0; i < 4; ++i) {
            QApplication::processEvents();
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
            if (auto* map = dynamic_cast<TMapFrm*>(MapFrm); map && map->GeometryPending()) map->GeometrySettled();
        }
    }
    // Opens a map of 40..60 N, 20 W..20 E with the overlay and returns its window.
    TMapFrm& Open(const std::string& overlay)
    {
        FixedScreenMetrics screen;
        MDFLoadResult r = TMDFStruct::Create("", screen, sink);
        TMDFStruct& mdf = *r.MDF;
        mdf.Grid_Displayed = false;
        mdf.ClearBaseZoom();
        const int32_t top = frm->frameGeometry().bottom() + 1;
        mdf.NewZoom(0, top, 600, top + 400, -20, 40, 20, 60, WindowPriority);
        mdf.OverlayMAS.Append(std::make_unique<MASStruct>());
        mdf.OverlayMAS.Last()->Title = std::make_unique<std::string>(overlay);
        mdf.OverlayKey_Displayed = false;
        mdf.BaseKey_Displayed = false;
        EXPECT_TRUE(mdf.Save(dir / "Query.MDF"));
        frm->OpenMapFile(dir / "Query.MDF");
        Settle();
        auto* map = dynamic_cast<TMapFrm*>(MapFrm);
        EXPECT_NE(map, nullptr);
        return *map;
    }
    // A click in query mode at a place on the map.
    static void ClickQuery(TMapFrm& map, double lat, double lon)
    {
        map.Menu.Query1->trigger();
        EXPECT_EQ(map.ChkQuery, StartQuery);
        map.zInX1 = map.LonToScreen(lon);
        map.zInY1 = map.LatToScreen(lat);
        map.ChkQuery = EndQuery;
        map.QuerySearch();
    }
    static Colour Pixel(const TMapFrm& map, int x, int y)
    {
        return FromQColor(QColor(map.Picture().pixel(x, y)));
    }

    TempDir dir;
    uint32_t harwick = 0;
    std::unique_ptr<SettingsStore> settings;
    ScriptedDialogService dialogs;
    RecordingMessageSink sink;
    FixedCdromProvider mounts{{}};
    std::unique_ptr<TMainFrm> frm;
};

TEST_F(QueryWindowTest, HeadedRecordShowsSavesAndCopiesThenTheQueryStartsAgain)
{
    TMapFrm& map = Open("Towns");
    ASSERT_TRUE(map.Menu.Query1->isEnabled());
    std::vector<std::string> lines;
    bool scrolled = true;
    int yellow = 0;
    QString title, clip;
    dialogs.saveAnswers = {{DialogOutcome::Ok, dir / "report"}, {DialogOutcome::Ok, dir / "report.doc"}};
    WhenQueryFormShown([&](TQueryForm& form) {
        title = form.windowTitle();
        lines = form.ReportLines();
        scrolled = form.ScrollBarShown();
        const QImage& page = form.Picture();
        for (int y = 0; y < page.height(); ++y)
            for (int x = 0; x < 120; ++x) yellow += FromQColor(QColor(page.pixel(x, y))) == DOSColour[14];
        form.SaveBtn->click();
        form.SaveBtn->click();
        form.TexttoClipboard1->trigger();
        clip = QApplication::clipboard()->text();
        form.CloseBtn->click();
    });
    ClickQuery(map, 50.3, -10.2);
    EXPECT_EQ(title, "Towns");
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(std::vector<std::string>(lines.begin(), lines.begin() + 3),
              (std::vector<std::string>{"  Town:Harwick", "  Remarks:", "Founded at 50\xB0 N"}));
    // The credit line, centred: indented by more than a left-justified heading.
    EXPECT_GT(lines[3].find("Survey 1990"), 2u);
    EXPECT_EQ(lines[3].find_first_not_of(' '), lines[3].find("Survey 1990"));
    EXPECT_FALSE(scrolled);
    EXPECT_GT(yellow, 20);   // the yellow headings are drawn on the black page
    EXPECT_EQ(ReadFile(dir / "report.TXT"), "  Town:Harwick\r\n  Remarks:\r\nFounded at 50\xB0 N\r\n" + lines.back() + "\r\n");
    EXPECT_EQ(dialogs.saveRequests.at(0).title, "Save the Query Information");
    EXPECT_FALSE(QFileInfo::exists(QString::fromStdString(dir / "report.doc")));
    EXPECT_TRUE(sink.Contains("To Save a Query file it must have a BMP or TXT file extension."));
    EXPECT_EQ(sink.beeps, 1);
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
    const std::string pdf = dir / "report.pdf";
    CurrentPrinter().setOutputFormat(QPrinter::PdfFormat);
    CurrentPrinter().setOutputFileName(QString::fromStdString(pdf));
    dialogs.printAnswers = {{DialogOutcome::Ok, PrintChoice{}}};
    bool scrolled = false;
    int height = 0, usableBottom = 0;
    WhenQueryFormShown([&](TQueryForm& form) {
        scrolled = form.ScrollBarShown();
        height = form.frameGeometry().height();
        usableBottom = map.MDF->UsableScreen.Bottom;
        form.PrintBtn->click();
        form.CloseBtn->click();
    });
    ClickQuery(map, 45, 5);
    EXPECT_TRUE(scrolled);
    EXPECT_LE(height, usableBottom);
    EXPECT_GT(QFileInfo(QString::fromStdString(pdf)).size(), 1000);
    CurrentPrinter().setOutputFileName(QString());
}

TEST_F(QueryWindowTest, OneLineAnswerBesideTheZoneWhichFlashesAndIsRestored)
{
    TMapFrm& map = Open("Zones");
    // A point of the zone's outline, away from its corners.
    const int ox = map.LonToScreen(-13), oy = map.LatToScreen(50);
    int y = oy;
    for (int dy = -2; dy <= 2; ++dy)
        if (Pixel(map, ox, oy + dy) == kZoneColour) y = oy + dy;
    ASSERT_EQ(Pixel(map, ox, y), kZoneColour);

    ClickQuery(map, 52.5, -12);
    auto* panel = dynamic_cast<QLabel*>(map.QueryPanel);
    ASSERT_NE(panel, nullptr);
    EXPECT_TRUE(panel->isVisible());
    EXPECT_EQ(panel->text(), "Fishing zone B");
    EXPECT_TRUE(panel->testAttribute(Qt::WA_TransparentForMouseEvents));
    EXPECT_EQ(map.Timer1Tag, 7);
    EXPECT_TRUE(map.Timer1->isActive());
    EXPECT_TRUE(sink.messages.empty());

    map.Timer1Timer();
    EXPECT_EQ(Pixel(map, ox, y), clWhite);
    map.Timer1Timer();
    EXPECT_EQ(Pixel(map, ox, y), clBlack);
    map.Timer1Timer();
    map.Timer1Timer();
    EXPECT_EQ(Pixel(map, ox, y), clWhite);
    map.Timer1->stop();
    map.FlashSymbol(false);
    EXPECT_EQ(Pixel(map, ox, y), kZoneColour);
    EXPECT_EQ(map.QueryPanel, nullptr);
    EXPECT_TRUE(map.Points.empty());
}

TEST_F(QueryWindowTest, MissingInformationFileIsToldAndTheSymbolStillFlashes)
{
    TMapFrm& map = Open("Zones");
    std::remove((dir / "Themes/DNN/ZONES.DAT").c_str());
    ClickQuery(map, 53, -13);
    EXPECT_EQ(sink.Texts(), std::vector<std::string>{"The Query Information file is missing."});
    EXPECT_EQ(map.QueryPanel, nullptr);
    EXPECT_TRUE(map.Timer1->isActive());
    // Far from the zone's reference point in the open sea of the map's other half, the zone
    // is still the nearest: a polygon needs no click inside it. Here nothing is left to find.
    sink.Clear();
    map.Timer1->stop();
    map.FlashSymbol(false);
    map.ChkQuery = NoQuery;
    map.MDF->SetMinLat(70), map.MDF->SetMaxLat(75);
    ClickQuery(map, 72, 0);
    EXPECT_TRUE(sink.messages.empty());
    EXPECT_EQ(map.QueryPanel, nullptr);
}

// The sample atlas: the Channel map's towns answer with their records.
TEST(SampleAtlasQuery, ATownOfTheChannelMapShowsItsRecord)
{
    CvVars::Reset();
    TempDir cfg;
    SettingsStore settings(cfg / "corvane.ini");
    ScriptedDialogService dialogs;
    RecordingMessageSink sink;
    FixedCdromProvider mounts{{}};
    auto frm = std::make_unique<TMainFrm>(
        MainFrmServices{&settings, &dialogs, &sink, &mounts, {SourceDir() + "/atlas", {}}});
    frm->show();
    InstallMapWindowFactory(sink);
    frm->OpenMapFile(SourceDir() + "/atlas/Maps/Channel.MDF");
    for (int i = 0; i < 4; ++i) QApplication::processEvents();
    auto* map = dynamic_cast<TMapFrm*>(MapFrm);
    ASSERT_NE(map, nullptr);
    ASSERT_TRUE(map->Menu.Query1->isEnabled());
    std::vector<std::string> lines;
    WhenQueryFormShown([&](TQueryForm& form) {
        lines = form.ReportLines();
        form.CloseBtn->click();
    });
    map->Menu.Query1->trigger();
    map->zInX1 = map->ClientWidth() / 2;
    map->zInY1 = map->ClientHeight() / 2;
    map->ChkQuery = EndQuery;
    map->QuerySearch();
    ASSERT_GE(lines.size(), 5u);
    EXPECT_EQ(lines[0].rfind("  Town:", 0), 0u);
    EXPECT_GT(lines[0].size(), std::string("  Town:").size());
    EXPECT_NE(lines.back().find("GeoNames"), std::string::npos);
    EXPECT_TRUE(sink.messages.empty()) << sink.messages.front().text;
    map->CloseWindow();
    for (int i = 0; i < 2; ++i) QApplication::processEvents();
    SetMapWindowFactory(nullptr);
    frm.reset();
    CvVars::Reset();
}

} // namespace
