#include "platform/ChildProcess.h"

#include <cerrno>
#include <csignal>
#include <ctime>
#include <fcntl.h>
#include <poll.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace corvane {

namespace {

bool WriteAll(int fd, const std::string& data)
{
    size_t done = 0;
    while (done < data.size()) {
        const ssize_t w = ::write(fd, data.data() + done, data.size() - done);
        if (w < 0 && errno == EINTR) continue;
        if (w <= 0) return false;
        done += static_cast<size_t>(w);
    }
    return true;
}

// Milliseconds of a steady clock.
int64_t NowMs()
{
    timespec t{};
    ::clock_gettime(CLOCK_MONOTONIC, &t);
    return static_cast<int64_t>(t.tv_sec) * 1000 + t.tv_nsec / 1000000;
}

// What the child does before the work: no core dump, even where the system pipes core dumps
// to a crash reporter (which ignores the core size limit but not the dumpable flag); and an
// alarm that ends it whatever this program did with the signal. The alarm comes a little
// after the time allowed: it is for a child whose parent is gone; the parent ends it first.
void PrepareChild(int seconds)
{
    constexpr int kAlarmMargin = 5;
    // What the child's libraries say as they die ("malloc(): corrupted top size") is not for
    // the user's terminal: the caller tells what failed in words of its own.
    const int quiet = ::open("/dev/null", O_WRONLY | O_CLOEXEC);
    if (quiet < 0) {
        ::close(STDERR_FILENO);
    } else if (quiet != STDERR_FILENO) {
        if (::dup2(quiet, STDERR_FILENO) < 0) ::close(STDERR_FILENO);
        ::close(quiet);
    }
    ::prctl(PR_SET_DUMPABLE, 0, 0, 0, 0);
    const rlimit noCore{0, 0};
    ::setrlimit(RLIMIT_CORE, &noCore);
    ::signal(SIGALRM, SIG_DFL);
    sigset_t alarm;
    ::sigemptyset(&alarm);
    ::sigaddset(&alarm, SIGALRM);
    ::sigprocmask(SIG_UNBLOCK, &alarm, nullptr);
    ::alarm(static_cast<unsigned>(seconds + kAlarmMargin));
}

} // namespace

ChildEnd RunInChild(const std::function<std::string()>& work, int seconds, size_t maxAnswer, std::string& answer)
{
    answer.clear();
    int fds[2];
    // Close-on-exec: a program started meanwhile by another thread holds no end of the pipe.
    if (::pipe2(fds, O_CLOEXEC) != 0) return ChildEnd::NotStarted;
    const pid_t pid = ::fork();
    if (pid < 0) {
        ::close(fds[0]);
        ::close(fds[1]);
        return ChildEnd::NotStarted;
    }
    if (pid == 0) {
        ::close(fds[0]);
        PrepareChild(seconds);
        ::_exit(WriteAll(fds[1], work()) ? 0 : 1);
    }
    ::close(fds[1]);
    const int64_t deadline = NowMs() + static_cast<int64_t>(seconds) * 1000;
    bool timedOut = false, tooLong = false;
    char buf[65536];
    for (;;) {
        const int64_t left = deadline - NowMs();
        if (left <= 0) {
            timedOut = true;
            break;
        }
        pollfd p{fds[0], POLLIN, 0};
        const int ready = ::poll(&p, 1, static_cast<int>(left));
        if (ready < 0 && errno == EINTR) continue;
        if (ready < 0) break;
        if (ready == 0) continue;   // the deadline is checked above
        const ssize_t r = ::read(fds[0], buf, sizeof buf);
        if (r < 0 && errno == EINTR) continue;
        if (r <= 0) break;
        answer.append(buf, static_cast<size_t>(r));
        if (answer.size() > maxAnswer) {
            tooLong = true;
            break;
        }
    }
    ::close(fds[0]);
    if (timedOut || tooLong) ::kill(pid, SIGKILL);
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    if (timedOut) {
        answer.clear();
        return ChildEnd::TimedOut;
    }
    if (tooLong || !WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        answer.clear();
        return ChildEnd::Failed;
    }
    return ChildEnd::Finished;
}

} // namespace corvane
