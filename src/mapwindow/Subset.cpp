#include "mapwindow/Subset.h"

#include "catalogue/MasterFile.h"
#include "dialogs/StylePickers.h"
#include "display/PickerLayout.h"
#include "platform/DialogService.h"
#include "platform/MessageSink.h"
#include "platform/qt/QtCanvas.h"
#include "render/KeyItem.h"

#include <QGuiApplication>
#include <QHeaderView>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QStandardItemModel>

#include <algorithm>
#include <cstdlib>

namespace corvane {

Colour SubsetForm_Colour = 0xC0C0C0;
Colour SubSetMemoFont_Colour = 0x000000;
Colour OldColour = 0xC0C0C0;

namespace {

constexpr int kDesignWidth = 664;
constexpr int kPanelHeight = 65;
constexpr int kRowFontPixels = 13;   // the status and key columns' font
constexpr int kRightClickSlack = 5;
const char* const kSections[5] = {"Status", "Key", "Overlay Map", "Base Map", "Definition Text"};

} // namespace

// ---- SubsetPane --------------------------------------------------------------------------------

SubsetPane::SubsetPane(QWidget* parent, bool centred) : QWidget(parent), centred_(centred)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void SubsetPane::SetRows(std::vector<std::string> rows, int rowHeight, bool lineDraw)
{
    rows_ = std::move(rows);
    lineDraw_ = lineDraw;
    rowHeight_ = std::max(rowHeight, 1);
    update();
}

void SubsetPane::SetColours(Colour background, Colour text)
{
    background_ = background;
    text_ = text;
    update();
}

void SubsetPane::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.fillRect(rect(), ToQColor(background_));
    p.setPen(ToQColor(text_));
    p.setFont(font());
    for (size_t i = 0; i < rows_.size(); ++i) {
        const QRect row(2, static_cast<int>(i) * rowHeight_, width() - 4, rowHeight_);
        p.drawText(row, (centred_ ? Qt::AlignHCenter : Qt::AlignLeft) | Qt::AlignVCenter,
                   BytesToQString(rows_[i], lineDraw_ ? "MS LineDraw" : ""));
    }
}

void SubsetPane::mousePressEvent(QMouseEvent* event)
{
    if (Pressed) Pressed(event->button(), event->position().toPoint());
}

void SubsetPane::mouseReleaseEvent(QMouseEvent* event)
{
    if (Released) Released(event->button(), event->position().toPoint());
}

// ---- the dialog --------------------------------------------------------------------------------

TSubset::TSubset(QWidget* parent, DialogService* dialogs, MessageSink& messages, Colour mapBackground)
    : QDialog(parent), dialogs_(dialogs), messages_(messages), mapBackground_(mapBackground)
{
    setObjectName("Subset");
    setWindowTitle(QStringLiteral("Data Subset"));
    setProperty("helpContext", 2006);   // Dataset, Subset
    OldColour = SubsetForm_Colour;

    headerModel_ = new QStandardItemModel(0, 5, this);
    for (int i = 0; i < 5; ++i) headerModel_->setHorizontalHeaderItem(i, new QStandardItem(QString(kSections[i])));
    Header1 = new QHeaderView(Qt::Horizontal, this);
    Header1->setObjectName("Header1");
    Header1->setModel(headerModel_);
    Header1->setSectionsClickable(false);
    Header1->setDefaultAlignment(Qt::AlignCenter);
    QFont headerFont = Header1->font();
    headerFont.setPointSize(10);
    Header1->setFont(headerFont);

    rowsArea_ = new QScrollArea(this);
    rowsArea_->setFrameShape(QFrame::NoFrame);
    rowsArea_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    rows_ = new QWidget;
    rowsArea_->setWidget(rows_);

    QFont rowFont(FontFamilyFor("System"));
    rowFont.setBold(true);
    rowFont.setPixelSize(kRowFontPixels);
    StatusMemo = new SubsetPane(rows_);
    StatusMemo->setObjectName("StatusMemo");
    KeyMemo = new SubsetPane(rows_);
    KeyMemo->setObjectName("KeyMemo");
    DefTextMemo = new SubsetPane(rows_, false);
    DefTextMemo->setObjectName("DefTextMemo");
    for (SubsetPane* memo : {StatusMemo, KeyMemo}) memo->setFont(rowFont);
    lh_ = std::max(SubsetRowHeight(-kRowFontPixels, logicalDpiY()), 1);

    Panel1 = new SubsetPane(this);
    Panel1->setObjectName("Panel1");
    AddDialogButtons(this, Panel1, OKBtn, CancelBtn, HelpBtn);

    auto record = [this](Qt::MouseButton, const QPoint& p) {
        MouseX = p.x();
        MouseY = p.y();
    };
    auto onLeftRelease = [](std::function<void()> handler) {
        return [handler](Qt::MouseButton b, const QPoint&) {
            if (b == Qt::LeftButton) handler();
        };
    };
    StatusMemo->Pressed = KeyMemo->Pressed = DefTextMemo->Pressed = Panel1->Pressed = record;
    StatusMemo->Released = onLeftRelease([this] { StatusMemoClick(); });
    KeyMemo->Released = onLeftRelease([this] { KeyMemoClick(); });
    DefTextMemo->Released = onLeftRelease([this] { OKBtn->setFocus(); });
    Panel1->Released = [this](Qt::MouseButton b, const QPoint& p) {
        if (b == Qt::LeftButton) Panel1Click(false);
        else if (b == Qt::RightButton && RightClick(p)) Panel1Click(true);
    };
    for (bool top : {true, false}) {
        auto* image = new PickerImage(rows_, QSize(1, 1), SubsetForm_Colour);
        image->setObjectName(top ? "ForegroundImage" : "BackgroundImage");
        image->Pressed = record;
        image->Clicked = [this, top](const QPoint&) { SymbolColourClick(top); };
        image->Released = [this, top](Qt::MouseButton b, const QPoint& p) {
            if (b == Qt::RightButton && RightClick(p)) SymbolStyleClick(top);
        };
        (top ? ForegroundImage : BackgroundImage) = image;
    }
    resize(kDesignWidth, 397);
}

