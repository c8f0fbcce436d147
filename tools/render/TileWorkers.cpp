#include "TileWorkers.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <cstdio>
#include <cstring>
#include <new>
#include <poll.h>
#include <sched.h>
#include <sys/mman.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace corvane {

namespace {

// What a worker sends: a record of one byte of kind, the length of the rest (4 bytes) and the
// rest. A tile: its zoom, column and row, whether it was known, its PNG file. A message: its
// kind and text. A failure: its reason.
enum Record : char { kTile = 'T', kMessage = 'M', kFailure = 'E' };

template <class T>
void Append(std::string& out, const T& v)
{
    out.append(reinterpret_cast<const char*>(&v), sizeof v);
}

template <class T>
T Read(const char*& at)
{
    T v;
    std::memcpy(&v, at, sizeof v);
    at += sizeof v;
    return v;
}

bool Send(int fd, char kind, const std::string& body)
{
    std::string record(1, kind);
    Append(record, static_cast<uint32_t>(body.size()));
    record += body;
    for (size_t done = 0; done < record.size();) {
        const ssize_t n = ::write(fd, record.data() + done, record.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        done += static_cast<size_t>(n);
    }
    return true;
}

// What the workers share: the next place of the work to take, and whether to stop.
struct Shared {
    std::atomic<int64_t> next{0};
    std::atomic<bool> stop{false};
};

// One worker's loop; the process ends with it.
[[noreturn]] void WorkerMain(Shared& shared, const std::vector<int64_t>& work, int fd, const TileWorkers::Make& make)
{
    bool ok = true;
    try {
        TileMade tile;
        std::string error;
        for (;;) {
            const int64_t i = shared.next.fetch_add(1);
            if (i >= static_cast<int64_t>(work.size()) || shared.stop.load()) break;
            if (!make(work[static_cast<size_t>(i)], tile, error)) {
                Send(fd, kFailure, error);
                ok = false;
                break;
            }
            std::string body;
            Append(body, static_cast<int32_t>(tile.key.z));
            Append(body, tile.key.x);
            Append(body, tile.key.y);
            Append(body, static_cast<uint8_t>(tile.known));
            body += tile.png;
            if (!Send(fd, kTile, body)) {
                ok = false;
                break;
            }
        }
    } catch (const std::exception& e) {
        Send(fd, kFailure, std::string("a tile could not be drawn: ") + e.what());
        ok = false;
    }
    ::_exit(ok ? 0 : 1);
}

struct Worker {
    pid_t pid = -1;
    int fd = -1;
    std::string pending;   // bytes read that do not yet make a whole record
    bool ended = false;    // waited for
};

// Waits for a worker that has closed its end; why it failed, or empty.
std::string EndOf(Worker& w)
{
    int status = 0;
    while (::waitpid(w.pid, &status, 0) < 0 && errno == EINTR) {
    }
    w.ended = true;
    if (WIFEXITED(status) && WEXITSTATUS(status) == 0) return {};
    return WIFSIGNALED(status) ? "a worker process was stopped by signal " + std::to_string(WTERMSIG(status))
                               : "a worker process ended with status " + std::to_string(WEXITSTATUS(status));
}

} // namespace

MsgResult TileMessages::Show(MsgKind kind, const std::string& text, MsgButtons buttons)
{
    if (pipe_ < 0) return told_.Show(kind, text, buttons);
    std::string body;
    Append(body, static_cast<uint8_t>(kind));
    Send(pipe_, kMessage, body + text);
    return (buttons == MsgButtons::Ok || buttons == MsgButtons::OkCancel) ? MsgResult::Ok : MsgResult::Yes;
}

int UsableCores()
{
    cpu_set_t set;
    CPU_ZERO(&set);
    if (::sched_getaffinity(0, sizeof set, &set) == 0 && CPU_COUNT(&set) > 0) return CPU_COUNT(&set);
    return std::max(1u, std::thread::hardware_concurrency());
}

bool TileWorkers::Run(const std::vector<int64_t>& work, int jobs, TileMessages& messages, const Make& make,
                      const Take& take, std::string& error)
{
    jobs = static_cast<int>(std::clamp<int64_t>(jobs, 1, std::max<int64_t>(1, static_cast<int64_t>(work.size()))));
    if (jobs == 1) {
        TileMade tile;
        for (int64_t index : work)
            if (!make(index, tile, error) || !take(tile, error)) return false;
        return true;
    }

    void* map = ::mmap(nullptr, sizeof(Shared), PROT_READ | PROT_WRITE, MAP_SHARED | MAP_ANONYMOUS, -1, 0);
    if (map == MAP_FAILED) {
        error = std::string("cannot share the work between processes: ") + std::strerror(errno);
        return false;
    }
    Shared& shared = *new (map) Shared;
    std::vector<Worker> workers;
    const pid_t parent = ::getpid();
    std::fflush(nullptr);   // nothing buffered is written twice
    for (int j = 0; j < jobs; ++j) {
        int fds[2];
        if (::pipe2(fds, O_CLOEXEC) != 0) {
            error = std::string("cannot start a worker process: ") + std::strerror(errno);
            break;
        }
        const pid_t pid = ::fork();
        if (pid == 0) {
            ::prctl(PR_SET_PDEATHSIG, SIGKILL);
            if (::getppid() != parent) ::_exit(1);
            ::close(fds[0]);
            for (const Worker& w : workers) ::close(w.fd);
            messages.pipe_ = fds[1];
            WorkerMain(shared, work, fds[1], make);
        }
        ::close(fds[1]);
        if (pid < 0) {
            ::close(fds[0]);
            error = std::string("cannot start a worker process: ") + std::strerror(errno);
            break;
        }
        workers.push_back({pid, fds[0], {}});
    }
    if (!error.empty()) shared.stop = true;

    // The records of the workers as they come, until every one has closed its end.
    auto handle = [&](Worker& w) {
        for (;;) {
            if (w.pending.size() < 5) return true;
            uint32_t size;
            std::memcpy(&size, w.pending.data() + 1, sizeof size);
            if (w.pending.size() < 5 + size) return true;
            const char kind = w.pending[0];
            const char* at = w.pending.data() + 5;
            const char* end = at + size;
            bool ok = true;
            if (kind == kTile && size >= 21) {
                TileMade tile;
                tile.key.z = Read<int32_t>(at);
                tile.key.x = Read<int64_t>(at);
                tile.key.y = Read<int64_t>(at);
                tile.known = Read<uint8_t>(at) != 0;
                tile.png.assign(at, end);
                ok = error.empty() && take(tile, error);
            } else if (kind == kMessage && size >= 1) {
                const auto msgKind = static_cast<MsgKind>(Read<uint8_t>(at));
                messages.told_.Show(msgKind, std::string(at, end), MsgButtons::Ok);
            } else if (kind == kFailure) {
                if (error.empty()) error.assign(at, end);
                ok = false;
            }
            w.pending.erase(0, 5 + size);
            if (!ok) return false;
        }
    };
    for (;;) {
        std::vector<pollfd> fds;
        for (const Worker& w : workers)
            if (w.fd >= 0) fds.push_back({w.fd, POLLIN, 0});
        if (fds.empty()) break;
        if (::poll(fds.data(), fds.size(), -1) < 0) {
            if (errno == EINTR) continue;
            if (error.empty()) error = std::string("cannot hear from the worker processes: ") + std::strerror(errno);
            break;
        }
        for (const pollfd& p : fds) {
            if (!(p.revents & (POLLIN | POLLHUP | POLLERR))) continue;
            Worker& w = *std::find_if(workers.begin(), workers.end(), [&](const Worker& k) { return k.fd == p.fd; });
            char buffer[1 << 16];
            const ssize_t n = ::read(w.fd, buffer, sizeof buffer);
            if (n < 0 && errno == EINTR) continue;
            if (n <= 0) {
                ::close(w.fd);
                w.fd = -1;
                // A worker killed (out of memory, by hand) stops the others at once rather than
                // when they have drawn the rest of the work.
                const std::string why = EndOf(w);
                if (!why.empty()) {
                    if (error.empty()) error = why;
                    shared.stop = true;
                }
                continue;
            }
            w.pending.append(buffer, static_cast<size_t>(n));
            if (!handle(w)) shared.stop = true;
        }
    }
    for (Worker& w : workers) {
        if (w.fd >= 0) ::close(w.fd);
        if (w.ended) continue;
        const std::string why = EndOf(w);
        if (error.empty()) error = why;
    }
    shared.~Shared();
    ::munmap(map, sizeof(Shared));
    return error.empty();
}

} // namespace corvane
