#include "mapwindow/QueryForm.h"

#include "app/MainFrm.h"
#include "mapwindow/MapOutput.h"
#include "platform/ByteSource.h"
#include "platform/CodePage.h"
#include "platform/CvVars.h"
#include "platform/DataPath.h"
#include "platform/DialogService.h"
#include "platform/MessageSink.h"
#include "platform/PageSetup.h"
#include "platform/TextFile.h"
#include "platform/qt/QtCanvas.h"
#include "platform/qt/QtPrinter.h"
#include "platform/qt/QtScreenMetrics.h"

#include <QApplication>
#include <QBuffer>
#include <QClipboard>
#include <QCloseEvent>
#include <QMenu>
#include <QPainter>
#include <QPrinter>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QStyle>

#include <algorithm>
#include <cmath>

namespace corvane {

TQueryForm* QueryForm = nullptr;

namespace {

const char* const kPageFont = "Courier New";
constexpr int kPageFontHeight = -16;
constexpr int kButtonWidth = 75, kButtonHeight = 25;

// QueryImage: shows the rendered report.
class ReportImage : public QWidget {
public:
    ReportImage(QWidget* parent, const QImage& image, std::function<void()> beforePaint)
        : QWidget(parent), image_(image), beforePaint_(std::move(beforePaint))
    {
        setAttribute(Qt::WA_OpaquePaintEvent);
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        if (beforePaint_) beforePaint_();
        QPainter p(this);
        p.fillRect(rect(), Qt::black);
        p.drawImage(0, 0, image_);
    }

private:
    const QImage& image_;
    std::function<void()> beforePaint_;
};

QPushButton* Button(QWidget* parent, const char* caption, const char* name)
{
    auto* b = new QPushButton(QString::fromLatin1(caption), parent);
    b->setObjectName(name);
    QFont f(FontFamilyFor("Arial"));
    f.setPixelSize(13);
    f.setBold(true);
    b->setFont(f);
    b->resize(kButtonWidth, kButtonHeight);
    b->setAutoDefault(false);
    return b;
}

// The frame metrics of a top-level window on this screen.
FrameMetrics WindowFrame()
{
    const QtScreenMetrics screen(MainFrm);
    return screen.Frame();
}

} // namespace

TQueryForm::TQueryForm(QWidget* owner, MessageSink& messages, DialogService* dialogs)
    : QDialog(owner), messages_(messages), dialogs_(dialogs)
{
    setObjectName("QueryForm");
    setAttribute(Qt::WA_DeleteOnClose, false);
    setProperty("helpContext", 7000);
    setMinimumSize(400, 160);
    QFont font(FontFamilyFor(kPageFont));
    font.setPixelSize(-kPageFontHeight);
    font.setBold(true);
    setFont(font);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, Qt::black);
    setPalette(pal);
    setAutoFillBackground(true);

    Scroller = new QScrollArea(this);
    Scroller->setObjectName("Scroller");
    Scroller->setFrameShape(QFrame::NoFrame);
    Scroller->setWidgetResizable(false);
    Scroller->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    Scroller->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    auto* sheet = new QWidget;
    sheet->setPalette(pal);
    sheet->setAutoFillBackground(true);
    QueryImage = new ReportImage(sheet, image_, [this] {
        if (canvas_) canvas_->End();
    });
    QueryImage->setObjectName("QueryImage");
    Panel1 = new QWidget(sheet);
    Panel1->setObjectName("Panel1");
    Panel1->setPalette(pal);
    Panel1->setAutoFillBackground(true);
    CloseBtn = Button(Panel1, "&Close", "CloseBtn");
    CloseBtn->setDefault(true);
    PrintBtn = Button(Panel1, "&Print", "PrintBtn");
    CopyBtn = Button(Panel1, "Cop&y", "CopyBtn");
    SaveBtn = Button(Panel1, "&Save", "SaveBtn");
    Scroller->setWidget(sheet);

    PopupMenu1 = new QMenu(this);
    PopupMenu1->setObjectName("PopupMenu1");
    TexttoClipboard1 = PopupMenu1->addAction(QStringLiteral("Copy as &Text"));
    TexttoClipboard1->setObjectName("TexttoClipboard1");
    GraphicstoClipboard1 = PopupMenu1->addAction(QStringLiteral("Copy as &Graphics"));
    GraphicstoClipboard1->setObjectName("GraphicstoClipboard1");

