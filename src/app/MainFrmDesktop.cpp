// The main window's part in the desktop: the maps opened last in the File menu,
// map files dropped on the windows, and the tool bar following a change of the desktop's theme.
#include "app/MainFrm.h"

#include "platform/DataPath.h"
#include "platform/MessageSink.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QMenu>
#include <QMimeData>
#include <QUrl>

namespace corvane {

namespace {

// The first local map definition file among the files of a drag.
std::string DroppedMapFile(const QMimeData* data)
{
    if (!data || !data->hasUrls()) return {};
    for (const QUrl& url : data->urls()) {
        if (!url.isLocalFile()) continue;
        const std::string path = url.toLocalFile().toStdString();
        if (IsMapDefinitionFile(path)) return path;
    }
    return {};
}

} // namespace

void TMainFrm::LoadRecentFiles()
{
    if (services_.settings) recent_.Load(*services_.settings);
    RebuildRecentFiles();
}

void TMainFrm::RememberMapFile(const std::string& path)
{
    // Only a file the map window could load is worth offering again.
    if (!MapFrm || MapFrm->MapFileName() != path) return;
    recent_.Add(path);
    if (services_.settings) recent_.Save(*services_.settings);
    RebuildRecentFiles();
}

void TMainFrm::RebuildRecentFiles()
{
    // Between the menu's own items and "E&xit", after their separator and before one of
    // their own: Exit stays the foot of the menu, where the hand looks for it.
    if (recentSeparator_) recentItems_.append(recentSeparator_);
    for (QAction* a : recentItems_) {
        File1->removeAction(a);
        a->deleteLater();
    }
    recentItems_.clear();
    recentSeparator_ = nullptr;
    const std::vector<std::string>& files = recent_.Files();
    if (files.empty()) return;
    for (size_t i = 0; i < files.size(); ++i) {
        auto* a = new QAction(QString::fromStdString(RecentFileCaption(i, files[i])), File1);
        a->setObjectName(QString("RecentFile%1").arg(i + 1));
        a->setToolTip(QString::fromStdString(files[i]));
        const int index = static_cast<int>(i);
        connect(a, &QAction::triggered, this, [this, index] { OpenRecentFile(index); });
        File1->insertAction(Exit1, a);
        recentItems_ << a;
    }
    recentSeparator_ = File1->insertSeparator(Exit1);
}

void TMainFrm::MapWindowClosed(const std::string& path)
{
    lastMap_ = path;
    File1Popup();   // the File items, and so their keys, follow the map window
}

void TMainFrm::OpenRecentFile(int index)
{
    const std::vector<std::string>& files = recent_.Files();
    if (index < 0 || static_cast<size_t>(index) >= files.size()) return;
    const std::string path = files[static_cast<size_t>(index)];
    if (!QFileInfo(QString::fromStdString(path)).isFile()) {
        recent_.Remove(path);
        if (services_.settings) recent_.Save(*services_.settings);
        RebuildRecentFiles();
        if (services_.sink)
            services_.sink->Info("The map definition file " + path + " no longer exists; it is taken off the list.");
        return;
    }
    OpenMapFile(path);
}

bool TMainFrm::HandleMapDrop(QEvent* event)
{
    if (event->type() == QEvent::DragEnter || event->type() == QEvent::DragMove) {
        auto* drag = static_cast<QDragMoveEvent*>(event);
        if (DroppedMapFile(drag->mimeData()).empty()) return false;
        drag->acceptProposedAction();
        return true;
    }
    if (event->type() == QEvent::Drop) {
        auto* drop = static_cast<QDropEvent*>(event);
        const std::string path = DroppedMapFile(drop->mimeData());
        if (path.empty()) return false;
        drop->acceptProposedAction();
        // Opened once the drag has finished: opening closes the window it was dropped on.
        QMetaObject::invokeMethod(this, [this, path] { OpenMapFile(path); }, Qt::QueuedConnection);
        return true;
    }
    return false;
}

void TMainFrm::dragEnterEvent(QDragEnterEvent* event)
{
    if (!HandleMapDrop(event)) QMainWindow::dragEnterEvent(event);
}

void TMainFrm::dropEvent(QDropEvent* event)
{
    if (!HandleMapDrop(event)) QMainWindow::dropEvent(event);
}

void TMainFrm::changeEvent(QEvent* event)
{
    QMainWindow::changeEvent(event);
    // The tool bar's system colour (the button face by default) follows the new theme.
    if (event->type() == QEvent::PaletteChange && ToolBar) SetToolBarColour(toolBarColour_);
}

} // namespace corvane
