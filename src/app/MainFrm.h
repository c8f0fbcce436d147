#pragma once
// The main window: a wide, short strip at the top of the work area holding the menu bar and
// a two-row tool bar. It opens the map window and the text windows and forwards its File
// commands and most tool bar buttons to the active one.
#include "app/MapWindowApi.h"
#include "platform/Colour.h"
#include "platform/RecentFiles.h"
#include "platform/Settings.h"

#include <QList>
#include <QMainWindow>
#include <QPointer>

#include <memory>
#include <optional>
#include <string>
#include <vector>

class QAction;
class QButtonGroup;
class QMenu;
class QToolButton;

namespace corvane {

class CdromMountProvider;
class DialogService;
class FindField;
class MessageSink;
class TCvSplash;

// What the main window works with; tests give scripted dialogs, recorded messages and fake
// mounts.
struct MainFrmServices {
    SettingsStore* settings = nullptr;
    DialogService* dialogs = nullptr;
    MessageSink* sink = nullptr;
    const CdromMountProvider* mounts = nullptr;
    SettingOverrides overrides;
    // Where an installed copy of the sample atlas may be (tried when no medium is named).
    std::vector<std::string> sampleAtlases;
};

// The window's size limits while tracking, as outer sizes: widest = screen width + 2 x the
// sizing frame width, narrowest = half the screen width, height = caption + 2 x sizing frame
// height + menu bar + the tool bar when it is visible.
struct MainWindowLimits {
    int minWidth = 0, maxWidth = 0, height = 0;
};
MainWindowLimits MainWindowSizeLimits(int screenWidth, int frameWidth, int frameHeight, int captionHeight,
                                      int menuHeight, int toolBarHeight, bool toolBarVisible);

// The toolkit colour of a stored colour; values with the top bit set name system colours
// (0x8000000F is the button face).
QColor DisplayColour(Colour c);

class TMainFrm : public QMainWindow {
    Q_OBJECT
public:
    using MapCommand = void (MapWindowApi::*)();
    using TextCommand = void (TextWindowApi::*)();

    explicit TMainFrm(const MainFrmServices& services, QWidget* parent = nullptr);
    ~TMainFrm() override;

    // Which child window is active: kTagMapWindow, kTagEditFrm, kTagSourceEdit or kTagNone.
    int Tag = 0;
    int32_t MouseX = 0, MouseY = 0;   // where the mouse last went down on the tool bar
    std::string MapFilename;          // the map file the next map window opens; empty: new

    // The per-user settings (null when the window runs without a store).
    SettingsStore* Settings() const { return services_.settings; }

    // True when no data list file was found: the program is to end.
    bool TerminateRequested() const { return terminate_; }
    // The splash window to close when the main window is first shown.
    void SetSplash(TCvSplash* splash);

    // Menus and items, named as the program names them.
    QMenu *File1 = nullptr, *Window1 = nullptr, *Help1 = nullptr;
    QAction *New1 = nullptr, *Open1 = nullptr, *Close1 = nullptr, *Save1 = nullptr, *SaveAs1 = nullptr;
    QAction* Export1 = nullptr;   // the map as a picture or a PDF page
    QAction *PageSetup1 = nullptr, *Print1 = nullptr, *PrintSetUp1 = nullptr, *CopyToClipboard1 = nullptr;
    QAction* Exit1 = nullptr;
    QAction *Toolbar1 = nullptr, *UseStandardBrushes1 = nullptr;
    // Whether a start without a map named reopens the map open last (else a new map); kept in
    // the settings.
    QAction* ReopenLastMap1 = nullptr;
    QAction *Welcome1 = nullptr, *Contents1 = nullptr, *About1 = nullptr;
    QWidget* ToolBar = nullptr;
    // "&Edit" stands after "&Window" (group 7), so that the positions by which the map window's
    // menus are counted (Zoom 4, Redraw 5, Query 6) stay as they are; "&Find..." (Ctrl+F, also
    // from the map window) goes to the place search.
    QMenu* Edit1 = nullptr;
    QAction* Find1 = nullptr;
    // The place search in the tool bar.
    FindField* Find = nullptr;
    // Shows a place chosen in the place search on the map window, opening a new map when
    // there is none.
    void ShowPlace(const Place& place);

    QToolButton* Button(const QString& name) const;
    // The standard dialogs the child windows use (null where there are none).
    DialogService* Dialogs() const { return services_.dialogs; }
    // The buttons the map window shows while it is active (those hidden at start).
    QList<QToolButton*> MapButtons() const;
    void SetMapButtonsVisible(bool visible);

