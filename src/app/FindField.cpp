#include "app/FindField.h"

#include "gazetteer/NameCache.h"
#include "gazetteer/NameFold.h"
#include "platform/qt/QtCanvas.h"

#include <QAbstractItemView>
#include <QCompleter>
#include <QFocusEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QStandardItemModel>
#include <QTimer>
#include <QTreeView>

#include <algorithm>

namespace corvane {

namespace {

constexpr int kPollMs = 150;
constexpr int kEditWidth = 300, kListWidth = 640;

QString Number(size_t n) { return QString::number(static_cast<qulonglong>(n)); }

} // namespace

namespace {

std::shared_ptr<NameIndexJob>& SharedJob()
{
    static std::shared_ptr<NameIndexJob> job;
    return job;
}

} // namespace

void ReleasePlaceIndexJob() { SharedJob().reset(); }

std::shared_ptr<NameIndexJob> PlaceIndexJob()
{
    std::shared_ptr<NameIndexJob>& job = SharedJob();
    const NameSources now = CurrentNameSources();
    if (!job || job->Medium().dataList != now.dataList || job->Medium().cdrom != now.cdrom)
        job = std::make_shared<NameIndexJob>(now, NameCachePath(now));
    return job;
}

FindField::FindField(QWidget* parent) : QWidget(parent)
{
    setObjectName("FindField");
    Edit = new QLineEdit(this);
    Edit->setObjectName("FindEdit");
    Edit->setPlaceholderText("Find a place");
    Edit->setToolTip("Find a place by its name (Ctrl+F)");
    Status = new QLabel(this);
    Status->setObjectName("FindStatus");
    // The field, and the line beside it (the list of matches opens under the field).
    Edit->setFixedWidth(kEditWidth);
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(8);
    layout->addWidget(Edit);
    layout->addWidget(Status, 1);

    // The matches: name, what it is, where.
    model_ = new QStandardItemModel(0, 3, this);
    auto* view = new QTreeView;
    view->setObjectName("FindMatches");
    view->setHeaderHidden(true);
    view->setRootIsDecorated(false);
    view->setUniformRowHeights(true);
    view->setSelectionBehavior(QAbstractItemView::SelectRows);
    view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    view->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    Matches = new QCompleter(model_, this);
    Matches->setCompletionMode(QCompleter::UnfilteredPopupCompletion);
    Matches->setMaxVisibleItems(12);
    Matches->setPopup(view);
    Matches->setWidget(Edit);
    // The name and the place as wide as they need, what it is in the rest.
    view->header()->setStretchLastSection(false);
    view->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    view->header()->setSectionResizeMode(1, QHeaderView::Stretch);

    poll_ = new QTimer(this);
    poll_->setInterval(kPollMs);
    connect(poll_, &QTimer::timeout, this, &FindField::Poll);
    connect(Edit, &QLineEdit::textEdited, this, &FindField::Typed);
    // Enter chooses the first place, unless the list took it to choose its current one (the
    // list passes the key on to the field once it has chosen).
    connect(Edit, &QLineEdit::returnPressed, this, [this] {
        if (!choosing_ && !shown_.empty()) Choose(0);
    });
    connect(Matches, QOverload<const QModelIndex&>::of(&QCompleter::activated), this,
            [this](const QModelIndex& i) { Choose(i.sibling(i.row(), 0).data(Qt::UserRole).toInt()); });
    Edit->installEventFilter(this);
}

FindField::~FindField() = default;

bool FindField::eventFilter(QObject* watched, QEvent* event)
{
    // The index is read on first use: the field taken by the user, not the window activated.
    if (watched == Edit && event->type() == QEvent::FocusIn) {
        const Qt::FocusReason why = static_cast<QFocusEvent*>(event)->reason();
        if (why == Qt::MouseFocusReason || why == Qt::TabFocusReason || why == Qt::BacktabFocusReason ||
            why == Qt::ShortcutFocusReason)
            StartIndex();
    }
    return QWidget::eventFilter(watched, event);
}

void FindField::StartIndex()
{
    if (job_ && job_ == PlaceIndexJob()) return;
    job_ = PlaceIndexJob();
    generation_ = 0;
    Poll();
    poll_->start();
}

NameIndexProgress FindField::Progress() const { return job_ ? job_->Progress() : NameIndexProgress{}; }

bool FindField::ListComplete() const { return job_ && job_->Progress().done && generation_ == job_->Generation(); }

void FindField::Typed()
{
    StartIndex();
    ShowMatches();
}

void FindField::ShowMatches()
{
    std::vector<Place> found;
    const std::shared_ptr<const NameIndex> index = job_ ? job_->Snapshot() : nullptr;
    if (index)
        for (const NameIndex::Hit& h : index->Search(Edit->text().toStdString(), kMostShown))
            found.push_back(index->At(h.index));
    QAbstractItemView* view = Matches->popup();
    // Nothing found for a text that is searched: the line beside the field says so.
    const bool unmatched = found.empty() && FoldQuery(Edit->text().toStdString()).size() >= 2;
    if (unmatched || unmatched != unmatched_) {
        unmatched_ = unmatched;
        ShowStatus();
    }
    if (found.empty()) {
        shown_.clear();
        model_->setRowCount(0);
        view->hide();
        return;
    }
    // The rows are written over in place, so that a list open while the index grows does not
    // close and open again.
    const auto same = [](const Place& a, const Place& b) {
        return a.name == b.name && a.theme == b.theme && a.lon == b.lon && a.lat == b.lat;
    };
    const bool unchanged = found.size() == shown_.size() && std::equal(found.begin(), found.end(), shown_.begin(), same);
    shown_ = std::move(found);
    if (unchanged && view->isVisible()) return;
    model_->setRowCount(static_cast<int>(shown_.size()));
    for (size_t i = 0; i < shown_.size(); ++i) {
        const Place& p = shown_[i];
        const int row = static_cast<int>(i);
        const bool kind = !p.kind.empty() && p.kind != p.theme;
        model_->setData(model_->index(row, 0), BytesToQString(p.name));
        model_->setData(model_->index(row, 0), row, Qt::UserRole);
        model_->setData(model_->index(row, 1), BytesToQString(kind ? p.theme + ", " + p.kind : p.theme));
        model_->setData(model_->index(row, 2), BytesToQString(DegreesMinutes(p.lat, p.lon)));
    }
    QRect r = Edit->rect();
    r.setWidth(std::max(r.width(), kListWidth));
    // At least three rows high, and reaching below the window the field stands in: a list
    // that lay wholly over the main window's strip was left unpainted by an X server without
    // a compositor.
    const int row = view->sizeHintForRow(0);
    const int below = window()->frameGeometry().bottom() - Edit->mapToGlobal(QPoint(0, Edit->height())).y();
    view->setMinimumHeight(std::max(row * 3, below + row) + 2 * view->frameWidth());
    Matches->complete(r);
}

void FindField::Poll()
{
    if (!job_) return;
    ShowStatus();
    // A new part of the index: the list is made again for what is typed.
    const uint64_t generation = job_->Generation();
    if (generation != generation_) {
        generation_ = generation;
        if (FoldQuery(Edit->text().toStdString()).size() >= 2) ShowMatches();
    }
    if (job_->Progress().done && generation_ == job_->Generation()) poll_->stop();
}

void FindField::ShowStatus()
{
    if (!job_) return;
    const NameIndexProgress p = job_->Progress();
    const std::vector<std::string> problems = job_->Problems();
    QString line;
    if (!p.done)
        line = QString("Reading the names: %1 of %2 files, %3 names")
                   .arg(p.filesDone)
                   .arg(std::max(p.filesTotal, p.filesDone))
                   .arg(Number(p.names));
    else if (unmatched_)
        line = "No place of the atlas is named " + Edit->text().trimmed() + ".";
    else if (problems.empty())
        line = Number(p.names) + " names";
    if (!problems.empty()) {
        const QString first = BytesToQString(problems.front());
        line += (line.isEmpty() ? "" : "; ") + first;
        if (problems.size() > 1) line += QString(" (and %1 more)").arg(problems.size() - 1);
        QStringList all;
        for (const std::string& s : problems) all << BytesToQString(s);
        Status->setToolTip(all.join("\n"));
    }
    Status->setText(line);
}

void FindField::Choose(int row)
{
    if (choosing_ || row < 0 || static_cast<size_t>(row) >= shown_.size()) return;
    const Place place = shown_[static_cast<size_t>(row)];
    Matches->popup()->hide();
    Edit->setText(BytesToQString(place.name));
    // Once the list is closed and its key or click handled: showing the place may open
    // modal windows.
    choosing_ = true;
    QMetaObject::invokeMethod(
        this,
        [this, place] {
            choosing_ = false;
            emit PlaceChosen(place);
        },
        Qt::QueuedConnection);
}

} // namespace corvane
