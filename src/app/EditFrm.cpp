#include "app/EditFrm.h"

#include "app/MainFrm.h"
#include "mapwindow/MapOutput.h"
#include "platform/CodePage.h"
#include "platform/DataPath.h"
#include "platform/DialogService.h"
#include "platform/MessageSink.h"
#include "platform/PageSetup.h"
#include "platform/Rounding.h"
#include "platform/RunInputs.h"
#include "platform/SaveCommand.h"
#include "platform/TextFile.h"
#include "platform/qt/QtCanvas.h"
#include "platform/qt/QtPrinter.h"
#include "platform/qt/QtScreenMetrics.h"
#include "text/SourceTable.h"
#include "text/TextViewerLayout.h"

#include <QApplication>
#include <QCloseEvent>
#include <QPrinter>
#include <QScreen>
#include <QStyle>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>
#include <QTextFrame>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>
#include <memory>

namespace corvane {

namespace {

constexpr const char* kTextFilter = "Text Files (*.txt)|*.txt|All Files (*.*)|*.*";
constexpr int kFontHeight = 13;

// The main window's buttons that mean nothing for a text: hidden while a text window is active.
const char* const kMapOnlyButtons[] = {
    "BaseKeySpdBtn",     "OverlayKeySpdBtn",      "KeyColourSpdBtn",   "KeyBkGrndSpdBtn",    "DSListSpdBtn",
    "DSOrderSpdBtn",     "SelectOverlaySpdBtn",   "PreviousOverlaySpdBtn", "NextOverlaySpdBtn", "ViewInfoSpdBtn",
    "SourceSpdBtn",      "GridDisplaySpdBtn",     "GridColourSpdBtn",  "Grid20SpdBtn",       "GratFontIncSpdBtn",
    "GratFontDecSpdBtn", "GraticuleDMSSpdBtn",    "GraticuleDDSpdBtn",
};

QTextCharFormat BaseFormat()
{
    QTextCharFormat f;
    QFont font(FontFamilyFor("Courier New"));
    font.setPixelSize(kFontHeight);
    f.setFont(font);
    return f;
}

// Appends one line of the page as a paragraph: the bytes as characters (line-drawing ones
// through code page 437, in the line-drawing face), bold where the mark-up said so.
void AppendLine(QTextCursor& cursor, const TextPageLine& line, bool first)
{
    if (!first) cursor.insertBlock(cursor.blockFormat());
    const size_t n = line.text.size();
    std::vector<bool> bold(n, false), lineDraw(n, false);
    for (const TextSpan& s : line.bold)
        for (size_t i = s.start; i < std::min(n, s.start + s.length); ++i) bold[i] = true;
    for (size_t p : line.lineDraw)
        if (p < n) lineDraw[p] = true;
    size_t start = 0;
    while (start < n) {
        size_t end = start;
        QString piece;
        while (end < n && bold[end] == bold[start] && lineDraw[end] == lineDraw[start]) {
            const auto b = static_cast<uint8_t>(line.text[end]);
            const char32_t cp = lineDraw[end] ? Cp437ToUnicode(b) : Cp1252ToUnicode(b);
            piece += QChar(static_cast<char16_t>(cp));
            ++end;
        }
        QTextCharFormat f = BaseFormat();
        if (bold[start]) f.setFontWeight(QFont::Bold);
        if (lineDraw[start]) f.setFontFamilies({FontFamilyFor("MS LineDraw")});
        cursor.insertText(piece, f);
        start = end;
    }
}

// Prints the document into area of the printer's page (printer pixels), page after page, its
// lines broken at the area's width; `copies` times over.
bool PrintDocumentInto(const QTextDocument& text, QPagedPaintDevice& printer, const Rect& area, int screenDpi, int copies)
{
    if (area.Width() <= 0 || area.Height() <= 0 || screenDpi <= 0) return false;
    std::unique_ptr<QTextDocument> doc(text.clone());
    QTextFrameFormat root = doc->rootFrame()->frameFormat();
    root.setMargin(0);
    doc->rootFrame()->setFrameFormat(root);
    const double sx = static_cast<double>(printer.logicalDpiX()) / screenDpi;
    const double sy = static_cast<double>(printer.logicalDpiY()) / screenDpi;
    const QSizeF page(area.Width() / sx, area.Height() / sy);
    doc->setPageSize(page);
    QPainter painter;
    if (!painter.begin(&printer)) return false;
    for (int n = 0; n < copies * doc->pageCount(); ++n) {
        const int p = n % doc->pageCount();
        if (n > 0 && !printer.newPage()) break;
        painter.save();
        painter.translate(area.left, area.top);
        painter.scale(sx, sy);
        painter.translate(0, -p * page.height());
        doc->drawContents(&painter, QRectF(0, p * page.height(), page.width(), page.height()));
        painter.restore();
    }
    return painter.end();
}

} // namespace

TEditFrm::TEditFrm(TMainFrm& owner) : QWidget(nullptr, Qt::Window), owner_(owner), ownerAlive_(&owner)
{
    setObjectName("EditFrm");
    setAttribute(Qt::WA_DeleteOnClose);
    setAttribute(Qt::WA_QuitOnClose, false);
    DisplayMemo = new QTextEdit(this);
    DisplayMemo->setObjectName("DisplayMemo");
    DisplayMemo->setLineWrapMode(QTextEdit::NoWrap);
    DisplayMemo->setAcceptRichText(false);
    DisplayMemo->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    DisplayMemo->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    QPalette pal = DisplayMemo->palette();
    pal.setColor(QPalette::Base, Qt::white);
    pal.setColor(QPalette::Text, Qt::black);
    DisplayMemo->setPalette(pal);
    QFont font(FontFamilyFor("Courier New"));
    font.setPixelSize(kFontHeight);
    DisplayMemo->setFont(font);
    DisplayMemo->document()->setDefaultFont(font);
    setFont(font);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(DisplayMemo);
    SetEditingRect();
}

TEditFrm::~TEditFrm() { Detach(); }

// ---- showing a text ---------------------------------------------------------------------------

void TEditFrm::ShowPage(const std::vector<TextPageLine>& lines)
{
    QTextDocument* doc = DisplayMemo->document();
    doc->clear();
    QTextCursor cursor(doc);
    cursor.beginEditBlock();
    cursor.setBlockCharFormat(BaseFormat());
    // Lines are as tall as the line-drawing face, so that its box characters join from one
    // line to the next.
    QFont lineDraw(FontFamilyFor("MS LineDraw"));
    lineDraw.setPixelSize(kFontHeight);
    QTextBlockFormat block;
    block.setLineHeight(QFontMetrics(lineDraw).height(), QTextBlockFormat::FixedHeight);
    cursor.setBlockFormat(block);
    for (size_t i = 0; i < lines.size(); ++i) AppendLine(cursor, lines[i], i == 0);
    cursor.endEditBlock();
    SetEditingRect();
    doc->setModified(false);
    DisplayMemo->moveCursor(QTextCursor::Start);
}

void TEditFrm::SetEditingRect()
{
    QTextDocument* doc = DisplayMemo->document();
    doc->setDocumentMargin(0);
    QTextFrameFormat root = doc->rootFrame()->frameFormat();
    root.setLeftMargin(10);
    root.setRightMargin(10);
    root.setTopMargin(2);
    root.setBottomMargin(2);
    doc->rootFrame()->setFrameFormat(root);
}

TextViewerMetrics TEditFrm::Metrics() const
{
    TextViewerMetrics m;
    const QScreen* s = owner_.screen() ? owner_.screen() : QApplication::primaryScreen();
    const QRect work = s ? s->availableGeometry() : QRect(0, 0, 1024, 768);
    m.workArea = {work.left(), work.top(), work.left() + work.width(), work.top() + work.height()};
    m.mainWindowBottom = owner_.isVisible() ? owner_.frameGeometry().bottom() + 1 : work.top();
    m.frame = QtScreenMetrics(&owner_).Frame();
    m.scrollBarWidth = style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    m.lineHeight = QFontMetrics(DisplayMemo->font()).height();
    return m;
}

int TEditFrm::WidestLine() const
{
    const QFontMetrics fm(DisplayMemo->font());
    int widest = 0;
    for (QTextBlock b = DisplayMemo->document()->begin(); b.isValid(); b = b.next())
        widest = std::max(widest, fm.horizontalAdvance(b.text()));
    return widest;
}

bool TEditFrm::ReadFile(const std::string& TxtFilename)
{
    Tag = kTagEditFrm;
    Filename = NativePath(TxtFilename);
    TextPage page;
    if (!ReadTextPage(TxtFilename, page, owner_.Messages())) {
        owner_.Messages().Info(CannotOpenMessage(TxtFilename));
        Detach();
        deleteLater();
        return false;
    }
    ForgetRunInput(Filename);   // the page shown may be saved over the file it came from
    ShowPage(page.lines);
    setWindowTitle(BytesToQString(page.Caption()));

    ShowAt(InfoPageBounds(Metrics(), WidestLine(), static_cast<int32_t>(page.lines.size())));
    for (const std::string& missing : page.missingIncludes) owner_.Messages().Info(CannotOpenMessage(missing));
    return true;
}

void TEditFrm::DSSource(const std::vector<std::string>& lines)
{
    Tag = kTagSourceEdit;
    setObjectName("SourceEdit");
    Filename.clear();
    std::vector<TextPageLine> shown;
    for (const std::string& l : lines) shown.push_back(TextPageLine{l, {}, {}});
    ShowPage(shown);
    setWindowTitle(kSourceTableCaption);
    ShowAt(SourceTableBounds(Metrics(), WidestLine(), static_cast<int32_t>(lines.size())));
}

void TEditFrm::ShowAt(const TextViewerBounds& b)
{
    move(b.Left, b.Top);
    resize(b.ClientWidth, b.ClientHeight);
    show();
    activateWindow();
    owner_.Tag = Tag;
}

std::vector<std::string> TEditFrm::PageLines() const
{
    std::vector<std::string> out;
    for (QTextBlock b = DisplayMemo->document()->begin(); b.isValid(); b = b.next()) {
        std::vector<StyledText> pieces;
        for (auto it = b.begin(); !it.atEnd(); ++it) {
            const QTextFragment f = it.fragment();
            if (f.isValid()) pieces.push_back({f.text().toStdString(), f.charFormat().fontWeight() >= QFont::Bold});
        }
        out.push_back(EncodeTextPageLine(pieces));
    }
    return out;
}

// ---- activation and closing -------------------------------------------------------------------

bool TEditFrm::event(QEvent* e)
{
    if (e->type() == QEvent::WindowActivate) FormActivate();
    return QWidget::event(e);
}

void TEditFrm::FormActivate()
{
    if (detached_ || !ownerAlive_) return;
    for (const char* name : kMapOnlyButtons)
        if (QToolButton* b = owner_.Button(name)) b->setVisible(false);
    owner_.Tag = Tag;
}

void TEditFrm::Detach()
{
    if (detached_) return;
    detached_ = true;
    TextWindowApi* self = this;
    if (EditFrm == self) EditFrm = nullptr;
    if (SourceEdit == self) SourceEdit = nullptr;
    if (!ownerAlive_) return;
    if (owner_.Tag == Tag) owner_.Tag = MapFrm ? kTagMapWindow : kTagNone;
    // The map window takes the focus back (and shows its buttons again as it activates).
    if (MapFrm && MapFrm->Widget()) MapFrm->Widget()->activateWindow();
}

void TEditFrm::closeEvent(QCloseEvent* event)
{
    Detach();
    event->accept();
}

void TEditFrm::CloseWindow() { close(); }

void TEditFrm::changeEvent(QEvent* event)
{
    QWidget::changeEvent(event);
    if (event->type() != QEvent::WindowStateChange || !isMaximized()) return;
    // Maximised, the viewer fills the work area below the main window strip.
    QMetaObject::invokeMethod(
        this,
        [this] {
            const TextViewerMetrics m = Metrics();
            showNormal();
            move(m.workArea.Left, m.mainWindowBottom);
            resize(m.workArea.Width() - 2 * (m.frame.DialogFrameWidth + m.frame.BorderWidth),
                   m.workArea.Bottom - m.mainWindowBottom -
                       (2 * (m.frame.DialogFrameHeight + m.frame.BorderHeight) + m.frame.CaptionHeight));
        },
        Qt::QueuedConnection);
}

// ---- File commands ----------------------------------------------------------------------------

DocumentSaver TEditFrm::Saver()
{
    DocumentSaver saver(owner_.Dialogs(), owner_.Messages(), {"Save Text File As", kTextFilter, ""},
                        [this](const std::string& path, std::string* error) {
                            std::string text;
                            for (const std::string& line : PageLines()) text += line + "\r\n";
                            return SaveWithBackup(path, text, error);
                        });
    return saver;
}

void TEditFrm::Save()
{
    if (Saver().Save(Filename) == SaveResult::Saved) DisplayMemo->document()->setModified(false);
}

void TEditFrm::SaveAs()
{
    if (Saver().SaveAs(Filename) == SaveResult::Saved) DisplayMemo->document()->setModified(false);
}

void TEditFrm::Print()
{
    PrintChoice choice;
    DialogService* dialogs = owner_.Dialogs();
    const DialogOutcome outcome = dialogs ? dialogs->Print(choice) : DialogOutcome::Failed;
    if (outcome == DialogOutcome::Cancel) return;
    QPrinter& printer = CurrentPrinter();
    bool ok = outcome == DialogOutcome::Ok;
    if (ok) {
        printer.setDocName(QStringLiteral("Corvane"));
        KeepMinimumMargins(printer);
        // Copies the printer does not make are printed one after the other.
        const int copies = PagesToPrint(choice.copies, printer.supportsMultipleCopies());
        printer.setCopyCount(copies > 1 ? 1 : std::max(1, choice.copies));
        const std::string pdfFile = PdfFileOf(printer);
        if (!pdfFile.empty()) {
            // Printing to a file: the PDF is made in memory and written in one step.
            PdfInMemory pdf(printer.pageLayout(), printer.resolution(), printer.docName());
            const PrintPage page = PrintPageOf(pdf.Device(), MarginsOf(GeneralPageSetUp()));
            std::string error = "the page could not be printed";
            if (!PrintDocumentInto(*DisplayMemo->document(), pdf.Device(), TextPrintArea(page),
                                   DisplayMemo->logicalDpiX(), copies) ||
                !pdf.WriteTo(pdfFile, &error)) {
                owner_.Messages().Error(SaveFailedMessage(pdfFile, error));
            }
            return;
        }
        const PrintPage page = PrintPageOf(printer, MarginsOf(GeneralPageSetUp()));
        ok = PrintDocumentInto(*DisplayMemo->document(), printer, TextPrintArea(page), DisplayMemo->logicalDpiX(),
                               copies);
    }
    if (!ok) ReportDialogFailure(owner_.Messages(), "Print");
}

void TEditFrm::PrintSetup()
{
    DialogService* dialogs = owner_.Dialogs();
    if (!dialogs || dialogs->PrinterSetup() == DialogOutcome::Failed) {
        ReportDialogFailure(owner_.Messages(), "Printer Setup");
        return;
    }
    PageSetUpUnit& unit = GeneralPageSetUp();
    unit.GetMinPageSize();
    if (unit.GetXDpi() == 0) return;
    // Lines break on the screen where they will break on paper.
    const double paperInches = static_cast<double>(unit.PageSetUp.PaperSize.x) / unit.GetXDpi();
    const int width =
        RoundI(DisplayMemo->logicalDpiX() * (paperInches - unit.GetLeftMargin_Inch() - unit.GetRightMargin_Inch())) + 20;
    DisplayMemo->setLineWrapMode(QTextEdit::FixedPixelWidth);
    DisplayMemo->setLineWrapColumnOrWidth(std::max(1, width - 20));
    SetEditingRect();
}

void TEditFrm::SelectAll()
{
    DisplayMemo->setFocus();
    DisplayMemo->selectAll();
}

void TEditFrm::CopyToClipboard()
{
    if (DisplayMemo->textCursor().hasSelection()) {
        DisplayMemo->copy();
        return;
    }
    SelectAll();
    DisplayMemo->copy();
    DisplayMemo->moveCursor(QTextCursor::Start);
}

// ---- creation through the main window -----------------------------------------------------------

void InstallTextViewerFactories()
{
    SetTextViewerFactory([](TMainFrm& owner, const std::string& filename) -> TextWindowApi* {
        auto* viewer = new TEditFrm(owner);
        viewer->setProperty("helpContext", 3001);
        return viewer->ReadFile(filename) ? viewer : nullptr;
    });
    SetSourceViewerFactory([](TMainFrm& owner, const std::vector<std::string>& lines) -> TextWindowApi* {
        auto* viewer = new TEditFrm(owner);
        viewer->setProperty("helpContext", 3002);
        viewer->DSSource(lines);
        return viewer;
    });
}

} // namespace corvane
