// The map window's File commands: saving the map definition, closing with unsaved changes,
// printing, the clipboard and export.
#include "mapwindow/MapFrm.h"

#include "app/PrintSplash.h"
#include "mapwindow/MapOutput.h"
#include "platform/CvVars.h"
#include "platform/DataPath.h"
#include "platform/DialogService.h"
#include "platform/MessageSink.h"
#include "platform/PageSetup.h"
#include "platform/SaveCommand.h"
#include "platform/qt/QtPrinter.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QMenu>
#include <QPointer>
#include <QPrinter>
#include <QTimer>

namespace corvane {

namespace {

constexpr const char* kMapFilter = "MDF Files (*.mdf)|*.mdf|All Files (*.*)|*.*";
constexpr const char* kChangesMade = "Changes have been made to the Map Definition";
constexpr const char* kSaveThem = ". Do you want to save them ?";
constexpr const char* kPrintingOccurs = "Printing is occuring. Closing the application now will Abort the print.";
constexpr const char* kPrintInProgress = "Printing currently in progress";

} // namespace

// ---- the caption ------------------------------------------------------------------------------

QString TMapFrm::MapCaption() const
{
    return Filename.empty() ? QStringLiteral("Map Window") : QFile::decodeName(FileNamePart(Filename).c_str());
}

void TMapFrm::ShowMapCaption()
{
    setWindowTitle(MapCaption());
    const QString path = Filename.empty() ? MapCaption() : QFile::decodeName(Filename.c_str());
    setWindowFilePath(path);
    if (Menu.WindowPath1) Menu.WindowPath1->setText(QString(path).replace('&', QStringLiteral("&&")));
}

// ---- saving -----------------------------------------------------------------------------------

DocumentSaver TMapFrm::Saver()
{
    DocumentSaver saver(owner_.Dialogs(), messages, {"Save File As", kMapFilter, ".MDF"},
                        [this](const std::string& path, std::string* error) {
                            if (!MDF) return false;
                            return MDF->Save(path, error);
                        });
    saver.onNamed = [this](const std::string&) { ShowMapCaption(); };
    return saver;
}

void TMapFrm::Save1Click()
{
    EndDistanceMeasurement();
    if (!MDF || closed_) return;
    if (Saver().Save(Filename) == SaveResult::Saved) NeedToSave = false;
}

void TMapFrm::SaveAs1Click()
{
    EndDistanceMeasurement();
    if (!MDF || closed_) return;
    if (Saver().SaveAs(Filename) != SaveResult::Saved) return;
    NeedToSave = false;
    owner_.RememberMapFile(Filename);   // offered again under its new name
}

// ---- closing ----------------------------------------------------------------------------------

bool TMapFrm::SaveChangesQuery()
{
    if (!NeedToSave) return true;
    // The question names the map it asks about (a new map has no name to give).
    const std::string name = Filename.empty() ? std::string() : " " + FileNamePart(Filename);
    switch (messages.Confirm(kChangesMade + name + kSaveThem, MsgButtons::YesNoCancel)) {
    case MsgResult::Yes: SaveAs1Click(); break;
    case MsgResult::No: NeedToSave = false; break;
    case MsgResult::Cancel: break;
    default: messages.Beep(); break;
    }
    return !NeedToSave;
}

bool TMapFrm::FormCloseQuery()
{
    if (!Printing()) return true;
    if (messages.Confirm(kPrintingOccurs, MsgButtons::YesNo) != MsgResult::Yes) return false;
    AbortPrint();
    return true;
}

// ---- printing ---------------------------------------------------------------------------------

void TMapFrm::AbortPrint()
{
    if (printDoc_) printDoc_->Abort();
}

void TMapFrm::Print1Click()
{
    if (Printing()) {
        messages.Info(kPrintInProgress);
        return;
    }
    if (!MDF || closed_ || plotting_ > 0) return;
    PrintChoice choice;
    choice.copies = 1;
    DialogService* dialogs = owner_.Dialogs();
    const DialogOutcome outcome = dialogs ? dialogs->Print(choice) : DialogOutcome::Failed;
    if (outcome == DialogOutcome::Cancel) return;
    if (outcome == DialogOutcome::Failed) {
        ReportDialogFailure(messages, "Print");
        return;
    }

    // The progress window stands over everything while the job runs; its Cancel is the only
    // input taken meanwhile.
    QPointer<TPrintSplashForm> splash = new TPrintSplashForm([this] { AbortPrint(); }, this);
    splash->setWindowModality(Qt::ApplicationModal);
    splash->show();
    splash->repaint();
    repaint();

    if (Redraw1Enabled()) Redraw(false);

    QPrinter& printer = CurrentPrinter();
    printer.setDocName(MapCaption());
    KeepMinimumMargins(printer);   // the painter's origin is the corner of the printable area
    PageSetUpUnit& page = GeneralPageSetUp();
    page.GetMinPageSize();
    const int pages = PagesToPrint(choice.copies, page.NumCopiesSupported);
    // Copies the driver does not make are printed as pages of their own, once each.
    printer.setCopyCount(page.NumCopiesSupported ? std::max(1, choice.copies) : 1);

    // Printing to a file makes the PDF in memory and writes it in one step, so that a full disc
    // is told with its reason rather than leaving a torn file.
    const std::string pdfFile = PdfFileOf(printer);
    std::unique_ptr<QtPrintDocument> doc;
    if (pdfFile.empty())
        doc = std::make_unique<QtPrintDocument>(printer, MarginsOf(page), &printer);
    else
        doc = std::make_unique<PdfFileDocument>(pdfFile, printer.pageLayout(), printer.resolution(), MarginsOf(page),
                                                MapCaption());
    printDoc_ = doc.get();
    ++plotting_;
    const PrintResult result = PrintMapDocument(*this, *doc, pages);
    --plotting_;
    printDoc_ = nullptr;
    const auto* pdf = dynamic_cast<const PdfFileDocument*>(doc.get());
    const std::string writeError = pdf ? pdf->Error() : std::string();
    doc.reset();

    delete splash.data();
    activateWindow();
    if (result == PrintResult::Failed && !writeError.empty())
        messages.Error(SaveFailedMessage(pdfFile, writeError));
    else if (result == PrintResult::Failed)
        ReportDialogFailure(messages, "Print");
    if (closePending_) {
        closePending_ = false;
        QMetaObject::invokeMethod(this, [this] { close(); }, Qt::QueuedConnection);
    } else if (GeometryPending()) {
        geometryTimer_->start();   // moves and resizes made while printing are taken up now
    }
}

void TMapFrm::PrintSetUp1Click()
{
    DialogService* dialogs = owner_.Dialogs();
    if (!dialogs || dialogs->PrinterSetup() == DialogOutcome::Failed) ReportDialogFailure(messages, "Printer Setup");
}

// ---- clipboard and export -------------------------------------------------------------------------

void TMapFrm::CopyToClipboard1Click()
{
    // The picture as it is shown, graticule and keys included, in the screen's device pixels.
    if (canvas_) canvas_->End();
    QApplication::clipboard()->setImage(DevicePixelImage(image_));
}

void TMapFrm::Export1Click()
{
    if (!MDF || closed_ || plotting_ > 0) return;
    FileDialogRequest r;
    r.title = "Export Map";
    r.filter = kExportFilter;
    r.initialDir = CvVars::DefaultDir;
    r.fileName = ChangeFileExt(Filename.empty() ? std::string("Map") : FileNamePart(Filename), ".png");
    r.overwritePrompt = true;
    std::string chosen;
    int filter = 1;
    DialogService* dialogs = owner_.Dialogs();
    const DialogOutcome outcome = dialogs ? dialogs->SaveFileFiltered(r, chosen, filter) : DialogOutcome::Failed;
    if (outcome == DialogOutcome::Failed) ReportDialogFailure(messages, "Save");
    if (outcome != DialogOutcome::Ok || chosen.empty()) return;

    const ExportTarget target = ExportTargetOf(chosen, filter);
    std::string error;
    bool ok;
    if (target.kind == ExportKind::Pdf) {
        // The printed page, as Print makes it.
        if (Redraw1Enabled()) Redraw(false);
        SetBusyCursor(true);
        ++plotting_;
        ok = PrintMapToPdf(*this, target.path, CurrentPrinter().pageLayout(), MarginsOf(GeneralPageSetUp()), &error);
        --plotting_;
        SetBusyCursor(false);
    } else {
        if (canvas_) canvas_->End();
        ok = WriteMapPicture(image_, target.path, target.kind == ExportKind::Bmp ? PictureFormat::Bmp : PictureFormat::Png,
                             &error);
    }
    if (!ok) messages.Error(SaveFailedMessage(target.path, error));
}

} // namespace corvane
