#pragma once
// Message boxes of the viewer: information, warning, error, confirmation and plain boxes with
// the application's title as their caption; the beep of the desktop.
#include "platform/MessageSink.h"

#include <QString>

class QWidget;

namespace corvane {

class QtMessageSink : public MessageSink {
public:
    explicit QtMessageSink(QString title = QString()) : title_(std::move(title)) {}
    MsgResult Show(MsgKind kind, const std::string& text, MsgButtons buttons) override;
    void Beep() override;

    void SetTitle(const QString& title) { title_ = title; }
    const QString& Title() const { return title_; }

private:
    QString title_;
};

} // namespace corvane
