#include "dialogs/StylePickers.h"

#include "display/PickerLayout.h"
#include "help/HelpPages.h"
#include "layers/FillStyle.h"
#include "layers/MapGen.h"
#include "platform/qt/QtCanvas.h"

#include <QGroupBox>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>

namespace corvane {

namespace {

constexpr int kButtonWidth = 75, kButtonHeight = 25, kButtonGap = 8;
constexpr Colour kBlack = 0x000000;

QRect ToQRect(const Rect& r) { return QRect(r.left, r.top, r.Width(), r.Height()); }

void PlaceButton(QPushButton* b, int left, int top) { b->setGeometry(left, top, kButtonWidth, kButtonHeight); }

// A group of fill samples that frames the selected one with a dotted black rectangle.
class FramedGroup : public QGroupBox {
public:
    FramedGroup(const QString& title, QWidget* parent) : QGroupBox(title, parent) {}
    void SetFrame(const QRect& r)
    {
        frame_ = r;
        update();
    }

protected:
    void paintEvent(QPaintEvent* event) override
    {
        QGroupBox::paintEvent(event);
        if (frame_.isEmpty()) return;
        QPainter p(this);
        p.setPen(QPen(Qt::black, 1, Qt::DotLine));
        p.drawRect(frame_.adjusted(0, 0, -1, -1));
    }

private:
    QRect frame_;
};

// Clicking a sample selects it; a double click selects it and closes the dialog with OK.
void SelectOnClick(QDialog* dialog, PickerImage* image, const std::function<void()>& select)
{
    image->Clicked = [select](const QPoint&) { select(); };
    image->DoubleClicked = [dialog, select](const QPoint&) {
        select();
        dialog->accept();
    };
}

} // namespace

void AddDialogButtons(QDialog* dialog, QWidget* parent, QPushButton*& ok, QPushButton*& cancel, QPushButton*& help)
{
    ok = new QPushButton(QStringLiteral("&Ok"), parent);
    ok->setObjectName("OKBtn");
    ok->setDefault(true);
    cancel = new QPushButton(QStringLiteral("&Cancel"), parent);
    cancel->setObjectName("CancelBtn");
    help = new QPushButton(QStringLiteral("&Help"), parent);
    help->setObjectName("HelpBtn");
    help->hide();
    QObject::connect(ok, &QPushButton::clicked, dialog, &QDialog::accept);
    QObject::connect(cancel, &QPushButton::clicked, dialog, &QDialog::reject);
}

// ---- PickerImage -----------------------------------------------------------------------------

PickerImage::PickerImage(QWidget* parent, const QSize& size, Colour fill) : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    Reset(size, fill);
}

void PickerImage::Reset(const QSize& size, Colour fill)
{
    // Drawn at the screen's device pixels, in logical ones, like the map picture.
    const qreal ratio = devicePixelRatioF() > 0 ? devicePixelRatioF() : 1.0;
    image_ = QImage(size * ratio, QImage::Format_RGB32);
    image_.setDevicePixelRatio(ratio);
    image_.fill(ToQColor(fill));
    resize(size);
    update();
}

void PickerImage::SetFrame(const QRect& r, Colour colour, Qt::PenStyle style)
{
    frame_ = r;
    frameColour_ = colour;
    frameStyle_ = style;
    update();
}

void PickerImage::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.drawImage(0, 0, image_);
    if (frame_.isEmpty()) return;
    p.setPen(QPen(ToQColor(frameColour_), 1, frameStyle_));
    p.setBrush(Qt::NoBrush);
    p.drawRect(frame_.adjusted(0, 0, -1, -1));
}

void PickerImage::mousePressEvent(QMouseEvent* event)
{
    const QPoint pos = event->position().toPoint();
    if (event->button() == Qt::LeftButton) leftDown_ = true;
    if (Pressed) Pressed(event->button(), pos);
}

void PickerImage::mouseReleaseEvent(QMouseEvent* event)
{
    const QPoint pos = event->position().toPoint();
    const bool click = event->button() == Qt::LeftButton && leftDown_ && rect().contains(pos);
    if (event->button() == Qt::LeftButton) leftDown_ = false;
    if (Released) Released(event->button(), pos);
    if (click && Clicked) Clicked(pos);
}

// The second press of a double click: its release is no click.
void PickerImage::mouseDoubleClickEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton) return;
    leftDown_ = false;
    if (DoubleClicked) DoubleClicked(event->position().toPoint());
}

Colour PickerFaceColour(const QWidget* w) { return FromQColor(w->palette().color(QPalette::Button)); }

// ---- fill styles ---------------------------------------------------------------------------

