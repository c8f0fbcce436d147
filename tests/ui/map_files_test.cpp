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
#include <QDir>
#include <QFile>
#include <QPrinter>
#include <QPushButton>
#include <QTimer>

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>


using namespace corvane;
using namespace corvane::test;

namespace {

constexpr const char* kSaveQuestion =
    "Changes have been made to the Map Definition Harbour.mdf. Do you want to save them ?";

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
    }
    void TearDown() override
    {
        if (Map()) Map()->NeedToSave = false;
        window.Stop();
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
    EXPECT_TRUE(dialogs.saveRequests.empty() && sink.messages.empty());
    EXPECT_EQ(ReadFile(dir / "Maps/Harbour.BAK"), original);
    const std::string saved = ReadFile(mapPath);
    EXPECT_NE(saved.find("Grid_Colour=255\r\n"), std::string::npos);

    // Closed and opened again, the map is as it was saved: saving it writes the same file.
    frm->Close1Click();
    Settle();
    ASSERT_EQ(MapFrm, nullptr);
    Open(mapPath);
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
}

TEST_F(MapFilesTest, ClosingAChangedMapAsksCancelKeepsItNoClosesWithoutSavingYesSavesAs)
{
    const std::string original = ReadFile(mapPath);
    TMapFrm& map = Open(mapPath);
    map.NeedToSave = true;
    sink.answers = {MsgResult::Cancel, MsgResult::No};
    frm->Close1Click();
    Settle();
    ASSERT_EQ(Map(), &map);
    frm->Close1Click();
    Settle();
    EXPECT_EQ(MapFrm, nullptr);
    EXPECT_EQ(sink.Texts(), (std::vector<std::string>{kSaveQuestion, kSaveQuestion}));
    EXPECT_EQ(sink.messages[0].buttons, MsgButtons::YesNoCancel);
    EXPECT_EQ(ReadFile(mapPath), original);

    // Closing the program while another window is the active child still asks for the map;
    // Yes runs Save As, offering the map's name.
    Open(mapPath).NeedToSave = true;
    frm->Tag = kTagEditFrm;
    sink.answers = {MsgResult::Yes};
    dialogs.saveAnswers.push_back({DialogOutcome::Ok, dir / "Kept"});
    frm->close();
    Settle();
    ASSERT_EQ(dialogs.saveRequests.size(), 1u);
    EXPECT_EQ(dialogs.saveRequests[0].fileName, mapPath);
    EXPECT_NE(ReadFile(dir / "Kept.MDF").find("Title1=Squares"), std::string::npos);
    EXPECT_EQ(MapFrm, nullptr);
}

TEST_F(MapFilesTest, ThreeCopiesOnAPrinterThatCannotCopyPrintThreePagesAndCancelStopsAJob)
{
    const std::string pdf = PrintToPdf("three.pdf", 3);
    TMapFrm& map = Open(mapPath);
    bool splashSeen = false;   // the progress window stands over the map while the job runs
    QTimer::singleShot(0, [&] { splashSeen = PrintSplashForm && PrintSplashForm->isVisible(); });
    frm->Print1->trigger();
    EXPECT_FALSE(GeneralPageSetUp().NumCopiesSupported);
    EXPECT_EQ(PdfPages(ReadFile(pdf)), 3);
    EXPECT_EQ(CurrentPrinter().docName(), "Harbour.mdf");   // the job is named after the caption
    EXPECT_TRUE(splashSeen);
    EXPECT_TRUE(PrintSplashForm == nullptr && !map.Printing() && sink.messages.empty());

    // A cancelled job writes no file.
    const std::string cancelled = PrintToPdf("cancelled.pdf", 5);
    QTimer::singleShot(0, [] { PrintSplashForm->CancelButton->click(); });
    frm->Print1->trigger();
    EXPECT_FALSE(QFile::exists(QString::fromStdString(cancelled)));
    EXPECT_TRUE(PrintSplashForm == nullptr && !map.Printing() && sink.messages.empty());
}

TEST_F(MapFilesTest, PrintingToAFileThatCannotBeWrittenSaysWhyAndLeavesTheOldFileWhole)
{
    const std::string pdf = PrintToPdf("full.pdf", 1);
    dir.Write("full.pdf", "an earlier print");
    Open(mapPath);
    {
        const FileSizeLimit full(512);   // the page is larger
        frm->Print1->trigger();
    }
    EXPECT_EQ(sink.Texts(), (std::vector<std::string>{"Unable to save " + pdf + " : " + std::strerror(EFBIG)}));
    EXPECT_EQ(ReadFile(pdf), "an earlier print");
    EXPECT_EQ(QDir(QString::fromStdString(dir.Path())).entryList(QDir::Files | QDir::Hidden),
              QStringList{"full.pdf"});
}

// A chosen file that is no map is told before the open map would be closed: that map stays.
TEST_F(MapFilesTest, OpeningAFileThatIsNoMapKeepsTheMapThatIsOpen)
{
    TMapFrm& map = Open(mapPath);
    sink.Clear();
    const std::string notes = dir.Write("notes.txt", "not a map\n");
    frm->OpenMapFile(notes);
    Settle();
    EXPECT_EQ(Map(), &map);
    EXPECT_EQ(map.Filename, mapPath);
    EXPECT_EQ(sink.Texts(), std::vector<std::string>{notes + " is not a map definition file."});
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
    bool plotFailed = true;
    ASSERT_EQ(PrintMapDocument(map, page, 1, &plotFailed), PrintResult::Printed);
    EXPECT_FALSE(plotFailed);
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
    EXPECT_EQ(QApplication::clipboard()->image().convertToFormat(QImage::Format_RGB32), map.Picture());

    // A PNG by its name (any case), the printed page as PDF by the filter.
    dialogs.saveAnswers = {{DialogOutcome::Ok, dir / "Harbour.PNG"}, {DialogOutcome::Ok, dir / "Harbour"}};
    dialogs.saveFilterAnswers = {1, 3};
    frm->Export1Click();
    frm->Export1Click();
    EXPECT_EQ(dialogs.saveRequests[0].fileName, "Harbour.png");
    EXPECT_EQ(QImage(QString::fromStdString(dir / "Harbour.PNG")).convertToFormat(QImage::Format_RGB32), map.Picture());
    EXPECT_EQ(PdfPages(ReadFile(dir / "Harbour.pdf")), 1);
    EXPECT_TRUE(sink.messages.empty());
}

} // namespace