TSubset::~TSubset() = default;

void TSubset::Initialise(KeyStruct& key)
{
    Key = &key;
    model_.Initialise(key, messages_);
    setWindowTitle(BytesToQString(model_.Caption));
    QFont defFont(FontFamilyFor(model_.LineDrawFont ? "MS LineDraw" : "System"));
    defFont.setBold(true);
    defFont.setPointSize(10);
    DefTextMemo->setFont(defFont);
    ShowRows();
}

void TSubset::ShowRows()
{
    std::vector<std::string> status, shown, text;
    for (const SubsetRow& r : model_.Rows) {
        status.push_back(r.Status);
        shown.push_back(r.Shown);
        text.push_back(r.DefText);
    }
    StatusMemo->SetRows(std::move(status), lh_);
    KeyMemo->SetRows(std::move(shown), lh_);
    DefTextMemo->SetRows(std::move(text), lh_, model_.LineDrawFont);
}

void TSubset::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    FormShow();
}

void TSubset::FormResize()
{
    const QFontMetrics fm(Header1->font());
    int left = 0;
    for (int i = 0; i < 4; ++i) {
        const int title = fm.horizontalAdvance(QString(kSections[i]));
        Header1->resizeSection(i, title < 91 ? 100 : title + 10);
        left += Header1->sectionSize(i);
    }
    Header1->resizeSection(4, std::max(kDesignWidth - left, 100));
}

void TSubset::FormShow()
{
    for (SubsetPane* memo : {StatusMemo, KeyMemo, DefTextMemo}) memo->SetColours(0xFFFFFF, SubSetMemoFont_Colour);
    Panel1->SetColours(SubsetForm_Colour, 0);
    FormResize();

    const int rows = static_cast<int>(model_.Rows.size());
    const int headerHeight = Header1->sizeHint().height();
    const int rowsHeight = std::max(lh_ * rows, 1);
    // A key taller than the screen scrolls inside the dialog.
    int room = rowsHeight;
    if (const QScreen* s = screen())
        room = std::min(room, std::max(lh_, s->availableGeometry().height() - headerHeight - kPanelHeight - 64));
    const int width = kDesignWidth;
    setFixedSize(width, headerHeight + room + kPanelHeight + 2);
    Header1->setGeometry(0, 0, width, headerHeight);
    rowsArea_->setGeometry(0, headerHeight, width, room + 2);
    rows_->resize(width - (room < rowsHeight ? rowsArea_->verticalScrollBar()->sizeHint().width() : 0), rowsHeight);

    SubsetPane* const columns[5] = {StatusMemo, KeyMemo, nullptr, nullptr, DefTextMemo};
    for (int i = 0; i < 5; ++i) {
        const QRect r(Header1->sectionPosition(i), 0, Header1->sectionSize(i), rowsHeight);
        if (columns[i]) {
            columns[i]->setGeometry(r);
            continue;
        }
        PickerImage* image = i == 2 ? ForegroundImage : BackgroundImage;
        image->Reset(r.size(), SubsetForm_Colour);
        image->move(r.topLeft());
    }
    DefTextMemo->resize(rows_->width() - DefTextMemo->x(), rowsHeight);

    Panel1->setGeometry(0, height() - kPanelHeight, width, kPanelHeight);
    const int cw = width, buttonTop = (kPanelHeight - OKBtn->sizeHint().height()) / 2;
    OKBtn->move(cw / 2 - 2 * OKBtn->width(), buttonTop);
    CancelBtn->move(cw / 2 + CancelBtn->width(), buttonTop);
    HelpBtn->move(CancelBtn->pos());
    DrawSymbols();
}