TfrmFillStyle::TfrmFillStyle(QWidget* parent, Colour mapBackground) : QDialog(parent)
{
    setObjectName("frmFillStyle");
    setWindowTitle(QStringLiteral("Fill Styles"));
    setProperty("helpContext", kHelpFillStyles);
    const Colour face = PickerFaceColour(this);
    const Colour sample = FillSampleColour(mapBackground, face);

    // The samples show each style as it is, patterns included, whatever brushes the map uses.
    const bool standardBrushes = UseWindowsBrushes;
    UseWindowsBrushes = false;
    patterns_ = !standardBrushes;

    StandardGroup = new FramedGroup(QStringLiteral(" Standard Brushes "), this);
    StandardGroup->setObjectName("StandardGroup");
    StandardGroup->setGeometry(FillPicker::Gap, FillPicker::Gap, FillGroupWidth(), FillGroupHeight(false));
    CorvaneGroup = new FramedGroup(QStringLiteral(" Corvane Brushes "), this);
    CorvaneGroup->setObjectName("CorvaneGroup");
    CorvaneGroup->setGeometry(FillPicker::Gap, StandardGroup->geometry().bottom() + 1 + FillPicker::Gap,
                              FillGroupWidth(), FillGroupHeight(true));
    CorvaneGroup->setVisible(patterns_);

    for (int style = patterns_ ? 1 : 17; style <= 24; ++style) {
        const bool pattern = style <= 16;
        const Colour background = pattern ? mapBackground : face;
        auto* image = new PickerImage(pattern ? CorvaneGroup : StandardGroup, QSize(FillPicker::Image, FillPicker::Image),
                                      background);
        image->setObjectName(QString("Image%1").arg(style));
        image->move(ToQRect(FillSampleRect(style)).topLeft());
        QtCanvas canvas(&image->Picture());
        SelectBrush(canvas, style, sample, background);
        canvas.Rectangle(0, 0, FillPicker::Image, FillPicker::Image);
        canvas.End();
        SelectOnClick(this, image, [this, style] { ImageClick(style); });
        images_[style] = image;
    }
    UseWindowsBrushes = standardBrushes;

    AddDialogButtons(this, this, OKBtn, CancelBtn, HelpBtn);
    const QRect lowest = (patterns_ ? CorvaneGroup : StandardGroup)->geometry();
    const int top = lowest.bottom() + 1 + FillPicker::Gap;
    const int cancelLeft = lowest.right() + 1 - kButtonWidth;
    PlaceButton(CancelBtn, cancelLeft, top);
    PlaceButton(OKBtn, cancelLeft - kButtonGap - kButtonWidth, top);
    PlaceButton(HelpBtn, lowest.left(), top);
    setFixedSize(lowest.right() + 1 + FillPicker::Gap, top + kButtonHeight + FillPicker::Gap);
}

TfrmFillStyle::~TfrmFillStyle() = default;

bool TfrmFillStyle::Execute() { return exec() == QDialog::Accepted; }

PickerImage* TfrmFillStyle::Image(int style) const { return style >= 1 && style <= 24 ? images_[style] : nullptr; }

void TfrmFillStyle::ShowSelected()
{
    bsSelected = static_cast<uint8_t>(FillPreselection(bsSelected, !patterns_));
    // The frame stands 2 pixels outside the sample, on the group that holds it.
    const PickerImage* image = Image(bsSelected);
    for (QGroupBox* g : {StandardGroup, CorvaneGroup})
        static_cast<FramedGroup*>(g)->SetFrame(image && image->parentWidget() == g ? image->geometry().adjusted(-2, -2, 2, 2)
                                                                                   : QRect());
}

void TfrmFillStyle::ImageClick(int style)
{
    bsSelected = static_cast<uint8_t>(style);
    ShowSelected();
}

void TfrmFillStyle::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    ShowSelected();
}

// ---- line styles -----------------------------------------------------------------------------

