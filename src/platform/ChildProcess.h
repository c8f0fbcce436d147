#pragma once
// Work that may crash or stall (a library reading a damaged disc image) done in a child
// process, which hands its answer back through a pipe: a crash or a stall there costs this
// program nothing but the answer.
#include <cstddef>
#include <functional>
#include <string>

namespace corvane {

enum class ChildEnd {
    NotStarted, // no process could be started (no pipe or fork now)
    Finished,   // the work returned and its whole answer came back
    Failed,     // the child ended without a whole answer: it crashed, or the answer was too long
    TimedOut,   // the child was still at work after the time allowed and was ended
};

// Runs work in a child process and puts what it returns into answer. The child runs nothing
// but work (no toolkit, no other thread's state) and leaves with _exit. It is ended after
// the seconds allowed, by this program and by its own alarm should this program be gone;
// when it crashes it leaves no core dump and no crash report of the desktop behind, and
// nothing it writes to standard error reaches this program's (the caller reports the failure).
ChildEnd RunInChild(const std::function<std::string()>& work, int seconds, size_t maxAnswer, std::string& answer);

} // namespace corvane
