#pragma once
// The help window: the manual's pages bundled with the program, with its contents, an index and
// a search field beside the page. Menus, dialogs and map modes ask for a help context number
// (help/HelpPages.h); the file help/contexts.txt among the pages says which page and anchor each
// number opens. F1 anywhere in the program opens the page of what is in front.
#include <QString>
#include <QUrl>
#include <QWidget>

#include <map>
#include <string>

class QLineEdit;
class QListWidget;
class QTabWidget;
class QTextBrowser;
class QToolButton;
class QTreeWidget;

namespace corvane {

// The page (with an anchor) of a help topic name ("iWelcome") or help context number; an
// empty string for one the help does not know.
QString HelpPageForTopic(const QString& topic);
QString HelpPageForContext(int context);
constexpr const char* kHelpContentsPage = "qrc:/help/contents.html";

// True when the page of a "qrc:/help/..." address exists and has the anchor it names.
bool HelpPageExists(const QString& page);

// A window whose help context depends on what it is doing (the map window's modes) answers
// through this; others carry a fixed number in their property "helpContext".
class HelpContextSource {
public:
    virtual ~HelpContextSource() = default;
    virtual int HelpContext() const = 0;
};

// The help context for F1 pressed in o: in a menu, its highlighted item's (else the menu's);
// elsewhere the first that o or one of its parents gives. 0 when none does.
int HelpContextOf(const QObject* o);

// F1 anywhere in the program opens the help of what has the keyboard (installed once).
void InstallHelpKey();

class HelpWindow : public QWidget {
    Q_OBJECT
public:
    // The one help window, created on first use.
    static HelpWindow& Instance();

    // Each shows the help window on a page; false when the page cannot be found.
    bool ShowTopic(const QString& topic);
    bool ShowContext(int context);
    bool ShowContents();

    // The page shown, with its anchor, and its text.
    QUrl Source() const;
    QString toPlainText() const;

    // The parts of the window.
    QTextBrowser* Browser = nullptr;
    QTabWidget* Tabs = nullptr;
    QTreeWidget* ContentsTree = nullptr;
    QLineEdit* IndexField = nullptr;
    QListWidget* IndexList = nullptr;
    QLineEdit* SearchField = nullptr;
    QListWidget* SearchResults = nullptr;
    QToolButton *BackBtn = nullptr, *ForwardBtn = nullptr, *ContentsBtn = nullptr;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    HelpWindow();
    bool ShowPage(const QString& page);
    // While a modal dialog is up the window belongs to it, so that the dialog does not block
    // it; when the dialog goes, the window stands on its own again.
    void FollowModalDialog();
    void FillContents();
    void FillIndex();
    void FilterIndex(const QString& text);
    void Search(const QString& text);
};

} // namespace corvane
