#include "app/HelpWindow.h"

#include "app/AppPictures.h"
#include "help/HelpPages.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <QSplitter>
#include <QTabWidget>
#include <QTextBrowser>
#include <QToolButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <set>
#include <vector>

static void InitHelpResources() { Q_INIT_RESOURCE(help); }

namespace corvane {

namespace {

constexpr const char* kHelpRoot = "qrc:/help/";

std::string ReadResource(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return {};
    return f.readAll().toStdString();
}

// The manual as the help window reads it: the pages, their anchors and sections, and the help
// contexts, loaded once from the resources.
struct Manual {
    std::map<std::string, std::string> pages;   // file name -> HTML
    std::map<std::string, std::set<std::string>> anchors;
    std::vector<HelpSection> sections;
    HelpContextMap contexts;

    static const Manual& Get()
    {
        static const Manual manual = Load();
        return manual;
    }

private:
    static Manual Load()
    {
        InitHelpResources();
        Manual m;
        for (const QString& name : QDir(":/help").entryList({"*.html"}, QDir::Files, QDir::Name)) {
            const std::string html = ReadResource(":/help/" + name);
            const std::string file = name.toStdString();
            m.pages[file] = html;
            const std::vector<std::string> a = HelpAnchors(html);
            m.anchors[file] = std::set<std::string>(a.begin(), a.end());
            // The contents and the index only lead to the pages: the search leaves them out.
            if (file != "contents.html" && file != "keywords.html")
                for (HelpSection& s : HelpSections(file, html)) m.sections.push_back(std::move(s));
        }
        m.contexts = ParseHelpContexts(ReadResource(":/help/contexts.txt"));
        return m;
    }
};

QString Address(const std::string& target) { return kHelpRoot + QString::fromStdString(target); }

// The "page#anchor" part of a help address, or of a link relative to the pages.
std::string TargetOf(const QUrl& url)
{
    std::string target = url.fileName().toStdString();
    if (url.hasFragment()) target += "#" + url.fragment().toStdString();
    return target;
}

class HelpKeyFilter : public QObject {
protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        // The window system's window sees the key first and hands it to the widget with the
        // keyboard: the key is taken there.
        if (event->type() != QEvent::KeyPress || !watched->isWidgetType()) return false;
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() != Qt::Key_F1 || (key->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier)))
            return false;
        const int context = HelpContextOf(watched);
        // A menu closes, the whole chain of them, before the page opens.
        if (auto* menu = qobject_cast<QMenu*>(watched)) {
            for (QWidget* w = menu; qobject_cast<QMenu*>(w); w = w->parentWidget()) w->close();
        }
        HelpWindow::Instance().ShowContext(context);
        return true;
    }
};

} // namespace

QString HelpPageForTopic(const QString& topic)
{
    static const std::map<QString, QString> topics = {
        {"iWelcome", QString(kHelpRoot) + "welcome.html"},
        {"iContents", kHelpContentsPage},
    };
    auto it = topics.find(topic);
    return it == topics.end() ? QString() : it->second;
}

QString HelpPageForContext(int context)
{
    const auto& targets = Manual::Get().contexts.targets;
    auto it = targets.find(context);
    return it == targets.end() ? QString() : Address(it->second);
}

bool HelpPageExists(const QString& page)
{
    const QUrl url(page);
    if (url.scheme() != "qrc" || !url.path().startsWith("/help/")) return false;
    const HelpTarget target = SplitHelpTarget(TargetOf(url));
    const Manual& m = Manual::Get();
    auto it = m.anchors.find(target.page);
    return it != m.anchors.end() && (target.anchor.empty() || it->second.count(target.anchor) > 0);
}

int HelpContextOf(const QObject* o)
{
    if (auto* menu = qobject_cast<const QMenu*>(o)) {
        if (QAction* a = menu->activeAction(); a && a->property("helpContext").toInt() > 0)
            return a->property("helpContext").toInt();
    }
    // In the menu bar: its highlighted entry, a menu or a command of its own (Redraw, Query).
    if (auto* bar = qobject_cast<const QMenuBar*>(o)) {
        if (QAction* a = bar->activeAction()) {
            int c = a->property("helpContext").toInt();
            if (c <= 0 && a->menu()) c = a->menu()->property("helpContext").toInt();
            if (c > 0) return c;
        }
    }
    for (; o; o = o->parent()) {
        if (auto* source = dynamic_cast<const HelpContextSource*>(o))
            if (int c = source->HelpContext(); c > 0) return c;
        if (int c = o->property("helpContext").toInt(); c > 0) return c;
    }
    return 0;
}

void InstallHelpKey()
{
    static HelpKeyFilter* filter = nullptr;
    if (filter || !qApp) return;
    filter = new HelpKeyFilter;
    filter->setParent(qApp);
    qApp->installEventFilter(filter);
}

// ---- the window ---------------------------------------------------------------------------------