    connect(CloseBtn, &QPushButton::clicked, this, &QDialog::accept);
    connect(PrintBtn, &QPushButton::clicked, this, &TQueryForm::PrintBtnClick);
    connect(CopyBtn, &QPushButton::clicked, this, &TQueryForm::CopyBtnClick);
    connect(SaveBtn, &QPushButton::clicked, this, &TQueryForm::SaveBtnClick);
    connect(TexttoClipboard1, &QAction::triggered, this, &TQueryForm::CopyToClipBoard);
    connect(GraphicstoClipboard1, &QAction::triggered, this, &TQueryForm::GraphicstoClipboard1Click);

    QueryForm = this;
}

TQueryForm::~TQueryForm()
{
    // FormDestroy.
    canvas_.reset();
    if (QueryForm == this) QueryForm = nullptr;
}

void TQueryForm::closeEvent(QCloseEvent* event)
{
    // FormClose: the file closes with the window (and the report that reads it).
    report_.reset();
    Secondary_File.reset();
    QDialog::closeEvent(event);
}

void TQueryForm::resizeEvent(QResizeEvent* event)
{
    QDialog::resizeEvent(event);
    // The report scrolls in whatever height the window is given, so that a window made
    // smaller by hand still reaches its buttons and a taller one shows more of the report.
    if (Scroller) Scroller->resize(Scroller->width(), height());
}

void TQueryForm::SetPageFont(Canvas& canvas) const
{
    canvas.font.name = kPageFont;
    canvas.font.height = kPageFontHeight;
    canvas.font.bold = true;
    canvas.font.colour = clBlack;
}

bool TQueryForm::ScrollBarShown() const { return Scroller->verticalScrollBarPolicy() == Qt::ScrollBarAlwaysOn; }

void TQueryForm::LayOutSheet(int clientWidth, int bitmapHeight, bool scrollBar, int scrollRange)
{
    const int bar = scrollBar ? style()->pixelMetric(QStyle::PM_ScrollBarExtent) : 0;
    Scroller->setVerticalScrollBarPolicy(scrollBar ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAsNeeded);
    QWidget* sheet = Scroller->widget();
    sheet->resize(clientWidth, scrollBar ? std::max(scrollRange, bitmapHeight + kPanelHeight) : bitmapHeight + kPanelHeight);
    QueryImage->setGeometry(0, 0, clientWidth, bitmapHeight);
    Panel1->setGeometry(0, bitmapHeight, clientWidth, kPanelHeight);
    PlaceButtons(clientWidth);
    Scroller->setGeometry(0, 0, clientWidth + bar, height());
    setFixedWidth(clientWidth + bar);
}

void TQueryForm::PlaceButtons(int clientWidth)
{
    const int gap = static_cast<int>((clientWidth - 4 * kButtonWidth) * 0.2);
    const int top = (kPanelHeight - kButtonHeight) / 2;
    int left = gap;
    for (QPushButton* b : {CloseBtn, PrintBtn, CopyBtn, SaveBtn}) {
        b->move(left, top);
        left += kButtonWidth + gap;
    }
}