void TSubset::DrawSymbols()
{
    if (!Key || !ForegroundImage) return;
    for (bool top : {true, false}) {
        PickerImage* image = top ? ForegroundImage : BackgroundImage;
        image->Picture().fill(ToQColor(SubsetForm_Colour));
        QtCanvas canvas(&image->Picture());
        for (int i = 1; i <= Key->NumItems; ++i) {
            const K_Descriptor* kd = SubsetModel::ItemOfOrder(*Key, i);
            if (!kd) continue;
            const auto idx = static_cast<size_t>(i);
            NewDrawKeyItem(canvas, 0, 0, SubsetModel::FirstRow(*Key, i), lh_, SubsetForm_Colour,
                           top ? model_.TopColour[idx] : model_.BottomColour[idx], kd->Entry_Type,
                           top ? model_.TopStyle[idx] : model_.BottomStyle[idx], messages_);
        }
        canvas.End();
        image->update();
    }
}

// ---- clicks ------------------------------------------------------------------------------------

void TSubset::StatusMemoClick()
{
    if (!model_.StatusClick(MouseY / lh_)) messages_.Beep();
    ShowRows();
    OKBtn->setFocus();
}

void TSubset::KeyMemoClick()
{
    if (!model_.KeyClick(MouseY / lh_)) messages_.Beep();
    ShowRows();
    OKBtn->setFocus();
}

SubsetItemRef TSubset::ItemAtMouse() const
{
    const int row = MouseY / lh_;
    if (!Key || !model_.ItemRow(row)) return {};
    return SubsetModel::GetKeyItem(*Key, row + 1);
}

void TSubset::FrameRow(PickerImage* image, int bPos, Colour colour)
{
    QtCanvas canvas(&image->Picture());
    canvas.pen.colour = colour;
    canvas.pen.style = PenStyle::Solid;
    canvas.brush.style = BrushStyle::Clear;
    canvas.RoundRect(1, (bPos - 1) * lh_ + 1, image->width() - 1, bPos * lh_, lh_, lh_);
    canvas.End();
    image->repaint();
}

bool TSubset::ChooseColour(Colour initial, Colour& chosen)
{
    const DialogOutcome outcome = dialogs_ ? dialogs_->ChooseColour(initial, chosen) : DialogOutcome::Failed;
    if (outcome == DialogOutcome::Failed) ReportDialogFailure(messages_, "Colour");
    return outcome == DialogOutcome::Ok;
}

bool TSubset::RightClick(const QPoint& release) const
{
    return std::abs(release.x() - MouseX) <= kRightClickSlack && std::abs(release.y() - MouseY) <= kRightClickSlack;
}

void TSubset::SymbolColourClick(bool top)
{
    const SubsetItemRef item = ItemAtMouse();
    if (!item.Item) return;
    PickerImage* image = top ? ForegroundImage : BackgroundImage;
    const int bPos = MouseY / lh_ + 1;
    FrameRow(image, bPos, 0xFFFFFF);
    Colour& colour = (top ? model_.TopColour : model_.BottomColour)[static_cast<size_t>(item.Order)];
    Colour chosen = colour;
    if (ChooseColour(colour, chosen)) colour = chosen;
    DrawSymbols();   // the item in its colour, without the frame
}

void TSubset::SymbolStyleClick(bool top)
{
    const SubsetItemRef item = ItemAtMouse();
    if (!item.Item) return;
    PickerImage* image = top ? ForegroundImage : BackgroundImage;
    FrameRow(image, MouseY / lh_ + 1, 0xFFFFFF);
    uint8_t& style = (top ? model_.TopStyle : model_.BottomStyle)[static_cast<size_t>(item.Order)];
    switch (StylePickerFor(item.Item->Entry_Type)) {
    case SubsetStylePicker::Line: {
        TfrmLineStyle picker(this);
        picker.ASetSelected(PenStyleOfLineCode(style));
        if (picker.Execute()) style = LineCodeOfPenStyle(picker.AbsSelected);
        break;
    }
    case SubsetStylePicker::Fill: {
        TfrmFillStyle picker(this, mapBackground_);
        picker.bsSelected = style;
        if (picker.Execute()) style = picker.bsSelected;
        break;
    }
    case SubsetStylePicker::Symbol: {
        TfrmSymbolStyle picker(this);
        picker.SymbolNumber = style;
        if (picker.Execute()) style = picker.SymbolNumber;
        break;
    }
    case SubsetStylePicker::Beep: messages_.Beep(); break;
    case SubsetStylePicker::None: break;
    }
    DrawSymbols();
}

void TSubset::Panel1Click(bool right)
{
    Colour& colour = right ? SubSetMemoFont_Colour : SubsetForm_Colour;
    Colour chosen = colour;
    if (!ChooseColour(colour, chosen)) return;
    colour = chosen;
    FormShow();
}

} // namespace corvane
