#pragma once
// The three style pickers: modal palettes of samples drawn with the map's own SelectBrush and
// PlotSymbol, so that a sample and the map agree. A click selects a sample, a double click
// selects it and closes the dialog with OK.
//
// Use: create, put the current style into the selection field (lines: ASetSelected with a pen
// style), Execute(); when it returns true read the selection field back.
#include "platform/Colour.h"

#include <QDialog>
#include <QImage>
#include <QWidget>

#include <cstdint>
#include <functional>

class QGroupBox;
class QPushButton;

namespace corvane {

// A picture that shows its image and a frame over it (kept through repaints) and reports the
// mouse: presses and releases of any button, left clicks (press and release inside) and
// double clicks.
class PickerImage : public QWidget {
public:
    PickerImage(QWidget* parent, const QSize& size, Colour fill);
    // A new picture of size filled with fill, and the widget sized to it.
    void Reset(const QSize& size, Colour fill);
    QImage& Picture() { return image_; }
    const QImage& Picture() const { return image_; }
    // The frame drawn over the picture; an empty rectangle for none.
    void SetFrame(const QRect& r, Colour colour, Qt::PenStyle style);
    QRect Frame() const { return frame_; }

    std::function<void(Qt::MouseButton, const QPoint&)> Pressed, Released;
    std::function<void(const QPoint&)> Clicked, DoubleClicked;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    QImage image_;
    QRect frame_;
    Colour frameColour_ = 0;
    Qt::PenStyle frameStyle_ = Qt::SolidLine;
    bool leftDown_ = false;
};

// "&Ok" (the default, accepting the dialog), "&Cancel" (rejecting it) and a help button that is
// never shown, on parent.
void AddDialogButtons(QDialog* dialog, QWidget* parent, QPushButton*& ok, QPushButton*& cancel, QPushButton*& help);

// The face colour of the pickers' dialogs.
Colour PickerFaceColour(const QWidget* w);

// Fill styles: " Standard Brushes " (17..24) above " Corvane Brushes " (the patterns 1..16,
// shown only while the program's own patterns are in use).
class TfrmFillStyle : public QDialog {
    Q_OBJECT
public:
    // mapBackground: the map's background colour, behind the pattern samples.
    TfrmFillStyle(QWidget* parent, Colour mapBackground);
    ~TfrmFillStyle() override;
    bool Execute();

    uint8_t bsSelected = 17;
    // The sample of style 1..24 (null for a pattern while the standard brushes are in use).
    PickerImage* Image(int style) const;
    QGroupBox *StandardGroup = nullptr, *CorvaneGroup = nullptr;
    QPushButton *OKBtn = nullptr, *CancelBtn = nullptr, *HelpBtn = nullptr;

    // Moves the selection to what the brushes in use can show, and frames it.
    void ShowSelected();
    void ImageClick(int style);

protected:
    void showEvent(QShowEvent* event) override;

private:
    PickerImage* images_[25] = {};
    bool patterns_ = false;
};

// Line styles: six samples, pen styles 0 (solid) to 5 (clear).
class TfrmLineStyle : public QDialog {
    Q_OBJECT
public:
    explicit TfrmLineStyle(QWidget* parent);
    bool Execute();

    static constexpr Colour FrameColour = 0x000000, EdgeColour = 0xC0C0C0, LineColour = 0xFF0000;
    uint8_t AbsSelected = 0;
    void ASetSelected(int penStyle);
    PickerImage* Image[6] = {};
    QPushButton *OKBtn = nullptr, *CancelBtn = nullptr, *HelpBtn = nullptr;

protected:
    void paintEvent(QPaintEvent* event) override;
};

// Point symbols: the forty codes of PlotSymbol in one picture, four sizes of a shape to a row.
class TfrmSymbolStyle : public QDialog {
    Q_OBJECT
public:
    explicit TfrmSymbolStyle(QWidget* parent);
    bool Execute();

    uint8_t SymbolNumber = 1;
    int32_t MouseX = 0, MouseY = 0;
    int16_t X1 = 0, X2 = 0, Y1 = 0, Y2 = 0;   // the frame
    PickerImage* SymbolImage = nullptr;
    QPushButton *OKBtn = nullptr, *CancelBtn = nullptr, *HelpBtn = nullptr;

    // A click at the last press position: selects its cell and frames it.
    void SymbolImageClick();

protected:
    void showEvent(QShowEvent* event) override;
};

} // namespace corvane
