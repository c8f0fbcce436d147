#include "dialogs/MapDefinition.h"

#include "app/MainFrm.h"
#include "mapdef/MDFStruct.h"
#include "mapdef/MapThemes.h"
#include "platform/CodePage.h"
#include "platform/DialogService.h"
#include "platform/MessageSink.h"
#include "platform/qt/QtCanvas.h"

#include <QApplication>
#include <QCursor>
#include <QGuiApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>

#include <algorithm>

namespace corvane {

TMapDefinition* MapDefinition = nullptr;

namespace {

constexpr QRgb kDragMark = qRgb(255, 0, 0);   // 0x0000FF in the program's colour order

QString FromBytes(const std::string& s) { return QString::fromStdString(Cp1252ToUtf8(s)); }

int RowHeight(const QWidget* list)
{
    return std::max(MapDefinitionGeometry::ItemHeight, list->fontMetrics().height() + 2);
}

} // namespace

// ---- layout --------------------------------------------------------------------------------------

MapDefinitionGeometry LayoutMapDefinition(int cw, int ch, int Tag, bool textListShown)
{
    using G = MapDefinitionGeometry;
    G g;
    const int bottom = ch - 16 - G::ButtonHeight;   // top of the bottom buttons
    g.CancelBtn = QRect(cw - 16 - G::ButtonWidth, bottom, G::ButtonWidth, G::ButtonHeight);
    g.OKBtn = g.CancelBtn.translated(-(16 + G::ButtonWidth), 0);
    g.FontBtn = QRect(16, bottom, G::ButtonWidth, G::ButtonHeight);
    g.HelpBtn = g.FontBtn.translated(16 + G::ButtonWidth, 0);

    const int moveLeft = cw / 2 - G::MoveWidth / 2;
    g.IncludeBtn = QRect(moveLeft, G::ListTop, G::MoveWidth, G::MoveHeight);
    g.IncAllBtn = g.IncludeBtn.translated(0, G::MoveHeight + 8);
    g.ExAllBtn = QRect(moveLeft, bottom - 16 - 8 - G::MoveHeight, G::MoveWidth, G::MoveHeight);
    g.ExcludeBtn = g.ExAllBtn.translated(0, -(8 + G::MoveHeight));

    const int listHeight = std::max(0, bottom - 16 - G::ListTop);
    const int sideWidth = std::max(0, (cw / 2 - G::MoveWidth / 2) - 24);
    if (Tag > SubsetMode) {
        g.OverlaymapList = QRect(16, G::ListTop, std::max(0, cw - 32), listHeight);
    } else {
        g.OverlaymapList = QRect(moveLeft + G::MoveWidth + 8, G::ListTop, sideWidth, listHeight);
    }
    g.OverlayLabel = QRect(g.OverlaymapList.left(), G::LabelTop, g.OverlaymapList.width(), G::LabelHeight);
    g.BasemapList = QRect(16, G::ListTop, sideWidth, listHeight);
    if (textListShown) {
        const int half = (listHeight - G::LabelHeight) / 2;
        g.BasemapList.setHeight(half);
        g.TextList = QRect(16, G::ListTop + listHeight - half, sideWidth, half);
        g.TextLabel = QRect(16, g.TextList.top() - G::LabelHeight, sideWidth, G::LabelHeight);
    } else {
        g.TextList = QRect(16, G::ListTop, sideWidth, 0);
        g.TextLabel = QRect(16, G::LabelTop, sideWidth, G::LabelHeight);
    }
    g.BasemapLabel = QRect(16, G::LabelTop, sideWidth, G::LabelHeight);
    return g;
}

QSize MapDefinitionMinimumSize()
{
    using G = MapDefinitionGeometry;
    const int incAllBottom = G::ListTop + 2 * G::MoveHeight + 8;
    return {16 + 4 * (G::ButtonWidth + 16), incAllBottom + 8 + G::MoveHeight + 8 + G::MoveHeight + 24 + G::ButtonHeight + 16};
}

// ---- list boxes ------------------------------------------------------------------------------------

MapDefListBox::MapDefListBox(QWidget* parent, MapDefListId id) : QListWidget(parent), id_(id)
{
    setUniformItemSizes(true);
    setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
}

void MapDefListBox::SetMarkedRow(int row)
{
    if (row == marked_) return;
    marked_ = row;
    viewport()->update();
}

void MapDefListBox::paintEvent(QPaintEvent* event)
{
    QListWidget::paintEvent(event);
    if (marked_ < 0) return;
    const int h = RowHeight(this);
    QRect r;
    if (marked_ < count()) {
        r = visualItemRect(item(marked_));
    } else {
        const QRect last = count() > 0 ? visualItemRect(item(count() - 1)) : QRect(0, -h, viewport()->width(), h);
        r = last.translated(0, last.height());
    }
    r.setLeft(0);
    r.setWidth(viewport()->width());
    QPainter p(viewport());
    if (marked_ < count()) {
        const bool selected = item(marked_)->isSelected();
        p.fillRect(r, palette().color(selected ? QPalette::Highlight : QPalette::Base));
        p.setPen(palette().color(selected ? QPalette::HighlightedText : QPalette::Text));
        p.drawText(r.adjusted(2, 0, 0, 0), Qt::AlignLeft | Qt::AlignVCenter, item(marked_)->text());
        p.setPen(QColor(kDragMark));
        p.drawRect(r.adjusted(0, 0, -1, -1));
    }
    p.setPen(QColor(kDragMark));
    p.drawLine(r.topLeft(), r.topRight());
}

// ---- the dialog ----------------------------------------------------------------------------------

TMapDefinition::TMapDefinition(QWidget* parent, DialogService* dialogs, MessageSink& sink)
    : QDialog(parent), dialogs_(dialogs), sink_(sink)
{
    setObjectName("MapDefinition");
    setMinimumSize(MapDefinitionMinimumSize());

    auto label = [this](const char* text, const char* name) {
        auto* l = new QLabel(QString::fromLatin1(text), this);
        l->setObjectName(name);
        return l;
    };
    BasemapLabel = label("Base map list:", "BasemapLabel");
    OverlayLabel = label("Overlay map list:", "OverlayLabel");
    TextLabel = label("Text list:", "TextLabel");

    auto list = [this](MapDefListId id, const char* name) {
        auto* l = new MapDefListBox(this, id);
        l->setObjectName(name);
        l->installEventFilter(this);
        l->viewport()->installEventFilter(this);
        connect(l, &QListWidget::itemSelectionChanged, this, [this, l] { ReadSelection(l); });
        return l;
    };
    BasemapList = list(BaseListId, "BasemapList");
    OverlaymapList = list(OverlayListId, "OverlaymapList");
    TextList = list(TextListId, "TextList");
    TextLabel->hide();
    TextList->hide();

    auto button = [this](const char* text, const char* name) {
        auto* b = new QPushButton(QString::fromLatin1(text), this);
        b->setObjectName(name);
        b->setAutoDefault(false);
        return b;
    };
    IncludeBtn = button(">", "IncludeBtn");
    IncAllBtn = button(">>", "IncAllBtn");
    ExcludeBtn = button("<", "ExcludeBtn");
    ExAllBtn = button("<<", "ExAllBtn");
    FontBtn = button("&Font", "FontBtn");
    OKBtn = button("&Ok", "OKBtn");
    CancelBtn = button("&Cancel", "CancelBtn");
    HelpBtn = button("&Help", "HelpBtn");
    HelpBtn->hide();
    OKBtn->setDefault(true);

    connect(IncludeBtn, &QPushButton::clicked, this, &TMapDefinition::IncludeBtnClick);
    connect(IncAllBtn, &QPushButton::clicked, this, &TMapDefinition::IncAllBtnClick);
    connect(ExcludeBtn, &QPushButton::clicked, this, &TMapDefinition::ExcludeBtnClick);
    connect(ExAllBtn, &QPushButton::clicked, this, &TMapDefinition::ExcAllBtnClick);
    connect(FontBtn, &QPushButton::clicked, this, &TMapDefinition::FontBtnClick);
    connect(OKBtn, &QPushButton::clicked, this, &QDialog::accept);
    connect(CancelBtn, &QPushButton::clicked, this, &QDialog::reject);

    // Made as wide as the screen; each showing takes the work area's width again.
    const QScreen* screen = QGuiApplication::primaryScreen();
    resize(screen ? screen->geometry().width() : 800, MapDefinitionGeometry::DesignHeight);
    SetMode(OrderMode);
}

TMapDefinition::~TMapDefinition()
{
    if (MapDefinition == this) MapDefinition = nullptr;
}

MapDefListBox* TMapDefinition::Box(MapDefListId id) const
{
    return id == BaseListId ? BasemapList : id == OverlayListId ? OverlaymapList : TextList;
}

void TMapDefinition::SetMode(int tag)
{
    Tag = tag;
    const MapDefModeInfo info = ModeInfo(tag);
    setWindowTitle(QString::fromLatin1(info.Caption));
    setProperty("helpContext", info.HelpContext);
    for (MapDefListId id : {BaseListId, OverlayListId, TextListId}) {
        const bool multi = info.MultiSelect && id != TextListId;
        model_[id].MultiSelect = multi;
        Box(id)->setSelectionMode(multi ? QAbstractItemView::ExtendedSelection : QAbstractItemView::SingleSelection);
    }
    BasemapList->setVisible(info.BaseListShown);
    BasemapLabel->setVisible(info.BaseListShown);
    BasemapList->setEnabled(info.BaseListShown);
    textShown_ = info.TextListShown;
    TextList->setVisible(textShown_);
    TextLabel->setVisible(textShown_);
    // In ordering mode all four move buttons stand; their enabling follows the lists.
    for (QPushButton* b : {IncludeBtn, IncAllBtn, ExcludeBtn, ExAllBtn}) b->setVisible(info.MoveButtonsShown);
    FormResize();
}

void TMapDefinition::FillList(MapDefListId id, const MASList& themes)
{
    std::vector<std::pair<std::string, MASStruct*>> items;
    for (MASStruct* m : themes) items.emplace_back(m->Title ? *m->Title : std::string(), m);
    model_.Fill(id, items);
}

void TMapDefinition::TakeMap(TMDFStruct& mdf)
{
    NextMAS = &mdf.NextMAS;
    OverlayMAS = &mdf.OverlayMAS;
    TextMAS = &mdf.TextMAS;
    iItem = -1;
    UseList = nullptr;
    // The lists stand for this map's themes only.
    for (MapDefListId id : {BaseListId, OverlayListId, TextListId}) model_.Fill(id, {});
}

void TMapDefinition::Prepare(MapDefMode mode, TMDFStruct& mdf)
{
    TakeMap(mdf);
    SetMode(mode);
    const MapDefModeInfo info = ModeInfo(mode);
    if (info.BaseListShown) FillList(BaseListId, mdf.NextMAS);
    FillList(OverlayListId, mdf.OverlayMAS);
    if (info.TextListShown) FillList(TextListId, mdf.TextMAS);
    model_.SetButtons();
    SyncLists();
}

void TMapDefinition::EndInformation()
{
    textShown_ = false;
    TextList->hide();
    TextLabel->hide();
    model_.Fill(TextListId, {});
    SyncLists();
    FormResize();
}

MASStruct* TMapDefinition::SelectMapSubset(TMDFStruct& mdf)
{
    Prepare(SubsetMode, mdf);
    if (exec() != QDialog::Accepted) return nullptr;
    for (MapDefListId id : {BaseListId, OverlayListId}) {
        const int i = model_.GetFirstSelection(id);
        if (i >= 0) return model_[id].Items[static_cast<size_t>(i)].Object;
    }
    return nullptr;
}

// ---- showing the model ------------------------------------------------------------------------------

void TMapDefinition::SyncLists()
{
    syncing_ = true;
    for (MapDefListId id : {BaseListId, OverlayListId, TextListId}) {
        MapDefListBox* box = Box(id);
        const MapDefList& l = model_[id];
        if (box->count() != l.Count()) {
            box->clear();
            for (int i = 0; i < l.Count(); ++i) box->addItem(QString());
        }
        const int h = RowHeight(box);
        for (int i = 0; i < l.Count(); ++i) {
            QListWidgetItem* item = box->item(i);
            item->setText(FromBytes(l.Items[static_cast<size_t>(i)].Title));
            item->setSizeHint(QSize(0, h));
        }
        if (l.ItemIndex >= 0)
            box->setCurrentRow(l.ItemIndex, QItemSelectionModel::NoUpdate);
        else
            box->setCurrentIndex(QModelIndex());
        for (int i = 0; i < l.Count(); ++i) box->item(i)->setSelected(l.Items[static_cast<size_t>(i)].Selected);
    }
    syncing_ = false;
    SyncButtons();
}

void TMapDefinition::SyncButtons()
{
    IncludeBtn->setEnabled(model_.IncludeEnabled);
    IncAllBtn->setEnabled(model_.IncAllEnabled);
    ExcludeBtn->setEnabled(model_.ExcludeEnabled);
    ExAllBtn->setEnabled(model_.ExAllEnabled);
}

void TMapDefinition::ReadSelection(MapDefListBox* list)
{
    if (syncing_) return;
    MapDefList& l = model_[list->Id()];
    for (int i = 0; i < l.Count() && i < list->count(); ++i)
        l.Items[static_cast<size_t>(i)].Selected = list->item(i)->isSelected();
    l.ItemIndex = list->currentRow();
}

// ---- the buttons ------------------------------------------------------------------------------------

void TMapDefinition::IncludeBtnClick()
{
    model_.IncludeBtnClick();
    SyncLists();
    if (model_.Focused >= 0) Box(static_cast<MapDefListId>(model_.Focused))->setFocus();
}

void TMapDefinition::ExcludeBtnClick()
{
    model_.ExcludeBtnClick();
    SyncLists();
    if (model_.Focused >= 0) Box(static_cast<MapDefListId>(model_.Focused))->setFocus();
}

void TMapDefinition::IncAllBtnClick()
{
    model_.IncAllBtnClick();
    SyncLists();
    BasemapList->setFocus();
}

void TMapDefinition::ExcAllBtnClick()
{
    model_.ExcAllBtnClick();
    SyncLists();
    OverlaymapList->setFocus();
}

void TMapDefinition::FontBtnClick()
{
    const QFont current = BasemapList->font();
    FontChoice choice;
    choice.name = current.family().toStdString();
    choice.size = current.pointSize() > 0 ? current.pointSize() : 8;
    choice.bold = current.bold();
    choice.italic = current.italic();
    choice.underline = current.underline();
    choice.strikeOut = current.strikeOut();
    const DialogOutcome outcome = dialogs_ ? dialogs_->ChooseFont(choice) : DialogOutcome::Failed;
    if (outcome == DialogOutcome::Failed) {
        ReportDialogFailure(sink_, "Font");
        return;
    }
    if (outcome != DialogOutcome::Ok) return;
    QFont f(FontFamilyFor(choice.name));
    f.setPointSize(std::max(1, choice.size));
    f.setBold(choice.bold);
    f.setItalic(choice.italic);
    f.setUnderline(choice.underline);
    f.setStrikeOut(choice.strikeOut);
    setFont(f);
    for (MapDefListBox* b : {BasemapList, OverlaymapList, TextList}) b->setFont(f);
    SyncLists();   // rows as tall as the new font needs
}

void TMapDefinition::ListDblClick(MapDefListBox* list, const QPoint& pos)
{
    const QModelIndex at = list->indexAt(pos);
    if (!at.isValid()) return;
    if (!ModeInfo(Tag).DoubleClickConfirms) {
        sink_.Beep();
        return;
    }
    // The theme double-clicked is the choice, whatever the other list had selected before.
    for (MapDefListId id : {BaseListId, OverlayListId, TextListId})
        if (id != list->Id()) model_[id].Select(-1);
    model_[list->Id()].Select(at.row());
    SyncLists();
    accept();
}

// ---- layout and showing -----------------------------------------------------------------------------

void TMapDefinition::FormResize()
{
    const MapDefinitionGeometry g = LayoutMapDefinition(width(), height(), Tag, textShown_);
    BasemapLabel->setGeometry(g.BasemapLabel);
    BasemapList->setGeometry(g.BasemapList);
    OverlayLabel->setGeometry(g.OverlayLabel);
    OverlaymapList->setGeometry(g.OverlaymapList);
    TextLabel->setGeometry(g.TextLabel);
    TextList->setGeometry(g.TextList);
    IncludeBtn->setGeometry(g.IncludeBtn);
    IncAllBtn->setGeometry(g.IncAllBtn);
    ExcludeBtn->setGeometry(g.ExcludeBtn);
    ExAllBtn->setGeometry(g.ExAllBtn);
    FontBtn->setGeometry(g.FontBtn);
    OKBtn->setGeometry(g.OKBtn);
    CancelBtn->setGeometry(g.CancelBtn);
    HelpBtn->setGeometry(g.HelpBtn);
}

void TMapDefinition::resizeEvent(QResizeEvent* event)
{
    QDialog::resizeEvent(event);
    FormResize();
}

void TMapDefinition::showEvent(QShowEvent* event)
{
    // At the left edge of the work area with its width; centred on the screen the first time.
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect work = screen->availableGeometry();
        const int top = shownOnce_ ? geometry().y() : screen->geometry().center().y() - height() / 2;
        setGeometry(work.left(), std::max(work.top(), top), work.width(), height());
    }
    shownOnce_ = true;
    FormResize();
    QDialog::showEvent(event);
}

