#pragma once
// The help viewer: a window on the help pages bundled with the program. Topics and help
// contexts map to pages.
#include <QString>
#include <QTextBrowser>

namespace corvane {

// The page (with an anchor) of a help topic name ("iWelcome") or help context number; an
// empty string for one the help does not know.
QString HelpPageForTopic(const QString& topic);
QString HelpPageForContext(int context);
constexpr const char* kHelpContentsPage = "qrc:/help/contents.html";

class HelpWindow : public QTextBrowser {
    Q_OBJECT
public:
    // The one help window, created on first use.
    static HelpWindow& Instance();

    // Each shows the help window on a page; false when the page cannot be found.
    bool ShowTopic(const QString& topic);
    bool ShowContext(int context);
    bool ShowContents();

private:
    HelpWindow();
    bool ShowPage(const QString& page);
};

} // namespace corvane
