// The map window's File commands through the main window: saving with a backup, Save As for
// a new map, the save question when a changed map closes, printing (to a PDF printer and to a
// picture of a page), the clipboard and export.
#include "MainWindowFixture.h"
#include "app/PrintSplash.h"
#include "e2e/AtlasFixture.h"
#include "mapwindow/MapOutput.h"
#include "platform/CvVars.h"
#include "platform/PageSetup.h"
#include "platform/qt/QtCanvas.h"
#include "platform/qt/QtPrinter.h"

#include <QApplication>
#include <QClipboard>
#include <QPrinter>
#include <QPushButton>
#include <QTimer>

#include <gtest/gtest.h>

#include <sys/stat.h>

using namespace corvane;
using namespace corvane::test;

namespace {

constexpr const char* kSaveQuestion = "Changes have been made to the Map Definition. Do you want to save them ?";

Colour PixelOf(const QImage& image, int x, int y) { return FromQColor(QColor(image.pixel(x, y))); }

class MapFilesTest : public MainWindowFixture {
protected:
    void SetUp() override
    {
        CvVars::Reset();
        WriteCoastlines(dir);
        WriteSquare(dir, "Themes/Square.POL", 1, 1, 3, 3);
        dir.Write("Themes/Squares.MAS", ThemeText({{8, false, {{"CDROM:\\Themes\\Square.POL", 0}}}}, 12));
        WriteDataListOf(dir, {{"Squares", "Themes\\Squares.MAS"}});
        mapPath = dir.Write("Maps/Harbour.mdf", MapText({20, 1, {"Squares"}, {}}));
        StartMainWindow(dir.Path());
        InstallMapWindowFactory(sink);
    }
    void TearDown() override
    {
        if (Map()) Map()->NeedToSave = false;
        if (MapFrm) MapFrm->CloseWindow();
        Settle();
        SetMapWindowFactory(nullptr);
        frm.reset();
        CvVars::Reset();
        GeneralPageSetUp().SetPrinter(nullptr);
        GeneralPageSetUp().Reset();
        CurrentPrinter().setOutputFileName(QString());
    }
    TMapFrm& Open(const std::string& path)
    {
        frm->OpenMapFile(path);
        Settle();
        EXPECT_NE(Map(), nullptr);
        return *Map();
    }
    // The current printer writes PDF files (and tells the page set-up so); the print dialog
    // will answer OK with that many copies.
    std::string PrintToPdf(const std::string& name, int copies)
    {
        QPrinter& printer = CurrentPrinter();
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(QString::fromStdString(dir / name));
        GeneralPageSetUp().SetPrinter(&facts);
        PrintChoice choice;
        choice.copies = copies;
        dialogs.printAnswers.push_back({DialogOutcome::Ok, choice});
        return dir / name;
    }