TfrmLineStyle::TfrmLineStyle(QWidget* parent) : QDialog(parent)
{
    setObjectName("frmLineStyle");
    setWindowTitle(QStringLiteral("Line Styles"));
    setProperty("helpContext", kHelpLineStyles);
    const Colour face = PickerFaceColour(this);
    for (int i = 0; i < LinePicker::Count; ++i) {
        auto* image = new PickerImage(this, QSize(LinePicker::Width, LinePicker::Height), face);
        image->setObjectName(QString("Image%1").arg(i + 1));
        image->move(ToQRect(LineSampleRect(i)).topLeft());
        QtCanvas canvas(&image->Picture());
        canvas.brush.style = BrushStyle::Clear;
        canvas.pen.colour = FrameColour;
        canvas.Rectangle(0, 0, LinePicker::Width, LinePicker::Height);
        canvas.bkColour = face;
        canvas.pen.colour = LineColour;
        canvas.pen.style = PenStyleFromIndex(i);
        canvas.MoveTo(5, LinePicker::Height / 2);
        canvas.LineTo(LinePicker::Width - 5, LinePicker::Height / 2);
        canvas.End();
        SelectOnClick(this, image, [this, i] { ASetSelected(i); });
        Image[i] = image;
    }
    AddDialogButtons(this, this, OKBtn, CancelBtn, HelpBtn);
    const Rect last = LineSampleRect(LinePicker::Count - 1);
    const int left = last.right + LinePicker::Gap;
    PlaceButton(CancelBtn, left, last.bottom - kButtonHeight);
    PlaceButton(OKBtn, left, last.bottom - 3 * kButtonHeight);
    PlaceButton(HelpBtn, left, LinePicker::Top);
    setFixedSize(left + kButtonWidth + LinePicker::Left, last.bottom + LinePicker::Top);
    ASetSelected(0);
}

bool TfrmLineStyle::Execute() { return exec() == QDialog::Accepted; }

void TfrmLineStyle::ASetSelected(int penStyle)
{
    if (penStyle < 0 || penStyle >= LinePicker::Count) return;
    AbsSelected = static_cast<uint8_t>(penStyle);
    for (int i = 0; i < LinePicker::Count; ++i)
        Image[i]->SetFrame(i == penStyle ? QRect(1, 1, LinePicker::Width - 2, LinePicker::Height - 2) : QRect(),
                           FrameColour, Qt::SolidLine);
    update();
}

// The silver edge 2 pixels outside the selected sample.
void TfrmLineStyle::paintEvent(QPaintEvent* event)
{
    QDialog::paintEvent(event);
    QPainter p(this);
    p.setPen(QPen(ToQColor(EdgeColour), 1));
    p.drawRect(ToQRect(LineSampleRect(AbsSelected)).adjusted(-2, -2, 1, 1));
}

// ---- symbols ---------------------------------------------------------------------------------

TfrmSymbolStyle::TfrmSymbolStyle(QWidget* parent) : QDialog(parent)
{
    setObjectName("frmSymbolStyle");
    setWindowTitle(QStringLiteral("Symbol Styles"));
    setProperty("helpContext", kHelpSymbolStyles);
    constexpr int margin = 16;
    SymbolImage = new PickerImage(this, QSize(SymbolPicker::Width, SymbolPicker::Height), PickerFaceColour(this));
    SymbolImage->setObjectName("SymbolImage");
    SymbolImage->move(margin, margin);
    QtCanvas canvas(&SymbolImage->Picture());
    for (int code = 1; code <= 40; ++code) {
        const Point c = SymbolCentre(code);
        canvas.brush.style = BrushStyle::Solid;
        PlotSymbol(canvas, c.x, c.y, code, 0x0000FF);
    }
    canvas.End();
    SymbolImage->Pressed = [this](Qt::MouseButton, const QPoint& p) {
        MouseX = p.x();
        MouseY = p.y();
    };
    SymbolImage->Clicked = [this](const QPoint&) { SymbolImageClick(); };
    SymbolImage->DoubleClicked = [this](const QPoint& p) {
        MouseX = p.x();
        MouseY = p.y();
        SymbolImageClick();
        accept();
    };

    AddDialogButtons(this, this, OKBtn, CancelBtn, HelpBtn);
    const int top = margin + SymbolPicker::Height + margin;
    const int cancelLeft = margin + SymbolPicker::Width - kButtonWidth;
    PlaceButton(CancelBtn, cancelLeft, top);
    PlaceButton(OKBtn, cancelLeft - kButtonGap - kButtonWidth, top);
    PlaceButton(HelpBtn, margin, top);
    setFixedSize(margin + SymbolPicker::Width + margin, top + kButtonHeight + margin);
}

bool TfrmSymbolStyle::Execute() { return exec() == QDialog::Accepted; }

void TfrmSymbolStyle::SymbolImageClick()
{
    SymbolNumber = static_cast<uint8_t>(SymbolAt(MouseX, MouseY));
    const Rect cell = SymbolCell(SymbolNumber);
    X1 = static_cast<int16_t>(cell.left);
    Y1 = static_cast<int16_t>(cell.top);
    X2 = static_cast<int16_t>(cell.right);
    Y2 = static_cast<int16_t>(cell.bottom);
    SymbolImage->SetFrame(ToQRect(cell), kBlack, Qt::DotLine);
}

// Activating frames the current code's cell, as a click on its centre would.
void TfrmSymbolStyle::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    const Point c = SymbolCentre(SymbolNumber);
    MouseX = c.x;
    MouseY = c.y;
    SymbolImageClick();
}

} // namespace corvane
