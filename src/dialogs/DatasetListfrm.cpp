#include "dialogs/DatasetListfrm.h"

#include "platform/CodePage.h"

#include <QApplication>
#include <QFrame>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QListWidget>
#include <QMouseEvent>
#include <QPushButton>
#include <QScreen>
#include <QTreeWidget>

namespace corvane {

namespace {

constexpr int kHelpContext = 2001;
constexpr int kTreeItemHeight = 22;
constexpr int kListItemHeight = 16;

QString FromBytes(const std::string& s) { return QString::fromStdString(Cp1252ToUtf8(s)); }

// Runs f with the hourglass cursor.
template <typename F>
void Busy(F f)
{
    QApplication::setOverrideCursor(Qt::WaitCursor);
    f();
    QApplication::restoreOverrideCursor();
}

} // namespace

TDatasetListfrm::TDatasetListfrm(QWidget* owner, const std::vector<std::string>& baseTitles,
                                 const std::vector<std::string>& overlayTitles,
                                 const std::vector<std::string>& textTitles, const DatasetListPlacement& placement,
                                 MessageSink& sink)
    : QDialog(owner), model_(sink)
{
    setWindowTitle("Dataset List");
    setMinimumSize(DatasetListGeometry::MinWidth, DatasetListGeometry::MinHeight);
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setBrush(QPalette::Window, pal.brush(QPalette::Dark));   // the work-space colour
    setPalette(pal);

    Outline1 = new QTreeWidget(this);
    Outline1->setObjectName("Outline1");
    Outline1->setFrameShape(QFrame::NoFrame);
    Outline1->setHeaderHidden(true);
    Outline1->setColumnCount(1);
    Outline1->setSelectionMode(QAbstractItemView::SingleSelection);
    Outline1->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    Outline1->setUniformRowHeights(true);
    Outline1->setItemsExpandable(false);      // a click opens and closes a node (Outline1Click)
    Outline1->setExpandsOnDoubleClick(false); // a double-click adds or removes
    Outline1->setProperty("separator", "\\");

    Slider = new QFrame(this);
    Slider->setObjectName("Slider");
    Slider->setFrameStyle(QFrame::Panel | QFrame::Raised);
    Slider->setCursor(Qt::SplitVCursor);

    lbSelected = new QListWidget(this);
    lbSelected->setObjectName("lbSelected");
    lbSelected->setFrameShape(QFrame::NoFrame);
    lbSelected->setSelectionMode(QAbstractItemView::ExtendedSelection);
    lbSelected->setUniformItemSizes(true);
    lbSelected->setFont(Outline1->font());

    auto button = [this](const char* text, const char* name) {
        auto* b = new QPushButton(QString::fromLatin1(text), this);
        b->setObjectName(name);
        b->setAutoDefault(false);
        b->installEventFilter(this);
        return b;
    };
    AddBtn = button("&Add", "AddBtn");
    RemoveBtn = button("&Remove", "RemoveBtn");
    HelpBtn = button("&Help", "HelpBtn");
    OkBtn = button("&Ok", "OkBtn");
    CancelBtn = button("&Cancel", "CancelBtn");
    HelpBtn->hide();
    OkBtn->setDefault(true);
    AddBtn->setEnabled(false);

    for (QObject* o : {static_cast<QObject*>(this), static_cast<QObject*>(Outline1), static_cast<QObject*>(Slider),
                       static_cast<QObject*>(lbSelected)})
        o->setProperty("helpContext", kHelpContext);

    for (QObject* o : {static_cast<QObject*>(Outline1), static_cast<QObject*>(Outline1->viewport()),
                       static_cast<QObject*>(Slider), static_cast<QObject*>(lbSelected),
                       static_cast<QObject*>(lbSelected->viewport())})
        o->installEventFilter(this);

    connect(AddBtn, &QPushButton::clicked, this, [this] { AddDataSet(SelectedNode()); });
    connect(RemoveBtn, &QPushButton::clicked, this, [this] { DeleteDataSets(); });
    connect(OkBtn, &QPushButton::clicked, this, &QDialog::accept);
    connect(CancelBtn, &QPushButton::clicked, this, &QDialog::reject);
    connect(Outline1, &QTreeWidget::itemClicked, this, [this] { Outline1Click(); });
    connect(Outline1, &QTreeWidget::itemDoubleClicked, this, [this](QTreeWidgetItem* item) { Outline1DblClick(item); });
    connect(Outline1, &QTreeWidget::itemSelectionChanged, this, [this] { CheckBtns(); });

    QScreen* screen = QGuiApplication::primaryScreen();
    const int screenWidth = screen ? screen->geometry().width() : DatasetListGeometry::Width;
    const QRect frame = DatasetListWindowRect(placement.Left, placement.MainBottom, placement.WorkAreaBottom, screenWidth);
    move(frame.topLeft());
    resize(frame.size());
    ApplyGeometry(LayoutDatasetList(width(), height()));

    model_.Load(baseTitles, overlayTitles, textTitles);
    FillTree();
    SyncChosen();
    CheckBtns();
}

TDatasetListfrm::~TDatasetListfrm() = default;

void TDatasetListfrm::FillTree()
{
    Outline1->clear();
    items_.assign(model_.Tree.Nodes.size(), nullptr);
    for (size_t i = 0; i < model_.Tree.Nodes.size(); ++i) {
        const DataListNode& n = model_.Tree.Nodes[i];
        QTreeWidgetItem* item = n.Parent < 0 ? new QTreeWidgetItem(Outline1)
                                             : new QTreeWidgetItem(items_[static_cast<size_t>(n.Parent)]);
        item->setText(0, FromBytes(n.Title));
        item->setData(0, Qt::UserRole, static_cast<int>(i));
        item->setSizeHint(0, QSize(0, kTreeItemHeight));
        items_[i] = item;
    }
}

void TDatasetListfrm::FreeDataPtr()
{
    model_.FreeDataPtr();
    Outline1->clear();
    items_.clear();
    lbSelected->clear();
}

int TDatasetListfrm::SelectedNode() const
{
    // Only a highlighted node counts: on focus the tree makes its first node current without
    // selecting it.
    QTreeWidgetItem* item = Outline1->currentItem();
    return item && item->isSelected() ? item->data(0, Qt::UserRole).toInt() : -1;
}

QTreeWidgetItem* TDatasetListfrm::ItemOfNode(int node) const
{
    return node >= 0 && static_cast<size_t>(node) < items_.size() ? items_[static_cast<size_t>(node)] : nullptr;
}

// Brings the chosen list box in line with the model, which only appends lines or removes
// them: lines that stay keep their selection.
void TDatasetListfrm::SyncChosen()
{
    const std::vector<std::string>& chosen = model_.Chosen;
    size_t j = 0;
    for (int row = 0; row < lbSelected->count();) {
        const std::string text = lbSelected->item(row)->data(Qt::UserRole).toByteArray().toStdString();
        if (j < chosen.size() && text == chosen[j]) {
            ++row;
            ++j;
        } else {
            delete lbSelected->takeItem(row);
        }
    }
    for (; j < chosen.size(); ++j) {
        auto* item = new QListWidgetItem(FromBytes(chosen[j]));
        item->setData(Qt::UserRole, QByteArray::fromStdString(chosen[j]));
        item->setSizeHint(QSize(0, kListItemHeight));
        lbSelected->addItem(item);
    }
}

void TDatasetListfrm::SyncButtons()
{
    AddBtn->setEnabled(model_.AddEnabled);
    RemoveBtn->setEnabled(model_.RemoveEnabled);
}

void TDatasetListfrm::CheckBtns()
{
    model_.CheckBtns(SelectedNode());
    SyncButtons();
}

void TDatasetListfrm::AddDataSet(int node)
{
    if (node < 0) return;
    bool heading = false;
    if (model_.Tree.HasChildren(node)) Busy([&] { heading = model_.AddDataSet(node); });
    else model_.AddDataSet(node);
    SyncChosen();
    SyncButtons();
    if (heading) Outline1Click();
}

void TDatasetListfrm::DeleteDataSets()
{
    std::vector<int> rows;
    for (int r = 0; r < lbSelected->count(); ++r)
        if (lbSelected->item(r)->isSelected()) rows.push_back(r);
    const int node = SelectedNode();
    DatasetListModel::Removed what = DatasetListModel::Removed::Nothing;
    if (rows.empty() && node >= 0 && model_.Tree.HasChildren(node))
        Busy([&] { what = model_.DeleteDataSets(rows, node); });
    else
        what = model_.DeleteDataSets(rows, node);
    SyncChosen();
    SyncButtons();
    if (what == DatasetListModel::Removed::ChosenLines) Outline1->setFocus();
    if (what == DatasetListModel::Removed::Children) Outline1Click();
}

void TDatasetListfrm::Outline1Click()
{
    if (lbSelected->currentRow() != 0) lbSelected->clearSelection();
    const int node = SelectedNode();
    if (node < 0) return;
    if (model_.Tree.HasChildren(node)) {
        QTreeWidgetItem* item = ItemOfNode(node);
        item->setExpanded(!item->isExpanded());
    } else {
        CheckBtns();
    }
}

void TDatasetListfrm::Outline1DblClick(QTreeWidgetItem* item)
{
    if (!item) return;
    const int node = item->data(0, Qt::UserRole).toInt();
    if (model_.DS_Selected(model_.Tree.Nodes[static_cast<size_t>(node)].Title)) DeleteDataSets();
    else AddDataSet(node);
}

void TDatasetListfrm::ApplyGeometry(const DatasetListGeometry& g)
{
    Outline1->setGeometry(g.Tree);
    Slider->setGeometry(g.Slider);
    lbSelected->setGeometry(g.List);
    AddBtn->setGeometry(g.Add);
    RemoveBtn->setGeometry(g.Remove);
    HelpBtn->setGeometry(g.Help);
    OkBtn->setGeometry(g.Ok);
    CancelBtn->setGeometry(g.Cancel);
}

void TDatasetListfrm::resizeEvent(QResizeEvent* event)
{
    QDialog::resizeEvent(event);
    if (!resizeSuspended_) ApplyGeometry(LayoutDatasetList(width(), height()));
}

bool TDatasetListfrm::event(QEvent* event)
{
    if (event->type() == QEvent::WindowActivate)
        while (QApplication::overrideCursor()) QApplication::restoreOverrideCursor();
    return QDialog::event(event);
}

bool TDatasetListfrm::KeyPress(QObject* watched, int key)
{
    const bool list = watched == lbSelected;
    const bool treeOrButton = watched == Outline1 || qobject_cast<QPushButton*>(watched) != nullptr;
    if (key == Qt::Key_Insert && treeOrButton) {
        AddDataSet(SelectedNode());
        return true;
    }
    if (key == Qt::Key_Delete && (treeOrButton || list)) {
        DeleteDataSets();
        return true;
    }
    return false;   // F1 opens the help of the window (HelpWindow.h) and reaches no control
}

bool TDatasetListfrm::SliderEvent(QEvent* event)
{
    auto* me = static_cast<QMouseEvent*>(event);
    const QPoint global = me->globalPosition().toPoint();
    switch (event->type()) {
    case QEvent::MouseButtonPress:
        SliderPt = global;
        resizeSuspended_ = true;
        return true;
    case QEvent::MouseMove: {
        if (!resizeSuspended_ || me->buttons() != Qt::LeftButton) return true;
        const int pointerY = Slider->mapTo(this, me->position().toPoint()).y();
        const int top = DragSliderTop(Slider->y(), global.y() - SliderPt.y(), pointerY, height());
        if (top != Slider->y()) {
            Slider->move(0, top);
            SliderPt = global;
        }
        return true;
    }
    case QEvent::MouseButtonRelease: {
        if (!resizeSuspended_) return true;
        DatasetListGeometry g = LayoutDatasetList(width(), height());
        ReleaseSlider(g, Slider->y(), height());
        Outline1->setGeometry(g.Tree);
        Slider->setGeometry(g.Slider);
        lbSelected->setGeometry(g.List);
        resizeSuspended_ = false;
        return true;
    }
    default:
        return false;
    }
}

// Dragging from the tree to the chosen list adds the selected node; dragging chosen lines
// (left button, no Shift or Ctrl) to the tree removes them. Other drops are refused.
bool TDatasetListfrm::DragEvent(QObject* watched, QEvent* event)
{
    auto* me = static_cast<QMouseEvent*>(event);
    const DragFrom from = watched == Outline1->viewport() ? DragFrom::Tree : DragFrom::List;
    const QPoint pos = static_cast<QWidget*>(watched)->mapTo(this, me->position().toPoint());
    switch (event->type()) {
    case QEvent::MouseButtonPress:
        dragging_ = false;
        dragFrom_ = DragFrom::None;
        if (me->button() == Qt::LeftButton &&
            (from == DragFrom::Tree || !(me->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier)))) {
            dragFrom_ = from;
            dragStart_ = pos;
        }
        return false;
    case QEvent::MouseMove:
        if (dragFrom_ != from || !(me->buttons() & Qt::LeftButton)) return false;
        if (!dragging_ && (pos - dragStart_).manhattanLength() >= QApplication::startDragDistance()) {
            dragging_ = true;
            QApplication::setOverrideCursor(Qt::DragMoveCursor);
        }
        return true;   // no drag-selection while the button is held
    case QEvent::MouseButtonRelease: {
        if (dragFrom_ != from) return false;
        const bool wasDragging = dragging_;
        dragFrom_ = DragFrom::None;
        dragging_ = false;
        if (!wasDragging) return false;
        QApplication::restoreOverrideCursor();
        if (from == DragFrom::Tree && lbSelected->geometry().contains(pos)) AddDataSet(SelectedNode());
        else if (from == DragFrom::List && Outline1->geometry().contains(pos)) DeleteDataSets();
        return false;   // the view still ends its press (released away from the item: no click)
    }
    default:
        return false;
    }
}

bool TDatasetListfrm::eventFilter(QObject* watched, QEvent* event)
{
    switch (event->type()) {
    case QEvent::KeyPress:
        if (KeyPress(watched, static_cast<QKeyEvent*>(event)->key())) return true;
        break;
    case QEvent::FocusIn:
        if (watched == lbSelected) {
            model_.AddEnabled = false;
            SyncButtons();
        } else if (watched == Outline1) {
            CheckBtns();
        }
        break;
    case QEvent::MouseButtonPress:
    case QEvent::MouseMove:
    case QEvent::MouseButtonRelease:
        if (watched == Slider) return SliderEvent(event);
        if (watched == Outline1->viewport() || watched == lbSelected->viewport()) {
            const bool release = event->type() == QEvent::MouseButtonRelease;
            const bool wasDrag = release && dragFrom_ != DragFrom::None && dragging_;
            if (DragEvent(watched, event)) return true;
            if (release && !wasDrag && watched == lbSelected->viewport()) {
                // A click in the list: the press has already set its current line.
                model_.RemoveEnabled = lbSelected->currentRow() >= 0;
                SyncButtons();
            }
        }
        break;
    default:
        break;
    }
    return QDialog::eventFilter(watched, event);
}

} // namespace corvane