    std::string mapPath;
    QtPrinterFacts facts;
};

TEST_F(MapFilesTest, SaveKeepsThePreviousFileAsBakAndAReopenedMapSavesTheSame)
{
    const std::string original = ReadFile(mapPath);
    TMapFrm& map = Open(mapPath);
    map.MDF->Grid_Colour = 0x0000FF;   // a change made by a command
    map.NeedToSave = true;
    frm->Save1->trigger();
    EXPECT_FALSE(map.NeedToSave);
    EXPECT_TRUE(dialogs.saveRequests.empty());
    EXPECT_EQ(ReadFile(dir / "Maps/Harbour.BAK"), original);
    const std::string saved = ReadFile(mapPath);
    EXPECT_NE(saved.find("Grid_Colour=255\r\n"), std::string::npos);
    EXPECT_NE(saved.find("[Base]\r\nTitle1=Squares"), std::string::npos);
    EXPECT_TRUE(sink.messages.empty());

    // Closed and opened again, the map is as it was saved: saving it writes the same file.
    frm->Close1Click();
    Settle();
    ASSERT_EQ(MapFrm, nullptr);
    TMapFrm& again = Open(mapPath);
    EXPECT_EQ(again.MDF->Grid_Colour, 0x0000FFu);
    frm->Save1->trigger();
    EXPECT_EQ(ReadFile(mapPath), saved);
    EXPECT_EQ(ReadFile(dir / "Maps/Harbour.BAK"), saved);
}

TEST_F(MapFilesTest, SavingANewMapAsksForANameAndAddsMdf)
{
    frm->New1Click();
    Settle();
    TMapFrm& map = *Map();
    EXPECT_EQ(map.windowTitle(), "Map Window");
    dialogs.saveAnswers.push_back({DialogOutcome::Ok, dir / "North"});
    frm->Save1->trigger();
    ASSERT_EQ(dialogs.saveRequests.size(), 1u);
    EXPECT_EQ(dialogs.saveRequests[0].title, "Save File As");
    EXPECT_EQ(dialogs.saveRequests[0].filter, "MDF Files (*.mdf)|*.mdf|All Files (*.*)|*.*");
    EXPECT_EQ(map.Filename, dir / "North.MDF");
    EXPECT_EQ(map.windowTitle(), "North.MDF");
    EXPECT_EQ(map.Menu.WindowPath1->text().toStdString(), dir / "North.MDF");
    EXPECT_NE(ReadFile(dir / "North.MDF").find("[Map Definition]"), std::string::npos);
    struct stat st {};
    EXPECT_NE(::stat((dir / "North").c_str(), &st), 0);

    // Save As under another name: the caption follows; the first file stays as it was.
    dialogs.saveAnswers.push_back({DialogOutcome::Ok, dir / "South.mdf"});
    frm->SaveAs1->trigger();
    EXPECT_EQ(map.windowTitle(), "South.mdf");
    EXPECT_EQ(ReadFile(dir / "South.mdf"), ReadFile(dir / "North.MDF"));
}

TEST_F(MapFilesTest, ClosingAChangedMapAsksCancelKeepsItNoClosesWithoutSaving)
{
    TMapFrm& map = Open(mapPath);
    const std::string original = ReadFile(mapPath);
    map.NeedToSave = true;
    sink.answers = {MsgResult::Cancel};
    frm->Close1Click();
    Settle();
    ASSERT_EQ(Map(), &map);
    ASSERT_EQ(sink.messages.size(), 1u);
    EXPECT_EQ(sink.messages[0].text, kSaveQuestion);
    EXPECT_EQ(sink.messages[0].buttons, MsgButtons::YesNoCancel);
    // New does nothing while the map refuses to close.
    sink.answers = {MsgResult::Cancel};
    frm->New1Click();
    Settle();
    EXPECT_EQ(Map(), &map);

    sink.Clear();
    sink.answers = {MsgResult::No};
    frm->Close1Click();
    Settle();
    EXPECT_EQ(MapFrm, nullptr);
    EXPECT_EQ(sink.Texts(), (std::vector<std::string>{kSaveQuestion}));
    EXPECT_EQ(ReadFile(mapPath), original);
    struct stat st {};
    EXPECT_NE(::stat((dir / "Maps/Harbour.BAK").c_str(), &st), 0);
}

TEST_F(MapFilesTest, YesSavesAsAndClosingTheProgramAsksForTheMapEvenFromAnotherWindow)
{
    TMapFrm& map = Open(mapPath);
    map.NeedToSave = true;
    // Another window is the active child: closing the main window still asks for the map.
    frm->Tag = kTagEditFrm;
    sink.answers = {MsgResult::Yes};
    dialogs.saveAnswers.push_back({DialogOutcome::Ok, dir / "Kept"});
    EXPECT_FALSE(frm->close() && MapFrm != nullptr);
    Settle();
    EXPECT_EQ(sink.Texts(), (std::vector<std::string>{kSaveQuestion}));
    ASSERT_EQ(dialogs.saveRequests.size(), 1u);
    EXPECT_EQ(dialogs.saveRequests[0].fileName, mapPath);   // Save As offers the map's name
    EXPECT_NE(ReadFile(dir / "Kept.MDF").find("Title1=Squares"), std::string::npos);
    EXPECT_EQ(MapFrm, nullptr);

    // Yes, then a cancelled Save As: the map stays open with its changes.
    TMapFrm& second = Open(mapPath);
    second.NeedToSave = true;
    sink.answers = {MsgResult::Yes};
    frm->Close1Click();
    Settle();
    EXPECT_EQ(Map(), &second);
    EXPECT_TRUE(second.NeedToSave);
}

TEST_F(MapFilesTest, ThreeCopiesOnAPrinterThatCannotCopyPrintThreePages)
{
    const std::string pdf = PrintToPdf("three.pdf", 3);
    TMapFrm& map = Open(mapPath);
    bool splashSeen = false;
    // While the job runs the progress window stands over the map.
    QTimer::singleShot(0, [&] { splashSeen = PrintSplashForm && PrintSplashForm->isVisible(); });
    frm->Print1->trigger();
    EXPECT_EQ(dialogs.printRequests, 1);
    EXPECT_FALSE(GeneralPageSetUp().NumCopiesSupported);
    const std::string bytes = ReadFile(pdf);
    ASSERT_EQ(bytes.rfind("%PDF-", 0), 0u);
    EXPECT_EQ(PdfPages(bytes), 3);
    EXPECT_EQ(CurrentPrinter().docName(), "Harbour.mdf");   // the job is named after the caption
    EXPECT_TRUE(splashSeen);
    EXPECT_EQ(PrintSplashForm, nullptr);
    EXPECT_FALSE(map.Printing());
    EXPECT_TRUE(sink.messages.empty());
}

TEST_F(MapFilesTest, CancelInTheProgressWindowEndsTheJobQuietly)
{
    const std::string pdf = PrintToPdf("cancelled.pdf", 5);
    TMapFrm& map = Open(mapPath);
    QTimer::singleShot(0, [] {
        if (PrintSplashForm) PrintSplashForm->CancelButton->click();
    });
    frm->Print1->trigger();
    EXPECT_LT(PdfPages(ReadFile(pdf)), 5);
    EXPECT_TRUE(sink.messages.empty());
    EXPECT_FALSE(map.Printing());
    EXPECT_EQ(PrintSplashForm, nullptr);
}

TEST_F(MapFilesTest, DialogsThatCannotBeShownAreReported)
{
    Open(mapPath);
    dialogs.printAnswers.push_back({DialogOutcome::Failed, {}});
    frm->Print1->trigger();
    dialogs.printerSetupAnswers.push_back(DialogOutcome::Failed);
    frm->PrintSetUp1->trigger();
    dialogs.printerSetupAnswers.push_back(DialogOutcome::Ok);
    frm->PrintSetUp1->trigger();
    EXPECT_EQ(sink.Texts(), (std::vector<std::string>{"Unable to load Print dialog", "Unable to load Printer Setup dialog"}));
    EXPECT_EQ(dialogs.printerSetupRequests, 2);
}

// A printer page of 8 x 10.5 inches printable at 100 dots per inch, as a picture.
class PicturePage : public PrintDocument {
public:
    PicturePage() : image(800, 1050, QImage::Format_RGB32)
    {
        image.fill(QColor(0x12, 0x34, 0x56));   // what the page must not show
        page.PageWidth = 800;
        page.PageHeight = 1050;
        page.XDpi = page.YDpi = 100;
        page.minLeftMargin = page.minRightMargin = page.minTopMargin = page.minBottomMargin = 0.25;
    }
    bool BeginDoc() override
    {
        painter.begin(&image);
        canvas = std::make_unique<QtCanvas>(&painter, 800, 1050, 100, 100);
        return true;
    }
    Canvas* PageCanvas() override { return canvas.get(); }
    PrintPage Page() const override { return page; }
    bool NewPage() override { return false; }
    bool EndDoc() override
    {
        canvas.reset();
        return painter.end();
    }
    bool Aborted() const override { return false; }

