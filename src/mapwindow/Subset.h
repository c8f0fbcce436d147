#pragma once
// The data subset dialog: the key of one data set, one row for every text line of every item,
// in five columns — "Status" (active or inactive), "Key" (hidden or visible in the map key),
// the item's symbol as the overlay draws it ("Overlay Map") and as a base map draws it ("Base
// Map"), and its "Definition Text". A click on a status or key row switches it; a left click
// on a symbol recolours the item, a right click restyles it through the style pickers; clicks
// on the panel at the bottom recolour the dialog (left) and its texts (right). The rows and
// working copies are SubsetModel's; the key changes only when the caller applies them after OK.
#include "display/SubsetModel.h"
#include "platform/Colour.h"

#include <QDialog>

#include <functional>
#include <string>
#include <vector>

class QHeaderView;
class QPushButton;
class QScrollArea;
class QStandardItemModel;

namespace corvane {

class DialogService;
class MessageSink;
class PickerImage;
struct KeyStruct;

// The dialog's colours, kept from one dialog to the next for the life of the program: the
// dialog and symbol columns, the texts of the three text columns, and the dialog colour when
// the dialog opened (put back by Cancel).
extern Colour SubsetForm_Colour;
extern Colour SubSetMemoFont_Colour;
extern Colour OldColour;

// A column of rows of text at a fixed row height (or a plain area, without rows), filled with
// its colour, that reports presses and releases.
class SubsetPane : public QWidget {
public:
    explicit SubsetPane(QWidget* parent, bool centred = true);
    // lineDraw: the rows' bytes are DOS code page 437 (box-drawing characters).
    void SetRows(std::vector<std::string> rows, int rowHeight, bool lineDraw = false);
    const std::vector<std::string>& Rows() const { return rows_; }
    void SetColours(Colour background, Colour text);
    std::function<void(Qt::MouseButton, const QPoint&)> Pressed, Released;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    std::vector<std::string> rows_;
    int rowHeight_ = 16;
    bool centred_ = true;
    bool lineDraw_ = false;
    Colour background_ = 0xFFFFFF, text_ = 0;
};

class TSubset : public QDialog {
    Q_OBJECT
public:
    // mapBackground: the map's background, behind the fill picker's pattern samples.
    TSubset(QWidget* parent, DialogService* dialogs, MessageSink& messages, Colour mapBackground);
    ~TSubset() override;

    // Fills the dialog from key, which it edits on the caller's behalf (not owned).
    void Initialise(KeyStruct& key);
    // Sizes the dialog and draws the symbol columns.
    void FormShow();

    SubsetModel& Model() { return model_; }
    int RowHeight() const { return lh_; }

    // ---- controls, named as the program names them ------------------------------------------
    QHeaderView* Header1 = nullptr;
    SubsetPane *StatusMemo = nullptr, *KeyMemo = nullptr, *DefTextMemo = nullptr, *Panel1 = nullptr;
    PickerImage *ForegroundImage = nullptr, *BackgroundImage = nullptr;
    QPushButton *OKBtn = nullptr, *CancelBtn = nullptr, *HelpBtn = nullptr;
    KeyStruct* Key = nullptr;
    int32_t MouseX = 0, MouseY = 0;

    // ---- handlers, at the last press position (MouseX, MouseY) -------------------------------
    void StatusMemoClick();
    void KeyMemoClick();
    // A left click (colour) or right click (style) in the "Overlay Map" (top) or "Base Map"
    // column.
    void SymbolColourClick(bool top);
    void SymbolStyleClick(bool top);
    // A click on the panel: the dialog colour (left) or the text colour (right).
    void Panel1Click(bool right);

protected:
    void showEvent(QShowEvent* event) override;

private:
    void FormResize();
    void DrawSymbols();
    void ShowRows();
    // The item whose first row is under the last press, framed while it is edited; null when
    // the row is no item's first row.
    SubsetItemRef ItemAtMouse() const;
    void FrameRow(PickerImage* image, int bPos, Colour colour);
    bool ChooseColour(Colour initial, Colour& chosen);
    // A right click: press and release of the right button within 5 pixels both ways.
    bool RightClick(const QPoint& release) const;

    DialogService* dialogs_;
    MessageSink& messages_;
    Colour mapBackground_;
    SubsetModel model_;
    QStandardItemModel* headerModel_ = nullptr;
    QScrollArea* rowsArea_ = nullptr;
    QWidget* rows_ = nullptr;
    int lh_ = 16;
};

} // namespace corvane