// ---- mouse and focus --------------------------------------------------------------------------------

MapDefListBox* TMapDefinition::ListAt(const QPoint& globalPos) const
{
    for (MapDefListBox* b : {BasemapList, OverlaymapList, TextList})
        if (b->isVisible() && b->viewport()->rect().contains(b->viewport()->mapFromGlobal(globalPos))) return b;
    return nullptr;
}

void TMapDefinition::MarkRow(MapDefListBox* list, int row)
{
    if (UseList && UseList != list) UseList->SetMarkedRow(-1);
    UseList = list;
    if (list) list->SetMarkedRow(row);
}

bool TMapDefinition::DragEvent(MapDefListBox* list, QEvent* event)
{
    auto* me = static_cast<QMouseEvent*>(event);
    switch (event->type()) {
    case QEvent::MouseButtonPress: {
        dragging_ = false;
        pressList_ = nullptr;
        const QModelIndex at = list->indexAt(me->position().toPoint());
        if (me->button() == Qt::LeftButton && at.isValid()) {
            pressList_ = list;
            pressPos_ = me->globalPosition().toPoint();
            iItem = at.row();
            UseList = list;
        }
        return false;
    }
    case QEvent::MouseMove: {
        if (pressList_ != list || !(me->buttons() & Qt::LeftButton)) return false;
        const QPoint global = me->globalPosition().toPoint();
        if (!dragging_) {
            if ((global - pressPos_).manhattanLength() < QApplication::startDragDistance()) return true;
            dragging_ = true;
            QApplication::setOverrideCursor(Qt::DragMoveCursor);
        }
        MapDefListBox* over = ListAt(global);
        if (!over) return true;
        const int h = RowHeight(over);
        const int vh = over->viewport()->height();
        const int top = over->verticalScrollBar()->value();
        const int row = DragTargetRow(over->viewport()->mapFromGlobal(global).y(), vh, h, top, over->count());
        if (const int step = DragScrollStep(row, top, vh / h, over->count())) {
            over->verticalScrollBar()->setValue(top + step);
            QCursor::setPos(QCursor::pos() - QPoint(0, step * h));
        }
        MarkRow(over, row);
        return true;
    }
    case QEvent::MouseButtonRelease: {
        if (pressList_ != list) return false;
        const bool wasDragging = dragging_;
        pressList_ = nullptr;
        dragging_ = false;
        if (!wasDragging) return false;
        QApplication::restoreOverrideCursor();
        MarkRow(nullptr, -1);
        for (MapDefListBox* b : {BasemapList, OverlaymapList, TextList}) b->SetMarkedRow(-1);
        const QPoint global = me->globalPosition().toPoint();
        if (MapDefListBox* over = ListAt(global)) {
            const int row = DragTargetRow(over->viewport()->mapFromGlobal(global).y(), over->viewport()->height(),
                                          RowHeight(over), over->verticalScrollBar()->value(), over->count());
            model_.DropItem(list->Id(), iItem, over->Id(), row);
            SyncLists();
        }
        return true;
    }
    default:
        return false;
    }
}

bool TMapDefinition::eventFilter(QObject* watched, QEvent* event)
{
    for (MapDefListBox* b : {BasemapList, OverlaymapList, TextList}) {
        if (watched == b && event->type() == QEvent::FocusIn && textShown_) {
            model_.EnterList(b->Id(), true);
            SyncLists();
        }
        if (watched != b->viewport()) continue;
        switch (event->type()) {
        case QEvent::MouseButtonDblClick:
            ListDblClick(b, static_cast<QMouseEvent*>(event)->position().toPoint());
            return true;
        case QEvent::MouseButtonPress:
        case QEvent::MouseMove:
        case QEvent::MouseButtonRelease:
            if (Tag == OrderMode && DragEvent(b, event)) return true;
            break;
        default:
            break;
        }
    }
    return QDialog::eventFilter(watched, event);
}

// ---- information pages ------------------------------------------------------------------------------

void ShowInfo(const std::string& Title, const MASList& list)
{
    const std::string file = InfoFileOf(Title, list);
    if (!file.empty() && MainFrm) MainFrm->ShowEdit(file);
}

} // namespace corvane