    // The tool bar colour as stored in the settings (system colours keep their top bit).
    Colour ToolBarColour() const { return toolBarColour_; }
    void SetToolBarColour(Colour c);

    // Menu merging: while a child window is active its menus take the place of the main
    // window's menus of the same groups (property "groupIndex"); the menu bar is ordered by
    // group. An empty list puts the main window's own menus back.
    void MergeMenus(const QList<QMenu*>& childMenus);
    // The same with the child's menu bar entries: its menus' own actions, and commands
    // without items that stand in the bar as themselves (their group on the action).
    void MergeMenuBar(const QList<QAction*>& childEntries);
    QList<QMenu*> MenuBarMenus() const;
    // The entries of the menu bar in order: positions count as the program counts them.
    QList<QAction*> MenuBarEntries() const;

    // Opens a text file in the text viewer, closing the present one first. The viewer is
    // created through the text viewer factory; without one nothing opens.
    void ShowEdit(const std::string& Filename);
    // Shows the source table of the map in its own viewer (SourceEdit), closing the present
    // one first; lines as DSSourceLines gives them. Without a factory nothing opens.
    void ShowSource(const std::vector<std::string>& lines);

    // The message boxes the child windows use too.
    MessageSink& Messages();

    // Opens a map definition file in a new map window, as File, Open does after its dialog.
    void OpenMapFile(const std::string& path);
    // The map window closed holding the file path (empty: a new map): the map a later start
    // reopens, kept in the settings when the program closes.
    void MapWindowClosed(const std::string& path);

    // Size limits for the present screen, frame and tool bar state, applied to the window.
    void ApplySizeLimits();

    // The maps opened last, newest first, as listed above "E&xit" in the File menu (items
    // "RecentFile1".."RecentFile4").
    const RecentFiles& RecentMaps() const { return recent_; }
    QList<QAction*> RecentFileItems() const { return recentItems_; }
    // Opens the index-th recent map (from 0); a file that is gone is taken off the list with
    // a message.
    void OpenRecentFile(int index);
    // Puts the map window's file at the top of the recent maps (when the window holds it).
    void RememberMapFile(const std::string& path);

public slots:
    void New1Click();
    void Open1Click();
    void Close1Click();
    void Save1Click();
    void SaveAs1Click();
    void Export1Click();
    void PageSetup1Click();
    void Print1Click();
    void PrintSetUp1Click();
    void CopyToClipboard1Click();
    void Exit1Click();
    void Toolbar1Click();
    void UseStandardBrushes1Click();
    void ReopenLastMap1Click();
    void Welcome1Click();
    void Contents1Click();
    void About1Click();
    void Find1Click();
    void File1Popup();
    void Window1Popup();
    void Help1Popup();
    void ToolBarDblClick();

protected:
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;
    // A map definition file dropped on the main window (or on the map window) opens.
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void FormCreate();
    void Initialise_Vars();
    void BuildMenus();
    void BuildToolBar();
    // The usual keys of a desktop program on the File commands, taken in every window of the
    // program, and Alt+letter opening the menus from the windows without a menu bar of their
    // own (MainFrmKeys.cpp).
    void InstallShortcuts();
    bool FormCloseQuery();
    void FormClose();
    void CloseActiveChild();
    bool ActiveChildOpen() const;
    void CreateMapWindow();
    void ForwardToMap(MapCommand command, bool endDistance);
    // The File commands that go to the active child window named by Tag.
    void DispatchByTag(MapCommand mapCommand, bool endDistance, TextCommand textCommand);
    // Recent maps and drops (MainFrmDesktop.cpp).
    void LoadRecentFiles();
    void RebuildRecentFiles();
    bool HandleMapDrop(QEvent* event);

    MainFrmServices services_;
    bool terminate_ = false;
    bool shownOnce_ = false;
    Colour toolBarColour_ = SettingDefaults::ToolBarColour;
    std::string lastOpenChosen_;   // the open dialog's last chosen file
    QPointer<TCvSplash> splash_;
    QList<QMenu*> ownMenus_;
    QList<QAction*> childEntries_;
    std::unique_ptr<MessageSink> noMessages_;   // swallows messages when no sink was given
    RecentFiles recent_;
    std::optional<std::string> lastMap_;   // the map of the map window closed last
    QAction* recentSeparator_ = nullptr;
    QList<QAction*> recentItems_;
    QWidget* findWindow_ = nullptr;   // the place search while the tool bar is hidden
};

extern TMainFrm* MainFrm;

} // namespace corvane
