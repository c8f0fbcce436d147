#include "platform/MessageSink.h"

#include "platform/CodePage.h"

#include <algorithm>
#include <cstdio>

namespace corvane {

std::string WithReason(const std::string& message, const std::string& reason)
{
    if (reason.empty()) return message;
    if (message.empty() || message.back() != '.') return message + " (" + reason + ")";
    std::string sentence = reason;
    if (sentence[0] >= 'a' && sentence[0] <= 'z') sentence[0] = static_cast<char>(sentence[0] - 'a' + 'A');
    return message + " " + sentence + (sentence.back() == '.' ? "" : ".");
}

MsgResult StderrMessageSink::Show(MsgKind, const std::string& text, MsgButtons buttons)
{
    // File names of the file system (UTF-8) beside text of the data files (Windows-1252).
    // Each line of the message is a line of its own ("\r\n" and a lone "\r" end a line too).
    std::string lines;
    char before = 0;
    for (const char c : MixedTextToUtf8(text)) {
        if (!(c == '\n' && before == '\r')) lines += c == '\r' ? '\n' : c;
        before = c;
    }
    while (!lines.empty() && lines.back() == '\n') lines.pop_back();
    std::fprintf(stderr, "%s\n", lines.c_str());
    std::fflush(stderr);
    return (buttons == MsgButtons::Ok || buttons == MsgButtons::OkCancel) ? MsgResult::Ok : MsgResult::Yes;
}

void StderrMessageSink::Beep() {}

MsgResult RecordingMessageSink::Show(MsgKind kind, const std::string& text, MsgButtons buttons)
{
    messages.push_back({kind, text, buttons});
    if (!answers.empty()) {
        MsgResult r = answers.front();
        answers.erase(answers.begin());
        return r;
    }
    return defaultAnswer;
}

std::vector<std::string> RecordingMessageSink::Texts() const
{
    std::vector<std::string> out;
    for (const auto& m : messages) out.push_back(m.text);
    return out;
}

bool RecordingMessageSink::Contains(const std::string& text) const
{
    return std::any_of(messages.begin(), messages.end(), [&](const Entry& e) { return e.text == text; });
}

} // namespace corvane
