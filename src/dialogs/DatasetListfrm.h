#pragma once
// The data set list window ("Dataset List"): the data list as a tree, the chosen themes in a
// list below it, a splitter between them and the buttons "&Add", "&Remove", "&Ok" and
// "&Cancel". The user adds themes from the tree and removes chosen ones by button,
// double-click, the Insert and Delete keys or by dragging between tree and list. The rules
// live in DatasetListModel; this form turns events into its calls and shows the result.
//
// Use: create it with the titles of the map's base, overlay and text themes, exec() it; after
// QDialog::Accepted read BMList(), OMList() and TextList(); then call FreeDataPtr() and
// delete the window.
#include "catalogue/DatasetList.h"
#include "dialogs/DatasetListLayout.h"

#include <QDialog>
#include <QPoint>

#include <string>
#include <vector>

class QFrame;
class QListWidget;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;

namespace corvane {

class MessageSink;

// Where the window opens: its top is the main window's bottom edge (main window top +
// height), its bottom the bottom of the desktop work area.
struct DatasetListPlacement {
    int MainBottom = 0;
    int WorkAreaBottom = DatasetListGeometry::Height;
    int Left = 0;
};

class TDatasetListfrm : public QDialog {
    Q_OBJECT
public:
    TDatasetListfrm(QWidget* owner, const std::vector<std::string>& baseTitles,
                    const std::vector<std::string>& overlayTitles, const std::vector<std::string>& textTitles,
                    const DatasetListPlacement& placement, MessageSink& sink);
    ~TDatasetListfrm() override;

    std::vector<MASInfoList>& BMList() { return model_.BMList; }
    std::vector<MASInfoList>& OMList() { return model_.OMList; }
    std::vector<MASInfoList>& TextList() { return model_.TextList; }
    DatasetListModel& Model() { return model_; }
    void FreeDataPtr();

    // The handlers (public so that the map window and the tests can reach them).
    void AddDataSet(int node);
    void DeleteDataSets();
    void CheckBtns();
    void Outline1Click();
    void Outline1DblClick(QTreeWidgetItem* item);
    int SelectedNode() const;           // the tree's selected node, -1 for none
    QTreeWidgetItem* ItemOfNode(int node) const;

    QTreeWidget* Outline1 = nullptr;
    QFrame* Slider = nullptr;
    QListWidget* lbSelected = nullptr;
    QPushButton* AddBtn = nullptr;
    QPushButton* RemoveBtn = nullptr;
    QPushButton* HelpBtn = nullptr;
    QPushButton* OkBtn = nullptr;
    QPushButton* CancelBtn = nullptr;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool event(QEvent* event) override;

private:
    enum class DragFrom { None, Tree, List };
    void FillTree();
    void SyncChosen();
    void SyncButtons();
    void ApplyGeometry(const DatasetListGeometry& g);
    bool KeyPress(QObject* watched, int key);
    bool DragEvent(QObject* watched, QEvent* event);
    bool SliderEvent(QEvent* event);

    DatasetListModel model_;
    std::vector<QTreeWidgetItem*> items_;   // the tree item of each node
    QPoint SliderPt;                        // where the last splitter step started (screen)
    bool resizeSuspended_ = false;
    DragFrom dragFrom_ = DragFrom::None;
    QPoint dragStart_;
    bool dragging_ = false;
};

} // namespace corvane
