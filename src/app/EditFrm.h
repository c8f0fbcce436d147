#pragma once
// The text viewer: an information page of the atlas with its mark-up (EditFrm, Tag 20), or
// the table of the sources of the map's themes (SourceEdit, Tag 21). The text is editable and
// can be saved (the previous file kept as ".BAK"), printed inside the page margins and copied.
// The page itself is read and marked up by text/TextPage; this window only shows it.
#include "app/MapWindowApi.h"
#include "text/TextPage.h"

#include <QPointer>
#include <QWidget>

#include <string>
#include <vector>

class QTextEdit;

namespace corvane {

class DocumentSaver;
class TMainFrm;
struct TextViewerBounds;
struct TextViewerMetrics;

class TEditFrm : public QWidget, public TextWindowApi {
    Q_OBJECT
public:
    // Created hidden, without an owner window; shown by ReadFile or DSSource.
    explicit TEditFrm(TMainFrm& owner);
    ~TEditFrm() override;

    QTextEdit* DisplayMemo = nullptr;
    std::string Filename;   // the page shown (empty for the source table)
    int Tag = kTagEditFrm;

    // Shows the information page TxtFilename (a data path, "CDROM:" already applied), takes
    // the caption from its first line with text and stands centred below the main window.
    // A file that cannot be read: "Cannot open file " and its name, and the window goes
    // (false).
    bool ReadFile(const std::string& TxtFilename);
    // Shows the source table (the lines of DSSourceLines).
    void DSSource(const std::vector<std::string>& lines);

    // The text as it would be saved: one line of bytes per paragraph, bold between tildes.
    std::vector<std::string> PageLines() const;

    // ---- TextWindowApi (the main window's File commands) ------------------------------------
    void CloseWindow() override;   // miClose
    void Save() override;          // miSave
    void SaveAs() override;        // miSaveAs
    void Print() override;         // miPrint
    void PrintSetup() override;    // miPrintSetup
    void CopyToClipboard() override;
    void SelectAll();

protected:
    bool event(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void FormActivate();
    void ShowPage(const std::vector<TextPageLine>& lines);
    // The editing rectangle: the text inset by 10 pixels left and right, 2 top and bottom.
    void SetEditingRect();
    TextViewerMetrics Metrics() const;
    // Places, shows and activates the window; the main window's Tag follows.
    void ShowAt(const TextViewerBounds& bounds);
    int WidestLine() const;
    // Leaves the main window and the globals as they are without this window.
    void Detach();
    DocumentSaver Saver();

    TMainFrm& owner_;
    QPointer<TMainFrm> ownerAlive_;
    bool detached_ = false;
};

// Makes the main window's ShowEdit and ShowSource open text viewers.
void InstallTextViewerFactories();

} // namespace corvane
