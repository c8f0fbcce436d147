#pragma once
// Menus as the program names them: every item carries its caption, its component name
// (objectName) and its help context (property "helpContext", 0 for none); a top-level menu
// also carries its merge group (property "groupIndex"), by which a child window's menus take
// the place of the main window's menus of the same group.
class QAction;
class QMenu;
class QWidget;

namespace corvane {

QAction* AddItem(QMenu* menu, const char* caption, const char* name, int helpContext = 0);
// A checkable item, checked or not.
QAction* AddCheckItem(QMenu* menu, const char* caption, const char* name, bool checked, int helpContext = 0);
QMenu* AddMenu(QWidget* owner, const char* caption, const char* name, int group, int helpContext);
QMenu* AddSubMenu(QMenu* parent, const char* caption, const char* name, int helpContext = 0);
// A top-level command without items, standing in the menu bar as itself.
QAction* AddMenuBarCommand(QWidget* owner, const char* caption, const char* name, int group, int helpContext);

// The merge group of a menu bar entry (a menu's own action, or a command).
int MenuGroup(const QAction* entry);

} // namespace corvane