bool TQueryForm::Initialise(int32_t DataType, int32_t OffsetPointer, const std::string& FileName)
{
    PrivateDataType = DataType;
    PrivateOffsetPointer = OffsetPointer;
    fileName_ = FileName;

    // 1. The line pitch of the page font.
    QImage probe(1, 1, QImage::Format_RGB32);
    int ppi = 96;
    int w70 = 0;
    {
        QtCanvas measure(&probe);
        SetPageFont(measure);
        ppi = measure.PixelsPerInchY();
        w70 = measure.TextWidth(std::string(70, ' '));
    }
    // 2. The width: 70 spaces and 11 pixels each side.
    clientWidth_ = w70 + 11 + 11;
    const FrameMetrics frame = WindowFrame();
    const QRect screen = QApplication::primaryScreen() ? QApplication::primaryScreen()->geometry() : QRect(0, 0, 1024, 768);
    const int outerWidth = clientWidth_ + 2 * frame.DialogFrameWidth;

    // 3. The file.
    Secondary_File = OpenDataFile(FileName);
    if (!Secondary_File) {
        messages_.Info(kQueryFileProblem);
        return false;
    }
    // Damage is told with the file's name as it stands on this system.
    report_ = std::make_unique<QueryReport>(Sym_Text, *Secondary_File, NativePath(FileName), DataType, OffsetPointer,
                                            messages_);
    report_->ItemHeight = QueryItemHeight(kPageFontHeight, ppi);
    if (!StartUp()) return false;

    // 4. A black picture as wide as the client. A record of many entries may need more
    // than the design height: every entry moves down at most six lines.
    const int tallest = report_->ItemHeight * (6 * int{report_->nLines} + 4);
    // On a HiDPI screen it holds the screen's device pixels (see QtCanvas).
    const double ratio = devicePixelRatioF() > 0 ? devicePixelRatioF() : 1.0;
    image_ = QImage(static_cast<int>(std::ceil(clientWidth_ * ratio)),
                    static_cast<int>(std::ceil(std::max(kDesignHeight, tallest) * ratio)), QImage::Format_RGB32);
    image_.setDevicePixelRatio(ratio);
    image_.fill(Qt::black);
    canvas_ = std::make_unique<QtCanvas>(&image_);
    SetPageFont(*canvas_);
    canvas_->brush.colour = clBlack;
    canvas_->brush.style = BrushStyle::Solid;
    canvas_->bkColour = clBlack;

    // 5. Until the report is laid out: the design height, scrolled when the screen is smaller.
    const int needed = kDesignHeight + 20 + frame.CaptionHeight + frame.DialogFrameHeight + kPanelHeight;
    const bool scroll = screen.height() < needed;
    const int clientHeight = scroll ? screen.height() - 20 - frame.CaptionHeight - 2 * frame.DialogFrameHeight
                                    : kDesignHeight + kPanelHeight;
    resize(clientWidth_, clientHeight);
    LayOutSheet(clientWidth_, kDesignHeight, scroll, kDesignHeight + kPanelHeight);
    move((screen.width() - outerWidth) / 2, (screen.height() - clientHeight) / 2);

    // 7. The report on the screen.
    Display(otScreen);
    return true;
}

bool TQueryForm::StartUp() { return report_ && report_->StartUp(); }

int32_t TQueryForm::Display(Output output)
{
    if (!report_ || !canvas_) return 0;
    ReportDevice d;
    d.output = output;
    d.canvas = canvas_.get();
    const int32_t y = report_->Display(d);
    if (output != otScreen) return y;

    // Fit the window to the report.
    const FrameMetrics frame = WindowFrame();
    const ReportWindowFit fit = FitReportWindow(y, report_->ItemHeight, kPanelHeight, frame.CaptionHeight,
                                                frame.DialogFrameHeight, UsableArea.Top, UsableArea.Bottom);
    const int bitmapHeight = std::clamp(fit.bitmapHeight, 1, LogicalSize(image_).height());
    canvas_.reset();
    image_ = image_.copy(0, 0, image_.width(),
                         std::min(image_.height(), static_cast<int>(std::ceil(bitmapHeight * image_.devicePixelRatio()))));
    canvas_ = std::make_unique<QtCanvas>(&image_);
    SetPageFont(*canvas_);
    const int frameExtra = frame.CaptionHeight + 2 * frame.DialogFrameHeight;
    const int clientHeight = fit.scrollBar ? std::max(fit.height - frameExtra, 1) : fit.clientHeight;
    resize(width(), clientHeight);
    LayOutSheet(clientWidth_, bitmapHeight, fit.scrollBar, fit.scrollRange);
    move(x(), fit.top);
    QueryImage->update();
    return y;
}

std::vector<std::string> TQueryForm::ReportLines()
{
    std::vector<std::string> lines;   // ClipbrdMemo
    if (!StartUp() || !canvas_) return lines;
    ReportDevice d;
    d.output = otFile;
    d.canvas = canvas_.get();
    d.lines = &lines;
    report_->Display(d);
    return lines;
}

void TQueryForm::CopyToClipBoard()
{
    QStringList text;
    for (const std::string& l : ReportLines()) text << QString::fromStdString(Cp1252ToUtf8(l));
    QApplication::clipboard()->setText(text.join(QLatin1Char('\n')));
}

void TQueryForm::GraphicstoClipboard1Click()
{
    if (canvas_) canvas_->End();
    QApplication::clipboard()->setImage(DevicePixelImage(image_));
}

