#pragma once
// The query results window: the record of one item found by a query click, laid out by the
// theme's query line definitions as coloured text on a black page (query/QueryReport.h),
// with buttons to close, print, copy (as text or as a picture) and save it (as ".TXT" or
// ".BMP"). Shown modally by the map window; one at a time (QueryForm).
#include "mapdef/ScreenMetrics.h"
#include "query/QueryReport.h"

#include <QDialog>
#include <QImage>

#include <memory>
#include <string>
#include <vector>

class QAction;
class QMenu;
class QPushButton;
class QScrollArea;

namespace corvane {

class ByteSource;
class DialogService;
class MessageSink;
class QtCanvas;

class TQueryForm : public QDialog {
    Q_OBJECT
public:
    // dialogs may be null: then every standard dialog counts as one that cannot be shown.
    TQueryForm(QWidget* owner, MessageSink& messages, DialogService* dialogs);
    ~TQueryForm() override;

    // The theme's line definitions (not owned), set before Initialise.
    const Sym_Text_Control_Block* Sym_Text = nullptr;
    // The usable area of the screen the window is fitted into (the map definition's).
    ScreenRect UsableArea;
    // Headings too light for white paper are printed darkened (the settings' "Print"/"Readable
    // Headings"); the screen keeps their colours.
    bool ReadableHeadings = true;

    // Stores the kind and offset, sizes the window, opens the file and lays the record out
    // on the screen. False when the file cannot be opened or the record lies outside it (the
    // reason was shown): there is nothing to show.
    bool Initialise(int32_t DataType, int32_t OffsetPointer, const std::string& FileName);

    // Each output runs StartUp first, so that it starts from the record's beginning.
    bool StartUp();
    int32_t Display(Output output);

    // Buttons and menu items.
    void CopyToClipBoard();             // "Copy as &Text"
    void GraphicstoClipboard1Click();   // "Copy as &Graphics"
    void CopyBtnClick();
    void SaveBtnClick();
    void PrintBtnClick();

    // The report as the text outputs give it.
    std::vector<std::string> ReportLines();
    // The rendered report and the line pitch of the last output.
    const QImage& Picture() const { return image_; }
    uint16_t ItemHeight() const { return report_ ? report_->ItemHeight : 0; }
    bool ScrollBarShown() const;

    int32_t PrivateDataType = 0;
    int32_t PrivateOffsetPointer = 0;

    // Components.
    QScrollArea* Scroller = nullptr;
    QWidget* QueryImage = nullptr;
    QWidget* Panel1 = nullptr;
    QPushButton *CloseBtn = nullptr, *SaveBtn = nullptr, *PrintBtn = nullptr, *CopyBtn = nullptr;
    QMenu* PopupMenu1 = nullptr;
    QAction *TexttoClipboard1 = nullptr, *GraphicstoClipboard1 = nullptr;

    static constexpr int kDesignHeight = 4500;   // QueryImage's height before the report is fitted
    static constexpr int kPanelHeight = 70;

protected:
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void SetPageFont(Canvas& canvas) const;
    // Sizes the picture, the strip below it and the scroll bar (client width w).
    void LayOutSheet(int clientWidth, int bitmapHeight, bool scrollBar, int scrollRange);
    void PlaceButtons(int clientWidth);
    bool SaveBitmap(const std::string& path);

    MessageSink& messages_;
    DialogService* dialogs_;
    std::string fileName_;
    std::unique_ptr<ByteSource> Secondary_File;
    std::unique_ptr<QueryReport> report_;
    QImage image_;
    std::unique_ptr<QtCanvas> canvas_;
    int clientWidth_ = 0;
};

// The query results window while one is open.
extern TQueryForm* QueryForm;

} // namespace corvane