HelpWindow& HelpWindow::Instance()
{
    static QPointer<HelpWindow> window;
    if (!window) {
        InitHelpResources();
        window = new HelpWindow;
    }
    return *window;
}

HelpWindow::HelpWindow() : QWidget(nullptr, Qt::Window)
{
    setObjectName("HelpWindow");
    setWindowTitle("Corvane Help");
    setWindowIcon(ProgramIcon());
    setAttribute(Qt::WA_QuitOnClose, false);
    setProperty("helpContext", kHelpHelpWindow);

    auto tool = [this](const QString& text, const char* name, QStyle::StandardPixmap icon) {
        auto* b = new QToolButton(this);
        b->setText(text);
        b->setObjectName(name);
        b->setIcon(style()->standardIcon(icon));
        b->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
        b->setAutoRaise(true);
        return b;
    };
    BackBtn = tool("&Back", "BackBtn", QStyle::SP_ArrowBack);
    ForwardBtn = tool("&Forward", "ForwardBtn", QStyle::SP_ArrowForward);
    ContentsBtn = tool("&Contents", "ContentsBtn", QStyle::SP_DirHomeIcon);
    BackBtn->setEnabled(false);
    ForwardBtn->setEnabled(false);

    Browser = new QTextBrowser(this);
    Browser->setObjectName("Browser");
    Browser->setOpenExternalLinks(true);
    Browser->setSearchPaths({":/help"});

    Tabs = new QTabWidget(this);
    Tabs->setObjectName("Tabs");
    ContentsTree = new QTreeWidget(Tabs);
    ContentsTree->setObjectName("ContentsTree");
    ContentsTree->setHeaderHidden(true);
    Tabs->addTab(ContentsTree, "C&ontents");

    // The index and the search: a field to type in above a list.
    auto fieldAndList = [this](const char* tab, const char* fieldName, const char* listName, const char* hint,
                               QLineEdit*& field, QListWidget*& list) {
        auto* page = new QWidget(Tabs);
        field = new QLineEdit(page);
        field->setObjectName(fieldName);
        field->setPlaceholderText(hint);
        field->setClearButtonEnabled(true);
        list = new QListWidget(page);
        list->setObjectName(listName);
        list->setWordWrap(true);
        auto* column = new QVBoxLayout(page);
        column->setContentsMargins(4, 4, 4, 4);
        column->addWidget(field);
        column->addWidget(list);
        Tabs->addTab(page, tab);
    };
    fieldAndList("&Index", "IndexField", "IndexList", "Type a word to look for", IndexField, IndexList);
    fieldAndList("&Search", "SearchField", "SearchResults", "Words to find in the manual", SearchField, SearchResults);

    auto* splitter = new QSplitter(this);
    splitter->addWidget(Tabs);
    splitter->addWidget(Browser);
    splitter->setStretchFactor(1, 1);
    splitter->setSizes({230, 570});

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(BackBtn);
    buttons->addWidget(ForwardBtn);
    buttons->addWidget(ContentsBtn);
    buttons->addStretch();
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addLayout(buttons);
    layout->addWidget(splitter, 1);

    connect(BackBtn, &QToolButton::clicked, Browser, &QTextBrowser::backward);
    connect(ForwardBtn, &QToolButton::clicked, Browser, &QTextBrowser::forward);
    connect(ContentsBtn, &QToolButton::clicked, this, [this] { ShowContents(); });
    connect(Browser, &QTextBrowser::backwardAvailable, BackBtn, &QToolButton::setEnabled);
    connect(Browser, &QTextBrowser::forwardAvailable, ForwardBtn, &QToolButton::setEnabled);
    // A click on an entry of the contents, the index or the search results opens its page.
    auto openTreeItem = [this](QTreeWidgetItem* item) { ShowPage(item->data(0, Qt::UserRole).toString()); };
    connect(ContentsTree, &QTreeWidget::itemActivated, this, openTreeItem);
    connect(ContentsTree, &QTreeWidget::itemClicked, this, openTreeItem);
    auto openListItem = [this](QListWidgetItem* item) { ShowPage(item->data(Qt::UserRole).toString()); };
    for (QListWidget* list : {IndexList, SearchResults}) {
        connect(list, &QListWidget::itemActivated, this, openListItem);
        connect(list, &QListWidget::itemClicked, this, openListItem);
    }
    connect(IndexField, &QLineEdit::textChanged, this, &HelpWindow::FilterIndex);
    connect(IndexField, &QLineEdit::returnPressed, this, [this] {
        for (int i = 0; i < IndexList->count(); ++i)
            if (!IndexList->item(i)->isHidden()) return (void)ShowPage(IndexList->item(i)->data(Qt::UserRole).toString());
    });
    connect(SearchField, &QLineEdit::textChanged, this, &HelpWindow::Search);
    connect(SearchField, &QLineEdit::returnPressed, this, [this] {
        if (SearchResults->count() > 0) ShowPage(SearchResults->item(0)->data(Qt::UserRole).toString());
    });

    FillContents();
    FillIndex();
    resize(860, 640);
}

