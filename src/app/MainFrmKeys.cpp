// The usual keys of a desktop program: the File commands on Ctrl+N, Ctrl+O, Ctrl+S, Ctrl+P,
// Ctrl+C and Ctrl+Q in every window of the program, and Alt+letter opening the menus from the
// windows that have no menu bar of their own (the map window, the text viewers), whose menus
// stand in the main window's menu bar.
#include "app/MainFrm.h"

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QKeySequence>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>

namespace corvane {

namespace {

class MenuLettersFromEveryWindow : public QObject {
public:
    explicit MenuLettersFromEveryWindow(TMainFrm* main) : QObject(main), main_(main) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() != QEvent::KeyPress) return false;
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->modifiers() != Qt::AltModifier || key->key() < Qt::Key_0 || key->key() > Qt::Key_Z) return false;
        const auto* widget = qobject_cast<QWidget*>(watched);
        if (!widget || QApplication::activeModalWidget() || QApplication::activePopupWidget()) return false;
        // The main window's menu bar takes its letters itself; dialogs keep theirs for their
        // buttons; a window with a menu bar of its own answers from it.
        QWidget* window = widget->window();
        if (window == main_ || qobject_cast<QDialog*>(window) || window->findChild<QMenuBar*>()) return false;
        return OpenMenuOfLetter(QKeySequence(Qt::ALT | key->key()));
    }

private:
    // The entry of the menu bar whose caption underlines the letter. Pressed again soon after
    // (Alt closes the menu it opened), the letter goes on to the next entry that has it, as in
    // the main window ("&Dataset", then "&Display").
    bool OpenMenuOfLetter(const QKeySequence& letter)
    {
        QMenuBar* bar = main_->menuBar();
        QList<QAction*> entries;
        for (QAction* e : bar->actions())
            if (e->isVisible() && e->isEnabled() && QKeySequence::mnemonic(e->text()) == letter) entries << e;
        if (entries.isEmpty()) return false;
        const bool again = last_ && since_.isValid() && since_.elapsed() < kAgainMs;
        const qsizetype before = again ? entries.indexOf(last_.data()) : -1;
        QAction* entry = entries[(before + 1) % entries.size()];
        last_ = entry;
        since_.start();
        if (entry->menu())
            bar->setActiveAction(entry);
        else
            entry->trigger();   // "&Redraw" and "&Query" are commands of their own
        return true;
    }

    static constexpr qint64 kAgainMs = 1500;
    TMainFrm* main_;
    QPointer<QAction> last_;   // the entry opened last by its letter, and when
    QElapsedTimer since_;
};

} // namespace

void TMainFrm::InstallShortcuts()
{
    const std::pair<QAction*, QKeySequence> keys[] = {
        {New1, QKeySequence(Qt::CTRL | Qt::Key_N)},   {Open1, QKeySequence(Qt::CTRL | Qt::Key_O)},
        {Save1, QKeySequence(Qt::CTRL | Qt::Key_S)},  {Print1, QKeySequence(Qt::CTRL | Qt::Key_P)},
        {CopyToClipboard1, QKeySequence(Qt::CTRL | Qt::Key_C)}, {Exit1, QKeySequence(Qt::CTRL | Qt::Key_Q)},
    };
    // The commands go to the active child window (Tag), so they are taken in every window; a
    // text field that copies its own selection keeps Ctrl+C.
    for (const auto& [item, key] : keys) {
        item->setShortcut(key);
        item->setShortcutContext(Qt::ApplicationShortcut);
    }
    qApp->installEventFilter(new MenuLettersFromEveryWindow(this));
}

} // namespace corvane