    QImage image;
    QPainter painter;
    std::unique_ptr<QtCanvas> canvas;
    PrintPage page;
};

TEST_F(MapFilesTest, AMapTwiceAsWideAsHighPrintsAcrossThePageWithWhiteBelowIt)
{
    TMapFrm& map = Open(mapPath);
    map.resize(600, 300);
    Settle();
    ASSERT_EQ(map.Picture().size(), QSize(600, 300));
    PicturePage page;
    ASSERT_EQ(PrintMapDocument(map, page, 1), PrintResult::Printed);
    // Margins of 1 inch over a quarter-inch border: the map starts 75 dots in and takes the
    // 650 dots between the side margins, so 325 dots down to row 400.
    const QImage& p = page.image;
    EXPECT_EQ(PixelOf(p, 400, 80), kSea);
    EXPECT_EQ(PixelOf(p, 76, 395), kSea);
    EXPECT_EQ(PixelOf(p, 724, 395), kSea);
    for (QPoint white : {QPoint(400, 401), QPoint(400, 1000), QPoint(10, 200), QPoint(760, 200), QPoint(400, 50),
                         QPoint(74, 300), QPoint(726, 300)})
        EXPECT_EQ(PixelOf(p, white.x(), white.y()), clWhite) << white.x() << "," << white.y();
    // The square of the theme (red) is where it stands on the screen, scaled to the page.
    const QPoint red(map.LonToScreen(2), map.LatToScreen(2));
    EXPECT_EQ(PixelOf(map.Picture(), red.x(), red.y()), DOSColour[12]);
    EXPECT_EQ(PixelOf(p, 75 + red.x() * 650 / 600, 75 + red.y() * 325 / 300), DOSColour[12]);
}

TEST_F(MapFilesTest, TheClipboardAndExportHoldTheWholePicture)
{
    TMapFrm& map = Open(mapPath);
    frm->CopyToClipboard1->trigger();
    const QImage copied = QApplication::clipboard()->image();
    EXPECT_EQ(copied.size(), map.Picture().size());
    EXPECT_EQ(copied.convertToFormat(QImage::Format_RGB32), map.Picture());

    // PNG by its name, BMP by its filter, the printed page as PDF.
    dialogs.saveAnswers = {{DialogOutcome::Ok, dir / "out/Harbour.PNG"}, {DialogOutcome::Ok, dir / "out/Harbour"},
                           {DialogOutcome::Ok, dir / "out/Harbour.pdf"}};
    dialogs.saveFilterAnswers = {1, 2, 1};
    ::mkdir((dir / "out").c_str(), 0755);
    for (int i = 0; i < 3; ++i) frm->Export1Click();
    ASSERT_EQ(dialogs.saveRequests.size(), 3u);
    EXPECT_EQ(dialogs.saveRequests[0].fileName, "Harbour.png");
    EXPECT_EQ(QImage(QString::fromStdString(dir / "out/Harbour.PNG")).convertToFormat(QImage::Format_RGB32), map.Picture());
    EXPECT_EQ(QImage(QString::fromStdString(dir / "out/Harbour.bmp")).convertToFormat(QImage::Format_RGB32), map.Picture());
    const std::string pdf = ReadFile(dir / "out/Harbour.pdf");
    EXPECT_EQ(pdf.rfind("%PDF-", 0), 0u);
    EXPECT_EQ(PdfPages(pdf), 1);
    EXPECT_TRUE(sink.messages.empty());

    // A folder that is not there: the reason, nothing else written.
    dialogs.saveAnswers = {{DialogOutcome::Ok, dir / "gone/x.png"}};
    frm->Export1Click();
    EXPECT_EQ(sink.Texts(), (std::vector<std::string>{"Unable to save " + (dir / "gone/x.png") + " : No such file or directory"}));
}

TEST(ExportTarget, TheKindFollowsTheNameOrElseTheFilter)
{
    EXPECT_EQ(ExportTargetOf("/m/a.Png", 3).path, "/m/a.Png");
    EXPECT_TRUE(ExportTargetOf("/m/a.Png", 3).kind == ExportKind::Png);
    EXPECT_TRUE(ExportTargetOf("/m/a.BMP", 1).kind == ExportKind::Bmp);
    EXPECT_EQ(ExportTargetOf("/m.x/a", 3).path, "/m.x/a.pdf");
    EXPECT_TRUE(ExportTargetOf("/m/a.gif", 2).kind == ExportKind::Bmp);
    EXPECT_EQ(ExportTargetOf("/m/a.gif", 2).path, "/m/a.gif.bmp");
}

} // namespace