void HelpWindow::FillContents()
{
    const Manual& m = Manual::Get();
    auto page = m.pages.find("contents.html");
    if (page == m.pages.end()) return;
    std::vector<QTreeWidgetItem*> parents;   // the last item at each depth
    for (const HelpContentsEntry& e : HelpContentsEntries(page->second)) {
        if (e.depth < 1) continue;
        const size_t depth = static_cast<size_t>(e.depth);
        parents.resize(std::min(parents.size(), depth - 1));
        auto* item = parents.empty() ? new QTreeWidgetItem(ContentsTree) : new QTreeWidgetItem(parents.back());
        item->setText(0, QString::fromStdString(e.text));
        item->setData(0, Qt::UserRole, Address(e.href));
        while (parents.size() < depth) parents.push_back(item);
        parents[depth - 1] = item;
    }
    ContentsTree->expandToDepth(0);
}

void HelpWindow::FillIndex()
{
    const Manual& m = Manual::Get();
    auto page = m.pages.find("keywords.html");
    if (page == m.pages.end()) return;
    for (const HelpLink& link : HelpLinks(page->second)) {
        // The index page's own way back to the contents is no entry.
        if (link.image || link.text.empty() || link.href == "contents.html") continue;
        auto* item = new QListWidgetItem(QString::fromStdString(link.text), IndexList);
        item->setData(Qt::UserRole, Address(link.href));
    }
}

void HelpWindow::FilterIndex(const QString& text)
{
    const QString wanted = text.trimmed();
    QListWidgetItem* first = nullptr;
    for (int i = 0; i < IndexList->count(); ++i) {
        QListWidgetItem* item = IndexList->item(i);
        const bool match = wanted.isEmpty() || item->text().contains(wanted, Qt::CaseInsensitive);
        item->setHidden(!match);
        // The first entry that starts with the words typed is the one Return opens.
        if (match && !first && item->text().startsWith(wanted, Qt::CaseInsensitive)) first = item;
    }
    if (first) {
        IndexList->setCurrentItem(first);
        IndexList->scrollToItem(first);
    }
}

void HelpWindow::Search(const QString& text)
{
    SearchResults->clear();
    const Manual& m = Manual::Get();
    for (size_t i : SearchHelp(m.sections, text.toStdString())) {
        const HelpSection& s = m.sections[i];
        const std::string pageTitle = HelpPageTitle(m.pages.at(s.page));
        QString label = QString::fromStdString(s.title);
        if (s.title != pageTitle) label += QString::fromUtf8(" \u2014 ") + QString::fromStdString(pageTitle);
        auto* item = new QListWidgetItem(label, SearchResults);
        item->setData(Qt::UserRole, Address(s.anchor.empty() ? s.page : s.page + "#" + s.anchor));
    }
    if (SearchResults->count() == 0 && !text.trimmed().isEmpty()) {
        auto* none = new QListWidgetItem("Nothing found", SearchResults);
        none->setFlags(Qt::NoItemFlags);
    }
}

void HelpWindow::FollowModalDialog()
{
    QWidget* modal = QApplication::activeModalWidget();
    if (modal == this || modal == parentWidget()) return;
    const QRect placed = geometry();
    const bool shown = isVisible();
    if (QWidget* old = parentWidget()) old->removeEventFilter(this);
    setParent(modal, windowFlags() | Qt::Window);
    if (modal) modal->installEventFilter(this);
    if (shown) {
        setGeometry(placed);
        show();
    }
}

bool HelpWindow::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == parentWidget() && (event->type() == QEvent::Hide || event->type() == QEvent::Close)) {
        const bool shown = !isHidden();
        const QRect placed = geometry();
        watched->removeEventFilter(this);
        setParent(nullptr, windowFlags() | Qt::Window);
        if (shown) {
            setGeometry(placed);
            show();
        }
    }
    return QWidget::eventFilter(watched, event);
}

bool HelpWindow::ShowPage(const QString& page)
{
    if (page.isEmpty() || !HelpPageExists(page)) return false;
    FollowModalDialog();
    Browser->setSource(QUrl(page));
    show();
    raise();
    activateWindow();
    return true;
}

QUrl HelpWindow::Source() const { return Browser->source(); }

QString HelpWindow::toPlainText() const { return Browser->toPlainText(); }

bool HelpWindow::ShowTopic(const QString& topic) { return ShowPage(HelpPageForTopic(topic)); }

bool HelpWindow::ShowContext(int context)
{
    const QString page = HelpPageForContext(context);
    return ShowPage(page) || ShowContents();
}

bool HelpWindow::ShowContents() { return ShowPage(kHelpContentsPage); }

} // namespace corvane
