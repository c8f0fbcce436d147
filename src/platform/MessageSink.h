#pragma once
// How the core reports what the user must see: modal message boxes in the viewer,
// standard error in the headless renderer, a record in the tests. Texts are the bytes of
// the program's own messages (Windows-1252).
#include <functional>
#include <string>
#include <vector>

namespace corvane {

enum class MsgKind { Plain, Information, Warning, Error, Confirmation };
enum class MsgButtons { Ok, OkCancel, YesNo, YesNoCancel };
enum class MsgResult { Ok, Cancel, Yes, No };

// A message of the program's own with the reason behind it added after it, the message kept
// as it is: a message that ends a sentence gets the reason as a sentence of its own ("There
// is a problem opening file X. It is not a regular file."), any other gets it in brackets
// ("X is not present : Check the MAS file (it is not a regular file)"). No reason: the
// message alone.
std::string WithReason(const std::string& message, const std::string& reason);

class MessageSink {
public:
    virtual ~MessageSink() = default;
    virtual MsgResult Show(MsgKind kind, const std::string& text, MsgButtons buttons = MsgButtons::Ok) = 0;
    virtual void Beep() = 0;

    MsgResult Info(const std::string& t) { return Show(MsgKind::Information, t); }
    MsgResult Warn(const std::string& t) { return Show(MsgKind::Warning, t); }
    MsgResult Error(const std::string& t) { return Show(MsgKind::Error, t); }
    MsgResult Plain(const std::string& t) { return Show(MsgKind::Plain, t); }
    MsgResult Confirm(const std::string& t, MsgButtons b = MsgButtons::YesNo)
    {
        return Show(MsgKind::Confirmation, t, b);
    }
};

// Writes every message to standard error, each of its lines a line; confirmations answer
// their default (Yes, or Ok), as a script would want.
class StderrMessageSink : public MessageSink {
public:
    MsgResult Show(MsgKind kind, const std::string& text, MsgButtons buttons) override;
    void Beep() override;
};

// Keeps every message; answers from a queue (or with a default) so tests can drive
// confirmations.
class RecordingMessageSink : public MessageSink {
public:
    struct Entry {
        MsgKind kind;
        std::string text;
        MsgButtons buttons;
    };
    std::vector<Entry> messages;
    std::vector<MsgResult> answers;   // consumed front to back
    MsgResult defaultAnswer = MsgResult::Ok;
    int beeps = 0;

    MsgResult Show(MsgKind kind, const std::string& text, MsgButtons buttons) override;
    void Beep() override { ++beeps; }

    std::vector<std::string> Texts() const;
    bool Contains(const std::string& text) const;
    void Clear() { messages.clear(); beeps = 0; }
};

// Swallows everything.
class NullMessageSink : public MessageSink {
public:
    MsgResult Show(MsgKind, const std::string&, MsgButtons b) override
    {
        return b == MsgButtons::Ok || b == MsgButtons::OkCancel ? MsgResult::Ok : MsgResult::Yes;
    }
    void Beep() override {}
};

} // namespace corvane
