#include "app/HelpWindow.h"

#include "app/AppPictures.h"

#include <QFile>
#include <QMap>
#include <QUrl>

static void InitHelpResources() { Q_INIT_RESOURCE(help); }

namespace corvane {

QString HelpPageForTopic(const QString& topic)
{
    static const QMap<QString, QString> topics = {
        {"iWelcome", "qrc:/help/welcome.html"},
        {"iContents", kHelpContentsPage},
    };
    return topics.value(topic);
}

QString HelpPageForContext(int context)
{
    static const QMap<int, QString> contexts = {
        {1, "qrc:/help/welcome.html"},
        {1000, "qrc:/help/file.html"},
        {1001, "qrc:/help/file.html#new"},
        {1002, "qrc:/help/file.html#open"},
        {1004, "qrc:/help/file.html#save"},
        {1005, "qrc:/help/file.html#saveas"},
        {1006, "qrc:/help/file.html#pagesetup"},
        {1007, "qrc:/help/file.html#print"},
        {1008, "qrc:/help/file.html#printsetup"},
        {1009, "qrc:/help/file.html#clipboard"},
        {1010, "qrc:/help/file.html#exit"},
        {3001, "qrc:/help/textviewer.html"},
        {8000, "qrc:/help/window.html"},
    };
    return contexts.value(context);
}

HelpWindow& HelpWindow::Instance()
{
    static HelpWindow* window = nullptr;
    if (!window) {
        InitHelpResources();
        window = new HelpWindow;
    }
    return *window;
}

HelpWindow::HelpWindow()
{
    setObjectName("HelpWindow");
    setWindowTitle("Corvane Help");
    setWindowIcon(ProgramIcon());
    setOpenExternalLinks(true);
    setAttribute(Qt::WA_QuitOnClose, false);
    resize(560, 520);
}

bool HelpWindow::ShowPage(const QString& page)
{
    if (page.isEmpty()) return false;
    QUrl url(page);
    if (!QFile::exists(":" + url.path())) return false;
    setSource(url);
    show();
    raise();
    activateWindow();
    return true;
}

bool HelpWindow::ShowTopic(const QString& topic) { return ShowPage(HelpPageForTopic(topic)); }

bool HelpWindow::ShowContext(int context)
{
    QString page = HelpPageForContext(context);
    return ShowPage(page.isEmpty() ? QString(kHelpContentsPage) : page);
}

bool HelpWindow::ShowContents() { return ShowPage(kHelpContentsPage); }

} // namespace corvane