void TQueryForm::CopyBtnClick() { PopupMenu1->popup(CopyBtn->mapToGlobal(QPoint(0, 0))); }

bool TQueryForm::SaveBitmap(const std::string& path)
{
    if (canvas_) canvas_->End();
    QByteArray bytes;
    QBuffer buffer(&bytes);
    if (!buffer.open(QIODevice::WriteOnly) || !DevicePixelImage(image_).save(&buffer, "BMP")) return false;
    return SaveWithBackup(path, std::string(bytes.constData(), static_cast<size_t>(bytes.size())));
}

void TQueryForm::SaveBtnClick()
{
    FileDialogRequest r;
    r.title = kQuerySaveTitle;
    r.filter = kQuerySaveFilter;
    r.filterIndex = 1;
    r.initialDir = CvVars::DefaultDir;
    r.overwritePrompt = true;
    r.hideReadOnly = true;
    r.pathMustExist = true;
    std::string chosen;
    int filterIndex = 1;
    const DialogOutcome outcome = dialogs_ ? dialogs_->SaveFileFiltered(r, chosen, filterIndex) : DialogOutcome::Failed;
    if (outcome == DialogOutcome::Cancel) return;
    if (outcome == DialogOutcome::Failed) {
        ReportDialogFailure(messages_, "Save");
        return;
    }
    CvVars::DefaultDir = ExtractFilePath(chosen);
    const std::string ext = QuerySaveExtension(chosen, kQuerySaveFilter, filterIndex);
    bool saved = true;
    if (ext == ".BMP") {
        saved = SaveBitmap(chosen);
    } else if (ext == ".TXT") {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        saved = SaveWithBackup(chosen, ReportText(ReportLines()));
        QApplication::restoreOverrideCursor();
    } else {
        messages_.Beep();
        messages_.Plain(kQuerySaveRefused);
    }
    if (!saved) ReportDialogFailure(messages_, "Save");
}

void TQueryForm::PrintBtnClick()
{
    if (!report_) return;
    PrintChoice choice;
    const DialogOutcome outcome = dialogs_ ? dialogs_->Print(choice) : DialogOutcome::Failed;
    if (outcome == DialogOutcome::Cancel) return;
    if (outcome == DialogOutcome::Failed) {
        ReportDialogFailure(messages_, "Printer");
        return;
    }
    repaint();
    QApplication::setOverrideCursor(Qt::WaitCursor);
    QPrinter& printer = CurrentPrinter();
    PageSetUpUnit& page = QueryPageSetUp();
    page.GetMinPageSize();
    QPainter painter;
    bool ok = painter.begin(&printer);
    if (ok) {
        const QRect area = printer.pageRect(QPrinter::DevicePixel).toRect();
        const int dpiX = printer.resolution(), dpiY = printer.resolution();
        QtCanvas pc(&painter, area.width(), area.height(), dpiX, dpiY);
        SetPageFont(pc);
        pc.bkColour = clWhite;
        const double paperInches = dpiX > 0 ? printer.paperRect(QPrinter::DevicePixel).width() / dpiX : 0.0;
        const int32_t available = static_cast<int32_t>(
            (paperInches - page.GetRightMargin_Inch() - page.GetLeftMargin_Inch()) * dpiX);
        report_->ItemHeight = static_cast<uint16_t>(std::max(-PrinterFontHeight(pc, dpiX, available), 1));

        ReportDevice d;
        d.output = otPrinter;
        d.canvas = &pc;
        d.monochrome = printer.colorMode() == QPrinter::GrayScale;
        d.readableHeadings = ReadableHeadings;
        d.LeftOffset = page.LeftOffset();
        d.TopOffset = page.TopOffset();
        d.BottomOffset = page.BottomOffset();
        d.PageHeight = area.height();
        d.NewPage = [&] { ok = printer.newPage() && ok; };
        const int copies = page.NumCopiesSupported ? 1 : std::max(choice.copies, 1);
        for (int copy = 0; copy < copies && ok; ++copy) {
            if (copy > 0) ok = printer.newPage();
            if (ok && StartUp()) report_->Display(d);
        }
        ok = painter.end() && ok;
    }
    QApplication::restoreOverrideCursor();
    if (!ok) ReportDialogFailure(messages_, "Printer");
}

} // namespace corvane
