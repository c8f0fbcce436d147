#include "app/MenuItems.h"

#include <QAction>
#include <QMenu>

namespace corvane {

QAction* AddItem(QMenu* menu, const char* caption, const char* name, int helpContext)
{
    QAction* a = menu->addAction(QString::fromLatin1(caption));
    a->setObjectName(name);
    a->setProperty("helpContext", helpContext);
    return a;
}

QAction* AddCheckItem(QMenu* menu, const char* caption, const char* name, bool checked, int helpContext)
{
    QAction* a = AddItem(menu, caption, name, helpContext);
    a->setCheckable(true);
    a->setChecked(checked);
    return a;
}

QMenu* AddMenu(QWidget* owner, const char* caption, const char* name, int group, int helpContext)
{
    auto* m = new QMenu(QString::fromLatin1(caption), owner);
    m->setObjectName(name);
    m->setProperty("groupIndex", group);
    m->setProperty("helpContext", helpContext);
    return m;
}

QMenu* AddSubMenu(QMenu* parent, const char* caption, const char* name, int helpContext)
{
    QMenu* m = parent->addMenu(QString::fromLatin1(caption));
    m->setObjectName(name);
    m->menuAction()->setObjectName(name);
    m->setProperty("helpContext", helpContext);
    m->menuAction()->setProperty("helpContext", helpContext);
    return m;
}

QAction* AddMenuBarCommand(QWidget* owner, const char* caption, const char* name, int group, int helpContext)
{
    auto* a = new QAction(QString::fromLatin1(caption), owner);
    a->setObjectName(name);
    a->setProperty("groupIndex", group);
    a->setProperty("helpContext", helpContext);
    return a;
}

int MenuGroup(const QAction* entry)
{
    if (const QMenu* m = entry->menu()) return m->property("groupIndex").toInt();
    return entry->property("groupIndex").toInt();
}

} // namespace corvane
