#pragma once
// Answering modal dialogs in the window tests: the test arranges what to do with the dialog,
// then runs the command that shows it.
#include <QApplication>
#include <QDialog>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>
#include <memory>

namespace corvane::test {

// Runs f on the next modal dialog of type Dialog once it is shown. When none comes, the test
// fails and the modal dialog up instead is cancelled rather than waited on.
template <class Dialog>
void WhenShown(std::function<void(Dialog&)> f)
{
    auto* poll = new QTimer;
    auto tries = std::make_shared<int>(0);
    QObject::connect(poll, &QTimer::timeout, [poll, f, tries] {
        auto* d = dynamic_cast<Dialog*>(QApplication::activeModalWidget());
        if ((!d || !d->isVisible()) && ++*tries < 2000) return;   // up to 10 s on a busy machine
        poll->deleteLater();
        poll->stop();
        if (d) return f(*d);
        ADD_FAILURE() << "the dialog was not shown";
        if (auto* other = qobject_cast<QDialog*>(QApplication::activeModalWidget())) other->reject();
    });
    poll->start(5);
}

} // namespace corvane::test
